// brusk batch --outdoor: the summaries of three walls under an hourly year checked by hand from
// their own series, the same rows whatever the threads, the keys of the one quantity table, and
// bad profiles or options refused before anything is written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "brusk/frontend/response_summary.h"
#include "program_fixture.h"

namespace {

using BruskTest::ProgramRun;

const char* const kWalls =
    R"({"name": "heavy", "layers": [{"thickness": 0.3, "conductivity": 1.8, "density": 2400, "specific_heat": 1000}]}
{"name": "insulated", "layers": [{"thickness": 0.015, "conductivity": 0.7, "density": 1400, "specific_heat": 1000}, {"thickness": 0.2, "conductivity": 1.8, "density": 2400, "specific_heat": 1000}, {"thickness": 0.12, "conductivity": 0.035, "density": 20, "specific_heat": 1450}]}
{"name": "light", "layers": [{"thickness": 0.0125, "conductivity": 0.25, "density": 900, "specific_heat": 1000}, {"thickness": 0.14, "conductivity": 0.035, "density": 30, "specific_heat": 1030}, {"thickness": 0.015, "conductivity": 0.13, "density": 650, "specific_heat": 1700}]}
)";

/// An hourly year, time column from hour 0: an annual and a daily swing and a cold spell.
std::string yearCsv() {
  std::string csv = "time,temperature\n";
  for (int h = 0; h < 8760; ++h) {
    const double t = h;
    double value = 10.0 - 9.0 * std::cos(2.0 * M_PI * (t - 500.0) / 8760.0) +
                   5.0 * std::cos(2.0 * M_PI * (t - 15.0) / 24.0);
    if (h > 900 && h < 1000) value -= 8.0;
    csv += std::to_string(h) + "," + std::to_string(value) + "\n";
  }
  return csv;
}

std::vector<std::vector<std::string>> csvRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> cells;
    std::istringstream cellStream(line);
    std::string cell;
    while (std::getline(cellStream, cell, ',')) cells.push_back(cell);
    if (!line.empty() && line.back() == ',') cells.emplace_back();
    rows.push_back(cells);
  }
  return rows;
}

class ResponseBatchTest : public BruskTest::ProgramFixture {
protected:
  void SetUp() override {
    ProgramFixture::SetUp();
    write("walls.jsonl", kWalls);
    write("year.csv", yearCsv());
  }
};

TEST_F(ResponseBatchTest, SummariesAreWhatTheSeriesShow) {
  const ProgramRun summaries = run("batch walls.jsonl --outdoor year.csv --indoor-constant 21");
  const ProgramRun series =
      run("batch walls.jsonl --outdoor year.csv --indoor-constant 21 --series --jobs 2");
  ASSERT_EQ(0, summaries.status) << summaries.err;
  ASSERT_EQ(0, series.status) << series.err;
  const auto summaryRows = csvRows(summaries.out);
  const auto seriesRows = csvRows(series.out);
  ASSERT_EQ(4u, summaryRows.size());
  ASSERT_EQ(1u + 3u * 8760u, seriesRows.size());
  std::map<std::string, std::size_t> column;
  for (std::size_t c = 0; c < summaryRows[0].size(); ++c) column[summaryRows[0][c]] = c;

  for (std::size_t wall = 0; wall < 3; ++wall) {
    const std::vector<std::string>& row = summaryRows[wall + 1];
    const auto value = [&](const char* key) { return std::stod(row.at(column.at(key))); };
    // By hand from the series: extremes and their first hours, the sums of the positive and
    // negative parts over 1 h steps, the mean.
    double peak = -1e300, minimum = 1e300, warmest = -1e300, coldest = 1e300;
    double peakTime = 0, minimumTime = 0, warmestTime = 0, coldestTime = 0;
    double gained = 0, lost = 0, sum = 0;
    for (std::size_t h = 0; h < 8760; ++h) {
      const std::vector<std::string>& sample = seriesRows[1 + wall * 8760 + h];
      ASSERT_EQ(std::to_string(wall + 1), sample[0]);
      const double time = std::stod(sample[2]);
      const double q = std::stod(sample[3]);
      const double surface = std::stod(sample[4]);
      ASSERT_EQ(static_cast<double>(h), time);
      if (q > peak) peak = q, peakTime = time;
      if (q < minimum) minimum = q, minimumTime = time;
      if (surface > warmest) warmest = surface, warmestTime = time;
      if (surface < coldest) coldest = surface, coldestTime = time;
      if (q > 0) gained += q;
      if (q < 0) lost -= q;
      sum += q;
    }
    const std::string name = row[1];
    EXPECT_EQ(peak, value("peak_heat_flow_in")) << name;
    EXPECT_EQ(peakTime, value("peak_heat_flow_in_time")) << name;
    EXPECT_EQ(minimum, value("minimum_heat_flow_in")) << name;
    EXPECT_EQ(minimumTime, value("minimum_heat_flow_in_time")) << name;
    EXPECT_EQ(warmest, value("inner_surface_temperature_max")) << name;
    EXPECT_EQ(warmestTime, value("inner_surface_temperature_max_time")) << name;
    EXPECT_EQ(coldest, value("inner_surface_temperature_min")) << name;
    EXPECT_EQ(coldestTime, value("inner_surface_temperature_min_time")) << name;
    EXPECT_NEAR(gained / 1000.0, value("heat_gained"), 1e-12 * (lost + gained)) << name;
    EXPECT_NEAR(lost / 1000.0, value("heat_lost"), 1e-12 * (lost + gained)) << name;
    EXPECT_NEAR(sum / 8760.0, value("mean_heat_flow_in"), 1e-9) << name;
    // The annual swing (9 K) is the main harmonic; the lag lies within its period.
    EXPECT_EQ(8760.0, value("main_harmonic_period")) << name;
    EXPECT_GT(value("effective_decrement_factor"), 0.0) << name;
    EXPECT_LE(value("effective_decrement_factor"), 1.0) << name;
    EXPECT_GE(value("effective_time_lag"), 0.0) << name;
    EXPECT_LT(value("effective_time_lag"), 8760.0) << name;
  }
}

