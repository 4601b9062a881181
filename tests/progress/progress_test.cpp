#include "progress/progress.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "platform/console.h"

TEST(ProgressTick, CyclesThroughFourCharactersPerPeriod) {
  EXPECT_EQ(ProgressTick(0, 500), 1);
  EXPECT_EQ(ProgressTick(1, 500), 2);
  EXPECT_EQ(ProgressTick(500, 500), 501);
  EXPECT_EQ(ProgressTick(1999, 500), 2000);
  EXPECT_EQ(ProgressTick(2000, 500), 1);
  EXPECT_EQ(ProgressTick(0, 0), 1);
  EXPECT_EQ(ProgressTick(7, 0), 1);
  EXPECT_EQ(ProgressTick(65535, 10000), 1);
}

// Many ticks at once end in the state of ticking one at a time, and are taken in
// one step only where none of the single ticks would draw.
TEST(ProgressTick, ManyTicksAtOnceAreSingleTicksInARow) {
  for (std::uint16_t step : {0, 1, 2, 3, 7, 500, 10000}) {
    const std::uint32_t last = std::min<std::uint32_t>(4u * step + 2u, 65535);
    for (std::uint32_t state = 0; state <= last; ++state) {
      for (std::uint32_t count : {0u, 1u, 2u, 3u, 24u, 31u}) {
        std::uint16_t single = static_cast<std::uint16_t>(state);
        for (std::uint32_t i = 0; i < count; ++i) single = ProgressTick(single, step);
        ASSERT_EQ(ProgressTicks(static_cast<std::uint16_t>(state), step, count), single)
            << "step " << step << " state " << state << " count " << count;
      }
    }
  }
  EXPECT_EQ(ProgressTicks(65534, 40000, 2), ProgressTick(ProgressTick(65534, 40000), 40000));
}

TEST(ProgressTick, DrawsNothingWhenTheConsoleIsNoTerminal) {
  std::string console;
  ConsoleCaptureTo(&console);
  std::uint16_t state = ProgressTick(0, 2);
  for (int i = 0; i < 20; ++i) state = ProgressTick(state, 2);
  ConsoleCaptureTo(nullptr);
  EXPECT_EQ(console, "");
}

TEST(Announce, WritesPhaseTextNameAndBlank) {
  std::string console;
  ConsoleCaptureTo(&console);
  AnnounceFile("reading sector cim file: ", "game.sct");
  EndPhaseLine();
  AnnounceFile("writing dump report: ", "/a/rather/long/directory/name/game_dump.txt");
  EndPhaseLine();
  ConsoleCaptureTo(nullptr);
  EXPECT_EQ(console,
            "reading sector cim file: game.sct .\n"
            "writing dump report: ...g/directory/name/game_dump.txt .\n");
}
