// The game double's address-keyed table: it stands behind the heaps'
// accounting and the reference registry, so a key lost after removals or a
// resize would show up as a false "memory the heap does not hold".
#include "pointer_table.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <random>
#include <vector>

namespace {

TEST(PointerTable, AgreesWithAMapThroughGrowthAndHeavyRemoval) {
  std::vector<std::uint64_t> blocks(20000);
  gd::PointerTable<std::size_t> table;
  std::map<const void*, std::size_t> expected;
  std::mt19937 pick(11);
  // Insert, replace and remove at random, so that removed markers pile up
  // between the rebuilds that clear them.
  for (int round = 0; round < 200000; ++round) {
    const void* key = &blocks[pick() % blocks.size()];
    switch (pick() % 3) {
      case 0:
      case 1:
        table.Set(key, static_cast<std::size_t>(round));
        expected[key] = static_cast<std::size_t>(round);
        break;
      default: EXPECT_EQ(table.Erase(key), expected.erase(key) == 1);
    }
  }
  ASSERT_EQ(table.Size(), expected.size());
  for (const std::uint64_t& block : blocks) {
    const auto it = expected.find(&block);
    const std::size_t* value = table.Find(&block);
    ASSERT_EQ(value != nullptr, it != expected.end());
    if (value != nullptr) {
      EXPECT_EQ(*value, it->second);
    }
  }
  std::size_t visited = 0;
  table.ForEach([&](const void* key, std::size_t value) {
    ++visited;
    EXPECT_EQ(expected.at(key), value);
  });
  EXPECT_EQ(visited, expected.size());
}

TEST(PointerTable, NullAndUnknownKeysAreNeverFound) {
  gd::PointerTable<bool> table;
  int a = 0;
  int b = 0;
  EXPECT_FALSE(table.Contains(&a));  // empty table
  EXPECT_FALSE(table.Erase(&a));
  table.Set(&a, true);
  EXPECT_TRUE(table.Contains(&a));
  EXPECT_FALSE(table.Contains(&b));
  EXPECT_FALSE(table.Contains(nullptr));
  EXPECT_TRUE(table.Erase(&a));
  EXPECT_FALSE(table.Erase(&a));
  EXPECT_EQ(table.Size(), 0u);
}

}  // namespace
