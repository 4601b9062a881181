// The entry: banner, command line, one run, exit code (see app/entry.h).
#include <string>
#include <vector>

#include "app/entry.h"

int main(int argc, char** argv) {
  return RunProgram(std::vector<std::string>(argv + 1, argv + argc));
}
