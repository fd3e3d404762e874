// The requirements section: each verdict as a reader sees it, and hostile names escaped.
#include "brusk/report/requirements_section.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace Brusk;

Frontend::WallCheck checkWith(const std::string& wall, Engine::RuleResult rule,
                              Engine::Verdict verdict) {
  Frontend::WallCheck check;
  check.wall = wall;
  check.result.name = "Set <i>";
  check.result.source = "Doc & clause";
  check.result.verdict = verdict;
  check.result.rules.push_back(std::move(rule));
  return check;
}

struct SectionCase {
  std::string name;
  Frontend::WallCheck check;
  std::string expected;  // a piece of the section's markup
  std::string absent;    // markup that must not appear
};

class RequirementsSectionTest : public ::testing::TestWithParam<SectionCase> {};

TEST_P(RequirementsSectionTest, ShowsTheVerdictAndEscapesNames) {
  const SectionCase& c = GetParam();
  const std::string html = Report::renderRequirementsSection(c.check, 3);
  EXPECT_NE(std::string::npos, html.find("<section id=\"requirements-3\">")) << c.name;
  EXPECT_NE(std::string::npos, html.find(c.expected)) << c.name << "\n" << html;
  EXPECT_EQ(std::string::npos, html.find(c.absent)) << c.name << "\n" << html;
  EXPECT_EQ(std::string::npos, html.find("<i>")) << c.name;
}

Engine::TestOutcome uAtMost(double threshold, double value, Engine::Verdict verdict) {
  Engine::TestOutcome outcome;
  outcome.test.quantity = "u_value";
  outcome.test.comparison = Engine::Comparison::AtMost;
  outcome.test.threshold = threshold;
  outcome.value = value;
  outcome.verdict = verdict;
  return outcome;
}

Engine::RuleResult passedRule() {
  Engine::RuleResult rule;
  rule.id = "u";
  rule.source = "4.1";
  rule.verdict = Engine::Verdict::Passed;
  rule.outcomes.push_back(uAtMost(0.3, 0.25, Engine::Verdict::Passed));
  return rule;
}

Engine::RuleResult failedRule() {
  Engine::RuleResult rule = passedRule();
  rule.verdict = Engine::Verdict::Failed;
  rule.outcomes[0] = uAtMost(0.3, 0.35, Engine::Verdict::Failed);
  return rule;
}

Engine::RuleResult excludedRule() {
  Engine::RuleResult rule;
  rule.id = "summer";
  rule.verdict = Engine::Verdict::NotApplicable;
  rule.reason = "heat_flow is \"upward\", not \"horizontal\"";
  return rule;
}

Engine::RuleResult undecidedRule() {
  Engine::RuleResult rule = passedRule();
  rule.verdict = Engine::Verdict::NotComputable;
  rule.outcomes[0] = uAtMost(0.3, std::nan(""), Engine::Verdict::NotComputable);
  rule.reason = "u_value is not defined for this wall";
  return rule;
}

Engine::RuleResult ruleWithCaveat() {
  Engine::RuleResult rule = passedRule();
  rule.caveats = {"the element lies outside the ISO 6946 combined method <R'T/R''T>"};
  return rule;
}

INSTANTIATE_TEST_SUITE_P(
    Verdicts, RequirementsSectionTest,
    ::testing::Values(
        SectionCase{"passed", checkWith("Wall", passedRule(), Engine::Verdict::Passed),
                    "<td>passed</td><td>u_value = 0.250 W/(m2.K) &lt;= 0.3 W/(m2.K)</td>",
                    "<strong>failed"},
        SectionCase{"failed", checkWith("Wall", failedRule(), Engine::Verdict::Failed),
                    "<td>failed</td><td>u_value = 0.350 W/(m2.K), not &lt;= 0.3 W/(m2.K)</td>",
                    "every applicable rule passed"},
        SectionCase{"excluded", checkWith("Wall", excludedRule(), Engine::Verdict::NothingChecked),
                    "<td>not applicable</td><td>heat_flow is &quot;upward&quot;", "<td>passed"},
        // No rule applied: the section says so, and never that every applicable rule passed.
        SectionCase{"nothing_checked",
                    checkWith("Wall", excludedRule(), Engine::Verdict::NothingChecked),
                    "<strong>nothing checked</strong>: no rule of the set applies to this wall.",
                    "every applicable rule passed"},
        SectionCase{"not_computable",
                    checkWith("Wall", undecidedRule(), Engine::Verdict::NotComputable),
                    "<td>not computable</td><td>u_value &lt;= 0.3 W/(m2.K): not computable. "
                    "u_value is not defined for this wall</td>",
                    "every applicable rule passed"},
        SectionCase{"caveat", checkWith("Wall", ruleWithCaveat(), Engine::Verdict::Passed),
                    "; caveat: the element lies outside the ISO 6946 combined method "
                    "&lt;R&#39;T/R&#39;&#39;T&gt;",
                    "<R'T"},
        SectionCase{"hostile_name",
                    checkWith("<script>x</script>", passedRule(), Engine::Verdict::Passed),
                    "Requirements: &lt;script&gt;x&lt;/script&gt;", "<script>"}),
    [](const auto& row) { return row.param.name; });

}  // namespace
