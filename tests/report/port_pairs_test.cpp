#include "report/port_pairs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "platform/console.h"
#include "platform/file.h"
#include "tests/test_util.h"

namespace {

void SetPort(Universe& u, std::uint16_t s, std::uint8_t mask, std::array<std::uint16_t, 3> amount,
             std::array<std::uint8_t, 3> percent, std::uint8_t reporting = 1) {
  u[s].explored = 1;
  PortRecord port;
  port.reporting = reporting;
  port.buying = mask;
  port.amount = amount;
  port.percent = percent;
  u[s].port = port;
}

// Adds an entry to s's list, ascending by target as reconciliation keeps it.
void AddWarp(Universe& u, std::uint16_t s, std::uint16_t t, WarpKind kind) {
  if (!u[s].warps) u[s].warps = WarpList{};
  WarpList& list = *u[s].warps;
  auto at = std::upper_bound(list.targets.begin(), list.targets.end(), t);
  list.kinds.insert(list.kinds.begin() + (at - list.targets.begin()), kind);
  list.targets.insert(at, t);
}

void LinkTwoWay(Universe& u, std::uint16_t s, std::uint16_t t) {
  AddWarp(u, s, t, twoWay);
  AddWarp(u, t, s, twoWay);
}

// The report of an empty universe with `lines` added under the rows (1..20).
std::string ExpectedReport(const std::map<int, std::vector<std::string>>& lines = {}) {
  static const char* const kRows[20] = {
      "1:4", "2:5", "3:6", "7:8", "1:2", "4:5", "1:3", "4:6", "2:3", "5:6",
      "2:2", "2:3", "2:4", "2:8", "3:3", "3:4", "3:8", "4:4", "4:8", "8:8"};
  const std::map<int, std::string> headings = {{1, "triple pairs:"},
                                               {5, "double pairs:  org/equ"},
                                               {7, "double pairs:  ore/equ"},
                                               {9, "double pairs:  ore/org"},
                                               {11, "evil pairs:"}};
  std::vector<std::string> all;
  for (int k = 1; k <= 20; ++k) {
    if (headings.count(k) != 0) all.push_back(headings.at(k));
    all.push_back(std::string(" specific pairs (") + kRows[k - 1] + ")");
    if (lines.count(k) != 0) {
      for (const std::string& line : lines.at(k)) all.push_back(line);
    }
  }
  return CrLf(all);
}

struct ReportRun {
  std::string text;
  std::string console;
};

ReportRun WriteReport(const Universe& u) {
  ScratchDir dir;
  ReportRun run;
  ConsoleCaptureTo(&run.console);
  WritePortPairReport(u, dir / "game_portpairs.txt");
  ConsoleCaptureTo(nullptr);
  run.text = ReadFile(dir / "game_portpairs.txt");
  return run;
}

// The example pair: a weak "BBS" port at 123 next to a fig-guarded "SSB" at 4567.
Universe ExampleUniverse() {
  Universe u = CreateUniverse(5000, 5);
  SetPort(u, 123, 3, {2060, 2730, 2500}, {100, 100, 90});
  SetPort(u, 4567, 4, {15000, 990, 3000}, {80, 75, 100});
  u[4567].fig = 1;
  LinkTwoWay(u, 123, 4567);
  return u;
}

const std::string kExampleLine =
    "   123   bbs (**9) - +4567  Ssb (87*) 2060-15k  / 2730-990  / 2500-3000   1112";

}  // namespace

TEST(PortClassNumber, NumbersTheEightClasses) {
  const std::uint8_t expected[8] = {7, 6, 5, 1, 4, 2, 3, 8};
  for (std::uint8_t mask = 0; mask < 8; ++mask) EXPECT_EQ(PortClassNumber(mask), expected[mask]);
  EXPECT_EQ(PortClassNumber(8), 0);
  EXPECT_EQ(PortClassNumber(255), 0);
}

TEST(PortPairReport, EmptyUniverseHasHeadingsAndRowLinesOnly) {
  Universe u = CreateUniverse(20, 5);
  ReportRun run = WriteReport(u);
  EXPECT_EQ(run.text, ExpectedReport());
  EXPECT_EQ(std::count(run.text.begin(), run.text.end(), '\n'), 25);
}

TEST(PortPairReport, ConsoleLineShortensALongName) {
  ScratchDir dir;
  const std::string name = dir / "a_rather_long_game_name_portpairs.txt";
  ASSERT_GE(name.size(), 34u);
  Universe u = CreateUniverse(10, 5);
  std::string console;
  ConsoleCaptureTo(&console);
  WritePortPairReport(u, name);
  ConsoleCaptureTo(nullptr);
  EXPECT_EQ(console, "writing port pair report: ..." + name.substr(name.size() - 30) + " .\n");
}

