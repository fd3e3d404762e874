#pragma once

#include <string>
#include <vector>

#include "brusk/engine/wall_response.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Report {

/// A wall with its results at the daily cycle and the colour it wears in every plot.
struct ComputedWall {
  const Wall* wall = nullptr;
  Engine::WallResponse response;
  std::string colour;
};

/// The characteristics `brusk compute` reports, one row per quantity with its symbol and unit and
/// one column per wall, as an HTML table with id "results-table".
[[nodiscard]] std::string renderResultsTable(const std::vector<ComputedWall>& walls);

/// Human name of a sequential capacity method (Engine::CapacityMethod).
[[nodiscard]] std::string capacityMethodName(int method);

}  // namespace Brusk::Report
