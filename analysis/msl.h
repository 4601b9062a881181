// The major space lane between the special sectors, and its report.
#pragma once

#include <cstdint>
#include <string>

#include "universe/universe.h"

void CalculateMsl(Universe& universe, std::uint16_t n, const Specials& specials,
                  std::uint16_t specialCount, const std::string& fileName);
