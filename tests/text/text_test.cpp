#include "text/text.h"

#include <gtest/gtest.h>

TEST(Words, CountsWordsBetweenDelimiters) {
  EXPECT_EQ(WordCount("", ';'), 0u);
  EXPECT_EQ(WordCount(";;;", ';'), 0u);
  EXPECT_EQ(WordCount("0;1;5", ';'), 3u);
  EXPECT_EQ(WordCount(";a;;b;", ';'), 2u);
}

TEST(Words, ExtractsTheNthWord) {
  EXPECT_EQ(ExtractWord("  12 - 2460 100%", 1, ' '), "12");
  EXPECT_EQ(ExtractWord("  12 - 2460 100%", 2, ' '), "-");
  EXPECT_EQ(ExtractWord("  12 - 2460 100%", 4, ' '), "100%");
  EXPECT_EQ(ExtractWord("a  b", 3, ' '), "");
  EXPECT_EQ(ExtractWord("a  b", 0, ' '), "");
  EXPECT_EQ(ExtractWord("", 1, ' '), "");
}

TEST(Words, CharPosIsOneBased) {
  EXPECT_EQ(CharPos(':', "/g:x"), 3u);
  EXPECT_EQ(CharPos(':', ""), 0u);
  EXPECT_EQ(CharPos(':', "abc"), 0u);
}

TEST(Trim, RemovesBlanksTabsAndLineEnds) {
  EXPECT_EQ(TrimLine(" \t 12 34 \r\n"), "12 34");
  EXPECT_EQ(TrimLine("\r\r"), "");
  EXPECT_EQ(TrimLine(""), "");
}

TEST(TextToInt, AcceptsSignAndLeadingBlanksOnly) {
  EXPECT_EQ(TextToInt("42", 0, 100), 42);
  EXPECT_EQ(TextToInt(" \t-7", -10, 10), -7);
  EXPECT_EQ(TextToInt("+7", 0, 10), 7);
  EXPECT_EQ(TextToInt("7 ", 0, 10), std::nullopt);
  EXPECT_EQ(TextToInt("", 0, 10), std::nullopt);
  EXPECT_EQ(TextToInt("-", -10, 10), std::nullopt);
  EXPECT_EQ(TextToInt("1x", 0, 10), std::nullopt);
  EXPECT_EQ(TextToInt("11", 0, 10), std::nullopt);
  EXPECT_EQ(TextToInt("99999999999999999999999", 0, 65535), std::nullopt);
  EXPECT_EQ(TextToWord("65535"), 65535);
  EXPECT_EQ(TextToWord("65536"), std::nullopt);
}

TEST(Numbers, WidthAndAlignment) {
  EXPECT_EQ(NumberWidth(9), 1);
  EXPECT_EQ(NumberWidth(500), 3);
  EXPECT_EQ(NumberWidth(20000), 5);
  std::string out;
  AppendRight(out, 42, 5);
  AppendLeft(out, 7, 3);
  AppendRight(out, 123456, 2);
  EXPECT_EQ(out, "   427  123456");
}

TEST(Announce, ShortensLongFileNames) {
  EXPECT_EQ(ShortFileName("game.sct"), "game.sct");
  std::string name33(33, 'a');
  EXPECT_EQ(ShortFileName(name33), name33);
  std::string name34 = "0123" + std::string(30, 'b');
  EXPECT_EQ(ShortFileName(name34), "..." + std::string(30, 'b'));
}
