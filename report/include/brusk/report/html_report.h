#pragma once

#include <string>
#include <vector>

#include "brusk/frontend/wall.h"
#include "brusk/frontend/zone_output.h"

namespace Brusk::Report {

/// Largest temperature swing drawn [K]: beyond any outdoor, sol-air or room swing, and far from
/// where the plotted heat flows would leave double precision.
inline constexpr double kLargestTemperatureAmplitude = 100.0;

/// What a report shows besides the walls themselves.
struct ReportOptions {
  std::string title = "Brusk report";  ///< page title and heading
  /// Outdoor and indoor swing for the response plots [K], in (0, kLargestTemperatureAmplitude].
  double temperatureAmplitude = 1.0;
  /// Zones computed already, each given a section after the walls'.
  std::vector<Frontend::ZoneReport> zones;
};

/// Renders one self-contained HTML page (inline CSS and SVG, no scripts, nothing fetched) for one
/// wall or several compared, and the options' zones; there may be no walls when there are zones.
/// Throws Frontend::Error, worded as Frontend::describeProblem() words it, when a wall cannot be
/// computed.
[[nodiscard]] std::string renderHtmlReport(const std::vector<Frontend::Wall>& walls,
                                           const ReportOptions& options);

}  // namespace Brusk::Report
