#include "brusk/engine/thermal_bridge.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "thermal_bridge_detail.h"

namespace Brusk::Engine {

namespace {

bool isPositiveFinite(double value) { return std::isfinite(value) && value > 0.0; }

BridgeProblem problemOf(BridgeProblemKind kind, std::size_t index = 0, double value = 0.0) {
  BridgeProblem problem;
  problem.kind = kind;
  problem.index = index;
  problem.value = value;
  return problem;
}

/// The most refinements tried: each multiplies the nodes by about four, so the node limit
/// stops the loop well before.
constexpr int kMaxLevel = 12;

/// Total heat flow of a solve: what enters the body, the sum of the positive flows [W/m].
double totalFlow(const std::vector<double>& flows) {
  double total = 0.0;
  for (double flow : flows) total += std::max(flow, 0.0);
  return total;
}

/// Fills in what a solved grid gives beyond the solve itself: psi, probes, fRsi and the field.
BridgeResult resultOf(const BridgeRequest& request, const Detail::BridgeGeometry& geometry,
                      const Detail::FineGrid& grid, Detail::GridSolution solution) {
  const std::size_t environments = request.environments.size();
  BridgeResult result;
  result.heatFlow = solution.heatFlow;
  for (double flow : result.heatFlow) result.heatFlowSum += flow;
  result.coupling = solution.coupling;
  result.minimumSurface = solution.minimumIndoor;

  // One psi per pair that has flanking elements, ISO 10211:2017 eq. (12).
  for (std::size_t a = 0; a < environments; ++a) {
    for (std::size_t b = a + 1; b < environments; ++b) {
      bool any = false;
      double flanking = 0.0;
      for (const BridgeFlanking& element : request.flanking) {
        if ((element.environmentA == a && element.environmentB == b) ||
            (element.environmentA == b && element.environmentB == a)) {
          any = true;
          flanking += element.uValue * element.length;
        }
      }
      if (!any) continue;
      BridgePsi psi;
      psi.environmentA = a;
      psi.environmentB = b;
      psi.coupling = result.coupling[a * environments + b];
      psi.flankingCoupling = flanking;
      psi.psi = psi.coupling - flanking;
      result.psi.push_back(psi);
    }
  }

  result.field.xs = grid.xs;
  result.field.ys = grid.ys;
  result.field.temperature = std::move(solution.temperature);
  for (const BridgeProbe& probe : request.probes) {
    result.probeTemperatures.push_back(fieldTemperature(result.field, probe.x, probe.y)
                                           .value_or(std::numeric_limits<double>::quiet_NaN()));
  }

  // fRsi, ISO 10211:2017 11.2: a second solve with the indoor surface resistance of
  // ISO 13788, theta_i and theta_e those of indoor and outdoor.
  if (request.indoor && request.outdoor) {
    const double inside = request.environments[*request.indoor].temperature;
    const double outside = request.environments[*request.outdoor].temperature;
    if (inside != outside) {
      const Detail::GridSolution second =
          Detail::solveOnGrid(request, geometry, grid, request.fRsiSurfaceResistance, false);
      if (second.minimumIndoor) {
        result.fRsiMinimum = second.minimumIndoor;
        result.fRsi = (second.minimumIndoor->temperature - outside) / (inside - outside);
      }
    }
  }

  result.grid.columns = grid.xs.size();
  result.grid.rows = grid.ys.size();
  result.grid.nodes = solution.nodes;
  result.grid.cells = solution.cells;
  result.grid.surfaceTemperatureChange = std::numeric_limits<double>::quiet_NaN();
  return result;
}

}  // namespace

std::optional<BridgeProblem> checkBridgeValues(const BridgeRequest& request) {
  if (request.regions.empty()) return problemOf(BridgeProblemKind::NoRegions);
  for (std::size_t r = 0; r < request.regions.size(); ++r) {
    const BridgeRegion& region = request.regions[r];
    const bool finite = std::isfinite(region.x0) && std::isfinite(region.x1) &&
                        std::isfinite(region.y0) && std::isfinite(region.y1);
    if (!finite || !(region.x1 > region.x0) || !(region.y1 > region.y0)) {
      return problemOf(BridgeProblemKind::RegionSize, r);
    }
    if (!isPositiveFinite(region.conductivity)) {
      return problemOf(BridgeProblemKind::RegionConductivity, r, region.conductivity);
    }
  }
  const std::size_t environments = request.environments.size();
  if (environments < 2) {
    return problemOf(BridgeProblemKind::TooFewEnvironments, 0, static_cast<double>(environments));
  }
  for (std::size_t e = 0; e < environments; ++e) {
    const BridgeEnvironment& environment = request.environments[e];
    if (!std::isfinite(environment.temperature)) {
      return problemOf(BridgeProblemKind::EnvironmentTemperature, e, environment.temperature);
    }
    if (!std::isfinite(environment.surfaceResistance) || environment.surfaceResistance < 0.0) {
      BridgeProblem problem =
          problemOf(BridgeProblemKind::SurfaceResistance, e, environment.surfaceResistance);
      problem.other = request.boundaries.size();
      return problem;
    }
  }
  std::vector<bool> used(environments, false);
  for (std::size_t b = 0; b < request.boundaries.size(); ++b) {
    const BridgeBoundary& boundary = request.boundaries[b];
    if (boundary.environment >= environments) {
      return problemOf(BridgeProblemKind::BoundaryEnvironment, b);
    }
    const bool finite = std::isfinite(boundary.x0) && std::isfinite(boundary.x1) &&
                        std::isfinite(boundary.y0) && std::isfinite(boundary.y1);
    const bool vertical = boundary.x0 == boundary.x1 && boundary.y0 != boundary.y1;
    const bool horizontal = boundary.y0 == boundary.y1 && boundary.x0 != boundary.x1;
    if (!finite || !(vertical || horizontal)) {
      return problemOf(BridgeProblemKind::BoundaryShape, b);
    }
    if (boundary.surfaceResistance &&
        (!std::isfinite(*boundary.surfaceResistance) || *boundary.surfaceResistance < 0.0)) {
      BridgeProblem problem = problemOf(BridgeProblemKind::SurfaceResistance, boundary.environment,
                                        *boundary.surfaceResistance);
      problem.other = b;
      return problem;
    }
    used[boundary.environment] = true;
  }
  for (std::size_t e = 0; e < environments; ++e) {
    if (!used[e]) return problemOf(BridgeProblemKind::EnvironmentUnused, e);
  }
  bool anyDifferent = false;
  for (const BridgeEnvironment& environment : request.environments) {
    anyDifferent = anyDifferent || environment.temperature != request.environments[0].temperature;
  }
  if (!anyDifferent) {
    return problemOf(BridgeProblemKind::EqualTemperatures, 0, request.environments[0].temperature);
  }
  for (std::size_t f = 0; f < request.flanking.size(); ++f) {
    const BridgeFlanking& element = request.flanking[f];
    if (element.environmentA >= environments || element.environmentB >= environments ||
        element.environmentA == element.environmentB) {
      return problemOf(BridgeProblemKind::FlankingEnvironment, f);
    }
    if (!isPositiveFinite(element.uValue)) {
      return problemOf(BridgeProblemKind::FlankingValue, f, element.uValue);
    }
    if (!isPositiveFinite(element.length)) {
      return problemOf(BridgeProblemKind::FlankingValue, f, element.length);
    }
  }
  for (std::size_t p = 0; p < request.probes.size(); ++p) {
    if (!std::isfinite(request.probes[p].x) || !std::isfinite(request.probes[p].y)) {
      return problemOf(BridgeProblemKind::ProbeOutside, p);
    }
  }
  if ((request.indoor && *request.indoor >= environments) ||
      (request.outdoor && *request.outdoor >= environments) ||
      (request.indoor && request.outdoor && *request.indoor == *request.outdoor)) {
    return problemOf(BridgeProblemKind::IndoorOutdoor);
  }
  if (!isPositiveFinite(request.fRsiSurfaceResistance)) {
    return problemOf(BridgeProblemKind::FRsiResistance, 0, request.fRsiSurfaceResistance);
  }
  if (!(request.tolerance > 0.0 && request.tolerance <= kBridgeStandardCriterion)) {
    return problemOf(BridgeProblemKind::Tolerance, 0, request.tolerance);
  }
  return std::nullopt;
}

BridgeOutcome computeThermalBridge(const BridgeRequest& request) {
  if (auto problem = checkBridgeValues(request)) return *problem;
  auto built = Detail::buildGeometry(request);
  if (auto* problem = std::get_if<BridgeProblem>(&built)) return *problem;
  const Detail::BridgeGeometry& geometry = std::get<Detail::BridgeGeometry>(built);

  std::optional<Detail::FineGrid> lastGrid;
  std::optional<Detail::GridSolution> last;
  double change = std::numeric_limits<double>::infinity();
  double surfaceChange = std::numeric_limits<double>::quiet_NaN();
  std::size_t refinements = 0;
  for (int level = 0; level <= kMaxLevel; ++level) {
    Detail::FineGrid grid = Detail::refinedGrid(geometry, level);
    const std::size_t nodes = grid.xs.size() * grid.ys.size();
    if (nodes > request.maxNodes) {
      if (!last) {
        BridgeProblem problem =
            problemOf(BridgeProblemKind::GridTooLarge, 0, static_cast<double>(nodes));
        problem.limit = static_cast<double>(request.maxNodes);
        return problem;
      }
      break;
    }
    Detail::GridSolution solution =
        Detail::solveOnGrid(request, geometry, grid, std::nullopt, true);
    if (last) {
      ++refinements;
      const double now = totalFlow(solution.heatFlow);
      change = std::fabs(now - totalFlow(last->heatFlow)) / now;
      if (solution.minimumIndoor && last->minimumIndoor) {
        surfaceChange =
            std::fabs(solution.minimumIndoor->temperature - last->minimumIndoor->temperature);
      }
    }
    last = std::move(solution);
    lastGrid = std::move(grid);
    const bool surfaceSettled =
        !last->minimumIndoor || surfaceChange <= kBridgeSurfaceTemperatureTolerance;
    if (change <= request.tolerance && surfaceSettled) break;
  }
  if (!(change <= kBridgeStandardCriterion)) {
    BridgeProblem problem = problemOf(BridgeProblemKind::NotConverged, 0, change);
    problem.limit = static_cast<double>(request.maxNodes);
    return problem;
  }
  BridgeResult result = resultOf(request, geometry, *lastGrid, std::move(*last));
  result.grid.refinements = refinements;
  result.grid.lastChange = change;
  result.grid.surfaceTemperatureChange = surfaceChange;
  result.grid.metTolerance = change <= request.tolerance;
  return result;
}

BridgeOutcome computeThermalBridgeOnGrid(const BridgeRequest& request,
                                         const std::vector<double>& xs,
                                         const std::vector<double>& ys) {
  if (auto problem = checkBridgeValues(request)) return *problem;
  auto built = Detail::buildGeometry(request);
  if (auto* problem = std::get_if<BridgeProblem>(&built)) return *problem;
  const Detail::BridgeGeometry& geometry = std::get<Detail::BridgeGeometry>(built);
  std::optional<Detail::FineGrid> grid = Detail::givenGrid(geometry, xs, ys);
  if (!grid) {
    BridgeProblem problem =
        problemOf(BridgeProblemKind::GridTooLarge, 0, static_cast<double>(xs.size() * ys.size()));
    return problem;
  }
  if (grid->xs.size() * grid->ys.size() > request.maxNodes) {
    BridgeProblem problem = problemOf(BridgeProblemKind::GridTooLarge, 0,
                                      static_cast<double>(grid->xs.size() * grid->ys.size()));
    problem.limit = static_cast<double>(request.maxNodes);
    return problem;
  }
  Detail::GridSolution solution = Detail::solveOnGrid(request, geometry, *grid, std::nullopt, true);
  return resultOf(request, geometry, *grid, std::move(solution));
}

std::optional<double> fieldTemperature(const BridgeField& field, double x, double y) {
  const std::size_t nx = field.xs.size(), ny = field.ys.size();
  if (nx < 2 || ny < 2 || !(x >= field.xs.front() && x <= field.xs.back()) ||
      !(y >= field.ys.front() && y <= field.ys.back())) {
    return std::nullopt;
  }
  // The cells holding the point: one, or those on either side of a line it lies on; the first
  // whose four nodes are in the body answers (bilinear: continuous across their shared edge).
  auto span = [](const std::vector<double>& lines, double value) {
    auto upper = std::upper_bound(lines.begin(), lines.end(), value);
    auto lower = std::lower_bound(lines.begin(), lines.end(), value);
    const auto cells = lines.size() - 1;
    const auto first = static_cast<std::size_t>(lower - lines.begin());
    const auto last = static_cast<std::size_t>(upper - lines.begin());
    return std::pair<std::size_t, std::size_t>{first == 0 ? 0 : first - 1,
                                               std::min(last == 0 ? 0 : last - 1, cells - 1)};
  };
  const auto [i0, i1] = span(field.xs, x);
  const auto [j0, j1] = span(field.ys, y);
  for (std::size_t j = j0; j <= j1; ++j) {
    for (std::size_t i = i0; i <= i1; ++i) {
      const double t00 = field.temperature[i + j * nx], t10 = field.temperature[i + 1 + j * nx];
      const double t01 = field.temperature[i + (j + 1) * nx];
      const double t11 = field.temperature[i + 1 + (j + 1) * nx];
      if (std::isnan(t00) || std::isnan(t10) || std::isnan(t01) || std::isnan(t11)) continue;
      const double u = (x - field.xs[i]) / (field.xs[i + 1] - field.xs[i]);
      const double v = (y - field.ys[j]) / (field.ys[j + 1] - field.ys[j]);
      return (1 - u) * (1 - v) * t00 + u * (1 - v) * t10 + (1 - u) * v * t01 + u * v * t11;
    }
  }
  return std::nullopt;
}

}  // namespace Brusk::Engine
