// Thermal mass of a zone: the "10 cm" rule on stacks worked by hand, the zone totals against
// the per-wall figures they are built from, the ISO 13790 classes at their boundaries, and the
// problems of a zone that cannot be computed.
#include "brusk/engine/zone.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <variant>
#include <vector>

namespace {

using namespace Brusk::Engine;

// rho c of each material [J/(m3.K)] is written out where the expectations use it.
LayerProperties concrete(double d) { return LayerProperties::slab(d, 1.8, 2400, 1000); }  // 2.4e6
LayerProperties plaster(double d) { return LayerProperties::slab(d, 0.57, 1300, 1000); }  // 1.3e6
LayerProperties block(double d) { return LayerProperties::slab(d, 1.13, 2000, 1000); }    // 2.0e6
LayerProperties insulation(double d, double conductivity = 0.04) {
  return LayerProperties::slab(d, conductivity, 30, 1400);  // 4.2e4
}

struct TenCentimetreCase {
  std::string name;
  std::vector<LayerProperties> layers;
  double expected;  // [J/(m2.K)]
};

std::ostream& operator<<(std::ostream& out, const TenCentimetreCase& c) { return out << c.name; }

class TenCentimetreRuleTest : public ::testing::TestWithParam<TenCentimetreCase> {};

TEST_P(TenCentimetreRuleTest, SumsDRhoCToTheFirstLimit) {
  const TenCentimetreCase& c = GetParam();
  EXPECT_NEAR(tenCentimetreCapacity(c.layers.data(), c.layers.size()), c.expected,
              1e-9 * c.expected + 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Stacks, TenCentimetreRuleTest,
    ::testing::Values(
        // 0.1 m of 0.2 m: depth and half-thickness coincide; 0.1 x 2.4e6.
        TenCentimetreCase{"depth_limit", {concrete(0.2)}, 240000.0},
        // 0.3 m: 0.1 m still the least limit.
        TenCentimetreCase{"thick_slab", {concrete(0.3)}, 240000.0},
        // 0.08 m: half the element, 0.04 x 2.4e6.
        TenCentimetreCase{"half_thickness", {concrete(0.08)}, 96000.0},
        // 0.013 x 1.3e6 + (0.1 - 0.013) x 2.0e6 = 16900 + 174000; the block crosses the depth
        // (half of 0.213 m lies deeper).
        TenCentimetreCase{"layer_in_part", {plaster(0.013), block(0.1), insulation(0.1)}, 190900.0},
        // Half of 0.188 m, 0.094 m, is the least: 16900 + 0.081 x 2.0e6.
        TenCentimetreCase{
            "half_thickness_in_part", {plaster(0.013), block(0.1), insulation(0.075)}, 178900.0},
        // Insulation at 0.05 m stops the sum: 0.05 x 2.4e6.
        TenCentimetreCase{
            "insulation_stops", {concrete(0.05), insulation(0.1), concrete(0.2)}, 120000.0},
        // lambda exactly at the threshold insulates; just above, it is summed (the half
        // thickness 0.07 m then limits: 0.02 x 2.4e6 + 0.05 x 4.2e4).
        TenCentimetreCase{"threshold_insulates",
                          {concrete(0.02), insulation(0.12, kTenCentimetreInsulatingConductivity)},
                          48000.0},
        TenCentimetreCase{"above_threshold_counts",
                          {concrete(0.02), insulation(0.12, 0.0801)},
                          48000.0 + 0.05 * 42000.0},
        // An air layer stores nothing and stops the sum.
        TenCentimetreCase{"air_layer_stops",
                          {plaster(0.013), LayerProperties::pureResistance(0.18), block(0.1)},
                          16900.0},
        TenCentimetreCase{"insulation_first", {insulation(0.1), concrete(0.2)}, 0.0},
        // A pure resistance has no thickness: the element's mid point is unknown, and the walk
        // stops at the resistance, not at half the material layers. 0.08 x 2.4e6, as on 1 m of
        // insulation of the same R (the row after).
        TenCentimetreCase{"slab_on_pure_resistance",
                          {concrete(0.08), LayerProperties::pureResistance(25)},
                          192000.0},
        TenCentimetreCase{"slab_on_thick_insulation", {concrete(0.08), insulation(1.0)}, 192000.0},
        // Half the materials (0.05 m) lies before the cavity at 0.09 m: 0.09 x 2.4e6.
        TenCentimetreCase{
            "cavity_beyond_half_the_materials",
            {concrete(0.06), concrete(0.03), LayerProperties::pureResistance(0.18), plaster(0.01)},
            216000.0},
        // The cavity lies deeper than 0.1 m: that depth binds, not half the materials (0.08 m):
        // 0.1 x 2.4e6.
        TenCentimetreCase{"cavity_beyond_the_depth",
                          {concrete(0.15), LayerProperties::pureResistance(0.18), plaster(0.01)},
                          240000.0}));

TEST(WholeThicknessCapacity, SumsEveryLayer) {
  const std::vector<LayerProperties> layers = {
      plaster(0.013), LayerProperties::pureResistance(0.18), block(0.1), insulation(0.075)};
  // 16900 + 0 + 200000 + 3150
  EXPECT_NEAR(wholeThicknessCapacity(layers.data(), layers.size()), 220050.0, 1e-6);
}

WallRequest wall(std::vector<LayerProperties> layers,
                 ElementPosition position = ElementPosition::External) {
  WallRequest request;
  request.layers = std::move(layers);
  request.position = position;
  return request;
}

WallResult computed(WallRequest request) {
  const WallOutcome outcome = compute(request);
  return std::get<WallResult>(outcome);
}

ZoneResult computedZone(const ZoneRequest& request) {
  const ZoneOutcome outcome = computeZone(request);
  EXPECT_TRUE(std::holds_alternative<ZoneResult>(outcome));
  return std::get<ZoneResult>(outcome);
}

const WallRequest kInsulated = wall({concrete(0.2), insulation(0.1), plaster(0.01)});
const WallRequest kPartition =
    wall({plaster(0.01), block(0.1), concrete(0.05)}, ElementPosition::Internal);

struct ZoneCase {
  std::string name;
  ZoneFaces faces;
  ZoneCapacityBasis basis;
};

std::ostream& operator<<(std::ostream& out, const ZoneCase& c) { return out << c.name; }

class OneElementZoneTest : public ::testing::TestWithParam<ZoneCase> {};

// A zone of one element holds that element's kappa (of each counted face) times its area.
TEST_P(OneElementZoneTest, ReproducesTheWallTimesItsArea) {
  const ZoneCase& c = GetParam();
  const double area = 12.5;
  ZoneRequest zone;
  zone.floorArea = 20.0;
  zone.capacityBasis = c.basis;
  zone.elements.push_back({kPartition, area, c.faces});
  const ZoneResult result = computedZone(zone);

  WallRequest partition = kPartition;
  const WallResult single = computed(partition);
  // Side 2's sequential estimate: the same rule on the stack read from side 2.
  WallRequest reversed =
      wall({concrete(0.05), block(0.1), plaster(0.01)}, ElementPosition::Internal);
  reversed.internalSurfaceResistance = partition.surfaceResistances().external;
  const WallResult fromSide2 = computed(reversed);

  const bool detailed = c.basis == ZoneCapacityBasis::Detailed;
  double kappa = detailed ? single.internalArealHeatCapacity : single.daily.capacity;
  if (c.faces == ZoneFaces::Both) {
    kappa += detailed ? single.externalArealHeatCapacity : fromSide2.daily.capacity;
  }
  ASSERT_EQ(result.elements.size(), 1u);
  EXPECT_NEAR(result.totals.heatCapacity, area * kappa, 1e-9 * area * kappa);
  EXPECT_NEAR(result.totals.heatCapacityPerFloorArea, area * kappa / 20.0, 1e-9 * kappa);
  // The 10 cm rule stops at half of the 0.16 m partition: side 1 0.01 x 1.3e6 + 0.07 x 2.0e6,
  // side 2 0.05 x 2.4e6 + 0.03 x 2.0e6 [J/(m2.K)]; TMP in J/(m2.K).
  const double tmp = area *
                     (0.01 * 1.3e6 + 0.07 * 2.0e6 +
                      (c.faces == ZoneFaces::Both ? 0.05 * 2.4e6 + 0.03 * 2.0e6 : 0.0)) /
                     20.0;
  EXPECT_NEAR(result.totals.thermalMassParameter, tmp, 1e-9 * tmp);
  const std::size_t faces = c.faces == ZoneFaces::Both ? 2u : 1u;
  ASSERT_EQ(result.elements[0].faceMasses.size(), faces);
  // A boundary element loses heat through U; one wholly inside the zone does not.
  EXPECT_DOUBLE_EQ(result.totals.conductanceArea,
                   c.faces == ZoneFaces::Both ? 0.0 : area * single.uValue);
  double admittance = single.internalAdmittance.getModulus();
  if (faces == 2) admittance += single.externalAdmittance.getModulus();
  EXPECT_NEAR(result.totals.admittanceArea, area * admittance, 1e-9 * area * admittance);
}

INSTANTIATE_TEST_SUITE_P(
    Faces, OneElementZoneTest,
    ::testing::Values(ZoneCase{"inner_detailed", ZoneFaces::Inner, ZoneCapacityBasis::Detailed},
                      ZoneCase{"both_detailed", ZoneFaces::Both, ZoneCapacityBasis::Detailed},
                      ZoneCase{"inner_simplified", ZoneFaces::Inner, ZoneCapacityBasis::Simplified},
                      ZoneCase{"both_simplified", ZoneFaces::Both, ZoneCapacityBasis::Simplified}));

TEST(ZoneTotals, EffectiveMassAreaIsTheTotalAreaWhenEveryKappaIsEqual) {
  // The same wall three times: every counted face has the same kappa, so Am = sum of A.
  ZoneRequest zone;
  zone.floorArea = 30.0;
  zone.elements = {{kInsulated, 10.0, ZoneFaces::Inner},
                   {kInsulated, 7.5, ZoneFaces::Inner},
                   {kInsulated, 2.25, ZoneFaces::Inner}};
  const ZoneResult result = computedZone(zone);
  EXPECT_NEAR(result.totals.effectiveMassArea, 19.75, 1e-12);
  EXPECT_NEAR(result.totals.effectiveMassAreaPerFloorArea, 19.75 / 30.0, 1e-12);
}

TEST(ZoneTotals, EffectiveMassAreaWeighsHeavyFacesMore) {
  // Faces of kappa k1 and k2 on 1 m2 each: Am = (k1 + k2)^2 / (k1^2 + k2^2), below 2 m2 unless
  // k1 = k2.
  ZoneRequest mixed;
  mixed.floorArea = 1.0;
  mixed.elements = {{kInsulated, 1.0, ZoneFaces::Inner},
                    {wall({insulation(0.1), concrete(0.2)}), 1.0, ZoneFaces::Inner}};
  const ZoneResult result = computedZone(mixed);
  const double k1 = result.elements[0].faceMasses[0].capacity;
  const double k2 = result.elements[1].faceMasses[0].capacity;
  EXPECT_NEAR(result.totals.effectiveMassArea, (k1 + k2) * (k1 + k2) / (k1 * k1 + k2 * k2), 1e-12);
  EXPECT_LT(result.totals.effectiveMassArea, 2.0);
}

TEST(ZoneTotals, TimeConstantIsCmOverHInHours) {
  ZoneRequest zone;
  zone.floorArea = 10.0;
  zone.elements = {{kInsulated, 20.0, ZoneFaces::Inner}};
  EXPECT_FALSE(computedZone(zone).totals.timeConstant.has_value());
  zone.heatTransferCoefficient = 40.0;
  const ZoneResult result = computedZone(zone);
  ASSERT_TRUE(result.totals.timeConstant.has_value());
  EXPECT_NEAR(*result.totals.timeConstant, result.totals.heatCapacity / 3600.0 / 40.0, 1e-12);
}

struct ClassCase {
  double kilojoules;  // Cm / Af [kJ/(m2.K)]
  MassClass expected;
};

class MassClassTest : public ::testing::TestWithParam<ClassCase> {};

TEST_P(MassClassTest, NearestTableValue) {
  const ClassCase& c = GetParam();
  EXPECT_STREQ(massClassName(nearestMassClass(c.kilojoules * 1000.0)), massClassName(c.expected))
      << c.kilojoules << " kJ/(m2.K)";
}

// Boundaries at 95, 137.5, 212.5 and 315 kJ/(m2.K); a value on one is the heavier class.
INSTANTIATE_TEST_SUITE_P(
    Boundaries, MassClassTest,
    ::testing::Values(ClassCase{0.0, MassClass::VeryLight}, ClassCase{80.0, MassClass::VeryLight},
                      ClassCase{94.999, MassClass::VeryLight}, ClassCase{95.0, MassClass::Light},
                      ClassCase{137.499, MassClass::Light}, ClassCase{137.5, MassClass::Medium},
                      ClassCase{165.0, MassClass::Medium}, ClassCase{212.499, MassClass::Medium},
                      ClassCase{212.5, MassClass::Heavy}, ClassCase{314.999, MassClass::Heavy},
                      ClassCase{315.0, MassClass::VeryHeavy},
                      ClassCase{5000.0, MassClass::VeryHeavy}));

TEST(MassClass, TableValues) {
  EXPECT_EQ(massClassCapacity(MassClass::VeryLight), 80e3);
  EXPECT_EQ(massClassCapacity(MassClass::Medium), 165e3);
  EXPECT_EQ(massClassCapacity(MassClass::VeryHeavy), 370e3);
}

struct ProblemCase {
  std::string name;
  ZoneRequest zone;
  ZoneProblemKind kind;
  std::size_t element;
};

std::ostream& operator<<(std::ostream& out, const ProblemCase& c) { return out << c.name; }

class ZoneProblemTest : public ::testing::TestWithParam<ProblemCase> {};

TEST_P(ZoneProblemTest, FirstProblemAsData) {
  const ProblemCase& c = GetParam();
  const ZoneOutcome outcome = computeZone(c.zone);
  ASSERT_TRUE(std::holds_alternative<ZoneProblem>(outcome));
  const ZoneProblem& problem = std::get<ZoneProblem>(outcome);
  EXPECT_EQ(problem.kind, c.kind);
  EXPECT_EQ(problem.element, c.element);
}

ZoneRequest zoneOf(double floorArea, std::vector<ZoneElementRequest> elements,
                   std::optional<double> h = std::nullopt) {
  ZoneRequest zone;
  zone.floorArea = floorArea;
  zone.elements = std::move(elements);
  zone.heatTransferCoefficient = h;
  return zone;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Zones, ZoneProblemTest,
    ::testing::Values(
        ProblemCase{"no_elements", zoneOf(10, {}), ZoneProblemKind::NoElements, kWholeZone},
        ProblemCase{"floor_area_zero", zoneOf(0, {{kInsulated, 1, ZoneFaces::Inner}}),
                    ZoneProblemKind::FloorAreaNotPositive, kWholeZone},
        ProblemCase{"floor_area_nan", zoneOf(kNaN, {{kInsulated, 1, ZoneFaces::Inner}}),
                    ZoneProblemKind::FloorAreaNotPositive, kWholeZone},
        ProblemCase{"h_negative", zoneOf(10, {{kInsulated, 1, ZoneFaces::Inner}}, -5.0),
                    ZoneProblemKind::HeatTransferNotPositive, kWholeZone},
        ProblemCase{
            "area_zero",
            zoneOf(10, {{kInsulated, 1, ZoneFaces::Inner}, {kInsulated, 0, ZoneFaces::Inner}}),
            ZoneProblemKind::AreaNotPositive, 1},
        ProblemCase{"area_infinite", zoneOf(10, {{kInsulated, kInf, ZoneFaces::Inner}}),
                    ZoneProblemKind::AreaNotPositive, 0},
        ProblemCase{"bad_wall",
                    zoneOf(10, {{kInsulated, 1, ZoneFaces::Inner},
                                {wall({concrete(-0.1)}), 1, ZoneFaces::Inner}}),
                    ZoneProblemKind::Wall, 1},
        // Each area finite, their sum times kappa is not.
        ProblemCase{"totals_overflow",
                    zoneOf(10, {{kInsulated, 1e305, ZoneFaces::Inner},
                                {kInsulated, 1e305, ZoneFaces::Inner}}),
                    ZoneProblemKind::Overflow, kWholeZone},
        ProblemCase{"time_constant_overflow",
                    zoneOf(10, {{kInsulated, 1, ZoneFaces::Inner}}, 1e-310),
                    ZoneProblemKind::TimeConstantOverflow, kWholeZone}));

TEST(ZoneProblem, WallProblemKeepsTheLayer) {
  const ZoneOutcome outcome =
      computeZone(zoneOf(10, {{wall({concrete(0.1), concrete(-0.1)}), 1, ZoneFaces::Inner}}));
  const ZoneProblem& problem = std::get<ZoneProblem>(outcome);
  EXPECT_EQ(problem.wall.layer, 1u);
  EXPECT_EQ(problem.wall.field, WallField::Thickness);
}

}  // namespace
