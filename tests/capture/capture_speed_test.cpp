#include <gtest/gtest.h>

#include <algorithm>

#include "capture/reconcile.h"
#include "capture/sector_file.h"
#include "tests/capture/capture_test_util.h"
#include "text/text.h"

namespace {

// A full-size capture read and reconciled: both ends of every warp agree. (How
// fast is the benchmark's question: scripts/benchmark.sh.)
TEST(CaptureFullSize, TwentyThousandSectorsReconcileBothEnds) {
  PhaseOutput out;
  const std::string name = out / "g.sct";
  std::string text;
  std::uint32_t seed = 7;
  for (std::uint32_t s = 1; s <= 20000; ++s) {
    AppendRight(text, s, 5);
    for (int i = 0; i < 6; ++i) {
      seed = seed * 1103515245u + 12345u;
      text += ' ';
      AppendRight(text, 1 + (seed >> 8) % 20000, 5);
    }
    text += "\r\n";
  }
  WriteFile(name, text);

  Universe universe = CreateUniverse(20000, 5);
  ReadSectorFile(universe, 20000, name, LoadMode::Replace, 1, out.log());
  std::uint16_t warpSlots = 0;
  ReconcileWarps(universe, 20000, warpSlots, out.log());
  EXPECT_GT(warpSlots, 6);
  // The kind an entry for `from` has in t's list; 3 when t lists no such entry.
  const auto kindAt = [&universe](std::uint16_t t, std::uint16_t from) {
    const WarpList& list = *universe[t].warps;
    const auto at = std::find(list.targets.begin(), list.targets.end(), from);
    return at == list.targets.end() ? 3u : list.kinds[static_cast<std::size_t>(at - list.targets.begin())];
  };
  int mismatches = 0;
  for (std::uint16_t s = 1; s <= 20000; ++s) {
    const WarpList& list = *universe[s].warps;
    for (std::size_t i = 0; i < list.targets.size(); ++i) {
      const std::uint16_t t = list.targets[i];
      const std::uint32_t back = kindAt(t, s);
      const bool agree = list.kinds[i] == twoWay     ? back == twoWay
                         : list.kinds[i] == oneWayIn ? back == oneWayOut || back == twoWay
                                                     : back == oneWayIn || back == twoWay;
      if (!agree) ++mismatches;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
