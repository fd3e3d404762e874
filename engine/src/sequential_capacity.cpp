// Simplified sequential estimate of the inner side's areal heat capacity, in the spirit of the
// simplified methods of ISO 13786 (Annex on approximate methods): the mass that a periodic room
// temperature reaches from side 1, by one of three rules chosen from the start layer.
#include "brusk/engine/sequential_capacity.h"

#include <algorithm>
#include <cmath>

#include "brusk/engine/constants.h"
#include "brusk/engine/periodic_response.h"

namespace Brusk::Engine {

namespace {

constexpr double kDailyDepthLimit = 0.1;      // [m]
constexpr double kExtendedDepthLimit = 0.34;  // [m]
constexpr double kLightLayerMassLimit = 2.0;  // d rho [kg/m2] at or below which a layer is light
// lambda [W/(m.K)] at or below which a layer insulates
constexpr double kInsulatingConductivity = 0.065;
constexpr double kInsulatingResistance = 0.5;  // least d / lambda [m2.K/W] of a backing insulation
constexpr double kThinFactor = 0.5;            // thin when d <= 0.5 delta
constexpr double kThickFactor = 2.0;           // semi-infinite when d >= 2 delta

/// A layer stops the penetration of the periodic wave: low conductivity, or a pure resistance
/// (an air layer), which stores nothing.
bool isInsulating(const LayerProperties& layer) {
  return layer.isPureResistance() || layer.conductivity <= kInsulatingConductivity;
}

}  // namespace

void computeSequentialCapacity(const LayerProperties* layers, std::size_t layerCount,
                               double internalSurfaceResistance, int period, double& capacity,
                               int& method) {
  capacity = 0.0;
  method = None;
  if (layerCount == 0) return;

  // A very light first layer (a lining, a membrane) counts as no mass; the rules start behind it.
  const bool lightFirstLayer = layers[0].arealMass() <= kLightLayerMassLimit;
  if (lightFirstLayer && layerCount < 2) return;

  double totalThickness = 0.0;  // D [m], every layer included
  bool anyPureResistance = false;
  for (std::size_t i = 0; i < layerCount; ++i) {
    totalThickness += layers[i].thickness;
    anyPureResistance = anyPureResistance || layers[i].isPureResistance();
  }

  const bool extended = period == Extended;
  const double cyclePeriod = extended ? kTwelveDayPeriod : kDailyPeriod;
  const std::size_t start = lightFirstLayer ? 1 : 0;
  const LayerProperties& startLayer = layers[start];

  if (!startLayer.isPureResistance()) {
    // Periodic penetration depth of the start layer, delta = sqrt(lambda T / (pi rho c)) [m], as
    // periodicPenetrationDepth() but with the product in the divisor taken in the order that the
    // reference estimates were computed with, so the results keep their last bits.
    const double penetrationDepth = std::sqrt(startLayer.conductivity * cyclePeriod /
                                              (kPi * startLayer.density * startLayer.specificHeat));

    if (startLayer.thickness <= kThinFactor * penetrationDepth) {
      // Thin start layer backed by insulation: the whole layer follows the room temperature.
      if (start + 1 < layerCount) {
        const LayerProperties& backing = layers[start + 1];
        if (isInsulating(backing) && backing.thermalResistance() >= kInsulatingResistance) {
          method = ThinLayer;
          capacity = startLayer.thickness * startLayer.density * startLayer.specificHeat;
          return;
        }
      }
    } else if (startLayer.thickness >= kThickFactor * penetrationDepth) {
      // Semi-infinite medium: kappa = delta rho c / sqrt(2), the modulus of its admittance / omega.
      method = SemiInfinite;
      capacity = penetrationDepth * startLayer.density * startLayer.specificHeat / std::sqrt(2.0);
      return;
    }
  }

  method = LimitedDepth;
  // Effective depth: half the element, at most the period's limit, and no deeper than the first
  // insulating layer from the start layer on. A pure resistance has no thickness given, so an
  // element with one has no known half: the insulating layer and the limit alone bound the depth.
  double massiveThickness = 0.0;  // L [m]
  for (std::size_t i = start; i < layerCount && !isInsulating(layers[i]); ++i) {
    massiveThickness += layers[i].thickness;
  }
  const double limit = extended ? kExtendedDepthLimit : kDailyDepthLimit;
  const double depth = anyPureResistance
                           ? std::min(limit, massiveThickness)
                           : std::min({totalThickness * 0.5, limit, massiveThickness});

  // Heat capacity K [J/(m2.K)] of the layers down to that depth, the last one in part.
  double reached = 0.0;
  double storedCapacity = 0.0;
  for (std::size_t i = start; i < layerCount; ++i) {
    const LayerProperties& layer = layers[i];
    reached += layer.thickness;
    if (reached <= depth) {
      storedCapacity += layer.thickness * layer.density * layer.specificHeat;
    } else {
      storedCapacity += (depth - (reached - layer.thickness)) * layer.density * layer.specificHeat;
      break;
    }
  }

  // Coupling to the room through R = Rsi (+ the light layer's resistance), omega = 2 pi / T:
  // kappa = K / sqrt(1 + (omega R K)^2).
  double resistance = internalSurfaceResistance;
  if (lightFirstLayer) resistance += layers[0].thermalResistance();
  const double angularFrequency = kTwoPi / cyclePeriod;
  capacity = std::sqrt(storedCapacity * storedCapacity /
                       (resistance * resistance * storedCapacity * storedCapacity *
                            angularFrequency * angularFrequency +
                        1.0));
}

const char* capacityMethodName(int method) {
  switch (method) {
    case ThinLayer:
      return "thin-layer";
    case SemiInfinite:
      return "semi-infinite";
    case LimitedDepth:
      return "limited-depth";
    default:
      return "none";
  }
}

}  // namespace Brusk::Engine
