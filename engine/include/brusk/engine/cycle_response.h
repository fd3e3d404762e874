#pragma once

// A wall's response over time and over cycle lengths, as plots draw it.

#include <vector>

#include "brusk/engine/bridged_element.h"
#include "brusk/engine/periodic_response.h"
#include "brusk/engine/wall.h"

namespace Brusk::Engine {

/// A sinusoidal temperature swing and the heat-flow density it drives, sampled over time.
struct SwingResponse {
  std::vector<double> hours;        ///< t [h] from a temperature peak at t = 0
  std::vector<double> temperature;  ///< theta(t) [K] about the mean
  std::vector<double> heatFlow;     ///< q(t) [W/m2] about the mean
  double heatFlowAmplitude = 0.0;   ///< |Y| A [W/m2]
  /// Time [h] from a temperature peak to the next heat-flow peak when positive; a negative value
  /// says the flow peaks that much earlier.
  double peakDelayHours = 0.0;
};

/// Outdoor temperature theta_e(t) = A cos(2 pi t / T) and the heat-flow density it drives into the
/// room with the room held steady, q = Y12 theta_e, over `spanHours`. (ISO 13786 defines
/// Y12 = -q_1 / theta_e with q_1 counted into the wall, so into the room is +Y12 theta_e.)
[[nodiscard]] SwingResponse outdoorSwingResponse(const PeriodicResponse& response, double period,
                                                 double amplitude, double spanHours,
                                                 double stepHours);

/// Room temperature theta_i(t) = A cos(2 pi t / T) and the heat-flow density it drives into the
/// inner surface with the outside held steady, q_1 = Y11 theta_i (ISO 13786), over `spanHours`.
[[nodiscard]] SwingResponse indoorSwingResponse(const PeriodicResponse& response, double period,
                                                double amplitude, double spanHours,
                                                double stepHours);

/// Decrement factor and time lag of one wall against the cycle length.
struct CycleSweep {
  std::vector<double> periodHours;
  std::vector<double> decrementFactor;  ///< f = |Y12| / U [-]; NaN where the matrix overflows
  /// Delay of the inner heat-flow peak [h], followed continuously from the longest cycle, so it
  /// may exceed a short cycle's length where the wrapped value would jump; NaN on overflow.
  std::vector<double> timeLagHours;
};

/// One step of following the time lag continuously along a sweep (over cycle length, insulation
/// thickness or any parameter): `lagHours` is a wall's lag wrapped into [0, T) at the cycle
/// length `periodHours`; returned is that lag plus the whole cycles T that bring its phase
/// 2 pi lag / T within half a cycle of `previousPhase` [rad], the phase of the step before (none
/// when it is not finite: the first step, or one after a wall that could not be computed).
/// `previousPhase` becomes this step's phase; a lag that is not finite is returned as it is and
/// starts the walk afresh. Where the wrapped lag jumps from near T back to near 0 as the sweep
/// goes on, the followed lag goes on past T: a plot of lag against insulation thickness is a
/// curve, not a sawtooth.
[[nodiscard]] double followTimeLag(double lagHours, double periodHours, double& previousPhase);

/// `count` cycle lengths spaced evenly on a log scale from `shortestHours` to `longestHours`.
[[nodiscard]] std::vector<double> logSpacedHours(double shortestHours, double longestHours,
                                                 int count);

/// Computes the ISO 13786 response of the request's wall at every cycle length of `periodHours`
/// (ascending); the request's own period is not read.
[[nodiscard]] CycleSweep sweepCycleLength(const WallRequest& request,
                                          const std::vector<double>& periodHours);

/// sweepCycleLength() of an element: at every cycle length its parallel-path decrement factor
/// and time lag, as computeElement() gives them at that period (the same as the plain wall's
/// sweep for an empty element). The element must pass check(request, element).
[[nodiscard]] CycleSweep sweepCycleLength(const WallRequest& request,
                                          const ElementDescription& element,
                                          const std::vector<double>& periodHours);

}  // namespace Brusk::Engine
