// The bubble report: the key, the reconciliation errors the peeling met, and
// one section per bubble depth, deepest first.
#pragma once

#include <cstdint>
#include <string>

#include "analysis/bubbles.h"
#include "universe/universe.h"

// Writes the report of what AnalyseBubbles found (it replaces an older one
// only when complete) and ends the console line the analysis began. Each
// section lists its gates, each with " >" and its sector line, then its
// members' lines.
void WriteBubbleReport(const Universe& universe, const Bubbles& bubbles, std::uint16_t warpSlots,
                       const std::string& fileName);
