// Warp reconciliation: settles for every listed warp whether it is one-way or
// two-way and gives each sector the one-way warps that lead into it.
#pragma once

#include <cstdint>

#include "platform/file.h"
#include "universe/universe.h"

// Classifies every warp and inserts the oneWayIn entries. Returns `warpSlots`,
// the number of warp cells sector lines are padded to: the longest list that
// received an inserted entry, 0 when none did. Entries whose destination lies
// outside 1..n, and entries whose destination's list already holds 255 entries
// and does not list the sector back, stay oneWayOut. Appends its line to the
// change log. Run it once per run, after every reader.
std::uint16_t ReconcileWarps(Universe& universe, OutputFile& changeLog);
