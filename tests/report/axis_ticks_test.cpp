// Axis ranges and ticks: ranges must end on ticks, steps must be 1, 2 or 5 times a power of ten,
// and labels must carry exactly the decimals the step needs.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "axis_ticks.h"

namespace {

using namespace Brusk::Report;

struct NiceStepCase {
  double rough;
  double expected;
};

void PrintTo(const NiceStepCase& step, std::ostream* out) { *out << step.rough; }

class NiceStepTest : public testing::TestWithParam<NiceStepCase> {};

TEST_P(NiceStepTest, RoundsUpToOneTwoOrFive) {
  EXPECT_DOUBLE_EQ(niceStep(GetParam().rough), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Steps, NiceStepTest,
                         testing::Values(NiceStepCase{1.0, 1.0}, NiceStepCase{0.2, 0.2},
                                         NiceStepCase{0.33, 0.5}, NiceStepCase{7.0, 10.0},
                                         NiceStepCase{0.0143, 0.02}, NiceStepCase{2500.0, 5000.0}));

struct LinearCase {
  double low;
  double high;
  int targetTicks;
  double expectedMinimum;
  double expectedMaximum;
  std::vector<std::string> expectedLabels;
};

void PrintTo(const LinearCase& range, std::ostream* out) {
  *out << "[" << range.low << ", " << range.high << "]";
}

class LinearScaleTest : public testing::TestWithParam<LinearCase> {};

TEST_P(LinearScaleTest, CoversTheDataAndEndsOnTicks) {
  const LinearCase& c = GetParam();
  const AxisScale scale = niceLinearScale(c.low, c.high, c.targetTicks);
  EXPECT_NEAR(scale.minimum, c.expectedMinimum, 1e-12);
  EXPECT_NEAR(scale.maximum, c.expectedMaximum, 1e-12);
  std::vector<std::string> labels;
  for (const AxisTick& tick : scale.ticks) labels.push_back(tick.label);
  EXPECT_EQ(labels, c.expectedLabels);
  EXPECT_NEAR(scale.ticks.front().value, scale.minimum, 1e-12);
  EXPECT_NEAR(scale.ticks.back().value, scale.maximum, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, LinearScaleTest,
    testing::Values(
        LinearCase{0.0, 10.0, 6, 0.0, 10.0, {"0", "2", "4", "6", "8", "10"}},
        LinearCase{-1.0, 1.0, 7, -1.0, 1.0, {"\u22121.0", "\u22120.5", "0.0", "0.5", "1.0"}},
        // A small heat-flow amplitude: the ends round outwards to the next tick.
        LinearCase{-0.043,
                   0.043,
                   7,
                   -0.06,
                   0.06,
                   {"\u22120.06", "\u22120.04", "\u22120.02", "0.00", "0.02", "0.04", "0.06"}},
        LinearCase{0.0, 0.87, 7, 0.0, 1.0, {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}},
        // No spread at all still gives a usable axis around the value.
        LinearCase{0.0, 0.0, 5, -1.0, 1.0, {"\u22121.0", "\u22120.5", "0.0", "0.5", "1.0"}}));

TEST(LogarithmicScaleTest, TicksOneTwoFiveInsideTheRangeOnly) {
  const AxisScale scale = logarithmicScale(1.0, 720.0);
  std::vector<std::string> labels;
  for (const AxisTick& tick : scale.ticks) labels.push_back(tick.label);
  EXPECT_EQ(labels,
            (std::vector<std::string>{"1", "2", "5", "10", "20", "50", "100", "200", "500"}));
  EXPECT_DOUBLE_EQ(scale.minimum, 1.0);
  EXPECT_DOUBLE_EQ(scale.maximum, 720.0);
}

TEST(LogarithmicScaleTest, LabelsBelowOneCarryTheirDecimals) {
  const AxisScale scale = logarithmicScale(0.05, 0.3);
  std::vector<std::string> labels;
  for (const AxisTick& tick : scale.ticks) labels.push_back(tick.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"0.05", "0.1", "0.2"}));
}

}  // namespace
