#include "report/distance_report.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "analysis/distances.h"
#include "analysis/msl.h"
#include "platform/console.h"
#include "platform/file.h"
#include "tests/analysis/analysis_fixtures.h"
#include "tests/test_util.h"

namespace {

class DistanceReport : public ::testing::Test {
 protected:
  void SetUp() override { ConsoleCaptureTo(&console_); }
  void TearDown() override {
    ConsoleCaptureTo(nullptr);
    SetFileFaultAt(0);
  }

  // Distances (and the msl when all specials are given), then the report.
  std::string Run(Universe& universe, const Specials& specials) {
    CalculateDistances(universe, specials);
    CalculateMsl(universe, specials);
    console_.clear();
    WriteDistanceReport(universe, specials, ReportName());
    return ReadFile(ReportName());
  }

  std::string ReportName() const { return dir_ / "g_distance.txt"; }

  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = text.find("\r\n", at);
      if (end == std::string::npos) break;
      lines.push_back(text.substr(at, end - at));
      at = end + 2;
    }
    return lines;
  }

  ScratchDir dir_;
  std::string console_;
};

TEST_F(DistanceReport, HeaderForFiveThousandSectors) {
  const Specials specials = {0, 1, 4455, 512, 3030};
  Universe universe = CreateUniverse(5000, specials.size());
  const std::vector<std::string> lines = Lines(Run(universe, specials));
  ASSERT_GT(lines.size(), 6u);
  EXPECT_EQ(lines[0], "  A  |  B..->  (from A to B),(from B to A)");
  EXPECT_EQ(lines[1], "-----+-------+-------+-------+-------+-------+");
  EXPECT_EQ(lines[2], "secto|  msl  | terra | alpha | rylos | strdk |");
  EXPECT_EQ(lines[3], "     |       |   1   |  4455 |  512  |  3030 |");
  EXPECT_EQ(lines[4], lines[1]);
  // Every walk starts by putting its start on the lane, so terra is on it.
  EXPECT_EQ(lines[5], "   1 |  0,0  |  0,0  |255,255|255,255|255,255|");
  EXPECT_EQ(lines[6], "   2 |255,255|255,255|255,255|255,255|255,255|");
  // 5000 rows, and after each of the 200 multiples of 25 three more lines.
  EXPECT_EQ(lines.size(), 5u + 5000u + 3u * 200u);
  EXPECT_EQ(lines.back(), lines[1]);
}

TEST_F(DistanceReport, NineSectorsWithTwoReferenceSectors) {
  // A two-way chain 1 - 2 - ... - 8, and 9 warps one way into 8. Without
  // alpha centauri, rylos and stardock the msl column stays 255,255.
  std::vector<Listing> listings;
  for (std::uint16_t s = 1; s <= 8; ++s) {
    Listing listing{s, {}};
    if (s > 1) listing.targets.push_back(static_cast<std::uint16_t>(s - 1));
    if (s < 8) listing.targets.push_back(static_cast<std::uint16_t>(s + 1));
    listings.push_back(listing);
  }
  listings.push_back({9, {8}});
  const Specials specials = BuildSpecials(9, 0, 0, 0, "7;x;3");
  ASSERT_EQ(specials, (Specials{0, 1, 0, 0, 0, 7, 3}));
  Universe universe = MakeReconciledUniverse(9, specials, listings);
  EXPECT_EQ(Run(universe, specials),
            CrLf({"A  |  B..->  (from A to B),(from B to A)",
                  "--+-------+-------+-------+-------+-------+-------+-------+",
                  "se|  msl  | terra | alpha | rylos | strdk |       |       |",
                  "  |       |   1   |   0   |   0   |   0   |   7   |   3   |",
                  "--+-------+-------+-------+-------+-------+-------+-------+",
                  "1 |255,255|  0,0  |255,255|255,255|255,255|  6,6  |  2,2  |",
                  "2 |255,255|  1,1  |255,255|255,255|255,255|  5,5  |  1,1  |",
                  "3 |255,255|  2,2  |255,255|255,255|255,255|  4,4  |  0,0  |",
                  "4 |255,255|  3,3  |255,255|255,255|255,255|  3,3  |  1,1  |",
                  "5 |255,255|  4,4  |255,255|255,255|255,255|  2,2  |  2,2  |",
                  "6 |255,255|  5,5  |255,255|255,255|255,255|  1,1  |  3,3  |",
                  "7 |255,255|  6,6  |255,255|255,255|255,255|  0,0  |  4,4  |",
                  "8 |255,255|  7,7  |255,255|255,255|255,255|  1,1  |  5,5  |",
                  "9 |255,255|  8,255|255,255|255,255|255,255|  2,255|  6,255|"}));
  EXPECT_EQ(console_, "writing distance report: ..." +
                          ReportName().substr(ReportName().size() - 30) + " .\n");
}

