#pragma once

#include <string>
#include <vector>

#include "brusk/report/html_report.h"
#include "brusk/report/plot_words.h"
#include "results_table.h"

namespace Brusk::Report {

/// The report's part on periodic profiles: the temperatures (theta_e, theta_i and each wall's
/// theta_si) and each wall's heat flow into the room over one period, and a table of the
/// summary figures, the plots written in `words`. Throws Frontend::Error when a wall or the
/// profiles are refused.
[[nodiscard]] std::string renderProfilePart(const std::vector<ComputedWall>& walls,
                                            const ReportProfile& profile,
                                            const PlotWords& words = PlotWords());

}  // namespace Brusk::Report
