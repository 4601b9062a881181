#include "capture/reconcile.h"

#include <gtest/gtest.h>

#include "tests/capture/capture_test_util.h"

namespace {

class Reconciling : public ::testing::Test {
 protected:
  std::uint16_t Reconcile() { return ReconcileWarps(universe, out.log()); }
  PhaseOutput out;
  Universe universe = CreateUniverse(20, 5);
};

TEST_F(Reconciling, WritesItsLinesBeforeTheWork) {
  EXPECT_EQ(Reconcile(), 0);
  EXPECT_EQ(out.console(), "reconciling warp data: .\n");
  EXPECT_EQ(out.changeLog(), " data reconciled.\r\n");
}

TEST_F(Reconciling, WarpsListedBothWaysBecomeTwoWay) {
  universe[1].warps = Warps({2});
  universe[2].warps = Warps({1});
  EXPECT_EQ(Reconcile(), 0);
  EXPECT_EQ(Describe(universe[1]), "2:1 in0");
  EXPECT_EQ(Describe(universe[2]), "1:1 in0");
}

TEST_F(Reconciling, OneWayInEntryGoesBeforeTheFirstLargerDestination) {
  universe[1].warps = Warps({5});
  universe[5].warps = Warps({3, 7});
  EXPECT_EQ(Reconcile(), 3);
  EXPECT_EQ(Describe(universe[1]), "5:0 in0");
  EXPECT_EQ(Describe(universe[5]), "1:2 3:0 7:0 in1");
}

TEST_F(Reconciling, InsertionDoesNotSortAnUnorderedList) {
  universe[5].warps = Warps({3, 9, 7});
  universe[6].warps = Warps({5});
  universe[9].warps = Warps({5});
  EXPECT_EQ(Reconcile(), 4);
  EXPECT_EQ(Describe(universe[5]), "3:0 6:2 9:1 7:0 in1");
}

TEST_F(Reconciling, SectorWithoutAListGetsOneUncounted) {
  universe[1].warps = Warps({9});
  EXPECT_EQ(Reconcile(), 0);
  EXPECT_EQ(Describe(universe[1]), "9:0 in0");
  EXPECT_EQ(Describe(universe[9]), "1:2 in0");
}

TEST_F(Reconciling, LaterEntriesIntoANewListAreCounted) {
  universe[1].warps = Warps({9});
  universe[4].warps = Warps({9});
  universe[7].warps = Warps({9});
  EXPECT_EQ(Reconcile(), 3);
  EXPECT_EQ(Describe(universe[9]), "1:2 4:2 7:2 in2");
}

TEST_F(Reconciling, ARepeatedOneWayDestinationTurnsTwoWay) {
  universe[1].warps = Warps({9, 9});
  EXPECT_EQ(Reconcile(), 0);
  // The first entry made the far end's list; the second found it there.
  EXPECT_EQ(Describe(universe[1]), "9:0 9:1 in0");
  EXPECT_EQ(Describe(universe[9]), "1:1 in0");
}

TEST_F(Reconciling, ASectorListingItselfIsTwoWay) {
  universe[3].warps = Warps({3, 4});
  universe[4].warps = Warps({3});
  EXPECT_EQ(Reconcile(), 0);
  EXPECT_EQ(Describe(universe[3]), "3:1 4:1 in0");
}

TEST_F(Reconciling, SecondPassTurnsRemainingOneWayWarpsTwoWay) {
  universe[1].warps = Warps({5});
  universe[5].warps = Warps({3});
  universe[2].warps = Warps({8});
  Reconcile();
  EXPECT_EQ(Reconcile(), 0);
  EXPECT_EQ(Describe(universe[1]), "5:1 in0");
  EXPECT_EQ(Describe(universe[5]), "1:1 3:1 in1");
  EXPECT_EQ(Describe(universe[3]), "5:1 in0");
  EXPECT_EQ(Describe(universe[2]), "8:1 in0");
  EXPECT_EQ(Describe(universe[8]), "2:1 in0");
}

TEST_F(Reconciling, DestinationsOutsideTheUniverseStayOneWayOut) {
  universe[1].warps = Warps({0, 21, 65535, 2});
  EXPECT_EQ(Reconcile(), 0);
  EXPECT_EQ(Describe(universe[1]), "0:0 21:0 65535:0 2:0 in0");
  EXPECT_EQ(Describe(universe[2]), "1:2 in0");
  EXPECT_EQ(Describe(universe.Lookup(21)), "none");
}

TEST_F(Reconciling, AFullListTakesNoEntry) {
  WarpList full;
  for (std::uint16_t i = 0; i < 255; ++i) {
    full.targets.push_back(static_cast<std::uint16_t>(i % 10 + 11));
    full.kinds.push_back(oneWayIn);
  }
  universe[20].warps = full;
  universe[2].warps = Warps({20});
  universe[3].warps = Warps({4});
  universe[5].warps = Warps({20});
  // A full list still answers a warp back: 11 is listed there.
  universe[11].warps = Warps({20});
  EXPECT_EQ(Reconcile(), 0);
  EXPECT_EQ(Describe(universe[2]), "20:0 in0");
  EXPECT_EQ(Describe(universe[5]), "20:0 in0");
  EXPECT_EQ(universe[20].warps->count(), 255);
  EXPECT_EQ(universe[20].warps->kinds[0], twoWay);
  EXPECT_EQ(Describe(universe[11]), "20:1 in0");
}

TEST_F(Reconciling, WarpSlotsIsTheLongestRebuiltList) {
  universe[1].warps = Warps({10});
  universe[10].warps = Warps({11, 12, 13, 14});  // grows to 5
  universe[2].warps = Warps({15});
  universe[15].warps = Warps({16, 17, 18, 19, 20, 3});  // 6 entries, not rebuilt
  universe[15].warps->kinds.assign(6, twoWay);
  universe[2].warps->kinds[0] = twoWay;
  EXPECT_EQ(Reconcile(), 5);
}

// The literal pass, kept as the reference for the shipped one on generated universes.
void LiteralReconcile(Universe& u, std::uint16_t n, std::uint16_t& warpSlots) {
  warpSlots = 0;
  for (std::uint32_t s = 1; s <= n; ++s) {
    if (!u[static_cast<std::uint16_t>(s)].warps) continue;
    const std::size_t count = u[static_cast<std::uint16_t>(s)].warps->targets.size();
    for (std::size_t j = 0; j < count; ++j) {
      WarpList& own = *u[static_cast<std::uint16_t>(s)].warps;
      if (own.kinds[j] != oneWayOut) continue;
      const std::uint16_t t = own.targets[j];
      if (!u.Contains(t)) continue;
      if (!u[t].warps) {
        u[t].warps = Warps({static_cast<std::uint16_t>(s)});
        u[t].warps->kinds[0] = oneWayIn;
        continue;
      }
      WarpList& far = *u[t].warps;
      bool matched = false;
      for (std::size_t k = 0; k < far.targets.size() && !matched; ++k) {
        if (far.targets[k] == s) {
          far.kinds[k] = twoWay;
          own.kinds[j] = twoWay;
          matched = true;
        }
      }
      if (matched || far.targets.size() >= 255) continue;
      WarpList grown;
      bool placed = false;
      for (std::size_t k = 0; k < far.targets.size(); ++k) {
        if (!placed && far.targets[k] > s) {
          grown.targets.push_back(static_cast<std::uint16_t>(s));
          grown.kinds.push_back(oneWayIn);
          placed = true;
        }
        grown.targets.push_back(far.targets[k]);
        grown.kinds.push_back(far.kinds[k]);
      }
      if (!placed) {
        grown.targets.push_back(static_cast<std::uint16_t>(s));
        grown.kinds.push_back(oneWayIn);
      }
      grown.inCount = static_cast<std::uint8_t>(far.inCount == 255 ? 255 : far.inCount + 1);
      u[t].warps = grown;
      warpSlots = std::max<std::uint16_t>(warpSlots, grown.count());
    }
  }
}

// The shipped pass works on a compact copy of the lists; it must leave exactly
// the lists of the literal pass, on first and second passes, with repeated and
// out-of-range destinations, lists of earlier passes and lists that fill up.
TEST(ReconcileWarps, AgreesWithTheLiteralPassOnGeneratedUniverses) {
  PhaseOutput out;
  std::uint32_t seed = 12345;
  auto next = [&seed](std::uint32_t range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % range;
  };
  for (int round = 0; round < 60; ++round) {
    const bool crowded = round % 3 == 0;  // few sectors, long lists: lists fill up
    const std::uint16_t n = static_cast<std::uint16_t>(crowded ? 2 + next(30) : 20 + next(400));
    Universe shipped = CreateUniverse(n, 5);
    Universe literal = CreateUniverse(n, 5);
    for (std::uint16_t s = 1; s <= n; ++s) {
      if (next(4) == 0) continue;
      WarpList list;
      const std::uint32_t count = crowded ? next(256) : next(8);
      for (std::uint32_t i = 0; i < count; ++i) {
        list.targets.push_back(static_cast<std::uint16_t>(next(n + 3u)));  // 0 and > n too
        // Mostly as read, some as an earlier pass left them.
        const std::uint32_t kind = next(6);
        list.kinds.push_back(kind <= 3 ? oneWayOut : kind == 4 ? twoWay : oneWayIn);
      }
      list.inCount = static_cast<std::uint8_t>(next(3));
      shipped[s].warps = list;
      literal[s].warps = list;
    }
    for (int pass = 0; pass < 2; ++pass) {
      const std::uint16_t shippedSlots = ReconcileWarps(shipped, out.log());
      std::uint16_t literalSlots = 0;
      LiteralReconcile(literal, n, literalSlots);
      ASSERT_EQ(shippedSlots, literalSlots) << round << " pass " << pass;
      for (std::uint16_t s = 1; s <= n; ++s) {
        ASSERT_EQ(Describe(shipped[s]), Describe(literal[s])) << round << " sector " << s;
        if (shipped[s].warps) {
          ASSERT_EQ(shipped[s].warps->kinds.size(), shipped[s].warps->targets.size());
        }
      }
    }
  }
}

}  // namespace
