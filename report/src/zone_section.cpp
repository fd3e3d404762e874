#include "brusk/report/zone_section.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "brusk/engine/zone.h"
#include "svg_writer.h"
#include "text_format.h"

namespace Brusk::Report {

namespace {

constexpr double kJoulesPerKilojoule = 1000.0;
constexpr double kChartWidth = 880.0;
constexpr double kLabelWidth = 260.0;
constexpr double kBarHeight = 18.0;
constexpr double kBarGap = 8.0;
constexpr double kScaleHeight = 96.0;
const char* const kBarColour = "#0072B2";
const char* const kMarkerColour = "#D55E00";

constexpr std::array<Engine::MassClass, 5> kClasses = {
    Engine::MassClass::VeryLight, Engine::MassClass::Light, Engine::MassClass::Medium,
    Engine::MassClass::Heavy, Engine::MassClass::VeryHeavy};
// Light to dark greys, one per class, for the bands of the scale.
const char* const kBandColours[] = {"#f4f4f4", "#e2e2e2", "#cfcfcf", "#b9b9b9", "#a2a2a2"};

/// Horizontal bars of each element's A times its faces' kappa, as a share of Cm.
std::string shareChart(const Frontend::ZoneReport& report, std::size_t index) {
  const Engine::ZoneResult& result = report.result;
  const double total = result.totals.heatCapacity;
  const double height = 20.0 + static_cast<double>(result.elements.size()) * (kBarHeight + kBarGap);
  SvgWriter svg("zone-" + std::to_string(index) + "-shares", kChartWidth, height,
                "Share of each element in the heat capacity Cm of " + report.zone.name);
  const double barSpace = kChartWidth - kLabelWidth - 90.0;
  SvgTextStyle label;
  label.anchor = TextAnchor::End;
  SvgTextStyle value;
  for (std::size_t i = 0; i < result.elements.size(); ++i) {
    const double share = total > 0.0 ? result.elements[i].heatCapacity / total : 0.0;
    const double y = 10.0 + static_cast<double>(i) * (kBarHeight + kBarGap);
    svg.text({kLabelWidth - 8.0, y + kBarHeight - 5.0}, report.zone.labels[i].name, label);
    svg.rectangle({kLabelWidth, y}, std::max(share * barSpace, 0.5), kBarHeight, kBarColour,
                  SvgStroke{kBarColour, 0.5, ""});
    svg.text({kLabelWidth + share * barSpace + 6.0, y + kBarHeight - 5.0},
             formatNumber(100.0 * share, 1) + " %", value);
  }
  return svg.finish();
}

/// The Table 12 classes as bands between the midpoints, their values ticked, the zone marked.
std::string classScale(const Frontend::ZoneReport& report, std::size_t index) {
  const double zoneValue = report.result.totals.heatCapacityPerFloorArea / kJoulesPerKilojoule;
  const double top = std::max(450.0, 1.1 * zoneValue);
  const double left = 20.0;
  const double width = kChartWidth - 2.0 * left;
  const auto x = [&](double kilojoules) { return left + width * kilojoules / top; };
  SvgWriter svg("zone-" + std::to_string(index) + "-class", kChartWidth, kScaleHeight,
                "ISO 13790 mass classes by Cm / Af, with " + report.zone.name + " marked");
  const double bandTop = 30.0;
  const double bandHeight = 26.0;
  SvgTextStyle middle;
  middle.anchor = TextAnchor::Middle;
  SvgTextStyle small = middle;
  small.size = 10.0;
  for (std::size_t i = 0; i < kClasses.size(); ++i) {
    const double value = Engine::massClassCapacity(kClasses[i]) / kJoulesPerKilojoule;
    const double from =
        i == 0 ? 0.0
               : 0.5 * (value + Engine::massClassCapacity(kClasses[i - 1]) / kJoulesPerKilojoule);
    const double to =
        i + 1 == kClasses.size()
            ? top
            : 0.5 * (value + Engine::massClassCapacity(kClasses[i + 1]) / kJoulesPerKilojoule);
    svg.rectangle({x(from), bandTop}, x(to) - x(from), bandHeight, kBandColours[i],
                  SvgStroke{"#888", 0.5, ""});
    svg.text({0.5 * (x(from) + x(to)), bandTop + 17.0}, Engine::massClassName(kClasses[i]), small);
    svg.line({x(value), bandTop + bandHeight}, {x(value), bandTop + bandHeight + 5.0},
             SvgStroke{"#444", 1.0, ""});
    svg.text({x(value), bandTop + bandHeight + 17.0}, formatNumber(value, 0), small);
  }
  svg.text({x(top) - 4.0, bandTop + bandHeight + 32.0}, "Cm / Af [kJ/(m2.K)]",
           SvgTextStyle{TextAnchor::End, 10.0, "#444", false, 0.0});
  // The zone: a marker line through the bands and its value above.
  svg.line({x(zoneValue), bandTop - 6.0}, {x(zoneValue), bandTop + bandHeight},
           SvgStroke{kMarkerColour, 3.0, ""});
  SvgTextStyle marker = middle;
  marker.colour = kMarkerColour;
  marker.bold = true;
  const double labelX = std::clamp(x(zoneValue), left + 60.0, left + width - 60.0);
  svg.text({labelX, bandTop - 10.0}, formatNumber(zoneValue, 1) + " kJ/(m2.K)", marker);
  return svg.finish();
}

std::string row(const std::string& quantity, const std::string& value, const std::string& source) {
  return "<tr><th scope=\"row\">" + escapeMarkup(quantity) + "</th><td class=\"value\">" + value +
         "</td><td class=\"unit\">" + escapeMarkup(source) + "</td></tr>\n";
}

}  // namespace

std::string renderZoneSection(const Frontend::ZoneReport& report, std::size_t index) {
  const Engine::ZoneTotals& totals = report.result.totals;
  const std::string name = escapeMarkup(report.zone.name);
  std::string html = "<section class=\"zone\" id=\"zone-" + std::to_string(index) +
                     "\">\n<h2>Zone " + name + "</h2>\n<p>Floor area A<sub>f</sub> " +
                     formatNumber(report.zone.request.floorArea, 2) + " m², " +
                     std::to_string(report.result.elements.size()) +
                     " elements; C<sub>m</sub> from the " +
                     (report.zone.request.capacityBasis == Engine::ZoneCapacityBasis::Detailed
                          ? "ISO 13786 κ on the daily cycle"
                          : "sequential daily estimate") +
                     ".</p>\n<figure>\n" + shareChart(report, index) +
                     "<figcaption>Each element's share of C<sub>m</sub> = Σ A·κ (its area times "
                     "the κ of each face that counts).</figcaption>\n</figure>\n<figure>\n" +
                     classScale(report, index) +
                     "<figcaption>The classes of ISO 13790 Table 12, bounded at the midpoints "
                     "between neighbours; the zone's C<sub>m</sub>/A<sub>f</sub> is marked."
                     "</figcaption>\n</figure>\n<table class=\"results\">\n<caption>Zone "
                     "totals</caption>\n<thead><tr><th>Quantity</th><th>Value</th><th>Definition, "
                     "source</th></tr></thead>\n<tbody>\n";
  html += row("Heat capacity Cm [kJ/K]", formatNumber(totals.heatCapacity / kJoulesPerKilojoule, 1),
              "Σ A·κ, ISO 13790 12.3.1.2");
  html += row("Cm / Af [kJ/(m²·K)]",
              formatNumber(totals.heatCapacityPerFloorArea / kJoulesPerKilojoule, 1), "");
  html += row("Mass class", escapeMarkup(Engine::massClassName(totals.massClass)),
              "nearest of ISO 13790 Table 12");
  html += row("Effective mass area Am [m²]", formatNumber(totals.effectiveMassArea, 2),
              "Cm² / Σ A·κ², ISO 13790 12.3.1.2");
  html += row("Thermal mass parameter TMP [kJ/(m²·K)]",
              formatNumber(totals.thermalMassParameter / kJoulesPerKilojoule, 1),
              "Σ A·κ(10 cm) / Af, UK SAP");
  html += row("Admittance area [W/K]", formatNumber(totals.admittanceArea, 1), "Σ A·|Y|");
  html += row("Conductance area [W/K]", formatNumber(totals.conductanceArea, 2),
              "Σ A·U over the boundary elements");
  html += row("Time constant τ [h]",
              totals.timeConstant ? formatNumber(*totals.timeConstant, 1) : std::string("–"),
              "Cm / (3600 H), ISO 13790 12.2.1.3");
  html += "</tbody>\n</table>\n</section>\n";
  return html;
}

}  // namespace Brusk::Report
