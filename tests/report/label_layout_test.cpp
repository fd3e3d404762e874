// Where the drawings put their labels: no two texts on top of each other and every text inside
// its drawing, at the report's width and a phone's, in English and in longer German words. The
// Glaser diagram of a wall whose thin layers sit close together on the s_d axis staggers their
// labels (each beside its own line) instead of piling them up or cutting the last one off.
#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/frontend/moisture.h"
#include "brusk/frontend/wall_parser.h"
#include "brusk/report/moisture_section.h"
#include "brusk/report/plot_words.h"
#include "brusk/report/plots.h"
#include "svg_text_boxes.h"

namespace {

using namespace Brusk;
using Testing::TextBox;

/// Masonry rendered outside with three coats under 5 mm each: on the s_d axis their faces lie
/// within a few per cent of the whole, at its outer end.
const char* const kThinCoatsWall = R"(name = "Rendered brick"
[[layers]]
name = "Gypsum skim"
material = "plaster-gypsum"
thickness = 0.004
[[layers]]
name = "Solid clay brick"
material = "brick-solid"
thickness = 0.24
[[layers]]
name = "Base coat adhesive"
thickness = 0.004
conductivity = 0.8
density = 1400
specific_heat = 1000
vapour_resistance_factor = 20
[[layers]]
name = "Reinforcing mesh coat"
thickness = 0.003
conductivity = 0.8
density = 1400
specific_heat = 1000
vapour_resistance_factor = 25
[[layers]]
name = "Silicate finish"
thickness = 0.002
conductivity = 0.7
density = 1600
specific_heat = 1000
vapour_resistance_factor = 40
)";

Frontend::Wall thinCoatsWall() {
  static const Frontend::Catalogue catalogue = Frontend::Catalogue::builtIn();
  return Frontend::parseWallText(kThinCoatsWall, Frontend::WallFormat::Toml, catalogue,
                                 "rendered.toml");
}

Frontend::Climate coldClimate() {
  std::string text =
      "month,outdoor_temperature,outdoor_relative_humidity,indoor_temperature,"
      "indoor_relative_humidity\n";
  for (int m = 1; m <= 12; ++m) text += std::to_string(m) + ",-8,90,20,65\n";
  return Frontend::parseClimateCsv(text, "cold.csv");
}

/// Longer words than the English, as a German page gives them.
Report::PlotWords germanWords() {
  return Report::PlotWords(
      {{"glaser.title", "Glaser-Diagramm, {month}: Wasserdampfteildruck über s_d"},
       {"glaser.x_axis",
        "wasserdampfdiffusionsäquivalente Luftschichtdicke s_d ab der Innenoberfläche (m)"},
       {"glaser.x_axis_short", "s_d ab der Innenoberfläche (m)"},
       {"glaser.y_axis", "Druck (Pa)"},
       {"glaser.saturation", "Sättigungsdampfdruck p_sat"},
       {"glaser.vapour", "Wasserdampfteildruck p (Tangentenverfahren)"},
       {"sweep.decrement.title", "Temperaturamplitudenverhältnis über der Periodendauer"},
       {"sweep.cycle_axis", "Periodendauer T (h), logarithmisch"},
       {"sweep.period", "T = {period}"},
       {"sweep.twelve_days", "12 Tage"},
       {"section.inside", "INNEN"},
       {"section.outside", "AUSSEN"},
       {"response.outdoor.title",
        "Schwankung der Außentemperatur und Wärmestrom an der "
        "Innenoberfläche"},
       {"response.outdoor.heat_flow_axis", "Wärmestromdichte in den Raum q (W/m²)"},
       {"response.outdoor.lag", "Verzögerung {time}"}},
      ',');
}

struct LayoutRow {
  const char* language;
  double width;
  double plotAreaHeight;
};

std::ostream& operator<<(std::ostream& out, const LayoutRow& row) {
  return out << row.language << " at " << row.width << " px";
}

/// Every pair of texts of `svg` that overlap, and every text outside its drawing, as failures.
void expectLabelsApartAndInside(const std::string& svg, const std::string& what) {
  const std::vector<TextBox> boxes = Testing::textBoxes(svg);
  ASSERT_FALSE(boxes.empty()) << what;
  const auto [width, height] = Testing::drawingSize(svg);
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    EXPECT_TRUE(boxes[i].left >= -0.5 && boxes[i].right <= width + 0.5 && boxes[i].top >= -0.5 &&
                boxes[i].bottom <= height + 0.5)
        << what << ": " << boxes[i] << " leaves the drawing of " << width << " x " << height;
    for (std::size_t j = i + 1; j < boxes.size(); ++j) {
      EXPECT_FALSE(Testing::overlap(boxes[i], boxes[j]))
          << what << ": " << boxes[i] << " overlaps " << boxes[j];
    }
  }
}

class LabelLayoutTest : public testing::TestWithParam<LayoutRow> {};

TEST_P(LabelLayoutTest, GlaserDiagramOfThinLayersKeepsEveryLabelApartAndInside) {
  const LayoutRow& row = GetParam();
  const Frontend::Wall wall = thinCoatsWall();
  const Frontend::MoistureReport report =
      Frontend::assessMoisture(wall, coldClimate(), "rendered.toml");
  const Report::PlotWords words =
      std::string(row.language) == "German" ? germanWords() : Report::PlotWords();
  const Report::MoisturePlots plots =
      Report::renderMoisturePlots(report, 0, {row.width, row.plotAreaHeight}, words);
  // Three faces of layers under 5 mm each, all named.
  for (const char* name : {"Reinforcing mesh coat", "Silicate finish", "Base coat adhesive"}) {
    EXPECT_NE(plots.glaser.find(std::string(">") + name + "</text>"), std::string::npos)
        << row << ": " << name;
  }
  expectLabelsApartAndInside(plots.glaser, "Glaser diagram");
  expectLabelsApartAndInside(plots.temperature, "temperature profile");
  expectLabelsApartAndInside(plots.accumulation, "accumulation");
}

TEST_P(LabelLayoutTest, WallDrawingsKeepEveryLabelApartAndInside) {
  const LayoutRow& row = GetParam();
  const Report::PlotWords words =
      std::string(row.language) == "German" ? germanWords() : Report::PlotWords();
  for (const double hours : {24.0, 168.0, 300.0}) {
    const Report::WallPlots plots = Report::renderWallPlots(
        {thinCoatsWall()}, hours * Engine::kSecondsPerHour,
        {row.width, row.plotAreaHeight, 520.0, ""}, Report::DesignTemperatures{20.0, -5.0}, words);
    const std::string at = " at " + std::to_string(static_cast<int>(hours)) + " h";
    expectLabelsApartAndInside(plots.decrementSweep, "decrement sweep" + at);
    expectLabelsApartAndInside(plots.lagSweep, "lag sweep" + at);
    expectLabelsApartAndInside(plots.outdoorResponse, "outdoor response" + at);
    expectLabelsApartAndInside(plots.indoorResponse, "indoor response" + at);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Widths, LabelLayoutTest,
    testing::Values(LayoutRow{"English", 880.0, 280.0}, LayoutRow{"English", 600.0, 220.0},
                    LayoutRow{"English", 358.0, 150.0}, LayoutRow{"English", 300.0, 150.0},
                    LayoutRow{"German", 880.0, 280.0}, LayoutRow{"German", 358.0, 150.0},
                    LayoutRow{"German", 300.0, 150.0}));

}  // namespace
