// brusk check run as a program: exit status 0/1/2, the JSON shape, a project file written
// here, the refusal to overwrite an input with -o, CSV cells safe from formula injection.
#include <gtest/gtest.h>

#include <string>

#include <nlohmann/json.hpp>

#include "program_fixture.h"

namespace {

using BruskTest::ProgramRun;

// U = 1 / (0.13 + 0.2/2.3 + 0.12/0.035 + 0.04) = 0.2713 W/(m2.K); surface mass 462.4 kg/m2.
const std::string kInsulated =
    "name = \"Insulated\"\norientation = \"S\"\nsite_irradiance = 300\n"
    "[[layers]]\nmaterial = \"concrete-reinforced\"\nthickness = 0.2\n"
    "[[layers]]\nname = \"EPS\"\nthickness = 0.12\nconductivity = 0.035\ndensity = 20\n"
    "specific_heat = 1450\n";
// A roof of one resistance: U = 1 / (0.10 + 7 + 0.04) = 0.1401 W/(m2.K), under 0.16.
const std::string kRoof =
    "name = \"Roof\"\nheat_flow = \"upward\"\n[[layers]]\nthermal_resistance = 7\n";

const std::string kProject =
    "name = \"Project requirements\"\nsource = \"Client brief, section 4\"\n"
    "[[rules]]\nid = \"u\"\nsource = \"4.1\"\nquantity = \"u_value\"\nat_most = 0.30\n"
    "[[rules]]\nid = \"summer\"\nsource = \"4.2\"\nwhen = { heat_flow = \"horizontal\" }\n"
    "any = [ { quantity = \"surface_mass\", greater_than = 230 },\n"
    "        { quantity = \"periodic_thermal_transmittance.modulus\", less_than = 0.10 } ]\n"
    "[[rules]]\nid = \"class\"\nsource = \"4.3\"\n"
    "classes = [ { name = \"good\", all = [ { quantity = "
    "\"periodic_thermal_transmittance.time_lag\", greater_than = 10 },\n"
    "  { quantity = \"decrement_factor\", less_than = 0.3 } ] },\n"
    "  { name = \"poor\", all = [] } ]\n";

class CheckProgramTest : public BruskTest::ProgramFixture {
protected:
  void SetUp() override {
    ProgramFixture::SetUp();
    write("insulated.toml", kInsulated);
    write("roof.toml", kRoof);
    write("project.toml", kProject);
    write("bad.toml", "name = \"x\"\n[[rules]]\nid = \"u\"\nquantity = \"u_value\"\n");
  }
};

struct StatusCase {
  std::string name;
  std::string arguments;
  int status;
  std::string errorPart;  // in standard error; empty: nothing there
};

class CheckStatusTest : public CheckProgramTest,
                        public ::testing::WithParamInterface<StatusCase> {};

TEST_P(CheckStatusTest, ExitStatusSaysPassedFailedOrBadInput) {
  const StatusCase& c = GetParam();
  const ProgramRun result = run(c.arguments);
  EXPECT_EQ(c.status, result.status) << c.name << ": " << result.err;
  if (c.errorPart.empty()) {
    EXPECT_EQ("", result.err) << c.name;
  } else {
    EXPECT_NE(std::string::npos, result.err.find(c.errorPart)) << c.name << ": " << result.err;
    EXPECT_EQ("", result.out) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, CheckStatusTest,
    ::testing::Values(
        StatusCase{"project_passes", "check insulated.toml --requirements project.toml", 0, ""},
        StatusCase{"italy_passes", "check insulated.toml --requirements it-dm2015-summer", 0, ""},
        StatusCase{"england_wall_fails",
                   "check insulated.toml --requirements uk-adl-2021-dwellings", 1, ""},
        StatusCase{"england_roof_passes", "check roof.toml --requirements uk-adl-2021-dwellings", 0,
                   ""},
        StatusCase{"one_failing_wall_fails_all",
                   "check roof.toml insulated.toml --requirements uk-adl-2021-dwellings", 1, ""},
        StatusCase{"unknown_set", "check insulated.toml --requirements uk-adl", 2,
                   "did you mean \"uk-adl-2021-dwellings\"?"},
        StatusCase{"bad_file", "check insulated.toml --requirements bad.toml", 2,
                   "bad.toml:2: the test of u_value has no threshold"},
        StatusCase{"no_requirements", "check insulated.toml", 2, "--requirements names the rules"},
        StatusCase{"missing_wall", "check nothing.toml --requirements project.toml", 2,
                   "nothing.toml"},
        StatusCase{"list", "check --list", 0, ""},
        StatusCase{"overwrite_requirements",
                   "check insulated.toml --requirements project.toml -o project.toml", 2,
                   "-o: project.toml"},
        StatusCase{"overwrite_wall",
                   "check insulated.toml --requirements project.toml -o ./insulated.toml", 2,
                   "-o: ./insulated.toml"}),
    [](const auto& row) { return row.param.name; });

TEST_F(CheckProgramTest, JsonNamesEveryRuleItsValuesAndClass) {
  const ProgramRun result =
      run("check insulated.toml roof.toml --requirements project.toml --format json");
  ASSERT_EQ(0, result.status) << result.err;
  const nlohmann::json walls = nlohmann::json::parse(result.out);
  ASSERT_EQ(2u, walls.size());
  EXPECT_EQ("Insulated", walls[0]["wall"]);
  EXPECT_EQ("Project requirements", walls[0]["requirements"]);
  EXPECT_EQ(true, walls[0]["passed"]);
  const nlohmann::json& rules = walls[0]["rules"];
  ASSERT_EQ(3u, rules.size());
  EXPECT_EQ("u", rules[0]["id"]);
  EXPECT_EQ("4.1", rules[0]["source"]);
  EXPECT_EQ(true, rules[0]["applicable"]);
  EXPECT_EQ(true, rules[0]["passed"]);
  EXPECT_NEAR(0.2713, rules[0]["values"]["u_value"].get<double>(), 1e-4);
  EXPECT_FALSE(rules[0].contains("class"));
  EXPECT_EQ(0.30, rules[0]["tests"][0]["threshold"].get<double>());
  EXPECT_EQ("at_most", rules[0]["tests"][0]["comparison"]);
  EXPECT_NEAR(462.4, rules[1]["values"]["surface_mass"].get<double>(), 1e-9);
  EXPECT_TRUE(rules[2].contains("class"));
  EXPECT_TRUE(rules[2]["values"].contains("decrement_factor"));
  // The roof is not a vertical wall: the summer rule does not apply, and says why.
  const nlohmann::json& roofSummer = walls[1]["rules"][1];
  EXPECT_EQ(false, roofSummer["applicable"]);
  EXPECT_TRUE(roofSummer["passed"].is_null());
  EXPECT_EQ("heat_flow is \"upward\", not \"horizontal\"", roofSummer["not_applicable"]);
}

TEST_F(CheckProgramTest, OutputFileAndCsvCellsAreSafe) {
  write("odd.toml", "name = \"=HYPERLINK(1)\"\n[[layers]]\nthermal_resistance = 5\n");
  // |Y12| of a pure resistance is its U, 0.19 W/(m2.K): the summer rule fails, status 1.
  const ProgramRun result =
      run("check odd.toml --requirements project.toml --format csv -o out.csv");
  ASSERT_EQ(1, result.status) << result.err;
  EXPECT_EQ("", result.out);
  const std::string csv = read("out.csv");
  EXPECT_EQ(0u, csv.find("wall,requirements,rule,source,verdict,class,tests,not_applicable\n"))
      << csv;
  EXPECT_EQ(std::string::npos, csv.find("\n=HYPERLINK")) << csv;
  EXPECT_NE(std::string::npos, csv.find("HYPERLINK(1)")) << csv;
}

TEST_F(CheckProgramTest, TableShowsControlCharactersOfNamesVisibly) {
  write("evil.toml", "name = \"Evil\\u001b[2J\"\n[[layers]]\nthermal_resistance = 7\n");
  const ProgramRun result = run("check evil.toml --requirements uk-adl-2021-dwellings");
  ASSERT_EQ(0, result.status) << result.err;
  EXPECT_EQ(std::string::npos, result.out.find('\x1b')) << result.out;
  EXPECT_NE(std::string::npos, result.out.find("Evil\\x1b[2J")) << result.out;
}

}  // namespace
