// The console progress indicator and the announcement line of a file phase.
#pragma once

#include <cstdint>
#include <string_view>

// ProgressTick for a state at which a character is drawn or the period restarts.
std::uint16_t ProgressDraw(std::uint16_t state, std::uint16_t step);

// Draws the spinner character for `state` (period 4 x step: "-", "\", "|", "/")
// at the cursor, cursor put back, and returns the next state. Start each phase
// with state 0, which draws "-". Phases tick once per sector or line, hundreds of
// thousands of times a run, so the calls that draw nothing are answered inline.
inline std::uint16_t ProgressTick(std::uint16_t state, std::uint16_t step) {
  const std::uint32_t s = step;
  if (state != 0 && state != s && state != 2 * s && state != 3 * s && state < 4 * s) {
    return static_cast<std::uint16_t>(state + 1);
  }
  return ProgressDraw(state, step);
}

// `count` ticks in a row, as ProgressTick called `count` times. Ticks that draw
// nothing (none of them at a multiple of step, all below 4 x step) are taken in
// one step.
inline std::uint16_t ProgressTicks(std::uint16_t state, std::uint16_t step, std::uint32_t count) {
  const std::uint32_t s = step;
  if (s > 0 && state < 4 * s && state % s != 0 && state % s + count <= s &&
      state + count <= 0xFFFFu) {
    return static_cast<std::uint16_t>(state + count);
  }
  for (; count > 0; --count) state = ProgressTick(state, step);
  return state;
}

// Starts a file phase's console line: `phaseText`, the file name (shortened to
// "..." and its last 30 characters when 34 characters or longer) and a blank.
void AnnounceFile(std::string_view phaseText, std::string_view fileName);

// Ends a phase's console line with "." and the line end.
void EndPhaseLine();
