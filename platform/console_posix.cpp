#include "platform/console.h"

#include <cerrno>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {
std::string* captureSink = nullptr;
bool lineOpen = false;

bool StdoutIsTerminal() {
  static const bool terminal = ::isatty(STDOUT_FILENO) == 1;
  return terminal;
}

void WriteControl(std::string_view sequence) {
  if (!ConsoleIsTerminal()) return;
  std::fwrite(sequence.data(), 1, sequence.size(), stdout);
  std::fflush(stdout);
}
}  // namespace

void ConsoleWrite(std::string_view text) {
  if (!text.empty()) lineOpen = text.back() != '\n';
  if (captureSink != nullptr) {
    captureSink->append(text);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  if (StdoutIsTerminal() && !text.empty() && text.back() == '\n') std::fflush(stdout);
}

void ConsoleFlush() { std::fflush(stdout); }

void ConsoleErrorLine(std::string_view text) {
  std::fflush(stdout);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

void ConsoleEndOpenLine() {
  if (lineOpen) ConsoleWrite("\n");
}

bool ConsoleIsTerminal() { return captureSink == nullptr && StdoutIsTerminal(); }

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

void ConsoleCaptureTo(std::string* sink) { captureSink = sink; }
