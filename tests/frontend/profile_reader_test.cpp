// Profile CSV files: the layouts read, and every malformed file refused with its line and reason.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "brusk/engine/periodic_profile.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/profile_reader.h"
#include "brusk/frontend/profile_response.h"

namespace {

using namespace Brusk;

struct Layout {
  const char* name;
  const char* text;
  std::vector<double> values;
  double start;  ///< -1: no time column
  double step;   ///< -1: no step
};

class ProfileLayoutTest : public testing::TestWithParam<Layout> {};

TEST_P(ProfileLayoutTest, ReadsTheValuesAndTheTimeColumn) {
  const Layout& layout = GetParam();
  const Frontend::Profile profile = Frontend::parseProfileText(layout.text, "p.csv");
  EXPECT_EQ(profile.values, layout.values);
  EXPECT_EQ(profile.startHours.has_value(), layout.start >= 0.0);
  EXPECT_DOUBLE_EQ(profile.startHours.value_or(-1.0), layout.start);
  EXPECT_EQ(profile.stepHours.has_value(), layout.step >= 0.0);
  EXPECT_DOUBLE_EQ(profile.stepHours.value_or(-1.0), layout.step);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProfileLayoutTest,
    testing::Values(
        Layout{"one_column", "20\n21.5\n-3e-1\n", {20, 21.5, -0.3}, -1, -1},
        Layout{
            "header_crlf_comments", "# design day\r\ntheta\r\n\r\n20\r\n+22\r\n", {20, 22}, -1, -1},
        Layout{"no_final_newline", "1\n2", {1, 2}, -1, -1},
        Layout{"time_value", "time,value\n0, 20\n1 ,21\n2,22\n", {20, 21, 22}, 0, 1},
        Layout{"hour_ending", "1,20\n2,21\n3,22\n", {20, 21, 22}, 1, 1},
        Layout{"quarter_hours", "0,1\n0.25,2\n0.5,3\n0.75,4\n", {1, 2, 3, 4}, 0, 0.25},
        Layout{"one_timed_sample", "12,25\n", {25}, 12, -1},
        Layout{"byte_order_mark",
               "\xEF\xBB\xBF"
               "20\n21\n22\n",
               {20, 21, 22},
               -1,
               -1},
        Layout{"byte_order_mark_header", "\xEF\xBB\xBFtime,value\n0,1\n1,2\n", {1, 2}, 0, 1},
        Layout{"time_second", "temperature,time\n20,6\n21,7\n", {20, 21}, 6, 1},
        Layout{"time_with_unit", "Time [h],theta_e [degC]\n0,5\n2,6\n", {5, 6}, 0, 2},
        Layout{"hour_column", "theta,hour\n5,1\n6,2\n", {5, 6}, 1, 1},
        Layout{"lone_carriage_returns", "theta\r20\r21\r", {20, 21}, -1, -1},
        Layout{"mixed_line_ends", "1\r\n2\r3\n", {1, 2, 3}, -1, -1}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

struct BadProfile {
  const char* name;
  std::string text;
  const char* message;  ///< the whole message
};

class BadProfileTest : public testing::TestWithParam<BadProfile> {};

TEST_P(BadProfileTest, IsRefusedWithItsLineAndReason) {
  try {
    (void)Frontend::parseProfileText(GetParam().text, "p.csv");
    FAIL() << "accepted";
  } catch (const Frontend::Error& error) {
    EXPECT_EQ(std::string(error.what()), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadProfileTest,
    testing::Values(
        BadProfile{"empty", "", "p.csv: no samples in the profile"},
        BadProfile{"header_only", "time,value\n# nothing\n", "p.csv: no samples in the profile"},
        BadProfile{"word_in_cell", "20\n21\nwarm\n", "p.csv: line 3: \"warm\" is not a number"},
        BadProfile{"decimal_comma", "0,20,5\n",
                   "p.csv: line 1: 3 cells; a profile has one "
                   "column of values, or two: time [h], value"},
        BadProfile{"empty_cell", "0,20\n1,\n", "p.csv: line 2: an empty cell is not a number"},
        BadProfile{"trailing_junk", "20\n21x\n", "p.csv: line 2: \"21x\" is not a number"},
        BadProfile{"nan", "20\nnan\n", "p.csv: line 2: \"nan\" is not a finite number"},
        BadProfile{"infinite_time", "inf,20\n", "p.csv: line 1: \"inf\" is not a finite number"},
        BadProfile{"overflow", "1e999\n", "p.csv: line 1: \"1e999\" is not a finite number"},
        BadProfile{"number_like_header", "-x\n20\n", "p.csv: line 1: \"-x\" is not a number"},
        BadProfile{"columns_change", "0,20\n21\n",
                   "p.csv: line 2: 1 cell where the first sample had 2"},
        BadProfile{"unequal_spacing", "0,20\n1,21\n2,22\n3.5,23\n",
                   "p.csv: line 4: time 3.5 h breaks the spacing of 1 h set by the first two "
                   "samples (expected 3 h)"},
        BadProfile{"time_backwards", "1,20\n0,21\n",
                   "p.csv: line 2: time 0 h does not follow 1 h; times must increase"},
        BadProfile{"time_repeated", "1,20\n1,21\n",
                   "p.csv: line 2: time 1 h does not follow 1 h; times must increase"},
        BadProfile{"decimal_commas_under_header", "temperature\n18,5\n19,5\n",
                   "p.csv: line 2: 2 cells where the header (line 1) has 1; is \"18,5\" a "
                   "number with a decimal comma? Numbers take a decimal point"},
        BadProfile{"value_under_two_column_header", "time,value\n20\n",
                   "p.csv: line 2: 1 cell where the header (line 1) has 2"},
        BadProfile{"header_names_no_time", "a,b\n1,2\n",
                   "p.csv: line 1: the header \"a\",\"b\" must name one of its two columns "
                   "time (time [h], value)"},
        BadProfile{"header_names_two_times", "time,hours\n1,2\n",
                   "p.csv: line 1: the header \"time\",\"hours\" must name one of its two "
                   "columns time (time [h], value)"},
        BadProfile{"header_of_three", "time,value,note\n1,2,3\n",
                   "p.csv: line 1: a header of 3 cells; a profile has one column of values, or "
                   "two: time [h], value"},
        BadProfile{"carriage_return_lines_counted", "1\r2\rx\r",
                   "p.csv: line 3: \"x\" is not a number"},
        BadProfile{"binary", std::string("20\n\0\n", 4),
                   "p.csv:2: not a text file (NUL byte at offset 3)"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(BadProfileTest, MoreSamplesThanTheEngineTakesAreRefusedAtTheFirstTooMany) {
  std::string text;
  for (std::size_t i = 0; i <= Engine::kMaxProfileSamples; ++i) text += "20\n";
  try {
    (void)Frontend::parseProfileText(text, "p.csv");
    FAIL() << "accepted";
  } catch (const Frontend::Error& error) {
    EXPECT_EQ(std::string(error.what()),
              "p.csv: line 8785: more than 8784 samples (an hourly leap year)");
  }
}

struct TemperatureRange {
  const char* name;
  const char* text;
  const char* message;  ///< the whole message; empty when the profile is taken
};

class TemperatureRangeTest : public testing::TestWithParam<TemperatureRange> {};

TEST_P(TemperatureRangeTest, TakesFromMinus100To200DegreesAndNamesTheLineOutside) {
  const Frontend::Profile profile = Frontend::parseProfileText(GetParam().text, "t.csv");
  try {
    Frontend::requireTemperatures(profile, "t.csv");
    EXPECT_STREQ("", GetParam().message) << "taken";
  } catch (const Frontend::Error& error) {
    EXPECT_EQ(std::string(error.what()), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, TemperatureRangeTest,
    testing::Values(
        TemperatureRange{"bounds", "-100\n200\n", ""},
        TemperatureRange{"just_below", "20\n-100.001\n",
                         "t.csv: line 2: temperature -100.001 degC is outside -100 to 200 degC, "
                         "the range of indoor, outdoor and sol-air temperatures taken"},
        TemperatureRange{"kelvins", "# K\n293.15\n",
                         "t.csv: line 2: temperature 293.15 degC is outside -100 to 200 degC, "
                         "the range of indoor, outdoor and sol-air temperatures taken"},
        TemperatureRange{"huge_timed", "time,t_e\n0,1e308\n",
                         "t.csv: line 2: temperature 1e+308 degC is outside -100 to 200 degC, "
                         "the range of indoor, outdoor and sol-air temperatures taken"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

struct Wording {
  Engine::ProfileProblem problem;
  const char* message;
};

class ProfileWordingTest : public testing::TestWithParam<Wording> {};

TEST_P(ProfileWordingTest, NamesTheProfileTheSampleAndTheRequirement) {
  EXPECT_EQ(Frontend::describeProfileProblem(GetParam().problem), GetParam().message);
}

TEST_P(ProfileWordingTest, PutsTheIndoorSourceBeforeIndoorProblemsAndTheOutdoorOneBeforeTheRest) {
  const bool indoor = GetParam().problem.field == Engine::ProfileField::Indoor;
  EXPECT_EQ(Frontend::describeProfileProblem(GetParam().problem, "in.csv", "out.csv"),
            std::string(indoor ? "in.csv: " : "out.csv: ") + GetParam().message);
}

using Engine::ProfileField;
using Engine::ProfileProblemKind;
INSTANTIATE_TEST_SUITE_P(
    Table, ProfileWordingTest,
    testing::Values(
        Wording{{ProfileProblemKind::NotFinite, ProfileField::Outdoor, 2, HUGE_VAL},
                "sample 3 of the outdoor profile is not a finite number, got inf"},
        Wording{{ProfileProblemKind::Negative, ProfileField::Irradiance, 0, -5},
                "sample 1 of the solar irradiance profile is a negative irradiance, got -5 W/m2"},
        Wording{
            {ProfileProblemKind::OutOfRange, ProfileField::Absorptance, Engine::kWholeProfile, 1.5},
            "the solar absorptance must be a fraction from 0 to 1, got 1.5"},
        Wording{{ProfileProblemKind::ShortHarmonic, ProfileField::Indoor, 12, 0.5},
                "the indoor profile has so many samples that its harmonic 12 lasts 0.5 s, below "
                "the shortest cycle computed (1 s); use fewer samples or a longer period"},
        Wording{{ProfileProblemKind::Empty, ProfileField::Indoor, Engine::kWholeProfile, 0},
                "the indoor profile has no samples"}));

}  // namespace
