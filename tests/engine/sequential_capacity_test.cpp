// Sequential heat capacity of side 1: each rule on the walls that select it, and the inclusive
// boundaries between the rules.
#include "brusk/engine/sequential_capacity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "brusk/engine/surface.h"

namespace {

using namespace Brusk::Engine;

struct Slab {
  double thickness, conductivity, density, specificHeat;
};
const Slab kConcrete{0.2, 1.8, 2400, 1000};
const Slab kInsulation{0.1, 0.04, 30, 1400};
const Slab kRender{0.005, 1.0, 1200, 1500};
const Slab kLightLining{0.005, 0.05, 300, 1300};  // 1.5 kg/m2
const Slab kBrick{0.2, 0.8, 1800, 1000};

Slab concrete(double thickness) { return {thickness, 1.8, 2400, 1000}; }

std::unique_ptr<Surface> makeSurface(const std::vector<Slab>& slabs, double area = 1.0) {
  auto surface = std::make_unique<Surface>();
  surface->setArea(area);
  for (const Slab& slab : slabs) {
    Material material;
    material.setConductivity(slab.conductivity);
    material.setDensity(slab.density);
    material.setSpecificHeat(slab.specificHeat);
    auto layer = std::make_unique<Layer>();
    layer->setMaterial(material);
    layer->setThickness(slab.thickness);
    surface->addLayer(layer.release());
  }
  return surface;
}

struct SequentialCase {
  std::string name;
  std::vector<Slab> slabs;
  int period;
  double capacity;  // J/(m2.K)
  int method;
  double tolerance;
};

std::ostream& operator<<(std::ostream& out, const SequentialCase& c) { return out << c.name; }

class SequentialCapacityTest : public ::testing::TestWithParam<SequentialCase> {};

TEST_P(SequentialCapacityTest, RuleAndValue) {
  const SequentialCase& c = GetParam();
  double capacity = -1;
  int method = -1;
  makeSurface(c.slabs)->computeSequentialCapacity(c.period, capacity, method);
  EXPECT_EQ(method, c.method);
  EXPECT_NEAR(capacity, c.capacity, c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Walls, SequentialCapacityTest,
    ::testing::Values(
        SequentialCase{"concrete_daily", {kConcrete}, Daily, 96792.8, LimitedDepth, 0.05},
        SequentialCase{"concrete_extended", {kConcrete}, Extended, 235821.7, LimitedDepth, 0.05},
        SequentialCase{"insulated_daily",
                       {kConcrete, kInsulation, kRender},
                       Daily,
                       96792.8,
                       LimitedDepth,
                       0.05},
        SequentialCase{"insulated_extended",
                       {kConcrete, kInsulation, kRender},
                       Extended,
                       480000,
                       ThinLayer,
                       0.0},
        SequentialCase{
            "thick_concrete_daily", {concrete(0.4)}, Daily, 243729.9, SemiInfinite, 0.05},
        SequentialCase{
            "thick_concrete_extended", {concrete(0.4)}, Extended, 448970.6, LimitedDepth, 0.05},
        SequentialCase{
            "light_lining_daily", {kLightLining, kConcrete}, Daily, 58013.9, LimitedDepth, 0.05},
        SequentialCase{"light_lining_extended",
                       {kLightLining, kConcrete},
                       Extended,
                       232700.8,
                       LimitedDepth,
                       0.05},
        SequentialCase{"light_lining_alone_daily", {kLightLining}, Daily, 0, None, 0.0},
        SequentialCase{"light_lining_alone_extended", {kLightLining}, Extended, 0, None, 0.0},
        SequentialCase{
            "insulation_first_daily", {kInsulation, kConcrete}, Daily, 0, LimitedDepth, 0.0},
        SequentialCase{
            "insulation_first_extended", {kInsulation, kConcrete}, Extended, 0, LimitedDepth, 0.0},
        SequentialCase{"thin_concrete_on_insulation",
                       {concrete(0.05), kInsulation},
                       Daily,
                       120000,
                       ThinLayer,
                       1e-9},
        SequentialCase{"thin_concrete_alone", {concrete(0.05)}, Daily, 52188.7, LimitedDepth, 0.05},
        SequentialCase{"thin_concrete_on_concrete",
                       {concrete(0.05), kConcrete},
                       Daily,
                       96792.8,
                       LimitedDepth,
                       0.05},
        SequentialCase{
            "partial_layer", {concrete(0.06), kBrick}, Daily, 94997.5, LimitedDepth, 0.05},
        SequentialCase{"period_two_is_daily", {kConcrete}, 2, 96792.8, LimitedDepth, 0.05}),
    [](const auto& testInfo) { return testInfo.param.name; });

TEST(SequentialCapacity, BoundariesAreInclusive) {
  constexpr double kPi = 3.141592653589793;
  const double dailyDepth = std::sqrt(1.8 * 86400.0 / (kPi * 2400 * 1000));
  double capacity = 0;
  int method = 0;

  // 2.0 kg/m2 exactly is light: 0.001 m at 2000 kg/m3 in front of concrete.
  makeSurface({{0.001, 0.05, 2000, 1000}, kConcrete})
      ->computeSequentialCapacity(Daily, capacity, method);
  double withoutLining = 0;
  makeSurface({kConcrete})->computeSequentialCapacity(Daily, withoutLining, method);
  EXPECT_LT(capacity, withoutLining) << "the light lining's resistance reduces the capacity";

  // Exactly 2 delta thick is semi-infinite.
  makeSurface({concrete(2.0 * dailyDepth)})->computeSequentialCapacity(Daily, capacity, method);
  EXPECT_EQ(method, SemiInfinite);

  // Exactly 0.5 delta thick is thin; a backing of exactly 0.065 W/(m.K) and 0.5 m2.K/W qualifies.
  makeSurface({concrete(0.5 * dailyDepth), {0.0325, 0.065, 30, 1400}})
      ->computeSequentialCapacity(Daily, capacity, method);
  EXPECT_EQ(method, ThinLayer);
  EXPECT_DOUBLE_EQ(capacity, 0.5 * dailyDepth * 2400 * 1000);

  // A conductivity of exactly 0.065 ends the effective depth: only 0.05 m of concrete counts.
  makeSurface({concrete(0.05), {0.01, 0.065, 30, 1400}, kConcrete})
      ->computeSequentialCapacity(Daily, capacity, method);
  EXPECT_EQ(method, LimitedDepth);
  double thinAlone = 0;
  makeSurface({concrete(0.05), concrete(0.05)})
      ->computeSequentialCapacity(Daily, thinAlone, method);
  const double limited = 0.05 * 2400 * 1000;
  const double omega = 6.283185307179586 / 86400.0;
  EXPECT_NEAR(capacity, limited / std::sqrt(1 + std::pow(omega * 0.13 * limited, 2)), 1e-6);
}

TEST(SequentialCapacity, InvalidElementGivesNoneForBothPeriods) {
  SequentialInertia inertia{1, 2, 3, 4};
  makeSurface({kConcrete}, 0.0)->computeSequentialInertia(inertia);
  EXPECT_EQ(inertia._dailySequentialThermalCapacity, 0.0);
  EXPECT_EQ(inertia._dailyCapacityMethod, None);
  EXPECT_EQ(inertia._internalSequentialThermalCapacity, 0.0);
  EXPECT_EQ(inertia._sequentialCapacityMethod, None);
}

TEST(SequentialCapacity, InertiaRecordHoldsBothPeriods) {
  SequentialInertia inertia;
  makeSurface({kConcrete, kInsulation, kRender})->computeSequentialInertia(inertia);
  EXPECT_EQ(inertia._dailyCapacityMethod, LimitedDepth);
  EXPECT_NEAR(inertia._dailySequentialThermalCapacity, 96792.8, 0.05);
  EXPECT_EQ(inertia._sequentialCapacityMethod, ThinLayer);
  EXPECT_EQ(inertia._internalSequentialThermalCapacity, 480000.0);
}

struct PureResistanceCase {
  std::string name;
  std::vector<LayerProperties> layers;
  double capacity;  // [J/(m2.K)], K / sqrt(1 + (omega Rsi K)^2) by hand, Rsi = 0.13 m2.K/W
};

std::ostream& operator<<(std::ostream& out, const PureResistanceCase& c) { return out << c.name; }

class PureResistanceDepthTest : public ::testing::TestWithParam<PureResistanceCase> {};

// An element with a pure resistance has no known thickness, so no half: the limited depth ends
// at the first insulating layer or pure resistance (or 0.1 m), not at half the materials.
TEST_P(PureResistanceDepthTest, DepthIsNotCutAtHalfTheMaterialLayers) {
  const PureResistanceCase& c = GetParam();
  double capacity = 0;
  int method = 0;
  computeSequentialCapacity(c.layers.data(), c.layers.size(), 0.13, Daily, capacity, method);
  EXPECT_EQ(method, LimitedDepth);
  EXPECT_NEAR(capacity, c.capacity, 0.05);
}

// 0.08 m of concrete (delta = 0.1436 m: neither thin nor thick) counts whole, K = 192000, as on
// 1 m of insulation of the same R = 25; before the cavity at 0.09 m, K = 216000.
INSTANTIATE_TEST_SUITE_P(
    Walls, PureResistanceDepthTest,
    ::testing::Values(PureResistanceCase{"slab_on_pure_resistance",
                                         {LayerProperties::slab(0.08, 1.8, 2400, 1000),
                                          LayerProperties::pureResistance(25)},
                                         92647.28},
                      PureResistanceCase{"slab_on_thick_insulation",
                                         {LayerProperties::slab(0.08, 1.8, 2400, 1000),
                                          LayerProperties::slab(1.0, 0.04, 30, 1400)},
                                         92647.28},
                      PureResistanceCase{"cavity_beyond_half_the_materials",
                                         {LayerProperties::slab(0.09, 1.8, 2400, 1000),
                                          LayerProperties::pureResistance(0.18),
                                          LayerProperties::slab(0.01, 0.57, 1300, 1000)},
                                         94997.54}),
    [](const auto& testInfo) { return testInfo.param.name; });

TEST(SequentialCapacity, AirLayerInsulatesAndStoresNothing) {
  const LayerProperties layers[] = {LayerProperties::slab(0.05, 1.8, 2400, 1000),
                                    LayerProperties::pureResistance(0.6),
                                    LayerProperties::slab(0.2, 1.8, 2400, 1000)};
  double capacity = 0;
  int method = 0;
  computeSequentialCapacity(layers, 3, 0.13, Daily, capacity, method);
  EXPECT_EQ(method, ThinLayer);
  EXPECT_DOUBLE_EQ(capacity, 0.05 * 2400 * 1000);

  const LayerProperties airFirst[] = {LayerProperties::pureResistance(0.18),
                                      LayerProperties::pureResistance(0.18)};
  computeSequentialCapacity(airFirst, 2, 0.13, Extended, capacity, method);
  EXPECT_EQ(capacity, 0.0);
  EXPECT_TRUE(std::isfinite(capacity));
}

}  // namespace
