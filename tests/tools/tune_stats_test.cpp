// The tuning lab's summary of its trials: percentiles by nearest rank, and
// trials in which nothing happened within the cap counted apart.
#include "tune_compare.h"
#include "tune_report.h"

#include <gtest/gtest.h>

namespace qm::tune {
namespace {

TEST(TuneStats, PercentilesByNearestRankAndTheMean) {
  std::vector<std::uint32_t> samples;
  for (std::uint32_t i = 10; i >= 1; --i) samples.push_back(i);  // 1..10, unsorted
  const Stats s = Summarise(samples);
  ASSERT_TRUE(s.any);
  EXPECT_DOUBLE_EQ(s.mean, 5.5);
  EXPECT_EQ(s.p10, 1u);
  EXPECT_EQ(s.p50, 5u);
  EXPECT_EQ(s.p90, 9u);
  EXPECT_EQ(s.never, 0u);
}

TEST(TuneStats, TrialsThatNeverEndedSortLastAndStayOutOfTheMean) {
  const Stats s = Summarise({4, kNever, 2, kNever, kNever});
  ASSERT_TRUE(s.any);
  EXPECT_DOUBLE_EQ(s.mean, 3.0);
  EXPECT_EQ(s.never, 3u);
  EXPECT_EQ(s.p10, 2u);
  EXPECT_EQ(s.p50, kNever);  // the median trial never broke
  EXPECT_EQ(s.p90, kNever);
}

TEST(TuneStats, NoSamplesOrOnlyNeverIsNever) {
  EXPECT_FALSE(Summarise({}).any);
  const Stats s = Summarise({kNever, kNever});
  EXPECT_FALSE(s.any);
  EXPECT_EQ(s.never, 2u);
}

TEST(TuneStats, ASingleSampleIsEveryPercentile) {
  const Stats s = Summarise({7});
  EXPECT_EQ(s.p10, 7u);
  EXPECT_EQ(s.p50, 7u);
  EXPECT_EQ(s.p90, 7u);
}

}  // namespace
}  // namespace qm::tune

// The comparison's mark: a bootstrapped interval of the change of the median.
namespace qm::tune {
namespace {

std::vector<std::uint32_t> Spread(std::uint32_t centre, std::uint32_t count) {
  std::vector<std::uint32_t> samples;
  for (std::uint32_t i = 0; i < count; ++i) samples.push_back(centre - 10 + (i * 7) % 21);
  return samples;
}

TEST(TuneCompare, IdenticalSamplesAreUnchangedAndShiftedOnesBeyondNoise) {
  const MedianChange same = CompareMedians(Spread(100, 60), Spread(100, 60), 1000, 1);
  EXPECT_TRUE(same.identical);
  EXPECT_FALSE(same.beyondNoise);

  const MedianChange fewer = CompareMedians(Spread(100, 60), Spread(60, 60), 1000, 1);
  EXPECT_FALSE(fewer.identical);
  EXPECT_TRUE(fewer.beyondNoise);
  EXPECT_EQ(fewer.change, -40);
  EXPECT_LE(fewer.low, -40);
  EXPECT_GE(fewer.high, -40);
  EXPECT_LT(fewer.high, 0);

  // A shift well inside the spread of the samples is noise.
  const MedianChange small = CompareMedians(Spread(100, 20), Spread(101, 20), 1000, 1);
  EXPECT_FALSE(small.beyondNoise);
  EXPECT_LE(small.low, 0);
  EXPECT_GE(small.high, 0);
}

TEST(TuneCompare, NeverCountsAsBeyondTheCapAndTheIntervalIsTheSameEveryTime) {
  std::vector<std::uint32_t> never(40, kNever);
  const MedianChange gone = CompareMedians(Spread(50, 40), never, 500, 3);
  EXPECT_TRUE(gone.beyondNoise);
  EXPECT_GE(gone.change, 501 - 60);  // never against at most 60 hits
  const MedianChange again = CompareMedians(Spread(50, 40), never, 500, 3);
  EXPECT_EQ(gone.low, again.low);
  EXPECT_EQ(gone.high, again.high);
}

}  // namespace
}  // namespace qm::tune
