// The words of a row of column input that could not be computed, as a wall file's refusal
// reads for a wall whose layers have no names.

#include "brusk/frontend/column_problem.h"

#include <string>

#include "brusk/engine/wall.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/shortest_double.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Frontend {

namespace {

std::string numberText(double value) {
  char buffer[kShortestDoubleRoom];
  return std::string(buffer, writeShortestDouble(value, buffer));
}

}  // namespace

std::string describeRowFailure(const Engine::ColumnWalls& in, const Engine::RowFailure& failure) {
  std::string message = "row " + std::to_string(failure.row) + ": ";
  switch (failure.kind) {
    case Engine::RowFailure::Kind::LayerAfterPadding:
      return message + "layer " + std::to_string(failure.layer + 1) +
             " has a thickness after a layer without one (NaN): NaN pads a row only at its "
             "side-2 end";
    case Engine::RowFailure::Kind::LayerCountTooLarge:
      return message + "layer_count " + numberText(failure.problem.value) + " is more than the " +
             std::to_string(in.thickness.columns) + " layer columns";
    case Engine::RowFailure::Kind::LayerCountNotWhole:
      return message + "layer_count must be a whole number of layers, not negative, got " +
             numberText(failure.problem.value);
    case Engine::RowFailure::Kind::ResistanceOnPadding:
      return message + "layer " + std::to_string(failure.layer + 1) +
             " has a thermal_resistance (" + numberText(failure.problem.value) +
             " m2.K/W) but is no layer of the row (" +
             (in.layerCount.given() ? std::string("past its layer_count")
                                    : std::string("its thickness NaN pads the row")) +
             "); a pure resistance layer takes thickness 0";
    case Engine::RowFailure::Kind::ResistanceOnSlab:
      return message + "layer " + std::to_string(failure.layer + 1) + " has both a thickness (" +
             numberText(in.thickness.at(failure.row, failure.layer)) +
             " m) and a thermal_resistance (" + numberText(failure.problem.value) +
             " m2.K/W); a layer is a slab (thickness, conductivity, density, specific_heat) or a "
             "pure resistance (thickness 0 and thermal_resistance)";
    case Engine::RowFailure::Kind::PartitionNotFlag:
      return message + "partition must be true or false (1 or 0) for each wall, got " +
             numberText(failure.problem.value);
    case Engine::RowFailure::Kind::Engine:
    case Engine::RowFailure::Kind::Overflow:
      break;
  }
  Wall wall;
  wall.name = "row " + std::to_string(failure.row);
  wall.request = Engine::requestOfRow(in, failure.row);
  Engine::WallProblem problem = failure.problem;
  if (failure.kind == Engine::RowFailure::Kind::Overflow) {
    // The stack's penetration depths that explain it, as compute() gives them.
    Engine::WallResult ignored;
    problem = Engine::computePeriodicInto(wall.request, ignored).value_or(problem);
  }
  const std::string reason = describeProblem(problem, wall);
  // The overflow's words name the wall ("row 17") themselves.
  return problem.kind == Engine::ProblemKind::Overflow ? reason : message + reason;
}

}  // namespace Brusk::Frontend
