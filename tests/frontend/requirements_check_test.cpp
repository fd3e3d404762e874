// Walls checked end to end: Uc and the moisture results tested as a regulation means them, a
// figure the wall does not have never judged as 0, a set that checks nothing never "passed";
// each outcome worded in the unit its rule was written in; no name from a requirements file
// reaching a terminal raw.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/moisture.h"
#include "brusk/frontend/requirements.h"
#include "brusk/frontend/wall_parser.h"

namespace {

using namespace Brusk;
using Engine::Comparison;
using Engine::Verdict;

const Frontend::Catalogue& catalogue() {
  static const Frontend::Catalogue builtIn = Frontend::Catalogue::builtIn();
  return builtIn;
}

Frontend::Wall wallOf(const std::string& toml) {
  return Frontend::parseWallText(toml, Frontend::WallFormat::Toml, catalogue(), "wall.toml");
}

const std::string kExamples = BRUSK_SOURCE_DIR "/examples/";

Frontend::Wall exampleWall(const std::string& file) {
  return Frontend::loadWallFile(kExamples + file, catalogue());
}

const Frontend::Climate& climate(const std::string& name) {
  static const Frontend::Climate temperate =
      Frontend::loadClimateFile(kExamples + "climates/temperate.csv");
  static const Frontend::Climate cold = Frontend::loadClimateFile(kExamples + "climates/cold.csv");
  return name == "cold" ? cold : temperate;
}

// 0.2 m of concrete and 0.172 m of EPS crossed by 14 steel fasteners per m2:
// U = 0.193 W/(m2.K), Delta U_f = 0.0588, Uc = 0.252 W/(m2.K) (ISO 6946 F.3).
const std::string kFastened =
    "name = \"Fastened\"\n[[layers]]\nmaterial = \"concrete-reinforced\"\nthickness = 0.2\n"
    "[[layers]]\nname = \"EPS\"\nthickness = 0.172\nconductivity = 0.035\ndensity = 20\n"
    "specific_heat = 1450\n[corrections.fasteners]\nlayer = 2\ncount = 14\n"
    "cross_section = 2.0e-5\nconductivity = 50\n";

// Concrete with 0.1 m of mineral wool: U about 0.33 W/(m2.K), no correction.
const std::string kPlain =
    "name = \"Plain\"\n[[layers]]\nmaterial = \"concrete-reinforced\"\nthickness = 0.2\n"
    "[[layers]]\nmaterial = \"insulation-mineral-wool\"\nthickness = 0.1\n";

// Two bands of steel and mineral wool side by side: R'T/R''T far above 1.5.
const std::string kBeyondMethod =
    "name = \"Steel studs\"\n[[layers]]\nthickness = 0.15\n[[layers.parts]]\n"
    "name = \"Steel\"\nconductivity = 50\ndensity = 7800\nspecific_heat = 450\nfraction = 0.1\n"
    "[[layers.parts]]\nmaterial = \"insulation-mineral-wool\"\nfraction = 0.9\n";

const std::string kHead = "name = \"Project\"\n";

std::string rule(const std::string& id, const std::string& body) {
  return "[[rules]]\nid = \"" + id + "\"\n" + body + "\n";
}

struct CheckCase {
  std::string name;
  std::string wall;          ///< TOML text, or "example:<file>"
  std::string rules;         ///< a built-in key, or the [[rules]] of a set
  std::string climate;       ///< "", "temperate" or "cold"
  Verdict verdict;           ///< of the whole set
  std::string comparedPart;  ///< in the first rule's compared text
};

class CheckWallTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckWallTest, VerdictAndWhatItCompared) {
  const CheckCase& c = GetParam();
  const Frontend::Wall wall =
      c.wall.rfind("example:", 0) == 0 ? exampleWall(c.wall.substr(8)) : wallOf(c.wall);
  const Engine::RequirementSet set =
      c.rules.find("[[rules]]") == std::string::npos
          ? Frontend::loadRequirements(c.rules)
          : Frontend::parseRequirementsText(kHead + c.rules, "project.toml");
  const Frontend::Climate* given = c.climate.empty() ? nullptr : &climate(c.climate);
  const Frontend::WallCheck check = Frontend::checkWall(wall, set, given, "wall.toml");
  EXPECT_EQ(c.verdict, check.result.verdict)
      << c.name << ": " << Engine::verdictName(check.result.verdict);
  std::string compared;
  for (const Engine::RuleResult& rule : check.result.rules)
    compared += Frontend::comparedText(rule) + "\n";
  EXPECT_NE(std::string::npos, compared.find(c.comparedPart)) << c.name << ": " << compared;
}

