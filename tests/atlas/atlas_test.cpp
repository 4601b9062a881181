#include "atlas/atlas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "atlas/atlas_page.h"
#include "platform/console.h"
#include "report/map_changes.h"
#include "tests/test_util.h"
#include "text/text.h"
#include "universe/map_file.h"

namespace {

std::string Json(std::string_view bytes) {
  std::string out;
  AppendJsonText(out, bytes);
  return out;
}

// Sectors 1..4 with slots msl, terra, alpha centauri (3), rylos and stardock
// not set, and one distance reference (2).
Universe SmallGame() {
  Universe u(4, 6);
  u[1].explored = 1;
  u[1].warps = WarpList{{2, 9}, {twoWay, oneWayOut}, 0};
  PortRecord port;
  port.reporting = 1;
  port.buying = 3;
  port.percent = {100, 50, 7};
  port.amount = {2500, 2000, 500};
  u[1].port = port;
  u[2].explored = 1;
  u[2].fig = 1;
  u[2].warps = WarpList{{1, 3}, {twoWay, oneWayOut}, 0};
  u[3].warps = WarpList{{2}, {oneWayIn}, 1};
  u[3].bubble = BubbleRecord{1, 1, 0, 2};
  u[3].note = "</script> \"x\"";
  u[2].log = "caf\xe9";
  const std::uint8_t to[4][6] = {{0, 0, 2, 255, 255, 1}, {1, 1, 1, 255, 255, 0}, {255, 255, 255, 255, 255, 255},
                                 {255, 255, 255, 255, 255, 255}};
  const std::uint8_t from[4][6] = {{0, 0, 2, 255, 255, 1}, {1, 1, 1, 255, 255, 0}, {2, 2, 0, 255, 255, 1},
                                   {255, 255, 255, 255, 255, 255}};
  for (std::uint16_t s = 1; s <= 4; ++s) {
    for (std::size_t k = 0; k < 6; ++k) {
      u[s].hopsTo[k] = to[s - 1][k];
      u[s].hopsFrom[k] = from[s - 1][k];
    }
  }
  return u;
}

}  // namespace

TEST(AtlasText, NoTextCanEndTheScriptOrReadAsMarkup) {
  constexpr char kHostile[] = "</script><!-- \"q\" \\ & \0\t\x7f";
  EXPECT_EQ(Json(std::string_view(kHostile, sizeof kHostile - 1)),
            "\"\\u003c/script\\u003e\\u003c!-- \\\"q\\\" \\\\ \\u0026 \\u0000\\u0009\\u007f\"");
  // Bytes beyond ASCII are the Windows-1252 characters they stand for.
  EXPECT_EQ(Json("\x80\x81\x9f\xa0\xe9\xff"), "\"\\u20ac\\u0081\\u0178\\u00a0\\u00e9\\u00ff\"");
  EXPECT_EQ(Json(""), "\"\"");
}

TEST(AtlasData, EverySectorInNumbersAndTexts) {
  const Universe u = SmallGame();
  const Specials specials = {0, 1, 3, 0, 0, 2};
  EXPECT_EQ(
      AtlasData(u, specials, "my<game>", MapChanges{}),
      "{\"format\":1,\"game\":\"my\\u003cgame\\u003e\",\"sectors\":4,\"specials\":[0,1,3,0,0,2],"
      "\"flags\":\"1300\",\"warps\":[3,9,36,3,5,12,2,10,0],"
      "\"ports\":[1,11,100,50,7,2500,2000,500],\"portClass\":\"bBS\","
      "\"hopsTo\":[[0,1,255,255],[0,1,255,255],[2,1,255,255],null,null,[1,0,255,255]],"
      "\"hopsFrom\":[[0,1,2,255],[0,1,2,255],[2,1,0,255],null,null,[1,0,1,255]],"
      "\"bubbles\":[3,2,1,1],\"notes\":[3,\"\\u003c/script\\u003e \\\"x\\\"\"],"
      "\"logs\":[2,\"caf\\u00e9\"],"
      "\"changes\":{\"state\":0,\"records\":0,\"explored\":[],\"newPort\":[],\"portGone\":[],"
      "\"classChanged\":[],\"up\":[],\"down\":[],\"newWarps\":[],\"warpsGone\":[]}}");
}

TEST(AtlasData, LongDistanceListsAreCutAndALaneNobodyWalkedIsNull) {
  Universe u(2, 40);
  const Specials specials(40, 2);
  const std::string data = AtlasData(u, specials, "g", MapChanges{});
  const std::string columns = "[255,255],";
  std::size_t count = 0;
  for (std::size_t at = data.find(columns); at != std::string::npos; at = data.find(columns, at + 1)) ++count;
  // Slots 1..24 of each table; slot 0, the lane, is null: no sector lies on it.
  EXPECT_EQ(count, 2 * (kAtlasSlots - 1) - 2) << data;
  EXPECT_NE(data.find("\"hopsTo\":[null,[255,255]"), std::string::npos);
}

