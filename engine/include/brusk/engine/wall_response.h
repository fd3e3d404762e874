#pragma once

#include <cstddef>

#include "brusk/engine/complex.h"
#include "brusk/engine/layer_properties.h"
#include "brusk/engine/periodic_response.h"

namespace Brusk::Engine {

/// A sequential heat capacity estimate of side 1 and the rule that produced it.
struct SequentialEstimate {
  double capacity = 0.0;  ///< [J/(m2.K)]
  int method = 0;         ///< a CapacityMethod value
};

/// Every characteristic the front ends report for one wall and one period.
struct WallResponse {
  PeriodicResponse periodic;     ///< ISO 13786 matrix and derived quantities at the period
  SequentialEstimate daily;      ///< sequential capacity for the one-day cycle
  SequentialEstimate twelveDay;  ///< sequential capacity for the twelve-day cycle
  double thickness = 0.0;        ///< total thickness [m]
  double surfaceMass = 0.0;      ///< sum of d rho [kg/m2]
};

/// Computes the periodic response at `period` [s] and both sequential estimates for a stack of
/// valid layers. Returns false, leaving `response` untouched, when the matrix overflows.
[[nodiscard]] bool computeWallResponse(const LayerProperties* layers, std::size_t layerCount,
                                       const ElementBoundary& boundary, double period,
                                       WallResponse& response);

/// ISO 13786 time shift [h] of a periodic quantity on a cycle of `period` seconds:
/// (T / 2 pi) arg(Y), with arg in (-pi, pi], so the shift lies in (-T/2, T/2].
[[nodiscard]] double timeShiftHours(const Complex& quantity, double period);

/// Delay [h] of the inner heat-flow peak behind the outer temperature peak, as practitioners
/// read it: the negated time shift of Y12 wrapped into [0, T).
[[nodiscard]] double timeLagHours(const Complex& periodicThermalTransmittance, double period);

/// The same delay [h] from the time shift [h] of Y12 already computed, sparing a second atan2.
[[nodiscard]] double timeLagFromShift(double shiftHours, double period);

}  // namespace Brusk::Engine
