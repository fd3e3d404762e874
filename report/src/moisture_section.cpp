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
/// The report's own words: English with a decimal point.
const PlotWords kReportWords;

std::string monthName(std::size_t month) { return kReportWords.month(month); }

/// p and p_sat against the cumulative s_d: the Glaser diagram, the layer faces as guides.
std::string glaserDiagram(const Frontend::MoistureReport& report, std::size_t month,
                          std::size_t index, const MoisturePlotLayout& size,
                          const PlotWords& words) {
  const Engine::MoistureResult& result = report.result;
  const Engine::MoistureMonth& state = result.months[month];
  LinePlot plot;
  plot.decimalSeparator = words.decimalSeparator();
  plot.title = words("glaser.title", {{"month", words.month(month)}});
  plot.xAxis.label = words("glaser.x_axis");
  plot.xAxis.shortLabel = words("glaser.x_axis_short");
  plot.xAxis.minimum = 0.0;
  plot.xAxis.maximum = result.planes.back().sd;
  plot.leftAxis.label = words("glaser.y_axis");
  plot.leftAxis.minimum = 0.0;
  PlotSeries saturation{words("glaser.saturation"), {}, {}, kSaturationColour, "", false};
  PlotSeries vapour{words("glaser.vapour"), {}, {}, kVapourColour, "", false};
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
                               std::size_t index, const MoisturePlotLayout& size,
                               const PlotWords& words) {
  const Engine::MoistureResult& result = report.result;
  const Engine::MoistureMonth& state = result.months[month];
  LinePlot plot;
  plot.decimalSeparator = words.decimalSeparator();
  plot.title = words("moisture_profile.title", {{"month", words.month(month)}});
  plot.xAxis.label = words("moisture_profile.x_axis");
  plot.xAxis.minimum = 0.0;
  plot.xAxis.maximum = result.planes.back().depth;
  plot.leftAxis.label = words("moisture_profile.y_axis");
  PlotSeries temperature{
      words("moisture_profile.temperature"), {}, {}, kTemperatureColour, "", false};
  PlotSeries dewPoint{words("moisture_profile.dew_point"), {}, {}, kDewPointColour, "6 4", false};
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
                             double width, const PlotWords& words) {
  const Engine::MoistureResult& result = report.result;
  double top = 0.0;
  for (const Engine::MoistureMonth& month : result.months) {
    top = std::max(top, month.accumulated * kGramsPerKilogram);
  }
  constexpr double kFontSize = 12.0;
  constexpr double kLabelGap = 3.0;
  const std::string topLabel =
      words("accumulation.value", {{"value", top > 0.0 ? words.number(top, 0) : "0"}});
  // The scale's top label ends 6 px left of the axis and keeps 2 px from the drawing's edge.
  const double left = std::max(70.0, estimateTextWidth(topLabel, kFontSize) + 8.0);
  const double slot = (width - left - 20.0) / 12.0;
  // Month names wider than their slot (a phone-width drawing) take two rows, every other
  // month on the lower one.
  double widestMonth = 0.0;
  for (std::size_t m = 0; m < 12; ++m) {
    widestMonth = std::max(widestMonth, estimateTextWidth(words.month(m), kFontSize));
  }
  const bool twoRows = widestMonth + kLabelGap > slot;
  const double height = twoRows ? 214.0 : 200.0;
  const double bottom = 170.0;
  const double area = bottom - 20.0;
  SvgWriter svg("moisture-" + std::to_string(index) + "-accumulation", width, height,
                words("accumulation.title", {{"wall", report.wall.name}}));
  SvgTextStyle label;
  label.anchor = TextAnchor::Middle;
  SvgTextStyle axis;
  axis.anchor = TextAnchor::End;
  svg.line({left, bottom}, {width - 20.0, bottom}, SvgStroke{"#444", 1.0, ""});
  svg.text({left - 6.0, 24.0}, topLabel, axis);
  svg.text({left - 6.0, bottom}, "0", axis);

  // Each bar's value above it, the largest first: a value that would touch one already written
  // (neighbouring bars of like height in narrow slots) is left to the table, never overprinted.
  struct Box {
    double left, right, top, bottom;
  };
  std::vector<Box> taken = {{left - 6.0 - estimateTextWidth(topLabel, kFontSize), left - 6.0,
                             24.0 - 0.8 * kFontSize, 24.0 + 0.2 * kFontSize}};
  std::array<bool, 12> valueShown{};
  std::array<std::size_t, 12> order{};
  for (std::size_t m = 0; m < 12; ++m) order[m] = m;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return result.months[a].accumulated > result.months[b].accumulated;
  });
  const auto barHeightOf = [&](std::size_t m) {
    return top > 0.0 ? area * result.months[m].accumulated * kGramsPerKilogram / top : 0.0;
  };
  for (const std::size_t m : order) {
    const double barHeight = barHeightOf(m);
    if (!(barHeight > 0.0)) continue;
    const double centre = left + (static_cast<double>(m) + 0.5) * slot;
    const double half =
        estimateTextWidth(words.number(result.months[m].accumulated * kGramsPerKilogram, 0),
                          kFontSize) /
        2.0;
    const double baseline = bottom - barHeight - 4.0;
    const Box box{centre - half, centre + half, baseline - 0.8 * kFontSize,
                  baseline + 0.2 * kFontSize};
    const bool touches = std::any_of(taken.begin(), taken.end(), [&](const Box& other) {
      return box.left < other.right + kLabelGap && other.left < box.right + kLabelGap &&
             box.top < other.bottom && other.top < box.bottom;
    });
    if (touches || box.left < 0.0 || box.right > width) continue;
    taken.push_back(box);
    valueShown[m] = true;
  }
  for (std::size_t m = 0; m < 12; ++m) {
    const double value = result.months[m].accumulated * kGramsPerKilogram;
    const double barHeight = barHeightOf(m);
    const double x = left + static_cast<double>(m) * slot;
    if (barHeight > 0.0) {
      svg.rectangle({x + 0.15 * slot, bottom - barHeight}, 0.7 * slot, barHeight, kBarColour,
                    SvgStroke{kVapourColour, 0.5, ""});
      if (valueShown[m]) {
        svg.text({x + 0.5 * slot, bottom - barHeight - 4.0}, words.number(value, 0), label);
      }
    }
    svg.text({x + 0.5 * slot, bottom + (twoRows && m % 2 == 1 ? 30.0 : 16.0)}, words.month(m),
             label);
  }
  return svg.finish();
}

}  // namespace

