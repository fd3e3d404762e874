#include "check_report.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>

namespace {

using namespace Brusk::Validation;

struct CheckCase {
  const char* name;
  const char* label;
  const char* expectedText;
  const char* toleranceText;
  double expected, tolerance, value;
  const char* line;
};

class CheckCloseTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckCloseTest, WritesOneLineAndCountsItsVerdict) {
  const CheckCase& c = GetParam();
  const unsigned passedBefore = passedChecks;
  const unsigned failedBefore = failedChecks;
  std::ostringstream out;
  checkClose(out, c.label, c.expectedText, c.toleranceText, c.expected, c.tolerance, c.value);
  EXPECT_EQ(out.str(), std::string(c.line) + "\n");
  const bool passed = std::string(c.line).rfind("[PASSED]", 0) == 0;
  EXPECT_EQ(passedChecks - passedBefore, passed ? 1u : 0u);
  EXPECT_EQ(failedChecks - failedBefore, passed ? 0u : 1u);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Lines, CheckCloseTest,
    ::testing::Values(
        CheckCase{"exact_tolerance_passes", "x", "86.0", "1.0e-0", 86, 1, 87,
                  "[PASSED] x = 86.0 +/- 1.0e-0. Value: 87. Absolute error: 1, relative error: "
                  "1.16279%."},
        CheckCase{"beyond_tolerance_fails", "x", "86.0", "1.0e-0", 86, 1, 87.5,
                  "[FAILED] x = 86.0 +/- 1.0e-0. Value: 87.5. Absolute error: 1.5, relative "
                  "error: 1.74419%."},
        CheckCase{"negative_reference_passes", "inertia0._z11.getRealPart()", "- 0.508", "1.0e-3",
                  -0.508, 0.001, -0.5076,
                  "[PASSED] inertia0._z11.getRealPart() = - 0.508 +/- 1.0e-3. Value: -0.5076. "
                  "Absolute error: 0.0004, relative error: -0.0787402%."},
        CheckCase{"negative_reference_fails", "inertia0._z11.getRealPart()", "- 0.508", "1.0e-3",
                  -0.508, 0.001, -0.51,
                  "[FAILED] inertia0._z11.getRealPart() = - 0.508 +/- 1.0e-3. Value: -0.51. "
                  "Absolute error: 0.002, relative error: -0.393701%."},
        CheckCase{"equal_value_prints_integers", "c / 1000.0", "480.0", "1.0e-3", 480, 0.001, 480,
                  "[PASSED] c / 1000.0 = 480.0 +/- 1.0e-3. Value: 480. Absolute error: 0, "
                  "relative error: 0%."},
        CheckCase{"small_error_in_exponent_notation", "u", "0.359", "1.0e-3", 0.359, 0.001,
                  0.3589232303,
                  "[PASSED] u = 0.359 +/- 1.0e-3. Value: 0.358923. Absolute error: 7.67697e-05, "
                  "relative error: 0.0213843%."},
        CheckCase{"nan_fails", "n", "1.0", "1.0e-3", 1, 0.001, kNaN,
                  "[FAILED] n = 1.0 +/- 1.0e-3. Value: nan. Absolute error: nan, relative "
                  "error: nan%."}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(PrintSummary, VerdictFollowsTheFailedCounter) {
  passedChecks = 0;
  failedChecks = 0;
  std::ostringstream none;
  printSummary(none);
  EXPECT_EQ(none.str(),
            "Checks summary:\n   - passed: 0\n   - failed: 0\nValidations have PASSED\n");

  failedChecks = 1;
  std::ostringstream failed;
  printSummary(failed);
  EXPECT_EQ(failed.str(),
            "Checks summary:\n   - passed: 0\n   - failed: 1\nValidations have FAILED\n");
}

}  // namespace
