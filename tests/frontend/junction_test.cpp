#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "brusk/frontend/error.h"
#include "brusk/frontend/junction.h"
#include "brusk/frontend/wall_parser.h"

namespace Brusk::Frontend {
namespace {

const std::string kExamples = std::string(BRUSK_SOURCE_DIR) + "/examples/";

/// A drawn wall 0.2 m thick between indoor and outdoor, the base of the bad-input cases.
const char* const kDrawn = R"(name = "Slab"
[[regions]]
x = [0.0, 0.2]
y = [0.0, 1.0]
conductivity = 1.0
[environments.indoor]
temperature = 20.0
surface_resistance = 0.13
[environments.outdoor]
temperature = 0.0
surface_resistance = 0.04
[[boundaries]]
environment = "indoor"
from = [0.0, 0.0]
to = [0.0, 1.0]
[[boundaries]]
environment = "outdoor"
from = [0.2, 0.0]
to = [0.2, 1.0]
)";

Junction parse(const std::string& text) {
  return parseJunctionText(text, false, Catalogue::builtIn(), "j.toml", "");
}

std::string messageOf(const std::string& text) {
  try {
    const Junction junction = parse(text);
    (void)computeJunction(junction);
  } catch (const Error& error) {
    return error.what();
  }
  return "";
}

struct BadJunction {
  const char* name;
  std::string text;
  std::vector<std::string> expected;  ///< pieces the message must hold
};

class BadJunctions : public ::testing::TestWithParam<BadJunction> {};

TEST_P(BadJunctions, NameFileLineWhatAndWhy) {
  const std::string message = messageOf(GetParam().text);
  ASSERT_FALSE(message.empty());
  for (const std::string& piece : GetParam().expected) {
    EXPECT_NE(message.find(piece), std::string::npos) << message << "\n  lacks: " << piece;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Messages, BadJunctions,
    ::testing::Values(
        BadJunction{
            "ZeroSizeRegion",
            std::string(kDrawn) + "[[regions]]\nx = [0.1, 0.1]\ny = [0, 1]\nconductivity = 1\n",
            {"j.toml:21:", "region 2", "zero or negative size"}},
        BadJunction{
            "UnknownMaterial",
            std::string(kDrawn) + "[[regions]]\nx = [0, 0.1]\ny = [0, 1]\nmaterial = \"brik\"\n",
            {"j.toml:23:", "region 2", "\"brik\" is not in the catalogue"}},
        BadJunction{
            "OverlappingBoundaries",
            std::string(kDrawn) +
                "[[boundaries]]\nenvironment = \"outdoor\"\nfrom = [0, 0.5]\nto = [0, 0.8]\n",
            {"j.toml:20:", "boundary 3", "overlaps boundary 1 (line 12)"}},
        BadJunction{
            "BoundaryInside",
            std::string(kDrawn) +
                "[[boundaries]]\nenvironment = \"outdoor\"\nfrom = [0.1, 0]\nto = [0.1, 1]\n",
            {"j.toml:20:", "boundary 3", "leaves the body's outer edge"}},
        BadJunction{"TwoBodies",
                    std::string(kDrawn) + "[[regions]]\nx = [1, 2]\ny = [0, 1]\nconductivity = 1\n",
                    {"j.toml:20:", "region 2", "more than one body"}},
        BadJunction{"EnvironmentWithoutBoundary",
                    std::string(kDrawn) +
                        "[environments.attic]\ntemperature = 5\nsurface_resistance = 0.1\n",
                    {"j.toml:20:", "environment \"attic\"", "no boundary faces"}},
        BadJunction{"EqualTemperatures",
                    [] {
                      std::string text = kDrawn;
                      text.replace(text.find("temperature = 0.0"), 17, "temperature = 20.0");
                      return text;
                    }(),
                    {"j.toml:", "no heat flows"}},
        BadJunction{"UnknownEnvironmentOfABoundary",
                    std::string(kDrawn) +
                        "[[boundaries]]\nenvironment = \"attic\"\nfrom = [0, 0]\nto = [0.2, 0]\n",
                    {"j.toml:21:", "boundary 3", "\"attic\" is not one of"}},
        BadJunction{"ProbeOutside",
                    std::string(kDrawn) + "[[probes]]\nname = \"P\"\nat = [0.5, 0.5]\n",
                    {"j.toml:20:", "probe 1 (\"P\")", "outside the body"}},
        BadJunction{"NegativeResistance",
                    [] {
                      std::string text = kDrawn;
                      text.replace(text.find("surface_resistance = 0.04"), 25,
                                   "surface_resistance = -0.04");
                      return text;
                    }(),
                    {"j.toml:11:", "environment \"outdoor\"", "at least 0"}},
        BadJunction{"TemplateWithRegions",
                    "[junction]\ntype = \"corner\"\nwalls = [\"w.toml\"]\n[[regions]]\nx = [0, 1]\n"
                    "y = [0, 1]\nconductivity = 1\n",
                    {"j.toml:4:", "template generates its own regions"}},
        BadJunction{"UnknownTemplate",
                    "[junction]\ntype = \"balcony\"\nwalls = []\n",
                    {"j.toml:2:", "type must be", "\"corner\""}},
        BadJunction{"MissingWallFile",
                    "[junction]\ntype = \"corner\"\nwalls = [\"nowhere.toml\"]\n",
                    {"j.toml:3:", "wall file: "}},
        // An inline wall is read as a wall file is, its messages at its own line.
        BadJunction{"InlineWallBadLayer",
                    "[junction]\ntype = \"corner\"\n[[junction.walls]]\nname = \"W\"\n"
                    "[[junction.walls.layers]]\nmaterial = \"concrete-reinforced\"\n"
                    "thickness = -0.2\n",
                    {"j.toml:7:", "thickness"}},
        BadJunction{"WallNeitherFileNorTable",
                    "[junction]\ntype = \"corner\"\nwalls = [3]\n",
                    {"j.toml:3:", "a wall file's name or a table of the wall file's keys"}}),
    [](const ::testing::TestParamInfo<BadJunction>& param) {
      return std::string(param.param.name);
    });

struct TemplateCase {
  const char* file;
  bool psiPositive;
};

class Templates : public ::testing::TestWithParam<TemplateCase> {};

// A generated junction written back as a drawn section reads and computes to the same numbers:
// --geometry loses nothing a user would refine.
TEST_P(Templates, GeometryRoundTripGivesTheSameResults) {
  const Catalogue catalogue = Catalogue::builtIn();
  const Junction generated =
      loadJunctionFile(kExamples + "junctions/" + GetParam().file, catalogue);
  const Junction drawn =
      parseJunctionText(junctionGeometryToml(generated), false, catalogue, "drawn.toml", "");
  const auto a = nlohmann::json::parse(junctionResultJson(generated, computeJunction(generated)));
  const auto b = nlohmann::json::parse(junctionResultJson(drawn, computeJunction(drawn)));
  EXPECT_DOUBLE_EQ(a["psi"].get<double>(), b["psi"].get<double>());
  EXPECT_DOUBLE_EQ(a["f_rsi"].get<double>(), b["f_rsi"].get<double>());
  EXPECT_EQ(a["psi"].get<double>() > 0.0, GetParam().psiPositive);
  EXPECT_GT(a["f_rsi"].get<double>(), 0.5);
  EXPECT_LT(a["f_rsi"].get<double>(), 1.0);
  EXPECT_NEAR(a["heat_flow_sum"].get<double>(), 0.0, 1e-9);
  EXPECT_LE(a["grid"]["last_change"].get<double>(), 0.001);
}

INSTANTIATE_TEST_SUITE_P(Examples, Templates,
                         ::testing::Values(TemplateCase{"corner.toml", true},
                                           TemplateCase{"t-junction.toml", true},
                                           TemplateCase{"floor-slab.toml", true},
                                           TemplateCase{"window-reveal.toml", true}));

TEST(Junction, ExternalDimensionsMakeTheCornerNegative) {
  const std::string text =
      "[junction]\ntype = \"corner\"\nwalls = [\"2-concrete-insulated.toml\"]\n"
      "dimensions = \"external\"\n";
  const Junction junction =
      parseJunctionText(text, false, Catalogue::builtIn(), "c.toml", kExamples);
  const auto result =
      nlohmann::json::parse(junctionResultJson(junction, computeJunction(junction)));
  EXPECT_LT(result["psi"].get<double>(), 0.0);
  EXPECT_EQ(result["flanking"][0]["dimensions"], "external");
}

// A program passes its walls inline (the page, a Python dict): the same junction as from files.
TEST(Junction, InlineWallsGiveWhatTheirFilesGive) {
  const Catalogue catalogue = Catalogue::builtIn();
  const std::string wall = R"({"name": "Concrete + EPS", "layers": [
      {"name": "Concrete", "thickness": 0.2, "conductivity": 1.8, "density": 2400,
       "specific_heat": 1000},
      {"name": "Insulation", "family": "insulation", "thickness": 0.1, "conductivity": 0.04,
       "density": 30, "specific_heat": 1400},
      {"name": "Render", "family": "plaster", "thickness": 0.005, "conductivity": 1.0,
       "density": 1200, "specific_heat": 1500}]})";
  const std::string slab = R"({"name": "Concrete", "layers": [{"name": "Concrete",
      "thickness": 0.2, "conductivity": 1.8, "density": 2400, "specific_heat": 1000}]})";
  const Junction inlineJunction = parseJunctionText(
      R"({"name": "Floor slab into an ETICS wall", "junction": {"type": "floor-slab",
          "walls": [)" +
          wall + ", " + slab + R"(], "slab_into_wall": 0.2}})",
      true, catalogue, "inline.json", "");
  const Junction fromFiles = loadJunctionFile(kExamples + "junctions/floor-slab.toml", catalogue);
  EXPECT_EQ(junctionResultJson(inlineJunction, computeJunction(inlineJunction)),
            junctionResultJson(fromFiles, computeJunction(fromFiles)));
  EXPECT_EQ(inlineJunction.files, std::vector<std::string>{"inline.json"});  // no file read
}

