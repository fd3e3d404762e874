// Requirements evaluated on results set by hand: each comparison on both sides of its
// threshold and at it, contradictory bounds, conditions on the wall's descriptors, any/all and
// the first matching class of a classification.
#include "brusk/engine/requirements.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace Brusk::Engine;

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
    ::testing::Values(
        ContradictionCase{
            "disjoint",
            {Combination::All,
             {{"u_value", Comparison::GreaterThan, 5}, {"u_value", Comparison::LessThan, 3}}},
            true},
        ContradictionCase{
            "range",
            {Combination::All,
             {{"u_value", Comparison::GreaterThan, 3}, {"u_value", Comparison::LessThan, 5}}},
            false},
        ContradictionCase{
            "touching_closed",
            {Combination::All,
             {{"u_value", Comparison::AtLeast, 3}, {"u_value", Comparison::AtMost, 3}}},
            false},
        ContradictionCase{
            "touching_open",
            {Combination::All,
             {{"u_value", Comparison::AtLeast, 3}, {"u_value", Comparison::LessThan, 3}}},
            true},
        ContradictionCase{
            "other_quantities",
            {Combination::All,
             {{"u_value", Comparison::GreaterThan, 5}, {"surface_mass", Comparison::LessThan, 3}}},
            false},
        ContradictionCase{
            "any_is_never",
            {Combination::Any,
             {{"u_value", Comparison::GreaterThan, 5}, {"u_value", Comparison::LessThan, 3}}},
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
                {{"surface_mass", Comparison::GreaterThan, 230},
                 {"periodic_thermal_transmittance.modulus", Comparison::LessThan, 0.10}}};
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
  const RequirementsResult result =
      evaluateRequirements(set, c.descriptors, resultWith(0.3, 100, 0.2, 8, 0.5));
  ASSERT_EQ(1u, result.rules.size());
  EXPECT_EQ(c.applicable, result.rules[0].applicable) << c.name;
  EXPECT_NE(std::string::npos, result.rules[0].notApplicable.find(c.reasonPart))
      << c.name << ": " << result.rules[0].notApplicable;
  // A wall of 100 kg/m2 and |Y12| 0.2 fails where the rule applies, and only there.
  EXPECT_EQ(!c.applicable, result.passed) << c.name;
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
      evaluateRequirements(set, {}, resultWith(0.3, c.surfaceMass, c.y12, 8, 0.5));
  EXPECT_EQ(c.passes, result.rules[0].passed) << c.name;
  const bool both = c.surfaceMass > 230 && c.y12 < 0.10;
  EXPECT_EQ(both, result.rules[1].passed) << c.name;
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
                    {{"periodic_thermal_transmittance.time_lag", Comparison::GreaterThan, 10},
                     {"decrement_factor", Comparison::LessThan, 0.3}}}},
                  {"fair",
                   {Combination::Any,
                    {{"periodic_thermal_transmittance.time_lag", Comparison::GreaterThan, 8}}}},
                  {"poor", {Combination::All, {}}}};
  RequirementSet set{"set", "doc", {rule}};
  const RequirementsResult result =
      evaluateRequirements(set, {}, resultWith(0.3, 100, 0.1, c.timeLag, c.decrement));
  EXPECT_EQ(c.expected, result.rules[0].className) << c.name;
  EXPECT_TRUE(result.rules[0].passed) << c.name;
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

TEST(RequirementsTest, UnknownQuantityFailsItsTestWithoutThrowing) {
  Rule rule;
  rule.id = "x";
  rule.tests = {Combination::All, {{"no_such_key", Comparison::AtMost, 1}}};
  const RequirementsResult result =
      evaluateRequirements({"set", "", {rule}}, {}, resultWith(0.3, 100, 0.1, 8, 0.5));
  EXPECT_FALSE(result.passed);
  EXPECT_TRUE(std::isnan(result.rules[0].outcomes[0].value));
}

}  // namespace
