// `brusk batch --climate`: each line assessed as `brusk moisture` assesses the same wall, in
// both formats, bad lines kept in place, the climate file never replaced by -o.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "program_fixture.h"

namespace {

using BruskTest::ProgramFixture;

const std::string kWall =
    R"({"name": "Brick + wool", "layers": [{"material": "board-gypsum", "thickness": 0.0125},)"
    R"( {"material": "insulation-mineral-wool", "thickness": 0.08},)"
    R"( {"material": "brick-solid", "thickness": 0.24}]})";
const std::string kBadWall =
    R"({"layers": [{"thickness": 0.1, "conductivity": 1, "density": 1, "specific_heat": 1}]})";
const std::string kClimate = std::string(BRUSK_SOURCE_DIR) + "/examples/climates/cold.csv";

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

class MoistureBatchTest : public ProgramFixture {};

TEST_F(MoistureBatchTest, EveryLineAsBruskMoistureAssessesIt) {
  write("wall.json", kWall);
  write("walls.jsonl", kWall + "\n" + kBadWall + "\n" + kWall + "\n");
  for (const char* options : {"", " --humidity-class 4"}) {
    const auto single =
        run("moisture wall.json --format json --climate '" + kClimate + "'" + options);
    ASSERT_EQ(0, single.status) << single.err;
    const nlohmann::json expected = nlohmann::json::parse(single.out);

    const auto jsonl =
        run("batch walls.jsonl --format jsonl --climate '" + kClimate + "'" + options);
    EXPECT_EQ(1, jsonl.status) << options;
    const std::vector<std::string> lines = linesOf(jsonl.out);
    ASSERT_EQ(3u, lines.size()) << options;
    EXPECT_EQ(expected, nlohmann::json::parse(lines[0])) << options;
    EXPECT_EQ(expected, nlohmann::json::parse(lines[2])) << options;
    EXPECT_EQ(2, nlohmann::json::parse(lines[1])["line"].get<int>()) << options;
    EXPECT_NE(std::string::npos, jsonl.err.find("walls.jsonl:2: layer 1")) << jsonl.err;

    const auto csv = run("batch walls.jsonl --climate '" + kClimate + "'" + options);
    const std::vector<std::string> rows = linesOf(csv.out);
    ASSERT_EQ(4u, rows.size()) << options;
    EXPECT_EQ(0u, rows[0].find("name,max_accumulated,max_month,")) << rows[0];
    std::vector<std::string> cells;
    std::istringstream row(rows[1]);
    for (std::string cell; std::getline(row, cell, ',');) cells.push_back(cell);
    ASSERT_GE(cells.size(), 10u) << rows[1];
    EXPECT_EQ(expected["max_accumulated"].get<double>(), std::stod(cells[1])) << options;
    EXPECT_EQ(expected["surface"]["f_rsi_min"].get<double>(), std::stod(cells[7])) << options;
    EXPECT_EQ(expected["dries_out"].get<bool>() ? "true" : "false", cells[5]) << options;
    EXPECT_EQ(0u, rows[2].find("line 2,,,,,,,,,,")) << rows[2];  // its default name
  }
}

TEST_F(MoistureBatchTest, RefusesToReplaceTheClimateAndLonelyClassOptions) {
  write("walls.jsonl", kWall + "\n");
  write("climate.csv", BruskTest::slurp(kClimate));
  const auto replace = run("batch walls.jsonl --climate climate.csv -o climate.csv");
  EXPECT_EQ(2, replace.status);
  EXPECT_EQ(BruskTest::slurp(kClimate), read("climate.csv"));
  const auto lonely = run("batch walls.jsonl --climate climate.csv --indoor-temperature 18");
  EXPECT_EQ(2, lonely.status);
  EXPECT_NE(std::string::npos, lonely.err.find("--indoor-temperature goes with")) << lonely.err;
  EXPECT_EQ("", lonely.out);
}

// Options of the thermal computation mean nothing to the other modes: refused, not ignored.
TEST_F(MoistureBatchTest, RefusesOptionsTheModeDoesNotRead) {
  write("walls.jsonl", kWall + "\n");
  const std::string day = BRUSK_SOURCE_DIR "/examples/profiles/hot-summer-day.csv";
  const struct {
    std::string options;
    std::string reason;
  } rows[] = {
      {"--climate '" + kClimate + "' --period 168", "--period"},
      {"--climate '" + kClimate + "' --kernel scalar", "--kernel"},
      {"--outdoor '" + day + "' --kernel scalar", "--kernel"},
  };
  for (const auto& row : rows) {
    const auto refused = run("batch walls.jsonl " + row.options);
    EXPECT_EQ(2, refused.status) << row.options;
    EXPECT_NE(std::string::npos, refused.err.find(row.reason))
        << row.options << ": " << refused.err;
    EXPECT_EQ("", refused.out) << row.options;
  }
}

// Generated walls with --mu are assessed, every one; the option adds mu and changes nothing
// else of a seed's walls.
TEST_F(MoistureBatchTest, GeneratedWallsWithMuAreAssessedAndOtherwiseTheSame) {
  const std::string generator =
      "python3 '" BRUSK_SOURCE_DIR "/scripts/generate-walls.py' --count 300";
  const std::string here = "cd '" + _folder.string() + "' && ";
  for (const char* seed : {"1", "7"}) {
    ASSERT_EQ(0, std::system((here + generator + " --seed " + seed + " --mu > mu.jsonl").c_str()));
    ASSERT_EQ(0, std::system((here + generator + " --seed " + seed + " > plain.jsonl").c_str()));
    const auto assessed = run("batch mu.jsonl --climate '" + kClimate + "'");
    EXPECT_EQ(0, assessed.status) << assessed.err.substr(0, 400);
    EXPECT_EQ(301u, linesOf(assessed.out).size());
    EXPECT_EQ(1, run("batch plain.jsonl --climate '" + kClimate + "'").status);
    EXPECT_EQ(run("batch plain.jsonl").out, run("batch mu.jsonl").out) << seed;
  }
}

}  // namespace
