#include "report/sector_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Sp(std::size_t k) { return std::string(k, ' '); }

void SetWarps(Universe& u, std::uint16_t s, std::vector<std::uint16_t> targets,
              std::vector<std::uint32_t> kinds, std::uint8_t inCount = 0) {
  WarpList list;
  list.targets = std::move(targets);
  list.kinds = std::move(kinds);
  list.inCount = inCount;
  u[s].warps = std::move(list);
}

PortRecord Port(std::uint8_t reporting, std::uint8_t buying, std::array<std::uint8_t, 3> percent,
                std::array<std::uint16_t, 3> amount) {
  PortRecord p;
  p.reporting = reporting;
  p.buying = buying;
  p.percent = percent;
  p.amount = amount;
  return p;
}

}  // namespace

TEST(PortClassName, NamesEveryMask) {
  const char* names[] = {"SSS", "BSS", "SBS", "BBS", "SSB", "BSB", "SBB", "BBB"};
  for (std::uint8_t mask = 0; mask < 8; ++mask) EXPECT_EQ(PortClassName(mask), names[mask]);
  EXPECT_EQ(PortClassName(8), "");
  EXPECT_EQ(PortClassName(255), "");
}

TEST(DescribePort, LowerCaseBelowTheThreshold) {
  Universe u(10, 5);
  EXPECT_EQ(DescribePort(1, 3001, u), "");
  // 2500 at 100% is 2500 (weak); 1400 at 45% is 1400*100/46 = 3043 (strong);
  // 3001 at 100% stays strong.
  u[1].port = Port(1, 0, {100, 45, 100}, {2500, 1400, 3001});
  EXPECT_EQ(DescribePort(1, 3001, u), "sSS");
  // 3000 at 100% is the largest weak estimate; 30 at 0% is 3000 too; 3001
  // at 99% is 3001.
  u[2].port = Port(0, 7, {100, 0, 99}, {3000, 30, 3001});
  EXPECT_EQ(DescribePort(2, 3001, u), "bbB");
  EXPECT_EQ(DescribePort(2, 3000, u), "BBB");
  EXPECT_EQ(DescribePort(2, 0, u), "BBB");
}

TEST(DescribePort, EstimatesBeyondSixteenBitsStayLarge) {
  Universe u(10, 5);
  // 40000 * 100 / 10 = 400000: in 16 bits it would wrap to a weak 2304 / 10.
  u[1].port = Port(1, 4, {9, 150, 0}, {40000, 2000, 65535});
  EXPECT_EQ(DescribePort(1, 3001, u), "SsB");
}

TEST(DescribePort, NoPortOutsideTheUniverse) {
  Universe u(10, 5);
  EXPECT_EQ(DescribePort(0, 3001, u), "");
  EXPECT_EQ(DescribePort(11, 3001, u), "");
}

TEST(SectorLineHeader, EveryWidthAndLayout) {
  Universe u(10, 5);
  EXPECT_EQ(FormatSectorLine(0, u, 6, 1, FullLayout),
            "sect xxx (%%%) ore org equ e/ucd   msl  : warps ^=oneway out, v=oneway in" +
                Sp(6) + "notes");
  EXPECT_EQ(FormatSectorLine(0, u, 6, 2, SpecialPortLayout),
            "secto xxx te/ucd  : warps ^=oneway out, v=oneway in" + Sp(12) + "notes");
  EXPECT_EQ(FormatSectorLine(0, u, 4, 3, BubbleLayout),
            "sector xxx ucd   msl  : warps ^=oneway out, v=oneway in  notes");
  EXPECT_EQ(FormatSectorLine(0, u, 4, 4, FullLayout),
            "sector  xxx (%%%) ore org equ gate/ucd   msl  : warps ^=oneway out, v=oneway in" +
                Sp(6) + "notes");
  EXPECT_EQ(FormatSectorLine(0, u, 6, 5, FullLayout),
            "sector  xxx (%%%) ore org equ  gate/ucd   msl  : warps ^=oneway out, v=oneway in" +
                Sp(30) + "notes");
  EXPECT_EQ(FormatSectorLine(0, u, 6, 5, SpecialPortLayout),
            "sector  xxx  gate/ucd  : warps ^=oneway out, v=oneway in" + Sp(30) + "notes");
  EXPECT_EQ(FormatSectorLine(0, u, 6, 5, BubbleLayout),
            "sector  xxx ucd   msl  : warps ^=oneway out, v=oneway in" + Sp(30) + "notes");
}

