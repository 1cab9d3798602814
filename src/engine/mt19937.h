#pragma once
// A 32-bit Mersenne Twister with the standard MT19937 parameters and seeding,
// written out so that one seed gives the same numbers under every compiler.
#include <array>
#include <cstdint>

namespace qm::engine {

class Mt19937 {
 public:
  static constexpr std::uint32_t kDefaultSeed = 5489u;

  explicit Mt19937(std::uint32_t seed = kDefaultSeed) { Seed(seed); }

  void Seed(std::uint32_t seed);
  std::uint32_t Next();

 private:
  void Twist();

  static constexpr int kWords = 624;
  std::array<std::uint32_t, kWords> state_{};
  int index_ = kWords;
};

}  // namespace qm::engine
