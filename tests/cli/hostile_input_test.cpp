// Hostile names and lines through every command: nothing reaches a terminal, a spreadsheet or a
// page that could act on it, and JSON keeps the exact text.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "program_fixture.h"

namespace {

using BruskTest::ProgramRun;

/// A name that retitles the window, clears the screen and starts a formula.
const std::string kHostileName = "=\x1b]0;pwned\x07\x1b[2J";
const std::string kHostileJson = R"(=\u001b]0;pwned\u0007\u001b[2J)";

bool hasRawEscape(const std::string& text) { return text.find('\x1b') != std::string::npos; }

class HostileInputTest : public BruskTest::ProgramFixture {
protected:
  void SetUp() override {
    ProgramFixture::SetUp();
    write("hostile.json", R"({"name": ")" + kHostileJson + R"(", "layers": [{"name": ")" +
                              kHostileJson +
                              R"(", "thickness": 0.1, "conductivity": 1, "density": 1000,)"
                              R"( "specific_heat": 1000}]})");
    write("bad.json", R"({"name": "x", "layers": [{"name": ")" + kHostileJson +
                          R"(", "thickness": -1, "conductivity": 1, "density": 1,)"
                          R"( "specific_heat": 1}]})");
  }
};

TEST_F(HostileInputTest, ErrorMessagesShowControlCharactersAsEscapes) {
  const ProgramRun result = run("compute bad.json");
  EXPECT_EQ(2, result.status);
  EXPECT_FALSE(hasRawEscape(result.err)) << result.err;
  EXPECT_NE(std::string::npos, result.err.find("\\x1b]0;pwned\\x07")) << result.err;
  EXPECT_EQ("", result.out);
}

struct Destination {
  const char* arguments;
  bool exact;  ///< JSON keeps the name exactly; every other output shows it inertly
};

class HostileOutputTest : public HostileInputTest,
                          public testing::WithParamInterface<Destination> {};

TEST_P(HostileOutputTest, NameIsInertOrExact) {
  const ProgramRun result = run(GetParam().arguments);
  ASSERT_EQ(0, result.status) << result.err;
  const std::string output = result.out + read("out.txt");
  if (GetParam().exact) {
    const nlohmann::json parsed = nlohmann::json::parse(output);
    EXPECT_EQ(kHostileName, parsed["name"].get<std::string>());
  } else {
    EXPECT_FALSE(hasRawEscape(output));
    EXPECT_NE(std::string::npos, output.find("\\x1b]0;pwned")) << GetParam().arguments;
  }
}

INSTANTIATE_TEST_SUITE_P(Outputs, HostileOutputTest,
                         testing::Values(Destination{"compute hostile.json", false},
                                         Destination{"compute --format csv hostile.json", false},
                                         Destination{"compute --format json hostile.json", true},
                                         Destination{"report hostile.json -o out.txt", false}));

/// A requirements file whose every name (set, source, rule id, clause, class) is hostile.
std::string hostileRequirements() {
  const std::string name = "\"" + kHostileJson + "\"";
  return "name = " + name + "\nsource = " + name + "\n[[rules]]\nid = " + name +
         "\nsource = " + name + "\nclasses = [ { name = " + name + ", all = [] } ]\n";
}

struct RequirementsDestination {
  const char* arguments;
  bool exact;  ///< JSON keeps the class name exactly; every other output shows it inertly
};

class HostileRequirementsTest : public HostileInputTest,
                                public testing::WithParamInterface<RequirementsDestination> {};

