// Whole runs of the executable in a scratch directory: the file set and the
// change-log record.
#include <gtest/gtest.h>

#include <regex>
#include <sys/stat.h>

#include "tests/test_util.h"

namespace {
const std::regex kRecord(
    R"(\[\d\d-\d\d-\d\d \d\d:\d\d:\d\d\] BEGIN KORVAN2 RECORD:\r\n((?:.*\r\n)*?)\[END OF RECORD\]\r\n\r\n)");

// The change log's records, each the lines between header and end.
std::vector<std::string> Records(const std::string& log) {
  std::vector<std::string> records;
  std::string rest = log;
  std::smatch match;
  while (std::regex_search(rest, match, kRecord, std::regex_constants::match_continuous)) {
    records.push_back(match[1]);
    rest = match.suffix();
  }
  EXPECT_EQ(rest, "") << "change log has text outside its records";
  return records;
}
}  // namespace

TEST(Run, AppendsOneRecordPerRun) {
  ScratchDir dir;
  EXPECT_EQ(RunKorvan({"/g:game", "/r-"}, dir.path()).exitCode, 0);
  EXPECT_EQ(RunKorvan({"/g:game", "/r-"}, dir.path()).exitCode, 0);
  EXPECT_EQ(Records(ReadFile(dir / "game_changelog.txt")).size(), 2u);
}

TEST(Run, ChangeLogGoesToTheReportDirectory) {
  ScratchDir dir;
  ScratchDir reports;
  RunResult run = RunKorvan({"/g:" + dir.path() + "game", "/p:" + reports.path(), "/r-"}, "/");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(Records(ReadFile(reports / "game_changelog.txt")).size(), 1u);
  EXPECT_EQ(ReadFile(dir / "game_changelog.txt"), "<missing>");
}

TEST(Run, FirstRunDeletesTheStaleFilesOfAnEarlierSet) {
  ScratchDir dir;
  for (const char* name : {"game.map", "game.fig", "game.vod"}) WriteFile(dir / name, "x");
  EXPECT_EQ(RunKorvan({"/g:game", "/r-"}, dir.path()).exitCode, 0);
  for (const char* name : {"game.map", "game.fig", "game.vod"}) {
    EXPECT_EQ(ReadFile(dir / name), "<missing>") << name;
  }
}

TEST(Run, StaleFilesStayWhileAReferenceCopyExists) {
  ScratchDir dir;
  WriteFile(dir / "game.fig", "x");
  WriteFile(dir / "game_ref.prt", "");
  EXPECT_EQ(RunKorvan({"/g:game", "/r-"}, dir.path()).exitCode, 0);
  EXPECT_EQ(ReadFile(dir / "game.fig"), "x");
}

TEST(Run, EarlierReferenceNamesAreMovedIntoPlace) {
  ScratchDir dir;
  WriteFile(dir / "game.map", "x");
  WriteFile(dir / "game.srf", "");
  WriteFile(dir / "game.prf", "");
  EXPECT_EQ(RunKorvan({"/g:game", "/r-"}, dir.path()).exitCode, 0);
  EXPECT_EQ(ReadFile(dir / "game.map"), "<missing>");
  EXPECT_EQ(ReadFile(dir / "game.srf"), "<missing>");
  EXPECT_EQ(ReadFile(dir / "game.prf"), "<missing>");
  EXPECT_NE(ReadFile(dir / "game_ref.sct"), "<missing>");
  EXPECT_NE(ReadFile(dir / "game_ref.prt"), "<missing>");
}

TEST(Run, UnwritableChangeLogEndsTheRunWithExitCode2) {
  ScratchDir dir;
  ASSERT_EQ(::mkdir((dir / "game_changelog.txt").c_str(), 0755), 0);
  RunResult run = RunKorvan({"/g:game"}, dir.path());
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "error:  game_changelog.txt: Is a directory\n");
}
