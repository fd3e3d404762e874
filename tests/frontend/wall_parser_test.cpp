#include "brusk/frontend/wall_parser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/output.h"
#include "test_walls.h"

namespace {

using BruskTest::jsonWall;
using BruskTest::tomlWall;

using BruskTest::errorOf;

TEST(WallParser, DefaultsFollowTheFileAndTheResistanceTable) {
  const Brusk::Frontend::Wall wall =
      tomlWall("[[layers]]\nmaterial = \"brick-solid\"\nthickness = 0.1\n", "dir/my-wall.toml");
  EXPECT_EQ("my-wall", wall.name);
  EXPECT_EQ(Brusk::Engine::ElementPosition::External, wall.request.position);
  EXPECT_EQ(Brusk::Engine::HeatFlowDirection::Horizontal, wall.request.heatFlow);
  EXPECT_FALSE(wall.request.internalSurfaceResistance.has_value());
  EXPECT_EQ(0.13, wall.request.surfaceResistances().internal);
  EXPECT_EQ(0.04, wall.request.surfaceResistances().external);
  EXPECT_EQ(86400.0, wall.request.period);
  ASSERT_EQ(1u, wall.labels.size());
  ASSERT_EQ(1u, wall.request.layers.size());
  EXPECT_EQ("Solid clay brick", wall.labels[0].name);
  EXPECT_EQ("brick-solid", wall.labels[0].materialKey);
  EXPECT_EQ("masonry", wall.labels[0].family);
  EXPECT_EQ(0.77, wall.request.layers[0].conductivity);
}

TEST(WallParser, PositionHeatFlowAndOverrides) {
  const std::string layers = "[[layers]]\nthermal_resistance = 0.2\n";
  const Brusk::Frontend::Wall partition =
      tomlWall("position = \"internal\"\nheat_flow = \"upward\"\n" + layers);
  EXPECT_EQ(Brusk::Engine::ElementPosition::Internal, partition.request.position);
  EXPECT_EQ(Brusk::Engine::HeatFlowDirection::Upward, partition.request.heatFlow);
  EXPECT_EQ(0.10, partition.request.boundary().internalSurfaceResistance);
  EXPECT_EQ(0.17, partition.request.boundary().externalSurfaceResistance);
  EXPECT_TRUE(partition.request.boundary().partition);

  const Brusk::Frontend::Wall floor = tomlWall("heat_flow = \"downward\"\nrse = 0\n" + layers);
  EXPECT_EQ(0.17, floor.request.boundary().internalSurfaceResistance);
  EXPECT_EQ(0.0, floor.request.boundary().externalSurfaceResistance);
}

TEST(WallParser, LayerKindsAndFamilies) {
  const Brusk::Frontend::Wall wall = tomlWall(R"(
[[layers]]
name = "Board"
thickness = 0.02
conductivity = 0.2
density = 900
specific_heat = 1000
[[layers]]
thermal_resistance = 0.18
[[layers]]
material = "insulation-eps"
thickness = 0.1
conductivity = 0.031
family = "other"
)");
  ASSERT_EQ(3u, wall.labels.size());
  EXPECT_EQ("other", wall.labels[0].family);
  EXPECT_TRUE(wall.request.layers[1].isPureResistance());
  EXPECT_EQ(0.18, wall.request.layers[1].resistance);
  EXPECT_EQ("air", wall.labels[1].family);
  EXPECT_EQ("Thermal resistance", wall.labels[1].name);
  EXPECT_EQ(0.031, wall.request.layers[2].conductivity);  // overrides the catalogue's 0.035
  EXPECT_EQ(20.0, wall.request.layers[2].density);
  EXPECT_EQ("other", wall.labels[2].family);
}

// The same wall in both formats gives the same wall, and the same mistake the same message
// after the "<file>:<line>: " prefix.
struct FormatPair {
  const char* label;
  const char* toml;
  const char* json;
  const char* message;  ///< without the "<file>:<line>: " prefix
  std::size_t line;     ///< of the mistake, in both files
};

class BothFormatsTest : public testing::TestWithParam<FormatPair> {};

TEST_P(BothFormatsTest, GiveTheSameMessage) {
  const std::string tomlError = errorOf([] { (void)tomlWall(GetParam().toml); });
  const std::string jsonError = errorOf([] { (void)jsonWall(GetParam().json); });
  const std::string line = std::to_string(GetParam().line);
  EXPECT_EQ("wall.json:" + line + ": " + GetParam().message, jsonError) << GetParam().label;
  EXPECT_EQ("wall.toml:" + line + ": " + GetParam().message, tomlError) << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(
    Mistakes, BothFormatsTest,
    testing::Values(
        FormatPair{"unknown material", "[[layers]]\nmaterial = \"brick-slid\"\nthickness = 0.1\n",
                   "{\"layers\": [\n{\"material\": \"brick-slid\", \"thickness\": 0.1}]}",
                   "layer 1: unknown material \"brick-slid\"; did you mean \"brick-solid\"? "
                   "(`brusk materials` lists the catalogue)",
                   2},
        FormatPair{"string thickness",
                   "[[layers]]\nmaterial = \"brick-solid\"\nthickness = \"10cm\"\n",
                   "{\"layers\": [\n{\"material\": \"brick-solid\",\n \"thickness\": \"10cm\"}]}",
                   "layer 1 (\"Solid clay brick\"): thickness must be a positive number of m, got "
                   "\"10cm\"",
                   3},
        FormatPair{"negative rsi", "rsi = -0.1\n[[layers]]\nthermal_resistance = 1\n",
                   R"({"rsi": -0.1, "layers": [{"thermal_resistance": 1}]})",
                   "rsi must be a non-negative number of m2.K/W, got -0.1", 1},
        FormatPair{"bad heat flow", "heat_flow = \"up\"\n", R"({"heat_flow": "up"})",
                   "heat_flow must be \"horizontal\", \"upward\" or \"downward\", got \"up\"", 1},
        FormatPair{"layer not a table", "layers = [1]\n", R"({"layers": [1]})",
                   "layer 1: must be a table of keys, got 1", 1},
        FormatPair{"negative conductivity, second layer",
                   "[[layers]]\nthermal_resistance = 1\n[[layers]]\nthickness = 0.1\n"
                   "conductivity = -2\ndensity = 1\nspecific_heat = 1\n",
                   "{\"layers\": [{\"thermal_resistance\": 1},\n {\"thickness\": 0.1,\n"
                   "  \"density\": 1, \"specific_heat\": 1,\n\n  \"conductivity\": -2}]}",
                   "layer 2: conductivity must be a positive number of W/(m.K), got -2", 5}),
    [](const testing::TestParamInfo<FormatPair>& row) {
      std::string name = row.param.label;
      for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

TEST(WallParser, BothFormatsGiveTheSameWall) {
  const Brusk::Frontend::Wall fromToml = tomlWall(BruskTest::kInsulatedToml);
  const Brusk::Frontend::Wall fromJson = jsonWall(R"({"name": "Insulated", "layers": [
    {"thickness": 0.2, "conductivity": 1.8, "density": 2400, "specific_heat": 1000},
    {"thickness": 0.1, "conductivity": 0.04, "density": 30, "specific_heat": 1400},
    {"thickness": 0.005, "conductivity": 1.0, "density": 1200, "specific_heat": 1500}]})");
  std::string tomlJson;
  std::string jsonJson;
  Brusk::Frontend::appendJson(fromToml.name, Brusk::Frontend::computeWall(fromToml), tomlJson,
                              Brusk::Frontend::JsonLayout::Compact);
  Brusk::Frontend::appendJson(fromJson.name, Brusk::Frontend::computeWall(fromJson), jsonJson,
                              Brusk::Frontend::JsonLayout::Compact);
  EXPECT_EQ(tomlJson, jsonJson);
}

TEST(WallParser, ExtensionsAreMatchedWithoutCase) {
  using Brusk::Frontend::WallFormat;
  EXPECT_EQ(WallFormat::Toml, Brusk::Frontend::wallFormatOf("WALL.TOML"));
  EXPECT_EQ(WallFormat::Json, Brusk::Frontend::wallFormatOf("dir.x/Wall.Json"));
  EXPECT_EQ(
      "wall.yaml: unknown wall file type \".yaml\"; name it .toml (for people) or .json "
      "(for programs)",
      errorOf([] { (void)Brusk::Frontend::wallFormatOf("wall.yaml"); }));
}

// A flood of layer objects is refused while it is parsed, long before the whole text is read
// (the time grew with the square of the count when the refusal came after parsing).
TEST(WallParser, FloodOfLayersIsRefusedAsItIsRead) {
  std::string json = R"({"layers": [)";
  for (int i = 0; i < 1000; ++i) {
    json += std::string(i > 0 ? "," : "") + R"({"thermal_resistance": 1})";
  }
  EXPECT_EQ("(accepted)", errorOf([&] { (void)jsonWall(json + "]}"); }));
  json += R"(,{"thermal_resistance": 1}]})";
  EXPECT_EQ("wall.json: more than 1000 layers, the most a wall may have",
            errorOf([&] { (void)jsonWall(json); }));
}

TEST(WallParser, ParseWallLineTakesALineAndAName) {
  const std::string line = R"({"layers": [{"thermal_resistance": 2}]})";
  EXPECT_EQ(
      "line 7",
      Brusk::Frontend::parseWallLine(line, BruskTest::catalogue(), "walls.jsonl:7", "line 7").name);
  // A line's source names the line already: messages add none of their own.
  EXPECT_EQ(
      "walls.jsonl:7: layer 1: thermal_resistance must be a positive number of m2.K/W, "
      "got -2",
      errorOf([] {
        (void)Brusk::Frontend::parseWallLine(R"({"layers": [{"thermal_resistance": -2}]})",
                                             BruskTest::catalogue(), "walls.jsonl:7", "line 7");
      }));
  EXPECT_EQ(
      "walls.jsonl:7: JSON syntax error at column 13: unexpected '}'; expected '[', '{', "
      "or a literal",
      errorOf([] {
        (void)Brusk::Frontend::parseWallLine(R"({"layers": [}])", BruskTest::catalogue(),
                                             "walls.jsonl:7", "line 7");
      }));
}

// Inputs that once broke the parser (found by fuzz/run.sh) are replayed here: each must give a
// wall or a Brusk::Frontend::Error, in both formats.
TEST(WallParser, FuzzRegressionsAreHandled) {
  const std::filesystem::path folder =
      std::filesystem::path(BRUSK_SOURCE_DIR) / "fuzz" / "regressions";
  std::size_t replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (!entry.is_regular_file() || entry.path().filename() == "README.md") continue;
    std::ifstream stream(entry.path(), std::ios::binary);
    std::stringstream content;
    content << stream.rdbuf();
    for (Brusk::Frontend::WallFormat format :
         {Brusk::Frontend::WallFormat::Toml, Brusk::Frontend::WallFormat::Json}) {
      try {
        const Brusk::Frontend::Wall wall =
            Brusk::Frontend::parseWallText(content.str(), format, BruskTest::catalogue(), "fuzz");
        (void)Brusk::Frontend::computeWall(wall);
      } catch (const Brusk::Frontend::Error&) {
      }
    }
    ++replayed;
  }
  RecordProperty("replayed", static_cast<int>(replayed));
}

}  // namespace

