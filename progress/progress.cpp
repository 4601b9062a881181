#include "progress/progress.h"

#include "platform/console.h"
#include "text/text.h"

std::uint16_t ProgressDraw(std::uint16_t state, std::uint16_t step) {
  char drawn = 0;
  const std::uint32_t s = step;
  if (state == 0) drawn = '-';
  if (state == s) drawn = '\\';
  if (state == 2 * s) drawn = '|';
  if (state == 3 * s) drawn = '/';
  if (state >= 4 * s) {
    drawn = '-';
    state = 0;
  }
  if (drawn != 0) ConsoleSpinner(drawn);
  return static_cast<std::uint16_t>(state + 1);
}

void AnnounceFile(std::string_view phaseText, std::string_view fileName) {
  std::string line(phaseText);
  line += ShortFileName(fileName);
  line += ' ';
  ConsoleWrite(line);
}

void EndPhaseLine() { ConsoleWrite(".\n"); }
