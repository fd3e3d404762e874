#pragma once

// The parts of computeInto that the many-wall entry point shares with it.

#include "brusk/engine/wall.h"
#include "brusk/engine/wall_result.h"

namespace Brusk::Engine::Detail {

/// The refusal of a checked wall whose matrix overflows, with the sum of xi = d / delta that
/// explains it.
[[nodiscard]] WallProblem overflowProblem(const WallRequest& request);

/// Fills everything of `result` beyond the PeriodicResponse already in it: period, time shifts,
/// time lag, both sequential estimates, thickness and surface mass.
void completeResult(const WallRequest& request, WallResult& result);

/// completeResult() without the sequential estimates, which are left as no estimate.
void completePeriodicResult(const WallRequest& request, WallResult& result);

}  // namespace Brusk::Engine::Detail
