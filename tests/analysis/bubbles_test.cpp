#include "analysis/bubbles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/file.h"
#include "report/bubbles_report.h"
#include "tests/analysis/bubbles_reference.h"
#include "tests/analysis/warp_generator.h"
#include "tests/test_util.h"

namespace {

struct Capture {
  std::string text;
  Capture() { ConsoleCaptureTo(&text); }
  ~Capture() { ConsoleCaptureTo(nullptr); }
};

const std::vector<std::string> kKey = {
    "key: >    - the bubble gate is identified with a \">\" on the left.",
    "     u    - some sectors in, or one-ways out of, the bubble are unexplored.",
    "     c    - the bubble is compromised by one-way warps in.",
    "     d    - distance from bottom of bubble.",
    "     ()   - the sector is unexplored.",
    "     []   - the port in that sector is not reporting.",
    "     +    - the sector has a fig deployed.",
    "note:  sector warps to the right may include oneways in, not seen in sector.",
};

// The bubble layout's header for w = 2 and at most 4 warp slots.
const std::string kHeader = "  secto xxx ucd   msl  : warps ^=oneway out, v=oneway innotes";

std::vector<std::string> Key(std::vector<std::string> rest) {
  std::vector<std::string> lines = kKey;
  lines.insert(lines.end(), rest.begin(), rest.end());
  return lines;
}

// Lists the given warps for each sector, marks every sector up to n explored,
// and reconciles.
Universe Listed(std::uint16_t n,
                const std::vector<std::pair<std::uint16_t, std::vector<std::uint16_t>>>& lists) {
  Universe u(n, 5);
  for (std::uint32_t s = 1; s <= n; ++s) u[static_cast<std::uint16_t>(s)].explored = 1;
  for (const auto& [s, targets] : lists) {
    u[s].warps = WarpList{targets, std::vector<std::uint32_t>(targets.size(), oneWayOut), 0};
  }
  ReconcileForTest(u);
  return u;
}

// A ring 20-21-22-23 with chords, which no peeling reaches.
std::vector<std::pair<std::uint16_t, std::vector<std::uint16_t>>> Core() {
  return {{21, {20, 22, 23}}, {22, {20, 21, 23}}, {23, {21, 22}}};
}

std::vector<std::pair<std::uint16_t, std::vector<std::uint16_t>>> With(
    std::vector<std::pair<std::uint16_t, std::vector<std::uint16_t>>> lists,
    const std::vector<std::pair<std::uint16_t, std::vector<std::uint16_t>>>& more) {
  lists.insert(lists.end(), more.begin(), more.end());
  return lists;
}

struct Result {
  std::string report;
  std::string console;
};

Result Analyse(Universe& u, std::uint16_t warpSlots, bool literal = false) {
  ScratchDir dir;
  const std::string name = dir / "g_bubbles.txt";
  Capture console;
  if (literal) {
    AnalyseBubblesLiteral(u, u.size(), warpSlots, name);
  } else {
    const Bubbles found = AnalyseBubbles(u, name);
    WriteBubbleReport(u, found, warpSlots, name);
  }
  // The scratch directory's name differs between runs: show it as NAME.
  const std::string shown = name.size() >= 34 ? "..." + name.substr(name.size() - 30) : name;
  std::string text = console.text;
  const std::string announced = "writing bubble report: " + shown + " ";
  if (text.compare(0, announced.size(), announced) == 0) {
    text.replace(0, announced.size(), "writing bubble report: NAME ");
  }
  return {ReadFile(name), text};
}

std::string Console(const std::string& digits) {
  return "writing bubble report: NAME " + digits + ".\n";
}

void ExpectRecord(const Universe& u, std::uint16_t s, int depth, int compromised, int explored,
                  int gate) {
  ASSERT_TRUE(u[s].bubble) << "sector " << s;
  EXPECT_EQ(u[s].bubble->depth, depth) << "sector " << s;
  EXPECT_EQ(u[s].bubble->compromised, compromised) << "sector " << s;
  EXPECT_EQ(u[s].bubble->explored, explored) << "sector " << s;
  EXPECT_EQ(u[s].bubble->gate, gate) << "sector " << s;
}

}  // namespace

