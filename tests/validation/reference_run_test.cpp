#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "check_report.h"
#include "reference_cases.h"

namespace {

using namespace Brusk::Validation;

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

std::string runWith(const ReferenceTable& table, int& status) {
  passedChecks = 0;
  failedChecks = 0;
  std::ostringstream out;
  status = runReferenceValidation(out, table);
  return out.str();
}

std::string golden() {
  std::ifstream in(BRUSK_VALIDATION_GOLDEN, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(ReferenceRun, MatchesTheGoldenOutput) {
  int status = -1;
  EXPECT_EQ(runWith(referenceChecks(), status), golden());
  EXPECT_EQ(status, 0);
}

// Every row of the table, made wrong in turn, fails alone and is reported, exit status still 0.
class WrongReferenceTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(WrongReferenceTest, TurnsExactlyOneLineToFailed) {
  const std::size_t row = GetParam();
  ReferenceTable table = referenceChecks();
  table[row].expected += 10 * table[row].tolerance;
  int status = -1;
  const std::vector<std::string> output = lines(runWith(table, status));
  const std::vector<std::string> expected = lines(golden());
  ASSERT_EQ(output.size(), 38u);
  for (std::size_t i = 0; i < 34; ++i) {
    const std::string verdict = output[i].substr(0, 8);
    EXPECT_EQ(verdict, i == row ? "[FAILED]" : "[PASSED]") << "line " << i + 1;
    if (i != row) {
      EXPECT_EQ(output[i], expected[i]) << "line " << i + 1;
    }
  }
  EXPECT_EQ(output[34], "Checks summary:");
  EXPECT_EQ(output[35], "   - passed: 33");
  EXPECT_EQ(output[36], "   - failed: 1");
  EXPECT_EQ(output[37], "Validations have FAILED");
  EXPECT_EQ(status, 0);
}

INSTANTIATE_TEST_SUITE_P(EveryRow, WrongReferenceTest, ::testing::Range<std::size_t>(0, 34));

TEST(ReferenceRun, ElementNamesAreNeverPrinted) {
  int status = -1;
  const std::string output = runWith(referenceChecks(), status);
  EXPECT_EQ(output.find("Surface 0"), std::string::npos);
  EXPECT_EQ(output.find("Surface 1"), std::string::npos);
}

}  // namespace
