// The port capture reader on any bytes, and the port reference copy written and
// read back. (The reports over fuzzed ports are fuzz_capture_run's.)
//
// Options: bit 0 Fill mode (else Replace), bit 1 reporting value 0 (the
// estimate at full capacity).
#include <cstdint>
#include <string>

#include "capture/port_file.h"
#include "fuzz/fuzz_util.h"
#include "platform/file.h"

namespace {

bool SamePort(const PortRecord& a, const PortRecord& b) {
  return a.buying == b.buying && a.amount == b.amount && a.percent == b.percent;
}

}  // namespace

namespace {

void Run(const FuzzCase& input) {
  const std::uint16_t n = input.n;
  const std::string& dir = ScratchPath();
  const std::string capture = WriteScratchFile("game.prt", input.body);
  OutputFile changeLog(dir + "game_changelog.txt");

  Universe& universe = FreshUniverse(n, 5);
  const LoadMode mode = (input.options & 1) != 0 ? LoadMode::Fill : LoadMode::Replace;
  const std::uint8_t reporting = (input.options & 2) != 0 ? 0 : 1;
  ReadPortFile(universe, capture, mode, reporting, changeLog);

  // Written and read back, a reference copy gives every port as it was.
  const std::string copyName = dir + "game_ref.prt";
  WritePortFile(universe, copyName, changeLog);
  Universe& copy = FreshUniverse(n, 5, 1);
  ReadPortFile(copy, copyName, LoadMode::Replace, 1, changeLog);
  for (std::uint32_t s = 1; s <= n; ++s) {
    const auto& before = universe[static_cast<std::uint16_t>(s)].port;
    const auto& after = copy[static_cast<std::uint16_t>(s)].port;
    FuzzCheck(before.has_value() == after.has_value(), "a port is lost or gained by the copy");
    if (before) FuzzCheck(SamePort(*before, *after), "the copy changes a port");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return RunFuzzInput(data, size, Run);
}
