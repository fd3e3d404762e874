// The engine's periodic kernel, written for speed, against a plain evaluation of the ISO 13786
// formulas kept here: std::cosh, std::sinh, std::cos and std::sin per slab, full 2x2 matrices
// multiplied in stack order, complex divisions for the derived quantities.
//
// Tolerance. Both sides round differently, and some formulas cancel: Im L12 is
// -(delta / 2 lambda)(cosh xi sin xi - sinh xi cos xi) ~ -(delta / 2 lambda) 2 xi^3 / 3 for small
// xi, the reference itself losing digits there; Z11 - 1 cancels for a light wall; matrix
// products cancel. So every quantity is compared within 1e-12 of its *magnitude*: the value the
// same formula gives with each term replaced by its absolute value (products of magnitudes,
// sums of magnitudes, the quotient's sensitivity to both operands). Rounding errors of any
// evaluation are a small multiple of the unit roundoff times that magnitude; where nothing
// cancels the magnitude is the value itself and the check is 1e-12 relative.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "brusk/engine/periodic_response.h"
#include "periodic_reference.h"

namespace {

using namespace Brusk::Engine;
using namespace Brusk::Testing;

constexpr double kTolerance = 1e-12;

void expectAgrees(double actual, double expected, double magnitude, const std::string& what) {
  EXPECT_LE(std::abs(actual - expected), kTolerance * magnitude)
      << what << ": " << actual << " vs " << expected << " (magnitude " << magnitude << ")";
}

void expectAgrees(const Complex& actual, const Tracked& expected, const std::string& what) {
  expectAgrees(actual.getRealPart(), expected.value.getRealPart(), expected.magnitude,
               what + ".re");
  expectAgrees(actual.getImaginaryPart(), expected.value.getImaginaryPart(), expected.magnitude,
               what + ".im");
}

class KernelAgreementTest : public ::testing::TestWithParam<WallFamily> {};

TEST_P(KernelAgreementTest, EveryFieldMatchesThePlainFormulas) {
  const WallFamily& family = GetParam();
  std::mt19937_64 random(family.seed);
  std::uniform_real_distribution<double> surfaceResistance(0.0, 0.25),
      logPeriod(std::log(family.minPeriod), std::log(family.maxPeriod));
  std::bernoulli_distribution partition(0.3);
  int refused = 0;
  for (int wall = 0; wall < family.wallCount; ++wall) {
    const std::vector<LayerProperties> layers = randomLayers(family, random);
    const ElementBoundary boundary{surfaceResistance(random), surfaceResistance(random),
                                   partition(random)};
    const double period = std::exp(logPeriod(random));
    const Reference expected = referenceResponse(layers, boundary, period);

    PeriodicResponse actual;
    actual.uValue = -1.0;  // sentinel: a refusal must leave the record untouched
    const PeriodicResponse before = actual;
    const bool finite =
        computePeriodicResponse(layers.data(), layers.size(), boundary, period, actual);
    const std::string where = std::string(family.name) + " wall " + std::to_string(wall);
    ASSERT_EQ(finite, expected.finite) << where;
    if (!finite) {
      ++refused;
      EXPECT_EQ(std::memcmp(&actual, &before, sizeof actual), 0) << where;
      continue;
    }
    expectAgrees(actual.z11, expected.z11, where + " z11");
    expectAgrees(actual.z12, expected.z12, where + " z12");
    expectAgrees(actual.z21, expected.z21, where + " z21");
    expectAgrees(actual.z22, expected.z22, where + " z22");
    expectAgrees(actual.internalAdmittance, expected.internalAdmittance, where + " Y11");
    expectAgrees(actual.externalAdmittance, expected.externalAdmittance, where + " Y22");
    expectAgrees(actual.periodicThermalTransmittance, expected.transmittance, where + " Y12");
    expectAgrees(actual.internalArealHeatCapacity, expected.internalCapacity.value.getModulus(),
                 expected.internalCapacity.magnitude, where + " kappa1");
    expectAgrees(actual.externalArealHeatCapacity, expected.externalCapacity.value.getModulus(),
                 expected.externalCapacity.magnitude, where + " kappa2");
    expectAgrees(actual.decrementFactor, expected.decrementFactor.value.getModulus(),
                 expected.decrementFactor.magnitude, where + " f");
    expectAgrees(actual.thermalResistance, expected.thermalResistance, expected.thermalResistance,
                 where + " R");
    expectAgrees(actual.uValue, 1.0 / expected.thermalResistance, 1.0 / expected.thermalResistance,
                 where + " U");
  }
  // The thick family exists to exercise refusals.
  if (family.maxThickness > 1.0) {
    EXPECT_GT(refused, family.wallCount / 10);
  }
}

constexpr double kHour = 3600.0, kDay = 86400.0;

INSTANTIATE_TEST_SUITE_P(
    RandomWalls, KernelAgreementTest,
    ::testing::Values(
        // Building layers from renders to thick masonry, cycles from an hour to a month.
        WallFamily{"building", 1u, 3000, 0.005, 0.5, kHour, 30 * kDay},
        WallFamily{"daily", 2u, 2000, 0.005, 0.5, kDay, kDay},
        // Films and foils: xi down to about 1e-6, where e^xi - e^-xi would lose every digit.
        WallFamily{"films", 3u, 2000, 1e-6, 5e-3, kHour, 30 * kDay},
        // Metres of material on short cycles: matrices near and past overflow.
        WallFamily{"thick", 4u, 2000, 0.5, 20.0, kHour, kDay}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
