// brusk validate as a consultant runs it, and the provenance brusk report and brusk --version
// give: what was computed, by which version, from which exact files.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

#include "brusk/frontend/sha256.h"
#include "program_fixture.h"

namespace {

using BruskTest::ProgramFixture;
using Json = nlohmann::json;

const std::string kWall = BRUSK_SOURCE_DIR "/examples/2-concrete-insulated.toml";

class ValidateProgramTest : public ProgramFixture {};

TEST_F(ValidateProgramTest, EveryCaseAgreesAndNamesItsSource) {
  const BruskTest::ProgramRun table = run("validate");
  const BruskTest::ProgramRun json = run("validate --format json");
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_TRUE(json.err.empty()) << json.err;
  const Json cases = Json::parse(json.out);
  EXPECT_TRUE(cases["summary"]["all_agree"].get<bool>());
  EXPECT_EQ(cases["summary"]["differ"].get<int>(), 0);
  ASSERT_EQ(table.status, 0) << table.err;
  std::size_t figures = 0;
  for (const Json& one : cases["cases"]) {
    const std::string id = one["id"];
    for (const char* field : {"document", "clause", "edition"}) {
      EXPECT_FALSE(one["source"][field].get<std::string>().empty()) << id << " " << field;
    }
    EXPECT_EQ(one["problem"], "") << id;
    // The table has the case's figures, one line each, and its source.
    for (const Json& figure : one["figures"]) {
      ++figures;
      EXPECT_TRUE(figure["agrees"].get<bool>()) << id << " " << figure["quantity"];
    }
    EXPECT_NE(table.out.find("\n" + id + ": "), std::string::npos) << id;
    EXPECT_NE(table.out.find(one["source"]["clause"].get<std::string>()), std::string::npos) << id;
  }
  EXPECT_EQ(cases["summary"]["figures"].get<std::size_t>(), figures);
  std::size_t agreeing = 0;
  for (std::size_t at = table.out.find(" agrees\n"); at != std::string::npos;
       at = table.out.find(" agrees\n", at + 1)) {
    ++agreeing;
  }
  EXPECT_EQ(agreeing, figures);
  EXPECT_NE(table.out.find("Every figure agrees."), std::string::npos);
}

TEST_F(ValidateProgramTest, RefusesWhatItDoesNotTake) {
  for (const char* arguments :
       {"validate --format csv", "validate extra.toml", "validate --fast"}) {
    const BruskTest::ProgramRun refused = run(arguments);
    EXPECT_EQ(refused.status, 2) << arguments;
    EXPECT_TRUE(refused.out.empty()) << arguments;
    EXPECT_FALSE(refused.err.empty()) << arguments;
  }
}

TEST_F(ValidateProgramTest, VersionNamesTheEditionsApplied) {
  const BruskTest::ProgramRun version = run("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("brusk 0.", 0), 0u) << version.out;
  for (const char* edition : {"ISO 13786:2017", "ISO 6946:2017", "ISO 13788:2012"}) {
    EXPECT_NE(version.out.find(edition), std::string::npos) << edition;
  }
}

#ifdef BRUSK_TESTS_HAVE_REPORT
// A report names Brusk's version, the date and every input file with its SHA-256, and the
// project's fields, names escaped.
TEST_F(ValidateProgramTest, ReportNamesVersionDateAndInputsWithTheirHashes) {
  // A wall of catalogue materials: the catalogue's standard is named too.
  write("wall.toml", BruskTest::slurp(BRUSK_SOURCE_DIR "/examples/3-brick-cavity.toml"));
  write("project.toml", "project = \"Hall <B>\"\nelement = \"North wall\"\n");
  const BruskTest::ProgramRun report =
      run("report wall.toml -o report.html --project-file project.toml --author 'A & B'",
          "SOURCE_DATE_EPOCH=1709164800");
  ASSERT_EQ(report.status, 0) << report.err;
  const std::string html = read("report.html");
  const std::string version = Json::parse(run("validate --format json").out)["version"];
  for (const std::string& expected : std::vector<std::string>{
           "<section id=\"provenance\">", "Brusk " + version, "2024-02-29", "wall.toml",
           Brusk::Frontend::sha256Hex(read("wall.toml")), "project.toml",
           Brusk::Frontend::sha256Hex(read("project.toml")), "Hall &lt;B&gt;", "North wall",
           "A &amp; B", "ISO 13786:2017", "ISO 10456:2007", "Dimension system"}) {
    EXPECT_NE(html.find(expected), std::string::npos) << expected;
  }
  // Without moisture no month length is claimed.
  EXPECT_EQ(html.find("Month length"), std::string::npos);
}

TEST_F(ValidateProgramTest, ReportNeverOverwritesItsProjectFile) {
  write("project.toml", "project = \"P\"\n");
  const BruskTest::ProgramRun refused = run("report '" + kWall +
                                            "' -o project.toml "
                                            "--project-file project.toml");
  EXPECT_EQ(refused.status, 2);
  EXPECT_TRUE(refused.out.empty());
  EXPECT_NE(refused.err.find("-o:"), std::string::npos) << refused.err;
  EXPECT_EQ(read("project.toml"), "project = \"P\"\n");
  write("bad.toml", "project = 1\n");
  const BruskTest::ProgramRun refusedFile =
      run("report '" + kWall + "' -o s.html --project-file bad.toml");
  EXPECT_EQ(refusedFile.status, 2);
  EXPECT_NE(refusedFile.err.find("bad.toml:1: project must be a string"), std::string::npos)
      << refusedFile.err;
  EXPECT_FALSE(std::filesystem::exists(_folder / "s.html"));
}
#endif

}  // namespace
