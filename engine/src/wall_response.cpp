#include "brusk/engine/wall_response.h"

#include <cmath>

#include "brusk/engine/sequential_capacity.h"

namespace Brusk::Engine {

namespace {
constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kSecondsPerHour = 3600.0;
}  // namespace

bool computeWallResponse(const LayerProperties* layers, std::size_t layerCount,
                         const ElementBoundary& boundary, double period, WallResponse& response) {
  WallResponse result;
  if (!computePeriodicResponse(layers, layerCount, boundary, period, result.periodic)) {
    return false;
  }
  computeSequentialCapacity(layers, layerCount, boundary.internalSurfaceResistance, Daily,
                            result.daily.capacity, result.daily.method);
  computeSequentialCapacity(layers, layerCount, boundary.internalSurfaceResistance, Extended,
                            result.twelveDay.capacity, result.twelveDay.method);
  for (std::size_t i = 0; i < layerCount; ++i) {
    result.thickness += layers[i].thickness;
    result.surfaceMass += layers[i].arealMass();
  }
  response = result;
  return true;
}

double timeShiftHours(const Complex& quantity, double period) {
  double phase = std::atan2(quantity.getImaginaryPart(), quantity.getRealPart());
  if (phase <= -kPi) phase = kPi;  // atan2 gives -pi for a negative zero imaginary part
  return period / kSecondsPerHour * phase / kTwoPi;
}

double timeLagHours(const Complex& periodicThermalTransmittance, double period) {
  return timeLagFromShift(timeShiftHours(periodicThermalTransmittance, period), period);
}

double timeLagFromShift(double shiftHours, double period) {
  const double cycleHours = period / kSecondsPerHour;
  double lag = -shiftHours;
  if (lag < 0.0) lag += cycleHours;
  if (lag >= cycleHours) lag -= cycleHours;
  return lag;
}

}  // namespace Brusk::Engine
