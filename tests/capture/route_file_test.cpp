#include "capture/route_file.h"

#include <gtest/gtest.h>

#include "tests/capture/side_inputs_util.h"
#include "tests/test_util.h"

namespace {

// Reads `text` as a route file and returns the change-log count line's count
// text; the console line is checked on the way.
std::string ReadRoutes(Universe& universe, const std::string& text) {
  ScratchDir dir;
  const std::string name = dir / "routes.ztm";
  WriteFile(name, text);
  std::string console;
  {
    ConsoleCapture capture;
    OutputFile log(dir / "g_changelog.txt", OutputFile::Mode::Append);
    ReadRouteFile(universe, name, log);
    log.Commit();
    console = capture.text();
  }
  EXPECT_EQ(console, "reading ztm file: ..." + Last30(name) + " .\n");
  std::string changeLog = ReadFile(dir / "g_changelog.txt");
  const std::string head = " " + name + ": ";
  const std::string tail = " sectors read.\r\n";
  EXPECT_EQ(changeLog.substr(0, head.size()), head);
  EXPECT_GE(changeLog.size(), head.size() + tail.size());
  EXPECT_EQ(changeLog.substr(changeLog.size() - tail.size()), tail);
  return changeLog.substr(head.size(), changeLog.size() - head.size() - tail.size());
}

// "2,5,9" for a list, "-" for none; kinds must all be oneWayOut.
std::string Targets(const Universe& universe, std::uint16_t s) {
  const auto& warps = universe[s].warps;
  if (!warps) return "-";
  std::string text;
  for (std::size_t i = 0; i < warps->targets.size(); ++i) {
    if (i > 0) text += ',';
    text += std::to_string(warps->targets[i]);
    EXPECT_EQ(warps->kinds[i], oneWayOut);
  }
  EXPECT_EQ(warps->kinds.size(), warps->targets.size());
  return text;
}

}  // namespace

TEST(RouteFile, ReadsTheWarpsOfARoute) {
  Universe universe = CreateUniverse(300, 5);
  EXPECT_EQ(ReadRoutes(universe, "Command [TL=00:00:00]:\r\nTO > 234\r\n1 > 2 > (3) > 234\r\n\r\n"),
            "3");
  EXPECT_EQ(Targets(universe, 1), "2");
  EXPECT_EQ(Targets(universe, 2), "3");
  EXPECT_EQ(Targets(universe, 3), "234");
  EXPECT_EQ(Targets(universe, 234), "-");
  EXPECT_FALSE(universe[1].explored);
}

TEST(RouteFile, TheSameRouteTwiceCountsTwice) {
  Universe universe = CreateUniverse(300, 5);
  const std::string route = "TO > 234\n1 > 2 > (3) > 234\n\n";
  EXPECT_EQ(ReadRoutes(universe, route + route), "6");
  EXPECT_EQ(Targets(universe, 1), "2");
  EXPECT_EQ(Targets(universe, 2), "3");
  EXPECT_EQ(Targets(universe, 3), "234");
}

TEST(RouteFile, OnlyAClosedRouteAfterAnUpperCasePromptIsApplied) {
  Universe universe = CreateUniverse(300, 5);
  // Lower case prompt; a prompt followed by a blank line; blank lines made of
  // blanks and tabs; a route left open at the end of the file.
  EXPECT_EQ(ReadRoutes(universe,
                       "to > 5\n1 > 5\n\nTO > 5\n \t \n1 > 5\n\nTO > 9\n8 > 9\n"),
            "0");
  EXPECT_EQ(Targets(universe, 1), "-");
  EXPECT_EQ(Targets(universe, 8), "-");
}

TEST(RouteFile, JoinsAPathPrintedOverSeveralLines) {
  Universe universe = CreateUniverse(300, 5);
  EXPECT_EQ(ReadRoutes(universe, "  TO > 4\n1 > 2 >\n\t(3) > 4  \n\n"), "3");
  EXPECT_EQ(Targets(universe, 1), "2");
  EXPECT_EQ(Targets(universe, 2), "3");
  EXPECT_EQ(Targets(universe, 3), "4");
}

TEST(RouteFile, InsertsBeforeTheFirstGreaterTarget) {
  Universe universe = CreateUniverse(300, 5);
  universe[7].warps.emplace();
  universe[7].warps->targets = {2, 9, 4};
  universe[7].warps->kinds = {oneWayOut, oneWayOut, oneWayOut};
  universe[7].warps->inCount = 1;
  EXPECT_EQ(ReadRoutes(universe, "TO > 5\n7 > 5\n\nTO > 2\n7 > 2\n\n"), "2");
  EXPECT_EQ(Targets(universe, 7), "2,5,9,4");
  EXPECT_EQ(universe[7].warps->inCount, 0);
}

TEST(RouteFile, SkipsHopsThroughSectorsOutsideTheUniverse) {
  Universe universe = CreateUniverse(10, 5);
  EXPECT_EQ(ReadRoutes(universe, "TO > 4\n1 > 2 > 11 > 3 > 4 > 0 > 5\n\n"), "6");
  EXPECT_EQ(Targets(universe, 1), "2");
  EXPECT_EQ(Targets(universe, 2), "-");
  EXPECT_EQ(Targets(universe, 3), "4");
  EXPECT_EQ(Targets(universe, 4), "-");
}

TEST(RouteFile, StopsAtAWordThatIsNoNumber) {
  Universe universe = CreateUniverse(100, 5);
  // The prompt inside an open route is a line of it; "TO" then ends the walk.
  // A line of nothing but brackets gives a route without words.
  EXPECT_EQ(ReadRoutes(universe,
                       "TO > 5\n1 > 2\nTO > 9\n3 > 4\n\nTO > 70000\n5 > 70000 > 6\n\n"
                       "TO > 1\n(>)\n\nTO > 8\n7 > 8\n\n"),
            "1");
  EXPECT_EQ(Targets(universe, 1), "2");
  EXPECT_EQ(Targets(universe, 3), "-");
  EXPECT_EQ(Targets(universe, 5), "-");
  EXPECT_EQ(Targets(universe, 7), "8");
}

TEST(RouteFile, AFullListTakesNoMoreWarps) {
  Universe universe = CreateUniverse(400, 5);
  WarpList full;
  for (std::uint16_t t = 2; t <= 256; ++t) {
    full.targets.push_back(t);
    full.kinds.push_back(oneWayOut);
  }
  universe[1].warps = full;
  EXPECT_EQ(ReadRoutes(universe, "TO > 5\n1 > 300 > 5\n\n"), "2");
  EXPECT_EQ(universe[1].warps->targets, full.targets);
  EXPECT_EQ(Targets(universe, 300), "5");
}

TEST(RouteFile, MissingFileWritesNothing) {
  ScratchDir dir;
  WriteFile(dir / "g_changelog.txt", "");
  Universe universe = CreateUniverse(10, 5);
  ConsoleCapture capture;
  {
    OutputFile log(dir / "g_changelog.txt", OutputFile::Mode::Append);
    ReadRouteFile(universe, dir / "none.ztm", log);
    log.Commit();
  }
  EXPECT_EQ(capture.text(), "");
  EXPECT_EQ(ReadFile(dir / "g_changelog.txt"), "");
}
