// The program's entry as a function: the banner, the command line, one run and
// the exit code, so that the whole program can also run inside a test.
#pragma once

#include <string>
#include <vector>

// Runs the program with the parameters after the program name and returns its
// exit code: 0 after a run, the usage screen asked for ("/?", "--help" ...) or
// "--version", 1 after the usage or error screen or a run refused before its
// first phase (its "error:  " line on standard output), 2 after an
// input/output failure (reported on one "error:  " line on standard error,
// followed by the key prompt with /pause+).
int RunProgram(const std::vector<std::string>& parameters);
