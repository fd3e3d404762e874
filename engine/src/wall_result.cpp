#include "brusk/engine/wall_result.h"

#include <cmath>

#include "brusk/engine/constants.h"
#include "wall_result_detail.h"

namespace Brusk::Engine {

namespace Detail {

/// Why the matrix overflowed: the slabs' sum of xi = d / delta at the period, the one that
/// contributes most, and the pure resistances between them, which amplify the elements too.
WallProblem overflowProblem(const WallRequest& request) {
  WallProblem problem;
  problem.kind = ProblemKind::Overflow;
  problem.field = WallField::Layers;
  problem.value = request.period;
  double largest = -1.0;
  for (std::size_t i = 0; i < request.layers.size(); ++i) {
    const LayerProperties& layer = request.layers[i];
    if (layer.isPureResistance()) {
      problem.pureResistance += layer.resistance;
      continue;
    }
    const double xi = layer.thickness / periodicPenetrationDepth(layer, request.period);
    problem.penetrationDepths += xi;
    if (xi > largest) {
      largest = xi;
      problem.dominantLayer = i;
      problem.dominantPenetrationDepths = xi;
    }
  }
  return problem;
}

/// Everything of `result` beyond the PeriodicResponse but the sequential estimates, which are
/// left as no estimate: period, time shifts, time lag, thickness and surface mass.
void completePeriodicResult(const WallRequest& request, WallResult& result) {
  const LayerProperties* const layers = request.layers.data();
  const std::size_t layerCount = request.layers.size();
  const double period = request.period;
  result.period = period;
  result.periodicThermalTransmittanceShift =
      timeShiftHours(result.periodicThermalTransmittance, period);
  result.timeLag = timeLagFromShift(result.periodicThermalTransmittanceShift, period);
  result.internalAdmittanceShift = timeShiftHours(result.internalAdmittance, period);
  result.externalAdmittanceShift = timeShiftHours(result.externalAdmittance, period);

  result.thickness = 0.0;
  result.surfaceMass = 0.0;
  for (std::size_t i = 0; i < layerCount; ++i) {
    result.thickness += layers[i].thickness;
    result.surfaceMass += layers[i].arealMass();
  }
  result.daily = result.twelveDay = SequentialEstimate{};
}

void completeResult(const WallRequest& request, WallResult& result) {
  completePeriodicResult(request, result);
  estimateSequentialCapacities(request.layers.data(), request.layers.size(),
                               request.boundary().internalSurfaceResistance, result.daily,
                               result.twelveDay);
}

}  // namespace Detail

namespace {

/// The check and the kernel shared by both entry points: none when `result` holds the
/// PeriodicResponse of a computable wall.
std::optional<WallProblem> checkedPeriodicResponse(const WallRequest& request, WallResult& result) {
  if (auto problem = check(request)) return problem;
  if (!computePeriodicResponse(request.layers.data(), request.layers.size(), request.boundary(),
                               request.period, result)) {
    return Detail::overflowProblem(request);
  }
  return std::nullopt;
}

}  // namespace

std::optional<WallProblem> computePeriodicInto(const WallRequest& request, WallResult& result) {
  if (auto problem = checkedPeriodicResponse(request, result)) return problem;
  Detail::completePeriodicResult(request, result);
  return std::nullopt;
}

std::optional<WallProblem> computeInto(const WallRequest& request, WallResult& result) {
  if (auto problem = checkedPeriodicResponse(request, result)) return problem;
  Detail::completeResult(request, result);
  return std::nullopt;
}

WallOutcome compute(const WallRequest& request) {
  WallResult result;
  if (auto problem = computeInto(request, result)) return *problem;
  return result;
}

void estimateSequentialCapacities(const LayerProperties* layers, std::size_t layerCount,
                                  double internalSurfaceResistance, SequentialEstimate& daily,
                                  SequentialEstimate& twelveDay) {
  daily = twelveDay = SequentialEstimate{};
  bool anySlab = false;
  for (std::size_t i = 0; i < layerCount; ++i) anySlab = anySlab || !layers[i].isPureResistance();
  // A stack of pure resistances stores no heat: there is nothing to estimate.
  if (!anySlab) return;
  int method = None;
  computeSequentialCapacity(layers, layerCount, internalSurfaceResistance, Daily, daily.capacity,
                            method);
  daily.method = static_cast<CapacityMethod>(method);
  computeSequentialCapacity(layers, layerCount, internalSurfaceResistance, Extended,
                            twelveDay.capacity, method);
  twelveDay.method = static_cast<CapacityMethod>(method);
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
  // 0 - x rather than -x: the same for every x but a zero, whose lag is +0, not -0.
  double lag = 0.0 - shiftHours;
  if (lag < 0.0) lag += cycleHours;
  if (lag >= cycleHours) lag -= cycleHours;
  return lag;
}

}  // namespace Brusk::Engine
