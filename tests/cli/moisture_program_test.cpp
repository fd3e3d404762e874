// `brusk moisture` as a user runs it: the example wall under the example climates in every
// format, and bad input (exit 2, the reason on standard error, nothing on standard output).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "program_fixture.h"

namespace {

using BruskTest::ProgramFixture;

const std::string kExampleWall =
    std::string(BRUSK_SOURCE_DIR) + "/examples/moisture/internal-insulation.toml";
const std::string kColdClimate = std::string(BRUSK_SOURCE_DIR) + "/examples/climates/cold.csv";

std::string twelveMonths() {
  std::string text =
      "month,outdoor_temperature,outdoor_relative_humidity,indoor_temperature,"
      "indoor_relative_humidity\n";
  for (int m = 1; m <= 12; ++m) text += std::to_string(m) + ",0,80,20,50\n";
  return text;
}

class MoistureProgramTest : public ProgramFixture {};

TEST_F(MoistureProgramTest, JsonCsvAndTableTellTheSameYear) {
  const BruskTest::ProgramRun json =
      run("moisture '" + kExampleWall + "' --climate '" + kColdClimate + "' --format json");
  ASSERT_EQ(0, json.status) << json.err;
  const nlohmann::json result = nlohmann::json::parse(json.out);
  EXPECT_FALSE(result["dries_out"].get<bool>());
  const int maxMonth = result["max_month"].get<int>();
  const double maxAccumulated = result["max_accumulated"].get<double>();
  EXPECT_GT(maxAccumulated, 0.0);
  const BruskTest::ProgramRun csv =
      run("moisture '" + kExampleWall + "' --climate '" + kColdClimate + "' --format csv");
  ASSERT_EQ(0, csv.status) << csv.err;
  EXPECT_EQ(13, std::count(csv.out.begin(), csv.out.end(), '\n'));
  const BruskTest::ProgramRun table =
      run("moisture '" + kExampleWall + "' --climate '" + kColdClimate + "'");
  ASSERT_EQ(0, table.status) << table.err;
  const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char largest[64];
  std::snprintf(largest, sizeof largest, "largest %.1f g/m2 at the end of %s", maxAccumulated,
                months[maxMonth - 1]);
  EXPECT_NE(std::string::npos, table.out.find(largest)) << table.out;
  EXPECT_NE(std::string::npos, table.out.find("Dries out within the year: NO")) << table.out;
}

struct BadMoistureRun {
  const char* label;
  std::string climate;    ///< written to climate.csv
  std::string wall;       ///< written to wall.toml
  std::string arguments;  ///< after "moisture good.toml wall.toml --climate climate.csv"
  std::string message;    ///< the start of standard error after "brusk: "
};

std::ostream& operator<<(std::ostream& out, const BadMoistureRun& c) { return out << c.label; }

class BadMoistureTest : public ProgramFixture,
                        public ::testing::WithParamInterface<BadMoistureRun> {};

TEST_P(BadMoistureTest, ExitsWithStatusTwoAndTheReason) {
  const BadMoistureRun& input = GetParam();
  write("climate.csv", input.climate);
  write("wall.toml", input.wall);
  write("good.toml", "[[layers]]\nmaterial = \"brick-solid\"\nthickness = 0.2\n");
  const bool ownClimate = input.arguments.find("--climate") != std::string::npos;
  const BruskTest::ProgramRun result =
      run("moisture good.toml wall.toml " +
          (ownClimate ? input.arguments : "--climate climate.csv " + input.arguments));
  EXPECT_EQ(2, result.status) << input.label;
  EXPECT_EQ("", result.out) << input.label;
  EXPECT_EQ(0u, result.err.find("brusk: " + input.message)) << input.label << ": " << result.err;
}

const std::string kBrick = "[[layers]]\nmaterial = \"brick-solid\"\nthickness = 0.2\n";

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadMoistureTest,
    ::testing::Values(
        BadMoistureRun{"13 rows", twelveMonths() + "5,0,80,20,50\n", kBrick, "",
                       "climate.csv:14: more than 12 month rows"},
        BadMoistureRun{"RH over 100",
                       twelveMonths().replace(twelveMonths().find("3,0,80"), 6, "3,0,180"), kBrick,
                       "", "climate.csv:4: month 3: outdoor_relative_humidity: "},
        BadMoistureRun{"no vapour property", twelveMonths(),
                       "[[layers]]\nname = \"Foam\"\nthickness = 0.1\nconductivity = 0.04\n"
                       "density = 30\nspecific_heat = 1400\n",
                       "", "wall.toml: layer 1 (\"Foam\"): no water-vapour property"},
        BadMoistureRun{"class out of range", twelveMonths(), kBrick, "--humidity-class 7",
                       "--humidity-class must be 1 to 5"},
        BadMoistureRun{"indoor temperature without class", twelveMonths(), kBrick,
                       "--indoor-temperature 18", "--indoor-temperature goes with"},
        BadMoistureRun{"indoor below its dew point", twelveMonths(), kBrick,
                       "--humidity-class 5 --indoor-temperature 4",
                       "climate.csv:2: month 1: humidity class 5 gives an indoor vapour "
                       "pressure"},
        BadMoistureRun{"missing climate", "", kBrick, "--climate nowhere.csv", "nowhere.csv"}));

#ifdef BRUSK_TESTS_HAVE_REPORT
TEST_F(MoistureProgramTest, ReportWithAClimateHasAMoistureSectionAndKeepsTheClimateFile) {
  write("climate.csv", twelveMonths());
  write("wall.toml", kBrick);
  const BruskTest::ProgramRun good =
      run("report wall.toml -o page.html --climate climate.csv --humidity-class 2");
  ASSERT_EQ(0, good.status) << good.err;
  const std::string page = read("page.html");
  EXPECT_NE(std::string::npos, page.find("<section id=\"moisture-0\">"));
  EXPECT_NE(std::string::npos, page.find("humidity class 2"));
  const BruskTest::ProgramRun overwrite =
      run("report wall.toml -o climate.csv --climate climate.csv");
  EXPECT_EQ(2, overwrite.status);
  EXPECT_EQ(twelveMonths(), read("climate.csv"));
  const BruskTest::ProgramRun lonely = run("report wall.toml -o other.html --humidity-class 2");
  EXPECT_EQ(2, lonely.status);
  EXPECT_NE(std::string::npos, lonely.err.find("go with --climate")) << lonely.err;
}
#endif

}  // namespace
