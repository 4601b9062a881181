// The distance report: hop counts to and from the special sectors, per sector.
#pragma once

#include <cstdint>
#include <string>

#include "universe/universe.h"

void WriteDistanceReport(const Universe& universe, std::uint16_t n, const Specials& specials,
                         std::uint16_t specialCount, const std::string& fileName);
