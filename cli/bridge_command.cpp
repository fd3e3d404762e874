// brusk bridge: two-dimensional junctions (ISO 10211) from junction files, as a table, JSON or
// CSV, or written back as drawn sections (--geometry).

#include "bridge_command.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "brusk/batch/atomic_file.h"
#include "brusk/engine/quantities.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/input_files.h"
#include "brusk/frontend/junction.h"
#include "brusk/frontend/shortest_double.h"
#include "brusk/frontend/text_util.h"

namespace Brusk::Cli {

namespace {

using Json = nlohmann::json;

const Engine::Quantity& bridgeQuantity(std::string_view key) {
  return Engine::quantity(Engine::QuantityScope::Bridge, key);
}

std::string fixed(double value, int decimals) {
  if (!std::isfinite(value)) return "-";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

/// One junction as rows of the aligned table: label and unit from the quantity description.
void appendTable(std::string& out, const Json& result) {
  std::vector<std::vector<std::string>> rows;
  auto row = [&](std::string_view key, const std::string& detail, const Json& value) {
    const Engine::Quantity& q = bridgeQuantity(key);
    std::string label = q.tableLabel();
    if (!detail.empty()) label += " " + detail;
    rows.push_back({label, value.is_number()
                               ? fixed(value.get<double>() * q.displayScale, q.decimals)
                               : std::string("-")});
  };
  for (auto it = result["heat_flow"].begin(); it != result["heat_flow"].end(); ++it) {
    row("heat_flow", "(" + Frontend::visibleText(it.key()) + ")", it.value());
  }
  for (auto it = result["coupling_coefficients"].begin();
       it != result["coupling_coefficients"].end(); ++it) {
    row("coupling_coefficients", "(" + Frontend::visibleText(it.key()) + ")", it.value());
  }
  if (result["psi"].is_object()) {
    for (auto it = result["psi"].begin(); it != result["psi"].end(); ++it) {
      row("psi", "(" + Frontend::visibleText(it.key()) + ")", it.value());
    }
  } else {
    row("psi", "", result["psi"]);
  }
  const Json& minimum = result["minimum_surface_temperature"];
  row("minimum_surface_temperature.value",
      minimum.is_null() ? std::string()
                        : "at (" + fixed(minimum["at"][0].get<double>(), 3) + ", " +
                              fixed(minimum["at"][1].get<double>(), 3) + ") m",
      minimum.is_null() ? Json(nullptr) : minimum["value"]);
  row("f_rsi", "", result["f_rsi"]);
  for (const Json& probe : result["probes"]) {
    row("probes.temperature", "(" + Frontend::visibleText(probe["name"].get<std::string>()) + ")",
        probe["temperature"]);
  }
  row("grid.cells", "", result["grid"]["cells"]);
  row("grid.last_change", "", result["grid"]["last_change"]);
  out += Frontend::visibleText(result["name"].get<std::string>()) + "\n";
  Frontend::appendAlignedTable(out, {"Quantity", "Value"}, rows,
                               [](std::size_t column) { return column == 1; });
}

std::string csvCell(const std::string& text) {
  // Names come from files: quote every text cell and defuse spreadsheet formulas.
  std::string cell = Frontend::startsLikeFormula(text) ? "'" + text : text;
  std::string quoted = "\"";
  for (char c : cell) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string csvNumber(const Json& value) {
  if (!value.is_number()) return {};
  char buffer[Frontend::kShortestDoubleRoom];
  return std::string(buffer, Frontend::writeShortestDouble(value.get<double>(), buffer));
}

}  // namespace

void addBridgeOptions(CLI::App& command, BridgeOptions& options) {
  command.add_option("files", options.files, "Junction files (.toml or .json)")->required();
  command.add_option("--format", options.format, "Output: table, json or csv")
      ->check(CLI::IsMember({"table", "json", "csv"}))
      ->capture_default_str();
  command.add_flag("--geometry", options.geometry,
                   "Write each junction as a drawn section (TOML) instead of computing it: what "
                   "a [junction] template generates, to refine by hand");
  command.add_option("-o,--output", options.output,
                     "Write to this file instead of standard output");
  command
      .add_option("--materials", options.materialFiles,
                  "TOML file adding or overriding catalogue materials (repeatable)")
      ->allow_extra_args(false);
}

std::string runBridge(const BridgeOptions& options) {
  const Frontend::Catalogue catalogue = Frontend::Catalogue::withFiles(options.materialFiles);
  std::vector<Frontend::Junction> junctions;
  std::vector<std::string> inputs = options.files;
  for (const std::string& file : options.files) {
    junctions.push_back(Frontend::loadJunctionFile(file, catalogue));
    inputs.insert(inputs.end(), junctions.back().files.begin(), junctions.back().files.end());
  }
  if (!options.output.empty()) {
    try {
      Frontend::refuseToOverwriteInputs(options.output, inputs);
    } catch (const Frontend::Error& error) {
      throw Frontend::Error(std::string("-o: ") + error.what());
    }
  }
  std::string out;
  if (options.geometry) {
    for (const Frontend::Junction& junction : junctions) {
      if (!out.empty()) out += "\n";
      out += Frontend::junctionGeometryToml(junction);
    }
  } else {
    Json results = Json::array();
    for (const Frontend::Junction& junction : junctions) {
      results.push_back(
          Json::parse(Frontend::junctionResultJson(junction, Frontend::computeJunction(junction))));
    }
    if (options.format == "json") {
      out = (results.size() == 1 ? results[0] : results).dump(2) + "\n";
    } else if (options.format == "csv") {
      out = "name,quantity,item,value,unit\n";
      auto line = [&](const Json& result, std::string_view key, const std::string& item,
                      const Json& value) {
        const Engine::Quantity& q = bridgeQuantity(key);
        out += csvCell(result["name"].get<std::string>()) + "," + std::string(q.csvName) + "," +
               csvCell(item) + "," + csvNumber(value) + "," + std::string(q.unit) + "\n";
      };
      for (const Json& result : results) {
        for (auto it = result["heat_flow"].begin(); it != result["heat_flow"].end(); ++it) {
          line(result, "heat_flow", it.key(), it.value());
        }
        for (auto it = result["coupling_coefficients"].begin();
             it != result["coupling_coefficients"].end(); ++it) {
          line(result, "coupling_coefficient", it.key(), it.value());
        }
        if (result["psi"].is_object()) {
          for (auto it = result["psi"].begin(); it != result["psi"].end(); ++it) {
            line(result, "psi", it.key(), it.value());
          }
        } else {
          line(result, "psi", "", result["psi"]);
        }
        const Json& minimum = result["minimum_surface_temperature"];
        line(result, "minimum_surface_temperature.value", "",
             minimum.is_null() ? Json(nullptr) : minimum["value"]);
        line(result, "f_rsi", "", result["f_rsi"]);
        for (const Json& probe : result["probes"]) {
          line(result, "probes.temperature", probe["name"].get<std::string>(),
               probe["temperature"]);
        }
        line(result, "grid.cells", "", result["grid"]["cells"]);
        line(result, "grid.last_change", "", result["grid"]["last_change"]);
      }
    } else {
      for (const Json& result : results) {
        if (!out.empty()) out += "\n";
        appendTable(out, result);
      }
    }
  }
  if (options.output.empty()) return out;
  Batch::AtomicOutputFile file(options.output);
  file.stream() << out;
  file.commit();
  return {};
}

std::vector<Frontend::JunctionReport> loadReportJunctions(const std::vector<std::string>& files,
                                                          const Frontend::Catalogue& catalogue,
                                                          std::vector<std::string>& others) {
  std::vector<Frontend::JunctionReport> reports;
  for (const std::string& file : files) {
    if (!Frontend::isJunctionFile(file)) {
      others.push_back(file);
      continue;
    }
    Frontend::Junction junction = Frontend::loadJunctionFile(file, catalogue);
    Engine::BridgeResult result = Frontend::computeJunction(junction);
    reports.push_back({std::move(junction), std::move(result)});
  }
  return reports;
}

}  // namespace Brusk::Cli
