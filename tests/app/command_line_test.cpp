// The entry's screens and exit codes, run as the real executable.
#include <gtest/gtest.h>
#include <fstream>

#include "app/settings.h"
#include "tests/test_util.h"

namespace {

std::string ErrorScreen(const std::string& parameter) {
  return kBannerLine + "\nerror:  invalid parameter <" + parameter + ">.\n" + kUsageLines;
}

CommandLine Read(const std::vector<std::string>& parameters) { return ReadCommandLine(parameters); }

}  // namespace

TEST(CommandLineScreens, NoParametersShowsUsageWithExitCode1) {
  ScratchDir dir;
  RunResult run = RunKorvan({}, dir.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, kBannerLine + "\n" + kUsageLines);
  EXPECT_EQ(run.err, "");
}

TEST(CommandLineScreens, QuestionMarkWinsOnlyWhenReachedFirst) {
  ScratchDir dir;
  RunResult usage = RunKorvan({"/?", "/x:5"}, dir.path());
  EXPECT_EQ(usage.exitCode, 0);
  EXPECT_EQ(usage.out, kBannerLine + "\n" + kUsageLines);
  RunResult error = RunKorvan({"/x:5", "/?"}, dir.path());
  EXPECT_EQ(error.exitCode, 1);
  EXPECT_EQ(error.out, ErrorScreen("/x:5"));
}

// The usage screen as other systems ask for it, in the place of "/?"; the
// version alone, without the banner.
TEST(CommandLineScreens, HelpAndVersionAsOtherSystemsAskForThem) {
  ScratchDir dir;
  for (const std::string help : {"--help", "-h", "-?", "/h", "/help"}) {
    RunResult run = RunKorvan({help, "/x:5"}, dir.path());
    EXPECT_EQ(run.exitCode, 0) << help;
    EXPECT_EQ(run.out, kBannerLine + "\n" + kUsageLines) << help;
  }
  RunResult waits = RunKorvan({"/pause+", "--help"}, dir.path());
  EXPECT_EQ(waits.out, kBannerLine + "\n" + kUsageLines + "press a key to continue...\n");
  RunResult version = RunKorvan({"/g:game", "/pause+", "--version", "/x:5"}, dir.path());
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "korvan2a " KORVAN_VERSION "\n");
  EXPECT_EQ(version.err, "");
  EXPECT_EQ(RunKorvan({"/x:5", "--version"}, dir.path()).out, ErrorScreen("/x:5"));
}

// A terminal's scrollback belongs to the player: the cursor is hidden while
// the program runs, the screen is not cleared.
TEST(CommandLineScreens, ATerminalKeepsItsScrollback) {
  ScratchDir dir;
  const RunResult run =
      RunCommand({"script", "-qec", std::string(KORVAN_BINARY) + " /?", "/dev/null"}, {}, dir.path());
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out.rfind("\x1b[?25lKORVAN2a v.0.34", 0), 0u) << run.out;
  EXPECT_EQ(run.out.find("\x1b[2J"), std::string::npos) << run.out;
}

TEST(CommandLineScreens, InvalidParametersGetTheErrorScreen) {
  ScratchDir dir;
  for (const std::string bad : {"/b", "/n20000", "/n:abc", "/G:x", "x", "/", "b-", "/n:0",
                                "/n:20001", "/mm:256", "/al:65536", "/al:-1", "/g-x", "/s:",
                                "/zz+", "/?:", "/n: 5 ", "/atlas", "/atlas:1", "/history"}) {
    RunResult run = RunKorvan({"/g:game", bad}, dir.path());
    EXPECT_EQ(run.exitCode, 1) << bad;
    EXPECT_EQ(run.out, ErrorScreen(bad)) << bad;
  }
}

TEST(CommandLineScreens, PauseBeforeTheErrorWaitsForAKey) {
  ScratchDir dir;
  RunResult waits = RunKorvan({"/pause+", "/x:5"}, dir.path());
  EXPECT_EQ(waits.out, ErrorScreen("/x:5") + "press a key to continue...\n");
  RunResult noWait = RunKorvan({"/x:5", "/pause+"}, dir.path());
  EXPECT_EQ(noWait.out, ErrorScreen("/x:5"));
}

