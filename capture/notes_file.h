// The player's log and notes, attached to their sectors.
#pragma once

#include <string>
#include <string_view>

#include "universe/universe.h"

// The line that ends the notes section of the notes file: what follows it is
// the notes report's own, written again by every run (WriteNotesReport).
constexpr std::string_view kEndOfNotes = "--- end of notes ---";

void ReadLogFile(Universe& universe, const std::string& fileName);

// Reads the notes section of the notes file (up to the line "--- end of
// notes ---") into the sectors' notes; its other lines that are not blank go
// to `universe.notesLines`. Then labels the special sectors without a note.
void ReadNotesFile(Universe& universe, const std::string& fileName, const Specials& specials);
