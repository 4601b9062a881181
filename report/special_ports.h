// The special port report: candidates for the game's special ports.
#pragma once

#include <cstdint>
#include <string>

#include "universe/universe.h"

void WriteSpecialPortReport(const Universe& universe, std::uint16_t warpSlots,
                            const std::string& fileName);
