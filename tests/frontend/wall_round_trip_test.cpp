// Every door a wall goes through and back: the TOML and JSON writers and a batch line. The
// walls of tests/data/round_trip_walls.json together use every key of the wall schema and every
// kind of layer (checked first, so that a key added to the schema without a wall here fails);
// each must come back as the same document and compute to the same bits.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "brusk/frontend/element_output.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/moisture.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/wall_document.h"
#include "brusk/frontend/wall_parser.h"
#include "brusk/frontend/wall_schema.h"
#include "test_walls.h"

namespace {

using Brusk::Frontend::Wall;
using Json = nlohmann::json;
namespace Schema = Brusk::Frontend::Schema;

Json fixtures() {
  std::ifstream file(BRUSK_SOURCE_DIR "/tests/data/round_trip_walls.json");
  std::stringstream text;
  text << file.rdbuf();
  return Json::parse(text.str());
}

/// Records every (object, key) a document uses, following the schema's tables.
void collectKeys(const Json& value, std::string_view object, std::set<std::string>& used) {
  if (!value.is_object()) return;
  for (const Schema::KeyDescription& key : Schema::objectNamed(object).keys) {
    const auto found = value.find(std::string(key.key));
    if (found == value.end()) continue;
    used.insert(std::string(object) + "." + std::string(key.key));
    if (key.type == Schema::ValueType::Table) collectKeys(*found, key.holds, used);
    if (key.type == Schema::ValueType::Tables) {
      for (const Json& item : *found) collectKeys(item, key.holds, used);
    }
  }
}

/// The kind of a layer, told apart as the schema's kinds are: the first whose required keys
/// it has.
std::string layerKind(const Json& layer) {
  for (const Schema::LayerKindDescription& kind : Schema::layerKinds()) {
    bool all = true;
    for (std::string_view key : kind.required) all = all && layer.contains(std::string(key));
    if (all) return std::string(kind.name);
  }
  return "?";
}

TEST(WallRoundTrip, TheWallsUseEveryKeyAndKindOfTheSchema) {
  std::set<std::string> used;
  std::set<std::string> kinds;
  for (const Json& fixture : fixtures()) {
    collectKeys(fixture.at("wall"), "wall", used);
    for (const Json& layer : fixture.at("wall").at("layers")) kinds.insert(layerKind(layer));
  }
  for (const Schema::ObjectDescription& object : Schema::objects()) {
    for (const Schema::KeyDescription& key : object.keys) {
      EXPECT_EQ(1u, used.count(std::string(object.name) + "." + std::string(key.key)))
          << "no wall of round_trip_walls.json gives " << object.name << "." << key.key
          << ": add one, so that every door is tested with it";
    }
  }
  for (const Schema::LayerKindDescription& kind : Schema::layerKinds()) {
    EXPECT_EQ(1u, kinds.count(std::string(kind.name))) << "no layer of kind " << kind.name;
  }
}

/// What a wall computes to: every number as `brusk compute --format json` and `brusk moisture
/// --format json` (under the temperate example climate) write them.
std::string computed(const Wall& wall) {
  const Brusk::Frontend::ComputedWall result = Brusk::Frontend::computeWallOrElement(wall, "wall");
  static const Brusk::Frontend::Climate climate =
      Brusk::Frontend::loadClimateFile(BRUSK_SOURCE_DIR "/examples/climates/temperate.csv");
  return Brusk::Frontend::formatJson({result.result}, Brusk::Frontend::JsonLayout::Indented,
                                     {result.extras}) +
         Brusk::Frontend::formatMoistureJson(
             {Brusk::Frontend::assessMoisture(wall, climate, "wall")}, climate);
}

struct Door {
  const char* name;
  std::function<Wall(const Wall&)> through;
};

const std::vector<Door>& doors() {
  static const std::vector<Door> all = {
      {"TOML writer",
       [](const Wall& wall) { return BruskTest::tomlWall(Brusk::Frontend::formatWallToml(wall)); }},
      {"JSON writer",
       [](const Wall& wall) { return BruskTest::jsonWall(Brusk::Frontend::formatWallJson(wall)); }},
      {"batch line",
       [](const Wall& wall) {
         return Brusk::Frontend::parseWallLine(Brusk::Frontend::formatWallJson(wall, false),
                                               BruskTest::catalogue(), "walls.jsonl:1", "line 1");
       }},
  };
  return all;
}

TEST(WallRoundTrip, EveryDoorGivesBackTheSameWall) {
  for (const Json& fixture : fixtures()) {
    const std::string what = fixture.at("what").get<std::string>();
    const Wall read = BruskTest::jsonWall(fixture.at("wall").dump());
    // The document holds every key as given, with the defaults of name, position and heat flow.
    Json expected = fixture.at("wall");
    expected.emplace("position", "external");
    expected.emplace("heat_flow", "horizontal");
    EXPECT_EQ(expected, Json::parse(read.document)) << what;
    const std::string result = computed(read);
    for (const Door& door : doors()) {
      const Wall back = door.through(read);
      EXPECT_EQ(read.document, back.document) << what << " through the " << door.name;
      EXPECT_EQ(result, computed(back)) << what << " through the " << door.name;
      EXPECT_EQ(read.vapourControls.size(), back.vapourControls.size()) << what;
    }
  }
}

// A key the schema does not know is refused by every reader, with the same words.
TEST(WallRoundTrip, AnUnknownKeyIsRefusedTheSameWayEverywhere) {
  const std::string json = R"({"layers": [{"material": "brick-solid", "thickness": 0.1,
                                            "colour": "red"}]})";
  const auto refusal = [&](const std::function<void()>& read) {
    try {
      read();
    } catch (const Brusk::Frontend::Error& error) {
      const std::string text = error.what();
      return text.substr(text.find("layer 1"));
    }
    return std::string("(accepted)");
  };
  const std::string fromJson = refusal([&] { (void)BruskTest::jsonWall(json); });
  EXPECT_NE(std::string::npos, fromJson.find("unknown key \"colour\"")) << fromJson;
  EXPECT_EQ(fromJson, refusal([&] {
              (void)BruskTest::tomlWall(
                  "[[layers]]\nmaterial = \"brick-solid\"\nthickness = 0.1\ncolour = \"red\"\n");
            }));
  EXPECT_EQ(fromJson, refusal([&] {
              (void)Brusk::Frontend::parseWallLine(Json::parse(json).dump(), BruskTest::catalogue(),
                                                   "w.jsonl:1", "w");
            }));
}

// Limits in the room that owns them: a JSON wall of one layer of many parts is not a wall of
// many layers.
TEST(WallRoundTrip, PartsCountTowardsThePartLimitNotTheLayerLimit) {
  Json parts = Json::array();
  for (int i = 0; i < 1000; ++i) {
    parts.push_back(
        {{"material", i % 2 ? "timber-softwood" : "insulation-mineral-wool"}, {"fraction", 0.001}});
  }
  const Json wall = {{"parts_aligned", true},
                     {"layers", Json::array({{{"thickness", 0.1}, {"parts", parts}}})}};
  const Wall fromJson = BruskTest::jsonWall(wall.dump());
  EXPECT_EQ(1u, fromJson.request.layers.size());
  EXPECT_EQ(1000u, fromJson.element.element.bridged.front().parts.size());
  EXPECT_EQ(fromJson.document,
            BruskTest::tomlWall(Brusk::Frontend::formatWallToml(fromJson)).document);
}

}  // namespace
