#include "analysis/msl.h"

#include <gtest/gtest.h>

#include "analysis/distances.h"
#include "platform/console.h"
#include "tests/analysis/analysis_fixtures.h"

namespace {

class Msl : public ::testing::Test {
 protected:
  void SetUp() override { ConsoleCaptureTo(&console_); }
  void TearDown() override { ConsoleCaptureTo(nullptr); }

  // Distances, then the msl analysis; returns its routes.
  std::vector<LaneRoute> Run(Universe& universe, const Specials& specials) {
    CalculateDistances(universe, specials);
    console_.clear();
    return CalculateMsl(universe, specials);
  }

  std::string console_;
};

using Sectors = std::vector<std::uint16_t>;

TEST_F(Msl, WalksTheEightRoutesAndFillsTheLaneSlotFromEveryLaneSectorAtOnce) {
  const Specials specials = {0, 1, 12, 15, 18};
  Universe universe = LaneUniverse(specials);
  const std::vector<LaneRoute> routes = Run(universe, specials);
  EXPECT_EQ(console_, "calculating msl: .\n");
  ASSERT_EQ(routes.size(), 8u);
  EXPECT_STREQ(routes[5].title, "stardock to alpha centauri");
  EXPECT_EQ(routes[5].from, 18);
  EXPECT_EQ(routes[5].to, 12);
  EXPECT_EQ(routes[5].sectors, (Sectors{18, 11, 12}));
  EXPECT_EQ(routes[0].sectors, (Sectors{1, 11, 12, 13, 14, 16, 17, 18}));
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
  const std::vector<LaneRoute> routes = Run(universe, specials);
  ASSERT_EQ(routes.size(), 8u);
  EXPECT_EQ(routes[0].sectors, (Sectors{1, 3, 4}));
  EXPECT_EQ(routes[1].sectors, (Sectors{4}));
  EXPECT_EQ(universe[2].hopsFrom[kMslSlot], 1);
}

TEST_F(Msl, EntriesOfWarpsIntoTheSectorAreNeverWalked) {
  // 5 warps one way into 1 and into stardock 4: 1's list starts with the
  // oneWayIn entry for 5, which is one jump from 4, but 1 cannot jump to 5.
  const Specials specials = {0, 1, 4, 4, 4};
  Universe universe = MakeReconciledUniverse(
      20, specials, {{1, {7}}, {5, {1, 4}}, {7, {1, 8}}, {8, {7, 4}}, {4, {8}}});
  ASSERT_EQ(universe[1].warps->targets, (Sectors{5, 7}));
  const std::vector<LaneRoute> routes = Run(universe, specials);
  ASSERT_EQ(routes.size(), 8u);
  EXPECT_EQ(routes[0].sectors, (Sectors{1, 7, 8, 4}));
  EXPECT_EQ(universe[5].hopsFrom[kMslSlot], 255);
}

TEST_F(Msl, MissingSpecialSectorSkipsEverything) {
  const Specials specials = {0, 1, 12, 15, 0};
  Universe universe = LaneUniverse(specials);
  EXPECT_TRUE(Run(universe, specials).empty());
  EXPECT_EQ(console_, "");
  for (std::uint16_t s = 1; s <= 20; ++s) {
    EXPECT_EQ(universe[s].hopsTo[kMslSlot], 255) << s;
    EXPECT_EQ(universe[s].hopsFrom[kMslSlot], 255) << s;
  }
}

TEST_F(Msl, SpecialSectorAboveTheUniverseCountsAsMissing) {
  const Specials specials = {0, 1, 12, 15, 21};
  Universe universe = LaneUniverse(specials);
  EXPECT_TRUE(Run(universe, specials).empty());
  EXPECT_EQ(console_, "");
}

}  // namespace
