// The section's base grid and its refinements (ISO 10211:2017 5.3: the grid follows every
// material edge and is refined until the heat flow settles).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "thermal_bridge_detail.h"

namespace Brusk::Engine::Detail {

namespace {

BridgeProblem problemOf(BridgeProblemKind kind, std::size_t index, double x = 0.0, double y = 0.0) {
  BridgeProblem problem;
  problem.kind = kind;
  problem.index = index;
  problem.x = x;
  problem.y = y;
  return problem;
}

/// Sorted distinct values, those closer than `tolerance` merged into the first.
std::vector<double> distinctLines(std::vector<double> values, double tolerance) {
  std::sort(values.begin(), values.end());
  std::vector<double> lines;
  for (double value : values) {
    if (lines.empty() || value - lines.back() > tolerance) lines.push_back(value);
  }
  return lines;
}

/// The index of the line at `value` (which distinctLines() put there, within tolerance).
std::size_t lineIndex(const std::vector<double>& lines, double value, double tolerance) {
  auto it = std::lower_bound(lines.begin(), lines.end(), value - tolerance);
  return static_cast<std::size_t>(it - lines.begin());
}

/// The cells, counted from 0, whose closed span holds `value`: one, or two on a line.
std::pair<std::size_t, std::size_t> cellSpan(const std::vector<double>& lines, double value,
                                             double tolerance) {
  const std::size_t cells = lines.size() - 1;
  auto upper = std::upper_bound(lines.begin(), lines.end(), value + tolerance);
  auto lower = std::lower_bound(lines.begin(), lines.end(), value - tolerance);
  std::size_t last = static_cast<std::size_t>(upper - lines.begin());
  std::size_t first = static_cast<std::size_t>(lower - lines.begin());
  // value in (lines[first - 1], lines[first]] ... the cells touching it run first-1 .. last-1.
  std::size_t from = first == 0 ? 0 : first - 1;
  std::size_t to = std::min(last == 0 ? 0 : last - 1, cells - 1);
  return {from, to};
}

}  // namespace

std::variant<BridgeGeometry, BridgeProblem> buildGeometry(const BridgeRequest& request) {
  BridgeGeometry geometry;
  double minX = std::numeric_limits<double>::infinity(), maxX = -minX;
  double minY = minX, maxY = -minX;
  std::vector<double> xs, ys;
  for (const BridgeRegion& region : request.regions) {
    xs.push_back(region.x0);
    xs.push_back(region.x1);
    ys.push_back(region.y0);
    ys.push_back(region.y1);
    minX = std::min(minX, region.x0);
    maxX = std::max(maxX, region.x1);
    minY = std::min(minY, region.y0);
    maxY = std::max(maxY, region.y1);
  }
  for (const BridgeBoundary& boundary : request.boundaries) {
    xs.push_back(boundary.x0);
    xs.push_back(boundary.x1);
    ys.push_back(boundary.y0);
    ys.push_back(boundary.y1);
  }
  geometry.extent = std::max(maxX - minX, maxY - minY);
  // Coordinates closer than a billionth of the section are one line: input written with
  // rounding (0.1 + 0.2) must not make slivers of cells.
  const double tolerance = geometry.extent * 1e-9;
  geometry.lx = distinctLines(std::move(xs), tolerance);
  geometry.ly = distinctLines(std::move(ys), tolerance);
  const std::size_t lines = std::max(geometry.lx.size(), geometry.ly.size());
  if (lines > kBridgeMaxLines) {
    BridgeProblem problem = problemOf(BridgeProblemKind::GridTooLarge, 0);
    problem.value = static_cast<double>(lines);
    problem.limit = static_cast<double>(kBridgeMaxLines);
    return problem;
  }

  const std::size_t nx = geometry.cellsX(), ny = geometry.cellsY();
  geometry.region.assign(nx * ny, -1);
  for (std::size_t r = 0; r < request.regions.size(); ++r) {
    const BridgeRegion& region = request.regions[r];
    const std::size_t i0 = lineIndex(geometry.lx, region.x0, tolerance);
    const std::size_t i1 = lineIndex(geometry.lx, region.x1, tolerance);
    const std::size_t j0 = lineIndex(geometry.ly, region.y0, tolerance);
    const std::size_t j1 = lineIndex(geometry.ly, region.y1, tolerance);
    if (i0 >= i1 || j0 >= j1) return problemOf(BridgeProblemKind::RegionSize, r);
    for (std::size_t j = j0; j < j1; ++j) {
      std::fill(geometry.region.begin() + static_cast<std::ptrdiff_t>(j * nx + i0),
                geometry.region.begin() + static_cast<std::ptrdiff_t>(j * nx + i1),
                static_cast<int>(r));
    }
  }

  // One body: every body cell reachable from the first through shared edges (cells touching at a
  // corner only are two bodies: no heat crosses a point).
  std::vector<std::uint8_t> reached(nx * ny, 0);
  std::vector<std::size_t> stack;
  std::size_t first = nx * ny;
  for (std::size_t c = 0; c < nx * ny; ++c) {
    if (geometry.region[c] >= 0) {
      first = c;
      break;
    }
  }
  stack.push_back(first);
  reached[first] = 1;
  while (!stack.empty()) {
    const std::size_t c = stack.back();
    stack.pop_back();
    const std::size_t i = c % nx, j = c / nx;
    const std::size_t neighbours[4] = {i > 0 ? c - 1 : c, i + 1 < nx ? c + 1 : c,
                                       j > 0 ? c - nx : c, j + 1 < ny ? c + nx : c};
    for (std::size_t n : neighbours) {
      if (!reached[n] && geometry.region[n] >= 0) {
        reached[n] = 1;
        stack.push_back(n);
      }
    }
  }
  for (std::size_t c = 0; c < nx * ny; ++c) {
    if (geometry.region[c] >= 0 && !reached[c]) {
      const std::size_t i = c % nx, j = c / nx;
      return problemOf(
          BridgeProblemKind::BodyInPieces, static_cast<std::size_t>(geometry.region[c]),
          0.5 * (geometry.lx[i] + geometry.lx[i + 1]), 0.5 * (geometry.ly[j] + geometry.ly[j + 1]));
    }
  }

  // Boundaries: each base edge along one must have the body on exactly one side, and no edge
  // may belong to two boundaries.
  auto body = [&](std::ptrdiff_t i, std::ptrdiff_t j) {
    if (i < 0 || j < 0 || i >= static_cast<std::ptrdiff_t>(nx) ||
        j >= static_cast<std::ptrdiff_t>(ny)) {
      return false;
    }
    return geometry.regionAt(static_cast<std::size_t>(i), static_cast<std::size_t>(j)) >= 0;
  };
  std::vector<int> verticalOwner((nx + 1) * ny, -1), horizontalOwner(nx * (ny + 1), -1);
  for (std::size_t b = 0; b < request.boundaries.size(); ++b) {
    const BridgeBoundary& boundary = request.boundaries[b];
    BoundaryRun run;
    run.vertical = boundary.x0 == boundary.x1;
    if (run.vertical) {
      run.line = lineIndex(geometry.lx, boundary.x0, tolerance);
      run.from = lineIndex(geometry.ly, std::min(boundary.y0, boundary.y1), tolerance);
      run.to = lineIndex(geometry.ly, std::max(boundary.y0, boundary.y1), tolerance);
    } else {
      run.line = lineIndex(geometry.ly, boundary.y0, tolerance);
      run.from = lineIndex(geometry.lx, std::min(boundary.x0, boundary.x1), tolerance);
      run.to = lineIndex(geometry.lx, std::max(boundary.x0, boundary.x1), tolerance);
    }
    if (run.from >= run.to) return problemOf(BridgeProblemKind::BoundaryShape, b);
    for (std::size_t k = run.from; k < run.to; ++k) {
      const auto line = static_cast<std::ptrdiff_t>(run.line);
      const auto along = static_cast<std::ptrdiff_t>(k);
      const bool onEdge = run.vertical ? body(line - 1, along) != body(line, along)
                                       : body(along, line - 1) != body(along, line);
      const double x =
          run.vertical ? geometry.lx[run.line] : 0.5 * (geometry.lx[k] + geometry.lx[k + 1]);
      const double y =
          run.vertical ? 0.5 * (geometry.ly[k] + geometry.ly[k + 1]) : geometry.ly[run.line];
      if (!onEdge) return problemOf(BridgeProblemKind::BoundaryOffEdge, b, x, y);
      int& owner = run.vertical ? verticalOwner[run.line + k * (nx + 1)]
                                : horizontalOwner[k + run.line * nx];
      if (owner >= 0) {
        BridgeProblem problem =
            problemOf(BridgeProblemKind::BoundariesOverlap, static_cast<std::size_t>(owner), x, y);
        problem.other = b;
        return problem;
      }
      owner = static_cast<int>(b);
    }
    geometry.runs.push_back(run);
  }

  for (std::size_t p = 0; p < request.probes.size(); ++p) {
    const BridgeProbe& probe = request.probes[p];
    bool inside =
        probe.x >= geometry.lx.front() - tolerance && probe.x <= geometry.lx.back() + tolerance &&
        probe.y >= geometry.ly.front() - tolerance && probe.y <= geometry.ly.back() + tolerance;
    if (inside) {
      inside = false;
      const auto [i0, i1] = cellSpan(geometry.lx, probe.x, tolerance);
      const auto [j0, j1] = cellSpan(geometry.ly, probe.y, tolerance);
      for (std::size_t i = i0; i <= i1 && !inside; ++i) {
        for (std::size_t j = j0; j <= j1 && !inside; ++j) inside = geometry.regionAt(i, j) >= 0;
      }
    }
    if (!inside) return problemOf(BridgeProblemKind::ProbeOutside, p, probe.x, probe.y);
  }
  return geometry;
}

namespace {

/// Cell-size function of one interval of length d at a level: h(s) = min(H, h0 + a s).
struct Grading {
  double largest;   ///< H
  double smallest;  ///< h0
  double growth;    ///< a

