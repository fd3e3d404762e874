// The sampled swings must peak where the ISO 13786 time lag and time shifts say, with the
// amplitudes |Y| A, and the cycle sweep must agree with the daily results and stay continuous.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "brusk/engine/cycle_response.h"
#include "brusk/engine/wall_result.h"
#include "example_walls.h"

namespace {

using namespace Brusk;
using namespace Brusk::Engine;
using Brusk::Frontend::Wall;
namespace Examples = Brusk::Report::Examples;

constexpr double kDay = Engine::kDailyPeriod;
constexpr double kStepHours = 0.25;

Engine::PeriodicResponse dailyResponse(const Wall& wall) {
  const auto& layers = wall.request.layers;
  Engine::PeriodicResponse response;
  EXPECT_TRUE(Engine::computePeriodicResponse(layers.data(), layers.size(), wall.request.boundary(),
                                              kDay, response));
  return response;
}

/// Hour of the largest heat flow in [24 h, 48 h), where the second cycle starts at a peak.
double secondDayPeakHour(const SwingResponse& swing) {
  double bestHour = 0.0;
  double best = -1e300;
  for (std::size_t index = 0; index < swing.hours.size(); ++index) {
    if (swing.hours[index] < 24.0 || swing.hours[index] >= 48.0) continue;
    if (swing.heatFlow[index] > best) {
      best = swing.heatFlow[index];
      bestHour = swing.hours[index];
    }
  }
  return bestHour;
}

/// Distance between two hours on a 24-hour clock.
double cyclicDistance(double a, double b) {
  const double difference = std::fmod(std::fabs(a - b), 24.0);
  return std::min(difference, 24.0 - difference);
}

double largestMagnitude(const std::vector<double>& values) {
  double largest = 0.0;
  for (const double value : values) largest = std::max(largest, std::fabs(value));
  return largest;
}

struct SwingCase {
  std::string name;
  Wall wall;
  double amplitude;
};

void PrintTo(const SwingCase& swingCase, std::ostream* out) { *out << swingCase.name; }

class SwingTest : public testing::TestWithParam<SwingCase> {};

TEST_P(SwingTest, OutdoorSwingPeaksOneTimeLagLaterWithAmplitudeY12TimesA) {
  const Engine::PeriodicResponse response = dailyResponse(GetParam().wall);
  const double amplitude = GetParam().amplitude;
  const SwingResponse swing = outdoorSwingResponse(response, kDay, amplitude, 48.0, kStepHours);
  const double lag = Engine::timeLagHours(response.periodicThermalTransmittance, kDay);

  EXPECT_DOUBLE_EQ(swing.peakDelayHours, lag);
  EXPECT_LE(cyclicDistance(secondDayPeakHour(swing), 24.0 + lag), kStepHours / 2 + 1e-9);
  const double expected = amplitude * response.periodicThermalTransmittance.getModulus();
  EXPECT_NEAR(swing.heatFlowAmplitude, expected, 1e-12 * expected);
  EXPECT_NEAR(largestMagnitude(swing.heatFlow), expected, 1e-3 * expected);
  EXPECT_DOUBLE_EQ(swing.temperature.front(), amplitude);
  EXPECT_NEAR(largestMagnitude(swing.temperature), amplitude, 1e-12);
  EXPECT_EQ(swing.hours.size(), 193U);
}

TEST_P(SwingTest, IndoorSwingFlowLeadsByTheTimeShiftOfY11) {
  const Engine::PeriodicResponse response = dailyResponse(GetParam().wall);
  const double amplitude = GetParam().amplitude;
  const SwingResponse swing = indoorSwingResponse(response, kDay, amplitude, 48.0, kStepHours);
  const double shift = Engine::timeShiftHours(response.internalAdmittance, kDay);

  // Admittances of real walls lead the temperature.
  EXPECT_GT(shift, 0.0);
  EXPECT_DOUBLE_EQ(swing.peakDelayHours, -shift);
  EXPECT_LE(cyclicDistance(secondDayPeakHour(swing), 24.0 - shift), kStepHours / 2 + 1e-9);
  const double expected = amplitude * response.internalAdmittance.getModulus();
  EXPECT_NEAR(largestMagnitude(swing.heatFlow), expected, 1e-3 * expected);
}

INSTANTIATE_TEST_SUITE_P(
    ExampleWalls, SwingTest,
    testing::Values(SwingCase{"concrete", Examples::concreteWithExternalInsulation(), 1.0},
                    SwingCase{"timber", Examples::timberFrame(), 5.0},
                    SwingCase{"brick", Examples::solidBrick(), 0.5}),
    [](const testing::TestParamInfo<SwingCase>& param) { return param.param.name; });

TEST(LogSpacedHoursTest, HitsBothEndsWithAConstantRatio) {
  const std::vector<double> hours = logSpacedHours(1.0, 720.0, 100);
  ASSERT_EQ(hours.size(), 100U);
  EXPECT_EQ(hours.front(), 1.0);
  EXPECT_EQ(hours.back(), 720.0);
  const double ratio = hours[1] / hours[0];
  for (std::size_t index = 1; index < hours.size(); ++index) {
    EXPECT_NEAR(hours[index] / hours[index - 1], ratio, 1e-9);
  }
}

class CycleSweepTest : public testing::TestWithParam<SwingCase> {};

TEST_P(CycleSweepTest, AgreesWithTheDirectResultAtOneAndTwelveDays) {
  const Wall& wall = GetParam().wall;
  const auto& layers = wall.request.layers;
  const std::vector<double> periods{1.0, 24.0, 288.0, 720.0};
  const CycleSweep sweep = sweepCycleLength(wall.request, periods);
  for (const std::size_t index : {std::size_t{1}, std::size_t{2}}) {
    Engine::PeriodicResponse direct;
    const double period = periods[index] * 3600.0;
    ASSERT_TRUE(Engine::computePeriodicResponse(layers.data(), layers.size(),
                                                wall.request.boundary(), period, direct));
    EXPECT_DOUBLE_EQ(sweep.decrementFactor[index], direct.decrementFactor);
    // These walls delay by less than a cycle, so the followed lag is the wrapped one.
    EXPECT_NEAR(sweep.timeLagHours[index],
                Engine::timeLagHours(direct.periodicThermalTransmittance, period), 1e-9);
  }
}

TEST_P(CycleSweepTest, LagIsContinuousEvenWhereItExceedsTheCycle) {
  const Wall& wall = GetParam().wall;
  const std::vector<double> periods = logSpacedHours(1.0, 720.0, 100);
  const CycleSweep sweep = sweepCycleLength(wall.request, periods);
  for (std::size_t index = 1; index < periods.size(); ++index) {
    EXPECT_LT(std::fabs(sweep.timeLagHours[index] - sweep.timeLagHours[index - 1]),
              periods[index - 1] / 4)
        << "between " << periods[index - 1] << " h and " << periods[index] << " h";
  }
}

INSTANTIATE_TEST_SUITE_P(
    ExampleWalls, CycleSweepTest,
    testing::Values(SwingCase{"concrete", Examples::concreteWithExternalInsulation(), 1.0},
                    SwingCase{"timber", Examples::timberFrame(), 1.0},
                    SwingCase{"brick", Examples::solidBrick(), 1.0}),
    [](const testing::TestParamInfo<SwingCase>& param) { return param.param.name; });

TEST(CycleSweepEdgeTest, HeavyWallOnShortCyclesLagsMoreThanOneCycle) {
  const Wall brick = Examples::solidBrick();
  const CycleSweep sweep = sweepCycleLength(brick.request, logSpacedHours(1.0, 720.0, 100));
  EXPECT_GT(sweep.timeLagHours.front(), 1.0);
}

TEST(CycleSweepEdgeTest, OverflowLeavesGapsInsteadOfFailing) {
  const Wall thick = Examples::wallOf(
      "Fifty metres of concrete", {Examples::slab("Concrete", "concrete", 50.0, 2.3, 2300, 1000)});
  const CycleSweep sweep = sweepCycleLength(thick.request, {1.0, 720.0});
  EXPECT_TRUE(std::isnan(sweep.decrementFactor[0]));
  EXPECT_TRUE(std::isnan(sweep.timeLagHours[0]));
  EXPECT_TRUE(std::isfinite(sweep.decrementFactor[1]));
}

}  // namespace
