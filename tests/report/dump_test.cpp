#include "report/dump.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/console.h"
#include "platform/file.h"
#include "report/sector_line.h"
#include "tests/test_util.h"

namespace {

std::string Sp(std::size_t k) { return std::string(k, ' '); }

std::string Announced(const std::string& phase, const std::string& name) {
  const std::string shown = name.size() >= 34 ? "..." + name.substr(name.size() - 30) : name;
  return phase + shown + " .\n";
}

struct Capture {
  std::string text;
  Capture() { ConsoleCaptureTo(&text); }
  ~Capture() { ConsoleCaptureTo(nullptr); }
};

Universe SmallGame() {
  Universe u(12, 5);
  u[1].explored = 1;
  u[1].warps = WarpList{{2, 12}, {twoWay, oneWayOut}, 0};
  PortRecord port;
  port.reporting = 1;
  port.percent = {100, 50, 7};
  port.amount = {5000, 2000, 500};
  u[1].port = port;
  u[1].hopsFrom[kMslSlot] = 0;
  u[1].hopsTo[kMslSlot] = 0;
  u[2].explored = 1;
  u[2].fig = 1;
  u[2].warps = WarpList{{1}, {twoWay}, 0};
  u[2].note = "home";
  u[2].bubble = BubbleRecord{1, 0, 1, 1};
  u[12].warps = WarpList{{1}, {oneWayIn}, 0};
  return u;
}

}  // namespace

TEST(DumpReport, OneLinePerSectorAfterTheHeader) {
  ScratchDir dir;
  const std::string name = dir / "game_dump.txt";
  Universe u = SmallGame();
  Capture console;
  WriteDumpReport(u, 2, name);

  std::vector<std::string> lines = {
      "secto xxx (%%%) ore org equ te/ucd   msl  : warps ^=oneway out, v=oneway innotes",
      "   1  SSS (*50)  5k  2k 500   /      0,0  :  + 2   ( 12^)",
      " + 2  ---" + Sp(19) + " 1/  1   n/a  :    1  " + Sp(9) + "notes: home",
  };
  for (int s = 3; s <= 11; ++s) {
    lines.push_back(std::string(s < 10 ? "(  " : "( ") + std::to_string(s) + ") ---" + Sp(21) +
                    "/      n/a  :");
  }
  lines.push_back("( 12) ---" + Sp(21) + "/      n/a  :    1v");
  EXPECT_EQ(ReadFile(name), CrLf(lines));
  EXPECT_EQ(console.text, Announced("writing dump report: ", name));
  EXPECT_FALSE(FileExists(name + ".tmp~"));
}

TEST(DumpReport, UnseenSectorOfALargeUniverse) {
  ScratchDir dir;
  const std::string name = dir / "g_dump.txt";
  Universe u(20000, 5);
  Capture console;
  WriteDumpReport(u, 0, name);
  const std::string text = ReadFile(name);
  std::size_t lines = 0;
  for (char c : text) lines += c == '\n';
  EXPECT_EQ(lines, 20001u);
  const std::string nine = "(     9) ---" + Sp(24) + "/      n/a  :\r\n";
  EXPECT_NE(text.find("\r\n" + nine), std::string::npos);
  const std::string last = "\r\n( 20000) ---" + Sp(24) + "/      n/a  :\r\n";
  EXPECT_EQ(text.substr(text.size() - last.size()), last);
}

TEST(DumpReport, SingleSectorUniverse) {
  ScratchDir dir;
  const std::string name = dir / "d.txt";
  Universe u(1, 5);
  Capture console;
  WriteDumpReport(u, 0, name);
  EXPECT_EQ(ReadFile(name),
            CrLf({"sect xxx (%%%) ore org equ e/ucd   msl  : warps ^=oneway out, v=oneway innotes",
                  "( 1) ---" + Sp(20) + "/      n/a  :"}));
}

// A report that fails anywhere on the way leaves the previous one untouched.
TEST(DumpReport, FailureKeepsTheOldReport) {
  ScratchDir dir;
  const std::string name = dir / "game_dump.txt";
  Universe u = SmallGame();
  Capture console;
  SetFileFaultAt(0);
  WriteDumpReport(u, 2, name);
  const std::uint64_t operations = FileOperationCount();
  ASSERT_GE(operations, 3u);
  for (std::uint64_t k = 1; k <= operations; ++k) {
    WriteFile(name, "old report\r\n");
    SetFileFaultAt(k);
    EXPECT_THROW(WriteDumpReport(u, 2, name), IoError) << k;
    SetFileFaultAt(0);
    EXPECT_EQ(ReadFile(name), "old report\r\n") << k;
    EXPECT_FALSE(FileExists(name + ".tmp~")) << k;
  }
}
