// The summary quantities of a periodic response and their writers. Definitions in the table;
// the engine's summary (summarizeProfileResponse) computes them from the series.
#include "brusk/frontend/response_summary.h"

#include <cmath>
#include <string>

#include "brusk/frontend/output.h"
#include "brusk/frontend/shortest_double.h"

namespace Brusk::Frontend {

namespace {

using Engine::ProfileSummary;

/// Wh/m2 -> kWh/m2.
constexpr double kWattHoursPerKilowattHour = 1000.0;

const std::vector<SummaryQuantity> kQuantities = {
    {"mean_heat_flow_in", "mean heat flow into the room", "q_in,mean", "W/m2",
     "mean over the period of the heat flow density leaving the inner surface into the room, "
     "U (mean theta_e - mean theta_i) exactly (positive: the room gains heat)",
     [](const ProfileSummary& s, double) { return s.meanHeatFlowIn; }},
    {"peak_heat_flow_in", "peak heat flow into the room", "q_in,max", "W/m2",
     "largest sampled heat flow density into the room",
     [](const ProfileSummary& s, double) { return s.peakHeatFlowIn; }},
    {"peak_heat_flow_in_time", "time of the peak heat flow", "t(q_in,max)", "h",
     "time of the first sample with the largest heat flow into the room, in the profiles' time",
     [](const ProfileSummary& s, double start) { return start + s.peakTime; }},
    {"minimum_heat_flow_in", "minimum heat flow into the room", "q_in,min", "W/m2",
     "smallest sampled heat flow density into the room (negative: the room loses heat)",
     [](const ProfileSummary& s, double) { return s.minimumHeatFlowIn; }},
    {"minimum_heat_flow_in_time", "time of the minimum heat flow", "t(q_in,min)", "h",
     "time of the first sample with the smallest heat flow into the room",
     [](const ProfileSummary& s, double start) { return start + s.minimumTime; }},
    {"heat_gained", "heat gained through the inner surface", "Q_gain", "kWh/m2",
     "sum over the samples of max(q_in, 0) dt, dt = T / M: the heat the room gains through the "
     "inner surface over one period",
     [](const ProfileSummary& s, double) { return s.energyGained / kWattHoursPerKilowattHour; }},
    {"heat_lost", "heat lost through the inner surface", "Q_loss", "kWh/m2",
     "sum over the samples of max(-q_in, 0) dt: the heat the room loses through the inner "
     "surface over one period",
     [](const ProfileSummary& s, double) { return s.energyLost / kWattHoursPerKilowattHour; }},
    {"inner_surface_temperature_max", "highest inner surface temperature", "theta_si,max", "degC",
     "largest sampled inner surface temperature, theta_si = theta_i + Rsi q_in",
     [](const ProfileSummary& s, double) { return s.innerSurfaceMaximum; }},
    {"inner_surface_temperature_max_time", "time of the highest inner surface temperature",
     "t(theta_si,max)", "h", "time of the first sample with the highest inner surface temperature",
     [](const ProfileSummary& s, double start) { return start + s.innerSurfaceMaximumTime; }},
    {"inner_surface_temperature_min", "lowest inner surface temperature", "theta_si,min", "degC",
     "smallest sampled inner surface temperature",
     [](const ProfileSummary& s, double) { return s.innerSurfaceMinimum; }},
    {"inner_surface_temperature_min_time", "time of the lowest inner surface temperature",
     "t(theta_si,min)", "h", "time of the first sample with the lowest inner surface temperature",
     [](const ProfileSummary& s, double start) { return start + s.innerSurfaceMinimumTime; }},
    {"main_harmonic_period", "period of the main harmonic", "T/k*", "h",
     "period of the outdoor profile's harmonic of largest amplitude (the annual or the daily "
     "swing of an hourly year); empty for a constant outdoor temperature",
     [](const ProfileSummary& s, double) { return s.mainHarmonicPeriod; }},
    {"effective_decrement_factor", "effective decrement factor of the main harmonic", "f_eff", "-",
     "|q_in,k*| / (U |theta_e,k*|): the main harmonic's swing of the heat flow into the room per "
     "steady-state flow of its outdoor swing; the ISO 13786 decrement factor at T/k* when the "
     "indoor temperature is constant",
     [](const ProfileSummary& s, double) { return s.effectiveDecrementFactor; }},
    {"effective_time_lag", "effective time lag of the main harmonic", "dt_f,eff", "h",
     "how long the main harmonic of the heat flow into the room peaks after that of the outdoor "
     "temperature, in [0, T/k*); the ISO 13786 time lag at T/k* when the indoor temperature is "
     "constant",
     [](const ProfileSummary& s, double) { return s.effectiveTimeLag; }},
};

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
