#pragma once

#include <string>
#include <vector>

#include "brusk/frontend/wall.h"

namespace Brusk::Report {

/// What a report shows besides the walls themselves.
struct ReportOptions {
  std::string title = "Brusk report";  ///< page title and heading
  double temperatureAmplitude = 1.0;   ///< outdoor and indoor swing for the response plots [K]
};

/// Renders one self-contained HTML page (inline CSS and SVG, no scripts, nothing fetched) for one
/// wall or several compared. Throws Frontend::Error, worded as
/// Frontend::describeProblem() words it, when a wall cannot be computed.
[[nodiscard]] std::string renderHtmlReport(const std::vector<Frontend::Wall>& walls,
                                           const ReportOptions& options);

}  // namespace Brusk::Report
