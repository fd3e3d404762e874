// Requirements evaluated on results set by hand: each comparison on both sides of its
// threshold and at it, contradictory bounds, conditions on the wall's descriptors, any/all and
// the first matching class of a classification.
#include "brusk/engine/requirements.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace Brusk::Engine;

QuantityTest test(const std::string& quantity, Comparison comparison, double threshold) {
  QuantityTest t;
  t.quantity = quantity;
  t.comparison = comparison;
  t.threshold = threshold;
  return t;
}

RequirementsResult evaluate(const RequirementSet& set, const WallDescriptors& descriptors,
                            const WallResult& result) {
  CheckedWall wall;
  wall.descriptors = descriptors;
  wall.wall = &result;
  return evaluateRequirements(set, wall);
}

WallResult resultWith(double u, double surfaceMass, double y12, double timeLag, double f) {
  WallResult r;
  r.uValue = u;
  r.surfaceMass = surfaceMass;
  r.periodicThermalTransmittance = Complex(0.0, -y12);
  r.timeLag = timeLag;
  r.decrementFactor = f;
  return r;
}

struct ComparisonCase {
  std::string name;
  Comparison comparison;
  double value;
  double threshold;
  bool passes;
};

class ComparisonTest : public ::testing::TestWithParam<ComparisonCase> {};

