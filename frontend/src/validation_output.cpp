// The validation run as a table for people and as JSON; labels and keys from the quantity
// description (scopes Validation and Reference, and the scopes of the compared quantities).
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "brusk/engine/quantities.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/provenance.h"
#include "brusk/frontend/shortest_double.h"
#include "brusk/frontend/text_util.h"
#include "brusk/frontend/validation.h"

namespace Brusk::Frontend {

namespace {

/// "Upper limit of the thermal resistance R′T": how a figure's quantity reads.
std::string labelOf(const ValidationFigure& figure) {
  const Engine::Quantity* q = Engine::findQuantity(figure.scope, figure.key);
  if (q == nullptr) return figure.key;
  std::string label(q->label);
  if (!q->symbolUnicode.empty()) {
    label += ' ';
    label += q->symbolUnicode;
  }
  return label;
}

/// Decimals of a printed figure: the digits after its point.
int printedDecimals(const std::string& printed) {
  const std::size_t point = printed.find('.');
  return point == std::string::npos ? 0 : static_cast<int>(printed.size() - point - 1);
}

std::string shortestText(double value) {
  char text[kShortestDoubleRoom];
  return std::string(text, writeShortestDouble(value == 0.0 ? 0.0 : value, text));
}

/// The computed value with two digits more than the figure was printed with, or as it is where
/// the figure must match exactly (a month); "-" when none.
std::string computedText(double value, const ValidationFigure& figure) {
  if (!std::isfinite(value)) return "-";
  if (figure.tolerance == 0.0) return shortestText(value);
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", printedDecimals(figure.printed) + 2, value + 0.0);
  return text;
}

/// A tolerance as a decimal fraction, "0.0005" rather than "5e-04".
std::string toleranceText(double tolerance) {
  char text[64];
  std::snprintf(text, sizeof text, "%.12f", tolerance);
  std::string out = text;
  while (!out.empty() && out.back() == '0') out.pop_back();
  if (!out.empty() && out.back() == '.') out.pop_back();
  return out;
}

void appendNumber(double value, std::string& out) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  out += shortestText(value);
}

void appendField(const char* key, std::string_view text, std::string& out,
                 const std::string& indent, bool last = false) {
  out += indent + '"' + key + "\": ";
  appendJsonString(text, out);
  out += last ? "\n" : ",\n";
}

std::string sourceText(const ValidationCase& one) {
  return one.source.document + ", " + one.source.clause + " (" + one.source.edition + ")";
}

bool rightAligned(std::size_t column) { return column >= 3 && column <= 5; }

}  // namespace

std::string formatValidationTable(const ValidationRun& run) {
  std::string out = std::string("Brusk ") + bruskVersion() +
                    ": published figures against Brusk's values, case by case\n\n";
  const std::vector<std::string> header = {"case",     "quantity",  "at",   "published",
                                           "computed", "tolerance", "unit", "verdict"};
  std::vector<std::vector<std::string>> rows;
  for (std::size_t c = 0; c < run.cases.size(); ++c) {
    const ValidationCase& one = run.cases[c];
    for (std::size_t f = 0; f < one.figures.size(); ++f) {
      const ValidationFigure& figure = one.figures[f];
      const FigureOutcome& outcome = run.outcomes[c].figures[f];
      rows.push_back({visibleText(one.id), labelOf(figure), figure.at.text(),
                      visibleText(figure.printed), computedText(outcome.computed, figure),
                      toleranceText(figure.tolerance), visibleText(figure.unit),
                      outcome.agrees ? "agrees" : "DIFFERS"});
    }
  }
  appendAlignedTable(out, header, rows, rightAligned);
  out += "\nSources and conventions\n";
  for (std::size_t c = 0; c < run.cases.size(); ++c) {
    const ValidationCase& one = run.cases[c];
    out += "\n" + visibleText(one.id) + ": " + visibleText(one.title) + "\n";
    out += "  standard: " + visibleText(one.standard) + "; data: " + visibleText(one.file) + "\n";
    out += "  source: " + visibleText(sourceText(one)) + "\n";
    if (!one.notes.empty()) out += "  conventions: " + visibleText(one.notes) + "\n";
    if (!run.outcomes[c].problem.empty()) {
      out += "  NOT COMPUTED: " + visibleText(run.outcomes[c].problem) + "\n";
    }
  }
  const std::size_t figures = run.figureCount();
  const std::size_t agreeing = run.agreeingCount();
  out += "\nSummary: " + std::to_string(run.cases.size()) + " cases, " + std::to_string(figures) +
         " figures: " + std::to_string(agreeing) + " agree, " + std::to_string(figures - agreeing) +
         " differ. " + (run.allAgree() ? "Every figure agrees." : "NOT every figure agrees.") +
         "\n";
  return out;
}

