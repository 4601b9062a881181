#include "history/history.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <new>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "platform/clock.h"
#include "platform/file.h"
#include "report/sector_line.h"
#include "text/text.h"

namespace {

constexpr const char* kFormat = "1";

// The tables, as the players' queries name them. `ports` and `warps` are kept
// in the order of their keys (WITHOUT ROWID): a run's ports are appended at the
// end of one tree, and the warps take half the room a second index would.
constexpr const char* kSchema =
    "CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT);"
    "CREATE TABLE runs(run INTEGER PRIMARY KEY, at TEXT NOT NULL, sectors INTEGER NOT NULL,"
    " known INTEGER NOT NULL, ports INTEGER NOT NULL, capture TEXT NOT NULL);"
    "CREATE TABLE ports(run INTEGER NOT NULL, sector INTEGER NOT NULL, class TEXT NOT NULL,"
    " ore INTEGER NOT NULL, ore_pct INTEGER NOT NULL, org INTEGER NOT NULL,"
    " org_pct INTEGER NOT NULL, equ INTEGER NOT NULL, equ_pct INTEGER NOT NULL,"
    " PRIMARY KEY(run, sector)) WITHOUT ROWID;"
    "CREATE TABLE known(sector INTEGER PRIMARY KEY, run INTEGER NOT NULL);"
    "CREATE TABLE warps(sector INTEGER NOT NULL, target INTEGER NOT NULL, run INTEGER NOT NULL,"
    " PRIMARY KEY(sector, target)) WITHOUT ROWID;";

class RowTable;
using RowVisitor = std::function<void(sqlite3_value** values)>;

// An open database connection, closed by its owner's scope. The statements
// made on it are declared after it, so they are finalized first.
class Database {
 public:
  Database(const std::string& fileName, int flags) : name_(fileName) {
    // The program has one thread: SQLite need not lock its own structures.
    // (Once SQLite is in use the setting can no longer change; it then stays.)
    static const int singleThread [[maybe_unused]] = sqlite3_config(SQLITE_CONFIG_SINGLETHREAD);
    int code = sqlite3_open_v2(fileName.c_str(), &db_, flags, nullptr);
    if (code == SQLITE_OK) code = Extend();
    if (code != SQLITE_OK) {
      const IoError error(name_, db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(code));
      sqlite3_close(db_);
      throw error;
    }
    sqlite3_busy_timeout(db_, kHistoryBusyMilliseconds);
  }
  ~Database() { sqlite3_close(db_); }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  sqlite3* handle() const { return db_; }

  // What the virtual table korvan_rows holds (see RowTable) for the
  // statements run until the next call; none: nullptr.
  void SetRows(const RowTable* rows) { rows_ = rows; }
  // Runs `query`, "SELECT korvan_each(a, b, ...) FROM ... WHERE ... ?1 ...",
  // with `bound` as ?1, calling `visit` with the values a, b, ... of each row
  // it selects, in the order SQLite reads them: the aggregate korvan_each hands
  // them over without a step of the statement and a call for each value.
  void Each(const char* query, std::int64_t bound, const RowVisitor& visit);

  // SQLite's failure as the project's: the file and what went wrong.
  [[noreturn]] void Fail(int code) const {
    throw IoError(name_, db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(code));
  }

  // Runs statements that return nothing the caller wants.
  void Execute(const char* sql) {
    const int code = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) Fail(code);
  }

 private:
  // Adds korvan_rows and korvan_each to this connection's SQL; SQLite's code.
  int Extend();

  std::string name_;
  sqlite3* db_ = nullptr;
  const RowTable* rows_ = nullptr;  // what korvan_rows holds while a statement runs
  const RowVisitor* visit_ = nullptr;  // what korvan_each calls while a query runs
};

