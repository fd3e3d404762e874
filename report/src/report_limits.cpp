#include "brusk/report/report_limits.h"

#include <string>

#include "brusk/frontend/error.h"
#include "brusk/frontend/shortest_double.h"
#include "brusk/report/html_report.h"

namespace Brusk::Report {

namespace {

std::string shortest(double value) {
  char buffer[Frontend::kShortestDoubleRoom];
  return std::string(buffer, Frontend::writeShortestDouble(value, buffer));
}

}  // namespace

void requireTemperatureAmplitude(double amplitude, std::string_view name) {
  if (amplitude > 0.0 && amplitude <= kLargestTemperatureAmplitude) return;
  throw Frontend::Error(std::string(name) +
                        " must be a number of kelvins more than 0 and at most " +
                        shortest(kLargestTemperatureAmplitude) + ", got " + shortest(amplitude));
}

}  // namespace Brusk::Report
