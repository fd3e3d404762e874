// The moisture section of the report: the Glaser diagram of the month of most condensation, the
// twelve accumulation bars, the same numbers as `brusk moisture` prints, names escaped.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

#include "brusk/frontend/error.h"
#include "brusk/frontend/moisture.h"
#include "brusk/frontend/wall_parser.h"
#include "brusk/report/html_report.h"
#include "brusk/report/moisture_section.h"
#include "text_count.h"
#include "text_format.h"

namespace {

using namespace Brusk;
using Brusk::Testing::countOf;

Frontend::Climate climateOf(double january, double july) {
  std::string text =
      "month,outdoor_temperature,outdoor_relative_humidity,indoor_temperature,"
      "indoor_relative_humidity\n";
  for (int m = 1; m <= 12; ++m) {
    const double wave = std::cos(2.0 * 3.141592653589793 * (m - 1) / 12.0);
    const double theta = 0.5 * (january + july) + 0.5 * (january - july) * wave;
    text += std::to_string(m) + "," + std::to_string(theta) + ",85,20,50\n";
  }
  return Frontend::parseClimateCsv(text, "climate.csv");
}

Frontend::MoistureReport reportOf(const std::string& name, const Frontend::Climate& climate) {
  static const Frontend::Catalogue catalogue = Frontend::Catalogue::builtIn();
  const Frontend::Wall wall = Frontend::parseWallText(
      "name = \"" + name +
          "\"\n[[layers]]\nmaterial = \"board-gypsum\"\nthickness = 0.0125\n[[layers]]\n"
          "material = \"insulation-mineral-wool\"\nthickness = 0.08\n[[layers]]\n"
          "material = \"brick-solid\"\nthickness = 0.24\n",
      Frontend::WallFormat::Toml, catalogue, "wall.toml");
  return Frontend::assessMoisture(wall, climate, "wall.toml");
}

TEST(MoistureSection, DrawsTheMonthOfMostCondensationAndTwelveBars) {
  struct Row {
    const char* label;
    double january;
    double july;
    bool condenses;
  };
  const Row rows[] = {{"cold winter", -10.0, 16.0, true}, {"mild all year", 12.0, 19.0, false}};
  for (const Row& row : rows) {
    const Frontend::Climate climate = climateOf(row.january, row.july);
    const Frontend::MoistureReport report = reportOf("Brick & <wool>", climate);
    ASSERT_EQ(row.condenses, report.result.condenses) << row.label;
    const std::size_t month = Report::glaserMonth(report.result);
    for (std::size_t m = 0; m < 12; ++m) {
      EXPECT_LE(report.result.months[m].condensation, report.result.months[month].condensation)
          << row.label << ", month " << m + 1;
    }
    const std::string html = Report::renderMoistureSection(report, climate, 3);
    EXPECT_EQ(1u, countOf(html, "id=\"moisture-3-glaser\"")) << row.label;
    EXPECT_EQ(1u, countOf(html, "id=\"moisture-3-accumulation\"")) << row.label;
    EXPECT_EQ(1u, countOf(html, "id=\"moisture-3-temperature\"")) << row.label;
    EXPECT_EQ(0u, countOf(html, "<wool>")) << row.label;
    EXPECT_LE(1u, countOf(html, "Brick &amp; &lt;wool&gt;")) << row.label;
    // The table's numbers are those of the assessment, as brusk moisture prints them.
    for (std::size_t m = 0; m < 12; ++m) {
      const std::string cell =
          "<td>" + Report::formatNumber(report.result.months[m].accumulated * 1000.0, 1) + "</td>";
      EXPECT_NE(std::string::npos, html.find(cell)) << row.label << ", month " << m + 1;
    }
    EXPECT_EQ(row.condenses, html.find("No interstitial condensation") == std::string::npos)
        << row.label;
  }
}

struct MoisturePlotsRow {
  const char* label;
  double width;
  double plotAreaHeight;
};

std::ostream& operator<<(std::ostream& out, const MoisturePlotsRow& row) {
  return out << row.label;
}

class MoisturePlotsTest : public testing::TestWithParam<MoisturePlotsRow> {};

// The drawings alone, as the calculator page shows them: at the report's size the section's own,
// character for character; narrower, as wide as asked; the Glaser diagram with its p_sat and p
// lines, the profile with the temperature and the dew point; every name escaped.
TEST_P(MoisturePlotsTest, AreTheSectionsDrawingsAtTheSizeAsked) {
  const MoisturePlotsRow& row = GetParam();
  const Frontend::Climate climate = climateOf(-10.0, 16.0);
  const Frontend::MoistureReport report = reportOf("Brick & <wool>", climate);
  const Report::MoisturePlots plots =
      Report::renderMoisturePlots(report, 2, {row.width, row.plotAreaHeight});
  EXPECT_EQ(Report::glaserMonth(report.result), plots.month) << row.label;
  const std::string width = "width=\"" + Report::formatCoordinate(row.width) + "\"";
  for (const std::string* svg : {&plots.glaser, &plots.accumulation, &plots.temperature}) {
    EXPECT_EQ(0u, svg->rfind("<svg", 0)) << row.label;
    EXPECT_NE(std::string::npos, svg->find(width)) << row.label << ": " << svg->substr(0, 200);
    EXPECT_EQ(0u, countOf(*svg, "<wool>")) << row.label;
  }
  EXPECT_EQ(1u, countOf(plots.glaser, "id=\"moisture-2-glaser\"")) << row.label;
  EXPECT_EQ(1u, countOf(plots.glaser, "saturation pressure p_sat")) << row.label;
  EXPECT_EQ(1u, countOf(plots.glaser, "vapour pressure p (tangent construction)")) << row.label;
  EXPECT_EQ(2u, countOf(plots.glaser, "<path ")) << row.label;
  EXPECT_EQ(1u, countOf(plots.temperature, "dew point of p")) << row.label;
  EXPECT_EQ(2u, countOf(plots.temperature, "<path ")) << row.label;
  EXPECT_LE(1u, countOf(plots.accumulation, "Brick &amp; &lt;wool&gt;")) << row.label;
  if (row.width == Report::MoisturePlotLayout{}.width &&
      row.plotAreaHeight == Report::MoisturePlotLayout{}.plotAreaHeight) {
    const std::string html = Report::renderMoistureSection(report, climate, 2);
    for (const std::string* svg : {&plots.glaser, &plots.accumulation, &plots.temperature}) {
      EXPECT_NE(std::string::npos, html.find(*svg)) << row.label;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, MoisturePlotsTest,
                         testing::Values(MoisturePlotsRow{"the report's", 880.0, 280.0},
                                         MoisturePlotsRow{"phone width", 358.0, 150.0},
                                         MoisturePlotsRow{"wide", 1200.5, 300.0}));

TEST(MoisturePlots, RefusesASizeThatIsNotAPositiveNumberOfPixels) {
  const Frontend::Climate climate = climateOf(-10.0, 16.0);
  const Frontend::MoistureReport report = reportOf("A", climate);
  const Report::MoisturePlotLayout sizes[] = {
      {0.0, 280.0}, {880.0, -1.0}, {std::nan(""), 280.0}, {880.0, HUGE_VAL}};
  for (const Report::MoisturePlotLayout& size : sizes) {
    EXPECT_THROW((void)Report::renderMoisturePlots(report, 0, size), Frontend::Error)
        << size.width << " x " << size.plotAreaHeight;
  }
}

TEST(MoistureSection, ReportGetsOneSectionPerAssessedWall) {
  const Frontend::Climate climate = climateOf(-10.0, 16.0);
  static const Frontend::Catalogue catalogue = Frontend::Catalogue::builtIn();
  const Frontend::Wall wall =
      Frontend::parseWallText("[[layers]]\nmaterial = \"brick-solid\"\nthickness = 0.24\n",
                              Frontend::WallFormat::Toml, catalogue, "brick.toml");
  Report::ReportOptions options;
  options.moistureClimate = climate;
  options.moisture = {reportOf("A", climate), reportOf("B", climate)};
  const std::string html = Report::renderHtmlReport({wall}, options);
  EXPECT_EQ(1u, countOf(html, "<section id=\"moisture-0\">"));
  EXPECT_EQ(1u, countOf(html, "<section id=\"moisture-1\">"));
}

}  // namespace
