// The console: plain text to standard output, plus the cursor and screen services
// of an interactive console. Cursor, screen and spinner output is written only
// when standard output is a terminal, so piped output is exactly the text lines.
#pragma once

#include <string>
#include <string_view>

// Writes text to standard output (buffered; flushed at line ends on a terminal
// and at exit).
void ConsoleWrite(std::string_view text);
// Flushes standard output.
void ConsoleFlush();
// Writes one line to standard error, after flushing standard output.
void ConsoleErrorLine(std::string_view text);
// Ends the console line in progress, if any (after a failed phase).
void ConsoleEndOpenLine();

bool ConsoleIsTerminal();
void ConsoleHideCursor();
void ConsoleShowCursor();
// Clears the Windows console window; a POSIX terminal keeps its scrollback.
void ConsoleClear();

// Draws `ch` at the cursor and puts the cursor back where it was.
void ConsoleSpinner(char ch);

// Waits for one key press: one byte from standard input, read raw when it is a
// terminal. The end of input counts as the key.
void ConsoleWaitKey();

// Test seam: while `sink` is set, console text is appended to it instead of being
// written to standard output, and the console counts as no terminal.
void ConsoleCaptureTo(std::string* sink);
