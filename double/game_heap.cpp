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
  if (block != nullptr) live_.emplace(block, size);
  return block;
}

bool GameHeapModel::Release(void* memory) {
  auto it = live_.find(memory);
  if (it == live_.end()) return false;
  live_.erase(it);
  std::free(memory);
  return true;
}

std::size_t GameHeapModel::LiveBytes() const {
  std::size_t total = 0;
  for (const auto& [block, size] : live_) total += size;
  return total;
}

GameHeapModel::~GameHeapModel() {
  // Blocks the game still owns (health entries linked into lists, say) go
  // with the world.
  for (const auto& [block, size] : live_) std::free(const_cast<void*>(block));
}

}  // namespace gd
