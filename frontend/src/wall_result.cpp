#include "brusk/frontend/wall_result.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "brusk/engine/sequential_capacity.h"
#include "brusk/frontend/error.h"
#include "document.h"

namespace Brusk {

namespace {

/// The matrix elements grow like e^(sum of xi); their products in the admittances and
/// capacities overflow a double from e^709, so about half of that can be computed.
constexpr double kComputableDepths = 354.0;

PeriodicValue periodicValue(const Engine::Complex& quantity, double period) {
  return {quantity.getModulus(), Engine::timeShiftHours(quantity, period)};
}

/// Why the engine refused the wall: the layers add up to more periodic penetration depths than
/// double precision can carry through the matrix products, or a value is extreme.
[[noreturn]] void throwOverflow(const Wall& wall, double period) {
  double totalXi = 0.0;
  double largestXi = -1.0;
  std::size_t thickest = 0;
  for (std::size_t i = 0; i < wall.layers.size(); ++i) {
    const Engine::LayerProperties& layer = wall.layers[i].properties;
    if (layer.isPureResistance()) continue;
    const double xi = layer.thickness / Engine::periodicPenetrationDepth(layer, period);
    totalXi += xi;
    if (xi > largestXi) {
      largestXi = xi;
      thickest = i;
    }
  }
  std::string message = "wall \"" + wall.name + "\": the heat transfer matrix overflows double " +
                        "precision at a " + Detail::formatNumber(period / 3600.0) + " h period";
  if (largestXi >= 0.0 && !(totalXi < kComputableDepths)) {
    const WallLayer& layer = wall.layers[thickest];
    const auto depths = [](double xi) {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, xi < 1e15 ? "%.0f" : "%.3g", xi);
      return std::string(buffer);
    };
    message += ": the layers add up to " + depths(totalXi) +
               " periodic penetration depths and about " +
               std::to_string(static_cast<int>(kComputableDepths)) + " can be computed; layer " +
               std::to_string(thickest + 1) + " (\"" + layer.name + "\") is " +
               Detail::formatNumber(layer.properties.thickness) + " m thick, " + depths(largestXi) +
               " depths: make it thinner or the period longer";
  } else {
    message += ": a conductivity, resistance or surface resistance is too extreme to compute";
  }
  throw Error(message);
}

}  // namespace

WallResult computeWallResult(const Wall& wall, double periodSeconds) {
  if (!std::isfinite(periodSeconds) || periodSeconds <= 0.0) {
    throw Error("wall \"" + wall.name +
                "\": the period must be a positive number of seconds, got " +
                Detail::formatNumber(periodSeconds));
  }
  if (wall.layers.empty()) throw Error("wall \"" + wall.name + "\": the wall has no layers");
  // Walls of a few layers, nearly all of them, need no heap copy of the layers.
  constexpr std::size_t kStackLayers = 8;
  std::array<Engine::LayerProperties, kStackLayers> stackLayers;
  std::vector<Engine::LayerProperties> heapLayers;
  const Engine::LayerProperties* layers = stackLayers.data();
  if (wall.layers.size() <= kStackLayers) {
    for (std::size_t i = 0; i < wall.layers.size(); ++i) stackLayers[i] = wall.layers[i].properties;
  } else {
    heapLayers = wall.layerProperties();
    layers = heapLayers.data();
  }
  Engine::WallResponse response;
  if (!Engine::computeWallResponse(layers, wall.layers.size(), wall.boundary(), periodSeconds,
                                   response)) {
    throwOverflow(wall, periodSeconds);
  }
  const Engine::PeriodicResponse& periodic = response.periodic;
  WallResult result;
  result.name = wall.name;
  result.period = periodSeconds;
  result.thickness = response.thickness;
  result.surfaceMass = response.surfaceMass;
  result.thermalResistance = periodic.thermalResistance;
  result.uValue = periodic.conductance;
  result.decrementFactor = periodic.dampingFactor;
  result.periodicThermalTransmittance =
      periodicValue(periodic.periodicThermalTransmittance, periodSeconds);
  result.timeLag =
      Engine::timeLagFromShift(result.periodicThermalTransmittance.timeShift, periodSeconds);
  result.internalAdmittance = periodicValue(periodic.internalAdmittance, periodSeconds);
  result.externalAdmittance = periodicValue(periodic.externalAdmittance, periodSeconds);
  result.internalArealHeatCapacity = periodic.internalThermalCapacity;
  result.externalArealHeatCapacity = periodic.externalThermalCapacity;
  result.z11 = periodic.z11;
  result.z12 = periodic.z12;
  result.z21 = periodic.z21;
  result.z22 = periodic.z22;
  result.dailyCapacity = response.daily;
  result.twelveDayCapacity = response.twelveDay;
  return result;
}

const char* capacityMethodName(int method) {
  switch (method) {
    case Engine::ThinLayer:
      return "thin-layer";
    case Engine::SemiInfinite:
      return "semi-infinite";
    case Engine::LimitedDepth:
      return "limited-depth";
    default:
      return "none";
  }
}

}  // namespace Brusk
