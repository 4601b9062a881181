// Warp reconciliation: settles for every listed warp whether it is one-way or
// two-way and gives each sector the one-way warps that lead into it.
#pragma once

#include <cstdint>

#include "platform/file.h"
#include "universe/universe.h"

// Classifies every warp and inserts the oneWayIn entries. `warpSlots` receives
// the number of warp cells sector lines are padded to. Appends its line to the
// change log.
void ReconcileWarps(Universe& universe, std::uint16_t n, std::uint16_t& warpSlots,
                    OutputFile& changeLog);