TEST(AtlasData, TheHistoryFollowsTheChangesAndIsOnlyThereWithAHistory) {
  const Universe u = SmallGame();
  const Specials specials{0, 1, 3, 0, 0, 2};
  const std::string without = AtlasData(u, specials, "g", MapChanges{});
  HistoryDigest empty;
  EXPECT_EQ(AtlasData(u, specials, "g", MapChanges{}, &empty),
            without.substr(0, without.size() - 1) +
                ",\"history\":{\"at\":[],\"known\":[],\"ports\":[],\"observed\":[]}}");

  HistoryDigest history;
  history.runs = {{1, "2026-01-01 10:00:00", 20, 5, 2, "00"},
                  {2, "2026-01-02 10:00:00", 20, 6, 2, "01"},
                  {3, "2026-01-03 10:30:00", 20, 8, 1, "02"}};
  const auto seen = [](std::uint16_t s, std::uint32_t run, std::uint16_t ore, std::uint16_t org,
                       std::uint16_t equ) {
    PortObservation o;
    o.sector = s;
    o.run = run;
    o.amount = {ore, org, equ};
    return o;
  };
  history.observations = {seen(7, 1, 100, 0, 2500), seen(7, 3, 90, 16, 2500),
                          seen(12, 2, 1, 65535, 31)};
  const std::string data = AtlasData(u, specials, "g", MapChanges{}, &history);
  // Sector 7, run 0 (the first): 100 (200 x 2: 16 + 32, 12), 0, 2500 (5000:
  // 8 + 32, 28 + 32, 4); run 2, a run skipped: -10 (19 x 2 + 1: 7 + 32, 1),
  // 0, +16 (32: 0 + 32, 1), 0. Sector 12, run 1, one skipped: 1 (2 x 2 + 1),
  // 0, 65535 (131070: 30 + 32, 31 + 32, 31 + 32, 3), 31 (62: 30 + 32, 1).
  EXPECT_EQ(data.substr(without.size() - 1),
            ",\"history\":{\"at\":[\"2026-01-01 10:00:00\",\"2026-01-02 10:00:00\","
            "\"2026-01-03 10:30:00\"],\"known\":[5,6,8],\"ports\":[2,2,1],"
            "\"observed\":[7,\"wMAo8EnBAgBA\",12,\"FA+//D+B\"]}}");
}

namespace {

void Warps(Universe& u, std::uint16_t s, std::vector<std::uint16_t> targets,
           std::vector<std::uint32_t> kinds = {}) {
  if (kinds.empty()) kinds.assign(targets.size(), oneWayOut);
  u[s].warps = WarpList{std::move(targets), std::move(kinds), 0};
}

void Port(Universe& u, std::uint16_t s, std::uint8_t buying, std::array<std::uint16_t, 3> amount,
          std::array<std::uint8_t, 3> percent = {100, 100, 100}) {
  PortRecord port;
  port.reporting = 1;
  port.buying = buying;
  port.amount = amount;
  port.percent = percent;
  u[s].port = port;
}

}  // namespace

// Each kind of change against the map's snapshot, collected by the comparison
// and carried in the data block; the change log's lines of the same comparison
// name the same sectors and numbers.
TEST(AtlasData, ChangesAgainstTheMap) {
  ScratchDir dir;
  Universe before = CreateUniverse(9, 5);
  Universe now = CreateUniverse(9, 5);
  now[1].explored = 1;                       // explored
  Port(now, 2, 3, {1, 1, 1});                // new port
  Port(before, 3, 3, {1, 1, 1});             // port gone
  Port(before, 4, 3, {10, 10, 10});          // class changed, amounts as they were
  Port(now, 4, 5, {10, 10, 10});
  // Ore up by 500; organics 1 % down, not more, is no change; equipment
  // down by 20, just more than 1 % of what it is now.
  Port(before, 5, 0, {1000, 2000, 2000});
  Port(now, 5, 0, {1500, 1981, 1980});
  Warps(before, 6, {7, 8});                  // new warps
  Warps(now, 6, {7, 8, 9, 11});
  Warps(before, 7, {6, 8, 9}, {oneWayOut, twoWay, oneWayIn});  // a warp gone; 9 was a warp in
  Warps(now, 7, {8});
  Warps(before, 8, {1, 2});                  // one gone, one new
  Warps(now, 8, {2, 3});
  Warps(before, 9, {1});                     // no list now: the log's list is empty
  {
    std::string console;
    ConsoleCaptureTo(&console);
    WriteMapFile(before, dir / "g.map");
    ConsoleCaptureTo(nullptr);
  }
  MapChanges changes;
  {
    std::string console;
    ConsoleCaptureTo(&console);
    OutputFile log(dir / "log.txt");
    changes = CompareMapFile(now, dir / "g.map", MapChangesDetail::atlas);
    WriteMapChanges(changes, dir / "g.map", log);
    log.Commit();
    ConsoleCaptureTo(nullptr);
  }
  EXPECT_EQ(ReadFile(dir / "log.txt"),
            CrLf({" " + dir / "g.map" + ": (reclen=21) ",
                  "  comparing recent cim data with previous map data...",
                  "  3: new port found.", "  5: fuel ore up by 500.", "  6: new warps found (9 11)",
                  "  8: new warps found (3)", "  9: new warps found ()", "  9 sectors read."}));
  const std::string data = AtlasData(now, {0, 1, 0, 0, 0}, "g", changes);
  EXPECT_EQ(data.substr(data.find(",\"changes\":")),
            ",\"changes\":{\"state\":3,\"records\":9,\"explored\":[1],\"newPort\":[2],"
            "\"portGone\":[3],\"classChanged\":[4,3,5],\"up\":[5,0,500],\"down\":[5,2,20],"
            "\"newWarps\":[6,2,9,11,8,1,3,9,0],\"warpsGone\":[7,1,6,8,1,1,9,1,1]}}");

  // A route file read after the comparison lists 8 -> 1 and 9 -> 1 again: they
  // are not gone. A warp 6 -> 7 is no way from 7 to 6.
  Warps(now, 7, {8, 6}, {oneWayOut, oneWayIn});
  Warps(now, 8, {2, 3, 1});
  Warps(now, 9, {1});
  const std::string later = AtlasData(now, {0, 1, 0, 0, 0}, "g", changes);
  EXPECT_EQ(later.substr(later.find(",\"warpsGone\":")), ",\"warpsGone\":[7,1,6]}}");
}

