// The fighter data "<game>_figs.txt": which sectors hold a deployed fig.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file.h"
#include "universe/universe.h"

void ReadFigFile(Universe& universe, const std::string& fileName, OutputFile& changeLog);
