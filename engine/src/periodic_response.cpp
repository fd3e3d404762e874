// Periodic transfer-matrix method of ISO 13786 (dynamic thermal characteristics).
//
// Nomenclature (code name -> ISO 13786 symbol [unit]):
//   period T [s], penetrationDepth delta [m], xi = d / delta [-],
//   z11..z22 Z_mn of the heat transfer matrix, internalAdmittance Y_11, externalAdmittance Y_22,
//   periodicThermalTransmittance Y_12 [W/(m2.K)], internal/externalArealHeatCapacity kappa_1,
//   kappa_2 [J/(m2.K)], decrementFactor f [-], uValue U [W/(m2.K)].
//
// The matrix maps side 1 to side 2: (theta_2, q_2) = Z (theta_1, q_1), and the element's matrix
// is Z = Z_se . L_n . ... . L_1 . Z_si, the layer on side 1 applied first.
//
// This is the engine's only evaluation of these formulas; batch runs and Surface call it per
// wall, so it is written for speed: one exponential gives cosh and sinh of a layer, one sine and
// cosine pair (fused by the compiler into one sincos) gives its trigonometric part, and nothing
// is allocated.
#include <cmath>
#include <cstddef>

#include "brusk/engine/periodic_response.h"

namespace Brusk::Engine {

namespace {

/// Below this xi, e^xi - e^-xi cancels by more than a factor 3 and cosh/sinh come from expm1
/// instead; ln(2) / 2, where the C library's own cosh switches method.
constexpr double kSmallArgument = 0.34657359027997264;

/// A 2x2 complex matrix, row major.
struct Matrix {
  Complex m11, m12, m21, m22;
};

/// cosh xi and sinh xi [-] of one argument xi >= 0.
struct Hyperbolic {
  double hyperbolicCosine;
  double hyperbolicSine;
};

/// cosh xi and sinh xi from a single exponential, each within a few ulps of std::cosh and
/// std::sinh.
inline Hyperbolic hyperbolicOf(double xi) {
  if (xi < kSmallArgument) {
    // t = e^xi - 1 keeps full relative precision for small xi (a 5 mm render has xi ~ 0.04,
    // films far less): sinh xi = (t + t / (t + 1)) / 2 and cosh xi = 1 + t^2 / (2 (t + 1)),
    // both free of cancellation.
    const double t = std::expm1(xi);
    const double growth = t + 1.0;
    return {1.0 + (t * t) / (2.0 * growth), 0.5 * (t + t / growth)};
  }
  // cosh xi = (e^xi + e^-xi) / 2, sinh xi = (e^xi - e^-xi) / 2 with e^-xi = 1 / e^xi. Past
  // xi = 709.78, e^xi is infinite where std::cosh still reaches 710.47; no matter, such a slab
  // makes the element's matrix products overflow (they do from xi ~ 355) and is refused anyway.
  const double halfGrowth = 0.5 * std::exp(xi);
  const double halfDecay = 0.25 / halfGrowth;
  return {halfGrowth + halfDecay, halfGrowth - halfDecay};
}

/// Z <- L x Z for a slab's matrix L, whose diagonal elements are equal (L22 = L11).
inline void premultiplySlab(const Matrix& slab, Matrix& z) {
  const Matrix old = z;
  z.m11 = slab.m11 * old.m11 + slab.m12 * old.m21;
  z.m12 = slab.m11 * old.m12 + slab.m12 * old.m22;
  z.m21 = slab.m21 * old.m11 + slab.m11 * old.m21;
  z.m22 = slab.m21 * old.m12 + slab.m11 * old.m22;
}

/// Z <- L x [[1, -R], [0, 1]] for a slab's matrix L and the resistance R [m2.K/W] met before
/// it: [[L11, L12 - R L11], [L21, L11 - R L21]]. Bit for bit the full product, whose other
/// terms are exact multiplications by 1 and 0, at a quarter of its cost.
inline Matrix slabAfterResistance(const Matrix& slab, double resistance) {
  return {slab.m11, slab.m12 - resistance * slab.m11, slab.m21, slab.m11 - resistance * slab.m21};
}

/// Z <- [[1, -R], [0, 1]] x Z: a surface resistance or a massless layer of resistance R
/// [m2.K/W]. It changes only the first row; Z21 and Z22 are kept.
inline void premultiplyResistance(double resistance, Matrix& z) {
  z.m11 = z.m11 - resistance * z.m21;
  z.m12 = z.m12 - resistance * z.m22;
}

/// Heat transfer matrix of a homogeneous slab (ISO 13786, homogeneous layer), with the
/// periodic penetration depth delta = sqrt(lambda T / (rho c pi)) [m] and xi = d / delta [-]:
///   L11 = L22 = cosh xi cos xi + i sinh xi sin xi                                       [-]
///   L12 = -(delta / (2 lambda)) [(sinh xi cos xi + cosh xi sin xi)
///                                + i (cosh xi sin xi - sinh xi cos xi)]          [m2.K/W]
///   L21 = -(lambda / delta) [(sinh xi cos xi - cosh xi sin xi)
///                            + i (sinh xi cos xi + cosh xi sin xi)]              [W/(m2.K)]
/// L22 is not stored: it equals L11.
inline Matrix slabMatrix(const LayerProperties& layer, double period) {
  const double lambda = layer.conductivity;
  const double penetrationDepth = periodicPenetrationDepth(layer, period);
  const double xi = layer.thickness / penetrationDepth;
  const Hyperbolic hyperbolic = hyperbolicOf(xi);
  const double ch = hyperbolic.hyperbolicCosine;
  const double sh = hyperbolic.hyperbolicSine;
  const double cs = std::cos(xi);
  const double sn = std::sin(xi);

  const double shCos = sh * cs;
  const double chSin = ch * sn;
  const double resistanceScale = -(penetrationDepth / (2.0 * lambda));
  const double conductanceScale = -(lambda / penetrationDepth);
  return {Complex{ch * cs, sh * sn}, resistanceScale * Complex{shCos + chSin, chSin - shCos},
          conductanceScale * Complex{shCos - chSin, shCos + chSin}, Complex{}};
}

inline double modulus(const Complex& z) {
  return std::sqrt(z.getRealPart() * z.getRealPart() + z.getImaginaryPart() * z.getImaginaryPart());
}

inline bool isFinite(const Complex& z) {
  return std::isfinite(z.getRealPart()) && std::isfinite(z.getImaginaryPart());
}

}  // namespace

bool computePeriodicResponse(const LayerProperties* layers, std::size_t layerCount,
                             const ElementBoundary& boundary, double period,
                             PeriodicResponse& response) {
  // Steady state (ISO 6946): R_tot = Rsi + Rse + sum of the layers' d / lambda [m2.K/W].
  double totalResistance = boundary.internalSurfaceResistance + boundary.externalSurfaceResistance;

  // Until the first slab, the product of the surface matrix of side 1, Z_si = [[1, -Rsi], [0, 1]],
  // and any pure resistances is [[1, -R], [0, 1]] with R their sum.
  double leadingResistance = boundary.internalSurfaceResistance;
  std::size_t i = 0;
  for (; i < layerCount && layers[i].isPureResistance(); ++i) {
    leadingResistance += layers[i].resistance;
    totalResistance += layers[i].resistance;
  }
  Matrix z{Complex{1.0, 0.0}, Complex{-leadingResistance, 0.0}, Complex{}, Complex{1.0, 0.0}};
  if (i < layerCount) {
    z = slabAfterResistance(slabMatrix(layers[i], period), leadingResistance);
    totalResistance += layers[i].thermalResistance();
    ++i;
  }
  for (; i < layerCount; ++i) {
    const LayerProperties& layer = layers[i];
    if (layer.isPureResistance()) {
      premultiplyResistance(layer.resistance, z);
    } else {
      premultiplySlab(slabMatrix(layer, period), z);
    }
    totalResistance += layer.thermalResistance();
  }
  // Surface matrix of side 2, Z_se = [[1, -Rse], [0, 1]].
  premultiplyResistance(boundary.externalSurfaceResistance, z);

  PeriodicResponse result;
  result.z11 = z.m11;
  result.z12 = z.m12;
  result.z21 = z.m21;
  result.z22 = z.m22;

  // Areal heat capacities kappa_1 = (T / 2 pi) |(Z11 - 1) / Z12| and
  // kappa_2 = (T / 2 pi) |(Z22 - 1) / Z12| [J/(m2.K)]: the heat stored per kelvin of swing on
  // each face. T / 2 pi is 13750.987083139758 s for the daily cycle.
  const double capacityFactor = period / kTwoPi;
  const Complex one{1.0, 0.0};
  result.internalArealHeatCapacity = capacityFactor * modulus((z.m11 - one) / z.m12);
  result.externalArealHeatCapacity = capacityFactor * modulus((z.m22 - one) / z.m12);

  // Thermal admittances Y_11 = -Z11 / Z12 and Y_22 = -Z22 / Z12 [W/(m2.K)]: heat flow into a
  // face per kelvin of the air temperature on that side, the other side held constant. For a
  // partition both sides swing together, which adds 1 / Z12: Y = (1 - Zii) / Z12.
  const Complex reciprocalZ12 = one / z.m12;
  result.internalAdmittance = -z.m11 / z.m12;
  result.externalAdmittance = -z.m22 / z.m12;
  if (boundary.partition) {
    result.internalAdmittance = result.internalAdmittance + reciprocalZ12;
    result.externalAdmittance = result.externalAdmittance + reciprocalZ12;
  }

  // U = 1 / R_tot [W/(m2.K)].
  result.thermalResistance = totalResistance;
  result.uValue = 1.0 / totalResistance;

  // Decrement factor f = |1 / Z12| / U [-]: amplitude of the periodic transmittance relative to
  // the steady-state one.
  result.decrementFactor = modulus(reciprocalZ12) / result.uValue;

  // Periodic thermal transmittance Y_12 = -1 / Z12 [W/(m2.K)]: heat flow at side 1 per kelvin
  // of temperature swing on side 2.
  result.periodicThermalTransmittance = -reciprocalZ12;

  const bool finite = isFinite(result.z11) && isFinite(result.z12) && isFinite(result.z21) &&
                      isFinite(result.z22) && isFinite(result.internalAdmittance) &&
                      isFinite(result.externalAdmittance) &&
                      isFinite(result.periodicThermalTransmittance) &&
                      std::isfinite(result.internalArealHeatCapacity) &&
                      std::isfinite(result.externalArealHeatCapacity) &&
                      std::isfinite(result.uValue) && std::isfinite(result.decrementFactor);
  if (!finite) return false;
  response = result;
  return true;
}

}  // namespace Brusk::Engine