TEST(SectorLineHeader, NoPaddingWhenTheWarpCellsAreNarrow) {
  Universe u(10, 5);
  EXPECT_EQ(FormatSectorLine(0, u, 0, 5, SpecialPortLayout),
            "sector  xxx  gate/ucd  : warps ^=oneway out, v=oneway innotes");
  // 3 cells of 10 columns are exactly the 30 of the label: still no padding.
  EXPECT_EQ(FormatSectorLine(0, u, 3, 5, BubbleLayout),
            "sector  xxx ucd   msl  : warps ^=oneway out, v=oneway innotes");
  EXPECT_EQ(FormatSectorLine(0, u, 4, 5, BubbleLayout),
            "sector  xxx ucd   msl  : warps ^=oneway out, v=oneway in" + Sp(10) + "notes");
}

TEST(SectorLine, OtherLayoutsGiveNothing) {
  Universe u(10, 5);
  u[1].explored = 1;
  for (std::uint8_t layout : {1, 4, 255}) {
    EXPECT_EQ(FormatSectorLine(0, u, 3, 2, layout), "");
    EXPECT_EQ(FormatSectorLine(1, u, 3, 2, layout), "");
  }
}

// The sector nobody has seen: every cell blank, trimmed after the " :".
TEST(SectorLine, UnseenSectorInEveryLayout) {
  Universe u(20000, 5);
  EXPECT_EQ(FormatSectorLine(9, u, 6, 5, FullLayout),
            "(     9) ---" + Sp(24) + "/" + Sp(5) + " n/a  :");
  EXPECT_EQ(FormatSectorLine(9, u, 6, 5, SpecialPortLayout), "(     9) ---" + Sp(6) + "/     :");
  EXPECT_EQ(FormatSectorLine(9, u, 6, 5, BubbleLayout), "(     9) ---" + Sp(6) + " n/a  :");
  u[7].fig = 1;
  EXPECT_EQ(FormatSectorLine(7, u, 6, 5, BubbleLayout), "(+    7) ---" + Sp(6) + " n/a  :");
}

TEST(SectorLine, PortCells) {
  Universe u(20000, 5);
  u[12].explored = 1;
  u[12].port = Port(0, 5, {100, 100, 100}, {2500, 3001, 1000});
  EXPECT_EQ(FormatSectorLine(12, u, 6, 5, FullLayout),
            "[    12] bSb (...)  2k  3k  1k " + Sp(5) + "/" + Sp(5) + " n/a  :");
  u[13].explored = 1;
  u[13].fig = 1;
  u[13].port = Port(1, 2, {100, 45, 9}, {2500, 1400, 40000});
  EXPECT_EQ(FormatSectorLine(13, u, 6, 5, FullLayout),
            " +   13  sBS (*40)  2k  1k 40k " + Sp(5) + "/" + Sp(5) + " n/a  :");
  u[14].explored = 1;
  u[14].port = Port(1, 7, {150, 0, 99}, {999, 1000, 65535});
  EXPECT_EQ(FormatSectorLine(14, u, 6, 5, FullLayout),
            "     14  bBB (1509) 999  1k 65k " + Sp(5) + "/" + Sp(5) + " n/a  :");
  // An unexplored sector keeps ( ) even when its port does not report.
  u[15].port = Port(0, 0, {0, 0, 0}, {0, 0, 0});
  EXPECT_EQ(FormatSectorLine(15, u, 6, 5, FullLayout),
            "(    15) sss (...)   0   0   0 " + Sp(5) + "/" + Sp(5) + " n/a  :");
  EXPECT_EQ(FormatSectorLine(15, u, 6, 5, SpecialPortLayout), "(    15) sss " + Sp(5) + "/     :");
}

