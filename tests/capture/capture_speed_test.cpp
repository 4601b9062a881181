#include <gtest/gtest.h>

#include <chrono>

#include "capture/reconcile.h"
#include "capture/sector_file.h"
#include "tests/capture/capture_test_util.h"
#include "text/text.h"

namespace {

// A full-size capture is read and reconciled in milliseconds; the bound is loose
// so that only a rescan per line or per warp fails it.
TEST(CaptureSpeed, TwentyThousandSectorsReadAndReconcileQuickly) {
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
  const auto start = std::chrono::steady_clock::now();
  ReadSectorFile(universe, 20000, name, LoadMode::Replace, 1, out.log());
  std::uint16_t warpSlots = 0;
  ReconcileWarps(universe, 20000, warpSlots, out.log());
  const auto elapsed = std::chrono::steady_clock::now() - start;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
  RecordProperty("milliseconds", static_cast<int>(ms));
  EXPECT_LT(ms, 500);
  EXPECT_GT(warpSlots, 6);
}

}  // namespace
