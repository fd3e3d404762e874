#include "check_report.h"

#include <cmath>
#include <iostream>
#include <ostream>

namespace Brusk::Validation {

unsigned passedChecks = 0;
unsigned failedChecks = 0;

void checkClose(std::ostream& out, const std::string& label, const std::string& expectedText,
                const std::string& toleranceText, double expected, double tolerance, double value) {
  const double absoluteError = std::fabs(expected - value);
  // Written so that a NaN error compares false and fails.
  const bool passed = absoluteError <= tolerance;
  // Signed on purpose: a negative reference gives a negative percentage.
  const double relativeError = absoluteError / expected * 100.0;

  out << '[' << (passed ? "PASSED" : "FAILED") << "] " << label << " = " << expectedText << " +/- "
      << toleranceText << ". Value: " << value << ". Absolute error: " << absoluteError
      << ", relative error: " << relativeError << "%." << std::endl;

  if (passed) {
    ++passedChecks;
  } else {
    ++failedChecks;
  }
}

void checkClose(const std::string& label, const std::string& expectedText,
                const std::string& toleranceText, double expected, double tolerance, double value) {
  checkClose(std::cout, label, expectedText, toleranceText, expected, tolerance, value);
}

void printSummary(std::ostream& out) {
  out << "Checks summary:" << std::endl;
  out << "   - passed: " << passedChecks << std::endl;
  out << "   - failed: " << failedChecks << std::endl;
  out << "Validations have " << (failedChecks == 0 ? "PASSED" : "FAILED") << std::endl;
}

void printSummary() { printSummary(std::cout); }

}  // namespace Brusk::Validation
