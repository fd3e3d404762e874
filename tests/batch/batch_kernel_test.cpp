// `brusk batch` on its two kernels. The scalar one, and the vector one capped at the baseline,
// write the same rows byte for byte; the vector one agrees with them within 1e-12 of each
// field's magnitude (the tolerance and magnitudes of tests/engine/kernel_agreement_test.cpp) and
// refuses the same lines with the same messages. Bad lines inside a block keep their place,
// and fail-fast stops at the first of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "periodic_reference.h"
#include "program_fixture.h"

namespace {

using namespace Brusk::Testing;
using BruskTest::ProgramRun;

constexpr double kTolerance = 1e-12;
constexpr double kHour = 3600.0, kDay = 86400.0, kTwoPi = 6.283185307179586;

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

/// A random wall as a JSON line (spoilt on every 97th line), with what the reference needs.
struct LineWall {
  std::string line;
  std::vector<LayerProperties> layers;
  ElementBoundary boundary;
  bool spoilt = false;
};

std::vector<LineWall> randomLineWalls(const WallFamily& family) {
  std::mt19937_64 random(family.seed);
  std::uniform_real_distribution<double> surfaceResistance(0.0, 0.25);
  std::bernoulli_distribution partition(0.3);
  std::vector<LineWall> walls(static_cast<std::size_t>(family.wallCount));
  for (std::size_t i = 0; i < walls.size(); ++i) {
    LineWall& wall = walls[i];
    wall.layers = randomLayers(family, random);
    wall.boundary = {surfaceResistance(random), surfaceResistance(random), partition(random)};
    wall.line = R"({"name":"w)" + std::to_string(i) + R"(","position":")" +
                (wall.boundary.partition ? "internal" : "external") + R"(","rsi":)" +
                number(wall.boundary.internalSurfaceResistance) +
                ",\"rse\":" + number(wall.boundary.externalSurfaceResistance) + ",\"layers\":[";
    for (const LayerProperties& layer : wall.layers) {
      wall.line += wall.line.back() == '[' ? "{" : ",{";
      wall.line += layer.isPureResistance()
                       ? "\"thermal_resistance\":" + number(layer.resistance)
                       : "\"thickness\":" + number(layer.thickness) +
                             ",\"conductivity\":" + number(layer.conductivity) +
                             ",\"density\":" + number(layer.density) +
                             ",\"specific_heat\":" + number(layer.specificHeat);
      wall.line += "}";
    }
    wall.line += "]}";
    wall.spoilt = i % 97 == 50;
    if (wall.spoilt) wall.line = i % 2 == 0 ? wall.line.substr(0, 40) : "{\"layers\":[]}";
  }
  return walls;
}

/// The reference quantity a column derives from, by the column's name; none for a column that
/// involves no transcendental function and must be the same text.
const Tracked* quantityOf(const std::string& column, const Reference& r) {
  const std::pair<const char*, const Tracked*> quantities[] = {
      {"decrement_factor", &r.decrementFactor},
      {"periodic_thermal_transmittance", &r.transmittance},
      {"internal_admittance", &r.internalAdmittance},
      {"external_admittance", &r.externalAdmittance},
      {"internal_areal_heat_capacity", &r.internalCapacity},
      {"external_areal_heat_capacity", &r.externalCapacity},
      {"transfer_matrix_z11", &r.z11},
      {"transfer_matrix_z12", &r.z12},
      {"transfer_matrix_z21", &r.z21},
      {"transfer_matrix_z22", &r.z22}};
  for (const auto& [prefix, quantity] : quantities) {
    if (column.rfind(prefix, 0) == 0) return quantity;
  }
  return nullptr;
}

class VectorKernelTest : public BruskTest::ProgramFixture,
                         public testing::WithParamInterface<WallFamily> {};

