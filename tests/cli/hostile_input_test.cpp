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

// A warning quotes the layer's name as every message does: inertly.
TEST_F(HostileInputTest, WarningsShowControlCharactersAsEscapes) {
  write("slip.json", R"({"name": "x", "layers": [{"name": ")" + kHostileJson +
                         R"(", "thickness": 12.5, "conductivity": 1, "density": 1000,)"
                         R"( "specific_heat": 1000}]})");
  const ProgramRun result = run("compute slip.json");
  EXPECT_EQ(0, result.status) << result.err;
  EXPECT_FALSE(hasRawEscape(result.err)) << result.err;
  EXPECT_NE(std::string::npos,
            result.err.find("brusk: warning: slip.json: layer 1 (\"=\\x1b]0;pwned"))
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

namespace {

const std::string kExamples = BRUSK_SOURCE_DIR "/examples/";
const std::string kBrickWall = "[[layers]]\nmaterial = \"brick-solid\"\nthickness = 0.24\n";

/// Twelve months, the indoor cells as `indoor` gives them ("20,50", " , n/a").
std::string climateWith(const std::string& indoor) {
  std::string text =
      "month,outdoor_temperature,outdoor_relative_humidity,indoor_temperature,"
      "indoor_relative_humidity\n";
  for (int m = 1; m <= 12; ++m) text += std::to_string(m) + ",2,85," + indoor + "\n";
  return text;
}

struct ClassValue {
  const char* label;
  const char* value;
  const char* shown;  ///< the value as the refusal gives it
};

void PrintTo(const ClassValue& row, std::ostream* out) { *out << row.label; }

struct ClassDoor {
  const char* label;
  const char* arguments;  ///< before --humidity-class
};

class HumidityClassTest : public BruskTest::ProgramFixture,
                          public testing::WithParamInterface<std::tuple<ClassValue, ClassDoor>> {};

// A class is 1 to 5, whole: any other number is refused as given, by every command, never
// rounded or wrapped and never read as "no class".
TEST_P(HumidityClassTest, OutsideOneToFiveIsRefusedAsGiven) {
  const auto& [value, door] = GetParam();
  write("wall.toml", kBrickWall);
  write("walls.jsonl", "{\"layers\": [{\"material\": \"brick-solid\", \"thickness\": 0.24}]}\n");
  write("climate.csv", climateWith("20,50"));
  const ProgramRun result = run(std::string(door.arguments) + " --humidity-class " + value.value);
  EXPECT_EQ(2, result.status);
  EXPECT_EQ("", result.out);
  EXPECT_EQ(std::string("brusk: --humidity-class must be 1 to 5 (a whole number: ISO 13788 Annex "
                        "A's humidity classes), got ") +
                value.shown + " (see brusk --help)\n",
            result.err);
  EXPECT_FALSE(std::filesystem::exists(_folder / "page.html"));
}

INSTANTIATE_TEST_SUITE_P(
    Values, HumidityClassTest,
    testing::Combine(
        testing::Values(ClassValue{"Zero", "0", "0"}, ClassValue{"Six", "6", "6"},
                        ClassValue{"Fraction", "2.9", "2.9"}, ClassValue{"Negative", "-3", "-3"},
                        ClassValue{"WrapsToThree", "4294967299", "4294967299"},
                        ClassValue{"Huge", "1e300", "1e+300"},
                        ClassValue{"NotANumber", "nan", "nan"}),
        testing::Values(ClassDoor{"Moisture", "moisture wall.toml --climate climate.csv"},
                        ClassDoor{"Report", "report wall.toml -o page.html --climate climate.csv"},
                        ClassDoor{"Batch", "batch walls.jsonl --climate climate.csv"})),
    [](const auto& row) {
      return std::string(std::get<0>(row.param).label) + std::get<1>(row.param).label;
    });

struct IndoorCells {
  const char* label;
  const char* cells;    ///< the indoor temperature and humidity cells of every month
  const char* refusal;  ///< without a class, after "brusk: climate.csv:2: month 1: "
};

void PrintTo(const IndoorCells& row, std::ostream* out) { *out << row.label; }

class IndoorCellsTest : public BruskTest::ProgramFixture,
                        public testing::WithParamInterface<IndoorCells> {};

// With a humidity class the indoor columns are not read, whatever they hold; without one they
// are the indoor side and must be numbers.
TEST_P(IndoorCellsTest, AreNotReadWithAClass) {
  write("wall.toml", kBrickWall);
  write("walls.jsonl", "{\"layers\": [{\"material\": \"brick-solid\", \"thickness\": 0.24}]}\n");
  write("climate.csv", climateWith(GetParam().cells));
  write("outdoor.csv", climateWith("20,50"));
  const ProgramRun classed =
      run("moisture wall.toml --climate climate.csv --humidity-class 2 "
          "--format json");
  ASSERT_EQ(0, classed.status) << classed.err;
  // The same as a climate whose indoor cells are numbers: they were never read.
  EXPECT_EQ(run("moisture wall.toml --climate outdoor.csv --humidity-class 2 --format json").out,
            classed.out);
  EXPECT_EQ(0, run("batch walls.jsonl --climate climate.csv --humidity-class 2").status);
  EXPECT_EQ(0,
            run("report wall.toml -o page.html --climate climate.csv --humidity-class 2").status);
  const ProgramRun unclassed = run("moisture wall.toml --climate climate.csv");
  EXPECT_EQ(2, unclassed.status);
  EXPECT_EQ("", unclassed.out);
  EXPECT_EQ(std::string("brusk: climate.csv:2: month 1: ") + GetParam().refusal + "\n",
            unclassed.err);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, IndoorCellsTest,
    testing::Values(IndoorCells{"Blank", ",",
                                "indoor_temperature: a temperature in degC must be a finite "
                                "number, got \"\""},
                    IndoorCells{"NotAvailable", "n/a,n/a",
                                "indoor_temperature: a temperature in degC must be a finite "
                                "number, got \"n/a\""},
                    IndoorCells{"OutOfRange", "20,150",
                                "indoor_relative_humidity: relative humidity must be above 0 and "
                                "at most 100 %, got 150"}),
    [](const auto& row) { return std::string(row.param.label); });

struct IdleOption {
  const char* label;
  const char* arguments;
  const char* message;  ///< after "brusk: "
};

void PrintTo(const IdleOption& row, std::ostream* out) { *out << row.label; }

class IdleOptionTest : public BruskTest::ProgramFixture,
                       public testing::WithParamInterface<IdleOption> {};

// An option the mode chosen does not read is refused, not silently dropped: the run it would
// seem to change is not made.
TEST_P(IdleOptionTest, IsRefusedNotIgnored) {
  write("wall.toml", kBrickWall);
  write("walls.jsonl", "{\"layers\": [{\"material\": \"brick-solid\", \"thickness\": 0.24}]}\n");
  write("in.csv", "20\n21\n");
  write("mine.toml",
        "mine = {name = \"M\", conductivity = 1, density = 1000, specific_heat = "
        "1000}\n");
  const ProgramRun result = run(GetParam().arguments);
  EXPECT_EQ(2, result.status);
  EXPECT_EQ("", result.out);
  EXPECT_EQ(std::string("brusk: ") + GetParam().message + "\n", result.err);
  EXPECT_FALSE(std::filesystem::exists(_folder / "out.html"));
}

const char* const kClassIdle =
    "--humidity-class has no effect without --climate: it sets the indoor side of the moisture "
    "assessment (ISO 13788 Annex A); leave it out";
const char* const kTemperatureIdle =
    "--indoor-temperature has no effect without --climate: it is the indoor temperature of the "
    "moisture assessment with --humidity-class; leave it out";

INSTANTIATE_TEST_SUITE_P(
    Commands, IdleOptionTest,
    testing::Values(
        IdleOption{"BatchClassAndTemperature",
                   "batch walls.jsonl --humidity-class 4 --indoor-temperature 15", kClassIdle},
        IdleOption{"BatchTemperature", "batch walls.jsonl --indoor-temperature 15",
                   kTemperatureIdle},
        IdleOption{"BatchClassWithResponse",
                   "batch walls.jsonl --outdoor in.csv --humidity-class 4", kClassIdle},
        IdleOption{"ReportIndoorConstant", "report wall.toml -o out.html --indoor-constant 20",
                   "--indoor-constant has no effect without --outdoor: it is the indoor side of "
                   "the plotted response to the --outdoor profile; leave it out"},
        IdleOption{"ReportIndoorFile", "report wall.toml -o out.html --indoor in.csv",
                   "--indoor has no effect without --outdoor: it is the indoor side of the "
                   "plotted response to the --outdoor profile; leave it out"},
        IdleOption{"CheckListPeriod", "check --list --period 48",
                   "--period has no effect with --list: it sets the cycle of the quantities the "
                   "walls are checked on; leave it out"},
        IdleOption{"CheckListMaterials", "check --list --materials mine.toml",
                   "--materials has no effect with --list: it adds materials to the catalogue of "
                   "the walls checked; leave it out"}),
    [](const auto& row) { return std::string(row.param.label); });

struct MarkedFile {
  const char* label;
  const char* file;     ///< written with a UTF-8 byte order mark before the text of `source`
  const char* source;   ///< a file of examples/, or text after "text:"
  const char* command;  ///< run on the marked file and on the same file without the mark
};

void PrintTo(const MarkedFile& row, std::ostream* out) { *out << row.label; }

class ByteOrderMarkTest : public BruskTest::ProgramFixture,
                          public testing::WithParamInterface<MarkedFile> {};

// A UTF-8 byte order mark, as spreadsheets and some editors save text, belongs to no cell or
// key: every reader takes the file as it takes it without the mark.
TEST_P(ByteOrderMarkTest, IsReadAsTheSameFile) {
  const MarkedFile& row = GetParam();
  const std::string source = row.source;
  const std::string text =
      source.rfind("text:", 0) == 0 ? source.substr(5) : BruskTest::slurp(kExamples + source);
  write("wall.toml", kBrickWall);
  write(std::string("plain-") + row.file, text);
  write(row.file, "\xEF\xBB\xBF" + text);
  std::string command = row.command;
  const ProgramRun marked = run(command);
  command.replace(command.find(row.file), std::string(row.file).size(),
                  std::string("plain-") + row.file);
  const ProgramRun plain = run(command);
  EXPECT_EQ(plain.status, marked.status) << marked.err;
  EXPECT_LE(marked.status, 1) << marked.err;  // check exits 1 on a failed rule
  EXPECT_EQ(plain.out, marked.out);
}

INSTANTIATE_TEST_SUITE_P(
    Readers, ByteOrderMarkTest,
    testing::Values(
        MarkedFile{"Climate", "climate.csv", "climates/temperate.csv",
                   "moisture wall.toml --climate climate.csv --format json"},
        MarkedFile{"Profile", "day.csv", "profiles/hot-summer-day.csv",
                   "response wall.toml --outdoor day.csv --format csv"},
        MarkedFile{"WallToml", "w.toml", "2-concrete-insulated.toml",
                   "compute w.toml --format json"},
        MarkedFile{"WallJson", "w.json", "partition.json", "compute w.json --format json"},
        MarkedFile{"Catalogue", "m.toml", "materials/project.toml",
                   "materials --materials m.toml --format json"},
        MarkedFile{"Requirements", "r.toml",
                   "text:name = \"R\"\n[[rules]]\nid = \"u\"\nquantity = \"u_value\"\nat_most = "
                   "0.3\n",
                   "check wall.toml --requirements r.toml --format json"},
        MarkedFile{"Zone", "z.toml",
                   "text:name = \"Z\"\nfloor_area = 10\n[[elements]]\narea = 10\nwall = "
                   "\"wall.toml\"\n",
                   "zone z.toml --format json"},
        MarkedFile{"BatchLines", "w.jsonl",
                   "text:{\"layers\": [{\"material\": \"brick-solid\", \"thickness\": 0.24}]}\n",
                   "batch w.jsonl"}),
    [](const auto& row) { return std::string(row.param.label); });

}  // namespace

