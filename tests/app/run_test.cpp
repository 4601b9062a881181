// Whole runs of the executable in a scratch directory: the file set and the
// change-log record.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string_view>
#include <vector>
#include <sys/stat.h>

#include "tests/test_util.h"
#include "tools/game_generator.h"

namespace {

constexpr std::string_view kHeaderEnd = "] BEGIN KORVAN2 RECORD:\r\n";
constexpr std::string_view kRecordEnd = "[END OF RECORD]\r\n\r\n";

// True when `text` at `at` holds a record header's time stamp "[yy-mm-dd hh:mm:ss".
bool IsStampAt(const std::string& text, std::size_t at) {
  static constexpr std::string_view kShape = "[00-00-00 00:00:00";
  if (text.size() < at + kShape.size()) return false;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    const char c = text[at + i];
    if (kShape[i] == '0' ? (c < '0' || c > '9') : c != kShape[i]) return false;
  }
  return true;
}

// The change log's records, each the lines between header and end.
std::vector<std::string> Records(const std::string& log) {
  std::vector<std::string> records;
  std::size_t at = 0;
  while (at < log.size()) {
    const std::size_t body = at + 18 + kHeaderEnd.size();
    EXPECT_TRUE(IsStampAt(log, at) && log.compare(at + 18, kHeaderEnd.size(), kHeaderEnd) == 0)
        << "no record header at " << at;
    const std::size_t end = log.find(kRecordEnd, body);
    EXPECT_NE(end, std::string::npos) << "record without end at " << at;
    if (end == std::string::npos || body > end) break;
    records.push_back(log.substr(body, end - body));
    at = end + kRecordEnd.size();
  }
  return records;
}

// The change log with every record header's time stamp replaced by "[time]".
std::string MaskTimes(const std::string& log) {
  std::string masked;
  for (std::size_t at = 0; at < log.size();) {
    if (IsStampAt(log, at)) {
      masked += "[time";
      at += 18;
    } else {
      masked += log[at++];
    }
  }
  return masked;
}

// A small game: sectors 1..7 around terra, a one-way warp 8 -> 9, two ports.
void WriteFirstCapture(const ScratchDir& dir) {
  WriteFile(dir / "game.sct", "1 2 3 4\r\n2 1 3\r\n3 1 2 5\r\n4 1\r\n5 3 6\r\n6 5 7\r\n7 6\r\n8 9\n");
  WriteFile(dir / "game.prt",
            "2 - 2060 100% - 2730 100%   1390  78%\r\n3 500 50% -300 20% 100 100%\r\n");
}

// A later capture of part of the game: a new warp 4 <-> 5, a port that grew, a
// new port.
void WriteSecondCapture(const ScratchDir& dir) {
  WriteFile(dir / "game.sct", "1 2 3 4\r\n4 1 5\r\n5 3 4 6\r\n");
  WriteFile(dir / "game.prt", "3 500 50% -300 20% 900 100%\r\n5 1 1% 2 2% -3 3%\r\n");
}

const std::vector<std::string> kGameArgs = {"/g:game", "/n:10", "/al:7", "/ry:5", "/sd:3"};

std::vector<std::string> With(std::vector<std::string> args, const std::string& more) {
  args.push_back(more);
  return args;
}

}  // namespace

TEST(Run, AppendsOneRecordPerRun) {
  ScratchDir dir;
  WriteFirstCapture(dir);
  EXPECT_EQ(RunKorvan({"/g:game", "/r-"}, dir.path()).exitCode, 0);
  EXPECT_EQ(RunKorvan({"/g:game", "/r-"}, dir.path()).exitCode, 0);
  EXPECT_EQ(Records(ReadFile(dir / "game_changelog.txt")).size(), 2u);
}

TEST(Run, ChangeLogGoesToTheReportDirectory) {
  ScratchDir dir;
  ScratchDir reports;
  WriteFirstCapture(dir);
  RunResult run = RunKorvan({"/g:" + dir.path() + "game", "/p:" + reports.path(), "/r-"}, "/");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(Records(ReadFile(reports / "game_changelog.txt")).size(), 1u);
  EXPECT_EQ(ReadFile(dir / "game_changelog.txt"), "<missing>");
}

