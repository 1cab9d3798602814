#pragma once
// The game's main heap, with accounting of what is held and injectable
// failures.
#include "pointer_table.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace gd {

class GameHeapModel {
 public:
  void* Allocate(std::size_t size);
  bool Release(void* memory);  // false: not a live block of this heap

  // The allocation number n (1-based, counted from now on) returns null;
  // 0 turns injection off. failAll makes every allocation fail.
  void FailAllocation(std::uint64_t n) { failAt_ = n == 0 ? 0 : allocations_ + n; }
  void FailAll(bool on) { failAll_ = on; }

  std::size_t LiveBlocks() const { return live_.Size(); }
  std::size_t LiveBytes() const;
  std::uint64_t Allocations() const { return allocations_; }
  std::uint64_t Failures() const { return failures_; }
  bool IsLive(const void* memory) const { return live_.Contains(memory); }

  ~GameHeapModel();

 private:
  PointerTable<std::size_t> live_;  // block, size
  std::uint64_t allocations_ = 0;
  std::uint64_t failures_ = 0;
  std::uint64_t failAt_ = 0;
  bool failAll_ = false;
};

}  // namespace gd
