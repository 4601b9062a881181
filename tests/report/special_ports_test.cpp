#include "report/special_ports.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/console.h"
#include "platform/file.h"
#include "tests/test_util.h"

namespace {

struct Capture {
  std::string text;
  Capture() { ConsoleCaptureTo(&text); }
  ~Capture() { ConsoleCaptureTo(nullptr); }
};

// The header of the special port layout for w = 2 and 8 warp slots.
const std::string kHeader =
    " secto xxx te/ucd  : warps ^=oneway out, v=oneway in" + std::string(26, ' ') + "notes";
// Seven warps to unseen sectors 11..17, the last one a one-way warp in.
const std::string kWarps = "( 11 ) ( 12 ) ( 13 ) ( 14 ) ( 15 ) ( 16^) ( 17v)";

// Sector s explored, with `count` warps to 11.. and `inCount` inserted entries.
void RichSector(Universe& u, std::uint16_t s, int count, std::uint8_t inCount,
                std::uint8_t hopsFromTerra) {
  WarpList list;
  for (int i = 0; i < count; ++i) {
    list.targets.push_back(static_cast<std::uint16_t>(11 + i));
    list.kinds.push_back(i == count - 1 ? oneWayIn : i == count - 2 ? oneWayOut : twoWay);
  }
  list.inCount = inCount;
  u[s].explored = 1;
  u[s].warps = list;
  u[s].hopsFrom[kTerraSlot] = hopsFromTerra;
}

PortRecord FullPort(std::uint8_t buying) {
  PortRecord port;
  port.reporting = 1;
  port.buying = buying;
  port.percent = {100, 100, 100};
  port.amount = {5000, 5000, 5000};
  return port;
}

std::string Write(const Universe& u, const std::string& name, std::string* consoleText = nullptr) {
  Capture console;
  WriteSpecialPortReport(u, 8, name);
  if (consoleText != nullptr) *consoleText = console.text;
  return ReadFile(name);
}

}  // namespace

TEST(SpecialPortReport, GroupsByHopsFromTerra) {
  ScratchDir dir;
  const std::string name = dir / "game_special.txt";
  Universe u(30, 5);
  RichSector(u, 1, 7, 1, 0);  // terra itself: never listed
  RichSector(u, 5, 7, 1, 4);
  RichSector(u, 6, 7, 1, 4);
  u[6].port = FullPort(5);  // BSB: not a candidate
  RichSector(u, 7, 6, 1, 4);  // six warps only
  RichSector(u, 8, 7, 0, 4);  // nothing inserted into its own list
  RichSector(u, 9, 7, 1, 2);
  u[9].port = FullPort(7);
  RichSector(u, 20, 8, 2, 4);
  RichSector(u, 10, 7, 1, 255);  // no path from terra
  std::string console;
  EXPECT_EQ(
      Write(u, name, &console),
      CrLf({"special port report", "2 hops from terra", kHeader, "    9  BBB   /     : " + kWarps,
            "4 hops from terra", kHeader, "    5  ---   /     : " + kWarps,
            "   20  ---   /     : ( 11 ) ( 12 ) ( 13 ) ( 14 ) ( 15 ) ( 16 ) ( 17^) ( 18v)",
            "255 hops from terra", kHeader, "   10  ---   /     : " + kWarps}));
  const std::string shown = name.size() >= 34 ? "..." + name.substr(name.size() - 30) : name;
  EXPECT_EQ(console, "writing special port report: " + shown + " .\n");
  EXPECT_FALSE(FileExists(name + ".tmp~"));
}

TEST(SpecialPortReport, DistancesWithoutCandidatesWriteNothing) {
  ScratchDir dir;
  Universe u(30, 5);
  RichSector(u, 3, 7, 1, 5);
  RichSector(u, 4, 7, 1, 2);
  RichSector(u, 8, 2, 0, 9);  // the farthest sector is no candidate
  EXPECT_EQ(Write(u, dir / "s.txt"), CrLf({"special port report", "2 hops from terra", kHeader,
                                           "    4  ---   /     : " + kWarps, "5 hops from terra",
                                           kHeader, "    3  ---   /     : " + kWarps}));
}

TEST(SpecialPortReport, NoCandidateGivesTheTitleOnly) {
  ScratchDir dir;
  Universe u(30, 5);
  RichSector(u, 3, 7, 0, 5);
  RichSector(u, 4, 6, 1, 2);
  EXPECT_EQ(Write(u, dir / "s.txt"), CrLf({"special port report"}));
  Universe empty(30, 5);
  EXPECT_EQ(Write(empty, dir / "s.txt"), CrLf({"special port report"}));
}

TEST(SpecialPortReport, FailureKeepsTheOldReport) {
  ScratchDir dir;
  const std::string name = dir / "game_special.txt";
  Universe u(30, 5);
  RichSector(u, 3, 7, 1, 5);
  SetFileFaultAt(0);
  Write(u, name);
  const std::uint64_t operations = FileOperationCount();
  ASSERT_GE(operations, 3u);
  for (std::uint64_t k = 1; k <= operations; ++k) {
    WriteFile(name, "old\r\n");
    SetFileFaultAt(k);
    Capture console;
    EXPECT_THROW(WriteSpecialPortReport(u, 8, name), IoError) << k;
    SetFileFaultAt(0);
    EXPECT_EQ(ReadFile(name), "old\r\n") << k;
    EXPECT_FALSE(FileExists(name + ".tmp~")) << k;
  }
}
