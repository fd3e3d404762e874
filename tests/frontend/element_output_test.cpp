// The element quantities in the writers: the plain outputs unchanged, the extra keys, columns
// and rows where a wall is an element, and the one table of quantities they all come from.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "brusk/engine/quantities.h"
#include "brusk/frontend/bridged_wall.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/element_output.h"
#include "brusk/frontend/output.h"
#include "test_walls.h"

namespace {

using namespace Brusk::Frontend;

const char* const kStudWall = R"(name = "Studs"
[[layers]]
material = "board-gypsum"
thickness = 0.0125
[[layers]]
thickness = 0.14
[[layers.parts]]
material = "timber-softwood"
fraction = 0.15
[[layers.parts]]
material = "insulation-mineral-wool"
fraction = 0.85
[[layers]]
air_gap = 0.05
[corrections.fasteners]
layer = 2
count = 4
cross_section = 1.96e-5
conductivity = 17
)";

struct Computed {
  std::vector<NamedResult> results;
  std::vector<ExtraFields> extras;
};

Computed plainAndStuds() {
  Computed computed;
  const Wall plain = BruskTest::tomlWall(BruskTest::kInsulatedToml);
  const Wall studs = BruskTest::tomlWall(kStudWall);
  const Brusk::Engine::ElementResult element = computeElementWall(studs);
  computed.results = {{plain.name, computeWall(plain)}, {studs.name, element.wall}};
  computed.extras = {elementExtras(plain, Brusk::Engine::ElementResult{}),
                     elementExtras(studs, element)};
  return computed;
}

// Extras that are all empty change no byte of any writer's output.
TEST(ElementOutput, EmptyExtrasLeaveEveryWriterAsItWas) {
  const Wall plain = BruskTest::tomlWall(BruskTest::kInsulatedToml);
  const Wall concrete = BruskTest::tomlWall(BruskTest::kConcreteToml);
  const std::vector<NamedResult> results = {{plain.name, computeWall(plain)},
                                            {concrete.name, computeWall(concrete)}};
  for (std::size_t count : {1u, 2u}) {
    const std::vector<NamedResult> some(results.begin(),
                                        results.begin() + static_cast<std::ptrdiff_t>(count));
    const std::vector<ExtraFields> none(count);
    for (const JsonLayout layout : {JsonLayout::Compact, JsonLayout::Indented}) {
      EXPECT_EQ(formatJson(some, layout), formatJson(some, layout, none)) << count;
    }
    EXPECT_EQ(formatCsv(some), formatCsv(some, none)) << count;
    EXPECT_EQ(formatTable(some), formatTable(some, none)) << count;
  }
}

TEST(ElementOutput, JsonCarriesTheElementQuantitiesAndPaths) {
  const Computed computed = plainAndStuds();
  const nlohmann::json both =
      nlohmann::json::parse(formatJson(computed.results, JsonLayout::Indented, computed.extras));
  ASSERT_EQ(2u, both.size());
  EXPECT_FALSE(both[0].contains("thermal_resistance_upper"));
  const nlohmann::json& studs = both[1];
  EXPECT_GT(studs["thermal_resistance_upper"].get<double>(),
            studs["thermal_resistance_lower"].get<double>());
  EXPECT_DOUBLE_EQ(0.5 * (studs["thermal_resistance_upper"].get<double>() +
                          studs["thermal_resistance_lower"].get<double>()),
                   studs["thermal_resistance"].get<double>());
  EXPECT_TRUE(studs["corrections"]["fasteners"]["applied"].get<bool>());
  EXPECT_FALSE(studs["corrections"]["air_voids"]["applied"].get<bool>());
  EXPECT_DOUBLE_EQ(studs["u_value"].get<double>() + studs["corrections"]["delta_u"].get<double>(),
                   studs["u_value_corrected"].get<double>());
  ASSERT_EQ(2u, studs["paths"].size());
  EXPECT_EQ(0.15, studs["paths"][0]["fraction"].get<double>());
  EXPECT_EQ("all layers", studs["paths"][0]["variant"].get<std::string>());
  ASSERT_EQ(1u, studs["air_layers"].size());
  EXPECT_EQ(0.18, studs["air_layers"][0]["thermal_resistance"].get<double>());
  EXPECT_EQ("table", studs["air_layers"][0]["thermal_resistance_source"].get<std::string>());
  EXPECT_NE(std::string::npos,
            studs["method"].get<std::string>().find("parallel-path approximation"));
}

