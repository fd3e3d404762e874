// The one quantity description against every writer of the program: each described quantity is
// where its key says in the JSON of its command, of the type it says, in the CSV under its
// column, and under its label in the table and the report; and every number a command prints
// is described. A failure names the quantity.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "program_fixture.h"

namespace {

using BruskTest::ProgramFixture;
using Json = nlohmann::json;

const std::string kExamples = BRUSK_SOURCE_DIR "/examples/";
const std::string kWall = kExamples + "2-concrete-insulated.toml";
const std::string kZone = kExamples + "zones/masonry-room.toml";
const std::string kDay = kExamples + "profiles/hot-summer-day.csv";
const std::string kStuds = kExamples + "bridged/timber-frame-studs.toml";
const std::string kMoistWall = kExamples + "moisture/internal-insulation.toml";
const std::string kClimate = kExamples + "climates/cold.csv";
// A drawn junction with flanking elements and a probe: every key of a junction's output.
const std::string kJunction = kExamples + "junctions/slab-through-wall.toml";
// Every scope with the command whose JSON it describes.
const char* const kScopes[] = {"compute", "zone",       "response", "element",
                               "moisture", "validation", "bridge"};

class QuantitiesProgramTest : public ProgramFixture {
protected:
  Json described() const { return jsonOf("quantities --format json"); }

  Json jsonOf(const std::string& arguments) const {
    const BruskTest::ProgramRun run = this->run(arguments);
    EXPECT_EQ(run.status, 0) << arguments << "\n" << run.err;
    return Json::parse(run.out);
  }

  /// The timber-frame example with a cavity and a brick leaf outside it: an element with a layer
  /// of parts and an air layer given by its thickness.
  std::string studsWithAirLayer() const {
    write("studs-cavity.toml", BruskTest::slurp(kStuds) +
                                   "\n[[layers]]\nair_gap = 0.05\n[[layers]]\n"
                                   "material = \"brick-solid\"\nthickness = 0.1\n");
    return "studs-cavity.toml";
  }