TEST(Run, FirstRunDeletesTheStaleFilesOfAnEarlierSet) {
  ScratchDir dir;
  for (const char* name : {"game.map", "game.fig", "game.vod"}) WriteFile(dir / name, "x");
  WriteFirstCapture(dir);
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

// A folder that may be written but not read (mode 0333) cannot be opened to
// flush the new names of the player's files: the run goes on without.
TEST(Run, AFolderThatCannotBeReadTakesTheRun) {
  ScratchDir dir;
  WriteFirstCapture(dir);
  WriteFile(dir / "game.srf", CrLf({" 8  9"}));
  ASSERT_EQ(::chmod(dir.path().c_str(), 0333), 0);
  const RunResult run = RunKorvanUnprivileged({"/g:game", "/n:10", "/r-"}, dir.path());
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(dir / "game_bak.sct"), CrLf({" 8  9"}));
  EXPECT_EQ(Records(ReadFile(dir / "game_changelog.txt")).size(), 1u);
}

TEST(Run, UnwritableChangeLogEndsTheRunWithExitCode2) {
  ScratchDir dir;
  ASSERT_EQ(::mkdir((dir / "game_changelog.txt").c_str(), 0755), 0);
  WriteFirstCapture(dir);
  RunResult run = RunKorvan({"/g:game"}, dir.path());
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "error:  game_changelog.txt: Is a directory\n");
  // With /pause+ the window waits, so that the error line can be read.
  RunResult paused = RunKorvan({"/g:game", "/pause+"}, dir.path());
  EXPECT_EQ(paused.exitCode, 2);
  EXPECT_EQ(paused.err, run.err);
  EXPECT_EQ(paused.out, run.out + "press a key to continue...\n");
}

TEST(Run, FirstRunConsoleAndChangeLog) {
  ScratchDir dir;
  WriteFirstCapture(dir);
  RunResult run = RunKorvan(kGameArgs, dir.path());
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "KORVAN2a v.0.34 december 2002 - korvan2a contributors\n"
            "reading sector cim file: game.sct .\n"
            "reading port cim file: game.prt .\n"
            "reconciling warp data: .\n"
            "writing sector cim file: game_ref.sct .\n"
            "writing port cim file: game_ref.prt .\n"
            "calculating distances to special sectors: .\n"
            "calculating msl: .\n"
            "writing msl report: game_msl.txt .\n"
            "writing bubble report: game_bubbles.txt 0123.\n"
            "writing map (reclen=21): game.map .\n"
            "writing one-way report: game_oneways.txt .\n"
            "writing port pair report: game_portpairs.txt .\n"
            "writing distance report: game_distance.txt .\n"
            "writing special port report: game_special.txt .\n"
            "writing notes report: game_notes.txt .\n"
            "writing dump report: game_dump.txt .\n");
  EXPECT_EQ(MaskTimes(ReadFile(dir / "game_changelog.txt")),
            CrLf({"[time] BEGIN KORVAN2 RECORD:", " game.sct: 8 sectors read.",
                  " game.prt: 2 ports read.", " data reconciled.",
                  " game_ref.sct: 9 sectors written", " game_ref.prt: 2 ports written.",
                  "[END OF RECORD]", ""}));
  EXPECT_EQ(ReadFile(dir / "game_ref.sct"),
            CrLf({" 1  2  3  4", " 2  1  3", " 3  1  2  5", " 4  1", " 5  3  6", " 6  5  7",
                  " 7  6", " 8  9", " 9"}));
  EXPECT_EQ(ReadFile(dir / "game_ref.prt"),
            CrLf({" 2 - 2060 100% - 2730 100%   1390  78%", " 3    500  50% -  300  20%    100 100%"}));
  EXPECT_EQ(ReadFile(dir / "game_bak.sct"), "<missing>");
  EXPECT_EQ(ReadFile(dir / "game_bak.prt"), "<missing>");
  for (const char* report : {"game_msl.txt", "game_bubbles.txt", "game_oneways.txt",
                             "game_portpairs.txt", "game_distance.txt", "game_special.txt",
                             "game_notes.txt", "game_dump.txt", "game.map"}) {
    EXPECT_NE(ReadFile(dir / report), "<missing>") << report;
  }
}

