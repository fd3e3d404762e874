// The SVG and text primitives: escaping, number formats readers and browsers see, and gaps in
// curves where the engine could not compute a point.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>

#include "svg_writer.h"
#include "text_format.h"

namespace {

using namespace Brusk::Report;

struct NumberCase {
  double value;
  int decimals;
  const char* expected;
};

void PrintTo(const NumberCase& number, std::ostream* out) {
  *out << number.value << " to " << number.decimals << " decimals";
}

class FormatNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(FormatNumberTest, ReadsAsPeopleWriteIt) {
  EXPECT_EQ(formatNumber(GetParam().value, GetParam().decimals), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, FormatNumberTest,
    testing::Values(NumberCase{0.1234, 3, "0.123"}, NumberCase{-1.5, 1, "\u22121.5"},
                    NumberCase{-0.0001, 2, "0.00"}, NumberCase{-0.0, 1, "0.0"},
                    NumberCase{std::numeric_limits<double>::quiet_NaN(), 2, "\u2013"},
                    NumberCase{std::numeric_limits<double>::infinity(), 2, "\u2013"}));

TEST(FormatCoordinateTest, PlainShortAscii) {
  EXPECT_EQ(formatCoordinate(12.5), "12.5");
  EXPECT_EQ(formatCoordinate(3.0), "3");
  EXPECT_EQ(formatCoordinate(-0.001), "0");
  EXPECT_EQ(formatCoordinate(-7.256), "-7.26");
}

TEST(EscapeMarkupTest, EscapesEveryMarkupCharacter) {
  EXPECT_EQ(escapeMarkup("<a href='x'>\"R&D\"</a>"),
            "&lt;a href=&#39;x&#39;&gt;&quot;R&amp;D&quot;&lt;/a&gt;");
}

TEST(SvgWriterTest, PolylineBreaksAtPointsThatAreNotFinite) {
  const double gap = std::numeric_limits<double>::quiet_NaN();
  SvgWriter svg("plot", 100, 50, "t");
  svg.polyline({{0, 0}, {1, 1}, {gap, 2}, {3, 3}, {4, 4}}, {});
  const std::string markup = svg.finish();
  EXPECT_NE(markup.find("d=\"M0 0 L1 1 M3 3 L4 4\""), std::string::npos) << markup;
}

TEST(SvgWriterTest, TextAndTitleAreEscaped) {
  SvgWriter svg("plot", 100, 50, "Walls <A> & <B>");
  svg.text({1, 2}, "R < 0.5 & f > 0", {});
  const std::string markup = svg.finish();
  EXPECT_EQ(markup.find("<A>"), std::string::npos);
  EXPECT_NE(markup.find(">R &lt; 0.5 &amp; f &gt; 0</text>"), std::string::npos) << markup;
}

TEST(SvgWriterTest, ClipIdsAreScopedToTheElement) {
  SvgWriter first("first", 10, 10, "a");
  first.beginClip({0, 0}, 5, 5);
  first.endClip();
  SvgWriter second("second", 10, 10, "b");
  second.beginClip({0, 0}, 5, 5);
  second.endClip();
  EXPECT_NE(first.finish().find("id=\"first-clip-1\""), std::string::npos);
  EXPECT_NE(second.finish().find("id=\"second-clip-1\""), std::string::npos);
}

TEST(EstimateTextWidthTest, CountsCharactersNotBytes) {
  EXPECT_DOUBLE_EQ(estimateTextWidth("m²·K", 10.0), estimateTextWidth("mxyK", 10.0));
}

}  // namespace
