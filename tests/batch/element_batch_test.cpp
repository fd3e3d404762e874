// `brusk batch` with bridged elements (layers of parts, air layers): each JSON line as
// `brusk compute --format json` prints the same wall, its ISO 6946 fields included, and the
// CSV with the wall's columns under the one header of every line.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "program_fixture.h"

namespace {

using BruskTest::ProgramFixture;
using Json = nlohmann::json;

const std::string kPlain = R"({"name": "Slab", "layers": [{"material": "concrete-reinforced",)"
                           R"( "thickness": 0.2}]})";
// Studs through the insulation, then a cavity by its thickness and a brick leaf.
const std::string kStuds =
    R"({"name": "Studs", "layers": [{"material": "board-gypsum", "thickness": 0.0125},)"
    R"( {"thickness": 0.14, "parts": [{"material": "timber-softwood", "fraction": 0.15},)"
    R"( {"material": "insulation-mineral-wool", "fraction": 0.85}]},)"
    R"( {"air_gap": 0.05}, {"material": "brick-solid", "thickness": 0.1}]})";

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

class ElementBatchTest : public ProgramFixture {};

TEST_F(ElementBatchTest, EachLineAsBruskComputePrintsIt) {
  write("plain.json", kPlain);
  write("studs.json", kStuds);
  write("walls.jsonl", kPlain + "\n" + kStuds + "\n" + kPlain + "\n");
  // The scalar kernel gives brusk compute's doubles bit for bit (the vector one within 1e-12).
  const auto jsonl = run("batch walls.jsonl --format jsonl --kernel scalar");
  ASSERT_EQ(0, jsonl.status) << jsonl.err;
  const std::vector<std::string> lines = linesOf(jsonl.out);
  ASSERT_EQ(3u, lines.size()) << jsonl.out;
  const struct {
    std::size_t line;
    const char* file;
  } rows[] = {{0, "plain.json"}, {1, "studs.json"}, {2, "plain.json"}};
  for (const auto& row : rows) {
    const auto single = run(std::string("compute --format json ") + row.file);
    ASSERT_EQ(0, single.status) << single.err;
    EXPECT_EQ(Json::parse(single.out), Json::parse(lines[row.line])) << row.file;
  }
  EXPECT_TRUE(Json::parse(lines[1]).contains("thermal_resistance_upper"));
  EXPECT_FALSE(Json::parse(lines[0]).contains("thermal_resistance_upper"));

  const auto csv = run("batch walls.jsonl");
  ASSERT_EQ(0, csv.status) << csv.err;
  const std::vector<std::string> rowsOfCsv = linesOf(csv.out);
  ASSERT_EQ(4u, rowsOfCsv.size());
  const auto columns = [](const std::string& line) {
    return std::count(line.begin(), line.end(), ',');
  };
  for (const std::string& line : rowsOfCsv) EXPECT_EQ(columns(rowsOfCsv[0]), columns(line)) << line;
}

}  // namespace