TEST(Bubbles, ChainPeelsTowardsItsGate) {
  Universe u =
      Listed(30, With(Core(), {{10, {11}}, {11, {10, 12}}, {12, {11, 20}}, {20, {12, 21, 22}}}));
  Result r = Analyse(u, 3);
  ExpectRecord(u, 10, 1, 0, 1, 20);
  ExpectRecord(u, 11, 2, 0, 1, 20);
  ExpectRecord(u, 12, 3, 0, 1, 20);
  for (std::uint16_t s : {20, 21, 22, 23, 1}) EXPECT_FALSE(u[s].bubble) << s;
  EXPECT_EQ(r.report,
            CrLf(Key({"3-DEEP BUBBLES:", kHeader, " >  20  ---       n/a  :   12     21     22",
                      "    10  ---   1   n/a  :   11", "    11  ---   2   n/a  :   10     12",
                      "    12  ---   3   n/a  :   11     20"})));
  EXPECT_EQ(r.console, Console("0123"));
}

TEST(Bubbles, PairJoinedOnlyToEachOther) {
  Universe u = Listed(40, {{30, {31}}, {31, {30}}});
  Result r = Analyse(u, 1);
  ExpectRecord(u, 30, 1, 0, 1, 31);
  ExpectRecord(u, 31, 1, 0, 1, 30);
  EXPECT_EQ(r.report, CrLf(Key({"1-DEEP BUBBLES:", kHeader, " >  30  ---   1   n/a  :   31",
                                "    31  ---   1   n/a  :   30", " >  31  ---   1   n/a  :   30",
                                "    30  ---   1   n/a  :   31"})));
  EXPECT_EQ(r.console, Console("01"));
}

TEST(Bubbles, TwoBranchesOnOneGate) {
  Universe u = Listed(60, With(Core(), {{50, {20, 21, 51, 52}},
                                        {51, {50}},
                                        {52, {50, 53}},
                                        {53, {52}},
                                        {20, {21, 22, 50}},
                                        {21, {20, 22, 23, 50}}}));
  Result r = Analyse(u, 4);
  ExpectRecord(u, 51, 1, 0, 1, 50);
  ExpectRecord(u, 53, 1, 0, 1, 50);
  ExpectRecord(u, 52, 2, 0, 1, 50);
  EXPECT_EQ(
      r.report,
      CrLf(Key({"2-DEEP BUBBLES:", kHeader, " >  50  ---       n/a  :   20     21     51     52",
                "    51  ---   1   n/a  :   50", "    52  ---   2   n/a  :   50     53",
                "    53  ---   1   n/a  :   52"})));
}

// One-way warps neither make nor break a dead end; a one-way warp in
// compromises it, and a one-way warp out to an unexplored sector marks it.
TEST(Bubbles, OneWayWarpsMarkDeadEnds) {
  Universe u = Listed(30, With(Core(), {{20, {21, 22, 24, 25, 26}},
                                        {24, {20, 23}},  // 23 does not list 24
                                        {23, {21, 22}},
                                        {25, {20, 27}},
                                        {26, {20}},
                                        {27, {26}}}));
  u[27].explored = 0;
  // 24: two-way to 20, one-way out to 23 (explored); 25: one-way out to 27
  // (unexplored); 26: one-way in from 27 (unexplored).
  Result r = Analyse(u, 3);
  ExpectRecord(u, 24, 1, 0, 1, 20);
  ExpectRecord(u, 25, 1, 0, 0, 20);
  ExpectRecord(u, 26, 1, 1, 1, 20);
  EXPECT_FALSE(u[27].bubble);
  EXPECT_EQ(r.report, CrLf(Key({"1-DEEP BUBBLES:", kHeader,
                                " >  20  ---       n/a  :   21     22     24     25     26",
                                "    24  ---   1   n/a  :   20     23^",
                                "    25  --- u 1   n/a  :   20   ( 27^)",
                                "    26  ---  c1   n/a  :   20   ( 27v)"})));
}