TEST(Junction, CutOffsAreAtLeastOneMetreOrThreeThicknesses) {
  const Junction junction =
      loadJunctionFile(kExamples + "junctions/corner.toml", Catalogue::builtIn());
  // The corner's legs run 1 m from the inner corner (the wall is 0.305 m thick).
  double top = 0.0;
  for (const auto& region : junction.request.regions) top = std::max(top, region.y1);
  EXPECT_DOUBLE_EQ(top, 1.0);
}

TEST(Junction, SectionsDrawPartsByAreaAndAirByItsGap) {
  const Wall wall =
      loadWallFile(kExamples + "bridged/timber-frame-studs.toml", Catalogue::builtIn());
  const SectionWall section = sectionOf(wall);
  ASSERT_EQ(section.layers.size(), wall.request.layers.size());
  for (const auto& bridged : wall.element.element.bridged) {
    double weighted = 0.0;
    for (const auto& part : bridged.parts) weighted += part.fraction * part.conductivity;
    EXPECT_DOUBLE_EQ(section.layers[bridged.layer].conductivity, weighted);
  }
  for (const auto& gap : wall.element.airGaps) {
    EXPECT_DOUBLE_EQ(section.layers[gap.layer].thickness, gap.thickness);
    EXPECT_NEAR(section.layers[gap.layer].thickness / section.layers[gap.layer].conductivity,
                gap.resistance, 1e-12);
  }
}

}  // namespace
}  // namespace Brusk::Frontend
