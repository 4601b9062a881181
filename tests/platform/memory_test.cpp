#include "platform/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// Small tables come from the heap, large ones are mapped: both hold every byte.
TEST(TableAllocator, SmallAndLargeTablesHoldTheirBytes) {
  for (std::size_t count : {std::size_t{1}, std::size_t{1000}, std::size_t{3} << 20}) {
    std::vector<std::uint32_t, TableAllocator<std::uint32_t>> table(count);
    for (std::size_t i = 0; i < count; ++i) table[i] = static_cast<std::uint32_t>(i * 7);
    std::vector<std::uint32_t, TableAllocator<std::uint32_t>> copy = table;
    EXPECT_EQ(copy.size(), count);
    EXPECT_EQ(copy.back(), static_cast<std::uint32_t>((count - 1) * 7));
    EXPECT_EQ(copy[count / 2], static_cast<std::uint32_t>(count / 2 * 7));
  }
}