TEST_P(ComparisonTest, PassesOnItsSideOfTheThreshold) {
  const ComparisonCase& c = GetParam();
  EXPECT_EQ(c.passes, compare(c.value, c.comparison, c.threshold)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Sides, ComparisonTest,
    ::testing::Values(ComparisonCase{"less_below", Comparison::LessThan, 0.29, 0.3, true},
                      ComparisonCase{"less_at", Comparison::LessThan, 0.3, 0.3, false},
                      ComparisonCase{"less_above", Comparison::LessThan, 0.31, 0.3, false},
                      ComparisonCase{"at_most_below", Comparison::AtMost, 0.29, 0.3, true},
                      ComparisonCase{"at_most_at", Comparison::AtMost, 0.3, 0.3, true},
                      ComparisonCase{"at_most_above", Comparison::AtMost, 0.31, 0.3, false},
                      ComparisonCase{"greater_below", Comparison::GreaterThan, 229, 230, false},
                      ComparisonCase{"greater_at", Comparison::GreaterThan, 230, 230, false},
                      ComparisonCase{"greater_above", Comparison::GreaterThan, 231, 230, true},
                      ComparisonCase{"at_least_below", Comparison::AtLeast, 289, 290, false},
                      ComparisonCase{"at_least_at", Comparison::AtLeast, 290, 290, true},
                      ComparisonCase{"at_least_above", Comparison::AtLeast, 291, 290, true},
                      ComparisonCase{"nan_never_passes", Comparison::AtMost, std::nan(""), 1,
                                     false}),
    [](const auto& row) { return row.param.name; });

struct ContradictionCase {
  std::string name;
  TestGroup group;
  bool contradictory;
};

class ContradictionTest : public ::testing::TestWithParam<ContradictionCase> {};

TEST_P(ContradictionTest, FindsBoundsNoValuePasses) {
  const ContradictionCase& c = GetParam();
  EXPECT_EQ(c.contradictory, contradictoryTests(c.group).has_value()) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Groups, ContradictionTest,
    ::testing::Values(ContradictionCase{"disjoint",
                                        {Combination::All,
                                         {test("u_value", Comparison::GreaterThan, 5),
                                          test("u_value", Comparison::LessThan, 3)}},
                                        true},
                      ContradictionCase{"range",
                                        {Combination::All,
                                         {test("u_value", Comparison::GreaterThan, 3),
                                          test("u_value", Comparison::LessThan, 5)}},
                                        false},
                      ContradictionCase{"touching_closed",
                                        {Combination::All,
                                         {test("u_value", Comparison::AtLeast, 3),
                                          test("u_value", Comparison::AtMost, 3)}},
                                        false},
                      ContradictionCase{"touching_open",
                                        {Combination::All,
                                         {test("u_value", Comparison::AtLeast, 3),
                                          test("u_value", Comparison::LessThan, 3)}},
                                        true},
                      ContradictionCase{"other_quantities",
                                        {Combination::All,
                                         {test("u_value", Comparison::GreaterThan, 5),
                                          test("surface_mass", Comparison::LessThan, 3)}},
                                        false},
                      ContradictionCase{"any_is_never",
                                        {Combination::Any,
                                         {test("u_value", Comparison::GreaterThan, 5),
                                          test("u_value", Comparison::LessThan, 3)}},
                                        false}),
    [](const auto& row) { return row.param.name; });

Rule summerRule() {
  Rule rule;
  rule.id = "summer";
  rule.source = "4.2";
  Condition vertical{"heat_flow", {"horizontal"}, false, std::nullopt, 0.0};
  Condition notNorth{"orientation", {"N", "NE", "NW"}, true, std::nullopt, 0.0};
  Condition sunny{"site_irradiance", {}, false, Comparison::AtLeast, 290.0};
  rule.when = {vertical, notNorth, sunny};
  rule.tests = {Combination::Any,
                {test("surface_mass", Comparison::GreaterThan, 230),
                 test("periodic_thermal_transmittance.modulus", Comparison::LessThan, 0.10)}};
  return rule;
}

struct ConditionCase {
  std::string name;
  WallDescriptors descriptors;
  bool applicable;
  std::string reasonPart;
};

class ConditionTest : public ::testing::TestWithParam<ConditionCase> {};

TEST_P(ConditionTest, DecidesWhetherTheRuleApplies) {
  const ConditionCase& c = GetParam();
  RequirementSet set{"set", "doc", {summerRule()}};
  const RequirementsResult result = evaluate(set, c.descriptors, resultWith(0.3, 100, 0.2, 8, 0.5));
  ASSERT_EQ(1u, result.rules.size());
  EXPECT_EQ(c.applicable, result.rules[0].applicable()) << c.name;
  EXPECT_NE(std::string::npos, result.rules[0].reason.find(c.reasonPart))
      << c.name << ": " << result.rules[0].reason;
  // A wall of 100 kg/m2 and |Y12| 0.2 fails where the rule applies; where it does not, the
  // set has checked nothing.
  EXPECT_EQ(c.applicable ? Verdict::Failed : Verdict::NothingChecked, result.verdict) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, ConditionTest,
    ::testing::Values(
        ConditionCase{
            "south_sunny",
            {{{"heat_flow", "horizontal"}, {"orientation", "S"}}, {{"site_irradiance", 290}}},
            true,
            ""},
        ConditionCase{
            "north",
            {{{"heat_flow", "horizontal"}, {"orientation", "N"}}, {{"site_irradiance", 300}}},
            false,
            "orientation is \"N\""},
        ConditionCase{"roof",
                      {{{"heat_flow", "upward"}, {"orientation", "S"}}, {{"site_irradiance", 300}}},
                      false,
                      "heat_flow is \"upward\""},
        ConditionCase{
            "dull_site",
            {{{"heat_flow", "horizontal"}, {"orientation", "S"}}, {{"site_irradiance", 289.9}}},
            false,
            "site_irradiance is 289.9"},
        ConditionCase{"irradiance_not_given",
                      {{{"heat_flow", "horizontal"}, {"orientation", "S"}}, {}},
                      false,
                      "site_irradiance is not given"},
        ConditionCase{"orientation_not_given",
                      {{{"heat_flow", "horizontal"}}, {{"site_irradiance", 300}}},
                      false,
                      "orientation is not given"}),
    [](const auto& row) { return row.param.name; });

struct AnyCase {
  std::string name;
  double surfaceMass;
  double y12;
  bool passes;
};

class AnyAllTest : public ::testing::TestWithParam<AnyCase> {};

TEST_P(AnyAllTest, AnyPassesOnOneAllNeedsBoth) {
  const AnyCase& c = GetParam();
  Rule any = summerRule();
  any.when.clear();
  Rule all = any;
  all.id = "both";
  all.tests.combination = Combination::All;
  RequirementSet set{"set", "doc", {any, all}};
  const RequirementsResult result =
      evaluate(set, {}, resultWith(0.3, c.surfaceMass, c.y12, 8, 0.5));
  EXPECT_EQ(c.passes, result.rules[0].verdict == Verdict::Passed) << c.name;
  const bool both = c.surfaceMass > 230 && c.y12 < 0.10;
  EXPECT_EQ(both, result.rules[1].verdict == Verdict::Passed) << c.name;
  ASSERT_EQ(2u, result.rules[0].values.size()) << c.name;
  EXPECT_EQ("surface_mass", result.rules[0].values[0].first);
  EXPECT_DOUBLE_EQ(c.surfaceMass, result.rules[0].values[0].second);
  EXPECT_DOUBLE_EQ(c.y12, result.rules[0].values[1].second);
}

INSTANTIATE_TEST_SUITE_P(Combinations, AnyAllTest,
                         ::testing::Values(AnyCase{"heavy", 231, 0.2, true},
                                           AnyCase{"mass_at_threshold", 230, 0.2, false},
                                           AnyCase{"damped", 100, 0.09, true},
                                           AnyCase{"y_at_threshold", 100, 0.10, false},
                                           AnyCase{"both", 300, 0.05, true},
                                           AnyCase{"neither", 100, 0.5, false}),
                         [](const auto& row) { return row.param.name; });

struct ClassCase {
  std::string name;
  double timeLag;
  double decrement;
  std::string expected;
};

class ClassificationTest : public ::testing::TestWithParam<ClassCase> {};

TEST_P(ClassificationTest, FirstMatchingClassWins) {
  const ClassCase& c = GetParam();
  Rule rule;
  rule.id = "class";
  rule.classes = {{"good",
                   {Combination::All,
                    {test("periodic_thermal_transmittance.time_lag", Comparison::GreaterThan, 10),
                     test("decrement_factor", Comparison::LessThan, 0.3)}}},
                  {"fair",
                   {Combination::Any,
                    {test("periodic_thermal_transmittance.time_lag", Comparison::GreaterThan, 8)}}},
                  {"poor", {Combination::All, {}}}};
  RequirementSet set{"set", "doc", {rule}};
  const RequirementsResult result =
      evaluate(set, {}, resultWith(0.3, 100, 0.1, c.timeLag, c.decrement));
  EXPECT_EQ(c.expected, result.rules[0].className) << c.name;
  EXPECT_EQ(Verdict::Passed, result.rules[0].verdict) << c.name;
  EXPECT_TRUE(result.rules[0].isClassification) << c.name;
  EXPECT_EQ(2u, result.rules[0].values.size()) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Classes, ClassificationTest,
                         ::testing::Values(ClassCase{"good", 10.5, 0.2, "good"},
                                           ClassCase{"lag_at_threshold", 10, 0.2, "fair"},
                                           ClassCase{"damping_too_weak", 11, 0.3, "fair"},
                                           ClassCase{"fair", 9, 0.5, "fair"},
                                           ClassCase{"poor", 8, 0.5, "poor"}),
                         [](const auto& row) { return row.param.name; });

// --- Values a wall does not have: three-valued verdicts, never a stand-in number ------------

/// A plain wall's result whose daily sequential estimate is `daily` (method None: no estimate).
WallResult resultWithEstimate(double u, CapacityMethod daily) {
  WallResult r = resultWith(u, 100, 0.2, 8, 0.5);
  r.daily = {daily == None ? 0.0 : 60000.0, daily};
  return r;
}

const std::string kEstimate = "sequential_heat_capacity.daily.value";

struct ThreeValuedCase {
  std::string name;
  Combination combination;
  std::vector<QuantityTest> tests;
  Verdict expected;
  std::string reasonPart = "method \"none\"";  // of the reason, when not computable
};

class ThreeValuedTest : public ::testing::TestWithParam<ThreeValuedCase> {};

TEST_P(ThreeValuedTest, AnUndecidedTestDecidesOnlyWhatTheOthersLeaveOpen) {
  const ThreeValuedCase& c = GetParam();
  Rule rule;
  rule.id = "r";
  rule.tests = {c.combination, c.tests};
  // U 0.3 and no sequential estimate (method none, capacity 0).
  const RequirementsResult result =
      evaluate({"set", "", {rule}}, {}, resultWithEstimate(0.3, None));
  EXPECT_EQ(c.expected, result.rules[0].verdict) << c.name;
  EXPECT_EQ(c.expected, result.verdict) << c.name;
  if (c.expected == Verdict::NotComputable) {
    EXPECT_NE(std::string::npos, result.rules[0].reason.find(c.reasonPart))
        << c.name << ": " << result.rules[0].reason;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Groups, ThreeValuedTest,
    ::testing::Values(
        // Capacity 0 is no estimate: "at most 5 kJ" neither passes nor fails on it.
        ThreeValuedCase{"capacity_none_at_most",
                        Combination::All,
                        {test(kEstimate, Comparison::AtMost, 5000)},
                        Verdict::NotComputable},
        ThreeValuedCase{"capacity_none_at_least",
                        Combination::All,
                        {test(kEstimate, Comparison::AtLeast, 5000)},
                        Verdict::NotComputable},
        ThreeValuedCase{
            "all_failure_decides",
            Combination::All,
            {test(kEstimate, Comparison::AtMost, 5000), test("u_value", Comparison::AtMost, 0.2)},
            Verdict::Failed},
        ThreeValuedCase{
            "all_pass_leaves_it_open",
            Combination::All,
            {test("u_value", Comparison::AtMost, 0.4), test(kEstimate, Comparison::AtMost, 5000)},
            Verdict::NotComputable},
        ThreeValuedCase{
            "any_pass_decides",
            Combination::Any,
            {test(kEstimate, Comparison::AtMost, 5000), test("u_value", Comparison::AtMost, 0.4)},
            Verdict::Passed},
        ThreeValuedCase{
            "any_failure_leaves_it_open",
            Combination::Any,
            {test("u_value", Comparison::AtMost, 0.2), test(kEstimate, Comparison::AtMost, 5000)},
            Verdict::NotComputable},
        ThreeValuedCase{"unknown_key",
                        Combination::All,
                        {test("no_such_key", Comparison::AtMost, 1)},
                        Verdict::NotComputable,
                        "no_such_key is not a quantity a test can read"}),
    [](const auto& row) { return row.param.name; });

TEST(RequirementsTest, AnEstimateThatExistsIsJudgedAsAnyValue) {
  Rule rule;
  rule.id = "r";
  rule.tests = {Combination::All, {test(kEstimate, Comparison::AtMost, 5000)}};
  const RequirementsResult result =
      evaluate({"set", "", {rule}}, {}, resultWithEstimate(0.3, LimitedDepth));
  EXPECT_EQ(Verdict::Failed, result.rules[0].verdict);
  EXPECT_DOUBLE_EQ(60000.0, result.rules[0].outcomes[0].value);
}

struct ClassUndecidedCase {
  std::string name;
  double u;
  std::vector<RequirementClass> classes;
  Verdict expected;
  std::string className;
  std::size_t quantities = 2;  // named by the classes
};

class ClassUndecidedTest : public ::testing::TestWithParam<ClassUndecidedCase> {};

TEST_P(ClassUndecidedTest, AClassBeforeTheMatchThatCannotBeDecidedLeavesNoClass) {
  const ClassUndecidedCase& c = GetParam();
  Rule rule;
  rule.id = "class";
  rule.classes = c.classes;
  const RequirementsResult result =
      evaluate({"set", "", {rule}}, {}, resultWithEstimate(c.u, None));
  EXPECT_EQ(c.expected, result.rules[0].verdict) << c.name;
  EXPECT_EQ(c.className, result.rules[0].className) << c.name;
  // Every class's quantity is reported, the undecided one as NaN.
  EXPECT_EQ(c.quantities, result.rules[0].values.size()) << c.name;
}

const RequirementClass kByEstimate{"heavy",
                                   {Combination::All, {test(kEstimate, Comparison::AtLeast, 1)}}};
const RequirementClass kByU{"insulated",
                            {Combination::All, {test("u_value", Comparison::AtMost, 0.3)}}};
const RequirementClass kAnyWall{"rest", {Combination::All, {}}};

INSTANTIATE_TEST_SUITE_P(
    Classes, ClassUndecidedTest,
    ::testing::Values(
        ClassUndecidedCase{
            "undecided_first", 0.2, {kByEstimate, kByU, kAnyWall}, Verdict::NotComputable, ""},
        ClassUndecidedCase{
            "decided_before", 0.2, {kByU, kByEstimate, kAnyWall}, Verdict::Passed, "insulated"},
        ClassUndecidedCase{"failed_then_undecided",
                           0.5,
                           {kByU, kByEstimate, kAnyWall},
                           Verdict::NotComputable,
                           ""},
        ClassUndecidedCase{
            "none_matches",
            0.5,
            {kByU, {"u", {Combination::Any, {test("u_value", Comparison::AtMost, 0.1)}}}},
            Verdict::Failed,
            "",
            1}),
    [](const auto& row) { return row.param.name; });

struct SetVerdictCase {
  std::string name;
  std::vector<Rule> rules;
  Verdict expected;
};

class SetVerdictTest : public ::testing::TestWithParam<SetVerdictCase> {};

Rule ruleOn(const std::string& id, const std::string& quantity, double atMost,
            const std::string& heatFlow = "") {
  Rule rule;
  rule.id = id;
  if (!heatFlow.empty()) rule.when = {Condition{"heat_flow", {heatFlow}, false, std::nullopt, 0}};
  rule.tests = {Combination::All, {test(quantity, Comparison::AtMost, atMost)}};
  return rule;
}

TEST_P(SetVerdictTest, OnlyApplicableRulesThatPassedMakeAPass) {
  const SetVerdictCase& c = GetParam();
  const WallDescriptors wall{{{"heat_flow", "horizontal"}}, {}};
  EXPECT_EQ(c.expected, evaluate({"set", "", c.rules}, wall, resultWithEstimate(0.3, None)).verdict)
      << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Sets, SetVerdictTest,
    ::testing::Values(SetVerdictCase{"no_rules", {}, Verdict::NothingChecked},
                      SetVerdictCase{"none_applies",
                                     {ruleOn("roof", "u_value", 1, "upward")},
                                     Verdict::NothingChecked},
                      SetVerdictCase{"every_one_excluded",
                                     {ruleOn("roof", "u_value", 1, "upward"),
                                      ruleOn("floor", "u_value", 1, "downward")},
                                     Verdict::NothingChecked},
                      SetVerdictCase{"one_applies_and_passes",
                                     {ruleOn("roof", "u_value", 0.1, "upward"),
                                      ruleOn("wall", "u_value", 1, "horizontal")},
                                     Verdict::Passed},
                      SetVerdictCase{"pass_and_undecided",
                                     {ruleOn("u", "u_value", 1), ruleOn("cap", kEstimate, 5000)},
                                     Verdict::NotComputable},
                      SetVerdictCase{"failure_before_undecided",
                                     {ruleOn("cap", kEstimate, 5000), ruleOn("u", "u_value", 0.1)},
                                     Verdict::Failed}),
    [](const auto& row) { return row.param.name; });

TEST(RequirementsTest, WorstVerdictOrdersFailureBeforeDoubtBeforeAbsenceBeforePass) {
  const Verdict order[] = {Verdict::Failed, Verdict::NotComputable, Verdict::NothingChecked,
                           Verdict::Passed};
  for (std::size_t i = 0; i < std::size(order); ++i) {
    for (std::size_t j = i; j < std::size(order); ++j) {
      EXPECT_EQ(order[i], worstVerdict(order[i], order[j])) << i << " " << j;
      EXPECT_EQ(order[i], worstVerdict(order[j], order[i])) << i << " " << j;
    }
  }
}

// --- What a test reads: Uc, the moisture results, the caveat of the combined method --------

ElementResult elementWith(double u, double correctedU, double upper, double lower) {
  ElementResult e;
  e.wall = resultWith(u, 150, 0.1, 9, 0.4);
  e.correctedU = correctedU;
  e.upperResistance = upper;
  e.lowerResistance = lower;
  e.beyondMethod = upper / lower > kLargestLimitRatio;
  return e;
}

MoistureResult moistureWith(double maxKg, bool driesOut, double fRsiMin) {
  MoistureResult m;
  m.maxAccumulated = maxKg;
  m.endAccumulated = driesOut ? 0.0 : maxKg / 2;
  m.driesOut = driesOut;
  m.fRsi = 0.82;
  m.fRsiMin = fRsiMin;
  m.surfacePasses = !(fRsiMin >= m.fRsi);
  return m;
}

struct ValueCase {
  std::string name;
  std::string key;
  const ElementResult* element;
  const MoistureResult* moisture;
  double expected;         // NaN: not computable
  std::string reasonPart;  // of the reason, or of the caveat when computed
};

const WallResult kPlain = resultWith(0.193, 400, 0.035, 10, 0.18);
const ElementResult kFastened = elementWith(0.193, 0.252, 5.2, 5.1);
const ElementResult kBeyond = elementWith(0.5, 0.5, 3.2, 2.0);
const MoistureResult kWet = moistureWith(0.35, false, 0.71);
const MoistureResult kNoMouldMonth = moistureWith(0.0, true, std::nan(""));

class ValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueTest, ReadsTheWallsFigureOrSaysWhyItHasNone) {
  const ValueCase& c = GetParam();
  CheckedWall wall;
  wall.wall = c.element != nullptr ? &c.element->wall : &kPlain;
  wall.element = c.element;
  if (c.moisture != nullptr) wall.moisture = {c.moisture};
  const TestedValue value = testedValue(test(c.key, Comparison::AtMost, 0), wall);
  if (std::isnan(c.expected)) {
    EXPECT_FALSE(value.computed()) << c.name << ": " << value.value;
    EXPECT_NE(std::string::npos, value.notComputable.find(c.reasonPart))
        << c.name << ": " << value.notComputable;
    return;
  }
  ASSERT_TRUE(value.computed()) << c.name << ": " << value.notComputable;
  EXPECT_NEAR(c.expected, value.value, 1e-12) << c.name;
  if (c.reasonPart.empty()) {
    EXPECT_EQ("", value.caveat) << c.name;
  } else {
    EXPECT_NE(std::string::npos, value.caveat.find(c.reasonPart)) << c.name << ": " << value.caveat;
  }
}

const double kNone = std::nan("");

INSTANTIATE_TEST_SUITE_P(
    Values, ValueTest,
    ::testing::Values(
        // Uc = U + Delta U (ISO 6946 F.1), U itself for a wall of plain layers.
        ValueCase{"uc_of_plain_wall_is_u", "u_value_corrected", nullptr, nullptr, 0.193, ""},
        ValueCase{"uc_of_fastened_wall", "u_value_corrected", &kFastened, nullptr, 0.252, ""},
        ValueCase{"u_of_fastened_wall", "u_value", &kFastened, nullptr, 0.193, ""},
        ValueCase{"beyond_method_caveat_on_u", "u_value", &kBeyond, nullptr, 0.5,
                  "R'T/R''T = 1.6 > 1.5"},
        ValueCase{"beyond_method_caveat_on_uc", "u_value_corrected", &kBeyond, nullptr, 0.5,
                  "outside the ISO 6946 combined method"},
        ValueCase{"beyond_method_caveat_on_lag", "periodic_thermal_transmittance.time_lag",
                  &kBeyond, nullptr, 9, "ISO 10211"},
        ValueCase{"no_caveat_on_mass", "surface_mass", &kBeyond, nullptr, 150, ""},
        ValueCase{"no_caveat_on_thickness", "thickness", &kBeyond, nullptr, 0, ""},
        // Water in the moisture output's g/m2; yes/no as 1/0.
        ValueCase{"max_accumulated_in_grams", "max_accumulated", nullptr, &kWet, 350, ""},
        ValueCase{"end_accumulated_in_grams", "end_accumulated", nullptr, &kWet, 175, ""},
        ValueCase{"does_not_dry", "dries_out", nullptr, &kWet, 0, ""},
        ValueCase{"dries", "dries_out", nullptr, &kNoMouldMonth, 1, ""},
        ValueCase{"f_rsi", "surface.f_rsi", nullptr, &kWet, 0.82, ""},
        ValueCase{"f_rsi_min", "surface.f_rsi_min", nullptr, &kWet, 0.71, ""},
        ValueCase{"surface_passes", "surface.passes", nullptr, &kWet, 1, ""},
        ValueCase{"f_rsi_min_without_month", "surface.f_rsi_min", nullptr, &kNoMouldMonth, kNone,
                  "no month is warmer indoors than outdoors"},
        ValueCase{"moisture_without_climate", "max_accumulated", nullptr, nullptr, kNone,
                  "max_accumulated needs the moisture assessment (ISO 13788): no climate"},
        ValueCase{"moisture_of_element_without_climate", "surface.passes", &kFastened, nullptr,
                  kNone, "no climate was given"},
        ValueCase{"capacity_of_element_without_estimate", kEstimate, &kFastened, nullptr, kNone,
                  "method \"none\""}),
    [](const auto& row) { return row.param.name; });

TEST(RequirementsTest, MoistureReasonIsTheOneTheCallerGives) {
  CheckedWall wall;
  wall.wall = &kPlain;
  wall.withoutMoisture = "it cannot be made for this wall: layer 2 has no mu";
  EXPECT_EQ(
      "dries_out needs the moisture assessment (ISO 13788): it cannot be made for this "
      "wall: layer 2 has no mu",
      testedValue(test("dries_out", Comparison::Is, 1), wall).notComputable);
}

// A wall with parts: ISO 13788 is one-dimensional, so a requirement holds where it holds along
// every path; the value judged is the path's worst for the test.
const MoistureResult kInsulationPath = moistureWith(0.12, true, 0.7);
const MoistureResult kStudPath = [] {
  MoistureResult m = moistureWith(0.35, false, 0.7);
  m.fRsi = 0.74;
  m.surfacePasses = true;
  return m;
}();

struct PathCase {
  std::string name;
  QuantityTest test;
  double value;
  std::string path;
  Verdict verdict;
};

class MoisturePathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(MoisturePathTest, TheWorstPathForTheTestDecides) {
  const PathCase& c = GetParam();
  CheckedWall wall;
  wall.wall = &kPlain;
  wall.moisture = {&kInsulationPath, &kStudPath};
  wall.moisturePaths = {"Mineral wool", "Stud"};
  Rule rule;
  rule.id = "r";
  rule.tests = {Combination::All, {c.test}};
  const RequirementsResult result = evaluateRequirements({"set", "", {rule}}, wall);
  ASSERT_EQ(1u, result.rules[0].outcomes.size());
  const TestOutcome& outcome = result.rules[0].outcomes[0];
  EXPECT_NEAR(c.value, outcome.value, 1e-12) << c.name;
  EXPECT_EQ(c.path, outcome.path) << c.name;
  EXPECT_EQ(c.verdict, result.rules[0].verdict) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, MoisturePathTest,
    ::testing::Values(PathCase{"most_water_against_an_upper_limit",
                               test("max_accumulated", Comparison::AtMost, 200), 350, "Stud",
                               Verdict::Failed},
                      PathCase{"most_water_even_when_it_passes",
                               test("max_accumulated", Comparison::LessThan, 400), 350, "Stud",
                               Verdict::Passed},
                      PathCase{"least_water_against_a_lower_limit",
                               test("max_accumulated", Comparison::AtLeast, 100), 120,
                               "Mineral wool", Verdict::Passed},
                      PathCase{"coldest_surface", test("surface.f_rsi", Comparison::AtLeast, 0.75),
                               0.74, "Stud", Verdict::Failed},
                      PathCase{"one_path_that_does_not_dry", test("dries_out", Comparison::Is, 1),
                               0, "Stud", Verdict::Failed},
                      PathCase{"one_path_that_dries", test("dries_out", Comparison::Is, 0), 1,
                               "Mineral wool", Verdict::Failed},
                      // The same figure on every path: no path decides it.
                      PathCase{"every_path_passes_the_surface",
                               test("surface.passes", Comparison::Is, 1), 1, "", Verdict::Passed},
                      PathCase{"climate_alone", test("surface.f_rsi_min", Comparison::AtMost, 0.8),
                               0.7, "", Verdict::Passed}),
    [](const auto& row) { return row.param.name; });

TEST(RequirementsTest, TestableQuantitiesAreTheComputeNumbersUcAndTheMoistureResults) {
  std::vector<std::string> keys;
  for (const Quantity* q : testableQuantities()) {
    keys.emplace_back(q->key);
    EXPECT_EQ(q, testableQuantity(q->key)) << q->key << " is named by two quantities";
    EXPECT_TRUE(q->type == QuantityType::Number || q->type == QuantityType::Flag) << q->key;
  }
  for (const char* key : {"u_value", "u_value_corrected", "max_accumulated", "dries_out",
                          "surface.f_rsi", "surface.f_rsi_min", kEstimate.c_str()}) {
    EXPECT_NE(nullptr, testableQuantity(key)) << key;
  }
  // A month's figure or a per-plane list is not one number of the wall.
  for (const char* key : {"months.accumulated", "transfer_matrix.z11", "paths.u_value",
                          "sequential_heat_capacity.daily.method", "max_month"}) {
    EXPECT_EQ(nullptr, testableQuantity(key)) << key;
  }
}

struct FlagContradictionCase {
  std::string name;
  TestGroup group;
  bool contradictory;
};

class FlagContradictionTest : public ::testing::TestWithParam<FlagContradictionCase> {};

TEST_P(FlagContradictionTest, IsTrueAndIsFalseExcludeEachOtherInAnAll) {
  const FlagContradictionCase& c = GetParam();
  EXPECT_EQ(c.contradictory, contradictoryTests(c.group).has_value()) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Flags, FlagContradictionTest,
    ::testing::Values(FlagContradictionCase{"true_and_false",
                                            {Combination::All,
                                             {test("dries_out", Comparison::Is, 1),
                                              test("dries_out", Comparison::Is, 0)}},
                                            true},
                      FlagContradictionCase{"true_twice",
                                            {Combination::All,
                                             {test("dries_out", Comparison::Is, 1),
                                              test("dries_out", Comparison::Is, 1)}},
                                            false},
                      FlagContradictionCase{"two_flags",
                                            {Combination::All,
                                             {test("dries_out", Comparison::Is, 1),
                                              test("surface.passes", Comparison::Is, 0)}},
                                            false},
                      FlagContradictionCase{"either_in_any",
                                            {Combination::Any,
                                             {test("dries_out", Comparison::Is, 1),
                                              test("dries_out", Comparison::Is, 0)}},
                                            false}),
    [](const auto& row) { return row.param.name; });

}  // namespace

