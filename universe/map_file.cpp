#include "universe/map_file.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/console.h"
#include "platform/file.h"
#include "progress/progress.h"
#include "text/text.h"

namespace {

// Record bytes before the warp slots: flags, nine port bytes, the two msl hop
// counts, the bubble gate and inCount.
constexpr std::size_t kFixedBytes = 15;
// reclen is one byte, so at most (255 - 15) / 2 warp slots fit a record.
constexpr std::size_t kMaxSlots = 120;
// A slot holds target + 20000 x kind.
constexpr std::uint32_t kKindStride = 20000;
// The comparison looks at no more than six map warps per sector.
constexpr std::size_t kComparedWarps = 6;
// The largest map the format can describe (65535 records of 255 bytes after the
// reclen byte) plus one byte, enough to tell that more records follow.
constexpr std::size_t kMaxMapBytes = 1 + std::size_t{65535} * 255 + 1;

constexpr std::uint8_t kFlagExplored = 1;
constexpr std::uint8_t kFlagBubbleBottom = 2;
constexpr std::uint8_t kFlagPort = 8;
constexpr std::uint8_t kFlagReporting = 16;
constexpr int kBuyingShift = 5;

std::uint32_t ReadU16(const unsigned char* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8);
}

// The port's capacity estimated from an amount and the percentage it stands for.
// Wide on purpose: 700 units at 0% is 70000, which a 16-bit amount cannot hold.
std::int64_t Capacity(std::uint32_t amount, std::uint32_t percent) {
  std::int64_t capacity = amount;
  if (percent < 100) capacity = capacity * 100 / (percent + 1);
  return capacity;
}

// Compares a port the map knew with the merged data: a port gone from the
// merged data, and every product whose capacity rose by more than one percent;
// for the atlas also a port found, a class changed and capacities that fell.
void ComparePort(const Sector& sector, std::uint16_t s, const unsigned char* record, bool atlas,
                 MapChanges& changes) {
  if ((record[0] & kFlagPort) == 0) {
    if (atlas && sector.port) changes.newPort.push_back(s);
    return;
  }
  if (!sector.port) {
    changes.portGone.push_back(s);
    return;
  }
  const auto before = static_cast<std::uint8_t>(record[0] >> kBuyingShift);
  const auto now = static_cast<std::uint8_t>(sector.port->buying & 7);
  if (atlas && before != now) changes.classChanged.push_back({s, before, now});
  for (int p = 0; p < kProductCount; ++p) {
    const unsigned char* field = record + 1 + 3 * p;
    const std::int64_t prev = Capacity(ReadU16(field), field[2]);
    const std::int64_t cur = Capacity(sector.port->amount[p], sector.port->percent[p]);
    const auto product = static_cast<std::uint8_t>(p);
    if (prev / 100 < cur - prev) {
      changes.up.push_back({s, product, static_cast<std::uint32_t>(cur - prev)});
    } else if (atlas && cur / 100 < prev - cur) {
      changes.down.push_back({s, product, static_cast<std::uint32_t>(prev - cur)});
    }
  }
}

// Finds a sector whose current warps are not all among the (at most six) warps
// out of it that the map recorded, with the warps that are new; for the atlas
// also the map warps the sector no longer lists.
void CompareWarps(const Sector& sector, std::uint16_t s, const unsigned char* record,
                  std::size_t slots, bool atlas, MapChanges& changes) {
  std::array<std::uint32_t, kComparedWarps> mapWarps{};
  std::size_t collected = 0;
  for (std::size_t i = 0; i < slots && collected < kComparedWarps; ++i) {
    const std::uint32_t value = ReadU16(record + kFixedBytes + 2 * i);
    if (value / kKindStride >= oneWayIn) continue;
    mapWarps[collected++] = value % kKindStride;
  }
  // Only as many leading values as there are non-zero ones count as map warps.
  const std::size_t k = static_cast<std::size_t>(
      std::count_if(mapWarps.begin(), mapWarps.begin() + collected,
                    [](std::uint32_t target) { return target != 0; }));
  const auto mapBegin = mapWarps.begin();
  const auto mapEnd = mapWarps.begin() + k;
  static const std::vector<std::uint16_t> kNoTargets;
  const std::vector<std::uint16_t>& targets = sector.warps ? sector.warps->targets : kNoTargets;

  if (atlas) {
    std::array<std::uint16_t, kComparedWarps> gone;
    std::size_t goneCount = 0;
    for (auto m = mapBegin; m != mapEnd; ++m) {
      if (*m != 0 && std::find(targets.begin(), targets.end(), *m) == targets.end()) {
        gone[goneCount++] = static_cast<std::uint16_t>(*m);
      }
    }
    if (goneCount > 0) changes.AddWarps(changes.warpsGone, s, {gone.data(), goneCount});
  }

  bool changed;
  if (!sector.warps) {
    changed = k > 0;
  } else {
    changed = k < targets.size() || std::any_of(targets.begin(), targets.end(), [&](auto t) {
                return std::find(mapBegin, mapEnd, t) == mapEnd;
              });
  }
  if (!changed) return;

  // The new warps: built only for a sector with a list and fewer than six map
  // warps. Both lists ascend, as the captures list warps and the map stores them.
  std::array<std::uint16_t, kMaxWarps> found;
  std::size_t foundCount = 0;
  if (sector.warps && k < kComparedWarps) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < targets.size() && j < k) {
      if (targets[i] == mapWarps[j]) {
        ++i;
        ++j;
      } else if (targets[i] > mapWarps[j]) {
        ++j;
      } else {
        found[foundCount++] = targets[i++];
      }
    }
    while (i < targets.size() && foundCount < found.size()) found[foundCount++] = targets[i++];
  }
  changes.AddWarps(changes.newWarps, s, {found.data(), foundCount});
}

}  // namespace

