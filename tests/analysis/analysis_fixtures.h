// Universes for the route analysis tests: hand-made ones from the sectors'
// listings, and random ones of many shapes. Warps are settled by a test-only
// reconciliation that follows the game's rules, so that every list holds the
// kinds oneWayOut, twoWay and oneWayIn as a real run leaves them.
#pragma once

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "universe/universe.h"

// What one sector lists, in the capture's order.
struct Listing {
  std::uint16_t sector;
  std::vector<std::uint16_t> targets;
};

// Gives every listed sector its list (all entries oneWayOut).
void AddListings(Universe& universe, const std::vector<Listing>& listings);

// Settles the kinds of every warp in one pass over sectors 1..n: a warp listed
// back becomes twoWay at both ends, a warp not listed back gets a oneWayIn entry
// at its target (before the first larger target). Targets outside 1..n and
// lists already holding 255 entries are left alone.
void ReconcileForTest(Universe& universe);

// A Universe of n sectors with the specials' slots, built from the listings and
// reconciled.
Universe MakeReconciledUniverse(std::uint16_t n, const Specials& specials,
                                const std::vector<Listing>& listings);

// The major space lane's test universe: terra 1, alpha centauri 12, rylos 15,
// stardock 18 in twenty sectors. All warps are two-way but 18 -> 11 and
// 18 -> 20 (20 is unexplored); 15 lists 30, outside the universe; a fig sits
// in 19.
Universe LaneUniverse(const Specials& specials);

// The shape of a random universe.
struct RandomShape {
  std::uint16_t n = 100;
  double explored = 0.8;     // share of sectors that list their warps
  int maxWarps = 6;          // usual number of listed warps, 1..maxWarps
  double manyWarps = 0.0;    // share of explored sectors listing up to 255 warps
  double near = 0.7;         // share of targets close to the sector (long routes)
  double outOfRange = 0.02;  // share of targets 0 or above n
  double oneWay = 0.2;       // share of warps that are not listed back
  double selfAndTwice = 0.01;  // share of entries listing the sector itself or a target twice
  std::uint32_t chain = 0;   // sectors on an extra chain through the universe
  bool chainOneWay = false;  // the chain runs one way only
  bool chainInOrder = false;  // the chain runs 1, 2, 3 ... instead of in random order
  bool reconcile = true;     // false: arbitrary kinds 0..2, inconsistent lists
  double presetHops = 0.0;   // share of hop entries holding a count before the analyses
  double figs = 0.1;
};

Universe MakeRandomUniverse(std::mt19937& rng, const RandomShape& shape,
                            const Specials& specials);

// A specials table for n sectors: terra, then alpha centauri, rylos and stardock
// (now and then not given, or the same sector twice) and 0 to 3 reference sectors.
Specials MakeRandomSpecials(std::mt19937& rng, std::uint16_t n);