TEST(PortPairReport, ExamplePairLine) {
  Universe u = ExampleUniverse();
  EXPECT_EQ("  " + FormatPortPair(u, 123, 4567), kExampleLine);
  EXPECT_EQ(PairTradeVolume(u, 123, 4567, 50), 1112u);
  // Listed under row 1 from the "BBS" side only.
  EXPECT_EQ(WriteReport(u).text, ExpectedReport({{1, {kExampleLine}}}));
}

TEST(PortPairReport, SameClassPairListedOnceAndRepeatedRowListedTwice) {
  Universe u = CreateUniverse(50, 5);
  SetPort(u, 7, 6, {5000, 5000, 5000}, {100, 100, 100});   // SBB
  SetPort(u, 10, 6, {5000, 5000, 5000}, {100, 100, 100});  // SBB
  SetPort(u, 3, 5, {4000, 6000, 8000}, {100, 100, 100});   // BSB
  LinkTwoWay(u, 10, 7);
  LinkTwoWay(u, 3, 7);
  const std::string sameClass =
      "   7     SBB (***) -  10    SBB (***) 5000-5000 / 5000-5000 / 5000-5000   0";
  const std::string bsbSbb =
      "   3     BSB (***) -  7     SBB (***) 4000-5000 / 6000-5000 / 8000-5000   2000";
  EXPECT_EQ(WriteReport(u).text, ExpectedReport({{9, {bsbSbb}}, {12, {bsbSbb}}, {15, {sameClass}}}));
}

TEST(PortPairReport, OneWayWarpsAndPortsWithoutWarpsAreNotListed) {
  Universe u = CreateUniverse(50, 5);
  SetPort(u, 20, 3, {5000, 5000, 5000}, {100, 100, 100});  // BBS
  SetPort(u, 21, 4, {5000, 5000, 5000}, {100, 100, 100});  // SSB
  AddWarp(u, 20, 21, oneWayOut);
  AddWarp(u, 21, 20, oneWayIn);
  SetPort(u, 30, 3, {5000, 5000, 5000}, {100, 100, 100});
  SetPort(u, 31, 4, {5000, 5000, 5000}, {100, 100, 100});
  AddWarp(u, 30, 31, twoWay);  // 31 has a port but no warps
  // Targets outside 1..n are the sector of which nothing is known.
  AddWarp(u, 30, 0, twoWay);
  AddWarp(u, 30, 60000, twoWay);
  EXPECT_EQ(WriteReport(u).text, ExpectedReport());
  EXPECT_EQ(FormatPortPair(u, 30, 60000),
            " 30    BBS (***) -  60000  (??\?)   0");
}

TEST(PortPairLine, UnexploredAndNonReportingStock) {
  Universe u = CreateUniverse(50, 5);
  SetPort(u, 1, 3, {5000, 5000, 5000}, {100, 100, 100});
  SetPort(u, 2, 4, {5000, 5000, 5000}, {100, 100, 100}, 0);
  u[2].explored = 0;
  EXPECT_EQ(FormatPortPair(u, 1, 2), " 1     BBS (***) -  2     SSB (??\?)   2500");
  u[2].explored = 1;
  EXPECT_EQ(FormatPortPair(u, 1, 2), " 1     BBS (***) -  2     SSB (...)   2500");
  // An unexplored sector whose port reports: stock unknown, amounts shown.
  u[2].explored = 0;
  u[2].port->reporting = 1;
  EXPECT_EQ(FormatPortPair(u, 1, 2),
            " 1     BBS (***) -  2     SSB (??\?) 5000-5000 / 5000-5000 / 5000-5000   2500");
  // Either side not reporting leaves the amounts out.
  u[1].port->reporting = 0;
  u[1].bubble = BubbleRecord{};
  EXPECT_EQ(FormatPortPair(u, 1, 2), " 1     BBS (...) -  2     SSB (??\?) b 2500");
}

TEST(PortPairLine, AmountsInThousandsFromTenThousand) {
  Universe u = CreateUniverse(50, 5);
  SetPort(u, 1, 3, {10000, 9999, 0}, {100, 100, 100});
  SetPort(u, 2, 4, {9999, 10000, 65535}, {100, 100, 100});
  u[2].bubble = BubbleRecord{};
  EXPECT_EQ(FormatPortPair(u, 1, 2),
            " 1     BBs (***) -  2     SSB (***)  10k-9999 / 9999-10k  /    0-65k  b 0");
}

TEST(PortPairLine, PercentagesAboveHundredWrittenInFull) {
  Universe u = CreateUniverse(50, 5);
  SetPort(u, 1, 3, {5000, 5000, 5000}, {150, 105, 100});
  SetPort(u, 2, 4, {20, 200, 2000}, {0, 9, 99});
  EXPECT_EQ(FormatPortPair(u, 1, 2),
            " 1     BBS (1510*) -  2     ssb (009) 5000-20   / 5000-200  / 5000-2000   0");
}

