// The durability number a row shows for an item's health.
#include "widget/row_values.h"

#include <gtest/gtest.h>

#include <limits>

namespace qm::widget {
namespace {

TEST(DurabilityPoints, ThousandthsAboveTheBaseline) {
  EXPECT_EQ(DurabilityPoints(1.0f), 0.0);
  EXPECT_EQ(DurabilityPoints(1.001f), 1.0);  // the smallest point shown
  EXPECT_EQ(DurabilityPoints(1.25f), 250.0);
  EXPECT_EQ(DurabilityPoints(2.0f), 1000.0);
}

TEST(DurabilityPoints, HalvesRoundAwayFromZero) {
  EXPECT_EQ(DurabilityPoints(1.0625f), 63.0);   // 62.5
  EXPECT_EQ(DurabilityPoints(1.1235f), 123.0);  // 123.49998... in single precision
  EXPECT_EQ(DurabilityPoints(1.0005f), 0.0);    // 1.0005f is 1.00049996...
}

TEST(DurabilityPoints, NeverBelowZero) {
  EXPECT_EQ(DurabilityPoints(0.9f), 0.0);
  EXPECT_EQ(DurabilityPoints(-5.0f), 0.0);
  EXPECT_EQ(DurabilityPoints(std::numeric_limits<float>::quiet_NaN()), 0.0);
}

}  // namespace
}  // namespace qm::widget
