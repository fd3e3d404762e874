#pragma once

// The engine's one answer for a wall: every quantity any front end reports.

#include <limits>
#include <variant>

#include "brusk/engine/complex.h"
#include "brusk/engine/periodic_response.h"
#include "brusk/engine/sequential_capacity.h"
#include "brusk/engine/wall.h"

namespace Brusk::Engine {

/// A sequential heat capacity estimate of side 1 and the rule that produced it.
struct SequentialEstimate {
  double capacity = 0.0;         ///< [J/(m2.K)]
  CapacityMethod method = None;  ///< the rule; None with capacity 0 when there is no estimate

  /// The estimate as every output gives it [J/(m2.K)]: NaN (null, blank) where no rule gave one
  /// (method None: a wall of one light layer, or the paths of an element estimated by
  /// different rules), never a capacity of 0.
  [[nodiscard]] double value() const {
    return method == None ? std::numeric_limits<double>::quiet_NaN() : capacity;
  }
};

/// Every characteristic of one wall at one period. The ISO 13786 matrix and the quantities
/// derived from it come from the kernel (PeriodicResponse); the rest is added here.
struct WallResult : PeriodicResponse {
  double period = 0.0;       ///< T [s]
  double thickness = 0.0;    ///< total thickness, sum of d [m]
  double surfaceMass = 0.0;  ///< sum of d rho [kg/m2]
  /// ISO 13786 time shifts (T / 2 pi) arg(Y) [h], in (-T/2, T/2]: positive when the heat flow
  /// leads the temperature.
  double periodicThermalTransmittanceShift = 0.0;  ///< of Y12
  double internalAdmittanceShift = 0.0;            ///< of Y11
  double externalAdmittanceShift = 0.0;            ///< of Y22
  /// Delay of the inner heat-flow peak behind the outer temperature peak [h], in [0, T): the
  /// negated time shift of Y12 wrapped into one cycle.
  double timeLag = 0.0;
  SequentialEstimate daily;      ///< sequential heat capacity for the one-day cycle
  SequentialEstimate twelveDay;  ///< sequential heat capacity for the twelve-day cycle
};

/// Either the wall's result or the first problem that keeps it from being computed.
using WallOutcome = std::variant<WallResult, WallProblem>;

/// Checks the request and computes it: the transfer matrix at the request's period, the time
/// shifts and lag, both sequential estimates, thickness and surface mass. A problem of the input
/// comes out of check(); a stack too thick for double precision gives an Overflow problem with
/// the stack's penetration depths and the layer that contributes most.
[[nodiscard]] WallOutcome compute(const WallRequest& request);

/// compute() into a caller's result, for loops over many walls: returns the problem, or none
/// with `result` filled. `result` is unspecified after a problem.
[[nodiscard]] std::optional<WallProblem> computeInto(const WallRequest& request,
                                                     WallResult& result);

/// computeInto() without the sequential heat capacity estimates, which cost about half as much
/// again as the periodic quantities: the same check, matrix, time shifts, lag, thickness and
/// surface mass, with `result.daily` and `result.twelveDay` left as no estimate (None, 0).
[[nodiscard]] std::optional<WallProblem> computePeriodicInto(const WallRequest& request,
                                                             WallResult& result);

/// Both sequential heat capacity estimates of side 1 of a checked stack (side 1 first, Rsi
/// [m2.K/W]): what computeInto adds to computePeriodicInto. A stack of pure resistances stores
/// no heat and gets no estimate (None, 0).
void estimateSequentialCapacities(const LayerProperties* layers, std::size_t layerCount,
                                  double internalSurfaceResistance, SequentialEstimate& daily,
                                  SequentialEstimate& twelveDay);

/// ISO 13786 time shift [h] of a periodic quantity on a cycle of `period` seconds:
/// (T / 2 pi) arg(Y), with arg in (-pi, pi], so the shift lies in (-T/2, T/2].
[[nodiscard]] double timeShiftHours(const Complex& quantity, double period);

/// Delay [h] of the inner heat-flow peak behind the outer temperature peak, as practitioners
/// read it: the negated time shift of Y12 wrapped into [0, T).
[[nodiscard]] double timeLagHours(const Complex& periodicThermalTransmittance, double period);

/// The same delay [h] from the time shift [h] of Y12 already computed, sparing a second atan2.
[[nodiscard]] double timeLagFromShift(double shiftHours, double period);

}  // namespace Brusk::Engine
