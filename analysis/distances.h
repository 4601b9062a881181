// Hop counts between every sector and the special sectors.
#pragma once

#include <cstdint>

#include "universe/universe.h"

// Fills hopsTo and hopsFrom of every Sector for the specials table's slots from
// terra on (the msl slot is filled by CalculateMsl).
void CalculateDistances(Universe& universe, const Specials& specials);