std::string renderMoistureMonthTable(const Frontend::MoistureReport& report,
                                     const Frontend::Climate& climate, const PlotWords& words) {
  const Engine::MoistureResult& result = report.result;
  std::string html = "<table class=\"results\">\n<thead><tr><th>" +
                     escapeMarkup(words("month_table.month")) +
                     "</th><th>θe (°C)</th><th>φe (%)</th><th>θi (°C)</th><th>φi (%)</th><th>" +
                     escapeMarkup(words("month_table.condensed")) + "</th><th>" +
                     escapeMarkup(words("month_table.accumulated")) +
                     "</th><th>fRsi,min</th></tr></thead>\n<tbody>\n";
  for (std::size_t m = 0; m < 12; ++m) {
    const Engine::MonthClimate& month = climate.months[m];
    html += "<tr><td>" + escapeMarkup(words.month(m)) + "</td><td>" +
            words.number(month.outdoorTemperature, 1) + "</td><td>" +
            words.number(100.0 * month.outdoorRelativeHumidity, 0) + "</td><td>" +
            words.number(month.indoorTemperature, 1) + "</td><td>" +
            words.number(100.0 * month.indoorRelativeHumidity, 0) + "</td><td>" +
            words.number(result.months[m].condensation * kGramsPerKilogram, 1) + "</td><td>" +
            words.number(result.months[m].accumulated * kGramsPerKilogram, 1) + "</td><td>" +
            words.number(result.months[m].fRsiMinMould, 3) + "</td></tr>\n";
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
                                  const MoisturePlotLayout& size, const PlotWords& words) {
  if (!(size.width > 0.0 && size.plotAreaHeight > 0.0) ||
      !std::isfinite(size.width + size.plotAreaHeight)) {
    throw Frontend::Error(
        "the moisture plots' width and height must be positive numbers of pixels");
  }
  const std::size_t month = glaserMonth(report.result);
  return {month, glaserDiagram(report, month, index, size, words),
          accumulationBars(report, index, size.width, words),
          temperatureProfile(report, month, index, size, words)};
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
