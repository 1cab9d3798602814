#include "game_heap.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace gd {

void* GameHeapModel::Allocate(std::size_t size) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++allocations_;
  if (failAll_ || (failAt_ != 0 && allocations_ == failAt_)) {
    ++failures_;
    return nullptr;
  }
  // The game's heaps hand out memory as they find it, never cleared: a fresh
  // block holds a pattern, so that a field the plug-in forgets to set reads
  // as garbage in every test rather than as a lucky zero.
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block != nullptr) std::memset(block, freshByte_, size);
  if (block != nullptr && !live_.Add(block, size)) {
    // The C heap aligns every block to 16 bytes on the platforms we build for.
    std::fprintf(stderr, "game double: a heap block at %p is not 16-byte aligned\n", block);
    std::abort();
  }
  return block;
}

bool GameHeapModel::Release(void* memory) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::size_t size = live_.SizeOf(memory);
  if (!live_.Remove(memory)) return false;
  // Whatever still reads the block after its release reads another pattern.
  std::memset(memory, kReleasedByte, size);
  std::free(memory);
  return true;
}

void GameHeapModel::FailAllocation(std::uint64_t n) {
  std::lock_guard<std::mutex> lock(mutex_);
  failAt_ = n == 0 ? 0 : allocations_ + n;
}

void GameHeapModel::SetFreshByte(unsigned char byte) {
  std::lock_guard<std::mutex> lock(mutex_);
  freshByte_ = byte;
}

void GameHeapModel::FailAll(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  failAll_ = on;
}

std::size_t GameHeapModel::LiveBlocks() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return live_.Count();
}

std::uint64_t GameHeapModel::Allocations() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return allocations_;
}

std::uint64_t GameHeapModel::Failures() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return failures_;
}

bool GameHeapModel::IsLive(const void* memory) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return live_.Contains(memory);
}

std::size_t GameHeapModel::SizeOf(const void* memory) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return live_.SizeOf(memory);
}

std::size_t GameHeapModel::LiveBytes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::size_t total = 0;
  live_.ForEach([&total](const void*, std::size_t size) { total += size; });
  return total;
}

GameHeapModel::~GameHeapModel() {
  // Blocks the game still owns (health entries linked into lists, say) go
  // with the world.
  live_.ForEach([](const void* block, std::size_t) { std::free(const_cast<void*>(block)); });
}

}  // namespace gd
