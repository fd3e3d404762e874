// brusk check run as a program: exit status 0/1/2/3/4, the JSON shape, a project file written
// here, the refusal to overwrite an input with -o, CSV cells safe from formula injection, Uc and
// the moisture results tested, a check in which nothing applied never "passed".
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

// U = 0.193, Uc = 0.252 W/(m2.K): 14 steel fasteners per m2 through the EPS (ISO 6946 F.3).
const std::string kFastened =
    "name = \"Fastened\"\n[[layers]]\nmaterial = \"concrete-reinforced\"\nthickness = 0.2\n"
    "[[layers]]\nname = \"EPS\"\nthickness = 0.172\nconductivity = 0.035\ndensity = 20\n"
    "specific_heat = 1450\n[corrections.fasteners]\nlayer = 2\ncount = 14\n"
    "cross_section = 2.0e-5\nconductivity = 50\n";

const std::string kExamples = BRUSK_SOURCE_DIR "/examples/";
const std::string kStuds = kExamples + "bridged/timber-frame-studs.toml";
const std::string kInternalInsulation = kExamples + "moisture/internal-insulation.toml";
const std::string kTemperate = kExamples + "climates/temperate.csv";
const std::string kCold = kExamples + "climates/cold.csv";

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
    write("fastened.toml", kFastened);
    write("plain.toml",
          "name = \"Plain\"\n[[layers]]\nmaterial = \"concrete-reinforced\"\n"
          "thickness = 0.2\n");
    write("capacity.toml",
          "name = \"C\"\n[[rules]]\nid = \"cap\"\n"
          "quantity = \"sequential_heat_capacity.daily.value\"\nat_most = 5\n"
          "unit = \"kJ/(m2.K)\"\n");
    write("dry.toml",
          "name = \"D\"\n[[rules]]\nid = \"dry\"\nquantity = \"dries_out\"\n"
          "is = true\n");
    write("nan.toml",
          "name = \"N\"\n[[rules]]\nid = \"s\"\n"
          "when = { site_irradiance = { at_least = nan } }\n"
          "quantity = \"u_value\"\nat_most = 1\n");
    write("huge.toml",
          "name = \"H\"\n[[rules]]\nid = \"k\"\n"
          "quantity = \"internal_areal_heat_capacity\"\nat_most = 1e305\n"
          "unit = \"MJ/(m2.K)\"\n");
    write("never.toml",
          "name = \"V\"\n[[rules]]\nid = \"c\"\n"
          "classes = [ { name = \"never\", any = [] }, { name = \"rest\", all = [] } "
          "]\n");
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
                   "-o: ./insulated.toml"},
        // The national U-value limits apply to Uc: 0.193 passes 0.24, 0.252 does not.
        StatusCase{"fastened_fails_germany",
                   "check fastened.toml --requirements de-geg-2020-anlage7", 1, ""},
        StatusCase{"fastened_passes_england",
                   "check fastened.toml --requirements uk-adl-2021-dwellings", 0, ""},
        // No rule applies: 3, never 0.
        StatusCase{"nothing_checked", "check plain.toml --requirements it-dm2015-summer", 3, ""},
        StatusCase{"passed_and_nothing_checked",
                   "check insulated.toml plain.toml --requirements it-dm2015-summer", 3, ""},
        StatusCase{"failed_before_nothing_checked",
                   "check roof.toml plain.toml --requirements project.toml", 1, ""},
        // A figure the wall does not have: 4, never judged as 0.
        StatusCase{"studs_capacity_not_computable",
                   "check " + kStuds + " --requirements capacity.toml", 4, ""},
        StatusCase{"moisture_without_climate",
                   "check " + kInternalInsulation + " --requirements dry.toml", 4, ""},
        StatusCase{
            "moisture_dries_temperate",
            "check " + kInternalInsulation + " --requirements dry.toml --climate " + kTemperate, 0,
            ""},
        StatusCase{"moisture_wet_cold",
                   "check " + kInternalInsulation + " --requirements dry.toml --climate " + kCold,
                   1, ""},
        // The indoor side of Annex A as brusk moisture takes it: class 1 dries out, 3 does not.
        StatusCase{"moisture_humidity_class_1",
                   "check " + kInternalInsulation + " --requirements dry.toml --climate " +
                       kTemperate + " --humidity-class 1",
                   0, ""},
        StatusCase{"moisture_humidity_class_3",
                   "check " + kInternalInsulation + " --requirements dry.toml --climate " +
                       kTemperate + " --humidity-class 3 --indoor-temperature 20",
                   1, ""},
        // Refused: exit 2, nothing on standard output, the file, line and reason.
        StatusCase{"climate_for_no_moisture_rule",
                   "check plain.toml --requirements uk-adl-2021-dwellings --climate " + kTemperate,
                   2, "brusk: --climate gives the moisture results"},
        StatusCase{"humidity_class_without_climate",
                   "check plain.toml --requirements dry.toml --humidity-class 2", 2,
                   "brusk: --humidity-class has no effect without --climate"},
        StatusCase{"indoor_temperature_without_climate",
                   "check plain.toml --requirements dry.toml --indoor-temperature 18", 2,
                   "brusk: --indoor-temperature has no effect without --climate"},
        StatusCase{"humidity_class_out_of_range",
                   "check plain.toml --requirements dry.toml --climate " + kTemperate +
                       " --humidity-class 2.9",
                   2, "--humidity-class"},
        StatusCase{"missing_climate", "check plain.toml --requirements dry.toml --climate no.csv",
                   2, "no.csv"},
        StatusCase{"overwrite_climate",
                   "check plain.toml --requirements dry.toml --climate c.csv -o c.csv", 2,
                   "-o: c.csv"},
        StatusCase{"list_with_climate", "check --list --climate " + kTemperate, 2,
                   "brusk: --climate has no effect with --list"},
        StatusCase{"nan_condition", "check plain.toml --requirements nan.toml", 2,
                   "brusk: nan.toml:4: at_least must be a number of W/m2, got nan"},
        StatusCase{"infinite_after_unit", "check plain.toml --requirements huge.toml", 2,
                   "brusk: huge.toml:5: at_most = 1e+305 MJ/(m2.K) is beyond the largest number in "
                   "J/(m2.K) of internal_areal_heat_capacity"},
        StatusCase{"class_that_never_matches", "check plain.toml --requirements never.toml", 2,
                   "brusk: never.toml:4: class \"never\" of rule \"c\" has any = [], which no wall "
                   "can match"}),
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

