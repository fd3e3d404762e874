// Many walls under one pair of profiles: the series and summaries equal the single-wall
// response bit for bit, whatever the threads; the main harmonic's effective figures are the
// ISO 13786 decrement factor and time lag under a constant indoor temperature; the harmonics
// through the vector kernel agree with the single-wall matrices; a leap year is computed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <optional>
#include <random>
#include <string>
#include <variant>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/engine/periodic_profile.h"
#include "brusk/engine/wall_result.h"
#include "profile_test_walls.h"

namespace {

using namespace Brusk::Engine;

/// A year of hourly outdoor temperatures: an annual and a daily swing and some weather.
std::vector<double> hourlyYear(std::size_t hours) {
  std::mt19937 generator(11);
  std::normal_distribution<double> weather(0.0, 2.0);
  std::vector<double> samples(hours);
  for (std::size_t h = 0; h < hours; ++h) {
    const double t = static_cast<double>(h);
    samples[h] = 10.0 - 9.0 * std::cos(kTwoPi * (t - 500.0) / static_cast<double>(hours)) +
                 4.0 * std::cos(kTwoPi * (t - 15.0) / 24.0) + weather(generator);
  }
  return samples;
}

std::vector<WallRequest> studyWalls() {
  std::vector<WallRequest> walls;
  for (const BruskTest::ProfileWall& wall : BruskTest::profileWalls())
    walls.push_back(wall.request);
  // A wall that cannot be computed sits among them.
  WallRequest broken = walls[0];
  broken.layers[1].conductivity = -0.5;
  walls.insert(walls.begin() + 2, broken);
  return walls;
}

void expectSameSummary(const ProfileSummary& a, const ProfileSummary& b, const std::string& what) {
  const auto same = [](double x, double y) { return x == y || (std::isnan(x) && std::isnan(y)); };
  EXPECT_TRUE(same(a.meanHeatFlowIn, b.meanHeatFlowIn)) << what;
  EXPECT_TRUE(same(a.peakHeatFlowIn, b.peakHeatFlowIn)) << what;
  EXPECT_TRUE(same(a.peakTime, b.peakTime)) << what;
  EXPECT_TRUE(same(a.minimumHeatFlowIn, b.minimumHeatFlowIn)) << what;
  EXPECT_TRUE(same(a.minimumTime, b.minimumTime)) << what;
  EXPECT_TRUE(same(a.energyGained, b.energyGained)) << what;
  EXPECT_TRUE(same(a.energyLost, b.energyLost)) << what;
  EXPECT_TRUE(same(a.innerSurfaceMaximum, b.innerSurfaceMaximum)) << what;
  EXPECT_TRUE(same(a.innerSurfaceMaximumTime, b.innerSurfaceMaximumTime)) << what;
  EXPECT_TRUE(same(a.innerSurfaceMinimum, b.innerSurfaceMinimum)) << what;
  EXPECT_TRUE(same(a.innerSurfaceMinimumTime, b.innerSurfaceMinimumTime)) << what;
  EXPECT_EQ(a.mainHarmonic, b.mainHarmonic) << what;
  EXPECT_TRUE(same(a.effectiveDecrementFactor, b.effectiveDecrementFactor)) << what;
  EXPECT_TRUE(same(a.effectiveTimeLag, b.effectiveTimeLag)) << what;
}

struct ManyCase {
  const char* name;
  std::size_t hours;
  bool indoorSwing;
  unsigned threads;
};

class ManyProfileSeriesTest : public testing::TestWithParam<ManyCase> {};

TEST_P(ManyProfileSeriesTest, EqualsTheSingleWallResponseBitForBit) {
  const ManyCase& c = GetParam();
  ProfileRequest request;
  request.outdoor = hourlyYear(c.hours);
  request.indoor = {21.0};
  if (c.indoorSwing) {
    request.indoor.resize(c.hours);
    for (std::size_t h = 0; h < c.hours; ++h) {
      request.indoor[h] = 21.0 + std::sin(kTwoPi * static_cast<double>(h) / 24.0);
    }
  }
  const double period = static_cast<double>(c.hours) * kSecondsPerHour;
  const auto analysed = analyseProfiles(request, period);
  ASSERT_TRUE(std::holds_alternative<AnalysedProfiles>(analysed));
  const AnalysedProfiles& profiles = std::get<AnalysedProfiles>(analysed);
  const std::vector<WallRequest> walls = studyWalls();
  const std::size_t m = profiles.outputCount;
  std::vector<double> flows(walls.size() * m);
  std::vector<double> surfaces(walls.size() * m);
  std::vector<ProfileSummary> summaries(walls.size());
  std::vector<std::optional<WallProblem>> problems(walls.size());
  computeManyProfileSeries(walls.data(), walls.size(), profiles,
                           {flows.data(), surfaces.data(), summaries.data(), problems.data()},
                           c.threads);
  for (std::size_t w = 0; w < walls.size(); ++w) {
    ProfileRequest single = request;
    single.wall = walls[w];
    single.wall.period = period;
    const ProfileOutcome outcome = computeProfileResponse(single);
    if (const auto* problem = std::get_if<WallProblem>(&outcome)) {
      ASSERT_TRUE(problems[w].has_value()) << w;
      EXPECT_EQ(problems[w]->kind, problem->kind) << w;
      EXPECT_EQ(problems[w]->layer, problem->layer) << w;
      EXPECT_TRUE(std::isnan(flows[w * m])) << w;
      continue;
    }
    ASSERT_FALSE(problems[w].has_value()) << w;
    const ProfileResponse& response = std::get<ProfileResponse>(outcome);
    for (std::size_t j = 0; j < m; ++j) {
      ASSERT_EQ(flows[w * m + j], response.samples[j].heatFlowIn) << "wall " << w << " j " << j;
      ASSERT_EQ(surfaces[w * m + j], response.samples[j].innerSurfaceTemperature)
          << "wall " << w << " j " << j;
    }
    expectSameSummary(summaries[w], summarizeProfileResponse(response),
                      "wall " + std::to_string(w));
  }
}

INSTANTIATE_TEST_SUITE_P(Studies, ManyProfileSeriesTest,
                         testing::Values(ManyCase{"day_one_thread", 24, true, 1},
                                         ManyCase{"year_one_thread", 8760, false, 1},
                                         ManyCase{"year_three_threads", 8760, true, 3},
                                         ManyCase{"leap_year_two_threads", 8784, false, 2}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

class MainHarmonicTest : public testing::TestWithParam<BruskTest::ProfileWall> {};

TEST_P(MainHarmonicTest, IsTheIsoDecrementFactorAndTimeLagUnderAConstantIndoorTemperature) {
  // The daily swing (4 K) of an hourly fortnight dominates: k* = 14, T / k* = 24 h.
  WallRequest wall = GetParam().request;
  ProfileRequest request;
  request.indoor = {20.0};
  for (std::size_t h = 0; h < 336; ++h) {
    const double t = static_cast<double>(h);
    request.outdoor.push_back(15.0 + 4.0 * std::cos(kTwoPi * (t - 14.0) / 24.0) +
                              1.5 * std::cos(kTwoPi * t / 336.0));
  }
  request.wall = wall;
  request.wall.period = 336.0 * kSecondsPerHour;
  const ProfileOutcome outcome = computeProfileResponse(request);
  ASSERT_TRUE(std::holds_alternative<ProfileResponse>(outcome));
  const ProfileSummary summary = summarizeProfileResponse(std::get<ProfileResponse>(outcome));
  wall.period = kDailyPeriod;
  const WallResult daily = std::get<WallResult>(compute(wall));
  EXPECT_EQ(summary.mainHarmonic, 14u);
  EXPECT_NEAR(summary.mainHarmonicPeriod, 24.0, 1e-12);
  EXPECT_NEAR(summary.effectiveDecrementFactor, daily.decrementFactor, 1e-12);
  EXPECT_NEAR(summary.effectiveTimeLag, daily.timeLag, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Walls, MainHarmonicTest, testing::ValuesIn(BruskTest::profileWalls()),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(MainHarmonicTest, IsUndefinedForAConstantOutdoorTemperature) {
  ProfileRequest request;
  request.wall = BruskTest::profileWalls()[1].request;
  request.indoor = {20.0, 22.0, 21.0};
  request.outdoor = {5.0, 5.0, 5.0, 5.0};
  const ProfileSummary summary =
      summarizeProfileResponse(std::get<ProfileResponse>(computeProfileResponse(request)));
  EXPECT_EQ(summary.mainHarmonic, 0u);
  EXPECT_TRUE(std::isnan(summary.effectiveDecrementFactor));
  EXPECT_TRUE(std::isnan(summary.effectiveTimeLag));
  EXPECT_TRUE(std::isnan(summary.mainHarmonicPeriod));
}

TEST(HarmonicKernelTest, VectorLanesAgreeWithTheSingleWallMatrices) {
  for (const BruskTest::ProfileWall& wall : BruskTest::profileWalls()) {
    ProfileRequest request;
    request.wall = wall.request;
    request.wall.period = 8760.0 * kSecondsPerHour;
    request.indoor = {20.0};
    request.outdoor = hourlyYear(8760);
    const ProfileResponse vector = std::get<ProfileResponse>(computeProfileResponse(request));
    ProfileOptions baseline;
    baseline.kernel = InstructionSet::Baseline;
    const ProfileResponse scalar =
        std::get<ProfileResponse>(computeProfileResponse(request, baseline));
    for (std::size_t k = 0; k < vector.harmonics.size(); ++k) {
      const Complex a = vector.harmonics[k].heatFlowIn;
      const Complex b = scalar.harmonics[k].heatFlowIn;
      ASSERT_EQ(vector.harmonics[k].throughMatrix, scalar.harmonics[k].throughMatrix) << k;
      ASSERT_NEAR((a - b).getModulus(), 0.0, 1e-12 * (b.getModulus() + 1e-300))
          << wall.name << " k " << k + 1;
    }
  }
}

TEST(LeapYearTest, ProfilesOf366DaysAreComputedAndLongerOnesRefused) {
  ProfileRequest request;
  request.wall = BruskTest::profileWalls()[1].request;
  request.indoor = {20.0};
  request.outdoor = hourlyYear(8784);
  request.wall.period = kLongestProfilePeriod;
  EXPECT_TRUE(std::holds_alternative<ProfileResponse>(computeProfileResponse(request)));
  request.wall.period = kLongestProfilePeriod * 1.000001;
  const ProfileOutcome refused = computeProfileResponse(request);
  ASSERT_TRUE(std::holds_alternative<ProfileProblem>(refused));
  EXPECT_EQ(std::get<ProfileProblem>(refused).field, ProfileField::Period);
}

}  // namespace