TEST_P(VectorKernelTest, RowsAgreeWithTheScalarKernelsAndTheSameLinesAreRefused) {
  const WallFamily& family = GetParam();
  const std::vector<LineWall> walls = randomLineWalls(family);
  std::string input;
  for (const LineWall& wall : walls) input += wall.line + "\n";
  write("walls.jsonl", input);
  const double periodHours = family.minPeriod / kHour;
  const std::string arguments = "batch walls.jsonl --jobs 2 --period " + number(periodHours);
  const ProgramRun scalar = run(arguments + " --kernel scalar");
  const ProgramRun baseline = run(arguments, "BRUSK_MANY_WALLS_ISA=baseline");
  const ProgramRun vector = run(arguments);
  EXPECT_EQ(baseline.out, scalar.out);
  EXPECT_EQ(vector.err, scalar.err);
  EXPECT_EQ(vector.status, scalar.status);

  const std::vector<std::string> expectedRows = split(scalar.out, '\n');
  const std::vector<std::string> rows = split(vector.out, '\n');
  ASSERT_EQ(expectedRows.size(), walls.size() + 1) << scalar.err;
  ASSERT_EQ(rows.size(), walls.size() + 1) << vector.err;
  const std::vector<std::string> columns = split(rows[0], ',');
  std::size_t refused = 0;
  for (std::size_t i = 0; i < walls.size(); ++i) {
    const std::string& row = rows[i + 1];
    const std::string& expectedRow = expectedRows[i + 1];
    // A result row's error cell is empty; a refused row's holds the reason.
    if (walls[i].spoilt || expectedRow.back() != ',') {
      ++refused;
      EXPECT_EQ(row, expectedRow) << "line " << i + 1;  // the same error row
      continue;
    }
    const Reference reference =
        referenceResponse(walls[i].layers, walls[i].boundary, family.minPeriod);
    const std::vector<std::string> cells = split(row, ','), expected = split(expectedRow, ',');
    ASSERT_EQ(cells.size(), expected.size()) << row;
    for (std::size_t c = 0; c < expected.size(); ++c) {
      const std::string where = "line " + std::to_string(i + 1) + " " + columns[c];
      const Tracked* quantity = quantityOf(columns[c], reference);
      if (quantity == nullptr) {
        EXPECT_EQ(cells[c], expected[c]) << where;
        continue;
      }
      const double value = std::strtod(cells[c].c_str(), nullptr);
      const double expectedValue = std::strtod(expected[c].c_str(), nullptr);
      if (columns[c].find("time_") == std::string::npos) {
        EXPECT_LE(std::abs(value - expectedValue), kTolerance * quantity->magnitude) << where;
        continue;
      }
      // A phase moves by at most |error| / |value| of a radian, and a time wraps with the cycle.
      const double difference = std::abs(value - expectedValue);
      EXPECT_LE(
          std::min(difference, periodHours - difference),
          kTolerance * quantity->magnitude / quantity->value.getModulus() * periodHours / kTwoPi)
          << where;
    }
  }
  EXPECT_GE(refused, walls.size() / 97);  // the spoilt lines at least
}