// A prepared statement, finalized by its owner's scope. Binding indexes and
// column numbers are SQLite's: parameters from 1, columns from 0.
class Statement {
 public:
  Statement(Database& db, const char* sql) : db_(db) {
    const int code = sqlite3_prepare_v2(db.handle(), sql, -1, &statement_, nullptr);
    if (code != SQLITE_OK) db.Fail(code);
  }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  void Bind(int index, std::int64_t value) { Check(sqlite3_bind_int64(statement_, index, value)); }
  void Bind(int index, const std::string& text) {
    Check(sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                            SQLITE_TRANSIENT));
  }

  // The next row: true while there is one.
  bool Step() {
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW) return true;
    if (code != SQLITE_DONE) db_.Fail(code);
    return false;
  }
  // Runs a statement that returns no row, ready to be bound and run again.
  void Run() {
    while (Step()) {
    }
    sqlite3_reset(statement_);
  }
  void Reset() { sqlite3_reset(statement_); }

  std::int64_t Int(int column) const { return sqlite3_column_int64(statement_, column); }
  std::string Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return text == nullptr ? std::string()
                           : std::string(text, static_cast<std::size_t>(
                                                   sqlite3_column_bytes(statement_, column)));
  }

 private:
  void Check(int code) {
    if (code != SQLITE_OK) db_.Fail(code);
  }

  Database& db_;
  sqlite3_stmt* statement_ = nullptr;
};

// The write transaction of one run: begun at once (so that a run another
// program holds is waited for here), rolled back unless committed.
class Transaction {
 public:
  explicit Transaction(Database& db) : db_(db) { db_.Execute("BEGIN IMMEDIATE"); }
  ~Transaction() {
    if (!committed_) sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  void Commit() {
    db_.Execute("COMMIT");
    committed_ = true;
  }

 private:
  Database& db_;
  bool committed_ = false;
};

enum class Contents { empty, history, foreign };

// What an open database holds. A file that is not SQLite, or not a sound one,
// is foreign; so is one whose meta table names no format, or another format.
Contents ContentsOf(Database& db) {
  sqlite3_stmt* statement = nullptr;
  int code = sqlite3_prepare_v2(db.handle(), "SELECT count(*) FROM sqlite_master", -1, &statement,
                                nullptr);
  std::int64_t objects = 0;
  if (code == SQLITE_OK) {
    code = sqlite3_step(statement);
    if (code == SQLITE_ROW) {
      objects = sqlite3_column_int64(statement, 0);
      code = SQLITE_OK;
    }
  }
  sqlite3_finalize(statement);
  if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT) return Contents::foreign;
  if (code != SQLITE_OK) db.Fail(code);
  if (objects == 0) return Contents::empty;

  statement = nullptr;
  code = sqlite3_prepare_v2(db.handle(), "SELECT value FROM meta WHERE key = 'format'", -1,
                            &statement, nullptr);
  if (code == SQLITE_ERROR) return Contents::foreign;  // no meta table of that shape
  if (code != SQLITE_OK) db.Fail(code);
  bool format = false;
  code = sqlite3_step(statement);
  if (code == SQLITE_ROW) {
    const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    format = value != nullptr && std::string(value) == kFormat;
    code = SQLITE_OK;
  }
  sqlite3_finalize(statement);
  if (code == SQLITE_CORRUPT) return Contents::foreign;
  if (code != SQLITE_OK && code != SQLITE_DONE) db.Fail(code);
  return format ? Contents::history : Contents::foreign;
}

// Rows of whole numbers the program hands to SQLite in one statement, read
// through the eponymous virtual table korvan_rows (columns c0, c1, ...): one
// "INSERT INTO t SELECT c0, c1, ... FROM korvan_rows" writes them all, with no
// statement run and no parameter bound for each row, which would cost more
// than SQLite's own work on the row. A value in `classColumn` is a port's
// buying mask, which SQLite reads as its class letters ("SBB").
class RowTable {
 public:
  RowTable(int columns, std::size_t rows, int classColumn = -1)
      : columns_(columns), classColumn_(classColumn) {
    values_.reserve(rows * static_cast<std::size_t>(columns));
  }

  void Add(std::initializer_list<std::int64_t> row) {
    values_.insert(values_.end(), row.begin(), row.end());
  }
  std::size_t Rows() const { return values_.size() / static_cast<std::size_t>(columns_); }
  bool Empty() const { return values_.empty(); }

