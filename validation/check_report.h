#pragma once

#include <iosfwd>
#include <string>

namespace Brusk::Validation {

/// Checks that have passed since the process started.
extern unsigned passedChecks;
/// Checks that have failed since the process started.
extern unsigned failedChecks;

/// Compares `value` with `expected` within the absolute `tolerance` (equality passes, NaN fails),
/// writes one report line to `out` and counts the verdict. The texts are printed as given.
void checkClose(std::ostream& out, const std::string& label, const std::string& expectedText,
                const std::string& toleranceText, double expected, double tolerance, double value);

/// `checkClose` on standard output.
void checkClose(const std::string& label, const std::string& expectedText,
                const std::string& toleranceText, double expected, double tolerance, double value);

/// Writes the four summary lines: the two counters and the overall verdict.
void printSummary(std::ostream& out);

/// `printSummary` on standard output.
void printSummary();

}  // namespace Brusk::Validation
