// The batch reader's fast path must agree with the full wall reader: whatever line it accepts,
// parseWallLine accepts too and yields the same wall. Checked on typical lines and on thousands of
// single-character mutations of them.
#include "fast_wall_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "brusk/frontend/error.h"
#include "brusk/frontend/wall_parser.h"
#include "plain_wall_line_check.h"

namespace {

using namespace Brusk::Frontend;

const Catalogue& catalogue() {
  static const Catalogue builtIn = Catalogue::builtIn();
  return builtIn;
}

std::optional<Wall> fullRead(const std::string& line) {
  try {
    return parseWallLine(line, catalogue(), "walls.jsonl:1", "line 1");
  } catch (const Error&) {
  }
  return std::nullopt;
}

void expectSameWall(const Wall& fast, const Wall& full, const std::string& line) {
  EXPECT_EQ("", BruskFuzz::wallDifference(fast, full)) << line;
}

const std::vector<std::string> kPlainLines = {
    R"({"name":"w","layers":[{"thickness":0.2,"conductivity":1.8,"density":2400,"specific_heat":1000}]})",
    R"({"layers":[{"material":"concrete-reinforced","thickness":0.2},{"thermal_resistance":0.18},{"name":"EPS","thickness":1e-1,"conductivity":0.035,"density":20,"specific_heat":1450,"family":"insulation"}]})",
    R"( { "name" : "partition" , "position" : "internal" , "heat_flow" : "upward" , "layers" : [ { "material" : "concrete-reinforced" , "thickness" : 0.1 , "conductivity" : 2.0 } ] } )",
    R"({"position":"external","heat_flow":"downward","rsi":0,"rse":0.0,"layers":[{"thickness":0.005,"conductivity":1,"density":1200,"specific_heat":1500},{"thermal_resistance":0.5,"name":"gap","family":"other"}]})",
    R"({"name":"","layers":[{"thickness":2.5E-3,"conductivity":0.5,"density":1.2e3,"specific_heat":900.0,"material":"concrete-reinforced","family":"stone"}]})",
    // An empty layer name counts as none: the full reader then names the layer itself.
    R"({"layers":[{"thermal_resistance":0.17,"name":""},{"name":"","material":"concrete-reinforced","thickness":0.3},{"name":"","thickness":0.01,"conductivity":0.7,"density":1600,"specific_heat":1000}]})",
};

TEST(FastWallLine, ReadsPlainLinesLikeTheFullReader) {
  for (const std::string& line : kPlainLines) {
    Wall fast;
    ASSERT_TRUE(Brusk::Batch::readPlainWallLine(line, catalogue(), 1, fast)) << line;
    const std::optional<Wall> full = fullRead(line);
    ASSERT_TRUE(full.has_value()) << line;
    expectSameWall(fast, *full, line);
  }
}

TEST(FastWallLine, LeavesEverythingElseToTheFullReader) {
  for (const char* line :
       {R"({"layers":[]})",
        R"({"layers":[{"thickness":-0.2,"conductivity":1,"density":1,"specific_heat":1}]})",
        R"({"name":"a\"b","layers":[{"thermal_resistance":0.1}]})",
        R"({"name":"w","name":"v","layers":[{"thermal_resistance":0.1}]})",
        R"({"layers":[{"thermal_resistance":0.1}],"colour":"red"})",
        R"({"layers":[{"material":"no-such-material","thickness":0.1}]})",
        R"({"layers":[{"thermal_resistance":0.1,"thickness":0.1}]})",
        R"({"layers":[{"thickness":1e999,"conductivity":1,"density":1,"specific_heat":1}]})",
        R"({"layers":[{"thermal_resistance":0.1}]} x)", R"([1,2])", "",
        // Keys that start or end like known ones, or end the line early.
        R"({"layers":[{"thick":0.1,"conductivity":1,"density":1,"specific_heat":1}]})",
        R"({"layers":[{"thicknesss":0.1,"conductivity":1,"density":1,"specific_heat":1}]})",
        R"({"layers":[{"thick\u006eess":0.1,"conductivity":1,"density":1,"specific_heat":1}]})",
        R"({"rsi ":0.1,"layers":[{"thermal_resistance":0.1}]})",
        R"({"layers":[{"thermal_resistanc)", R"({"layers":[{}]})", R"({})"}) {
    Wall fast;
    EXPECT_FALSE(Brusk::Batch::readPlainWallLine(line, catalogue(), 1, fast)) << line;
  }
}

