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
  std::vector<std::string> lines;  ///< the name, broken between words where it is too wide
  std::string colour;
  std::string dashes;
  double width = 0.0;
};

/// How much wider than its text a legend entry is: the line sample before it, a gap after.
constexpr double kLegendSample = 34.0;
constexpr double kLegendGap = 18.0;
/// The line height of a legend entry's name broken onto more lines [px].
constexpr double kLegendLineHeight = 15.0;

std::vector<std::string> wrappedLines(const std::string& text, double room, double size,
                                      double widening = 1.0);

std::vector<std::vector<LegendEntry>> layoutLegend(const LinePlot& plot, double availableWidth,
                                                   double drawingWidth) {
  std::vector<std::vector<LegendEntry>> rows(1);
  double rowWidth = 0.0;
  for (const PlotSeries& series : plot.series) {
    if (series.name.empty()) continue;
    // A name wider than the drawing (a long wall name, a phone-width drawing) goes on more lines
    // rather than off the drawing's sides.
    LegendEntry entry{{series.name}, series.colour, series.dashes, 0.0};
    const double textRoom = drawingWidth - 8.0 - kLegendSample - kLegendGap;
    if (estimateTextWidth(series.name, kFontSize) > textRoom) {
      entry.lines = wrappedLines(series.name, textRoom, kFontSize);
    }
    double widest = 0.0;
    for (const std::string& line : entry.lines) {
      widest = std::max(widest, estimateTextWidth(line, kFontSize));
    }
    entry.width = kLegendSample + widest + kLegendGap;
    if (rowWidth > 0.0 && rowWidth + entry.width > availableWidth) {
      rows.emplace_back();
      rowWidth = 0.0;
    }
    rowWidth += entry.width;
    rows.back().push_back(std::move(entry));
  }
  if (rows.back().empty()) rows.pop_back();
  return rows;
}

/// The height of a legend row [px]: one line, and a line more for each further line of its
/// tallest entry.
double legendRowHeight(const std::vector<LegendEntry>& row) {
  std::size_t lines = 1;
  for (const LegendEntry& entry : row) lines = std::max(lines, entry.lines.size());
  return kLegendRowHeight + static_cast<double>(lines - 1) * kLegendLineHeight;
}

constexpr double kTitleFontSize = 14.0;
constexpr double kTitleLineHeight = 18.0;
/// How far a vertical axis label may run past each end of the plot area [px].
constexpr double kVerticalLabelOverhang = 30.0;
/// Bold text runs about a tenth wider than the regular text estimateTextWidth measures.
constexpr double kBoldWidening = 1.1;

