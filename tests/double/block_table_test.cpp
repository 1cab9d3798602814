// The game double's accounting of heap blocks by page: a block lost or
// misplaced between pages would show up as a false "memory the heap does
// not hold", or a leak that is none.
#include "block_table.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <random>
#include <vector>

namespace {

TEST(BlockTable, AgreesWithAMapAcrossPages) {
  // Sixty-four pages' worth of 16-byte steps, block starts anywhere in them.
  alignas(4096) static std::byte arena[64 * 4096];
  gd::BlockTable table;
  std::map<const void*, std::size_t> expected;
  std::mt19937 pick(5);
  for (int round = 0; round < 100000; ++round) {
    const void* block = &arena[(pick() % (sizeof arena / 16)) * 16];
    const std::size_t size = 1 + pick() % 200;
    if (pick() % 3 != 0) {
      const bool added = table.Add(block, size);
      EXPECT_EQ(added, expected.count(block) == 0);
      if (added) expected[block] = size;
    } else {
      EXPECT_EQ(table.Remove(block), expected.erase(block) == 1);
    }
  }
  ASSERT_EQ(table.Count(), expected.size());
  for (std::size_t step = 0; step < sizeof arena / 16; ++step) {
    const void* block = &arena[step * 16];
    const auto it = expected.find(block);
    EXPECT_EQ(table.SizeOf(block), it == expected.end() ? 0 : it->second);
  }
  std::size_t visited = 0;
  table.ForEach([&](const void* block, std::size_t size) {
    ++visited;
    EXPECT_EQ(expected.at(block), size);
  });
  EXPECT_EQ(visited, expected.size());
}

TEST(BlockTable, AddressesInsideABlockOrOffTheGridAreNotBlocks) {
  alignas(16) static std::byte memory[64];
  gd::BlockTable table;
  EXPECT_FALSE(table.Contains(memory));  // empty table
  EXPECT_TRUE(table.Add(memory, 64));
  EXPECT_FALSE(table.Add(memory, 8));  // already a block
  EXPECT_FALSE(table.Contains(memory + 16));
  EXPECT_FALSE(table.Add(memory + 8, 8));  // not 16-aligned
  EXPECT_FALSE(table.Contains(memory + 8));
  EXPECT_FALSE(table.Add(nullptr, 8));
  EXPECT_FALSE(table.Remove(memory + 16));
  EXPECT_EQ(table.SizeOf(memory), 64u);
  EXPECT_TRUE(table.Remove(memory));
  EXPECT_FALSE(table.Remove(memory));
  EXPECT_EQ(table.Count(), 0u);
}

}  // namespace
