// The README's examples are what the program does: each shown output is produced again and
// compared, each shown command is one the program takes, so that the README cannot drift from
// the program unnoticed.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "program_fixture.h"

namespace {

using BruskTest::ProgramRun;

const std::string kSource = BRUSK_SOURCE_DIR;

const std::string& readme() {
  static const std::string text = BruskTest::slurp(kSource + "/README.md");
  return text;
}

/// The text of the first fenced block after the first line holding `anchor`, without its fences;
/// empty when there is none.
std::string blockAfter(const std::string& anchor) {
  const std::size_t at = readme().find(anchor);
  if (at == std::string::npos) return "";
  const std::size_t fence = readme().find("\n```", at);
  if (fence == std::string::npos) return "";
  const std::size_t start = readme().find('\n', fence + 1) + 1;
  const std::size_t end = readme().find("\n```", start);
  return readme().substr(start, end + 1 - start);
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class ReadmeExampleTest : public BruskTest::ProgramFixture {};

// The comparison table is the one the command prints, label for label and digit for digit.
TEST_F(ReadmeExampleTest, ComparisonTableIsTheOutputOfItsCommand) {
  const std::string shown =
      blockAfter("`brusk compute examples/*.toml` compares the example walls");
  ASSERT_FALSE(shown.empty());
  const ProgramRun result = run("compute '" + kSource + "/examples/'*.toml");
  ASSERT_EQ(0, result.status) << result.err;
  EXPECT_EQ(shown, result.out);
}

/// The README's example wall file, as shown.
std::string exampleWall() { return blockAfter("A wall file, layers from the inner"); }

// The example wall file is one the program reads, with no warning.
TEST_F(ReadmeExampleTest, ExampleWallFileIsRead) {
  ASSERT_FALSE(exampleWall().empty());
  write("wall.toml", exampleWall());
  const ProgramRun result = run("compute wall.toml");
  EXPECT_EQ(0, result.status) << result.err;
  EXPECT_EQ("", result.err);
}

// The refusal shown is the program's for the example wall with the conductivity of its EPS
// board negative: the same file, line, layer and words.
TEST_F(ReadmeExampleTest, RefusalIsTheExampleWallsWithANegativeConductivity) {
  const std::string shown = blockAfter("Bad input is refused with exit status 2");
  ASSERT_FALSE(shown.empty());
  std::string wall = exampleWall();
  const std::string conductivity = "conductivity = 0.035";
  const std::size_t at = wall.find(conductivity);
  ASSERT_NE(std::string::npos, at);
  wall.replace(at, conductivity.size(), "conductivity = -0.035");
  write("wall.toml", wall);
  const ProgramRun result = run("compute wall.toml");
  EXPECT_EQ(2, result.status);
  EXPECT_EQ("", result.out);
  EXPECT_EQ(shown, result.err);
}

// The validation line shown is one the reference run prints: its golden output, which the
// validation tests hold to the program byte for byte.
TEST_F(ReadmeExampleTest, ValidationLineIsOneTheReferenceRunPrints) {
  const std::string shown = blockAfter("Each line reads:");
  const std::vector<std::string> lines = linesOf(shown);
  ASSERT_EQ(1u, lines.size()) << shown;
  const std::string golden =
      BruskTest::slurp(kSource + "/tests/validation/brusk-validation.golden.txt");
  EXPECT_NE(std::string::npos, golden.find(lines[0] + "\n")) << lines[0];
}

// Every command the overview shows names a command of brusk and only options it takes.
TEST_F(ReadmeExampleTest, OverviewCommandsUseOptionsTheProgramTakes) {
  const std::string shown =
      blockAfter("computes any wall described in a file with the same engine");
  const std::vector<std::string> lines = linesOf(shown);
  ASSERT_GE(lines.size(), 5u) << shown;
  const std::regex option("(^|\\s)(--?[a-z][a-z-]*)");
  for (const std::string& line : lines) {
    ASSERT_EQ(0u, line.find("brusk ")) << line;
    const std::string command = line.substr(6, line.find(' ', 6) - 6);
    const ProgramRun help = run(command + " --help");
    ASSERT_EQ(0, help.status) << line << ": " << help.err;
    // Only the command itself, not the comment after it.
    const std::string words = line.substr(0, line.find('#'));
    for (std::sregex_iterator it(words.begin(), words.end(), option), end; it != end; ++it) {
      const std::string name = (*it)[2].str();
      EXPECT_NE(std::string::npos, help.out.find(name)) << line << ": " << name;
    }
  }
}

// The Quick start is two commands (CI runs the second as it stands), each bounding the
// compilers it starts at once: a bare -j starts one per source.
TEST_F(ReadmeExampleTest, QuickStartIsTwoCommandsOfBoundedParallelism) {
  const std::vector<std::string> commands = linesOf(blockAfter("## Quick start"));
  ASSERT_EQ(2u, commands.size());
  for (const std::string& command : commands) {
    EXPECT_NE(std::string::npos,
              command.find("cmake --build build -j \"$(scripts/build-jobs.sh)\""))
        << command;
    EXPECT_EQ(std::string::npos, command.find("-j &&")) << command;
  }
}

}  // namespace
