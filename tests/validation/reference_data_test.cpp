// The two reference walls of brusk-validation are also validation cases of `brusk validate`
// (data/validation/iso-13786.toml): the same published values and tolerances, row by row, and the
// wall files give what the object model of brusk-validation computes.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "brusk/frontend/validation.h"
#include "check_report.h"
#include "reference_cases.h"

namespace {

using namespace Brusk;

TEST(ReferenceData, ValidationCasesHoldTheReferenceTable) {
  std::vector<Frontend::ValidationCase> cases;
  for (const Frontend::ValidationCase& one : Frontend::builtInValidationCases()) {
    if (one.id == "reference-concrete" || one.id == "reference-concrete-insulated") {
      cases.push_back(one);
    }
  }
  ASSERT_EQ(2u, cases.size());
  ASSERT_EQ("reference-concrete", cases[0].id);
  const Frontend::ValidationRun run = Frontend::runValidationCases(cases);

  // What brusk-validation prints as each check's value (six significant digits).
  Validation::passedChecks = 0;
  Validation::failedChecks = 0;
  std::ostringstream out;
  (void)Validation::runReferenceValidation(out, Validation::referenceChecks());
  std::istringstream lines(out.str());
  std::vector<double> printedValues;
  for (std::string line; std::getline(lines, line);) {
    const std::size_t at = line.find(". Value: ");
    if (at != std::string::npos) printedValues.push_back(std::stod(line.substr(at + 9)));
  }

  const Validation::ReferenceTable& table = Validation::referenceChecks();
  ASSERT_EQ(table.size(), printedValues.size());
  std::size_t row = 0;
  for (std::size_t c = 0; c < 2; ++c) {
    ASSERT_EQ(Validation::kChecksPerElement, cases[c].figures.size()) << cases[c].id;
    for (std::size_t f = 0; f < cases[c].figures.size(); ++f, ++row) {
      const Frontend::ValidationFigure& figure = cases[c].figures[f];
      const Validation::ReferenceCheck& check = table[row];
      SCOPED_TRACE(std::string(check.label) + " against " + figure.key + " " + figure.at.text());
      EXPECT_EQ(check.expected, figure.published);
      EXPECT_EQ(check.tolerance, figure.tolerance);
      std::string printed = check.expectedText;
      if (printed.rfind("- ", 0) == 0) printed.erase(1, 1);
      EXPECT_EQ(printed, figure.printed);
      const double computed = run.outcomes[c].figures[f].computed;
      EXPECT_NEAR(printedValues[row], computed, 5e-6 * std::fabs(printedValues[row]));
    }
  }
}

}  // namespace
