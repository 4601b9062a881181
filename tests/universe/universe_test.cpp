#include "universe/universe.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>

#include "text/text.h"

TEST(BuildSpecials, TakesValidDistanceSectorsInOrder) {
  EXPECT_EQ(BuildSpecials(500, 445, 312, 303, "77;abc;19"),
            (Specials{0, 1, 445, 312, 303, 77, 19}));
  EXPECT_EQ(BuildSpecials(500, 0, 0, 0, "0;501;x;12"), (Specials{0, 1, 0, 0, 0, 12}));
  EXPECT_EQ(BuildSpecials(500, 0, 0, 0, ";;12;;"), (Specials{0, 1, 0, 0, 0, 12}));
  EXPECT_EQ(BuildSpecials(500, 0, 0, 0, "12;12"), (Specials{0, 1, 0, 0, 0, 12, 12}));
  EXPECT_EQ(BuildSpecials(20000, 0, 0, 0, "-5;+7; 8;70000;20000"),
            (Specials{0, 1, 0, 0, 0, 7, 8, 20000}));
  EXPECT_EQ(BuildSpecials(20000, 1, 2, 3, "").size(), 5u);
}

namespace {

// The specials table as the documents build it: word i of the list fetched by
// number, each time from the start of the list.
Specials LiteralSpecials(std::uint16_t n, std::uint16_t alphaCentauri, std::uint16_t rylos,
                         std::uint16_t stardock, std::string_view distanceList) {
  Specials specials = {0, 1, alphaCentauri, rylos, stardock};
  const std::uint32_t words = WordCount(distanceList, ';');
  for (std::uint32_t i = 1; i <= words; ++i) {
    auto value = TextToInt(ExtractWord(distanceList, i, ';'), 1, n);
    if (value) specials.push_back(static_cast<std::uint16_t>(*value));
  }
  return specials;
}

}  // namespace

TEST(BuildSpecials, SameTableAsTheWordByWordReading) {
  std::mt19937 random(17);
  const std::string alphabet = "0123456789;;;; -+x\t";
  for (int round = 0; round < 3000; ++round) {
    std::string list(random() % 40, ' ');
    for (char& c : list) c = alphabet[random() % alphabet.size()];
    const auto n = static_cast<std::uint16_t>(1 + random() % 20000);
    EXPECT_EQ(BuildSpecials(n, 3, 0, 9, list), LiteralSpecials(n, 3, 0, 9, list)) << list;
  }
}

// A /d: list of 70000 sectors (an argument of 140 KB) gives 65535 slots, so that
// specialCount, 16 bits wide, does not wrap to a table too short for slots 1-5.
TEST(BuildSpecials, TakesAtMostTheSlotsSpecialCountCanCount) {
  std::string list;
  for (int i = 0; i < 70000; ++i) list += "7;";
  const Specials specials = BuildSpecials(20000, 1, 2, 3, list);
  ASSERT_EQ(specials.size(), kMaxSpecialCount);
  EXPECT_EQ(specials[4], 3);
  EXPECT_EQ(specials.back(), 7);
}

TEST(Universe, StartsEmptyWithUnreachedHops) {
  Universe universe = CreateUniverse(3, 6);
  EXPECT_EQ(universe.size(), 3);
  EXPECT_EQ(universe.specialCount(), 6u);
  for (std::uint16_t s = 1; s <= 3; ++s) {
    const Sector& sector = universe[s];
    EXPECT_EQ(sector.explored, 0);
    EXPECT_EQ(sector.fig, 0);
    EXPECT_FALSE(sector.warps || sector.port || sector.bubble);
    EXPECT_EQ(sector.hopsTo, std::vector<std::uint8_t>(6, 255));
    EXPECT_EQ(sector.hopsFrom, std::vector<std::uint8_t>(6, 255));
  }
}

TEST(Universe, NumbersOutsideTheUniverseAreTheNothingKnownSector) {
  Universe universe = CreateUniverse(3, 5);
  universe[3].explored = 1;
  universe[3].warps = WarpList{{1}, {twoWay}, 0};
  EXPECT_FALSE(universe.Contains(0));
  EXPECT_TRUE(universe.Contains(3));
  EXPECT_FALSE(universe.Contains(4));
  EXPECT_EQ(universe.Lookup(3).explored, 1);
  for (std::uint32_t s : {0u, 4u, 65535u, 70000u}) {
    const Sector& unknown = universe.Lookup(s);
    EXPECT_EQ(unknown.explored, 0);
    EXPECT_FALSE(unknown.warps.has_value());
    EXPECT_EQ(unknown.hopsTo, std::vector<std::uint8_t>(5, 255));
  }
}

// A hop table behaves as a vector of bytes whether its bytes sit in the Sector
// (the usual few slots) or on the heap (a long /d: list): copies are deep.
TEST(HopTable, CopiesAreDeepAtAnySize) {
  for (std::size_t slots : {std::size_t{5}, HopTable::kInlineSlots, HopTable::kInlineSlots + 1,
                            std::size_t{300}}) {
    Universe u(3, slots);
    u[1].hopsTo[slots - 1] = 7;
    Universe copy = u;
    copy[1].hopsTo[0] = 9;
    EXPECT_EQ(u[1].hopsTo[0], 255) << slots;
    EXPECT_EQ(copy[1].hopsTo[slots - 1], 7) << slots;
    std::vector<std::uint8_t> expected(slots, 255);
    expected[slots - 1] = 7;
    EXPECT_EQ(u[1].hopsTo, expected) << slots;
    EXPECT_FALSE(copy[1].hopsTo == u[1].hopsTo) << slots;
    copy[1].hopsTo = u[1].hopsTo;
    EXPECT_EQ(copy[1].hopsTo, u[1].hopsTo) << slots;
    EXPECT_EQ(u.specialCount(), slots);
  }
}

// Moving a table hands its bytes over and leaves the source empty; assigning
// across the inline and heap sizes keeps every byte.
TEST(HopTable, MovesAndResizesKeepTheBytes) {
  for (std::size_t from : {std::size_t{5}, HopTable::kInlineSlots + 1, std::size_t{300}}) {
    for (std::size_t to : {std::size_t{0}, std::size_t{5}, HopTable::kInlineSlots + 4}) {
      HopTable source;
      source.assign(from, 3);
      source[from - 1] = 8;
      HopTable moved(std::move(source));
      EXPECT_TRUE(source.empty());
      std::vector<std::uint8_t> expected(from, 3);
      expected[from - 1] = 8;
      EXPECT_EQ(moved, expected);

      HopTable target;
      target.assign(to, 1);
      target = std::move(moved);
      EXPECT_EQ(target, expected) << from << " over " << to;
      target.assign(to, 6);
      EXPECT_EQ(target, std::vector<std::uint8_t>(to, 6));
      target = HopTable(target);  // a copy of itself, moved back in
      EXPECT_EQ(target.size(), to);
    }
  }
  static_assert(sizeof(Sector) % 64 == 0 || sizeof(Sector) < 64,
                "a Sector fills whole cache lines");
}
