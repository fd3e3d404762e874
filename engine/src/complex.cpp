#include "brusk/engine/complex.h"

#include <cmath>

#include "brusk/engine/constants.h"

namespace Brusk::Engine {

namespace {
// getLag() reads phases on the daily cycle, in hours.
constexpr double kHoursPerCycle = kDailyPeriod / kSecondsPerHour;
constexpr double kQuarterCycleHours = 6.0;
}  // namespace

double Complex::getModulus() const {
  return std::sqrt(_realPart * _realPart + _imaginaryPart * _imaginaryPart);
}

double Complex::getLag() const {
  // On the imaginary axis the phase is exactly +-pi/2; answering it directly keeps the
  // quarter cycle exact and gives 0 for a zero quantity instead of atan2's signed zeros.
  if (_realPart == 0.0) {
    if (_imaginaryPart == 0.0) return 0.0;
    return _imaginaryPart > 0.0 ? kQuarterCycleHours : -kQuarterCycleHours;
  }
  return std::atan2(_imaginaryPart, _realPart) * kHoursPerCycle / kTwoPi;
}

}  // namespace Brusk::Engine