  /// The JSON output of the command a quantity's scope names.
  Json outputOf(const std::string& scope) const {
    if (scope == "compute") return jsonOf("compute --format json '" + kWall + "'");
    if (scope == "zone") return jsonOf("zone --format json '" + kZone + "'");
    if (scope == "element") return jsonOf("compute --format json " + studsWithAirLayer());
    if (scope == "bridge") return jsonOf("bridge --format json '" + kJunction + "'");
    if (scope == "moisture") {
      // A wall with a layer of parts: its output has every moisture key, the paths too.
      return jsonOf("moisture --format json " + studsWithAirLayer() + " --climate '" + kClimate +
                    "'");
    }
    if (scope == "validation") return jsonOf("validate --format json");
    return jsonOf("response --format json '" + kWall + "' --outdoor '" + kDay + "'");
  }
};

/// The value at a dotted key; an array on the way stands for its first entry.
const Json* valueAt(const Json& document, const std::string& key) {
  const Json* node = &document;
  std::istringstream parts(key);
  for (std::string part; std::getline(parts, part, '.');) {
    while (node->is_array() && !node->empty()) node = &node->front();
    if (!node->is_object() || !node->contains(part)) return nullptr;
    node = &(*node)[part];
  }
  return node;
}

/// Every leaf of a document as its dotted key (arrays of objects walked through every entry),
/// names and file names left out: they are the user's words, not quantities. An object at a
/// key in `keyedByName` is one quantity per name (a junction's flow into each environment).
void leaves(const Json& node, const std::string& key, std::set<std::string>& out,
            const std::set<std::string>& keyedByName = {}) {
  if (node.is_array() && !node.empty() && node.front().is_object()) {
    for (const Json& entry : node) leaves(entry, key, out, keyedByName);
    return;
  }
  if (node.is_object() && keyedByName.count(key) == 0) {
    for (auto item = node.begin(); item != node.end(); ++item) {
      if (item.key() == "name" || item.key() == "wall" || item.key() == "wall_file") continue;
      leaves(item.value(), key.empty() ? item.key() : key + "." + item.key(), out, keyedByName);
    }
    return;
  }
  out.insert(key);
}

TEST_F(QuantitiesProgramTest, EveryQuantityIsWhereItsKeySaysWithItsType) {
  // The paths of a moisture assessment are written for a wall with layers of parts only.
  const Json partsMoisture =
      jsonOf("moisture --format json '" + kStuds + "' --climate '" + kClimate + "'");
  for (const std::string scope : kScopes) {
    const Json output = outputOf(scope);
    for (const Json& q : described()) {
      if (q["scope"] != scope) continue;
      const std::string key = q["key"];
      SCOPED_TRACE(scope + " " + key);
      const bool ofParts =
          scope == "moisture" && (key == "governing_path" || key.rfind("paths.", 0) == 0);
      const Json* value = valueAt(ofParts ? partsMoisture : output, key);
      ASSERT_NE(value, nullptr);
      const std::string type = q["type"];
      // A list of values (a point's [x, y]) or an object keyed by names (a junction's
      // environments) holds values of the described type.
      if (type != "complex" && (value->is_array() || value->is_object()) && !value->empty()) {
        value = &*value->begin();
      }
      const bool typed = type == "number"    ? value->is_number() || value->is_null()
                         : type == "complex" ? value->is_array() && value->size() == 2
                         : type == "flag"    ? value->is_boolean() || value->is_null()
                                             : value->is_string();
      EXPECT_TRUE(typed) << type << ": " << value->dump();
      EXPECT_FALSE(q["label"].get<std::string>().empty());
      EXPECT_FALSE(q["definition"].get<std::string>().empty());
      EXPECT_FALSE(q["source"].get<std::string>().empty());
      EXPECT_GT(q["display_scale"].get<double>(), 0.0);
    }
  }
}

TEST_F(QuantitiesProgramTest, EveryValueACommandPrintsIsDescribed) {
  const Json description = described();
  for (const std::string scope : kScopes) {
    std::set<std::string> keys;
    for (const Json& q : description) {
      // A bridged element prints the wall's quantities and then its own.
      if (q["scope"] == scope || (scope == "element" && q["scope"] == "compute")) {
        keys.insert(q["key"].get<std::string>());
      }
    }
    std::set<std::string> printed;
    leaves(outputOf(scope), "", printed, keys);
    for (const std::string& key : printed) {
      // A complex number is one quantity of two numbers.
      EXPECT_TRUE(keys.count(key) == 1) << scope << " prints " << key << " undescribed";
    }
  }
}

TEST_F(QuantitiesProgramTest, CsvColumnsAreTheDescribedOnes) {
  const BruskTest::ProgramRun compute = run("compute --format csv '" + kWall + "'");
  std::string expected = "name";
  for (const Json& q : described()) {
    if (q["scope"] != "compute") continue;
    const std::string column = q["csv_column"];
    expected += q["type"] == "complex" ? "," + column + "_re," + column + "_im" : "," + column;
  }
  EXPECT_EQ(compute.out.substr(0, compute.out.find('\n')), expected);

  const std::string zone = run("zone --format csv '" + kZone + "'").out;
  const std::string response =
      run("response --format csv '" + kWall + "' --outdoor '" + kDay + "'").out;
  write("walls.jsonl", R"({"layers": [{"material": "concrete-reinforced", "thickness": 0.2}]})"
                       "\n");
  const BruskTest::ProgramRun summaries = run("batch walls.jsonl --outdoor '" + kDay + "'");
  EXPECT_EQ(summaries.status, 0) << summaries.err;
  const std::string element = run("compute --format csv " + studsWithAirLayer()).out;
  const std::string moisture =
      run("moisture --format csv '" + kMoistWall + "' --climate '" + kClimate + "'").out;
  // A junction's CSV is long: one row per figure, its column named in the second cell.
  std::set<std::string> bridgeColumns;
  std::istringstream bridgeRows(run("bridge --format csv '" + kJunction + "'").out);
  for (std::string row; std::getline(bridgeRows, row);) {
    const std::size_t comma = row.find("\","), next = row.find(',', comma + 2);
    if (comma != std::string::npos) bridgeColumns.insert(row.substr(comma + 2, next - comma - 2));
  }
  EXPECT_FALSE(bridgeColumns.empty());
  for (const Json& q : described()) {
    if (q["scope"] == "compute" || q["csv_column"].is_null()) continue;
    if (q["scope"] == "bridge") {
      EXPECT_EQ(bridgeColumns.count(q["csv_column"].get<std::string>()), 1u) << q["key"];
      continue;
    }
    const std::string& csv = q["scope"] == "zone"               ? zone
                             : q["scope"] == "response_summary" ? summaries.out
                             : q["scope"] == "element"          ? element
                             : q["scope"] == "moisture"         ? moisture
                                                                : response;
    std::istringstream header(csv.substr(0, csv.find('\n')));
    std::set<std::string> columns;
    for (std::string column; std::getline(header, column, ',');) columns.insert(column);
    EXPECT_EQ(columns.count(q["csv_column"].get<std::string>()), 1u) << q["key"];
  }
}

TEST_F(QuantitiesProgramTest, LabelsAndDisplayUnitsReadTheSameInTableAndReport) {
  const std::string table = run("compute '" + kWall + "'").out;
  ASSERT_EQ(run("report '" + kWall + "' -o report.html").status, 0);
  const std::string report = read("report.html");
  for (const Json& q : described()) {
    if (q["scope"] != "compute" || q["type"] != "number" || q["key"] == "period") continue;
    const std::string label = q["label"];
    SCOPED_TRACE(q["key"].get<std::string>());
    EXPECT_NE(table.find(label + " " + q["symbol_unicode"].get<std::string>() + " [" +
                         q["display_unit"].get<std::string>() + "]"),
              std::string::npos)
        << table;
    EXPECT_NE(report.find("<th scope=\"row\">" + label + "</th>"), std::string::npos);
  }
  // A person reads areal heat capacities in kJ/(m2.K) everywhere; programs get J/(m2.K).
  EXPECT_NE(table.find("κ₁ [kJ/(m2.K)]"), std::string::npos);
  EXPECT_NE(report.find("kJ/(m²·K)"), std::string::npos);
}

TEST_F(QuantitiesProgramTest, TableAndJsonDescribeTheSameList) {
  const Json description = described();
  const std::string table = run("quantities").out;
  for (const Json& q : description) {
    EXPECT_NE(table.find(q["key"].get<std::string>()), std::string::npos) << q["key"];
  }
  EXPECT_EQ(run("quantities --format xml").status, 2);
}

// The README's nomenclature names every key of `brusk compute` that the description holds.
TEST_F(QuantitiesProgramTest, ReadmeNomenclatureNamesEveryComputeKey) {
  const std::string readme = BruskTest::slurp(BRUSK_SOURCE_DIR "/README.md");
  const std::size_t start = readme.find("## Nomenclature");
  ASSERT_NE(start, std::string::npos);
  const std::string table = readme.substr(start, readme.find("\n## ", start + 1) - start);
  for (const Json& q : described()) {
    if (q["scope"] != "compute") continue;
    std::istringstream parts(q["key"].get<std::string>());
    for (std::string part; std::getline(parts, part, '.');) {
      EXPECT_NE(table.find("`" + part + "`"), std::string::npos) << q["key"] << ": " << part;
    }
  }
}

// The report describes the cycle it is asked for, not the daily one whatever the option.
TEST_F(QuantitiesProgramTest, ReportFollowsThePeriod) {
  ASSERT_EQ(run("report --period 168 '" + kWall + "' -o week.html").status, 0);
  const std::string week = read("week.html");
  const Json result = jsonOf("compute --format json --period 168 '" + kWall + "'");
  char decrement[32];
  std::snprintf(decrement, sizeof decrement, "%.3f", result["decrement_factor"].get<double>());
  EXPECT_NE(week.find("for the cycle T = 168 h, ISO 13786"), std::string::npos);
  EXPECT_NE(week.find("<td class=\"value\">" + std::string(decrement) + "</td>"), std::string::npos)
      << decrement;
  EXPECT_EQ(week.find("daily cycle T = 24 h"), std::string::npos);
  ASSERT_EQ(run("report '" + kWall + "' -o day.html").status, 0);
  EXPECT_NE(read("day.html").find("for the daily cycle T = 24 h"), std::string::npos);
}

TEST_F(QuantitiesProgramTest, ReportOfZonesRefusesAProfileItCannotDraw) {
  const BruskTest::ProgramRun refused =
      run("report '" + kZone + "' --outdoor '" + kDay + "' -o zone.html");
  EXPECT_EQ(refused.status, 2);
  EXPECT_TRUE(refused.out.empty());
  EXPECT_NE(refused.err.find("--outdoor"), std::string::npos) << refused.err;
  EXPECT_FALSE(std::filesystem::exists(_folder / "zone.html"));
}

// A JSON zone reads like its TOML twin: the wall's layer limit is the wall reader's, not every
// JSON document's.
TEST_F(QuantitiesProgramTest, JsonZoneOfManyElementsReadsLikeItsTomlTwin) {
  std::string toml = "name = \"Many\"\nfloor_area = 20\n";
  Json zone = {{"name", "Many"}, {"floor_area", 20}, {"elements", Json::array()}};
  for (int i = 0; i < 600; ++i) {
    toml += "[[elements]]\nname = \"e" + std::to_string(i) +
            "\"\narea = 1\n[[elements.layers]]\nmaterial = \"brick-solid\"\nthickness = 0.1\n";
    zone["elements"].push_back(
        {{"name", "e" + std::to_string(i)},
         {"area", 1},
         {"layers", Json::array({{{"material", "brick-solid"}, {"thickness", 0.1}}})}});
  }
  write("many.toml", toml);
  write("many.json", zone.dump());
  const BruskTest::ProgramRun fromToml = run("zone --format json many.toml");
  const BruskTest::ProgramRun fromJson = run("zone --format json many.json");
  EXPECT_EQ(fromJson.status, 0) << fromJson.err;
  EXPECT_EQ(fromJson.out, fromToml.out);
}

}  // namespace
