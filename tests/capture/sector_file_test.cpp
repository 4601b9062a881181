#include "capture/sector_file.h"

#include <gtest/gtest.h>

#include "capture/reconcile.h"
#include "tests/capture/capture_test_util.h"

namespace {

TEST(ReadSectorFile, MissingFileWritesNothing) {
  PhaseOutput out;
  Universe universe = CreateUniverse(10, 5);
  ReadSectorFile(universe, out / "none.sct", LoadMode::Replace, 1, out.log());
  EXPECT_EQ(out.console(), "");
  EXPECT_EQ(out.changeLog(), "");
}

TEST(ReadSectorFile, EmptyFileAnnouncesAndCountsZero) {
  PhaseOutput out;
  const std::string name = out / "g.sct";
  WriteFile(name, "");
  Universe universe = CreateUniverse(10, 5);
  ReadSectorFile(universe, name, LoadMode::Replace, 1, out.log());
  EXPECT_EQ(out.console(), "reading sector cim file: " + name + " .\n");
  EXPECT_EQ(out.changeLog(), " " + name + ": 0 sectors read.\r\n");
}

TEST(ReadSectorFile, LongNameShownByItsLast30Characters) {
  PhaseOutput out;
  const std::string dir = out.dir().path();
  ASSERT_LT(dir.size(), 28u);
  const std::string name = dir + std::string(34 - dir.size() - 4, 'a') + ".sct";
  ASSERT_EQ(name.size(), 34u);
  WriteFile(name, "1 2\n");
  Universe universe = CreateUniverse(10, 5);
  ReadSectorFile(universe, name, LoadMode::Replace, 1, out.log());
  EXPECT_EQ(out.console(), "reading sector cim file: ..." + name.substr(4) + " .\n");
  // The change log always carries the whole name.
  EXPECT_EQ(out.changeLog(), " " + name + ": 1 sectors read.\r\n");
}

TEST(ReadSectorFile, LinesAreTrimmedSplitOnBlanksAndCounted) {
  PhaseOutput out;
  const std::string name = out / "g.sct";
  WriteFile(name,
            "   1     2     3\r\n"     // aligned, CR LF
            "\t2  1   3  \n"           // tab and blanks at the ends, repeated blanks
            "3\r\n"                    // one word: ignored, not counted
            "\r\n"                     // blank: ignored, not counted
            "0 1 2\n"                  // sector 0: counted, skipped
            "11 1 2\n"                 // sector n + 1: counted, skipped
            "x 1\n"                    // not a number: counted, skipped
            "4 5\t6 7\n"               // a tab joins 5 and 6 into a bad word
            "10 0 11 65535\n"          // destinations outside 1..n kept as read
            "5 9");                    // last line without a line end
  Universe universe = CreateUniverse(10, 5);
  ReadSectorFile(universe, name, LoadMode::Replace, 1, out.log());
  EXPECT_EQ(out.changeLog(), " " + name + ": 8 sectors read.\r\n");
  EXPECT_EQ(Describe(universe[1]), "2:0 3:0 in0");
  EXPECT_EQ(Describe(universe[2]), "1:0 3:0 in0");
  EXPECT_EQ(Describe(universe[3]), "none");
  EXPECT_EQ(universe[3].explored, 0);
  EXPECT_EQ(Describe(universe[4]), "none");
  EXPECT_EQ(universe[4].explored, 1);
  EXPECT_EQ(Describe(universe[10]), "0:0 11:0 65535:0 in0");
  EXPECT_EQ(Describe(universe[5]), "9:0 in0");
  EXPECT_EQ(universe[5].explored, 1);
}

TEST(ReadSectorFile, BadWarpWordReplacesWithNothingButFillKeeps) {
  PhaseOutput out;
  const std::string name = out / "g.sct";
  WriteFile(name, "5 abc\n6 7 65536\n");
  Universe universe = CreateUniverse(10, 5);
  universe[5].warps = Warps({1, 2});
  universe[6].warps = Warps({3});
  ReadSectorFile(universe, name, LoadMode::Fill, 1, out.log());
  EXPECT_EQ(Describe(universe[5]), "1:0 2:0 in0");
  EXPECT_EQ(universe[5].explored, 0);
  ReadSectorFile(universe, name, LoadMode::Replace, 1, out.log());
  EXPECT_EQ(Describe(universe[5]), "none");
  EXPECT_EQ(universe[5].explored, 1);
  EXPECT_EQ(Describe(universe[6]), "none");
  EXPECT_EQ(out.changeLog(), " " + name + ": 2 sectors read.\r\n " + name + ": 2 sectors read.\r\n");
}

TEST(ReadSectorFile, ReplaceTakesTheLastLineFillTheFirstList) {
  PhaseOutput out;
  const std::string name = out / "g.sct";
  WriteFile(name, "1 2\n1 3 4\n7 8\n");
  Universe replaced = CreateUniverse(10, 5);
  replaced[7].warps = Warps({9});
  ReadSectorFile(replaced, name, LoadMode::Replace, 1, out.log());
  EXPECT_EQ(Describe(replaced[1]), "3:0 4:0 in0");
  EXPECT_EQ(Describe(replaced[7]), "8:0 in0");
  EXPECT_EQ(replaced[1].explored, 1);

  Universe filled = CreateUniverse(10, 5);
  filled[7].warps = Warps({9});
  ReadSectorFile(filled, name, LoadMode::Fill, 1, out.log());
  EXPECT_EQ(Describe(filled[1]), "2:0 in0");
  EXPECT_EQ(Describe(filled[7]), "9:0 in0");
  // Fill never marks a sector explored.
  EXPECT_EQ(filled[1].explored, 0);
}

TEST(ReadSectorFile, ReplaceStoresTheCallersExploredValueAndTouchesNothingElse) {
  PhaseOutput out;
  const std::string name = out / "g.sct";
  WriteFile(name, "2 3\n");
  Universe universe = CreateUniverse(10, 5);
  universe[2].explored = 1;
  universe[2].fig = 1;
  universe[2].port = PortRecord{};
  universe[2].note = "home";
  ReadSectorFile(universe, name, LoadMode::Replace, 0, out.log());
  EXPECT_EQ(universe[2].explored, 0);
  EXPECT_EQ(universe[2].fig, 1);
  EXPECT_TRUE(universe[2].port.has_value());
  EXPECT_EQ(universe[2].note, "home");
}

TEST(ReadSectorFile, LineOfMoreThan255WarpsKeepsTheFirst255) {
  PhaseOutput out;
  const std::string name = out / "g.sct";
  std::string line = "1";
  for (int i = 1; i <= 300; ++i) line += " " + std::to_string(i);
  line += " bad";  // past the 255th warp: not read, so it does not spoil the list
  WriteFile(name, line + "\n");
  Universe universe = CreateUniverse(400, 5);
  ReadSectorFile(universe, name, LoadMode::Replace, 1, out.log());
  ASSERT_TRUE(universe[1].warps.has_value());
  EXPECT_EQ(universe[1].warps->count(), 255);
  EXPECT_EQ(universe[1].warps->kinds.size(), 255u);
  EXPECT_EQ(universe[1].warps->targets.front(), 1);
  EXPECT_EQ(universe[1].warps->targets.back(), 255);
}

TEST(WriteSectorFile, EmptyUniverseWritesAnEmptyFile) {
  PhaseOutput out;
  const std::string name = out / "g_ref.sct";
  Universe universe = CreateUniverse(10, 5);
  WriteSectorFile(universe, name, out.log());
  EXPECT_EQ(ReadFile(name), "");
  EXPECT_EQ(out.console(), "writing sector cim file: " + name + " .\n");
  EXPECT_EQ(out.changeLog(), " " + name + ": 0 sectors written\r\n");
  EXPECT_FALSE(FileExists(name + ".tmp~"));
}

TEST(WriteSectorFile, NineSectorsHaveNoPadding) {
  PhaseOutput out;
  const std::string name = out / "g_ref.sct";
  Universe universe = CreateUniverse(9, 5);
  universe[1].warps = Warps({2, 3, 9});
  universe[9].warps = Warps({1});
  WriteSectorFile(universe, name, out.log());
  EXPECT_EQ(ReadFile(name), CrLf({"1 2 3 9", "9 1"}));
}

TEST(WriteSectorFile, FiveHundredSectorsPadToThreeColumns) {
  PhaseOutput out;
  const std::string name = out / "g_ref.sct";
  Universe universe = CreateUniverse(500, 5);
  universe[12].warps = Warps({3, 150});
  universe[499].warps = Warps({0, 1000});  // outside 1..n: written back as read
  WriteSectorFile(universe, name, out.log());
  EXPECT_EQ(ReadFile(name), CrLf({" 12   3 150", "499   0 1000"}));
}

TEST(WriteSectorFile, TwentyThousandSectorsPadToFiveColumnsAndSkipOneWayIn) {
  PhaseOutput out;
  const std::string name = out / "g_ref.sct";
  Universe universe = CreateUniverse(20000, 5);
  universe[1].warps = Warps({2, 3, 4, 5, 6, 7});
  universe[1].warps->kinds = {twoWay, oneWayOut, oneWayIn, twoWay, oneWayOut, oneWayOut};
  universe[12345].warps = Warps({7});
  universe[20000].warps = Warps({1, 2});
  universe[20000].warps->kinds = {oneWayIn, oneWayIn};
  WriteSectorFile(universe, name, out.log());
  EXPECT_EQ(ReadFile(name), CrLf({"    1     2     3     5     6     7", "12345     7", "20000"}));
  // The line of only a sector number counts.
  EXPECT_EQ(out.changeLog(), " " + name + ": 3 sectors written\r\n");
}

TEST(WriteSectorFile, WrittenFileReadsBackAsTheListedWarps) {
  PhaseOutput out;
  const std::string first = out / "first.sct";
  WriteFile(first, "1 2 3\n2 1\n3 4 2\n5 20000\n");
  Universe universe = CreateUniverse(20000, 5);
  ReadSectorFile(universe, first, LoadMode::Replace, 1, out.log());
  ReconcileWarps(universe, out.log());
  const std::string copy = out / "copy.sct";
  WriteSectorFile(universe, copy, out.log());

  Universe back = CreateUniverse(20000, 5);
  ReadSectorFile(back, copy, LoadMode::Replace, 1, out.log());
  EXPECT_EQ(Describe(back[1]), "2:0 3:0 in0");
  EXPECT_EQ(Describe(back[2]), "1:0 in0");
  EXPECT_EQ(Describe(back[3]), "4:0 2:0 in0");
  EXPECT_EQ(Describe(back[5]), "20000:0 in0");
  // Sectors 4 and 20000 are only reached: their lines hold just their number.
  EXPECT_EQ(Describe(back[4]), "none");
  EXPECT_EQ(back[4].explored, 0);
  // Writing again gives the same file.
  ReconcileWarps(back, out.log());
  const std::string again = out / "again.sct";
  WriteSectorFile(back, again, out.log());
  EXPECT_EQ(ReadFile(again), ReadFile(copy));
}

}  // namespace
