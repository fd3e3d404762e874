// brusk response: a wall's hourly heat flow and inner surface temperature under periodic
// indoor and outdoor (sol-air) temperature profiles read from CSV files.
#include "response_command.h"

#include "commands.h"
#include "plausibility_warnings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <variant>

#include <CLI/CLI.hpp>

#include "brusk/engine/constants.h"
#include "brusk/engine/periodic_profile.h"
#include "brusk/engine/wall.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/profile_inputs.h"
#include "brusk/frontend/profile_reader.h"
#include "brusk/frontend/profile_response.h"
#include "brusk/frontend/wall_parser.h"

namespace Brusk::Cli {

namespace {

using Frontend::Error;
using Frontend::Profile;

std::vector<double> readIrradiance(const ResponseOptions& options, const ProfileInputs& inputs) {
  return Frontend::checkIrradiance(
      {Frontend::loadProfileFile(options.solarFile), options.solarFile}, inputs,
      options.outdoorFile);
}

}  // namespace

void addProfileOptions(CLI::App& command, ResponseOptions& options) {
  command.add_option(
      "--outdoor", options.outdoorFile,
      "CSV of outdoor (or sol-air) temperatures [degC]: one column, or time [h],value");
  CLI::Option* indoorFile = command.add_option("--indoor", options.indoorFile,
                                               "CSV of indoor temperatures [degC], same layout");
  command
      .add_option("--indoor-constant", options.indoorConstant,
                  "Constant indoor temperature [degC] without --indoor")
      ->capture_default_str()
      ->excludes(indoorFile);
  command.add_option("--period", options.periodHours,
                     "Period of the profiles T [h] (default: the time column's, else 24)");
}

void addResponseOptions(CLI::App& command, ResponseOptions& options) {
  command.add_option("wall", options.wallFile, "Wall file (.toml or .json)")->required();
  addProfileOptions(command, options);
  command.get_option("--outdoor")->required();
  CLI::Option* solar = command.add_option(
      "--solar", options.solarFile,
      "CSV of solar irradiance on the outer surface [W/m2], one per outdoor sample");
  CLI::Option* absorptance =
      command.add_option("--absorptance", options.absorptance, "Solar absorptance alpha [-]");
  solar->needs(absorptance);
  absorptance->needs(solar);
  command.add_option("--emissivity", options.emissivity, "Long-wave emissivity epsilon [-]")
      ->capture_default_str()
      ->needs(solar);
  command
      .add_option("--sky-radiation", options.skyRadiation,
                  "Long-wave loss to the sky Delta R [W/m2] (0 for walls, ~63 for roofs)")
      ->capture_default_str()
      ->needs(solar);
  command.add_option("--format", options.format, "Output: table, json or csv")
      ->check(CLI::IsMember({"table", "json", "csv"}))
      ->capture_default_str();
  command
      .add_option("--materials", options.materialFiles,
                  "TOML file adding or overriding catalogue materials (repeatable)")
      ->allow_extra_args(false);
}

ProfileInputs readProfileInputs(const ResponseOptions& options) {
  Frontend::ProfileInputRequest request;
  request.outdoor = {Frontend::loadProfileFile(options.outdoorFile), options.outdoorFile};
  if (!options.indoorFile.empty()) {
    request.indoor = {Frontend::loadProfileFile(options.indoorFile), options.indoorFile};
  }
  request.indoorConstant = options.indoorConstant;
  request.periodHours = options.periodHours;
  return Frontend::checkProfileInputs(request);
}

Batch::ResponseBatchProfiles readBatchProfiles(const ResponseOptions& options, bool series) {
  const ProfileInputs inputs = readProfileInputs(options);
  Batch::ResponseBatchProfiles profiles;
  profiles.indoor = inputs.indoor;
  profiles.outdoor = inputs.outdoor;
  profiles.periodHours = inputs.periodHours;
  profiles.startHours = inputs.startHours.value_or(0.0);
  profiles.indoorSource = inputs.indoorSource;
  profiles.outdoorSource = options.outdoorFile;
  profiles.files = {options.outdoorFile};
  if (!options.indoorFile.empty()) profiles.files.push_back(options.indoorFile);
  if (!options.solarFile.empty()) {
    profiles.irradiance = readIrradiance(options, inputs);
    profiles.files.push_back(options.solarFile);
    profiles.outdoorSource = options.outdoorFile + " with " + options.solarFile;
    profiles.surface.absorptance = options.absorptance.value_or(-1.0);
    profiles.surface.emissivity = options.emissivity;
    profiles.surface.skyRadiation = options.skyRadiation;
  }
  profiles.series = series;
  return profiles;
}

std::string runResponse(const ResponseOptions& options) {
  const auto catalogue = Frontend::Catalogue::withFiles(options.materialFiles);
  const Frontend::Wall wall = Frontend::loadWallFile(options.wallFile, catalogue);
  warnOfImplausibleValues(wall, options.wallFile);

  const ProfileInputs inputs = readProfileInputs(options);
  std::optional<Frontend::SolarInput> solar;
  if (!options.solarFile.empty()) {
    // A partition is refused (by respondToProfiles) before its irradiance file is read.
    const bool partition = wall.request.position == Engine::ElementPosition::Internal;
    solar = Frontend::SolarInput{
        {partition ? Frontend::Profile{} : Frontend::loadProfileFile(options.solarFile),
         options.solarFile},
        options.absorptance,
        options.emissivity,
        options.skyRadiation};
  }
  const Frontend::NamedProfileResponse named =
      Frontend::respondToProfiles(wall, options.wallFile, inputs, options.outdoorFile, solar);
  if (options.format == "json") return Frontend::formatProfileJson(named);
  if (options.format == "csv") return Frontend::formatProfileCsv(named);
  return Frontend::formatProfileTable(named);
}

}  // namespace Brusk::Cli
