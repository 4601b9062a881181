// Bubbles: pockets of sectors entered through a single gate, and their report.
#pragma once

#include <cstdint>
#include <string>

#include "universe/universe.h"

void AnalyseBubbles(Universe& universe, std::uint16_t warpSlots, const std::string& fileName);
