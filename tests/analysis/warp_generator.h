// Test-only universes with reconciled warp lists: a well-connected core with
// trees and chains hanging off it, one-way warps, unexplored sectors, stray
// targets outside the universe, ports, figs and notes, all from one seed.
#pragma once

#include <cstdint>

#include "tests/analysis/analysis_fixtures.h"  // ReconcileForTest
#include "universe/universe.h"

struct GeneratedShape {
  std::uint16_t n = 100;
  int corePercent = 30;        // sectors joined to several others of the core
  int chainPercent = 40;       // non-core sectors that extend the previous one
  int unexploredPercent = 15;  // sectors not listed in the current capture
  int oneWayPercent = 10;      // sectors with an extra one-way warp out
  int strayPercent = 2;        // sectors listing a target outside 1..n
  int oddPercent = 1;          // self-warps and duplicate entries
};

// A universe of shape.n sectors whose warp lists have been reconciled.
Universe GenerateUniverse(std::uint32_t seed, const GeneratedShape& shape);
