// Helpers shared by the tests: a scratch directory, whole-file access, and
// running the korvan2a executable.
#pragma once

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

// Runs `command` (a program, searched in PATH when it has no "/", and its first
// words) followed by `args` in `dir`, standard input empty.
RunResult RunCommand(const std::vector<std::string>& command, const std::vector<std::string>& args,
                     const std::string& dir);