// Every pass that examines a sector repeats its error line; the stray target
// shows in parentheses.
TEST(Bubbles, StrayTargetsAreReconciliationErrors) {
  Universe u = Listed(
      30, With(Core(), {{10, {11}}, {11, {10, 12}}, {12, {11, 20, 31}}, {20, {0, 12, 21, 22}}}));
  Result r = Analyse(u, 4);
  // A stray target is skipped: it does not make the bubble unexplored.
  ExpectRecord(u, 12, 3, 0, 1, 20);
  const std::string e12 = "*** reconciliation error between sectors 12 and 31.";
  const std::string e20 = "*** reconciliation error between sectors 20 and 0.";
  EXPECT_EQ(r.report,
            CrLf(Key({e12, e20, e12, e20, e12, e20, e20, "3-DEEP BUBBLES:", kHeader,
                      " >  20  ---       n/a  : (  0^)   12     21     22",
                      "    10  ---   1   n/a  :   11", "    11  ---   2   n/a  :   10     12",
                      "    12  ---   3   n/a  :   11     20   ( 31^)"})));
}

// A bubble deeper than a byte stops at pass 255 without wrapping.
TEST(Bubbles, PeelingStopsAtPass255) {
  std::vector<std::pair<std::uint16_t, std::vector<std::uint16_t>>> lists = Core();
  for (std::uint16_t s = 100; s < 400; ++s) {
    lists.push_back({s, {static_cast<std::uint16_t>(s - 1), static_cast<std::uint16_t>(s + 1)}});
  }
  lists.push_back({99, {100}});
  lists.push_back({400, {20, 399}});
  lists.push_back({20, {21, 22, 400}});
  Universe u = Listed(500, lists);
  Universe copy = u;
  Result r = Analyse(u, 3);
  ExpectRecord(u, 99, 1, 0, 1, 354);
  ExpectRecord(u, 353, 255, 0, 1, 354);
  EXPECT_FALSE(u[354].bubble);
  std::string digits = "0";
  for (int pass = 2; pass <= 255; ++pass) digits += static_cast<char>('0' + (pass - 1) % 10);
  EXPECT_EQ(r.console, Console(digits));
  EXPECT_NE(r.report.find("\r\n255-DEEP BUBBLES:\r\n"), std::string::npos);
  EXPECT_EQ(Analyse(copy, 3, true).report, r.report);
}

TEST(Bubbles, NoBubblesGivesTheKeyOnly) {
  Universe u = Listed(30, Core());
  Result r = Analyse(u, 3);
  EXPECT_EQ(r.report, CrLf(kKey));
  EXPECT_EQ(r.console, Console("01"));
}

namespace {

void ExpectSameAsLiteral(const Universe& original, std::uint16_t warpSlots,
                         const std::string& what) {
  Universe fast = original;
  Universe literal = original;
  Result a = Analyse(fast, warpSlots);
  Result b = Analyse(literal, warpSlots, true);
  ASSERT_EQ(a.report, b.report) << what;
  ASSERT_EQ(a.console, b.console) << what;
  for (std::uint32_t s = 1; s <= original.size(); ++s) {
    const auto& x = fast[static_cast<std::uint16_t>(s)].bubble;
    const auto& y = literal[static_cast<std::uint16_t>(s)].bubble;
    ASSERT_EQ(x.has_value(), y.has_value()) << what << " sector " << s;
    if (!x) continue;
    ASSERT_EQ(x->depth, y->depth) << what << " sector " << s;
    ASSERT_EQ(x->compromised, y->compromised) << what << " sector " << s;
    ASSERT_EQ(x->explored, y->explored) << what << " sector " << s;
    ASSERT_EQ(x->gate, y->gate) << what << " sector " << s;
  }
}

}  // namespace

TEST(BubblesSameAsLiteral, SmallGeneratedUniverses) {
  for (std::uint32_t seed = 1; seed <= 400; ++seed) {
    GeneratedShape shape;
    shape.n = static_cast<std::uint16_t>(5 + seed % 200);
    shape.corePercent = static_cast<int>(seed % 5) * 10;
    shape.chainPercent = static_cast<int>(seed % 3) * 40;
    shape.unexploredPercent = static_cast<int>(seed % 4) * 10;
    shape.oneWayPercent = static_cast<int>(seed % 6) * 5;
    shape.strayPercent = seed % 7 == 0 ? 10 : 1;
    shape.oddPercent = seed % 5 == 0 ? 10 : 1;
    ExpectSameAsLiteral(GenerateUniverse(seed, shape), static_cast<std::uint16_t>(seed % 6),
                        "seed " + std::to_string(seed));
  }
}

