// The requirements section: each verdict as a reader sees it, and hostile names escaped.
#include "brusk/report/requirements_section.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace Brusk;

Frontend::WallCheck checkWith(const std::string& wall, Engine::RuleResult rule, bool passed) {
  Frontend::WallCheck check;
  check.wall = wall;
  check.result.name = "Set <i>";
  check.result.source = "Doc & clause";
  check.result.passed = passed;
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

Engine::RuleResult passedRule() {
  Engine::RuleResult rule;
  rule.id = "u";
  rule.source = "4.1";
  rule.passed = true;
  rule.outcomes.push_back({{"u_value", Engine::Comparison::AtMost, 0.3}, 0.25, true});
  return rule;
}

Engine::RuleResult failedRule() {
  Engine::RuleResult rule = passedRule();
  rule.passed = false;
  rule.outcomes[0] = {{"u_value", Engine::Comparison::AtMost, 0.3}, 0.35, false};
  return rule;
}

Engine::RuleResult excludedRule() {
  Engine::RuleResult rule;
  rule.id = "summer";
  rule.applicable = false;
  rule.notApplicable = "heat_flow is \"upward\", not \"horizontal\"";
  return rule;
}

INSTANTIATE_TEST_SUITE_P(
    Verdicts, RequirementsSectionTest,
    ::testing::Values(
        SectionCase{"passed", checkWith("Wall", passedRule(), true),
                    "<td>passed</td><td>u_value = 0.25 W/(m2.K) &lt;= 0.3 W/(m2.K)</td>",
                    "<strong>failed"},
        SectionCase{"failed", checkWith("Wall", failedRule(), false),
                    "<td>failed</td><td>u_value = 0.35 W/(m2.K), not &lt;= 0.3 W/(m2.K)</td>",
                    "every applicable rule passed"},
        SectionCase{"excluded", checkWith("Wall", excludedRule(), true),
                    "<td>not applicable</td><td>heat_flow is &quot;upward&quot;", "<td>passed"},
        SectionCase{"hostile_name", checkWith("<script>x</script>", passedRule(), true),
                    "Requirements: &lt;script&gt;x&lt;/script&gt;", "<script>"}),
    [](const auto& row) { return row.param.name; });

}  // namespace
