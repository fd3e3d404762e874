// brusk response run as a program: the example design day in every format, and bad profiles
// refused with exit status 2, nothing on standard output and the file, line and reason.
#include <gtest/gtest.h>

#include <string>

#include <nlohmann/json.hpp>

#include "program_fixture.h"

namespace {

using BruskTest::ProgramRun;

const std::string kExamples = BRUSK_SOURCE_DIR "/examples/";

class ResponseProgramTest : public BruskTest::ProgramFixture {};

TEST_F(ResponseProgramTest, SolAirFromSunAndAirEqualsTheSolAirFile) {
  const std::string wall = kExamples + "2-concrete-insulated.toml";
  const ProgramRun fromFile =
      run("response '" + wall + "' --outdoor '" + kExamples +
          "profiles/west-wall-sol-air.csv' --indoor-constant 26 --format json");
  const ProgramRun fromSun = run(
      "response '" + wall + "' --outdoor '" + kExamples + "profiles/hot-summer-day.csv' --solar '" +
      kExamples +
      "profiles/west-wall-irradiance.csv' --absorptance 0.7 --indoor-constant 26 --format json");
  ASSERT_EQ(0, fromFile.status) << fromFile.err;
  ASSERT_EQ(0, fromSun.status) << fromSun.err;
  const nlohmann::json a = nlohmann::json::parse(fromFile.out);
  const nlohmann::json b = nlohmann::json::parse(fromSun.out);
  ASSERT_EQ(24u, a["samples"].size());
  for (std::size_t h = 0; h < 24; ++h) {
    EXPECT_EQ(static_cast<double>(h), a["samples"][h]["time"].get<double>());
    EXPECT_NEAR(a["samples"][h]["heat_flow_in"].get<double>(),
                b["samples"][h]["heat_flow_in"].get<double>(), 1e-9);
    EXPECT_EQ(26.0, a["samples"][h]["indoor"].get<double>());
  }
  // The mean gain is U (mean theta_sa - 26); the daily gain less the loss is 24 h times it.
  const nlohmann::json& summary = a["summary"];
  EXPECT_NEAR(summary["heat_gained"].get<double>() - summary["heat_lost"].get<double>(),
              0.024 * summary["mean_heat_flow_in"].get<double>(), 1e-12);
  EXPECT_GE(summary["peak_delay"].get<double>(), 0.0);
  EXPECT_LT(summary["peak_delay"].get<double>(), 24.0);
}

struct Layout {
  const char* name;
  const char* format;
  const char* firstLine;
  std::size_t lines;
};

class ResponseFormatTest : public ResponseProgramTest,
                           public testing::WithParamInterface<Layout> {};

TEST_P(ResponseFormatTest, PrintsOneLinePerHour) {
  const ProgramRun result =
      run("response '" + kExamples + "4-timber-frame.toml' --outdoor '" + kExamples +
          "profiles/west-wall-sol-air.csv' --format " + GetParam().format);
  ASSERT_EQ(0, result.status) << result.err;
  EXPECT_EQ(GetParam().firstLine, result.out.substr(0, result.out.find('\n')));
  std::size_t lines = 0;
  for (char c : result.out) lines += c == '\n' ? 1u : 0u;
  EXPECT_EQ(GetParam().lines, lines) << result.out;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ResponseFormatTest,
    testing::Values(Layout{"csv", "csv",
                           "time,indoor,outdoor,heat_flow_in,inner_surface_temperature,"
                           "heat_flow_out,outer_surface_temperature",
                           25},
                    Layout{"table", "table",
                           "Timber frame: periodic response over 24.00 h, U = 0.181 W/(m2.K)", 43},
                    Layout{"json", "json", "{", 49}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

/// `count` samples `step` hours apart from 0 h, with times, swinging over the year.
std::string timedYear(int count, int step) {
  std::string rows = "time,theta_e\n";
  for (int i = 0; i < count; ++i) {
    rows += std::to_string(i * step) + "," + std::to_string(10 + (i * 7) % 11) + "\n";
  }
  return rows;
}

/// Twice an hourly leap year: 4393 samples 2 h apart, just beyond the longest period taken.
const char* beyondLeapYear() {
  static const std::string text = timedYear(4393, 2);
  return text.c_str();
}

struct WeatherYear {
  const char* name;
  int samples;
  int stepHours;
  double periodHours;  ///< the period the response is computed at: the samples' span
};

class WeatherYearTest : public ResponseProgramTest,
                        public testing::WithParamInterface<WeatherYear> {};

// A year of hourly weather, common or leap, is its own period: the count times the step.
TEST_P(WeatherYearTest, IsTakenOverItsOwnSpan) {
  const WeatherYear& year = GetParam();
  write("year.csv", timedYear(year.samples, year.stepHours));
  const ProgramRun result =
      run("response '" + kExamples + "2-concrete-insulated.toml' --outdoor year.csv --format json");
  ASSERT_EQ(0, result.status) << result.err;
  const nlohmann::json json = nlohmann::json::parse(result.out);
  EXPECT_EQ(year.periodHours, json["period"].get<double>());
  ASSERT_EQ(static_cast<std::size_t>(year.samples), json["samples"].size());
  EXPECT_EQ(static_cast<double>((year.samples - 1) * year.stepHours),
            json["samples"].back()["time"].get<double>());
  // The batch of the same walls takes the same year.
  write("walls.jsonl",
        "{\"layers\": [{\"material\": \"concrete-reinforced\", \"thickness\": 0.2}]}\n");
  const ProgramRun batch = run("batch walls.jsonl --outdoor year.csv");
  EXPECT_EQ(0, batch.status) << batch.err;
}

INSTANTIATE_TEST_SUITE_P(Table, WeatherYearTest,
                         testing::Values(WeatherYear{"common", 8760, 1, 8760.0},
                                         WeatherYear{"leap", 8784, 1, 8784.0},
                                         WeatherYear{"leap_two_hourly", 4392, 2, 8784.0}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

struct Refusal {
  const char* name;
  const char* outdoor;  ///< content of out.csv
  const char* options;
  const char* message;  ///< a part of standard error
};

class ResponseRefusalTest : public ResponseProgramTest,
                            public testing::WithParamInterface<Refusal> {};

TEST_P(ResponseRefusalTest, ExitsWithTwoAndSaysWhy) {
  write("out.csv", GetParam().outdoor);
  write("in.csv", "1,25\n13,27\n");
  write("sun.csv", "0\n100\n-4\n");
  write("kelvins.csv", "293\n294\n");
  const ProgramRun result =
      run("response '" + kExamples + "1-concrete.toml' --outdoor out.csv " + GetParam().options);
  EXPECT_EQ(2, result.status);
  EXPECT_EQ("", result.out);
  EXPECT_NE(std::string::npos, result.err.find(GetParam().message)) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ResponseRefusalTest,
    testing::Values(
        Refusal{"empty", "", "", "out.csv: no samples in the profile"},
        Refusal{"word", "20\n2O\n", "", "out.csv: line 2: \"2O\" is not a number"},
        Refusal{"nan", "20\nNaN\n", "", "out.csv: line 2: \"NaN\" is not a finite number"},
        Refusal{"spacing", "0,20\n1,21\n3,22\n", "", "out.csv: line 3: time 3 h breaks"},
        Refusal{"period_disagrees", "0,20\n1,21\n", "--period 24",
                "out.csv: 2 samples 1 h apart cover 2 h, not the period of 24 h"},
        Refusal{"indoor_start", "0,20\n12,21\n", "--indoor in.csv",
                "in.csv: starts at 1 h, out.csv at 0 h"},
        Refusal{"short_period", "20\n21\n", "--period 0.0001", "--period"},
        Refusal{"both_indoors", "20\n", "--indoor in.csv --indoor-constant 20", "excludes"},
        Refusal{"solar_without_absorptance", "20\n21\n22\n", "--solar sun.csv", "requires"},
        Refusal{"negative_sun", "20\n21\n22\n", "--solar sun.csv --absorptance 0.6",
                "sun.csv: sample 3 of the solar irradiance profile is a negative irradiance"},
        Refusal{"absorptance", "20\n21\n22\n", "--solar sun.csv --absorptance 2",
                "the solar absorptance must be a fraction from 0 to 1, got 2"},
        Refusal{"sun_count", "20\n21\n", "--solar sun.csv --absorptance 0.6",
                "sun.csv: 3 samples, but out.csv has 2"},
        Refusal{"missing_file", "20\n", "--indoor nowhere.csv", "nowhere.csv: cannot open"},
        Refusal{"huge_outdoor", "20\n1e308\n", "",
                "out.csv: line 2: temperature 1e+308 degC is outside -100 to 200 degC"},
        Refusal{"huge_indoor_constant", "20\n21\n", "--indoor-constant 1e308",
                "--indoor-constant must be a temperature from -100 to 200 degC, got 1e+308"},
        Refusal{"below_absolute_zero", "20\n21\n", "--indoor-constant -500",
                "--indoor-constant must be a temperature from -100 to 200 degC, got -500"},
        Refusal{"indoor_in_kelvins", "20\n21\n", "--indoor kelvins.csv",
                "kelvins.csv: line 1: temperature 293 degC is outside -100 to 200 degC"},
        Refusal{"timed_indoor_untimed_outdoor", "20\n21\n", "--indoor in.csv",
                "in.csv: starts at 1 h, but out.csv has no time column and so starts at 0 h"},
        Refusal{"decimal_commas", "temperature\n18,5\n19,5\n", "",
                "out.csv: line 2: 2 cells where the header (line 1) has 1; is \"18,5\" a number "
                "with a decimal comma?"},
        Refusal{"beyond_a_leap_year", beyondLeapYear(), "",
                "out.csv: 4393 samples 2 h apart cover 8786 h, outside the periods taken, one "
                "second to 8784 h (a leap year)"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

#ifdef BRUSK_TESTS_HAVE_REPORT
TEST_F(ResponseProgramTest, ReportWithAnOutdoorProfileAddsItsPlots) {
  const std::string walls = "'" + kExamples + "1-concrete.toml' '" + kExamples + "5-stone.toml'";
  const ProgramRun drawn = run("report " + walls + " --outdoor '" + kExamples +
                               "profiles/west-wall-sol-air.csv' -o page.html");
  ASSERT_EQ(0, drawn.status) << drawn.err;
  EXPECT_NE(std::string::npos, read("page.html").find("id=\"profile-heat-flow-plot\""));

  write("bad.csv", "0,20\n1,21\n2,x\n");
  const ProgramRun refused = run("report " + walls + " --outdoor bad.csv -o refused.html");
  EXPECT_EQ(2, refused.status);
  EXPECT_NE(std::string::npos, refused.err.find("bad.csv: line 3: \"x\" is not a number"))
      << refused.err;
  EXPECT_FALSE(std::filesystem::exists(_folder / "refused.html"));
}
#endif

}  // namespace