INSTANTIATE_TEST_SUITE_P(
    Walls, CheckWallTest,
    ::testing::Values(
        // The limits apply to Uc: the fastened wall passes 0.24 by its U and fails by its Uc.
        CheckCase{"fastened_fails_germany", kFastened, "de-geg-2020-anlage7", "", Verdict::Failed,
                  "u_value_corrected = 0.252 W/(m2.K), not <= 0.24 W/(m2.K)"},
        CheckCase{"fastened_passes_england", kFastened, "uk-adl-2021-dwellings", "",
                  Verdict::Passed, "u_value_corrected = 0.252 W/(m2.K) <= 0.26 W/(m2.K)"},
        CheckCase{"fastened_u_alone_passes", kFastened,
                  rule("u", "quantity = \"u_value\"\nat_most = 0.24"), "", Verdict::Passed,
                  "u_value = 0.193 W/(m2.K) <= 0.24 W/(m2.K)"},
        CheckCase{"plain_uc_is_u", kPlain,
                  rule("uc", "quantity = \"u_value_corrected\"\nat_most = 1"), "", Verdict::Passed,
                  "u_value_corrected = 0.3"},
        // No rule applies: nothing checked, never passed.
        CheckCase{"italy_without_orientation", kPlain, "it-dm2015-summer", "",
                  Verdict::NothingChecked, "orientation is not given"},
        CheckCase{"england_internal_floor",
                  "position = \"internal\"\nheat_flow = \"downward\"\n" + kPlain,
                  "uk-adl-2021-dwellings", "", Verdict::NothingChecked, "position is \"internal\""},
        // A stud wall has no sequential estimate: not computable, whichever way the test faces.
        CheckCase{"studs_capacity_at_most", "example:bridged/timber-frame-studs.toml",
                  rule("cap",
                       "quantity = \"sequential_heat_capacity.daily.value\"\nat_most = 5\n"
                       "unit = \"kJ/(m2.K)\""),
                  "", Verdict::NotComputable, "(method \"none\")"},
        CheckCase{"studs_capacity_at_least", "example:bridged/timber-frame-studs.toml",
                  rule("cap",
                       "quantity = \"sequential_heat_capacity.twelve_day.value\"\n"
                       "at_least = 5"),
                  "", Verdict::NotComputable,
                  "sequential_heat_capacity.twelve_day.value >= 5 "
                  "J/(m2.K): not computable"},
        // Moisture results: not computable without a climate, judged with one.
        CheckCase{"moisture_without_climate", "example:moisture/internal-insulation.toml",
                  rule("dry", "quantity = \"dries_out\"\nis = true"), "", Verdict::NotComputable,
                  "dries_out needs the moisture assessment (ISO 13788): no climate was given"},
        CheckCase{"dries_out_temperate", "example:moisture/internal-insulation.toml",
                  rule("dry", "quantity = \"dries_out\"\nis = true"), "temperate", Verdict::Passed,
                  "dries_out is true"},
        CheckCase{"does_not_dry_cold", "example:moisture/internal-insulation.toml",
                  rule("dry", "quantity = \"dries_out\"\nis = true"), "cold", Verdict::Failed,
                  "dries_out is false, not true"},
        CheckCase{"accumulated_in_kilograms", "example:moisture/internal-insulation.toml",
                  rule("wet", "quantity = \"max_accumulated\"\nat_most = 0.5\nunit = \"kg/m2\""),
                  "temperate", Verdict::Failed, "max_accumulated = 4.1375 kg/m2, not <= 0.5 kg/m2"},
        CheckCase{"accumulated_in_grams", "example:moisture/internal-insulation.toml",
                  rule("wet", "quantity = \"max_accumulated\"\nat_most = 5000"), "temperate",
                  Verdict::Passed, "max_accumulated = 4137.5 g/m2 <= 5000 g/m2"},
        CheckCase{"surface_factor", "example:moisture/internal-insulation.toml",
                  rule("mould",
                       "all = [ { quantity = \"surface.f_rsi\", at_least = 0.75 },\n"
                       "  { quantity = \"surface.f_rsi_min\", at_most = 0.7 } ]"),
                  "temperate", Verdict::Passed,
                  "surface.f_rsi = 0.906 >= 0.75; surface.f_rsi_min = "
                  "0.649 <= 0.7"},
        CheckCase{"surface_passes", "example:moisture/internal-insulation.toml",
                  rule("mould", "quantity = \"surface.passes\"\nis = true"), "cold",
                  Verdict::Passed, "surface.passes is true"},
        CheckCase{"assessment_refused",
                  kPlain + "[[layers]]\nthickness = 0.01\nconductivity = 1\ndensity = 1000\n"
                           "specific_heat = 1000\n",
                  rule("dry", "quantity = \"dries_out\"\nis = true"), "temperate",
                  Verdict::NotComputable, "it cannot be made for this wall"},
        // Outside the combined method: the verdict stands, with its caveat.
        CheckCase{"beyond_method_caveat", kBeyondMethod,
                  rule("u", "quantity = \"u_value\"\nat_most = 5"), "", Verdict::Passed,
                  "caveat: the element lies outside the ISO 6946 combined method"}),
    [](const auto& row) { return row.param.name; });