TEST(PairTradeVolume, WideEstimateIsPrintedInFull) {
  Universe u = CreateUniverse(9, 5);
  SetPort(u, 5, 0, {65535, 65535, 65535}, {255, 255, 255});  // SSS
  SetPort(u, 6, 7, {65535, 65535, 65535}, {255, 255, 255});  // BBB
  LinkTwoWay(u, 5, 6);
  // Each product: 65535 - 65535 * 50 div 255 = 52685; three of them, halved.
  EXPECT_EQ(PairTradeVolume(u, 5, 6, 50), 79027u);
  const std::string line =
      "   5     SSS (252525) -  6     BBB (252525)  65k-65k  /  65k-65k  /  65k-65k    79027";
  EXPECT_EQ(WriteReport(u).text, ExpectedReport({{4, {line}}}));
}

TEST(PairTradeVolume, ReserveAndCases) {
  Universe u = ExampleUniverse();
  // No reserve: whole amounts, min(min(2060 + 2730, 15000 + 990), min(2500, 3000)).
  EXPECT_EQ(PairTradeVolume(u, 123, 4567, 0), 2500u);
  EXPECT_EQ(PairTradeVolume(u, 123, 4567, 100), 0u);
  EXPECT_EQ(PairTradeVolume(u, 123, 4567, 255), 0u);
  // The estimate follows the masks in the order given: SSB-BBS is no case.
  EXPECT_EQ(PairTradeVolume(u, 4567, 123, 50), 0u);
  // Without a port on either side there is nothing to trade.
  EXPECT_EQ(PairTradeVolume(u, 123, 1, 50), 0u);
  EXPECT_EQ(PairTradeVolume(u, 123, 9999, 50), 0u);

  Universe v = CreateUniverse(20, 5);
  // Tradeable amounts at 100 %: half of each amount (rounded up).
  SetPort(v, 1, 5, {200, 400, 800}, {100, 100, 100});   // BSB: 100, 200, 400
  SetPort(v, 2, 2, {60, 1000, 3000}, {100, 100, 100});  // SBS: 30, 500, 1500
  SetPort(v, 3, 6, {20, 40, 2000}, {100, 100, 100});    // SBB: 10, 20, 1000
  SetPort(v, 4, 1, {90, 3001, 7}, {100, 100, 100});     // BSS: 45, 1501, 4
  EXPECT_EQ(PairTradeVolume(v, 1, 2, 50), 200u);  // BSB-SBS: min(min(500, 1530), min(200, 500))
  EXPECT_EQ(PairTradeVolume(v, 3, 4, 50), 10u);   // SBB-BSS: min(min(1020, 1505), min(10, 45))
  EXPECT_EQ(PairTradeVolume(v, 1, 3, 50), 10u);   // BSB-SBB: min(min(10, 20), min(100, 200))
  EXPECT_EQ(PairTradeVolume(v, 2, 4, 50), 30u);   // SBS-BSS: min(min(45, 1501), min(30, 500))
  // A port at 0 % with stock: its cut is amount x 50, nothing tradeable.
  SetPort(v, 5, 0, {1000, 1000, 1000}, {0, 0, 0});
  SetPort(v, 6, 7, {1000, 1000, 1000}, {100, 100, 100});
  EXPECT_EQ(PairTradeVolume(v, 5, 6, 50), 0u);
  v[5].port->percent = {100, 100, 100};
  EXPECT_EQ(PairTradeVolume(v, 5, 6, 50), 750u);
}

TEST(PortPairReport, ReplacesTheOldReportOnlyWhenComplete) {
  ScratchDir dir;
  const std::string name = dir / "g_portpairs.txt";
  Universe u = ExampleUniverse();
  std::string console;
  ConsoleCaptureTo(&console);
  WriteFile(name, "old report");
  SetFileFaultAt(0);
  WritePortPairReport(u, name);
  const std::uint64_t operations = FileOperationCount();
  EXPECT_EQ(ReadFile(name), ExpectedReport({{1, {kExampleLine}}}));
  for (std::uint64_t k = 1; k <= operations; ++k) {
    WriteFile(name, "old report");
    SetFileFaultAt(k);
    EXPECT_THROW(WritePortPairReport(u, name), IoError) << "operation " << k;
    SetFileFaultAt(0);
    EXPECT_EQ(ReadFile(name), "old report") << "operation " << k;
    EXPECT_EQ(ReadFile(name + ".tmp~"), "<missing>") << "operation " << k;
  }
  ConsoleCaptureTo(nullptr);
}
