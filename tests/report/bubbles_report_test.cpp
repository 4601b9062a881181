#include "report/bubbles_report.h"

#include <gtest/gtest.h>

#include "platform/console.h"
#include "platform/file.h"
#include "tests/analysis/analysis_fixtures.h"
#include "tests/test_util.h"

namespace {

struct Capture {
  std::string text;
  Capture() { ConsoleCaptureTo(&text); }
  ~Capture() { ConsoleCaptureTo(nullptr); }
};

}  // namespace

TEST(BubbleReport, FailureKeepsTheOldReport) {
  ScratchDir dir;
  const std::string name = dir / "g_bubbles.txt";
  // A ring 20-21-22 with the chain 10-11 hanging off 20.
  Universe u = MakeReconciledUniverse(
      30, {0, 1, 0, 0, 0},
      {{10, {11}}, {11, {10, 20}}, {20, {11, 21, 22}}, {21, {20, 22}}, {22, {20, 21}}});
  Capture console;
  const Bubbles bubbles = AnalyseBubbles(u, name);
  ASSERT_EQ(bubbles.gates.size(), 1u);
  SetFileFaultAt(0);
  WriteBubbleReport(u, bubbles, 3, name);
  const std::uint64_t operations = FileOperationCount();
  for (std::uint64_t k = 1; k <= operations; ++k) {
    WriteFile(name, "old\r\n");
    SetFileFaultAt(k);
    EXPECT_THROW(WriteBubbleReport(u, bubbles, 3, name), IoError) << k;
    SetFileFaultAt(0);
    EXPECT_EQ(ReadFile(name), "old\r\n") << k;
    EXPECT_FALSE(FileExists(name + ".tmp~")) << k;
  }
}