namespace {

// A junction checked as a wall is: its psi and fRsi against the rules on them; a rule on a
// wall's figures does not apply to a junction, nor a rule on a junction's figures to a wall,
// and a figure the junction did not compute is never a pass.
BridgeResult junctionWith(std::vector<double> psis, std::optional<double> fRsi) {
  BridgeResult r;
  for (double psi : psis) r.psi.push_back({0, 1, 0.0, 0.0, psi});
  r.fRsi = fRsi;
  return r;
}

struct JunctionCase {
  std::string name;
  std::vector<Rule> rules;
  bool junction;  // checked: the junction below, else a plain wall
  BridgeResult result;
  Verdict expected;
  std::string reasonPart;  // in the first rule's reason
};

class JunctionCheckTest : public ::testing::TestWithParam<JunctionCase> {};

Rule fRsiRule(double atLeast) {
  Rule rule;
  rule.id = "frsi";
  rule.tests = {Combination::All, {test("f_rsi", Comparison::AtLeast, atLeast)}};
  return rule;
}

TEST_P(JunctionCheckTest, JudgesOnlyWhatTheCheckedThingHas) {
  const JunctionCase& c = GetParam();
  const WallResult plain = resultWith(0.2, 300, 0.05, 9, 0.2);
  CheckedWall checked;
  if (c.junction) {
    checked.bridge = &c.result;
  } else {
    checked.wall = &plain;
  }
  const RequirementsResult result = evaluateRequirements({"set", "", c.rules}, checked);
  EXPECT_EQ(c.expected, result.verdict) << c.name;
  ASSERT_FALSE(result.rules.empty());
  EXPECT_NE(std::string::npos, result.rules.front().reason.find(c.reasonPart))
      << c.name << ": " << result.rules.front().reason;
}

INSTANTIATE_TEST_SUITE_P(
    Junctions, JunctionCheckTest,
    ::testing::Values(JunctionCase{"psi_passes",
                                   {ruleOn("psi", "psi", 0.1)},
                                   true,
                                   junctionWith({0.06}, 0.8),
                                   Verdict::Passed,
                                   ""},
                      JunctionCase{"psi_fails",
                                   {ruleOn("psi", "psi", 0.05)},
                                   true,
                                   junctionWith({0.06}, 0.8),
                                   Verdict::Failed,
                                   ""},
                      JunctionCase{"negative_psi_of_a_corner_passes",
                                   {ruleOn("psi", "psi", 0.0)},
                                   true,
                                   junctionWith({-0.08}, 0.8),
                                   Verdict::Passed,
                                   ""},
                      JunctionCase{"f_rsi_fails_below_mould_limit",
                                   {fRsiRule(0.7)},
                                   true,
                                   junctionWith({0.06}, 0.62),
                                   Verdict::Failed,
                                   ""},
                      JunctionCase{"no_flanking_elements",
                                   {ruleOn("psi", "psi", 0.1)},
                                   true,
                                   junctionWith({}, 0.8),
                                   Verdict::NotComputable,
                                   "no flanking elements"},
                      JunctionCase{"psi_per_pair",
                                   {ruleOn("psi", "psi", 0.1)},
                                   true,
                                   junctionWith({0.05, 0.02}, 0.8),
                                   Verdict::NotComputable,
                                   "2 pairs"},
                      JunctionCase{"no_f_rsi",
                                   {fRsiRule(0.7)},
                                   true,
                                   junctionWith({0.06}, std::nullopt),
                                   Verdict::NotComputable,
                                   "indoor and outdoor"},
                      JunctionCase{"wall_rule_on_a_junction",
                                   {ruleOn("u", "u_value", 0.3)},
                                   true,
                                   junctionWith({0.06}, 0.8),
                                   Verdict::NothingChecked,
                                   "this is a junction"},
                      JunctionCase{"junction_rule_on_a_wall",
                                   {ruleOn("psi", "psi", 0.1)},
                                   false,
                                   junctionWith({}, std::nullopt),
                                   Verdict::NothingChecked,
                                   "this is a wall"},
                      JunctionCase{"project_file_of_both_on_a_junction",
                                   {ruleOn("u", "u_value", 0.3), ruleOn("psi", "psi", 0.1)},
                                   true,
                                   junctionWith({0.06}, 0.8),
                                   Verdict::Passed,
                                   "this is a junction"},
                      JunctionCase{"project_file_of_both_on_a_wall",
                                   {ruleOn("u", "u_value", 0.3), ruleOn("psi", "psi", 0.1)},
                                   false,
                                   junctionWith({}, std::nullopt),
                                   Verdict::Passed,
                                   ""}),
    [](const auto& row) { return row.param.name; });

}  // namespace
