// Elements with bridged layers, air layers and corrections (ISO 6946:2017): the combined method
// checked by hand, the air-layer table, the ventilation rules, Annex F and the parallel-path
// periodic characteristics against the paths computed one by one.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <variant>
#include <vector>

#include "brusk/engine/bridged_element.h"
#include "brusk/engine/wall_result.h"

namespace {

using namespace Brusk::Engine;

const LayerPart kSoftwood{0.13, 500, 1600, 0.15};
const LayerPart kMineralWool{0.035, 30, 1030, 0.85};

/// The timber-frame wall of docs/u-value.md: 12.5 mm plasterboard; 140 mm of 15 % softwood
/// studs and 85 % mineral wool; 9 mm OSB; 50 mm wood-fibre board; Rsi 0.13, Rse 0.04.
struct TimberFrame {
  WallRequest request;
  ElementDescription element;
  TimberFrame() {
    const std::vector<LayerPart> parts = {kSoftwood, kMineralWool};
    request.layers = {LayerProperties::slab(0.0125, 0.25, 900, 1000), equivalentSlab(0.14, parts),
                      LayerProperties::slab(0.009, 0.13, 650, 1700),
                      LayerProperties::slab(0.05, 0.040, 160, 2100)};
    element.bridged.push_back({1, parts});
  }
};

ElementResult computed(const WallRequest& request, const ElementDescription& element) {
  const ElementOutcome outcome = computeElement(request, element);
  if (const auto* problem = std::get_if<ElementProblem>(&outcome)) {
    ADD_FAILURE() << "refused, problem kind " << static_cast<int>(problem->kind);
    return {};
  }
  return std::get<ElementResult>(outcome);
}

void expectNear(const Complex& expected, const Complex& actual, double tolerance,
                const std::string& what) {
  EXPECT_NEAR(expected.getRealPart(), actual.getRealPart(), tolerance) << what;
  EXPECT_NEAR(expected.getImaginaryPart(), actual.getImaginaryPart(), tolerance) << what;
}

// By hand (docs/u-value.md): layer resistances 0.05, 0.14/0.13 = 1.076923 (stud),
// 0.14/0.035 = 4 (wool), 0.009/0.13 = 0.069231, 0.05/0.04 = 1.25. Paths R_T 2.616154 and
// 5.539231; R'_T = 1/(0.15/2.616154 + 0.85/5.539231) = 4.744126; lambda'' = 0.15 x 0.13 +
// 0.85 x 0.035 = 0.04925, R''_T = 0.17 + 0.05 + 0.14/0.04925 + 0.069231 + 1.25 = 4.381870;
// R_T = 4.562998, U = 0.219154, e = 0.039695.
TEST(CombinedMethod, TimberFrameWallAsComputedByHand) {
  const TimberFrame wall;
  const ElementResult result = computed(wall.request, wall.element);
  const double studPath = 0.13 + 0.05 + 0.14 / 0.13 + 0.009 / 0.13 + 1.25 + 0.04;
  const double woolPath = 0.13 + 0.05 + 4.0 + 0.009 / 0.13 + 1.25 + 0.04;
  ASSERT_EQ(2u, result.paths.size());
  EXPECT_NEAR(studPath, result.paths[0].thermalResistance, 1e-12);
  EXPECT_NEAR(woolPath, result.paths[1].thermalResistance, 1e-12);
  EXPECT_NEAR(4.744126, result.upperResistance, 5e-7);
  EXPECT_NEAR(4.381870, result.lowerResistance, 5e-7);
  EXPECT_NEAR(4.562998, result.wall.thermalResistance, 5e-7);
  EXPECT_NEAR(0.219154, result.wall.uValue, 5e-7);
  EXPECT_NEAR(0.039695, result.relativeError, 5e-7);
  EXPECT_FALSE(result.beyondMethod);
  EXPECT_EQ(result.wall.uValue, result.correctedU);
}

// The paths' heat flows add: the element's Y11, Y22 and Y12 are the area-weighted sums of the
// paths' own, kappa follows from the sums, f = |Y12| R'_T.
TEST(CombinedMethod, PeriodicCharacteristicsAreThePathsSummedByArea) {
  for (const ElementPosition position : {ElementPosition::External, ElementPosition::Internal}) {
    TimberFrame wall;
    wall.request.position = position;
    const ElementResult result = computed(wall.request, wall.element);
    Complex y11, y22, y12;
    for (std::size_t part = 0; part < 2; ++part) {
      std::vector<LayerProperties> layers = wall.request.layers;
      const LayerPart& p = wall.element.bridged[0].parts[part];
      layers[1] = LayerProperties::slab(0.14, p.conductivity, p.density, p.specificHeat);
      PeriodicResponse path;
      ASSERT_TRUE(computePeriodicResponse(layers.data(), layers.size(), wall.request.boundary(),
                                          wall.request.period, path));
      y11 = y11 + p.fraction * path.internalAdmittance;
      y22 = y22 + p.fraction * path.externalAdmittance;
      y12 = y12 + p.fraction * path.periodicThermalTransmittance;
    }
    const std::string what = position == ElementPosition::External ? "external" : "internal";
    expectNear(y11, result.wall.internalAdmittance, 1e-12, what + " Y11");
    expectNear(y22, result.wall.externalAdmittance, 1e-12, what + " Y22");
    expectNear(y12, result.wall.periodicThermalTransmittance, 1e-14, what + " Y12");
    // In a partition the reported admittances already hold the 1/Z12 = -Y12 of the far face.
    const Complex open11 = position == ElementPosition::Internal ? y11 + y12 : y11;
    const Complex open22 = position == ElementPosition::Internal ? y22 + y12 : y22;
    const double factor = wall.request.period / kTwoPi;
    EXPECT_NEAR(factor * (y12 - open11).getModulus(), result.wall.internalArealHeatCapacity, 1e-6)
        << what;
    EXPECT_NEAR(factor * (y12 - open22).getModulus(), result.wall.externalArealHeatCapacity, 1e-6)
        << what;
    EXPECT_NEAR(y12.getModulus() * result.upperResistance, result.wall.decrementFactor, 1e-14)
        << what;
  }
}

// A layer split into parts of one material is the homogeneous layer: the same characteristics
// within rounding, by the summed admittances and the matrix rebuilt from them.
TEST(CombinedMethod, PartsOfOneMaterialGiveTheHomogeneousLayer) {
  const LayerProperties brick = LayerProperties::slab(0.24, 0.7, 1600, 1000);
  WallRequest request;
  request.layers = {LayerProperties::slab(0.015, 0.7, 1400, 1000), brick};
  ElementDescription element;
  element.bridged.push_back({1, {{0.7, 1600, 1000, 0.3}, {0.7, 1600, 1000, 0.7}}});
  const ElementResult bridged = computed(request, element);
  const WallResult plain = std::get<WallResult>(compute(request));
  EXPECT_NEAR(plain.uValue, bridged.wall.uValue, 1e-15);
  EXPECT_NEAR(plain.decrementFactor, bridged.wall.decrementFactor, 1e-13);
  EXPECT_NEAR(plain.internalArealHeatCapacity, bridged.wall.internalArealHeatCapacity, 1e-8);
  EXPECT_NEAR(plain.externalArealHeatCapacity, bridged.wall.externalArealHeatCapacity, 1e-8);
  expectNear(plain.z11, bridged.wall.z11, 1e-12, "Z11");
  expectNear(plain.z12, bridged.wall.z12, 1e-12, "Z12");
  expectNear(plain.z21, bridged.wall.z21, 1e-12, "Z21");
  expectNear(plain.z22, bridged.wall.z22, 1e-12, "Z22");
  EXPECT_NEAR(plain.timeLag, bridged.wall.timeLag, 1e-9);
  EXPECT_EQ(plain.daily.method, bridged.wall.daily.method);
  EXPECT_NEAR(plain.daily.capacity, bridged.wall.daily.capacity, 1e-8);
  EXPECT_EQ(0.0, bridged.relativeError);
}

// With nothing beyond plain layers the element is compute()'s wall, bit for bit.
TEST(CombinedMethod, EmptyDescriptionIsThePlainWallBitForBit) {
  const TimberFrame timber;
  const WallResult plain = std::get<WallResult>(compute(timber.request));
  const ElementResult element = computed(timber.request, ElementDescription{});
  EXPECT_EQ(plain.uValue, element.wall.uValue);
  EXPECT_EQ(plain.thermalResistance, element.upperResistance);
  EXPECT_EQ(plain.thermalResistance, element.lowerResistance);
  EXPECT_EQ(plain.decrementFactor, element.wall.decrementFactor);
  EXPECT_EQ(plain.internalArealHeatCapacity, element.wall.internalArealHeatCapacity);
  EXPECT_EQ(plain.z12.getImaginaryPart(), element.wall.z12.getImaginaryPart());
  EXPECT_EQ(plain.daily.capacity, element.wall.daily.capacity);
  EXPECT_EQ(1u, element.paths.size());
}

// Two bridged layers: independent patterns give every combination with the product of the
// fractions; aligned ones pair part k with part k.
TEST(CombinedMethod, PathsOfIndependentAndAlignedPatterns) {
  struct Row {
    bool aligned;
    std::vector<double> fractions;  // of the paths, in order
    double upper;                   // R'_T by hand [m2.K/W]
  };
  // Layers: 0.1 m of (20 % lambda 0.1, 80 % lambda 0.04), then 0.05 m of (20 % lambda 0.1,
  // 80 % lambda 0.025); Rsi + Rse = 0.17. Path resistances: timber-timber 0.17 + 1 + 0.5 =
  // 1.67, timber-wool 0.17 + 1 + 2 = 3.17, wool-timber 0.17 + 2.5 + 0.5 = 3.17, wool-wool
  // 0.17 + 2.5 + 2 = 4.67.
  const Row rows[] = {
      {false,
       {0.04, 0.16, 0.16, 0.64},
       1.0 / (0.04 / 1.67 + 0.16 / 3.17 + 0.16 / 3.17 + 0.64 / 4.67)},
      {true, {0.2, 0.8}, 1.0 / (0.2 / 1.67 + 0.8 / 4.67)},
  };
  for (const Row& row : rows) {
    WallRequest request;
    const std::vector<LayerPart> first = {{0.1, 500, 1600, 0.2}, {0.04, 30, 1000, 0.8}};
    const std::vector<LayerPart> second = {{0.1, 500, 1600, 0.2}, {0.025, 30, 1000, 0.8}};
    request.layers = {equivalentSlab(0.1, first), equivalentSlab(0.05, second)};
    ElementDescription element;
    element.bridged = {{0, first}, {1, second}};
    element.alignedPatterns = row.aligned;
    const ElementResult result = computed(request, element);
    ASSERT_EQ(row.fractions.size(), result.paths.size()) << "aligned " << row.aligned;
    for (std::size_t i = 0; i < row.fractions.size(); ++i) {
      EXPECT_NEAR(row.fractions[i], result.paths[i].fraction, 1e-15)
          << "aligned " << row.aligned << " path " << i;
    }
    EXPECT_NEAR(row.upper, result.upperResistance, 1e-12) << "aligned " << row.aligned;
    const double lower = 0.17 + 0.1 / 0.052 + 0.05 / 0.04;
    EXPECT_NEAR(lower, result.lowerResistance, 1e-12) << "aligned " << row.aligned;
  }
}

// ISO 6946:2017 Table 8, every tabulated thickness [mm] and direction (up, horizontal, down).
TEST(AirLayer, TableValuesAtTheTabulatedThicknesses) {
  struct Row {
    double millimetres, upward, horizontal, downward;
  };
  const Row rows[] = {{5, 0.11, 0.11, 0.11},   {7, 0.13, 0.13, 0.13},  {10, 0.15, 0.15, 0.15},
                      {15, 0.16, 0.17, 0.17},  {25, 0.16, 0.18, 0.19}, {50, 0.16, 0.18, 0.21},
                      {100, 0.16, 0.18, 0.22}, {300, 0.16, 0.18, 0.23}};
  for (const Row& row : rows) {
    const double d = row.millimetres / 1000.0;
    const std::pair<HeatFlowDirection, double> columns[] = {
        {HeatFlowDirection::Upward, row.upward},
        {HeatFlowDirection::Horizontal, row.horizontal},
        {HeatFlowDirection::Downward, row.downward}};
    for (const auto& [direction, expected] : columns) {
      const std::string what =
          std::to_string(row.millimetres) + " mm, direction " + std::to_string(int(direction));
      EXPECT_NEAR(expected, tabulatedAirLayerResistance(d, direction), 1e-15) << what;
      // The table is Annex D's formula for emissivities of 0.9, rounded to two decimals.
      EXPECT_NEAR(expected, airLayerResistance(d, direction, 0.9, 0.9), 0.0051) << what;
    }
  }
}

TEST(AirLayer, BetweenTheRowsLinearAndLowEmissivityByTheFormula) {
  struct Row {
    double thickness;
    HeatFlowDirection direction;
    double expected;
  };
  const Row rows[] = {{0.020, HeatFlowDirection::Horizontal, 0.175},
                      {0.075, HeatFlowDirection::Downward, 0.215},
                      {0.0025, HeatFlowDirection::Upward, 0.055},
                      {0.2, HeatFlowDirection::Upward, 0.16}};
  for (const Row& row : rows) {
    EXPECT_NEAR(row.expected, tabulatedAirLayerResistance(row.thickness, row.direction), 1e-15)
        << row.thickness << " m";
  }
  // 25 mm, horizontal, eps 0.9 and 0.05: E = 1/(1/0.9 + 1/0.05 - 1) = 0.049724,
  // h_r = 0.253591, h_a = max(1.25, 1.0) = 1.25; R_g = 1/1.503591 = 0.665074.
  EXPECT_NEAR(0.665074, airLayerResistance(0.025, HeatFlowDirection::Horizontal, 0.9, 0.05), 5e-7);
  // 5 mm: conduction 0.025/0.005 = 5 wins over 1.25.
  EXPECT_NEAR(1.0 / (5.0 + 5.1 / (1.0 / 0.9 + 1.0 / 0.9 - 1.0)),
              airLayerResistance(0.005, HeatFlowDirection::Horizontal, 0.9, 0.9), 1e-15);
}

// 6.9.4: the well ventilated layer and everything outside it go, Rse becomes Rsi; 6.9.3 blends
// the two by the openings.
TEST(AirLayer, VentilationRules) {
  WallRequest request;
  request.layers = {LayerProperties::slab(0.1, 0.04, 30, 1000),
                    LayerProperties::pureResistance(0.18),
                    LayerProperties::slab(0.02, 0.13, 500, 1600)};
  const double unventilated = 0.13 + 2.5 + 0.18 + 0.02 / 0.13 + 0.04;
  const double well = 0.13 + 2.5 + 0.13;
  struct Row {
    AirLayerVentilation ventilation;
    double openings;
    double expected;
  };
  const Row rows[] = {{AirLayerVentilation::Well, 0.0, well},
                      {AirLayerVentilation::Slightly, 1000.0, 0.5 * (unventilated + well)},
                      {AirLayerVentilation::Slightly, 500.0, unventilated},
                      {AirLayerVentilation::Slightly, 1300.0, 0.2 * unventilated + 0.8 * well}};
  for (const Row& row : rows) {
    ElementDescription element;
    element.ventilated = VentilatedAirLayer{1, row.ventilation, row.openings};
    const ElementResult result = computed(request, element);
    EXPECT_NEAR(row.expected, result.wall.thermalResistance, 1e-12) << row.openings;
    EXPECT_NEAR(1.0 / row.expected, result.wall.uValue, 1e-12) << row.openings;
  }
}

// Annex F: Delta U_g = Delta U'' (R_1/R_T)^2, Delta U_f = alpha lambda_f n_f A_f / d_0 (R_1/R_T)^2.
TEST(Corrections, AirVoidsAndFasteners) {
  WallRequest request;
  request.layers = {LayerProperties::slab(0.2, 1.0, 2000, 1000),
                    LayerProperties::slab(0.1, 0.04, 30, 1000)};
  const double total = 0.13 + 0.2 + 2.5 + 0.04;
  const double ratio = 2.5 / total;
  const double area = 3.141592653589793 * 0.0025 * 0.0025;  // 5 mm diameter
  struct Row {
    int level;
    double penetration;  // d_1 [m], 0 for right through
    double expected;
  };
  const Row rows[] = {
      {0, 0.0, 0.8 * 50.0 * 4.0 * area / 0.1 * ratio * ratio},
      {1, 0.0, 0.01 * ratio * ratio + 0.8 * 50.0 * 4.0 * area / 0.1 * ratio * ratio},
      {2, 0.05, 0.04 * ratio * ratio + 0.4 * 50.0 * 4.0 * area / 0.1 * ratio * ratio},
  };
  for (const Row& row : rows) {
    ElementDescription element;
    element.airVoids = AirVoidCorrection{row.level, 1};
    FastenerCorrection fasteners{1, 4.0, area, 50.0, std::nullopt};
    if (row.penetration > 0.0) fasteners.penetration = row.penetration;
    element.fasteners = fasteners;
    const ElementResult result = computed(request, element);
    EXPECT_NEAR(row.expected, result.deltaU, 1e-15) << "level " << row.level;
    EXPECT_NEAR(1.0 / total + row.expected, result.correctedU, 1e-15) << "level " << row.level;
    EXPECT_EQ(row.expected < 0.03 / total, result.correctionNegligible) << "level " << row.level;
  }
}

// Metal through insulation: R'_T / R''_T far above 1.5, flagged as outside the method.
TEST(CombinedMethod, FlagsElementsBeyondTheMethod) {
  WallRequest request;
  const std::vector<LayerPart> parts = {{50.0, 7800, 450, 0.01}, {0.035, 30, 1030, 0.99}};
  request.layers = {equivalentSlab(0.1, parts)};
  ElementDescription element;
  element.bridged.push_back({0, parts});
  const ElementResult result = computed(request, element);
  EXPECT_TRUE(result.beyondMethod);
  EXPECT_GT(result.relativeError, 0.2);
}

TEST(ElementCheck, RefusesWhatTheMethodCannotTake) {
  const auto timber = [](auto change) {
    TimberFrame wall;
    change(wall);
    return wall;
  };
  struct Row {
    const char* what;
    TimberFrame wall;
    ElementProblemKind kind;
    std::size_t part;
  };
  const Row rows[] = {
      {"fractions sum to 0.95",
       timber([](TimberFrame& w) { w.element.bridged[0].parts[1].fraction = 0.80; }),
       ElementProblemKind::FractionSum, kWholeWall},
      {"zero fraction", timber([](TimberFrame& w) {
         w.element.bridged[0].parts[0].fraction = 0.0;
         w.element.bridged[0].parts[1].fraction = 1.0;
       }),
       ElementProblemKind::FractionNotPositive, 0},
      {"negative conductivity",
       timber([](TimberFrame& w) { w.element.bridged[0].parts[1].conductivity = -0.035; }),
       ElementProblemKind::PartProperty, 1},
      {"one part", timber([](TimberFrame& w) { w.element.bridged[0].parts.pop_back(); }),
       ElementProblemKind::TooFewParts, kWholeWall},
      {"bridged air layer",
       timber([](TimberFrame& w) { w.request.layers[1] = LayerProperties::pureResistance(0.2); }),
       ElementProblemKind::NotASlab, kWholeWall},
      {"aligned with one bridged layer but mismatched", timber([](TimberFrame& w) {
         w.element.alignedPatterns = true;
         w.element.bridged.push_back({2, {{0.13, 500, 1600, 0.5}, {0.04, 30, 1000, 0.5}}});
       }),
       ElementProblemKind::AlignedMismatch, kWholeWall},
      {"void level 3", timber([](TimberFrame& w) {
         w.element.airVoids = AirVoidCorrection{3, 1};
       }),
       ElementProblemKind::VoidLevel, kWholeWall},
      {"fastener deeper than its layer", timber([](TimberFrame& w) {
         w.element.fasteners = FastenerCorrection{3, 4, 1e-5, 50, 0.06};
       }),
       ElementProblemKind::Penetration, kWholeWall},
      {"fasteners with no conductivity", timber([](TimberFrame& w) {
         w.element.fasteners = FastenerCorrection{3, 4, 1e-5, 0.0, std::nullopt};
       }),
       ElementProblemKind::FastenerValue, kWholeWall},
      {"ventilated slab", timber([](TimberFrame& w) {
         w.element.ventilated = VentilatedAirLayer{2, AirLayerVentilation::Well, 0};
       }),
       ElementProblemKind::NotAnAirLayer, kWholeWall},
      {"slightly ventilated without openings", timber([](TimberFrame& w) {
         w.request.layers[2] = LayerProperties::pureResistance(0.18);
         w.element.ventilated = VentilatedAirLayer{2, AirLayerVentilation::Slightly, 0};
       }),
       ElementProblemKind::OpeningArea, kWholeWall},
  };
  for (const Row& row : rows) {
    const auto problem = check(row.wall.request, row.wall.element);
    ASSERT_TRUE(problem.has_value()) << row.what;
    EXPECT_EQ(row.kind, problem->kind) << row.what;
    EXPECT_EQ(row.part, problem->part) << row.what;
  }
  EXPECT_EQ(ElementProblemKind::AirLayerThickness, checkAirLayerThickness(0.31, 2)->kind);
  EXPECT_FALSE(checkAirLayerThickness(0.3, 2).has_value());
  EXPECT_EQ(ElementProblemKind::Emissivity, checkEmissivity(1.2, 2)->kind);
  // Eleven layers of two parts each: 2048 paths, more than kMaxPaths.
  WallRequest request;
  ElementDescription element;
  for (std::size_t i = 0; i < 11; ++i) {
    const std::vector<LayerPart> parts = {{0.13, 500, 1600, 0.5}, {0.04, 30, 1000, 0.5}};
    request.layers.push_back(equivalentSlab(0.01, parts));
    element.bridged.push_back({i, parts});
  }
  EXPECT_EQ(ElementProblemKind::TooManyPaths, check(request, element)->kind);
  element.alignedPatterns = true;
  EXPECT_FALSE(check(request, element).has_value());
}

}  // namespace

