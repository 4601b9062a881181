// The player's log and notes, attached to their sectors, and the notes report
// that rewrites the notes file.
#pragma once

#include <cstdint>
#include <string>

#include "universe/universe.h"

void ReadLogFile(Universe& universe, std::uint16_t n, const std::string& fileName);

void ReadNotesFile(Universe& universe, std::uint16_t n, const std::string& fileName,
                   const Specials& specials, std::uint16_t specialCount);

void WriteNotesReport(const Universe& universe, std::uint16_t n, std::uint16_t warpSlots,
                      const std::string& fileName);
