// Requirements files: every refusal names the file and line; units convert to the quantity's
// JSON unit or are refused; each built-in set on results either side of its thresholds and at
// them; wall descriptors read and written back.
#include "brusk/frontend/requirements.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/toml_writer.h"
#include "brusk/frontend/wall_parser.h"

namespace {

using namespace Brusk;

const std::string kHead = "name = \"Project\"\nsource = \"Brief\"\n";

struct BadFile {
  std::string name;
  std::string text;
  std::string message;  // the whole message, file and line first
};

class BadRequirementsTest : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadRequirementsTest, NamesFileLineAndReason) {
  const BadFile& c = GetParam();
  try {
    (void)Frontend::parseRequirementsText(c.text, "project.toml");
    FAIL() << c.name << ": accepted";
  } catch (const Frontend::Error& error) {
    EXPECT_EQ(c.message, error.what()) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, BadRequirementsTest,
    ::testing::Values(
        BadFile{"unknown_quantity",
                kHead + "[[rules]]\nid = \"u\"\nquantity = \"u_valeu\"\nat_most = 0.3\n",
                "project.toml:5: unknown quantity \"u_valeu\" (did you mean \"u_value\"?); a test "
                "takes a number of `brusk quantities` (scope compute), or u_value_corrected, "
                "max_accumulated, end_accumulated, dries_out, surface.f_rsi, surface.f_rsi_min "
                "and surface.passes; of a junction file (ISO 10211): psi and f_rsi"},
        BadFile{"no_threshold", kHead + "[[rules]]\nid = \"u\"\nquantity = \"u_value\"\n",
                "project.toml:3: the test of u_value has no threshold: give one of \"less_than\", "
                "\"at_most\", \"greater_than\" or \"at_least\""},
        BadFile{"contradiction",
                kHead +
                    "[[rules]]\nid = \"r\"\nall = [ { quantity = \"u_value\", greater_than = 5 },\n"
                    "  { quantity = \"u_value\", less_than = 3 } ]\n",
                "project.toml:6: the tests u_value greater_than 5 and less_than 3 contradict each "
                "other: no value passes both, so the rule could never pass"},
        BadFile{"empty_classes", kHead + "[[rules]]\nid = \"c\"\nclasses = []\n",
                "project.toml:5: rule \"c\": classes must be a non-empty list of {name, all} or "
                "{name, any} tables"},
        BadFile{"duplicate_id",
                kHead + "[[rules]]\nid = \"u\"\nquantity = \"u_value\"\nat_most = 1\n"
                        "[[rules]]\nid = \"u\"\nquantity = \"u_value\"\nat_most = 2\n",
                "project.toml:8: rule id \"u\" is given twice; ids name one rule each"},
        BadFile{"unknown_rule_key",
                kHead + "[[rules]]\nid = \"u\"\nquantity = \"u_value\"\nat_mots = 1\n",
                "project.toml:6: unknown key \"at_mots\" (did you mean \"at_most\"?); a rule takes "
                "id, source, when, quantity, unit, less_than, at_most, greater_than, at_least, is, "
                "any, "
                "all and classes"},
        BadFile{
            "unit_refused",
            kHead + "[[rules]]\nid = \"u\"\nquantity = \"u_value\"\nat_most = 1\nunit = \"kg\"\n",
            "project.toml:7: unit kg does not convert to W/(m2.K) of u_value"},
        BadFile{"bad_orientation",
                kHead + "[[rules]]\nid = \"u\"\nwhen = { orientation = \"North\" }\n"
                        "quantity = \"u_value\"\nat_most = 1\n",
                "project.toml:5: orientation must be \"N\", \"NE\", \"E\", \"SE\", \"S\", \"SW\", "
                "\"W\" or \"NW\", got \"North\""},
        BadFile{"no_rules", kHead,
                "project.toml: a requirements file needs at least one rule, as "
                "[[rules]] tables"},
        // A condition's bound refuses what a threshold refuses: NaN would make the rule never
        // apply, without a word.
        BadFile{"nan_condition",
                kHead + "[[rules]]\nid = \"s\"\nwhen = { site_irradiance = { at_least = nan } }\n"
                        "quantity = \"u_value\"\nat_most = 1\n",
                "project.toml:5: at_least must be a number of W/m2, got nan"},
        BadFile{"negative_nan_condition",
                kHead + "[[rules]]\nid = \"s\"\nwhen = { site_irradiance = { less_than = -nan } "
                        "}\nquantity = \"u_value\"\nat_most = 1\n",
                "project.toml:5: less_than must be a number of W/m2, got nan"},
        BadFile{"infinite_condition",
                kHead + "[[rules]]\nid = \"s\"\nwhen = { site_irradiance = { at_most = inf } }\n"
                        "quantity = \"u_value\"\nat_most = 1\n",
                "project.toml:5: at_most must be a number of W/m2, got inf"},
        BadFile{"text_condition",
                kHead + "[[rules]]\nid = \"s\"\nwhen = { site_irradiance = { greater_than = "
                        "\"290\" } }\nquantity = \"u_value\"\nat_most = 1\n",
                "project.toml:5: greater_than must be a number of W/m2, got \"290\""},
        BadFile{"is_in_condition",
                kHead + "[[rules]]\nid = \"s\"\nwhen = { site_irradiance = { is = true } }\n"
                        "quantity = \"u_value\"\nat_most = 1\n",
                "project.toml:5: unknown key \"is\"; a comparison takes less_than, at_most, "
                "greater_than and at_least"},
        // A threshold that overflows once in the quantity's unit would compare as infinity.
        BadFile{"infinite_after_unit",
                kHead + "[[rules]]\nid = \"k\"\nquantity = \"internal_areal_heat_capacity\"\n"
                        "at_most = 1e305\nunit = \"MJ/(m2.K)\"\n",
                "project.toml:6: at_most = 1e+305 MJ/(m2.K) is beyond the largest number in "
                "J/(m2.K) of internal_areal_heat_capacity: give a threshold a wall can be "
                "compared with"},
        BadFile{"negative_infinite_after_unit",
                kHead + "[[rules]]\nid = \"k\"\nquantity = \"periodic_thermal_transmittance."
                        "time_lag\"\ngreater_than = -1e308\nunit = \"d\"\n",
                "project.toml:6: greater_than = -1e+308 d is beyond the largest number in h of "
                "periodic_thermal_transmittance.time_lag: give a threshold a wall can be compared "
                "with"},
        BadFile{"infinite_threshold",
                kHead + "[[rules]]\nid = \"u\"\nquantity = \"u_value\"\nat_most = inf\n",
                "project.toml:6: at_most must be a number, got inf"},
        // A class that can never match is refused as a rule that can never pass is.
        BadFile{"class_any_empty",
                kHead + "[[rules]]\nid = \"c\"\nclasses = [ { name = \"never\", any = [] },\n"
                        "  { name = \"rest\", all = [] } ]\n",
                "project.toml:5: class \"never\" of rule \"c\" has any = [], which no wall can "
                "match; give at least one test, or all = [] for a class every wall matches"},
        BadFile{"rule_any_empty", kHead + "[[rules]]\nid = \"r\"\nany = []\n",
                "project.toml:5: rule \"r\" has no tests; give at least one"},
        BadFile{"rule_all_empty", kHead + "[[rules]]\nid = \"r\"\nall = []\n",
                "project.toml:5: rule \"r\" has no tests; give at least one"},
        // A yes/no result takes is = true/false, a number a bound.
        BadFile{"flag_with_bound",
                kHead + "[[rules]]\nid = \"d\"\nquantity = \"dries_out\"\nat_least = 1\n",
                "project.toml:6: dries_out is a yes/no result: test it with is = true or is = "
                "false, got at_least = 1"},
        BadFile{"flag_is_number",
                kHead + "[[rules]]\nid = \"d\"\nquantity = \"surface.passes\"\nis = 1\n",
                "project.toml:6: surface.passes is a yes/no result: test it with is = true or is "
                "= false, got is = 1"},
        BadFile{"flag_without_threshold",
                kHead + "[[rules]]\nid = \"d\"\nquantity = \"dries_out\"\n",
                "project.toml:3: the test of dries_out has no threshold: give is = true or is = "
                "false"},
        BadFile{"flag_with_unit",
                kHead + "[[rules]]\nid = \"d\"\nquantity = \"dries_out\"\nis = true\nunit = "
                        "\"-\"\n",
                "project.toml:7: dries_out is a yes/no result and takes no unit"},
        BadFile{"number_with_is",
                kHead + "[[rules]]\nid = \"u\"\nquantity = \"u_value\"\nis = true\n",
                "project.toml:6: is compares a yes/no result; u_value is a number: give one of "
                "\"less_than\", \"at_most\", \"greater_than\" or \"at_least\""},
        BadFile{"flags_contradict",
                kHead + "[[rules]]\nid = \"d\"\nall = [ { quantity = \"dries_out\", is = true "
                        "},\n  { quantity = \"dries_out\", is = false } ]\n",
                "project.toml:6: the tests dries_out is 1 and is 0 contradict each other: no "
                "value passes both, so the rule could never pass"},
        BadFile{"moisture_unit_refused",
                kHead + "[[rules]]\nid = \"m\"\nquantity = \"max_accumulated\"\nat_most = 1\n"
                        "unit = \"kg\"\n",
                "project.toml:7: unit kg does not convert to g/m2 of max_accumulated"},
        BadFile{"two_kinds",
                kHead + "[[rules]]\nid = \"u\"\nquantity = \"u_value\"\nat_most = 1\n"
                        "any = [ { quantity = \"u_value\", at_most = 1 } ]\n",
                "project.toml:3: rule \"u\" must give exactly one of quantity (one test), any, all "
                "or classes"}),
    [](const auto& row) { return row.param.name; });

struct UnitCase {
  std::string name;
  std::string quantity;
  std::string unit;
  double given;
  double expected;  // in the quantity's JSON unit
};

class UnitTest : public ::testing::TestWithParam<UnitCase> {};

TEST_P(UnitTest, ConvertsToTheJsonUnit) {
  const UnitCase& c = GetParam();
  const Engine::RequirementSet set = Frontend::parseRequirementsText(
      kHead + "[[rules]]\nid = \"t\"\nquantity = \"" + c.quantity +
          "\"\nat_least = " + std::to_string(c.given) + "\nunit = \"" + c.unit + "\"\n",
      "units.toml");
  EXPECT_NEAR(c.expected, set.rules[0].tests.tests[0].threshold, 1e-9 * std::abs(c.expected))
      << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Units, UnitTest,
    ::testing::Values(
        UnitCase{"kilojoules", "internal_areal_heat_capacity", "kJ/(m2.K)", 50, 50000},
        UnitCase{"joules", "internal_areal_heat_capacity", "J/(m2.K)", 50000, 50000},
        UnitCase{"seconds_to_hours", "periodic_thermal_transmittance.time_lag", "s", 36000, 10},
        UnitCase{"hours", "periodic_thermal_transmittance.time_lag", "h", 10, 10},
        UnitCase{"transmittance_alias", "u_value", "W/m2K", 0.3, 0.3},
        UnitCase{"percent", "decrement_factor", "%", 30, 0.3},
        UnitCase{"water_in_kilograms", "max_accumulated", "kg/m2", 0.5, 500},
        UnitCase{"water_in_grams", "end_accumulated", "g/m2", 200, 200},
        UnitCase{"factor_in_percent", "surface.f_rsi", "%", 75, 0.75},
        UnitCase{"corrected_u", "u_value_corrected", "W/m2K", 0.24, 0.24}),
    [](const auto& row) { return row.param.name; });

Engine::WallResult resultWith(double u, double surfaceMass, double y12) {
  Engine::WallResult r;
  r.uValue = u;
  r.surfaceMass = surfaceMass;
  r.periodicThermalTransmittance = Engine::Complex(y12, 0.0);
  return r;
}

struct BuiltInCase {
  std::string name;
  std::string set;
  Engine::WallDescriptors descriptors;
  Engine::WallResult result;
  std::string rule;
  bool applicable;
  bool passed;
};

class BuiltInTest : public ::testing::TestWithParam<BuiltInCase> {};

TEST_P(BuiltInTest, VerdictEitherSideOfTheThreshold) {
  const BuiltInCase& c = GetParam();
  const Engine::RequirementSet set = Frontend::loadRequirements(c.set);
  Engine::CheckedWall wall;
  wall.descriptors = c.descriptors;
  wall.wall = &c.result;
  const Engine::RequirementsResult result = Engine::evaluateRequirements(set, wall);
  bool found = false;
  for (const Engine::RuleResult& rule : result.rules) {
    if (rule.id != c.rule) continue;
    found = true;
    EXPECT_EQ(c.applicable, rule.applicable()) << c.name << ": " << rule.reason;
    if (c.applicable) {
      EXPECT_EQ(c.passed ? Engine::Verdict::Passed : Engine::Verdict::Failed, rule.verdict)
          << c.name;
    }
  }
  EXPECT_TRUE(found) << c.name;
}

Engine::WallDescriptors wallFacing(const std::string& orientation, double irradiance,
                                   const std::string& heatFlow = "horizontal",
                                   const std::string& position = "external") {
  Engine::WallDescriptors d;
  d.words = {{"position", position}, {"heat_flow", heatFlow}, {"orientation", orientation}};
  d.numbers = {{"site_irradiance", irradiance}};
  return d;
}

const std::string kItaly = "it-dm2015-summer";
const std::string kEngland = "uk-adl-2021-dwellings";
const std::string kGermany = "de-geg-2020-anlage7";

INSTANTIATE_TEST_SUITE_P(
    Sets, BuiltInTest,
    ::testing::Values(
        // Ms > 230 kg/m2 (strict) or |Yie| < 0.10 W/(m2.K) (strict).
        BuiltInCase{"it_mass_above", kItaly, wallFacing("S", 300), resultWith(0.3, 231, 0.2),
                    "vertical-opaque", true, true},
        BuiltInCase{"it_mass_at", kItaly, wallFacing("S", 300), resultWith(0.3, 230, 0.2),
                    "vertical-opaque", true, false},
        BuiltInCase{"it_mass_below", kItaly, wallFacing("S", 300), resultWith(0.3, 229, 0.2),
                    "vertical-opaque", true, false},
        BuiltInCase{"it_y_below", kItaly, wallFacing("W", 300), resultWith(0.3, 100, 0.099),
                    "vertical-opaque", true, true},
        BuiltInCase{"it_y_at", kItaly, wallFacing("W", 300), resultWith(0.3, 100, 0.10),
                    "vertical-opaque", true, false},
        BuiltInCase{"it_y_above", kItaly, wallFacing("W", 300), resultWith(0.3, 100, 0.101),
                    "vertical-opaque", true, false},
        BuiltInCase{"it_irradiance_at", kItaly, wallFacing("SE", 290), resultWith(0.3, 100, 0.2),
                    "vertical-opaque", true, false},
        BuiltInCase{"it_irradiance_below", kItaly, wallFacing("SE", 289), resultWith(0.3, 100, 0.2),
                    "vertical-opaque", false, false},
        BuiltInCase{"it_north_east", kItaly, wallFacing("NE", 300), resultWith(0.3, 100, 0.2),
                    "vertical-opaque", false, false},
        BuiltInCase{"it_north_west", kItaly, wallFacing("NW", 300), resultWith(0.3, 100, 0.2),
                    "vertical-opaque", false, false},
        BuiltInCase{"it_roof", kItaly, wallFacing("S", 300, "upward"), resultWith(0.3, 100, 0.2),
                    "vertical-opaque", false, false},
        // Limiting U-values are the worst allowed: equal passes.
        BuiltInCase{"uk_wall_below", kEngland, wallFacing("S", 0), resultWith(0.25, 0, 0), "wall",
                    true, true},
        BuiltInCase{"uk_wall_at", kEngland, wallFacing("S", 0), resultWith(0.26, 0, 0), "wall",
                    true, true},
        BuiltInCase{"uk_wall_above", kEngland, wallFacing("S", 0), resultWith(0.27, 0, 0), "wall",
                    true, false},
        BuiltInCase{"uk_roof_at", kEngland, wallFacing("S", 0, "upward"), resultWith(0.16, 0, 0),
                    "roof", true, true},
        BuiltInCase{"uk_roof_above", kEngland, wallFacing("S", 0, "upward"),
                    resultWith(0.161, 0, 0), "roof", true, false},
        BuiltInCase{"uk_floor_at", kEngland, wallFacing("S", 0, "downward"), resultWith(0.18, 0, 0),
                    "floor", true, true},
        BuiltInCase{"uk_floor_above", kEngland, wallFacing("S", 0, "downward"),
                    resultWith(0.181, 0, 0), "floor", true, false},
        BuiltInCase{"uk_party_at", kEngland, wallFacing("S", 0, "horizontal", "internal"),
                    resultWith(0.20, 0, 0), "party-wall", true, true},
        BuiltInCase{"uk_party_above", kEngland, wallFacing("S", 0, "horizontal", "internal"),
                    resultWith(0.201, 0, 0), "party-wall", true, false},
        BuiltInCase{"uk_roof_rule_skips_wall", kEngland, wallFacing("S", 0), resultWith(0.5, 0, 0),
                    "roof", false, false},
        BuiltInCase{"de_wall_at", kGermany, wallFacing("S", 0), resultWith(0.24, 0, 0),
                    "outer-wall", true, true},
        BuiltInCase{"de_wall_above", kGermany, wallFacing("S", 0), resultWith(0.241, 0, 0),
                    "outer-wall", true, false},
        BuiltInCase{"de_wall_below", kGermany, wallFacing("S", 0), resultWith(0.2, 0, 0),
                    "outer-wall", true, true}),
    [](const auto& row) { return row.param.name; });

TEST(RequirementsFrontendTest, EveryBuiltInSetNamesItsSource) {
  const auto& sets = Frontend::builtInRequirements();
  ASSERT_GE(sets.size(), 3u);
  for (const Frontend::BuiltInRequirements& set : sets) {
    EXPECT_FALSE(set.source.empty()) << set.key;
    EXPECT_FALSE(set.name.empty()) << set.key;
    EXPECT_FALSE(Frontend::isRequirementsFile(set.key)) << set.key;
  }
}

TEST(RequirementsFrontendTest, UnknownSetSuggestsTheNearestKey) {
  try {
    (void)Frontend::loadRequirements("uk-adl-2021-dwelling");
    FAIL();
  } catch (const Frontend::Error& error) {
    EXPECT_NE(std::string::npos,
              std::string(error.what()).find("did you mean \"uk-adl-2021-dwellings\"?"))
        << error.what();
  }
}

TEST(RequirementsFrontendTest, DescriptorsReadAndRoundTripThroughToml) {
  const std::string json =
      R"({"name":"W","orientation":"SW","site_irradiance":295.5,"layers":[{"thermal_resistance":2}]})";
  const Frontend::Catalogue catalogue = Frontend::Catalogue::builtIn();
  const Frontend::Wall wall =
      Frontend::parseWallText(json, Frontend::WallFormat::Json, catalogue, "w.json");
  EXPECT_EQ("SW", wall.orientation);
  ASSERT_TRUE(wall.siteIrradiance.has_value());
  EXPECT_DOUBLE_EQ(295.5, *wall.siteIrradiance);
  const std::string toml = Frontend::formatToml(json, "w.json");
  const Frontend::Wall back =
      Frontend::parseWallText(toml, Frontend::WallFormat::Toml, catalogue, "w.toml");
  EXPECT_EQ(wall.orientation, back.orientation);
  EXPECT_EQ(wall.siteIrradiance, back.siteIrradiance);
  const Engine::WallDescriptors d = Frontend::descriptorsOf(back);
  EXPECT_EQ("SW", d.words.at("orientation"));
  EXPECT_EQ("external", d.words.at("position"));
  EXPECT_DOUBLE_EQ(295.5, d.numbers.at("site_irradiance"));
}

TEST(RequirementsFrontendTest, BadDescriptorNamesTheLine) {
  const Frontend::Catalogue catalogue = Frontend::Catalogue::builtIn();
  try {
    (void)Frontend::parseWallText("site_irradiance = -3\n[[layers]]\nthermal_resistance = 1\n",
                                  Frontend::WallFormat::Toml, catalogue, "w.toml");
    FAIL();
  } catch (const Frontend::Error& error) {
    EXPECT_EQ(std::string("w.toml:1: site_irradiance must be a solar irradiance of 0 W/m2 or "
                          "more, got -3"),
              error.what());
  }
}

TEST(RequirementsFrontendTest, FuzzSeedsAndFindingsReadOrAreRefused) {
  // The requirements fuzz target's seeds and kept findings: each reads and is evaluated, or is
  // refused with a Frontend::Error; the seeds all read.
  const std::filesystem::path fuzz = std::filesystem::path(BRUSK_SOURCE_DIR) / "fuzz";
  const Frontend::Wall wall = Frontend::parseWallText(
      "[[layers]]\nmaterial = \"concrete-reinforced\"\nthickness = 0.2\n",
      Frontend::WallFormat::Toml, Frontend::Catalogue::builtIn(), "wall.toml");
  std::vector<std::filesystem::path> inputs;
  for (const auto& entry : std::filesystem::directory_iterator(fuzz / "corpus-requirements")) {
    inputs.push_back(entry.path());
  }
  ASSERT_GE(inputs.size(), 4u);
  const std::size_t seeds = inputs.size();
  for (const auto& entry : std::filesystem::directory_iterator(fuzz / "regressions")) {
    if (entry.path().filename().string().rfind("requirements-", 0) == 0) {
      inputs.push_back(entry.path());
    }
  }
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    std::ifstream file(inputs[i], std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    try {
      const Engine::RequirementSet set = Frontend::parseRequirementsText(text.str(), "fuzz.toml");
      const std::vector<Frontend::WallCheck> checks{Frontend::checkWall(wall, set)};
      EXPECT_FALSE(Frontend::formatCheckJson(checks).empty()) << inputs[i];
      EXPECT_FALSE(Frontend::formatCheckCsv(checks).empty()) << inputs[i];
      EXPECT_FALSE(Frontend::formatCheckTable(checks).empty()) << inputs[i];
    } catch (const Frontend::Error& error) {
      EXPECT_GE(i, seeds) << inputs[i] << ": " << error.what();
    }
  }
}

}  // namespace
