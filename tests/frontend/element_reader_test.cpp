// Layers of parts, air layers by their geometry and corrections in wall files: what the one wall
// reader makes of them in both formats, and the message of every mistake (file, line, layer,
// part, physical reason).
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>

#include "brusk/frontend/bridged_wall.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/wall_parser.h"
#include "test_walls.h"

namespace {

using Brusk::Frontend::Wall;
using BruskTest::jsonWall;
using BruskTest::tomlWall;

using BruskTest::errorOf;

const std::string kBoard = "[[layers]]\nmaterial = \"board-gypsum\"\nthickness = 0.0125\n";
// Lines 4 to 11: a stud layer whose second part's fraction is left to each case (line 12).
const std::string kStuds =
    "[[layers]]\nname = \"Studs\"\nthickness = 0.14\n[[layers.parts]]\n"
    "material = \"timber-softwood\"\nfraction = 0.15\n[[layers.parts]]\n"
    "material = \"insulation-mineral-wool\"\n";

TEST(ElementReader, LayerOfPartsInBothFormats) {
  const Wall toml = tomlWall(kBoard + kStuds + "conductivity = 0.035\nfraction = 0.85\n");
  const Wall json = jsonWall(
      R"({"layers": [{"material": "board-gypsum", "thickness": 0.0125},
          {"name": "Studs", "thickness": 0.14, "parts": [
            {"material": "timber-softwood", "fraction": 0.15},
            {"material": "insulation-mineral-wool", "conductivity": 0.035, "fraction": 0.85}]}]})");
  for (const Wall* wall : {&toml, &json}) {
    ASSERT_TRUE(Brusk::Frontend::isElement(*wall));
    const auto& bridged = wall->element.element.bridged;
    ASSERT_EQ(1u, bridged.size());
    EXPECT_EQ(1u, bridged[0].layer);
    ASSERT_EQ(2u, bridged[0].parts.size());
    EXPECT_EQ(0.13, bridged[0].parts[0].conductivity);
    EXPECT_EQ(0.035, bridged[0].parts[1].conductivity);
    EXPECT_EQ(0.85, bridged[0].parts[1].fraction);
    // The request holds the equivalent slab of the lower limit: lambda'' = sum f lambda.
    EXPECT_NEAR(0.15 * 0.13 + 0.85 * 0.035, wall->request.layers[1].conductivity, 1e-17);
    EXPECT_EQ("timber-softwood", wall->element.partLabels[0][0].materialKey);
    EXPECT_EQ("Studs", wall->labels[1].name);
    EXPECT_EQ("insulation", wall->labels[1].family);  // the part of the largest fraction
  }
  EXPECT_EQ(Brusk::Frontend::computeWall(toml).uValue, Brusk::Frontend::computeWall(json).uValue);
}

// The timber-frame example wall gives the U-value checked by hand in docs/u-value.md.
TEST(ElementReader, TimberFrameExampleGivesTheHandValues) {
  const Wall wall = Brusk::Frontend::loadWallFile(
      BRUSK_SOURCE_DIR "/examples/bridged/timber-frame-studs.toml", BruskTest::catalogue());
  const Brusk::Engine::ElementResult result = Brusk::Frontend::computeElementWall(wall);
  EXPECT_NEAR(4.744126, result.upperResistance, 5e-7);
  EXPECT_NEAR(4.381870, result.lowerResistance, 5e-7);
  EXPECT_NEAR(0.219154, result.wall.uValue, 5e-7);
  EXPECT_NEAR(0.039695, result.relativeError, 5e-7);
}

