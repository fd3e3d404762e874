#include "results_table.h"

#include <functional>

#include "brusk/engine/sequential_capacity.h"
#include "text_format.h"

namespace Brusk::Report {

namespace {

constexpr double kJoulesPerKilojoule = 1000.0;

struct ResultRow {
  std::string quantity;
  std::string symbol;  ///< HTML markup
  std::string unit;    ///< HTML markup
  std::function<std::string(const ComputedWall&)> value;
};

std::string number(double value, int decimals) { return formatNumber(value, decimals); }

std::string sequentialCapacity(const Engine::SequentialEstimate& estimate) {
  if (estimate.method == Engine::None) return "\u2013";
  return number(estimate.capacity / kJoulesPerKilojoule, 1) + " <span class=\"method\">(" +
         Engine::capacityMethodName(estimate.method) + ")</span>";
}

std::vector<ResultRow> resultRows() {
  const std::string admittanceUnit = "W/(m²·K)";
  return {
      {"Thickness", "<i>d</i>", "m",
       [](const ComputedWall& w) { return number(w.result.thickness, 3); }},
      {"Surface mass", "<i>m</i>", "kg/m²",
       [](const ComputedWall& w) { return number(w.result.surfaceMass, 1); }},
      {"Internal surface resistance", "<i>R</i><sub>si</sub>", "m²·K/W",
       [](const ComputedWall& w) {
         return number(w.wall->request.surfaceResistances().internal, 2);
       }},
      {"External surface resistance", "<i>R</i><sub>se</sub>", "m²·K/W",
       [](const ComputedWall& w) {
         return number(w.wall->request.surfaceResistances().external, 2);
       }},
      {"Total thermal resistance, environment to environment", "<i>R</i>", "m²·K/W",
       [](const ComputedWall& w) { return number(w.result.thermalResistance, 3); }},
      {"Thermal transmittance", "<i>U</i>", admittanceUnit,
       [](const ComputedWall& w) { return number(w.result.uValue, 3); }},
      {"Decrement factor", "<i>f</i>", "\u2013",
       [](const ComputedWall& w) { return number(w.result.decrementFactor, 3); }},
      {"Periodic thermal transmittance", "|<i>Y</i><sub>12</sub>|", admittanceUnit,
       [](const ComputedWall& w) {
         return number(w.result.periodicThermalTransmittance.getModulus(), 3);
       }},
      {"Time shift of <i>Y</i><sub>12</sub>", "Δ<i>t</i><sub>12</sub>", "h",
       [](const ComputedWall& w) { return number(w.result.periodicThermalTransmittanceShift, 2); }},
      {"Time lag of the inner heat flow behind the outdoor temperature", "<i>φ</i>", "h",
       [](const ComputedWall& w) { return number(w.result.timeLag, 2); }},
      {"Internal admittance", "|<i>Y</i><sub>11</sub>|", admittanceUnit,
       [](const ComputedWall& w) { return number(w.result.internalAdmittance.getModulus(), 3); }},
      {"Time shift of <i>Y</i><sub>11</sub>", "Δ<i>t</i><sub>11</sub>", "h",
       [](const ComputedWall& w) { return number(w.result.internalAdmittanceShift, 2); }},
      {"External admittance", "|<i>Y</i><sub>22</sub>|", admittanceUnit,
       [](const ComputedWall& w) { return number(w.result.externalAdmittance.getModulus(), 3); }},
      {"Time shift of <i>Y</i><sub>22</sub>", "Δ<i>t</i><sub>22</sub>", "h",
       [](const ComputedWall& w) { return number(w.result.externalAdmittanceShift, 2); }},
      {"Internal areal heat capacity", "<i>κ</i><sub>1</sub>", "kJ/(m²·K)",
       [](const ComputedWall& w) {
         return number(w.result.internalArealHeatCapacity / kJoulesPerKilojoule, 1);
       }},
      {"External areal heat capacity", "<i>κ</i><sub>2</sub>", "kJ/(m²·K)",
       [](const ComputedWall& w) {
         return number(w.result.externalArealHeatCapacity / kJoulesPerKilojoule, 1);
       }},
      {"Sequential heat capacity, daily cycle", "<i>κ</i><sub>seq,24 h</sub>", "kJ/(m²·K)",
       [](const ComputedWall& w) { return sequentialCapacity(w.result.daily); }},
      {"Sequential heat capacity, 12-day cycle", "<i>κ</i><sub>seq,12 d</sub>", "kJ/(m²·K)",
       [](const ComputedWall& w) { return sequentialCapacity(w.result.twelveDay); }},
  };
}

}  // namespace

std::string renderResultsTable(const std::vector<ComputedWall>& walls) {
  std::string html =
      "<div class=\"scroll\"><table id=\"results-table\" class=\"results\">\n<caption>Dynamic "
      "thermal characteristics "
      "for the daily cycle (T = 24 h), ISO 13786</caption>\n<thead><tr><th scope=\"col\">Quantity"
      "</th><th scope=\"col\">Symbol</th><th scope=\"col\">Unit</th>";
  for (const ComputedWall& wall : walls) {
    html += "<th scope=\"col\" class=\"wall\">" + colourSwatch(wall.colour) +
            escapeMarkup(wall.wall->name) + "</th>";
  }
  html += "</tr></thead>\n<tbody>\n";
  for (const ResultRow& row : resultRows()) {
    html += "<tr><th scope=\"row\">" + row.quantity + "</th><td class=\"symbol\">" + row.symbol +
            "</td><td class=\"unit\">" + row.unit + "</td>";
    for (const ComputedWall& wall : walls)
      html += "<td class=\"value\">" + row.value(wall) + "</td>";
    html += "</tr>\n";
  }
  html += "</tbody>\n</table></div>\n";
  return html;
}

}  // namespace Brusk::Report
