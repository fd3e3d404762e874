#pragma once

// A plain evaluation of the ISO 13786 formulas that tracks, beside every value, the magnitude of
// the terms that produced it, for tests that judge a kernel's rounding (see
// kernel_agreement_test.cpp for the tolerance), and the random walls they are judged on.

#include <cmath>
#include <ostream>
#include <random>
#include <vector>

#include "brusk/engine/complex.h"
#include "brusk/engine/layer_properties.h"
#include "brusk/engine/periodic_response.h"

namespace Brusk::Testing {

using namespace Brusk::Engine;
/// A complex value with the magnitude of the terms that produced it.
struct Tracked {
  Complex value;
  double magnitude;
};

inline Tracked exact(Complex value) { return {value, value.getModulus()}; }
inline Tracked operator+(Tracked x, Tracked y) {
  return {x.value + y.value, x.magnitude + y.magnitude};
}
inline Tracked operator-(Tracked x, Tracked y) {
  return {x.value - y.value, x.magnitude + y.magnitude};
}
inline Tracked operator*(Tracked x, Tracked y) {
  return {x.value * y.value, x.magnitude * y.magnitude};
}
inline Tracked operator/(Tracked x, Tracked y) {
  const Complex quotient = x.value / y.value;
  const double divisor = y.value.getModulus();
  return {quotient, (x.magnitude + quotient.getModulus() * y.magnitude) / divisor};
}

struct TrackedMatrix {
  Tracked m11, m12, m21, m22;
};

inline TrackedMatrix operator*(const TrackedMatrix& a, const TrackedMatrix& b) {
  return {a.m11 * b.m11 + a.m12 * b.m21, a.m11 * b.m12 + a.m12 * b.m22,
          a.m21 * b.m11 + a.m22 * b.m21, a.m21 * b.m12 + a.m22 * b.m22};
}

inline TrackedMatrix resistanceMatrix(double resistance) {
  return {exact({1, 0}), exact({-resistance, 0}), exact({0, 0}), exact({1, 0})};
}

/// ISO 13786 matrix of a homogeneous slab, delta = sqrt(lambda T / (rho c pi)), xi = d / delta.
inline TrackedMatrix slabMatrix(const LayerProperties& layer, double period) {
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

inline Reference referenceResponse(const std::vector<LayerProperties>& layers,
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

inline std::vector<LayerProperties> randomLayers(const WallFamily& family,
                                                 std::mt19937_64& random) {
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

/// Names a family in test output instead of dumping its bytes.
inline void PrintTo(const WallFamily& family, std::ostream* out) { *out << family.name; }

}  // namespace Brusk::Testing