namespace {

// A refusal names the value it is about as a JSON pointer into the wall document, so that a
// form shows it at the field: from the reader, and from the engine's check after reading.
struct PointerCase {
  const char* label;
  const char* json;
  const char* pointer;
};

class ErrorPointerTest : public testing::TestWithParam<PointerCase> {};

TEST_P(ErrorPointerTest, NamesTheValue) {
  std::string pointer = "(accepted)";
  try {
    (void)Brusk::Frontend::computeWall(jsonWall(GetParam().json));
  } catch (const Brusk::Frontend::Error& error) {
    pointer = error.pointer();
  }
  EXPECT_EQ(pointer, GetParam().pointer) << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, ErrorPointerTest,
    testing::Values(
        PointerCase{"unknown material",
                    R"({"layers": [{"material": "brick-slid", "thickness": 0.1}]})",
                    "/layers/0/material"},
        PointerCase{
            "text thickness in layer 2",
            R"({"layers": [{"thermal_resistance": 0.2}, {"material": "brick-solid", "thickness": "x"}]})",
            "/layers/1/thickness"},
        PointerCase{
            "negative conductivity",
            R"({"layers": [{"thickness": 0.1, "conductivity": -1, "density": 1, "specific_heat": 1}]})",
            "/layers/0/conductivity"},
        PointerCase{"negative rsi", R"({"rsi": -0.1, "layers": [{"thermal_resistance": 1}]})",
                    "/rsi"},
        PointerCase{"no layers", R"({"layers": []})", "/layers"},
        PointerCase{
            "overflowing stack",
            R"({"layers": [{"thickness": 60, "conductivity": 1.8, "density": 2400, "specific_heat": 1000}]})",
            "/layers"},
        PointerCase{"unknown key", R"({"layers": [{"thermal_resistance": 1, "colour": "red"}]})",
                    "/layers/0/colour"},
        PointerCase{"missing thickness",
                    R"({"layers": [{"thermal_resistance": 0.2}, {"material": "brick-solid"}]})",
                    "/layers/1/thickness"},
        PointerCase{"missing density",
                    R"({"layers": [{"thickness": 0.1, "conductivity": 1, "specific_heat": 1}]})",
                    "/layers/0/density"},
        // A layer of parts: the part's own value, or the parts as a whole.
        PointerCase{
            "fractions of the parts not summing to 1",
            R"({"layers": [{"thermal_resistance": 0.1}, {"thickness": 0.1, "parts": [{"material": "timber-softwood", "fraction": 0.2}, {"material": "insulation-mineral-wool", "fraction": 0.7}]}]})",
            "/layers/1/parts"},
        PointerCase{
            "unknown material of a part",
            R"({"layers": [{"thickness": 0.1, "parts": [{"material": "timber-softwood", "fraction": 0.15}, {"material": "no-such-wool", "fraction": 0.85}]}]})",
            "/layers/0/parts/1/material"},
        PointerCase{
            "negative fraction of a part",
            R"({"layers": [{"thickness": 0.1, "parts": [{"material": "timber-softwood", "fraction": -0.15}, {"material": "insulation-mineral-wool", "fraction": 0.85}]}]})",
            "/layers/0/parts/0/fraction"},
        PointerCase{
            "one part only",
            R"({"layers": [{"thickness": 0.1, "parts": [{"material": "timber-softwood", "fraction": 1}]}]})",
            "/layers/0/parts"},
        PointerCase{
            "a part without conductivity",
            R"({"layers": [{"thickness": 0.1, "parts": [{"density": 500, "specific_heat": 1600, "fraction": 0.15}, {"material": "insulation-mineral-wool", "fraction": 0.85}]}]})",
            "/layers/0/parts/0"}),
    [](const testing::TestParamInfo<PointerCase>& row) {
      std::string name = row.param.label;
      for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

}  // namespace
