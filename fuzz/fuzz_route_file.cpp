// The route file reader on any bytes, then reconciliation of the warps it added.
//
// Options: bit 0 (universes of up to 64 sectors) every sector starts with a
// list of two warps, so routes insert into existing lists.
#include <cstdint>
#include <string>

#include "capture/reconcile.h"
#include "capture/route_file.h"
#include "fuzz/fuzz_util.h"
#include "platform/file.h"

namespace {

void Run(const FuzzCase& input) {
  const std::uint16_t n = input.n;
  const std::string& dir = ScratchPath();
  const std::string routes = WriteScratchFile("game.ztm", input.body);
  OutputFile changeLog(dir + "game_changelog.txt");

  Universe& universe = FreshUniverse(n, 5);
  if ((input.options & 1) != 0 && n <= 64) {
    for (std::uint32_t s = 1; s <= n; ++s) {
      WarpList list;
      list.targets = {static_cast<std::uint16_t>(s % n + 1), static_cast<std::uint16_t>(s * 7 % 9)};
      list.kinds.assign(2, oneWayOut);
      universe[static_cast<std::uint16_t>(s)].warps = list;
    }
  }
  ReadRouteFile(universe, routes, changeLog);
  CheckWarpLists(universe);
  ReconcileWarps(universe, changeLog);
  CheckWarpLists(universe);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return RunFuzzInput(data, size, Run);
}
