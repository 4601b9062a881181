// Helpers shared by the tests: a scratch directory, whole-file access, and
// running the korvan2a executable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A fresh directory under the system's temporary directory, removed with all
// its files when the object goes out of scope. path() ends in "/".
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// The file's bytes; "<missing>" when it cannot be read.
std::string ReadFile(const std::string& name);
void WriteFile(const std::string& name, const std::string& bytes);

// Joins lines, ending each with CR LF, as the system writes text files.
std::string CrLf(const std::vector<std::string>& lines);

struct RunResult {
  int exitCode = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs the korvan2a executable in `dir` with `args`, standard input empty.
RunResult RunKorvan(const std::vector<std::string>& args, const std::string& dir);

// RunKorvan without the privileges that bypass file permissions: as the user
// nobody when the tests run as root (`dir` must then be open to that user).
RunResult RunKorvanUnprivileged(const std::vector<std::string>& args, const std::string& dir);

// The next number of the splitmix64 sequence whose state is `state`: moments
// and choices that are the same on every run of a test.
std::uint64_t SplitMix64(std::uint64_t& state);

// Starts the korvan2a executable in `dir` with `args`, its output dropped, and
// returns its process id at once: the caller waits for it (waitpid).
int StartKorvan(const std::vector<std::string>& args, const std::string& dir);

// Runs `command` (a program, searched in PATH when it has no "/", and its first
// words) followed by `args` in `dir`, standard input empty.
RunResult RunCommand(const std::vector<std::string>& command, const std::vector<std::string>& args,
                     const std::string& dir);

// The build that the end-to-end tests run: the native one, another native
// executable when KORVAN_EXE names it (the installed program,
// scripts/package-test.sh), or korvan2a.exe under wine when KORVAN_WINDOWS_EXE
// names it (KORVAN_WINE names wine; scripts/windows-test.sh sets both). A run
// under wine that hangs is stopped after two minutes.
struct Target {
  std::vector<std::string> command;
  char separator = '/';  // what the build writes between directories
  bool windows = false;
};
const Target& KorvanTarget();

// Runs KorvanTarget() in `dir` with `args`, standard input empty.
RunResult RunTarget(const std::vector<std::string>& args, const std::string& dir);

// The banner line and the usage screen's lines, as the program shows them.
extern const std::string kBannerLine;
extern const std::string kUsageLines;
