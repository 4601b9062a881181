// The sector line shared by the bubble, special port, notes and dump reports:
// the sector's state, port, bubble, lane distance, warps and notes in fixed
// columns, and the header of each layout.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// What a warp cell shows of its target, one byte per sector: the brackets and
// the fig mark. A report of thousands of sector lines builds it once, so that
// each warp cell reads a byte from a small table instead of the target's Sector
// somewhere in the whole Universe.
class SectorMarks {
 public:
  explicit SectorMarks(const Universe& universe);
  // The marks of sector t, any number: outside 1..n those of a sector of which
  // nothing is known.
  std::uint8_t operator[](std::uint32_t t) const { return t < marks_.size() ? marks_[t] : kUnknown; }

  static constexpr std::uint8_t kUnexplored = 1;
  static constexpr std::uint8_t kNotReporting = 2;  // an explored sector's port
  static constexpr std::uint8_t kFig = 4;

 private:
  static constexpr std::uint8_t kUnknown = kUnexplored;
  std::vector<std::uint8_t> marks_;  // entry 0 is sector 0, which does not exist
};

// AppendSectorLine with the warp cells' marks taken from `marks`, built from the
// same Universe: the same text.
void AppendSectorLine(std::string& out, std::uint16_t sector, const Universe& universe,
                      const SectorMarks& marks, std::uint16_t warpSlots,
                      std::uint8_t numberWidth, std::uint8_t layout);

// The port's class letters, lower case where the estimated capacity is below
// `threshold`; empty when the sector has no port.
std::string DescribePort(std::uint16_t sector, std::uint16_t threshold, const Universe& universe);

// "SSS" .. "BBB" for buying masks 0..7; empty for any other value.
std::string PortClassName(std::uint8_t mask);
