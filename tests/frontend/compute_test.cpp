#include "brusk/frontend/compute.h"

#include <gtest/gtest.h>

#include <cmath>

#include "brusk/engine/inertia.h"
#include "brusk/engine/surface.h"
#include "brusk/frontend/error.h"
#include "test_walls.h"

namespace {

using Brusk::Engine::Complex;
using Brusk::Engine::WallResult;
using BruskTest::tomlWall;

/// The wall computed at a period T [s].
WallResult computeAt(Brusk::Frontend::Wall wall, double period) {
  wall.request.period = period;
  return Brusk::Frontend::computeWall(wall);
}

void expectSameComplex(const Complex& expected, const Complex& actual, const char* what) {
  EXPECT_EQ(expected.getRealPart(), actual.getRealPart()) << what;
  EXPECT_EQ(expected.getImaginaryPart(), actual.getImaginaryPart()) << what;
}

void expectRelativelyClose(double expected, double actual, const char* what) {
  EXPECT_NEAR(expected, actual, 1e-9 * std::abs(expected)) << what;
}

void expectRelativelyClose(const Complex& expected, const Complex& actual, const char* what) {
  const double scale = 1e-9 * expected.getModulus();
  EXPECT_NEAR(expected.getRealPart(), actual.getRealPart(), scale) << what;
  EXPECT_NEAR(expected.getImaginaryPart(), actual.getImaginaryPart(), scale) << what;
}

/// The same wall as a Surface, the way the validation run builds one.
std::unique_ptr<Brusk::Engine::Surface> surfaceOf(const Brusk::Frontend::Wall& wall) {
  auto surface = std::make_unique<Brusk::Engine::Surface>();
  surface->setArea(1.0);
  surface->setPosition(static_cast<int>(wall.request.position));
  surface->setHeatFlow(static_cast<int>(wall.request.heatFlow));
  for (const Brusk::Engine::LayerProperties& layer : wall.request.layers) {
    Brusk::Engine::Material material;
    material.setConductivity(layer.conductivity);
    material.setDensity(layer.density);
    material.setSpecificHeat(layer.specificHeat);
    auto* slab = new Brusk::Engine::Layer;
    slab->setThickness(layer.thickness);
    slab->setMaterial(material);
    surface->addLayer(slab);
  }
  return surface;
}

struct ReferenceCase {
  const char* name;
  const char* toml;
  double uValue;
  double decrementFactor;
};

class ReferenceWallTest : public testing::TestWithParam<ReferenceCase> {};

// At 24 h the front end must give exactly what Surface::computeInertia gives: same kernel,
// same 86400 s.
TEST_P(ReferenceWallTest, DailyPeriodEqualsSurfaceComputeInertia) {
  const Brusk::Frontend::Wall wall = tomlWall(GetParam().toml);
  const WallResult result = computeAt(wall, 86400.0);
  Brusk::Engine::Inertia inertia;
  surfaceOf(wall)->computeInertia(inertia);

  EXPECT_EQ(inertia._conductance, result.uValue);
  EXPECT_EQ(inertia._dampingFactor, result.decrementFactor);
  EXPECT_EQ(inertia._internalThermalCapacity, result.internalArealHeatCapacity);
  EXPECT_EQ(inertia._externalThermalCapacity, result.externalArealHeatCapacity);
  expectSameComplex(inertia._z11, result.z11, "z11");
  expectSameComplex(inertia._z12, result.z12, "z12");
  expectSameComplex(inertia._z21, result.z21, "z21");
  expectSameComplex(inertia._z22, result.z22, "z22");
  EXPECT_EQ(inertia._periodicThermalTransmittance.getModulus(),
            result.periodicThermalTransmittance.getModulus());
  EXPECT_EQ(inertia._internalAdmittance.getModulus(), result.internalAdmittance.getModulus());
  EXPECT_EQ(inertia._externalAdmittance.getModulus(), result.externalAdmittance.getModulus());
  // Complex::getLag is the daily time shift in hours.
  EXPECT_NEAR(inertia._periodicThermalTransmittance.getLag(),
              result.periodicThermalTransmittanceShift, 1e-12);
  EXPECT_NEAR(inertia._internalAdmittance.getLag(), result.internalAdmittanceShift, 1e-12);

  EXPECT_NEAR(GetParam().uValue, result.uValue, 5e-7);
  EXPECT_NEAR(GetParam().decrementFactor, result.decrementFactor, 5e-7);
}

INSTANTIATE_TEST_SUITE_P(
    Walls, ReferenceWallTest,
    testing::Values(ReferenceCase{"Concrete", BruskTest::kConcreteToml, 3.557312, 0.513610},
                    ReferenceCase{"Insulated", BruskTest::kInsulatedToml, 0.358923, 0.168721}),
    [](const testing::TestParamInfo<ReferenceCase>& row) { return row.param.name; });

// Over a very long cycle the wall has time to reach the steady state: the decrement factor
// tends to 1 and every phase angle, time shift / T, to 0.
TEST(ComputeWallPeriod, LongPeriodApproachesSteadyState) {
  const Brusk::Frontend::Wall wall = tomlWall(BruskTest::kInsulatedToml);
  const double period = 1e5 * 86400.0;
  const WallResult result = computeAt(wall, period);
  const double periodHours = period / 3600.0;
  EXPECT_NEAR(1.0, result.decrementFactor, 1e-6);
  EXPECT_NEAR(0.0, result.periodicThermalTransmittanceShift / periodHours, 1e-4);
  EXPECT_NEAR(0.0, result.internalAdmittanceShift / periodHours, 1e-3);
  EXPECT_NEAR(0.0, result.externalAdmittanceShift / periodHours, 1e-3);
  EXPECT_NEAR(result.uValue, result.internalAdmittance.getModulus(), 1e-5 * result.uValue);
  EXPECT_EQ(period, result.period);
}

TEST(ComputeWallPeriod, ShorterPeriodDampsMore) {
  const Brusk::Frontend::Wall wall = tomlWall(BruskTest::kConcreteToml);
  EXPECT_LT(computeAt(wall, 3600.0 * 12).decrementFactor,
            computeAt(wall, 3600.0 * 24).decrementFactor);
}

// A heavy wall whose heat-flow peak arrives more than half a cycle late: the time shift of Y12 is
// positive, and the lag practitioners read is 24 h minus it, not a negative number.
TEST(ComputeWallTimeLag, WrapsIntoOneCycle) {
  const Brusk::Frontend::Wall wall = tomlWall(R"(
[[layers]]
thickness = 0.5
conductivity = 1.8
density = 2400
specific_heat = 1000
)");
  const WallResult result = computeAt(wall, 86400.0);
  ASSERT_GT(result.periodicThermalTransmittanceShift, 0.0);
  EXPECT_GT(result.timeLag, 12.0);
  EXPECT_LT(result.timeLag, 24.0);
  EXPECT_NEAR(24.0 - result.periodicThermalTransmittanceShift, result.timeLag, 1e-12);

  const WallResult light = computeAt(tomlWall(BruskTest::kConcreteToml), 86400.0);
  EXPECT_NEAR(-light.periodicThermalTransmittanceShift, light.timeLag, 1e-12);
}

struct Matrix {
  Complex m11, m12, m21, m22;
};

Matrix operator*(const Matrix& a, const Matrix& b) {
  return {a.m11 * b.m11 + a.m12 * b.m21, a.m11 * b.m12 + a.m12 * b.m22,
          a.m21 * b.m11 + a.m22 * b.m21, a.m21 * b.m12 + a.m22 * b.m22};
}

Matrix resistanceMatrix(double resistance) {
  return {Complex{1, 0}, Complex{-resistance, 0}, Complex{}, Complex{1, 0}};
}

/// The heat transfer matrix of one slab alone: a one-layer wall without surface resistances.
Matrix slabMatrix(const char* properties) {
  const WallResult result =
      computeAt(tomlWall(std::string("rsi = 0\nrse = 0\n[[layers]]\n") + properties), 86400.0);
  return {result.z11, result.z12, result.z21, result.z22};
}

// An air layer between two slabs enters as [[1, -R], [0, 1]]: compare with the product built
// by hand, Z = Z_se L_2 R L_1 Z_si, and the quantities derived from it.
TEST(ComputeWallPureResistance, EqualsHandBuiltMatrix) {
  const char* inner =
      "thickness = 0.1\nconductivity = 0.77\ndensity = 1800\nspecific_heat = 1000\n";
  const char* outer =
      "thickness = 0.05\nconductivity = 0.13\ndensity = 500\nspecific_heat = 1600\n";
  const double airResistance = 0.18;
  const Brusk::Frontend::Wall wall =
      tomlWall(std::string("[[layers]]\n") + inner +
               "[[layers]]\nthermal_resistance = 0.18\n[[layers]]\n" + outer);
  ASSERT_EQ(3u, wall.labels.size());
  EXPECT_EQ("air", wall.labels[1].family);
  const WallResult result = computeAt(wall, 86400.0);

  const Matrix z = resistanceMatrix(0.04) * slabMatrix(outer) * resistanceMatrix(airResistance) *
                   slabMatrix(inner) * resistanceMatrix(0.13);
  expectRelativelyClose(z.m11, result.z11, "z11");
  expectRelativelyClose(z.m12, result.z12, "z12");
  expectRelativelyClose(z.m21, result.z21, "z21");
  expectRelativelyClose(z.m22, result.z22, "z22");
  const double totalResistance = 0.13 + 0.1 / 0.77 + airResistance + 0.05 / 0.13 + 0.04;
  expectRelativelyClose(totalResistance, result.thermalResistance, "R");
  expectRelativelyClose(1.0 / totalResistance, result.uValue, "U");
  const Complex y12 = -(Complex{1, 0} / z.m12);
  expectRelativelyClose(y12.getModulus(), result.periodicThermalTransmittance.getModulus(),
                        "|Y12|");
  expectRelativelyClose(y12.getModulus() * totalResistance, result.decrementFactor, "f");
  expectRelativelyClose((-(z.m11 / z.m12)).getModulus(), result.internalAdmittance.getModulus(),
                        "|Y11|");
  EXPECT_EQ(0.1 * 1800 + 0.05 * 500, result.surfaceMass);
}

TEST(ComputeWallOverflow, NamesTheWallAndTheThickLayer) {
  const Brusk::Frontend::Wall wall = tomlWall(
      "name = \"Dam\"\n[[layers]]\nname = \"Concrete\"\nthickness = 1000\nconductivity = 1.8\n"
      "density = 2400\nspecific_heat = 1000\n");
  try {
    (void)computeAt(wall, 86400.0);
    FAIL() << "expected an overflow error";
  } catch (const Brusk::Frontend::Error& error) {
    EXPECT_STREQ(
        "wall \"Dam\": the heat transfer matrix overflows double precision at a 24 h period: the "
        "layers add up to 6963 periodic penetration depths and about 354 can be computed; layer 1 "
        "(\"Concrete\") is 1000 m thick, 6963 depths: make it thinner or the period longer",
        error.what());
  }
}

TEST(ComputeWallPeriod, RefusesNonPositivePeriods) {
  const Brusk::Frontend::Wall wall = tomlWall(BruskTest::kConcreteToml);
  for (double period : {0.0, -1.0, std::nan(""), HUGE_VAL}) {
    EXPECT_THROW((void)computeAt(wall, period), Brusk::Frontend::Error) << period;
  }
}

}  // namespace
