// The one-way report: every warp that has no warp back.
#pragma once

#include <cstdint>
#include <string>

#include "universe/universe.h"

void WriteOneWayReport(const Universe& universe, const std::string& fileName);
