// Provenance: SHA-256 against the published test vectors of FIPS 180-4 (NIST's examples for
// SHA-256), the run's date, the project file, and a report's provenance of its inputs.
#include "brusk/frontend/provenance.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "brusk/frontend/error.h"
#include "brusk/frontend/sha256.h"
#include "test_walls.h"

namespace {

using namespace Brusk::Frontend;
using BruskTest::errorOf;

TEST(Sha256, MatchesTheFips180Examples) {
  struct Row {
    const char* label;
    std::string message;
    const char* digest;
  };
  const Row rows[] = {
      {"empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"one block, \"abc\"", "abc",
       "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      // 448 bits: the padding no longer fits the block and takes a second one.
      {"two blocks, 448 bits", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"896 bits",
       "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqr"
       "lmnopqrsmnopqrstnopqrstu",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {"one million \"a\"", std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.digest, sha256Hex(row.message)) << row.label;
    // Fed in uneven pieces, across block boundaries: the same digest.
    for (std::size_t piece : {1u, 7u, 63u, 64u, 65u}) {
      Sha256 hash;
      for (std::size_t at = 0; at < row.message.size(); at += piece) {
        hash.update(std::string_view(row.message).substr(at, piece));
      }
      const auto digest = hash.digest();
      std::string hex;
      for (const std::uint8_t byte : digest) {
        const char digits[] = "0123456789abcdef";
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
      }
      EXPECT_EQ(row.digest, hex) << row.label << " in pieces of " << piece;
    }
  }
}

TEST(Provenance, DateFollowsSourceDateEpoch) {
  struct Row {
    const char* epoch;
    const char* date;
  };
  const Row rows[] = {{"0", "1970-01-01"},
                      {"86399", "1970-01-01"},
                      {"951782400", "2000-02-29"},    // a leap day of a year divisible by 400
                      {"1709251199", "2024-02-29"},   // its last second
                      {"4107542400", "2100-03-01"}};  // 2100 is no leap year
  for (const Row& row : rows) {
    ::setenv("SOURCE_DATE_EPOCH", row.epoch, 1);
    EXPECT_EQ(row.date, runDate()) << row.epoch;
  }
  // Not a number: today's date, whatever it is, in the same form.
  ::setenv("SOURCE_DATE_EPOCH", "soon", 1);
  const std::string today = runDate();
  ::unsetenv("SOURCE_DATE_EPOCH");
  EXPECT_EQ(10u, today.size());
  EXPECT_EQ('-', today[4]);
  EXPECT_EQ('-', today[7]);
}

TEST(Provenance, ProjectFileTakesThreeStrings) {
  const ProjectFields fields =
      parseProjectText("project = \"P-12\"\nauthor = \"A. N. Engineer\"\n", "p.toml");
  EXPECT_EQ("P-12", fields.project);
  EXPECT_EQ("", fields.element);
  EXPECT_EQ("A. N. Engineer", fields.author);
  EXPECT_EQ(
      "p.toml:2: unknown key \"authors\" (did you mean \"author\"?); a project file takes "
      "project, element and author",
      errorOf([] { (void)parseProjectText("project = \"P\"\nauthors = \"A\"\n", "p.toml"); }));
  EXPECT_EQ("p.toml:1: element must be a string, got 3",
            errorOf([] { (void)parseProjectText("element = 3\n", "p.toml"); }));
}

TEST(Provenance, ReportNamesEachFileOnceWithItsHash) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("brusk-provenance-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string wall = (folder / "wall.toml").string();
  std::ofstream(wall) << "abc";
  ReportBasis basis;
  basis.moisture = true;
  basis.humidityClass = 3;
  const Provenance provenance = reportProvenance({wall, wall}, basis, {"P", "E", "A"});
  std::filesystem::remove_all(folder);
  ASSERT_EQ(1u, provenance.inputs.size());
  EXPECT_EQ(wall, provenance.inputs[0].name);
  EXPECT_EQ("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
            provenance.inputs[0].sha256);
  EXPECT_EQ(bruskVersion(), provenance.version);
  EXPECT_EQ((std::vector<std::string>{"ISO 13786:2017", "ISO 6946:2017", "ISO 13788:2012"}),
            provenance.standards);
  std::string conventions;
  for (const auto& [what, choice] : provenance.conventions)
    conventions += what + ": " + choice + "\n";
  for (const char* expected :
       {"Month length: calendar months of 31, 28, 31", "Rsi of the surface check: 0.25 m2.K/W",
        "Indoor humidity: humidity class 3", "Dimension system: "}) {
    EXPECT_NE(std::string::npos, conventions.find(expected)) << expected;
  }
  EXPECT_NE(std::string::npos,
            errorOf([&] { (void)reportProvenance({wall}, basis, {}); }).find("cannot open"));
}

TEST(Provenance, VersionTextListsEveryEdition) {
  const std::string text = versionText();
  EXPECT_EQ(0u, text.find(std::string("brusk ") + bruskVersion() + "\n"));
  for (const StandardEdition& standard : standardEditions()) {
    EXPECT_NE(std::string::npos, text.find(standard.edition)) << standard.edition;
  }
}

}  // namespace
