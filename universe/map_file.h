// The map file "<game>.map": a binary snapshot of the Universe written by every
// run with reports on, and compared with the next run's merged data.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "universe/universe.h"

// Why there are, or are not, changes against the map's snapshot.
enum class MapChangesState : std::uint8_t {
  notAsked = 0,   // the load mask does not ask for the comparison
  noMapFile = 1,  // there is no map file to compare with
  unusable = 2,   // the map file is empty or its reclen is below 15
  compared = 3,
};

// What a comparison found, sector by sector in sector order within each kind:
// the change log's lines are written from it (WriteMapChanges), the atlas shows
// it. Only sectors of the records read (the first `records` sectors) take part.
// The kinds marked "atlas" are gathered for the atlas only (MapChangesDetail).
struct MapChanges {
  struct ClassChange {
    std::uint16_t sector;
    std::uint8_t before;  // the buying masks of the map's port and of the port now
    std::uint8_t now;
  };
  struct Capacity {
    std::uint16_t sector;
    std::uint8_t product;  // 0 fuel ore, 1 organics, 2 equipment
    std::uint32_t amount;  // by how much the estimated capacity rose or fell
  };
  // A sector's list of warps; its targets are held in `warpTargets`.
  struct Warps {
    std::uint16_t sector;
    std::uint32_t first;
    std::uint32_t count;
  };

  MapChangesState state = MapChangesState::notAsked;
  std::uint8_t reclen = 0;              // the map's record length, when compared
  std::uint32_t records = 0;            // records compared
  bool tooManyRecords = false;          // the map holds more records than the universe sectors
  bool tooFewRecords = false;           // the map holds fewer records than the universe sectors
  std::vector<std::uint16_t> explored;  // atlas: not explored in the map, explored now
  std::vector<std::uint16_t> newPort;   // atlas: no port in the map, a port now
  std::vector<std::uint16_t> portGone;  // a port in the map, none now (the log's "new port found.")
  std::vector<ClassChange> classChanged;  // atlas: a port in both, the buying masks differ
  std::vector<Capacity> up;    // the log's "up by" lines: prev / 100 < cur - prev
  std::vector<Capacity> down;  // atlas: the same rule turned around: cur / 100 < prev - cur
  std::vector<Warps> newWarps;   // the log's "new warps found (...)" lines, with their lists
  std::vector<Warps> warpsGone;  // atlas: compared map warps the sector's list no longer holds
  // The targets of every list of newWarps and warpsGone, in one block: a
  // comparison finds thousands of lists, most of one or two warps.
  std::vector<std::uint16_t> warpTargets;

  std::span<const std::uint16_t> targets(const Warps& warps) const {
    return {warpTargets.data() + warps.first, warps.count};
  }
  // Appends to `kind` (newWarps or warpsGone) the list of `sector` holding `list`.
  void AddWarps(std::vector<Warps>& kind, std::uint16_t sector,
                std::span<const std::uint16_t> list) {
    kind.push_back({sector, static_cast<std::uint32_t>(warpTargets.size()),
                    static_cast<std::uint32_t>(list.size())});
    warpTargets.insert(warpTargets.end(), list.begin(), list.end());
  }
};

// How much a comparison gathers: what the change log lists, or also what only
// the atlas shows (a run without the atlas spares that work).
enum class MapChangesDetail : std::uint8_t { changeLog, atlas };

// Compares the map file with the Universe: what changed, or why nothing was
// compared (state noMapFile, unusable). Changes nothing in the Universe and
// writes no file; the console shows the map read.
MapChanges CompareMapFile(const Universe& universe, const std::string& fileName,
                          MapChangesDetail detail);

// Writes the map file, replacing it only when complete.
void WriteMapFile(const Universe& universe, const std::string& fileName);
