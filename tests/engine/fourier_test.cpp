// The FFT transforms against the direct O(N^2) sums, on random profiles of the lengths met in
// practice (a day, a prime, an hourly year and leap year) and the small edge cases; and the
// profile response through them against the response through the direct sums.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <random>
#include <string>
#include <variant>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/engine/fourier.h"
#include "brusk/engine/periodic_profile.h"
#include "profile_test_walls.h"

namespace {

using namespace Brusk::Engine;

std::vector<double> randomSamples(std::size_t count, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<double> temperature(-15.0, 45.0);
  std::vector<double> samples(count);
  for (double& sample : samples) sample = temperature(generator);
  return samples;
}

double swingOf(const std::vector<double>& values) {
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  return std::max(*high - *low, 1.0);
}

class FourierLengthTest : public testing::TestWithParam<std::size_t> {};

TEST_P(FourierLengthTest, ForwardEqualsTheDirectSumsAndNyquistIsReal) {
  const std::size_t n = GetParam();
  const std::vector<double> samples = randomSamples(n, static_cast<unsigned>(n));
  std::vector<Complex> fast(n / 2 + 1);
  std::vector<Complex> direct(n / 2 + 1);
  forwardRealTransform(samples.data(), n, fast.data(), FourierMethod::Fast);
  forwardRealTransform(samples.data(), n, direct.data(), FourierMethod::Direct);
  // Amplitudes c_k = X_k / N to 1e-12 of the swing.
  const double tolerance = 1e-12 * swingOf(samples) * static_cast<double>(n);
  for (std::size_t k = 0; k <= n / 2; ++k) {
    EXPECT_NEAR(fast[k].getRealPart(), direct[k].getRealPart(), tolerance)
        << "N " << n << " k " << k;
    EXPECT_NEAR(fast[k].getImaginaryPart(), direct[k].getImaginaryPart(), tolerance)
        << "N " << n << " k " << k;
  }
  EXPECT_EQ(fast[0].getImaginaryPart(), 0.0) << n;
  if (n % 2 == 0) {
    EXPECT_EQ(fast[n / 2].getImaginaryPart(), 0.0) << n;
    EXPECT_EQ(direct[n / 2].getImaginaryPart(), 0.0) << n;
  }
}

TEST_P(FourierLengthTest, InverseEqualsTheDirectSumsAndUndoesTheForward) {
  const std::size_t n = GetParam();
  const std::vector<double> samples = randomSamples(n, static_cast<unsigned>(n) + 1);
  std::vector<Complex> spectrum(n / 2 + 1);
  forwardRealTransform(samples.data(), n, spectrum.data(), FourierMethod::Direct);
  // A complex Nyquist term, as a heat flow's is: only its real part may count.
  if (n % 2 == 0) spectrum[n / 2] = Complex{spectrum[n / 2].getRealPart(), 1e3};
  std::vector<double> fast(n);
  std::vector<double> direct(n);
  inverseRealTransform(spectrum.data(), n, fast.data(), FourierMethod::Fast);
  inverseRealTransform(spectrum.data(), n, direct.data(), FourierMethod::Direct);
  const double tolerance = 1e-12 * swingOf(samples) * static_cast<double>(n);
  for (std::size_t j = 0; j < n; ++j) {
    EXPECT_NEAR(fast[j], direct[j], tolerance) << "N " << n << " j " << j;
    EXPECT_NEAR(fast[j], static_cast<double>(n) * samples[j], tolerance) << "N " << n << " j " << j;
  }
}

INSTANTIATE_TEST_SUITE_P(Lengths, FourierLengthTest, testing::Values(1, 2, 3, 24, 97, 8760, 8784),
                         [](const auto& testInfo) { return "N" + std::to_string(testInfo.param); });

TEST(FourierBuildTest, TheNativeBuildHasFftw) { EXPECT_TRUE(hasFastFourierTransform()); }

struct ResponseCase {
  const char* name;
  std::size_t indoorCount, outdoorCount, refinement;
  double periodHours;
};

void PrintTo(const ResponseCase& c, std::ostream* os) { *os << c.name; }

class FastResponseTest : public testing::TestWithParam<ResponseCase> {};

TEST_P(FastResponseTest, EqualsTheDirectTransformsToATrillionthOfTheSwing) {
  const ResponseCase& c = GetParam();
  for (const BruskTest::ProfileWall& wall : BruskTest::profileWalls()) {
    ProfileRequest request;
    request.wall = wall.request;
    request.wall.period = c.periodHours * kSecondsPerHour;
    request.indoor =
        c.indoorCount == 1 ? std::vector<double>{22.0} : randomSamples(c.indoorCount, 3);
    request.outdoor = randomSamples(c.outdoorCount, 5);
    request.refinement = c.refinement;
    const ProfileOutcome fastOutcome = computeProfileResponse(request);
    ProfileOptions reference;
    reference.transform = FourierMethod::Direct;
    const ProfileOutcome directOutcome = computeProfileResponse(request, reference);
    ASSERT_TRUE(std::holds_alternative<ProfileResponse>(fastOutcome)) << wall.name;
    ASSERT_TRUE(std::holds_alternative<ProfileResponse>(directOutcome)) << wall.name;
    const ProfileResponse& fast = std::get<ProfileResponse>(fastOutcome);
    const ProfileResponse& direct = std::get<ProfileResponse>(directOutcome);
    ASSERT_EQ(fast.samples.size(), c.refinement * std::max(c.indoorCount, c.outdoorCount));
    // Each flow to a trillionth of its own swing.
    std::vector<double> flowsIn;
    std::vector<double> flowsOut;
    for (const ProfileSample& sample : direct.samples) {
      flowsIn.push_back(sample.heatFlowIn);
      flowsOut.push_back(sample.heatFlowOut);
    }
    const double swingIn = swingOf(flowsIn);
    const double swingOut = swingOf(flowsOut);
    for (std::size_t j = 0; j < fast.samples.size(); ++j) {
      const ProfileSample& a = fast.samples[j];
      const ProfileSample& b = direct.samples[j];
      ASSERT_NEAR(a.heatFlowIn, b.heatFlowIn, 1e-12 * swingIn) << wall.name << " j " << j;
      ASSERT_NEAR(a.heatFlowOut, b.heatFlowOut, 1e-12 * swingOut) << wall.name << " j " << j;
      ASSERT_NEAR(a.innerSurfaceTemperature, b.innerSurfaceTemperature, 1e-12 * 60.0)
          << wall.name << " j " << j;
      ASSERT_NEAR(a.outdoor, b.outdoor, 1e-12 * 60.0) << wall.name << " j " << j;
      ASSERT_NEAR(a.indoor, b.indoor, 1e-12 * 60.0) << wall.name << " j " << j;
    }
    // At the samples' own times, the samples themselves, whichever transform.
    const std::size_t m = fast.samples.size();
    for (std::size_t j = 0; j < m; ++j) {
      const std::size_t n = request.outdoor.size();
      if ((j * n) % m == 0) {
        ASSERT_EQ(fast.samples[j].outdoor, request.outdoor[j * n / m]) << j;
      }
      const std::size_t ni = request.indoor.size();
      if ((j * ni) % m == 0) {
        ASSERT_EQ(fast.samples[j].indoor, request.indoor[j * ni / m]) << j;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, FastResponseTest,
    testing::Values(ResponseCase{"constant_against_one", 1, 1, 1, 24.0},
                    ResponseCase{"two_samples_refined", 1, 2, 7, 24.0},
                    ResponseCase{"three_samples", 3, 3, 1, 24.0},
                    ResponseCase{"day", 24, 24, 1, 24.0},
                    ResponseCase{"day_refined_odd_indoor", 25, 24, 4, 24.0},
                    ResponseCase{"prime", 1, 97, 1, 97.0}, ResponseCase{"year", 1, 8760, 1, 8760.0},
                    ResponseCase{"leap_year_both_sides", 8784, 8784, 1, 8784.0}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
