#include "brusk/report/html_report.h"

#include <algorithm>
#include <cmath>

#include "brusk/engine/constants.h"
#include "brusk/engine/cycle_response.h"
#include "brusk/engine/wall_result.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/report/junction_section.h"
#include "brusk/report/moisture_section.h"
#include "brusk/report/provenance_section.h"
#include "brusk/report/requirements_section.h"
#include "brusk/report/zone_section.h"
#include "profile_plot.h"
#include "results_table.h"
#include "text_format.h"
#include "wall_plots.h"
#include "wall_section.h"

namespace Brusk::Report {

namespace {

using Frontend::Error;
using Frontend::Wall;

// The report draws at the default size of the plots.
const PlotLayout kReportSize;
constexpr double kDailyHours = Engine::kDailyPeriod / Engine::kSecondsPerHour;

const char* const kStyleSheet = R"css(
:root { color-scheme: light; }
body { font-family: system-ui, -apple-system, "Segoe UI", Roboto, "Helvetica Neue", Arial,
       sans-serif; color: #222; background: #fff; max-width: 940px; margin: 0 auto;
       padding: 20px 24px 40px; line-height: 1.45; }
h1 { font-size: 1.6em; margin: 0.2em 0; }
h2 { font-size: 1.25em; margin: 1.6em 0 0.4em; border-bottom: 2px solid #ddd; padding-bottom: 4px; }
h3 { font-size: 1.05em; margin: 1em 0 0.3em; }
p.lead { color: #555; margin-top: 0; }
figure { margin: 12px 0 24px; break-inside: avoid; page-break-inside: avoid; }
figcaption { font-size: 0.9em; color: #444; margin-top: 4px; }
svg { display: block; max-width: 100%; height: auto; }
svg text { font-family: inherit; }
table { border-collapse: collapse; font-size: 0.9em; margin: 8px 0 16px; }
caption { text-align: left; font-weight: 600; padding-bottom: 6px; }
th, td { border-bottom: 1px solid #e2e2e2; padding: 4px 8px; vertical-align: top; }
thead th { border-bottom: 2px solid #bbb; text-align: left; }
tbody th { text-align: left; font-weight: normal; }
td.value { text-align: right; font-variant-numeric: tabular-nums; white-space: nowrap; }
td.symbol, td.unit { white-space: nowrap; color: #333; }
table.provenance td.hash { font-size: 0.85em; word-break: break-all; }
table.results { width: 100%; min-width: 36em; break-inside: avoid; page-break-inside: avoid; }
table.layers td { text-align: right; font-variant-numeric: tabular-nums; }
table.layers td.name { text-align: left; }
.swatch { display: inline-block; width: 0.9em; height: 0.9em; margin-right: 0.4em;
          vertical-align: -0.1em; border: 1px solid #444; overflow: hidden; line-height: 0.9em;
          print-color-adjust: exact; -webkit-print-color-adjust: exact; }
.method { display: block; color: #666; font-size: 0.85em; }
div.scroll { overflow-x: auto; }
.junction-drawings { display: flex; flex-wrap: wrap; gap: 8px 20px; }
.note { font-size: 0.85em; color: #555; }
footer { margin-top: 32px; font-size: 0.8em; color: #777; }
@page { size: A4; margin: 12mm; }
@media print {
  body { max-width: none; padding: 0; font-size: 10pt; }
  h2 { break-after: avoid; page-break-after: avoid; }
  section.wall { break-inside: avoid; page-break-inside: avoid; }
  div.scroll { overflow: visible; }
}
)css";

std::string layerTable(const Wall& wall) {
  std::string html =
      "<table class=\"layers\">\n<thead><tr><th scope=\"col\">#</th><th scope=\"col\">Layer, "
      "inside to outside</th><th scope=\"col\">Family</th><th scope=\"col\"><i>d</i> (mm)</th>"
      "<th scope=\"col\"><i>λ</i> (W/(m·K))</th><th scope=\"col\"><i>ρ</i> (kg/m³)</th>"
      "<th scope=\"col\"><i>c</i> (J/(kg·K))</th><th scope=\"col\"><i>R</i> (m²·K/W)</th>"
      "</tr></thead>\n<tbody>\n";
  for (std::size_t index = 0; index < wall.request.layers.size(); ++index) {
    const Engine::LayerProperties& p = wall.request.layers[index];
    const Frontend::LayerLabel& label = wall.labels[index];
    const bool resistance = p.isPureResistance();
    const std::string none = "\u2013";
    html += "<tr><td>" + std::to_string(index + 1) + "</td><td class=\"name\">" +
            escapeMarkup(label.name) + "</td><td class=\"name\">" +
            colourSwatch(familyColour(label.family)) + escapeMarkup(label.family) + "</td><td>" +
            (resistance ? none : formatNumber(p.thickness * 1000.0, 1)) + "</td><td>" +
            (resistance ? none : formatNumber(p.conductivity, 3)) + "</td><td>" +
            (resistance ? none : formatNumber(p.density, 0)) + "</td><td>" +
            (resistance ? none : formatNumber(p.specificHeat, 0)) + "</td><td>" +
            formatNumber(p.thermalResistance(), 3) + "</td></tr>\n";
  }
  return html + "</tbody>\n</table>\n";
}

/// For a wall computed as an element (ISO 6946:2017): its parts, the limits of the combined
/// method and corrections, and a table of its paths; nothing for a plain wall.
std::string elementTables(const Wall& wall) {
  if (!Frontend::isElement(wall)) return {};
  Wall daily = wall;
  daily.request.period = Engine::kDailyPeriod;
  const Engine::ElementResult element = Frontend::computeElementWall(daily);
  std::string html = "<p class=\"note\">Layers of parts: ";
  const Engine::ElementDescription& description = wall.element.element;
  for (std::size_t i = 0; i < description.bridged.size(); ++i) {
    if (i > 0) html += "; ";
    html += "layer " + std::to_string(description.bridged[i].layer + 1) + " = ";
    for (std::size_t part = 0; part < description.bridged[i].parts.size(); ++part) {
      if (part > 0) html += " + ";
      const bool named =
          i < wall.element.partLabels.size() && part < wall.element.partLabels[i].size();
      html += formatNumber(100.0 * description.bridged[i].parts[part].fraction, 1) + " % " +
              (named ? escapeMarkup(wall.element.partLabels[i][part].name)
                     : "part " + std::to_string(part + 1));
    }
  }
  if (description.bridged.empty()) html += "none";
  if (description.ventilated) {
    const bool well = description.ventilated->ventilation == Engine::AirLayerVentilation::Well;
    html += ". Layer " + std::to_string(description.ventilated->layer + 1) +
            (well ? " is well ventilated: it and the layers outside it are left out, with "
                    "<i>R</i><sub>se</sub> = <i>R</i><sub>si</sub> (6.9.4)"
                  : " is slightly ventilated (openings " +
                        formatNumber(description.ventilated->openingArea, 0) +
                        " mm²/m): the element with it unventilated and well ventilated, "
                        "weighted (6.9.3)");
  }
  html += ". ISO 6946:2017 combined method: <i>R</i>′<sub>T</sub> = " +
          formatNumber(element.upperResistance, 3) +
          ", <i>R</i>″<sub>T</sub> = " + formatNumber(element.lowerResistance, 3) +
          ", <i>R</i><sub>T</sub> = " + formatNumber(element.wall.thermalResistance, 3) +
          " m²·K/W, largest error <i>e</i> = " + formatNumber(100.0 * element.relativeError, 1) +
          " %" +
          (element.beyondMethod ? " (outside the method: <i>R</i>′/<i>R</i>″ &gt; 1.5)" : "") +
          "; <i>U</i> = " + formatNumber(element.wall.uValue, 3) +
          ", Δ<i>U</i> = " + formatNumber(element.deltaU, 4) +
          ", <i>U</i><sub>c</sub> = " + formatNumber(element.correctedU, 3) +
          " W/(m²·K). Periodic values by the parallel-path approximation (the paths' "
          "admittances summed by area).</p>\n";
  html +=
      "<table class=\"layers\">\n<thead><tr><th scope=\"col\">Path</th><th scope=\"col\">"
      "Parts</th><th scope=\"col\"><i>f</i></th><th scope=\"col\"><i>R</i><sub>T</sub> "
      "(m²·K/W)</th><th scope=\"col\"><i>U</i> (W/(m²·K))</th><th scope=\"col\">"
      "|<i>Y</i><sub>12</sub>| (W/(m²·K))</th><th scope=\"col\"><i>κ</i><sub>1</sub> "
      "(kJ/(m²·K))</th></tr></thead>\n<tbody>\n";
  for (std::size_t index = 0; index < element.paths.size(); ++index) {
    const Engine::ElementPath& path = element.paths[index];
    std::string parts;
    for (std::size_t i = 0; i < path.parts.size() && i < wall.element.partLabels.size(); ++i) {
      if (!parts.empty()) parts += " / ";
      const std::vector<Frontend::PartLabel>& labels = wall.element.partLabels[i];
      parts += path.parts[i] < labels.size() ? escapeMarkup(labels[path.parts[i]].name) : "";
    }
    if (path.wellVentilated)
      parts +=
          parts.empty() ? "inside the ventilated air layer" : " (inside the ventilated air layer)";
    if (parts.empty()) parts = "whole area";
    html += "<tr><td>" + std::to_string(index + 1) + "</td><td class=\"name\">" + parts +
            "</td><td>" + formatNumber(path.fraction, 3) + "</td><td>" +
            formatNumber(path.thermalResistance, 3) + "</td><td>" +
            formatNumber(1.0 / path.thermalResistance, 3) + "</td><td>" +
            formatNumber(path.response.periodicThermalTransmittance.getModulus(), 3) + "</td><td>" +
            formatNumber(path.response.internalArealHeatCapacity / 1000.0, 1) + "</td></tr>\n";
  }
  return html + "</tbody>\n</table>\n";
}

std::string sectionsPart(const std::vector<ComputedWall>& walls, const std::vector<Wall>& source) {
  const double scale = sectionScale(source, kReportSize.sectionWidth);
  std::string html =
      "<section id=\"sections\">\n<h2>Wall sections</h2>\n<p class=\"note\">Drawn "
      "to one scale, inner face on the left. Layers that hold no thickness (air "
      "layers given as a resistance) or are thinner than " +
      formatNumber(kMinimumLayerWidth, 0) + " px are widened to stay visible.</p>\n";
  for (std::size_t index = 0; index < walls.size(); ++index) {
    const Wall& wall = *walls[index].wall;
    const std::string id = "section-" + std::to_string(index);
    html += "<section class=\"wall\">\n<h3>" + colourSwatch(walls[index].colour) +
            escapeMarkup(wall.name) + "</h3>\n<figure id=\"" + id + "\">\n" +
            renderWallSection(wall, id + "-drawing", scale) + "<figcaption>Section of " +
            escapeMarkup(wall.name) + ": " +
            formatNumber(walls[index].result.thickness * 1000.0, 0) + " mm, " +
            formatNumber(walls[index].result.surfaceMass, 0) +
            " kg/m², U = " + formatNumber(walls[index].result.uValue, 3) +
            " W/(m²·K).</figcaption>\n</figure>\n" + layerTable(wall) + elementTables(wall) +
            "</section>\n";
  }
  return html + "</section>\n";
}

std::string cycleDescription(double periodHours) {
  return (periodHours == kDailyHours ? std::string("the daily cycle T = ")
                                     : std::string("the cycle T = ")) +
         cycleName(periodHours);
}

std::string responsePart(const std::vector<ComputedWall>& walls, double amplitude, double period) {
  const double periodHours = period / Engine::kSecondsPerHour;
  const std::string swing = "±" + formatNumber(amplitude, amplitude < 10.0 ? 2 : 1) + " K";
  return "<section id=\"responses\">\n<h2>Response to a " +
         (periodHours == kDailyHours ? std::string("daily")
                                     : "periodic (T = " + cycleName(periodHours) + ")") +
         " temperature swing</h2>\n"
         "<figure id=\"response-outdoor\">\n" +
         swingPlot(walls, amplitude, period, true, kReportSize) +
         "<figcaption>Outdoor temperature θe(t) = A cos(2πt/T) with A = " + swing +
         " and T = " + cycleName(periodHours) +
         ", the room held steady. The heat-flow density entering the room at the "
         "inner surface is q = Y12·θe (ISO 13786 defines Y12 = −q1/θe, q1 counted into the "
         "wall): amplitude |Y12|·A, peaking one time lag after the outdoor temperature "
         "(arrows).</figcaption>\n</figure>\n"
         "<figure id=\"response-indoor\">\n" +
         swingPlot(walls, amplitude, period, false, kReportSize) +
         "<figcaption>Indoor temperature θi(t) = A cos(2πt/T) with A = " + swing +
         ", the outside held steady. The heat-flow density entering the inner surface is "
         "q1 = Y11·θi: amplitude |Y11|·A, ahead of the temperature by the time shift of Y11 "
         "(arrows).</figcaption>\n</figure>\n</section>\n";
}

std::string frequencyPart(const std::vector<ComputedWall>& walls, double period) {
  const double periodHours = period / Engine::kSecondsPerHour;
  const SweepPlots plots = sweepPlots(walls, period, kReportSize);
  const std::vector<double> marked = markedCycles(periodHours);
  return "<section id=\"frequency\">\n<h2>Frequency response</h2>\n"
         "<figure id=\"frequency-response\">\n" +
         plots.decrement + plots.lag +
         "<figcaption>ISO 13786 decrement factor f = |Y12|/U and time lag of the inner heat "
         "flow for cycle lengths from 1 hour to 30 days; circles mark the daily and the 12-day "
         "cycle" +
         (marked.size() > 2 ? ", and T = " + cycleName(periodHours) + " of this report"
                            : std::string()) +
         ". The lag is followed continuously from the longest cycle, so on short cycles it "
         "may exceed the cycle length.</figcaption>\n</figure>\n</section>\n";
}

}  // namespace

std::string renderHtmlReport(const std::vector<Wall>& walls, const ReportOptions& options) {
  if (walls.empty() && options.zones.empty() && options.junctions.empty()) {
    throw Error("a report needs at least one wall, zone or junction");
  }
  if (!(options.temperatureAmplitude > 0.0 &&
        options.temperatureAmplitude <= kLargestTemperatureAmplitude)) {
    throw Error("the temperature amplitude of a report must be more than 0 and at most " +
                formatNumber(kLargestTemperatureAmplitude, 0) + " K");
  }
  if (!(options.period >= Engine::kShortestPeriod && options.period <= Engine::kLongestPeriod)) {
    throw Error("the cycle length of a report must be from 1 s to 365 days, got " +
                formatNumber(options.period / Engine::kSecondsPerHour, 2) + " h");
  }
  const double periodHours = options.period / Engine::kSecondsPerHour;
  const std::vector<ComputedWall> computed = computeWalls(walls, options.period);
  const std::string title = escapeMarkup(options.title);
  std::string subtitle =
      walls.size() == 1 ? "One wall" : std::to_string(walls.size()) + " walls compared";
  subtitle += ": dynamic thermal characteristics after ISO 13786, " +
              cycleDescription(periodHours).substr(4) + ".";
  std::string wallParts;
  if (!walls.empty()) {
    wallParts = sectionsPart(computed, walls) + "<section id=\"results\">\n<h2>Results</h2>\n" +
                renderResultsTable(computed, cycleDescription(periodHours)) + "</section>\n" +
                responsePart(computed, options.temperatureAmplitude, options.period) +
                (options.profile ? renderProfilePart(computed, *options.profile) : std::string()) +
                frequencyPart(computed, options.period);
  }
  std::string zoneParts;
  for (std::size_t i = 0; i < options.zones.size(); ++i) {
    zoneParts += renderZoneSection(options.zones[i], i);
  }
  for (std::size_t i = 0; i < options.moisture.size(); ++i) {
    zoneParts += renderMoistureSection(options.moisture[i], options.moistureClimate, i);
  }
  for (std::size_t i = 0; i < options.requirements.size(); ++i) {
    zoneParts += renderRequirementsSection(options.requirements[i], i);
  }
  for (std::size_t i = 0; i < options.junctions.size(); ++i) {
    zoneParts += renderJunctionSection(options.junctions[i], i);
  }
  if (options.provenance) zoneParts += renderProvenanceSection(*options.provenance);
  const std::size_t junctions = options.junctions.size();
  const std::string junctionWords = std::to_string(junctions) +
                                    (junctions == 1 ? " junction" : " junctions") +
                                    " in two dimensions after ISO 10211.";
  if (walls.empty() && options.zones.empty()) {
    subtitle = junctions == 1 ? "One junction in two dimensions after ISO 10211." : junctionWords;
  } else if (walls.empty()) {
    subtitle = (options.zones.size() == 1 ? std::string("One zone")
                                          : std::to_string(options.zones.size()) + " zones") +
               ": thermal mass after ISO 13790 and SAP, from ISO 13786 on the daily cycle.";
  } else if (!options.zones.empty()) {
    subtitle += " " + std::to_string(options.zones.size()) +
                (options.zones.size() == 1 ? " zone" : " zones") + " after ISO 13790 and SAP.";
  }
  if (junctions > 0 && !(walls.empty() && options.zones.empty())) {
    subtitle += " " + junctionWords;
  }

  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         "<meta name=\"generator\" content=\"Brusk\">\n<title>" +
         title + "</title>\n<style>" + kStyleSheet + "</style>\n</head>\n<body>\n<header>\n<h1>" +
         title + "</h1>\n<p class=\"lead\">" + subtitle + "</p>\n</header>\n<main>\n" + wallParts +
         zoneParts +
         "</main>\n<footer>Generated by Brusk. Time shifts follow ISO 13786: Δt = (T/2π)·arg Y, "
         "positive when the heat flow leads the temperature."
         "</footer>\n</body>\n</html>\n";
}

}  // namespace Brusk::Report
