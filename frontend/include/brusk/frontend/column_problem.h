#pragma once

// How a row of column input (Python's compute_many, a table of walls) that cannot be computed
// is worded for a person.

#include <string>

#include "brusk/engine/many_columns.h"

namespace Brusk::Frontend {

/// "row 17: layer 2: conductivity must be a positive number of W/(m.K), got -1": the row, then
/// the reason as describeProblem() words it for a wall file whose layers have no names, or the
/// layout fault of the columns.
[[nodiscard]] std::string describeRowFailure(const Engine::ColumnWalls& walls,
                                             const Engine::RowFailure& failure);

}  // namespace Brusk::Frontend
