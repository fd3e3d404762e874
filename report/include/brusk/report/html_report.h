#pragma once

#include <optional>
#include <string>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/frontend/junction.h"
#include "brusk/frontend/moisture.h"
#include "brusk/frontend/provenance.h"
#include "brusk/frontend/requirements.h"
#include "brusk/frontend/wall.h"
#include "brusk/frontend/zone_output.h"

namespace Brusk::Report {

/// Largest temperature swing drawn [K]: beyond any outdoor, sol-air or room swing, and far from
/// where the plotted heat flows would leave double precision.
inline constexpr double kLargestTemperatureAmplitude = 100.0;

/// Periodic temperature profiles whose response the report plots, e.g. a design day.
struct ReportProfile {
  std::vector<double> indoor;            ///< theta_i samples over the period [degC]
  std::vector<double> outdoor;           ///< theta_e (or sol-air) samples [degC]
  double period = Engine::kDailyPeriod;  ///< T [s]
  double startHours = 0.0;               ///< time of the first sample [h]
  std::string indoorSource;              ///< where theta_i came from, for the caption
  std::string outdoorSource;             ///< where theta_e came from
};

/// What a report shows besides the walls themselves.
struct ReportOptions {
  std::string title = "Brusk report";  ///< page title and heading
  /// Cycle length T [s] of the results table and the swing responses; the frequency plots
  /// mark it beside the daily and the 12-day cycles.
  double period = Engine::kDailyPeriod;
  /// Outdoor and indoor swing for the response plots [K], in (0, kLargestTemperatureAmplitude].
  double temperatureAmplitude = 1.0;
  /// Zones computed already, each given a section after the walls'.
  std::vector<Frontend::ZoneReport> zones;
  /// Profiles to plot each wall's response to, with a table of its figures; none: no such part.
  std::optional<ReportProfile> profile;
  /// Walls assessed for moisture (ISO 13788) under `moistureClimate`, each given a section.
  std::vector<Frontend::MoistureReport> moisture;
  Frontend::Climate moistureClimate;
  /// Walls checked against a requirement set, each given a section.
  std::vector<Frontend::WallCheck> requirements;
  /// Where the results came from (version, date, input files and their hashes, standards,
  /// conventions, project fields): a last section; none: no such section.
  std::optional<Frontend::Provenance> provenance;
  /// Two-dimensional junctions computed already, each given a section after the zones'.
  std::vector<Frontend::JunctionReport> junctions;
};

/// Renders one self-contained HTML page (inline CSS and SVG, no scripts, nothing fetched) for one
/// wall or several compared, and the options' zones and junctions; there may be no walls when
/// there are zones or junctions.
/// Throws Frontend::Error, worded as Frontend::describeProblem() words it, when a wall cannot be
/// computed.
[[nodiscard]] std::string renderHtmlReport(const std::vector<Frontend::Wall>& walls,
                                           const ReportOptions& options);

}  // namespace Brusk::Report
