// The command line: any parameters, separated by NUL bytes as a process receives
// them, read into Settings; then the usage screen and the specials table.
//
// The directory options make the reader create and delete a probe file. The
// files live in the targets' memory (fuzz/memory_files.h), where the working
// directory holds one directory "sub", so any path may be tried; the check then
// finds no probe file left where the options point.
#include <cstdint>
#include <string>
#include <vector>

#include "app/settings.h"
#include "fuzz/fuzz_util.h"
#include "fuzz/memory_files.h"
#include "platform/file.h"
#include "universe/universe.h"

namespace {

constexpr std::size_t kMaxParameters = 64;

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void Run(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> parameters;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  while (start <= text.size() && parameters.size() < kMaxParameters) {
    std::size_t end = text.find('\0', start);
    if (end == std::string_view::npos) end = text.size();
    parameters.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }

  const CommandLine line = ReadCommandLine(parameters);
  const Settings& settings = line.settings;
  const std::string screen = UsageScreen(line);
  FuzzCheck(!screen.empty() && screen.back() == '\n', "usage screen without its line end");
  // A folder's problem is told under the error line of the parameter that names it.
  FuzzCheck(line.folderProblem.empty() ||
                (line.result == CommandLineResult::InvalidParameter &&
                 (line.badParameter.starts_with("/g:") || line.badParameter.starts_with("/p:") ||
                  line.badParameter.starts_with("/m:")) &&
                 screen.find("\n        " + line.folderProblem + "\nusage: ") != std::string::npos),
            "a folder's problem without its parameter's error line");

  for (const std::string& dir : {settings.cimPath, settings.reportPath,
                                 DirectoryOf(settings.extraFile), std::string(), std::string("sub/")}) {
    FuzzCheck(!FileExists(dir + "korvan.$$$"), "a probe file is left behind");
  }
  if (line.result != CommandLineResult::Run) return;

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
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  memory_files::AddDirectory("sub");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return RunFuzzInput(data, size, Run);
}
