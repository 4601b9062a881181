// The distance report: hop counts to and from the special sectors, per sector.
#pragma once

#include <cstdint>
#include <string>

#include "universe/universe.h"

void WriteDistanceReport(const Universe& universe, const Specials& specials,
                         const std::string& fileName);
