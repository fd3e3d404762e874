#pragma once

namespace Brusk::Engine {

/// The properties of one layer as the calculation kernels read them: plain numbers, no
/// ownership, so that batch front ends can compute walls without building a Surface.
///
/// A layer is either a homogeneous slab (thickness > 0) or a pure thermal resistance such as
/// an unventilated air layer (thickness 0, resistance > 0), which stores no heat.
struct LayerProperties {
  double thickness = 0.0;     ///< d [m]; 0 for a pure thermal resistance
  double conductivity = 0.0;  ///< lambda [W/(m.K)]
  double density = 0.0;       ///< rho [kg/m3]
  double specificHeat = 0.0;  ///< c [J/(kg.K)]
  double resistance = 0.0;    ///< R [m2.K/W]; read only for a pure thermal resistance

  /// A homogeneous slab of thickness d and the given material properties.
  static constexpr LayerProperties slab(double thickness, double conductivity, double density,
                                        double specificHeat) {
    return {thickness, conductivity, density, specificHeat, 0.0};
  }
  /// A massless layer that only resists heat flow, with resistance R [m2.K/W].
  static constexpr LayerProperties pureResistance(double resistance) {
    return {0.0, 0.0, 0.0, 0.0, resistance};
  }

  /// True for a massless, purely resistive layer.
  [[nodiscard]] constexpr bool isPureResistance() const { return thickness == 0.0; }
  /// Steady-state resistance [m2.K/W]: d / lambda for a slab, R for a pure resistance.
  [[nodiscard]] constexpr double thermalResistance() const {
    return isPureResistance() ? resistance : thickness / conductivity;
  }
  /// Areal mass d rho [kg/m2].
  [[nodiscard]] constexpr double arealMass() const { return thickness * density; }
};

}  // namespace Brusk::Engine