namespace {

struct UnitSlip {
  const char* label;
  const char* layer;    ///< the TOML of a layer after [[layers]], beside a brick layer
  const char* warning;  ///< after "brusk: warning: wall.toml: "
};

void PrintTo(const UnitSlip& row, std::ostream* out) { *out << row.label; }

class UnitSlipTest : public BruskTest::ProgramFixture,
                     public testing::WithParamInterface<UnitSlip> {};

// A value no building material has is computed as given, with a warning naming the layer, the
// value and the likely slip, on standard error only, from every command that reads the wall.
TEST_P(UnitSlipTest, IsWarnedOfAndComputed) {
  write("wall.toml", kBrickWall + "[[layers]]\n" + GetParam().layer);
  write("climate.csv", climateWith("20,50"));
  write("day.csv", "20\n25\n30\n25\n");
  const std::string warning =
      std::string("brusk: warning: wall.toml: ") + GetParam().warning + "\n";
  for (const char* command :
       {"compute wall.toml", "compute --format json wall.toml",
        "response wall.toml --outdoor day.csv", "moisture wall.toml --climate climate.csv",
        "report wall.toml -o page.html", "check wall.toml --requirements uk-adl-2021-dwellings",
        "convert wall.toml --to json"}) {
    const ProgramRun result = run(command);
    EXPECT_LE(result.status, 1) << command << ": " << result.err;  // check: 1 on a failed rule
    EXPECT_EQ(warning, result.err) << command;
    EXPECT_FALSE(result.out.empty() && std::string(command).rfind("report", 0) != 0) << command;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Slips, UnitSlipTest,
    testing::Values(
        UnitSlip{"MillimetresAsMetres",
                 "name = \"Board\"\nthickness = 12.5\nconductivity = 0.25\ndensity = 900\n"
                 "specific_heat = 1000\nsd = 0.1\n",
                 "layer 2 (\"Board\"): thickness 12.5 m is more than any building layer (at most "
                 "2 m); was it given in cm (0.125 m) or mm (0.0125 m)?"},
        UnitSlip{"MilliwattsAsWatts",
                 "name = \"EPS\"\nthickness = 0.1\nconductivity = 35\ndensity = 20\n"
                 "specific_heat = 1450\nsd = 6\n",
                 "layer 2 (\"EPS\"): conductivity 35 W/(m.K) is a metal's, but the density 20 "
                 "kg/m3 is far below any metal's; was it given in mW/(m.K) (0.035 W/(m.K))?"},
        UnitSlip{"ConductivityBeyondCopper",
                 "thickness = 0.1\nconductivity = 2300\ndensity = 2300\nspecific_heat = 1000\n"
                 "sd = 8\n",
                 "layer 2: conductivity 2300 W/(m.K) is more than any building material's "
                 "(copper: about 380); was it given in mW/(m.K) (2.3 W/(m.K))?"},
        UnitSlip{"TonnesPerCubicMetre",
                 "thickness = 0.1\nconductivity = 2.3\ndensity = 2.4\nspecific_heat = 1000\n"
                 "sd = 8\n",
                 "layer 2: density 2.4 kg/m3 is less than any building material's (the lightest "
                 "insulation: about 10); was it given in t/m3 or g/cm3 (2400 kg/m3)?"},
        UnitSlip{"KilojoulesAsJoules",
                 "thickness = 0.1\nconductivity = 2.3\ndensity = 2300\nspecific_heat = 1\n"
                 "sd = 8\n",
                 "layer 2: specific_heat 1 J/(kg.K) is less than any building material's (lead: "
                 "about 130); was it given in kJ/(kg.K) (1000 J/(kg.K))?"}),
    [](const auto& row) { return std::string(row.param.label); });

class PlausibleWallTest : public BruskTest::ProgramFixture {};

// The example walls are of building materials: not one warning, in any command.
TEST_F(PlausibleWallTest, ExamplesAreWarnedOfNothing) {
  const std::string walls = "'" + kExamples + "'*.toml '" + kExamples + "partition.json' '" +
                            kExamples + "bridged/'*.toml '" + kExamples + "moisture/'*.toml";
  const ProgramRun computed = run("compute " + walls);
  EXPECT_EQ(0, computed.status);
  EXPECT_EQ("", computed.err);
  const ProgramRun assessed =
      run("moisture '" + kExamples + "moisture/internal-insulation.toml' --climate '" + kExamples +
          "climates/cold.csv'");
  EXPECT_EQ(0, assessed.status);
  EXPECT_EQ("", assessed.err);
}

// A refused run gives its one message: the warnings of the walls read before are not printed.
TEST_F(PlausibleWallTest, ARefusedRunGivesOnlyItsRefusal) {
  write("slip.toml", kBrickWall +
                         "[[layers]]\nthickness = 12.5\nconductivity = 0.25\n"
                         "density = 900\nspecific_heat = 1000\n");
  write("bad.toml",
        "[[layers]]\nthickness = -1\nconductivity = 1\ndensity = 1\n"
        "specific_heat = 1\n");
  const ProgramRun result = run("compute slip.toml bad.toml");
  EXPECT_EQ(2, result.status);
  EXPECT_EQ("", result.out);
  EXPECT_EQ("brusk: bad.toml:2: layer 1: thickness must be a positive number of m, got -1\n",
            result.err);
}

}  // namespace

namespace {

struct FailedRowMode {
  const char* label;
  const char* options;   ///< the mode of brusk batch
  std::size_t nameCell;  ///< the CSV cell that holds the name
};

void PrintTo(const FailedRowMode& row, std::ostream* out) { *out << row.label; }

class FailedRowNameTest : public BruskTest::ProgramFixture,
                          public testing::WithParamInterface<FailedRowMode> {};

/// The cell `index` of a CSV row without quotes or commas in its first cells.
std::string cellOf(const std::string& row, std::size_t index) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < index; ++i) start = row.find(',', start) + 1;
  return row.substr(start, row.find(',', start) - start);
}

