#pragma once

// The engine's whole answer for many walls at once: what computeInto gives one request, with
// the periodic part from the many-wall kernel.

#include <cstddef>
#include <optional>

#include "brusk/engine/many_walls.h"
#include "brusk/engine/wall.h"
#include "brusk/engine/wall_result.h"

namespace Brusk::Engine {

/// For every i < count, as computeInto(requests[i], results[i]) would: problems[i] is the
/// check's problem or the overflow refusal, or empty with results[i] filled. The periodic
/// characteristics and the time shifts come from computeManyWalls, within a few ulps of
/// computeInto's (see many_walls.h); the sequential estimates and the problems are computed as
/// computeInto computes them. The requests are shared between options.threads threads. With
/// `sequential` false the sequential estimates are skipped, as computePeriodicInto skips them.
void computeManyInto(const WallRequest* requests, std::size_t count, WallResult* results,
                     std::optional<WallProblem>* problems, const ManyWallsOptions& options = {},
                     bool sequential = true);

}  // namespace Brusk::Engine
