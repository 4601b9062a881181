#include "report/oneways.h"

#include <gtest/gtest.h>

#include "platform/console.h"
#include "tests/test_util.h"

namespace {

struct CaptureConsole {
  std::string text;
  CaptureConsole() { ConsoleCaptureTo(&text); }
  ~CaptureConsole() { ConsoleCaptureTo(nullptr); }
};

void AddEntry(Universe& u, std::uint16_t s, std::uint16_t target, std::uint32_t kind) {
  if (!u[s].warps) u[s].warps = WarpList{};
  u[s].warps->targets.push_back(target);
  u[s].warps->kinds.push_back(kind);
}

// A reconciled one-way warp: out of `from`, in at `to`.
void AddOneWay(Universe& u, std::uint16_t from, std::uint16_t to) {
  AddEntry(u, from, to, oneWayOut);
  AddEntry(u, to, from, oneWayIn);
}

std::string Report(const Universe& u, const ScratchDir& dir) {
  CaptureConsole console;
  WriteOneWayReport(u, dir / "g_oneways.txt");
  return ReadFile(dir / "g_oneways.txt");
}

TEST(WriteOneWayReport, ListsEachOneWayWarpOutAndIn) {
  ScratchDir dir;
  Universe u = CreateUniverse(20000, 5);
  AddEntry(u, 1, 2, twoWay);
  AddEntry(u, 2, 1, twoWay);
  AddEntry(u, 12, 345, oneWayOut);
  AddEntry(u, 12, 7000, oneWayIn);
  AddEntry(u, 345, 12, oneWayIn);
  AddEntry(u, 7000, 12, oneWayOut);
  EXPECT_EQ(Report(u, dir), CrLf({"oneways out:", "    12-->345     7000-->12", "",
                                  "oneways in:", "    12<--7000     345<--12"}));
}

TEST(WriteOneWayReport, WithoutOneWayWarpsHoldsOnlyTheHeadings) {
  ScratchDir dir;
  Universe u = CreateUniverse(100, 5);
  AddEntry(u, 1, 2, twoWay);
  AddEntry(u, 2, 1, twoWay);
  EXPECT_EQ(Report(u, dir), CrLf({"oneways out:", "", "oneways in:"}));
}

TEST(WriteOneWayReport, PutsFiveEntriesOnALine) {
  ScratchDir dir;
  Universe u = CreateUniverse(100, 5);
  for (std::uint16_t s = 1; s <= 5; ++s) AddOneWay(u, s, static_cast<std::uint16_t>(50 + s));
  EXPECT_EQ(Report(u, dir),
            CrLf({"oneways out:", "   1-->51     2-->52     3-->53     4-->54     5-->55", "",
                  "oneways in:", "  51<--1     52<--2     53<--3     54<--4     55<--5"}));

  AddOneWay(u, 6, 100);
  EXPECT_EQ(Report(u, dir),
            CrLf({"oneways out:", "   1-->51     2-->52     3-->53     4-->54     5-->55",
                  "   6-->100", "", "oneways in:",
                  "  51<--1     52<--2     53<--3     54<--4     55<--5", " 100<--6"}));
}

TEST(WriteOneWayReport, WritesTargetsOutsideTheUniverseAsNumbers) {
  ScratchDir dir;
  Universe u = CreateUniverse(100, 5);
  AddEntry(u, 100, 40000, oneWayOut);
  AddEntry(u, 7, 0, oneWayOut);
  EXPECT_EQ(Report(u, dir), CrLf({"oneways out:", "   7-->0    100-->40000", "", "oneways in:"}));
}

TEST(WriteOneWayReport, ConsoleShortensNamesOf34Characters) {
  ScratchDir dir;
  ASSERT_LE(dir.path().size(), 28u);  // room for a name of 33 characters
  Universe u = CreateUniverse(10, 5);
  const std::string name33 = dir.path() + std::string(33 - dir.path().size() - 4, 'a') + ".txt";
  const std::string name34 = dir.path() + std::string(34 - dir.path().size() - 4, 'b') + ".txt";
  CaptureConsole console;
  WriteOneWayReport(u, name33);
  WriteOneWayReport(u, name34);
  EXPECT_EQ(console.text, "writing one-way report: " + name33 + " .\n" +
                              "writing one-way report: ..." + name34.substr(4) + " .\n");
}

}  // namespace
