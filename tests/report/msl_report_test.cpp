#include "report/msl_report.h"

#include <gtest/gtest.h>

#include "analysis/distances.h"
#include "platform/console.h"
#include "tests/analysis/analysis_fixtures.h"
#include "tests/test_util.h"

namespace {

class MslReport : public ::testing::Test {
 protected:
  void SetUp() override { ConsoleCaptureTo(&console_); }
  void TearDown() override { ConsoleCaptureTo(nullptr); }

  // Distances, the msl analysis and its report; returns the report
  // ("<missing>" when none).
  std::string Run(Universe& universe, const Specials& specials) {
    CalculateDistances(universe, specials);
    console_.clear();
    WriteMslReport(universe, CalculateMsl(universe, specials), ReportName());
    return ReadFile(ReportName());
  }

  std::string ReportName() const { return dir_ / "mygame_msl.txt"; }

  ScratchDir dir_;
  std::string console_;
};

TEST_F(MslReport, WritesTheEightLanesAndBothAmtrakSections) {
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

TEST_F(MslReport, FedSectionVisitsOnlySectorsThatExist) {
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

TEST_F(MslReport, WithoutALaneTheEarlierReportStays) {
  const Specials specials = {0, 1, 12, 15, 0};
  Universe universe = LaneUniverse(specials);
  WriteFile(ReportName(), "earlier report\r\n");
  EXPECT_EQ(Run(universe, specials), "earlier report\r\n");
  EXPECT_EQ(console_, "");
}

}  // namespace
