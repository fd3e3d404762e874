#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "brusk/engine/quantities.h"
#include "program_fixture.h"

namespace BruskTest {
namespace {

using Json = nlohmann::json;

const std::string kJunctions = std::string(BRUSK_SOURCE_DIR) + "/examples/junctions/";

class BridgeProgram : public ProgramFixture {};

TEST_F(BridgeProgram, JsonHoldsTheDocumentedKeys) {
  const ProgramRun run = this->run("bridge --format json '" + kJunctions + "corner.toml'");
  ASSERT_EQ(run.status, 0) << run.err;
  const Json result = Json::parse(run.out);
  for (const char* key : {"name", "heat_flow", "coupling_coefficient", "coupling_coefficients",
                          "psi", "minimum_surface_temperature", "f_rsi", "probes", "grid"}) {
    EXPECT_TRUE(result.contains(key)) << key;
  }
  EXPECT_NEAR(
      result["heat_flow"]["indoor"].get<double>() + result["heat_flow"]["outdoor"].get<double>(),
      0.0, 1e-9);
  EXPECT_DOUBLE_EQ(result["coupling_coefficient"].get<double>(),
                   result["coupling_coefficients"]["indoor|outdoor"].get<double>());
  EXPECT_EQ(result["minimum_surface_temperature"]["at"].size(), 2u);
  EXPECT_TRUE(result["grid"]["cells"].is_number());
}

TEST_F(BridgeProgram, SeveralFilesGiveAnArrayAndTheTableTakesLabelsFromTheDescription) {
  const ProgramRun json = this->run("bridge --format json '" + kJunctions + "corner.toml' '" +
                                    kJunctions + "floor-slab.toml'");
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(Json::parse(json.out).size(), 2u);
  const ProgramRun table = this->run("bridge '" + kJunctions + "corner.toml'");
  ASSERT_EQ(table.status, 0) << table.err;
  for (const char* key : {"psi", "f_rsi", "heat_flow"}) {
    const auto& q = Brusk::Engine::quantity(Brusk::Engine::QuantityScope::Bridge, key);
    EXPECT_NE(table.out.find(q.tableLabel()), std::string::npos) << q.tableLabel();
  }
}

struct Refusal {
  const char* name;
  std::string arguments;
  const char* expected;
};

class BridgeRefusals : public ProgramFixture, public ::testing::WithParamInterface<Refusal> {};

TEST_P(BridgeRefusals, ExitTwoWithNothingOnStandardOutput) {
  // Complete but for one zero-height region on line 3.
  write("bad.toml",
        "[[regions]]\nx = [0, 1]\ny = [0, 0]\nconductivity = 1\n"
        "[environments.indoor]\ntemperature = 20\nsurface_resistance = 0.13\n"
        "[environments.outdoor]\ntemperature = 0\nsurface_resistance = 0.04\n"
        "[[boundaries]]\nenvironment = \"indoor\"\nfrom = [0, 0]\nto = [1, 0]\n"
        "[[boundaries]]\nenvironment = \"outdoor\"\nfrom = [0, 1]\nto = [1, 1]\n");
  write("j.toml", "[junction]\ntype = \"corner\"\nwalls = [\"w.toml\"]\n");
  write("w.toml", "[[layers]]\nmaterial = \"concrete-reinforced\"\nthickness = 0.2\n");
  const ProgramRun run = this->run(GetParam().arguments);
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(run.out.empty()) << run.out;
  EXPECT_NE(run.err.find(GetParam().expected), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BridgeRefusals,
    ::testing::Values(Refusal{"BadRegion", "bridge bad.toml", "bad.toml:3:"},
                      Refusal{"OutputOverJunction", "bridge j.toml -o j.toml", "-o: "},
                      Refusal{"OutputOverWallFile", "bridge j.toml -o w.toml", "-o: "},
                      Refusal{"Missing", "bridge nowhere.toml", "nowhere.toml"},
                      // A report takes junction files beside walls, with the same words.
                      Refusal{"ReportBadRegion", "report bad.toml -o out.html", "bad.toml:3:"},
                      Refusal{"ReportOverWallFile", "report j.toml -o w.toml", "-o: "}),
    [](const ::testing::TestParamInfo<Refusal>& param) { return std::string(param.param.name); });

TEST_F(BridgeProgram, GeometryWritesADrawnSectionThatComputesAlike) {
  write("w.toml",
        "[[layers]]\nmaterial = \"concrete-reinforced\"\nthickness = 0.2\n"
        "[[layers]]\nthickness = 0.1\nconductivity = 0.04\ndensity = 20\n"
        "specific_heat = 1450\n");
  write("j.toml", "[junction]\ntype = \"corner\"\nwalls = [\"w.toml\"]\n");
  const ProgramRun written = this->run("bridge j.toml --geometry -o drawn.toml");
  ASSERT_EQ(written.status, 0) << written.err;
  const ProgramRun generated = this->run("bridge j.toml --format json");
  const ProgramRun drawn = this->run("bridge drawn.toml --format json");
  ASSERT_EQ(drawn.status, 0) << drawn.err;
  EXPECT_DOUBLE_EQ(Json::parse(generated.out)["psi"].get<double>(),
                   Json::parse(drawn.out)["psi"].get<double>());
}

TEST_F(BridgeProgram, ReportDrawsJunctionsBesideWalls) {
  const std::string wall = std::string(BRUSK_SOURCE_DIR) + "/examples/2-concrete-insulated.toml";
  const ProgramRun run = this->run("report '" + kJunctions + "corner.toml' '" + wall + "' '" +
                                   kJunctions + "t-junction.toml' -o out.html");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "wrote out.html (1 wall, 2 junctions)\n");
  const std::string page = read("out.html");
  for (const char* id :
       {"id=\"junction-0-field\"", "id=\"junction-1-section\"", "id=\"results-table\""}) {
    EXPECT_NE(page.find(id), std::string::npos) << id;
  }
  // The same psi as brusk bridge prints, to the table's decimals.
  const Json corner =
      Json::parse(this->run("bridge --format json '" + kJunctions + "corner.toml'").out);
  char psi[32];
  std::snprintf(psi, sizeof psi, "%.4f", corner["psi"].get<double>());
  EXPECT_NE(page.find(std::string("<td class=\"value\">") + psi + "</td>"), std::string::npos);
}

}  // namespace
}  // namespace BruskTest