/// `text` in lines that fit `room` pixels at `size` px, broken between words (a word longer
/// than the room keeps a line of its own): one line at the report's width, two or more in a
/// phone-width drawing, where one line would run off both sides. `widening` accounts for bold.
std::vector<std::string> wrappedLines(const std::string& text, double room, double size,
                                      double widening) {
  std::vector<std::string> lines;
  std::string line;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    const std::string longer = line.empty() ? word : line + " " + word;
    if (!line.empty() && estimateTextWidth(longer, size) * widening > room) {
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

std::vector<std::string> titleLines(const std::string& title, double room) {
  return wrappedLines(title, room, kTitleFontSize, kBoldWidening);
}

/// The horizontal axis's label in lines that fit the drawing: the label, else its short form,
/// else the shorter of them broken between words.
std::vector<std::string> horizontalLabelLines(const PlotAxis& axis, double room) {
  if (estimateTextWidth(axis.label, kFontSize) <= room) return {axis.label};
  if (axis.shortLabel.empty()) return wrappedLines(axis.label, room, kFontSize);
  if (estimateTextWidth(axis.shortLabel, kFontSize) <= room) return {axis.shortLabel};
  return wrappedLines(axis.shortLabel, room, kFontSize);
}

constexpr double kGuideFontSize = 11.0;
/// The first row of guide labels sits this far below the plot area's top; each further row
/// one row height lower [px].
constexpr double kGuideFirstRow = 14.0;
constexpr double kGuideRowHeight = 13.0;
/// Room kept between a guide's line and its label, and between two labels in a row [px].
constexpr double kGuideLabelOffset = 4.0;
constexpr double kGuideLabelGap = 3.0;

/// Where a guide's label is written.
struct GuideLabel {
  double x = 0.0;
  double y = 0.0;
  TextAnchor anchor = TextAnchor::Start;
};

/// Places the guides' labels (guide i at pixel `x[i]`) inside the plot area from `left` to
/// `right`: each after its line, or before it where it would run past `right`; a label that
/// would touch one already placed takes the first row further down where it touches none, so
/// that labels of guides close together (thin layers in a Glaser diagram) are staggered rather
/// than piled up, each still beside its own line.
std::vector<GuideLabel> placeGuideLabels(const std::vector<PlotGuide>& guides,
                                         const std::vector<double>& x, double left, double right,
                                         double top) {
  struct Span {
    double from;
    double to;
  };
  std::vector<std::vector<Span>> rows;
  std::vector<GuideLabel> placed(guides.size());
  for (std::size_t i = 0; i < guides.size(); ++i) {
    if (guides[i].label.empty() || !std::isfinite(x[i])) continue;
    const double width = estimateTextWidth(guides[i].label, kGuideFontSize);
    const bool before =
        x[i] + kGuideLabelOffset + width > right && x[i] - kGuideLabelOffset - width >= left;
    const Span span = before ? Span{x[i] - kGuideLabelOffset - width, x[i] - kGuideLabelOffset}
                             : Span{x[i] + kGuideLabelOffset, x[i] + kGuideLabelOffset + width};
    std::size_t row = 0;
    for (; row < rows.size(); ++row) {
      const bool touches = std::any_of(rows[row].begin(), rows[row].end(), [&](const Span& other) {
        return span.from < other.to + kGuideLabelGap && other.from < span.to + kGuideLabelGap;
      });
      if (!touches) break;
    }
    if (row == rows.size()) rows.emplace_back();
    rows[row].push_back(span);
    placed[i] = {before ? span.to : span.from,
                 top + kGuideFirstRow + static_cast<double>(row) * kGuideRowHeight,
                 before ? TextAnchor::End : TextAnchor::Start};
  }
  return placed;
}

constexpr double kIntervalFontSize = 11.0;

/// Where an interval arrow's label is written and how high its row is.
struct IntervalLabel {
  double x = 0.0;
  TextAnchor anchor = TextAnchor::Start;
  double rowHeight = kIntervalRowHeight;
};

/// Each interval's label: past the arrow head, else before the tail, where it stays inside the
/// drawing `width` wide; where neither does (a long wall name in a phone-width drawing), on a
/// line of its own under the arrow, as far along it as the drawing allows and right of `left`
/// (the plot area's edge, where the vertical axis's label may reach up) where it fits there.
template <typename Mapping>
std::vector<IntervalLabel> placeIntervalLabels(const std::vector<PlotInterval>& intervals,
                                               const Mapping& xPixel, double left, double width) {
  std::vector<IntervalLabel> labels;
  for (const PlotInterval& interval : intervals) {
    const double from = xPixel(interval.from);
    const double to = xPixel(interval.to);
    const double labelWidth = estimateTextWidth(interval.label, kIntervalFontSize);
    const bool pointsRight = to >= from;
    const double head = pointsRight ? to + 6.0 : to - 6.0;
    const double tail = pointsRight ? from - 6.0 : from + 6.0;
    const bool besideHead = pointsRight ? head + labelWidth <= width : head - labelWidth >= 0.0;
    const bool beforeTail = pointsRight ? tail - labelWidth >= 0.0 : tail + labelWidth <= width;
    if (besideHead || beforeTail) {
      const bool startsAtLabelX = besideHead == pointsRight;
      labels.push_back({besideHead ? head : tail,
                        startsAtLabelX ? TextAnchor::Start : TextAnchor::End, kIntervalRowHeight});
    } else {
      const double last = width - 4.0 - labelWidth;
      const double start =
          last >= left ? std::max(left, std::min(std::min(from, to), last)) : std::max(4.0, last);
      labels.push_back({start, TextAnchor::Start, kIntervalRowHeight + kGuideRowHeight});
    }
  }
  return labels;
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
  const AxisMapping xPixel(xScale, plot.xAxis.logarithmic, left, right);
  const std::vector<IntervalLabel> intervalLabels =
      placeIntervalLabels(plot.intervals, xPixel, left, width);
  double intervalsHeight = 0.0;
  for (const IntervalLabel& label : intervalLabels) intervalsHeight += label.rowHeight;
  const double intervalsTop =
      kTitleHeight + static_cast<double>(title.size() - 1) * kTitleLineHeight;
  const double top = intervalsTop + intervalsHeight + 6.0;
  const double bottom = top + plotAreaHeight;
  const auto legendRows = layoutLegend(plot, width - 2.0 * kLeftMargin, width);
  const std::vector<std::string> xLabel = horizontalLabelLines(plot.xAxis, width - 8.0);
  const double xLabelExtra = static_cast<double>(xLabel.size() - 1) * kLegendLineHeight;
  double legendHeight = 0.0;
  for (const auto& row : legendRows) legendHeight += legendRowHeight(row);
  const double height = bottom + kBottomMargin + xLabelExtra + legendHeight + 6.0;

  const AxisMapping leftPixel(leftScale, false, bottom, top);
  const AxisMapping rightPixel(rightScale, false, bottom, top);
  const auto yPixel = [&](double value, bool onRightAxis) {
    return onRightAxis && hasRightAxis ? rightPixel(value) : leftPixel(value);
  };

  const auto localized = [&](const std::string& label) {
    if (plot.decimalSeparator == '.') return label;
    std::string text = label;
    std::replace(text.begin(), text.end(), '.', plot.decimalSeparator);
    return text;
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
    svg.text({x, bottom + 18.0}, localized(tick.label), tickStyle);
  }
  for (const AxisTick& tick : leftScale.ticks) {
    const double y = leftPixel(tick.value);
    svg.line({left, y}, {right, y}, gridStroke);
    svg.line({left - 5.0, y}, {left, y}, axisStroke);
    svg.text({left - 8.0, y + 4.0}, localized(tick.label),
             {TextAnchor::End, 11.0, kAxisColour, false, 0.0});
  }
  if (hasRightAxis) {
    for (const AxisTick& tick : rightScale.ticks) {
      const double y = rightPixel(tick.value);
      svg.line({right, y}, {right + 5.0, y}, axisStroke);
      svg.text({right + 8.0, y + 4.0}, localized(tick.label),
               {TextAnchor::Start, 11.0, kAxisColour, false, 0.0});
    }
  }

  // Guides, curves and markers, kept inside the plot area.
  svg.beginClip({left, top}, right - left, bottom - top);
  std::vector<double> guideX;
  for (const PlotGuide& guide : plot.guides) guideX.push_back(xPixel(guide.x));
  const std::vector<GuideLabel> guideLabels =
      placeGuideLabels(plot.guides, guideX, left, right, top);
  for (std::size_t i = 0; i < plot.guides.size(); ++i) {
    svg.line({guideX[i], top}, {guideX[i], bottom}, {"#777", 1.0, "4 3"});
    // A guide without a label keeps its empty text where a label would start, as the report
    // has always written it.
    const GuideLabel place =
        plot.guides[i].label.empty()
            ? GuideLabel{guideX[i] + kGuideLabelOffset, top + kGuideFirstRow, TextAnchor::Start}
            : guideLabels[i];
    svg.text({place.x, place.y}, plot.guides[i].label,
             {place.anchor, kGuideFontSize, "#555", false, 0.0});
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
  // The label is centred on the drawing where it would leave the drawing centred on the plot
  // area (which sits right of the drawing's middle by the vertical axes' margins).
  for (std::size_t line = 0; line < xLabel.size(); ++line) {
    const double half = estimateTextWidth(xLabel[line], kFontSize) / 2.0;
    const double middle = (left + right) / 2.0;
    const double centre = middle - half < 4.0 || middle + half > width - 4.0 ? width / 2.0 : middle;
    svg.text({centre, bottom + 36.0 + static_cast<double>(line) * kLegendLineHeight}, xLabel[line],
             {TextAnchor::Middle, kFontSize, "#222", false, 0.0});
  }
  // A vertical label runs along the plot area and a little past it; in a short drawing a long
  // one gives way to its short form rather than being cut off at the drawing's edge. Above the
  // plot area are the interval arrows' labels: there a label longer than the plot area is
  // moved down to start at its top rather than run into them.
  const double upward = plot.intervals.empty() ? kVerticalLabelOverhang : 0.0;
  const auto verticalLabel = [&](const PlotAxis& axis) -> const std::string& {
    const double room = bottom - top + upward + kVerticalLabelOverhang;
    const bool fits = estimateTextWidth(axis.label, kFontSize) <= room;
    return fits || axis.shortLabel.empty() ? axis.label : axis.shortLabel;
  };
  const auto verticalCentre = [&](const std::string& label) {
    const double half = estimateTextWidth(label, kFontSize) / 2.0;
    return std::max((top + bottom) / 2.0, top - upward + half);
  };
  const std::string& leftLabel = verticalLabel(plot.leftAxis);
  svg.text({16.0, verticalCentre(leftLabel)}, leftLabel,
           {TextAnchor::Middle, kFontSize, "#222", false, -90.0});
  if (plot.rightAxis) {
    const std::string& rightLabel = verticalLabel(*plot.rightAxis);
    svg.text({width - 12.0, verticalCentre(rightLabel)}, rightLabel,
             {TextAnchor::Middle, kFontSize, "#222", false, 90.0});
  }

  // Interval arrows, one row each above the plot area, with dotted drops to the curves.
  double rowTop = intervalsTop;
  for (std::size_t row = 0; row < plot.intervals.size(); ++row) {
    const PlotInterval& interval = plot.intervals[row];
    const IntervalLabel& label = intervalLabels[row];
    const double y = rowTop + 0.6 * kIntervalRowHeight;
    rowTop += label.rowHeight;
    const double from = xPixel(interval.from);
    const double to = xPixel(interval.to);
    const SvgStroke stroke{interval.colour, 1.5, ""};
    svg.line({from, y - 5.0}, {from, y + 5.0}, stroke);
    svg.line({to, y}, {to, bottom}, {interval.colour, 1.0, "2 3"});
    svg.arrow({from, y}, {to, y}, stroke);
    svg.text({label.x, y + 4.0 + label.rowHeight - kIntervalRowHeight}, interval.label,
             {label.anchor, kIntervalFontSize, interval.colour, false, 0.0});
  }

  // Legend rows, centred below the x-axis label.
  rowTop = bottom + kBottomMargin + xLabelExtra;
  for (const auto& row : legendRows) {
    double rowWidth = 0.0;
    for (const LegendEntry& entry : row) rowWidth += entry.width;
    double x = (width - rowWidth) / 2.0;
    const double y = rowTop + 0.6 * kLegendRowHeight;
    for (const LegendEntry& entry : row) {
      svg.line({x, y - 4.0}, {x + 28.0, y - 4.0}, {entry.colour, 2.5, entry.dashes});
      for (std::size_t line = 0; line < entry.lines.size(); ++line) {
        svg.text({x + kLegendSample, y + static_cast<double>(line) * kLegendLineHeight},
                 entry.lines[line], {TextAnchor::Start, kFontSize, "#222", false, 0.0});
      }
      x += entry.width;
    }
    rowTop += legendRowHeight(row);
  }
  return svg.finish();
}

}  // namespace Brusk::Report
