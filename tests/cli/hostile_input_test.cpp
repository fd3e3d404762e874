// Hostile names and lines through every command: nothing reaches a terminal, a spreadsheet or a
// page that could act on it, and JSON keeps the exact text.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <tuple>

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

namespace {

/// A good wall beside the hostile file of each row, for the commands that need one.
const char* const kPlainWall = "[[layers]]\nmaterial = \"concrete-reinforced\"\nthickness = 0.2\n";

struct OversizedFile {
  const char* label;
  const char* file;
  std::size_t bytes;      ///< the file's size: one byte over its kind's limit
  const char* arguments;  ///< the command reading it
  const char* kind;       ///< what the message says such a file is, after the limit
};

void PrintTo(const OversizedFile& row, std::ostream* out) { *out << row.label; }

class OversizedFileTest : public BruskTest::ProgramFixture,
                          public testing::WithParamInterface<OversizedFile> {};

// A file too large is refused with its own kind's limit and size, never another kind's.
TEST_P(OversizedFileTest, NamesItsOwnKindAndLimit) {
  const OversizedFile& row = GetParam();
  write("wall.toml", kPlainWall);
  write(row.file, std::string(row.bytes, '#'));
  const ProgramRun result = run(row.arguments);
  EXPECT_EQ(2, result.status);
  EXPECT_EQ("", result.out);
  const std::string limit = row.bytes > (4u << 20) ? "4 MiB" : "1 MiB";
  EXPECT_EQ(
      std::string("brusk: ") + row.file + ": file larger than " + limit + "; " + row.kind + "\n",
      result.err);
}

constexpr std::size_t kOverFour = (4u << 20) + 1;
constexpr std::size_t kOverOne = (1u << 20) + 1;

INSTANTIATE_TEST_SUITE_P(
    Kinds, OversizedFileTest,
    testing::Values(
        OversizedFile{"Wall", "big.toml", kOverFour, "compute big.toml",
                      "a wall file is a few kilobytes"},
        OversizedFile{"Catalogue", "big.toml", kOverFour, "compute --materials big.toml wall.toml",
                      "a catalogue file is a few kilobytes of materials"},
        OversizedFile{"Zone", "big.toml", kOverFour, "zone big.toml",
                      "a zone file is a few kilobytes"},
        OversizedFile{"Profile", "big.csv", kOverFour, "response wall.toml --outdoor big.csv",
                      "a profile of an hourly leap year (8784 samples) is about 200 kB"},
        OversizedFile{"Climate", "big.csv", kOverOne, "moisture wall.toml --climate big.csv",
                      "a climate file of twelve monthly rows is a few hundred bytes"},
        OversizedFile{"Requirements", "big.toml", kOverOne,
                      "check wall.toml --requirements big.toml",
                      "a requirements file is a few kilobytes of rules"}),
    [](const testing::TestParamInfo<OversizedFile>& row) { return std::string(row.param.label); });

struct DeepFile {
  const char* label;
  const char* file;
  const char* arguments;
  const char* message;  ///< after "brusk: "
};

void PrintTo(const DeepFile& row, std::ostream* out) { *out << row.label; }

class DeepFileTest : public BruskTest::ProgramFixture,
                     public testing::WithParamInterface<DeepFile> {};

// Nesting beyond any file of Brusk's is refused with what the reader's own kind of file is.
TEST_P(DeepFileTest, NamesItsOwnKindsShape) {
  const DeepFile& row = GetParam();
  write("wall.toml", kPlainWall);
  const std::string json = std::string(row.file).find(".json") != std::string::npos
                               ? "{\"x\": " + std::string(40, '[') + std::string(40, ']') + "}"
                               : "x = " + std::string(40, '[') + std::string(40, ']') + "\n";
  write(row.file, json);
  const ProgramRun result = run(row.arguments);
  EXPECT_EQ(2, result.status);
  EXPECT_EQ("", result.out);
  EXPECT_EQ(std::string("brusk: ") + row.message + "\n", result.err);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DeepFileTest,
    testing::Values(
        DeepFile{"WallToml", "deep.toml", "compute deep.toml",
                 "deep.toml:1: TOML nested too deep (more than 32 levels); a wall file is a flat "
                 "table with a list of layers"},
        DeepFile{"WallJson", "deep.json", "compute deep.json",
                 "deep.json: JSON nested deeper than 32 levels; a wall file is a flat object with "
                 "a list of layers"},
        DeepFile{"Catalogue", "deep.toml", "compute --materials deep.toml wall.toml",
                 "deep.toml:1: TOML nested too deep (more than 32 levels); a catalogue file is a "
                 "table of materials"},
        DeepFile{"ZoneToml", "deep.toml", "zone deep.toml",
                 "deep.toml:1: TOML nested too deep (more than 32 levels); a zone file is a flat "
                 "table with a list of elements, each holding its wall"},
        DeepFile{"ZoneJson", "deep.json", "zone deep.json",
                 "deep.json: JSON nested deeper than 32 levels; a zone file is a flat table with "
                 "a list of elements, each holding its wall"},
        DeepFile{"Requirements", "deep.toml", "check wall.toml --requirements deep.toml",
                 "deep.toml:1: TOML nested too deep (more than 32 levels); a requirements file "
                 "is a list of rules holding tests, classes and conditions, a few levels deep"}),
    [](const testing::TestParamInfo<DeepFile>& row) { return std::string(row.param.label); });

}  // namespace