INSTANTIATE_TEST_SUITE_P(
    RandomWalls, VectorKernelTest,
    testing::Values(
        // Building layers on the daily cycle; films and foils on a 30-day one, where Z11 - 1
        // cancels most; metres of material on an hour, refused where their matrix overflows.
        WallFamily{"building", 41u, 1500, 0.005, 0.5, kDay, kDay},
        WallFamily{"films", 43u, 1000, 1e-6, 5e-3, 30 * kDay, 30 * kDay},
        WallFamily{"thick", 44u, 1000, 0.5, 20.0, kHour, kHour}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

struct BadLinesCase {
  const char* name;
  const char* arguments;
};

void PrintTo(const BadLinesCase& badLines, std::ostream* out) { *out << badLines.name; }

class BadLinesInABlockTest : public BruskTest::ProgramFixture,
                             public testing::WithParamInterface<BadLinesCase> {};

TEST_P(BadLinesInABlockTest, KeepTheirPlaceAndFailFastStopsAtTheFirst) {
  // One block of lines holds an overflowing wall (found only by computing it), then a wall the
  // reader refuses; another block holds a syntax error.
  const std::vector<std::string> messages = {
      "walls.jsonl:120: wall \"wall-120\": the heat transfer matrix overflows double precision",
      "walls.jsonl:130: layer 1: conductivity must be a positive number of W/(m.K), got -1",
      "walls.jsonl:400: JSON syntax error"};
  std::string input;
  for (int i = 1; i <= 600; ++i) {
    const char* thickness = i == 120 ? "150" : "0.2";
    const char* conductivity = i == 130 ? "-1" : "1.8";
    input += i == 400 ? "{\"layers\":["
                      : R"({"name":"wall-)" + std::to_string(i) + R"(","layers":[{"thickness":)" +
                            thickness + R"(,"conductivity":)" + conductivity +
                            R"(,"density":2400,"specific_heat":1000}]})";
    input += '\n';
  }
  write("walls.jsonl", input);
  const bool failFast = std::string(GetParam().arguments).find("--fail-fast") != std::string::npos;
  const ProgramRun result = run(std::string("batch walls.jsonl --jobs 2 ") + GetParam().arguments);
  EXPECT_EQ(result.status, 1);
  const std::vector<std::string> rows = split(result.out, '\n');
  const std::vector<std::string> errors = split(result.err, '\n');
  ASSERT_EQ(rows.size(), failFast ? 121u : 601u) << result.err;
  ASSERT_EQ(errors.size(), failFast ? 2u : 4u) << result.err;
  EXPECT_EQ(errors.back(),
            failFast ? "stopped at the first bad line (--fail-fast)" : "3 of 600 walls failed");
  for (std::size_t i = 0; i + 1 < errors.size(); ++i) {
    EXPECT_EQ(errors[i].rfind(messages[i], 0), 0u) << errors[i];
  }
  for (std::size_t line = 1; line < rows.size(); ++line) {
    // Every row is found by its wall's name, a refused one too: the name the line gives, or the
    // name of a line whose name cannot be read.
    const std::string name = line == 400 ? "line 400" : "wall-" + std::to_string(line);
    const bool bad = line == 120 || line == 130 || line == 400;
    EXPECT_EQ(rows[line].rfind(name + (bad ? ",,,," : ","), 0), 0u) << rows[line];
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kernels, BadLinesInABlockTest,
    testing::Values(BadLinesCase{"vector", ""}, BadLinesCase{"vector_fail_fast", "--fail-fast"},
                    BadLinesCase{"scalar", "--kernel scalar"},
                    BadLinesCase{"scalar_fail_fast", "--kernel scalar --fail-fast"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

/// An overflowing wall whose message names its thickest layer, and the label it must name.
struct OverflowLabelCase {
  const char* name;
  const char* layers;  ///< the wall's "layers" list
  const char* label;   ///< how the message names the thickest layer
};

void PrintTo(const OverflowLabelCase& overflow, std::ostream* out) { *out << overflow.name; }

class OverflowLabelTest : public BruskTest::ProgramFixture,
                          public testing::WithParamInterface<OverflowLabelCase> {};

TEST_P(OverflowLabelTest, MessageNamesTheLayerOnBothKernelsAndFormats) {
  // Rows are read without layer labels; the message of a wall that fails in the engine still
  // names its layer as brusk compute does. The wall sits among good ones, in every place of a
  // short block.
  const std::string slab =
      R"({"thickness":0.2,"conductivity":1.8,"density":2400,"specific_heat":1000})";
  std::string input;
  for (int i = 1; i <= 5; ++i) {
    input += i == 3 ? std::string(R"({"name":"thick","layers":)") + GetParam().layers + "}"
                    : R"({"name":"w)" + std::to_string(i) + R"(","layers":[)" + slab + "]}";
    input += '\n';
  }
  write("walls.jsonl", input);
  for (const char* arguments : {"", "--kernel scalar", "--format jsonl", "--fail-fast"}) {
    const ProgramRun result = run(std::string("batch walls.jsonl ") + arguments);
    EXPECT_EQ(result.status, 1) << arguments;
    const std::string expected = std::string("; ") + GetParam().label + " is 150 m thick";
    EXPECT_NE(result.err.find("walls.jsonl:3: wall \"thick\": the heat transfer matrix overflows"),
              std::string::npos)
        << arguments << ": " << result.err;
    EXPECT_NE(result.err.find(expected), std::string::npos) << arguments << ": " << result.err;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Labels, OverflowLabelTest,
    testing::Values(
        OverflowLabelCase{
            "default_name",
            R"([{"thickness":0.1,"conductivity":1.8,"density":2400,"specific_heat":1000},)"
            R"({"thickness":150,"conductivity":1.8,"density":2400,"specific_heat":1000}])",
            R"(layer 2 ("Layer 2"))"},
        OverflowLabelCase{"own_name",
                          R"([{"thermal_resistance":0.1},{"name":"slab","thickness":150,)"
                          R"("conductivity":1.8,"density":2400,"specific_heat":1000}])",
                          R"(layer 2 ("slab"))"},
        OverflowLabelCase{"catalogue_name",
                          R"([{"material":"concrete-reinforced","thickness":150}])",
                          R"x(layer 1 ("Reinforced concrete (1 % steel)"))x"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
