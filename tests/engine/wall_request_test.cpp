// The engine's wall model: the conventional surface resistances, check() on every kind of bad
// request, and compute() against the kernels it stands on.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "brusk/engine/surface.h"
#include "brusk/engine/wall.h"
#include "brusk/engine/wall_result.h"

namespace {

using namespace Brusk::Engine;

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

const LayerProperties kConcrete = LayerProperties::slab(0.2, 1.8, 2400, 1000);
const LayerProperties kAir = LayerProperties::pureResistance(0.18);

WallRequest requestOf(std::vector<LayerProperties> layers) {
  WallRequest request;
  request.layers = std::move(layers);
  return request;
}

// The table of the object model (int codes, "unchanged" outside it) and the typed one agree on
// every position and direction the table defines.
TEST(ConventionalSurfaceResistances, AgreeWithTheObjectModelsTable) {
  for (int position : {0, 1}) {
    for (int heatFlow : {0, 1, 2}) {
      double internal = -1.0;
      double external = -1.0;
      lookupSurfaceResistances(position, heatFlow, internal, external);
      const SurfaceResistances typed = conventionalSurfaceResistances(
          static_cast<ElementPosition>(position), static_cast<HeatFlowDirection>(heatFlow));
      EXPECT_EQ(internal, typed.internal) << position << "/" << heatFlow;
      EXPECT_EQ(external, typed.external) << position << "/" << heatFlow;
    }
  }
  // A partition's far face sees the reverse flow: upward there is downward here.
  EXPECT_EQ(0.17,
            conventionalSurfaceResistances(ElementPosition::Internal, HeatFlowDirection::Upward)
                .external);
}

TEST(WallRequest, OverridesReplaceOnlyTheirOwnFace) {
  WallRequest request = requestOf({kConcrete});
  request.heatFlow = HeatFlowDirection::Downward;
  request.externalSurfaceResistance = 0.0;
  const ElementBoundary boundary = request.boundary();
  EXPECT_EQ(0.17, boundary.internalSurfaceResistance);
  EXPECT_EQ(0.0, boundary.externalSurfaceResistance);
  EXPECT_FALSE(boundary.partition);
  request.position = ElementPosition::Internal;
  EXPECT_TRUE(request.boundary().partition);
}

struct BadRequest {
  const char* name;
  WallRequest request;
  ProblemKind kind;
  WallField field;
  std::size_t layer;
  double value;
};

void PrintTo(const BadRequest& bad, std::ostream* out) { *out << bad.name; }

WallRequest withOverrides(double rsi, double rse) {
  WallRequest request = requestOf({kConcrete});
  request.internalSurfaceResistance = rsi;
  request.externalSurfaceResistance = rse;
  return request;
}

WallRequest withPeriod(double period) {
  WallRequest request = requestOf({kConcrete});
  request.period = period;
  return request;
}

class CheckTest : public testing::TestWithParam<BadRequest> {};

TEST_P(CheckTest, NamesTheFirstProblem) {
  const BadRequest& bad = GetParam();
  const std::optional<WallProblem> problem = check(bad.request);
  ASSERT_TRUE(problem.has_value());
  EXPECT_EQ(bad.kind, problem->kind);
  EXPECT_EQ(bad.field, problem->field);
  EXPECT_EQ(bad.layer, problem->layer);
  if (std::isnan(bad.value)) {
    EXPECT_TRUE(std::isnan(problem->value));
  } else {
    EXPECT_EQ(bad.value, problem->value);
    EXPECT_EQ(std::signbit(bad.value), std::signbit(problem->value));
  }
  // compute() refuses it for the same reason.
  const WallOutcome outcome = compute(bad.request);
  ASSERT_TRUE(std::holds_alternative<WallProblem>(outcome));
  EXPECT_EQ(bad.kind, std::get<WallProblem>(outcome).kind);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, CheckTest,
    testing::Values(
        BadRequest{"NoLayers", requestOf({}), ProblemKind::NoLayers, WallField::Layers, kWholeWall,
                   0.0},
        BadRequest{"TooManyLayers", requestOf(std::vector<LayerProperties>(kMaxLayers + 1, kAir)),
                   ProblemKind::TooManyLayers, WallField::Layers, kWholeWall,
                   static_cast<double>(kMaxLayers + 1)},
        BadRequest{"ZeroThickness", requestOf({kConcrete, LayerProperties::slab(0, 1, 1, 1)}),
                   ProblemKind::NotPositive, WallField::Thickness, 1, 0.0},
        BadRequest{"NegativeZeroThickness", requestOf({LayerProperties::slab(-0.0, 1, 1, 1)}),
                   ProblemKind::NotPositive, WallField::Thickness, 0, -0.0},
        BadRequest{"InfiniteThickness", requestOf({LayerProperties::slab(kInfinity, 1, 1, 1)}),
                   ProblemKind::NotPositive, WallField::Thickness, 0, kInfinity},
        BadRequest{"NegativeConductivity", requestOf({LayerProperties::slab(0.1, -0.5, 1, 1)}),
                   ProblemKind::NotPositive, WallField::Conductivity, 0, -0.5},
        BadRequest{"NanDensity", requestOf({kAir, LayerProperties::slab(0.1, 1, kNan, 1)}),
                   ProblemKind::NotPositive, WallField::Density, 1, kNan},
        BadRequest{"ZeroSpecificHeat", requestOf({LayerProperties::slab(0.1, 1, 1, 0)}),
                   ProblemKind::NotPositive, WallField::SpecificHeat, 0, 0.0},
        BadRequest{"ZeroResistance", requestOf({kConcrete, LayerProperties::pureResistance(0)}),
                   ProblemKind::NotPositive, WallField::ThermalResistance, 1, 0.0},
        BadRequest{"NegativeRsi", withOverrides(-0.1, 0.04), ProblemKind::Negative,
                   WallField::InternalSurfaceResistance, kWholeWall, -0.1},
        BadRequest{"InfiniteRse", withOverrides(0.13, kInfinity), ProblemKind::Negative,
                   WallField::ExternalSurfaceResistance, kWholeWall, kInfinity},
        BadRequest{"ZeroPeriod", withPeriod(0.0), ProblemKind::NotPositive, WallField::Period,
                   kWholeWall, 0.0},
        BadRequest{"PeriodBelowOneSecond", withPeriod(0.5), ProblemKind::OutOfRange,
                   WallField::Period, kWholeWall, 0.5},
        BadRequest{"PeriodBeyondAYear", withPeriod(kLongestPeriod * 1.000001),
                   ProblemKind::OutOfRange, WallField::Period, kWholeWall,
                   kLongestPeriod * 1.000001},
        BadRequest{"HugePeriod", withPeriod(1e20 * 3600), ProblemKind::OutOfRange,
                   WallField::Period, kWholeWall, 1e20 * 3600}),
    [](const testing::TestParamInfo<BadRequest>& row) { return std::string(row.param.name); });

TEST(Check, AcceptsTheLimitsThemselves) {
  EXPECT_FALSE(check(withPeriod(kShortestPeriod)).has_value());
  EXPECT_FALSE(check(withPeriod(kLongestPeriod)).has_value());
  EXPECT_FALSE(check(withOverrides(0.0, 0.0)).has_value());
  EXPECT_FALSE(check(requestOf(std::vector<LayerProperties>(kMaxLayers, kAir))).has_value());
}

// The surface resistances come before the layers, and layers in stack order.
TEST(Check, ReportsTheFirstOfSeveralProblems) {
  WallRequest request =
      requestOf({LayerProperties::slab(0.1, 1, 1, -1), LayerProperties::slab(-1, 1, 1, 1)});
  EXPECT_EQ(WallField::SpecificHeat, check(request)->field);
  request.internalSurfaceResistance = -1.0;
  EXPECT_EQ(WallField::InternalSurfaceResistance, check(request)->field);
}

TEST(Compute, EqualsTheKernelsAndTheObjectModel) {
  WallRequest request = requestOf({kConcrete, LayerProperties::slab(0.1, 0.04, 30, 1400),
                                   LayerProperties::slab(0.005, 1.0, 1200, 1500)});
  const WallResult result = std::get<WallResult>(compute(request));

  PeriodicResponse kernel;
  ASSERT_TRUE(computePeriodicResponse(request.layers.data(), request.layers.size(),
                                      request.boundary(), kDailyPeriod, kernel));
  EXPECT_EQ(kernel.uValue, result.uValue);
  EXPECT_EQ(kernel.decrementFactor, result.decrementFactor);
  EXPECT_EQ(kernel.z12.getImaginaryPart(), result.z12.getImaginaryPart());

  Surface surface;
  surface.setArea(1.0);
  for (const LayerProperties& properties : request.layers) {
    Material material;
    material.setConductivity(properties.conductivity);
    material.setDensity(properties.density);
    material.setSpecificHeat(properties.specificHeat);
    auto* layer = new Layer;
    layer->setThickness(properties.thickness);
    layer->setMaterial(material);
    surface.addLayer(layer);
  }
  SequentialInertia sequential;
  surface.computeSequentialInertia(sequential);
  EXPECT_EQ(sequential._dailySequentialThermalCapacity, result.daily.capacity);
  EXPECT_EQ(sequential._dailyCapacityMethod, result.daily.method);
  EXPECT_EQ(sequential._internalSequentialThermalCapacity, result.twelveDay.capacity);
  EXPECT_EQ(sequential._sequentialCapacityMethod, result.twelveDay.method);

  EXPECT_EQ(0.2 + 0.1 + 0.005, result.thickness);
  EXPECT_EQ(0.2 * 2400 + 0.1 * 30 + 0.005 * 1200, result.surfaceMass);
  EXPECT_EQ(timeShiftHours(result.internalAdmittance, kDailyPeriod),
            result.internalAdmittanceShift);
  EXPECT_EQ(timeLagHours(result.periodicThermalTransmittance, kDailyPeriod), result.timeLag);
  EXPECT_EQ(kDailyPeriod, result.period);
}

// A stack of air layers has no mass and no delay: a lag of +0 (never "-0"), and no estimate.
TEST(Compute, PureResistancesHaveNoLagAndNoEstimate) {
  const WallResult result = std::get<WallResult>(compute(requestOf({kAir, kAir})));
  EXPECT_EQ(0.0, result.timeLag);
  EXPECT_FALSE(std::signbit(result.timeLag));
  EXPECT_EQ(None, result.daily.method);
  EXPECT_EQ(None, result.twelveDay.method);
  EXPECT_EQ(0.0, result.daily.capacity);
  EXPECT_EQ(0.0, result.surfaceMass);
}

// Too many penetration depths, or a few with many resistances between them: the problem says
// which, with the sums a message needs.
TEST(Compute, OverflowNamesTheDepthsAndTheDominantLayer) {
  const WallProblem deep = std::get<WallProblem>(
      compute(requestOf({kConcrete, LayerProperties::slab(60, 2.3, 2300, 1000)})));
  EXPECT_EQ(ProblemKind::Overflow, deep.kind);
  EXPECT_EQ(1u, deep.dominantLayer);
  EXPECT_GT(deep.penetrationDepths, kComputablePenetrationDepths);
  EXPECT_GT(deep.dominantPenetrationDepths, deep.penetrationDepths - 2.0);
  EXPECT_EQ(0.0, deep.pureResistance);
  EXPECT_EQ(kDailyPeriod, deep.value);

  std::vector<LayerProperties> sandwich;
  for (int i = 0; i < 300; ++i) {
    sandwich.push_back(LayerProperties::slab(0.1, 2.3, 2300, 1000));
    sandwich.push_back(kAir);
  }
  const WallProblem amplified = std::get<WallProblem>(compute(requestOf(sandwich)));
  EXPECT_EQ(ProblemKind::Overflow, amplified.kind);
  EXPECT_LT(amplified.penetrationDepths, kComputablePenetrationDepths);
  EXPECT_NEAR(300 * 0.18, amplified.pureResistance, 1e-9);
}

}  // namespace
