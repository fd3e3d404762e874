#include "brusk/report/moisture_section.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "brusk/frontend/error.h"
#include "line_plot.h"
#include "svg_writer.h"
#include "text_format.h"

namespace Brusk::Report {

namespace {

constexpr double kGramsPerKilogram = 1000.0;
const char* const kSaturationColour = "#D55E00";
const char* const kVapourColour = "#0072B2";
const char* const kBarColour = "#56B4E9";
const char* const kTemperatureColour = "#CC79A7";
const char* const kDewPointColour = "#009E73";
constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string monthName(std::size_t month) { return month < 12 ? kMonths[month] : "–"; }

/// p and p_sat against the cumulative s_d: the Glaser diagram, the layer faces as guides.
std::string glaserDiagram(const Frontend::MoistureReport& report, std::size_t month,
                          std::size_t index, const MoisturePlotLayout& size) {
  const Engine::MoistureResult& result = report.result;
  const Engine::MoistureMonth& state = result.months[month];
  LinePlot plot;
  plot.title = "Glaser diagram, " + monthName(month) + ": vapour pressure over s_d";
  plot.xAxis.label = "equivalent air layer thickness s_d from the inner face (m)";
  plot.xAxis.minimum = 0.0;
  plot.xAxis.maximum = result.planes.back().sd;
  plot.leftAxis.label = "pressure (Pa)";
  plot.leftAxis.minimum = 0.0;
  PlotSeries saturation{"saturation pressure p_sat", {}, {}, kSaturationColour, "", false};
  PlotSeries vapour{"vapour pressure p (tangent construction)", {}, {}, kVapourColour, "", false};
  for (std::size_t j = 0; j < result.planes.size(); ++j) {
    saturation.x.push_back(result.planes[j].sd);
    saturation.y.push_back(state.saturationPressure[j]);
    vapour.x.push_back(result.planes[j].sd);
    vapour.y.push_back(state.vapourPressure[j]);
    if (state.accumulatedAt[j] > 0.0 || state.vapourPressure[j] >= state.saturationPressure[j]) {
      if (j > 0 && j + 1 < result.planes.size()) {
        plot.markers.push_back({result.planes[j].sd, state.vapourPressure[j], kVapourColour});
      }
    }
  }
  plot.series = {saturation, vapour};
  // The layer faces at their s_d, named by the layer on their outer side.
  double lastGuide = -1.0;
  for (std::size_t j = 1; j + 1 < result.planes.size(); ++j) {
    const Engine::MoisturePlane& plane = result.planes[j];
    if (!plane.interface || plane.sd - lastGuide < 1e-9) continue;
    lastGuide = plane.sd;
    const std::size_t next = plane.layer + 1;
    plot.guides.push_back(
        {plane.sd, next < report.wall.labels.size() ? report.wall.labels[next].name : ""});
  }
  return renderLinePlot(plot, "moisture-" + std::to_string(index) + "-glaser", size.width,
                        size.plotAreaHeight);
}

/// theta and the dew point of p through the depth of the wall.
std::string temperatureProfile(const Frontend::MoistureReport& report, std::size_t month,
                               std::size_t index, const MoisturePlotLayout& size) {
  const Engine::MoistureResult& result = report.result;
  const Engine::MoistureMonth& state = result.months[month];
  LinePlot plot;
  plot.title = "Temperature through the wall, " + monthName(month);
  plot.xAxis.label = "depth from the inner face (m)";
  plot.xAxis.minimum = 0.0;
  plot.xAxis.maximum = result.planes.back().depth;
  plot.leftAxis.label = "temperature (°C)";
  PlotSeries temperature{"temperature θ", {}, {}, kTemperatureColour, "", false};
  PlotSeries dewPoint{"dew point of p", {}, {}, kDewPointColour, "6 4", false};
  for (std::size_t j = 0; j < result.planes.size(); ++j) {
    temperature.x.push_back(result.planes[j].depth);
    temperature.y.push_back(state.temperature[j]);
    dewPoint.x.push_back(result.planes[j].depth);
    dewPoint.y.push_back(state.vapourPressure[j] > 0.0
                             ? Engine::saturationTemperature(state.vapourPressure[j])
                             : std::nan(""));
  }
  plot.series = {temperature, dewPoint};
  double lastGuide = -1.0;
  for (std::size_t j = 1; j + 1 < result.planes.size(); ++j) {
    const Engine::MoisturePlane& plane = result.planes[j];
    if (!plane.interface || plane.depth - lastGuide < 1e-9) continue;
    lastGuide = plane.depth;
    plot.guides.push_back({plane.depth, ""});
  }
  return renderLinePlot(plot, "moisture-" + std::to_string(index) + "-temperature", size.width,
                        size.plotAreaHeight);
}

/// Twelve bars of the water held at each month's end [g/m2], January first.
std::string accumulationBars(const Frontend::MoistureReport& report, std::size_t index,
                             double width) {
  const Engine::MoistureResult& result = report.result;
  double top = 0.0;
  for (const Engine::MoistureMonth& month : result.months) {
    top = std::max(top, month.accumulated * kGramsPerKilogram);
  }
  const double height = 200.0;
  const double left = 70.0;
  const double bottom = height - 30.0;
  const double area = bottom - 20.0;
  const double slot = (width - left - 20.0) / 12.0;
  SvgWriter svg("moisture-" + std::to_string(index) + "-accumulation", width, height,
                "Water accumulated at each month's end in " + report.wall.name);
  SvgTextStyle label;
  label.anchor = TextAnchor::Middle;
  SvgTextStyle axis;
  axis.anchor = TextAnchor::End;
  svg.line({left, bottom}, {width - 20.0, bottom}, SvgStroke{"#444", 1.0, ""});
  svg.text({left - 6.0, 24.0}, top > 0.0 ? formatNumber(top, 0) + " g/m²" : "0 g/m²", axis);
  svg.text({left - 6.0, bottom}, "0", axis);
  for (std::size_t m = 0; m < 12; ++m) {
    const double value = result.months[m].accumulated * kGramsPerKilogram;
    const double barHeight = top > 0.0 ? area * value / top : 0.0;
    const double x = left + static_cast<double>(m) * slot;
    if (barHeight > 0.0) {
      svg.rectangle({x + 0.15 * slot, bottom - barHeight}, 0.7 * slot, barHeight, kBarColour,
                    SvgStroke{kVapourColour, 0.5, ""});
      svg.text({x + 0.5 * slot, bottom - barHeight - 4.0}, formatNumber(value, 0), label);
    }
    svg.text({x + 0.5 * slot, bottom + 16.0}, kMonths[m], label);
  }
  return svg.finish();
}

}  // namespace

std::string renderMoistureMonthTable(const Frontend::MoistureReport& report,
                                     const Frontend::Climate& climate) {
  const Engine::MoistureResult& result = report.result;
  std::string html =
      "<table class=\"results\">\n<thead><tr><th>Month</th><th>θe (°C)</th><th>φe (%)</th>"
      "<th>θi (°C)</th><th>φi (%)</th><th>condensed (g/m²)</th><th>accumulated (g/m²)</th>"
      "<th>fRsi,min</th></tr></thead>\n<tbody>\n";
  for (std::size_t m = 0; m < 12; ++m) {
    const Engine::MonthClimate& month = climate.months[m];
    html += "<tr><td>" + monthName(m) + "</td><td>" + formatNumber(month.outdoorTemperature, 1) +
            "</td><td>" + formatNumber(100.0 * month.outdoorRelativeHumidity, 0) + "</td><td>" +
            formatNumber(month.indoorTemperature, 1) + "</td><td>" +
            formatNumber(100.0 * month.indoorRelativeHumidity, 0) + "</td><td>" +
            formatNumber(result.months[m].condensation * kGramsPerKilogram, 1) + "</td><td>" +
            formatNumber(result.months[m].accumulated * kGramsPerKilogram, 1) + "</td><td>" +
            formatNumber(result.months[m].fRsiMinMould, 3) + "</td></tr>\n";
  }
  return html + "</tbody>\n</table>\n";
}

std::size_t glaserMonth(const Engine::MoistureResult& result) {
  std::size_t best = 12;
  double most = 0.0;
  for (std::size_t m = 0; m < 12; ++m) {
    if (result.months[m].condensation > most) {
      most = result.months[m].condensation;
      best = m;
    }
  }
  if (best < 12) return best;
  return result.criticalMonth < 12 ? result.criticalMonth : 0;
}

MoisturePlots renderMoisturePlots(const Frontend::MoistureReport& report, std::size_t index,
                                  const MoisturePlotLayout& size) {
  if (!(size.width > 0.0 && size.plotAreaHeight > 0.0) ||
      !std::isfinite(size.width + size.plotAreaHeight)) {
    throw Frontend::Error(
        "the moisture plots' width and height must be positive numbers of pixels");
  }
  const std::size_t month = glaserMonth(report.result);
  return {month, glaserDiagram(report, month, index, size),
          accumulationBars(report, index, size.width),
          temperatureProfile(report, month, index, size)};
}

std::string renderMoistureSection(const Frontend::MoistureReport& report,
                                  const Frontend::Climate& climate, std::size_t index) {
  const Engine::MoistureResult& result = report.result;
  const MoisturePlots plots = renderMoisturePlots(report, index);
  std::string verdict;
  if (!result.condenses) {
    verdict = "No interstitial condensation in any month.";
  } else {
    verdict = "Largest accumulation " + formatNumber(result.maxAccumulated * kGramsPerKilogram, 1) +
              " g/m² at the end of " + monthName(result.maxMonth) + "; " +
              (result.driesOut ? "it all evaporates within the year."
                               : "it does not all evaporate: " +
                                     formatNumber(result.endAccumulated * kGramsPerKilogram, 1) +
                                     " g/m² remain after twelve months.");
  }
  std::string surface = "Surface (mould, φsi ≤ 0.8): fRsi = " + formatNumber(result.fRsi, 3);
  if (result.criticalMonth < 12) {
    surface += " against fRsi,min = " + formatNumber(result.fRsiMin, 3) + " in " +
               monthName(result.criticalMonth) + ": " + (result.surfacePasses ? "pass." : "fail.");
  } else {
    surface += "; no month is colder outside than inside.";
  }
  const std::string id = "moisture-" + std::to_string(index);
  return "<section id=\"" + id + "\">\n<h2>Moisture: " + escapeMarkup(report.wall.name) +
         "</h2>\n<p>ISO 13788 monthly method under the climate " + escapeMarkup(climate.source) +
         (climate.humidityClass != 0
              ? " with the indoor side of humidity class " + std::to_string(climate.humidityClass)
              : std::string()) +
         ". " + escapeMarkup(verdict) + " " + escapeMarkup(surface) + "</p>\n<figure>\n" +
         plots.glaser +
         "<figcaption>Saturation pressure and vapour pressure against the cumulative equivalent "
         "air layer thickness s_d, the layers to s_d scale (each vertical line is a layer face, "
         "named by the layer beyond it). The vapour-pressure line is the tangent construction: "
         "where it touches p_sat, vapour condenses (circles).</figcaption>\n</figure>\n<figure>\n" +
         plots.accumulation +
         "<figcaption>Water held at each month's end, summed over the condensation planes "
         "(g/m²).</figcaption>\n</figure>\n<figure>\n" +
         plots.temperature +
         "<figcaption>Temperature through the wall and the dew point of the vapour pressure in "
         "the same month.</figcaption>\n</figure>\n" +
         renderMoistureMonthTable(report, climate) + "</section>\n";
}

}  // namespace Brusk::Report
