#include "brusk/frontend/toml_writer.h"

#include <gtest/gtest.h>

#include <toml++/toml.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "brusk/frontend/error.h"
#include "test_walls.h"

namespace {

using Brusk::Frontend::formatToml;
using Json = nlohmann::ordered_json;

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

/// True when the TOML `node` holds what the JSON `value` holds: numbers bit for bit, integers
/// as integers, keys in any order (a toml::table keeps none).
bool sameValue(const toml::node& node, const Json& value) {
  if (value.is_object()) {
    const toml::table* table = node.as_table();
    if (!table || table->size() != value.size()) return false;
    for (auto item = value.begin(); item != value.end(); ++item) {
      const toml::node* child = table->get(item.key());
      if (!child || !sameValue(*child, *item)) return false;
    }
    return true;
  }
  if (value.is_array()) {
    const toml::array* array = node.as_array();
    if (!array || array->size() != value.size()) return false;
    for (std::size_t i = 0; i < value.size(); ++i) {
      if (!sameValue(*array->get(i), value[i])) return false;
    }
    return true;
  }
  if (value.is_string()) return node.value<std::string>() == value.get<std::string>();
  if (value.is_boolean()) return node.is_boolean() && node.value<bool>() == value.get<bool>();
  if (value.is_number_integer()) {
    return node.is_integer() && node.value<std::int64_t>() == value.get<std::int64_t>();
  }
  return node.is_floating_point() && sameBits(*node.value<double>(), value.get<double>());
}

struct FloatCase {
  double value;
  const char* text;
};

class TomlFloatTest : public testing::TestWithParam<FloatCase> {};

// Each number as a wall file's value: the shortest text, a float even when whole, read back by
// toml++ as the same double.
TEST_P(TomlFloatTest, IsTheShortestTextOfTheSameDouble) {
  const Json document = {{"thickness", GetParam().value}};
  const std::string toml = formatToml(document.dump(), "wall.json");
  EXPECT_EQ(std::string("thickness = ") + GetParam().text + "\n", toml);
  const toml::table table = toml::parse(toml);
  EXPECT_TRUE(sameValue(table, document)) << toml;
}

INSTANTIATE_TEST_SUITE_P(
    Values, TomlFloatTest,
    testing::Values(FloatCase{0.1, "0.1"}, FloatCase{0.035, "0.035"}, FloatCase{0.015, "0.015"},
                    FloatCase{0.17999999999999999, "0.18"},
                    FloatCase{1.0 / 3.0, "0.3333333333333333"}, FloatCase{20.0, "20.0"},
                    FloatCase{-0.0, "-0.0"}, FloatCase{1e21, "1e+21"}, FloatCase{1e-7, "1e-07"},
                    FloatCase{123456.789, "123456.789"}, FloatCase{5e-324, "5e-324"},
                    FloatCase{std::numeric_limits<double>::max(), "1.7976931348623157e+308"}));

// A whole document: plain values first, then each table and array of tables under its header,
// wall-file keys in their order and others alphabetically, strings escaped; toml++ reads back
// the same document.
TEST(TomlWriter, WritesTablesAfterValuesAndEscapesStrings) {
  const Json document = Json::parse(R"({
    "name": "Wall \"A\" \\ tab\t\u0001\u007f é",
    "rsi": 0.13, "count": 3, "big": 18446744073709551615, "flag": true, "list": [1, 0.5, "x", {"k": 2}],
    "layers": [{"conductivity": 0.035, "thickness": 0.1, "name": "EPS"}, {"thermal_resistance": 0.18}],
    "with space": {"a b": 1, "empty": []},
    "after": "tables"})");
  const std::string toml = formatToml(document.dump(), "wall.json");
  EXPECT_EQ(
      "name = \"Wall \\\"A\\\" \\\\ tab\\t\\u0001\\u007F é\"\nrsi = 0.13\nafter = \"tables\"\n"
      "big = 18446744073709551616.0\ncount = 3\nflag = true\nlist = [1, 0.5, \"x\", { k = 2 }]\n"
      "\n[[layers]]\nname = \"EPS\"\nthickness = 0.1\nconductivity = 0.035\n"
      "\n[[layers]]\nthermal_resistance = 0.18\n\n[\"with space\"]\n\"a b\" = 1\nempty = []\n",
      toml);
  const toml::table table = toml::parse(toml);
  Json expected = document;
  expected["big"] = 18446744073709551615.0;  // past int64: a float, as the reader takes it
  EXPECT_TRUE(sameValue(table, expected)) << toml;
}

// The wall a saved file describes is the wall the page had: every double identical.
TEST(TomlWriter, SavedWallReadsBackIdentically) {
  const std::string json = R"({"name": "Insulated", "position": "internal", "rsi": 0.1,
    "layers": [{"name": "Plaster", "material": "plaster-gypsum", "thickness": 0.015},
               {"thickness": 0.1, "conductivity": 0.035, "density": 20, "specific_heat": 1450},
               {"name": "Air gap", "thermal_resistance": 0.18},
               {"thickness": 0.3, "conductivity": 0.7, "density": 1800.5, "specific_heat": 840}]})";
  const std::string toml = formatToml(json, "wall.json");
  EXPECT_NE(std::string::npos, toml.find("thickness = 0.1\nconductivity = 0.035\n")) << toml;
  const Brusk::Frontend::Wall fromJson = BruskTest::jsonWall(json);
  const Brusk::Frontend::Wall fromToml = BruskTest::tomlWall(toml);
  EXPECT_EQ(fromJson.name, fromToml.name);
  EXPECT_EQ(fromJson.request.position, fromToml.request.position);
  EXPECT_TRUE(sameBits(*fromJson.request.internalSurfaceResistance,
                       *fromToml.request.internalSurfaceResistance));
  ASSERT_EQ(fromJson.request.layers.size(), fromToml.request.layers.size());
  for (std::size_t i = 0; i < fromJson.request.layers.size(); ++i) {
    const auto& a = fromJson.request.layers[i];
    const auto& b = fromToml.request.layers[i];
    EXPECT_TRUE(sameBits(a.thickness, b.thickness) && sameBits(a.conductivity, b.conductivity) &&
                sameBits(a.density, b.density) && sameBits(a.specificHeat, b.specificHeat) &&
                sameBits(a.resistance, b.resistance))
        << "layer " << i + 1;
    EXPECT_EQ(fromJson.labels[i].name, fromToml.labels[i].name);
  }
}

TEST(TomlWriter, RefusesWhatTomlCannotHold) {
  const auto errorOf = [](const std::string& json) -> std::string {
    try {
      (void)formatToml(json, "wall.json");
    } catch (const Brusk::Frontend::Error& error) {
      return error.what();
    }
    return "(accepted)";
  };
  EXPECT_EQ("wall.json: layers.thickness is null, which TOML cannot hold",
            errorOf(R"({"layers": [{"thickness": null}]})"));
  EXPECT_EQ("wall.json: name is null, which TOML cannot hold", errorOf(R"({"name": null})"));
  EXPECT_EQ("wall.json: a TOML document is a table (a JSON object)", errorOf("[1]"));
  EXPECT_EQ(0u, errorOf("{").find("wall.json: JSON syntax error"));
}

}  // namespace
