// The breadth-first hop sweep shared by the distance and msl analyses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "universe/universe.h"

// The largest hop count a table can hold: 255 means no route.
constexpr std::uint8_t kDeepestHops = 254;

// The moves one direction of sweep follows, gathered once from the sectors'
// own lists (targets outside 1..n left out), so that the sweeps of every slot
// run over compact arrays instead of chasing each Sector's lists. Outward
// sweeps (filling hopsFrom) follow entries of kind oneWayOut or twoWay, inward
// sweeps (filling hopsTo) entries of kind twoWay or oneWayIn; MoveTables builds
// both.
class MoveTable {
 public:
  // Sweeps one column of counts, hops[s] for sector s (entry 0 unused). Level
  // by level from `startLevel`, every sector whose count equals the level gives
  // level + 1 to each sector its own list moves to that still holds 255. Ends
  // after a level that gives nothing, or after the level that gave 254: farther
  // sectors keep 255. The result is the same as rescanning the whole column
  // once per level, counts already in it included.
  void Sweep(std::vector<std::uint8_t>& hops, std::uint8_t startLevel) const;

 private:
  MoveTable() = default;
  friend struct MoveTables;

  std::uint16_t n_ = 0;
  std::vector<std::uint32_t> first_;  // moves of sector s: first_[s] .. first_[s + 1]
  std::vector<std::uint16_t> moves_;
};

// The moves of both directions, gathered in one walk over the warp lists.
struct MoveTables {
  explicit MoveTables(const Universe& universe);
  MoveTable outward;
  MoveTable inward;
};

// Slots firstSlot .. endSlot - 1 of both hop tables of sectors 1..n, copied
// into one compact column per slot and table (entry s for sector s), so that a
// sweep touches a few kilobytes instead of every Sector's tables.
class HopColumns {
 public:
  HopColumns(const Universe& universe, std::size_t firstSlot, std::size_t endSlot);

  std::vector<std::uint8_t>& to(std::size_t slot) { return to_[slot - firstSlot_]; }
  std::vector<std::uint8_t>& from(std::size_t slot) { return from_[slot - firstSlot_]; }

  // Copies the columns back into the Sectors' hopsTo and hopsFrom.
  void Store(Universe& universe) const;

 private:
  std::uint16_t n_;
  std::size_t firstSlot_;
  std::vector<std::vector<std::uint8_t>> to_;
  std::vector<std::vector<std::uint8_t>> from_;
};
