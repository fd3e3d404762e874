// The SVG and text primitives: escaping, number formats readers and browsers see, and gaps in
// curves where the engine could not compute a point.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
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

// %.2f with its trailing zeros dropped: what every coordinate must read as, digit for digit.
std::string referenceCoordinate(double value) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.2f", value);
  std::string text = buffer;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text == "-0" ? "0" : text;
}

class CoordinateTest : public testing::TestWithParam<double> {};

TEST_P(CoordinateTest, ReadsAsFixedTwoDecimals) {
  EXPECT_EQ(formatCoordinate(GetParam()), referenceCoordinate(GetParam()));
  std::string appended = "x=";
  appendCoordinate(appended, GetParam());
  EXPECT_EQ(appended, "x=" + referenceCoordinate(GetParam()));
}

// Exact halves (k/8) round to even; 1.015 and 2.675 lie just below a half though value * 100
// rounds to one; 0.005 and 1.005 just above or below; then signs, whole numbers, values beyond
// the fast path's range and ones that print as zero.
INSTANTIATE_TEST_SUITE_P(Halves, CoordinateTest,
                         testing::Values(0.125, 0.375, 0.625, 0.875, -0.125, 2.5, 1.015, 2.675,
                                         0.005, 1.005, -1.015, 1.0049999, 1.0050001, 12.5, 3.0,
                                         -0.001, -0.004, -0.006, -7.256, 0.1, 0.29, 100.0, 358.0,
                                         1e6 + 0.015, 9999999.994, 1e7, -1e7 - 0.005, 1.5e15, -0.0,
                                         0.0, 5e-324));

TEST(CoordinateTest, AgreesWithFixedTwoDecimalsOverManyValues) {
  // Pixel coordinates of every size a drawing uses, and many near a half of the last digit.
  unsigned state = 12345U;
  for (int index = 0; index < 200000; ++index) {
    state = state * 1664525U + 1013904223U;
    const double unit = static_cast<double>(state) / 4294967296.0;
    const double value = (unit - 0.3) * std::pow(10.0, index % 8);
    ASSERT_EQ(formatCoordinate(value), referenceCoordinate(value)) << value;
    const double nearHalf = std::round(value * 100.0) / 100.0 + 0.005;
    ASSERT_EQ(formatCoordinate(nearHalf), referenceCoordinate(nearHalf)) << nearHalf;
  }
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