MapChanges CompareMapFile(const Universe& universe, const std::string& fileName,
                          MapChangesDetail detail) {
  const bool atlas = detail == MapChangesDetail::atlas;
  const std::uint16_t n = universe.size();
  MapChanges changes;
  changes.state = MapChangesState::noMapFile;
  if (!FileExists(fileName)) return changes;
  std::string bytes;
  if (!ReadFileHead(fileName, kMaxMapBytes, bytes)) return changes;

  if (bytes.empty() || static_cast<unsigned char>(bytes[0]) < kFixedBytes) {
    changes.state = MapChangesState::unusable;
    return changes;
  }
  changes.state = MapChangesState::compared;
  const std::size_t reclen = static_cast<unsigned char>(bytes[0]);
  changes.reclen = static_cast<std::uint8_t>(reclen);

  AnnounceFile("reading map file: ", fileName);
  std::string reclenText = "(reclen=";
  AppendRight(reclenText, static_cast<std::int64_t>(reclen));
  reclenText += ") ";
  ConsoleWrite(reclenText);

  // A reclen of even value leaves one unused byte after the last slot.
  const std::size_t slots = (reclen - kFixedBytes) / 2;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  std::uint16_t records = 0;
  for (std::size_t pos = 1; pos < bytes.size(); pos += reclen) {
    if (records == n) {
      changes.tooManyRecords = true;
      break;
    }
    if (bytes.size() - pos < reclen) break;  // a partial last record is ignored
    ++records;
    const unsigned char* record = data + pos;
    const Sector& sector = universe.Lookup(records);
    if (atlas && (record[0] & kFlagExplored) == 0 && sector.explored != 0) {
      changes.explored.push_back(records);
    }
    ComparePort(sector, records, record, atlas, changes);
    CompareWarps(sector, records, record, slots, atlas, changes);
  }
  changes.records = records;
  changes.tooFewRecords = records < n;

  EndPhaseLine();
  return changes;
}

void WriteMapFile(const Universe& universe, const std::string& fileName) {
  const std::uint16_t n = universe.size();
  OutputFile file(fileName);

  std::size_t slots = 0;
  for (std::uint32_t s = 1; s <= n; ++s) {
    const Sector& sector = universe.Lookup(s);
    if (sector.warps) slots = std::max<std::size_t>(slots, sector.warps->targets.size());
  }
  // Lists longer than the format allows lose their entries beyond the 120th.
  slots = std::min(slots, kMaxSlots);
  const std::size_t reclen = kFixedBytes + 2 * slots;

  std::string text = "writing map (reclen=";
  AppendRight(text, static_cast<std::int64_t>(reclen));
  text += "): ";
  text += fileName.size() >= 34 ? std::string_view(fileName).substr(fileName.size() - 30)
                                : std::string_view(fileName);
  text += ' ';
  ConsoleWrite(text);

  file.Write(std::string(1, static_cast<char>(reclen)));
  // One record buffer, every byte of it written for each sector: the file holds
  // 20000 records of a few dozen bytes.
  std::string record(reclen, '\0');
  unsigned char* bytes = reinterpret_cast<unsigned char*>(record.data());
  auto putU16 = [](unsigned char* at, std::uint32_t value) {
    at[0] = static_cast<unsigned char>(value & 0xFF);
    at[1] = static_cast<unsigned char>((value >> 8) & 0xFF);
  };
  for (std::uint32_t s = 1; s <= n; ++s) {
    const Sector& sector = universe.Lookup(s);

    std::uint8_t flags = 0;
    if (sector.explored != 0) flags |= kFlagExplored;
    if (sector.bubble && sector.bubble->depth == 1) flags |= kFlagBubbleBottom;
    if (sector.port) {
      flags |= kFlagPort;
      if (sector.port->reporting != 0) flags |= kFlagReporting;
      flags |= static_cast<std::uint8_t>((sector.port->buying & 7) << kBuyingShift);
    }
    bytes[0] = flags;

    for (std::size_t p = 0; p < kProductCount; ++p) {
      putU16(bytes + 1 + 3 * p, sector.port ? sector.port->amount[p] : 0);
      bytes[3 + 3 * p] = sector.port ? sector.port->percent[p] : 0;
    }
    bytes[10] = sector.hopsTo.size() > kMslSlot ? sector.hopsTo[kMslSlot] : kNoRoute;
    bytes[11] = sector.hopsFrom.size() > kMslSlot ? sector.hopsFrom[kMslSlot] : kNoRoute;
    putU16(bytes + 12, sector.bubble ? sector.bubble->gate : 0);
    bytes[14] = sector.warps ? sector.warps->inCount : 0;

    const std::size_t count = sector.warps ? std::min(sector.warps->targets.size(), slots) : 0;
    for (std::size_t i = 0; i < count; ++i) {
      // Targets outside 1..n are written as read; the slot keeps 16 bits.
      putU16(bytes + kFixedBytes + 2 * i,
             sector.warps->targets[i] + kKindStride * sector.warps->kinds[i]);
    }
    std::fill(bytes + kFixedBytes + 2 * count, bytes + reclen, 0);
    file.Write(record);
  }

  file.Commit();
  EndPhaseLine();
}
