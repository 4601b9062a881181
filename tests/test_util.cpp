#include "tests/test_util.h"

#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
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

namespace {

// The user an unprivileged run takes when the tests run as root.
constexpr uid_t kNobody = 65534;

RunResult Run(const std::vector<std::string>& command, const std::vector<std::string>& args,
              const std::string& dir, bool unprivileged) {
  ScratchDir capture;
  std::string outName = capture / "stdout";
  std::string errName = capture / "stderr";
  std::vector<std::string> words(command);
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const bool dropRoot = unprivileged && ::geteuid() == 0;
  pid_t child = ::fork();
  if (child == 0) {
    int in = ::open("/dev/null", O_RDONLY);
    int out = ::open(outName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = ::open(errName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // The program is opened while still root: the build may lie in a folder
    // (a private temporary one) the other user cannot enter.
    int program = dropRoot ? ::open(argv[0], O_RDONLY) : -1;
    if (dropRoot &&
        (program < 0 || ::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      ::_exit(126);
    }
    if (::chdir(dir.c_str()) != 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (dropRoot) {
      ::fexecve(program, argv.data(), environ);
    } else {
      ::execvp(argv[0], argv.data());
    }
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

}  // namespace

RunResult RunKorvan(const std::vector<std::string>& args, const std::string& dir) {
  return Run({KORVAN_BINARY}, args, dir, false);
}

RunResult RunKorvanUnprivileged(const std::vector<std::string>& args, const std::string& dir) {
  return Run({KORVAN_BINARY}, args, dir, true);
}

std::uint64_t SplitMix64(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int StartKorvan(const std::vector<std::string>& args, const std::string& dir) {
  std::vector<std::string> copies(args);
  std::string binary = KORVAN_BINARY;
  std::vector<char*> argv{binary.data()};
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::chdir(dir.c_str()) != 0) ::_exit(127);
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, STDIN_FILENO);
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
    ::execv(binary.c_str(), argv.data());
    ::_exit(127);
  }
  return child;
}

RunResult RunCommand(const std::vector<std::string>& command, const std::vector<std::string>& args,
                     const std::string& dir) {
  return Run(command, args, dir, false);
}

const Target& KorvanTarget() {
  static const Target target = [] {
    Target made;
    const char* exe = std::getenv("KORVAN_WINDOWS_EXE");
    if (exe == nullptr || *exe == '\0') {
      const char* native = std::getenv("KORVAN_EXE");
      made.command = {native != nullptr && *native != '\0' ? native : KORVAN_BINARY};
      return made;
    }
    const char* wine = std::getenv("KORVAN_WINE");
    made.command = {"timeout", "120", wine != nullptr && *wine != '\0' ? wine : "wine", exe};
    made.separator = '\\';
    made.windows = true;
    return made;
  }();
  return target;
}

RunResult RunTarget(const std::vector<std::string>& args, const std::string& dir) {
  return RunCommand(KorvanTarget().command, args, dir);
}

const std::string kBannerLine = "KORVAN2a v.0.34 december 2002 - korvan2a contributors\n";

const std::string kUsageLines =
    "usage: korvan2a /g:gamename * - cim filename without the extension\n"
    "              /n:#          - number of sectors, [1..20000]\n"
    "              /b-           - do not perform bubble analysis\n"
    "              /al:#         - sector location of alpha centauri\n"
    "              /ry:#         - sector location of rylos\n"
    "              /sd:#         - sector location of stardock\n"
    "              /d:#;#;#      - sectors to include in distance analysis\n"
    "              /p:path       - destination path for report files\n"
    "              /mm:#         - inputs: 1 captures, 2 reference copies, 4 map\n"
    "              /m:file       - also read this .sct, .prt or .ztm file\n"
    "              /r-           - write the reference copies only, no reports\n"
    "              /atlas+       - also write the atlas page <game>_atlas.html\n"
    "              /history+     - also keep the game's history <game>_history.db\n"
    "              /pause+       - wait for a key before ending\n"
    "                          * - required parameter\n"
    "defaults: /n:20000 /mm:3 /b+\n";
