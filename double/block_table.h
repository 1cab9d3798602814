#pragma once
// The live blocks of a heap and their sizes, kept per 4 KiB page of their
// start address: a page's record holds one size per 16-byte step, 0 for no
// block. Blocks handed out one after the other mostly share a page, so a run
// of them is accounted in one record that stays in the cache, where a table
// keyed by each block's address would cost a miss per block.
#include "pointer_table.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace gd {

class BlockTable {
 public:
  // False when the address is not 16-aligned, or already holds a block. A
  // block of no bytes counts as one, since 0 marks a step without a block.
  bool Add(const void* block, std::size_t size) {
    std::uint32_t* slot = SlotOf(block, true);
    if (slot == nullptr || *slot != 0) return false;
    *slot = static_cast<std::uint32_t>(size == 0 ? 1 : size);
    ++count_;
    return true;
  }

  // The size the block was added with; 0 when it is not a live block.
  std::size_t SizeOf(const void* block) const {
    const std::uint32_t* slot = const_cast<BlockTable*>(this)->SlotOf(block, false);
    return slot == nullptr ? 0 : *slot;
  }
  bool Contains(const void* block) const { return SizeOf(block) != 0; }

  // False when it was not a live block.
  bool Remove(const void* block) {
    std::uint32_t* slot = SlotOf(block, false);
    if (slot == nullptr || *slot == 0) return false;
    *slot = 0;
    --count_;
    return true;
  }

  std::size_t Count() const { return count_; }

  template <class Visit>
  void ForEach(Visit visit) const {
    for (const auto& page : pages_) {
      for (std::size_t i = 0; i < kSteps; ++i) {
        if (page->sizes[i] != 0) visit(reinterpret_cast<const void*>(page->base + i * kStep), page->sizes[i]);
      }
    }
  }

 private:
  static constexpr std::uintptr_t kPageBytes = 4096;
  static constexpr std::uintptr_t kStep = 16;
  static constexpr std::size_t kSteps = kPageBytes / kStep;
  struct Page {
    std::uintptr_t base = 0;
    std::array<std::uint32_t, kSteps> sizes{};
  };

  std::uint32_t* SlotOf(const void* block, bool create) {
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    if (block == nullptr || address % kStep != 0) return nullptr;
    const std::uintptr_t base = address & ~(kPageBytes - 1);
    if (base == 0) return nullptr;  // the first page holds no heap
    // The page's own address is its key in the address-keyed table.
    const void* key = reinterpret_cast<const void*>(base);
    Page* page = nullptr;
    if (Page** known = byBase_.Find(key)) {
      page = *known;
    } else {
      if (!create) return nullptr;
      page = pages_.emplace_back(std::make_unique<Page>()).get();
      page->base = base;
      byBase_.Set(key, page);
    }
    return &page->sizes[(address - base) / kStep];
  }

  std::vector<std::unique_ptr<Page>> pages_;
  PointerTable<Page*> byBase_;
  std::size_t count_ = 0;
};

}  // namespace gd
