// The drawings in the caller's words: every title, axis, legend, annotation, month name and
// number comes from the words given (English with a decimal point by default, as the report
// writes them), so that a page draws them in its reader's language.
#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/junction.h"
#include "brusk/frontend/moisture.h"
#include "brusk/frontend/wall_parser.h"
#include "brusk/report/junction_section.h"
#include "brusk/report/moisture_section.h"
#include "brusk/report/plot_words.h"
#include "brusk/report/plots.h"
#include "profile_plot.h"
#include "svg_text_boxes.h"
#include "wall_plots.h"

namespace {

using namespace Brusk;
using Report::PlotWords;
using Testing::TextBox;

struct FillRow {
  const char* what;
  std::map<std::string, std::string, std::less<>> words;
  const char* key;
  std::vector<std::pair<std::string_view, std::string_view>> values;
  const char* expected;
};

std::ostream& operator<<(std::ostream& out, const FillRow& row) { return out << row.what; }

class PlotWordsFillTest : public testing::TestWithParam<FillRow> {};

TEST_P(PlotWordsFillTest, FillsEachPlaceOnce) {
  const FillRow& row = GetParam();
  const PlotWords words(row.words, '.');
  std::string text;
  switch (row.values.size()) {
    case 0:
      text = words(row.key);
      break;
    case 1:
      text = words(row.key, {row.values[0]});
      break;
    default:
      text = words(row.key, {row.values[0], row.values[1]});
  }
  EXPECT_EQ(row.expected, text);
}

INSTANTIATE_TEST_SUITE_P(
    Words, PlotWordsFillTest,
    testing::Values(
        FillRow{"English by default", {}, "section.inside", {}, "INSIDE"},
        FillRow{"a word given", {{"section.inside", "INNEN"}}, "section.inside", {}, "INNEN"},
        FillRow{"a place filled", {}, "section.title", {{"wall", "Wand"}}, "Section of Wand"},
        FillRow{"places in another order",
                {{"section.callout", "{size}: {name}"}},
                "section.callout",
                {{"name", "Putz"}, {"size", "15 mm"}},
                "15 mm: Putz"},
        FillRow{"a value holding braces stays as it is",
                {},
                "section.title",
                {{"wall", "{wall} & {size}"}},
                "Section of {wall} & {size}"},
        FillRow{"a place without a value stays",
                {{"section.title", "{wall} ({lost})"}},
                "section.title",
                {{"wall", "W"}},
                "W ({lost})"},
        FillRow{"an unclosed brace is text",
                {{"section.title", "Schnitt {wall"}},
                "section.title",
                {{"wall", "W"}},
                "Schnitt {wall"}));

TEST(PlotWords, RefusesAWordTheDrawingsDoNotHaveAndAnotherSeparator) {
  try {
    (void)PlotWords({{"section.insde", "INNEN"}}, '.');
    ADD_FAILURE() << "a misspelt key is taken";
  } catch (const Frontend::Error& error) {
    EXPECT_NE(std::string(error.what()).find("\"section.inside\""), std::string::npos)
        << error.what();
  }
  EXPECT_THROW((void)PlotWords({}, ';'), Frontend::Error);
  EXPECT_EQ("1,50", PlotWords({}, ',').number(1.5, 2));
  EXPECT_EQ("\u22120,5", PlotWords({}, ',').number(-0.5, 1));
  EXPECT_EQ("Dez", PlotWords({{"month.12", "Dez"}}, ',').month(11));
  EXPECT_EQ("\u2013", PlotWords().month(12));
}

// A language for the test: every word "Ü<n>" with its places, so that any English left in a
// drawing is a word that bypassed the caller's words.
PlotWords markedWords(char separator) {
  std::map<std::string, std::string, std::less<>> words;
  int n = 0;
  for (const Report::PlotWord& word : Report::englishPlotWords()) {
    std::string text = "Ü" + std::to_string(++n);
    const std::string english(word.english);
    for (std::size_t at = english.find('{'); at != std::string::npos;
         at = english.find('{', at + 1)) {
      text += " " + english.substr(at, english.find('}', at) - at + 1);
    }
    words[std::string(word.key)] = text;
  }
  return PlotWords(std::move(words), separator);
}

/// The English fragments of the words: each wording's text between its places, where it holds
/// a word of three letters or more.
std::vector<std::string> englishFragments() {
  std::vector<std::string> fragments;
  for (const Report::PlotWord& word : Report::englishPlotWords()) {
    const std::string english(word.english);
    std::size_t start = 0;
    while (start <= english.size()) {
      const std::size_t open = std::min(english.find('{', start), english.size());
      const std::string piece = english.substr(start, open - start);
      if (std::regex_search(piece, std::regex("[A-Za-z]{3}"))) fragments.push_back(piece);
      const std::size_t close = english.find('}', open);
      if (close == std::string::npos) break;
      start = close + 1;
    }
  }
  return fragments;
}

/// Every drawing the page shows of a wall with a stud layer, a profile and a moisture section,
/// in `words`, with names that are no English word.
std::vector<std::string> everyDrawing(const PlotWords& words) {
  static const Frontend::Catalogue catalogue = Frontend::Catalogue::builtIn();
  const Frontend::Wall wall = Frontend::parseWallText(
      "name = \"Wand\"\n[[layers]]\nname = \"Putz\"\nmaterial = \"plaster-gypsum\"\n"
      "thickness = 0.015\n[[layers]]\nname = \"Ziegel\"\nmaterial = \"brick-solid\"\n"
      "thickness = 0.24\n[[layers]]\nname = \"Luft\"\nthermal_resistance = 0.18\n[[layers]]\n"
      "name = \"Dämmung\"\nmaterial = \"insulation-mineral-wool\"\nthickness = 0.1\n",
      Frontend::WallFormat::Toml, catalogue, "wand.toml");
  std::vector<std::string> drawings;
  for (const double hours : {24.0, 168.0}) {
    const Report::WallPlots plots =
        Report::renderWallPlots({wall}, hours * Engine::kSecondsPerHour, {358.0, 150.0, 300.0, ""},
                                Report::DesignTemperatures{20.0, -5.0}, words);
    drawings.insert(drawings.end(), plots.sections.begin(), plots.sections.end());
    for (const std::string* svg :
         {&plots.outdoorResponse, &plots.indoorResponse, &plots.decrementSweep, &plots.lagSweep}) {
      drawings.push_back(*svg);
    }
  }
  std::string climate =
      "month,outdoor_temperature,outdoor_relative_humidity,indoor_temperature,"
      "indoor_relative_humidity\n";
  for (int m = 1; m <= 12; ++m) climate += std::to_string(m) + ",-5.5,90,20,60\n";
  const Frontend::Climate parsed = Frontend::parseClimateCsv(climate, "klima.csv");
  const Frontend::MoistureReport moisture = Frontend::assessMoisture(wall, parsed, "wand.toml");
  const Report::MoisturePlots plots =
      Report::renderMoisturePlots(moisture, 0, {358.0, 150.0}, words);
  drawings.insert(drawings.end(), {plots.glaser, plots.accumulation, plots.temperature});
  drawings.push_back(Report::renderMoistureMonthTable(moisture, parsed, words));
  Report::ReportProfile profile;
  profile.period = Engine::kDailyPeriod;
  profile.outdoor = {20.0, 24.0, 30.0, 26.0};
  profile.indoor = {25.0};
  const std::vector<Frontend::Wall> walls = {wall};
  const std::vector<Report::ComputedWall> computed =
      Report::computeWalls(walls, Engine::kDailyPeriod);
  const std::string part = Report::renderProfilePart(computed, profile, words);
  for (std::size_t at = part.find("<svg"); at != std::string::npos;
       at = part.find("<svg", at + 1)) {
    drawings.push_back(part.substr(at, part.find("</svg>", at) - at));
  }
  // A corner of the template, its environments the template's own (indoor, outdoor).
  Frontend::Junction junction = Frontend::parseJunctionText(
      R"({"name": "Ecke", "junction": {"type": "corner", "indoor_temperature": 20.5,
          "outdoor_temperature": -2.5, "walls": [{"name": "Wand", "layers": [
          {"name": "Ziegel", "material": "brick-solid", "thickness": 0.24},
          {"name": "Dämmung", "material": "insulation-mineral-wool", "thickness": 0.1}]}]}})",
      true, catalogue, "ecke.json", "");
  Engine::BridgeResult result = Frontend::computeJunction(junction);
  const Report::JunctionDrawings junctionDrawings =
      Report::renderJunctionDrawings({std::move(junction), std::move(result)}, 0, words);
  drawings.insert(drawings.end(), {junctionDrawings.section, junctionDrawings.field});
  return drawings;
}