TEST(CheckWallTest, AStudWallIsJudgedOnItsWorstPathForEachTest) {
  // ISO 13788 is one-dimensional: the stud wall's paths are assessed one by one, and a limit
  // holds for the element where it holds on every path.
  const Frontend::Wall studs = exampleWall("bridged/timber-frame-studs.toml");
  const Frontend::MoistureReport report = Frontend::assessMoisture(studs, climate("cold"), "s");
  ASSERT_GE(report.paths.size(), 2u);
  double most = -1;
  double coldest = 2;
  std::string wettest;
  std::string coldestPath;
  for (const Frontend::MoisturePathReport& path : report.paths) {
    if (path.result.maxAccumulated * 1000 > most) {
      most = path.result.maxAccumulated * 1000;
      wettest = path.path.name;
    }
    if (path.result.fRsi < coldest) {
      coldest = path.result.fRsi;
      coldestPath = path.path.name;
    }
  }
  const Engine::RequirementSet set = Frontend::parseRequirementsText(
      kHead + rule("w",
                   "all = [ { quantity = \"max_accumulated\", at_most = 1e9 },\n"
                   "  { quantity = \"surface.f_rsi\", at_least = 0 } ]"),
      "p.toml");
  const Frontend::WallCheck check = Frontend::checkWall(studs, set, &climate("cold"), "s");
  const std::vector<Engine::TestOutcome>& outcomes = check.result.rules[0].outcomes;
  ASSERT_EQ(2u, outcomes.size());
  EXPECT_DOUBLE_EQ(most, outcomes[0].value);
  EXPECT_EQ(wettest, outcomes[0].path);
  EXPECT_DOUBLE_EQ(coldest, outcomes[1].value);
  EXPECT_EQ(coldestPath, outcomes[1].path);
  EXPECT_NE(std::string::npos, Frontend::outcomeText(outcomes[0]).find("(path \"" + wettest))
      << Frontend::outcomeText(outcomes[0]);
}

