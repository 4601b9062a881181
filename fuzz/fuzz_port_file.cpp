// The port capture reader on any bytes; the port reference copy written and
// read back; (option bit 2) the port pair, special port and dump reports that
// describe the ports.
//
// Options: bit 0 Fill mode (else Replace), bit 1 reporting value 0 (the
// estimate at full capacity), bit 2 the reports over a fixed ring of warps
// (universes of up to 32 sectors).
#include <cstdint>
#include <string>

#include "capture/port_file.h"
#include "capture/reconcile.h"
#include "fuzz/fuzz_util.h"
#include "platform/file.h"
#include "report/dump.h"
#include "report/port_pairs.h"
#include "report/special_ports.h"

namespace {

// Sector s warps to s + 1 and s + 2 (wrapping), so every port has neighbours.
void AddRing(Universe& universe, std::uint16_t n) {
  for (std::uint32_t s = 1; s <= n; ++s) {
    WarpList list;
    for (std::uint32_t step = 1; step <= 2; ++step) {
      list.targets.push_back(static_cast<std::uint16_t>((s - 1 + step) % n + 1));
      list.kinds.push_back(oneWayOut);
    }
    universe[static_cast<std::uint16_t>(s)].warps = list;
  }
}

bool SamePort(const PortRecord& a, const PortRecord& b) {
  return a.buying == b.buying && a.amount == b.amount && a.percent == b.percent;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SilenceConsole();
  const FuzzCase input = SplitFuzzInput(data, size);
  const std::uint16_t n = input.n;
  const std::string& dir = ScratchPath();
  const std::string capture = WriteScratchFile("game.prt", input.body);
  OutputFile changeLog(dir + "game_changelog.txt");

  Universe& universe = FreshUniverse(n, 5);
  const LoadMode mode = (input.options & 1) != 0 ? LoadMode::Fill : LoadMode::Replace;
  const std::uint8_t reporting = (input.options & 2) != 0 ? 0 : 1;
  ReadPortFile(universe, n, capture, mode, reporting, changeLog);

  // Written and read back, a reference copy gives every port as it was.
  const std::string copyName = dir + "game_ref.prt";
  WritePortFile(universe, n, copyName, changeLog);
  Universe& copy = FreshUniverse(n, 5, 1);
  ReadPortFile(copy, n, copyName, LoadMode::Replace, 1, changeLog);
  for (std::uint32_t s = 1; s <= n; ++s) {
    const auto& before = universe[static_cast<std::uint16_t>(s)].port;
    const auto& after = copy[static_cast<std::uint16_t>(s)].port;
    FuzzCheck(before.has_value() == after.has_value(), "a port is lost or gained by the copy");
    if (before) FuzzCheck(SamePort(*before, *after), "the copy changes a port");
  }

  // Whole-universe reports: on the small universes only, where they cost about
  // as much as the reading.
  if ((input.options & 4) != 0 && n <= 32) {
    AddRing(universe, n);
    std::uint16_t warpSlots = 0;
    ReconcileWarps(universe, n, warpSlots, changeLog);
    WritePortPairReport(universe, n, dir + "game_portpairs.txt");
    WriteSpecialPortReport(universe, n, warpSlots, dir + "game_special.txt");
    WriteDumpReport(universe, n, warpSlots, dir + "game_dump.txt");
  }
  return 0;
}
