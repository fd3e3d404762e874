#include "results_table.h"

#include <functional>
#include <string_view>

#include "brusk/engine/quantities.h"
#include "brusk/engine/sequential_capacity.h"
#include "text_format.h"

namespace Brusk::Report {

namespace {

/// One row: a quantity of the description, or a figure of the wall's boundary beside them.
struct ResultRow {
  std::string quantity;
  std::string symbol;  ///< HTML markup
  std::string unit;    ///< HTML markup
  std::function<std::string(const ComputedWall&)> value;
};

/// The rows the report shows, by key of the quantity description, in reading order; the
/// surface resistances, which are inputs rather than results, are placed after the mass.
constexpr std::string_view kReportKeys[] = {
    "thickness",
    "surface_mass",
    "",  // the surface resistances
    "thermal_resistance",
    "u_value",
    "decrement_factor",
    "periodic_thermal_transmittance.modulus",
    "periodic_thermal_transmittance.time_shift",
    "periodic_thermal_transmittance.time_lag",
    "internal_admittance.modulus",
    "internal_admittance.time_shift",
    "external_admittance.modulus",
    "external_admittance.time_shift",
    "internal_areal_heat_capacity",
    "external_areal_heat_capacity",
    "sequential_heat_capacity.daily.value",
    "sequential_heat_capacity.twelve_day.value",
};

/// A sequential estimate with its rule, or a dash where there is none.
std::string sequentialCapacity(const Engine::Quantity& q, const Engine::SequentialEstimate& e) {
  if (e.method == Engine::None) return "\u2013";
  return formatNumber(q.displayed(e.capacity), q.decimals) + " <span class=\"method\">(" +
         Engine::capacityMethodName(e.method) + ")</span>";
}

ResultRow quantityRow(std::string_view key) {
  const Engine::Quantity& q = Engine::quantity(Engine::QuantityScope::Wall, key);
  ResultRow row{std::string(q.label), std::string(q.symbolHtml), std::string(q.displayUnitUnicode),
                nullptr};
  if (key == "sequential_heat_capacity.daily.value") {
    row.value = [&q](const ComputedWall& w) { return sequentialCapacity(q, w.result.daily); };
  } else if (key == "sequential_heat_capacity.twelve_day.value") {
    row.value = [&q](const ComputedWall& w) { return sequentialCapacity(q, w.result.twelveDay); };
  } else {
    row.value = [&q](const ComputedWall& w) {
      return formatNumber(q.displayed(q.wallNumber(w.result)), q.decimals);
    };
  }
  return row;
}

std::vector<ResultRow> resultRows() {
  std::vector<ResultRow> rows;
  for (const std::string_view key : kReportKeys) {
    if (!key.empty()) {
      rows.push_back(quantityRow(key));
      continue;
    }
    rows.push_back({"Internal surface resistance", "<i>R</i><sub>si</sub>", "m²·K/W",
                    [](const ComputedWall& w) {
                      return formatNumber(w.wall->request.surfaceResistances().internal, 2);
                    }});
    rows.push_back({"External surface resistance", "<i>R</i><sub>se</sub>", "m²·K/W",
                    [](const ComputedWall& w) {
                      return formatNumber(w.wall->request.surfaceResistances().external, 2);
                    }});
  }
  return rows;
}

}  // namespace

std::string renderResultsTable(const std::vector<ComputedWall>& walls, const std::string& cycle) {
  std::string html =
      "<div class=\"scroll\"><table id=\"results-table\" class=\"results\">\n<caption>Dynamic "
      "thermal characteristics for " +
      escapeMarkup(cycle) +
      ", ISO 13786</caption>\n<thead><tr><th scope=\"col\">Quantity"
      "</th><th scope=\"col\">Symbol</th><th scope=\"col\">Unit</th>";
  for (const ComputedWall& wall : walls) {
    html += "<th scope=\"col\" class=\"wall\">" + colourSwatch(wall.colour) +
            escapeMarkup(wall.wall->name) + "</th>";
  }
  html += "</tr></thead>\n<tbody>\n";
  for (const ResultRow& row : resultRows()) {
    html += "<tr><th scope=\"row\">" + escapeMarkup(row.quantity) + "</th><td class=\"symbol\">" +
            row.symbol + "</td><td class=\"unit\">" + escapeMarkup(row.unit) + "</td>";
    for (const ComputedWall& wall : walls)
      html += "<td class=\"value\">" + row.value(wall) + "</td>";
    html += "</tr>\n";
  }
  html += "</tbody>\n</table></div>\n";
  return html;
}

}  // namespace Brusk::Report