Engine::TestOutcome outcome(const std::string& quantity, Comparison comparison, double threshold,
                            const std::string& unit, double written, double value,
                            Verdict verdict) {
  Engine::TestOutcome o;
  o.test.quantity = quantity;
  o.test.comparison = comparison;
  o.test.threshold = threshold;
  o.test.unit = unit;
  o.test.written = written;
  o.value = value;
  o.verdict = verdict;
  return o;
}

struct TextCase {
  std::string name;
  Engine::TestOutcome outcome;
  std::string text;
};

class OutcomeTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(OutcomeTextTest, ThresholdAsWrittenValueInTheSameUnit) {
  EXPECT_EQ(GetParam().text, Frontend::outcomeText(GetParam().outcome)) << GetParam().name;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Texts, OutcomeTextTest,
    ::testing::Values(
        // 40 % is written 40 %, not 0.4; the value follows it with the decimals of a percent.
        TextCase{
            "percent",
            outcome("decrement_factor", Comparison::AtMost, 0.4, "%", 40, 0.4531, Verdict::Failed),
            "decrement_factor = 45.3 %, not <= 40 %"},
        TextCase{"json_unit",
                 outcome("u_value", Comparison::AtMost, 0.26, "", 0, 0.2713, Verdict::Failed),
                 "u_value = 0.271 W/(m2.K), not <= 0.26 W/(m2.K)"},
        TextCase{"kilojoules",
                 outcome("internal_areal_heat_capacity", Comparison::AtLeast, 50000, "kJ/(m2.K)",
                         50, 61234.5, Verdict::Passed),
                 "internal_areal_heat_capacity = 61.2 kJ/(m2.K) >= 50 kJ/(m2.K)"},
        TextCase{"joules_written",
                 outcome("internal_areal_heat_capacity", Comparison::AtLeast, 50000, "", 0, 61234.6,
                         Verdict::Passed),
                 "internal_areal_heat_capacity = 61235 J/(m2.K) >= 50000 J/(m2.K)"},
        TextCase{"megajoules",
                 outcome("internal_areal_heat_capacity", Comparison::AtLeast, 50000, "MJ/(m2.K)",
                         0.05, 61234.5, Verdict::Passed),
                 "internal_areal_heat_capacity = 0.0612 MJ/(m2.K) >= 0.05 MJ/(m2.K)"},
        TextCase{"minutes",
                 outcome("periodic_thermal_transmittance.time_lag", Comparison::GreaterThan, 10,
                         "min", 600, 10.26, Verdict::Passed),
                 "periodic_thermal_transmittance.time_lag = 616 min > 600 min"},
        // Rounding to the description's decimals would show 0.240 "not <= 0.24".
        TextCase{"more_decimals_where_rounding_misleads",
                 outcome("u_value", Comparison::AtMost, 0.24, "", 0, 0.24004, Verdict::Failed),
                 "u_value = 0.24004 W/(m2.K), not <= 0.24 W/(m2.K)"},
        TextCase{"at_the_threshold",
                 outcome("u_value", Comparison::AtMost, 0.26, "", 0, 0.26, Verdict::Passed),
                 "u_value = 0.260 W/(m2.K) <= 0.26 W/(m2.K)"},
        TextCase{"strict_at_the_threshold",
                 outcome("surface_mass", Comparison::GreaterThan, 230, "", 0, 230, Verdict::Failed),
                 "surface_mass = 230.0 kg/m2, not > 230 kg/m2"},
        TextCase{"flag_passed", outcome("dries_out", Comparison::Is, 1, "", 1, 1, Verdict::Passed),
                 "dries_out is true"},
        TextCase{"flag_failed",
                 outcome("surface.passes", Comparison::Is, 1, "", 1, 0, Verdict::Failed),
                 "surface.passes is false, not true"},
        TextCase{"flag_not_computable",
                 outcome("dries_out", Comparison::Is, 0, "", 0, kNaN, Verdict::NotComputable),
                 "dries_out is false: not computable"},
        TextCase{"not_computable",
                 outcome("max_accumulated", Comparison::AtMost, 500, "kg/m2", 0.5, kNaN,
                         Verdict::NotComputable),
                 "max_accumulated <= 0.5 kg/m2: not computable"}),
    [](const auto& row) { return row.param.name; });

