// The major space lane: the routes between the special sectors, and every
// sector's hop counts to and from the nearest sector on them.
#pragma once

#include <cstdint>
#include <vector>

#include "universe/universe.h"

// One route of the lane, walked from the special sector `from` towards `to`.
struct LaneRoute {
  const char* title;  // "terra to stardock", ...
  std::uint16_t from;
  std::uint16_t to;
  // The sectors passed, `from` first; it stops short of `to` where the walk
  // found no closer sector.
  std::vector<std::uint16_t> sectors;
};

// Walks the eight routes between terra, alpha centauri, rylos and stardock
// (in the report's order), marks every sector on them as lying on the lane
// (msl slot 0), then fills the msl slot of every sector's hop tables from all
// lane sectors at once. Needs the distances (CalculateDistances). Returns the
// routes; none, and nothing done or shown, when one of the four special
// sectors is not given or lies outside the universe.
std::vector<LaneRoute> CalculateMsl(Universe& universe, const Specials& specials);
