#include "brusk/frontend/output.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "brusk/frontend/compute.h"
#include "brusk/frontend/text_util.h"
#include "test_walls.h"

namespace {

namespace Frontend = Brusk::Frontend;
using Frontend::JsonLayout;
using Frontend::NamedResult;

NamedResult referenceResult(const char* toml = BruskTest::kInsulatedToml) {
  const Frontend::Wall wall = BruskTest::tomlWall(toml);
  return {wall.name, Frontend::computeWall(wall)};
}

/// Every leaf of a JSON object as path-joined-with-'_' = value, the CSV column convention.
void flatten(const nlohmann::ordered_json& value, const std::string& path,
             std::vector<std::pair<std::string, nlohmann::ordered_json>>& leaves) {
  if (value.is_object()) {
    for (auto item = value.begin(); item != value.end(); ++item) {
      flatten(item.value(), path.empty() ? item.key() : path + "_" + item.key(), leaves);
    }
  } else if (value.is_array()) {
    flatten(value[0], path + "_re", leaves);
    flatten(value[1], path + "_im", leaves);
  } else {
    leaves.emplace_back(path, value);
  }
}

std::vector<std::string> splitCsvLine(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      fields.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

// Each documented key, in order, with the value the result holds, read back exactly.
TEST(JsonOutput, HoldsEveryKeyWithRoundTripValues) {
  const NamedResult r = referenceResult();
  std::string text;
  Frontend::appendJson(r.name, r.result, text, JsonLayout::Indented);
  const nlohmann::ordered_json json = nlohmann::ordered_json::parse(text);
  std::vector<std::pair<std::string, nlohmann::ordered_json>> leaves;
  flatten(json, "", leaves);
  const std::vector<std::pair<std::string, nlohmann::ordered_json>> expected = {
      {"name", r.name},
      {"period", r.result.period},
      {"thickness", r.result.thickness},
      {"surface_mass", r.result.surfaceMass},
      {"thermal_resistance", r.result.thermalResistance},
      {"u_value", r.result.uValue},
      {"decrement_factor", r.result.decrementFactor},
      {"periodic_thermal_transmittance_modulus",
       r.result.periodicThermalTransmittance.getModulus()},
      {"periodic_thermal_transmittance_time_shift", r.result.periodicThermalTransmittanceShift},
      {"periodic_thermal_transmittance_time_lag", r.result.timeLag},
      {"internal_admittance_modulus", r.result.internalAdmittance.getModulus()},
      {"internal_admittance_time_shift", r.result.internalAdmittanceShift},
      {"external_admittance_modulus", r.result.externalAdmittance.getModulus()},
      {"external_admittance_time_shift", r.result.externalAdmittanceShift},
      {"internal_areal_heat_capacity", r.result.internalArealHeatCapacity},
      {"external_areal_heat_capacity", r.result.externalArealHeatCapacity},
      {"transfer_matrix_z11_re", r.result.z11.getRealPart()},
      {"transfer_matrix_z11_im", r.result.z11.getImaginaryPart()},
      {"transfer_matrix_z12_re", r.result.z12.getRealPart()},
      {"transfer_matrix_z12_im", r.result.z12.getImaginaryPart()},
      {"transfer_matrix_z21_re", r.result.z21.getRealPart()},
      {"transfer_matrix_z21_im", r.result.z21.getImaginaryPart()},
      {"transfer_matrix_z22_re", r.result.z22.getRealPart()},
      {"transfer_matrix_z22_im", r.result.z22.getImaginaryPart()},
      {"sequential_heat_capacity_daily_value", r.result.daily.capacity},
      {"sequential_heat_capacity_daily_method", "limited-depth"},
      {"sequential_heat_capacity_twelve_day_value", r.result.twelveDay.capacity},
      {"sequential_heat_capacity_twelve_day_method", "thin-layer"},
  };
  ASSERT_EQ(expected.size(), leaves.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(expected[i].first, leaves[i].first);
    if (expected[i].second.is_number()) {
      EXPECT_EQ(expected[i].second.get<double>(), leaves[i].second.get<double>())
          << expected[i].first;
    } else {
      EXPECT_EQ(expected[i].second, leaves[i].second) << expected[i].first;
    }
  }
}

TEST(JsonOutput, CompactIsOneLineAndSeveralMakeAnArray) {
  const NamedResult r = referenceResult();
  std::string compact;
  Frontend::appendJson(r.name, r.result, compact, JsonLayout::Compact);
  EXPECT_EQ(std::string::npos, compact.find_first_of(" \n"));
  const nlohmann::ordered_json several =
      nlohmann::ordered_json::parse(Frontend::formatJson({r, r}, JsonLayout::Indented));
  ASSERT_TRUE(several.is_array());
  EXPECT_EQ(2u, several.size());
  EXPECT_TRUE(
      nlohmann::ordered_json::parse(Frontend::formatJson({r}, JsonLayout::Indented)).is_object());
}

TEST(JsonOutput, EscapesNames) {
  NamedResult r = referenceResult();
  r.name = "A \"quoted\"\\name\n\x01 é";
  std::string text;
  Frontend::appendJson(r.name, r.result, text, JsonLayout::Compact);
  EXPECT_EQ(r.name, nlohmann::ordered_json::parse(text)["name"].get<std::string>());
}

// CSV columns are the JSON paths joined with '_', and each row reads back to the JSON values.
TEST(CsvOutput, ColumnsMatchJsonPathsAndValues) {
  NamedResult r = referenceResult();
  r.name = "Wall, \"north\"";
  const std::string csv = Frontend::formatCsv({r});
  const std::size_t headerEnd = csv.find('\n');
  const std::vector<std::string> header = splitCsvLine(csv.substr(0, headerEnd));
  const std::vector<std::string> row =
      splitCsvLine(csv.substr(headerEnd + 1, csv.size() - headerEnd - 2));
  std::string json;
  Frontend::appendJson(r.name, r.result, json, JsonLayout::Compact);
  std::vector<std::pair<std::string, nlohmann::ordered_json>> leaves;
  flatten(nlohmann::ordered_json::parse(json), "", leaves);
  ASSERT_EQ(leaves.size(), header.size());
  ASSERT_EQ(leaves.size(), row.size());
  for (std::size_t i = 0; i < leaves.size(); ++i) {
    EXPECT_EQ(leaves[i].first, header[i]);
    if (leaves[i].second.is_number()) {
      EXPECT_EQ(leaves[i].second.get<double>(), std::stod(row[i])) << header[i];
    } else {
      EXPECT_EQ(leaves[i].second.get<std::string>(), row[i]) << header[i];
    }
  }
  EXPECT_EQ('\n', csv.back());
}

// Columns line up on a terminal whatever the names: wide CJK characters take two columns, and a
// control character in a name is shown, not obeyed.
TEST(TableOutput, AlignsByTerminalColumns) {
  NamedResult wide = referenceResult();
  wide.name = "混凝土墙";
  NamedResult hostile = referenceResult();
  hostile.name = "a\x1b[2Jb";
  const std::string table = Frontend::formatTable({wide, hostile});
  EXPECT_EQ(std::string::npos, table.find('\x1b'));
  std::istringstream lines(table);
  std::string header;
  std::string rule;
  std::getline(lines, header);
  std::getline(lines, rule);
  // The header ends where the rule and every row end, in columns.
  EXPECT_EQ(rule.size(), Frontend::displayWidth(header)) << header;
  std::string row;
  while (std::getline(lines, row)) {
    if (row.rfind("  rule", 0) == 0) continue;
    EXPECT_EQ(rule.size(), Frontend::displayWidth(row)) << row;
  }
}

TEST(TableOutput, NamesQuantitiesWithSymbolsAndAlignsWalls) {
  const NamedResult insulated = referenceResult();
  const NamedResult concrete = referenceResult(BruskTest::kConcreteToml);
  const std::string table = Frontend::formatTable({concrete, insulated});
  for (const char* text :
       {"Concrete", "Insulated", "Decrement factor f [-]",
        "Periodic thermal transmittance |Y₁₂| [W/(m2.K)]", "0.514", "0.169", "3.557", "0.359",
        "Internal areal heat capacity κ₁ [kJ/(m2.K)]", "limited-depth", "thin-layer"}) {
    EXPECT_NE(std::string::npos, table.find(text)) << text << "\n" << table;
  }
  // Every line ends at the same terminal column: right-aligned values, no trailing blanks.
  std::istringstream lines(table);
  std::string line;
  std::getline(lines, line);
  const std::size_t width = Frontend::displayWidth(line);
  while (std::getline(lines, line)) EXPECT_EQ(width, Frontend::displayWidth(line)) << line;
}

}  // namespace

namespace {

// writeShortestDouble must give exactly std::to_chars's text: the CSV and JSON output format is
// defined by it. Each row is a family of doubles that exercises a different layout decision.
struct ShortestDoubleCase {
  const char* name;
  std::vector<double> (*values)();
};

std::vector<double> randomBitPatterns() {
  std::mt19937_64 random(1);
  std::vector<double> values;
  for (int i = 0; i < 300000; ++i) {
    const std::uint64_t bits = random();
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    values.push_back(value);  // NaNs with any payload and infinities included
  }
  return values;
}

std::vector<double> powersAndNeighbours() {
  std::vector<double> values;
  for (int exponent = -330; exponent <= 310; ++exponent) {
    for (const double base : {1.0, 2.0, 5.0}) {
      const double value = base * std::pow(10.0, exponent);
      if (!std::isfinite(value)) continue;
      values.insert(values.end(),
                    {value, std::nextafter(value, 0.0), std::nextafter(value, HUGE_VAL), -value});
    }
  }
  for (int exponent = -1074; exponent <= 1023; ++exponent)
    values.push_back(std::ldexp(1.0, exponent));
  return values;
}

std::vector<double> integersAndDecimals() {
  std::vector<double> values = {0.0,
                                -0.0,
                                1.0,
                                86400.0,
                                1e15,
                                1e16,
                                1e17,
                                123456789012345680.0,
                                9007199254740993.0,
                                0.1,
                                0.2,
                                0.3,
                                1.0 / 3.0,
                                2.0 / 3.0,
                                5e-324,
                                2.2250738585072014e-308,
                                1.7976931348623157e308};
  std::mt19937_64 random(2);
  std::uniform_int_distribution<std::int64_t> digits(0, 99999999);
  std::uniform_int_distribution<int> scale(-12, 20);
  for (int i = 0; i < 100000; ++i) {
    values.push_back(static_cast<double>(digits(random)) * std::pow(10.0, scale(random)));
  }
  return values;
}

/// Named hard cases: notation ties, the bounds of the writer's common path (1e-3, 1e5, 1e16),
/// whole numbers beyond 2^53 whose fixed text is their exact value, the ends of the range,
/// zeros and non-finite values.
std::vector<double> hardCases() {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> values = {0.0,
                                -0.0,
                                kInfinity,
                                -kInfinity,
                                kNan,
                                -kNan,
                                1e-5,
                                1e-4,
                                1.5e-4,
                                1e-3,
                                1.5e-3,
                                1e-2,
                                0.1,
                                1e4,
                                1e5,
                                123456.0,
                                1e15,
                                1234567890123456.5,
                                9007199254740992.0,
                                9007199254740994.0,
                                9999999999999998.0,
                                1e16,
                                18014398509481984.0,
                                123456789012345680.0,
                                1152921504606846976.0,
                                1e17,
                                1e21,
                                9.999999999999999e21,
                                1e22,
                                std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::min(),
                                std::numeric_limits<double>::denorm_min(),
                                std::numeric_limits<double>::epsilon()};
  // Each bound with its neighbours, both signs.
  for (const double bound : {1e-4, 1e-3, 1e5, 1e15, 9007199254740992.0, 1e16, 1e21, 1e22}) {
    double below = bound;
    double above = bound;
    for (int step = 0; step < 4; ++step) {
      below = std::nextafter(below, 0.0);
      above = std::nextafter(above, kInfinity);
      values.insert(values.end(), {below, above, -below, -above});
    }
  }
  return values;
}

/// Whole numbers around 2^53 to 10^22, where fixed notation can win and prints the exact
/// integer rather than the shortest digits padded with zeros.
std::vector<double> largeWholeNumbers() {
  std::mt19937_64 random(3);
  std::uniform_real_distribution<double> decade(15.0, 22.5);
  std::uniform_int_distribution<int> trailingZeros(0, 16);
  std::vector<double> values;
  for (int i = 0; i < 50000; ++i) {
    const double value = std::floor(std::pow(10.0, decade(random)));
    values.push_back(value);
    // Round numbers with few significant digits, where scientific notation can be shorter.
    const double scale = std::pow(10.0, trailingZeros(random));
    values.push_back(std::round(value / scale) * scale);
  }
  return values;
}

/// Subnormal numbers: significands of every length.
std::vector<double> subnormals() {
  std::mt19937_64 random(4);
  std::vector<double> values;
  for (int i = 0; i < 20000; ++i) {
    const std::uint64_t bits = random() >> (12 + i % 52);
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    values.push_back(value);
  }
  return values;
}

/// Digit strings whose four-digit groups (the digits are made four at a time) take every value
/// from 0000 to 9999 in each group, in whole numbers and in fractions.
std::vector<double> everyDigitGroup() {
  std::vector<double> values;
  for (int n = 0; n < 10000; ++n) {
    const double group = n;
    values.push_back(group * 100010001.0);  // "nnnnnnnnnnnn", the three low groups
    const double wide = group * 1e12 + group * 100010001.0;
    if (wide < 0x1p53) values.push_back(wide);  // all four groups, still a whole number
    values.push_back(group + 0.123456789012);   // the leading group, then a fraction
    values.push_back((group + 0.5) * 1e-8);
  }
  return values;
}

/// Every place of the decimal point for every digit count: each digit string of 1 to 17 digits
/// with 1 to 16 integer digits ("d.ddd" to "dddd.d"), as "0.", "0.0" and "0.00" fractions and
/// beyond, and as whole numbers; the digits are laid out from one register, its lanes blended
/// by the point's place.
std::vector<double> everyPointPlace() {
  std::mt19937_64 random(5);
  std::vector<double> values;
  for (int digitCount = 1; digitCount <= 17; ++digitCount) {
    for (int integerDigits = -4; integerDigits <= 18; ++integerDigits) {
      for (int i = 0; i < 40; ++i) {
        // A random digit string of digitCount digits, the first and last not zero.
        std::string text = "0.";
        for (int d = 0; d < digitCount; ++d) {
          const bool end = d == 0 || d == digitCount - 1;
          text += static_cast<char>('0' + (end ? 1 + random() % 9 : random() % 10));
        }
        text += "e" + std::to_string(integerDigits);
        const double value = std::strtod(text.c_str(), nullptr);
        values.insert(values.end(), {value, -value});
      }
    }
  }
  return values;
}

/// Values at the edges of the digit layouts: zeros, the smallest subnormals, the far ends of
/// the exponent range, numbers whose shortest digits round up into one more integer digit or
/// one fewer leading zero, and the non-finite values.
std::vector<double> layoutEdges() {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  return {0.0,
          -0.0,
          5e-324,
          1e-323,
          2.225073858507201e-308,
          1e-300,
          1.2345678901234567e-300,
          1e300,
          9.9999995,
          9.999999999999999,
          9.9999999999999995,
          99.99999999999999,
          0.9999999999999999,
          0.09999999999999999,
          0.0009999999999999998,
          999999999999999.9,
          9999999999999998.0,
          0.1 + 0.2,
          1.0 - 1e-16,
          12345678901234567.0,
          0.12345678901234567,
          0.0012345678901234567,
          0.00012345678901234567,
          1.7976931348623157e308,
          kInfinity,
          -kInfinity,
          std::numeric_limits<double>::quiet_NaN(),
          -std::numeric_limits<double>::quiet_NaN()};
}

class ShortestDoubleTest : public testing::TestWithParam<ShortestDoubleCase> {};

TEST_P(ShortestDoubleTest, MatchesToChars) {
  char fast[Frontend::kShortestDoubleRoom];
  char reference[64];
  std::size_t mismatches = 0;
  for (const double value : GetParam().values()) {
    const std::string_view ours(
        fast, static_cast<std::size_t>(Frontend::writeShortestDouble(value, fast) - fast));
    const auto result = std::to_chars(reference, reference + sizeof reference, value);
    const std::string_view expected(reference, static_cast<std::size_t>(result.ptr - reference));
    if (ours != expected && ++mismatches <= 5) {
      ADD_FAILURE() << "value " << expected << " written as " << ours;
    }
  }
  EXPECT_EQ(mismatches, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Families, ShortestDoubleTest,
    testing::Values(ShortestDoubleCase{"random_bits", randomBitPatterns},
                    ShortestDoubleCase{"powers", powersAndNeighbours},
                    ShortestDoubleCase{"integers_and_decimals", integersAndDecimals},
                    ShortestDoubleCase{"hard_cases", hardCases},
                    ShortestDoubleCase{"large_whole_numbers", largeWholeNumbers},
                    ShortestDoubleCase{"subnormals", subnormals},
                    ShortestDoubleCase{"every_digit_group", everyDigitGroup},
                    ShortestDoubleCase{"every_point_place", everyPointPlace},
                    ShortestDoubleCase{"layout_edges", layoutEdges}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
