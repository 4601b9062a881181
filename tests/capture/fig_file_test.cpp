#include "capture/fig_file.h"

#include <gtest/gtest.h>

#include "tests/capture/side_inputs_util.h"
#include "tests/test_util.h"

namespace {

struct FigRun {
  std::string console;
  std::string changeLog;
};

FigRun ReadFigs(Universe& universe, const std::string& fileName, const ScratchDir& dir) {
  FigRun run;
  {
    ConsoleCapture capture;
    OutputFile log(dir / "g_changelog.txt", OutputFile::Mode::Append);
    ReadFigFile(universe, fileName, log);
    log.Commit();
    run.console = capture.text();
  }
  run.changeLog = ReadFile(dir / "g_changelog.txt");
  return run;
}

}  // namespace

TEST(FigFile, AcceptsOnlyWholeLineNumbersInRange) {
  ScratchDir dir;
  const std::string name = dir / "game_figs.txt";
  ASSERT_GE(name.size(), 34u);
  // "8 " has a trailing blank, "9 10" a second number: both unreadable.
  WriteFile(name, "5\r\n   7\n8 \r\n9 10\n5\n0\n-3\n11\n\t6\nabc\n\n10");
  Universe universe = CreateUniverse(10, 5);
  universe[3].fig = 1;
  FigRun run = ReadFigs(universe, name, dir);

  // The shortened name carries no "..." in front.
  EXPECT_EQ(run.console, "reading fig data: " + Last30(name) + " .\n");
  // 5 twice, 7, 6 and 10.
  EXPECT_EQ(run.changeLog, " " + name + ": 5 sectors read.\r\n");
  std::string flags;
  for (std::uint16_t s = 1; s <= 10; ++s) flags += universe[s].fig ? '1' : '0';
  EXPECT_EQ(flags, "0010111001");
}

TEST(FigFile, EmptyFileStillWritesItsLines) {
  ScratchDir dir;
  const std::string name = dir / "game_figs.txt";
  WriteFile(name, "");
  Universe universe = CreateUniverse(10, 5);
  FigRun run = ReadFigs(universe, name, dir);
  EXPECT_EQ(run.console, "reading fig data: " + Last30(name) + " .\n");
  EXPECT_EQ(run.changeLog, " " + name + ": 0 sectors read.\r\n");
}

TEST(FigFile, MissingFileWritesNothing) {
  ScratchDir dir;
  WriteFile(dir / "g_changelog.txt", "");
  Universe universe = CreateUniverse(10, 5);
  FigRun run = ReadFigs(universe, dir / "none_figs.txt", dir);
  EXPECT_EQ(run.console, "");
  EXPECT_EQ(run.changeLog, "");
}
