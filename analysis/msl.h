// The major space lane between the special sectors, and its report.
#pragma once

#include <cstdint>
#include <string>

#include "universe/universe.h"

void CalculateMsl(Universe& universe, const Specials& specials, const std::string& fileName);
