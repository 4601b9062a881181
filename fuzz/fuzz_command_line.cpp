// The command line: any parameters, separated by NUL bytes as a process receives
// them, read into Settings; then the usage screen and the specials table.
//
// The directory options make the reader create and delete a probe file. The
// process works in its scratch directory and every value is made relative and
// kept from climbing out of it (".." and a leading "/" or "\" are defused), so
// probe files can only be made there, where the check then finds none left.
#include <cstdint>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

#include "app/settings.h"
#include "fuzz/fuzz_util.h"
#include "platform/file.h"
#include "universe/universe.h"

namespace {

constexpr std::size_t kMaxParameters = 64;

// Keeps a parameter's value inside the working directory.
std::string Confine(std::string text) {
  for (std::size_t at = text.find(".."); at != std::string::npos; at = text.find("..", at)) {
    text[at + 1] = '_';
  }
  const std::size_t separator = text.find_first_of("+-:", 1);
  if (separator != std::string::npos && text[separator] == ':' && separator + 1 < text.size() &&
      (text[separator + 1] == '/' || text[separator + 1] == '\\')) {
    text.insert(separator + 1, "d");
  }
  return text;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FuzzCheck(::chdir(ScratchPath().c_str()) == 0, "cannot enter the scratch directory");
  ::mkdir("sub", 0755);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SilenceConsole();
  std::vector<std::string> parameters;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  while (start <= text.size() && parameters.size() < kMaxParameters) {
    std::size_t end = text.find('\0', start);
    if (end == std::string_view::npos) end = text.size();
    parameters.push_back(Confine(std::string(text.substr(start, end - start))));
    start = end + 1;
  }

  const CommandLine line = ReadCommandLine(parameters);
  const Settings& settings = line.settings;
  const std::string screen = UsageScreen(line);
  FuzzCheck(!screen.empty() && screen.back() == '\n', "usage screen without its line end");

  for (const std::string& dir : {settings.cimPath, settings.reportPath,
                                 DirectoryOf(settings.extraFile), std::string(), std::string("sub/")}) {
    FuzzCheck(!FileExists(dir + "korvan.$$$"), "a probe file is left behind");
  }
  if (line.result != CommandLineResult::Run) return 0;

  FuzzCheck(!settings.gameName.empty(), "a run without a game name");
  FuzzCheck(settings.sectorCount >= 1 && settings.sectorCount <= 20000, "sector count out of range");
  FuzzCheck(settings.cimPath.empty() || settings.cimPath.back() == '/', "capture path without '/'");
  FuzzCheck(settings.reportPath.empty() || settings.reportPath.back() == '/',
            "report path without '/'");
  const std::uint16_t n = settings.sectorCount;
  const Specials specials =
      BuildSpecials(n, settings.alphaCentauri, settings.rylos, settings.stardock,
                    settings.distanceList);
  FuzzCheck(specials.size() >= kFirstDistanceSlot, "specials table too short");
  for (std::uint16_t sector : specials) {
    FuzzCheck(sector <= n, "a special sector outside the universe");
  }
  return 0;
}
