#include "atlas/atlas.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "atlas/atlas_page.h"
#include "platform/file.h"
#include "progress/progress.h"
#include "report/sector_line.h"
#include "text/text.h"

namespace {

// The characters of bytes 0x80..0x9F in Windows-1252; the five bytes it leaves
// undefined keep their own code points. Bytes 0xA0..0xFF are their own code
// points.
constexpr std::array<std::uint16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUnicodeEscape(std::string& out, std::uint32_t codePoint) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(codePoint >> shift) & 0xF];
}

std::uint8_t HopAt(const HopTable& table, std::size_t slot) {
  return slot < table.size() ? table[slot] : kNoRoute;
}

// One part of the data block, written in place: the caller makes room for
// what a sector adds, then puts characters and numbers without further checks.
// A 20000-sector universe puts hundreds of thousands of numbers; appending each
// to a string costs several times the writing.
class Part {
 public:
  explicit Part(std::size_t room) : bytes_(new char[room]), size_(room) {}

  void MakeRoom(std::size_t room) {
    if (size_ - used_ >= room) return;
    const std::size_t size = std::max(2 * size_, used_ + room);
    std::unique_ptr<char[]> larger(new char[size]);
    std::memcpy(larger.get(), bytes_.get(), used_);
    bytes_ = std::move(larger);
    size_ = size;
  }
  void Put(char c) { bytes_[used_++] = c; }
  // At most 10 characters.
  void Number(std::uint32_t value) {
    used_ = static_cast<std::size_t>(std::to_chars(bytes_.get() + used_, bytes_.get() + size_, value).ptr -
                                     bytes_.get());
  }
  // A hop count and a comma, at most 4 characters: one copy from a table of
  // the 256 of them.
  void HopsAndComma(std::uint8_t hops) {
    const Digits& digits = kHopTable[hops];
    std::memcpy(bytes_.get() + used_, digits.text, 4);
    used_ += digits.length;
  }
  // What was written, without its last comma when `dropLastComma`.
  std::string_view View(bool dropLastComma = false) const {
    std::size_t used = used_;
    if (dropLastComma && used > 0 && bytes_[used - 1] == ',') --used;
    return {bytes_.get(), used};
  }

 private:
  struct Digits {
    char text[4];
    std::size_t length;
  };
  static inline const std::array<Digits, 256> kHopTable = [] {
    std::array<Digits, 256> table{};
    for (std::uint32_t v = 0; v < 256; ++v) {
      char* end = std::to_chars(table[v].text, table[v].text + 3, v).ptr;
      *end++ = ',';
      table[v].length = static_cast<std::size_t>(end - table[v].text);
    }
    return table;
  }();

  std::unique_ptr<char[]> bytes_;  // not zero-filled: only written bytes are read
  std::size_t size_;
  std::size_t used_ = 0;
};

// Sector and text of one sector's note or log.
void AppendText(std::string& out, std::uint32_t s, const std::string& text) {
  if (text.empty()) return;
  if (!out.empty()) out += ',';
  AppendRight(out, s);
  out += ',';
  AppendJsonText(out, text);
}

// Numbers written one after another, a comma between two.
class NumberList {
 public:
  explicit NumberList(std::string& out) : out_(out) {}
  void Add(std::int64_t value) {
    if (!first_) out_ += ',';
    first_ = false;
    AppendRight(out_, value);
  }

 private:
  std::string& out_;
  bool first_ = true;
};

// `,"name":[...]` with the numbers `put` gives for each entry of `list`.
template <typename Entry, typename Put>
void AppendChangeList(std::string& out, std::string_view name, const std::vector<Entry>& list,
                      Put put) {
  out += ",\"";
  out += name;
  out += "\":[";
  NumberList numbers(out);
  for (const Entry& entry : list) put(numbers, entry);
  out += ']';
}

