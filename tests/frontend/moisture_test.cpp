// The moisture front end: a layer's vapour keys, the catalogue's mu, the climate file with its
// messages (file, line, month, column) and the request and writers built on the engine.
#include "brusk/frontend/moisture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include <nlohmann/json.hpp>

#include "brusk/engine/quantities.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/wall_parser.h"
#include "test_walls.h"

namespace {

using namespace Brusk::Frontend;
using BruskTest::tomlWall;

using BruskTest::errorOf;

const std::string kHeader =
    "month,outdoor_temperature,outdoor_relative_humidity,indoor_temperature,"
    "indoor_relative_humidity\n";

/// Twelve rows, -5 degC / 90 % outside in every month, 20 degC / 50 % inside.
std::string twelveMonths() {
  std::string rows;
  for (int m = 1; m <= 12; ++m) rows += std::to_string(m) + ",-5,90,20,50\n";
  return rows;
}

TEST(LayerVapour, KeysGiveSdOrRefuseWithTheReason) {
  struct Row {
    const char* label;
    const char* layer;  ///< TOML of the layer after [[layers]]
    VapourSource source;
    double sd;
    const char* error;  ///< part of the message, or nullptr when accepted
  };
  const Row rows[] = {
      {"factor",
       "thickness = 0.1\nconductivity = 1\ndensity = 1\nspecific_heat = 1\n"
       "vapour_resistance_factor = 20\n",
       VapourSource::Factor, 2.0, nullptr},
      {"sd", "thickness = 0.1\nconductivity = 1\ndensity = 1\nspecific_heat = 1\nsd = 3\n",
       VapourSource::Sd, 3.0, nullptr},
      {"both agree",
       "thickness = 0.1\nconductivity = 1\ndensity = 1\nspecific_heat = 1\n"
       "vapour_resistance_factor = 20\nsd = 2\n",
       VapourSource::Factor, 2.0, nullptr},
      {"both disagree",
       "thickness = 0.1\nconductivity = 1\ndensity = 1\nspecific_heat = 1\n"
       "vapour_resistance_factor = 20\nsd = 3\n",
       VapourSource::None, 0.0, "layer 1: sd 3 m disagrees with vapour_resistance_factor"},
      {"catalogue", "material = \"insulation-eps\"\nthickness = 0.1\n", VapourSource::Catalogue,
       6.0, nullptr},
      {"catalogue overridden", "material = \"insulation-eps\"\nthickness = 0.1\nsd = 0.5\n",
       VapourSource::Sd, 0.5, nullptr},
      {"resistance default", "thermal_resistance = 0.18\n", VapourSource::DefaultZero, 0.0,
       nullptr},
      {"resistance sd", "thermal_resistance = 0.18\nsd = 0.01\n", VapourSource::Sd, 0.01, nullptr},
      {"resistance factor", "thermal_resistance = 0.18\nvapour_resistance_factor = 1\n",
       VapourSource::None, 0.0, "a pure thermal resistance has no thickness"},
      {"factor below 1",
       "thickness = 0.1\nconductivity = 1\ndensity = 1\nspecific_heat = 1\n"
       "vapour_resistance_factor = 0.5\n",
       VapourSource::None, 0.0, "vapour_resistance_factor must be at least 1 (still air)"},
      {"negative sd",
       "thickness = 0.1\nconductivity = 1\ndensity = 1\nspecific_heat = 1\n"
       "sd = -1\n",
       VapourSource::None, 0.0, "wall.toml:6: layer 1: sd must be finite and not negative"},
      {"sd text",
       "thickness = 0.1\nconductivity = 1\ndensity = 1\nspecific_heat = 1\n"
       "sd = \"a lot\"\n",
       VapourSource::None, 0.0, "sd must be a number of metres"},
      {"none", "thickness = 0.1\nconductivity = 1\ndensity = 1\nspecific_heat = 1\n",
       VapourSource::None, 0.0, nullptr},
  };
  for (const Row& row : rows) {
    const std::string text = std::string("[[layers]]\n") + row.layer;
    if (row.error != nullptr) {
      const std::string message = errorOf([&] { (void)tomlWall(text, "wall.toml"); });
      EXPECT_NE(std::string::npos, message.find(row.error)) << row.label << ": " << message;
      continue;
    }
    const Wall wall = tomlWall(text, "wall.toml");
    EXPECT_EQ(row.source, wall.labels[0].vapour.source) << row.label;
    EXPECT_NEAR(row.sd, wall.labels[0].vapour.sd, 1e-12) << row.label;
  }
}

TEST(LayerVapour, EveryCatalogueMaterialButWaterHasAFactor) {
  const Catalogue catalogue = Catalogue::builtIn();
  for (const CatalogueEntry* entry : catalogue.filter("")) {
    if (entry->key == "water") {
      EXPECT_FALSE(entry->vapourResistanceFactor) << "a liquid layer has no mu";
      continue;
    }
    ASSERT_TRUE(entry->vapourResistanceFactor) << entry->key;
    EXPECT_GE(*entry->vapourResistanceFactor, 1.0) << entry->key;
  }
  EXPECT_EQ(1.0, *catalogue.find("insulation-mineral-wool")->vapourResistanceFactor);
  EXPECT_EQ(100000.0, *catalogue.find("membrane-polyethylene")->vapourResistanceFactor);
}

TEST(ClimateCsv, ReadsTwelveMonthsInAnyOrder) {
  std::string rows = twelveMonths();
  rows.replace(0, rows.find('\n') + 1, "");  // January moved to the end
  rows += "1,-1.5,88,21,45\n";
  const Climate climate = parseClimateCsv("# comment\n\n" + kHeader + rows, "climate.csv");
  EXPECT_EQ(-1.5, climate.months[0].outdoorTemperature);
  EXPECT_DOUBLE_EQ(0.88, climate.months[0].outdoorRelativeHumidity);
  EXPECT_EQ(21.0, climate.months[0].indoorTemperature);
  EXPECT_DOUBLE_EQ(0.45, climate.months[0].indoorRelativeHumidity);
  EXPECT_EQ(-5.0, climate.months[11].outdoorTemperature);
  // With a class the indoor columns may be left out.
  std::string outdoor = "month,outdoor_temperature,outdoor_relative_humidity\n";
  for (int m = 1; m <= 12; ++m) outdoor += std::to_string(m) + ",0,80\n";
  const Climate classed = parseClimateCsv(outdoor, "outdoor.csv", 2, 20.0);
  EXPECT_NEAR(0.8 * 610.5 + 1.1 * 540.0, classed.months[3].indoorVapourPressure(), 1e-9);
}

TEST(ClimateCsv, RefusesBadFilesNamingLineMonthAndColumn) {
  struct Row {
    const char* label;
    std::string text;
    const char* message;
    int humidityClass = 0;
  };
  const std::string rows = twelveMonths();
  const auto withRow = [&](int month, const std::string& row) {
    std::string text = kHeader;
    for (int m = 1; m <= 12; ++m) {
      text += m == month ? row + "\n" : std::to_string(m) + ",-5,90,20,50\n";
    }
    return text;
  };
  const Row table[] = {
      {"13 rows", kHeader + rows + "1,0,80,20,50\n",
       "c.csv:14: more than 12 month rows; a climate has exactly one row per month 1 to 12"},
      {"missing month", kHeader + rows.substr(0, rows.rfind("12,")),
       "c.csv: month 12 is missing; give one row per month 1 to 12"},
      {"RH over 100", withRow(4, "4,-5,104,20,50"),
       "c.csv:5: month 4: outdoor_relative_humidity: relative humidity must be above 0 and at "
       "most 100 %, got 104"},
      {"NaN", withRow(7, "7,nan,80,20,50"),
       "c.csv:8: month 7: outdoor_temperature: a temperature in degC must be a finite number, "
       "got \"nan\""},
      {"indoor RH zero", withRow(2, "2,-5,80,20,0"),
       "c.csv:3: month 2: indoor_relative_humidity: relative humidity must be above 0"},
      {"month twice", withRow(3, "2,-5,80,20,50"),
       "c.csv:4: month 2: month: month 2 is given twice (also on line 3)"},
      {"month 13", withRow(3, "13,-5,80,20,50"),
       "c.csv:4: month: month must be a whole number 1 to 12, got \"13\""},
      {"short row", withRow(5, "5,-5,80"), "c.csv:6: 3 cells where the header has 5"},
      {"unknown column", "month,outdoor_temprature\n",
       "c.csv:1: unknown column \"outdoor_temprature\" (did you mean \"outdoor_temperature\"?)"},
      {"indoor column missing", "month,outdoor_temperature,outdoor_relative_humidity\n",
       "c.csv:1: column \"indoor_temperature\" is missing (or give --humidity-class"},
      {"empty", "# nothing\n", "c.csv: empty: expected a header row"},
      {"class above saturation", kHeader + rows,
       "c.csv:2: month 1: humidity class 5 gives an indoor vapour pressure of", 5},
  };
  for (const Row& row : table) {
    const std::string message = errorOf([&] {
      (void)parseClimateCsv(row.text, "c.csv", row.humidityClass,
                            row.humidityClass == 5 ? 5.0 : 20.0);
    });
    EXPECT_EQ(0u, message.find(row.message)) << row.label << ": " << message;
  }
}

TEST(MoistureReport, RequestTakesTheWallsSurfaceResistancesAndRefusesMissingVapour) {
  const Climate climate = parseClimateCsv(kHeader + twelveMonths(), "c.csv");
  const Wall roof = tomlWall(
      "heat_flow = \"upward\"\n[[layers]]\nmaterial = \"concrete-reinforced\"\nthickness = 0.2\n",
      "roof.toml");
  const auto request = moistureRequestOf(roof, climate, "roof.toml");
  EXPECT_EQ(0.10, request.internalSurfaceResistance);
  EXPECT_NEAR(0.2 * 130.0, request.sd[0], 1e-12);
  const Wall custom = tomlWall(
      "[[layers]]\nname = \"Mystery\"\nthickness = 0.1\nconductivity = 1\ndensity = 1\n"
      "specific_heat = 1\n",
      "custom.toml");
  EXPECT_EQ(
      "custom.toml: layer 1 (\"Mystery\"): no water-vapour property for the moisture "
      "assessment: give vapour_resistance_factor (mu) or sd (in m), or a catalogue material "
      "that has one",
      errorOf([&] { (void)assessMoisture(custom, climate, "custom.toml"); }));
  // A project's material without mu is a catalogue material: the message sends to its entry.
  Catalogue catalogue = Catalogue::builtIn();
  catalogue.addToml(
      "mine = {name = \"Mine\", conductivity = 1, density = 1000, specific_heat = 1000}\n",
      "mine.toml");
  const Wall mine = parseWallText("[[layers]]\nmaterial = \"mine\"\nthickness = 0.1\n",
                                  WallFormat::Toml, catalogue, "mine-wall.toml");
  EXPECT_EQ(
      "mine-wall.toml: layer 1 (\"Mine\"): no water-vapour property for the moisture "
      "assessment: its catalogue material \"mine\" gives no vapour_resistance_factor; add it to "
      "the material's entry, or give vapour_resistance_factor (mu) or sd (in m) in the layer",
      errorOf([&] { (void)assessMoisture(mine, climate, "mine-wall.toml"); }));
}

TEST(MoistureReport, TooManyPlanesGivesTheCountTheWallNeeds) {
  const Climate climate = parseClimateCsv(kHeader + twelveMonths(), "c.csv");
  // Insulation of R = 0.2 m / 0.04 = 5 m2.K/W per layer: 20 sub-layers, so 21 planes a layer
  // with its faces shared; n layers need 1 + 20 n planes.
  struct Row {
    int layers;
    const char* planes;
    const char* resistance;
  };
  for (const Row& row : {Row{205, "4101", "1025"}, Row{400, "8001", "2000"}}) {
    std::string text;
    for (int k = 0; k < row.layers; ++k) {
      text +=
          "[[layers]]\nthickness = 0.2\nconductivity = 0.04\ndensity = 30\nspecific_heat = "
          "1400\nsd = 1\n";
    }
    const Wall wall = tomlWall(text, "thick.toml");
    EXPECT_EQ(std::string("thick.toml: the wall needs ") + row.planes +
                  " calculation planes (its layer faces, and one every 0.25 m2.K/W inside a "
                  "layer, ISO 13788 6.2), more than the 4096 computed: its layers' thermal "
                  "resistance of " +
                  row.resistance + " m2.K/W is beyond any real element",
              errorOf([&] { (void)assessMoisture(wall, climate, "thick.toml"); }))
        << row.layers;
  }
  // One layer far beyond the limit on its own is counted, not cut at the limit.
  const Wall single = tomlWall(
      "[[layers]]\nthickness = 100\nconductivity = 0.04\ndensity = 30\nspecific_heat = 1400\n"
      "sd = 1\n",
      "one.toml");
  EXPECT_NE(std::string::npos, errorOf([&] {
                                 (void)assessMoisture(single, climate, "one.toml");
                               }).find("needs 10001 calculation planes"));
}

TEST(MoistureReport, JsonHasTheDocumentedKeysAndNoNonFiniteNumbers) {
  const Climate climate = parseClimateCsv(kHeader + twelveMonths(), "c.csv");
  const Wall wall = tomlWall(
      "[[layers]]\nmaterial = \"board-gypsum\"\nthickness = 0.0125\n[[layers]]\n"
      "material = \"insulation-mineral-wool\"\nthickness = 0.08\n[[layers]]\n"
      "material = \"brick-solid\"\nthickness = 0.24\n",
      "w.toml");
  const MoistureReport report = assessMoisture(wall, climate, "w.toml");
  const nlohmann::json json = nlohmann::json::parse(formatMoistureJson({report}, climate));
  ASSERT_EQ(12u, json["months"].size());
  for (const char* key : {"month", "condensation", "accumulated", "interfaces"}) {
    EXPECT_TRUE(json["months"][0].contains(key)) << key;
  }
  for (const char* key :
       {"depth", "sd", "temperature", "saturation_pressure", "vapour_pressure", "accumulated"}) {
    EXPECT_TRUE(json["months"][0]["interfaces"][1].contains(key)) << key;
  }
  for (const char* key : {"max_accumulated", "max_month", "dries_out", "surface"}) {
    EXPECT_TRUE(json.contains(key)) << key;
  }
  for (const char* key : {"f_rsi", "f_rsi_min", "critical_month", "passes"}) {
    EXPECT_TRUE(json["surface"].contains(key)) << key;
  }
  // Every month condenses at the same rate: the sum of the months is the year's end.
  double sum = 0.0;
  for (const auto& month : json["months"]) sum += month["condensation"].get<double>();
  EXPECT_NEAR(json["end_accumulated"].get<double>(), sum, 1e-9);
  EXPECT_FALSE(json["dries_out"].get<bool>());
  EXPECT_EQ(1, json["start_month"].get<int>());
  // The quantity list names every top-level key the writer prints, and each field of the
  // top-level objects but the surface check's.
  const auto listed = [](const std::string& key) {
    for (const Brusk::Engine::Quantity& quantity : Brusk::Engine::quantities()) {
      if (quantity.scope == Brusk::Engine::QuantityScope::Moisture && quantity.key == key) {
        return true;
      }
    }
    return false;
  };
  for (auto item = json.begin(); item != json.end(); ++item) {
    if (item.key() == "name" || item.key() == "layers" || item.key() == "months" ||
        item.key() == "surface") {
      continue;
    }
    if (item->is_object()) {
      for (auto field = item->begin(); field != item->end(); ++field) {
        EXPECT_TRUE(listed(item.key() + "." + field.key())) << item.key() << "." << field.key();
      }
      continue;
    }
    EXPECT_TRUE(listed(item.key())) << item.key();
  }
}

/// Two skins of high s_d behind a layer of insulation each: water at two planes at once.
const char* const kTwoSkins =
    "[[layers]]\nmaterial = \"board-gypsum\"\nthickness = 0.0125\n"
    "[[layers]]\nmaterial = \"insulation-mineral-wool\"\nthickness = 0.06\n"
    "[[layers]]\nmaterial = \"board-osb\"\nthickness = 0.012\nsd = 4\n"
    "[[layers]]\nmaterial = \"insulation-mineral-wool\"\nthickness = 0.06\n"
    "[[layers]]\nmaterial = \"board-osb\"\nthickness = 0.012\nsd = 40\n";

// The summary's largest accumulation is the largest of the months' totals, the figure the month
// table's column shows, with its month: on every example wall under both example climates and
// every humidity class, and on a wall holding water at two planes, where the most at one plane
// is a figure of its own.
TEST(MoistureReport, LargestAccumulationIsTheLargestMonthlyTotalOnEveryWall) {
  std::vector<std::pair<std::string, Wall>> walls;
  for (const char* folder : {"", "moisture/", "bridged/"}) {
    const std::filesystem::path directory = std::string(BRUSK_SOURCE_DIR "/examples/") + folder;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
      const std::string path = entry.path().string();
      if (entry.path().extension() != ".toml" && entry.path().extension() != ".json") continue;
      walls.emplace_back(path, loadWallFile(path, BruskTest::catalogue()));
    }
  }
  walls.emplace_back("two skins", tomlWall(kTwoSkins, "two-skins.toml"));
  std::size_t assessed = 0;
  std::size_t condensing = 0;
  std::size_t severalPlanes = 0;
  for (const char* climateFile : {"cold.csv", "temperate.csv"}) {
    for (int humidityClass = 0; humidityClass <= 5; ++humidityClass) {
      const Climate climate = loadClimateFile(
          std::string(BRUSK_SOURCE_DIR "/examples/climates/") + climateFile, humidityClass);
      for (const auto& [source, wall] : walls) {
        const std::string label =
            source + ", " + climateFile + ", class " + std::to_string(humidityClass);
        MoistureReport report;
        try {
          report = assessMoisture(wall, climate, source);
        } catch (const Error&) {
          continue;  // a custom layer without a vapour property: not assessed by any door
        }
        ++assessed;
        const nlohmann::json json = nlohmann::json::parse(formatMoistureJson({report}, climate));
        double largest = 0.0;
        int month = 0;
        for (const auto& row : json["months"]) {
          if (row["accumulated"].get<double>() > largest) {
            largest = row["accumulated"].get<double>();
            month = row["month"].get<int>();
          }
        }
        EXPECT_EQ(largest, json["max_accumulated"].get<double>()) << label;
        if (largest == 0.0) {
          EXPECT_TRUE(json["max_month"].is_null()) << label;
          continue;
        }
        ++condensing;
        EXPECT_EQ(month, json["max_month"].get<int>()) << label;
        const nlohmann::json& interface = json["max_accumulated_interface"];
        if (report.result.wetPlaneCount > 1) {
          ++severalPlanes;
          EXPECT_LT(interface["accumulated"].get<double>(), largest) << label;
          EXPECT_GT(interface["depth"].get<double>(), 0.0) << label;
          EXPECT_TRUE(interface["month"].is_number()) << label;
        } else {
          EXPECT_TRUE(interface["accumulated"].is_null() && interface["depth"].is_null() &&
                      interface["month"].is_null())
              << label;
        }
        // The table says the same number with its month.
        char expected[96];
        std::snprintf(expected, sizeof expected, "largest %.1f g/m2 at the end of ", largest);
        const std::string table = formatMoistureTable({report}, climate);
        EXPECT_NE(std::string::npos, table.find(expected)) << label << "\n" << table;
      }
    }
  }
  EXPECT_GT(assessed, 40u);
  EXPECT_GT(condensing, 10u);
  EXPECT_GT(severalPlanes, 2u);
}

