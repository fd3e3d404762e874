#include "line_plot.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "svg_writer.h"

namespace Brusk::Report {

namespace {

constexpr double kTitleHeight = 26.0;
constexpr double kIntervalRowHeight = 18.0;
constexpr double kLeftMargin = 64.0;
constexpr double kRightMarginWithAxis = 68.0;
constexpr double kRightMarginWithoutAxis = 20.0;
constexpr double kBottomMargin = 46.0;
constexpr double kLegendRowHeight = 20.0;
constexpr double kFontSize = 12.0;
const char* const kAxisColour = "#333";
const char* const kGridColour = "#e3e3e3";

struct DataRange {
  double low = std::numeric_limits<double>::infinity();
  double high = -std::numeric_limits<double>::infinity();
  void include(double value) {
    if (!std::isfinite(value)) return;
    low = std::min(low, value);
    high = std::max(high, value);
  }
  [[nodiscard]] bool isEmpty() const { return low > high; }
};

AxisScale scaleFor(const PlotAxis& axis, DataRange data) {
  if (!axis.ticks.empty() && axis.minimum && axis.maximum) {
    return {*axis.minimum, *axis.maximum, axis.ticks};
  }
  if (data.isEmpty()) data = {0.0, 1.0};
  if (axis.symmetricAboutZero) {
    const double extent = std::max(std::fabs(data.low), std::fabs(data.high));
    data = {-extent, extent};
  }
  if (axis.minimum) data.low = *axis.minimum;
  if (axis.maximum) data.high = *axis.maximum;
  if (axis.logarithmic) return logarithmicScale(data.low, data.high);
  return niceLinearScale(data.low, data.high, 7);
}

/// Maps data values to pixels along one direction of the plot area.
class AxisMapping {
public:
  AxisMapping(const AxisScale& scale, bool logarithmic, double pixelStart, double pixelEnd)
      : _logarithmic(logarithmic),
        _low(transform(scale.minimum)),
        _high(transform(scale.maximum)),
        _pixelStart(pixelStart),
        _pixelEnd(pixelEnd) {}

