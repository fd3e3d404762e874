#include "profile_plot.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/engine/periodic_profile.h"
#include "brusk/engine/quantities.h"
#include "brusk/frontend/profile_response.h"
#include "brusk/frontend/response_summary.h"
#include "line_plot.h"
#include "text_format.h"

namespace Brusk::Report {

namespace {

constexpr double kPlotWidth = 880.0;
constexpr double kPlotAreaHeight = 260.0;
/// Points drawn over the period: enough for smooth curves between hourly samples.
constexpr std::size_t kPlottedPoints = 288;
const char* const kOutdoorColour = "#555";
const char* const kIndoorColour = "#999";

struct WallProfile {
  const ComputedWall* wall;
  Engine::ProfileResponse response;
  Engine::ProfileSummary summary;  ///< of the samples at the profile's own times
};

PlotAxis timeAxis(const ReportProfile& profile, const PlotWords& words) {
  PlotAxis axis;
  axis.label = words("response.time_axis");
  const double periodHours = profile.period / Engine::kSecondsPerHour;
  axis.minimum = profile.startHours;
  axis.maximum = profile.startHours + periodHours;
  if (periodHours == 24.0) {
    for (double hour = 0.0; hour <= 24.0; hour += 3.0) {
      axis.ticks.push_back({profile.startHours + hour, formatNumber(profile.startHours + hour, 0)});
    }
  }
  return axis;
}

std::vector<double> timesOf(const Engine::ProfileResponse& response, double startHours) {
  std::vector<double> times;
  for (const Engine::ProfileSample& sample : response.samples) {
    times.push_back(startHours + sample.time);
  }
  // Close the cycle: the first sample again at the end of the period.
  times.push_back(startHours + response.period / Engine::kSecondsPerHour);
  return times;
}

std::vector<double> valuesOf(const Engine::ProfileResponse& response,
                             double Engine::ProfileSample::*field) {
  std::vector<double> values;
  for (const Engine::ProfileSample& sample : response.samples) values.push_back(sample.*field);
  values.push_back(response.samples.front().*field);
  return values;
}

/// The summary columns the report shows, keys of the per-wall summary quantities.
constexpr std::string_view kSummaryColumns[] = {"mean_heat_flow_in",
                                                "peak_heat_flow_in",
                                                "peak_heat_flow_in_time",
                                                "minimum_heat_flow_in",
                                                "heat_gained",
                                                "heat_lost",
                                                "peak_delay"};

std::string summaryTable(const std::vector<WallProfile>& profiles, double startHours) {
  std::vector<const Frontend::SummaryQuantity*> columns;
  for (const Frontend::SummaryQuantity& quantity : Frontend::responseSummaryQuantities()) {
    for (std::string_view key : kSummaryColumns) {
      if (key == quantity.key) columns.push_back(&quantity);
    }
  }
  std::string html =
      "<table class=\"layers\" id=\"profile-summary\">\n<thead><tr><th scope=\"col\">Wall</th>";
  for (const Frontend::SummaryQuantity* column : columns) {
    const Engine::Quantity& described = *column->described;
    html += "<th scope=\"col\">" + std::string(described.label) + " " +
            std::string(described.symbolHtml);
    if (described.unit != "-") html += " (" + std::string(described.displayUnitUnicode) + ")";
    html += "</th>";
  }
  html += "</tr></thead>\n<tbody>\n";
  for (const WallProfile& p : profiles) {
    html += "<tr><td class=\"name\">" + colourSwatch(p.wall->colour) +
            escapeMarkup(p.wall->wall->name) + "</td>";
    for (const Frontend::SummaryQuantity* column : columns) {
      html += "<td>" +
              formatNumber(column->value(p.summary, startHours), column->described->decimals) +
              "</td>";
    }
    html += "</tr>\n";
  }
  return html + "</tbody>\n</table>\n";
}

}  // namespace

std::string renderProfilePart(const std::vector<ComputedWall>& walls, const ReportProfile& profile,
                              const PlotWords& words) {
  const std::size_t longest = std::max(profile.indoor.size(), profile.outdoor.size());
  const std::size_t refinement =
      std::max<std::size_t>(1, kPlottedPoints / std::max<std::size_t>(longest, 1));
  std::vector<WallProfile> profiles;
  for (const ComputedWall& wall : walls) {
    Engine::ProfileRequest request;
    request.wall.period = profile.period;
    request.indoor = profile.indoor;
    request.outdoor = profile.outdoor;
    request.refinement = refinement;
    const Frontend::ProfileSources sources{wall.wall->name, profile.indoorSource,
                                           profile.outdoorSource};
    WallProfile entry{&wall, Frontend::computeWallProfile(*wall.wall, request, sources), {}};
    request.refinement = 1;
    entry.summary = Engine::summarizeProfileResponse(
        Frontend::computeWallProfile(*wall.wall, request, sources));
    profiles.push_back(std::move(entry));
  }

  const Engine::ProfileResponse& first = profiles.front().response;
  const std::vector<double> times = timesOf(first, profile.startHours);
  LinePlot temperatures;
  temperatures.decimalSeparator = words.decimalSeparator();
  temperatures.title = words("profile.temperatures.title");
  temperatures.xAxis = timeAxis(profile, words);
  temperatures.leftAxis.label = words("profile.temperatures.axis");
  temperatures.series.push_back({words("profile.outdoor"), times,
                                 valuesOf(first, &Engine::ProfileSample::outdoor), kOutdoorColour,
                                 "6 4", false});
  temperatures.series.push_back({words("profile.indoor"), times,
                                 valuesOf(first, &Engine::ProfileSample::indoor), kIndoorColour,
                                 "2 3", false});
  LinePlot heatFlow;
  heatFlow.decimalSeparator = words.decimalSeparator();
  heatFlow.title = words("profile.heat_flow.title");
  heatFlow.xAxis = timeAxis(profile, words);
  heatFlow.leftAxis.label = words("profile.heat_flow.axis");
  heatFlow.leftAxis.shortLabel = words("profile.heat_flow.axis_short");
  for (const WallProfile& p : profiles) {
    temperatures.series.push_back(
        {words("profile.inner_surface", {{"wall", p.wall->wall->name}}), times,
         valuesOf(p.response, &Engine::ProfileSample::innerSurfaceTemperature), p.wall->colour,
         p.wall->dashes, false});
    heatFlow.series.push_back({p.wall->wall->name, times,
                               valuesOf(p.response, &Engine::ProfileSample::heatFlowIn),
                               p.wall->colour, p.wall->dashes, false});
  }
  return "<section id=\"profile\">\n<h2>Response to the periodic profiles</h2>\n"
         "<figure id=\"profile-temperatures\">\n" +
         renderLinePlot(temperatures, "profile-temperature-plot", kPlotWidth, kPlotAreaHeight) +
         renderLinePlot(heatFlow, "profile-heat-flow-plot", kPlotWidth, kPlotAreaHeight) +
         "<figcaption>Outdoor profile " + escapeMarkup(profile.outdoorSource) + ", indoor " +
         (profile.indoor.size() == 1 ? "held at " + formatNumber(profile.indoor[0], 1) + " °C"
                                     : escapeMarkup(profile.indoorSource)) +
         ", repeated every " + formatNumber(profile.period / Engine::kSecondsPerHour, 1) +
         " h. Each profile is read as the trigonometric polynomial through its samples; its "
         "mean goes through U and each harmonic k through the ISO 13786 matrix at period T/k. "
         "q is positive when the room gains heat; θsi = θi + Rsi·q.</figcaption>\n</figure>\n" +
         summaryTable(profiles, profile.startHours) +
         "<p class=\"note\">Figures from the samples at the profile's own times; the peak delay "
         "is the time from the outdoor peak to the peak of q, within one period.</p>\n"
         "</section>\n";
}

}  // namespace Brusk::Report