TEST(SectorLine, BubbleAndLaneCells) {
  Universe u(20000, 5);
  u[5].explored = 1;
  u[5].bubble = BubbleRecord{3, 1, 0, 20};
  u[5].hopsFrom[kMslSlot] = 3;
  u[5].hopsTo[kMslSlot] = 12;
  EXPECT_EQ(FormatSectorLine(5, u, 6, 5, FullLayout),
            "      5  ---" + Sp(19) + "   20/uc3   3,12 :");
  EXPECT_EQ(FormatSectorLine(5, u, 6, 5, SpecialPortLayout), "      5  ---    20/uc3  :");
  EXPECT_EQ(FormatSectorLine(5, u, 6, 5, BubbleLayout), "      5  --- uc3   3,12 :");

  u[5].bubble = BubbleRecord{12, 0, 1, 7};
  u[5].hopsFrom[kMslSlot] = 12;
  u[5].hopsTo[kMslSlot] = 3;
  EXPECT_EQ(FormatSectorLine(5, u, 6, 5, BubbleLayout), "      5  ---   12 12,3  :");
  u[5].hopsFrom[kMslSlot] = 100;
  u[5].hopsTo[kMslSlot] = 5;
  EXPECT_EQ(FormatSectorLine(5, u, 6, 5, BubbleLayout), "      5  ---   12 100,5  :");
  u[5].hopsFrom[kMslSlot] = 0;
  u[5].hopsTo[kMslSlot] = 255;
  EXPECT_EQ(FormatSectorLine(5, u, 6, 5, BubbleLayout), "      5  ---   12  n/a  :");
  // A record without a gate shows nothing.
  u[5].bubble = BubbleRecord{1, 1, 0, 0};
  EXPECT_EQ(FormatSectorLine(5, u, 6, 5, SpecialPortLayout), "      5  ---" + Sp(6) + "/     :");
}

TEST(SectorLine, WarpCells) {
  Universe u(20000, 5);
  u[1].explored = 1;
  u[2].explored = 1;
  u[2].fig = 1;
  u[4].explored = 1;
  u[4].port = Port(0, 0, {100, 100, 100}, {5000, 5000, 5000});
  u[123].explored = 1;
  SetWarps(u, 1, {2, 3, 4, 123, 30000, 0, 9}, {twoWay, oneWayOut, oneWayIn, twoWay, oneWayOut,
                                               oneWayOut, 7});
  EXPECT_EQ(FormatSectorLine(1, u, 7, 5, SpecialPortLayout),
            "      1  ---" + Sp(6) + "/     :  +    2   (     3^) [     4v]     123   "
            "( 30000^) (     0^) (      9)");
  // The last cell ends in a blank, which is trimmed.
  SetWarps(u, 1, {123}, {twoWay});
  EXPECT_EQ(FormatSectorLine(1, u, 1, 5, SpecialPortLayout),
            "      1  ---" + Sp(6) + "/     :     123");

  Universe small(100, 5);
  small[3].explored = 1;
  SetWarps(small, 3, {88}, {oneWayIn});
  EXPECT_EQ(FormatSectorLine(3, small, 1, 3, BubbleLayout), "    3  ---       n/a  : (  88v)");
  EXPECT_EQ(FormatSectorLine(3, small, 1, 3, SpecialPortLayout), "    3  ---    /     : (  88v)");
}

TEST(SectorLine, NotesArePaddedToTheWarpSlots) {
  Universe u(20000, 5);
  u[1].explored = 1;
  u[2].explored = 1;
  SetWarps(u, 1, {2, 3}, {twoWay, oneWayOut});
  u[1].note = "sd nearby";
  const std::string lead = "      1  ---" + Sp(6) + "/     :       2   (     3^) ";
  EXPECT_EQ(FormatSectorLine(1, u, 4, 5, SpecialPortLayout),
            lead + Sp(20) + " notes: sd nearby");
  u[1].log = "visited";
  EXPECT_EQ(FormatSectorLine(1, u, 4, 5, SpecialPortLayout),
            lead + Sp(20) + " notes: sd nearby (visited)");
  u[1].note.clear();
  EXPECT_EQ(FormatSectorLine(1, u, 4, 5, SpecialPortLayout), lead + Sp(20) + " notes: (visited)");
  // Fewer slots than warps: no padding, two blanks before the notes.
  EXPECT_EQ(FormatSectorLine(1, u, 1, 5, SpecialPortLayout), lead + " notes: (visited)");
  EXPECT_EQ(FormatSectorLine(1, u, 0, 5, SpecialPortLayout), lead + " notes: (visited)");
  // Trailing blanks of a note are trimmed with the line.
  u[1].log.clear();
  u[1].note = "x \t\r\n";
  EXPECT_EQ(FormatSectorLine(1, u, 2, 5, SpecialPortLayout), lead + " notes: x");
  // Without warps the notes sit one column further right.
  u[9].explored = 1;
  u[9].note = "n";
  EXPECT_EQ(FormatSectorLine(9, u, 1, 5, SpecialPortLayout),
            "      9  ---" + Sp(6) + "/     :  " + Sp(10) + " notes: n");
}