TEST(FastWallLine, MutationsNeverMakeTheTwoReadersDisagree) {
  std::mt19937 random(20261208);
  const std::string alphabet = "{}[]\":,.-+eE0123456789 abcdefghijklmnopqrstuvwxyz_\\";
  std::size_t acceptedByBoth = 0;
  Wall fast;
  for (const std::string& base : kPlainLines) {
    std::uniform_int_distribution<std::size_t> position(0, base.size() - 1);
    std::uniform_int_distribution<std::size_t> symbol(0, alphabet.size() - 1);
    for (int trial = 0; trial < 1500; ++trial) {
      std::string line = base;
      const std::size_t at = position(random);
      switch (trial % 3) {
        case 0:
          line.erase(at, 1);
          break;
        case 1:
          line[at] = alphabet[symbol(random)];
          break;
        default:
          line.insert(at, 1, alphabet[symbol(random)]);
          break;
      }
      // One wall for all trials, as in a batch run: what a line (or a refused line) left in it
      // must not show through in the next.
      if (!Brusk::Batch::readPlainWallLine(line, catalogue(), 1, fast)) continue;
      const std::optional<Wall> full = fullRead(line);
      ASSERT_TRUE(full.has_value())
          << "fast path accepted a line the full reader refuses: " << line;
      expectSameWall(fast, *full, line);
      ++acceptedByBoth;
    }
  }
  EXPECT_GT(acceptedByBoth, 300u) << "mutations should often keep a valid wall";
}

TEST(FastWallLine, ReusedWallTakesNothingFromThePreviousLine) {
  // Every order of two lines: layers differ in count, kind, name and material between them.
  for (const std::string& first : kPlainLines) {
    for (const std::string& second : kPlainLines) {
      Wall fast;
      ASSERT_TRUE(Brusk::Batch::readPlainWallLine(first, catalogue(), 1, fast)) << first;
      ASSERT_TRUE(Brusk::Batch::readPlainWallLine(second, catalogue(), 1, fast)) << second;
      const std::optional<Wall> full = fullRead(second);
      ASSERT_TRUE(full.has_value()) << second;
      expectSameWall(fast, *full, second);
    }
  }
}

// A batch that writes results reads lines without their layer labels. Each plain line, in a
// fresh wall and in one reused after every other line read either way, must read without them
// as the full reader reads it, labels apart, and with them again as before.
class FastWallLineWithoutLabels : public testing::TestWithParam<std::string> {};

