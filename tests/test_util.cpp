#include "tests/test_util.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

ScratchDir::ScratchDir() {
  std::string templ = (std::filesystem::temp_directory_path() / "korvan-test-XXXXXX").string();
  char* made = ::mkdtemp(templ.data());
  if (made == nullptr) std::abort();
  path_ = std::string(made) + "/";
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string CrLf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

RunResult RunKorvan(const std::vector<std::string>& args, const std::string& dir) {
  return RunCommand({KORVAN_BINARY}, args, dir);
}

RunResult RunCommand(const std::vector<std::string>& command, const std::vector<std::string>& args,
                     const std::string& dir) {
  ScratchDir capture;
  std::string outName = capture / "stdout";
  std::string errName = capture / "stderr";
  std::vector<std::string> words(command);
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t child = ::fork();
  if (child == 0) {
    if (::chdir(dir.c_str()) != 0) ::_exit(127);
    int in = ::open("/dev/null", O_RDONLY);
    int out = ::open(outName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = ::open(errName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  RunResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = ReadFile(outName);
  result.err = ReadFile(errName);
  return result;
}
