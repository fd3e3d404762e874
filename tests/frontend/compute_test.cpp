#include "brusk/frontend/compute.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

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
// Over the longest cycle computed, a year, the wall has time to reach the steady state: the
// decrement factor tends to 1 and every phase angle, time shift / T, to 0.
TEST(ComputeWallPeriod, LongPeriodApproachesSteadyState) {
  const Brusk::Frontend::Wall wall = tomlWall(BruskTest::kInsulatedToml);
  const double period = Brusk::Engine::kLongestPeriod;
  const WallResult result = computeAt(wall, period);
  const double periodHours = period / 3600.0;
  EXPECT_NEAR(1.0, result.decrementFactor, 2e-4);
  EXPECT_NEAR(0.0, result.periodicThermalTransmittanceShift / periodHours, 1e-2);
  EXPECT_NEAR(0.0, result.internalAdmittanceShift / periodHours, 5e-2);
  EXPECT_NEAR(0.0, result.externalAdmittanceShift / periodHours, 5e-2);
  EXPECT_NEAR(result.uValue, result.internalAdmittance.getModulus(), 0.05 * result.uValue);
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

/// The message computeWall() throws for `wall`, or "(computed)".
std::string messageOf(const Brusk::Frontend::Wall& wall) {
  try {
    (void)Brusk::Frontend::computeWall(wall);
  } catch (const Brusk::Frontend::Error& error) {
    return error.what();
  }
  return "(computed)";
}

Brusk::Frontend::Wall wallOf(const std::vector<Brusk::Engine::LayerProperties>& layers) {
  Brusk::Frontend::Wall wall;
  wall.name = "W";
  for (std::size_t i = 0; i < layers.size(); ++i) {
    wall.addLayer(layers[i], {i == 0 ? "Lining" : "", "", "other"});
  }
  return wall;
}

struct Wording {
  const char* name;
  Brusk::Frontend::Wall wall;
  const char* message;
};

void PrintTo(const Wording& wording, std::ostream* out) { *out << wording.name; }

class ProblemWordingTest : public testing::TestWithParam<Wording> {};

// One wording per kind of problem, for every front end: the layer by number and name, the key
// as a file writes it, the requirement with its unit, and the value as given.
TEST_P(ProblemWordingTest, SaysWhatAndWhere) {
  EXPECT_EQ(GetParam().message, messageOf(GetParam().wall));
}

Brusk::Frontend::Wall withRse(double rse) {
  Brusk::Frontend::Wall wall = wallOf({Brusk::Engine::LayerProperties::pureResistance(1)});
  wall.request.externalSurfaceResistance = rse;
  return wall;
}

Brusk::Frontend::Wall atHours(double hours) {
  Brusk::Frontend::Wall wall = wallOf({Brusk::Engine::LayerProperties::pureResistance(1)});
  wall.request.period = hours * 3600.0;
  return wall;
}

std::vector<Brusk::Engine::LayerProperties> concreteAndAir(int pairs) {
  std::vector<Brusk::Engine::LayerProperties> layers;
  for (int i = 0; i < pairs; ++i) {
    layers.push_back(Brusk::Engine::LayerProperties::slab(0.1, 2.3, 2300, 1000));
    layers.push_back(Brusk::Engine::LayerProperties::pureResistance(0.18));
  }
  return layers;
}

INSTANTIATE_TEST_SUITE_P(
    Problems, ProblemWordingTest,
    testing::Values(
        Wording{"NoLayers", wallOf({}),
                "the wall has no layers; list them from the inner face (side 1) outward as "
                "[[layers]] tables"},
        Wording{"NamedLayer", wallOf({Brusk::Engine::LayerProperties::slab(0.1, -0.5, 1, 1)}),
                "layer 1 (\"Lining\"): conductivity must be a positive number of W/(m.K), got "
                "-0.5"},
        Wording{"UnnamedLayer",
                wallOf({Brusk::Engine::LayerProperties::pureResistance(1),
                        Brusk::Engine::LayerProperties::pureResistance(-0.0)}),
                "layer 2: thermal_resistance must be a positive number of m2.K/W, got -0"},
        Wording{"SurfaceResistance", withRse(-1e-3),
                "rse must be a non-negative number of m2.K/W, got -0.001"},
        Wording{"PeriodOutOfRange", atHours(1e20),
                "the period must be from 1 s to 31536000 s (one year), where double precision "
                "holds the results, got 3.6e+23 s"},
        Wording{"TooDeep", wallOf({Brusk::Engine::LayerProperties::slab(60, 2.3, 2300, 1000)}),
                "wall \"W\": the heat transfer matrix overflows double precision at a 24 h period: "
                "the layers add up to 362 periodic penetration depths and about 354 can be "
                "computed; layer 1 (\"Lining\") is 60 m thick, 362 depths: make it thinner or "
                "the period longer"},
        // 181 depths alone would compute; the 300 air layers between the slabs amplify the
        // matrix past double precision, and the message says so rather than blame a value.
        Wording{"AmplifiedByAirLayers", wallOf(concreteAndAir(300)),
                "wall \"W\": the heat transfer matrix overflows double precision at a 24 h period: "
                "the layers add up to 181 periodic penetration depths with 54 m2.K/W of pure "
                "thermal resistance between them, which amplifies the matrix further: make the "
                "wall thinner, the period longer or use fewer air layers"}),
    [](const testing::TestParamInfo<Wording>& row) { return std::string(row.param.name); });

TEST(ComputeWallPeriod, OptionInHoursIsCheckedWithTheEnginesRange) {
  EXPECT_NO_THROW(Brusk::Frontend::requirePeriodHours(24.0));
  EXPECT_NO_THROW(Brusk::Frontend::requirePeriodHours(8760.0));
  for (double hours : {-3.0, 0.0, 8760.5, 1e20, std::nan("")}) {
    EXPECT_THROW(Brusk::Frontend::requirePeriodHours(hours), Brusk::Frontend::Error) << hours;
  }
}

TEST(ComputeWallPeriod, RefusesNonPositivePeriods) {
  const Brusk::Frontend::Wall wall = tomlWall(BruskTest::kConcreteToml);
  for (double period : {0.0, -1.0, std::nan(""), HUGE_VAL, 0.5, 1e20 * 3600.0}) {
    EXPECT_THROW((void)computeAt(wall, period), Brusk::Frontend::Error) << period;
  }
}

}  // namespace
