#include "game_heap.h"

#include <cstdlib>

namespace gd {

void* GameHeapModel::Allocate(std::size_t size) {
  ++allocations_;
  if (failAll_ || (failAt_ != 0 && allocations_ == failAt_)) {
    ++failures_;
    return nullptr;
  }
  void* block = std::calloc(1, size == 0 ? 1 : size);
  if (block != nullptr) live_.Set(block, size);
  return block;
}

bool GameHeapModel::Release(void* memory) {
  if (!live_.Erase(memory)) return false;
  std::free(memory);
  return true;
}

std::size_t GameHeapModel::LiveBytes() const {
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
