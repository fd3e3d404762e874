// ISO 13786 transfer-matrix characteristics: the worked values of the two reference walls, the
// invariants that hold for every valid element, and the behaviour at the edges.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "brusk/engine/periodic_response.h"
#include "brusk/engine/surface.h"

namespace {

using namespace Brusk::Engine;

constexpr double kCapacityFactor = 13750.987083139758;  // T / 2 pi for the daily cycle [s]

struct Slab {
  double thickness, conductivity, density, specificHeat;
};
const Slab kConcrete{0.2, 1.8, 2400, 1000};
const Slab kInsulation{0.1, 0.04, 30, 1400};
const Slab kRender{0.005, 1.0, 1200, 1500};

std::unique_ptr<Surface> makeSurface(const std::vector<Slab>& slabs, int position = External,
                                     int heatFlow = Horizontal) {
  auto surface = std::make_unique<Surface>();
  surface->setArea(1.0);
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
  surface->setPosition(position);
  surface->setHeatFlow(heatFlow);
  return surface;
}

Inertia computed(const Surface& surface) {
  Inertia inertia;
  surface.computeInertia(inertia);
  return inertia;
}

void expectComplexNear(const Complex& actual, double re, double im, double tolerance,
                       const char* what) {
  EXPECT_NEAR(actual.getRealPart(), re, tolerance) << what << ".re";
  EXPECT_NEAR(actual.getImaginaryPart(), im, tolerance) << what << ".im";
}

struct WorkedValues {
  const char* name;
  std::vector<Slab> slabs;
  double z[4][2];  // z11, z12, z21, z22 as (re, im)
  double internalAdmittance[2], externalAdmittance[2], transmittance[2];
  double internalCapacity, externalCapacity, uValue, decrementFactor;
};

class WorkedValuesTest : public ::testing::TestWithParam<WorkedValues> {};

TEST_P(WorkedValuesTest, ReproducesEveryPrintedDigit) {
  const WorkedValues& w = GetParam();
  const Inertia r = computed(*makeSurface(w.slabs));
  const Complex* z[4] = {&r._z11, &r._z12, &r._z21, &r._z22};
  const char* names[4] = {"z11", "z12", "z21", "z22"};
  for (int i = 0; i < 4; ++i) expectComplexNear(*z[i], w.z[i][0], w.z[i][1], 5e-5, names[i]);
  expectComplexNear(r._internalAdmittance, w.internalAdmittance[0], w.internalAdmittance[1], 5e-5,
                    "Y1");
  expectComplexNear(r._externalAdmittance, w.externalAdmittance[0], w.externalAdmittance[1], 5e-5,
                    "Y2");
  expectComplexNear(r._periodicThermalTransmittance, w.transmittance[0], w.transmittance[1], 5e-5,
                    "Y12");
  EXPECT_NEAR(r._internalThermalCapacity, w.internalCapacity, 0.05);
  EXPECT_NEAR(r._externalThermalCapacity, w.externalCapacity, 0.05);
  EXPECT_NEAR(r._conductance, w.uValue, 5e-7);
  EXPECT_NEAR(r._dampingFactor, w.decrementFactor, 5e-7);
}

INSTANTIATE_TEST_SUITE_P(
    ReferenceWalls, WorkedValuesTest,
    ::testing::Values(
        WorkedValues{
            "concrete",
            {kConcrete},
            {{-0.5076, 3.0806}, {-0.0464, -0.5454}, {22.1609, -30.5525}, {-2.5021, 5.8303}},
            {5.5295, 1.4014},
            {10.2263, 5.4584},
            {0.1549, -1.8205},
            86167.7,
            170874.9,
            3.557312,
            0.513610},
        WorkedValues{
            "insulated",
            {kConcrete, kInsulation, kRender},
            {{-68.6823, 70.0690}, {8.6605, -14.0598}, {80.2784, 21.3383}, {-13.9778, -0.5172}},
            {5.7942, 1.3159},
            {0.4173, 0.7371},
            {-0.0318, -0.0516},
            82290.1,
            12480.0,
            0.358923,
            0.168721}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(PeriodicResponse, InternalConcreteIsSymmetric) {
  const Inertia r = computed(*makeSurface({kConcrete}, Internal));
  expectComplexNear(r._z11, -2.5021, 5.8303, 5e-5, "z11");
  expectComplexNear(r._z22, -2.5021, 5.8303, 5e-5, "z22");
  expectComplexNear(r._z12, 0.1788, -1.0701, 5e-5, "z12");
  EXPECT_NEAR(r._internalThermalCapacity, 86204.3, 0.05);
  EXPECT_NEAR(r._externalThermalCapacity, 86204.3, 0.05);
  expectComplexNear(r._internalAdmittance, 5.8324, 2.2983, 5e-5, "Y1");
  expectComplexNear(r._externalAdmittance, 5.8324, 2.2983, 5e-5, "Y2");
  EXPECT_NEAR(r._internalAdmittance.getModulus(), 6.2690, 5e-5);
  EXPECT_NEAR(r._conductance, 2.694611, 5e-7);
  EXPECT_NEAR(r._dampingFactor, 0.342066, 5e-7);
}

TEST(PeriodicResponse, OnlyPositionOneCorrectsTheAdmittances) {
  const Inertia partition = computed(*makeSurface({kConcrete}, Internal));
  const Inertia other = computed(*makeSurface({kConcrete}, 2));
  EXPECT_EQ(other._z11.getRealPart(), partition._z11.getRealPart());
  EXPECT_EQ(other._z12.getImaginaryPart(), partition._z12.getImaginaryPart());
  expectComplexNear(other._internalAdmittance, 5.6806, 1.3892, 5e-5, "Y1");
  expectComplexNear(other._externalAdmittance, 5.6806, 1.3892, 5e-5, "Y2");
}

TEST(PeriodicResponse, SingleLayerMatrixAlone) {
  const LayerProperties concrete = LayerProperties::slab(0.2, 1.8, 2400, 1000);
  PeriodicResponse r;
  ASSERT_TRUE(
      computePeriodicResponse(&concrete, 1, ElementBoundary{0.0, 0.0, false}, kDailyPeriod, r));
  expectComplexNear(r.z11, 0.3788, 1.8585, 5e-5, "L11");
  expectComplexNear(r.z22, 0.3788, 1.8585, 5e-5, "L22");
  expectComplexNear(r.z12, -0.0973, -0.0705, 5e-5, "L12");
  expectComplexNear(r.z21, 22.1609, -30.5525, 5e-5, "L21");
}

TEST(PeriodicResponse, InvalidElementLeavesTheRecordUntouched) {
  auto empty = std::make_unique<Surface>();
  empty->setArea(1);
  auto zeroThick = makeSurface({{0.0, 1.8, 2400, 1000}});
  auto zeroArea = makeSurface({kConcrete});
  zeroArea->setArea(0);
  for (const Surface* surface : {empty.get(), zeroThick.get(), zeroArea.get()}) {
    Inertia inertia;
    inertia._dampingFactor = -7;
    inertia._z21.setRealPart(42);
    Inertia before = inertia;
    surface->computeInertia(inertia);
    EXPECT_EQ(std::memcmp(&inertia, &before, sizeof inertia), 0);
  }
}

TEST(PeriodicResponse, ReusedRecordGivesTheSameResults) {
  auto surface = makeSurface({kConcrete, kInsulation, kRender});
  Inertia reused = computed(*makeSurface({kConcrete}));
  surface->computeInertia(reused);
  const Inertia fresh = computed(*surface);
  EXPECT_EQ(std::memcmp(&reused, &fresh, sizeof fresh), 0);
}

TEST(PeriodicResponse, OverflowingLayerIsRefusedNotReportedAsInfinity) {
  // 150 m of concrete: xi = 1044, far past the ~355 where the matrix products overflow.
  auto surface = makeSurface({{150.0, 1.8, 2400, 1000}});
  ASSERT_TRUE(surface->isValid());
  Inertia inertia;
  surface->computeInertia(inertia);
  EXPECT_EQ(inertia._z11.getRealPart(), 0.0);
  EXPECT_EQ(inertia._conductance, 0.0);

  // 50 m (xi = 348) is still finite: a deep wall damps everything.
  const Inertia deep = computed(*makeSurface({{50.0, 1.8, 2400, 1000}}));
  EXPECT_GT(deep._conductance, 0.0);
  EXPECT_LT(deep._dampingFactor, 1e-100);
  EXPECT_TRUE(std::isfinite(deep._internalThermalCapacity));
}

TEST(PeriodicResponse, PureResistanceLayerIsASurfaceMatrix) {
  const LayerProperties slabs[] = {LayerProperties::slab(0.2, 1.8, 2400, 1000),
                                   LayerProperties::pureResistance(0.18),
                                   LayerProperties::slab(0.1, 0.04, 30, 1400)};
  const LayerProperties withoutAir[] = {slabs[0], slabs[2]};
  PeriodicResponse air;
  PeriodicResponse plain;
  const ElementBoundary boundary{0.13, 0.04, false};
  ASSERT_TRUE(computePeriodicResponse(slabs, 3, boundary, kDailyPeriod, air));
  ASSERT_TRUE(computePeriodicResponse(withoutAir, 2, boundary, kDailyPeriod, plain));
  EXPECT_NEAR(air.thermalResistance, plain.thermalResistance + 0.18, 1e-12);
  const Complex det = air.z11 * air.z22 - air.z12 * air.z21;
  EXPECT_NEAR(det.getRealPart(), 1.0, 1e-9);
  EXPECT_LT(air.decrementFactor, plain.decrementFactor * (plain.uValue / air.uValue));
}

TEST(PeriodicResponse, LongPeriodApproachesSteadyState) {
  const LayerProperties layers[] = {LayerProperties::slab(0.2, 1.8, 2400, 1000),
                                    LayerProperties::slab(0.1, 0.04, 30, 1400)};
  PeriodicResponse r;
  ASSERT_TRUE(computePeriodicResponse(layers, 2, ElementBoundary{}, 1e4 * kDailyPeriod, r));
  EXPECT_NEAR(r.decrementFactor, 1.0, 1e-3);
  EXPECT_NEAR(r.periodicThermalTransmittance.getLag(), 0.0, 0.01)
      << "Z12 tends to -R_tot, so Y12 = -1/Z12 tends to +U, in phase";
}

// Invariants on random walls: det Z = 1; Z21 independent of the surface resistances; reversing
// the layers and swapping Rsi and Rse swaps Z11/Z22 and kappa1/kappa2; a partition's admittance
// modulus times T / 2 pi is its areal heat capacity.
class RandomWallTest : public ::testing::TestWithParam<unsigned> {};

std::vector<LayerProperties> randomWall(std::mt19937_64& random) {
  std::uniform_int_distribution<int> count(1, 6);
  std::uniform_real_distribution<double> thickness(0.005, 0.4), conductivity(0.03, 2.5),
      density(20, 2800), specificHeat(800, 2000);
  std::vector<LayerProperties> layers(static_cast<std::size_t>(count(random)));
  for (auto& layer : layers) {
    layer = LayerProperties::slab(thickness(random), conductivity(random), density(random),
                                  specificHeat(random));
  }
  return layers;
}

double relativeDifference(double a, double b) {
  return std::abs(a - b) / std::max({std::abs(a), std::abs(b), 1e-300});
}

TEST_P(RandomWallTest, InvariantsHold) {
  std::mt19937_64 random(GetParam());
  std::uniform_real_distribution<double> surfaceResistance(0.0, 0.25);
  for (int wall = 0; wall < 200; ++wall) {
    std::vector<LayerProperties> layers = randomWall(random);
    const ElementBoundary boundary{surfaceResistance(random), surfaceResistance(random), false};
    PeriodicResponse r;
    ASSERT_TRUE(computePeriodicResponse(layers.data(), layers.size(), boundary, kDailyPeriod, r));

    const Complex det = r.z11 * r.z22 - r.z12 * r.z21;
    const double scale = (r.z11 * r.z22).getModulus() + 1.0;
    EXPECT_NEAR(det.getRealPart(), 1.0, 1e-12 * scale) << "wall " << wall;
    EXPECT_NEAR(det.getImaginaryPart(), 0.0, 1e-12 * scale) << "wall " << wall;

    PeriodicResponse bare;
    ASSERT_TRUE(computePeriodicResponse(layers.data(), layers.size(), ElementBoundary{0, 0, false},
                                        kDailyPeriod, bare));
    EXPECT_EQ(bare.z21.getRealPart(), r.z21.getRealPart());
    EXPECT_EQ(bare.z21.getImaginaryPart(), r.z21.getImaginaryPart());

    std::vector<LayerProperties> reversed(layers.rbegin(), layers.rend());
    PeriodicResponse mirror;
    ASSERT_TRUE(computePeriodicResponse(reversed.data(), reversed.size(),
                                        ElementBoundary{boundary.externalSurfaceResistance,
                                                        boundary.internalSurfaceResistance, false},
                                        kDailyPeriod, mirror));
    EXPECT_LT(relativeDifference(mirror.z11.getRealPart(), r.z22.getRealPart()), 1e-9);
    EXPECT_LT(relativeDifference(mirror.z22.getImaginaryPart(), r.z11.getImaginaryPart()), 1e-9);
    EXPECT_LT(relativeDifference(mirror.z12.getModulus(), r.z12.getModulus()), 1e-9);
    EXPECT_LT(relativeDifference(mirror.z21.getModulus(), r.z21.getModulus()), 1e-9);
    EXPECT_LT(relativeDifference(mirror.internalArealHeatCapacity, r.externalArealHeatCapacity),
              1e-9);
    EXPECT_LT(relativeDifference(mirror.externalAdmittance.getModulus(),
                                 r.internalAdmittance.getModulus()),
              1e-9);

    PeriodicResponse partition;
    ASSERT_TRUE(computePeriodicResponse(layers.data(), layers.size(),
                                        ElementBoundary{boundary.internalSurfaceResistance,
                                                        boundary.externalSurfaceResistance, true},
                                        kDailyPeriod, partition));
    EXPECT_LT(relativeDifference(partition.internalAdmittance.getModulus() * kCapacityFactor,
                                 partition.internalArealHeatCapacity),
              1e-9);
    EXPECT_LT(relativeDifference(partition.externalAdmittance.getModulus() * kCapacityFactor,
                                 partition.externalArealHeatCapacity),
              1e-9);
    EXPECT_LT(relativeDifference(r.decrementFactor,
                                 r.periodicThermalTransmittance.getModulus() / r.uValue),
              1e-12);
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomWallTest, ::testing::Values(1u, 2u, 3u, 20261208u));

}  // namespace
