// Response to periodic profiles: a sine gives back the ISO 13786 characteristics, a constant the
// steady state, responses superpose, the samples are reproduced, the Nyquist harmonic is the
// cosine through its samples, the thick-wall limit joins the matrix, bad input is refused.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <random>
#include <variant>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/engine/periodic_profile.h"
#include "brusk/engine/wall_result.h"
#include "profile_test_walls.h"

namespace {

using namespace Brusk::Engine;
using BruskTest::ProfileWall;

ProfileResponse responseOf(const WallRequest& wall, std::vector<double> indoor,
                           std::vector<double> outdoor, std::size_t refinement = 1) {
  ProfileRequest request{wall, std::move(indoor), std::move(outdoor), refinement};
  ProfileOutcome outcome = computeProfileResponse(request);
  EXPECT_TRUE(std::holds_alternative<ProfileResponse>(outcome));
  if (!std::holds_alternative<ProfileResponse>(outcome)) return {};
  return std::get<ProfileResponse>(outcome);
}

WallResult resultOf(const WallRequest& wall) { return std::get<WallResult>(compute(wall)); }

/// theta(n) = mean + amplitude cos(2 pi k n / N + phase), n = 0 .. N - 1.
std::vector<double> cosineSamples(std::size_t count, double mean, double amplitude,
                                  std::size_t order, double phase) {
  std::vector<double> samples(count);
  for (std::size_t n = 0; n < count; ++n) {
    samples[n] =
        mean +
        amplitude *
            std::cos(kTwoPi * static_cast<double>(order * n) / static_cast<double>(count) + phase);
  }
  return samples;
}

class ProfileWallTest : public testing::TestWithParam<ProfileWall> {};

TEST_P(ProfileWallTest, OutdoorSineGivesBackY12ItsShiftAndTheDecrementFactor) {
  const WallRequest& wall = GetParam().request;
  const WallResult result = resultOf(wall);
  for (std::size_t count : {std::size_t{3}, std::size_t{7}, std::size_t{24}, std::size_t{96}}) {
    const ProfileResponse response =
        responseOf(wall, {22.0}, cosineSamples(count, 25.0, 10.0, 1, 0.3));
    ASSERT_EQ(response.samples.size(), count);
    const ProfileHarmonic& first = response.harmonics.at(0);
    const Complex transmittance = first.heatFlowIn / first.outdoor;
    const double y12 = result.periodicThermalTransmittance.getModulus();
    EXPECT_NEAR(transmittance.getModulus(), y12, 1e-12 * y12) << count;
    EXPECT_NEAR(timeShiftHours(transmittance, result.period),
                result.periodicThermalTransmittanceShift, 1e-12)
        << count;
    EXPECT_NEAR(transmittance.getModulus() / response.uValue, result.decrementFactor, 1e-12)
        << count;
    const double phase = std::atan2(result.periodicThermalTransmittance.getImaginaryPart(),
                                    result.periodicThermalTransmittance.getRealPart());
    for (std::size_t j = 0; j < count; ++j) {
      const double expected =
          result.uValue * 3.0 +
          10.0 * y12 *
              std::cos(kTwoPi * static_cast<double>(j) / static_cast<double>(count) + 0.3 + phase);
      EXPECT_NEAR(response.samples[j].heatFlowIn, expected, 1e-12 * (1.0 + 10.0 * y12)) << j;
    }
  }
}

TEST_P(ProfileWallTest, IndoorSineGoesThroughY11AndBothSidesTogetherThroughThePartitionForm) {
  const WallRequest& wall = GetParam().request;
  const WallResult result = resultOf(wall);
  const ProfileResponse indoorOnly = responseOf(wall, cosineSamples(24, 20.0, 2.0, 1, 0.0), {20.0});
  const ProfileHarmonic& driven = indoorOnly.harmonics.at(0);
  const Complex y11 = -result.z11 / result.z12;
  const Complex admittance = -(driven.heatFlowIn / driven.indoor);
  EXPECT_NEAR(admittance.getRealPart(), y11.getRealPart(), 1e-12 * y11.getModulus());
  EXPECT_NEAR(admittance.getImaginaryPart(), y11.getImaginaryPart(), 1e-12 * y11.getModulus());

  // The same swing on both sides: q_in = -(1 - Z11) / Z12 theta, ISO 13786's partition Y11.
  const ProfileResponse both =
      responseOf(wall, cosineSamples(24, 20.0, 2.0, 1, 0.0), cosineSamples(24, 20.0, 2.0, 1, 0.0));
  const Complex partitionForm = -(both.harmonics.at(0).heatFlowIn / both.harmonics.at(0).indoor);
  const Complex expected = (Complex{1.0, 0.0} - result.z11) / result.z12;
  EXPECT_NEAR(partitionForm.getRealPart(), expected.getRealPart(), 1e-12 * expected.getModulus());
  EXPECT_NEAR(partitionForm.getImaginaryPart(), expected.getImaginaryPart(),
              1e-12 * expected.getModulus());
  if (wall.position == ElementPosition::Internal) {
    EXPECT_NEAR(result.internalAdmittance.getModulus(), expected.getModulus(), 1e-12);
  }
}

TEST_P(ProfileWallTest, ConstantsGiveTheSteadyStateOnBothFaces) {
  const WallRequest& wall = GetParam().request;
  const WallResult result = resultOf(wall);
  const SurfaceResistances resistances = wall.surfaceResistances();
  const ProfileResponse response = responseOf(wall, {21.0}, {-5.0});
  ASSERT_EQ(response.samples.size(), 1u);
  const ProfileSample& sample = response.samples[0];
  const double flow = result.uValue * (-26.0);
  EXPECT_NEAR(sample.heatFlowIn, flow, 1e-13);
  EXPECT_NEAR(sample.heatFlowOut, flow, 1e-13);
  EXPECT_NEAR(sample.innerSurfaceTemperature, 21.0 + resistances.internal * flow, 1e-13);
  EXPECT_NEAR(sample.outerSurfaceTemperature, -5.0 - resistances.external * flow, 1e-13);
  EXPECT_TRUE(response.harmonics.empty());
}

TEST_P(ProfileWallTest, TwoHarmonicsGiveTheSumOfTheirResponses) {
  const WallRequest& wall = GetParam().request;
  const std::vector<double> first = cosineSamples(24, 28.0, 8.0, 1, -1.1);
  const std::vector<double> third = cosineSamples(24, 0.0, 3.0, 3, 0.7);
  std::vector<double> sum(24);
  for (std::size_t n = 0; n < 24; ++n) sum[n] = first[n] + third[n];
  const std::vector<double> indoor = cosineSamples(24, 24.0, 1.5, 2, 0.2);
  const ProfileResponse whole = responseOf(wall, indoor, sum);
  const ProfileResponse partA = responseOf(wall, indoor, first);
  const ProfileResponse partB = responseOf(wall, {0.0}, third);
  for (std::size_t j = 0; j < 24; ++j) {
    EXPECT_NEAR(whole.samples[j].heatFlowIn,
                partA.samples[j].heatFlowIn + partB.samples[j % 24].heatFlowIn, 1e-12)
        << j;
    EXPECT_NEAR(
        whole.samples[j].innerSurfaceTemperature,
        partA.samples[j].innerSurfaceTemperature + (partB.samples[j].innerSurfaceTemperature),
        1e-12)
        << j;
  }
}

TEST_P(ProfileWallTest, SamplesAreReproducedAndRefinementInterpolatesBetweenThem) {
  const WallRequest& wall = GetParam().request;
  std::mt19937 generator(7);
  std::uniform_real_distribution<double> temperature(-10.0, 45.0);
  for (std::size_t count : {std::size_t{2}, std::size_t{24}, std::size_t{25}}) {
    std::vector<double> outdoor(count);
    for (double& value : outdoor) value = temperature(generator);
    const std::vector<double> indoor = cosineSamples(count, 22.0, 1.0, 1, 2.0);
    const ProfileResponse coarse = responseOf(wall, indoor, outdoor);
    const ProfileResponse fine = responseOf(wall, indoor, outdoor, 5);
    ASSERT_EQ(fine.samples.size(), 5 * count);
    for (std::size_t n = 0; n < count; ++n) {
      EXPECT_EQ(coarse.samples[n].outdoor, outdoor[n]) << count << " " << n;
      EXPECT_EQ(fine.samples[5 * n].outdoor, outdoor[n]) << count << " " << n;
      EXPECT_EQ(coarse.samples[n].indoor, indoor[n]) << count << " " << n;
      EXPECT_NEAR(fine.samples[5 * n].heatFlowIn, coarse.samples[n].heatFlowIn, 1e-11);
      EXPECT_NEAR(fine.samples[5 * n].time, coarse.samples[n].time, 1e-12);
    }
    // Between the samples, the cosine they were taken from (count >= 3 resolves it).
    for (std::size_t j = 0; count >= 3 && j < fine.samples.size(); ++j) {
      const double phase = kTwoPi * static_cast<double>(j) / static_cast<double>(5 * count);
      EXPECT_NEAR(fine.samples[j].indoor, 22.0 + std::cos(phase + 2.0), 1e-12) << j;
    }
  }
}

TEST_P(ProfileWallTest, NyquistSamplesAreReadAsTheCosineThroughThem) {
  // Two samples +-1 about a mean are cos(2 pi t / T): the same response as four samples of it.
  const WallRequest& wall = GetParam().request;
  const ProfileResponse two = responseOf(wall, {20.0}, {31.0, 29.0}, 2);
  const ProfileResponse four = responseOf(wall, {20.0}, {31.0, 30.0, 29.0, 30.0});
  ASSERT_EQ(two.samples.size(), 4u);
  for (std::size_t j = 0; j < 4; ++j) {
    EXPECT_NEAR(two.samples[j].heatFlowIn, four.samples[j].heatFlowIn, 1e-12) << j;
    EXPECT_NEAR(two.samples[j].outdoor, four.samples[j].outdoor, 1e-12) << j;
  }
}

TEST_P(ProfileWallTest, ImpedanceAdmittancesEqualTheMatrixOnes) {
  const WallRequest& wall = GetParam().request;
  for (double hours : {0.5, 3.0, 24.0, 168.0}) {
    const double period = hours * kSecondsPerHour;
    PeriodicResponse matrix;
    ASSERT_TRUE(computePeriodicResponse(wall.layers.data(), wall.layers.size(), wall.boundary(),
                                        period, matrix));
    const SurfaceAdmittances admittances =
        surfaceAdmittances(wall.layers.data(), wall.layers.size(), wall.boundary(), period);
    const Complex y11 = -matrix.z11 / matrix.z12;
    const Complex y22 = -matrix.z22 / matrix.z12;
    EXPECT_NEAR((admittances.internal - y11).getModulus(), 0.0, 1e-12 * y11.getModulus()) << hours;
    EXPECT_NEAR((admittances.external - y22).getModulus(), 0.0, 1e-12 * y22.getModulus()) << hours;
  }
}

INSTANTIATE_TEST_SUITE_P(Walls, ProfileWallTest, testing::ValuesIn(BruskTest::profileWalls()),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(ThickWallLimitTest, HarmonicsPastOverflowJoinTheMatrixOnes) {
  // Concrete 3 m and 6 m thick are both semi-infinite for every harmonic seen from inside
  // (d / delta > 20 on the daily cycle): their indoor responses differ only by the mean. Minute
  // samples reach harmonic 720; the matrix of the 3 m wall overflows from about k = 290, that of
  // the 6 m wall from about k = 73.
  const auto concrete = [](double thickness) {
    return BruskTest::wallOf({LayerProperties::slab(thickness, 1.8, 2400, 1000)});
  };
  std::vector<double> indoor(1440, 20.0);
  for (std::size_t n = 600; n < 999; ++n) indoor[n] = 26.0;  // odd length: every harmonic present
  const ProfileResponse thin = responseOf(concrete(3.0), indoor, {20.0});
  const ProfileResponse thick = responseOf(concrete(6.0), indoor, {20.0});
  std::size_t thinLimited = 0;
  std::size_t thickLimited = 0;
  for (std::size_t k = 0; k < 720; ++k) {
    thinLimited += thin.harmonics[k].throughMatrix ? 0u : 1u;
    thickLimited += thick.harmonics[k].throughMatrix ? 0u : 1u;
    const Complex a = thin.harmonics[k].heatFlowIn;
    const Complex b = thick.harmonics[k].heatFlowIn;
    ASSERT_GT(b.getModulus(), 0.0) << k;
    EXPECT_NEAR((a - b).getModulus(), 0.0, 1e-12 * b.getModulus()) << k;
  }
  EXPECT_GT(thinLimited, 300u);
  EXPECT_GT(thickLimited, 600u);
  for (std::size_t j = 0; j < 1440; ++j) {
    EXPECT_NEAR(thin.samples[j].heatFlowIn - thin.meanHeatFlow,
                thick.samples[j].heatFlowIn - thick.meanHeatFlow, 1e-10);
  }
}

TEST(ProfileSummaryTest, ASineOfHeatFlowGivesItsPeakLagAndEnergies) {
  const WallRequest wall = BruskTest::profileWalls()[2].request;
  const WallResult result = resultOf(wall);
  // Mean of the profiles equal: q_in is a pure sine of amplitude 10 |Y12|, crossing zero.
  const ProfileResponse response =
      responseOf(wall, {25.0}, cosineSamples(24, 25.0, 10.0, 1, 0.0), 60);
  const ProfileSummary summary = summarizeProfileResponse(response);
  const double amplitude = 10.0 * result.periodicThermalTransmittance.getModulus();
  const double minute = 1.0 / 60.0;
  EXPECT_NEAR(summary.meanHeatFlowIn, 0.0, 1e-14);
  EXPECT_NEAR(summary.peakHeatFlowIn, amplitude, 1e-4 * amplitude);
  EXPECT_NEAR(summary.minimumHeatFlowIn, -amplitude, 1e-4 * amplitude);
  EXPECT_NEAR(summary.outdoorPeakTime, 0.0, 1e-15);
  EXPECT_NEAR(summary.peakDelay, result.timeLag, minute / 2 + 1e-9);
  EXPECT_NEAR(summary.peakTime, result.timeLag, minute / 2 + 1e-9);
  // The integral of the positive half of a cos over 24 h: amplitude x 24 h / pi [Wh/m2].
  EXPECT_NEAR(summary.energyGained, amplitude * 24.0 / kPi, 1e-5 * amplitude);
  EXPECT_NEAR(summary.energyLost, amplitude * 24.0 / kPi, 1e-5 * amplitude);
}

struct SolAirCase {
  const char* name;
  double outdoor, irradiance;
  SolAirSurface surface;
  double expected;
};

class SolAirTest : public testing::TestWithParam<SolAirCase> {};

TEST_P(SolAirTest, AddsTheAbsorbedSunAndTakesTheSkyLoss) {
  const SolAirCase& c = GetParam();
  EXPECT_NEAR(solAirTemperature(c.outdoor, c.irradiance, c.surface), c.expected, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SolAirTest,
    testing::Values(SolAirCase{"night_wall", 18.0, 0.0, {0.6, 0.9, 0.0, 0.04}, 18.0},
                    // 30 + 0.6 x 500 x 0.04
                    SolAirCase{"west_wall", 30.0, 500.0, {0.6, 0.9, 0.0, 0.04}, 42.0},
                    // 30 + 0.9 x 800 x 0.04 - 0.9 x 63 x 0.04
                    SolAirCase{"dark_roof", 30.0, 800.0, {0.9, 0.9, 63.0, 0.04}, 56.532},
                    SolAirCase{"night_roof", 15.0, 0.0, {0.9, 0.9, 63.0, 0.04}, 12.732},
                    SolAirCase{"no_film", 30.0, 800.0, {0.9, 0.9, 63.0, 0.0}, 30.0}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

struct RefusalCase {
  const char* name;
  ProfileRequest request;
  ProfileProblemKind kind;
  ProfileField field;
  std::size_t index;
};

class ProfileRefusalTest : public testing::TestWithParam<RefusalCase> {};

TEST_P(ProfileRefusalTest, NamesTheProfileTheSampleAndTheReason) {
  const RefusalCase& c = GetParam();
  const ProfileOutcome outcome = computeProfileResponse(c.request);
  ASSERT_TRUE(std::holds_alternative<ProfileProblem>(outcome));
  const ProfileProblem& problem = std::get<ProfileProblem>(outcome);
  EXPECT_EQ(problem.kind, c.kind);
  EXPECT_EQ(problem.field, c.field);
  EXPECT_EQ(problem.index, c.index);
}

ProfileRequest requestWith(std::vector<double> indoor, std::vector<double> outdoor,
                           std::size_t refinement = 1, double period = kDailyPeriod) {
  WallRequest wall = BruskTest::profileWalls()[0].request;
  wall.period = period;
  return {wall, std::move(indoor), std::move(outdoor), refinement};
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProfileRefusalTest,
    testing::Values(
        RefusalCase{"empty_indoor", requestWith({}, {20.0}), ProfileProblemKind::Empty,
                    ProfileField::Indoor, kWholeProfile},
        RefusalCase{"empty_outdoor", requestWith({20.0}, {}), ProfileProblemKind::Empty,
                    ProfileField::Outdoor, kWholeProfile},
        RefusalCase{"nan_sample", requestWith({20.0}, {20.0, 21.0, std::nan(""), 19.0}),
                    ProfileProblemKind::NotFinite, ProfileField::Outdoor, 2},
        RefusalCase{"infinite_indoor", requestWith({HUGE_VAL}, {20.0}),
                    ProfileProblemKind::NotFinite, ProfileField::Indoor, 0},
        RefusalCase{"too_many", requestWith({20.0}, std::vector<double>(kMaxProfileSamples + 1)),
                    ProfileProblemKind::TooManySamples, ProfileField::Outdoor, kWholeProfile},
        RefusalCase{"no_refinement", requestWith({20.0}, {20.0}, 0), ProfileProblemKind::OutOfRange,
                    ProfileField::Refinement, kWholeProfile},
        RefusalCase{"too_fine", requestWith({20.0}, std::vector<double>(24), 4000),
                    ProfileProblemKind::TooManySamples, ProfileField::Refinement, kWholeProfile},
        // 24 samples over 20 s: harmonic 12 has a period of 1.67 s; over 10 s, 0.83 s.
        RefusalCase{"short_harmonic", requestWith(std::vector<double>(24), {20.0}, 1, 10.0),
                    ProfileProblemKind::ShortHarmonic, ProfileField::Indoor, 12}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(ProfileRefusalTest, AWallProblemComesFirst) {
  ProfileRequest request = requestWith({20.0}, {});
  request.wall.layers.clear();
  const ProfileOutcome outcome = computeProfileResponse(request);
  ASSERT_TRUE(std::holds_alternative<WallProblem>(outcome));
  EXPECT_EQ(std::get<WallProblem>(outcome).kind, ProblemKind::NoLayers);
  EXPECT_TRUE(std::holds_alternative<ProfileResponse>(
      computeProfileResponse(requestWith(std::vector<double>(24), {20.0}, 1, 24.0))));
}

struct SolAirRefusalCase {
  const char* name;
  std::vector<double> irradiance;
  SolAirSurface surface;
  ProfileProblemKind kind;
  ProfileField field;
  std::size_t index;
};

class SolAirRefusalTest : public testing::TestWithParam<SolAirRefusalCase> {};

TEST_P(SolAirRefusalTest, NamesWhatIsWrong) {
  const SolAirRefusalCase& c = GetParam();
  const auto outcome = solAirProfile({20.0, 25.0, 30.0}, c.irradiance, c.surface);
  ASSERT_TRUE(std::holds_alternative<ProfileProblem>(outcome));
  const ProfileProblem& problem = std::get<ProfileProblem>(outcome);
  EXPECT_EQ(problem.kind, c.kind);
  EXPECT_EQ(problem.field, c.field);
  EXPECT_EQ(problem.index, c.index);
}

INSTANTIATE_TEST_SUITE_P(Table, SolAirRefusalTest,
                         testing::Values(SolAirRefusalCase{"absorptance_above_one",
                                                           {0, 0, 0},
                                                           {1.2, 0.9, 0, 0.04},
                                                           ProfileProblemKind::OutOfRange,
                                                           ProfileField::Absorptance,
                                                           kWholeProfile},
                                         SolAirRefusalCase{"absorptance_nan",
                                                           {0, 0, 0},
                                                           {std::nan(""), 0.9, 0, 0.04},
                                                           ProfileProblemKind::OutOfRange,
                                                           ProfileField::Absorptance,
                                                           kWholeProfile},
                                         SolAirRefusalCase{"emissivity_negative",
                                                           {0, 0, 0},
                                                           {0.5, -0.1, 0, 0.04},
                                                           ProfileProblemKind::OutOfRange,
                                                           ProfileField::Emissivity,
                                                           kWholeProfile},
                                         SolAirRefusalCase{"sky_infinite",
                                                           {0, 0, 0},
                                                           {0.5, 0.9, HUGE_VAL, 0.04},
                                                           ProfileProblemKind::OutOfRange,
                                                           ProfileField::SkyRadiation,
                                                           kWholeProfile},
                                         SolAirRefusalCase{"negative_sun",
                                                           {0, -3, 0},
                                                           {0.5, 0.9, 0, 0.04},
                                                           ProfileProblemKind::Negative,
                                                           ProfileField::Irradiance,
                                                           1},
                                         SolAirRefusalCase{"nan_sun",
                                                           {0, 0, std::nan("")},
                                                           {0.5, 0.9, 0, 0.04},
                                                           ProfileProblemKind::NotFinite,
                                                           ProfileField::Irradiance,
                                                           2},
                                         SolAirRefusalCase{"fewer_sun",
                                                           {0, 0},
                                                           {0.5, 0.9, 0, 0.04},
                                                           ProfileProblemKind::LengthMismatch,
                                                           ProfileField::Irradiance,
                                                           kWholeProfile}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace

namespace {

// computeProfileResponseInto reuses a response from one call to the next and gives exactly the
// doubles computeProfileResponse returns, also after a longer profile and after a problem.
TEST(ProfileResponseInto, ReusedStorageGivesTheSameDoubles) {
  Brusk::Engine::WallRequest wall;
  wall.layers = {Brusk::Engine::LayerProperties::slab(0.2, 1.8, 2400.0, 1000.0)};
  Brusk::Engine::ProfileResponse reused;
  for (const std::size_t count : {std::size_t{48}, std::size_t{24}, std::size_t{7}}) {
    Brusk::Engine::ProfileRequest request;
    request.wall = wall;
    request.indoor = {20.0};
    for (std::size_t j = 0; j < count; ++j) {
      request.outdoor.push_back(10.0 + 8.0 * std::sin(0.7 * static_cast<double>(j)));
    }
    const Brusk::Engine::ProfileOutcome fresh = Brusk::Engine::computeProfileResponse(request);
    ASSERT_FALSE(Brusk::Engine::computeProfileResponseInto(request, reused).has_value());
    const auto& expected = std::get<Brusk::Engine::ProfileResponse>(fresh);
    ASSERT_EQ(reused.samples.size(), expected.samples.size()) << count;
    ASSERT_EQ(reused.harmonics.size(), expected.harmonics.size()) << count;
    for (std::size_t j = 0; j < expected.samples.size(); ++j) {
      EXPECT_EQ(reused.samples[j].heatFlowIn, expected.samples[j].heatFlowIn) << count << " " << j;
      EXPECT_EQ(reused.samples[j].outerSurfaceTemperature,
                expected.samples[j].outerSurfaceTemperature);
    }
    EXPECT_EQ(reused.uValue, expected.uValue);
  }
  Brusk::Engine::ProfileRequest empty;
  empty.wall = wall;
  empty.indoor = {20.0};
  EXPECT_TRUE(Brusk::Engine::computeProfileResponseInto(empty, reused).has_value());
}

}  // namespace