TEST(ElementReader, AirLayersFromTheirGeometry) {
  struct Row {
    const char* what;
    std::string wall;
    double resistance;  // R of the air layer [m2.K/W]
    Brusk::Frontend::AirResistanceSource source;
  };
  using Source = Brusk::Frontend::AirResistanceSource;
  const Row rows[] = {
      {"50 mm horizontal", "[[layers]]\nair_gap = 0.05\n", 0.18, Source::Table},
      {"25 mm downward", "heat_flow = \"downward\"\n[[layers]]\nair_gap = 0.025\n", 0.19,
       Source::Table},
      {"20 mm upward, between rows", "heat_flow = \"upward\"\n[[layers]]\nair_gap = 0.02\n", 0.16,
       Source::Table},
      {"low emissivity", "[[layers]]\nair_gap = 0.025\nemissivities = [0.9, 0.05]\n",
       1.0 / (1.25 + 5.1 / (1.0 / 0.9 + 1.0 / 0.05 - 1.0)), Source::Emissivities},
      {"resistance given wins, even past the table",
       "[[layers]]\nair_gap = 0.5\nthermal_resistance = 0.3\n", 0.3, Source::Given},
  };
  for (const Row& row : rows) {
    const Wall wall = tomlWall(row.wall + kBoard);
    ASSERT_EQ(1u, wall.element.airGaps.size()) << row.what;
    EXPECT_NEAR(row.resistance, wall.request.layers[0].resistance, 1e-15) << row.what;
    EXPECT_EQ(row.source, wall.element.airGaps[0].source) << row.what;
    EXPECT_FALSE(Brusk::Frontend::isElement(wall)) << row.what;
    // The gap's thickness counts in the wall's, though its pure resistance has none.
    EXPECT_NEAR(wall.element.airGaps[0].thickness + 0.0125,
                Brusk::Frontend::computeWall(wall).thickness, 1e-15)
        << row.what;
  }
}

TEST(ElementReader, VentilationAndCorrectionsMakeAnElement) {
  const Wall wall = tomlWall(kBoard +
                             "[[layers]]\nair_gap = 0.05\nventilation = \"slightly\"\n"
                             "openings = 1000\n[[layers]]\nmaterial = \"brick-solid\"\n"
                             "thickness = 0.1\n[corrections.air_voids]\nlevel = 1\nlayer = 1\n");
  ASSERT_TRUE(wall.element.element.ventilated.has_value());
  EXPECT_EQ(1u, wall.element.element.ventilated->layer);
  EXPECT_EQ(1000.0, wall.element.element.ventilated->openingArea);
  ASSERT_TRUE(wall.element.element.airVoids.has_value());
  EXPECT_EQ(1, wall.element.element.airVoids->level);
  EXPECT_EQ(0u, wall.element.element.airVoids->layer);
  EXPECT_TRUE(Brusk::Frontend::isElement(wall));
}

struct Mistake {
  const char* label;
  std::string text;
  std::string message;  // after "wall.toml:"
};

class ElementMistakeTest : public testing::TestWithParam<Mistake> {};