TEST(Run, SecondRunKeepsBackupsAndComparesTheMap) {
  ScratchDir dir;
  WriteFirstCapture(dir);
  ASSERT_EQ(RunKorvan(kGameArgs, dir.path()).exitCode, 0);
  const std::string firstSectors = ReadFile(dir / "game_ref.sct");
  const std::string firstPorts = ReadFile(dir / "game_ref.prt");
  WriteSecondCapture(dir);
  RunResult second = RunKorvan(With(kGameArgs, "/mm:7"), dir.path());
  ASSERT_EQ(second.exitCode, 0);
  EXPECT_EQ(ReadFile(dir / "game_bak.sct"), firstSectors);
  EXPECT_EQ(ReadFile(dir / "game_bak.prt"), firstPorts);
  // The capture's lists win, the reference copy fills the sectors it lacks.
  EXPECT_EQ(ReadFile(dir / "game_ref.sct"),
            CrLf({" 1  2  3  4", " 2  1  3", " 3  1  2  5", " 4  1  5", " 5  3  4  6", " 6  5  7",
                  " 7  6", " 8  9", " 9"}));
  EXPECT_EQ(ReadFile(dir / "game_ref.prt"),
            CrLf({" 2 - 2060 100% - 2730 100%   1759 100%", " 3    500  50% -  300  20%    900 100%",
                  " 5      1   1%      2   2% -    3   3%"}));
  EXPECT_EQ(MaskTimes(ReadFile(dir / "game_changelog.txt")),
            CrLf({"[time] BEGIN KORVAN2 RECORD:", " game.sct: 8 sectors read.",
                  " game.prt: 2 ports read.", " data reconciled.",
                  " game_ref.sct: 9 sectors written", " game_ref.prt: 2 ports written.",
                  "[END OF RECORD]", "",
                  "[time] BEGIN KORVAN2 RECORD:", " game.sct: 3 sectors read.",
                  " game.prt: 2 ports read.", " game_ref.sct: 8 sectors read.",
                  " game_ref.prt: 2 ports read.", " game.map: (reclen=21) ",
                  "  comparing recent cim data with previous map data...",
                  "  3: equipment up by 800.", "  4: new warps found (5)",
                  "  5: new warps found (4)", "  10 sectors read.", " data reconciled.",
                  " game_ref.sct: 9 sectors written", " game_ref.prt: 3 ports written.",
                  "[END OF RECORD]", ""}));
}

TEST(Run, WithoutReferenceCopiesTheNewCopiesHoldOnlyTheCapture) {
  ScratchDir dir;
  WriteFirstCapture(dir);
  ASSERT_EQ(RunKorvan(kGameArgs, dir.path()).exitCode, 0);
  const std::string firstSectors = ReadFile(dir / "game_ref.sct");
  WriteSecondCapture(dir);
  ASSERT_EQ(RunKorvan(With(kGameArgs, "/mm:1"), dir.path()).exitCode, 0);
  // Sectors only entered by listed warps are written as their number alone.
  EXPECT_EQ(ReadFile(dir / "game_ref.sct"),
            CrLf({" 1  2  3  4", " 2", " 3", " 4  1  5", " 5  3  4  6", " 6"}));
  EXPECT_EQ(ReadFile(dir / "game_bak.sct"), firstSectors);
}

TEST(Run, ReportsOffStopsAfterTheReferenceCopies) {
  ScratchDir dir;
  WriteFirstCapture(dir);
  RunResult run = RunKorvan(With(kGameArgs, "/r-"), dir.path());
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out,
            "KORVAN2a v.0.34 december 2002 - korvan2a contributors\n"
            "reading sector cim file: game.sct .\n"
            "reading port cim file: game.prt .\n"
            "reconciling warp data: .\n"
            "writing sector cim file: game_ref.sct .\n"
            "writing port cim file: game_ref.prt .\n");
  for (const char* report : {"game.map", "game_msl.txt", "game_bubbles.txt", "game_dump.txt",
                             "game_notes.txt"}) {
    EXPECT_EQ(ReadFile(dir / report), "<missing>") << report;
  }
}

