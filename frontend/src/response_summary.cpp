// The summary quantities of a periodic response and their writers. Definitions in the table;
// the engine's summary (summarizeProfileResponse) computes them from the series.
#include "brusk/frontend/response_summary.h"

#include <cmath>
#include <string>

#include "brusk/engine/quantities.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/shortest_double.h"

namespace Brusk::Frontend {

namespace {

using Engine::ProfileSummary;

/// Wh/m2 -> kWh/m2.
constexpr double kWattHoursPerKilowattHour = 1000.0;

/// The value of each summary quantity from the engine's summary, which gives times from the
/// start of the period and energies in Wh/m2; labels, units and definitions are the engine's
/// quantity description's (scope ResponseSummary), in its order.
struct SummaryValue {
  std::string_view key;
  double (*value)(const ProfileSummary& summary, double startHours);
};

const SummaryValue kValues[] = {
    {"mean_heat_flow_in", [](const ProfileSummary& s, double) { return s.meanHeatFlowIn; }},
    {"peak_heat_flow_in", [](const ProfileSummary& s, double) { return s.peakHeatFlowIn; }},
    {"peak_heat_flow_in_time",
     [](const ProfileSummary& s, double start) { return start + s.peakTime; }},
    {"minimum_heat_flow_in", [](const ProfileSummary& s, double) { return s.minimumHeatFlowIn; }},
    {"minimum_heat_flow_in_time",
     [](const ProfileSummary& s, double start) { return start + s.minimumTime; }},
    {"heat_gained",
     [](const ProfileSummary& s, double) { return s.energyGained / kWattHoursPerKilowattHour; }},
    {"heat_lost",
     [](const ProfileSummary& s, double) { return s.energyLost / kWattHoursPerKilowattHour; }},
    {"inner_surface_temperature_max",
     [](const ProfileSummary& s, double) { return s.innerSurfaceMaximum; }},
    {"inner_surface_temperature_max_time",
     [](const ProfileSummary& s, double start) { return start + s.innerSurfaceMaximumTime; }},
    {"inner_surface_temperature_min",
     [](const ProfileSummary& s, double) { return s.innerSurfaceMinimum; }},
    {"inner_surface_temperature_min_time",
     [](const ProfileSummary& s, double start) { return start + s.innerSurfaceMinimumTime; }},
    {"main_harmonic_period", [](const ProfileSummary& s, double) { return s.mainHarmonicPeriod; }},
    {"effective_decrement_factor",
     [](const ProfileSummary& s, double) { return s.effectiveDecrementFactor; }},
    {"effective_time_lag", [](const ProfileSummary& s, double) { return s.effectiveTimeLag; }},
    {"outdoor_peak_time",
     [](const ProfileSummary& s, double start) { return start + s.outdoorPeakTime; }},
    {"peak_delay", [](const ProfileSummary& s, double) { return s.peakDelay; }},
};

std::vector<SummaryQuantity> describedQuantities() {
  std::vector<SummaryQuantity> described;
  for (const SummaryValue& entry : kValues) {
    const Engine::Quantity& q = Engine::quantity(Engine::QuantityScope::ResponseSummary, entry.key);
    // Every view of the description is a whole string literal, so its data ends in a NUL.
    described.push_back({q.key.data(), &q, entry.value});
  }
  return described;
}

const std::vector<SummaryQuantity> kQuantities = describedQuantities();

void appendNumber(double value, std::string& out) {
  char buffer[kShortestDoubleRoom];
  out.append(buffer, writeShortestDouble(value, buffer));
}

/// A CSV cell: the number, or nothing where it is not defined.
void appendCsvNumber(double value, std::string& out) {
  if (std::isfinite(value)) appendNumber(value, out);
}

/// A JSON value: the number, or null where it is not defined.
void appendJsonNumber(double value, std::string& out) {
  if (std::isfinite(value)) {
    appendNumber(value, out);
  } else {
    out += "null";
  }
}

/// t_j = start + j T / M [h], as the engine times its samples.
double sampleTime(std::size_t j, std::size_t count, double periodHours, double startHours) {
  return startHours + periodHours * static_cast<double>(j) / static_cast<double>(count);
}

}  // namespace

const std::vector<SummaryQuantity>& responseSummaryQuantities() { return kQuantities; }

void appendSummaryCsvHeader(std::string& out) {
  out += "line,name";
  for (const SummaryQuantity& quantity : kQuantities) {
    out += ',';
    out += quantity.key;
  }
  out += ",error\n";
}

void appendSummaryCsvRow(std::size_t lineNumber, std::string_view name,
                         const Engine::ProfileSummary& summary, double startHours,
                         std::string& out) {
  out += std::to_string(lineNumber);
  out += ',';
  appendCsvText(name, out);
  for (const SummaryQuantity& quantity : kQuantities) {
    out += ',';
    appendCsvNumber(quantity.value(summary, startHours), out);
  }
  out += ",\n";
}

void appendSummaryJsonLine(std::size_t lineNumber, std::string_view name,
                           const Engine::ProfileSummary& summary, double startHours,
                           std::string& out) {
  out += "{\"line\":" + std::to_string(lineNumber) + ",\"name\":";
  appendJsonString(name, out);
  for (const SummaryQuantity& quantity : kQuantities) {
    out += ",\"";
    out += quantity.key;
    out += "\":";
    appendJsonNumber(quantity.value(summary, startHours), out);
  }
  out += "}\n";
}

void appendSummaryJsonMembers(const Engine::ProfileSummary& summary, double startHours,
                              std::string_view indent, std::string& out) {
  for (std::size_t i = 0; i < kQuantities.size(); ++i) {
    const SummaryQuantity& quantity = kQuantities[i];
    out += indent;
    out += '"';
    out += quantity.key;
    out += "\": ";
    appendJsonNumber(quantity.value(summary, startHours), out);
    out += i + 1 < kQuantities.size() ? ",\n" : "\n";
  }
}

void appendSeriesCsvHeader(std::string& out) {
  out += "line,name,time,heat_flow_in,inner_surface_temperature,error\n";
}

void appendSeriesCsvRows(std::size_t lineNumber, std::string_view name,
                         const Engine::ProfileSeries& series, double periodHours, double startHours,
                         std::string& out) {
  std::string prefix = std::to_string(lineNumber) + ",";
  appendCsvText(name, prefix);
  prefix += ',';
  const std::size_t count = series.heatFlowIn.size();
  for (std::size_t j = 0; j < count; ++j) {
    out += prefix;
    appendNumber(sampleTime(j, count, periodHours, startHours), out);
    out += ',';
    appendCsvNumber(series.heatFlowIn[j], out);
    out += ',';
    appendCsvNumber(series.innerSurfaceTemperature[j], out);
    out += ",\n";
  }
}

void appendSeriesJsonLine(std::size_t lineNumber, std::string_view name,
                          const Engine::ProfileSeries& series, double periodHours,
                          double startHours, std::string& out) {
  out += "{\"line\":" + std::to_string(lineNumber) + ",\"name\":";
  appendJsonString(name, out);
  const std::size_t count = series.heatFlowIn.size();
  const auto array = [&](const char* key, auto valueAt) {
    out += ",\"";
    out += key;
    out += "\":[";
    for (std::size_t j = 0; j < count; ++j) {
      if (j > 0) out += ',';
      appendJsonNumber(valueAt(j), out);
    }
    out += ']';
  };
  array("time", [&](std::size_t j) { return sampleTime(j, count, periodHours, startHours); });
  array("heat_flow_in", [&](std::size_t j) { return series.heatFlowIn[j]; });
  array("inner_surface_temperature",
        [&](std::size_t j) { return series.innerSurfaceTemperature[j]; });
  out += "}\n";
}

}  // namespace Brusk::Frontend
