// The zone section of the report: a bar per element with its share of Cm, the class scale with
// the zone marked in its class, names escaped, and a page of zones alone.
#include <gtest/gtest.h>

#include <string>

#include "brusk/frontend/error.h"
#include "brusk/frontend/zone.h"
#include "brusk/report/html_report.h"
#include "brusk/report/zone_section.h"
#include "text_count.h"

namespace {

using namespace Brusk;

using Brusk::Testing::countOf;

Frontend::ZoneReport zoneReport(const std::string& text) {
  static const Frontend::Catalogue catalogue = Frontend::Catalogue::builtIn();
  Frontend::Zone zone = Frontend::parseZoneText(text, false, catalogue, "zone.toml", "");
  Engine::ZoneResult result = Frontend::computeZone(zone);
  return {std::move(zone), std::move(result)};
}

std::string element(const std::string& name, double area, const std::string& material,
                    double thickness) {
  return "[[elements]]\nname = \"" + name + "\"\narea = " + std::to_string(area) +
         "\n[[elements.layers]]\nmaterial = \"" + material +
         "\"\nthickness = " + std::to_string(thickness) + "\n";
}

struct ZoneSectionCase {
  std::string name;
  std::string zone;
  std::string massClass;
  std::size_t bars;
};

std::ostream& operator<<(std::ostream& out, const ZoneSectionCase& c) { return out << c.name; }

class ZoneSectionTest : public testing::TestWithParam<ZoneSectionCase> {};

TEST_P(ZoneSectionTest, BarsClassAndEscapedNames) {
  const Frontend::ZoneReport report = zoneReport(GetParam().zone);
  const std::string html = Report::renderZoneSection(report, 3);
  EXPECT_NE(html.find("id=\"zone-3\""), std::string::npos);
  EXPECT_NE(html.find("id=\"zone-3-shares\""), std::string::npos);
  EXPECT_NE(html.find("id=\"zone-3-class\""), std::string::npos);
  // One bar per element plus the five class bands, each a rectangle.
  EXPECT_EQ(countOf(html, "<rect"), GetParam().bars + 5);
  EXPECT_NE(html.find("<td class=\"value\">" + GetParam().massClass + "</td>"), std::string::npos);
  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_EQ(html.find("<b>"), std::string::npos);  // names are text, not markup
}

INSTANTIATE_TEST_SUITE_P(
    Zones, ZoneSectionTest,
    testing::Values(
        // 20 m2 of 12.5 mm plasterboard over 10 m2 of floor: far below 95 kJ/(m2.K).
        ZoneSectionCase{"light",
                        "floor_area = 10\n" + element("<b>Board</b>", 20, "board-gypsum", 0.0125),
                        "very-light", 1},
        // 60 m2 of 300 mm concrete over 10 m2: far above 315 kJ/(m2.K).
        ZoneSectionCase{"heavy",
                        "floor_area = 10\n" + element("Slab", 30, "concrete-reinforced", 0.3) +
                            element("Wall <b>", 30, "concrete-reinforced", 0.3),
                        "very-heavy", 2}));

TEST(ZoneReport, PageOfZonesAloneAndNoneRefused) {
  Report::ReportOptions options;
  options.zones.push_back(
      zoneReport("floor_area = 10\n" + element("Slab", 10, "concrete-reinforced", 0.2)));
  const std::string page = Report::renderHtmlReport({}, options);
  EXPECT_NE(page.find("id=\"zone-0\""), std::string::npos);
  EXPECT_EQ(page.find("id=\"results\""), std::string::npos);  // no wall results without walls
  EXPECT_THROW((void)Report::renderHtmlReport({}, Report::ReportOptions{}), Frontend::Error);
}

}  // namespace
