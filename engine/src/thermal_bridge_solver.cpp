// Steady two-dimensional conduction on a rectilinear grid by a node-centred finite-volume scheme
// (ISO 10211:2017 5.3 admits any method that passes its Annex C cases): every grid node is an
// unknown temperature, its control volume the four quarter cells around it, the conductance of
// a link the two half cells beside it. A surface runs through nodes, so a node on a surface
// holds the surface temperature itself, and the corner point of a re-entrant corner is a node.
// A surface resistance couples each surface node over its half edges (ISO 10211:2017 7.2);
// a resistance of 0 fixes the node at the environment's temperature.
//
// The system is symmetric positive definite and solved by a sparse Cholesky factorisation
// (Eigen's SimplicialLDLT), once per grid, for one unit problem per environment: environment e
// at 1 degC and every other at 0. Their heat flows give the coupling coefficients L_ab
// (ISO 10211:2017 10.4); the real field is their sum weighted by the temperatures.

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#include <algorithm>
#include <cmath>
#include <limits>

#include "thermal_bridge_detail.h"

namespace Brusk::Engine::Detail {

namespace {

/// What a surface edge gives one node: conductance to an environment, or a fixing length.
struct SurfaceShare {
  std::size_t node = 0;
  std::size_t environment = 0;
  double conductance = 0.0;  ///< (half edge length) / R_s [W/(m.K)]; 0 for a fixed surface
  double fixedLength = 0.0;  ///< half edge length of a fixed (R_s = 0) surface [m]
};

/// A link between two neighbouring nodes.
struct Link {
  std::size_t a = 0, b = 0;
  double conductance = 0.0;  ///< [W/(m.K)]
};

}  // namespace

GridSolution solveOnGrid(const BridgeRequest& request, const BridgeGeometry& geometry,
                         const FineGrid& grid, std::optional<double> indoorResistance,
                         bool unitProblems) {
  const std::size_t nx = grid.xs.size(), ny = grid.ys.size();
  const std::size_t environments = request.environments.size();
  const std::size_t nodes = nx * ny;

  // Conductivity of fine cell (i, j), whose lower-left node is (i, j); 0 outside the body.
  auto lambda = [&](std::ptrdiff_t i, std::ptrdiff_t j) {
    if (i < 0 || j < 0 || i >= static_cast<std::ptrdiff_t>(nx - 1) ||
        j >= static_cast<std::ptrdiff_t>(ny - 1)) {
      return 0.0;
    }
    const int r = geometry.regionAt(grid.baseCellX[static_cast<std::size_t>(i)],
                                    grid.baseCellY[static_cast<std::size_t>(j)]);
    return r < 0 ? 0.0 : request.regions[static_cast<std::size_t>(r)].conductivity;
  };
  auto hx = [&](std::ptrdiff_t i) {
    return i < 0 || i >= static_cast<std::ptrdiff_t>(nx - 1)
               ? 0.0
               : grid.xs[static_cast<std::size_t>(i) + 1] - grid.xs[static_cast<std::size_t>(i)];
  };
  auto hy = [&](std::ptrdiff_t j) {
    return j < 0 || j >= static_cast<std::ptrdiff_t>(ny - 1)
               ? 0.0
               : grid.ys[static_cast<std::size_t>(j) + 1] - grid.ys[static_cast<std::size_t>(j)];
  };

  GridSolution solution;
  std::vector<std::uint8_t> inBody(nodes, 0);
  for (std::size_t j = 0; j + 1 < ny; ++j) {
    for (std::size_t i = 0; i + 1 < nx; ++i) {
      if (lambda(static_cast<std::ptrdiff_t>(i), static_cast<std::ptrdiff_t>(j)) > 0.0) {
        ++solution.cells;
        inBody[i + j * nx] = inBody[i + 1 + j * nx] = 1;
        inBody[i + (j + 1) * nx] = inBody[i + 1 + (j + 1) * nx] = 1;
      }
    }
  }

  // Surface shares, boundary by boundary, fine edge by fine edge.
  std::vector<SurfaceShare> shares;
  for (std::size_t b = 0; b < request.boundaries.size(); ++b) {
    const BridgeBoundary& boundary = request.boundaries[b];
    const BoundaryRun& run = geometry.runs[b];
    double resistance = boundary.surfaceResistance.value_or(
        request.environments[boundary.environment].surfaceResistance);
    if (indoorResistance && request.indoor && boundary.environment == *request.indoor) {
      resistance = *indoorResistance;
    }
    const std::vector<std::size_t>& alongLines = run.vertical ? grid.fineLineY : grid.fineLineX;
    const std::vector<double>& along = run.vertical ? grid.ys : grid.xs;
    const std::size_t fixedLine =
        run.vertical ? grid.fineLineX[run.line] : grid.fineLineY[run.line];
    for (std::size_t k = alongLines[run.from]; k < alongLines[run.to]; ++k) {
      const double half = 0.5 * (along[k + 1] - along[k]);
      for (std::size_t end : {k, k + 1}) {
        SurfaceShare share;
        share.node = run.vertical ? fixedLine + end * nx : end + fixedLine * nx;
        share.environment = boundary.environment;
        if (resistance > 0.0) {
          share.conductance = half / resistance;
        } else {
          share.fixedLength = half;
        }
        shares.push_back(share);
      }
    }
  }

  // Fixed nodes: the weight of each environment in their temperature (by fixing length, for a
  // node where two fixed surfaces meet).
  std::vector<double> fixedLength(nodes, 0.0);
  for (const SurfaceShare& share : shares) fixedLength[share.node] += share.fixedLength;
  std::vector<std::size_t> fixedNodes;
  std::vector<double> fixedWeights;  // per fixed node, environments entries
  std::vector<std::ptrdiff_t> fixedIndex(nodes, -1);
  for (const SurfaceShare& share : shares) {
    if (share.fixedLength <= 0.0) continue;
    std::ptrdiff_t& at = fixedIndex[share.node];
    if (at < 0) {
      at = static_cast<std::ptrdiff_t>(fixedNodes.size());
      fixedNodes.push_back(share.node);
      fixedWeights.resize(fixedWeights.size() + environments, 0.0);
    }
    fixedWeights[static_cast<std::size_t>(at) * environments + share.environment] +=
        share.fixedLength / fixedLength[share.node];
  }

  std::vector<std::ptrdiff_t> unknown(nodes, -1);
  std::size_t unknowns = 0;
  for (std::size_t n = 0; n < nodes; ++n) {
    if (inBody[n]) {
      ++solution.nodes;
      if (fixedIndex[n] < 0) unknown[n] = static_cast<std::ptrdiff_t>(unknowns++);
    }
  }

  std::vector<Link> links;
  links.reserve(2 * solution.nodes);
  for (std::size_t j = 0; j < ny; ++j) {
    for (std::size_t i = 0; i < nx; ++i) {
      const auto si = static_cast<std::ptrdiff_t>(i), sj = static_cast<std::ptrdiff_t>(j);
      if (i + 1 < nx) {
        const double g = 0.5 * (lambda(si, sj - 1) * hy(sj - 1) + lambda(si, sj) * hy(sj)) / hx(si);
        if (g > 0.0) links.push_back({i + j * nx, i + 1 + j * nx, g});
      }
      if (j + 1 < ny) {
        const double g = 0.5 * (lambda(si - 1, sj) * hx(si - 1) + lambda(si, sj) * hx(si)) / hy(sj);
        if (g > 0.0) links.push_back({i + j * nx, i + (j + 1) * nx, g});
      }
    }
  }

  // The system K T = f_e for each unit problem e.
  using Index = Eigen::Index;
  std::vector<Eigen::Triplet<double>> triplets;
  triplets.reserve(3 * links.size() + shares.size());
  Eigen::MatrixXd rhs =
      Eigen::MatrixXd::Zero(static_cast<Index>(unknowns), static_cast<Index>(environments));
  auto fixedWeight = [&](std::size_t node, std::size_t e) {
    return fixedWeights[static_cast<std::size_t>(fixedIndex[node]) * environments + e];
  };
  for (const Link& link : links) {
    const std::ptrdiff_t ua = unknown[link.a], ub = unknown[link.b];
    if (ua >= 0) triplets.emplace_back(ua, ua, link.conductance);
    if (ub >= 0) triplets.emplace_back(ub, ub, link.conductance);
    if (ua >= 0 && ub >= 0) {
      triplets.emplace_back(ua, ub, -link.conductance);
      triplets.emplace_back(ub, ua, -link.conductance);
    } else if (ua >= 0 || ub >= 0) {
      const std::ptrdiff_t u = ua >= 0 ? ua : ub;
      const std::size_t fixed = ua >= 0 ? link.b : link.a;
      for (std::size_t e = 0; e < environments; ++e) {
        rhs(u, static_cast<Index>(e)) += link.conductance * fixedWeight(fixed, e);
      }
    }
  }
  for (const SurfaceShare& share : shares) {
    const std::ptrdiff_t u = unknown[share.node];
    if (u < 0 || share.conductance <= 0.0) continue;
    triplets.emplace_back(u, u, share.conductance);
    rhs(u, static_cast<Index>(share.environment)) += share.conductance;
  }
  Eigen::SparseMatrix<double> matrix(static_cast<Index>(unknowns), static_cast<Index>(unknowns));
  matrix.setFromTriplets(triplets.begin(), triplets.end());

  // Only the real problem when the coupling coefficients are not wanted.
  Eigen::VectorXd temperatures(static_cast<Index>(environments));
  for (std::size_t e = 0; e < environments; ++e) {
    temperatures(static_cast<Index>(e)) = request.environments[e].temperature;
  }
  const std::size_t problems = unitProblems ? environments : 1;
  Eigen::MatrixXd loads = unitProblems ? rhs : Eigen::MatrixXd(rhs * temperatures);
  Eigen::MatrixXd answers(static_cast<Index>(unknowns), static_cast<Index>(problems));
  if (unknowns > 0) {
    Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>> factor(matrix);
    answers = factor.solve(loads);
  }

  // Node temperatures of problem p: solved, fixed, or NaN outside the body.
  auto nodeTemperature = [&](std::size_t node, std::size_t p) {
    if (unknown[node] >= 0) return answers(unknown[node], static_cast<Index>(p));
    if (fixedIndex[node] >= 0) {
      if (!unitProblems) {
        double sum = 0.0;
        for (std::size_t e = 0; e < environments; ++e) {
          sum += fixedWeight(node, e) * request.environments[e].temperature;
        }
        return sum;
      }
      return fixedWeight(node, p);
    }
    return std::numeric_limits<double>::quiet_NaN();
  };
  auto environmentTemperature = [&](std::size_t e, std::size_t p) {
    if (!unitProblems) return request.environments[e].temperature;
    return e == p ? 1.0 : 0.0;
  };

  // Heat flow of problem p into the body from each environment: through the surface
  // resistances, and at fixed nodes whatever leaves them into the body (less what other
  // environments' surfaces bring to them), shared by their fixing weights.
  std::vector<double> flows(problems * environments, 0.0);
  std::vector<double> fixedNet(fixedNodes.size() * problems, 0.0);
  for (std::size_t p = 0; p < problems; ++p) {
    double* flow = &flows[p * environments];
    for (const SurfaceShare& share : shares) {
      if (share.conductance <= 0.0) continue;
      const double into = share.conductance * (environmentTemperature(share.environment, p) -
                                               nodeTemperature(share.node, p));
      flow[share.environment] += into;
      if (fixedIndex[share.node] >= 0) {
        fixedNet[static_cast<std::size_t>(fixedIndex[share.node]) * problems + p] -= into;
      }
    }
  }
  if (!fixedNodes.empty()) {
    for (const Link& link : links) {
      const bool fixedA = fixedIndex[link.a] >= 0, fixedB = fixedIndex[link.b] >= 0;
      if (!fixedA && !fixedB) continue;
      for (std::size_t p = 0; p < problems; ++p) {
        const double across =
            link.conductance * (nodeTemperature(link.a, p) - nodeTemperature(link.b, p));
        if (fixedA) fixedNet[static_cast<std::size_t>(fixedIndex[link.a]) * problems + p] += across;
        if (fixedB) fixedNet[static_cast<std::size_t>(fixedIndex[link.b]) * problems + p] -= across;
      }
    }
    for (std::size_t f = 0; f < fixedNodes.size(); ++f) {
      for (std::size_t p = 0; p < problems; ++p) {
        for (std::size_t e = 0; e < environments; ++e) {
          flows[p * environments + e] += fixedWeight(fixedNodes[f], e) * fixedNet[f * problems + p];
        }
      }
    }
  }

  solution.heatFlow.assign(environments, 0.0);
  if (unitProblems) {
    solution.coupling.assign(environments * environments, 0.0);
    for (std::size_t a = 0; a < environments; ++a) {
      for (std::size_t b = 0; b < environments; ++b) {
        if (a != b) {
          // L_ab = heat leaving into b when a is at 1 and every other at 0; the matrix is
          // symmetric up to rounding, so the two halves are averaged.
          solution.coupling[a * environments + b] =
              -0.5 * (flows[a * environments + b] + flows[b * environments + a]);
        }
        solution.heatFlow[b] += request.environments[a].temperature * flows[a * environments + b];
      }
    }
  } else {
    solution.heatFlow.assign(flows.begin(), flows.end());
  }

  solution.temperature.assign(nodes, std::numeric_limits<double>::quiet_NaN());
  for (std::size_t n = 0; n < nodes; ++n) {
    if (!inBody[n]) continue;
    if (unitProblems) {
      double sum = 0.0;
      for (std::size_t e = 0; e < environments; ++e) {
        sum += request.environments[e].temperature * nodeTemperature(n, e);
      }
      solution.temperature[n] = sum;
    } else {
      solution.temperature[n] = nodeTemperature(n, 0);
    }
  }

  if (request.indoor) {
    for (const SurfaceShare& share : shares) {
      if (share.environment != *request.indoor) continue;
      const double t = solution.temperature[share.node];
      if (!solution.minimumIndoor || t < solution.minimumIndoor->temperature) {
        solution.minimumIndoor =
            BridgeSurfacePoint{t, grid.xs[share.node % nx], grid.ys[share.node / nx]};
      }
    }
  }
  return solution;
}

}  // namespace Brusk::Engine::Detail