// With widths up to 4 the header's "notes" stands over the notes of a line with
// warps; with width 5 the header sits one column left.
TEST(SectorLine, HeaderLabelsSitOverTheirColumns) {
  for (int w = 1; w <= 5; ++w) {
    std::uint16_t n = 1;
    for (int i = 1; i < w; ++i) n = static_cast<std::uint16_t>(n * 10);
    Universe u(n, 5);
    SetWarps(u, 1, {1}, {twoWay});
    u[1].explored = 1;
    u[1].note = "n";
    u[1].bubble = BubbleRecord{2, 0, 1, 1};
    for (std::uint8_t layout : {0, 2, 3}) {
      const std::string header = FormatSectorLine(0, u, 5, static_cast<std::uint8_t>(w), layout);
      const std::string line = FormatSectorLine(1, u, 5, static_cast<std::uint8_t>(w), layout);
      const std::size_t shift = w == 5 ? 1 : 0;
      EXPECT_EQ(header.find("notes") + shift, line.find("notes:")) << w << " " << int(layout);
      EXPECT_EQ(header.find("xxx") + shift, line.find("---")) << w << " " << int(layout);
      EXPECT_EQ(header.find(": warps") + shift, line.find(" : ") + 1) << w << " " << int(layout);
      if (layout != BubbleLayout) {
        EXPECT_EQ(header.find("/ucd") + shift, line.find('/')) << w << " " << int(layout);
      }
    }
  }
}

TEST(SectorLine, AppendKeepsWhatTheBufferHeld) {
  Universe u(100, 5);
  std::string buffer = "  ";
  AppendSectorLine(buffer, 9, u, 0, 3, SpecialPortLayout);
  EXPECT_EQ(buffer, "  " + FormatSectorLine(9, u, 0, 3, SpecialPortLayout));
  buffer = "x";
  AppendSectorLine(buffer, 0, u, 0, 3, SpecialPortLayout);
  EXPECT_EQ(buffer, "x" + FormatSectorLine(0, u, 0, 3, SpecialPortLayout));
}

// The marks table gives every warp cell the brackets and fig mark that the
// target's own Sector gives: unexplored, a port not reporting, figs, and targets
// outside the universe.
TEST(SectorMarks, WarpCellsAsFromTheTargetsThemselves) {
  Universe u(20, 5);
  u[2].explored = 1;
  u[3].explored = 1;
  u[3].port = Port(0, 1, {100, 100, 100}, {1, 2, 3});
  u[4].explored = 1;
  u[4].port = Port(1, 1, {100, 100, 100}, {1, 2, 3});
  u[4].fig = 1;
  u[5].fig = 1;
  u[6].explored = 1;
  u[6].port = Port(0, 2, {50, 50, 50}, {1, 2, 3});
  u[6].fig = 1;
  SetWarps(u, 1, {2, 3, 4, 5, 6, 7, 0, 21, 65535}, {1, 0, 2, 1, 0, 2, 0, 0, 0});
  u[1].note = "n";
  const SectorMarks marks(u);
  for (std::uint8_t layout : {BubbleLayout, SpecialPortLayout, FullLayout}) {
    std::string plain;
    std::string marked;
    AppendSectorLine(plain, 1, u, 12, 2, layout);
    AppendSectorLine(marked, 1, u, marks, 12, 2, layout);
    EXPECT_EQ(marked, plain);
    EXPECT_NE(plain.find(":    2   [  3^]  + 4v  (+ 5 ) [+ 6^] (  7v) (  0^) ( 21^) ( 65535^)"),
              std::string::npos)
        << plain;
  }
}
