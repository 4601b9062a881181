#include <gtest/gtest.h>

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
  ReadSectorFile(universe, name, LoadMode::Replace, 1, out.log());
  std::uint16_t warpSlots = ReconcileWarps(universe, out.log());
  EXPECT_GT(warpSlots, 6);
  // The kinds of t's entries for `from`, one bit each (a capture may list a
  // warp twice).
  const auto kindsAt = [&universe](std::uint16_t t, std::uint16_t from) {
    const WarpList& list = *universe[t].warps;
    std::uint32_t kinds = 0;
    for (std::size_t i = 0; i < list.targets.size(); ++i) {
      if (list.targets[i] == from) kinds |= 1u << list.kinds[i];
    }
    return kinds;
  };
  int mismatches = 0;
  for (std::uint16_t s = 1; s <= 20000; ++s) {
    const WarpList& list = *universe[s].warps;
    for (std::size_t i = 0; i < list.targets.size(); ++i) {
      const std::uint16_t t = list.targets[i];
      // A two-way warp is two-way at both ends; a one-way warp is out at one
      // end and in at the other.
      const std::uint32_t back = kindsAt(t, s);
      const std::uint32_t partner = list.kinds[i] == twoWay ? 1u << twoWay
                                    : list.kinds[i] == oneWayIn ? 1u << oneWayOut : 1u << oneWayIn;
      const bool agree = (back & (partner | 1u << twoWay)) != 0;
      if (!agree) ++mismatches;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