// The map warps the comparison found gone that the sector still lacks at the
// end of the run: a route file read after the comparison may list them again,
// and a warp the run adds again is not gone. A warp in (added by
// reconciliation) is no warp out of the sector.
// Returned as the warpsGone of a record of their own.
MapChanges StillGone(const Universe& universe, const MapChanges& changes) {
  MapChanges still;
  std::vector<std::uint16_t> kept;
  for (const MapChanges::Warps& change : changes.warpsGone) {
    const std::optional<WarpList>& warps = universe.Lookup(change.sector).warps;
    kept.clear();
    for (const std::uint16_t target : changes.targets(change)) {
      bool listed = false;
      for (std::size_t i = 0; warps && i < warps->targets.size() && !listed; ++i) {
        listed = warps->targets[i] == target && warps->kinds[i] != oneWayIn;
      }
      if (!listed) kept.push_back(target);
    }
    if (!kept.empty()) still.AddWarps(still.warpsGone, change.sector, kept);
  }
  return still;
}

// The "changes" member of the data block, its name and leading comma included.
std::string ChangesData(const Universe& universe, const MapChanges& changes) {
  std::string out = ",\"changes\":{\"state\":";
  AppendRight(out, static_cast<int>(changes.state));
  out += ",\"records\":";
  AppendRight(out, changes.records);
  const auto sector = [](NumberList& numbers, std::uint16_t s) { numbers.Add(s); };
  const auto classes = [](NumberList& numbers, const MapChanges::ClassChange& change) {
    numbers.Add(change.sector);
    numbers.Add(change.before);
    numbers.Add(change.now);
  };
  const auto capacity = [](NumberList& numbers, const MapChanges::Capacity& change) {
    numbers.Add(change.sector);
    numbers.Add(change.product);
    numbers.Add(change.amount);
  };
  // The lists of `of`'s kinds of warps.
  const auto warpsOf = [](const MapChanges& of) {
    return [list = &of](NumberList& numbers, const MapChanges::Warps& change) {
      numbers.Add(change.sector);
      numbers.Add(change.count);
      for (const std::uint16_t t : list->targets(change)) numbers.Add(t);
    };
  };
  AppendChangeList(out, "explored", changes.explored, sector);
  AppendChangeList(out, "newPort", changes.newPort, sector);
  AppendChangeList(out, "portGone", changes.portGone, sector);
  AppendChangeList(out, "classChanged", changes.classChanged, classes);
  AppendChangeList(out, "up", changes.up, capacity);
  AppendChangeList(out, "down", changes.down, capacity);
  AppendChangeList(out, "newWarps", changes.newWarps, warpsOf(changes));
  const MapChanges still = StillGone(universe, changes);
  AppendChangeList(out, "warpsGone", still.warpsGone, warpsOf(still));
  out += '}';
  return out;
}

// The characters of the observations' numbers: the value of each, 0 to 63.
constexpr char kDigits64[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// 0, -1, 1, -2 ... as 0, 1, 2, 3 ...
std::uint64_t Zigzag(std::int64_t value) {
  return value < 0 ? (static_cast<std::uint64_t>(-(value + 1)) << 1) | 1u
                   : static_cast<std::uint64_t>(value) << 1;
}

// A number of an observation: five bits a character, lowest first, 32 added
// to a character another follows.
void AppendCoded(std::string& out, std::uint64_t value) {
  do {
    const std::uint64_t five = value & 31u;
    value >>= 5;
    out += kDigits64[five + (value != 0 ? 32u : 0u)];
  } while (value != 0);
}

// The "history" member of the data block, its name and leading comma included.
std::string HistoryData(const HistoryDigest& history) {
  std::string out = ",\"history\":{\"at\":[";
  for (std::size_t i = 0; i < history.runs.size(); ++i) {
    if (i > 0) out += ',';
    AppendJsonText(out, history.runs[i].at);
  }
  out += "],\"known\":[";
  NumberList known(out);
  for (const HistoryRun& run : history.runs) known.Add(run.known);
  out += "],\"ports\":[";
  NumberList ports(out);
  for (const HistoryRun& run : history.runs) ports.Add(run.ports);
  out += "],\"observed\":[";
  // The observations come by sector, then run; each names its run by its
  // index among the runs, found by its number (the runs come in order).
  // About ten characters an observation, and a sector's number a port.
  out.reserve(out.size() + 12 * history.observations.size());
  std::uint16_t sector = 0;
  std::int64_t index = -1;  // the last observation's run
  std::array<std::int64_t, kProductCount> amount{};
  for (const PortObservation& seen : history.observations) {
    const auto run = std::lower_bound(
        history.runs.begin(), history.runs.end(), seen.run,
        [](const HistoryRun& r, std::uint32_t number) { return r.run < number; });
    if (run == history.runs.end() || run->run != seen.run) continue;
    const std::int64_t at = run - history.runs.begin();
    const bool first = seen.sector != sector;
    if (first) {
      if (sector != 0) out += "\",";
      sector = seen.sector;
      AppendRight(out, sector);
      out += ",\"";
      index = -1;
      amount.fill(0);
    }
    // A port is mostly observed by every run: the run after the last one
    // costs a bit of the first amount, any other a number of its own.
    const std::int64_t gap = at - index;
    AppendCoded(out, Zigzag(seen.amount[0] - amount[0]) * 2 + (gap != 1 ? 1u : 0u));
    if (gap != 1) AppendCoded(out, static_cast<std::uint64_t>(gap - 2));
    index = at;
    for (std::size_t p = 0; p < kProductCount; ++p) {
      if (p > 0) AppendCoded(out, Zigzag(seen.amount[p] - amount[p]));
      amount[p] = seen.amount[p];
    }
  }
  if (sector != 0) out += '"';
  out += "]}";
  return out;
}

}  // namespace