// A refused line's row is found by its wall's name in every mode and format: the name it gives,
// or the default name of its line when it gives none or is no JSON object.
TEST_P(FailedRowNameTest, CarriesTheWallsName) {
  write("walls.jsonl",
        "{\"name\": \"Foam\", \"layers\": [{\"thickness\": 0.1, \"conductivity\": 0.04, "
        "\"density\": 30, \"specific_heat\": 1400, \"thermal_resistance\": 2}]}\n"
        "{\"layers\": [{\"thickness\": -1, \"conductivity\": 1, \"density\": 1, "
        "\"specific_heat\": 1}]}\n"
        "{\"name\": \"Cut\", \"layers\": [\n"
        // Read, then refused: too thick for the transfer matrix, and without mu for moisture.
        "{\"name\": \"Dam\", \"layers\": [{\"thickness\": 200, \"conductivity\": 1.8, "
        "\"density\": 2400, \"specific_heat\": 1000}]}\n");
  write("climate.csv", climateWith("20,50"));
  write("day.csv", "20\n25\n30\n25\n");
  const std::vector<std::string> names = {"Foam", "line 2", "line 3", "Dam"};
  const ProgramRun csv = run(std::string("batch walls.jsonl ") + GetParam().options);
  EXPECT_EQ(1, csv.status) << csv.err;
  std::istringstream rows(csv.out);
  std::string row;
  std::getline(rows, row);  // header
  for (const std::string& name : names) {
    ASSERT_TRUE(std::getline(rows, row)) << csv.out;
    EXPECT_EQ(name, cellOf(row, GetParam().nameCell)) << row;
  }
  const ProgramRun jsonl =
      run(std::string("batch walls.jsonl --format jsonl ") + GetParam().options);
  std::istringstream lines(jsonl.out);
  for (std::size_t i = 0; i < names.size(); ++i) {
    ASSERT_TRUE(std::getline(lines, row)) << jsonl.out;
    const nlohmann::json line = nlohmann::json::parse(row);
    EXPECT_EQ(names[i], line["name"].get<std::string>()) << row;
    EXPECT_EQ(i + 1, line["line"].get<std::size_t>()) << row;
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, FailedRowNameTest,
                         testing::Values(FailedRowMode{"Characteristics", "", 0},
                                         FailedRowMode{"Moisture", "--climate climate.csv", 0},
                                         FailedRowMode{"Response", "--outdoor day.csv", 1},
                                         FailedRowMode{"ResponseSeries",
                                                       "--outdoor day.csv --series", 1}),
                         [](const auto& row) { return std::string(row.param.label); });

}  // namespace
