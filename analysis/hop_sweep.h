// The breadth-first hop sweep shared by the distance and msl analyses.
#pragma once

#include <cstddef>
#include <cstdint>

#include "universe/universe.h"

// The largest hop count a table can hold: 255 means no route.
constexpr std::uint8_t kDeepestHops = 254;

enum class SweepDirection {
  Outward,  // fills hopsFrom, following entries of kind oneWayOut or twoWay
  Inward,   // fills hopsTo, following entries of kind twoWay or oneWayIn
};

// Fills entry `slot` of hopsFrom (Outward) or hopsTo (Inward) of sectors 1..n
// from the counts already in that entry. Level by level from `startLevel`, every
// sector whose count equals the level and that has a warp list gives level + 1
// to each target of its own list that the direction follows and that still
// holds 255. Ends after a level that gives nothing, or after the level that
// gave 254: farther sectors keep 255. Targets outside 1..n are never followed.
// The result is the same as rescanning the whole table once per level.
void SweepHops(Universe& universe, std::uint16_t n, std::size_t slot,
               SweepDirection direction, std::uint8_t startLevel);

// The number of special slots that the specials table and every hop table
// really hold, at most `specialCount`.
std::size_t UsableSlots(const Universe& universe, const Specials& specials,
                        std::uint16_t specialCount);

// The sectors the analyses walk: 1..n, never past the Universe's own size.
std::uint16_t SweptSectors(const Universe& universe, std::uint16_t n);
