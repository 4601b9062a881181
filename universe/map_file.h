// The map file "<game>.map": a binary snapshot of the Universe written by every
// run with reports on, and compared with the next run's merged data.
#pragma once

#include <cstdint>
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
  struct Warps {
    std::uint16_t sector;
    std::vector<std::uint16_t> targets;
  };

  MapChangesState state = MapChangesState::notAsked;
  std::uint8_t reclen = 0;              // the map's record length, when compared
  std::uint32_t records = 0;            // records compared
  bool tooManyRecords = false;          // the map holds more records than the universe sectors
  bool tooFewRecords = false;           // the map holds fewer records than the universe sectors
  std::vector<std::uint16_t> explored;  // not explored in the map, explored now
  std::vector<std::uint16_t> newPort;   // no port in the map, a port now
  std::vector<std::uint16_t> portGone;  // a port in the map, none now (the log's "new port found.")
  std::vector<ClassChange> classChanged;  // a port in both, the buying masks differ
  std::vector<Capacity> up;    // the log's "up by" lines: prev / 100 < cur - prev
  std::vector<Capacity> down;  // the same rule turned around: cur / 100 < prev - cur
  std::vector<Warps> newWarps;   // the log's "new warps found (...)" lines, with their lists
  std::vector<Warps> warpsGone;  // compared map warps the sector's list no longer holds
};

// Compares the map file with the Universe: what changed, or why nothing was
// compared (state noMapFile, unusable). Changes nothing in the Universe and
// writes no file; the console shows the map read.
MapChanges CompareMapFile(const Universe& universe, const std::string& fileName);

// Writes the map file, replacing it only when complete.
void WriteMapFile(const Universe& universe, const std::string& fileName);
