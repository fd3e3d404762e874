#include "brusk/engine/steady_profile.h"

#include <cmath>

namespace Brusk::Engine {

std::optional<SteadyTemperatureProfile> steadyTemperatureProfile(const WallRequest& request,
                                                                 double indoor, double outdoor) {
  if (!std::isfinite(indoor) || !std::isfinite(outdoor)) return std::nullopt;
  const SurfaceResistances surfaces = request.surfaceResistances();
  SteadyTemperatureProfile profile;
  double resistance = surfaces.internal;
  profile.resistance.push_back(resistance);
  for (const LayerProperties& layer : request.layers) {
    resistance += layer.thermalResistance();
    profile.resistance.push_back(resistance);
  }
  profile.totalResistance = resistance + surfaces.external;
  if (!std::isfinite(profile.totalResistance) || !(profile.totalResistance > 0.0) ||
      !(surfaces.internal >= 0.0) || !(surfaces.external >= 0.0)) {
    return std::nullopt;
  }
  for (const double r : profile.resistance) {
    if (!(r >= 0.0)) return std::nullopt;
    profile.temperature.push_back(steadyTemperature(indoor, outdoor, r, profile.totalResistance));
  }
  profile.heatFlowDensity = (indoor - outdoor) / profile.totalResistance;
  return profile;
}

}  // namespace Brusk::Engine
