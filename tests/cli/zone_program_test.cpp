// `brusk zone` as a user runs it: bad zone files give exit 2, a message naming the zone file,
// the element and the reason, and nothing on standard output; good ones print every format.
#include <gtest/gtest.h>

#include <string>

#include <nlohmann/json.hpp>

#include "program_fixture.h"

namespace {

using BruskTest::ProgramFixture;

struct BadZoneFile {
  std::string name;
  std::string zone;     // zone.toml
  std::string message;  // a part of standard error
};

std::ostream& operator<<(std::ostream& out, const BadZoneFile& c) { return out << c.name; }

class ZoneProgramTest : public ProgramFixture, public ::testing::WithParamInterface<BadZoneFile> {};

TEST_P(ZoneProgramTest, ExitTwoWithTheReasonAndNoOutput) {
  write("wall.toml", "[[layers]]\nmaterial = \"brick-solid\"\nthickness = 0.2\n");
  write("bad-wall.toml", "[[layers]]\nmaterial = \"brick-solid\"\nthickness = -0.2\n");
  write("zone.toml", GetParam().zone);
  // A good zone first: nothing of it may be printed either.
  write("good.toml", "floor_area = 10\n[[elements]]\narea = 5\nwall = \"wall.toml\"\n");
  const BruskTest::ProgramRun result = run("zone good.toml zone.toml");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ZoneProgramTest,
    ::testing::Values(
        BadZoneFile{"missing_area",
                    "floor_area = 10\n[[elements]]\nname = \"N\"\nwall = \"wall.toml\"\n",
                    "brusk: zone.toml:2: element 1 (\"N\"): area is missing"},
        BadZoneFile{"zero_area", "floor_area = 10\n[[elements]]\narea = 0\nwall = \"wall.toml\"\n",
                    "brusk: zone.toml:3: element 1: area must be a positive number of m2, got 0"},
        BadZoneFile{"missing_wall_file",
                    "floor_area = 10\n[[elements]]\narea = 1\nwall = \"gone.toml\"\n",
                    "brusk: zone.toml:4: element 1: wall file: gone.toml: cannot open the file"},
        BadZoneFile{"bad_wall_file",
                    "floor_area = 10\n[[elements]]\narea = 1\nwall = \"bad-wall.toml\"\n",
                    "brusk: zone.toml:4: element 1: wall file: bad-wall.toml:3: layer 1 "
                    "(\"Solid clay brick\"): thickness must be a positive number of m, got -0.2"},
        BadZoneFile{"not_toml", "floor_area = \n", "brusk: zone.toml:1:"},
        BadZoneFile{"control_characters_shown_inertly",
                    "floor_area = 10\n[[elements]]\nname = \"\\u001b[2J\"\narea = -1\n"
                    "wall = \"wall.toml\"\n",
                    "element 1 (\"\\x1b[2J\"): area must be"}));

class ZoneOutputTest : public ProgramFixture {};

TEST_F(ZoneOutputTest, FormatsAgree) {
  write("wall.toml", "[[layers]]\nmaterial = \"brick-solid\"\nthickness = 0.2\n");
  write("zone.toml",
        "name = \"Room\"\nfloor_area = 10\nheat_transfer_coefficient = 20\n"
        "[[elements]]\narea = 5\nwall = \"wall.toml\"\nfaces = \"both\"\n");
  const BruskTest::ProgramRun json = run("zone --format json zone.toml");
  ASSERT_EQ(json.status, 0) << json.err;
  const nlohmann::json parsed = nlohmann::json::parse(json.out);
  const double heatCapacity = parsed.at("totals").at("heat_capacity").get<double>();
  EXPECT_NEAR(parsed.at("totals").at("time_constant").get<double>(), heatCapacity / 3600.0 / 20.0,
              1e-12);

  const BruskTest::ProgramRun csv = run("zone --format csv zone.toml");
  ASSERT_EQ(csv.status, 0) << csv.err;
  EXPECT_EQ(csv.out.rfind("record,zone,element,", 0), 0u);
  // Two face rows and the zone row.
  EXPECT_NE(csv.out.find("\nface,Room,wall,wall,5,both,1,"), std::string::npos) << csv.out;
  EXPECT_NE(csv.out.find("\nface,Room,wall,wall,5,both,2,"), std::string::npos) << csv.out;
  EXPECT_NE(csv.out.find("\nzone,Room,,,10,"), std::string::npos) << csv.out;

  const BruskTest::ProgramRun table = run("zone zone.toml");
  ASSERT_EQ(table.status, 0) << table.err;
  EXPECT_NE(table.out.find("Zone Room: floor area Af 10.00 m2"), std::string::npos) << table.out;
}

#ifdef BRUSK_TESTS_HAVE_REPORT
TEST_F(ZoneOutputTest, ReportTakesZoneFilesBesideWalls) {
  write("wall.toml", "[[layers]]\nmaterial = \"brick-solid\"\nthickness = 0.2\n");
  write("zone.toml", "floor_area = 10\n[[elements]]\narea = 5\nwall = \"wall.toml\"\n");
  write("bad.toml", "floor_area = 10\n[[elements]]\narea = -5\nwall = \"wall.toml\"\n");
  const BruskTest::ProgramRun good = run("report wall.toml zone.toml -o page.html");
  ASSERT_EQ(good.status, 0) << good.err;
  EXPECT_EQ(good.out, "wrote page.html (1 wall, 1 zone)\n");
  EXPECT_NE(read("page.html").find("id=\"zone-0\""), std::string::npos);

  const BruskTest::ProgramRun bad = run("report wall.toml bad.toml -o other.html");
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.out, "");
  EXPECT_NE(bad.err.find("bad.toml:3: element 1: area must be a positive number of m2, got -5"),
            std::string::npos)
      << bad.err;
  EXPECT_FALSE(std::filesystem::exists(_folder / "other.html"));
}
#endif

}  // namespace
