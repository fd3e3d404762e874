// The moisture assessment of real constructions: a wall with layers of parts along each path of
// the combined method, air layers, a well-ventilated rainscreen and a vapour control layer.

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "brusk/frontend/error.h"
#include "brusk/frontend/moisture.h"
#include "test_walls.h"

namespace {

using namespace Brusk::Frontend;
using BruskTest::tomlWall;

Climate temperate() {
  std::ifstream file(BRUSK_SOURCE_DIR "/examples/climates/temperate.csv");
  std::stringstream text;
  text << file.rdbuf();
  return parseClimateCsv(text.str(), "temperate.csv");
}

using BruskTest::errorOf;

const std::string kGypsum = "[[layers]]\nmaterial = \"board-gypsum\"\nthickness = 0.0125\n";
const std::string kOuter =
    "[[layers]]\nmaterial = \"board-osb\"\nthickness = 0.009\n"
    "[[layers]]\nmaterial = \"insulation-wood-fibre\"\nthickness = 0.05\n";

/// The stud wall of the examples, and each of its two paths written as a plain wall.
const std::string kStudWall = kGypsum +
                              "[[layers]]\nthickness = 0.14\n"
                              "[[layers.parts]]\nmaterial = \"timber-softwood\"\nfraction = 0.15\n"
                              "[[layers.parts]]\nmaterial = \"insulation-mineral-wool\"\n"
                              "conductivity = 0.035\nfraction = 0.85\n" +
                              kOuter;
const std::vector<std::string> kStudPaths = {
    kGypsum + "[[layers]]\nmaterial = \"timber-softwood\"\nthickness = 0.14\n" + kOuter,
    kGypsum +
        "[[layers]]\nmaterial = \"insulation-mineral-wool\"\nconductivity = 0.035\n"
        "thickness = 0.14\n" +
        kOuter};

TEST(MoisturePaths, TheGoverningPathIsTheWorstOfThePathsAssessedOneByOne) {
  const Climate climate = temperate();
  const MoistureReport report = assessMoisture(tomlWall(kStudWall), climate, "studs.toml");
  ASSERT_TRUE(report.hasParts);
  ASSERT_EQ(2u, report.paths.size());
  std::size_t worst = 0;
  std::vector<MoistureReport> alone;
  for (std::size_t i = 0; i < kStudPaths.size(); ++i) {
    alone.push_back(assessMoisture(tomlWall(kStudPaths[i]), climate, "path.toml"));
    const Brusk::Engine::MoistureResult& own = alone.back().result;
    const Brusk::Engine::MoistureResult& path = report.paths[i].result;
    // The same stack gives the same doubles.
    EXPECT_EQ(own.maxAccumulated, path.maxAccumulated) << i;
    EXPECT_EQ(own.fRsi, path.fRsi) << i;
    EXPECT_EQ(own.driesOut, path.driesOut) << i;
    if (own.maxAccumulated > alone[worst].result.maxAccumulated) worst = i;
  }
  EXPECT_EQ(worst, report.governingPath);
  EXPECT_EQ(alone[worst].result.maxAccumulated, report.result.maxAccumulated);
  EXPECT_NEAR(0.15, report.paths[0].path.fraction, 1e-15);
  // The JSON lists both paths and names the governing one; a plain wall's has neither.
  const std::string json = formatMoistureJson({report}, climate);
  EXPECT_NE(std::string::npos, json.find("\"governing_path\": " + std::to_string(worst))) << json;
  EXPECT_NE(std::string::npos, json.find("\"paths\": [")) << json;
  const std::string plain = formatMoistureJson({alone[0]}, climate);
  EXPECT_EQ(std::string::npos, plain.find("\"paths\"")) << plain;
  EXPECT_NE(std::string::npos, formatMoistureTable({report}, climate).find("<- governing"));
}

struct StackCase {
  const char* what;
  std::string wall;
  std::vector<double> sd;     ///< the governing path's layers' s_d [m], side 1 first
  double externalResistance;  ///< Rse of the stack [m2.K/W]
};

class MoistureStackTest : public testing::TestWithParam<StackCase> {};

// Air layers have mu = 1 (still air, ISO 10456); a well-ventilated one and what lies outside it
// leave the stack, Rse becoming Rsi; a vapour control layer is a layer of s_d alone.
TEST_P(MoistureStackTest, BuildsTheStackTheStandardAssesses) {
  const Wall wall = tomlWall(GetParam().wall);
  const std::vector<MoisturePath> paths = moisturePaths(wall, "wall.toml");
  ASSERT_EQ(1u, paths.size());
  const Brusk::Engine::MoistureRequest request =
      moistureRequestOf(paths[0].wall, temperate(), "wall.toml");
  ASSERT_EQ(GetParam().sd.size(), request.sd.size());
  for (std::size_t k = 0; k < request.sd.size(); ++k) {
    EXPECT_NEAR(GetParam().sd[k], request.sd[k], 1e-12) << "layer " << k + 1;
  }
  EXPECT_EQ(GetParam().externalResistance, request.externalSurfaceResistance);
  EXPECT_NO_THROW((void)assessMoisture(wall, temperate(), "wall.toml"));
}

const std::string kBrick = "[[layers]]\nmaterial = \"brick-solid\"\nthickness = 0.1\n";
const std::string kWool = "[[layers]]\nmaterial = \"insulation-mineral-wool\"\nthickness = 0.1\n";

INSTANTIATE_TEST_SUITE_P(
    Stacks, MoistureStackTest,
    testing::Values(
        StackCase{"unventilated cavity",
                  kBrick + kWool + "[[layers]]\nair_gap = 0.05\n" + kBrick,
                  {1.0, 0.1, 0.05, 1.0},
                  0.04},
        StackCase{"slightly ventilated cavity, taken as unventilated",
                  kBrick + kWool +
                      "[[layers]]\nair_gap = 0.05\nventilation = \"slightly\"\nopenings = 1000\n" +
                      kBrick,
                  {1.0, 0.1, 0.05, 1.0},
                  0.04},
        StackCase{"well ventilated rainscreen",
                  kBrick + kWool + "[[layers]]\nair_gap = 0.05\nventilation = \"well\"\n" + kBrick,
                  {1.0, 0.1},
                  0.13},
        StackCase{"vapour control layer between two layers",
                  kBrick + "[[layers]]\nname = \"VCL\"\nsd = 100\n" + kWool,
                  {1.0, 100.0, 0.1},
                  0.04},
        StackCase{"vapour control layer outside the last layer",
                  kBrick + kWool + "[[layers]]\nsd = 2\n",
                  {1.0, 0.1, 2.0},
                  0.04}),
    [](const testing::TestParamInfo<StackCase>& row) {
      std::string name;
      for (const char* c = row.param.what; *c != 0; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      return name;
    });

TEST(MoisturePaths, AVapourControlLayerStopsTheCondensationOfAColdSideWall) {
  const Climate climate = temperate();
  const std::string open = kStudPaths[1];
  const std::string controlled =
      kGypsum + "[[layers]]\nsd = 100\n" + kStudPaths[1].substr(kGypsum.size());
  const double without = assessMoisture(tomlWall(open), climate, "w").result.maxAccumulated;
  const double with = assessMoisture(tomlWall(controlled), climate, "w").result.maxAccumulated;
  EXPECT_GT(without, 0.1);  // kg/m2: the wool behind plasterboard condenses heavily
  EXPECT_LT(with, 0.01 * without);
}

TEST(MoisturePaths, APartWithoutVapourDataIsNamedWithItsLayer) {
  const std::string wall = kGypsum +
                           "[[layers]]\nname = \"Studs\"\nthickness = 0.14\n"
                           "[[layers.parts]]\nmaterial = \"timber-softwood\"\nfraction = 0.15\n"
                           "[[layers.parts]]\nname = \"Wool\"\nconductivity = 0.035\n"
                           "density = 30\nspecific_heat = 1030\nfraction = 0.85\n" +
                           kOuter;
  EXPECT_EQ(
      "studs.toml: layer 2 (\"Studs\"): part 2 (\"Wool\"): no water-vapour property for the "
      "moisture assessment: give vapour_resistance_factor (mu) or sd (in m), or a catalogue "
      "material that has one",
      errorOf([&] { (void)assessMoisture(tomlWall(wall), temperate(), "studs.toml"); }));
  // Given on the part, it is taken.
  const std::string given = wall;
  EXPECT_EQ("(accepted)", errorOf([&] {
              std::string text = given;
              text.insert(text.find("fraction = 0.85"), "vapour_resistance_factor = 1\n");
              (void)assessMoisture(tomlWall(text), temperate(), "studs.toml");
            }));
}

}  // namespace
