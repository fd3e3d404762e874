// Zone files: bad ones refused with the zone file, line, element and reason; the example
// zones' thermal mass parameter against a hand calculation; the JSON keys programs read.
#include "brusk/frontend/zone.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "brusk/frontend/error.h"
#include "brusk/frontend/zone_output.h"

namespace {

using namespace Brusk::Frontend;

const Catalogue& catalogue() {
  static const Catalogue builtIn = Catalogue::builtIn();
  return builtIn;
}

/// A folder of this test process, removed when it ends: CTest runs the cases as processes side
/// by side, and one rewriting a shared folder's files while another reads them fails both.
struct ProcessFolder {
  std::filesystem::path path = std::filesystem::temp_directory_path() /
                               ("brusk-zone-parser-test-" + std::to_string(::getpid()));
  ~ProcessFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

/// A folder holding a good wall file, a bad one and a folder posing as a wall file.
std::string wallFolder() {
  static const ProcessFolder process;
  static const std::string folder = [] {
    const std::filesystem::path& path = process.path;
    std::filesystem::create_directories(path / "walls" / "folder.toml");
    std::ofstream(path / "walls" / "good.toml")
        << "[[layers]]\nmaterial = \"concrete-reinforced\"\nthickness = 0.2\n";
    std::ofstream thick(path / "walls" / "thick.toml");
    for (int i = 0; i < 1000; ++i) {
      thick << "[[layers]]\nmaterial = \"concrete-reinforced\"\nthickness = 0.001\n";
    }
    std::ofstream(path / "walls" / "bad.toml")
        << "name = \"Bad\"\n[[layers]]\nname = \"Slab\"\nthickness = 0.2\nconductivity = -1\n"
           "density = 2300\nspecific_heat = 1000\n";
    return path.string();
  }();
  return folder;
}

Zone parse(const std::string& text) {
  return parseZoneText(text, false, catalogue(), "room.toml", wallFolder());
}

std::string errorOf(const std::string& text) {
  try {
    (void)computeZone(parse(text));
  } catch (const Error& error) {
    return error.what();
  }
  return "(accepted)";
}

const std::string kHead = "floor_area = 20\n";
const std::string kInlineLayers =
    "[[elements.layers]]\nmaterial = \"brick-solid\"\nthickness = 0.1\n";

/// A zone of `count` elements, each naming the 1000-layer wall file.
std::string thickElements(int count) {
  std::string text = kHead;
  for (int i = 0; i < count; ++i) text += "[[elements]]\narea = 1\nwall = \"walls/thick.toml\"\n";
  return text;
}

struct BadZoneCase {
  std::string name;
  std::string text;
  std::string message;  // the whole message, location and element included
};

std::ostream& operator<<(std::ostream& out, const BadZoneCase& c) { return out << c.name; }

class BadZoneTest : public ::testing::TestWithParam<BadZoneCase> {};

TEST_P(BadZoneTest, NamesTheFileTheElementAndTheReason) {
  EXPECT_EQ(errorOf(GetParam().text), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadZoneTest,
    ::testing::Values(
        BadZoneCase{"missing_area",
                    kHead + "[[elements]]\nname = \"North\"\nwall = \"walls/good.toml\"\n",
                    "room.toml:2: element 1 (\"North\"): area is missing (the element's area "
                    "facing the zone, in m2)"},
        BadZoneCase{
            "zero_area",
            kHead + "[[elements]]\nname = \"North\"\narea = 0\nwall = \"walls/good.toml\"\n",
            "room.toml:4: element 1 (\"North\"): area must be a positive number of m2, "
            "got 0"},
        BadZoneCase{"negative_area",
                    kHead + "[[elements]]\narea = -2.5\nwall = \"walls/good.toml\"\n",
                    "room.toml:3: element 1: area must be a positive number of m2, got -2.5"},
        BadZoneCase{"text_area",
                    kHead + "[[elements]]\narea = \"ten\"\nwall = \"walls/good.toml\"\n",
                    "room.toml:3: element 1: area must be a positive number of m2, got \"ten\""},
        BadZoneCase{"missing_wall_file",
                    kHead + "[[elements]]\narea = 5\nwall = \"walls/none.toml\"\n",
                    "room.toml:4: element 1: wall file: " + wallFolder() +
                        "/walls/none.toml: cannot open the file: No such file or directory"},
        BadZoneCase{"unreadable_wall_file",
                    kHead + "[[elements]]\narea = 5\nwall = \"walls/folder.toml\"\n",
                    "room.toml:4: element 1: wall file: " + wallFolder() +
                        "/walls/folder.toml: is a directory, not a file"},
        BadZoneCase{"bad_wall_file", kHead + "[[elements]]\narea = 5\nwall = \"walls/bad.toml\"\n",
                    "room.toml:4: element 1: wall file: " + wallFolder() +
                        "/walls/bad.toml:5: layer 1 (\"Slab\"): conductivity must be a positive "
                        "number of W/(m.K), got -1"},
        BadZoneCase{"bad_inline_wall",
                    kHead +
                        "[[elements]]\nname = \"Floor\"\narea = 5\n[[elements.layers]]\n"
                        "thickness = 0.1\nconductivity = 1\ndensity = 0\nspecific_heat = 1000\n",
                    "room.toml:8: element 1 (\"Floor\"): layer 1: density must be a positive "
                    "number of kg/m3, got 0"},
        BadZoneCase{"unknown_inline_material",
                    kHead +
                        "[[elements]]\narea = 5\n[[elements.layers]]\nmaterial = \"unobtainium\"\n"
                        "thickness = 0.1\n",
                    "room.toml:5: element 1: layer 1: unknown material \"unobtainium\" "
                    "(`brusk materials` lists the catalogue)"},
        BadZoneCase{"wall_file_and_layers",
                    kHead + "[[elements]]\narea = 5\nwall = \"walls/good.toml\"\n" + kInlineLayers,
                    "room.toml:5: element 1: an element takes its wall either from a file "
                    "(wall = \"walls/good.toml\") or inline, not both; layers belongs in the wall "
                    "file"},
        BadZoneCase{"no_wall", kHead + "[[elements]]\narea = 5\n",
                    "room.toml:2: element 1: the wall is missing: give wall = \"file.toml\" "
                    "(relative to the zone file) or the wall's layers inline as "
                    "[[elements.layers]] tables"},
        BadZoneCase{"bad_faces",
                    kHead + "[[elements]]\narea = 5\nfaces = \"outer\"\n" + kInlineLayers,
                    "room.toml:4: element 1: faces must be \"inner\" or \"both\", got \"outer\""},
        BadZoneCase{"unknown_element_key",
                    kHead + "[[elements]]\narea = 5\nfcaes = \"both\"\n" + kInlineLayers,
                    "room.toml:4: element 1: unknown key \"fcaes\" (did you mean \"faces\"?); an "
                    "element takes name, area, faces, wall, position, heat_flow, orientation, "
                    "site_irradiance, rsi, rse, "
                    "layers, parts_aligned and corrections"},
        BadZoneCase{"missing_floor_area", "[[elements]]\narea = 5\n" + kInlineLayers,
                    "room.toml: floor_area is missing (the zone's floor area, in m2)"},
        BadZoneCase{"zero_floor_area", "floor_area = 0.0\n[[elements]]\narea = 5\n" + kInlineLayers,
                    "room.toml:1: floor_area must be a positive number of m2, got 0"},
        BadZoneCase{"infinite_floor_area",
                    "floor_area = inf\n[[elements]]\narea = 5\n" + kInlineLayers,
                    "room.toml:1: floor_area must be a positive number of m2, got inf"},
        BadZoneCase{
            "negative_h",
            kHead + "heat_transfer_coefficient = -3\n[[elements]]\narea = 5\n" + kInlineLayers,
            "room.toml:2: heat_transfer_coefficient must be a positive number of W/K, "
            "got -3"},
        BadZoneCase{"bad_capacity",
                    kHead + "capacity = \"sap\"\n[[elements]]\narea = 5\n" + kInlineLayers,
                    "room.toml:2: capacity must be \"detailed\" or \"simplified\", got \"sap\""},
        BadZoneCase{"no_elements", kHead,
                    "room.toml: the zone has no elements; list the walls, floors and ceilings "
                    "facing it as [[elements]] tables with an area and a wall"},
        // A NUL ends a file name for the system: the name written is not the file read.
        BadZoneCase{"nul_in_wall_path",
                    kHead + "[[elements]]\narea = 5\nwall = \"walls/good.toml\\u0000b.toml\"\n",
                    "room.toml:4: element 1: wall \"walls/good.toml\\x00b.toml\" holds a NUL "
                    "character, which no file name can hold"},
        BadZoneCase{"nul_after_missing_prefix",
                    kHead + "[[elements]]\narea = 5\nwall = \"none\\u0000.toml\"\n",
                    "room.toml:4: element 1: wall \"none\\x00.toml\" holds a NUL character, "
                    "which no file name can hold"},
        // A wall file counts once per element naming it.
        BadZoneCase{"too_many_layers_in_all", thickElements(101),
                    "room.toml:302: element 101: the zone's elements have more than 100000 "
                    "layers in all (a wall file counts once per element naming it)"},
        // H is positive and finite, the time constant Cm / H is not: H is to blame.
        BadZoneCase{
            "subnormal_h",
            kHead + "heat_transfer_coefficient = 1e-310\n[[elements]]\narea = 5\n" + kInlineLayers,
            "room.toml: heat_transfer_coefficient 1e-310 W/K is too small for the "
            "zone's heat capacity: the time constant Cm / H exceeds double precision"},
        // Each area is finite; the zone's sums are not.
        BadZoneCase{"totals_overflow",
                    kHead + "[[elements]]\narea = 1e305\n" + kInlineLayers +
                        "[[elements]]\narea = 1e305\n" + kInlineLayers,
                    "room.toml: the zone's totals exceed double precision (got inf): the areas "
                    "or heat capacities are beyond any building"}));

// A zone built by a program (Python, the page) and not read from a file is checked by the
// engine alone: its words are the reader's, the same figures refused for the same reason.
TEST(ZoneParser, TheEngineAndTheReaderRefuseAFigureInTheSameWords) {
  const std::string good = kHead + "heat_transfer_coefficient = 50\n[[elements]]\narea = 10\n" +
                           "wall = \"walls/good.toml\"\n";
  const struct {
    const char* label;
    std::string text;
    void (*spoil)(Brusk::Engine::ZoneRequest&);
    const char* reason;
  } rows[] = {
      {"floor area", "floor_area = -2\n[[elements]]\narea = 10\nwall = \"walls/good.toml\"\n",
       [](Brusk::Engine::ZoneRequest& r) { r.floorArea = -2; },
       "floor_area must be a positive number of m2, got -2"},
      {"H",
       kHead + "heat_transfer_coefficient = 0\n[[elements]]\narea = 10\n" +
           "wall = \"walls/good.toml\"\n",
       [](Brusk::Engine::ZoneRequest& r) { r.heatTransferCoefficient = 0.0; },
       "heat_transfer_coefficient must be a positive number of W/K, got 0"},
      {"element area", kHead + "[[elements]]\narea = -1\nwall = \"walls/good.toml\"\n",
       [](Brusk::Engine::ZoneRequest& r) { r.elements[0].area = -1; },
       "area must be a positive number of m2, got -1"},
      {"no elements", kHead, [](Brusk::Engine::ZoneRequest& r) { r.elements.clear(); },
       "the zone has no elements; list the walls"},
  };
  for (const auto& row : rows) {
    EXPECT_NE(errorOf(row.text).find(row.reason), std::string::npos) << row.label;
    Zone zone = parse(good);
    row.spoil(zone.request);
    std::string built;
    try {
      (void)computeZone(zone);
    } catch (const Error& error) {
      built = error.what();
    }
    EXPECT_NE(built.find(row.reason), std::string::npos) << row.label << ": " << built;
  }
}

TEST(ZoneParser, ElementNamesFollowTheWallAndFilesAreFoundBesideTheZone) {
  const Zone zone = parse(kHead +
                          "[[elements]]\narea = 5\nwall = \"walls/good.toml\"\n"
                          "[[elements]]\nname = \"Floor\"\narea = 4\nfaces = \"both\"\n" +
                          kInlineLayers);
  ASSERT_EQ(zone.labels.size(), 2u);
  EXPECT_EQ(zone.labels[0].name, "good");  // the wall file's stem, as `brusk compute` names it
  EXPECT_EQ(zone.labels[0].wallFile, "walls/good.toml");
  EXPECT_EQ(zone.labels[1].name, "Floor");
  EXPECT_EQ(zone.labels[1].wallName, "Floor");
  EXPECT_EQ(zone.request.elements[1].faces, Brusk::Engine::ZoneFaces::Both);
  EXPECT_EQ(zone.name, "room");
}

TEST(ZoneParser, EachWallFileIsReadOnceAndListedAsAnInput) {
  const Zone zone = parse(kHead +
                          "[[elements]]\narea = 5\nwall = \"walls/good.toml\"\n"
                          "[[elements]]\narea = 6\nwall = \"./walls/../walls/good.toml\"\n"
                          "[[elements]]\narea = 7\nwall = \"walls/thick.toml\"\n" +
                          thickElements(98).substr(kHead.size()));
  ASSERT_EQ(zone.request.elements.size(), 101u);
  EXPECT_EQ(zone.request.elements[1].wall.layers.size(), 1u);
  EXPECT_EQ(zone.request.elements[100].wall.layers.size(), 1000u);
  const std::vector<std::string> files = {"room.toml", wallFolder() + "/walls/good.toml",
                                          wallFolder() + "/walls/thick.toml"};
  EXPECT_EQ(zone.files, files);
}

struct ExampleCase {
  std::string file;
  double thermalMassParameter;  // [kJ/(m2.K)], by hand below
  const char* massClass;
};

std::ostream& operator<<(std::ostream& out, const ExampleCase& c) { return out << c.file; }

class ExampleZoneTest : public ::testing::TestWithParam<ExampleCase> {};

TEST_P(ExampleZoneTest, ThermalMassParameterByHand) {
  const ExampleCase& c = GetParam();
  const Zone zone =
      loadZoneFile(std::string(BRUSK_SOURCE_DIR) + "/examples/zones/" + c.file, catalogue());
  const Brusk::Engine::ZoneResult result = computeZone(zone);
  // TMP is kept in J/(m2.K); SAP quotes it in kJ/(m2.K).
  EXPECT_NEAR(result.totals.thermalMassParameter / 1000.0, c.thermalMassParameter, 1e-9);
  EXPECT_STREQ(Brusk::Engine::massClassName(result.totals.massClass), c.massClass);
}

// kappa(10 cm) per face [J/(m2.K)], rho c from the catalogue, Af = 20 m2:
// masonry room
//   external walls (cavity): plaster 0.013 x 1.3e6 + block 0.087 x 2.0e6   = 190900, x 20.4
//   party wall: the same first 0.1 m                                       = 190900, x 13
//   partition, each face: half of 0.135 m, plaster 0.01 x 1.3e6 +
//     perforated brick 0.0575 x 1.4e6                                      =  93500, x 10.4 x 2
//   ground floor: screed 0.065 x 2.0e6, then EPS stops                     = 130000, x 20
//   ceiling: plaster 0.01 x 1.3e6 + concrete 0.09 x 2.3e6                  = 220000, x 20
//   TMP = 15320860 / 20 / 1000 = 766.043 kJ/(m2.K)
// timber room
//   external walls: plasterboard 0.0125 x 9.0e5 + OSB 0.015 x 1.105e6,
//     then wood fibre stops                                                =  27825, x 20.4
//   stud partition, each face: plasterboard, then mineral wool stops       =  11250, x 10.4 x 2
//   suspended floor: softwood 0.022 x 8.0e5                                =  17600, x 20
//   ceiling: plasterboard                                                  =  11250, x 20
//   TMP = 1378630 / 20 / 1000 = 68.9315 kJ/(m2.K)
INSTANTIATE_TEST_SUITE_P(Examples, ExampleZoneTest,
                         ::testing::Values(ExampleCase{"masonry-room.toml", 766.043, "very-heavy"},
                                           ExampleCase{"timber-room.toml", 68.9315, "very-light"}));

TEST(ZoneJson, KeysProgramsRead) {
  Zone zone = parse(kHead + "[[elements]]\narea = 5\nfaces = \"both\"\n" + kInlineLayers);
  const Brusk::Engine::ZoneResult result = computeZone(zone);
  const nlohmann::json json = nlohmann::json::parse(formatZoneJson({{zone, result}}));
  const nlohmann::json& totals = json.at("totals");
  for (const char* key : {"heat_capacity", "effective_mass_area", "heat_capacity_per_floor_area",
                          "thermal_mass_parameter", "admittance_area", "conductance_area"}) {
    EXPECT_TRUE(totals.at(key).is_number()) << key;
  }
  EXPECT_TRUE(totals.at("time_constant").is_null());
  EXPECT_EQ(totals.at("mass_class"), "very-light");
  EXPECT_DOUBLE_EQ(totals.at("heat_capacity").get<double>(), result.totals.heatCapacity);
  const nlohmann::json& sides = json.at("elements").at(0).at("sides");
  ASSERT_EQ(sides.size(), 2u);
  EXPECT_EQ(sides.at(1).at("side"), 2);
  EXPECT_TRUE(json.at("elements").at(0).at("wall_file").is_null());
  EXPECT_EQ(json.at("elements").at(0).at("heat_capacity_share"), 1.0);
}

}  // namespace
