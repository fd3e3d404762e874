// Names are untrusted: what a terminal, a spreadsheet or a table makes of a hostile one.
#include "brusk/frontend/text_util.h"

#include <gtest/gtest.h>

#include <string>

#include "brusk/frontend/error.h"
#include "brusk/frontend/output.h"

namespace {

using namespace Brusk::Frontend;

struct HostileName {
  const char* label;
  std::string name;
  std::string visible;  ///< as a terminal, a table or a page shows it
  std::string csvCell;  ///< as a CSV row writes it
};

void PrintTo(const HostileName& hostile, std::ostream* out) { *out << hostile.label; }

class HostileNameTest : public testing::TestWithParam<HostileName> {};

TEST_P(HostileNameTest, IsShownInertly) {
  const HostileName& hostile = GetParam();
  EXPECT_EQ(hostile.visible, visibleText(hostile.name));
  EXPECT_FALSE(hasControlCharacter(visibleText(hostile.name)));
  std::string cell;
  appendCsvText(hostile.name, cell);
  EXPECT_EQ(hostile.csvCell, cell);
}

INSTANTIATE_TEST_SUITE_P(
    Names, HostileNameTest,
    testing::Values(
        HostileName{"Plain", "Concrete wall", "Concrete wall", "Concrete wall"},
        HostileName{"Unicode", "Béton 混凝土墙 °C", "Béton 混凝土墙 °C", "Béton 混凝土墙 °C"},
        HostileName{"TitleAndClear", "\x1b]0;pwned\x07\x1b[2J", "\\x1b]0;pwned\\x07\\x1b[2J",
                    "\\x1b]0;pwned\\x07\\x1b[2J"},
        HostileName{"C1ControlSequenceIntroducer",
                    "a\xc2\x9b"
                    "2Jb",
                    "a\\u009b2Jb", "a\\u009b2Jb"},
        HostileName{"Delete", "x\x7fy", "x\\x7fy", "x\\x7fy"},
        HostileName{"Newline", "two\nlines", "two\\x0alines", "two\\x0alines"},
        HostileName{"Hyperlink", "=HYPERLINK(\"http://x\",\"y\")", "=HYPERLINK(\"http://x\",\"y\")",
                    "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
        HostileName{"Command", "+cmd|' /C calc'!A0", "+cmd|' /C calc'!A0", "'+cmd|' /C calc'!A0"},
        HostileName{"At", "@SUM(1+1)", "@SUM(1+1)", "'@SUM(1+1)"},
        HostileName{"Minus", "-2+3", "-2+3", "'-2+3"},
        HostileName{"LeadingTab", "\t=1", "\\x09=1", "\\x09=1"},
        HostileName{"LeadingCarriageReturn", "\r=1", "\\x0d=1", "\\x0d=1"},
        HostileName{"Comma", "a, b", "a, b", "\"a, b\""}),
    [](const testing::TestParamInfo<HostileName>& row) { return std::string(row.param.label); });

struct Width {
  const char* text;
  std::size_t columns;
};

class DisplayWidthTest : public testing::TestWithParam<Width> {};

TEST_P(DisplayWidthTest, CountsTerminalColumns) {
  EXPECT_EQ(GetParam().columns, displayWidth(GetParam().text)) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, DisplayWidthTest,
                         testing::Values(Width{"", 0}, Width{"abc", 3}, Width{"κ1 [kJ/(m2.K)]", 14},
                                         Width{"混凝土墙", 8}, Width{"ｗａｌｌ", 8},
                                         Width{"e\xcc\x81", 1}, Width{"한국", 4},
                                         Width{"\xff", 1}));

}  // namespace

namespace {

std::string refusalOf(const std::string& path) {
  try {
    (void)readTextFile(path, 1024);
  } catch (const Brusk::Frontend::Error& error) {
    return error.what();
  }
  return "(read)";
}

// A name with a NUL would be cut by the system and name another file: refused before it is
// opened, whichever file its first part names (one that exists included).
TEST(ReadTextFile, RefusesANameHoldingANul) {
  const std::string existing = BRUSK_SOURCE_DIR "/examples/1-concrete.toml";
  EXPECT_EQ(existing + "\\x00.json: a file name cannot hold a NUL byte (at character " +
                std::to_string(existing.size() + 1) + "); the system would read it as \"" +
                existing + "\", another file",
            refusalOf(existing + std::string("\0.json", 6)));
  EXPECT_EQ(
      "\\x00: a file name cannot hold a NUL byte (at character 1); the system would read it "
      "as \"\", another file",
      refusalOf(std::string(1, '\0')));
  EXPECT_EQ("(read)", refusalOf(existing));
}

}  // namespace
