// computeManyInto against computeInto, request by request: the same problems for bad and
// overflowing walls, the same steady state and sequential estimates, the periodic part within
// the many-wall kernel's rounding, whatever the thread count.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/engine/many_wall_results.h"
#include "brusk/engine/wall_result.h"
#include "periodic_reference.h"

namespace {

using namespace Brusk::Engine;
using namespace Brusk::Testing;

/// A way to spoil a request, applied to every fifth one.
struct Spoiler {
  const char* name;
  void (*spoil)(WallRequest&);
};

const Spoiler kSpoilers[] = {
    {"none", [](WallRequest&) {}},
    {"noLayers", [](WallRequest& request) { request.layers.clear(); }},
    {"negativeConductivity",
     [](WallRequest& request) {
       request.layers.back() = LayerProperties::slab(0.1, -1.0, 1000.0, 1000.0);
     }},
    {"nanPeriod",
     [](WallRequest& request) { request.period = std::numeric_limits<double>::quiet_NaN(); }},
    {"periodTooShort", [](WallRequest& request) { request.period = 0.5; }},
    {"infiniteSurfaceResistance",
     [](WallRequest& request) {
       request.internalSurfaceResistance = std::numeric_limits<double>::infinity();
     }},
    {"tooManyLayers",
     [](WallRequest& request) {
       request.layers.assign(kMaxLayers + 1, LayerProperties::slab(0.01, 1.0, 1000.0, 1000.0));
     }},
    {"negativeExternalResistance",
     [](WallRequest& request) { request.externalSurfaceResistance = -0.01; }},
    {"zeroPureResistance",
     [](WallRequest& request) { request.layers.front() = LayerProperties::pureResistance(0.0); }},
    {"overflowing",
     [](WallRequest& request) {
       request.layers.push_back(LayerProperties::slab(60.0, 2.0, 2400.0, 1000.0));
       request.period = 3600.0;
     }},
};

std::vector<WallRequest> makeRequests(const Spoiler& spoiler, int count) {
  const WallFamily family{"mixed", 31u, count, 1e-4, 2.0, 3600.0, 30 * kDailyPeriod};
  std::mt19937_64 random(family.seed);
  std::uniform_real_distribution<double> logPeriod(std::log(family.minPeriod),
                                                   std::log(family.maxPeriod));
  std::bernoulli_distribution partition(0.3);
  std::vector<WallRequest> requests(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < requests.size(); ++i) {
    WallRequest& request = requests[i];
    request.layers = randomLayers(family, random);
    request.position = partition(random) ? ElementPosition::Internal : ElementPosition::External;
    request.period = std::exp(logPeriod(random));
    if (i % 5 == 0) spoiler.spoil(request);
  }
  return requests;
}

void expectSameProblem(const WallProblem& actual, const WallProblem& expected,
                       const std::string& where) {
  EXPECT_EQ(actual.kind, expected.kind) << where;
  EXPECT_EQ(actual.field, expected.field) << where;
  EXPECT_EQ(actual.layer, expected.layer) << where;
  EXPECT_TRUE(actual.value == expected.value ||
              (std::isnan(actual.value) && std::isnan(expected.value)))
      << where;
  EXPECT_EQ(actual.penetrationDepths, expected.penetrationDepths) << where;
  EXPECT_EQ(actual.dominantLayer, expected.dominantLayer) << where;
  EXPECT_EQ(actual.pureResistance, expected.pureResistance) << where;
}

/// Within the kernel's rounding, judged against the modulus of the complex value.
void expectClose(const Complex& actual, const Complex& expected, const std::string& where) {
  const double scale = 1e-9 * expected.getModulus();
  EXPECT_NEAR(actual.getRealPart(), expected.getRealPart(), scale) << where;
  EXPECT_NEAR(actual.getImaginaryPart(), expected.getImaginaryPart(), scale) << where;
}

using ResultsCase = std::tuple<Spoiler, unsigned>;

class ManyWallResultsTest : public ::testing::TestWithParam<ResultsCase> {};

TEST_P(ManyWallResultsTest, EveryRequestAsComputeIntoAnswersIt) {
  const auto& [spoiler, threads] = GetParam();
  const std::vector<WallRequest> requests = makeRequests(spoiler, 203);
  std::vector<WallResult> results(requests.size());
  std::vector<std::optional<WallProblem>> problems(requests.size());
  ManyWallsOptions options;
  options.threads = threads;
  computeManyInto(requests.data(), requests.size(), results.data(), problems.data(), options);

  int refused = 0;
  for (std::size_t i = 0; i < requests.size(); ++i) {
    const std::string where = std::string(spoiler.name) + " request " + std::to_string(i);
    WallResult expected;
    const std::optional<WallProblem> expectedProblem = computeInto(requests[i], expected);
    ASSERT_EQ(problems[i].has_value(), expectedProblem.has_value()) << where;
    if (expectedProblem) {
      ++refused;
      expectSameProblem(*problems[i], *expectedProblem, where);
      continue;
    }
    const WallResult& actual = results[i];
    EXPECT_EQ(actual.period, expected.period) << where;
    EXPECT_EQ(actual.thickness, expected.thickness) << where;
    EXPECT_EQ(actual.surfaceMass, expected.surfaceMass) << where;
    EXPECT_EQ(actual.thermalResistance, expected.thermalResistance) << where;
    EXPECT_EQ(actual.uValue, expected.uValue) << where;
    EXPECT_EQ(actual.daily.capacity, expected.daily.capacity) << where;
    EXPECT_EQ(actual.daily.method, expected.daily.method) << where;
    EXPECT_EQ(actual.twelveDay.capacity, expected.twelveDay.capacity) << where;
    EXPECT_EQ(actual.twelveDay.method, expected.twelveDay.method) << where;
    expectClose(actual.periodicThermalTransmittance, expected.periodicThermalTransmittance,
                where + " Y12");
    expectClose(actual.internalAdmittance, expected.internalAdmittance, where + " Y11");
    EXPECT_NEAR(actual.decrementFactor, expected.decrementFactor, 1e-9 * expected.decrementFactor)
        << where;
    // Phases from values a few ulps apart: [h] on cycles up to 30 days.
    const double shiftTolerance = 1e-6 * expected.period / kSecondsPerHour;
    EXPECT_NEAR(actual.timeLag, expected.timeLag, shiftTolerance) << where;
    EXPECT_NEAR(actual.internalAdmittanceShift, expected.internalAdmittanceShift, shiftTolerance)
        << where;
  }
  if (std::string(spoiler.name) != "none") {
    EXPECT_GE(refused, static_cast<int>(requests.size()) / 5) << "every fifth request spoilt";
  }
}

class CheckWallTest : public ::testing::TestWithParam<Spoiler> {};

TEST_P(CheckWallTest, FindsWhatCheckFindsInTheRequest) {
  const std::vector<WallRequest> requests = makeRequests(GetParam(), 61);
  ManyWallsInput input;
  for (const WallRequest& request : requests) {
    input.add(request.layers.data(), request.layers.size(), request.boundary(), request.period);
  }
  const WallArrays arrays = input.arrays();
  for (std::size_t i = 0; i < requests.size(); ++i) {
    const std::string where = std::string(GetParam().name) + " request " + std::to_string(i);
    const std::optional<WallProblem> expected = check(requests[i]);
    const std::optional<WallProblem> actual = checkWall(arrays, i);
    ASSERT_EQ(actual.has_value(), expected.has_value()) << where;
    if (expected) expectSameProblem(*actual, *expected, where);
  }
}

INSTANTIATE_TEST_SUITE_P(Requests, CheckWallTest, ::testing::ValuesIn(kSpoilers),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

INSTANTIATE_TEST_SUITE_P(Requests, ManyWallResultsTest,
                         ::testing::Combine(::testing::ValuesIn(kSpoilers),
                                            ::testing::Values(1u, 2u, 5u)),
                         [](const auto& testInfo) {
                           return std::string(std::get<0>(testInfo.param).name) + "_" +
                                  std::to_string(std::get<1>(testInfo.param)) + "threads";
                         });

}  // namespace
