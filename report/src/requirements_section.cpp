#include "brusk/report/requirements_section.h"

#include "text_format.h"

namespace Brusk::Report {

std::string renderRequirementsSection(const Frontend::WallCheck& check, std::size_t index) {
  const Engine::RequirementsResult& result = check.result;
  std::string rows;
  for (const Engine::RuleResult& rule : result.rules) {
    std::string verdict = Frontend::verdictWord(rule);
    if (!rule.className.empty()) verdict += ": class " + rule.className;
    std::string compared;
    if (!rule.applicable) {
      compared = rule.notApplicable;
    } else {
      for (const Engine::TestOutcome& outcome : rule.outcomes) {
        if (!compared.empty()) compared += "; ";
        compared += Frontend::outcomeText(outcome);
      }
    }
    rows += "<tr><td>" + escapeMarkup(rule.id) + "</td><td>" + escapeMarkup(rule.source) +
            "</td><td>" + escapeMarkup(verdict) + "</td><td>" + escapeMarkup(compared) +
            "</td></tr>\n";
  }
  const std::string id = "requirements-" + std::to_string(index);
  return "<section id=\"" + id + "\">\n<h2>Requirements: " + escapeMarkup(check.wall) +
         "</h2>\n<p>" + escapeMarkup(result.name) +
         (result.source.empty() ? std::string() : " (" + escapeMarkup(result.source) + ")") + ": " +
         (result.passed ? "every applicable rule passed." : "<strong>failed</strong>.") +
         "</p>\n<table class=\"results\">\n<thead><tr><th>Rule</th><th>Clause</th>"
         "<th>Verdict</th><th>Values compared</th></tr></thead>\n<tbody>\n" +
         rows + "</tbody>\n</table>\n</section>\n";
}

}  // namespace Brusk::Report