TEST_P(HostileRequirementsTest, NamesOfARequirementsFileAreInertOrExact) {
  write("names.toml", hostileRequirements());
  write("plain.toml", "[[layers]]\nthermal_resistance = 2\n");
  const ProgramRun result = run(GetParam().arguments);
  ASSERT_EQ(0, result.status) << result.err;
  const std::string output = result.out + read("out.txt");
  if (GetParam().exact) {
    const nlohmann::json parsed = nlohmann::json::parse(output);
    EXPECT_EQ(kHostileName, parsed[0]["rules"][0]["class"].get<std::string>());
    EXPECT_EQ(kHostileName, parsed[0]["requirements"].get<std::string>());
  } else {
    EXPECT_FALSE(hasRawEscape(output)) << GetParam().arguments;
    EXPECT_EQ(std::string::npos, output.find('\x07')) << GetParam().arguments;
    EXPECT_NE(std::string::npos, output.find("\\x1b]0;pwned")) << GetParam().arguments;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, HostileRequirementsTest,
    testing::Values(
        RequirementsDestination{"check plain.toml --requirements names.toml", false},
        RequirementsDestination{"check plain.toml --requirements names.toml --format csv", false},
        RequirementsDestination{"check plain.toml --requirements names.toml -o out.txt", false},
        RequirementsDestination{"check plain.toml --requirements names.toml --format json", true},
        RequirementsDestination{"report plain.toml --requirements names.toml -o out.txt", false}));

TEST_F(HostileInputTest, RequirementsRefusalsShowNamesInertly) {
  // A rule id given twice is quoted in the refusal, which goes to the terminal.
  write("twice.toml", "name = \"P\"\n[[rules]]\nid = \"" + kHostileJson +
                          "\"\nquantity = \"u_value\"\nat_most = 1\n[[rules]]\nid = \"" +
                          kHostileJson + "\"\nquantity = \"u_value\"\nat_most = 2\n");
  write("plain.toml", "[[layers]]\nthermal_resistance = 2\n");
  const ProgramRun result = run("check plain.toml --requirements twice.toml");
  EXPECT_EQ(2, result.status);
  EXPECT_EQ("", result.out);
  EXPECT_FALSE(hasRawEscape(result.err)) << result.err;
  EXPECT_NE(std::string::npos, result.err.find("twice.toml:7: rule id \"=\\x1b]0;pwned"))
      << result.err;
}

TEST_F(HostileInputTest, CsvCellsNeverStartAFormula) {
  write("walls.jsonl",
        R"x({"name":"=HYPERLINK(\"http://x\",\"y\")","layers":[{"thermal_resistance":1}]})x"
        "\n"
        R"({"name":"+cmd|' /C calc'!A0","layers":[{"thermal_resistance":1}]})"
        "\n"
        R"x({"name":"@SUM(1+1)","layers":[{"thermal_resistance":1}]})x"
        "\n"
        R"({"name":"-2+3","layers":[{"thermal_resistance":1}]})"
        "\n");
  const ProgramRun result = run("batch walls.jsonl");
  ASSERT_EQ(0, result.status) << result.err;
  std::istringstream rows(result.out);
  std::string row;
  std::getline(rows, row);  // header
  int count = 0;
  while (std::getline(rows, row)) {
    ++count;
    const std::size_t start = row[0] == '"' ? 1 : 0;
    EXPECT_EQ('\'', row[start]) << row;
  }
  EXPECT_EQ(4, count);
}

struct BadLine {
  const char* label;
  const char* line;
  const char* message;  ///< after "walls.jsonl:1: "
};

void PrintTo(const BadLine& bad, std::ostream* out) { *out << bad.label; }

class BadBatchLineTest : public BruskTest::ProgramFixture,
                         public testing::WithParamInterface<BadLine> {};

TEST_P(BadBatchLineTest, IsRefusedWithAPlainReason) {
  write("walls.jsonl", std::string(GetParam().line) + "\n");
  const ProgramRun result = run("batch walls.jsonl");
  EXPECT_EQ(1, result.status);
  EXPECT_EQ(std::string("walls.jsonl:1: ") + GetParam().message + "\n1 of 1 walls failed\n",
            result.err);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadBatchLineTest,
    testing::Values(
        BadLine{"RepeatedLayerKey",
                R"({"layers":[{"material":"concrete-reinforced","thickness":0.2,"thickness":5}]})",
                "key \"thickness\" appears twice in one object"},
        BadLine{"RepeatedWallKey",
                R"({"layers":[{"thermal_resistance":1}],"layers":[{"thermal_resistance":2}]})",
                "key \"layers\" appears twice in one object"},
        BadLine{"SyntaxError", R"({"layers": [{"thermal_resistance": 1},]})",
                "JSON syntax error at column 39: unexpected ']'; expected '[', '{', or a literal"},
        BadLine{"NotAnObject", "[1, 2]",
                "a wall must be a table of keys (name, position, heat_flow, orientation, "
                "site_irradiance, rsi, rse, layers, "
                "parts_aligned and corrections), got a list"},
        BadLine{"NegativeZero",
                R"({"layers":[{"thickness":-0,"conductivity":1,"density":1,"specific_heat":1}]})",
                "layer 1: thickness must be a positive number of m, got -0"}),
    [](const testing::TestParamInfo<BadLine>& row) { return std::string(row.param.label); });

}  // namespace
