#include "check_command.h"

#include <optional>

#include <CLI/CLI.hpp>

#include "brusk/batch/atomic_file.h"
#include "brusk/engine/constants.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/input_files.h"
#include "brusk/frontend/requirements.h"
#include "brusk/frontend/wall_parser.h"
#include "plausibility_warnings.h"

namespace Brusk::Cli {

void addCheckOptions(CLI::App& command, CheckOptions& options) {
  command.add_option("files", options.files, "Wall files (.toml or .json)");
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
    if (options.files.empty()) throw Frontend::Error("give the wall files to check");
    if (options.requirements.empty()) {
      throw Frontend::Error(
          "--requirements names the rules: a file or a built-in set (brusk "
          "check --list)");
    }
    Frontend::requirePeriodHours(options.periodHours);
    std::vector<std::string> inputs = options.files;
    inputs.insert(inputs.end(), options.materialFiles.begin(), options.materialFiles.end());
    if (Frontend::isRequirementsFile(options.requirements)) inputs.push_back(options.requirements);
    if (!options.output.empty()) {
      try {
        Frontend::refuseToOverwriteInputs(options.output, inputs);
      } catch (const Frontend::Error& error) {
        throw Frontend::Error(std::string("-o: ") + error.what());
      }
    }
    const Engine::RequirementSet set = Frontend::loadRequirements(options.requirements);
    const auto catalogue = Frontend::Catalogue::withFiles(options.materialFiles);
    std::vector<Frontend::WallCheck> checks;
    checks.reserve(options.files.size());
    for (const std::string& file : options.files) {
      Frontend::Wall wall = Frontend::loadWallFile(file, catalogue);
      warnOfImplausibleValues(wall, file);
      wall.request.period = options.periodHours * Engine::kSecondsPerHour;
      try {
        checks.push_back(Frontend::checkWall(wall, set));
      } catch (const Frontend::Error& error) {
        throw Frontend::Error(file + ": " + error.what());
      }
    }
    outcome.passed = Frontend::allPassed(checks);
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
