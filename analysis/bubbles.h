// Bubbles: pockets of sectors entered through a single gate.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "universe/universe.h"

// What the peeling found besides the records it leaves on the Sectors: what
// the bubble report lists.
struct Bubbles {
  struct Gate {
    std::uint16_t sector;
    std::uint8_t depth;  // the deepest record among its neighbours that name it
  };

  // D, the number of the peeling's last pass: the first that added no record,
  // or pass 255.
  std::uint16_t passes = 0;
  // The sectors whose warp list names a sector without a list of its own,
  // ascending: every pass that examines one (passes 1 up to its record's
  // depth, or all D passes) repeats its reconciliation errors.
  std::vector<std::uint16_t> errorSectors;
  // The gates with a bubble, deepest bubble first, ascending within a depth.
  std::vector<Gate> gates;
  // The sectors whose record names gate g, ascending:
  // members[memberStart[g]] up to members[memberStart[g + 1]].
  std::vector<std::uint32_t> memberStart;
  std::vector<std::uint16_t> members;
};

// Peels the bubbles pass by pass and gives every sector in one its
// BubbleRecord (an earlier call's records are dropped first). The console
// line is the bubble report's (`reportName`): its announcement, then a digit
// per pass under the spinner; WriteBubbleReport ends it.
Bubbles AnalyseBubbles(Universe& universe, const std::string& reportName);
