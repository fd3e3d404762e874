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

namespace {

using namespace Brusk::Engine;

constexpr double kTolerance = 1e-12;

/// A complex value with the magnitude of the terms that produced it.
struct Tracked {
  Complex value;
  double magnitude;
};

Tracked exact(Complex value) { return {value, value.getModulus()}; }
Tracked operator+(Tracked x, Tracked y) { return {x.value + y.value, x.magnitude + y.magnitude}; }
Tracked operator-(Tracked x, Tracked y) { return {x.value - y.value, x.magnitude + y.magnitude}; }
Tracked operator*(Tracked x, Tracked y) { return {x.value * y.value, x.magnitude * y.magnitude}; }
Tracked operator/(Tracked x, Tracked y) {
  const Complex quotient = x.value / y.value;
  const double divisor = y.value.getModulus();
  return {quotient, (x.magnitude + quotient.getModulus() * y.magnitude) / divisor};
}

struct TrackedMatrix {
  Tracked m11, m12, m21, m22;
};

TrackedMatrix operator*(const TrackedMatrix& a, const TrackedMatrix& b) {
  return {a.m11 * b.m11 + a.m12 * b.m21, a.m11 * b.m12 + a.m12 * b.m22,
          a.m21 * b.m11 + a.m22 * b.m21, a.m21 * b.m12 + a.m22 * b.m22};
}

TrackedMatrix resistanceMatrix(double resistance) {
  return {exact({1, 0}), exact({-resistance, 0}), exact({0, 0}), exact({1, 0})};
}

/// ISO 13786 matrix of a homogeneous slab, delta = sqrt(lambda T / (rho c pi)), xi = d / delta.
TrackedMatrix slabMatrix(const LayerProperties& layer, double period) {
  const double lambda = layer.conductivity;
  const double delta =
      std::sqrt((lambda * period) / ((layer.density * layer.specificHeat) * 3.141592653589793));
  const double xi = layer.thickness / delta;
  const double ch = std::cosh(xi), sh = std::sinh(xi), cs = std::cos(xi), sn = std::sin(xi);
  const Tracked chCos = exact({ch * cs, 0}), shSin = exact({sh * sn, 0});
  const Tracked shCos = exact({sh * cs, 0}), chSin = exact({ch * sn, 0});
  const Tracked imaginary = exact({0, 1});
  const Tracked diagonal = chCos + imaginary * shSin;
  const Tracked resistanceScale = exact({-(delta / (2.0 * lambda)), 0});
  const Tracked conductanceScale = exact({-(lambda / delta), 0});
  return {diagonal, resistanceScale * ((shCos + chSin) + imaginary * (chSin - shCos)),
          conductanceScale * ((shCos - chSin) + imaginary * (shCos + chSin)), diagonal};
}

/// The reference characteristics and the magnitudes to judge them by; `finite` is false where
/// the reference overflows.
struct Reference {
  Tracked z11, z12, z21, z22, internalAdmittance, externalAdmittance, transmittance;
  Tracked internalCapacity, externalCapacity, decrementFactor;
  double thermalResistance = 0.0;
  bool finite = false;
};

Reference referenceResponse(const std::vector<LayerProperties>& layers,
                            const ElementBoundary& boundary, double period) {
  TrackedMatrix z = resistanceMatrix(boundary.internalSurfaceResistance);
  double resistance = boundary.internalSurfaceResistance + boundary.externalSurfaceResistance;
  for (const LayerProperties& layer : layers) {
    z = (layer.isPureResistance() ? resistanceMatrix(layer.resistance)
                                  : slabMatrix(layer, period)) *
        z;
    resistance += layer.thermalResistance();
  }
  z = resistanceMatrix(boundary.externalSurfaceResistance) * z;

  const Tracked one = exact({1, 0});
  const Tracked capacityFactor = exact({period / 6.283185307179586, 0});
  const Tracked reciprocal = one / z.m12;
  Reference r;
  r.z11 = z.m11;
  r.z12 = z.m12;
  r.z21 = z.m21;
  r.z22 = z.m22;
  r.internalCapacity = capacityFactor * ((z.m11 - one) / z.m12);
  r.externalCapacity = capacityFactor * ((z.m22 - one) / z.m12);
  r.internalAdmittance = exact({0, 0}) - z.m11 / z.m12;
  r.externalAdmittance = exact({0, 0}) - z.m22 / z.m12;
  if (boundary.partition) {
    r.internalAdmittance = r.internalAdmittance + reciprocal;
    r.externalAdmittance = r.externalAdmittance + reciprocal;
  }
  r.transmittance = exact({0, 0}) - reciprocal;
  r.thermalResistance = resistance;
  r.decrementFactor = exact({resistance, 0}) * reciprocal;
  r.finite = true;
  for (const Tracked* t :
       {&r.z11, &r.z12, &r.z21, &r.z22, &r.internalAdmittance, &r.externalAdmittance,
        &r.transmittance, &r.internalCapacity, &r.externalCapacity, &r.decrementFactor}) {
    r.finite = r.finite && std::isfinite(t->value.getRealPart()) &&
               std::isfinite(t->value.getImaginaryPart()) && std::isfinite(t->magnitude);
  }
  return r;
}

/// Ranges of one family of random walls.
struct WallFamily {
  const char* name;
  unsigned seed;
  int wallCount;
  double minThickness, maxThickness;  // [m]
  double minPeriod, maxPeriod;        // [s], drawn log-uniformly
};

std::vector<LayerProperties> randomLayers(const WallFamily& family, std::mt19937_64& random) {
  std::uniform_int_distribution<int> count(1, 8), kind(0, 5);
  std::uniform_real_distribution<double> logThickness(std::log(family.minThickness),
                                                      std::log(family.maxThickness)),
      conductivity(0.03, 2.5), density(20, 2800), specificHeat(800, 2000), air(0.05, 0.25);
  std::vector<LayerProperties> layers(static_cast<std::size_t>(count(random)));
  for (LayerProperties& layer : layers) {
    layer = kind(random) == 0
                ? LayerProperties::pureResistance(air(random))
                : LayerProperties::slab(std::exp(logThickness(random)), conductivity(random),
                                        density(random), specificHeat(random));
  }
  return layers;
}

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