namespace {

// The many-wall entry point gives every element what computeElement gives it, refusals too.
TEST(ManyElements, AgreeWithOneByOne) {
  std::vector<WallRequest> requests;
  std::vector<ElementDescription> elements;
  const TimberFrame timber;
  for (int i = 0; i < 9; ++i) {
    TimberFrame wall;
    wall.request.layers[3].thickness = 0.02 + 0.01 * i;
    if (i % 3 == 1) wall.request.position = ElementPosition::Internal;
    if (i == 4) wall.element.bridged[0].parts[1].fraction = 0.5;  // refused: sum 0.65
    if (i == 5) {
      // A path that overflows: 60 m of concrete.
      wall.request.layers[3] = LayerProperties::slab(60.0, 1.8, 2400, 1000);
    }
    requests.push_back(wall.request);
    elements.push_back(wall.element);
  }
  std::vector<ElementOutcome> outcomes(requests.size());
  computeManyElements(requests.data(), elements.data(), requests.size(), outcomes.data());
  for (std::size_t i = 0; i < requests.size(); ++i) {
    const ElementOutcome single = computeElement(requests[i], elements[i]);
    ASSERT_EQ(single.index(), outcomes[i].index()) << "element " << i;
    if (const auto* problem = std::get_if<ElementProblem>(&single)) {
      EXPECT_EQ(problem->kind, std::get<ElementProblem>(outcomes[i]).kind) << "element " << i;
      continue;
    }
    const ElementResult& one = std::get<ElementResult>(single);
    const ElementResult& many = std::get<ElementResult>(outcomes[i]);
    EXPECT_EQ(one.upperResistance, many.upperResistance) << "element " << i;
    EXPECT_EQ(one.lowerResistance, many.lowerResistance) << "element " << i;
    const double y12 = one.wall.periodicThermalTransmittance.getModulus();
    EXPECT_NEAR(y12, many.wall.periodicThermalTransmittance.getModulus(), 1e-12 * y12)
        << "element " << i;
    EXPECT_NEAR(one.wall.internalArealHeatCapacity, many.wall.internalArealHeatCapacity,
                1e-11 * one.wall.internalArealHeatCapacity)
        << "element " << i;
    EXPECT_NEAR(one.wall.timeLag, many.wall.timeLag, 1e-10) << "element " << i;
  }
  EXPECT_EQ(ElementProblemKind::Overflow, std::get<ElementProblem>(outcomes[5]).kind);
}

}  // namespace