void AppendJsonText(std::string& out, std::string_view bytes) {
  out += '"';
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      AppendUnicodeEscape(out, byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte);
    } else if (byte == '"' || byte == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F || byte == '<' || byte == '>' || byte == '&') {
      AppendUnicodeEscape(out, byte);
    } else {
      out += c;
    }
  }
  out += '"';
}

namespace {

// The data block, handed to `emit` piece by piece: the page writes them straight
// to its file, without a copy of the whole block.
void EmitAtlasData(const Universe& universe, const Specials& specials, std::string_view gameName,
                   const MapChanges& changes, const HistoryDigest* history,
                   const std::function<void(std::string_view)>& emit) {
  const std::uint16_t n = universe.size();
  const std::size_t slots = std::min(UsableSlots(universe, specials), kAtlasSlots);
  std::uint16_t spinner = ProgressTick(0, 1000);

  // One pass over the sectors fills every part: the Universe is megabytes, a
  // part a few hundred kilobytes at most.
  Part flags(n + std::size_t{1});
  Part warps(std::size_t{32} * n + 16);
  Part ports(4096);
  std::string classes, bubbles, notes, logs;
  std::vector<std::size_t> columns;  // the slots whose hop columns are written
  std::vector<Part> hopsTo, hopsFrom;
  for (std::size_t k = 0; k < slots; ++k) {
    if (k != kMslSlot && specials[k] == 0) continue;
    columns.push_back(k);
    hopsTo.emplace_back(std::size_t{4} * n + 4);
    hopsFrom.emplace_back(std::size_t{4} * n + 4);
  }
  bool laneWalked = false;
  for (std::uint32_t s = 1; s <= n; ++s) {
    spinner = ProgressTick(spinner, 1000);
    const Sector& sector = universe.Lookup(s);
    flags.Put(static_cast<char>('0' + (sector.explored != 0 ? 1 : 0) + (sector.fig != 0 ? 2 : 0)));

    // Its count + 1 and its entries, each with a comma after it.
    if (!sector.warps) {
      warps.MakeRoom(2);
      warps.Put('0');
      warps.Put(',');
    } else {
      const WarpList& list = *sector.warps;
      const std::size_t count = std::min(list.targets.size(), list.kinds.size());
      warps.MakeRoom(4 + 7 * (count + 1));
      warps.Number(static_cast<std::uint32_t>(count + 1));
      warps.Put(',');
      for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t kind = list.kinds[i] <= oneWayIn ? list.kinds[i] : 3;
        warps.Number(std::uint32_t{list.targets[i]} * 4 + kind);
        warps.Put(',');
      }
    }

    if (sector.port) {
      const PortRecord& port = *sector.port;
      ports.MakeRoom(8 * 11);
      ports.Number(s);
      ports.Put(',');
      ports.Number((port.buying & 7u) + (port.reporting != 0 ? 8u : 0u));
      ports.Put(',');
      for (const std::uint8_t percent : port.percent) {
        ports.Number(percent);
        ports.Put(',');
      }
      for (const std::uint16_t amount : port.amount) {
        ports.Number(amount);
        ports.Put(',');
      }
      // Three letters for every port, whatever its mask holds.
      std::string letters = DescribePort(static_cast<std::uint16_t>(s), 3001, universe);
      letters.resize(3, '?');
      classes += letters;
    }

    for (std::size_t c = 0; c < columns.size(); ++c) {
      hopsTo[c].HopsAndComma(HopAt(sector.hopsTo, columns[c]));
      hopsFrom[c].HopsAndComma(HopAt(sector.hopsFrom, columns[c]));
    }
    laneWalked = laneWalked || HopAt(sector.hopsFrom, kMslSlot) == 0;

    if (sector.bubble) {
      const BubbleRecord& bubble = *sector.bubble;
      if (!bubbles.empty()) bubbles += ',';
      AppendRight(bubbles, s);
      bubbles += ',';
      AppendRight(bubbles, bubble.gate);
      bubbles += ',';
      AppendRight(bubbles, bubble.depth);
      bubbles += ',';
      AppendRight(bubbles, (bubble.compromised != 0 ? 1u : 0u) + (bubble.explored != 0 ? 2u : 0u));
    }
    AppendText(notes, s, sector.note);
    AppendText(logs, s, sector.log);
  }

