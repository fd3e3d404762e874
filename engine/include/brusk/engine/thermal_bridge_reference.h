#pragma once

// The test reference cases of ISO 10211:2017 Annex C for two-dimensional methods, run through
// the thermal-bridge solver and compared with the standard's figures and tolerances: what a
// program must reproduce to be called a two-dimensional steady-state high-precision method.

#include <string>
#include <vector>

#include "brusk/engine/thermal_bridge.h"

namespace Brusk::Engine {

/// One compared figure.
struct ReferencePoint {
  std::string name;         ///< "row 1, column 1", "A", ..., "heat flow"
  double x = 0.0, y = 0.0;  ///< where [m] (0 for the heat flow)
  double reference = 0.0;   ///< the standard's value [degC] or [W/m]
  double computed = 0.0;    ///< Brusk's
  double tolerance = 0.0;   ///< the largest difference the standard allows
  std::string unit;         ///< "degC" or "W/m"
};

/// A case's figures and verdict.
struct ReferenceCaseComparison {
  std::string name;
  std::string source;  ///< where the geometry and the figures come from
  std::vector<ReferencePoint> points;
  std::size_t nodes = 0;  ///< grid nodes of the solve
  bool passed = false;    ///< every point within its tolerance
};

/// ISO 10211:2017 C.2 (case 1): half of a 2 m square column, cut along its symmetry plane: the
/// 1 m edge at 20 degC, the 2 m side edge and the far 1 m edge at 0 degC, the symmetry plane
/// adiabatic. Temperatures at 28 points on a fixed uniform grid whose spacing is a quarter metre
/// divided by `subdivisions` (where 20 degC meets 0 degC the heat flow has no finite value, so
/// no grid converges it and the case checks temperatures only).
[[nodiscard]] ReferenceCaseComparison runIso10211Case1(int subdivisions = 4);

/// The analytic temperature of case 1 at (x, y) [m] (the series of the square column with one
/// heated side, summed to 1e-12 K).
[[nodiscard]] double iso10211Case1Analytic(double x, double y);

/// ISO 10211:2017 C.2 (case 2) as a request: the concrete, wood, insulation and aluminium
/// section, with probes at the points A to I.
[[nodiscard]] BridgeRequest iso10211Case2Request();

/// Case 2 solved to the default tolerance: points A to I within 0.1 K, the heat flow within
/// 0.1 W/m.
[[nodiscard]] ReferenceCaseComparison runIso10211Case2();

}  // namespace Brusk::Engine
