// The console's own logic, the same on every platform: text to standard output,
// the open line, the error line and the test seam. The cursor, screen and key
// services are in console_posix.cpp and console_windows.cpp.
#include "platform/console.h"

#include <cstdio>

#include "platform/os_console.h"

namespace {
std::string* captureSink = nullptr;
bool lineOpen = false;
}  // namespace

void ConsoleWrite(std::string_view text) {
  if (!text.empty()) lineOpen = text.back() != '\n';
  if (captureSink != nullptr) {
    captureSink->append(text);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  if (os::StdoutIsTerminal() && !text.empty() && text.back() == '\n') std::fflush(stdout);
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

bool ConsoleIsTerminal() { return captureSink == nullptr && os::StdoutIsTerminal(); }

void ConsoleCaptureTo(std::string* sink) { captureSink = sink; }
