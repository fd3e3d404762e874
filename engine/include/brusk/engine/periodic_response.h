#pragma once

#include <cmath>
#include <cstddef>

#include "brusk/engine/complex.h"
#include "brusk/engine/constants.h"
#include "brusk/engine/layer_properties.h"

namespace Brusk::Engine {

/// Periodic penetration depth of a slab, delta = sqrt(lambda T / (rho c pi)) [m] (ISO 13786,
/// homogeneous layer): the depth at which a temperature swing of period T [s] is damped by e;
/// xi = d / delta.
inline double periodicPenetrationDepth(const LayerProperties& slab, double period) {
  return std::sqrt((slab.conductivity * period) / ((slab.density * slab.specificHeat) * kPi));
}

/// The matrix elements grow like e^(sum of d / delta); their products in the admittances and
/// capacities overflow a double from e^709, so a stack of up to about half of that, 354
/// periodic penetration depths, can be computed.
inline constexpr double kComputablePenetrationDepths = 354.0;

/// Boundary of a plane element for the periodic calculation.
struct ElementBoundary {
  double internalSurfaceResistance = 0.13;  ///< Rsi of side 1 [m2.K/W]
  double externalSurfaceResistance = 0.04;  ///< Rse of side 2 [m2.K/W]
  bool partition = false;  ///< both faces inside the building: admittances use (1 - Zii) / Z12
};

/// Everything the transfer-matrix method yields for one element and one period.
struct PeriodicResponse {
  Complex z11;                             ///< Z11 [-]
  Complex z12;                             ///< Z12 [m2.K/W]
  Complex z21;                             ///< Z21 [W/(m2.K)]
  Complex z22;                             ///< Z22 [-]
  Complex internalAdmittance;              ///< Y11 of side 1 [W/(m2.K)]
  Complex externalAdmittance;              ///< Y22 of side 2 [W/(m2.K)]
  Complex periodicThermalTransmittance;    ///< Y12 [W/(m2.K)]
  double internalArealHeatCapacity = 0.0;  ///< kappa1 [J/(m2.K)]
  double externalArealHeatCapacity = 0.0;  ///< kappa2 [J/(m2.K)]
  double thermalResistance = 0.0;          ///< R_tot with surface resistances [m2.K/W]
  double uValue = 0.0;                     ///< thermal transmittance U = 1 / R_tot [W/(m2.K)]
  double decrementFactor = 0.0;            ///< decrement factor f = |Y12| / U [-]
};

/// Computes the ISO 13786 transfer matrix and the characteristics derived from it for a stack
/// of valid layers (side 1 first) under a sinusoidal excitation of period T [s].
///
/// The caller guarantees valid input: at least one layer, every slab with positive thickness,
/// conductivity, density and specific heat, every pure resistance and both surface resistances
/// not negative, and T > 0. Returns false, leaving `response` untouched, when a result is not a
/// finite double: a stack so thick that the matrix elements, growing like e^(sum of d/delta),
/// overflow in their products and quotients, which happens from about sum d/delta = 355
/// (some 50 m of concrete on the daily cycle).
[[nodiscard]] bool computePeriodicResponse(const LayerProperties* layers, std::size_t layerCount,
                                           const ElementBoundary& boundary, double period,
                                           PeriodicResponse& response);

}  // namespace Brusk::Engine
