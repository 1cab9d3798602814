// The tempering pass visits each reference once, in ascending order of
// address, however the cells list them.
#include "engine/dynamic_temper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>

namespace qm::engine {
namespace {

game::Reference* At(std::uintptr_t address) { return reinterpret_cast<game::Reference*>(address); }

ReferenceSet Expected(ReferenceSet references) {
  std::sort(references.begin(), references.end());
  references.erase(std::unique(references.begin(), references.end()), references.end());
  return references;
}

TEST(ReferenceOrder, ManyReferencesComeOutAscendingWithoutRepeats) {
  std::mt19937_64 scatter(11);
  for (const std::uintptr_t span : {std::uintptr_t{1} << 12, std::uintptr_t{1} << 24, std::uintptr_t{1} << 47}) {
    ReferenceSet references;
    for (int i = 0; i < 5000; ++i) references.push_back(At(0x7F0000000000u - span + (scatter() % span) / 16 * 16));
    for (int i = 0; i < 300; ++i) references.push_back(references[scatter() % references.size()]);  // repeats
    const ReferenceSet expected = Expected(references);
    SortReferences(references);
    EXPECT_EQ(references, expected) << "span " << span;
  }
}

TEST(ReferenceOrder, FewReferencesAndEdgeSizes) {
  ReferenceSet none;
  SortReferences(none);
  EXPECT_TRUE(none.empty());

  ReferenceSet few{At(0x3000), At(0x1000), At(0x3000), At(0x2000)};
  SortReferences(few);
  EXPECT_EQ(few, (ReferenceSet{At(0x1000), At(0x2000), At(0x3000)}));

  ReferenceSet same(200, At(0x5550));  // no differing bit at all
  SortReferences(same);
  EXPECT_EQ(same, ReferenceSet{At(0x5550)});

  ReferenceSet descending;
  for (std::uintptr_t i = 0; i < 64; ++i) descending.push_back(At(0x900000 - i * 0x98));
  const ReferenceSet expected = Expected(descending);
  SortReferences(descending);
  EXPECT_EQ(descending, expected);
}

}  // namespace
}  // namespace qm::engine
