#include "brusk/engine/thermal_bridge.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "brusk/engine/thermal_bridge_reference.h"

namespace Brusk::Engine {
namespace {

/// The result of a solve that must succeed (a copy: the outcome is usually a temporary).
BridgeResult resultOf(const BridgeOutcome& outcome) {
  const auto* result = std::get_if<BridgeResult>(&outcome);
  EXPECT_NE(result, nullptr) << "problem kind "
                             << static_cast<int>(std::get<BridgeProblem>(outcome).kind);
  return result ? *result : BridgeResult{};
}

/// A plane wall of layers (thickness, lambda) from x = 0 outward, `height` tall, indoor on
/// x = 0 and outdoor on its far face, with its own U l as flanking element.
BridgeRequest slab(const std::vector<std::pair<double, double>>& layers, double height) {
  BridgeRequest request;
  double x = 0.0, resistance = 0.13 + 0.04;
  for (const auto& [thickness, lambda] : layers) {
    request.regions.push_back({x, x + thickness, 0.0, height, lambda});
    x += thickness;
    resistance += thickness / lambda;
  }
  request.environments = {{"indoor", 20.0, 0.13}, {"outdoor", 0.0, 0.04}};
  request.boundaries = {{0, 0.0, 0.0, 0.0, height, {}}, {1, x, 0.0, x, height, {}}};
  request.flanking = {{0, 1, 1.0 / resistance, height}};
  request.indoor = 0;
  request.outdoor = 1;
  return request;
}

// ---- ISO 10211:2017 Annex C: the two-dimensional test reference cases ----

class Case1Grids : public ::testing::TestWithParam<int> {};

TEST_P(Case1Grids, TemperaturesAgreeWithTheAnalyticSolutionAndTheStandardsTable) {
  const ReferenceCaseComparison comparison = runIso10211Case1(GetParam());
  ASSERT_EQ(comparison.points.size(), 28u);
  for (const ReferencePoint& point : comparison.points) {
    SCOPED_TRACE(point.name);
    ASSERT_TRUE(std::isfinite(point.computed));
    EXPECT_NEAR(point.computed, point.reference, point.tolerance);
    // The standard's table is the analytic series rounded to 0.1 K.
    EXPECT_NEAR(iso10211Case1Analytic(point.x, point.y), point.reference, 0.05);
  }
  EXPECT_TRUE(comparison.passed);
}

// Quarter spacing split in 2, 4 and 8: the points are nodes of every grid.
INSTANTIATE_TEST_SUITE_P(FixedGrids, Case1Grids, ::testing::Values(2, 4, 8));

TEST(ThermalBridgeValidation, Case2PointsAndHeatFlowWithinTheStandardsTolerances) {
  const ReferenceCaseComparison comparison = runIso10211Case2();
  ASSERT_EQ(comparison.points.size(), 10u);  // A..I and the heat flow
  for (const ReferencePoint& point : comparison.points) {
    SCOPED_TRACE(point.name);
    EXPECT_NEAR(point.computed, point.reference, point.tolerance);
  }
  EXPECT_TRUE(comparison.passed);
}

// ---- Conventions ----

struct SlabCase {
  const char* name;
  std::vector<std::pair<double, double>> layers;
  double height;
};

class HomogeneousSlabs : public ::testing::TestWithParam<SlabCase> {};

TEST_P(HomogeneousSlabs, PsiIsZeroAndFRsiIsTheOneDimensionalValue) {
  const SlabCase& param = GetParam();
  const BridgeRequest request = slab(param.layers, param.height);
  const BridgeResult result = resultOf(computeThermalBridge(request));
  ASSERT_EQ(result.psi.size(), 1u);
  // Heat crosses a plane slab in one dimension, which the scheme reproduces exactly.
  EXPECT_NEAR(result.psi[0].psi, 0.0, 1e-9);
  const double u = request.flanking[0].uValue;
  EXPECT_NEAR(result.heatFlow[0], u * param.height * 20.0, 1e-9);
  EXPECT_NEAR(result.heatFlowSum, 0.0, 1e-9);
  // fRsi of a plane element: 1 - U R_si with the fRsi solve's R_si = 0.25 (U with 0.25).
  const double uAt025 = 1.0 / (1.0 / u - 0.13 + 0.25);
  ASSERT_TRUE(result.fRsi.has_value());
  EXPECT_NEAR(*result.fRsi, 1.0 - uAt025 * 0.25, 1e-9);
  ASSERT_TRUE(result.minimumSurface.has_value());
  EXPECT_NEAR(result.minimumSurface->temperature, 20.0 - 0.13 * u * 20.0, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Slabs, HomogeneousSlabs,
    ::testing::Values(SlabCase{"Concrete", {{0.2, 2.0}}, 1.0},
                      SlabCase{"Layered", {{0.015, 0.7}, {0.25, 0.8}, {0.12, 0.035}}, 2.5},
                      SlabCase{"ThinTall", {{0.01, 50.0}}, 3.0}),
    [](const ::testing::TestParamInfo<SlabCase>& param) { return std::string(param.param.name); });

/// An external corner of two identical walls of thickness d and lambda, inner faces on x = 0 and
/// y = 0 (room in x > 0, y > 0), each leg `length` long from the inner corner.
BridgeRequest corner(double d, double lambda, double length, bool externalDimensions) {
  BridgeRequest request;
  request.regions = {{-d, 0.0, -d, length, lambda}, {0.0, length, -d, 0.0, lambda}};
  request.environments = {{"indoor", 20.0, 0.13}, {"outdoor", 0.0, 0.04}};
  request.boundaries = {{0, 0.0, 0.0, 0.0, length, {}},
                        {0, 0.0, 0.0, length, 0.0, {}},
                        {1, -d, -d, -d, length, {}},
                        {1, -d, -d, length, -d, {}}};
  const double u = 1.0 / (0.13 + d / lambda + 0.04);
  const double l = externalDimensions ? length + d : length;
  request.flanking = {{0, 1, u, l}, {0, 1, u, l}};
  request.indoor = 0;
  request.outdoor = 1;
  return request;
}

struct CornerCase {
  const char* name;
  bool external;
  int sign;
};

class IdenticalWallCorner : public ::testing::TestWithParam<CornerCase> {};

// ISO 14683:2017 (Table C.1 to C.3, and ISO 10211:2017 10.4.2): an external corner's psi is
// positive on internal dimensions and negative on external ones.
TEST_P(IdenticalWallCorner, PsiHasTheSignOfTheDimensionSystem) {
  const BridgeResult result =
      resultOf(computeThermalBridge(corner(0.3, 0.8, 1.2, GetParam().external)));
  ASSERT_EQ(result.psi.size(), 1u);
  EXPECT_EQ(result.psi[0].psi > 0.0 ? 1 : -1, GetParam().sign) << result.psi[0].psi;
  // The coldest point is the inner corner itself, and it settled to within 0.05 K.
  ASSERT_TRUE(result.minimumSurface.has_value());
  EXPECT_DOUBLE_EQ(result.minimumSurface->x, 0.0);
  EXPECT_DOUBLE_EQ(result.minimumSurface->y, 0.0);
  EXPECT_LE(result.grid.surfaceTemperatureChange, kBridgeSurfaceTemperatureTolerance);
  EXPECT_LE(result.grid.lastChange, kBridgeDefaultTolerance);
}

INSTANTIATE_TEST_SUITE_P(DimensionSystems, IdenticalWallCorner,
                         ::testing::Values(CornerCase{"Internal", false, 1},
                                           CornerCase{"External", true, -1}),
                         [](const ::testing::TestParamInfo<CornerCase>& param) {
                           return std::string(param.param.name);
                         });

TEST(ThermalBridge, InternalAndExternalPsiDifferByTheWallsExtraLength) {
  const BridgeResult internal = resultOf(computeThermalBridge(corner(0.3, 0.8, 1.2, false)));
  const BridgeResult external = resultOf(computeThermalBridge(corner(0.3, 0.8, 1.2, true)));
  const double u = 1.0 / (0.13 + 0.3 / 0.8 + 0.04);
  // Same L2D; the flanking lengths differ by d on each leg.
  EXPECT_NEAR(internal.psi[0].psi - external.psi[0].psi, 2.0 * u * 0.3, 1e-12);
}

TEST(ThermalBridge, CornerPointConvergesWithTheGrid) {
  BridgeRequest request = corner(0.3, 0.8, 1.2, false);
  const BridgeResult coarse = resultOf(computeThermalBridge(request));
  request.tolerance = 1e-4;
  const BridgeResult fine = resultOf(computeThermalBridge(request));
  EXPECT_NEAR(coarse.minimumSurface->temperature, fine.minimumSurface->temperature, 0.05);
  EXPECT_NEAR(coarse.heatFlow[0], fine.heatFlow[0], 1e-3 * fine.heatFlow[0]);
}

TEST(ThermalBridge, ThreeEnvironmentsGiveASymmetricCouplingMatrixThatRebuildsTheFlows) {
  // A wall between indoor and outdoor, its top half facing a staircase at 10 degC instead.
  BridgeRequest request;
  request.regions = {{0.0, 0.3, 0.0, 2.0, 0.9}, {0.3, 0.4, 0.0, 2.0, 0.04}};
  request.environments = {
      {"indoor", 20.0, 0.13}, {"outdoor", -5.0, 0.04}, {"staircase", 10.0, 0.13}};
  request.boundaries = {
      {0, 0.0, 0.0, 0.0, 2.0, {}}, {1, 0.4, 0.0, 0.4, 1.0, {}}, {2, 0.4, 1.0, 0.4, 2.0, {}}};
  const BridgeResult result = resultOf(computeThermalBridge(request));
  ASSERT_EQ(result.coupling.size(), 9u);
  for (std::size_t a = 0; a < 3; ++a) {
    for (std::size_t b = 0; b < 3; ++b) {
      EXPECT_NEAR(result.coupling[a * 3 + b], result.coupling[b * 3 + a], 1e-9);
      if (a != b) {
        EXPECT_GT(result.coupling[a * 3 + b], 0.0);
      }
    }
  }
  // Phi_b = sum over a of L_ab (theta_a - theta_b), ISO 10211:2017 eq. (9).
  for (std::size_t b = 0; b < 3; ++b) {
    double rebuilt = 0.0;
    for (std::size_t a = 0; a < 3; ++a) {
      rebuilt += result.coupling[a * 3 + b] *
                 (request.environments[b].temperature - request.environments[a].temperature);
    }
    EXPECT_NEAR(result.heatFlow[b], rebuilt, 1e-9 * std::fabs(result.heatFlow[0]));
  }
  EXPECT_NEAR(result.heatFlowSum, 0.0, 1e-9);
}

TEST(ThermalBridge, ProbesReadTheFieldAndTheSurface) {
  BridgeRequest request = slab({{0.2, 1.0}}, 1.0);
  request.probes = {{0.0, 0.5}, {0.1, 0.3}, {0.2, 1.0}};
  const BridgeResult result = resultOf(computeThermalBridge(request));
  const double q = request.flanking[0].uValue * 20.0;
  ASSERT_EQ(result.probeTemperatures.size(), 3u);
  EXPECT_NEAR(result.probeTemperatures[0], 20.0 - 0.13 * q, 1e-9);          // indoor surface
  EXPECT_NEAR(result.probeTemperatures[1], 20.0 - (0.13 + 0.1) * q, 1e-9);  // mid-wall
  EXPECT_NEAR(result.probeTemperatures[2], 0.04 * q, 1e-9);                 // outdoor corner
}

TEST(ThermalBridge, FixedSurfaceTakesTheEnvironmentsTemperature) {
  BridgeRequest request = slab({{0.2, 1.0}}, 1.0);
  request.environments[0].surfaceResistance = 0.0;
  request.flanking.clear();
  const BridgeResult result = resultOf(computeThermalBridge(request));
  EXPECT_NEAR(result.minimumSurface->temperature, 20.0, 1e-12);
  EXPECT_NEAR(result.heatFlow[0], 20.0 / (0.2 + 0.04), 1e-9);
  EXPECT_NEAR(result.heatFlow[1], -20.0 / (0.2 + 0.04), 1e-9);
}

// ---- Problems ----

struct BadRequest {
  const char* name;
  void (*spoil)(BridgeRequest&);
  BridgeProblemKind kind;
  std::size_t index;
};

class BadBridges : public ::testing::TestWithParam<BadRequest> {};

TEST_P(BadBridges, AreRefusedWithTheirReason) {
  BridgeRequest request = corner(0.3, 0.8, 1.2, false);
  GetParam().spoil(request);
  const BridgeOutcome outcome = computeThermalBridge(request);
  const auto* problem = std::get_if<BridgeProblem>(&outcome);
  ASSERT_NE(problem, nullptr);
  EXPECT_EQ(problem->kind, GetParam().kind);
  EXPECT_EQ(problem->index, GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(
    Problems, BadBridges,
    ::testing::Values(
        BadRequest{"NoRegions", [](BridgeRequest& r) { r.regions.clear(); },
                   BridgeProblemKind::NoRegions, 0},
        BadRequest{"ZeroSizeRegion", [](BridgeRequest& r) { r.regions[1].y1 = r.regions[1].y0; },
                   BridgeProblemKind::RegionSize, 1},
        BadRequest{"NaNRegion", [](BridgeRequest& r) { r.regions[0].x0 = std::nan(""); },
                   BridgeProblemKind::RegionSize, 0},
        BadRequest{"NegativeConductivity", [](BridgeRequest& r) { r.regions[1].conductivity = -1; },
                   BridgeProblemKind::RegionConductivity, 1},
        BadRequest{"OneEnvironment",
                   [](BridgeRequest& r) {
                     r.environments.pop_back();
                     r.boundaries.resize(2);
                   },
                   BridgeProblemKind::TooFewEnvironments, 0},
        BadRequest{"NegativeResistance",
                   [](BridgeRequest& r) { r.environments[1].surfaceResistance = -0.04; },
                   BridgeProblemKind::SurfaceResistance, 1},
        BadRequest{"EqualTemperatures",
                   [](BridgeRequest& r) { r.environments[1].temperature = 20; },
                   BridgeProblemKind::EqualTemperatures, 0},
        BadRequest{"DiagonalBoundary", [](BridgeRequest& r) { r.boundaries[2].x1 = 0.5; },
                   BridgeProblemKind::BoundaryShape, 2},
        BadRequest{"BoundaryInside",
                   [](BridgeRequest& r) { r.boundaries[0] = {0, -0.1, 0.0, -0.1, 1.0, {}}; },
                   BridgeProblemKind::BoundaryOffEdge, 0},
        BadRequest{"BoundaryInTheAir",
                   [](BridgeRequest& r) { r.boundaries[0] = {0, 0.5, 0.5, 0.5, 1.0, {}}; },
                   BridgeProblemKind::BoundaryOffEdge, 0},
        BadRequest{"OverlappingBoundaries",
                   [](BridgeRequest& r) {
                     r.boundaries.push_back({1, 0.0, 0.5, 0.0, 0.8, {}});
                   },
                   BridgeProblemKind::BoundariesOverlap, 0},
        BadRequest{"EnvironmentWithoutBoundary",
                   [](BridgeRequest& r) {
                     r.environments.push_back({"attic", 5.0, 0.1});
                   },
                   BridgeProblemKind::EnvironmentUnused, 2},
        BadRequest{"TwoBodies",
                   [](BridgeRequest& r) {
                     r.regions.push_back({5.0, 6.0, 5.0, 6.0, 1.0});
                   },
                   BridgeProblemKind::BodyInPieces, 2},
        BadRequest{"TouchingOnlyAtACorner",
                   [](BridgeRequest& r) {
                     r.regions.push_back({1.2, 2.0, 0.0, 1.0, 1.0});
                   },
                   BridgeProblemKind::BodyInPieces, 2},
        BadRequest{"ProbeOutside",
                   [](BridgeRequest& r) {
                     r.probes.push_back({0.5, 0.5});
                   },
                   BridgeProblemKind::ProbeOutside, 0},
        BadRequest{"FlankingSelf", [](BridgeRequest& r) { r.flanking[1].environmentB = 0; },
                   BridgeProblemKind::FlankingEnvironment, 1},
        BadRequest{"FlankingZeroLength", [](BridgeRequest& r) { r.flanking[0].length = 0.0; },
                   BridgeProblemKind::FlankingValue, 0},
        BadRequest{"TooFewNodes", [](BridgeRequest& r) { r.maxNodes = 10; },
                   BridgeProblemKind::GridTooLarge, 0},
        BadRequest{"NotConvergedInTheNodeLimit", [](BridgeRequest& r) { r.maxNodes = 2000; },
                   BridgeProblemKind::NotConverged, 0},
        BadRequest{"LooseTolerance", [](BridgeRequest& r) { r.tolerance = 0.05; },
                   BridgeProblemKind::Tolerance, 0},
        BadRequest{"FRsiResistanceZero", [](BridgeRequest& r) { r.fRsiSurfaceResistance = 0; },
                   BridgeProblemKind::FRsiResistance, 0}),
    [](const ::testing::TestParamInfo<BadRequest>& param) {
      return std::string(param.param.name);
    });

}  // namespace
}  // namespace Brusk::Engine
