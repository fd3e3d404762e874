#include "profile_plot.h"

#include <algorithm>
#include <cstddef>

#include "brusk/engine/constants.h"
#include "brusk/engine/periodic_profile.h"
#include "brusk/frontend/profile_response.h"
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

PlotAxis timeAxis(const ReportProfile& profile) {
  PlotAxis axis;
  axis.label = "time t (h)";
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

std::string summaryTable(const std::vector<WallProfile>& profiles, double startHours) {
  std::string html =
      "<table class=\"layers\" id=\"profile-summary\">\n<thead><tr><th scope=\"col\">Wall</th>"
      "<th scope=\"col\">mean <i>q</i> (W/m²)</th><th scope=\"col\">peak <i>q</i> (W/m²)</th>"
      "<th scope=\"col\">at (h)</th><th scope=\"col\">lowest <i>q</i> (W/m²)</th>"
      "<th scope=\"col\">gained (Wh/m²)</th><th scope=\"col\">lost (Wh/m²)</th>"
      "<th scope=\"col\">peak delay (h)</th></tr></thead>\n<tbody>\n";
  for (const WallProfile& p : profiles) {
    const Engine::ProfileSummary& s = p.summary;
    html += "<tr><td class=\"name\">" + colourSwatch(p.wall->colour) +
            escapeMarkup(p.wall->wall->name) + "</td><td>" + formatNumber(s.meanHeatFlowIn, 2) +
            "</td><td>" + formatNumber(s.peakHeatFlowIn, 2) + "</td><td>" +
            formatNumber(startHours + s.peakTime, 1) + "</td><td>" +
            formatNumber(s.minimumHeatFlowIn, 2) + "</td><td>" + formatNumber(s.energyGained, 1) +
            "</td><td>" + formatNumber(s.energyLost, 1) + "</td><td>" +
            formatNumber(s.peakDelay, 1) + "</td></tr>\n";
  }
  return html + "</tbody>\n</table>\n";
}

}  // namespace

std::string renderProfilePart(const std::vector<ComputedWall>& walls,
                              const ReportProfile& profile) {
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
  temperatures.title = "Temperatures over the period";
  temperatures.xAxis = timeAxis(profile);
  temperatures.leftAxis.label = "temperature θ (°C)";
  temperatures.series.push_back({"outdoor θe", times,
                                 valuesOf(first, &Engine::ProfileSample::outdoor), kOutdoorColour,
                                 "6 4", false});
  temperatures.series.push_back({"indoor θi", times,
                                 valuesOf(first, &Engine::ProfileSample::indoor), kIndoorColour,
                                 "2 3", false});
  LinePlot heatFlow;
  heatFlow.title = "Heat flow into the room at the inner surface";
  heatFlow.xAxis = timeAxis(profile);
  heatFlow.leftAxis.label = "heat-flow density into the room q (W/m²)";
  for (const WallProfile& p : profiles) {
    temperatures.series.push_back(
        {"inner surface θsi \u2014 " + p.wall->wall->name, times,
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