struct NoVerdictCase {
  std::string name;
  std::string arguments;  ///< before --format
  std::string verdict;    ///< of the wall's set, in the JSON
  std::string tableLine;  ///< the table's verdict line
  std::string ruleVerdict;
};

class NoVerdictTest : public CheckProgramTest,
                      public ::testing::WithParamInterface<NoVerdictCase> {};

TEST_P(NoVerdictTest, IsNeverPassedInAnyFormat) {
  const NoVerdictCase& c = GetParam();
  const ProgramRun json = run(c.arguments + " --format json");
  const nlohmann::json walls = nlohmann::json::parse(json.out);
  EXPECT_TRUE(walls[0]["passed"].is_null()) << c.name << ": " << json.out;
  EXPECT_EQ(c.verdict, walls[0]["verdict"]) << c.name;
  EXPECT_TRUE(walls[0]["rules"][0]["passed"].is_null()) << c.name;
  EXPECT_EQ(c.ruleVerdict, walls[0]["rules"][0]["verdict"]) << c.name;
  const ProgramRun table = run(c.arguments);
  EXPECT_NE(std::string::npos, table.out.find(c.tableLine)) << c.name << ": " << table.out;
  EXPECT_EQ(std::string::npos, table.out.find(": passed")) << c.name << ": " << table.out;
  const ProgramRun csv = run(c.arguments + " --format csv");
  EXPECT_NE(std::string::npos, csv.out.find("," + c.ruleVerdict + ",")) << c.name << csv.out;
  for (const ProgramRun* r : {&json, &table, &csv}) {
    EXPECT_EQ(c.verdict == "nothing checked" ? 3 : 4, r->status) << c.name;
    EXPECT_EQ("", r->err) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Verdicts, NoVerdictTest,
    ::testing::Values(
        NoVerdictCase{"italy_without_orientation",
                      "check plain.toml --requirements it-dm2015-summer", "nothing checked",
                      "NOTHING CHECKED: no rule of the set applies to this wall", "not applicable"},
        NoVerdictCase{"england_partition_floor_side",
                      "check roof.toml --requirements de-geg-2020-anlage7", "nothing checked",
                      "NOTHING CHECKED", "not applicable"},
        NoVerdictCase{"studs_capacity", "check " + kStuds + " --requirements capacity.toml",
                      "not computable", "NOT COMPUTABLE", "not computable"},
        NoVerdictCase{"moisture_without_climate",
                      "check " + kInternalInsulation + " --requirements dry.toml", "not computable",
                      "NOT COMPUTABLE", "not computable"}),
    [](const auto& row) { return row.param.name; });

TEST_F(CheckProgramTest, StudWallCapacityIsNullNotZero) {
  const ProgramRun result = run("check " + kStuds + " --requirements capacity.toml --format json");
  const nlohmann::json rule = nlohmann::json::parse(result.out)[0]["rules"][0];
  EXPECT_TRUE(rule["values"]["sequential_heat_capacity.daily.value"].is_null()) << result.out;
  EXPECT_TRUE(rule["tests"][0]["value"].is_null());
  EXPECT_NE(std::string::npos, rule["not_computable"].get<std::string>().find("method \"none\""));
}

TEST_F(CheckProgramTest, ThresholdInItsOwnUnitValueWithTheDescriptionsDecimals) {
  write("percent.toml",
        "name = \"P\"\n[[rules]]\nid = \"f\"\nquantity = \"decrement_factor\"\n"
        "at_most = 40\nunit = \"%\"\n[[rules]]\nid = \"u\"\nquantity = "
        "\"u_value\"\nat_most = 0.26\n");
  const ProgramRun result = run("check " + kStuds + " --requirements percent.toml");
  EXPECT_NE(std::string::npos, result.out.find("decrement_factor = 45.3 %, not <= 40 %"))
      << result.out;
  EXPECT_NE(std::string::npos, result.out.find("u_value = 0.219 W/(m2.K) <= 0.26 W/(m2.K)"))
      << result.out;
}

#ifdef BRUSK_TESTS_HAVE_REPORT
TEST_F(CheckProgramTest, ReportJudgesMoistureRulesUnderItsClimate) {
  struct Case {
    std::string climate;
    std::string verdict;
  };
  for (const Case& c : {Case{"", "<td>not computable</td>"}, Case{kCold, "<td>failed</td>"},
                        Case{kTemperate, "<td>passed</td>"}}) {
    const ProgramRun result =
        run("report " + kInternalInsulation + " --requirements dry.toml" +
            (c.climate.empty() ? "" : " --climate " + c.climate) + " -o report.html");
    ASSERT_EQ(0, result.status) << result.err;
    EXPECT_NE(std::string::npos, read("report.html").find("<td>dry</td><td></td>" + c.verdict))
        << c.climate;
  }
}
#endif

TEST_F(CheckProgramTest, OutputFileAndCsvCellsAreSafe) {
  write("odd.toml", "name = \"=HYPERLINK(1)\"\n[[layers]]\nthermal_resistance = 5\n");
  // |Y12| of a pure resistance is its U, 0.19 W/(m2.K): the summer rule fails, status 1.
  const ProgramRun result =
      run("check odd.toml --requirements project.toml --format csv -o out.csv");
  ASSERT_EQ(1, result.status) << result.err;
  EXPECT_EQ("", result.out);
  const std::string csv = read("out.csv");
  EXPECT_EQ(0u, csv.find("wall,requirements,rule,source,verdict,class,tests,not_applicable,"
                         "not_computable,caveats\n"))
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

namespace {

// A junction (ISO 10211) is checked by its psi and fRsi (this corner of the insulated wall on
// internal dimensions: psi 0.1145 W/(m.K), fRsi 0.894); one project file gives the limits of
// walls and junctions, each rule applying to what it reads; -o protects the junction's walls.
class JunctionCheckProgramTest : public CheckProgramTest {
protected:
  void SetUp() override {
    CheckProgramTest::SetUp();
    write("corner.toml",
          "name = \"Corner\"\n[junction]\ntype = \"corner\"\nwalls = [\"insulated.toml\"]\n"
          "dimensions = \"internal\"\n");
    write("limits.toml",
          "name = \"Limits\"\n[[rules]]\nid = \"u\"\nquantity = \"u_value\"\nat_most = 0.30\n"
          "[[rules]]\nid = \"psi\"\nquantity = \"psi\"\nat_most = 0.15\nunit = \"W/(m.K)\"\n"
          "[[rules]]\nid = \"mould\"\nquantity = \"f_rsi\"\nat_least = 0.70\n");
  }
};

TEST_F(JunctionCheckProgramTest, EachRuleJudgesWhatItReads) {
  const ProgramRun result =
      run("check corner.toml insulated.toml --requirements limits.toml --format json");
  ASSERT_EQ(0, result.status) << result.err;
  const nlohmann::json checks = nlohmann::json::parse(result.out);
  ASSERT_EQ(2u, checks.size());
  EXPECT_EQ("Corner", checks[0]["wall"]);
  EXPECT_EQ("passed", checks[0]["verdict"]);
  const nlohmann::json& corner = checks[0]["rules"];
  EXPECT_EQ(false, corner[0]["applicable"]);
  EXPECT_EQ("the rule reads a wall's figures; this is a junction", corner[0]["not_applicable"]);
  EXPECT_EQ(true, corner[1]["passed"]);
  EXPECT_TRUE(corner[1]["values"]["psi"].is_number());
  EXPECT_EQ(true, corner[2]["passed"]);
  EXPECT_GT(corner[2]["values"]["f_rsi"].get<double>(), 0.7);
  const nlohmann::json& wall = checks[1]["rules"];
  EXPECT_EQ(true, wall[0]["passed"]);
  EXPECT_EQ(false, wall[1]["applicable"]);
  EXPECT_EQ(false, wall[2]["applicable"]);
}

TEST_F(JunctionCheckProgramTest, StatusAndRefusals) {
  // A tight psi limit fails the junction; a national set of wall limits checks nothing of it.
  write("tight.toml", "name = \"T\"\n[[rules]]\nid = \"psi\"\nquantity = \"psi\"\nat_most = -1\n");
  EXPECT_EQ(1, run("check corner.toml --requirements tight.toml").status);
  EXPECT_EQ(3, run("check corner.toml --requirements uk-adl-2021-dwellings").status);
  const ProgramRun overwrite =
      run("check corner.toml --requirements limits.toml -o ./insulated.toml");
  EXPECT_EQ(2, overwrite.status);
  EXPECT_NE(std::string::npos, overwrite.err.find("-o: ")) << overwrite.err;
  EXPECT_EQ(kInsulated, read("insulated.toml"));
}

}  // namespace
