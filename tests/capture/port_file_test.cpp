#include "capture/port_file.h"

#include <gtest/gtest.h>

#include "tests/capture/capture_test_util.h"

namespace {

// "b/s amount@percent" per product, for comparing a whole port in one assertion.
std::string Describe(const std::optional<PortRecord>& port) {
  if (!port) return "none";
  std::string text = "r" + std::to_string(port->reporting);
  for (int p = 0; p < kProductCount; ++p) {
    text += (port->buying & (1u << p)) != 0 ? " b" : " s";
    text += std::to_string(port->amount[p]) + "@" + std::to_string(port->percent[p]);
  }
  return text;
}

// Reads `lines` as a port capture into a universe of 20 sectors.
class PortReading : public ::testing::Test {
 protected:
  void Read(const std::string& text, LoadMode mode, std::uint8_t reporting) {
    WriteFile(name, text);
    ReadPortFile(universe, name, mode, reporting, out.log());
  }
  PhaseOutput out;
  std::string name = out / "g.prt";
  Universe universe = CreateUniverse(20, 5);
};

TEST_F(PortReading, MissingFileWritesNothing) {
  ReadPortFile(universe, out / "none.prt", LoadMode::Replace, 1, out.log());
  EXPECT_EQ(out.console(), "");
  EXPECT_EQ(out.changeLog(), "");
}

TEST_F(PortReading, EmptyFileAnnouncesAndCountsZero) {
  Read("", LoadMode::Replace, 1);
  EXPECT_EQ(out.console(), "reading port cim file: " + name + " .\n");
  EXPECT_EQ(out.changeLog(), " " + name + ": 0 ports read.\r\n");
}

TEST_F(PortReading, DashAndSignedFormsGiveTheSamePort) {
  Read("    2 - 2060 100% - 2730 100%   1390  78%\r\n"
       "3 -2060 100% -2730 100% 1390 78%\n",
       LoadMode::Replace, 1);
  EXPECT_EQ(Describe(universe[2].port), "r1 b2060@100 b2730@100 s1390@78");
  EXPECT_EQ(Describe(universe[3].port), Describe(universe[2].port));
  EXPECT_EQ(out.changeLog(), " " + name + ": 2 ports read.\r\n");
}

TEST_F(PortReading, OddWordsReadAsTheGameWroteThem) {
  Read("1 - 0 0% 5 5% 6 6%\n"          // "-" with amount 0 still buys
       "2 -0 0% 5 5% 6 6%\n"           // minus zero is zero: sells
       "3 10 100 20 50% 30 99%\n"      // a bare 100 loses its last digit
       "4 10 10% 20 20% 30 30% x y\n"  // words after the third group ignored
       "5 +7 7x 8 8% 9 9%\n",          // any last character is dropped
       LoadMode::Replace, 1);
  EXPECT_EQ(Describe(universe[1].port), "r1 b0@0 s5@5 s6@6");
  EXPECT_EQ(Describe(universe[2].port), "r1 s0@0 s5@5 s6@6");
  EXPECT_EQ(Describe(universe[3].port), "r1 s10@10 s20@50 s30@99");
  EXPECT_EQ(Describe(universe[4].port), "r1 s10@10 s20@20 s30@30");
  EXPECT_EQ(Describe(universe[5].port), "r1 s7@7 s8@8 s9@9");
}

TEST_F(PortReading, UnreadableLinesAreCountedButYieldNoPort) {
  universe[6].port = PortRecord{};
  universe[7].port = PortRecord{};
  Read("1\n"                        // one word: not counted
       "0 1 1% 2 2% 3 3%\n"         // sector 0
       "21 1 1% 2 2% 3 3%\n"        // sector n + 1
       "x 1 1% 2 2% 3 3%\n"         // not a number
       "6 1 1% 2 2%\n"              // two product groups only
       "7 - 70000 1% 2 2% 3 3%\n"   // "-" amount beyond 16 bits
       "8 1 1% 2 256% 3 3%\n"       // percentage beyond 8 bits
       "9 1 % 2 2% 3 3%\n"          // percentage of no digits
       "20 1 1% 2 2% 3 3%\n",       // sector n
       LoadMode::Replace, 1);
  EXPECT_EQ(out.changeLog(), " " + name + ": 8 ports read.\r\n");
  for (std::uint16_t s : {1, 6, 7, 8, 9}) EXPECT_EQ(Describe(universe[s].port), "none") << s;
  EXPECT_EQ(Describe(universe[20].port), "r1 s1@1 s2@2 s3@3");
}

TEST_F(PortReading, FillKeepsWhatASectorHasEvenWhenTheLineIsBad) {
  PortRecord known;
  known.reporting = 1;
  known.amount = {1, 2, 3};
  known.percent = {100, 100, 100};
  universe[6].port = known;
  universe[7].port = known;
  Read("6 1 1% 2 2%\n7 5 100% 5 100% 5 100%\n8 5 100% 5 100% 5 100%\n8 6 100% 6 100% 6 100%\n",
       LoadMode::Fill, 0);
  EXPECT_EQ(Describe(universe[6].port), "r1 s1@100 s2@100 s3@100");
  EXPECT_EQ(Describe(universe[7].port), "r1 s1@100 s2@100 s3@100");
  EXPECT_EQ(Describe(universe[8].port), "r0 s5@100 s5@100 s5@100");
}

TEST_F(PortReading, ReplaceTakesTheLastLine) {
  Read("8 5 100% 5 100% 5 100%\n8 -6 100% 6 100% 6 100%\n", LoadMode::Replace, 1);
  EXPECT_EQ(Describe(universe[8].port), "r1 b6@100 s6@100 s6@100");
}

TEST_F(PortReading, NotReportingPortsAreEstimatedAtFullCapacity) {
  Read("1 500 50% 0 40% 300 100%\n"
       "2 - 1390 78% 1 0% 1 99%\n",
       LoadMode::Replace, 0);
  EXPECT_EQ(Describe(universe[1].port), "r0 s980@100 s0@0 s300@100");
  EXPECT_EQ(Describe(universe[2].port), "r0 b1759@100 s100@100 s1@100");
}

TEST_F(PortReading, ReportingPortsStayAsRead) {
  Read("1 500 50% 0 40% 300 100%\n", LoadMode::Replace, 1);
  EXPECT_EQ(Describe(universe[1].port), "r1 s500@50 s0@40 s300@100");
}

TEST_F(PortReading, AmountsBeyondSixteenBitsAreClamped) {
  Read("1 -70000 100% 99999999999 5% 65535 0%\n", LoadMode::Replace, 1);
  EXPECT_EQ(Describe(universe[1].port), "r1 b65535@100 s65535@5 s65535@0");
  Read("1 -70000 100% 60000 5% 65535 0%\n", LoadMode::Replace, 0);
  // 60000 x 100 div 6 and 65535 x 100 div 1 both exceed 16 bits.
  EXPECT_EQ(Describe(universe[1].port), "r0 b65535@100 s65535@100 s65535@100");
}

TEST(WritePortFile, LinesAlignToFixedColumns) {
  PhaseOutput out;
  const std::string name = out / "g_ref.prt";
  Universe universe = CreateUniverse(20000, 5);
  PortRecord port;
  port.buying = 0b011;
  port.amount = {2060, 2730, 1390};
  port.percent = {100, 100, 78};
  universe[2].port = port;
  universe[20000].port = PortRecord{};  // amount 0 selling at 0%
  WritePortFile(universe, name, out.log());
  EXPECT_EQ(ReadFile(name), CrLf({"    2 - 2060 100% - 2730 100%   1390  78%",
                                  "20000      0   0%      0   0%      0   0%"}));
  EXPECT_EQ(out.console(), "writing port cim file: " + name + " .\n");
  EXPECT_EQ(out.changeLog(), " " + name + ": 2 ports written.\r\n");
}

TEST(WritePortFile, SmallUniverseNarrowsOnlyTheSectorColumn) {
  PhaseOutput out;
  const std::string name = out / "g_ref.prt";
  Universe universe = CreateUniverse(9, 5);
  PortRecord port;
  port.buying = 0b100;
  port.amount = {65535, 9, 10};
  port.percent = {255, 9, 10};
  universe[9].port = port;
  WritePortFile(universe, name, out.log());
  EXPECT_EQ(ReadFile(name), CrLf({"9  65535 255%      9   9% -   10  10%"}));
}

TEST(WritePortFile, EmptyUniverseWritesAnEmptyFile) {
  PhaseOutput out;
  const std::string name = out / "g_ref.prt";
  Universe universe = CreateUniverse(500, 5);
  WritePortFile(universe, name, out.log());
  EXPECT_EQ(ReadFile(name), "");
  EXPECT_EQ(out.changeLog(), " " + name + ": 0 ports written.\r\n");
}

TEST(WritePortFile, WrittenFileReadsBackAsTheSamePorts) {
  PhaseOutput out;
  const std::string name = out / "g_ref.prt";
  Universe universe = CreateUniverse(500, 5);
  PortRecord port;
  port.reporting = 1;
  port.buying = 0b101;
  port.amount = {0, 1390, 65535};
  port.percent = {0, 78, 100};
  universe[1].port = port;
  universe[500].port = port;
  WritePortFile(universe, name, out.log());

  Universe same = CreateUniverse(500, 5);
  ReadPortFile(same, name, LoadMode::Replace, 1, out.log());
  EXPECT_EQ(Describe(same[1].port), Describe(port));
  EXPECT_EQ(Describe(same[500].port), Describe(port));

  // Read back as a reference copy, the port is no longer reporting and estimated.
  Universe remembered = CreateUniverse(500, 5);
  ReadPortFile(remembered, name, LoadMode::Fill, 0, out.log());
  EXPECT_EQ(Describe(remembered[1].port), "r0 b0@0 s1759@100 b65535@100");
}

}  // namespace
