#include "app/progress.h"

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