TEST(Run, BubblesOffWritesNoBubbleReportAndNoMarks) {
  ScratchDir dir;
  WriteFirstCapture(dir);
  ASSERT_EQ(RunKorvan(With(kGameArgs, "/b-"), dir.path()).exitCode, 0);
  EXPECT_EQ(ReadFile(dir / "game_bubbles.txt"), "<missing>");
  const std::string map = ReadFile(dir / "game.map");
  ASSERT_EQ(map.size(), 1u + 10u * 21u);
  for (std::size_t s = 0; s < 10; ++s) {
    const std::size_t record = 1 + s * 21;
    EXPECT_EQ(map[record] & 2, 0) << s + 1;
    EXPECT_EQ(map[record + 12], 0) << s + 1;
    EXPECT_EQ(map[record + 13], 0) << s + 1;
  }
}

TEST(Run, ExtraFileIsReadByItsExactExtension) {
  ScratchDir dir;
  WriteFile(dir / "extra.SCT", "1 2\r\n");
  WriteFile(dir / "extra.sct", "1 3\r\n3 1\r\n");
  RunResult upper = RunKorvan({"/g:game", "/n:10", "/r-", "/m:extra.SCT"}, dir.path());
  ASSERT_EQ(upper.exitCode, 0);
  EXPECT_EQ(ReadFile(dir / "game_ref.sct"), "");
  RunResult lower = RunKorvan({"/g:game", "/n:10", "/r-", "/m:extra.sct", "/mm:2"}, dir.path());
  ASSERT_EQ(lower.exitCode, 0);
  EXPECT_EQ(ReadFile(dir / "game_ref.sct"), CrLf({" 1  3", " 3  1"}));
  EXPECT_NE(lower.out.find("reading sector cim file: extra.sct .\n"), std::string::npos);
}

// The atlas is one more file and one more console line; everything else a run
// writes is what it writes without it.
TEST(Run, AtlasChangesNothingElse) {
  ScratchDir plain;
  ScratchDir withAtlas;
  GameOptions options;
  options.sectorCount = 300;
  std::vector<std::string> args;
  for (const GameFile& file : GenerateGame(options)) {
    WriteFile(plain / file.name, file.bytes);
    WriteFile(withAtlas / file.name, file.bytes);
    if (file.name == "game.cmd") {
      std::istringstream words(file.bytes);
      std::string word;
      words >> word;
      while (words >> word) args.push_back(word);
    }
  }
  for (const std::vector<std::string>& switches :
       std::vector<std::vector<std::string>>{{}, {"/b-", "/mm:7"}, {"/r-"}}) {
    std::vector<std::string> run = args;
    run.insert(run.end(), switches.begin(), switches.end());
    const RunResult without = RunKorvan(run, plain.path());
    run.push_back("/atlas+");
    std::filesystem::remove(withAtlas / "game_atlas.html");
    const RunResult with = RunKorvan(run, withAtlas.path());
    ASSERT_EQ(without.exitCode, 0);
    ASSERT_EQ(with.exitCode, 0);
    const bool reports = switches != std::vector<std::string>{"/r-"};
    EXPECT_EQ(with.out, without.out + (reports ? "writing atlas: game_atlas.html .\n" : ""));
    EXPECT_EQ(ReadFile(withAtlas / "game_atlas.html") != "<missing>", reports);
    const auto count = [](const ScratchDir& dir) {
      return std::distance(std::filesystem::directory_iterator(dir.path()), {});
    };
    EXPECT_EQ(count(withAtlas), count(plain) + (reports ? 1 : 0));
    for (const auto& entry : std::filesystem::directory_iterator(plain.path())) {
      const std::string name = entry.path().filename().string();
      const std::string expected = ReadFile(plain / name);
      const std::string actual = ReadFile(withAtlas / name);
      EXPECT_EQ(name == "game_changelog.txt" ? MaskTimes(actual) : actual,
                name == "game_changelog.txt" ? MaskTimes(expected) : expected) << name;
    }
  }
}
