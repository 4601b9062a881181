// The route analyses done the plain way, step by step, with every sweep
// rescanning the whole sector table once per level. The program's faster
// versions must give the same hop tables and the same report bytes; these are
// the reference they are compared with.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "universe/universe.h"

// The distances to the special sectors, writing no console text.
void LiteralCalculateDistances(Universe& universe, std::uint16_t n, const Specials& specials,
                               std::uint16_t specialCount);

// The msl walks and sweeps; returns the report's bytes, or nothing when a
// special sector is missing and the analysis does not run.
std::optional<std::string> LiteralCalculateMsl(Universe& universe, std::uint16_t n,
                                               const Specials& specials,
                                               std::uint16_t specialCount);

// The distance report's bytes.
std::string LiteralDistanceReport(const Universe& universe, std::uint16_t n,
                                  const Specials& specials, std::uint16_t specialCount);
