// Route files (".ztm"): the warps of recorded routes, added to the Universe.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file.h"
#include "universe/universe.h"

void ReadRouteFile(Universe& universe, const std::string& fileName, OutputFile& changeLog);
