#pragma once
// The game's main heap, with accounting of what is held and injectable
// failures. Like the game's, it may be used from several threads at once.
#include "block_table.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace gd {

// What fresh and released blocks are filled with.
inline constexpr unsigned char kFreshByte = 0xCD;
inline constexpr unsigned char kReleasedByte = 0xDD;

class GameHeapModel {
 public:
  void* Allocate(std::size_t size);
  bool Release(void* memory);  // false: not a live block of this heap

  // The allocation number n (1-based, counted from now on) returns null;
  // 0 turns injection off. failAll makes every allocation fail.
  void FailAllocation(std::uint64_t n);
  void FailAll(bool on);
  // What fresh blocks hold from now on (kFreshByte unless a test wants a
  // recycled block that happens to hold zeros).
  void SetFreshByte(unsigned char byte);

  std::size_t LiveBlocks() const;
  std::size_t LiveBytes() const;
  std::uint64_t Allocations() const;
  std::uint64_t Failures() const;
  bool IsLive(const void* memory) const;
  // The size a live block was asked with; 0 when it is not a live block.
  std::size_t SizeOf(const void* memory) const;

  ~GameHeapModel();

 private:
  mutable std::mutex mutex_;
  BlockTable live_;
  std::uint64_t allocations_ = 0;
  std::uint64_t failures_ = 0;
  std::uint64_t failAt_ = 0;
  bool failAll_ = false;
  unsigned char freshByte_ = kFreshByte;
};

}  // namespace gd
