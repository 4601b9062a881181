// The port capture: reading "<game>.prt"-style files into the Universe and
// writing the port reference copy.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file.h"
#include "universe/universe.h"

void ReadPortFile(Universe& universe, std::uint16_t n, const std::string& fileName,
                  LoadMode mode, std::uint8_t reportingValue, OutputFile& changeLog);

void WritePortFile(const Universe& universe, std::uint16_t n, const std::string& fileName,
                   OutputFile& changeLog);