// CSV: the extra columns once, after the usual ones; empty cells for the plain wall.
TEST(ElementOutput, CsvAddsColumnsLeftEmptyForPlainWalls) {
  const Computed computed = plainAndStuds();
  const std::string csv = formatCsv(computed.results, computed.extras);
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < csv.size();) {
    const std::size_t end = csv.find('\n', start);
    lines.push_back(csv.substr(start, end - start));
    start = end + 1;
  }
  ASSERT_EQ(3u, lines.size());
  std::string plainHeader;
  appendCsvHeader(plainHeader);
  plainHeader.pop_back();
  EXPECT_EQ(0u, lines[0].find(plainHeader + ",method,thermal_resistance_upper,"));
  EXPECT_NE(std::string::npos, lines[0].find(",corrections_fasteners_delta_u,"));
  const auto commas = [](const std::string& line) {
    return std::count(line.begin(), line.end(), ',');
  };
  // The method's text holds commas of its own, inside its quotes.
  EXPECT_EQ(commas(lines[0]), commas(lines[1]));
  EXPECT_NE(std::string::npos, lines[1].rfind(",,,"));
  EXPECT_EQ(0u, lines[2].find("Studs,"));
}

TEST(ElementOutput, TableRowsShowDashesForPlainWalls) {
  const Computed computed = plainAndStuds();
  const std::string table = formatTable(computed.results, computed.extras);
  const std::size_t row = table.find("Upper limit of the thermal resistance R′T [m2.K/W]");
  ASSERT_NE(std::string::npos, row);
  const std::string line = table.substr(row, table.find('\n', row) - row);
  EXPECT_NE(std::string::npos, line.find(" - "));
  EXPECT_NE(std::string::npos, table.find("Fastener correction ΔUf"));
  EXPECT_EQ(0u, formatTable({computed.results[0]}, {computed.extras[0]})
                    .find(formatTable({computed.results[0]})));
}

// Every field the writers get is described once, in the Element scope's order.
TEST(ElementOutput, FieldsComeFromTheOneDescriptionOfQuantities) {
  const Computed computed = plainAndStuds();
  const ExtraFields& extras = computed.extras[1];
  std::vector<std::string> own;
  std::map<std::string, std::vector<std::string>> entries;
  for (const Brusk::Engine::Quantity& q : Brusk::Engine::quantities()) {
    if (q.scope != Brusk::Engine::QuantityScope::Element) continue;
    EXPECT_FALSE(q.definition.empty()) << q.key;
    const std::string key(q.key);
    const std::size_t dot = key.find('.');
    const std::string list = dot == std::string::npos ? "" : key.substr(0, dot);
    if (list == "paths" || list == "air_layers") {
      entries[list].push_back(key.substr(dot + 1));
    } else {
      own.push_back(key);
    }
  }
  ASSERT_EQ(own.size(), extras.fields.size());
  for (std::size_t i = 0; i < own.size(); ++i) EXPECT_EQ(own[i], extras.fields[i].key) << i;
  ASSERT_EQ(2u, extras.lists.size());
  for (const ExtraList& list : extras.lists) {
    const std::vector<std::string>& described = entries[list.key];
    for (const std::vector<ExtraField>& item : list.items) {
      ASSERT_EQ(described.size(), item.size()) << list.key;
      for (std::size_t i = 0; i < item.size(); ++i) {
        EXPECT_EQ(described[i], item[i].key) << list.key;
      }
    }
  }
}

}  // namespace
