// The POSIX console: the cursor, screen and spinner by terminal control
// sequences, written only when standard output is a terminal; the key read raw.
#include "platform/console.h"

#include <cerrno>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

#include "platform/os_console.h"

namespace {
void WriteControl(std::string_view sequence) {
  if (!ConsoleIsTerminal()) return;
  std::fwrite(sequence.data(), 1, sequence.size(), stdout);
  std::fflush(stdout);
}
}  // namespace

namespace os {

bool StdoutIsTerminal() {
  static const bool terminal = ::isatty(STDOUT_FILENO) == 1;
  return terminal;
}

}  // namespace os

void ConsoleHideCursor() { WriteControl("\x1b[?25l"); }
void ConsoleShowCursor() { WriteControl("\x1b[?25h"); }
// A terminal's scrollback belongs to the player: nothing is cleared.
void ConsoleClear() {}

void ConsoleSpinner(char ch) {
  if (!ConsoleIsTerminal()) return;
  char sequence[2] = {ch, '\b'};
  WriteControl(std::string_view(sequence, 2));
}

void ConsoleWaitKey() {
  std::fflush(stdout);
  termios saved;
  bool raw = ::isatty(STDIN_FILENO) == 1 && ::tcgetattr(STDIN_FILENO, &saved) == 0;
  if (raw) {
    termios keyMode = saved;
    keyMode.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    keyMode.c_cc[VMIN] = 1;
    keyMode.c_cc[VTIME] = 0;
    ::tcsetattr(STDIN_FILENO, TCSANOW, &keyMode);
  }
  char key;
  while (::read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR) {
  }
  if (raw) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}
