// The sector line shared by the bubble, special port, notes and dump reports:
// the sector's state, port, bubble, lane distance, warps and notes in fixed
// columns, and the header of each layout.
#pragma once

#include <cstdint>
#include <string>

#include "universe/universe.h"

enum SectorLayout : std::uint8_t {
  BubbleLayout = 0,
  SpecialPortLayout = 2,
  FullLayout = 3,
};

// The line for `sector` (1..n), or the layout's header when `sector` is 0.
// Trailing blanks are removed from sector lines; any other layout value gives
// the empty string.
std::string FormatSectorLine(std::uint16_t sector, const Universe& universe,
                             std::uint16_t warpSlots, std::uint8_t numberWidth,
                             std::uint8_t layout);

// FormatSectorLine appended to `out` (trailing blanks of the sector line
// removed, nothing before it touched), so that a report can build every line
// in one reused buffer.
void AppendSectorLine(std::string& out, std::uint16_t sector, const Universe& universe,
                      std::uint16_t warpSlots, std::uint8_t numberWidth, std::uint8_t layout);

// The port's class letters, lower case where the estimated capacity is below
// `threshold`; empty when the sector has no port.
std::string DescribePort(std::uint16_t sector, std::uint16_t threshold, const Universe& universe);

// "SSS" .. "BBB" for buying masks 0..7; empty for any other value.
std::string PortClassName(std::uint8_t mask);
