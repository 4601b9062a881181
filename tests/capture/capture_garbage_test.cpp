#include <gtest/gtest.h>

#include <algorithm>

#include "capture/port_file.h"
#include "capture/reconcile.h"
#include "capture/sector_file.h"
#include "tests/capture/capture_test_util.h"

namespace {

// Captures of number-like noise: no crash, no write outside the universe, and
// the written reference copies read back to themselves.
TEST(CaptureGarbage, NoiseIsReadReconciledAndWrittenSafely) {
  PhaseOutput out;
  std::uint32_t seed = 99;
  auto next = [&seed](std::uint32_t range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % range;
  };
  // Words mostly like the game's, some broken; lines of 0 to 11 words.
  static constexpr std::string_view kWords[] = {
      "-", "0", "1", "7", "12", "30", "31", "99", "100%", "78%", "0%", "255%", "256%", "65535",
      "65536", "-7", "-0", "+3", "x", "%", "5\t6", std::string_view("\0", 1), "\xff"};
  static constexpr std::string_view kBlanks[] = {" ", " ", " ", "  ", "\t "};
  std::size_t sectorLines = 0;
  std::size_t portLines = 0;
  for (int round = 0; round < 10; ++round) {
    std::string text;
    for (int line = 0; line < 300; ++line) {
      if (next(2) == 0) text += std::to_string(1 + next(32));
      const std::uint32_t words = next(12);
      for (std::uint32_t i = 0; i < words; ++i) {
        text += kBlanks[next(std::size(kBlanks))];
        text += kWords[next(std::size(kWords))];
      }
      text += next(2) == 0 ? "\n" : "\r\n";
    }
    // Port lines: mostly three product groups of either form, each word possibly broken.
    std::string ports;
    for (int line = 0; line < 300; ++line) {
      ports += std::to_string(next(33));
      for (int product = 0; product < 3; ++product) {
        if (next(2) == 0) ports += " -";
        ports += ' ';
        ports += next(8) == 0 ? kWords[next(std::size(kWords))] : std::to_string(next(70000));
        ports += ' ';
        ports += next(8) == 0 ? kWords[next(std::size(kWords))]
                              : std::to_string(next(260)) + "%";
      }
      if (next(4) == 0) ports += " extra";
      ports += "\r\n";
    }
    const std::string sct = out / "noise.sct";
    const std::string prt = out / "noise.prt";
    WriteFile(sct, text);
    WriteFile(prt, ports);
    Universe universe = CreateUniverse(30, 5);
    const LoadMode mode = round % 2 == 0 ? LoadMode::Replace : LoadMode::Fill;
    ReadSectorFile(universe, sct, mode, 1, out.log());
    ReadPortFile(universe, prt, mode, static_cast<std::uint8_t>(round % 2), out.log());
    ReconcileWarps(universe, out.log());
    EXPECT_FALSE(universe.Lookup(0).warps.has_value());
    EXPECT_FALSE(universe.Lookup(31).warps.has_value());

    const std::string sectorCopy = out / "copy.sct";
    const std::string portCopy = out / "copy.prt";
    WriteSectorFile(universe, sectorCopy, out.log());
    WritePortFile(universe, portCopy, out.log());
    Universe back = CreateUniverse(30, 5);
    ReadSectorFile(back, sectorCopy, LoadMode::Replace, 1, out.log());
    ReadPortFile(back, portCopy, LoadMode::Replace, 1, out.log());
    ReconcileWarps(back, out.log());
    const std::string sectorAgain = out / "again.sct";
    const std::string portAgain = out / "again.prt";
    WriteSectorFile(back, sectorAgain, out.log());
    WritePortFile(back, portAgain, out.log());
    const std::string sectorText = ReadFile(sectorCopy);
    const std::string portText = ReadFile(portCopy);
    sectorLines += static_cast<std::size_t>(std::count(sectorText.begin(), sectorText.end(), '\n'));
    portLines += static_cast<std::size_t>(std::count(portText.begin(), portText.end(), '\n'));
    EXPECT_EQ(ReadFile(sectorAgain), sectorText) << round;
    EXPECT_EQ(ReadFile(portAgain), portText) << round;
  }
  // The noise does reach the Universe.
  EXPECT_GT(sectorLines, 30u);
  EXPECT_GT(portLines, 30u);
}

}  // namespace
