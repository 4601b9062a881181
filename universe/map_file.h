// The map file "<game>.map": a binary snapshot of the Universe written by every
// run with reports on, and compared with the next run's merged data.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file.h"
#include "universe/universe.h"

// Compares the map file with the Universe and appends the changes to the change
// log. Changes nothing in the Universe.
void CompareMapFile(const Universe& universe, std::uint16_t n, const std::string& fileName,
                    OutputFile& changeLog);

// Writes the map file, replacing it only when complete.
void WriteMapFile(const Universe& universe, std::uint16_t n, const std::string& fileName);