  // Sets `context` to the value of `column` of `row`; NULL beyond the columns.
  void Serve(std::size_t row, int column, sqlite3_context* context) const {
    if (column >= columns_) {
      sqlite3_result_null(context);
    } else if (column != classColumn_) {
      sqlite3_result_int64(context, values_[row * static_cast<std::size_t>(columns_) +
                                            static_cast<std::size_t>(column)]);
    } else {
      static const std::array<std::string, 8> kClasses = [] {
        std::array<std::string, 8> names;
        for (std::uint8_t mask = 0; mask < 8; ++mask) names[mask] = PortClassName(mask);
        return names;
      }();
      const std::string& name =
          kClasses[values_[row * static_cast<std::size_t>(columns_) +
                           static_cast<std::size_t>(column)] & 7];
      sqlite3_result_text(context, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
    }
  }

 private:
  int columns_;
  int classColumn_;
  std::vector<std::int64_t> values_;  // row after row
};

// korvan_rows, SQLite's view of the RowTable a statement runs over. It is
// eponymous (no CREATE VIRTUAL TABLE, nothing in the schema) and lives only in
// the connection that serves it.
namespace rows_table {

struct Table {
  sqlite3_vtab base;  // first: SQLite hands out pointers to it
  const RowTable* const* rows;
};

struct Cursor {
  sqlite3_vtab_cursor base;  // first, as above
  const RowTable* rows;
  std::size_t row;
};

int Connect(sqlite3* db, void* aux, int, const char* const*, sqlite3_vtab** out, char**) {
  const int code =
      sqlite3_declare_vtab(db, "CREATE TABLE x(c0, c1, c2, c3, c4, c5, c6, c7, c8)");
  if (code != SQLITE_OK) return code;
  auto* table = new (std::nothrow) Table{};
  if (table == nullptr) return SQLITE_NOMEM;
  table->rows = static_cast<const RowTable* const*>(aux);
  *out = &table->base;
  return SQLITE_OK;
}

int Disconnect(sqlite3_vtab* table) {
  delete reinterpret_cast<Table*>(table);
  return SQLITE_OK;
}

// Every statement reads all rows, in order: no constraint is used.
int BestIndex(sqlite3_vtab*, sqlite3_index_info* info) {
  info->estimatedCost = 1e6;
  return SQLITE_OK;
}

int Open(sqlite3_vtab* table, sqlite3_vtab_cursor** out) {
  auto* cursor = new (std::nothrow) Cursor{};
  if (cursor == nullptr) return SQLITE_NOMEM;
  cursor->rows = *reinterpret_cast<Table*>(table)->rows;
  *out = &cursor->base;
  return SQLITE_OK;
}

int Close(sqlite3_vtab_cursor* cursor) {
  delete reinterpret_cast<Cursor*>(cursor);
  return SQLITE_OK;
}

int Filter(sqlite3_vtab_cursor* cursor, int, const char*, int, sqlite3_value**) {
  reinterpret_cast<Cursor*>(cursor)->row = 0;
  return SQLITE_OK;
}

int Next(sqlite3_vtab_cursor* cursor) {
  ++reinterpret_cast<Cursor*>(cursor)->row;
  return SQLITE_OK;
}

int Eof(sqlite3_vtab_cursor* base) {
  const auto* cursor = reinterpret_cast<const Cursor*>(base);
  return cursor->rows == nullptr || cursor->row >= cursor->rows->Rows();
}

int Column(sqlite3_vtab_cursor* base, sqlite3_context* context, int column) {
  const auto* cursor = reinterpret_cast<const Cursor*>(base);
  cursor->rows->Serve(cursor->row, column, context);
  return SQLITE_OK;
}

int Rowid(sqlite3_vtab_cursor* cursor, sqlite3_int64* rowid) {
  *rowid = static_cast<sqlite3_int64>(reinterpret_cast<Cursor*>(cursor)->row);
  return SQLITE_OK;
}

const sqlite3_module& Module() {
  static const sqlite3_module module = [] {
    sqlite3_module m{};
    m.xConnect = Connect;  // no xCreate: eponymous only
    m.xBestIndex = BestIndex;
    m.xDisconnect = Disconnect;
    m.xOpen = Open;
    m.xClose = Close;
    m.xFilter = Filter;
    m.xNext = Next;
    m.xEof = Eof;
    m.xColumn = Column;
    m.xRowid = Rowid;
    return m;
  }();
  return module;
}

}  // namespace rows_table

// Runs `insert`, which reads korvan_rows and takes the run as ?1, over `rows`.
void InsertRows(Database& db, const std::string& insert, const RowTable& rows, std::int64_t run) {
  if (rows.Empty()) return;
  Statement statement(db, insert.c_str());
  statement.Bind(1, run);
  struct Serving {
    Database& db;
    ~Serving() { db.SetRows(nullptr); }
  } serving{db};
  db.SetRows(&rows);
  statement.Run();
}

constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;

// The 64-bit FNV-1a hash of `bytes`, continuing from `hash`; eight bytes a
// loop, as the captures hashed every run are hundreds of kilobytes.
std::uint64_t Fnv1a(std::string_view bytes, std::uint64_t hash = kFnvOffset) {
  constexpr std::uint64_t kPrime = 1099511628211ull;
  const auto* byte = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned char* const end = byte + bytes.size();
  for (; end - byte >= 8; byte += 8) {
    for (int i = 0; i < 8; ++i) hash = (hash ^ byte[i]) * kPrime;
  }
  for (; byte < end; ++byte) hash = (hash ^ *byte) * kPrime;
  return hash;
}

// A 64-bit hash of `bytes` that tells one sector reference copy from another:
// eight bytes a step, each step's product folded onto itself so that every
// byte reaches every bit (FNV-1a, one byte a step, costs eight times as much).
std::uint64_t CopyHash(std::string_view bytes) {
  constexpr std::uint64_t kMultiplier = 0x9e3779b97f4a7c15ull;
  std::uint64_t hash = kFnvOffset ^ bytes.size();
  const auto step = [&hash](std::uint64_t word) {
    hash = (hash ^ word) * kMultiplier;
    hash ^= hash >> 32;
  };
  std::size_t at = 0;
  for (; at + 8 <= bytes.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + at, 8);
    step(word);
  }
  std::uint64_t last = 0;
  for (std::size_t i = at; i < bytes.size(); ++i) {
    last |= std::uint64_t{static_cast<unsigned char>(bytes[i])} << (8 * (i - at));
  }
  step(last);
  return hash;
}

