#include "brusk/frontend/wall_parser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "brusk/frontend/error.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/wall_result.h"
#include "test_walls.h"

namespace {

using BruskTest::jsonWall;
using BruskTest::tomlWall;

std::string errorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Brusk::Error& error) {
    return error.what();
  }
  return "(accepted)";
}

TEST(WallParser, DefaultsFollowTheFileAndTheResistanceTable) {
  const Brusk::Wall wall =
      tomlWall("[[layers]]\nmaterial = \"brick-solid\"\nthickness = 0.1\n", "dir/my-wall.toml");
  EXPECT_EQ("my-wall", wall.name);
  EXPECT_EQ(0, wall.position);
  EXPECT_EQ(0, wall.heatFlow);
  EXPECT_EQ(0.13, wall.internalSurfaceResistance);
  EXPECT_EQ(0.04, wall.externalSurfaceResistance);
  ASSERT_EQ(1u, wall.layers.size());
  EXPECT_EQ("Solid clay brick", wall.layers[0].name);
  EXPECT_EQ("brick-solid", wall.layers[0].materialKey);
  EXPECT_EQ("masonry", wall.layers[0].family);
  EXPECT_EQ(0.77, wall.layers[0].properties.conductivity);
}

TEST(WallParser, PositionHeatFlowAndOverrides) {
  const std::string layers = "[[layers]]\nthermal_resistance = 0.2\n";
  const Brusk::Wall partition =
      tomlWall("position = \"internal\"\nheat_flow = \"upward\"\n" + layers);
  EXPECT_EQ(1, partition.position);
  EXPECT_EQ(1, partition.heatFlow);
  EXPECT_EQ(0.10, partition.internalSurfaceResistance);
  EXPECT_EQ(0.17, partition.externalSurfaceResistance);
  EXPECT_TRUE(partition.boundary().partition);

  const Brusk::Wall floor = tomlWall("heat_flow = \"downward\"\nrse = 0\n" + layers);
  EXPECT_EQ(0.17, floor.internalSurfaceResistance);
  EXPECT_EQ(0.0, floor.externalSurfaceResistance);
}

