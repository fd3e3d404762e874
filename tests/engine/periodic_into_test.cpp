// computePeriodicInto(), the path of studies that skip the sequential estimates: every other
// quantity, and every problem, exactly as computeInto() gives it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "brusk/engine/wall.h"
#include "brusk/engine/wall_result.h"

namespace {

using namespace Brusk::Engine;

struct PeriodicCase {
  std::string name;
  WallRequest request;
};

WallRequest requestOf(std::vector<LayerProperties> layers, double period = kDailyPeriod,
                      ElementPosition position = ElementPosition::External) {
  WallRequest request;
  request.layers = std::move(layers);
  request.period = period;
  request.position = position;
  return request;
}

std::vector<PeriodicCase> periodicCases() {
  const LayerProperties concrete = LayerProperties::slab(0.2, 1.8, 2400, 1000);
  const LayerProperties insulation = LayerProperties::slab(0.1, 0.04, 30, 1400);
  const LayerProperties air = LayerProperties::pureResistance(0.18);
  WallRequest overridden = requestOf({concrete, air, insulation});
  overridden.internalSurfaceResistance = 0.0;
  overridden.externalSurfaceResistance = 0.25;
  return {
      {"OneSlab", requestOf({concrete})},
      {"InsulatedOutside", requestOf({concrete, insulation})},
      {"AirGapBetweenSlabs", requestOf({concrete, air, concrete})},
      {"OnlyResistances", requestOf({air, air})},
      {"Partition", requestOf({insulation, concrete}, kDailyPeriod, ElementPosition::Internal)},
      {"TwelveDayCycle", requestOf({concrete, insulation}, kTwelveDayPeriod)},
      {"OneSecondCycle",
       requestOf({LayerProperties::slab(0.005, 1.0, 1200, 1500)}, kShortestPeriod)},
      {"OverriddenSurfaces", overridden},
  };
}

class PeriodicIntoTest : public ::testing::TestWithParam<PeriodicCase> {};

// Bit for bit: a study skipping the estimates must not get other numbers than `brusk compute`.
TEST_P(PeriodicIntoTest, EqualsComputeIntoExceptTheEstimates) {
  const WallRequest& request = GetParam().request;
  WallResult full;
  WallResult periodic;
  periodic.daily = {123.0, ThinLayer};  // a stale estimate from a previous wall must not survive
  ASSERT_FALSE(computeInto(request, full));
  ASSERT_FALSE(computePeriodicInto(request, periodic));
  const auto same = [](const Complex& a, const Complex& b) {
    return a.getRealPart() == b.getRealPart() && a.getImaginaryPart() == b.getImaginaryPart();
  };
  EXPECT_TRUE(same(full.z11, periodic.z11));
  EXPECT_TRUE(same(full.z12, periodic.z12));
  EXPECT_TRUE(same(full.z21, periodic.z21));
  EXPECT_TRUE(same(full.z22, periodic.z22));
  EXPECT_TRUE(same(full.internalAdmittance, periodic.internalAdmittance));
  EXPECT_TRUE(same(full.externalAdmittance, periodic.externalAdmittance));
  EXPECT_TRUE(same(full.periodicThermalTransmittance, periodic.periodicThermalTransmittance));
  EXPECT_EQ(full.internalArealHeatCapacity, periodic.internalArealHeatCapacity);
  EXPECT_EQ(full.externalArealHeatCapacity, periodic.externalArealHeatCapacity);
  EXPECT_EQ(full.thermalResistance, periodic.thermalResistance);
  EXPECT_EQ(full.uValue, periodic.uValue);
  EXPECT_EQ(full.decrementFactor, periodic.decrementFactor);
  EXPECT_EQ(full.period, periodic.period);
  EXPECT_EQ(full.thickness, periodic.thickness);
  EXPECT_EQ(full.surfaceMass, periodic.surfaceMass);
  EXPECT_EQ(full.periodicThermalTransmittanceShift, periodic.periodicThermalTransmittanceShift);
  EXPECT_EQ(full.internalAdmittanceShift, periodic.internalAdmittanceShift);
  EXPECT_EQ(full.externalAdmittanceShift, periodic.externalAdmittanceShift);
  EXPECT_EQ(full.timeLag, periodic.timeLag);
  EXPECT_EQ(None, periodic.daily.method);
  EXPECT_EQ(0.0, periodic.daily.capacity);
  EXPECT_EQ(None, periodic.twelveDay.method);
  EXPECT_EQ(0.0, periodic.twelveDay.capacity);
}

INSTANTIATE_TEST_SUITE_P(Walls, PeriodicIntoTest, ::testing::ValuesIn(periodicCases()),
                         [](const auto& param) { return param.param.name; });

struct RefusedCase {
  std::string name;
  WallRequest request;
  ProblemKind kind;
};

std::vector<RefusedCase> refusedCases() {
  const LayerProperties concrete = LayerProperties::slab(0.2, 1.8, 2400, 1000);
  WallRequest negativeRse = requestOf({concrete});
  negativeRse.externalSurfaceResistance = -0.1;
  return {
      {"NoLayers", requestOf({}), ProblemKind::NoLayers},
      {"NaNConductivity",
       requestOf(
           {LayerProperties::slab(0.2, std::numeric_limits<double>::quiet_NaN(), 2400, 1000)}),
       ProblemKind::NotPositive},
      {"NegativeRse", negativeRse, ProblemKind::Negative},
      {"PeriodTooShort", requestOf({concrete}, 0.5), ProblemKind::OutOfRange},
      {"SixtyMetresOfConcrete", requestOf({LayerProperties::slab(60.0, 1.8, 2400, 1000)}),
       ProblemKind::Overflow},
  };
}

class PeriodicIntoRefusalTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(PeriodicIntoRefusalTest, GivesComputeIntosProblem) {
  WallResult result;
  const auto full = computeInto(GetParam().request, result);
  const auto periodic = computePeriodicInto(GetParam().request, result);
  ASSERT_TRUE(full);
  ASSERT_TRUE(periodic);
  EXPECT_EQ(GetParam().kind, periodic->kind);
  EXPECT_EQ(full->kind, periodic->kind);
  EXPECT_EQ(full->field, periodic->field);
  EXPECT_EQ(full->layer, periodic->layer);
  EXPECT_EQ(full->penetrationDepths, periodic->penetrationDepths);
  EXPECT_EQ(full->dominantLayer, periodic->dominantLayer);
}

INSTANTIATE_TEST_SUITE_P(Walls, PeriodicIntoRefusalTest, ::testing::ValuesIn(refusedCases()),
                         [](const auto& param) { return param.param.name; });

}  // namespace
