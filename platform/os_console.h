// What the console's shared logic (platform/console.cpp) asks of the system, one
// implementation per platform: console_posix.cpp and console_windows.cpp, which
// also hold the cursor, screen, spinner and key services of their systems.
#pragma once

namespace os {

// True when standard output is an interactive console (a terminal on POSIX),
// not a file or a pipe. Asked of the system once; the answer is kept.
bool StdoutIsTerminal();

}  // namespace os
