// The fighter data reader on any bytes.
#include <cstdint>
#include <string>

#include "capture/fig_file.h"
#include "fuzz/fuzz_util.h"
#include "platform/file.h"

namespace {

void Run(const FuzzCase& input) {
  const std::string figs = WriteScratchFile("game_figs.txt", input.body);
  OutputFile changeLog(ScratchPath() + "game_changelog.txt");
  Universe& universe = FreshUniverse(input.n, 5);
  ReadFigFile(universe, figs, changeLog);
  for (std::uint32_t s = 1; s <= input.n; ++s) {
    FuzzCheck(universe[static_cast<std::uint16_t>(s)].fig <= 1, "a fig flag other than 0 or 1");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return RunFuzzInput(data, size, Run);
}