  /// Integral of 1/h from the end to s (s within the interval's half).
  [[nodiscard]] double cellsTo(double s) const {
    const double knee = (largest - smallest) / growth;
    if (s <= knee) return std::log1p(growth * s / smallest) / growth;
    return std::log(largest / smallest) / growth + (s - knee) / largest;
  }
  /// Inverse of cellsTo().
  [[nodiscard]] double distanceAt(double t) const {
    const double knee = (largest - smallest) / growth;
    const double atKnee = cellsTo(knee);
    if (t <= atKnee) return smallest / growth * std::expm1(growth * t);
    return knee + (t - atKnee) * largest;
  }
};

void subdivide(const std::vector<double>& lines, const Grading& grading, std::vector<double>& out,
               std::vector<std::size_t>& baseCell, std::vector<std::size_t>& fineLine) {
  out.clear();
  baseCell.clear();
  fineLine.clear();
  for (std::size_t k = 0; k + 1 < lines.size(); ++k) {
    const double a = lines[k], d = lines[k + 1] - a;
    fineLine.push_back(out.size());
    out.push_back(a);
    const double half = grading.cellsTo(0.5 * d);
    const auto cells = static_cast<std::size_t>(std::max(1.0, std::ceil(2.0 * half - 1e-9)));
    for (std::size_t c = 1; c < cells; ++c) {
      const double t = 2.0 * half * static_cast<double>(c) / static_cast<double>(cells);
      const double s = t <= half ? grading.distanceAt(t) : d - grading.distanceAt(2.0 * half - t);
      out.push_back(a + s);
    }
    for (std::size_t c = 0; c < cells; ++c) baseCell.push_back(k);
  }
  fineLine.push_back(out.size());
  out.push_back(lines.back());
}

}  // namespace

FineGrid refinedGrid(const BridgeGeometry& geometry, int level) {
  const double scale = std::ldexp(1.0, -level);
  Grading grading;
  grading.largest = geometry.extent / 20.0 * scale;
  grading.smallest = grading.largest / 10.0;
  grading.growth = 0.3;
  FineGrid grid;
  subdivide(geometry.lx, grading, grid.xs, grid.baseCellX, grid.fineLineX);
  subdivide(geometry.ly, grading, grid.ys, grid.baseCellY, grid.fineLineY);
  return grid;
}

namespace {

bool mapGiven(const std::vector<double>& base, const std::vector<double>& given, double tolerance,
              std::vector<double>& out, std::vector<std::size_t>& baseCell,
              std::vector<std::size_t>& fineLine) {
  out = given;
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  if (out.size() < 2) return false;
  fineLine.clear();
  for (double line : base) {
    const std::size_t at = lineIndex(out, line, tolerance);
    if (at >= out.size() || std::fabs(out[at] - line) > tolerance) return false;
    out[at] = line;
    fineLine.push_back(at);
  }
  if (fineLine.front() != 0 || fineLine.back() != out.size() - 1) return false;
  baseCell.assign(out.size() - 1, 0);
  for (std::size_t k = 0; k + 1 < fineLine.size(); ++k) {
    for (std::size_t c = fineLine[k]; c < fineLine[k + 1]; ++c) baseCell[c] = k;
  }
  return true;
}

}  // namespace

std::optional<FineGrid> givenGrid(const BridgeGeometry& geometry, const std::vector<double>& xs,
                                  const std::vector<double>& ys) {
  const double tolerance = geometry.extent * 1e-9;
  FineGrid grid;
  if (!mapGiven(geometry.lx, xs, tolerance, grid.xs, grid.baseCellX, grid.fineLineX) ||
      !mapGiven(geometry.ly, ys, tolerance, grid.ys, grid.baseCellY, grid.fineLineY)) {
    return std::nullopt;
  }
  return grid;
}

}  // namespace Brusk::Engine::Detail
