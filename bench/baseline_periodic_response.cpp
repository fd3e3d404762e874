// PRE-OPTIMISATION BASELINE, benchmarks only: a verbatim copy of the engine's periodic kernel
// (engine/src/periodic_response.cpp) as it stood before the speed work, so that the benchmark
// program times the first version and the current one in the same run. The engine never links
// this file; the physics lives in the engine alone.
#include "baseline_periodic_response.h"

#include <cmath>
#include <cstddef>

#include "brusk/engine/constants.h"

namespace Brusk::Bench::Baseline {

using Engine::Complex;
using Engine::kPi;
using Engine::kTwoPi;
using Engine::ElementBoundary;
using Engine::LayerProperties;
using Engine::PeriodicResponse;

namespace {

/// A 2x2 complex matrix, row major.
struct Matrix {
  Complex m11, m12, m21, m22;
};

/// Z <- L x Z, the new layer's matrix on the left.
void premultiply(const Matrix& layer, Matrix& z) {
  const Matrix old = z;
  z.m11 = layer.m11 * old.m11 + layer.m12 * old.m21;
  z.m12 = layer.m11 * old.m12 + layer.m12 * old.m22;
  z.m21 = layer.m21 * old.m11 + layer.m22 * old.m21;
  z.m22 = layer.m21 * old.m12 + layer.m22 * old.m22;
}

/// Z <- [[1, -R], [0, 1]] x Z: a surface resistance or a massless layer of resistance R
/// [m2.K/W]. It changes only the first row; Z21 and Z22 are kept.
void premultiplyResistance(double resistance, Matrix& z) {
  z.m11 = z.m11 - resistance * z.m21;
  z.m12 = z.m12 - resistance * z.m22;
}

/// Heat transfer matrix of a homogeneous slab (ISO 13786, homogeneous layer), with
/// the periodic penetration depth delta = sqrt(lambda T / (rho c pi)) [m] and xi = d / delta:
///   L11 = L22 = cosh xi cos xi + i sinh xi sin xi                                       [-]
///   L12 = -(delta / (2 lambda)) [(sinh xi cos xi + cosh xi sin xi)
///                                + i (cosh xi sin xi - sinh xi cos xi)]          [m2.K/W]
///   L21 = -(lambda / delta) [(sinh xi cos xi - cosh xi sin xi)
///                            + i (sinh xi cos xi + cosh xi sin xi)]              [W/(m2.K)]
Matrix slabMatrix(const LayerProperties& layer, double period) {
  const double lambda = layer.conductivity;
  const double penetrationDepth =
      std::sqrt((lambda * period) / ((layer.density * layer.specificHeat) * kPi));
  const double xi = layer.thickness / penetrationDepth;
  const double ch = std::cosh(xi);
  const double sh = std::sinh(xi);
  const double cs = std::cos(xi);
  const double sn = std::sin(xi);

  const Complex diagonal{ch * cs, sh * sn};
  const double resistanceScale = -(penetrationDepth / (2.0 * lambda));
  const double conductanceScale = -(lambda / penetrationDepth);
  return {diagonal, resistanceScale * Complex{sh * cs + ch * sn, ch * sn - sh * cs},
          conductanceScale * Complex{sh * cs - ch * sn, sh * cs + ch * sn}, diagonal};
}

bool isFinite(const Complex& z) {
  return std::isfinite(z.getRealPart()) && std::isfinite(z.getImaginaryPart());
}

}  // namespace

bool computePeriodicResponse(const LayerProperties* layers, std::size_t layerCount,
                             const ElementBoundary& boundary, double period,
                             PeriodicResponse& response) {
  // Surface matrix of side 1, Z_si = [[1, -Rsi], [0, 1]].
  Matrix z{Complex{1.0, 0.0}, Complex{-boundary.internalSurfaceResistance, 0.0}, Complex{},
           Complex{1.0, 0.0}};
  for (std::size_t i = 0; i < layerCount; ++i) {
    if (layers[i].isPureResistance()) {
      premultiplyResistance(layers[i].resistance, z);
    } else {
      premultiply(slabMatrix(layers[i], period), z);
    }
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
  result.internalArealHeatCapacity = capacityFactor * ((z.m11 - one) / z.m12).getModulus();
  result.externalArealHeatCapacity = capacityFactor * ((z.m22 - one) / z.m12).getModulus();

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

  // Steady state (ISO 6946): R_tot = Rsi + Rse + sum of the layers' d / lambda, U = 1 / R_tot.
  double totalResistance = boundary.internalSurfaceResistance + boundary.externalSurfaceResistance;
  for (std::size_t i = 0; i < layerCount; ++i) totalResistance += layers[i].thermalResistance();
  result.thermalResistance = totalResistance;
  result.uValue = 1.0 / totalResistance;

  // Decrement factor f = |1 / Z12| / U [-]: amplitude of the periodic transmittance relative to
  // the steady-state one.
  result.decrementFactor = reciprocalZ12.getModulus() / result.uValue;

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

}  // namespace Brusk::Bench::Baseline
