#pragma once

#include <string>
#include <vector>

namespace Brusk::Report {

/// One labelled tick on a plot axis.
struct AxisTick {
  double value = 0.0;
  std::string label;
};

/// The range an axis shows and the ticks along it.
struct AxisScale {
  double minimum = 0.0;
  double maximum = 1.0;
  std::vector<AxisTick> ticks;
};

/// Smallest step of the form 1, 2 or 5 times a power of ten that is at least `roughStep` (> 0).
[[nodiscard]] double niceStep(double roughStep);

/// A linear axis covering [low, high] that starts and ends on a tick, with about `targetTicks`
/// ticks spaced 1, 2 or 5 times a power of ten. A zero-width range is widened around its value.
[[nodiscard]] AxisScale niceLinearScale(double low, double high, int targetTicks);

/// A logarithmic axis over exactly [low, high] (both > 0), ticked at 1, 2 and 5 times each power
/// of ten that falls inside.
[[nodiscard]] AxisScale logarithmicScale(double low, double high);

/// Label of a tick value on a linear axis of the given step: as many decimals as the step needs.
[[nodiscard]] std::string tickLabel(double value, double step);

}  // namespace Brusk::Report