TEST(CommandLineScreens, SpecialSectorBeyondTheUniverseNamesItsLastParameter) {
  ScratchDir dir;
  RunResult run = RunKorvan({"/g:game", "/n:100", "/sd:200", "/ry:5", "/ry:101", "/al:100"},
                            dir.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, ErrorScreen("/ry:101"));
  EXPECT_EQ(ReadFile(dir / "game_changelog.txt"), "<missing>");
}

TEST(CommandLineSettings, DefaultsForAGameAlone) {
  ScratchDir dir;
  CommandLine line = Read({"/g:" + dir.path() + "game"});
  ASSERT_EQ(line.result, CommandLineResult::Run);
  const Settings& s = line.settings;
  EXPECT_EQ(s.gameName, "game");
  EXPECT_EQ(s.cimPath, dir.path());
  EXPECT_EQ(s.reportPath, "");
  EXPECT_EQ(s.sectorCount, 20000);
  EXPECT_EQ(s.loadMask, 3);
  EXPECT_TRUE(s.bubbles);
  EXPECT_TRUE(s.reports);
  EXPECT_FALSE(s.pause);
  EXPECT_FALSE(s.atlas);
  EXPECT_EQ(s.extraFile, "");
  EXPECT_FALSE(std::ifstream(dir / "korvan.$$$").good());
}

TEST(CommandLineSettings, PathsUseForwardSlashes) {
  ScratchDir dir;
  std::string windowsStyle = dir.path();
  for (char& c : windowsStyle) {
    if (c == '/') c = '\\';
  }
  CommandLine line = Read({"/g:" + windowsStyle + "my-game", "/p:" + dir.path() + ".",
                           "/m:" + windowsStyle + "extra.ztm"});
  ASSERT_EQ(line.result, CommandLineResult::Run);
  EXPECT_EQ(line.settings.gameName, "my-game");
  EXPECT_EQ(line.settings.cimPath, dir.path());
  EXPECT_EQ(line.settings.reportPath, dir.path() + "./");
  EXPECT_EQ(line.settings.extraFile, dir.path() + "extra.ztm");
}

TEST(CommandLineSettings, FlagsStaySwitchedAndValuesRepeat) {
  ScratchDir dir;
  CommandLine line = Read({"/b-", "/b+", "/r-", "/s+", "/pause-", "/n:500", "/n:+600",
                           "/mm:7", "/d:77;abc;19", "/al:10", "/al:20", "/g:" + dir.path() + "g"});
  ASSERT_EQ(line.result, CommandLineResult::Run);
  EXPECT_FALSE(line.settings.bubbles);
  EXPECT_FALSE(line.settings.reports);
  EXPECT_FALSE(line.settings.pause);
  EXPECT_EQ(line.settings.sectorCount, 600);
  EXPECT_EQ(line.settings.loadMask, 7);
  EXPECT_EQ(line.settings.distanceList, "77;abc;19");
  EXPECT_EQ(line.settings.alphaCentauri, 20);
  // "+" switches the atlas on; a later "-" changes nothing, as with /pause.
  EXPECT_TRUE(Read({"/atlas+", "/atlas-", "/g:" + dir.path() + "g"}).settings.atlas);
  EXPECT_FALSE(Read({"/atlas-", "/g:" + dir.path() + "g"}).settings.atlas);
  EXPECT_TRUE(Read({"/history+", "/history-", "/g:" + dir.path() + "g"}).settings.history);
  EXPECT_FALSE(Read({"/history-", "/g:" + dir.path() + "g"}).settings.history);
}

TEST(CommandLineSettings, ExtraFileInAnUnwritableDirectoryIsEmptied) {
  CommandLine line = Read({"/m:/no/such/dir/x.sct"});
  EXPECT_EQ(line.result, CommandLineResult::InvalidParameter);
  EXPECT_EQ(line.settings.extraFile, "");
  EXPECT_EQ(line.badParameter, "/m:/no/such/dir/x.sct");
}

TEST(CommandLineSettings, EmptyGameNameIsMissing) {
  EXPECT_EQ(Read({"/n:5"}).result, CommandLineResult::MissingGameName);
}