// The bytes of `name`; empty when it does not exist.
std::string FileBytes(const std::string& name) {
  std::string bytes;
  if (!name.empty() && FileExists(name) && !ReadFileBytes(name, bytes)) bytes.clear();
  return bytes;
}

std::string HexDigits(std::uint64_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text(16, '0');
  for (std::size_t i = 16; i-- > 0; value >>= 4) text[i] = kDigits[value & 15];
  return text;
}

// The meta key of the hash of the sector reference copy the last recorded run
// wrote: when the run's previous copy still has it, the history holds every
// warp that copy lists, and only the warps it lacks need be looked for.
constexpr const char* kCopyKey = "reference_copy";

// The meta key of the last recorded run that lacked a port the run before it
// had ("0": none has). From that run on, every port a run recorded is in each
// later run, so a port's observations older than the last runs matter only
// when it was seen before that run; the digest reads no run between the two.
// A history without the key (kept by an older korvan2a) is read whole.
constexpr const char* kDroppedKey = "ports_dropped";

// The meta value of `key`, if the history holds one.
std::optional<std::string> MetaValue(Database& db, const char* key) {
  Statement value(db, "SELECT value FROM meta WHERE key = ?1");
  value.Bind(1, std::string(key));
  if (!value.Step()) return std::nullopt;
  return value.Text(0);
}

void SetMeta(Database& db, const char* key, const std::string& value) {
  Statement set(db, "INSERT OR REPLACE INTO meta(key, value) VALUES(?1, ?2)");
  set.Bind(1, std::string(key));
  set.Bind(2, value);
  set.Run();
}

// The lines of a sector reference copy, one by one, without their line ends.
class CopyLines {
 public:
  explicit CopyLines(std::string_view bytes) : next_(bytes.data()), end_(next_ + bytes.size()) {}

  bool Next(std::string_view& line) {
    if (next_ >= end_) return false;
    const auto* lineEnd =
        static_cast<const char*>(std::memchr(next_, '\n', static_cast<std::size_t>(end_ - next_)));
    const char* const stop = lineEnd != nullptr ? lineEnd : end_;
    line = std::string_view(next_, static_cast<std::size_t>(stop - next_));
    next_ = stop + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
  }

  // The sector `line` starts with (after blanks), or 0 when it names none in 1..n.
  static std::uint32_t SectorOf(std::string_view line, std::uint16_t n) {
    std::size_t pos = 0;
    while (pos < line.size() && line[pos] == ' ') ++pos;
    const std::size_t digits = pos;
    std::uint32_t sector = 0;
    while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9' && sector <= n) {
      sector = sector * 10 + static_cast<std::uint32_t>(line[pos++] - '0');
    }
    if (pos == digits || (pos < line.size() && line[pos] != ' ') || sector > n) return 0;
    return sector;
  }

 private:
  const char* next_;
  const char* end_;
};

