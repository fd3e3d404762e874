// A junction's problems in words, its results as the JSON every door shares, and a generated
// junction written back as a drawn section.

#include <cmath>
#include <sstream>

#include <nlohmann/json.hpp>

#include "brusk/frontend/error.h"
#include "brusk/frontend/junction.h"
#include "brusk/frontend/text_util.h"
#include "document.h"

namespace Brusk::Frontend {

namespace {

using Json = nlohmann::json;
using Detail::formatNumber;

std::string at(double x, double y) {
  return "(" + formatNumber(x) + ", " + formatNumber(y) + ") m";
}

std::string regionLabel(const Junction& junction, std::size_t index) {
  std::string label = "region " + std::to_string(index + 1);
  if (index < junction.regions.size() && !junction.regions[index].name.empty() &&
      junction.regions[index].name != label) {
    label += " (\"" + visibleText(junction.regions[index].name) + "\")";
  }
  return label;
}

std::size_t lineOf(const std::vector<std::size_t>& lines, std::size_t index, std::size_t fallback) {
  return index < lines.size() ? lines[index] : fallback;
}

/// A number or null: a figure not computed is never 0.
Json numberOrNull(double value) { return std::isfinite(value) ? Json(value) : Json(nullptr); }

}  // namespace

std::string describeBridgeProblem(const Engine::BridgeProblem& problem, const Junction& junction) {
  using Kind = Engine::BridgeProblemKind;
  const std::size_t i = problem.index;
  std::size_t line = junction.junctionLine;
  std::string what;
  std::string reason;
  switch (problem.kind) {
    case Kind::NoRegions:
      reason = "the junction has no regions";
      break;
    case Kind::RegionSize:
      line = i < junction.regions.size() ? junction.regions[i].line : line;
      what = regionLabel(junction, i);
      reason = "the region has zero size (its x or y span is empty)";
      break;
    case Kind::RegionConductivity:
      line = i < junction.regions.size() ? junction.regions[i].line : line;
      what = regionLabel(junction, i);
      reason =
          "conductivity must be a positive number of W/(m.K), got " + formatNumber(problem.value);
      break;
    case Kind::TooFewEnvironments:
      reason = "a junction needs at least two environments for heat to flow between";
      break;
    case Kind::EnvironmentTemperature:
    case Kind::SurfaceResistance:
      line = lineOf(junction.environmentLines, i, line);
      what = "environment \"" + visibleText(junction.request.environments[i].name) + "\"";
      reason = problem.kind == Kind::SurfaceResistance
                   ? "surface_resistance must be at least 0, got " + formatNumber(problem.value)
                   : "temperature must be a finite number of degC";
      break;
    case Kind::EqualTemperatures:
      reason = "every environment is at " + formatNumber(problem.value) +
               " degC: no heat flows, so no coupling coefficient, psi or fRsi can be found; "
               "give the environments different temperatures";
      break;
    case Kind::BoundaryEnvironment:
    case Kind::BoundaryShape:
      line = lineOf(junction.boundaryLines, i, line);
      what = "boundary " + std::to_string(i + 1);
      reason = problem.kind == Kind::BoundaryShape
                   ? "a boundary must be a horizontal or vertical segment of non-zero length "
                     "(from and to share x or y)"
                   : "the boundary names no environment";
      break;
    case Kind::BoundaryOffEdge:
      line = lineOf(junction.boundaryLines, i, line);
      what = "boundary " + std::to_string(i + 1);
      reason = "the boundary leaves the body's outer edge at " + at(problem.x, problem.y) +
               ": there it runs through material or through empty space; a boundary must lie "
               "on an edge with the body on one side only";
      break;
    case Kind::BoundariesOverlap:
      line = lineOf(junction.boundaryLines, problem.other, line);
      what = "boundary " + std::to_string(problem.other + 1);
      reason = "it overlaps boundary " + std::to_string(i + 1) + " (line " +
               std::to_string(lineOf(junction.boundaryLines, i, 0)) + ") at " +
               at(problem.x, problem.y) + ": a stretch of surface faces one environment only";
      break;
    case Kind::EnvironmentUnused:
      line = lineOf(junction.environmentLines, i, line);
      what = "environment \"" + visibleText(junction.request.environments[i].name) + "\"";
      reason =
          "no boundary faces this environment; add a [[boundaries]] table for it or "
          "remove it";
      break;
    case Kind::BodyInPieces:
      line = i < junction.regions.size() ? junction.regions[i].line : line;
      what = regionLabel(junction, i);
      reason = "the regions form more than one body: this one is apart from the rest at " +
               at(problem.x, problem.y) +
               " (regions touching only at a corner pass no heat); join them or remove it";
      break;
    case Kind::GridTooLarge:
      reason = "the grid would need " + formatNumber(problem.value) +
               " nodes or lines, more than the limit of " + formatNumber(problem.limit) +
               " (at most " + std::to_string(Engine::kBridgeMaxLines) +
               " distinct region edges along each axis and " +
               std::to_string(Engine::kBridgeMaxNodes) + " nodes)";
      break;
    case Kind::FlankingEnvironment:
    case Kind::FlankingValue:
      line = i < junction.flanking.size() ? junction.flanking[i].line : line;
      what = "flanking element " + std::to_string(i + 1);
      reason = problem.kind == Kind::FlankingValue
                   ? "U and length must be positive, got " + formatNumber(problem.value)
                   : "the element must couple two different environments";
      break;
    case Kind::ProbeOutside:
      line = lineOf(junction.probeLines, i, line);
      what = "probe " + std::to_string(i + 1) +
             (i < junction.probeNames.size() ? " (\"" + visibleText(junction.probeNames[i]) + "\")"
                                             : std::string());
      reason = "the point " + at(problem.x, problem.y) + " lies outside the body";
      break;
    case Kind::FRsiResistance:
      reason = "f_rsi_surface_resistance must be a positive number of m2.K/W, got " +
               formatNumber(problem.value);
      break;
    case Kind::IndoorOutdoor:
      reason = "the environments named indoor and outdoor must be two different ones";
      break;
    case Kind::Tolerance:
      reason = "tolerance must lie in (0, 0.01] (the standard's criterion is 1 %), got " +
               formatNumber(problem.value);
      break;
    case Kind::NotConverged:
      reason = "halving the grid still changed the heat flow by " +
               formatNumber(std::round(problem.value * 1e4) / 1e2) + " % at the limit of " +
               formatNumber(problem.limit) +
               " nodes, more than ISO 10211's 1 %: the detail is too fine for the section's "
               "size; cut the section closer or simplify the finest parts";
      break;
  }
  std::string message = Detail::locationPrefix(junction.source, line);
  if (!what.empty()) message += what + ": ";
  return message + reason;
}

Engine::BridgeResult computeJunction(const Junction& junction) {
  Engine::BridgeOutcome outcome = Engine::computeThermalBridge(junction.request);
  if (auto* problem = std::get_if<Engine::BridgeProblem>(&outcome)) {
    throw Error(describeBridgeProblem(*problem, junction));
  }
  return std::move(std::get<Engine::BridgeResult>(outcome));
}

std::string junctionResultJson(const Junction& junction, const Engine::BridgeResult& result) {
  const auto& environments = junction.request.environments;
  const std::size_t n = environments.size();
  Json out = Json::object();
  out["name"] = junction.name;
  Json flows = Json::object();
  for (std::size_t e = 0; e < n; ++e) flows[environments[e].name] = result.heatFlow[e];
  out["heat_flow"] = flows;
  Json pairs = Json::object();
  for (std::size_t a = 0; a < n; ++a) {
    for (std::size_t b = a + 1; b < n; ++b) {
      pairs[environments[a].name + "|" + environments[b].name] = result.coupling[a * n + b];
    }
  }
  out["coupling_coefficient"] = n == 2 ? Json(result.coupling[1]) : Json(nullptr);
  out["coupling_coefficients"] = pairs;
  if (result.psi.empty()) {
    out["psi"] = nullptr;
  } else if (n == 2) {
    out["psi"] = result.psi[0].psi;
  } else {
    Json psi = Json::object();
    for (const Engine::BridgePsi& p : result.psi) {
      psi[environments[p.environmentA].name + "|" + environments[p.environmentB].name] = p.psi;
    }
    out["psi"] = psi;
  }
  Json flanking = Json::array();
  for (std::size_t f = 0; f < junction.request.flanking.size(); ++f) {
    const auto& element = junction.request.flanking[f];
    Json item = {
        {"name", junction.flanking[f].name},
        {"u_value", element.uValue},
        {"length", element.length},
        {"environments",
         {environments[element.environmentA].name, environments[element.environmentB].name}}};
    item["dimensions"] = junction.flanking[f].dimensions.empty()
                             ? Json(nullptr)
                             : Json(junction.flanking[f].dimensions);
    flanking.push_back(item);
  }
  out["flanking"] = flanking;
  if (result.minimumSurface) {
    out["minimum_surface_temperature"] = {
        {"value", result.minimumSurface->temperature},
        {"at", {result.minimumSurface->x, result.minimumSurface->y}}};
  } else {
    out["minimum_surface_temperature"] = nullptr;
  }
  out["f_rsi"] = result.fRsi ? Json(*result.fRsi) : Json(nullptr);
  if (result.fRsiMinimum) {
    out["f_rsi_minimum_surface_temperature"] = {
        {"value", result.fRsiMinimum->temperature},
        {"at", {result.fRsiMinimum->x, result.fRsiMinimum->y}}};
  } else {
    out["f_rsi_minimum_surface_temperature"] = nullptr;
  }
  Json probes = Json::array();
  for (std::size_t p = 0; p < junction.request.probes.size(); ++p) {
    probes.push_back({{"name", junction.probeNames[p]},
                      {"at", {junction.request.probes[p].x, junction.request.probes[p].y}},
                      {"temperature", numberOrNull(result.probeTemperatures[p])}});
  }
  out["probes"] = probes;
  out["grid"] = {{"cells", result.grid.cells},
                 {"nodes", result.grid.nodes},
                 {"columns", result.grid.columns},
                 {"rows", result.grid.rows},
                 {"refinements", result.grid.refinements},
                 {"last_change", numberOrNull(result.grid.lastChange)},
                 {"surface_temperature_change", numberOrNull(result.grid.surfaceTemperatureChange)},
                 {"met_tolerance", result.grid.metTolerance}};
  out["heat_flow_sum"] = result.heatFlowSum;
  return out.dump();
}

std::string junctionGeometryToml(const Junction& junction) {
  std::ostringstream out;
  auto quoted = [](const std::string& text) { return Json(text).dump(); };
  out << "# Generated by brusk bridge --geometry";
  if (!junction.type.empty()) out << " from a " << junction.type << " template";
  out << ": a drawn section to refine by hand.\n";
  out << "name = " << quoted(junction.name) << "\n";
  if (junction.request.fRsiSurfaceResistance != Engine::kBridgeFRsiSurfaceResistance) {
    out << "f_rsi_surface_resistance = " << formatNumber(junction.request.fRsiSurfaceResistance)
        << "\n";
  }
  for (const auto& environment : junction.request.environments) {
    out << "\n[environments." << quoted(environment.name) << "]\n"
        << "temperature = " << formatNumber(environment.temperature) << "\n"
        << "surface_resistance = " << formatNumber(environment.surfaceResistance) << "\n";
  }
  for (std::size_t r = 0; r < junction.request.regions.size(); ++r) {
    const auto& region = junction.request.regions[r];
    out << "\n[[regions]]\nname = " << quoted(junction.regions[r].name) << "\n"
        << "x = [" << formatNumber(region.x0) << ", " << formatNumber(region.x1) << "]\n"
        << "y = [" << formatNumber(region.y0) << ", " << formatNumber(region.y1) << "]\n"
        << "conductivity = " << formatNumber(region.conductivity) << "\n";
  }
  for (const auto& boundary : junction.request.boundaries) {
    out << "\n[[boundaries]]\nenvironment = "
        << quoted(junction.request.environments[boundary.environment].name) << "\n"
        << "from = [" << formatNumber(boundary.x0) << ", " << formatNumber(boundary.y0) << "]\n"
        << "to = [" << formatNumber(boundary.x1) << ", " << formatNumber(boundary.y1) << "]\n";
    if (boundary.surfaceResistance) {
      out << "surface_resistance = " << formatNumber(*boundary.surfaceResistance) << "\n";
    }
  }
  for (std::size_t f = 0; f < junction.request.flanking.size(); ++f) {
    const auto& element = junction.request.flanking[f];
    out << "\n[[flanking]]   # " << visibleText(junction.flanking[f].name) << "\n"
        << "u_value = " << formatNumber(element.uValue) << "\n"
        << "length = " << formatNumber(element.length) << "\n"
        << "environments = [" << quoted(junction.request.environments[element.environmentA].name)
        << ", " << quoted(junction.request.environments[element.environmentB].name) << "]\n";
    if (!junction.flanking[f].dimensions.empty()) {
      out << "dimensions = " << quoted(junction.flanking[f].dimensions) << "\n";
    }
  }
  for (std::size_t p = 0; p < junction.request.probes.size(); ++p) {
    out << "\n[[probes]]\nname = " << quoted(junction.probeNames[p]) << "\n"
        << "at = [" << formatNumber(junction.request.probes[p].x) << ", "
        << formatNumber(junction.request.probes[p].y) << "]\n";
  }
  return out.str();
}

}  // namespace Brusk::Frontend
