#pragma once

#include <cstddef>

#include "brusk/engine/layer_properties.h"

namespace Brusk::Engine {

/// Cycle length of a sequential heat capacity estimate.
enum CapacityPeriod : int {
  Daily = 0,     ///< T = 86400 s, depth limit 0.1 m
  Extended = 1,  ///< T = 1036800 s (twelve days), depth limit 0.34 m
};

/// Rule that produced a sequential heat capacity estimate.
enum CapacityMethod : int {
  None = 0,          ///< no estimate, capacity 0
  ThinLayer = 1,     ///< thin start layer backed by an insulating layer: whole mass
  SemiInfinite = 2,  ///< start layer at least twice its penetration depth
  LimitedDepth = 3,  ///< mass down to the effective depth, reduced for the surface resistance
};

/// Estimates the areal heat capacity [J/(m2.K)] that side 1 of a stack of valid layers offers to
/// a periodic room temperature, with the side-1 surface resistance Rsi [m2.K/W]. Any period other
/// than `Extended` selects the daily constants. Writes `capacity` and `method` in every case.
void computeSequentialCapacity(const LayerProperties* layers, std::size_t layerCount,
                               double internalSurfaceResistance, int period, double& capacity,
                               int& method);

/// The rule's name as every front end prints it: "none", "thin-layer", "semi-infinite" or
/// "limited-depth"; "none" for a value outside CapacityMethod.
[[nodiscard]] const char* capacityMethodName(int method);

}  // namespace Brusk::Engine
