// The sector capture reader on any bytes, then what the run does next with what
// it read: the reference copy written and read back, and reconciliation. (The
// analyses and reports over fuzzed captures are fuzz_capture_run's.)
//
// Options: bit 0 Fill mode (else Replace), bit 1 a second read of the same file
// in the other mode.
#include <cstdint>
#include <string>

#include "capture/reconcile.h"
#include "capture/sector_file.h"
#include "fuzz/fuzz_util.h"
#include "platform/file.h"

namespace {

void Run(const FuzzCase& input) {
  const std::uint16_t n = input.n;
  const std::string& dir = ScratchPath();
  const std::string capture = WriteScratchFile("game.sct", input.body);
  OutputFile changeLog(dir + "game_changelog.txt");

  Universe& universe = FreshUniverse(n, 5);
  const LoadMode mode = (input.options & 1) != 0 ? LoadMode::Fill : LoadMode::Replace;
  ReadSectorFile(universe, capture, mode, 1, changeLog);
  if ((input.options & 2) != 0) {
    const LoadMode other = mode == LoadMode::Fill ? LoadMode::Replace : LoadMode::Fill;
    ReadSectorFile(universe, capture, other, 0, changeLog);
  }
  CheckWarpLists(universe);

  // Written and read back, a reference copy gives every list as it was.
  const std::string copyName = dir + "game_ref.sct";
  WriteSectorFile(universe, copyName, changeLog);
  Universe& copy = FreshUniverse(n, 5, 1);
  ReadSectorFile(copy, copyName, LoadMode::Replace, 1, changeLog);
  for (std::uint32_t s = 1; s <= n; ++s) {
    const auto& before = universe[static_cast<std::uint16_t>(s)].warps;
    const auto& after = copy[static_cast<std::uint16_t>(s)].warps;
    FuzzCheck(before.has_value() == after.has_value(), "a list is lost or gained by the copy");
    if (before) FuzzCheck(before->targets == after->targets, "the copy changes a list");
  }

  std::uint16_t warpSlots = ReconcileWarps(universe, changeLog);
  CheckWarpLists(universe);
  FuzzCheck(warpSlots <= kMaxWarps, "warpSlots above 255");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return RunFuzzInput(data, size, Run);
}
