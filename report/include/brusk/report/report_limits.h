#pragma once

// What a report can draw, checked by the report for every door that asks for one.

#include <string_view>

namespace Brusk::Report {

/// Throws Frontend::Error unless `amplitude` [K] is more than 0 and at most
/// kLargestTemperatureAmplitude, naming the value as the calling door spells it ("--amplitude",
/// "amplitude").
void requireTemperatureAmplitude(double amplitude, std::string_view name);

}  // namespace Brusk::Report
