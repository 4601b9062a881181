#include "analysis/msl.h"

#include <gtest/gtest.h>

#include "analysis/distances.h"
#include "platform/console.h"
#include "tests/analysis/analysis_fixtures.h"
#include "tests/test_util.h"

namespace {

class Msl : public ::testing::Test {
 protected:
  void SetUp() override { ConsoleCaptureTo(&console_); }
  void TearDown() override { ConsoleCaptureTo(nullptr); }

  // Distances, then the msl analysis; returns the report ("<missing>" when none).
  std::string Run(Universe& universe, const Specials& specials) {
    CalculateDistances(universe, specials);
    console_.clear();
    CalculateMsl(universe, specials, ReportName());
    return ReadFile(ReportName());
  }

  std::string ReportName() const { return dir_ / "mygame_msl.txt"; }

  // The report's route line of lane pair p (0..7).
  static std::string RouteLine(const std::string& report, int p) {
    std::size_t at = 0;
    for (int line = 0; line < 3 * p + 1; ++line) at = report.find("\r\n", at) + 2;
    return report.substr(at, report.find("\r\n", at) - at);
  }

  ScratchDir dir_;
  std::string console_;
};

// Terra 1, alpha centauri 12, rylos 15, stardock 18 in twenty sectors. All
// warps are two-way but 18 -> 11 and 18 -> 20 (20 is unexplored); 15 lists 30,
// outside the universe; a fig sits in 19.
Universe LaneUniverse(const Specials& specials) {
  Universe universe = MakeReconciledUniverse(
      20, specials,
      {{1, {2, 11}}, {2, {1}}, {11, {1, 12}}, {12, {11, 13, 19}}, {13, {12, 14}},
       {14, {13, 15, 16}}, {15, {14, 30}}, {16, {14, 17}}, {17, {16, 18}},
       {18, {17, 11, 20}}, {19, {12}}});
  universe[19].fig = 1;
  return universe;
}

TEST_F(Msl, WritesTheEightLanesAndBothAmtrakSections) {
  const Specials specials = {0, 1, 12, 15, 18};
  Universe universe = LaneUniverse(specials);
  EXPECT_EQ(Run(universe, specials),
            CrLf({"          terra to stardock",
                  " 1-->18 : 1 > 11 > 12 > 13 > 14 > 16 > 17 > 18",
                  "",
                  "          stardock to terra",
                  "18-->1  : 18 > 11 > 1",
                  "",
                  "          alpha centauri to rylos",
                  "12-->15 : 12 > 13 > 14 > 15",
                  "",
                  "          rylos to alpha centauri",
                  "15-->12 : 15 > 14 > 13 > 12",
                  "",
                  "          alpha centauri to stardock",
                  "12-->18 : 12 > 13 > 14 > 16 > 17 > 18",
                  "",
                  "          stardock to alpha centauri",
                  "18-->12 : 18 > 11 > 12",
                  "",
                  "          rylos to stardock",
                  "15-->18 : 15 > 14 > 16 > 17 > 18",
                  "",
                  "          stardock to rylos",
                  "18-->15 : 18 > 17 > 16 > 14 > 15",
                  "",
                  "amtrak sectors around fed",
                  " 1 : ",
                  " 2 : ",
                  "amtrak sectors around msl",
                  "11 : ",
                  "12 : +19 ",
                  "13 : ",
                  "14 : ",
                  "15 : 30 ",
                  "16 : ",
                  "17 : ",
                  "18 : 20 "}));
  const std::string name = ReportName();
  ASSERT_GE(name.size(), 34u);
  EXPECT_EQ(console_, "calculating msl: .\nwriting msl report: ..." +
                          name.substr(name.size() - 30) + " .\n");
}

TEST_F(Msl, FillsTheLaneSlotFromEveryLaneSectorAtOnce) {
  const Specials specials = {0, 1, 12, 15, 18};
  Universe universe = LaneUniverse(specials);
  Run(universe, specials);
  for (std::uint16_t s : {1, 11, 12, 13, 14, 15, 16, 17, 18}) {
    EXPECT_EQ(universe[s].hopsTo[kMslSlot], 0) << s;
    EXPECT_EQ(universe[s].hopsFrom[kMslSlot], 0) << s;
  }
  EXPECT_EQ(universe[2].hopsTo[kMslSlot], 1);
  EXPECT_EQ(universe[19].hopsFrom[kMslSlot], 1);
  // 18 warps one way into the unexplored 20, which is known to warp nowhere.
  EXPECT_EQ(universe[20].hopsFrom[kMslSlot], 1);
  EXPECT_EQ(universe[20].hopsTo[kMslSlot], 255);
  for (std::uint16_t s = 3; s <= 10; ++s) EXPECT_EQ(universe[s].hopsTo[kMslSlot], 255) << s;
}

TEST_F(Msl, FirstListedCloserSectorWinsAndOneWayWarpsOutAreTaken) {
  // 1 lists 3 before 2, both one jump from stardock 4; neither lists 1 back,
  // so the walk back from 4 finds nothing closer to terra and stays at 4.
  const Specials specials = {0, 1, 4, 4, 4};
  Universe universe =
      MakeReconciledUniverse(20, specials, {{1, {3, 2}}, {2, {4}}, {3, {4}}, {4, {2, 3}}});
  const std::string report = Run(universe, specials);
  EXPECT_EQ(RouteLine(report, 0), " 1-->4  : 1 > 3 > 4");
  EXPECT_EQ(RouteLine(report, 1), " 4-->1  : 4");
  EXPECT_EQ(universe[2].hopsFrom[kMslSlot], 1);
}

TEST_F(Msl, EntriesOfWarpsIntoTheSectorAreNeverWalked) {
  // 5 warps one way into 1 and into stardock 4: 1's list starts with the
  // oneWayIn entry for 5, which is one jump from 4, but 1 cannot jump to 5.
  const Specials specials = {0, 1, 4, 4, 4};
  Universe universe = MakeReconciledUniverse(
      20, specials, {{1, {7}}, {5, {1, 4}}, {7, {1, 8}}, {8, {7, 4}}, {4, {8}}});
  ASSERT_EQ(universe[1].warps->targets, (std::vector<std::uint16_t>{5, 7}));
  const std::string report = Run(universe, specials);
  EXPECT_EQ(RouteLine(report, 0), " 1-->4  : 1 > 7 > 8 > 4");
  EXPECT_EQ(universe[5].hopsFrom[kMslSlot], 255);
}

TEST_F(Msl, FedSectionVisitsOnlySectorsThatExist) {
  const Specials specials = {0, 1, 3, 4, 5};
  Universe universe =
      MakeReconciledUniverse(5, specials, {{1, {2}}, {2, {1, 3}}, {3, {2, 4}}, {4, {3, 5}}, {5, {4}}});
  EXPECT_EQ(Run(universe, specials), CrLf({"        terra to stardock",
                                           "1-->5 : 1 > 2 > 3 > 4 > 5",
                                           "",
                                           "        stardock to terra",
                                           "5-->1 : 5 > 4 > 3 > 2 > 1",
                                           "",
                                           "        alpha centauri to rylos",
                                           "3-->4 : 3 > 4",
                                           "",
                                           "        rylos to alpha centauri",
                                           "4-->3 : 4 > 3",
                                           "",
                                           "        alpha centauri to stardock",
                                           "3-->5 : 3 > 4 > 5",
                                           "",
                                           "        stardock to alpha centauri",
                                           "5-->3 : 5 > 4 > 3",
                                           "",
                                           "        rylos to stardock",
                                           "4-->5 : 4 > 5",
                                           "",
                                           "        stardock to rylos",
                                           "5-->4 : 5 > 4",
                                           "",
                                           "amtrak sectors around fed",
                                           "1 : ",
                                           "2 : ",
                                           "3 : ",
                                           "4 : ",
                                           "5 : ",
                                           "amtrak sectors around msl"}));
}

TEST_F(Msl, MissingSpecialSectorSkipsEverything) {
  const Specials specials = {0, 1, 12, 15, 0};
  Universe universe = LaneUniverse(specials);
  WriteFile(ReportName(), "earlier report\r\n");
  EXPECT_EQ(Run(universe, specials), "earlier report\r\n");
  EXPECT_EQ(console_, "");
  for (std::uint16_t s = 1; s <= 20; ++s) {
    EXPECT_EQ(universe[s].hopsTo[kMslSlot], 255) << s;
    EXPECT_EQ(universe[s].hopsFrom[kMslSlot], 255) << s;
  }
}

TEST_F(Msl, SpecialSectorAboveTheUniverseCountsAsMissing) {
  const Specials specials = {0, 1, 12, 15, 21};
  Universe universe = LaneUniverse(specials);
  EXPECT_EQ(Run(universe, specials), "<missing>");
  EXPECT_EQ(console_, "");
}

}  // namespace
