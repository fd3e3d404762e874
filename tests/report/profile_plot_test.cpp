// The report's part on periodic profiles: present only when asked for, one curve per wall in
// both plots, the summary of each wall, and refused profiles as Frontend::Error.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "brusk/frontend/error.h"
#include "brusk/report/html_report.h"
#include "example_walls.h"
#include "text_count.h"

namespace {

using namespace Brusk;
using namespace Brusk::Report;

using Brusk::Testing::countOf;

ReportProfile designDay() {
  ReportProfile profile;
  for (int h = 0; h < 24; ++h) {
    profile.outdoor.push_back(28.0 + 8.0 * std::cos(6.283185307179586 * (h - 15) / 24.0));
  }
  profile.indoor = {26.0};
  profile.outdoorSource = "day<1>.csv";
  profile.indoorSource = "--indoor-constant";
  return profile;
}

class ProfilePartTest : public testing::TestWithParam<std::size_t> {};

TEST_P(ProfilePartTest, DrawsEveryWallInBothPlotsAndSummarisesIt) {
  std::vector<Frontend::Wall> walls = Examples::threeWalls();
  walls.resize(GetParam());
  EXPECT_EQ(0u, countOf(renderHtmlReport(walls, {}), "id=\"profile\""));
  ReportOptions options;
  options.profile = designDay();
  const std::string html = renderHtmlReport(walls, options);
  EXPECT_EQ(1u, countOf(html, "id=\"profile-temperature-plot\""));
  EXPECT_EQ(1u, countOf(html, "id=\"profile-heat-flow-plot\""));
  EXPECT_EQ(GetParam(), countOf(html, "inner surface θsi \u2014 "));
  const std::size_t table = html.find("id=\"profile-summary\"");
  ASSERT_NE(std::string::npos, table);
  EXPECT_EQ(GetParam(),
            countOf(html.substr(table, html.find("</table>", table) - table), "<tr><td"));
  EXPECT_NE(std::string::npos, html.find("day&lt;1&gt;.csv")) << "file name escaped";
  EXPECT_NE(std::string::npos, html.find("held at 26.0 °C"));
}

INSTANTIATE_TEST_SUITE_P(OneToThreeWalls, ProfilePartTest, testing::Values(1U, 2U, 3U));

TEST(ProfilePartTest, RefusedProfilesThrowTheFrontendError) {
  ReportOptions options;
  options.profile = designDay();
  options.profile->outdoor[3] = std::nan("");
  EXPECT_THROW((void)renderHtmlReport(Examples::threeWalls(), options), Frontend::Error);
}

}  // namespace
