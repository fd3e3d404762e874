#pragma once

#include <optional>
#include <string>
#include <vector>

#include "axis_ticks.h"

namespace Brusk::Report {

/// One axis of a line plot.
struct PlotAxis {
  std::string label;  ///< quantity and unit, e.g. "heat-flow density q (W/m²)"
  /// The label where `label` is longer than the drawing is high (a vertical axis) or wide (the
  /// horizontal axis), e.g. "q (W/m²)"; empty: `label` always. A horizontal axis's label that
  /// still does not fit is broken between words onto more lines.
  std::string shortLabel;
  bool logarithmic = false;         ///< log scale (x axis only); values must then be > 0
  std::optional<double> minimum;    ///< fixed lower end, else from the data
  std::optional<double> maximum;    ///< fixed upper end, else from the data
  bool symmetricAboutZero = false;  ///< range ±max|value|, for oscillating quantities
  std::vector<AxisTick> ticks;  ///< fixed ticks (with the range from minimum/maximum), else nice
};

/// A curve; a non-finite y leaves a gap.
struct PlotSeries {
  std::string name;  ///< legend text
  std::vector<double> x;
  std::vector<double> y;
  std::string colour = "#000";
  std::string dashes;        ///< SVG dash array, empty for solid
  bool onRightAxis = false;  ///< measured against the right-hand y axis
};

/// A marked point, e.g. the value at the daily cycle.
struct PlotMarker {
  double x = 0.0;
  double y = 0.0;
  std::string colour = "#000";
  bool onRightAxis = false;
};

/// A labelled vertical line across the plot area. Its label is written beside the line's top,
/// after it or, where it would leave the plot area, before it; labels that would touch take rows
/// further down, each still beside its own line.
struct PlotGuide {
  double x = 0.0;
  std::string label;
};

/// A labelled horizontal arrow from x = `from` to x = `to`, drawn in a band above the plot area
/// (one row each) so that it never hides a curve.
struct PlotInterval {
  double from = 0.0;
  double to = 0.0;
  std::string label;
  std::string colour = "#000";
};

/// Everything one line plot shows.
struct LinePlot {
  std::string title;
  PlotAxis xAxis;
  PlotAxis leftAxis;
  std::optional<PlotAxis> rightAxis;
  std::vector<PlotSeries> series;
  std::vector<PlotMarker> markers;
  std::vector<PlotGuide> guides;
  std::vector<PlotInterval> intervals;
  /// The decimal separator of the tick labels ('.' or ','); the caller writes the other texts.
  char decimalSeparator = '.';
};

/// Draws `plot` as an inline SVG element with the given id: axes with ticks and labels, a light
/// grid, the curves, markers and guides, the interval arrows and a legend below. The element grows
/// in height for those.
[[nodiscard]] std::string renderLinePlot(const LinePlot& plot, const std::string& id, double width,
                                         double plotAreaHeight);

}  // namespace Brusk::Report