/// A name that recolours the terminal and retitles its window.
const std::string kEscape = "\\u001b[31mRED\\u001b]0;owned\\u0007";

struct NameCase {
  std::string name;
  std::string set;  ///< with kEscape in one of its names
};

class RequirementNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(RequirementNameTest, ReachesTheTableVisibleAndTheJsonExact) {
  const Engine::RequirementSet set = Frontend::parseRequirementsText(GetParam().set, "names.toml");
  const std::vector<Frontend::WallCheck> checks{Frontend::checkWall(wallOf(kPlain), set)};
  for (const std::string& out :
       {Frontend::formatCheckTable(checks), Frontend::formatCheckCsv(checks)}) {
    EXPECT_EQ(std::string::npos, out.find('\x1b')) << GetParam().name << ":\n" << out;
    EXPECT_EQ(std::string::npos, out.find('\x07')) << GetParam().name << ":\n" << out;
  }
  const std::string table = Frontend::formatCheckTable(checks);
  EXPECT_NE(std::string::npos, table.find("\\x1b[31mRED\\x1b]0;owned\\x07"))
      << GetParam().name << ":\n"
      << table;
  EXPECT_NE(std::string::npos, Frontend::formatCheckJson(checks).find("\\u001b[31mRED"))
      << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, RequirementNameTest,
    ::testing::Values(
        NameCase{"class_name", "name = \"P\"\n[[rules]]\nid = \"c\"\nclasses = [ { name = \"" +
                                   kEscape + "\", all = [] } ]\n"},
        NameCase{"set_name",
                 "name = \"" + kEscape +
                     "\"\n[[rules]]\nid = \"u\"\nquantity = \"u_value\"\nat_most = 1\n"},
        NameCase{"set_source", "name = \"P\"\nsource = \"" + kEscape +
                                   "\"\n[[rules]]\nid = \"u\"\nquantity = \"u_value\"\n"
                                   "at_most = 1\n"},
        NameCase{"rule_id", "name = \"P\"\n[[rules]]\nid = \"" + kEscape +
                                "\"\nquantity = \"u_value\"\nat_most = 1\n"},
        NameCase{"rule_source", "name = \"P\"\n[[rules]]\nid = \"u\"\nsource = \"" + kEscape +
                                    "\"\nquantity = \"u_value\"\nat_most = 1\n"},
        NameCase{"undecided_class", "name = \"P\"\n[[rules]]\nid = \"c\"\nclasses = [ { name = \"" +
                                        kEscape +
                                        "\", all = [ { quantity = \"dries_out\", is = true } ] "
                                        "} ]\n"}),
    [](const auto& row) { return row.param.name; });

TEST(RequirementsClimateTest, AClimateForASetWithoutMoistureIsRefused) {
  try {
    Frontend::requireClimateUsed(Frontend::loadRequirements("de-geg-2020-anlage7"), "--climate");
    FAIL() << "accepted";
  } catch (const Frontend::Error& error) {
    EXPECT_EQ(std::string("--climate gives the moisture results (max_accumulated, "
                          "end_accumulated, dries_out, surface.f_rsi, surface.f_rsi_min and "
                          "surface.passes), and no rule of \"Germany, GEG 2020 Anlage 7: maximum "
                          "U-values of renewed outer walls (>= 19 degC)\" tests one, so the "
                          "climate would change nothing: leave it out"),
              error.what());
  }
  // A class's test counts as the set's.
  EXPECT_NO_THROW(Frontend::requireClimateUsed(
      Frontend::parseRequirementsText(
          kHead + rule("c",
                       "classes = [ { name = \"dry\", all = [ { quantity = \"dries_out\", "
                       "is = true } ] }, { name = \"wet\", all = [] } ]"),
          "p.toml"),
      "climate"));
}

}  // namespace
