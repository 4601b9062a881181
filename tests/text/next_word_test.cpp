#include <gtest/gtest.h>

#include "text/text.h"

TEST(NextWord, WalksTheWordsExtractWordNumbers) {
  for (std::string_view line : {"", "   ", "a", "  12 - 2460 100%  ", "a  b\tc ", "x  "}) {
    std::size_t pos = 0;
    for (std::uint32_t n = 1; n <= WordCount(line, ' ') + 1; ++n) {
      EXPECT_EQ(NextWord(line, pos, ' '), ExtractWord(line, n, ' ')) << line << " word " << n;
    }
    EXPECT_EQ(NextWord(line, pos, ' '), "");
  }
}