TEST(Atlas, ThePageWithTheDataInItsPlace) {
  ScratchDir dir;
  std::string console;
  ConsoleCaptureTo(&console);
  WriteAtlas(SmallGame(), {0, 1, 3, 0, 0, 2}, "g", MapChanges{}, nullptr, dir / "g_atlas.html");
  ConsoleCaptureTo(nullptr);
  EXPECT_EQ(console, "writing atlas: " + ShortFileName(dir / "g_atlas.html") + " .\n");
  const std::string page = ReadFile(dir / "g_atlas.html");
  EXPECT_EQ(page, std::string(AtlasPageHead()) +
                      AtlasData(SmallGame(), {0, 1, 3, 0, 0, 2}, "g", MapChanges{}) +
                      std::string(AtlasPageTail()));
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_TRUE(AtlasPageHead().ends_with("<script type=\"application/json\" id=\"atlas-data\">"));
  EXPECT_TRUE(AtlasPageTail().starts_with("</script>"));
}

namespace {

// A module as the page embeds it: its import lines emptied and "export " taken
// off the starts of its lines, so that all modules share one script.
std::string AsEmbeddedModule(const std::string& text) {
  std::string embedded;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    const std::string_view line = std::string_view(text).substr(start, end - start);
    if (line.starts_with("import ")) {
      if (line.ends_with('\n')) embedded += '\n';
    } else {
      embedded += line.substr(line.starts_with("export ") ? 7 : 0);
    }
    start = end;
  }
  return embedded;
}

// Where `built` first departs from `page`, npos where they are the same.
std::size_t FirstDifferenceAt(std::string_view built, std::string_view page) {
  if (built == page) return std::string::npos;
  return static_cast<std::size_t>(std::mismatch(built.begin(), built.end(), page.begin(), page.end()).first -
                                  built.begin());
}

}  // namespace

// The page built into the program is atlas/page.html with each file it names in
// its place (/*@embed FILE*/ as it is, /*@module FILE*/ as a module is embedded)
// and cut at /*@data*/. The goldens keep only the data block of a page and
// expect the rest to be this page, so together they pin what a run writes to
// the files in atlas/, without holding the text of any of them.
TEST(AtlasPage, IsPageHtmlWithEveryFileItNamesInItsPlace) {
  const std::string dir = std::string(KORVAN_SOURCE_DIR) + "/atlas/";
  const std::string html = ReadFile(dir + "page.html");
  std::string built;
  std::string head;
  std::size_t at = 0;
  for (std::size_t open = html.find("/*@"); open != std::string::npos; open = html.find("/*@", at)) {
    const std::size_t close = html.find("*/", open);
    ASSERT_NE(close, std::string::npos);
    built += html.substr(at, open - at);
    const std::string marker = html.substr(open + 3, close - open - 3);
    at = close + 2;
    if (marker == "data") {
      head = std::move(built);
      built.clear();
    } else if (marker.starts_with("embed ")) {
      built += ReadFile(dir + marker.substr(6));
    } else {
      ASSERT_TRUE(marker.starts_with("module ")) << marker;
      built += AsEmbeddedModule(ReadFile(dir + marker.substr(7)));
    }
  }
  built += html.substr(at);
  EXPECT_EQ(FirstDifferenceAt(head, AtlasPageHead()), std::string::npos)
      << "the byte at which the built-in page up to its data departs from page.html's";
  EXPECT_EQ(FirstDifferenceAt(built, AtlasPageTail()), std::string::npos)
      << "the byte at which the built-in page after its data departs from page.html's";
}
