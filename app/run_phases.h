// The run driver: one run over the game's file set, every phase in its order.
#pragma once

#include <cstdint>
#include <string>

// Performs one run; with `atlas` (and reports on) the atlas page is written
// after the dump report. Throws IoError when a file the run uses cannot be opened,
// read, created or written.
void RunPhases(const std::string& gameName, const std::string& cimPath,
               const std::string& reportPath, std::uint16_t sectorCount, std::uint8_t loadMask,
               std::uint16_t alphaCentauri, std::uint16_t rylos, std::uint16_t stardock,
               const std::string& distanceList, bool bubbles, bool reports,
               const std::string& extraFile, bool atlas);

// Moves the file set of earlier versions into place: without reference copies
// the stale map, ".fig" and ".vod" files are deleted, and ".srf"/".prf" become
// the reference copies. `cap` is the capture directory plus the game name.
void TidyFileSet(const std::string& cap);
