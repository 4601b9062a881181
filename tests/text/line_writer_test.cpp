#include "text/line_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

TEST(LineWriter, PadsNumbersAndGivesBackTheUnusedRoom) {
  std::string line = "x";
  {
    LineWriter cells(line, 64);
    cells.Right(12, 5);
    cells.Put('|');
    cells.Left(7, 3);
    cells.Put("|");
    cells.Right(123456, 3);  // wider than its cell: written whole
    cells.Spaces(2);
    cells.Spaces(-4);  // nothing
    cells.Left(0, 0);
  }
  EXPECT_EQ(line, "x   12|7  |123456  0");
}

TEST(LineWriter, NothingWrittenLeavesTheStringAsItWas) {
  std::string line = "kept";
  { LineWriter cells(line, 100); }
  EXPECT_EQ(line, "kept");
}

// A line may be built while another is still open: each keeps its own text.
TEST(LineWriter, TwoLinesBuiltAtOnceStaySeparate) {
  std::string outer = "a:";
  std::string inner = "b:";
  {
    LineWriter first(outer, 16);
    first.Put("11");
    {
      LineWriter second(inner, 16);
      second.Put("22");
      first.Put("33");
      second.Right(4, 3);
    }
    first.Put('!');
  }
  EXPECT_EQ(outer, "a:1133!");
  EXPECT_EQ(inner, "b:22  4");
  // After both, lines are built as before.
  { LineWriter again(inner, 200); again.Spaces(150); again.Put('x'); }
  EXPECT_EQ(inner.size(), 7u + 151u);
  EXPECT_EQ(inner.back(), 'x');
}

// Every number of digits, at both ends of its range.
TEST(LineWriter, WritesEveryDigitCount) {
  std::string line;
  std::string expected;
  {
    LineWriter cells(line, 512);
    std::uint64_t power = 1;
    for (int digits = 1; digits <= 10; ++digits) {
      const auto first = static_cast<std::uint32_t>(digits == 1 ? 0 : power);
      const auto last = static_cast<std::uint32_t>(std::min<std::uint64_t>(power * 10 - 1, 0xFFFFFFFFu));
      cells.Right(first, 11);
      cells.Left(last, 11);
      cells.Put('|');
      std::string a = std::to_string(first);
      std::string b = std::to_string(last);
      expected += std::string(11 - a.size(), ' ') + a + b + std::string(11 - b.size(), ' ') + '|';
      power *= 10;
    }
  }
  EXPECT_EQ(line, expected);
}
