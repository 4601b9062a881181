// The console progress indicator and the announcement line of a file phase.
#pragma once

#include <cstdint>
#include <string_view>

// Draws the spinner character for `state` (period 4 x step: "-", "\", "|", "/")
// at the cursor, cursor put back, and returns the next state. Start each phase
// with state 0, which draws "-".
std::uint16_t ProgressTick(std::uint16_t state, std::uint16_t step);

// Starts a file phase's console line: `phaseText`, the file name (shortened to
// "..." and its last 30 characters when 34 characters or longer) and a blank.
void AnnounceFile(std::string_view phaseText, std::string_view fileName);

// Ends a phase's console line with "." and the line end.
void EndPhaseLine();