TEST(MoistureReport, CondensationLimitIsCheckedAtThePlanesOfItsLayer) {
  const Climate climate = parseClimateCsv(kHeader + twelveMonths(), "c.csv");
  struct Row {
    const char* label;
    const char* woolLimit;   ///< condensation_limit of the mineral wool, or empty
    const char* brickLimit;  ///< of the brick, or empty
    const char* expected;    ///< the JSON value of limit_exceeded
  };
  const Row rows[] = {{"none stated", "", "", "null"},
                      {"wool 500 g/m2", "500", "", "true"},
                      {"brick 500 g/m2 (the plane between them)", "", "500", "true"},
                      {"generous", "1e9", "1e9", "false"}};
  for (const Row& row : rows) {
    std::string text =
        "[[layers]]\nmaterial = \"board-gypsum\"\nthickness = 0.0125\n[[layers]]\n"
        "material = \"insulation-mineral-wool\"\nthickness = 0.08\n";
    if (*row.woolLimit != 0) text += std::string("condensation_limit = ") + row.woolLimit + "\n";
    text += "[[layers]]\nmaterial = \"brick-solid\"\nthickness = 0.24\n";
    if (*row.brickLimit != 0) text += std::string("condensation_limit = ") + row.brickLimit + "\n";
    const MoistureReport report = assessMoisture(tomlWall(text, "w.toml"), climate, "w.toml");
    const nlohmann::json json = nlohmann::json::parse(formatMoistureJson({report}, climate));
    EXPECT_EQ(nlohmann::json::parse(row.expected), json["limit_exceeded"]) << row.label;
  }
  EXPECT_NE(std::string::npos,
            errorOf([] {
              (void)tomlWall(
                  "[[layers]]\nmaterial = \"brick-solid\"\nthickness = 0.2\n"
                  "condensation_limit = -1\n",
                  "w.toml");
            }).find("condensation_limit must be a finite number of g/m2, not negative"));
}

}  // namespace
