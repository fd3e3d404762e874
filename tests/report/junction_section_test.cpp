// A junction in the report: the isolines traced through a sampled field, the isotherm spacing and
// colours, and the section with its drawings, results from the quantity description and escaped
// names; a page of junctions alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "brusk/engine/quantities.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/junction.h"
#include "brusk/report/html_report.h"
#include "brusk/report/junction_section.h"
#include "isolines.h"
#include "text_count.h"
#include "text_format.h"

namespace {

using namespace Brusk;
using Brusk::Testing::countOf;
using Report::LatticePoint;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

/// A lattice of columns x rows filled by f(i, j).
template <typename F>
std::vector<double> lattice(std::size_t columns, std::size_t rows, F f) {
  std::vector<double> values(columns * rows);
  for (std::size_t j = 0; j < rows; ++j) {
    for (std::size_t i = 0; i < columns; ++i) {
      values[i + j * columns] = f(static_cast<double>(i), static_cast<double>(j));
    }
  }
  return values;
}

struct IsolineCase {
  std::string name;
  std::size_t columns, rows;
  std::vector<double> values;
  double level;
  std::size_t lines;   ///< chains expected
  std::size_t points;  ///< points of all chains together
  bool closed;         ///< the first chain ends where it starts
};

std::ostream& operator<<(std::ostream& out, const IsolineCase& c) { return out << c.name; }

class IsolineTest : public testing::TestWithParam<IsolineCase> {};

TEST_P(IsolineTest, ChainsCrossingsIntoLines) {
  const IsolineCase& c = GetParam();
  const auto lines = Report::traceIsolines(c.values, c.columns, c.rows, c.level);
  ASSERT_EQ(lines.size(), c.lines);
  std::size_t points = 0;
  for (const auto& line : lines) {
    points += line.size();
    // Every point lies where the bilinear field takes the level: on a lattice edge, linearly.
    for (const LatticePoint& p : line) {
      const double fi = std::floor(p.i), fj = std::floor(p.j);
      const auto i = static_cast<std::size_t>(fi), j = static_cast<std::size_t>(fj);
      const double a = c.values[i + j * c.columns];
      const double b =
          p.i > fi ? c.values[i + 1 + j * c.columns] : c.values[i + (j + 1) * c.columns];
      const double t = p.i > fi ? p.i - fi : p.j - fj;
      EXPECT_NEAR(a + t * (b - a), c.level, 1e-12) << p.i << ", " << p.j;
    }
  }
  EXPECT_EQ(points, c.points);
  if (c.lines > 0) {
    const LatticePoint first = lines[0].front(), last = lines[0].back();
    EXPECT_EQ(first.i == last.i && first.j == last.j, c.closed);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, IsolineTest,
    testing::Values(
        // v = i: one straight open line at i = 2.5 through all four rows.
        IsolineCase{"Ramp", 5, 4, lattice(5, 4, [](double i, double) { return i; }), 2.5, 1, 4,
                    false},
        // A bump in the middle: one closed ring (its start repeated at its end).
        IsolineCase{
            "Bump", 5, 5,
            lattice(5, 5,
                    [](double i, double j) { return -((i - 2) * (i - 2) + (j - 2) * (j - 2)); }),
            -1.5, 1, 13, true},
        // The ramp with its middle sample undefined: the four squares around it hold no line,
        // so the line at i = 1.5 breaks into its top and bottom pieces.
        IsolineCase{"Hole", 5, 5,
                    lattice(5, 5, [](double i, double j) { return i == 2 && j == 2 ? kNaN : i; }),
                    1.5, 2, 4, false},
        // A saddle whose centre is above: the two low corners are cut off, two short lines.
        IsolineCase{"SaddleCentreAbove", 2, 2, {1.0, 0.0, 0.0, 1.0}, 0.4, 2, 4, false},
        // Outside the field's range: nothing.
        IsolineCase{"OutOfRange", 5, 4, lattice(5, 4, [](double i, double) { return i; }), 7.0, 0,
                    0, false},
        // A lattice of one row has no squares.
        IsolineCase{"OneRow", 5, 1, lattice(5, 1, [](double i, double) { return i; }), 2.5, 0, 0,
                    false}),
    [](const testing::TestParamInfo<IsolineCase>& param) { return param.param.name; });

TEST(IsolineTest, SaddleJoinsTheSideOfItsCentre) {
  // Corners 1 at (0,0) and (1,1), 0 at the others: with the centre above (level 0.4) the low
  // corners (1,0) and (0,1) are cut off, each line near its own corner; below (level 0.6) the
  // high corners are.
  const std::vector<double> values = {1.0, 0.0, 0.0, 1.0};
  for (const auto& [level, cornerI, cornerJ] :
       {std::tuple{0.4, 1.0, 0.0}, std::tuple{0.6, 0.0, 0.0}}) {
    const auto lines = Report::traceIsolines(values, 2, 2, level);
    ASSERT_EQ(lines.size(), 2u);
    bool aroundCorner = false;
    for (const auto& line : lines) {
      bool near = true;
      for (const LatticePoint& p : line) {
        near = near && std::fabs(p.i - cornerI) + std::fabs(p.j - cornerJ) <= 0.61;
      }
      aroundCorner = aroundCorner || near;
    }
    EXPECT_TRUE(aroundCorner) << level;
  }
}

TEST(IsolineTest, ManyLevelsAtOnceAreEachLevelAlone) {
  // A bump with a hole: closed rings, broken ones, and levels outside the range.
  const auto values = lattice(9, 7, [](double i, double j) {
    return i == 6 && j == 2 ? kNaN : 10.0 - (i - 4) * (i - 4) - 0.5 * (j - 3) * (j - 3);
  });
  const std::vector<double> levels = {-20.0, -5.0, 0.0, 3.5, 7.0, 9.5, 10.0, 11.0};
  const auto all = Report::traceIsolines(values, 9, 7, levels);
  ASSERT_EQ(all.size(), levels.size());
  for (std::size_t k = 0; k < levels.size(); ++k) {
    const auto alone = Report::traceIsolines(values, 9, 7, levels[k]);
    ASSERT_EQ(all[k].size(), alone.size()) << levels[k];
    for (std::size_t l = 0; l < alone.size(); ++l) {
      ASSERT_EQ(all[k][l].size(), alone[l].size());
      for (std::size_t p = 0; p < alone[l].size(); ++p) {
        EXPECT_EQ(all[k][l][p].i, alone[l][p].i);
        EXPECT_EQ(all[k][l][p].j, alone[l][p].j);
      }
    }
  }
  EXPECT_TRUE(all.front().empty());
  EXPECT_FALSE(all[4].empty());
}

struct StepCase {
  double coldest, warmest;
  double step;
  std::size_t levels;
  double firstLevel;
};

class IsothermStepTest : public testing::TestWithParam<StepCase> {};

TEST_P(IsothermStepTest, AtMostTwentyFiveLinesOnRoundValues) {
  const StepCase& c = GetParam();
  EXPECT_DOUBLE_EQ(Report::isothermStep(c.coldest, c.warmest), c.step);
  const std::vector<double> levels = Report::isothermLevels(c.coldest, c.warmest);
  ASSERT_EQ(levels.size(), c.levels);
  if (!levels.empty()) {
    EXPECT_NEAR(levels.front(), c.firstLevel, 1e-9);
    EXPECT_GT(levels.front(), c.coldest);
    EXPECT_LT(levels.back(), c.warmest);
  }
}

INSTANTIATE_TEST_SUITE_P(Spans, IsothermStepTest,
                         testing::Values(StepCase{0.0, 20.0, 1.0, 19, 1.0},  // the usual case
                                         StepCase{-10.0, 20.0, 2.0, 14, -8.0},
                                         StepCase{0.0, 100.0, 5.0, 19, 5.0},
                                         StepCase{0.0, 1.0, 0.05, 19, 0.05},
                                         StepCase{-3.5, 2.5, 0.5, 11, -3.0},
                                         StepCase{5.0, 5.0, 1.0, 0, 0.0}));  // no span

TEST(TemperatureColourTest, RunsFromBlueThroughPaleYellowToRed) {
  EXPECT_EQ(Report::temperatureColour(0.0), "#313695");
  EXPECT_EQ(Report::temperatureColour(0.5), "#ffffbf");
  EXPECT_EQ(Report::temperatureColour(1.0), "#a50026");
  EXPECT_EQ(Report::temperatureColour(-3.0), "#313695");
  EXPECT_EQ(Report::temperatureColour(7.0), "#a50026");
  EXPECT_EQ(Report::temperatureColour(kNaN), "#313695");
}

/// A concrete corner drawn by hand, with a probe and a name that is markup.
const char* const kCorner = R"(name = "<b>Corner</b>"
[[regions]]
name = "Concrete & more"
x = [0.0, 1.2]
y = [0.0, 0.2]
conductivity = 1.8
[[regions]]
name = "Concrete & more"
x = [0.0, 0.2]
y = [0.0, 1.2]
conductivity = 1.8
[environments.indoor]
temperature = 20.0
surface_resistance = 0.13
[environments.outdoor]
temperature = 0.0
surface_resistance = 0.04
[[boundaries]]
environment = "outdoor"
from = [0.0, 0.0]
to = [1.2, 0.0]
[[boundaries]]
environment = "outdoor"
from = [0.0, 0.0]
to = [0.0, 1.2]
[[boundaries]]
environment = "indoor"
from = [0.2, 0.2]
to = [1.2, 0.2]
[[boundaries]]
environment = "indoor"
from = [0.2, 0.2]
to = [0.2, 1.2]
[[flanking]]
u_value = 3.0
length = 2.0
dimensions = "internal"
[[probes]]
name = "<i>P</i>"
at = [0.1, 0.1]
)";

Frontend::JunctionReport cornerReport() {
  static const Frontend::Catalogue catalogue = Frontend::Catalogue::builtIn();
  Frontend::Junction junction =
      Frontend::parseJunctionText(kCorner, false, catalogue, "corner.toml", "");
  Engine::BridgeResult result = Frontend::computeJunction(junction);
  return {std::move(junction), std::move(result)};
}

TEST(JunctionSectionTest, DrawsBothPanelsAndTheResultsOfTheDescription) {
  const Frontend::JunctionReport report = cornerReport();
  const std::string html = Report::renderJunctionSection(report, 3);
  for (const char* id : {"id=\"junction-3\"", "id=\"junction-3-section\"",
                         "id=\"junction-3-field\"", "id=\"junction-3-results\""}) {
    EXPECT_EQ(countOf(html, id), 1u) << id;
  }
  // Names from the file are text, never markup.
  EXPECT_EQ(html.find("<b>Corner"), std::string::npos);
  EXPECT_EQ(html.find("<i>P</i>"), std::string::npos);
  EXPECT_NE(html.find("&lt;b&gt;Corner&lt;/b&gt;"), std::string::npos);
  EXPECT_NE(html.find("Concrete &amp; more"), std::string::npos);
  EXPECT_EQ(html.find("<script"), std::string::npos);
  // The results with the labels, symbols and decimals of the quantity description.
  const auto& psi = Engine::quantity(Engine::QuantityScope::Bridge, "psi");
  const auto& fRsi = Engine::quantity(Engine::QuantityScope::Bridge, "f_rsi");
  EXPECT_NE(html.find(std::string(psi.label) + "</th><td class=\"symbol\">" +
                      std::string(psi.symbolHtml) + "</td><td class=\"value\">" +
                      Report::formatNumber(report.result.psi[0].psi, psi.decimals) + "</td>"),
            std::string::npos);
  EXPECT_NE(html.find(std::string(fRsi.label) + "</th><td class=\"symbol\">" +
                      std::string(fRsi.symbolHtml) + "</td><td class=\"value\">" +
                      Report::formatNumber(*report.result.fRsi, fRsi.decimals) + "</td>"),
            std::string::npos);
  // The coldest indoor surface point is marked with its temperature, at the re-entrant corner.
  const auto& theta =
      Engine::quantity(Engine::QuantityScope::Bridge, "minimum_surface_temperature.value");
  EXPECT_NE(html.find(std::string(theta.symbolUnicode) + " = " +
                      Report::formatNumber(report.result.minimumSurface->temperature, 2)),
            std::string::npos);
  EXPECT_DOUBLE_EQ(report.result.minimumSurface->x, 0.2);
  EXPECT_DOUBLE_EQ(report.result.minimumSurface->y, 0.2);
  // One isotherm path per whole degree the field passes through (the raster may miss a level
  // the field only just reaches at a corner).
  double coldest = 100.0, warmest = -100.0;
  for (double t : report.result.field.temperature) {
    if (std::isfinite(t)) coldest = std::min(coldest, t), warmest = std::max(warmest, t);
  }
  const std::string field = html.substr(html.find("id=\"junction-3-field\""));
  const std::size_t paths = countOf(field.substr(0, field.find("</svg>")), "stroke=\"#333\"");
  EXPECT_LE(paths, static_cast<std::size_t>(std::floor(warmest) - std::floor(coldest)));
  EXPECT_GE(paths,
            static_cast<std::size_t>(std::floor(warmest - 0.2) - std::ceil(coldest + 0.2)) + 1);
  // One material, listed once; the flanking element with its dimension system.
  EXPECT_EQ(countOf(html, "Concrete &amp; more</td>"), 1u);
  EXPECT_NE(html.find("<td class=\"name\">internal</td>"), std::string::npos);
}

TEST(JunctionSectionTest, APageOfJunctionsAlone) {
  Report::ReportOptions options;
  options.junctions.push_back(cornerReport());
  const std::string page = Report::renderHtmlReport({}, options);
  EXPECT_NE(page.find("One junction in two dimensions after ISO 10211."), std::string::npos);
  EXPECT_EQ(page.find("id=\"results-table\""), std::string::npos);  // no walls, no wall table
  EXPECT_EQ(countOf(page, "<section class=\"junction\""), 1u);
  options.junctions.clear();
  try {
    (void)Report::renderHtmlReport({}, options);
    FAIL() << "a page of nothing was written";
  } catch (const Frontend::Error& error) {
    EXPECT_NE(std::string(error.what()).find("wall, zone or junction"), std::string::npos);
  }
}

}  // namespace
