#pragma once

// The pieces of the thermal-bridge solver shared by its driver (thermal_bridge.cpp) and its grid
// and linear algebra (thermal_bridge_solver.cpp).

#include <cstddef>
#include <optional>
#include <variant>
#include <vector>

#include "brusk/engine/thermal_bridge.h"

namespace Brusk::Engine::Detail {

/// A boundary as a run of base-grid edges: along the vertical line lx[line] from ly[from] to
/// ly[to] (or the horizontal line ly[line] from lx[from] to lx[to]).
struct BoundaryRun {
  bool vertical = false;
  std::size_t line = 0;
  std::size_t from = 0, to = 0;  ///< from < to
};

/// The section on its base grid: one line at every region edge and boundary end, each base cell
/// holding one region (the last one over it) or none.
struct BridgeGeometry {
  std::vector<double> lx, ly;     ///< base lines, ascending
  std::vector<int> region;        ///< per base cell (i + j * (lx.size() - 1)); -1 outside the body
  std::vector<BoundaryRun> runs;  ///< per boundary
  double extent = 0.0;            ///< the larger side of the bounding box [m]

  [[nodiscard]] std::size_t cellsX() const { return lx.size() - 1; }
  [[nodiscard]] std::size_t cellsY() const { return ly.size() - 1; }
  [[nodiscard]] int regionAt(std::size_t i, std::size_t j) const {
    return region[i + j * cellsX()];
  }
};

/// Builds the base grid and checks the geometry: size limit, one body, boundaries on its outer
/// edge and not overlapping, probes inside. The request's values must have passed
/// checkBridgeValues().
[[nodiscard]] std::variant<BridgeGeometry, BridgeProblem> buildGeometry(
    const BridgeRequest& request);

/// A refined grid: the base lines subdivided, with the base cell of every fine cell.
struct FineGrid {
  std::vector<double> xs, ys;
  std::vector<std::size_t> baseCellX, baseCellY;  ///< per fine cell column / row
  std::vector<std::size_t> fineLineX, fineLineY;  ///< fine index of each base line
};

/// The grid of refinement level `level`: each base interval split into cells graded towards its
/// ends, twice as many per level. Cell sizes follow h(s) = min(H, h0 + a s) with s the distance
/// to the interval's nearer end, H = extent / 20, h0 = H / 10, a = 0.3, all halved per level.
[[nodiscard]] FineGrid refinedGrid(const BridgeGeometry& geometry, int level);

/// A grid given by its node lines (which must hold every base line).
[[nodiscard]] std::optional<FineGrid> givenGrid(const BridgeGeometry& geometry,
                                                const std::vector<double>& xs,
                                                const std::vector<double>& ys);

/// One solve's answers: the real temperature field and the flows of the unit problems.
struct GridSolution {
  std::vector<double> temperature;  ///< per node [degC], NaN outside the body
  std::vector<double> heatFlow;     ///< per environment [W/m], into the body
  std::vector<double> coupling;     ///< L_ab, environments squared [W/(m.K)]
  std::optional<BridgeSurfacePoint> minimumIndoor;
  std::size_t nodes = 0, cells = 0;
};

/// Solves on `grid` with the request's surface resistances, the indoor ones replaced by
/// `indoorResistance` when given. `unitProblems` false skips the coupling coefficients.
[[nodiscard]] GridSolution solveOnGrid(const BridgeRequest& request, const BridgeGeometry& geometry,
                                       const FineGrid& grid, std::optional<double> indoorResistance,
                                       bool unitProblems);

}  // namespace Brusk::Engine::Detail
