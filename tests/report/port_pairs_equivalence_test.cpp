// The port pair report sorts every warp into its rows in one pass; the report
// as the players' documents describe it scans the whole table once per row.
// Both must give the same bytes on any universe.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "platform/console.h"
#include "report/port_pairs.h"
#include "tests/test_util.h"

namespace {

struct LiteralRow {
  std::uint8_t a;
  std::uint8_t b;
  const char* heading;
};

const LiteralRow kLiteralRows[20] = {
    {1, 4, "triple pairs:"}, {2, 5, nullptr}, {3, 6, nullptr}, {7, 8, nullptr},
    {1, 2, "double pairs:  org/equ"}, {4, 5, nullptr},
    {1, 3, "double pairs:  ore/equ"}, {4, 6, nullptr},
    {2, 3, "double pairs:  ore/org"}, {5, 6, nullptr},
    {2, 2, "evil pairs:"}, {2, 3, nullptr}, {2, 4, nullptr}, {2, 8, nullptr}, {3, 3, nullptr},
    {3, 4, nullptr}, {3, 8, nullptr}, {4, 4, nullptr}, {4, 8, nullptr}, {8, 8, nullptr},
};

// The report scanned once per row, every sector and warp each time.
std::string LiteralPortPairReport(const Universe& u, std::uint16_t n) {
  std::string text;
  for (const LiteralRow& row : kLiteralRows) {
    if (row.heading != nullptr) text += std::string(row.heading) + "\r\n";
    text += " specific pairs (" + std::to_string(row.a) + ":" + std::to_string(row.b) + ")\r\n";
    for (std::uint32_t s = 1; s <= n; ++s) {
      const Sector& sector = u.Lookup(s);
      if (!sector.port || !sector.warps) continue;
      for (std::size_t j = 0; j < sector.warps->count(); ++j) {
        const std::uint16_t t = sector.warps->targets[j];
        const Sector& target = u.Lookup(t);
        if (target.port && target.warps && (row.a != row.b || t > s) &&
            PortClassNumber(sector.port->buying) == row.a &&
            PortClassNumber(target.port->buying) == row.b && sector.warps->kinds[j] == twoWay) {
          text += "  " + FormatPortPair(u, static_cast<std::uint16_t>(s), t) + "\r\n";
        }
      }
    }
  }
  return text;
}

void Insert(WarpList& list, std::uint16_t t, std::uint32_t kind) {
  auto at = std::upper_bound(list.targets.begin(), list.targets.end(), t);
  list.kinds.insert(list.kinds.begin() + (at - list.targets.begin()), kind);
  list.targets.insert(at, t);
}

// A universe as reconciliation leaves it: two-way warps listed at both ends,
// one-way warps as out and in entries, lists ascending; a few warps leave
// the universe, repeat an entry or point back at their own sector. Ports of
// every class, with stock above 100 % now and then, some unexplored or not
// reporting; a few lists missing; figs and bubbles here and there.
Universe GenerateUniverse(std::uint32_t seed, std::uint16_t n) {
  std::mt19937 random(seed);
  auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
  auto pick = [&](std::uint32_t low, std::uint32_t high) {
    return static_cast<std::uint32_t>(low + random() % (high - low + 1));
  };
  Universe u = CreateUniverse(n, 5);
  const int portChance = static_cast<int>(pick(20, 90));
  const int twoWayChance = static_cast<int>(pick(40, 95));
  for (std::uint32_t s = 1; s <= n; ++s) {
    Sector& sector = u[static_cast<std::uint16_t>(s)];
    sector.explored = chance(85) ? 1 : 0;
    sector.fig = chance(15) ? 1 : 0;
    if (chance(10)) sector.bubble = BubbleRecord{1, 0, 1, 1};
    if (chance(portChance)) {
      PortRecord port;
      port.reporting = chance(80) ? 1 : 0;
      port.buying = static_cast<std::uint8_t>(chance(2) ? pick(8, 255) : pick(0, 7));
      for (int i = 0; i < kProductCount; ++i) {
        port.percent[i] = static_cast<std::uint8_t>(chance(10) ? pick(0, 255) : pick(0, 100));
        port.amount[i] = static_cast<std::uint16_t>(chance(10) ? pick(0, 65535) : pick(0, 12000));
      }
      sector.port = port;
    }
  }
  for (std::uint32_t s = 1; s <= n; ++s) {
    const std::uint32_t warps = pick(0, 6);
    for (std::uint32_t w = 0; w < warps; ++w) {
      const auto from = static_cast<std::uint16_t>(s);
      if (chance(3)) {
        const auto outside = static_cast<std::uint16_t>(chance(50) ? 0 : pick(n + 1u, 65535));
        if (!u[from].warps) u[from].warps = WarpList{};
        Insert(*u[from].warps, outside, chance(50) ? oneWayOut : twoWay);
        continue;
      }
      const auto to = static_cast<std::uint16_t>(chance(3) ? s : pick(1, n));
      for (std::uint16_t end : {from, to}) {
        if (!u[end].warps) u[end].warps = WarpList{};
      }
      if (chance(twoWayChance) || to == from) {
        Insert(*u[from].warps, to, twoWay);
        if (to != from) Insert(*u[to].warps, from, twoWay);
      } else {
        Insert(*u[from].warps, to, oneWayOut);
        Insert(*u[to].warps, from, oneWayIn);
      }
    }
  }
  // Now and then a list is lost, as in data no reconciliation has seen.
  for (std::uint32_t s = 1; s <= n; ++s) {
    if (chance(1)) u[static_cast<std::uint16_t>(s)].warps.reset();
  }
  return u;
}

std::string WrittenReport(const Universe& u) {
  static const ScratchDir dir;
  std::string console;
  ConsoleCaptureTo(&console);
  WritePortPairReport(u, dir / "g_portpairs.txt");
  ConsoleCaptureTo(nullptr);
  return ReadFile(dir / "g_portpairs.txt");
}

}  // namespace

TEST(PortPairEquivalence, OnePassEqualsOneScanPerRow) {
  std::mt19937 sizes(2024);
  std::size_t pairLines = 0;
  for (std::uint32_t seed = 1; seed <= 200; ++seed) {
    const auto n = static_cast<std::uint16_t>(seed % 10 == 0 ? 1 + sizes() % 5 : 1 + sizes() % 400);
    Universe u = GenerateUniverse(seed, n);
    const std::string literal = LiteralPortPairReport(u, n);
    ASSERT_EQ(WrittenReport(u), literal) << "seed " << seed << ", n " << n;
    pairLines += static_cast<std::size_t>(std::count(literal.begin(), literal.end(), '\n')) - 25;
  }
  // The universes must actually produce pairs for the comparison to mean anything.
  EXPECT_GT(pairLines, 5000u);
}

TEST(PortPairEquivalence, FullSizeUniverse) {
  Universe u = GenerateUniverse(77, 20000);
  EXPECT_EQ(WrittenReport(u), LiteralPortPairReport(u, 20000));
}
