// The section drawing of a layer of parts: its pattern repeated across the height (studs as
// narrow rectangles spaced through the infill), not one band per part, which reads as layers.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/wall_parser.h"
#include "wall_section.h"

namespace {

struct Rectangle {
  double x = 0.0;
  double y = 0.0;
  double width = 0.0;
  double height = 0.0;
  std::string fill;
};

/// Every <rect> of an SVG drawing, in drawing order.
std::vector<Rectangle> rectanglesOf(const std::string& svg) {
  static const std::regex rect(
      "<rect x=\"([-0-9.]+)\" y=\"([-0-9.]+)\" width=\"([-0-9.]+)\" height=\"([-0-9.]+)\" "
      "fill=\"([^\"]*)\"");
  std::vector<Rectangle> found;
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), rect); it != std::sregex_iterator();
       ++it) {
    found.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]),
                     std::stod((*it)[4]), (*it)[5]});
  }
  return found;
}

Brusk::Frontend::Wall wallOf(const std::string& partsToml) {
  const std::string text =
      "name = \"Parts\"\n"
      "[[layers]]\nmaterial = \"board-gypsum\"\nthickness = 0.0125\n"
      "[[layers]]\nthickness = 0.14\n" +
      partsToml;
  return Brusk::Frontend::parseWallText(text, Brusk::Frontend::WallFormat::Toml,
                                        Brusk::Frontend::Catalogue::builtIn(), "parts.toml");
}

std::string part(const char* material, double fraction) {
  return "[[layers.parts]]\nmaterial = \"" + std::string(material) +
         "\"\nfraction = " + std::to_string(fraction) + "\n";
}

// The section is 120 px high from y = 12 and the pattern repeats three times (40 px each).
constexpr double kTop = 12.0;
constexpr double kRepeat = 40.0;

TEST(WallSection, PartsRepeatAcrossTheHeightAsNarrowBandsInTheInfill) {
  struct Row {
    const char* what;
    std::string parts;
    std::string infillFamily;
    /// The bands of one repeat, top down: family and share of the repeat.
    std::vector<std::pair<std::string, double>> bands;
  };
  const Row rows[] = {
      {"studs in mineral wool",
       part("timber-softwood", 0.15) + part("insulation-mineral-wool", 0.85),
       "insulation",
       {{"timber", 0.15}}},
      // The infill is the largest share wherever it is listed.
      {"wool listed first",
       part("insulation-mineral-wool", 0.9) + part("timber-softwood", 0.1),
       "insulation",
       {{"timber", 0.1}}},
      {"two kinds of bridge",
       part("timber-softwood", 0.1) + part("insulation-wood-fibre", 0.85) +
           part("metal-steel", 0.05),
       "insulation",
       {{"timber", 0.1}, {"metal", 0.05}}},
      // Mostly timber: the wool is then the band, as a drawing of the same wall would show.
      {"mostly timber",
       part("timber-softwood", 0.6) + part("insulation-mineral-wool", 0.4),
       "timber",
       {{"insulation", 0.4}}},
  };
  for (const Row& row : rows) {
    const Brusk::Frontend::Wall wall = wallOf(row.parts);
    const std::vector<Rectangle> drawn =
        rectanglesOf(Brusk::Report::renderWallSection(wall, "s", 1000.0));
    // The parts layer's left edge: right of the board's 12.5 mm at 1000 px/m.
    const double left = 48.0 + 12.5;
    std::vector<Rectangle> inLayer;
    for (const Rectangle& r : drawn) {
      if (std::fabs(r.x - left) < 0.01 && std::fabs(r.width - 140.0) < 0.01) inLayer.push_back(r);
    }
    ASSERT_EQ(1u + 3u * row.bands.size(), inLayer.size()) << row.what;
    // First the infill over the whole layer, then the bands of each repeat.
    EXPECT_EQ(Brusk::Report::familyColour(row.infillFamily), inLayer[0].fill) << row.what;
    EXPECT_DOUBLE_EQ(kTop, inLayer[0].y) << row.what;
    EXPECT_DOUBLE_EQ(120.0, inLayer[0].height) << row.what;
    double bandsShare = 0.0;
    for (const auto& band : row.bands) bandsShare += band.second;
    std::size_t next = 1;
    for (int copy = 0; copy < 3; ++copy) {
      // The bands together are centred in their repeat.
      double y = kTop + copy * kRepeat + (1.0 - bandsShare) * kRepeat / 2.0;
      for (const auto& [family, share] : row.bands) {
        const Rectangle& r = inLayer[next++];
        EXPECT_EQ(Brusk::Report::familyColour(family), r.fill) << row.what << " " << family;
        EXPECT_NEAR(y, r.y, 0.006) << row.what << " repeat " << copy;
        EXPECT_NEAR(share * kRepeat, r.height, 0.006) << row.what << " repeat " << copy;
        y += share * kRepeat;
      }
    }
  }
}

TEST(WallSection, PlainLayersStayOneRectangleEach) {
  const Brusk::Frontend::Wall wall = Brusk::Frontend::parseWallText(
      "[[layers]]\nmaterial = \"brick-solid\"\nthickness = 0.2\n"
      "[[layers]]\nmaterial = \"insulation-eps\"\nthickness = 0.1\n",
      Brusk::Frontend::WallFormat::Toml, Brusk::Frontend::Catalogue::builtIn(), "plain.toml");
  std::size_t fullHeight = 0;
  for (const Rectangle& r : rectanglesOf(Brusk::Report::renderWallSection(wall, "s", 1000.0))) {
    if (r.y == kTop && r.height == 120.0 && r.fill != "none") ++fullHeight;
  }
  EXPECT_EQ(2u, fullHeight);
}

}  // namespace
