// The dump report: one sector line for every sector of the universe.
#pragma once

#include <cstdint>
#include <string>

#include "universe/universe.h"

void WriteDumpReport(const Universe& universe, std::uint16_t warpSlots,
                     const std::string& fileName);
