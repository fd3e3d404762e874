// The page as a whole: every figure once, one table column per wall, nothing fetched, text
// escaped, and a Frontend::Error for anything that cannot be drawn or computed.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "brusk/engine/wall_result.h"
#include "brusk/frontend/error.h"
#include "brusk/report/html_report.h"
#include "example_walls.h"
#include "text_count.h"
#include "text_format.h"

namespace {

using namespace Brusk;
using namespace Brusk::Report;
using Frontend::Error;
using Frontend::Wall;

using Brusk::Testing::countOf;

class ReportOfWallsTest : public testing::TestWithParam<std::size_t> {
protected:
  std::vector<Wall> walls() const {
    std::vector<Wall> all = Examples::threeWalls();
    all.resize(GetParam());
    return all;
  }
};

TEST_P(ReportOfWallsTest, HasEveryFigureOnceAndAColumnPerWall) {
  const std::string html = renderHtmlReport(walls(), {});
  for (const char* id : {"results-table", "response-outdoor", "response-indoor",
                         "frequency-response", "response-outdoor-plot", "response-indoor-plot",
                         "frequency-decrement-plot", "frequency-lag-plot"}) {
    EXPECT_EQ(countOf(html, "id=\"" + std::string(id) + "\""), 1U) << id;
  }
  for (std::size_t index = 0; index < GetParam(); ++index) {
    EXPECT_EQ(countOf(html, "id=\"section-" + std::to_string(index) + "\""), 1U);
  }
  EXPECT_EQ(countOf(html, "id=\"section-" + std::to_string(GetParam()) + "\""), 0U);
  EXPECT_EQ(countOf(html, "<th scope=\"col\" class=\"wall\">"), GetParam());
}

TEST_P(ReportOfWallsTest, IdsAreUniqueAcrossAllInlineDrawings) {
  const std::string html = renderHtmlReport(walls(), {});
  const std::string marker = " id=\"";
  std::set<std::string> seen;
  for (std::size_t at = html.find(marker); at != std::string::npos;
       at = html.find(marker, at + 1)) {
    const std::size_t start = at + marker.size();
    const std::string id = html.substr(start, html.find('"', start) - start);
    EXPECT_TRUE(seen.insert(id).second) << "duplicate id " << id;
  }
  EXPECT_GT(seen.size(), 5U);
}

TEST_P(ReportOfWallsTest, FetchesNothing) {
  const std::string html = renderHtmlReport(walls(), {});
  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_EQ(html.find("<link"), std::string::npos);
  EXPECT_EQ(html.find("src="), std::string::npos);
  EXPECT_EQ(html.find("url(http"), std::string::npos);
  // The only address is the SVG namespace, once per drawing.
  EXPECT_EQ(countOf(html, "http"), countOf(html, "xmlns=\"http://www.w3.org/2000/svg\""));
}

INSTANTIATE_TEST_SUITE_P(OneToThreeWalls, ReportOfWallsTest, testing::Values(1U, 2U, 3U));

TEST(HtmlReportTest, TableShowsTheDailyResultsOfEachWall) {
  const std::vector<Wall> walls = Examples::threeWalls();
  const std::string html = renderHtmlReport(walls, {});
  for (const Wall& wall : walls) {
    const Engine::WallOutcome outcome = Engine::compute(wall.request);
    ASSERT_TRUE(std::holds_alternative<Engine::WallResult>(outcome));
    const Engine::WallResult& result = std::get<Engine::WallResult>(outcome);
    const double lag =
        Engine::timeLagHours(result.periodicThermalTransmittance, Engine::kDailyPeriod);
    for (const std::string& cell :
         {formatNumber(result.uValue, 3), formatNumber(result.decrementFactor, 3),
          formatNumber(lag, 2), formatNumber(result.internalAdmittance.getModulus(), 3)}) {
      EXPECT_NE(html.find("<td class=\"value\">" + cell + "</td>"), std::string::npos)
          << wall.name << ": " << cell;
    }
  }
}

TEST(HtmlReportTest, AirLayerIsLabelledWithItsResistance) {
  const std::string html = renderHtmlReport({Examples::timberFrame()}, {});
  EXPECT_NE(html.find("Ventilated cavity \u2014 R 0.13 m\u00B2\u00B7K/W"), std::string::npos);
  EXPECT_NE(html.find("Gypsum board \u2014 12.5 mm"), std::string::npos);
  EXPECT_NE(html.find("Vapour control layer \u2014 0.2 mm"), std::string::npos);
}

TEST(HtmlReportTest, UserTextIsEscapedEverywhere) {
  Wall wall = Examples::solidBrick();
  wall.name = "<b>Brick & \"mortar\"</b>";
  wall.labels[1].name = "<i>clay</i>";
  ReportOptions options;
  options.title = "<script>alert(1)</script>";
  const std::string html = renderHtmlReport({wall}, options);
  EXPECT_EQ(html.find("<b>"), std::string::npos);
  EXPECT_EQ(html.find("<i>clay"), std::string::npos);
  EXPECT_EQ(html.find("<script>"), std::string::npos);
  EXPECT_NE(html.find("&lt;b&gt;Brick &amp; &quot;mortar&quot;&lt;/b&gt;"), std::string::npos);
}

TEST(HtmlReportTest, AmplitudeScalesTheSwingPlots) {
  ReportOptions options;
  options.temperatureAmplitude = 3.0;
  const std::string html = renderHtmlReport({Examples::solidBrick()}, options);
  EXPECT_NE(html.find("A = ±3.00 K"), std::string::npos);
}

struct RejectedCase {
  std::string name;
  std::vector<Wall> walls;
  double amplitude;
};

void PrintTo(const RejectedCase& rejected, std::ostream* out) { *out << rejected.name; }

class RejectedReportTest : public testing::TestWithParam<RejectedCase> {};

TEST_P(RejectedReportTest, ThrowsBruskError) {
  ReportOptions options;
  options.temperatureAmplitude = GetParam().amplitude;
  EXPECT_THROW((void)renderHtmlReport(GetParam().walls, options), Error);
}

Wall withLayer(Examples::ExampleLayer layer) {
  return Examples::wallOf("Broken", {std::move(layer)});
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, RejectedReportTest,
    testing::Values(
        RejectedCase{"NoWalls", {}, 1.0},
        RejectedCase{"ZeroAmplitude", {Examples::solidBrick()}, 0.0},
        RejectedCase{"NegativeAmplitude", {Examples::solidBrick()}, -1.0},
        RejectedCase{"AbsurdAmplitude", {Examples::solidBrick()}, 1e308},
        RejectedCase{"AmplitudeNotANumber",
                     {Examples::solidBrick()},
                     std::numeric_limits<double>::quiet_NaN()},
        RejectedCase{"WallWithoutLayers", {Examples::wallOf("Empty", {})}, 1.0},
        RejectedCase{"ZeroConductivity",
                     {withLayer(Examples::slab("Void", "other", 0.1, 0.0, 1000, 1000))},
                     1.0},
        RejectedCase{"NegativeResistance", {withLayer(Examples::airLayer("Gap", -0.1))}, 1.0},
        // Far beyond what a daily-cycle transfer matrix can hold in doubles.
        RejectedCase{"MatrixOverflow",
                     {withLayer(Examples::slab("Bedrock", "stone", 300.0, 2.3, 2300, 1000))},
                     1.0}),
    [](const testing::TestParamInfo<RejectedCase>& param) { return param.param.name; });

// Past the seven colours, walls repeat them with another dash: no two series look alike.
TEST(HtmlReportTest, ManyWallsStayDistinguishable) {
  std::vector<Wall> walls;
  for (int i = 0; i < 15; ++i) {
    Wall wall = Examples::solidBrick();
    wall.name = "Wall " + std::to_string(i);
    walls.push_back(wall);
  }
  const std::string html = renderHtmlReport(walls, {});
  const std::size_t start = html.find("id=\"frequency-decrement-plot\"");
  const std::string plot = html.substr(start, html.find("id=\"frequency-lag-plot\"") - start);
  // Each wall's curve is one path of width 2; its colour and dash tell it apart.
  std::set<std::string> styles;
  std::size_t curves = 0;
  for (std::size_t at = plot.find("<path d=\"M"); at != std::string::npos;
       at = plot.find("<path d=\"M", at + 1)) {
    const std::string element = plot.substr(at, plot.find('>', at) - at);
    if (element.find("stroke-width=\"2\"") == std::string::npos) continue;
    ++curves;
    const auto attribute = [&](const std::string& name) {
      const std::size_t found = element.find(name + "=\"");
      if (found == std::string::npos) return std::string();
      const std::size_t valueStart = found + name.size() + 2;
      return element.substr(valueStart, element.find('"', valueStart) - valueStart);
    };
    styles.insert(attribute("stroke") + "/" + attribute("stroke-dasharray"));
  }
  EXPECT_EQ(15u, curves);
  EXPECT_EQ(15u, styles.size());
}

TEST(HtmlReportTest, WallTooThickForShortCyclesStillRenders) {
  // Twenty metres overflow below a few hours' cycle but not at a day: gaps, not a failure.
  const Wall wall = withLayer(Examples::slab("Earth bank", "soil", 20.0, 2.0, 2000, 1000));
  const std::string html = renderHtmlReport({wall}, {});
  EXPECT_NE(html.find("id=\"frequency-decrement-plot\""), std::string::npos);
}

}  // namespace
