#pragma once

#include <cstddef>

#include "brusk/engine/periodic_response.h"

/// Pre-optimisation reference: the engine's periodic kernel exactly as it stood before the
/// speed work, kept in the benchmarks only so that both versions are timed in the same run on
/// the same machine. Never linked into the engine; not a second implementation to call.
namespace Brusk::Bench::Baseline {

/// Same contract as Brusk::Engine::computePeriodicResponse.
[[nodiscard]] bool computePeriodicResponse(const Engine::LayerProperties* layers,
                                           std::size_t layerCount,
                                           const Engine::ElementBoundary& boundary, double period,
                                           Engine::PeriodicResponse& response);

}  // namespace Brusk::Bench::Baseline
