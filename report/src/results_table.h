#pragma once

#include <string>
#include <vector>

#include "brusk/engine/wall_result.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Report {

/// A wall with its results at the report's cycle length and the colour and dash it wears in every
/// plot.
struct ComputedWall {
  const Frontend::Wall* wall = nullptr;
  Engine::WallResult result;
  std::string colour;
  std::string dashes;  ///< SVG dash array of its plotted lines, empty for solid
};

/// The characteristics `brusk compute` reports, one row per quantity with its symbol and unit and
/// one column per wall, as an HTML table with id "results-table"; `cycle` names the cycle length
/// in its caption ("the daily cycle T = 24 h").
[[nodiscard]] std::string renderResultsTable(const std::vector<ComputedWall>& walls,
                                             const std::string& cycle);

}  // namespace Brusk::Report
