// The notes report: the notes file rewritten with the notes sorted, the noted
// sectors' lines and the log.
#pragma once

#include <cstdint>
#include <string>

#include "universe/universe.h"

// Rewrites the notes file: `universe.notesLines` as they are, the notes sorted
// by text, the stop line, the noted sectors' lines and the log. Without notes,
// log texts and kept lines the file is not touched.
void WriteNotesReport(const Universe& universe, std::uint16_t warpSlots,
                      const std::string& fileName);
