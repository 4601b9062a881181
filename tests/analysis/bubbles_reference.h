// The bubble analysis exactly as the players' description walks it: every pass
// visits every sector, gates are re-pointed by scanning the whole table, and
// members are listed by scanning the table for every gate. The reference the
// fast analysis is compared with.
#pragma once

#include <cstdint>
#include <string>

#include "universe/universe.h"

void AnalyseBubblesLiteral(Universe& universe, std::uint16_t n, std::uint16_t warpSlots,
                           const std::string& fileName);
