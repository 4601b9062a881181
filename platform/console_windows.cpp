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

namespace {
std::string* captureSink = nullptr;
bool lineOpen = false;

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

bool StdoutIsConsole() {
  static const bool console = IsConsole(Output());
  return console;
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

void ConsoleWrite(std::string_view text) {
  if (!text.empty()) lineOpen = text.back() != '\n';
  if (captureSink != nullptr) {
    captureSink->append(text);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  if (StdoutIsConsole() && !text.empty() && text.back() == '\n') std::fflush(stdout);
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

bool ConsoleIsTerminal() { return captureSink == nullptr && StdoutIsConsole(); }

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

void ConsoleCaptureTo(std::string* sink) { captureSink = sink; }