  std::string out = "{\"format\":1,\"game\":";
  AppendJsonText(out, gameName);
  out += ",\"sectors\":";
  AppendRight(out, n);
  out += ",\"specials\":[";
  for (std::size_t k = 0; k < slots; ++k) {
    if (k > 0) out += ',';
    AppendRight(out, specials[k]);
  }
  out += "],\"flags\":\"";
  emit(out);
  emit(flags.View());
  emit("\",\"warps\":[");
  emit(warps.View(true));
  emit("],\"ports\":[");
  emit(ports.View(true));
  emit("],\"portClass\":\"");
  emit(classes);
  for (const bool to : {true, false}) {
    emit(to ? "\",\"hopsTo\":[" : "],\"hopsFrom\":[");
    std::size_t c = 0;
    for (std::size_t k = 0; k < slots; ++k) {
      if (k > 0) emit(",");
      const bool hasColumn = c < columns.size() && columns[c] == k;
      // The msl slot says nothing when no sector lies on the lane.
      if (hasColumn && (k != kMslSlot || laneWalked)) {
        emit("[");
        emit((to ? hopsTo : hopsFrom)[c].View(true));
        emit("]");
      } else {
        emit("null");
      }
      if (hasColumn) ++c;
    }
  }
  emit("],\"bubbles\":[");
  emit(bubbles);
  emit("],\"notes\":[");
  emit(notes);
  emit("],\"logs\":[");
  emit(logs);
  emit("]");
  emit(ChangesData(universe, changes));
  if (history != nullptr) emit(HistoryData(*history));
  emit("}");
}

}  // namespace

std::string AtlasData(const Universe& universe, const Specials& specials, std::string_view gameName,
                      const MapChanges& changes, const HistoryDigest* history) {
  std::string data;
  EmitAtlasData(universe, specials, gameName, changes, history,
                [&data](std::string_view piece) { data += piece; });
  return data;
}

void WriteAtlas(const Universe& universe, const Specials& specials, const std::string& gameName,
                const MapChanges& changes, const HistoryDigest* history,
                const std::string& fileName) {
  AnnounceFile("writing atlas: ", fileName);
  // The page replaces the old one only when it is complete.
  OutputFile file(fileName);
  file.Write(AtlasPageHead());
  EmitAtlasData(universe, specials, gameName, changes, history,
                [&file](std::string_view piece) { file.Write(piece); });
  file.Write(AtlasPageTail());
  file.Commit();
  EndPhaseLine();
}
