#include "brusk/engine/cycle_response.h"

#include <cmath>
#include <limits>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/engine/many_columns.h"
#include "brusk/engine/wall_result.h"

namespace Brusk::Engine {

namespace {

constexpr double kNotComputed = std::numeric_limits<double>::quiet_NaN();

/// Samples theta(t) = A cos(w t) and q(t) = Re(Y A e^(i w t)) = A (Re Y cos w t - Im Y sin w t).
SwingResponse sampleSwing(const Complex& admittance, double period, double amplitude,
                          double spanHours, double stepHours) {
  SwingResponse swing;
  const double angularFrequencyPerHour = kTwoPi * kSecondsPerHour / period;
  const auto sampleCount = static_cast<int>(std::lround(spanHours / stepHours));
  for (int index = 0; index <= sampleCount; ++index) {
    const double hours = static_cast<double>(index) * stepHours;
    const double angle = angularFrequencyPerHour * hours;
    swing.hours.push_back(hours);
    swing.temperature.push_back(amplitude * std::cos(angle));
    swing.heatFlow.push_back(amplitude * (admittance.getRealPart() * std::cos(angle) -
                                          admittance.getImaginaryPart() * std::sin(angle)));
  }
  swing.heatFlowAmplitude = amplitude * admittance.getModulus();
  return swing;
}

}  // namespace

SwingResponse outdoorSwingResponse(const PeriodicResponse& response, double period,
                                   double amplitude, double spanHours, double stepHours) {
  SwingResponse swing =
      sampleSwing(response.periodicThermalTransmittance, period, amplitude, spanHours, stepHours);
  swing.peakDelayHours = timeLagHours(response.periodicThermalTransmittance, period);
  return swing;
}

SwingResponse indoorSwingResponse(const PeriodicResponse& response, double period, double amplitude,
                                  double spanHours, double stepHours) {
  SwingResponse swing =
      sampleSwing(response.internalAdmittance, period, amplitude, spanHours, stepHours);
  // A positive ISO 13786 time shift means the flow leads the temperature.
  swing.peakDelayHours = -timeShiftHours(response.internalAdmittance, period);
  return swing;
}

std::vector<double> logSpacedHours(double shortestHours, double longestHours, int count) {
  std::vector<double> hours;
  const double logShortest = std::log(shortestHours);
  const double logStep = count > 1 ? (std::log(longestHours) - logShortest) / (count - 1) : 0.0;
  for (int index = 0; index < count; ++index) {
    hours.push_back(std::exp(logShortest + logStep * index));
  }
  if (count > 1) {
    hours.front() = shortestHours;
    hours.back() = longestHours;
  }
  return hours;
}

CycleSweep sweepCycleLength(const WallRequest& request, const std::vector<double>& periodHours) {
  CycleSweep sweep;
  sweep.periodHours = periodHours;
  const std::size_t rows = periodHours.size();
  sweep.decrementFactor.assign(rows, kNotComputed);
  sweep.timeLagHours.assign(rows, kNotComputed);
  const std::size_t layers = request.layers.size();
  if (rows == 0 || layers > kMaxLayers) return sweep;
  // The wall at every cycle length through the many-wall entry: each row the same layers (a
  // row stride of 0), its own period; a row that fails (the matrix overflows at short cycles)
  // comes back NaN.
  LayerLists lists;
  lists.append(request.layers.data(), layers);
  const ElementBoundary boundary = request.boundary();
  ColumnWalls walls;
  lists.setTables(walls, rows, layers);
  walls.layerCount = WallColumn::of(static_cast<double>(layers));
  walls.rsi = WallColumn::of(boundary.internalSurfaceResistance);
  walls.rse = WallColumn::of(boundary.externalSurfaceResistance);
  walls.partition = WallColumn::of(boundary.partition ? 1.0 : 0.0);
  walls.periodHours = WallColumn::of(periodHours.data(), 1);
  std::vector<double> wrappedLag(rows);
  ColumnResults out;
  out.decrementFactor = sweep.decrementFactor.data();
  out.timeLag = wrappedLag.data();
  ColumnOptions options;
  options.stopAtFirstFailure = false;
  (void)computeColumns(walls, out, options);
  // Walk from the longest cycle, where the lag is small and unambiguous, towards the short ones,
  // adding whole cycles whenever the phase would otherwise jump back by more than half a cycle.
  double previousPhase = kNotComputed;
  for (std::size_t index = rows; index-- > 0;) {
    sweep.timeLagHours[index] = followTimeLag(wrappedLag[index], periodHours[index], previousPhase);
  }
  return sweep;
}

CycleSweep sweepCycleLength(const WallRequest& request, const ElementDescription& element,
                            const std::vector<double>& periodHours) {
  if (element.empty()) return sweepCycleLength(request, periodHours);
  CycleSweep sweep;
  sweep.periodHours = periodHours;
  const std::size_t rows = periodHours.size();
  sweep.decrementFactor.assign(rows, kNotComputed);
  sweep.timeLagHours.assign(rows, kNotComputed);
  // computeElement() at every cycle length, so that a point at the table's cycle length is the
  // table's value, bit for bit.
  WallRequest atPeriod = request;
  std::vector<double> wrappedLag(rows, kNotComputed);
  for (std::size_t row = 0; row < rows; ++row) {
    atPeriod.period = periodHours[row] * kSecondsPerHour;
    const ElementOutcome outcome = computeElement(atPeriod, element);
    if (const auto* result = std::get_if<ElementResult>(&outcome)) {
      sweep.decrementFactor[row] = result->wall.decrementFactor;
      wrappedLag[row] = result->wall.timeLag;
    }
  }
  // Followed from the longest cycle, as for a plain wall.
  double previousPhase = kNotComputed;
  for (std::size_t index = rows; index-- > 0;) {
    sweep.timeLagHours[index] = followTimeLag(wrappedLag[index], periodHours[index], previousPhase);
  }
  return sweep;
}

double followTimeLag(double lagHours, double periodHours, double& previousPhase) {
  if (!std::isfinite(lagHours) || !(periodHours > 0.0)) {
    previousPhase = kNotComputed;
    return lagHours;
  }
  double phase = kTwoPi * lagHours / periodHours;
  if (std::isfinite(previousPhase)) phase += kTwoPi * std::round((previousPhase - phase) / kTwoPi);
  previousPhase = phase;
  return phase / kTwoPi * periodHours;
}

}  // namespace Brusk::Engine
