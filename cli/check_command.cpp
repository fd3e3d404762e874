#include "check_command.h"

#include <map>
#include <optional>

#include <CLI/CLI.hpp>

#include "brusk/batch/atomic_file.h"
#include "brusk/engine/constants.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/input_files.h"
#include "brusk/frontend/junction.h"
#include "brusk/frontend/moisture.h"
#include "brusk/frontend/requirements.h"
#include "brusk/frontend/wall_parser.h"
#include "moisture_command.h"
#include "plausibility_warnings.h"

namespace Brusk::Cli {

namespace {

int exitStatusOf(Engine::Verdict verdict) {
  switch (verdict) {
    case Engine::Verdict::Passed:
      return kCheckPassed;
    case Engine::Verdict::Failed:
      return kCheckFailed;
    case Engine::Verdict::NotComputable:
      return kCheckNotComputable;
    case Engine::Verdict::NothingChecked:
    case Engine::Verdict::NotApplicable:
      break;
  }
  return kCheckNothingChecked;
}

/// The climate of the moisture results, read with --humidity-class and --indoor-temperature as
/// `brusk moisture` reads them; none without --climate.
std::optional<Frontend::Climate> climateOf(const CheckOptions& options) {
  // Without --climate the indoor options are refused before the run (refuseIdleOptions).
  if (options.climate.empty()) return std::nullopt;
  const double temperature = Frontend::indoorTemperatureOf(
      options.humidityClass, options.indoorTemperatureGiven
                                 ? std::optional<double>(options.indoorTemperature)
                                 : std::nullopt);
  return Frontend::loadClimateFile(options.climate, options.humidityClass, temperature);
}

}  // namespace

void addCheckOptions(CLI::App& command, CheckOptions& options) {
  command.add_option(
      "files", options.files,
      "Wall files (.toml or .json), or junction files (ISO 10211) for the rules on psi and f_rsi");
  command.add_option("--requirements", options.requirements,
                     "Requirements file (TOML, docs/requirements.md) or a built-in set's key "
                     "(see --list)");
  command.add_flag("--list", options.list, "List the built-in requirement sets and their sources");
  command.add_option("--format", options.format, "Output: table, json or csv")
      ->check(CLI::IsMember({"table", "json", "csv"}))
      ->capture_default_str();
  command.add_option("--period", options.periodHours, "Cycle length T in hours")
      ->capture_default_str();
  command.add_option("-o,--output", options.output, "Write to this file instead of the terminal");
  command
      .add_option("--materials", options.materialFiles,
                  "TOML file adding or overriding catalogue materials (repeatable)")
      ->allow_extra_args(false);
  command.add_option("--climate", options.climate,
                     "Monthly climate CSV (as brusk moisture takes): the ISO 13788 results a "
                     "rule may test (max_accumulated, dries_out, surface.f_rsi, ...)");
  addIndoorSideOptions(command, options.humidityClass, options.indoorTemperature,
                       options.indoorTemperatureGiven,
                       "With --climate: the indoor side from ISO 13788 Annex A class 1 to 5",
                       "With --humidity-class: the indoor temperature [degC] (default 20)");
}

CheckOutcome runCheck(const CheckOptions& options) {
  CheckOutcome outcome;
  if (options.list) {
    if (!options.files.empty() || !options.requirements.empty()) {
      throw Frontend::Error(
          "--list lists the built-in sets; give it without walls or --requirements");
    }
    outcome.text = options.format == "json" ? Frontend::formatRequirementSetsJson()
                                            : Frontend::formatRequirementSetsTable();
  } else {
    if (options.files.empty()) throw Frontend::Error("give the wall or junction files to check");
    if (options.requirements.empty()) {
      throw Frontend::Error(
          "--requirements names the rules: a file or a built-in set (brusk "
          "check --list)");
    }
    Frontend::requirePeriodHours(options.periodHours);
    std::vector<std::string> inputs = options.files;
    inputs.insert(inputs.end(), options.materialFiles.begin(), options.materialFiles.end());
    if (Frontend::isRequirementsFile(options.requirements)) inputs.push_back(options.requirements);
    if (!options.climate.empty()) inputs.push_back(options.climate);
    // A junction file reads wall files of its own: -o may overwrite none of them either.
    const auto catalogue = Frontend::Catalogue::withFiles(options.materialFiles);
    std::map<std::string, Frontend::Junction> junctions;
    for (const std::string& file : options.files) {
      if (!Frontend::isJunctionFile(file) || junctions.count(file) > 0) continue;
      Frontend::Junction junction = Frontend::loadJunctionFile(file, catalogue);
      inputs.insert(inputs.end(), junction.files.begin(), junction.files.end());
      junctions.emplace(file, std::move(junction));
    }
    if (!options.output.empty()) {
      try {
        Frontend::refuseToOverwriteInputs(options.output, inputs);
      } catch (const Frontend::Error& error) {
        throw Frontend::Error(std::string("-o: ") + error.what());
      }
    }
    const Engine::RequirementSet set = Frontend::loadRequirements(options.requirements);
    const std::optional<Frontend::Climate> climate = climateOf(options);
    if (climate) Frontend::requireClimateUsed(set, "--climate");
    std::vector<Frontend::WallCheck> checks;
    checks.reserve(options.files.size());
    for (const std::string& file : options.files) {
      if (const auto found = junctions.find(file); found != junctions.end()) {
        try {
          Frontend::JunctionReport report{found->second, Frontend::computeJunction(found->second)};
          checks.push_back(Frontend::checkJunction(report, set));
        } catch (const Frontend::Error& error) {
          throw Frontend::Error(file + ": " + error.what());
        }
        continue;
      }
      Frontend::Wall wall = Frontend::loadWallFile(file, catalogue);
      warnOfImplausibleValues(wall, file);
      wall.request.period = options.periodHours * Engine::kSecondsPerHour;
      try {
        checks.push_back(Frontend::checkWall(wall, set, climate ? &*climate : nullptr, file));
      } catch (const Frontend::Error& error) {
        throw Frontend::Error(file + ": " + error.what());
      }
    }
    outcome.status = exitStatusOf(Frontend::overallVerdict(checks));
    outcome.text = options.format == "json"  ? Frontend::formatCheckJson(checks)
                   : options.format == "csv" ? Frontend::formatCheckCsv(checks)
                                             : Frontend::formatCheckTable(checks);
  }
  if (!options.output.empty()) {
    std::optional<Batch::AtomicOutputFile> file;
    try {
      file.emplace(options.output);
    } catch (const Frontend::Error& error) {
      throw Frontend::Error(std::string("-o: ") + error.what());
    }
    file->stream() << outcome.text;
    file->commit();
    outcome.text.clear();
  }
  return outcome;
}

}  // namespace Brusk::Cli
