#include "engine/engine_random.h"

#include <utility>

namespace qm::engine {
namespace {

constexpr double kTwoTo32 = 4294967296.0;
constexpr double kTwoToMinus64 = 1.0 / 18446744073709551616.0;
// The largest double below 1.0: the sum of two outputs rounds up to 2^64 in
// the top 2^-54 of the range, which must still give a number below 1.
constexpr double kBelowOne = 1.0 - 1.0 / 9007199254740992.0;

}  // namespace

double RealFromOutputs(std::uint32_t o1, std::uint32_t o2) {
  // Both terms are exact in double; their sum is rounded once.
  const double real = (static_cast<double>(o1) + static_cast<double>(o2) * kTwoTo32) * kTwoToMinus64;
  return real < 1.0 ? real : kBelowOne;
}

double RealFrom(Mt19937& generator) {
  const std::uint32_t o1 = generator.Next();
  const std::uint32_t o2 = generator.Next();
  return RealFromOutputs(o1, o2);
}

std::uint32_t WholeFrom(Mt19937& generator, std::uint32_t low, std::uint32_t high) {
  const std::uint32_t span = high - low;
  if (span == 0xFFFFFFFFu) return low + generator.Next();
  const std::uint64_t count = static_cast<std::uint64_t>(span) + 1;
  const std::uint64_t limit = (std::uint64_t{1} << 32) - ((std::uint64_t{1} << 32) % count);
  for (;;) {
    const std::uint32_t output = generator.Next();
    if (output < limit) return low + static_cast<std::uint32_t>(output % count);
  }
}

void ShuffleFrom(Mt19937& generator, std::uint32_t* items, std::size_t count) {
  for (std::size_t k = 1; k < count; ++k) {
    const std::size_t j = WholeFrom(generator, 0, static_cast<std::uint32_t>(k));
    std::swap(items[k], items[j]);
  }
}

bool RollRealPercent(double chance) {
  if (!(chance > 0.0)) return false;  // NaN included
  double u;
  {
    game::SpinLockGuard guard(RngLock);
    u = RealFrom(EngineRandom);
  }
  return chance > 100.0 * u;
}

bool RollIntPercent(std::uint32_t chance) {
  if (chance == 0) return false;
  std::uint32_t n;
  {
    game::SpinLockGuard guard(RngLock);
    n = WholeFrom(EngineRandom, 0, 99);
  }
  return n < chance;
}

double UniformScaled(double low, double high) {
  double u;
  {
    game::SpinLockGuard guard(RngLock);
    u = RealFrom(EngineRandom);
  }
  return (low + u * (high - low)) * 0.0001;
}

void ShuffleSlots(std::array<std::uint32_t, 4>& masks) {
  game::SpinLockGuard guard(RngLock);
  ShuffleFrom(EngineRandom, masks.data(), masks.size());
}

}  // namespace qm::engine