constexpr std::uint32_t WarpKey(std::uint32_t sector, std::uint32_t target) {
  return sector << 16 | target;
}

// The warps the history held before this run, sector by sector: none (a new
// history); or those the previous sector reference copy lists, when the last
// recorded run wrote that copy (the history may hold more); or else every
// recorded warp, read back.
class RecordedWarps {
 public:
  // Those of the previous copy: the bytes of that copy and of the one this run
  // wrote, which must outlive this object. The copies list the sectors in
  // order, so they are walked side by side: a line both hold alike lists no
  // new warp and is not looked into; the previous copy's other lines are kept.
  void FromCopies(std::string_view previous, std::string_view written, std::uint16_t n) {
    fromCopies_ = true;
    unchanged_.assign(std::size_t{n} + 1, 0);
    CopyLines before(previous);
    CopyLines now(written);
    std::string_view old;
    std::string_view line;
    bool haveOld = before.Next(old);
    bool haveLine = now.Next(line);
    while (haveOld) {
      if (haveLine && old == line) {
        if (const std::uint32_t s = CopyLines::SectorOf(old, n)) unchanged_[s] = 1;
        haveOld = before.Next(old);
        haveLine = now.Next(line);
        continue;
      }
      const std::uint32_t s = CopyLines::SectorOf(old, n);
      const std::uint32_t t = haveLine ? CopyLines::SectorOf(line, n) : 0;
      if (haveLine && s != 0 && (t == 0 || t < s)) {
        haveLine = now.Next(line);  // a sector the previous copy does not list
        continue;
      }
      if (s != 0) previousLines_.emplace_back(s, old);
      if (haveLine && t == s) haveLine = now.Next(line);
      haveOld = before.Next(old);
    }
    std::stable_sort(previousLines_.begin(), previousLines_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
  }

  // Every warp the history holds.
  void FromHistory(Database& db) {
    Statement warps(db, "SELECT sector, target FROM warps ORDER BY sector, target");
    while (warps.Step()) {
      const std::int64_t sector = warps.Int(0);
      const std::int64_t target = warps.Int(1);
      if (sector < 0 || sector > 0xffff || target < 0 || target > 0xffff) continue;
      keys_.push_back(
          WarpKey(static_cast<std::uint32_t>(sector), static_cast<std::uint32_t>(target)));
    }
  }

  // True when `sector` lists now just what the history holds of it: its line in
  // the previous copy is the line this run wrote.
  bool Unchanged(std::uint16_t sector) const {
    return sector < unchanged_.size() && unchanged_[sector] != 0;
  }

  // The targets of `sector`'s recorded warps, ascending, valid until the next call.
  std::span<const std::uint16_t> Targets(std::uint16_t sector) {
    targets_.clear();
    if (fromCopies_) {
      const auto line = std::lower_bound(
          previousLines_.begin(), previousLines_.end(), sector,
          [](const auto& entry, std::uint32_t s) { return entry.first < s; });
      if (line == previousLines_.end() || line->first != sector) return targets_;
      std::size_t pos = 0;
      NextWord(line->second, pos, ' ');  // the sector
      for (std::string_view word = NextWord(line->second, pos, ' '); !word.empty();
           word = NextWord(line->second, pos, ' ')) {
        if (const auto target = TextToWord(TrimLine(word))) targets_.push_back(*target);
      }
      std::sort(targets_.begin(), targets_.end());
    } else {
      auto key = std::lower_bound(keys_.begin(), keys_.end(), WarpKey(sector, 0));
      for (; key != keys_.end() && *key >> 16 == sector; ++key) {
        targets_.push_back(static_cast<std::uint16_t>(*key & 0xffff));
      }
    }
    return targets_;
  }

 private:
  bool fromCopies_ = false;
  std::vector<std::uint8_t> unchanged_;  // by sector, when from the copies
  // The previous copy's other lines, by sector.
  std::vector<std::pair<std::uint32_t, std::string_view>> previousLines_;
  std::vector<std::uint32_t> keys_;  // WarpKey, ascending, when read back
  std::vector<std::uint16_t> targets_;
};

// Each sector the reference copy lists with a warp, and each of those warps,
// recorded with `run` unless `recorded` has them (a sector with a recorded
// warp is known); a row the history holds already is passed over. Rows go in
// in key order. Into an empty history (`fresh`) every listed warp goes.
// Returns the number of sectors the copy lists with a warp.
std::uint32_t RecordKnown(Database& db, const Universe& universe, std::uint16_t n,
                          std::int64_t run, RecordedWarps& recorded, bool fresh) {
  RowTable sectors(1, fresh ? n : 0);
  RowTable warps(2, fresh ? std::size_t{4} * n : 0);
  std::uint32_t knownCount = 0;
  for (std::uint32_t s = 1; s <= n; ++s) {
    const Sector& sector = universe.Lookup(s);
    if (!sector.warps) continue;
    const auto id = static_cast<std::uint16_t>(s);
    const bool unchanged = recorded.Unchanged(id);
    const std::span<const std::uint16_t> before =
        fresh || unchanged ? std::span<const std::uint16_t>() : recorded.Targets(id);
    bool listed = false;
    const WarpList& list = *sector.warps;
    for (std::size_t i = 0; i < list.targets.size(); ++i) {
      // The entries the reference copy writes: reconciliation's oneWayIn are not.
      if (list.kinds[i] != oneWayOut && list.kinds[i] != twoWay) continue;
      listed = true;
      if (unchanged || std::binary_search(before.begin(), before.end(), list.targets[i])) continue;
      warps.Add({s, list.targets[i]});
    }
    if (!listed) continue;
    ++knownCount;
    if (!unchanged && before.empty()) sectors.Add({s});
  }
  InsertRows(db,
             "INSERT OR IGNORE INTO warps(sector, target, run)"
             " SELECT c0, c1, ?1 FROM korvan_rows",
             warps, run);
  InsertRows(db, "INSERT OR IGNORE INTO known(sector, run) SELECT c0, ?1 FROM korvan_rows", sectors,
             run);
  return knownCount;
}

// The ports read from the current port capture, as read. Returns their number.
std::uint32_t RecordPorts(Database& db, const Universe& universe, std::uint16_t n,
                          std::int64_t run) {
  RowTable ports(8, n / 4, 1);
  for (std::uint32_t s = 1; s <= n; ++s) {
    const Sector& sector = universe.Lookup(s);
    if (!sector.port || sector.port->reporting == 0) continue;
    const PortRecord& port = *sector.port;
    ports.Add({s, port.buying, port.amount[kOre], port.percent[kOre], port.amount[kOrganics],
               port.percent[kOrganics], port.amount[kEquipment], port.percent[kEquipment]});
  }
  InsertRows(db,
             "INSERT INTO ports(run, sector, class, ore, ore_pct, org, org_pct, equ, equ_pct)"
             " SELECT ?1, c0, c1, c2, c3, c4, c5, c6, c7 FROM korvan_rows",
             ports, run);
  return static_cast<std::uint32_t>(ports.Rows());
}

void VisitRow(sqlite3_context* context, int, sqlite3_value** values) {
  const RowVisitor* visit = *static_cast<const RowVisitor* const*>(sqlite3_user_data(context));
  if (visit != nullptr) (*visit)(values);
}

void VisitEnd(sqlite3_context*) {}

int Database::Extend() {
  const int code = sqlite3_create_module(db_, "korvan_rows", &rows_table::Module(), &rows_);
  if (code != SQLITE_OK) return code;
  return sqlite3_create_function_v2(db_, "korvan_each", -1, SQLITE_UTF8, &visit_, nullptr,
                                    VisitRow, VisitEnd, nullptr);
}

void Database::Each(const char* query, std::int64_t bound, const RowVisitor& visit) {
  Statement statement(*this, query);
  statement.Bind(1, bound);
  struct Visiting {
    const RowVisitor*& slot;
    ~Visiting() { slot = nullptr; }
  } visiting{visit_};
  visit_ = &visit;
  statement.Run();
}

// True when a port the recorded run `previous` has is not among this run's
// ports (those read from the current port capture).
bool DroppedPort(Database& db, const Universe& universe, std::uint16_t n, std::int64_t previous) {
  bool dropped = false;
  db.Each("SELECT korvan_each(sector) FROM ports WHERE run = ?1", previous,
          [&](sqlite3_value** values) {
            const std::int64_t s = sqlite3_value_int64(values[0]);
            if (s < 1 || s > n) {
              dropped = true;
            } else if (const Sector& sector = universe.Lookup(static_cast<std::uint32_t>(s));
                       !sector.port || sector.port->reporting == 0) {
              dropped = true;
            }
          });
  return dropped;
}

}  // namespace

