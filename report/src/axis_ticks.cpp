#include "axis_ticks.h"

#include <algorithm>
#include <cmath>

#include "text_format.h"

namespace Brusk::Report {

double niceStep(double roughStep) {
  const double power = std::pow(10.0, std::floor(std::log10(roughStep)));
  for (const double mantissa : {1.0, 2.0, 5.0, 10.0}) {
    // The tolerance keeps a rough step of exactly 0.2 from rounding up to 0.5.
    if (mantissa * power >= roughStep * (1.0 - 1e-9)) return mantissa * power;
  }
  return 10.0 * power;
}

std::string tickLabel(double value, double step) {
  const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
  return formatNumber(value, decimals);
}

AxisScale niceLinearScale(double low, double high, int targetTicks) {
  if (high < low) std::swap(low, high);
  if (high - low <= 0.0) {
    const double halfWidth = low == 0.0 ? 1.0 : std::fabs(low) * 0.1;
    low -= halfWidth;
    high += halfWidth;
  }
  const double step = niceStep((high - low) / std::max(1, targetTicks - 1));
  AxisScale scale;
  const double firstIndex = std::floor(low / step + 1e-9);
  const double lastIndex = std::ceil(high / step - 1e-9);
  scale.minimum = firstIndex * step;
  scale.maximum = lastIndex * step;
  for (double index = firstIndex; index <= lastIndex + 0.5; index += 1.0) {
    const double value = index * step;
    scale.ticks.push_back({value, tickLabel(value, step)});
  }
  return scale;
}

AxisScale logarithmicScale(double low, double high) {
  if (high < low) std::swap(low, high);
  AxisScale scale;
  scale.minimum = low;
  scale.maximum = high;
  const int firstPower = static_cast<int>(std::floor(std::log10(low)));
  const int lastPower = static_cast<int>(std::ceil(std::log10(high)));
  for (int power = firstPower; power <= lastPower; ++power) {
    const double decade = std::pow(10.0, power);
    for (const double mantissa : {1.0, 2.0, 5.0}) {
      const double value = mantissa * decade;
      if (value < low * (1.0 - 1e-9) || value > high * (1.0 + 1e-9)) continue;
      scale.ticks.push_back({value, formatNumber(value, std::max(0, -power))});
    }
  }
  return scale;
}

}  // namespace Brusk::Report