TEST_F(ResponseBatchTest, JsonLinesCarryTheKeysOfTheQuantityTableAndTheSameNumbers) {
  const ProgramRun csv = run("batch walls.jsonl --outdoor year.csv --jobs 1");
  const ProgramRun jsonl = run("batch walls.jsonl --outdoor year.csv --format jsonl --jobs 3");
  ASSERT_EQ(0, csv.status) << csv.err;
  ASSERT_EQ(0, jsonl.status) << jsonl.err;
  const auto rows = csvRows(csv.out);
  std::istringstream lines(jsonl.out);
  std::string line;
  std::size_t wall = 0;
  while (std::getline(lines, line)) {
    const nlohmann::json object = nlohmann::json::parse(line);
    ASSERT_EQ(object["line"].get<std::size_t>(), wall + 1);
    std::size_t c = 2;
    for (const auto& quantity : Brusk::Frontend::responseSummaryQuantities()) {
      ASSERT_TRUE(object.contains(quantity.key)) << quantity.key;
      EXPECT_EQ(rows[0][c], quantity.key);
      EXPECT_EQ(object[quantity.key].get<double>(), std::stod(rows[wall + 1][c])) << quantity.key;
      ++c;
    }
    ++wall;
  }
  EXPECT_EQ(3u, wall);
}

struct Refusal {
  const char* name;
  const char* arguments;
  int status;
  const char* message;  ///< part of standard error
};

void PrintTo(const Refusal& refusal, std::ostream* os) { *os << refusal.name; }

class ResponseBatchRefusalTest : public ResponseBatchTest,
                                 public testing::WithParamInterface<Refusal> {};

TEST_P(ResponseBatchRefusalTest, SaysWhyAndKeepsTheFiles) {
  write("nan.csv", "time,temperature\n0,20\n1,nan\n");
  write(
      "partition.jsonl",
      R"({"name": "inner", "position": "internal", "layers": [{"thickness": 0.1, "conductivity": 0.5, "density": 1200, "specific_heat": 840}]})"
      "\n");
  write("sun.csv", "0\n0\n");
  write("two.csv", "20\n30\n");
  const std::string year = read("year.csv");
  const ProgramRun result = run(GetParam().arguments);
  EXPECT_EQ(GetParam().status, result.status) << result.err;
  EXPECT_NE(std::string::npos, result.err.find(GetParam().message)) << result.err;
  EXPECT_EQ(year, read("year.csv"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResponseBatchRefusalTest,
    testing::Values(
        Refusal{"series_without_outdoor", "batch walls.jsonl --series", 2, "need --outdoor"},
        Refusal{"output_over_the_profile", "batch walls.jsonl --outdoor year.csv -o year.csv", 2,
                "year.csv"},
        Refusal{"nan_sample", "batch walls.jsonl --outdoor nan.csv", 2, "nan.csv: line 3"},
        Refusal{"sun_on_a_partition",
                "batch partition.jsonl --outdoor two.csv --solar sun.csv --absorptance 0.6", 1,
                "--solar is for an external wall"},
        Refusal{"absorptance_out_of_range",
                "batch walls.jsonl --outdoor two.csv --solar sun.csv --absorptance 1.5", 2,
                "absorptance must be a fraction"},
        Refusal{"period_beyond_a_leap_year", "batch walls.jsonl --outdoor two.csv --period 9000", 2,
                "8784 (a leap year)"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
