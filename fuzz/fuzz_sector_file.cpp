// The sector capture reader on any bytes, then what the run does with what it
// read: the reference copy written and read back, reconciliation, and (option
// bit 2, universes of up to 32 sectors) the analyses and reports that walk the
// warp lists.
//
// Options: bit 0 Fill mode (else Replace), bit 1 a second read of the same file
// in the other mode, bit 2 the analyses and reports.
#include <cstdint>
#include <string>

#include "analysis/bubbles.h"
#include "analysis/distance_report.h"
#include "analysis/distances.h"
#include "analysis/msl.h"
#include "capture/reconcile.h"
#include "capture/sector_file.h"
#include "fuzz/fuzz_util.h"
#include "platform/file.h"
#include "report/dump.h"
#include "report/oneways.h"
#include "report/special_ports.h"
#include "universe/map_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SilenceConsole();
  const FuzzCase input = SplitFuzzInput(data, size);
  const std::uint16_t n = input.n;
  const std::string& dir = ScratchPath();
  const std::string capture = WriteScratchFile("game.sct", input.body);
  OutputFile changeLog(dir + "game_changelog.txt");

  const Specials specials = BuildSpecials(n, n / 2, n / 3, n, "2;3;65535;0");
  const auto specialCount = static_cast<std::uint16_t>(specials.size());
  Universe& universe = FreshUniverse(n, specialCount);
  const LoadMode mode = (input.options & 1) != 0 ? LoadMode::Fill : LoadMode::Replace;
  ReadSectorFile(universe, n, capture, mode, 1, changeLog);
  if ((input.options & 2) != 0) {
    const LoadMode other = mode == LoadMode::Fill ? LoadMode::Replace : LoadMode::Fill;
    ReadSectorFile(universe, n, capture, other, 0, changeLog);
  }
  CheckWarpLists(universe);

  // Written and read back, a reference copy gives every list as it was.
  const std::string copyName = dir + "game_ref.sct";
  WriteSectorFile(universe, n, copyName, changeLog);
  Universe& copy = FreshUniverse(n, specialCount, 1);
  ReadSectorFile(copy, n, copyName, LoadMode::Replace, 1, changeLog);
  for (std::uint32_t s = 1; s <= n; ++s) {
    const auto& before = universe[static_cast<std::uint16_t>(s)].warps;
    const auto& after = copy[static_cast<std::uint16_t>(s)].warps;
    FuzzCheck(before.has_value() == after.has_value(), "a list is lost or gained by the copy");
    if (before) FuzzCheck(before->targets == after->targets, "the copy changes a list");
  }

  std::uint16_t warpSlots = 0;
  ReconcileWarps(universe, n, warpSlots, changeLog);
  CheckWarpLists(universe);
  FuzzCheck(warpSlots <= kMaxWarps, "warpSlots above 255");

  // The analyses are whole-universe passes: on the small universes only, where
  // they cost about as much as the reading.
  if ((input.options & 4) != 0 && n <= 32) {
    CalculateDistances(universe, n, specials, specialCount);
    CalculateMsl(universe, n, specials, specialCount, dir + "game_msl.txt");
    AnalyseBubbles(universe, n, warpSlots, dir + "game_bubbles.txt");
    WriteMapFile(universe, n, dir + "game.map");
    CompareMapFile(universe, n, dir + "game.map", changeLog);
    WriteOneWayReport(universe, n, dir + "game_oneways.txt");
    WriteDistanceReport(universe, n, specials, specialCount, dir + "game_distance.txt");
    WriteSpecialPortReport(universe, n, warpSlots, dir + "game_special.txt");
    WriteDumpReport(universe, n, warpSlots, dir + "game_dump.txt");
  }
  return 0;
}
