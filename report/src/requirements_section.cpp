#include "brusk/report/requirements_section.h"

#include "text_format.h"

namespace Brusk::Report {

namespace {

/// The set's verdict as the section's sentence: a pass is plain, anything else stands out.
std::string verdictSentence(const Engine::RequirementsResult& result) {
  switch (result.verdict) {
    case Engine::Verdict::Passed:
      return "every applicable rule passed.";
    case Engine::Verdict::Failed:
      return "<strong>failed</strong>.";
    default:
      break;
  }
  // "nothing checked: ..." or "not computable: ...": the verdict word first, then why.
  const std::string text = Frontend::setVerdictText(result);
  const std::size_t colon = text.find(':');
  return "<strong>" + escapeMarkup(text.substr(0, colon)) + "</strong>" +
         escapeMarkup(text.substr(colon)) + ".";
}

}  // namespace

std::string renderRequirementsSection(const Frontend::WallCheck& check, std::size_t index) {
  const Engine::RequirementsResult& result = check.result;
  std::string rows;
  for (const Engine::RuleResult& rule : result.rules) {
    std::string verdict = Engine::verdictName(rule.verdict);
    if (!rule.className.empty()) verdict += ": class " + rule.className;
    const std::string compared = Frontend::comparedText(rule);
    rows += "<tr><td>" + escapeMarkup(rule.id) + "</td><td>" + escapeMarkup(rule.source) +
            "</td><td>" + escapeMarkup(verdict) + "</td><td>" + escapeMarkup(compared) +
            "</td></tr>\n";
  }
  const std::string id = "requirements-" + std::to_string(index);
  return "<section id=\"" + id + "\">\n<h2>Requirements: " + escapeMarkup(check.wall) +
         "</h2>\n<p>" + escapeMarkup(result.name) +
         (result.source.empty() ? std::string() : " (" + escapeMarkup(result.source) + ")") + ": " +
         verdictSentence(result) +
         "</p>\n<table class=\"results\">\n<thead><tr><th>Rule</th><th>Clause</th>"
         "<th>Verdict</th><th>Values compared</th></tr></thead>\n<tbody>\n" +
         rows + "</tbody>\n</table>\n</section>\n";
}

}  // namespace Brusk::Report
