#pragma once

// The engine's one description of a wall to compute, and the rules that make it computable.

#include <cstddef>
#include <optional>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/engine/layer_properties.h"
#include "brusk/engine/periodic_response.h"

namespace Brusk::Engine {

/// Where an element stands, which selects the surface resistances and the admittance formula.
enum class ElementPosition {
  External,  ///< side 2 outdoors
  Internal,  ///< a partition: both faces inside the building
};

/// Direction of the heat flow through the element, which selects the surface resistances.
enum class HeatFlowDirection {
  Horizontal,  ///< walls
  Upward,      ///< roofs and ceilings in winter
  Downward,    ///< floors
};

/// Surface resistances of both faces [m2.K/W].
struct SurfaceResistances {
  double internal = 0.13;  ///< Rsi of side 1
  double external = 0.04;  ///< Rse of side 2
};

/// Conventional surface resistances of ISO 6946 (Table 7) for a position and heat-flow
/// direction. Outdoors Rse is 0.04 for every direction; in a partition the far face sees the
/// reverse flow, so upward gives Rsi 0.10 and Rse 0.17, downward 0.17 and 0.10.
[[nodiscard]] SurfaceResistances conventionalSurfaceResistances(ElementPosition position,
                                                                HeatFlowDirection heatFlow);

/// Most layers a wall may have: far beyond any real element, small enough to refuse junk fast.
inline constexpr std::size_t kMaxLayers = 1000;

/// Shortest cycle computed, one second [s]: far below any thermal cycle of a building, and short
/// enough for every use; shorter ones are refused rather than guessed at.
inline constexpr double kShortestPeriod = 1.0;

/// Longest cycle computed, one year of 365 days [s]. The areal heat capacities and time shifts
/// come from Z11 - 1, Z22 - 1 and arg(Y), which cancel more and more as the cycle lengthens
/// (the matrix tends to the steady-state one): their rounding error grows like
/// 1e-16 x T / (1 day), some 4e-14 at a year, but reaches hours of time shift by 1e20 s.
inline constexpr double kLongestPeriod = 365.0 * kDailyPeriod;

/// A wall to compute: a stack of layers from side 1 (the inner face) to side 2, where it stands,
/// and the cycle length. Slabs and pure resistances are told apart as LayerProperties does.
struct WallRequest {
  std::vector<LayerProperties> layers;  ///< side 1 first
  ElementPosition position = ElementPosition::External;
  HeatFlowDirection heatFlow = HeatFlowDirection::Horizontal;
  std::optional<double> internalSurfaceResistance;  ///< Rsi [m2.K/W] instead of the convention
  std::optional<double> externalSurfaceResistance;  ///< Rse [m2.K/W] instead of the convention
  double period = kDailyPeriod;                     ///< T [s]

  /// The conventional surface resistances, with the overrides applied.
  [[nodiscard]] SurfaceResistances surfaceResistances() const;
  /// The boundary as the kernels read it.
  [[nodiscard]] ElementBoundary boundary() const;
};

/// The quantity a problem is about.
enum class WallField {
  Layers,                     ///< the list of layers itself
  Thickness,                  ///< d [m]
  Conductivity,               ///< lambda [W/(m.K)]
  Density,                    ///< rho [kg/m3]
  SpecificHeat,               ///< c [J/(kg.K)]
  ThermalResistance,          ///< R of a pure resistance layer [m2.K/W]
  InternalSurfaceResistance,  ///< Rsi [m2.K/W]
  ExternalSurfaceResistance,  ///< Rse [m2.K/W]
  Period,                     ///< T [s]
};

/// Why a wall cannot be computed.
enum class ProblemKind {
  NoLayers,       ///< the stack is empty
  TooManyLayers,  ///< more than kMaxLayers; `value` is the count
  NotPositive,    ///< `value` must be a positive finite number
  Negative,       ///< `value` must be a finite number not below zero
  OutOfRange,     ///< the period lies outside [kShortestPeriod, kLongestPeriod]
  Overflow,       ///< the transfer matrix exceeds double precision at this period
};

/// Marks a problem of the wall as a whole rather than of one layer.
inline constexpr std::size_t kWholeWall = static_cast<std::size_t>(-1);

/// The first thing that makes a wall uncomputable, as data for a front end to word.
struct WallProblem {
  ProblemKind kind = ProblemKind::NoLayers;
  WallField field = WallField::Layers;
  std::size_t layer = kWholeWall;  ///< index of the layer (0 on side 1), or kWholeWall
  double value = 0.0;              ///< the offending value (the layer count for TooManyLayers)
  /// For Overflow: the stack's sum of d / delta at the period, the slab contributing most (or
  /// kWholeWall when there is none), its own d / delta, and the pure resistances' sum [m2.K/W].
  double penetrationDepths = 0.0;
  std::size_t dominantLayer = kWholeWall;
  double dominantPenetrationDepths = 0.0;
  double pureResistance = 0.0;
};

/// True when a layer is one the kernels can take: a pure resistance (thickness and properties all
/// zero) of positive finite R, or a slab of positive finite d, lambda, rho and c. checkLayer()
/// says what is wrong with one that is not; this is its quick answer for loops over many walls.
[[nodiscard]] inline bool isComputableLayer(const LayerProperties& layer) {
  // Written so that NaN fails every comparison, and infinity fails the upper bounds.
  constexpr double kLargest = 1.7976931348623157e308;
  const auto positiveFinite = [](double value) { return value > 0.0 && value <= kLargest; };
  if (layer.thickness == 0.0 && layer.conductivity == 0.0 && layer.density == 0.0 &&
      layer.specificHeat == 0.0) {
    return positiveFinite(layer.resistance);
  }
  return positiveFinite(layer.thickness) && positiveFinite(layer.conductivity) &&
         positiveFinite(layer.density) && positiveFinite(layer.specificHeat);
}

/// The unit a field is given in, as messages print it: "m", "W/(m.K)", "kg/m3", "J/(kg.K)",
/// "m2.K/W" or "s"; empty for the list of layers.
[[nodiscard]] const char* unitOf(WallField field);

/// One property of a slab, or the resistance of a pure resistance layer, read on its own: it must
/// be positive and finite. `layer` is the layer's place in the stack, for the problem.
[[nodiscard]] std::optional<WallProblem> checkProperty(WallField field, double value,
                                                       std::size_t layer = kWholeWall);

/// A layer read on its own: a slab needs d, lambda, rho and c positive and finite; a pure
/// resistance (thickness and properties all zero) needs R positive and finite. `index` is the
/// layer's place in the stack, for the problem.
[[nodiscard]] std::optional<WallProblem> checkLayer(const LayerProperties& layer,
                                                    std::size_t index);

/// A surface resistance given instead of the convention (`field` Rsi or Rse) must be finite and
/// not negative.
[[nodiscard]] std::optional<WallProblem> checkSurfaceResistance(WallField field, double value);

/// The overrides of the surface resistances, if given, must be finite and not negative.
[[nodiscard]] std::optional<WallProblem> checkSurfaceResistances(const WallRequest& request);

/// A wall has at least one layer and at most kMaxLayers.
[[nodiscard]] std::optional<WallProblem> checkLayerCount(std::size_t count);

/// The period must be positive, finite and within [kShortestPeriod, kLongestPeriod].
[[nodiscard]] std::optional<WallProblem> checkPeriod(double period);

/// The first problem of the request, in the order surface resistances, the layer count, each
/// layer from side 1, the period; none when the kernels can be given the wall.
[[nodiscard]] std::optional<WallProblem> check(const WallRequest& request);

}  // namespace Brusk::Engine