std::string formatValidationJson(const ValidationRun& run) {
  std::string out = "{\n";
  appendField("version", bruskVersion(), out, "  ");
  out += "  \"cases\": [";
  for (std::size_t c = 0; c < run.cases.size(); ++c) {
    const ValidationCase& one = run.cases[c];
    const CaseOutcome& outcome = run.outcomes[c];
    out += c == 0 ? "\n" : ",\n";
    const std::string in1 = "    ";
    const std::string in2 = in1 + "  ";
    const std::string in3 = in2 + "  ";
    out += in1 + "{\n";
    appendField("id", one.id, out, in2);
    appendField("title", one.title, out, in2);
    appendField("standard", one.standard, out, in2);
    appendField("kind", validationKindName(one.kind), out, in2);
    appendField("file", one.file, out, in2);
    out += in2 + "\"source\": {\"document\": ";
    appendJsonString(one.source.document, out);
    out += ", \"clause\": ";
    appendJsonString(one.source.clause, out);
    out += ", \"edition\": ";
    appendJsonString(one.source.edition, out);
    out += "},\n";
    appendField("notes", one.notes, out, in2);
    appendField("problem", outcome.problem, out, in2);
    out += in2 + "\"figures\": [";
    for (std::size_t f = 0; f < one.figures.size(); ++f) {
      const ValidationFigure& figure = one.figures[f];
      const FigureOutcome& result = outcome.figures[f];
      out += f == 0 ? "\n" : ",\n";
      out += in3 + "{\"quantity\": ";
      appendJsonString(figure.key, out);
      out += ", \"label\": ";
      appendJsonString(labelOf(figure), out);
      out += ", \"at\": ";
      appendJsonString(figure.at.text(), out);
      out += ", \"unit\": ";
      appendJsonString(figure.unit, out);
      out += ", \"printed\": ";
      appendJsonString(figure.printed, out);
      out += ", \"published\": ";
      appendNumber(figure.published, out);
      out += ", \"computed\": ";
      appendNumber(result.computed, out);
      out += ", \"tolerance\": ";
      appendNumber(figure.tolerance, out);
      out += ", \"difference\": ";
      appendNumber(result.difference, out);
      out += ", \"agrees\": ";
      out += result.agrees ? "true" : "false";
      out += "}";
    }
    out += one.figures.empty() ? "]\n" : "\n" + in2 + "]\n";
    out += in1 + "}";
  }
  out += run.cases.empty() ? "],\n" : "\n  ],\n";
  const std::size_t figures = run.figureCount();
  const std::size_t agreeing = run.agreeingCount();
  out += "  \"summary\": {\"cases\": " + std::to_string(run.cases.size()) +
         ", \"figures\": " + std::to_string(figures) + ", \"agree\": " + std::to_string(agreeing) +
         ", \"differ\": " + std::to_string(figures - agreeing) +
         ", \"all_agree\": " + (run.allAgree() ? "true" : "false") + "}\n}\n";
  return out;
}

}  // namespace Brusk::Frontend
