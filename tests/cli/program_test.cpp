// Runs the real brusk program: exit status, standard output and standard error.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "program_fixture.h"
#include "test_walls.h"

namespace {

namespace fs = std::filesystem;

using BruskTest::ProgramRun;
using BruskTest::slurp;

class ProgramTest : public BruskTest::ProgramFixture {};

TEST_F(ProgramTest, ComputesTheReferenceWallsAsJson) {
  write("concrete.toml", BruskTest::kConcreteToml);
  write("insulated.toml", BruskTest::kInsulatedToml);
  const ProgramRun result = run("compute --format json concrete.toml insulated.toml");
  ASSERT_EQ(0, result.status) << result.err;
  EXPECT_EQ("", result.err);
  const nlohmann::json walls = nlohmann::json::parse(result.out);
  ASSERT_EQ(2u, walls.size());
  EXPECT_EQ("Concrete", walls[0]["name"]);
  EXPECT_NEAR(3.557312, walls[0]["u_value"].get<double>(), 5e-7);
  EXPECT_NEAR(0.513610, walls[0]["decrement_factor"].get<double>(), 5e-7);
  EXPECT_NEAR(0.358923, walls[1]["u_value"].get<double>(), 5e-7);
  EXPECT_NEAR(0.168721, walls[1]["decrement_factor"].get<double>(), 5e-7);
  EXPECT_NEAR(3.081, walls[0]["transfer_matrix"]["z11"][1].get<double>(), 1e-3);
  EXPECT_EQ(86400.0, walls[0]["period"].get<double>());
}

TEST_F(ProgramTest, PeriodTableAndCsv) {
  write("concrete.toml", BruskTest::kConcreteToml);
  const ProgramRun twelve = run("compute --format csv --period 12 concrete.toml");
  ASSERT_EQ(0, twelve.status) << twelve.err;
  EXPECT_NE(std::string::npos, twelve.out.find("\nConcrete,43200,")) << twelve.out;
  const ProgramRun table = run("compute concrete.toml");
  ASSERT_EQ(0, table.status) << table.err;
  EXPECT_NE(std::string::npos, table.out.find("Decrement factor f [-]")) << table.out;
}

TEST_F(ProgramTest, MaterialsOverrideFileFeedsCompute) {
  write("mine.toml", "[insulation-eps]\nconductivity = 0.031\n");
  write("wall.json", R"({"layers": [{"material": "insulation-eps", "thickness": 0.1}]})");
  const ProgramRun result = run("compute --format json --materials mine.toml wall.json");
  ASSERT_EQ(0, result.status) << result.err;
  EXPECT_DOUBLE_EQ(0.13 + 0.1 / 0.031 + 0.04,
                   nlohmann::json::parse(result.out)["thermal_resistance"].get<double>());
  const ProgramRun listed = run("materials --materials mine.toml eps");
  ASSERT_EQ(0, listed.status) << listed.err;
  EXPECT_NE(std::string::npos, listed.out.find("insulation-eps")) << listed.out;
  EXPECT_NE(std::string::npos, listed.out.find("mine.toml")) << listed.out;
}

TEST_F(ProgramTest, VersionAndHelp) {
  const ProgramRun version = run("--version");
  EXPECT_EQ(0, version.status);
  // The version's line, then the editions of the standards applied.
  EXPECT_EQ(0u, version.out.find("brusk 0.2.0\n  ISO 13786:2017: ")) << version.out;
  const ProgramRun help = run("compute --help");
  EXPECT_EQ(0, help.status);
  EXPECT_NE(std::string::npos, help.out.find("--period")) << help.out;
}

#ifdef BRUSK_TESTS_HAVE_REPORT
TEST_F(ProgramTest, ReportIsWrittenWholeOrNotAtAll) {
  write("concrete.toml", BruskTest::kConcreteToml);
  write("bad.toml", "[[layers]]\nthickness = -1\nmaterial = \"brick-solid\"\n");
  const ProgramRun good = run("report concrete.toml -o page.html --title Walls");
  ASSERT_EQ(0, good.status) << good.err;
  EXPECT_NE(std::string::npos, slurp(_folder / "page.html").find("</html>"));
  const ProgramRun bad = run("report concrete.toml bad.toml -o other.html");
  EXPECT_EQ(2, bad.status);
  EXPECT_EQ("", bad.out);
  EXPECT_FALSE(fs::exists(_folder / "other.html"));
  for (const auto& entry : fs::directory_iterator(_folder)) {
    EXPECT_EQ(std::string::npos, entry.path().filename().string().find(".tmp-"));
  }
}
#endif

struct BadCommandLine {
  const char* label;
  const char* arguments;
  const char* message;  ///< standard error without "brusk: " and the newline
};

class BadCommandLineTest : public ProgramTest,
                           public testing::WithParamInterface<BadCommandLine> {};

// A mistyped command line: exit status 2, nothing on standard output, what was not understood
// and the nearest thing that would have been.
TEST_P(BadCommandLineTest, SaysWhatIsWrongAndSuggests) {
  const BadCommandLine& line = GetParam();
  write("walls.jsonl", "");
  const ProgramRun result = run(line.arguments);
  EXPECT_EQ(2, result.status) << line.label;
  EXPECT_EQ("", result.out) << line.label;
  EXPECT_EQ(std::string("brusk: ") + line.message + "\n", result.err) << line.label;
}

INSTANTIATE_TEST_SUITE_P(
    Usage, BadCommandLineTest,
    testing::Values(
        BadCommandLine{"unknown command", "comput x.toml",
                       "unknown command \"comput\"; did you mean \"compute\"? (see brusk --help)"},
        BadCommandLine{"unknown command far from any", "frobnicate",
                       "unknown command \"frobnicate\" (see brusk --help)"},
        BadCommandLine{"unknown option", "compute --formt csv x.toml",
                       "unknown option \"--formt\" for brusk compute; did you mean \"--format\"? "
                       "(see brusk compute --help)"},
        BadCommandLine{"unknown batch option", "batch walls.jsonl --fail-fats",
                       "unknown option \"--fail-fats\" for brusk batch; did you mean "
                       "\"--fail-fast\"? (see brusk batch --help)"},
        BadCommandLine{"negative jobs", "batch walls.jsonl --jobs -1",
                       "--jobs must be a whole number of threads (0: one per core), got \"-1\""},
        BadCommandLine{"jobs not a number", "batch walls.jsonl --jobs many",
                       "--jobs must be a whole number of threads (0: one per core), got \"many\""},
        BadCommandLine{"fractional jobs", "batch walls.jsonl --jobs 1.5",
                       "--jobs must be a whole number of threads (0: one per core), got "
                       "\"1.5\""},
        BadCommandLine{"unknown kernel", "batch walls.jsonl --kernel simd",
                       "--kernel: simd not in {vector,scalar} (see brusk --help)"},
        BadCommandLine{
            "amplitude zero", "report walls.jsonl --amplitude 0 -o r.html",
            "--amplitude must be a number of kelvins more than 0 and at most 100, got 0"},
        BadCommandLine{"amplitude beyond any swing", "report walls.jsonl --amplitude 150 -o r.html",
                       "--amplitude must be a number of kelvins more than 0 and at most 100, got "
                       "150"}),
    [](const testing::TestParamInfo<BadCommandLine>& row) {
      std::string name = row.param.label;
      for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

TEST_F(ProgramTest, HelpCommandPrintsTheHelp) {
  const ProgramRun help = run("help");
  EXPECT_EQ(0, help.status) << help.err;
  EXPECT_NE(std::string::npos, help.out.find("compute")) << help.out;
  const ProgramRun topic = run("help batch");
  EXPECT_EQ(0, topic.status) << topic.err;
  EXPECT_NE(std::string::npos, topic.out.find("--jobs")) << topic.out;
}

struct BadInput {
  const char* label;
  const char* file;  ///< written to the test folder, then computed
  std::string content;
  const char* message;  ///< standard error without "brusk: " and the newline
  const char* arguments = "";
};

class BadInputTest : public ProgramTest, public testing::WithParamInterface<BadInput> {};

// Bad input: exit status 2, nothing on standard output, one message naming file, line, layer
// and reason on standard error.
TEST_P(BadInputTest, ExitsWithStatusTwoAndAMessage) {
  const BadInput& input = GetParam();
  write(input.file, input.content);
  if (std::string(input.file) == "loop.toml") {
    fs::remove(_folder / "loop.toml");
    fs::create_symlink("loop.toml", _folder / "loop.toml");
  }
  // A catalogue file as deep as a wall file can be.
  write("deep.toml", "a" + std::string(40000, '.') + " = 1\n");
  const ProgramRun result = run(std::string("compute ") + input.arguments + " " + input.file);
  EXPECT_EQ(2, result.status) << input.label;
  EXPECT_EQ("", result.out) << input.label;
  EXPECT_EQ(std::string("brusk: ") + input.message + "\n", result.err) << input.label;
}

const std::string kEpsLayer =
    "[[layers]]\nmaterial = \"concrete-reinforced\"\nthickness = 0.2\n\n[[layers]]\n"
    "name = \"EPS board\"\nthickness = 0.1\nconductivity = -0.035\ndensity = 20\n"
    "specific_heat = 1450\n";

std::string repeated(const std::string& text, int count) {
  std::string result;
  for (int i = 0; i < count; ++i) result += text;
  return result;
}

const char* const kTooDeep =
    "wall.toml:1: TOML nested too deep (more than 32 levels); a wall file is a flat table with a "
    "list of layers";
const char* const kTooDeepOnLine2 =
    "wall.toml:2: TOML nested too deep (more than 32 levels); a wall file is a flat table with a "
    "list of layers";

std::string manyLayers() {
  std::string text = R"({"layers": [)";
  for (int i = 0; i < 1001; ++i)
    text += i == 0 ? R"({"thermal_resistance": 0.1})" : R"(,{"thermal_resistance": 0.1})";
  return text + "]}";
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadInputTest,
    testing::Values(
        BadInput{"negative conductivity", "wall.toml", kEpsLayer,
                 "wall.toml:8: layer 2 (\"EPS board\"): conductivity must be a positive number of "
                 "W/(m.K), got -0.035"},
        BadInput{"nan thickness", "wall.toml",
                 "[[layers]]\nthickness = nan\nmaterial = \"brick-solid\"\n",
                 "wall.toml:2: layer 1 (\"Solid clay brick\"): thickness must be a positive "
                 "number of m, got nan"},
        BadInput{"infinite density", "wall.toml",
                 "[[layers]]\nmaterial = \"brick-solid\"\nthickness = 0.1\ndensity = inf\n",
                 "wall.toml:4: layer 1 (\"Solid clay brick\"): density must be a positive number "
                 "of kg/m3, got inf"},
        BadInput{
            "zero thickness", "wall.json",
            R"({"layers": [{"name": "Brick", "material": "brick-solid", "thickness": 0}]})",
            "wall.json:1: layer 1 (\"Brick\"): thickness must be a positive number of m, got 0"},
        BadInput{
            "negative specific heat", "wall.json",
            R"({"layers": [{"thickness": 0.1, "conductivity": 1, "density": 1, "specific_heat": -5.5}]})",
            "wall.json:1: layer 1: specific_heat must be a positive number of J/(kg.K), got -5.5"},
        BadInput{"missing thickness", "wall.toml", "[[layers]]\nmaterial = \"brick-solid\"\n",
                 "wall.toml:1: layer 1 (\"Solid clay brick\"): thickness is missing (in m)"},
        BadInput{"missing property", "wall.toml",
                 "[[layers]]\nthickness = 0.1\nconductivity = 1\ndensity = 2\n",
                 "wall.toml:1: layer 1: specific_heat is missing: give a catalogue material, or "
                 "conductivity, density and specific_heat, or a thermal_resistance alone"},
        BadInput{"empty layer list", "wall.toml", "name = \"Empty\"\nlayers = []\n",
                 "wall.toml:2: the wall has no layers; list them from the inner face (side 1) "
                 "outward as [[layers]] tables"},
        BadInput{"no layers", "wall.json", R"({"name": "Nothing"})",
                 "wall.json: the wall has no layers; list them from the inner face (side 1) "
                 "outward as [[layers]] tables"},
        BadInput{"unknown wall key", "wall.toml", "heat_flw = \"upward\"\n",
                 "wall.toml:1: unknown key \"heat_flw\" (did you mean \"heat_flow\"?); a wall "
                 "takes name, position, heat_flow, orientation, site_irradiance, rsi, rse, layers, "
                 "parts_aligned and corrections"},
        BadInput{"fractions of parts not summing to 1", "wall.toml",
                 "[[layers]]\nthickness = 0.14\n[[layers.parts]]\nmaterial = \"timber-softwood\"\n"
                 "fraction = 0.15\n[[layers.parts]]\nmaterial = \"insulation-mineral-wool\"\n"
                 "fraction = 0.8\n",
                 "wall.toml:3: layer 1: the fractions of the parts sum to 0.95, not 1: each "
                 "part's fraction is its share of the element's area, and together they cover "
                 "it (within 1e-9)"},
        BadInput{"misspelt ventilation", "wall.json",
                 R"({"layers": [{"air_gap": 0.05, "ventilation": "wel"}]})",
                 "wall.json:1: layer 1: ventilation must be \"unventilated\", \"slightly\" or "
                 "\"well\", got \"wel\"; did you mean \"well\"?"},
        BadInput{"unknown layer key", "wall.toml",
                 "[[layers]]\nname = \"Oak\"\nthickness = 0.1\nconductvity = 0.18\n",
                 "wall.toml:4: layer 1 (\"Oak\"): unknown key \"conductvity\" (did you mean "
                 "\"conductivity\"?); a layer takes name, material, thickness, conductivity, "
                 "density, specific_heat, family, thermal_resistance, parts, air_gap, ventilation, "
                 "openings, emissivities, vapour_resistance_factor, sd and condensation_limit"},
        BadInput{"unknown material", "wall.toml",
                 "[[layers]]\nmaterial = \"concrete-reinforsed\"\nthickness = 0.2\n",
                 "wall.toml:2: layer 1: unknown material \"concrete-reinforsed\"; did you mean "
                 "\"concrete-reinforced\" or \"concrete-reinforced-2pct\"? (`brusk materials` "
                 "lists the catalogue)"},
        BadInput{"bad family", "wall.toml",
                 "[[layers]]\nthermal_resistance = 0.2\nfamily = \"gas\"\n",
                 "wall.toml:3: layer 1: family must be \"concrete\", "
                 "\"masonry\", \"timber\", \"board\", \"plaster\", \"insulation\", \"metal\", "
                 "\"glass\", \"soil\", \"stone\", \"membrane\", \"air\" or \"other\", got \"gas\""},
        BadInput{"resistance with thickness", "wall.json",
                 R"({"layers": [{"thermal_resistance": 0.18, "thickness": 0.05}]})",
                 "wall.json:1: layer 1: a pure thermal resistance layer takes no thickness; give "
                 "either thermal_resistance alone or a material"},
        BadInput{"bad position", "wall.toml", "position = \"outside\"\n",
                 "wall.toml:1: position must be \"external\" or \"internal\", got \"outside\""},
        BadInput{"not UTF-8", "wall.toml", "name = \"Mur \xE9tranger\"\n",
                 "wall.toml:1: not valid UTF-8 text (byte 0xE9 at offset 12)"},
        BadInput{"binary", "wall.toml",
                 std::string("\x7f"
                             "ELF\x02\x01\x01\x00\x00",
                             9),
                 "wall.toml:1: not a text file (NUL byte at offset 7)"},
        BadInput{"TOML syntax", "wall.toml", "name = \"a\"\n[[layers]\n",
                 "wall.toml:2: TOML syntax error: Error while parsing table header: expected ']', "
                 "saw '\\n'"},
        BadInput{"JSON syntax", "wall.json", "{\"name\": \"a\",\n\"layers\": [}\n",
                 "wall.json:2: JSON syntax error at column 12: unexpected "
                 "'}'; expected '[', '{', or a literal"},
        BadInput{"JSON repeated key", "wall.json", R"({"layers": [], "layers": []})",
                 "wall.json: key \"layers\" appears twice in one object"},
        BadInput{"JSON number overflow", "wall.json", R"({"rsi": 1e999})",
                 "wall.json: JSON error: number overflow parsing '1e999'"},
        BadInput{"too many layers", "wall.json", manyLayers(),
                 "wall.json: more than 1000 layers, the most a wall may have"},
        BadInput{
            "overflowing thickness", "wall.toml",
            "name = \"Dam\"\n[[layers]]\nmaterial = \"concrete-reinforced\"\nthickness = 100\n",
            "wall.toml: wall \"Dam\": the heat transfer matrix overflows double precision at "
            "a 24 h period: the layers add up to 603 periodic penetration depths and about "
            "354 can be computed; layer 1 (\"Reinforced concrete (1 % steel)\") is 100 m "
            "thick, 603 depths: make it thinner or the period longer"},
        BadInput{"unknown extension", "wall.yaml", "name: x\n",
                 "wall.yaml: unknown wall file type \".yaml\"; name it .toml (for people) or "
                 ".json (for programs)"},
        BadInput{
            "negative period", "wall.toml", BruskTest::kConcreteToml,
            "--period must be a number of hours from 1/3600 (one second) to 8760 (one year), where "
            "double precision holds the results, got -3",
            "--period -3"},
        BadInput{"bad override file", "wall.toml", BruskTest::kConcreteToml,
                 "missing.toml: cannot open the file: No such file or directory",
                 "--materials missing.toml"},
        BadInput{"missing wall file", "wall.toml", BruskTest::kConcreteToml,
                 "absent.toml: cannot open the file: No such file or directory", "absent.toml"},
        BadInput{"wall file in a symbolic link loop", "loop.toml", "",
                 "loop.toml: cannot open the file: Too many levels of symbolic links"},
        BadInput{"deep dotted key", "wall.toml", "a" + repeated(".a", 20000) + " = 1\n", kTooDeep},
        BadInput{"deep table header", "wall.toml",
                 "name = \"x\"\n[" + repeated("a.", 5000) + "a]\n", kTooDeepOnLine2},
        BadInput{"deep arrays", "wall.toml",
                 "a = " + repeated("[", 20000) + repeated("]", 20000) + "\n", kTooDeep},
        BadInput{"deep inline tables", "wall.toml",
                 "a = " + repeated("{b=", 20000) + "1" + repeated("}", 20000) + "\n", kTooDeep},
        BadInput{"deep catalogue file", "wall.toml", BruskTest::kConcreteToml,
                 "deep.toml:1: TOML nested too deep (more than 32 levels); a catalogue file is a "
                 "table of materials",
                 "--materials deep.toml"}),
    [](const testing::TestParamInfo<BadInput>& row) {
      std::string name = row.param.label;
      for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

}  // namespace
