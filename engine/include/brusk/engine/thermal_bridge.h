#pragma once

// Two-dimensional thermal bridges after ISO 10211:2017: steady-state conduction through a section
// made of axis-aligned rectangles, surface resistances towards any number of environments, and
// the figures a junction is assessed by: the heat flow into each environment, the thermal
// coupling coefficients L2D (6.3, 10.4), the linear thermal transmittance psi (10.4.2), the
// minimum indoor surface temperature and the temperature factor fRsi (11.2, ISO 13788:2012 5).
// Nothing here throws: results or problems, as data.

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace Brusk::Engine {

/// ISO 10211:2017 5.3.2: the grid is fine enough when halving its cells changes the heat flow by
/// less than 1 % [-].
inline constexpr double kBridgeStandardCriterion = 0.01;

/// What Brusk refines to by default: a tenth of the standard's criterion [-].
inline constexpr double kBridgeDefaultTolerance = 0.001;

/// How much the minimum indoor surface temperature may still move between the last two grids
/// [K]: half the 0.1 K to which ISO 10211:2017 Annex C compares temperatures.
inline constexpr double kBridgeSurfaceTemperatureTolerance = 0.05;

/// Indoor surface resistance of the fRsi solve [m2.K/W]: ISO 13788:2012 4.2.2 and
/// ISO 10211:2017 7.2 (Table 7, "upper half of the room").
inline constexpr double kBridgeFRsiSurfaceResistance = 0.25;

/// Most grid nodes a solve may use. The refined grids grow four-fold per halving, and a sparse
/// Cholesky factor of this many nodes takes a few hundred MB: far beyond a building junction,
/// whose 0.1 % grid has some 10^4 to 10^5 nodes.
inline constexpr std::size_t kBridgeMaxNodes = 2'000'000;

/// Most distinct region edges and boundary ends along one axis.
inline constexpr std::size_t kBridgeMaxLines = 2000;

/// A rectangle of one material [m]; a later region overwrites an earlier one where they overlap.
struct BridgeRegion {
  double x0 = 0.0, x1 = 0.0;  ///< x0 < x1
  double y0 = 0.0, y1 = 0.0;  ///< y0 < y1
  double conductivity = 0.0;  ///< lambda [W/(m.K)]
};

/// A space on the other side of a surface: its air temperature and surface resistance.
struct BridgeEnvironment {
  std::string name;
  double temperature = 0.0;        ///< theta [degC]
  double surfaceResistance = 0.0;  ///< R_s [m2.K/W]; 0 fixes the surface at theta
};

/// A straight, axis-aligned segment of the body's outer edge in contact with an environment.
/// Every edge no boundary covers is adiabatic (a cut-off plane, ISO 10211:2017 5.2.2).
struct BridgeBoundary {
  std::size_t environment = 0;  ///< index in BridgeRequest::environments
  double x0 = 0.0, y0 = 0.0;    ///< one end [m]
  double x1 = 0.0, y1 = 0.0;    ///< the other end [m]
  /// This segment's own R_s [m2.K/W] instead of its environment's (a floor's upward-flow Rsi).
  std::optional<double> surfaceResistance;
};

/// A one-dimensional element psi is measured against: U l of ISO 10211:2017 eq. (12).
struct BridgeFlanking {
  std::size_t environmentA = 0;  ///< the pair it couples, indices in environments
  std::size_t environmentB = 1;
  double uValue = 0.0;  ///< U [W/(m2.K)]
  double length = 0.0;  ///< l [m], used as given (never remeasured from the geometry)
};

/// A point whose temperature is reported [m].
struct BridgeProbe {
  double x = 0.0, y = 0.0;
};

/// A junction to compute.
struct BridgeRequest {
  std::vector<BridgeRegion> regions;
  std::vector<BridgeEnvironment> environments;
  std::vector<BridgeBoundary> boundaries;
  std::vector<BridgeFlanking> flanking;
  std::vector<BridgeProbe> probes;
  /// The environments theta_i and theta_e of fRsi and of the minimum surface temperature
  /// (conventionally those named "indoor" and "outdoor"); without indoor neither is computed.
  std::optional<std::size_t> indoor;
  std::optional<std::size_t> outdoor;
  double fRsiSurfaceResistance = kBridgeFRsiSurfaceResistance;  ///< [m2.K/W]
  double tolerance = kBridgeDefaultTolerance;  ///< relative heat-flow change to refine to [-]
  std::size_t maxNodes = kBridgeMaxNodes;
};

/// What keeps a junction from being computed.
enum class BridgeProblemKind {
  NoRegions,               ///< the section has no region
  RegionSize,              ///< region `index` has zero, negative or non-finite size
  RegionConductivity,      ///< region `index`'s lambda `value` is not positive and finite
  TooFewEnvironments,      ///< fewer than two environments
  EnvironmentTemperature,  ///< environment `index`'s temperature is not finite
  SurfaceResistance,       ///< environment `index` (or boundary `other`) R_s `value` < 0 or NaN
  EqualTemperatures,       ///< every environment has the same temperature: no heat flows
  BoundaryEnvironment,     ///< boundary `index` names no environment
  BoundaryShape,           ///< boundary `index` is not a horizontal or vertical segment
  BoundaryOffEdge,         ///< boundary `index` leaves the body's outer edge at (x, y)
  BoundariesOverlap,       ///< boundaries `index` and `other` share the stretch at (x, y)
  EnvironmentUnused,       ///< environment `index` touches no boundary
  BodyInPieces,            ///< the regions form more than one body; region `index` is apart
  GridTooLarge,            ///< the grid needs `value` nodes or lines, more than `limit`
  FlankingEnvironment,     ///< flanking element `index` couples an environment to itself/none
  FlankingValue,           ///< flanking element `index`'s U or l `value` is not positive
  ProbeOutside,            ///< probe `index` lies outside the body (or is not finite)
  FRsiResistance,          ///< the fRsi surface resistance `value` is not positive
  IndoorOutdoor,           ///< indoor or outdoor names no environment, or both the same
  Tolerance,               ///< the tolerance `value` is outside (0, kBridgeStandardCriterion]
  NotConverged,            ///< halving the grid still changed the flow by `value` at the limit
};

/// The first problem found, with what it concerns.
struct BridgeProblem {
  BridgeProblemKind kind = BridgeProblemKind::NoRegions;
  std::size_t index = 0;    ///< the region, environment, boundary, flanking element or probe
  std::size_t other = 0;    ///< the second boundary of an overlap
  double value = 0.0;       ///< the offending value
  double limit = 0.0;       ///< the limit it broke, where there is one
  double x = 0.0, y = 0.0;  ///< where, for geometric problems [m]
};

/// A point of the surface and its temperature.
struct BridgeSurfacePoint {
  double temperature = 0.0;  ///< [degC]
  double x = 0.0, y = 0.0;   ///< [m]
};

/// psi of one pair of environments, ISO 10211:2017 eq. (12): psi = L2D - sum U_j l_j.
struct BridgePsi {
  std::size_t environmentA = 0, environmentB = 0;
  double coupling = 0.0;          ///< L2D of the pair [W/(m.K)]
  double flankingCoupling = 0.0;  ///< sum U_j l_j of its flanking elements [W/(m.K)]
  double psi = 0.0;               ///< [W/(m.K)]
};

/// The temperature field on the final grid: node lines and node temperatures.
struct BridgeField {
  std::vector<double> xs;  ///< node lines along x, ascending [m]
  std::vector<double> ys;  ///< node lines along y, ascending [m]
  /// Node temperatures [degC], row by row (index j * xs.size() + i for node (xs[i], ys[j])),
  /// NaN at nodes no region touches.
  std::vector<double> temperature;
};

/// Grid and convergence figures.
struct BridgeGridFigures {
  std::size_t nodes = 0;        ///< nodes of the final grid in the body
  std::size_t cells = 0;        ///< cells of the final grid in the body
  std::size_t columns = 0;      ///< node lines along x
  std::size_t rows = 0;         ///< node lines along y
  std::size_t refinements = 0;  ///< halvings after the first grid
  /// |Phi_k - Phi_k-1| / Phi_k of the total heat flow over the last halving [-].
  double lastChange = 0.0;
  /// Change of the minimum indoor surface temperature over the last halving [K]; NaN without
  /// an indoor environment.
  double surfaceTemperatureChange = 0.0;
  bool metTolerance = false;  ///< lastChange <= the request's tolerance
};

/// Everything computed for a junction.
struct BridgeResult {
  /// Phi into the body from each environment [W/m], positive into the body; they sum to zero.
  std::vector<double> heatFlow;
  double heatFlowSum = 0.0;  ///< sum of heatFlow [W/m]: a check, rounding only
  /// L_ab [W/(m.K)], environments.size() squared, row a column b, zero on the diagonal:
  /// Phi = sum over pairs L_ab (theta_a - theta_b), ISO 10211:2017 10.4.
  std::vector<double> coupling;
  std::vector<BridgePsi> psi;  ///< one per pair of environments that has flanking elements
  /// The lowest indoor surface temperature with its point (with the request's resistances).
  std::optional<BridgeSurfacePoint> minimumSurface;
  /// fRsi = (theta_si,min - theta_e) / (theta_i - theta_e) from the solve with the indoor
  /// surface resistance fRsiSurfaceResistance, ISO 10211:2017 11.2.
  std::optional<double> fRsi;
  std::optional<BridgeSurfacePoint> fRsiMinimum;  ///< theta_si,min of that solve and its point
  std::vector<double> probeTemperatures;          ///< [degC], per probe
  BridgeGridFigures grid;
  BridgeField field;
};

using BridgeOutcome = std::variant<BridgeResult, BridgeProblem>;

/// The checks that need no grid: values, indices, shapes, temperatures.
[[nodiscard]] std::optional<BridgeProblem> checkBridgeValues(const BridgeRequest& request);

/// Checks and solves the junction, halving the grid's cells until the total heat flow changes by
/// at most request.tolerance and the minimum indoor surface temperature by at most
/// kBridgeSurfaceTemperatureTolerance (NotConverged when the node limit comes first and the
/// change is still above the standard's 1 %).
[[nodiscard]] BridgeOutcome computeThermalBridge(const BridgeRequest& request);

/// Solves the junction once on the grid whose node lines are xs and ys (each must hold every
/// region edge and boundary end): for checking against reference solutions on fixed grids.
[[nodiscard]] BridgeOutcome computeThermalBridgeOnGrid(const BridgeRequest& request,
                                                       const std::vector<double>& xs,
                                                       const std::vector<double>& ys);

/// The temperature at (x, y) of a solved field, bilinear within its cell; on a surface it is the
/// surface temperature. Empty outside the body.
[[nodiscard]] std::optional<double> fieldTemperature(const BridgeField& field, double x, double y);

}  // namespace Brusk::Engine
