// The tuning lab's summary of its trials: percentiles by nearest rank, and
// trials in which nothing happened within the cap counted apart.
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
