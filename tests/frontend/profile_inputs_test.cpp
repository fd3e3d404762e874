// The checks of a response's profiles as given (the command line reads them from files, the
// WebAssembly module from text): accepted sets and what each refusal names.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "brusk/frontend/error.h"
#include "brusk/frontend/profile_inputs.h"

namespace {

using namespace Brusk::Frontend;

struct InputsRow {
  const char* what;
  const char* outdoor;                ///< CSV text of day.csv
  const char* indoor;                 ///< CSV text of room.csv, or nullptr for the constant
  double indoorConstant;              ///< [degC]
  std::optional<double> periodHours;  ///< given T [h]
  const char* refusal;                ///< the start of the message, or nullptr when accepted
  double expectedPeriodHours;         ///< when accepted
};

std::ostream& operator<<(std::ostream& out, const InputsRow& row) { return out << row.what; }

class ProfileInputsTest : public testing::TestWithParam<InputsRow> {};

TEST_P(ProfileInputsTest, AcceptsOrNamesTheProfile) {
  const InputsRow& row = GetParam();
  ProfileInputRequest request;
  request.outdoor = {parseProfileText(row.outdoor, "day.csv"), "day.csv"};
  if (row.indoor != nullptr)
    request.indoor = {parseProfileText(row.indoor, "room.csv"), "room.csv"};
  request.indoorConstant = row.indoorConstant;
  request.periodHours = row.periodHours;
  std::string message;
  ProfileInputs inputs;
  try {
    inputs = checkProfileInputs(request);
  } catch (const Error& error) {
    message = error.what();
  }
  if (row.refusal == nullptr) {
    EXPECT_EQ(message, "") << row.what;
    EXPECT_DOUBLE_EQ(inputs.periodHours, row.expectedPeriodHours) << row.what;
    EXPECT_EQ(inputs.indoorSource, row.indoor != nullptr ? "room.csv" : "--indoor-constant")
        << row.what;
  } else {
    EXPECT_EQ(message.rfind(row.refusal, 0), 0U) << row.what << ": " << message;
  }
}

// Four samples an hour apart cover 4 h; untimed samples take the period given, else 24 h.
INSTANTIATE_TEST_SUITE_P(
    Profiles, ProfileInputsTest,
    testing::Values(
        InputsRow{"timed day, constant room", "t,v\n0,20\n1,22\n2,24\n3,22\n", nullptr, 25.0,
                  std::nullopt, nullptr, 4.0},
        InputsRow{"untimed, period given", "20\n22\n24\n", nullptr, 25.0, 12.0, nullptr, 12.0},
        InputsRow{"untimed, no period", "20\n22\n24\n", nullptr, 25.0, std::nullopt, nullptr, 24.0},
        InputsRow{"indoor profile alike", "t,v\n0,20\n1,22\n", "t,v\n0,25\n1,26\n", 25.0,
                  std::nullopt, nullptr, 2.0},
        InputsRow{"period against the time column", "t,v\n0,20\n1,22\n", nullptr, 25.0, 24.0,
                  "day.csv: 2 samples 1 h apart cover 2 h, not the period of 24 h", 0.0},
        InputsRow{"indoor starting later", "t,v\n0,20\n1,22\n", "t,v\n1,25\n2,26\n", 25.0,
                  std::nullopt, "room.csv: starts at 1 h, day.csv at 0 h", 0.0},
        InputsRow{"constant room too hot", "20\n22\n", nullptr, 500.0, std::nullopt,
                  "--indoor-constant must be a temperature from -100 to 200 degC", 0.0},
        InputsRow{"outdoor colder than any air", "20\n-150\n", nullptr, 25.0, std::nullopt,
                  "day.csv", 0.0}));

}  // namespace
