#include "brusk/frontend/profile_response.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/engine/quantities.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/response_summary.h"
#include "brusk/frontend/shortest_double.h"
#include "brusk/frontend/text_util.h"

namespace Brusk::Frontend {

namespace {

using Engine::ProfileField;
using Engine::ProfileProblemKind;

std::string shortest(double value) {
  char buffer[kShortestDoubleRoom];
  return std::string(buffer, writeShortestDouble(value, buffer));
}

std::string fixed(double value, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  // "-0.0" reads as a sign that is not there.
  const std::string text = buffer;
  return text.find_first_not_of("-0.") == std::string::npos && text.front() == '-' ? text.substr(1)
                                                                                   : text;
}

const char* profileName(ProfileField field) {
  switch (field) {
    case ProfileField::Indoor:
      return "the indoor profile";
    case ProfileField::Outdoor:
      return "the outdoor profile";
    case ProfileField::Irradiance:
      return "the solar irradiance profile";
    case ProfileField::Refinement:
      return "samples per step";
    case ProfileField::Period:
      return "the period of the profiles";
    case ProfileField::Absorptance:
      return "the solar absorptance";
    case ProfileField::Emissivity:
      return "the long-wave emissivity";
    case ProfileField::SkyRadiation:
      return "the sky radiation term";
    case ProfileField::ExternalSurfaceResistance:
      return "the external surface resistance";
  }
  return "the profile";
}

std::string requirementOf(ProfileField field) {
  switch (field) {
    case ProfileField::Absorptance:
    case ProfileField::Emissivity:
      return "must be a fraction from 0 to 1";
    case ProfileField::SkyRadiation:
      return "must be a finite number of W/m2, not negative";
    case ProfileField::ExternalSurfaceResistance:
      return "must be a finite number of m2.K/W, not negative";
    case ProfileField::Period:
      return "must be from " + shortest(Engine::kShortestPeriod) + " s to " +
             shortest(Engine::kLongestProfilePeriod) + " s (a leap year)";
    default:
      return "must be at least 1";
  }
}

}  // namespace

std::string describeProfileProblem(const Engine::ProfileProblem& problem) {
  const std::string subject = profileName(problem.field);
  const std::string sample = "sample " + std::to_string(problem.index + 1) + " of " + subject;
  switch (problem.kind) {
    case ProfileProblemKind::Empty:
      return subject + " has no samples";
    case ProfileProblemKind::TooManySamples:
      if (problem.field == ProfileField::Refinement) {
        return "the response would have " + shortest(problem.value) + " samples, more than " +
               std::to_string(Engine::kMaxResponseSamples);
      }
      return subject + " has " + shortest(problem.value) + " samples, more than " +
             std::to_string(Engine::kMaxProfileSamples);
    case ProfileProblemKind::NotFinite:
      return sample + " is not a finite number, got " + shortest(problem.value);
    case ProfileProblemKind::Negative:
      return sample + " is a negative irradiance, got " + shortest(problem.value) + " W/m2";
    case ProfileProblemKind::OutOfRange:
      return subject + " " + requirementOf(problem.field) + ", got " + shortest(problem.value);
    case ProfileProblemKind::ShortHarmonic:
      return subject + " has so many samples that its harmonic " + std::to_string(problem.index) +
             " lasts " + shortest(problem.value) + " s, below the shortest cycle computed (" +
             shortest(Engine::kShortestPeriod) + " s); use fewer samples or a longer period";
    case ProfileProblemKind::LengthMismatch:
      return subject + " has " + shortest(problem.value) +
             " samples, it needs one per outdoor sample";
  }
  return subject + " cannot be used";
}

std::string describeProfileProblem(const Engine::ProfileProblem& problem,
                                   const std::string& indoorSource,
                                   const std::string& outdoorSource) {
  const std::string& source = problem.field == ProfileField::Indoor ? indoorSource : outdoorSource;
  return source + ": " + describeProfileProblem(problem);
}

Engine::ProfileResponse computeWallProfile(const Wall& wall, Engine::ProfileRequest request,
                                           const ProfileSources& sources) {
  const double period = request.wall.period;
  request.wall = wall.request;
  request.wall.period = period;
  // Layers of parts, ventilated air layers, corrections: the element's parallel-path
  // admittances at every harmonic and its combined-method U, as `brusk compute` gives them.
  request.element = wall.element.element;
  Engine::ProfileOutcome outcome = Engine::computeProfileResponse(request);
  if (const auto* problem = std::get_if<Engine::WallProblem>(&outcome)) {
    Wall shown = wall;
    shown.request.period = period;
    throw Error(sources.wall + ": " + describeProblem(*problem, shown));
  }
  if (const auto* problem = std::get_if<Engine::ProfileProblem>(&outcome)) {
    throw Error(describeProfileProblem(*problem, sources.indoor, sources.outdoor));
  }
  return std::move(std::get<Engine::ProfileResponse>(outcome));
}

std::string formatProfileJson(const NamedProfileResponse& named) {
  const Engine::ProfileResponse& response = named.response;
  std::string out = "{\n  \"name\": ";
  appendJsonString(named.name, out);
  const auto field = [&out](const char* indent, const char* key, double value, bool last) {
    out += indent;
    out += '"';
    out += key;
    out += "\": ";
    out += shortest(value);
    out += last ? "\n" : ",\n";
  };
  out += ",\n";
  field("  ", "period", response.period / Engine::kSecondsPerHour, false);
  field("  ", "u_value", response.uValue, false);
  out += "  \"samples\": [";
  for (std::size_t j = 0; j < response.samples.size(); ++j) {
    const Engine::ProfileSample& s = response.samples[j];
    out += j == 0 ? "\n" : ",\n";
    out += "    {\"time\": " + shortest(named.startHours + s.time);
    out += ", \"indoor\": " + shortest(s.indoor);
    out += ", \"outdoor\": " + shortest(s.outdoor);
    out += ", \"heat_flow_in\": " + shortest(s.heatFlowIn);
    out += ", \"inner_surface_temperature\": " + shortest(s.innerSurfaceTemperature);
    out += ", \"heat_flow_out\": " + shortest(s.heatFlowOut);
    out += ", \"outer_surface_temperature\": " + shortest(s.outerSurfaceTemperature) + "}";
  }
  out += "\n  ],\n  \"summary\": {\n";
  appendSummaryJsonMembers(named.summary, named.startHours, "    ", out);
  out += "  }\n}\n";
  return out;
}

std::string formatProfileCsv(const NamedProfileResponse& named) {
  std::string out =
      "time,indoor,outdoor,heat_flow_in,inner_surface_temperature,heat_flow_out,"
      "outer_surface_temperature\n";
  for (const Engine::ProfileSample& s : named.response.samples) {
    out += shortest(named.startHours + s.time) + ',' + shortest(s.indoor) + ',' +
           shortest(s.outdoor) + ',' + shortest(s.heatFlowIn) + ',' +
           shortest(s.innerSurfaceTemperature) + ',' + shortest(s.heatFlowOut) + ',' +
           shortest(s.outerSurfaceTemperature) + '\n';
  }
  return out;
}

std::string formatProfileTable(const NamedProfileResponse& named) {
  const Engine::ProfileResponse& response = named.response;
  std::string out = visibleText(named.name) + ": periodic response over " +
                    fixed(response.period / Engine::kSecondsPerHour, 2) +
                    " h, U = " + fixed(response.uValue, 3) + " W/(m2.K)\n";
  const std::vector<std::string> headers = {"t [h]", "θi [°C]", "θe [°C]", "q_in [W/m2]",
                                            "θsi [°C]"};
  std::vector<std::vector<std::string>> rows;
  for (const Engine::ProfileSample& s : response.samples) {
    rows.push_back({fixed(named.startHours + s.time, 2), fixed(s.indoor, 2), fixed(s.outdoor, 2),
                    fixed(s.heatFlowIn, 2), fixed(s.innerSurfaceTemperature, 2)});
  }
  std::vector<std::size_t> widths;
  for (const std::string& header : headers) widths.push_back(displayWidth(header));
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  }
  const auto appendRow = [&](const std::vector<std::string>& row) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) out += "  ";
      out.append(widths[i] - std::min(widths[i], displayWidth(row[i])), ' ');
      out += row[i];
    }
    out += '\n';
  };
  appendRow(headers);
  for (const auto& row : rows) appendRow(row);

  // The summary as the quantity description labels it, in its units and decimals.
  std::vector<std::pair<std::string, std::string>> lines;
  for (const SummaryQuantity& quantity : responseSummaryQuantities()) {
    const double value = quantity.value(named.summary, named.startHours);
    const Engine::Quantity& described = *quantity.described;
    std::string text = std::isfinite(value) ? fixed(value, described.decimals) : "not defined";
    if (std::isfinite(value) && described.unit != "-") {
      text += ' ';
      text += described.displayUnitUnicode;
    }
    lines.emplace_back(described.label, std::move(text));
  }
  std::size_t labelWidth = 0;
  for (const auto& line : lines) labelWidth = std::max(labelWidth, line.first.size());
  out += '\n';
  for (const auto& line : lines) {
    out += line.first;
    out.append(labelWidth - line.first.size() + 2, ' ');
    out += line.second + '\n';
  }
  return out;
}

}  // namespace Brusk::Frontend