TEST(BubblesSameAsLiteral, LargeGeneratedUniverses) {
  for (std::uint32_t seed = 1000; seed < 1002; ++seed) {
    GeneratedShape shape;
    shape.n = 20000;
    shape.corePercent = seed % 2 == 0 ? 40 : 5;
    shape.chainPercent = seed % 2 == 0 ? 30 : 80;
    ExpectSameAsLiteral(GenerateUniverse(seed, shape), 6, "seed " + std::to_string(seed));
  }
}

namespace {

using Lists = std::vector<std::pair<std::uint16_t, std::vector<std::uint16_t>>>;

// Both ends list every pair, so every warp is two-way.
Lists BothWays(std::uint16_t n, const std::vector<std::pair<std::uint16_t, std::uint16_t>>& pairs) {
  std::vector<std::vector<std::uint16_t>> neighbours(static_cast<std::size_t>(n) + 1);
  for (const auto& [a, b] : pairs) {
    neighbours[a].push_back(b);
    neighbours[b].push_back(a);
  }
  Lists lists;
  for (std::uint32_t s = 1; s <= n; ++s) {
    std::sort(neighbours[s].begin(), neighbours[s].end());
    if (!neighbours[s].empty()) lists.push_back({static_cast<std::uint16_t>(s), neighbours[s]});
  }
  return lists;
}

Lists Chain(std::uint16_t n) {
  std::vector<std::pair<std::uint16_t, std::uint16_t>> pairs;
  for (std::uint32_t s = 1; s < n; ++s) {
    pairs.push_back({static_cast<std::uint16_t>(s), static_cast<std::uint16_t>(s + 1)});
  }
  return BothWays(n, pairs);
}

// A binary tree below sector 1, which sits on a ring with 2 and 3: sector
// s >= 5 hangs off (s - 4) / 2 + 4, and 4 off 1.
Lists Tree(std::uint16_t n) {
  std::vector<std::pair<std::uint16_t, std::uint16_t>> pairs = {{1, 2}, {2, 3}, {3, 1}, {1, 4}};
  for (std::uint32_t s = 5; s <= n; ++s) {
    pairs.push_back({static_cast<std::uint16_t>(s), static_cast<std::uint16_t>((s - 4) / 2 + 4)});
  }
  return BothWays(n, pairs);
}

// Sectors 1 and 2, 3 and 4, ... joined only to each other.
Lists Pairs(std::uint16_t n) {
  std::vector<std::pair<std::uint16_t, std::uint16_t>> pairs;
  for (std::uint32_t s = 1; s < n; s += 2) {
    pairs.push_back({static_cast<std::uint16_t>(s), static_cast<std::uint16_t>(s + 1)});
  }
  return BothWays(n, pairs);
}

void Analyse(Universe& u) {
  ScratchDir dir;
  Capture console;
  AnalyseBubbles(u, dir / "g_bubbles.txt");
}

}  // namespace

TEST(BubblesSameAsLiteral, AdversarialShapes) {
  ExpectSameAsLiteral(Listed(3000, Chain(3000)), 2, "chain");
  ExpectSameAsLiteral(Listed(600, Chain(600)), 2, "chain whose ends meet");
  ExpectSameAsLiteral(Listed(3000, Tree(3000)), 3, "tree");
  ExpectSameAsLiteral(Listed(3000, Pairs(3000)), 1, "pairs");
}

// Shapes that would make a naive walk-through quadratic, at full size: a
// 20000-sector chain, a tree of thousands of members behind one gate,
// thousands of small bubbles. (Their speed is the benchmark's: the chain and
// star games of scripts/benchmark.sh.)
TEST(BubblesFullSize, AdversarialShapes) {
  Universe chain = Listed(20000, Chain(20000));
  Analyse(chain);
  ASSERT_TRUE(chain[255].bubble);
  EXPECT_EQ(chain[255].bubble->depth, 255);
  EXPECT_EQ(chain[255].bubble->gate, 256);
  EXPECT_FALSE(chain[256].bubble);

  Universe tree = Listed(20000, Tree(20000));
  Analyse(tree);
  ASSERT_TRUE(tree[20000].bubble && tree[4].bubble);
  EXPECT_EQ(tree[20000].bubble->gate, 1);
  EXPECT_EQ(tree[4].bubble->gate, 1);
  EXPECT_FALSE(tree[1].bubble);

  Universe pairs = Listed(20000, Pairs(20000));
  Analyse(pairs);
  ASSERT_TRUE(pairs[19999].bubble);
  EXPECT_EQ(pairs[19999].bubble->gate, 20000);
}
