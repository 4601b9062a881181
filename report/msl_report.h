// The msl report: the routes of the major space lane, and the jumps off it
// from fed space and from the lane.
#pragma once

#include <string>
#include <vector>

#include "analysis/msl.h"
#include "universe/universe.h"

// Writes the report of the lane CalculateMsl found: each route with its title,
// then the sectors 1..10 and the lane sectors above 10, each with the jumps it
// offers to sectors above 10 off the lane ("+" marking a fig). Without routes
// (the lane was not calculated) nothing is written or shown.
void WriteMslReport(const Universe& universe, const std::vector<LaneRoute>& routes,
                    const std::string& fileName);
