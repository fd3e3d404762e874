#pragma once

// Steady-state temperatures through a wall at design indoor and outdoor temperatures.

#include <optional>
#include <vector>

#include "brusk/engine/wall.h"

namespace Brusk::Engine {

/// The temperature at a plane whose thermal resistance from the indoor air is
/// `resistanceFromIndoor` [m2.K/W], in a wall of total resistance R_T = `totalResistance`
/// between air at `indoor` and `outdoor` [degC]: theta = theta_i - (theta_i - theta_e) R / R_T
/// (ISO 13788:2012, 6.3, eq. 11; the resistances of ISO 6946).
[[nodiscard]] constexpr double steadyTemperature(double indoor, double outdoor,
                                                 double resistanceFromIndoor,
                                                 double totalResistance) {
  return indoor - (indoor - outdoor) * resistanceFromIndoor / totalResistance;
}

/// The steady-state temperatures at the faces of a wall's layers.
struct SteadyTemperatureProfile {
  /// Thermal resistance from the indoor air to each face [m2.K/W]: Rsi at the inner surface,
  /// then after each layer; the last is R_T - Rse, at the outer surface.
  std::vector<double> resistance;
  /// theta at each face [degC]: theta_si first, then each interface, theta_se last.
  std::vector<double> temperature;
  double totalResistance = 0.0;  ///< R_T = Rsi + sum R + Rse [m2.K/W]
  /// q = (theta_i - theta_e) / R_T [W/m2], positive from the room outward.
  double heatFlowDensity = 0.0;
};

/// The steady-state profile of `request`'s layers (with its surface resistances) between air at
/// `indoor` and `outdoor` [degC]; none when the layers, the resistances or the temperatures are
/// not finite or R_T is not positive. A slab's resistance is d / lambda, a pure resistance's R.
[[nodiscard]] std::optional<SteadyTemperatureProfile> steadyTemperatureProfile(
    const WallRequest& request, double indoor, double outdoor);

}  // namespace Brusk::Engine
