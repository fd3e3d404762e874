// A wall of parts in the report: its layers of parts drawn as repeated studs, the combined
// method's limits, and one row per path; a plain wall's page gets none of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/wall_parser.h"
#include "brusk/report/html_report.h"
#include "example_walls.h"
#include "text_count.h"

namespace {

using Brusk::Testing::countOf;

Brusk::Frontend::Wall studWall(const char* aligned) {
  const std::string text = std::string(aligned) +
                           "name = \"Studs\"\n"
                           "[[layers]]\nmaterial = \"board-gypsum\"\nthickness = 0.0125\n"
                           "[[layers]]\nthickness = 0.14\n"
                           "[[layers.parts]]\nmaterial = \"timber-softwood\"\nfraction = 0.15\n"
                           "[[layers.parts]]\nmaterial = \"insulation-mineral-wool\"\n"
                           "fraction = 0.85\n"
                           "[[layers]]\nthickness = 0.05\n"
                           "[[layers.parts]]\nmaterial = \"timber-softwood\"\nfraction = 0.15\n"
                           "[[layers.parts]]\nmaterial = \"insulation-wood-fibre\"\n"
                           "fraction = 0.85\n";
  return Brusk::Frontend::parseWallText(text, Brusk::Frontend::WallFormat::Toml,
                                        Brusk::Frontend::Catalogue::builtIn(), "studs.toml");
}

TEST(ElementReport, PartsAreDrawnAndEveryPathHasARow) {
  struct Row {
    const char* aligned;
    std::size_t paths;
  };
  for (const Row& row : {Row{"", 4}, Row{"parts_aligned = true\n", 2}}) {
    const std::string html = Brusk::Report::renderHtmlReport({studWall(row.aligned)}, {});
    EXPECT_EQ(1u, countOf(html, "ISO 6946:2017 combined method")) << row.paths;
    EXPECT_EQ(1u, countOf(html, "<th scope=\"col\">Path</th>")) << row.paths;
    // The second layer is named by its parts; independent patterns also cross a stud with the
    // wood fibre as a path, aligned ones never do.
    EXPECT_EQ(row.paths == 4 ? 2u : 1u,
              countOf(html, "\">Softwood (pine, spruce) / Wood fibre insulation</td>"))
        << row.paths;
    EXPECT_EQ(1u, countOf(html, "\">Mineral wool (glass wool) / Wood fibre insulation</td>"))
        << row.paths;
    // Each layer of parts repeats its studs three times, each 15 % of a 40 px repeat high, and
    // never as one band of 15 % of the 120 px section.
    EXPECT_EQ(6u, countOf(html, "height=\"6\"")) << row.paths;
    EXPECT_EQ(0u, countOf(html, "height=\"18\"")) << row.paths;
  }
}

TEST(ElementReport, PlainWallsHaveNoElementTables) {
  const std::string html =
      Brusk::Report::renderHtmlReport(Brusk::Report::Examples::threeWalls(), {});
  EXPECT_EQ(0u, countOf(html, "combined method"));
  EXPECT_EQ(0u, countOf(html, ">Path</th>"));
}

}  // namespace
