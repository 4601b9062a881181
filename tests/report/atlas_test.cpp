#include "report/atlas.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/console.h"
#include "report/atlas_page.h"
#include "tests/test_util.h"
#include "text/text.h"

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
  EXPECT_EQ(AtlasData(u, 4, specials, 6, "my<game>"),
            "{\"format\":1,\"game\":\"my\\u003cgame\\u003e\",\"sectors\":4,\"specials\":[0,1,3,0,0,2],"
            "\"flags\":\"1300\",\"warps\":[3,9,36,3,5,12,2,10,0],"
            "\"ports\":[1,11,100,50,7,2500,2000,500],\"portClass\":\"bBS\","
            "\"hopsTo\":[[0,1,255,255],[0,1,255,255],[2,1,255,255],null,null,[1,0,255,255]],"
            "\"hopsFrom\":[[0,1,2,255],[0,1,2,255],[2,1,0,255],null,null,[1,0,1,255]],"
            "\"bubbles\":[3,2,1,1],\"notes\":[3,\"\\u003c/script\\u003e \\\"x\\\"\"],"
            "\"logs\":[2,\"caf\\u00e9\"]}");
}

TEST(AtlasData, LongDistanceListsAreCutAndALaneNobodyWalkedIsNull) {
  Universe u(2, 40);
  const Specials specials(40, 2);
  const std::string data = AtlasData(u, 2, specials, 40, "g");
  const std::string columns = "[255,255],";
  std::size_t count = 0;
  for (std::size_t at = data.find(columns); at != std::string::npos; at = data.find(columns, at + 1)) ++count;
  // Slots 1..24 of each table; slot 0, the lane, is null: no sector lies on it.
  EXPECT_EQ(count, 2 * (kAtlasSlots - 1) - 2) << data;
  EXPECT_NE(data.find("\"hopsTo\":[null,[255,255]"), std::string::npos);
}

TEST(Atlas, ThePageWithTheDataInItsPlace) {
  ScratchDir dir;
  std::string console;
  ConsoleCaptureTo(&console);
  WriteAtlas(SmallGame(), 4, {0, 1, 3, 0, 0, 2}, 6, "g", dir / "g_atlas.html");
  ConsoleCaptureTo(nullptr);
  EXPECT_EQ(console, "writing atlas: " + ShortFileName(dir / "g_atlas.html") + " .\n");
  const std::string page = ReadFile(dir / "g_atlas.html");
  EXPECT_EQ(page, std::string(AtlasPageHead()) + AtlasData(SmallGame(), 4, {0, 1, 3, 0, 0, 2}, 6, "g") +
                      std::string(AtlasPageTail()));
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_TRUE(AtlasPageHead().ends_with("<script type=\"application/json\" id=\"atlas-data\">"));
  EXPECT_TRUE(AtlasPageTail().starts_with("</script>"));
}