std::string CaptureHash(const std::string& sectorCapture, const std::string& portCapture) {
  return HexDigits(Fnv1a(FileBytes(portCapture), Fnv1a(FileBytes(sectorCapture))));
}

std::string HistoryFileName(const std::string& cap) { return cap + "_history.db"; }

bool RecordCapture(const Universe& universe, const std::string& cap) {
  return RecordHistory(universe, HistoryFileName(cap), CaptureHash(cap + ".sct", cap + ".prt"),
                       LocalDateTime(), {cap + "_bak.sct", cap + "_ref.sct"});
}

bool IsHistoryDatabase(const std::string& fileName) {
  if (!FileExists(fileName)) return true;
  // Opened for writing, so that SQLite can roll back what a killed run left.
  Database db(fileName, SQLITE_OPEN_READWRITE);
  return ContentsOf(db) != Contents::foreign;
}

bool RecordHistory(const Universe& universe, const std::string& fileName,
                   const std::string& capture, const std::string& at,
                   const SectorCopies& copies) {
  const std::uint16_t n = universe.size();
  Database db(fileName, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  // A rollback journal deleted at each commit, and every commit written
  // through to the disk before it counts.
  db.Execute("PRAGMA journal_mode = DELETE; PRAGMA synchronous = FULL");
  Transaction transaction(db);
  const Contents contents = ContentsOf(db);
  if (contents == Contents::foreign) throw IoError(fileName, "not a korvan2a history database");
  std::int64_t run = 1;
  if (contents == Contents::empty) {
    db.Execute(kSchema);
    Statement meta(db, "INSERT INTO meta(key, value) VALUES('format', ?1), ('program', ?2)");
    meta.Bind(1, std::string(kFormat));
    meta.Bind(2, std::string(KORVAN_PROGRAM));
    meta.Run();
  } else {
    Statement last(db, "SELECT run, capture FROM runs ORDER BY run DESC LIMIT 1");
    if (last.Step()) {
      if (last.Text(1) == capture) return false;
      run = last.Int(0) + 1;
    }
  }

  const std::uint32_t portCount = RecordPorts(db, universe, n, run);
  if (contents == Contents::empty) {
    SetMeta(db, kDroppedKey, "0");
  } else if (!MetaValue(db, kDroppedKey) || DroppedPort(db, universe, n, run - 1)) {
    SetMeta(db, kDroppedKey, std::to_string(run));
  }

  // The warps recorded before: those of the previous reference copy when the
  // last recorded run wrote it, else all of them, read back.
  const std::string written = FileBytes(copies.written);
  std::string previous;
  RecordedWarps recorded;
  if (contents == Contents::history) {
    const std::optional<std::string> copy =
        copies.previous.empty() ? std::nullopt : MetaValue(db, kCopyKey);
    if (copy) previous = FileBytes(copies.previous);
    if (copy && *copy == HexDigits(CopyHash(previous))) {
      recorded.FromCopies(previous, written, n);
    } else {
      recorded.FromHistory(db);
    }
  }
  const std::uint32_t knownCount =
      RecordKnown(db, universe, n, run, recorded, contents == Contents::empty);
  if (copies.written.empty()) {
    Statement forget(db, "DELETE FROM meta WHERE key = ?1");
    forget.Bind(1, std::string(kCopyKey));
    forget.Run();
  } else {
    SetMeta(db, kCopyKey, HexDigits(CopyHash(written)));
  }
  {
    Statement add(db,
                  "INSERT INTO runs(run, at, sectors, known, ports, capture)"
                  " VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    add.Bind(1, run);
    add.Bind(2, at);
    add.Bind(3, n);
    add.Bind(4, knownCount);
    add.Bind(5, portCount);
    add.Bind(6, capture);
    add.Run();
  }
  transaction.Commit();
  return true;
}

HistoryDigest ReadHistoryDigest(const std::string& fileName, std::size_t perPort) {
  HistoryDigest digest;
  if (!FileExists(fileName)) return digest;
  Database db(fileName, SQLITE_OPEN_READWRITE);
  const Contents contents = ContentsOf(db);
  if (contents == Contents::foreign) throw IoError(fileName, "not a korvan2a history database");
  if (contents == Contents::empty) return digest;

  Statement runs(db, "SELECT run, at, sectors, known, ports, capture FROM runs ORDER BY run");
  while (runs.Step()) {
    HistoryRun run;
    run.run = static_cast<std::uint32_t>(runs.Int(0));
    run.at = runs.Text(1);
    run.sectors = static_cast<std::uint32_t>(runs.Int(2));
    run.known = static_cast<std::uint32_t>(runs.Int(3));
    run.ports = static_cast<std::uint32_t>(runs.Int(4));
    run.capture = runs.Text(5);
    digest.runs.push_back(std::move(run));
  }

  if (digest.runs.empty() || perPort == 0) return digest;

  // Each port's last `perPort` observations: the rows of the last `perPort`
  // runs, all of them, then those of the runs before the last one that dropped
  // a port (see kDroppedKey), a run at a time, newest first, each port's while
  // it has fewer. Every query reads a range of the key (run, sector).
  const std::int64_t last = digest.runs.back().run;
  const std::int64_t window =
      perPort < static_cast<std::size_t>(std::max<std::int64_t>(last, 1))
          ? last - static_cast<std::int64_t>(perPort) + 1
          : 1;
  std::int64_t dropped = last + 1;  // unknown: every run is read
  if (const std::optional<std::string> value = MetaValue(db, kDroppedKey)) {
    if (const auto run = TextToInt(*value, 0, last)) dropped = std::max<std::int64_t>(*run, 1);
  }
  std::vector<std::uint32_t> taken(std::size_t{0xffff} + 1, 0);  // by sector
  std::vector<PortObservation> seen;
  const RowVisitor observe = [&](sqlite3_value** row) {
    const std::int64_t sector = sqlite3_value_int64(row[1]);
    if (sector < 1 || sector > 0xffff || taken[static_cast<std::size_t>(sector)] >= perPort) return;
    PortObservation port;
    port.sector = static_cast<std::uint16_t>(sector);
    port.run = static_cast<std::uint32_t>(sqlite3_value_int64(row[0]));
    const auto* letters = reinterpret_cast<const char*>(sqlite3_value_text(row[2]));
    const int length = sqlite3_value_bytes(row[2]);
    for (int product = 0; product < kProductCount; ++product) {
      if (product < length && letters[product] == 'B') {
        port.buying |= static_cast<std::uint8_t>(1u << product);
      }
      const std::int64_t amount = sqlite3_value_int64(row[3 + 2 * product]);
      const std::int64_t percent = sqlite3_value_int64(row[4 + 2 * product]);
      if (amount < 0 || amount > 0xffff || percent < 0 || percent > 0xff) return;  // no fit
      port.amount[product] = static_cast<std::uint16_t>(amount);
      port.percent[product] = static_cast<std::uint8_t>(percent);
    }
    ++taken[port.sector];
    seen.push_back(port);
  };
  db.Each("SELECT korvan_each(run, sector, class, ore, ore_pct, org, org_pct, equ, equ_pct)"
          " FROM ports WHERE run >= ?1",
          window, observe);
  const std::size_t recentCount = seen.size();
  for (auto run = digest.runs.rbegin(); run != digest.runs.rend(); ++run) {
    if (run->run >= std::min(dropped, window)) continue;
    db.Each("SELECT korvan_each(run, sector, class, ore, ore_pct, org, org_pct, equ, equ_pct)"
            " FROM ports WHERE run = ?1",
            run->run, observe);
  }

  // By sector, each in run order: the older rows (newest first) turned round,
  // then the recent ones (in key order), placed stably by sector.
  std::vector<std::size_t> start(taken.size() + 1, 0);
  for (std::size_t s = 0; s < taken.size(); ++s) start[s + 1] = start[s] + taken[s];
  digest.observations.resize(seen.size());
  const auto place = [&](const PortObservation& observation) {
    digest.observations[start[observation.sector]++] = observation;
  };
  for (std::size_t i = seen.size(); i-- > recentCount;) place(seen[i]);
  for (std::size_t i = 0; i < recentCount; ++i) place(seen[i]);
  return digest;
}
