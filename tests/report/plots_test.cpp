// The plots drawn alone, as the calculator page shows them: the same drawings as the report's,
// one section per wall, the size asked for, names escaped, and a Frontend::Error for what cannot
// be drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/engine/steady_profile.h"
#include "brusk/frontend/error.h"
#include "brusk/report/html_report.h"
#include "brusk/report/plots.h"
#include "example_walls.h"
#include "svg_writer.h"
#include "text_count.h"
#include "text_format.h"

namespace {

using namespace Brusk;
using namespace Brusk::Report;
using Brusk::Testing::countOf;
using Frontend::Wall;

std::vector<Wall> firstWalls(std::size_t count) {
  std::vector<Wall> all = Examples::threeWalls();
  all.resize(count);
  return all;
}

struct SameAsReportRow {
  const char* what;
  std::size_t walls;
  double periodHours;
};

std::ostream& operator<<(std::ostream& out, const SameAsReportRow& row) { return out << row.what; }

class PlotsSameAsReportTest : public testing::TestWithParam<SameAsReportRow> {};

// At the report's size every drawing is the one the report page holds, character for character.
TEST_P(PlotsSameAsReportTest, EveryDrawingIsInTheReport) {
  const SameAsReportRow& row = GetParam();
  const std::vector<Wall> walls = firstWalls(row.walls);
  ReportOptions options;
  options.period = row.periodHours * Engine::kSecondsPerHour;
  const std::string report = renderHtmlReport(walls, options);
  const WallPlots plots = renderWallPlots(walls, options.period);
  ASSERT_EQ(plots.sections.size(), row.walls) << row.what;
  for (const std::string& section : plots.sections) {
    EXPECT_NE(report.find(section), std::string::npos) << row.what << ": a section";
  }
  for (const std::string* svg :
       {&plots.outdoorResponse, &plots.indoorResponse, &plots.decrementSweep, &plots.lagSweep}) {
    EXPECT_EQ(svg->rfind("<svg", 0), 0U) << row.what;
    EXPECT_NE(report.find(*svg), std::string::npos) << row.what << ": " << svg->substr(0, 80);
  }
}

INSTANTIATE_TEST_SUITE_P(Walls, PlotsSameAsReportTest,
                         testing::Values(SameAsReportRow{"one wall, daily", 1, 24.0},
                                         SameAsReportRow{"two walls, weekly", 2, 168.0},
                                         SameAsReportRow{"three walls, 1.5 h", 3, 1.5}));

// Every drawing, the sections with their labels included (on two lines when narrow), is as
// wide as asked, so that a page can show it at its own size.
class PlotsWidthTest : public testing::TestWithParam<double> {};

TEST_P(PlotsWidthTest, EveryDrawingIsAsWideAsAsked) {
  const std::string width = "width=\"" + std::to_string(static_cast<int>(GetParam())) + "\"";
  const WallPlots plots =
      renderWallPlots(firstWalls(3), Engine::kDailyPeriod, {GetParam(), 180.0, 300.0, ""});
  for (const std::string* svg : {&plots.sections[0], &plots.sections[1], &plots.sections[2],
                                 &plots.outdoorResponse, &plots.decrementSweep}) {
    EXPECT_NE(svg->find(width), std::string::npos) << GetParam() << ": " << svg->substr(0, 200);
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, PlotsWidthTest, testing::Values(880.0, 420.0, 360.0));

struct DensityRow {
  double width;
  std::size_t responseSegments;  ///< line segments of a swing response's curve
  std::size_t
      sweepSegments;  ///< of a sweep's curve: its cycle lengths and the marked ones, less one
};

std::ostream& operator<<(std::ostream& out, const DensityRow& row) { return out << row.width; }

class PlotsDensityTest : public testing::TestWithParam<DensityRow> {};

// A narrower drawing samples its curves as densely per pixel as the report's: the report's 96
// steps a cycle and 100 cycle lengths at 880 px and wider, proportionally fewer below, never
// under 24 steps and 25 cycle lengths. The daily and 12-day cycles stay marked on the curve.
TEST_P(PlotsDensityTest, SamplesAsDenselyPerPixelAsTheReport) {
  const DensityRow& row = GetParam();
  const WallPlots plots =
      renderWallPlots(firstWalls(1), Engine::kDailyPeriod, {row.width, 180.0, 300.0, ""});
  // The temperature's curve and the wall's: one path each, every segment an " L".
  EXPECT_EQ(countOf(plots.outdoorResponse, " L"), 2 * row.responseSegments) << row.width;
  EXPECT_EQ(countOf(plots.decrementSweep, " L"), row.sweepSegments) << row.width;
  EXPECT_EQ(countOf(plots.decrementSweep, "<circle"), 2U) << row.width;
}

INSTANTIATE_TEST_SUITE_P(Widths, PlotsDensityTest,
                         testing::Values(DensityRow{1200.0, 192, 101}, DensityRow{880.0, 192, 101},
                                         DensityRow{358.0, 80, 42}, DensityRow{100.0, 48, 26}));

struct TitleRow {
  double width;
  std::size_t lines;  ///< of the outdoor response's title
};

std::ostream& operator<<(std::ostream& out, const TitleRow& row) { return out << row.width; }

class PlotsTitleTest : public testing::TestWithParam<TitleRow> {};

// A title longer than a phone-width drawing is broken between words into lines that fit it
// (the report's one line at its width), and the plot area moves down to make room.
TEST_P(PlotsTitleTest, TitleLinesFitTheDrawing) {
  const TitleRow& row = GetParam();
  const WallPlots plots =
      renderWallPlots(firstWalls(1), Engine::kDailyPeriod, {row.width, 180.0, 300.0, ""});
  const std::string& svg = plots.outdoorResponse;
  const std::string bold = "font-weight=\"bold\">";
  std::size_t found = 0;
  for (std::size_t at = svg.find(bold); at != std::string::npos; at = svg.find(bold, at + 1)) {
    const std::size_t begin = at + bold.size();
    const std::string line = svg.substr(begin, svg.find('<', begin) - begin);
    EXPECT_LE(estimateTextWidth(line, 14.0), row.width) << row.width << ": " << line;
    ++found;
  }
  EXPECT_EQ(row.lines, found) << svg.substr(0, 400);
}

// A vertical axis label longer than a short drawing is high gives way to its short form, in
// full at the report's size.
TEST(PlotsTest, VerticalLabelsFitTheirDrawing) {
  struct Row {
    double plotAreaHeight;
    const char* heatFlowLabel;
  };
  for (const Row& row :
       {Row{260.0, "heat-flow density into the room q (W/m²)"}, Row{180.0, "heat flow q (W/m²)"}}) {
    const WallPlots plots = renderWallPlots(firstWalls(1), Engine::kDailyPeriod,
                                            {358.0, row.plotAreaHeight, 300.0, ""});
    EXPECT_NE(plots.outdoorResponse.find(std::string(">") + row.heatFlowLabel + "</text>"),
              std::string::npos)
        << row.plotAreaHeight;
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, PlotsTitleTest,
                         testing::Values(TitleRow{880.0, 1}, TitleRow{358.0, 2},
                                         TitleRow{200.0, 3}));

TEST(PlotsTest, NamesAreEscaped) {
  std::vector<Wall> walls = firstWalls(1);
  walls[0].name = "<script>alert(1)</script> & co";
  walls[0].labels[0].name = "<b>plaster</b>";
  const WallPlots plots = renderWallPlots(walls, Engine::kDailyPeriod);
  for (const std::string& svg : {plots.sections[0], plots.outdoorResponse, plots.lagSweep}) {
    EXPECT_EQ(countOf(svg, "<script"), 0U) << svg.substr(0, 200);
    EXPECT_EQ(countOf(svg, "<b>"), 0U);
  }
  EXPECT_NE(plots.decrementSweep.find("&lt;script&gt;alert(1)&lt;/script&gt; &amp; co"),
            std::string::npos);
}

// With design temperatures each section carries the engine's steady profile, its inner and
// outer surface labelled; without, none (as in the report).
TEST(PlotsTest, SectionsShowTheSteadyProfile) {
  const std::vector<Wall> walls = firstWalls(2);
  const WallPlots plain = renderWallPlots(walls, Engine::kDailyPeriod);
  const WallPlots profiled =
      renderWallPlots(walls, Engine::kDailyPeriod, {}, DesignTemperatures{20.0, -5.0});
  for (std::size_t i = 0; i < walls.size(); ++i) {
    const auto profile = Engine::steadyTemperatureProfile(walls[i].request, 20.0, -5.0);
    ASSERT_TRUE(profile.has_value());
    for (const double theta : {profile->temperature.front(), profile->temperature.back()}) {
      const std::string label = formatNumber(theta, 1) + " °C";
      EXPECT_NE(profiled.sections[i].find(label), std::string::npos)
          << "wall " << i << ": " << label;
    }
    EXPECT_EQ(countOf(plain.sections[i], "°C"), 0U) << "wall " << i;
  }
  EXPECT_THROW((void)renderWallPlots(walls, Engine::kDailyPeriod, {},
                                     DesignTemperatures{std::nan(""), -5.0}),
               Frontend::Error);
}

struct RefusedRow {
  const char* what;
  std::size_t walls;
  double period;
  PlotLayout size;
};

std::ostream& operator<<(std::ostream& out, const RefusedRow& row) { return out << row.what; }

class PlotsRefusedTest : public testing::TestWithParam<RefusedRow> {};

TEST_P(PlotsRefusedTest, ThrowsTheFrontendError) {
  const RefusedRow& row = GetParam();
  EXPECT_THROW((void)renderWallPlots(firstWalls(row.walls), row.period, row.size), Frontend::Error)
      << row.what;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, PlotsRefusedTest,
    testing::Values(RefusedRow{"no wall", 0, Engine::kDailyPeriod, {}},
                    RefusedRow{"cycle under 1 s", 1, 0.5, {}},
                    RefusedRow{"cycle over a year", 1, 400.0 * Engine::kDailyPeriod, {}},
                    RefusedRow{"cycle NaN", 1, std::nan(""), {}},
                    RefusedRow{"zero width", 1, Engine::kDailyPeriod, {0.0, 300.0, 520.0, ""}},
                    RefusedRow{"infinite height",
                               1,
                               Engine::kDailyPeriod,
                               {880.0, std::numeric_limits<double>::infinity(), 520.0, ""}}));

}  // namespace