/// The texts a reader sees of a drawing: its <text>s, its title, a table's cells.
std::vector<std::string> shownTexts(const std::string& drawing) {
  std::vector<std::string> texts;
  for (const TextBox& box : Testing::textBoxes(drawing)) texts.push_back(box.text);
  texts.push_back(Testing::attributeOf(drawing.substr(0, drawing.find('>')), "aria-label"));
  const std::regex cell("<t[hd][^>]*>([^<]*)</t[hd]>");
  for (auto match = std::sregex_iterator(drawing.begin(), drawing.end(), cell);
       match != std::sregex_iterator(); ++match) {
    texts.push_back(Testing::unescaped((*match)[1]));
  }
  return texts;
}

struct LanguageRow {
  const char* what;
  char separator;
};

std::ostream& operator<<(std::ostream& out, const LanguageRow& row) { return out << row.what; }

class PlotWordsLanguageTest : public testing::TestWithParam<LanguageRow> {};

// No text of any drawing holds an English word once the words are another language's, and
// with a decimal comma no number holds a point.
TEST_P(PlotWordsLanguageTest, EveryTextComesFromTheWordsGiven) {
  const LanguageRow& row = GetParam();
  const std::vector<std::string> fragments = englishFragments();
  ASSERT_GT(fragments.size(), 40u);
  std::size_t texts = 0;
  for (const std::string& drawing : everyDrawing(markedWords(row.separator))) {
    for (const std::string& text : shownTexts(drawing)) {
      ++texts;
      for (const std::string& fragment : fragments) {
        EXPECT_EQ(text.find(fragment), std::string::npos)
            << row.what << ": \"" << text << "\" holds the English \"" << fragment << "\"";
      }
      if (row.separator == ',') {
        EXPECT_FALSE(std::regex_search(text, std::regex("[0-9]\\.[0-9]")))
            << row.what << ": \"" << text << "\" has a decimal point";
      }
    }
  }
  EXPECT_GT(texts, 200u);
}

INSTANTIATE_TEST_SUITE_P(Separators, PlotWordsLanguageTest,
                         testing::Values(LanguageRow{"decimal comma", ','},
                                         LanguageRow{"decimal point", '.'}));

}  // namespace
