// The port pair report: neighbouring ports that trade with each other.
#pragma once

#include <cstdint>
#include <string>

#include "universe/universe.h"

void WritePortPairReport(const Universe& universe, const std::string& fileName);

std::string FormatPortPair(const Universe& universe, std::uint16_t s, std::uint16_t t);

// The trade estimate of a pair. Computed and returned wide: it never wraps.
std::uint32_t PairTradeVolume(const Universe& universe, std::uint16_t s, std::uint16_t t,
                              std::uint8_t reservePercent);

std::uint8_t PortClassNumber(std::uint8_t mask);