TEST_P(ElementMistakeTest, NamesTheLineTheLayerThePartAndTheReason) {
  EXPECT_EQ("wall.toml:" + GetParam().message, errorOf([] { (void)tomlWall(GetParam().text); }))
      << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ElementMistakeTest,
    testing::Values(
        Mistake{"fractions not summing to 1", kBoard + kStuds + "fraction = 0.80\n",
                "7: layer 2 (\"Studs\"): the fractions of the parts sum to 0.95, not 1: each "
                "part's fraction is its share of the element's area, and together they cover "
                "it (within 1e-9)"},
        Mistake{"zero fraction", kBoard + kStuds + "fraction = 0.0\n",
                "12: layer 2 (\"Studs\"): part 2 (\"Mineral wool (glass wool)\"): fraction must "
                "be a share of the area above 0 and at most 1, got 0; leave out a part that is "
                "not there"},
        Mistake{"part with a thickness", kBoard + kStuds + "fraction = 0.85\nthickness = 0.1\n",
                "13: layer 2 (\"Studs\"): part 2: a part fills the thickness of its layer (0.14 "
                "m) and takes no thickness of its own"},
        Mistake{"unknown part key", kBoard + kStuds + "fraction = 0.85\ncolour = \"red\"\n",
                "13: layer 2 (\"Studs\"): part 2: unknown key \"colour\"; a part takes name, "
                "material, conductivity, density, specific_heat, family, fraction, "
                "vapour_resistance_factor and sd"},
        Mistake{"material and parts",
                kBoard + "[[layers]]\nthickness = 0.1\nmaterial = "
                         "\"board-osb\"\n[[layers.parts]]\nfraction = 1\n",
                "6: layer 2: a layer of parts takes its materials from its parts, so it has no "
                "material of its own; give material or conductivity, density and "
                "specific_heat, and fraction, in each [[layers.parts]]"},
        Mistake{"air gap past the table", kBoard + "[[layers]]\nair_gap = 0.35\n",
                "5: layer 2: an air_gap of 0.35 m is thicker than the 0.3 m that ISO 6946:2017 "
                "(6.9, Table 8) gives a resistance for; a space that deep needs a heat balance, "
                "so give its thermal_resistance yourself, which is then used as it is"},
        Mistake{"misspelt ventilation",
                kBoard + "[[layers]]\nair_gap = 0.05\nventilation = \"sligthly\"\n",
                "6: layer 2: ventilation must be \"unventilated\", \"slightly\" or \"well\", got "
                "\"sligthly\"; did you mean \"slightly\"?"},
        Mistake{"slightly without openings",
                kBoard + "[[layers]]\nair_gap = 0.05\nventilation = \"slightly\"\n",
                "4: layer 2: a slightly ventilated air layer needs its openings: the area A_v "
                "of its vents in mm2 per m of length (vertical layers) or per m2 of area "
                "(horizontal ones), from 500 to 1500 (ISO 6946:2017 6.9.3)"},
        Mistake{"ventilation without air gap", kBoard + "[[layers]]\nventilation = \"well\"\n",
                "5: layer 2: ventilation belongs to an air layer: give its thickness as air_gap "
                "(in m)"},
        Mistake{"emissivity above 1",
                kBoard + "[[layers]]\nair_gap = 0.05\nemissivities = [0.9, 1.5]\n",
                "6: layer 2: an emissivity must be above 0 and at most 1, got 1.5"},
        Mistake{"two ventilated layers",
                kBoard + "[[layers]]\nair_gap = 0.05\nventilation = \"well\"\n[[layers]]\n"
                         "air_gap = 0.05\nventilation = \"well\"\n",
                "9: layer 3: only one air layer of a wall may be ventilated, and layer 2 (\"Air "
                "layer\") already is"},
        Mistake{
            "air-void level 3",
            kBoard + kStuds + "fraction = 0.85\n[corrections.air_voids]\nlevel = 3\nlayer = 2\n",
            "14: corrections.air_voids: level must be 0, 1 or 2 (ISO 6946:2017 Table F.1: 0 "
            "no air voids through the insulation, 1 gaps bridging it, 2 gaps and cavities "
            "with air circulation), got 3"},
        Mistake{"fasteners deeper than their layer",
                kBoard + kStuds +
                    "fraction = 0.85\n[corrections.fasteners]\nlayer = 2\ncount = 4\n"
                    "cross_section = 1e-5\nconductivity = 50\npenetration = 0.2\n",
                "13: corrections.fasteners: penetration must be at most the thickness of layer "
                "2 (\"Studs\") (0.14 m), got 0.2"},
        Mistake{"parts_aligned not a boolean",
                "parts_aligned = \"yes\"\n" + kBoard + kStuds + "fraction = 0.85\n",
                "1: parts_aligned must be true (part k of every layer of parts lies behind part "
                "k of the others) or false (independent patterns), got \"yes\""}),
    [](const testing::TestParamInfo<Mistake>& param) {
      std::string name;
      for (const char c : std::string(param.param.label)) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      }
      return name;
    });

// The same mistake in a JSON file gets the same words and its own line.
TEST(ElementReader, JsonMistakesNameTheirLine) {
  EXPECT_EQ(
      "wall.json:3: layer 1: part 2: a part fills the thickness of its layer (0.1 m) and takes "
      "no thickness of its own",
      errorOf([] {
        (void)jsonWall(
            "{\"layers\": [{\"thickness\": 0.1, \"parts\": [\n"
            "{\"material\": \"timber-softwood\", \"fraction\": 0.5},\n"
            "{\"material\": \"timber-softwood\", \"fraction\": 0.5, \"thickness\": 1}"
            "]}]}");
      }));
}

}  // namespace
