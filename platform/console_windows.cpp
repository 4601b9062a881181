// The Windows console: text through the runtime's standard output in binary
// mode (lines end in "\n" as on every platform), the cursor, screen and key
// services through the console calls, used only when standard output is a
// console, so redirected output is exactly the text lines.
#include "platform/console.h"

#include <conio.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "platform/os_console.h"

namespace {
// Standard output and error pass every byte unchanged; without this the runtime
// would turn each "\n" into CR LF.
struct BinaryStreams {
  BinaryStreams() {
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
  }
} binaryStreams;

HANDLE Output() { return ::GetStdHandle(STD_OUTPUT_HANDLE); }

bool IsConsole(HANDLE handle) {
  DWORD mode;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

void SetCursorVisible(bool visible) {
  if (!ConsoleIsTerminal()) return;
  std::fflush(stdout);
  CONSOLE_CURSOR_INFO cursor;
  if (!::GetConsoleCursorInfo(Output(), &cursor)) return;
  cursor.bVisible = visible ? TRUE : FALSE;
  ::SetConsoleCursorInfo(Output(), &cursor);
}
}  // namespace

namespace os {

bool StdoutIsTerminal() {
  static const bool console = IsConsole(Output());
  return console;
}

}  // namespace os

void ConsoleHideCursor() { SetCursorVisible(false); }
void ConsoleShowCursor() { SetCursorVisible(true); }

void ConsoleClear() {
  if (!ConsoleIsTerminal()) return;
  std::fflush(stdout);
  HANDLE out = Output();
  CONSOLE_SCREEN_BUFFER_INFO screen;
  if (!::GetConsoleScreenBufferInfo(out, &screen)) return;
  const DWORD cells = static_cast<DWORD>(screen.dwSize.X) * static_cast<DWORD>(screen.dwSize.Y);
  const COORD home{0, 0};
  DWORD done;
  ::FillConsoleOutputCharacterA(out, ' ', cells, home, &done);
  ::FillConsoleOutputAttribute(out, screen.wAttributes, cells, home, &done);
  ::SetConsoleCursorPosition(out, home);
}

void ConsoleSpinner(char ch) {
  if (!ConsoleIsTerminal()) return;
  std::fflush(stdout);
  HANDLE out = Output();
  CONSOLE_SCREEN_BUFFER_INFO screen;
  if (!::GetConsoleScreenBufferInfo(out, &screen)) return;
  DWORD written;
  ::WriteConsoleA(out, &ch, 1, &written, nullptr);
  ::SetConsoleCursorPosition(out, screen.dwCursorPosition);
}

void ConsoleWaitKey() {
  std::fflush(stdout);
  HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
  if (IsConsole(in)) {
    // A function or arrow key arrives as two codes: take both, so the second
    // does not reach the shell as typed input.
    int key = ::_getch();
    if (key == 0 || key == 0xE0) ::_getch();
    return;
  }
  // Redirected input: one byte; the end of input, or no input at all, counts
  // as the key.
  char key;
  DWORD got;
  if (in != nullptr && in != INVALID_HANDLE_VALUE) ::ReadFile(in, &key, 1, &got, nullptr);
}