TEST(WallParser, LayerKindsAndFamilies) {
  const Brusk::Wall wall = tomlWall(R"(
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
  ASSERT_EQ(3u, wall.layers.size());
  EXPECT_EQ("other", wall.layers[0].family);
  EXPECT_TRUE(wall.layers[1].properties.isPureResistance());
  EXPECT_EQ(0.18, wall.layers[1].properties.resistance);
  EXPECT_EQ("air", wall.layers[1].family);
  EXPECT_EQ(0.031, wall.layers[2].properties.conductivity);  // overrides the catalogue's 0.035
  EXPECT_EQ(20.0, wall.layers[2].properties.density);
  EXPECT_EQ("other", wall.layers[2].family);
}

// The same wall in both formats gives the same wall, and the same mistake the same message
// (TOML adds the line).
struct FormatPair {
  const char* label;
  const char* toml;
  const char* json;
  const char* message;  ///< without the "<file>:<line>: " prefix
};

class BothFormatsTest : public testing::TestWithParam<FormatPair> {};

TEST_P(BothFormatsTest, GiveTheSameMessage) {
  const std::string tomlError = errorOf([] { (void)tomlWall(GetParam().toml); });
  const std::string jsonError = errorOf([] { (void)jsonWall(GetParam().json); });
  EXPECT_EQ(std::string("wall.json: ") + GetParam().message, jsonError) << GetParam().label;
  const std::size_t prefix = tomlError.find(": ");
  ASSERT_NE(std::string::npos, prefix) << tomlError;
  EXPECT_EQ(GetParam().message, tomlError.substr(prefix + 2)) << GetParam().label;
  EXPECT_EQ(0u, tomlError.rfind("wall.toml:", 0)) << tomlError;
}

INSTANTIATE_TEST_SUITE_P(
    Mistakes, BothFormatsTest,
    testing::Values(
        FormatPair{"unknown material", "[[layers]]\nmaterial = \"brick-slid\"\nthickness = 0.1\n",
                   R"({"layers": [{"material": "brick-slid", "thickness": 0.1}]})",
                   "layer 1: unknown material \"brick-slid\"; did you mean \"brick-solid\"? "
                   "(`brusk materials` lists the catalogue)"},
        FormatPair{"string thickness",
                   "[[layers]]\nmaterial = \"brick-solid\"\nthickness = \"10cm\"\n",
                   R"({"layers": [{"material": "brick-solid", "thickness": "10cm"}]})",
                   "layer 1 (\"Solid clay brick\"): thickness must be a positive number of m, got "
                   "\"10cm\""},
        FormatPair{"negative rsi", "rsi = -0.1\n[[layers]]\nthermal_resistance = 1\n",
                   R"({"rsi": -0.1, "layers": [{"thermal_resistance": 1}]})",
                   "rsi must be a non-negative number of m2.K/W, got -0.1"},
        FormatPair{"bad heat flow", "heat_flow = \"up\"\n", R"({"heat_flow": "up"})",
                   "heat_flow must be \"horizontal\", \"upward\" or \"downward\", got \"up\""},
        FormatPair{"layer not a table", "layers = [1]\n", R"({"layers": [1]})",
                   "layer 1: must be a table of keys, got 1"}),
    [](const testing::TestParamInfo<FormatPair>& row) {
      std::string name = row.param.label;
      for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

TEST(WallParser, BothFormatsGiveTheSameWall) {
  const Brusk::Wall fromToml = tomlWall(BruskTest::kInsulatedToml);
  const Brusk::Wall fromJson = jsonWall(R"({"name": "Insulated", "layers": [
    {"thickness": 0.2, "conductivity": 1.8, "density": 2400, "specific_heat": 1000},
    {"thickness": 0.1, "conductivity": 0.04, "density": 30, "specific_heat": 1400},
    {"thickness": 0.005, "conductivity": 1.0, "density": 1200, "specific_heat": 1500}]})");
  std::string tomlJson;
  std::string jsonJson;
  Brusk::appendJson(Brusk::computeWallResult(fromToml, 86400), tomlJson,
                    Brusk::JsonLayout::Compact);
  Brusk::appendJson(Brusk::computeWallResult(fromJson, 86400), jsonJson,
                    Brusk::JsonLayout::Compact);
  EXPECT_EQ(tomlJson, jsonJson);
}

TEST(WallParser, ParseWallTakesAnObjectAndAName) {
  const nlohmann::json object = nlohmann::json::parse(R"({"layers": [{"thermal_resistance": 2}]})");
  EXPECT_EQ("line 7",
            Brusk::parseWall(object, BruskTest::catalogue(), "walls.jsonl:7", "line 7").name);
  EXPECT_EQ("walls", Brusk::parseWall(object, BruskTest::catalogue(), "walls.jsonl").name);
}

// Inputs that once broke the parser (found by fuzz/run.sh) are replayed here: each must give a
// wall or a Brusk::Error, in both formats.
TEST(WallParser, FuzzRegressionsAreHandled) {
  const std::filesystem::path folder =
      std::filesystem::path(BRUSK_SOURCE_DIR) / "fuzz" / "regressions";
  std::size_t replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (!entry.is_regular_file() || entry.path().filename() == "README.md") continue;
    std::ifstream stream(entry.path(), std::ios::binary);
    std::stringstream content;
    content << stream.rdbuf();
    for (Brusk::WallFormat format : {Brusk::WallFormat::Toml, Brusk::WallFormat::Json}) {
      try {
        const Brusk::Wall wall =
            Brusk::parseWallText(content.str(), format, BruskTest::catalogue(), "fuzz");
        (void)Brusk::computeWallResult(wall, 86400.0);
      } catch (const Brusk::Error&) {
      }
    }
    ++replayed;
  }
  RecordProperty("replayed", static_cast<int>(replayed));
}

}  // namespace
