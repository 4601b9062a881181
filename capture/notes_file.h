// The player's log and notes, attached to their sectors, and the notes report
// that rewrites the notes file.
#pragma once

#include <cstdint>
#include <string>

#include "universe/universe.h"

void ReadLogFile(Universe& universe, const std::string& fileName);

// Reads the notes section of the notes file (up to the line "--- end of
// notes ---") into the sectors' notes; its other lines that are not blank go
// to `universe.notesLines`. Then labels the special sectors without a note.
void ReadNotesFile(Universe& universe, const std::string& fileName, const Specials& specials);

// Rewrites the notes file: `universe.notesLines` as they are, the notes sorted
// by text, the stop line, the noted sectors' lines and the log. Without notes,
// log texts and kept lines the file is not touched.
void WriteNotesReport(const Universe& universe, std::uint16_t warpSlots,
                      const std::string& fileName);
