#include "analysis/distances.h"

#include <gtest/gtest.h>

#include "platform/console.h"
#include "tests/analysis/analysis_fixtures.h"

namespace {

// Entry `slot` of hopsTo (or hopsFrom) for sectors 1..n.
std::vector<int> HopsTo(const Universe& universe, std::size_t slot) {
  std::vector<int> hops;
  for (std::uint16_t s = 1; s <= universe.size(); ++s) hops.push_back(universe[s].hopsTo[slot]);
  return hops;
}

std::vector<int> HopsFrom(const Universe& universe, std::size_t slot) {
  std::vector<int> hops;
  for (std::uint16_t s = 1; s <= universe.size(); ++s) hops.push_back(universe[s].hopsFrom[slot]);
  return hops;
}

class Distances : public ::testing::Test {
 protected:
  void SetUp() override { ConsoleCaptureTo(&console_); }
  void TearDown() override { ConsoleCaptureTo(nullptr); }

  void Calculate(Universe& universe, const Specials& specials) {
    CalculateDistances(universe, specials);
  }

  std::string console_;
};

TEST_F(Distances, WritesOneConsoleLine) {
  const Specials specials = {0, 1, 0, 0, 0};
  Universe universe = MakeReconciledUniverse(3, specials, {{1, {2}}, {2, {1, 3}}});
  Calculate(universe, specials);
  EXPECT_EQ(console_, "calculating distances to special sectors: .\n");
}

TEST_F(Distances, OneWayWarpsCountOnlyInTheirOwnDirection) {
  // 1 -> 2 -> 3 -> 1 one way round, 5 -> 1 one way in; 4 is unknown.
  const Specials specials = {0, 1, 0, 0, 0};
  Universe universe =
      MakeReconciledUniverse(5, specials, {{1, {2}}, {2, {3}}, {3, {1}}, {5, {1}}});
  Calculate(universe, specials);
  EXPECT_EQ(HopsFrom(universe, kTerraSlot), (std::vector<int>{0, 1, 2, 255, 255}));
  EXPECT_EQ(HopsTo(universe, kTerraSlot), (std::vector<int>{0, 2, 1, 255, 1}));
}

TEST_F(Distances, UnexploredSectorPassesNothingOnOutward) {
  // Sector 2 is listed by 1 and 3 but lists nothing itself: its list holds
  // only oneWayIn entries, so 3 is not reached through it.
  const Specials specials = {0, 1, 0, 0, 0};
  Universe universe = MakeReconciledUniverse(4, specials, {{1, {2}}, {3, {2}}});
  Calculate(universe, specials);
  EXPECT_EQ(HopsFrom(universe, kTerraSlot), (std::vector<int>{0, 1, 255, 255}));
  EXPECT_EQ(HopsTo(universe, kTerraSlot), (std::vector<int>{0, 255, 255, 255}));
}

TEST_F(Distances, MissingSpecialsAndTheMslSlotStayAtNoRoute) {
  const Specials specials = {0, 1, 0, 0, 0};
  Universe universe = MakeReconciledUniverse(3, specials, {{1, {2}}, {2, {1, 3}}, {3, {2}}});
  Calculate(universe, specials);
  const std::vector<int> none(3, 255);
  for (std::size_t slot : {kMslSlot, kAlphaSlot, kRylosSlot, kStardockSlot}) {
    EXPECT_EQ(HopsTo(universe, slot), none) << slot;
    EXPECT_EQ(HopsFrom(universe, slot), none) << slot;
  }
  EXPECT_EQ(HopsTo(universe, kTerraSlot), (std::vector<int>{0, 1, 2}));
}

TEST_F(Distances, SameSectorInTwoSlotsFillsBoth) {
  // Stardock 3 is also the first reference sector.
  const Specials specials = {0, 1, 0, 0, 3, 3};
  Universe universe =
      MakeReconciledUniverse(4, specials, {{1, {2}}, {2, {1, 3}}, {3, {2, 4}}, {4, {3}}});
  Calculate(universe, specials);
  const std::vector<int> expected = {2, 1, 0, 1};
  EXPECT_EQ(HopsTo(universe, kStardockSlot), expected);
  EXPECT_EQ(HopsFrom(universe, kStardockSlot), expected);
  EXPECT_EQ(HopsTo(universe, kFirstDistanceSlot), expected);
  EXPECT_EQ(HopsFrom(universe, kFirstDistanceSlot), expected);
}

TEST_F(Distances, SpecialSectorListingItselfGetsOne) {
  // The seed step writes 1 into every listed target without looking at the
  // old value, the special sector's own 0 included.
  const Specials specials = {0, 1, 0, 0, 0};
  Universe universe = MakeReconciledUniverse(3, specials, {{1, {1, 2}}, {2, {1, 3}}, {3, {2}}});
  Calculate(universe, specials);
  EXPECT_EQ(HopsTo(universe, kTerraSlot), (std::vector<int>{1, 1, 2}));
  EXPECT_EQ(HopsFrom(universe, kTerraSlot), (std::vector<int>{1, 1, 2}));
}

TEST_F(Distances, SpecialSectorWithoutWarpsReachesNothing) {
  const Specials specials = {0, 1, 0, 0, 4};
  Universe universe = MakeReconciledUniverse(4, specials, {{1, {2}}, {2, {1}}});
  Calculate(universe, specials);
  EXPECT_EQ(HopsTo(universe, kStardockSlot), (std::vector<int>{255, 255, 255, 0}));
  EXPECT_EQ(HopsFrom(universe, kStardockSlot), (std::vector<int>{255, 255, 255, 0}));
}

TEST_F(Distances, CountsStopAt254) {
  // A two-way chain 1 - 2 - ... - 300:
  // sector 255 is 254 hops from terra, sector 256 and beyond keep 255.
  std::vector<Listing> listings;
  for (std::uint16_t s = 1; s <= 300; ++s) {
    Listing listing{s, {}};
    if (s > 1) listing.targets.push_back(static_cast<std::uint16_t>(s - 1));
    if (s < 300) listing.targets.push_back(static_cast<std::uint16_t>(s + 1));
    listings.push_back(listing);
  }
  const Specials specials = {0, 1, 0, 0, 0};
  Universe universe = MakeReconciledUniverse(300, specials, listings);
  Calculate(universe, specials);
  for (std::uint16_t s : {254, 255, 256, 300}) {
    const int expected = s <= 255 ? s - 1 : 255;
    EXPECT_EQ(universe[s].hopsTo[kTerraSlot], expected) << s;
    EXPECT_EQ(universe[s].hopsFrom[kTerraSlot], expected) << s;
  }
}

TEST_F(Distances, NumbersOutsideTheUniverseAreNeverFollowed) {
  // Targets 0, 11 and 65535 in a universe of 10, and a stardock above n.
  const Specials specials = {0, 1, 0, 0, 11};
  Universe universe =
      MakeReconciledUniverse(10, specials, {{1, {0, 2, 11, 65535}}, {2, {1, 11}}});
  Calculate(universe, specials);
  EXPECT_EQ(HopsFrom(universe, kTerraSlot),
            (std::vector<int>{0, 1, 255, 255, 255, 255, 255, 255, 255, 255}));
  EXPECT_EQ(HopsTo(universe, kStardockSlot), std::vector<int>(10, 255));
  EXPECT_EQ(universe.Lookup(11).hopsTo[kTerraSlot], 255);
}

}  // namespace