TEST_P(FastWallLineWithoutLabels, ReadsTheSameWallLabelsApart) {
  const std::string& line = GetParam();
  const std::optional<Wall> full = fullRead(line);
  ASSERT_TRUE(full.has_value()) << line;
  using Brusk::Batch::PlainLabels;
  for (const std::string& earlier : kPlainLines) {
    for (const PlainLabels earlierLabels : {PlainLabels::Fill, PlainLabels::Skip}) {
      Wall fast;
      ASSERT_TRUE(Brusk::Batch::readPlainWallLine(earlier, catalogue(), 1, fast, earlierLabels));
      ASSERT_TRUE(Brusk::Batch::readPlainWallLine(line, catalogue(), 1, fast, PlainLabels::Skip));
      EXPECT_TRUE(fast.labels.empty()) << line;
      Wall labelled = fast;
      labelled.labels = full->labels;
      expectSameWall(labelled, *full, line);
      // Read again with labels, the reused wall is the full reader's, labels and all.
      ASSERT_TRUE(Brusk::Batch::readPlainWallLine(line, catalogue(), 1, fast, PlainLabels::Fill));
      expectSameWall(fast, *full, line);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(PlainLines, FastWallLineWithoutLabels, testing::ValuesIn(kPlainLines));

TEST(FastWallLine, SkippingLabelsAcceptsTheSameLines) {
  // Whether a line reads must not depend on the labels: single-character mutations of the
  // plain lines, each read into two reused walls, one with labels and one without.
  std::mt19937 random(20261209);
  const std::string alphabet = "{}[]\":,.-+eE0123456789 abcdefghijklmnopqrstuvwxyz_\\";
  Wall withLabels;
  Wall withoutLabels;
  std::size_t accepted = 0;
  for (const std::string& base : kPlainLines) {
    std::uniform_int_distribution<std::size_t> position(0, base.size() - 1);
    std::uniform_int_distribution<std::size_t> symbol(0, alphabet.size() - 1);
    for (int trial = 0; trial < 600; ++trial) {
      std::string line = base;
      line[position(random)] = alphabet[symbol(random)];
      const bool filled = Brusk::Batch::readPlainWallLine(line, catalogue(), 7, withLabels);
      const bool skipped = Brusk::Batch::readPlainWallLine(line, catalogue(), 7, withoutLabels,
                                                           Brusk::Batch::PlainLabels::Skip);
      ASSERT_EQ(filled, skipped) << line;
      if (!filled) continue;
      ++accepted;
      EXPECT_EQ(withLabels.name, withoutLabels.name) << line;
      Wall labelled = withoutLabels;
      labelled.labels = withLabels.labels;
      EXPECT_EQ("", BruskFuzz::wallDifference(labelled, withLabels)) << line;
    }
  }
  EXPECT_GT(accepted, 100u) << "mutations should often keep a valid wall";
}

TEST(FastWallLine, NumbersConvertLikeTheFullReader) {
  // Short numbers are read a word at a time when the line has eight more characters, and
  // digit by digit near its end; both must round like the full reader and refuse what it does.
  for (const std::string number : {"7",
                                   "0.9",
                                   "9.9",
                                   "99.99",
                                   "0.99999",
                                   "9.99999",
                                   "0.2923",
                                   "1707.0",
                                   "0.03658",
                                   "456.3",
                                   "123456.7",
                                   "1234567",
                                   "9999999",
                                   "12345678",
                                   "1234567.8",
                                   "0.000001",
                                   "0.0000001",
                                   "0.30000000000000004",
                                   "4503599627370497",
                                   "123456789012345678901",
                                   "1.5e3",
                                   "1E-2",
                                   "0.1e1",
                                   "2.5E+3",
                                   "0",
                                   "0.0",
                                   "00.5",
                                   "01",
                                   "1.",
                                   ".5",
                                   "1.5.5",
                                   "1e",
                                   "1e+",
                                   "-1",
                                   "+1",
                                   "1x",
                                   "9.9e999"}) {
    for (const std::string& line :
         {R"({"layers":[{"thickness":)" + number +
              R"(,"conductivity":1,"density":1,"specific_heat":1}],"rsi":)" + number + "}",
          R"({"layers":[{"thermal_resistance":)" + number + "}]}",
          R"({"layers":[{"thermal_resistance":1}],"rse":)" + number + "}",
          R"({"layers":[{"thermal_resistance":1}],"rse":)" + number + "          }"}) {
      Wall fast;
      const bool accepted = Brusk::Batch::readPlainWallLine(line, catalogue(), 1, fast);
      const std::optional<Wall> full = fullRead(line);
      // Numbers without a sign are all in the plain subset: no valid one is left out.
      EXPECT_EQ(accepted, full.has_value()) << line;
      if (accepted && full) expectSameWall(fast, *full, line);
    }
  }
}

TEST(FastWallLine, NamesOfEveryLengthAndStop) {
  // Names are scanned eight characters at a time: every length up to three words, and each
  // character that ends the plain subset at every place in them.
  const std::string printable = "Az09 ~!#$%&'()*+,-./:;<=>?@[]^_`{|}";
  const auto lineNamed = [](const std::string& name) {
    return R"({"name":")" + name + R"(","layers":[{"thermal_resistance":0.1}]})";
  };
  for (std::size_t length = 0; length <= 24; ++length) {
    std::string name;
    for (std::size_t i = 0; i < length; ++i) name += printable[(i * 7) % printable.size()];
    Wall fast;
    ASSERT_TRUE(Brusk::Batch::readPlainWallLine(lineNamed(name), catalogue(), 1, fast)) << name;
    EXPECT_EQ(fast.name, name);
    for (std::size_t at = 0; at < length; ++at) {
      for (const char stop : {'\\', '"', '\x1f', '\x7f', '\x80', '\xff'}) {
        std::string stopped = name;
        stopped[at] = stop;
        EXPECT_FALSE(Brusk::Batch::readPlainWallLine(lineNamed(stopped), catalogue(), 1, fast))
            << lineNamed(stopped);
      }
    }
  }
}

}  // namespace
