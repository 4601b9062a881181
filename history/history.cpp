#include "history/history.h"

#include <sqlite3.h>

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <cstdint>
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

// An open database connection, closed by its owner's scope. The statements
// made on it are declared after it, so they are finalized first.
class Database {
 public:
  Database(const std::string& fileName, int flags) : name_(fileName) {
    // The program has one thread: SQLite need not lock its own structures.
    // (Once SQLite is in use the setting can no longer change; it then stays.)
    static const int singleThread [[maybe_unused]] = sqlite3_config(SQLITE_CONFIG_SINGLETHREAD);
    const int code = sqlite3_open_v2(fileName.c_str(), &db_, flags, nullptr);
    if (code != SQLITE_OK) Fail(code);
    sqlite3_busy_timeout(db_, kHistoryBusyMilliseconds);
  }
  ~Database() { sqlite3_close(db_); }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  sqlite3* handle() const { return db_; }

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
  std::string name_;
  sqlite3* db_ = nullptr;
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

constexpr std::uint32_t WarpKey(std::uint32_t sector, std::uint32_t target) {
  return sector << 16 | target;
}

// The 64-bit FNV-1a hash of the bytes of the files, one after the other (a
// file that does not exist adds nothing).
std::uint64_t HashFiles(std::initializer_list<const std::string*> names) {
  std::uint64_t hash = 14695981039346656037ull;
  std::string bytes;
  for (const std::string* name : names) {
    if (!FileExists(*name) || !ReadFileBytes(*name, bytes)) continue;
    for (const char c : bytes) {
      hash ^= static_cast<unsigned char>(c);
      hash *= 1099511628211ull;
    }
  }
  return hash;
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

// The warps a sector reference copy lists, as WarpKey, ascending: the copy
// lists the sectors in order, so only each line's own warps need sorting.
std::vector<std::uint32_t> ListedWarps(const std::string& fileName) {
  std::vector<std::uint32_t> keys;
  LineReader reader;
  if (!reader.Open(fileName)) return keys;
  std::string_view line;
  while (reader.Next(line)) {
    std::size_t pos = 0;
    const auto sector = TextToWord(NextWord(line, pos, ' '));
    if (!sector || (!keys.empty() && WarpKey(*sector, 0) <= keys.back())) continue;
    const std::size_t first = keys.size();
    for (std::string_view word = NextWord(line, pos, ' '); !word.empty();
         word = NextWord(line, pos, ' ')) {
      if (const auto target = TextToWord(TrimLine(word))) keys.push_back(WarpKey(*sector, *target));
    }
    std::sort(keys.begin() + static_cast<std::ptrdiff_t>(first), keys.end());
  }
  return keys;
}

// The warps the history holds, as WarpKey, ascending (the table's own order).
std::vector<std::uint32_t> RecordedWarps(Database& db) {
  std::vector<std::uint32_t> keys;
  Statement warps(db, "SELECT sector, target FROM warps ORDER BY sector, target");
  while (warps.Step()) {
    const std::int64_t sector = warps.Int(0);
    const std::int64_t target = warps.Int(1);
    if (sector < 0 || sector > 0xffff || target < 0 || target > 0xffff) continue;
    keys.push_back(WarpKey(static_cast<std::uint32_t>(sector), static_cast<std::uint32_t>(target)));
  }
  return keys;
}

// One value of a row: a whole number, or text when `text` is not empty.
struct Cell {
  std::int64_t number = 0;
  std::string text;
  // Not explicit: a row is written as the list of its values.
  Cell(std::int64_t value) : number(value) {}
  Cell(std::string value) : text(std::move(value)) {}
};

// Inserts rows into a table, many rows a statement: a first recorded run
// writes tens of thousands, every run thousands of ports, and SQLite's cost of
// each run of a statement is a large part of a row's.
class RowInserter {
 public:
  // `insert` is "INSERT ... INTO table(columns) VALUES", `columns` their number.
  RowInserter(Database& db, const std::string& insert, int columns)
      : columns_(columns),
        many_(db, (insert + Groups(kRows, columns)).c_str()),
        one_(db, (insert + Groups(1, columns)).c_str()) {}

  void Add(std::initializer_list<Cell> row) {
    for (const Cell& cell : row) Bind(many_, ++bound_, cell);
    if (bound_ < kRows * columns_) {
      pending_.insert(pending_.end(), row.begin(), row.end());
      return;
    }
    many_.Run();
    bound_ = 0;
    pending_.clear();
  }
  // Inserts the rows of a last, partial statement.
  void Finish() {
    for (std::size_t i = 0; i < pending_.size(); ++i) {
      Bind(one_, static_cast<int>(i % static_cast<std::size_t>(columns_)) + 1, pending_[i]);
      if ((i + 1) % static_cast<std::size_t>(columns_) == 0) one_.Run();
    }
    pending_.clear();
    bound_ = 0;
  }

 private:
  static constexpr int kRows = 64;
  static std::string Groups(int rows, int columns) {
    std::string groups;
    for (int row = 0; row < rows; ++row) {
      groups += row == 0 ? "(" : ",(";
      for (int column = 0; column < columns; ++column) groups += column == 0 ? "?" : ",?";
      groups += ")";
    }
    return groups;
  }

  static void Bind(Statement& statement, int index, const Cell& cell) {
    if (cell.text.empty()) {
      statement.Bind(index, cell.number);
    } else {
      statement.Bind(index, cell.text);
    }
  }

  int columns_;
  int bound_ = 0;
  std::vector<Cell> pending_;  // the rows bound to the statement not yet run
  Statement many_;
  Statement one_;
};

// Each sector the reference copy lists with a warp, and each of those warps,
// recorded with `run` unless an earlier run has them. `recorded` are warps the
// history holds (WarpKey, ascending): a sector with one of them is known.
// Returns the number of sectors the copy lists with a warp.
std::uint32_t RecordKnown(Database& db, const Universe& universe, std::uint16_t n,
                          std::int64_t run, const std::vector<std::uint32_t>& recorded) {
  RowInserter addSector(db, "INSERT OR IGNORE INTO known(sector, run) VALUES", 2);
  RowInserter addWarp(db, "INSERT OR IGNORE INTO warps(sector, target, run) VALUES", 3);
  std::uint32_t knownCount = 0;
  auto earlier = recorded.begin();
  for (std::uint32_t s = 1; s <= n; ++s) {
    const Sector& sector = universe.Lookup(s);
    if (!sector.warps) continue;
    // This sector's recorded warps: a run of the ascending keys.
    const auto first = std::lower_bound(earlier, recorded.end(), WarpKey(s, 0));
    earlier = std::lower_bound(first, recorded.end(), WarpKey(s + 1, 0));
    bool listed = false;
    const WarpList& warps = *sector.warps;
    for (std::size_t i = 0; i < warps.targets.size(); ++i) {
      // The entries the reference copy writes: reconciliation's oneWayIn are not.
      if (warps.kinds[i] != oneWayOut && warps.kinds[i] != twoWay) continue;
      listed = true;
      const std::uint16_t target = warps.targets[i];
      if (std::binary_search(first, earlier, WarpKey(s, target))) continue;
      addWarp.Add({s, target, run});
    }
    if (!listed) continue;
    ++knownCount;
    if (first == earlier) addSector.Add({s, run});
  }
  addWarp.Finish();
  addSector.Finish();
  return knownCount;
}

// The ports read from the current port capture, as read. Returns their number.
std::uint32_t RecordPorts(Database& db, const Universe& universe, std::uint16_t n,
                          std::int64_t run) {
  RowInserter add(db,
                  "INSERT INTO ports(run, sector, class, ore, ore_pct, org, org_pct, equ, equ_pct)"
                  " VALUES",
                  9);
  std::uint32_t count = 0;
  for (std::uint32_t s = 1; s <= n; ++s) {
    const Sector& sector = universe.Lookup(s);
    if (!sector.port || sector.port->reporting == 0) continue;
    const PortRecord& port = *sector.port;
    ++count;
    add.Add({run, s, PortClassName(port.buying), port.amount[kOre], port.percent[kOre],
             port.amount[kOrganics], port.percent[kOrganics], port.amount[kEquipment],
             port.percent[kEquipment]});
  }
  add.Finish();
  return count;
}

}  // namespace

std::string CaptureHash(const std::string& sectorCapture, const std::string& portCapture) {
  return HexDigits(HashFiles({&sectorCapture, &portCapture}));
}

std::string HistoryFileName(const std::string& cap) { return cap + "_history.db"; }

bool RecordCapture(const Universe& universe, std::uint16_t n, const std::string& cap) {
  return RecordHistory(universe, n, HistoryFileName(cap), CaptureHash(cap + ".sct", cap + ".prt"),
                       LocalDateTime(), {cap + "_bak.sct", cap + "_ref.sct"});
}

bool IsHistoryDatabase(const std::string& fileName) {
  if (!FileExists(fileName)) return true;
  // Opened for writing, so that SQLite can roll back what a killed run left.
  Database db(fileName, SQLITE_OPEN_READWRITE);
  return ContentsOf(db) != Contents::foreign;
}

bool RecordHistory(const Universe& universe, std::uint16_t n, const std::string& fileName,
                   const std::string& capture, const std::string& at,
                   const SectorCopies& copies) {
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
  // The warps recorded before: those of the previous reference copy when the
  // last recorded run wrote it (the history may hold more, which the inserts
  // pass over), else all of them, read back.
  std::vector<std::uint32_t> recorded;
  bool fromCopy = false;
  if (contents == Contents::history && !copies.previous.empty()) {
    Statement copy(db, "SELECT value FROM meta WHERE key = ?1");
    copy.Bind(1, std::string(kCopyKey));
    fromCopy = copy.Step() && copy.Text(0) == HexDigits(HashFiles({&copies.previous}));
  }
  recorded = fromCopy ? ListedWarps(copies.previous) : RecordedWarps(db);
  const std::uint32_t knownCount = RecordKnown(db, universe, n, run, recorded);
  {
    Statement copy(db, copies.written.empty()
                           ? "DELETE FROM meta WHERE key = ?1"
                           : "INSERT OR REPLACE INTO meta(key, value) VALUES(?1, ?2)");
    copy.Bind(1, std::string(kCopyKey));
    if (!copies.written.empty()) copy.Bind(2, HexDigits(HashFiles({&copies.written})));
    copy.Run();
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

  // The latest runs first, so that each port's first `perPort` rows are its last.
  std::vector<std::size_t> taken(std::size_t{0xffff} + 1, 0);
  Statement ports(db,
                  "SELECT sector, run, class, ore, ore_pct, org, org_pct, equ, equ_pct"
                  " FROM ports ORDER BY run DESC, sector");
  while (ports.Step()) {
    const std::int64_t sector = ports.Int(0);
    if (sector < 1 || sector > 0xffff) continue;
    if (taken[static_cast<std::size_t>(sector)] >= perPort) continue;
    PortObservation seen;
    seen.sector = static_cast<std::uint16_t>(sector);
    seen.run = static_cast<std::uint32_t>(ports.Int(1));
    const std::string letters = ports.Text(2);
    bool fits = true;
    for (int product = 0; product < kProductCount; ++product) {
      const auto letter = static_cast<std::size_t>(product);
      if (letter < letters.size() && letters[letter] == 'B') {
        seen.buying |= static_cast<std::uint8_t>(1u << product);
      }
      const std::int64_t amount = ports.Int(3 + 2 * product);
      const std::int64_t percent = ports.Int(4 + 2 * product);
      fits = fits && amount >= 0 && amount <= 0xffff && percent >= 0 && percent <= 0xff;
      seen.amount[product] = static_cast<std::uint16_t>(amount);
      seen.percent[product] = static_cast<std::uint8_t>(percent);
    }
    if (!fits) continue;
    ++taken[static_cast<std::size_t>(sector)];
    digest.observations.push_back(seen);
  }
  std::sort(digest.observations.begin(), digest.observations.end(),
            [](const PortObservation& a, const PortObservation& b) {
              return a.sector != b.sector ? a.sector < b.sector : a.run < b.run;
            });
  return digest;
}