TEST_F(DistanceReport, RepeatsTheHeaderAfterEveryTwentyFifthRow) {
  const Specials specials = {0, 1, 2, 3, 40};
  std::vector<Listing> listings;
  for (std::uint16_t s = 1; s < 50; ++s) {
    listings.push_back({s, {static_cast<std::uint16_t>(s + 1)}});
  }
  Universe universe = MakeReconciledUniverse(50, specials, listings);
  const std::vector<std::string> lines = Lines(Run(universe, specials));
  const std::string separator = "---+-------+-------+-------+-------+-------+";
  const std::string header = "sec|  msl  |   1   |   2   |   3   |   40  |";
  ASSERT_EQ(lines.size(), 5u + 50u + 6u);
  EXPECT_EQ(lines[2], "sec|  msl  | terra | alpha | rylos | strdk |");
  EXPECT_EQ(lines[3], "   |       |   1   |   2   |   3   |   40  |");
  // 1 -> 2 -> ... -> 50 one way: the lane runs from 1 to 40, and the walks
  // from 40 back find nothing.
  EXPECT_EQ(lines[5 + 24], "25 |  0,0  |255,24 |255,23 |255,22 | 15,255|");
  EXPECT_EQ(lines[5 + 25], separator);
  EXPECT_EQ(lines[5 + 26], header);
  EXPECT_EQ(lines[5 + 27], separator);
  EXPECT_EQ(lines[5 + 28], "26 |  0,0  |255,25 |255,24 |255,23 | 14,255|");
  EXPECT_EQ(lines[5 + 28 + 24], "50 |255,10 |255,49 |255,48 |255,47 |255,10 |");
  EXPECT_EQ(lines[lines.size() - 3], separator);
  EXPECT_EQ(lines[lines.size() - 2], header);
  EXPECT_EQ(lines[lines.size() - 1], separator);
}

TEST_F(DistanceReport, OldReportIsReplacedOnlyWhenTheNewOneIsComplete) {
  const Specials specials = {0, 1, 0, 0, 0};
  Universe universe = CreateUniverse(2000, specials.size());
  const std::string old = "the report of the last run\r\n";
  WriteFile(ReportName(), old);
  SetFileFaultAt(0);
  WriteDistanceReport(universe, specials, dir_ / "count.txt");
  const std::uint64_t operations = FileOperationCount();
  ASSERT_GT(operations, 3u);
  for (std::uint64_t k = 1; k <= operations; ++k) {
    SetFileFaultAt(k);
    EXPECT_THROW(WriteDistanceReport(universe, specials, ReportName()), IoError) << k;
    EXPECT_EQ(ReadFile(ReportName()), old) << k;
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      (void)entry;
      ++files;
    }
    EXPECT_EQ(files, 2u) << "only the two reports, no temporary file, after fault " << k;
  }
  SetFileFaultAt(0);
  WriteDistanceReport(universe, specials, ReportName());
  EXPECT_EQ(ReadFile(ReportName()), ReadFile(dir_ / "count.txt"));
}

}  // namespace
