#include "engine/mt19937.h"

namespace qm::engine {
namespace {

constexpr int kMiddle = 397;
constexpr std::uint32_t kMatrixA = 0x9908B0DFu;
constexpr std::uint32_t kUpperMask = 0x80000000u;
constexpr std::uint32_t kLowerMask = 0x7FFFFFFFu;

}  // namespace

void Mt19937::Seed(std::uint32_t seed) {
  state_[0] = seed;
  for (int i = 1; i < kWords; ++i) {
    const std::uint32_t previous = state_[i - 1];
    state_[i] = 1812433253u * (previous ^ (previous >> 30)) + static_cast<std::uint32_t>(i);
  }
  index_ = kWords;
}

void Mt19937::Twist() {
  for (int i = 0; i < kWords; ++i) {
    const std::uint32_t y = (state_[i] & kUpperMask) | (state_[(i + 1) % kWords] & kLowerMask);
    std::uint32_t next = state_[(i + kMiddle) % kWords] ^ (y >> 1);
    if ((y & 1u) != 0) next ^= kMatrixA;
    state_[i] = next;
  }
  index_ = 0;
}

std::uint32_t Mt19937::Next() {
  if (index_ >= kWords) Twist();
  std::uint32_t y = state_[index_++];
  y ^= y >> 11;
  y ^= (y << 7) & 0x9D2C5680u;
  y ^= (y << 15) & 0xEFC60000u;
  y ^= y >> 18;
  return y;
}

}  // namespace qm::engine
