#include "text/line_writer.h"

#include <gtest/gtest.h>

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
