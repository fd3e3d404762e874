#include "brusk/engine/wall.h"

#include <cmath>
#include <utility>

namespace Brusk::Engine {

namespace {

/// A problem with `value` of `field` in layer `layer` (kWholeWall for the wall itself).
WallProblem problemOf(ProblemKind kind, WallField field, double value,
                      std::size_t layer = kWholeWall) {
  WallProblem problem;
  problem.kind = kind;
  problem.field = field;
  problem.layer = layer;
  problem.value = value;
  return problem;
}

bool isPositiveFinite(double value) { return std::isfinite(value) && value > 0.0; }

}  // namespace

SurfaceResistances conventionalSurfaceResistances(ElementPosition position,
                                                  HeatFlowDirection heatFlow) {
  // ISO 6946, Table 7 [m2.K/W]: Rsi 0.13 horizontal, 0.10 upward, 0.17 downward; Rse 0.04 for an
  // outer face, and for a second inner face the Rsi of the reverse direction.
  if (position == ElementPosition::External) {
    switch (heatFlow) {
      case HeatFlowDirection::Upward:
        return {0.10, 0.04};
      case HeatFlowDirection::Downward:
        return {0.17, 0.04};
      case HeatFlowDirection::Horizontal:
        break;
    }
    return {0.13, 0.04};
  }
  switch (heatFlow) {
    case HeatFlowDirection::Upward:
      return {0.10, 0.17};
    case HeatFlowDirection::Downward:
      return {0.17, 0.10};
    case HeatFlowDirection::Horizontal:
      break;
  }
  return {0.13, 0.13};
}

SurfaceResistances WallRequest::surfaceResistances() const {
  SurfaceResistances resistances = conventionalSurfaceResistances(position, heatFlow);
  if (internalSurfaceResistance) resistances.internal = *internalSurfaceResistance;
  if (externalSurfaceResistance) resistances.external = *externalSurfaceResistance;
  return resistances;
}

ElementBoundary WallRequest::boundary() const {
  const SurfaceResistances resistances = surfaceResistances();
  return {resistances.internal, resistances.external, position == ElementPosition::Internal};
}

const char* unitOf(WallField field) {
  switch (field) {
    case WallField::Thickness:
      return "m";
    case WallField::Conductivity:
      return "W/(m.K)";
    case WallField::Density:
      return "kg/m3";
    case WallField::SpecificHeat:
      return "J/(kg.K)";
    case WallField::ThermalResistance:
    case WallField::InternalSurfaceResistance:
    case WallField::ExternalSurfaceResistance:
      return "m2.K/W";
    case WallField::Period:
      return "s";
    case WallField::Layers:
      break;
  }
  return "";
}

std::optional<WallProblem> checkProperty(WallField field, double value, std::size_t layer) {
  if (!isPositiveFinite(value)) return problemOf(ProblemKind::NotPositive, field, value, layer);
  return std::nullopt;
}

std::optional<WallProblem> checkLayer(const LayerProperties& layer, std::size_t index) {
  if (isComputableLayer(layer)) return std::nullopt;
  const bool pureResistance = layer.thickness == 0.0 && layer.conductivity == 0.0 &&
                              layer.density == 0.0 && layer.specificHeat == 0.0;
  if (pureResistance) {
    // A massless layer (an unventilated air layer): only its resistance matters, and a zero one
    // would be no layer at all.
    return checkProperty(WallField::ThermalResistance, layer.resistance, index);
  }
  // A slab: the penetration depth sqrt(lambda T / (pi rho c)) and xi = d / delta need all four
  // properties positive and finite.
  const std::pair<WallField, double> properties[] = {{WallField::Thickness, layer.thickness},
                                                     {WallField::Conductivity, layer.conductivity},
                                                     {WallField::Density, layer.density},
                                                     {WallField::SpecificHeat, layer.specificHeat}};
  for (const auto& [field, value] : properties) {
    if (auto problem = checkProperty(field, value, index)) return problem;
  }
  return std::nullopt;
}

std::optional<WallProblem> checkSurfaceResistance(WallField field, double value) {
  // 0 is allowed: a face in perfect contact with its environment.
  if (!(std::isfinite(value) && value >= 0.0))
    return problemOf(ProblemKind::Negative, field, value);
  return std::nullopt;
}

std::optional<WallProblem> checkSurfaceResistances(const WallRequest& request) {
  const std::pair<WallField, const std::optional<double>*> overrides[] = {
      {WallField::InternalSurfaceResistance, &request.internalSurfaceResistance},
      {WallField::ExternalSurfaceResistance, &request.externalSurfaceResistance}};
  for (const auto& [field, value] : overrides) {
    if (!*value) continue;
    if (auto problem = checkSurfaceResistance(field, **value)) return problem;
  }
  return std::nullopt;
}

std::optional<WallProblem> checkLayerCount(std::size_t count) {
  if (count == 0) return problemOf(ProblemKind::NoLayers, WallField::Layers, 0.0);
  if (count > kMaxLayers) {
    return problemOf(ProblemKind::TooManyLayers, WallField::Layers, static_cast<double>(count));
  }
  return std::nullopt;
}

std::optional<WallProblem> checkPeriod(double period) {
  if (auto problem = checkProperty(WallField::Period, period)) return problem;
  if (period < kShortestPeriod || period > kLongestPeriod) {
    return problemOf(ProblemKind::OutOfRange, WallField::Period, period);
  }
  return std::nullopt;
}

std::optional<WallProblem> check(const WallRequest& request) {
  if (auto problem = checkSurfaceResistances(request)) return problem;
  if (auto problem = checkLayerCount(request.layers.size())) return problem;
  // The usual case, every layer computable, in one quick pass; the problem only when there is one.
  for (std::size_t i = 0; i < request.layers.size(); ++i) {
    if (!isComputableLayer(request.layers[i])) return checkLayer(request.layers[i], i);
  }
  return checkPeriod(request.period);
}

}  // namespace Brusk::Engine
