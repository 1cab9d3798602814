#include "engine/engine_random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <random>
#include <thread>
#include <vector>

namespace qm::engine {
namespace {

// Restarts the process-wide generator from a known seed.
void SeedEngineRandom(std::uint32_t seed) {
  game::SpinLockGuard guard(RngLock);
  EngineRandom.Seed(seed);
}

std::uint32_t NextEngineOutput() {
  game::SpinLockGuard guard(RngLock);
  return EngineRandom.Next();
}

TEST(Mt19937, DefaultSeedGivesTheReferenceSequence) {
  Mt19937 generator;
  const std::array<std::uint32_t, 6> first{3499211612u, 581869302u, 3890346734u, 3586334585u, 545404204u, 4161255391u};
  for (const std::uint32_t expected : first) EXPECT_EQ(generator.Next(), expected);
  for (int i = 7; i < 10000; ++i) generator.Next();
  EXPECT_EQ(generator.Next(), 4123659995u);  // the 10000th output
}

TEST(Mt19937, MatchesTheStandardEngineAcrossSeedsAndTwists) {
  for (const std::uint32_t seed : {0u, 1u, 5489u, 0x7FFFFFFFu, 0xFFFFFFFFu, 19650218u}) {
    Mt19937 ours(seed);
    std::mt19937 reference(seed);
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(ours.Next(), reference()) << "seed " << seed << " output " << i;
  }
}

TEST(Mt19937, SeedingAgainRestartsTheSequence) {
  Mt19937 generator(42);
  const std::uint32_t first = generator.Next();
  for (int i = 0; i < 700; ++i) generator.Next();
  generator.Seed(42);
  EXPECT_EQ(generator.Next(), first);
}

TEST(EngineDraws, RealNumberIsBuiltFromTwoConsecutiveOutputs) {
  Mt19937 generator;
  EXPECT_EQ(RealFrom(generator), 0.1354770042967805);  // (3499211612 + 581869302 * 2^32) / 2^64
  EXPECT_EQ(RealFrom(generator), 0.8350085899945795);
  EXPECT_EQ(generator.Next(), 545404204u);  // four outputs used, the fifth comes next
}

TEST(EngineDraws, RealNumberStaysBelowOneAtTheTopOfTheRange) {
  EXPECT_EQ(RealFromOutputs(0, 0), 0.0);
  EXPECT_LT(RealFromOutputs(0xFFFFFFFFu, 0xFFFFFFFFu), 1.0);
  EXPECT_LT(RealFromOutputs(0xFFFFF800u, 0xFFFFFFFFu), 1.0);
  EXPECT_GT(RealFromOutputs(0xFFFFFFFFu, 0xFFFFFFFFu), 0.9999999999999998);
  EXPECT_EQ(RealFromOutputs(0, 0x80000000u), 0.5);
}

TEST(EngineDraws, WholeNumbersArePinnedForTheDefaultSeed) {
  Mt19937 generator;
  const std::array<std::uint32_t, 10> expected{12, 2, 34, 85, 4, 91, 29, 85, 98, 3};
  for (const std::uint32_t value : expected) EXPECT_EQ(WholeFrom(generator, 0, 99), value);
}

TEST(EngineDraws, WholeNumberRejectsOutputsAboveTheLastFullCycle) {
  // For 3 * 2^30 values only outputs below 3 * 2^30 are kept: of the first
  // eight outputs the 2nd, 5th and 8th qualify.
  Mt19937 generator;
  EXPECT_EQ(WholeFrom(generator, 0, 3u * (1u << 30) - 1), 581869302u);
  EXPECT_EQ(WholeFrom(generator, 0, 3u * (1u << 30) - 1), 545404204u);
  EXPECT_EQ(WholeFrom(generator, 0, 3u * (1u << 30) - 1), 949333985u);
  EXPECT_EQ(WholeFrom(generator, 0, 3u * (1u << 30) - 1), 2715962298u);  // the limit counted from 2^32
  // The first output, 3499211612, is the limit for this count itself: rejected.
  Mt19937 fresh;
  EXPECT_EQ(WholeFrom(fresh, 0, 3499211611u), 581869302u);
}

TEST(EngineDraws, WholeNumberCoversItsBoundsOnly) {
  Mt19937 generator(7);
  Mt19937 raw(7);
  EXPECT_EQ(WholeFrom(generator, 0, 0xFFFFFFFFu), raw.Next());  // the full range takes the output as it is
  EXPECT_EQ(WholeFrom(generator, 5, 5), 5u);
  std::array<int, 4> seen{};
  for (int i = 0; i < 4000; ++i) {
    const std::uint32_t value = WholeFrom(generator, 10, 13);
    ASSERT_GE(value, 10u);
    ASSERT_LE(value, 13u);
    ++seen[value - 10];
  }
  for (const int count : seen) EXPECT_GT(count, 850);
}

TEST(EngineDraws, ShuffleIsFisherYatesFromTheFront) {
  Mt19937 generator;
  std::array<std::uint32_t, 4> masks{0x1, 0x4, 0x8, 0x80};
  ShuffleFrom(generator, masks.data(), masks.size());
  EXPECT_EQ(masks, (std::array<std::uint32_t, 4>{0x8, 0x1, 0x80, 0x4}));
  masks = {0x1, 0x4, 0x8, 0x80};
  ShuffleFrom(generator, masks.data(), masks.size());
  EXPECT_EQ(masks, (std::array<std::uint32_t, 4>{0x1, 0x8, 0x4, 0x80}));
}

TEST(EngineDraws, ShuffleReachesEveryOrderEvenly) {
  Mt19937 generator(2024);
  std::map<std::array<std::uint32_t, 4>, int> orders;
  for (int i = 0; i < 24000; ++i) {
    std::array<std::uint32_t, 4> masks{0x1, 0x4, 0x8, 0x80};
    ShuffleFrom(generator, masks.data(), masks.size());
    ++orders[masks];
  }
  ASSERT_EQ(orders.size(), 24u);
  for (const auto& [order, count] : orders) {
    EXPECT_GT(count, 800);
    EXPECT_LT(count, 1200);
  }
}

TEST(EngineDraws, PercentRollsCompareWithTheDraw) {
  // The first real of the default seed is 0.13547..., the first whole
  // number in [0, 99] is 12.
  SeedEngineRandom(5489);
  EXPECT_TRUE(RollRealPercent(13.6));
  SeedEngineRandom(5489);
  EXPECT_FALSE(RollRealPercent(13.5));
  SeedEngineRandom(5489);
  EXPECT_TRUE(RollIntPercent(13));
  SeedEngineRandom(5489);
  EXPECT_FALSE(RollIntPercent(12));
  // A chance equal to the draw itself does not roll.
  Mt19937 reference;
  SeedEngineRandom(5489);
  EXPECT_FALSE(RollRealPercent(100.0 * RealFrom(reference)));
}

TEST(EngineDraws, CertainAndImpossibleRolls) {
  SeedEngineRandom(5489);
  EXPECT_FALSE(RollRealPercent(0.0));
  EXPECT_FALSE(RollRealPercent(-5.0));
  EXPECT_FALSE(RollIntPercent(0));
  EXPECT_EQ(NextEngineOutput(), 3499211612u);  // none of them drew
  // Any chance above 0, however small, draws.
  SeedEngineRandom(5489);
  EXPECT_FALSE(RollRealPercent(0.5));
  std::mt19937 standard(5489);
  standard.discard(2);
  EXPECT_EQ(NextEngineOutput(), standard());

  SeedEngineRandom(99);
  for (int i = 0; i < 500; ++i) {
    ASSERT_TRUE(RollRealPercent(100.0));
    ASSERT_TRUE(RollIntPercent(100));
    ASSERT_TRUE(RollIntPercent(0xFFFFFFFFu));  // a negative setting held unsigned
  }
}

TEST(EngineDraws, UniformScaledScalesIntoTemperUnits) {
  SeedEngineRandom(5489);
  EXPECT_DOUBLE_EQ(UniformScaled(10001.0, 12001.0), (10001.0 + 0.1354770042967805 * 2000.0) * 0.0001);
  SeedEngineRandom(3);
  for (int i = 0; i < 1000; ++i) {
    const double value = UniformScaled(3.0, 16.0);
    ASSERT_GE(value, 0.0003);
    ASSERT_LT(value, 0.0016);
  }
}

TEST(EngineDraws, SlotShuffleUsesTheEngineRandom) {
  SeedEngineRandom(5489);
  std::array<std::uint32_t, 4> masks{0x1, 0x4, 0x8, 0x80};
  ShuffleSlots(masks);
  EXPECT_EQ(masks, (std::array<std::uint32_t, 4>{0x8, 0x1, 0x80, 0x4}));
}

TEST(EngineDraws, DrawsFromManyThreadsUseEveryOutputOnce) {
  // Every draw holds RngLock, so concurrent draws consume the sequence
  // exactly as the same number of draws on one thread would.
  SeedEngineRandom(5489);
  constexpr int kThreads = 4;
  constexpr int kDrawsEach = 5000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([] {
      for (int i = 0; i < kDrawsEach; ++i) UniformScaled(1.0, 2.0);  // two outputs each
    });
  }
  for (std::thread& thread : threads) thread.join();
  Mt19937 reference;
  for (int i = 0; i < kThreads * kDrawsEach * 2; ++i) reference.Next();
  EXPECT_EQ(NextEngineOutput(), reference.Next());
}

}  // namespace
}  // namespace qm::engine