  [[nodiscard]] double operator()(double value) const {
    if (!std::isfinite(value) || (_logarithmic && value <= 0.0)) {
      return std::numeric_limits<double>::quiet_NaN();
    }
    const double fraction = (transform(value) - _low) / (_high - _low);
    return _pixelStart + fraction * (_pixelEnd - _pixelStart);
  }

private:
  [[nodiscard]] double transform(double value) const {
    return _logarithmic ? std::log10(value) : value;
  }
  bool _logarithmic;
  double _low;
  double _high;
  double _pixelStart;
  double _pixelEnd;
};

struct LegendEntry {
  std::string name;
  std::string colour;
  std::string dashes;
  double width = 0.0;
};

std::vector<std::vector<LegendEntry>> layoutLegend(const LinePlot& plot, double availableWidth) {
  std::vector<std::vector<LegendEntry>> rows(1);
  double rowWidth = 0.0;
  for (const PlotSeries& series : plot.series) {
    if (series.name.empty()) continue;
    const double entryWidth = 34.0 + estimateTextWidth(series.name, kFontSize) + 18.0;
    if (rowWidth > 0.0 && rowWidth + entryWidth > availableWidth) {
      rows.emplace_back();
      rowWidth = 0.0;
    }
    rows.back().push_back({series.name, series.colour, series.dashes, entryWidth});
    rowWidth += entryWidth;
  }
  if (rows.back().empty()) rows.pop_back();
  return rows;
}

constexpr double kTitleFontSize = 14.0;
constexpr double kTitleLineHeight = 18.0;
/// How far a vertical axis label may run past each end of the plot area [px].
constexpr double kVerticalLabelOverhang = 30.0;
/// Bold text runs about a tenth wider than the regular text estimateTextWidth measures.
constexpr double kBoldWidening = 1.1;

/// The title in lines that fit `room` pixels, broken between words: one line at the report's
/// width, two or more in a phone-width drawing, where one line would run off both sides.
std::vector<std::string> titleLines(const std::string& title, double room) {
  std::vector<std::string> lines;
  std::string line;
  std::size_t start = 0;
  while (start <= title.size()) {
    std::size_t end = title.find(' ', start);
    if (end == std::string::npos) end = title.size();
    const std::string word = title.substr(start, end - start);
    const std::string longer = line.empty() ? word : line + " " + word;
    if (!line.empty() && estimateTextWidth(longer, kTitleFontSize) * kBoldWidening > room) {
      lines.push_back(line);
      line = word;
    } else {
      line = longer;
    }
    start = end + 1;
  }
  lines.push_back(line);
  return lines;
}

}  // namespace

std::string renderLinePlot(const LinePlot& plot, const std::string& id, double width,
                           double plotAreaHeight) {
  DataRange xData;
  DataRange leftData;
  DataRange rightData;
  for (const PlotSeries& series : plot.series) {
    for (std::size_t index = 0; index < series.x.size() && index < series.y.size(); ++index) {
      if (!std::isfinite(series.y[index])) continue;
      xData.include(series.x[index]);
      (series.onRightAxis ? rightData : leftData).include(series.y[index]);
    }
  }
  const AxisScale xScale = scaleFor(plot.xAxis, xData);
  const AxisScale leftScale = scaleFor(plot.leftAxis, leftData);
  const bool hasRightAxis = plot.rightAxis.has_value();
  const AxisScale rightScale = hasRightAxis ? scaleFor(*plot.rightAxis, rightData) : leftScale;

  const double left = kLeftMargin;
  const double right = width - (hasRightAxis ? kRightMarginWithAxis : kRightMarginWithoutAxis);
  const std::vector<std::string> title = titleLines(plot.title, width - 24.0);
  const double top = kTitleHeight + static_cast<double>(title.size() - 1) * kTitleLineHeight +
                     static_cast<double>(plot.intervals.size()) * kIntervalRowHeight + 6.0;
  const double bottom = top + plotAreaHeight;
  const auto legendRows = layoutLegend(plot, width - 2.0 * kLeftMargin);
  const double height =
      bottom + kBottomMargin + static_cast<double>(legendRows.size()) * kLegendRowHeight + 6.0;

  const AxisMapping xPixel(xScale, plot.xAxis.logarithmic, left, right);
  const AxisMapping leftPixel(leftScale, false, bottom, top);
  const AxisMapping rightPixel(rightScale, false, bottom, top);
  const auto yPixel = [&](double value, bool onRightAxis) {
    return onRightAxis && hasRightAxis ? rightPixel(value) : leftPixel(value);
  };

  SvgWriter svg(id, width, height, plot.title);
  for (std::size_t line = 0; line < title.size(); ++line) {
    svg.text({width / 2.0, 18.0 + static_cast<double>(line) * kTitleLineHeight}, title[line],
             {TextAnchor::Middle, kTitleFontSize, "#111", true, 0.0});
  }

  // Grid and ticks.
  const SvgStroke gridStroke{kGridColour, 1.0, ""};
  const SvgStroke axisStroke{kAxisColour, 1.0, ""};
  const SvgTextStyle tickStyle{TextAnchor::Middle, 11.0, kAxisColour, false, 0.0};
  for (const AxisTick& tick : xScale.ticks) {
    const double x = xPixel(tick.value);
    svg.line({x, top}, {x, bottom}, gridStroke);
    svg.line({x, bottom}, {x, bottom + 5.0}, axisStroke);
    svg.text({x, bottom + 18.0}, tick.label, tickStyle);
  }
  for (const AxisTick& tick : leftScale.ticks) {
    const double y = leftPixel(tick.value);
    svg.line({left, y}, {right, y}, gridStroke);
    svg.line({left - 5.0, y}, {left, y}, axisStroke);
    svg.text({left - 8.0, y + 4.0}, tick.label, {TextAnchor::End, 11.0, kAxisColour, false, 0.0});
  }
  if (hasRightAxis) {
    for (const AxisTick& tick : rightScale.ticks) {
      const double y = rightPixel(tick.value);
      svg.line({right, y}, {right + 5.0, y}, axisStroke);
      svg.text({right + 8.0, y + 4.0}, tick.label,
               {TextAnchor::Start, 11.0, kAxisColour, false, 0.0});
    }
  }

  // Guides, curves and markers, kept inside the plot area.
  svg.beginClip({left, top}, right - left, bottom - top);
  for (const PlotGuide& guide : plot.guides) {
    const double x = xPixel(guide.x);
    svg.line({x, top}, {x, bottom}, {"#777", 1.0, "4 3"});
    svg.text({x + 4.0, top + 14.0}, guide.label, {TextAnchor::Start, 11.0, "#555", false, 0.0});
  }
  for (const PlotSeries& series : plot.series) {
    std::vector<SvgPoint> points;
    points.reserve(series.x.size());
    for (std::size_t index = 0; index < series.x.size() && index < series.y.size(); ++index) {
      points.push_back({xPixel(series.x[index]), yPixel(series.y[index], series.onRightAxis)});
    }
    svg.polyline(points, {series.colour, 2.0, series.dashes});
  }
  for (const PlotMarker& marker : plot.markers) {
    svg.circle({xPixel(marker.x), yPixel(marker.y, marker.onRightAxis)}, 4.0, "#fff",
               {marker.colour, 2.0, ""});
  }
  svg.endClip();

  // Frame and axis labels.
  svg.rectangle({left, top}, right - left, bottom - top, "none", axisStroke);
  svg.text({(left + right) / 2.0, bottom + 36.0}, plot.xAxis.label,
           {TextAnchor::Middle, kFontSize, "#222", false, 0.0});
  // A vertical label runs along the plot area and a little past it; in a short drawing a long
  // one gives way to its short form rather than being cut off at the drawing's edge.
  const auto verticalLabel = [&](const PlotAxis& axis) -> const std::string& {
    const double room = bottom - top + 2.0 * kVerticalLabelOverhang;
    const bool fits = estimateTextWidth(axis.label, kFontSize) <= room;
    return fits || axis.shortLabel.empty() ? axis.label : axis.shortLabel;
  };
  svg.text({16.0, (top + bottom) / 2.0}, verticalLabel(plot.leftAxis),
           {TextAnchor::Middle, kFontSize, "#222", false, -90.0});
  if (plot.rightAxis) {
    svg.text({width - 12.0, (top + bottom) / 2.0}, verticalLabel(*plot.rightAxis),
             {TextAnchor::Middle, kFontSize, "#222", false, 90.0});
  }

  // Interval arrows, one row each above the plot area, with dotted drops to the curves.
  for (std::size_t row = 0; row < plot.intervals.size(); ++row) {
    const PlotInterval& interval = plot.intervals[row];
    const double y = kTitleHeight + static_cast<double>(title.size() - 1) * kTitleLineHeight +
                     (static_cast<double>(row) + 0.6) * kIntervalRowHeight;
    const double from = xPixel(interval.from);
    const double to = xPixel(interval.to);
    const SvgStroke stroke{interval.colour, 1.5, ""};
    svg.line({from, y - 5.0}, {from, y + 5.0}, stroke);
    svg.line({to, y}, {to, bottom}, {interval.colour, 1.0, "2 3"});
    svg.arrow({from, y}, {to, y}, stroke);
    // The label goes past the arrow head, or before the tail when it would leave the drawing.
    const double labelWidth = estimateTextWidth(interval.label, 11.0);
    const bool pointsRight = to >= from;
    const double head = pointsRight ? to + 6.0 : to - 6.0;
    const double tail = pointsRight ? from - 6.0 : from + 6.0;
    const bool besideHead = pointsRight ? head + labelWidth <= width : head - labelWidth >= 0.0;
    const bool startsAtLabelX = besideHead == pointsRight;
    svg.text(
        {besideHead ? head : tail, y + 4.0}, interval.label,
        {startsAtLabelX ? TextAnchor::Start : TextAnchor::End, 11.0, interval.colour, false, 0.0});
  }

  // Legend rows, centred below the x-axis label.
  for (std::size_t row = 0; row < legendRows.size(); ++row) {
    double rowWidth = 0.0;
    for (const LegendEntry& entry : legendRows[row]) rowWidth += entry.width;
    double x = (width - rowWidth) / 2.0;
    const double y = bottom + kBottomMargin + (static_cast<double>(row) + 0.6) * kLegendRowHeight;
    for (const LegendEntry& entry : legendRows[row]) {
      svg.line({x, y - 4.0}, {x + 28.0, y - 4.0}, {entry.colour, 2.5, entry.dashes});
      svg.text({x + 34.0, y}, entry.name, {TextAnchor::Start, kFontSize, "#222", false, 0.0});
      x += entry.width;
    }
  }
  return svg.finish();
}

}  // namespace Brusk::Report
