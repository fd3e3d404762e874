// brusk response: a wall's hourly heat flow and inner surface temperature under periodic
// indoor and outdoor (sol-air) temperature profiles read from CSV files.
#include "response_command.h"

#include "commands.h"

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
#include "brusk/frontend/profile_reader.h"
#include "brusk/frontend/profile_response.h"
#include "brusk/frontend/wall_parser.h"

namespace Brusk::Cli {

namespace {

using Frontend::Error;
using Frontend::Profile;

bool sameHours(double a, double b) { return std::abs(a - b) <= 1e-6 * std::max(std::abs(a), 1.0); }

/// A profile file whose time column disagrees with the period or with the outdoor file's start
/// is refused rather than stretched.
void requireConsistent(const Profile& profile, const std::string& file, double periodHours,
                       std::optional<double> outdoorStart, const std::string& outdoorFile) {
  if (const std::optional<double> covered = profile.periodHours()) {
    if (!sameHours(*covered, periodHours)) {
      throw Error(file + ": " + std::to_string(profile.values.size()) + " samples " +
                  numberText(*profile.stepHours) + " h apart cover " + numberText(*covered) +
                  " h, not the period of " + numberText(periodHours) + " h");
    }
  }
  if (profile.startHours && outdoorStart && !sameHours(*profile.startHours, *outdoorStart)) {
    throw Error(file + ": starts at " + numberText(*profile.startHours) + " h, " + outdoorFile +
                " at " + numberText(*outdoorStart) + " h");
  }
  // Without times the outdoor file starts at 0 h; a file timed from elsewhere would be applied
  // shifted by its start.
  if (profile.startHours && !outdoorStart && !sameHours(*profile.startHours, 0.0)) {
    throw Error(file + ": starts at " + numberText(*profile.startHours) + " h, but " + outdoorFile +
                " has no time column and so starts at 0 h; give both files " + "times, or neither");
  }
}

/// The period a time column implies, when no --period is given, must be one brusk takes;
/// worded about the file, since no --period was given.
void requireFilePeriod(const Profile& profile, const std::string& file) {
  const std::optional<double> covered = profile.periodHours();
  if (!covered || !Engine::checkPeriod(*covered * Engine::kSecondsPerHour)) return;
  throw Error(file + ": " + std::to_string(profile.values.size()) + " samples " +
              numberText(*profile.stepHours) + " h apart cover " + numberText(*covered) +
              " h, outside the periods taken, one second to " +
              numberText(Engine::kLongestPeriod / Engine::kSecondsPerHour) +
              " h (a year: a leap year's 8784 hours count as 8760, with --period 8760 and no " +
              "time column)");
}

/// A result is printed only when every number of it is finite; the range of temperatures taken
/// keeps them so, and this keeps any other way to an infinity or a NaN from being printed.
void requireFiniteResponse(const Frontend::NamedProfileResponse& named) {
  bool finite = std::isfinite(named.response.uValue) && std::isfinite(named.response.meanHeatFlow);
  for (const Engine::ProfileSample& sample : named.response.samples) {
    finite = finite && std::isfinite(sample.heatFlowIn) && std::isfinite(sample.heatFlowOut) &&
             std::isfinite(sample.innerSurfaceTemperature) &&
             std::isfinite(sample.outerSurfaceTemperature);
  }
  const Engine::ProfileSummary& summary = named.summary;
  finite = finite && std::isfinite(summary.energyGained) && std::isfinite(summary.energyLost) &&
           std::isfinite(summary.peakHeatFlowIn) && std::isfinite(summary.minimumHeatFlowIn);
  if (!finite) {
    throw Error("the response of " + named.name +
                " is beyond double precision; check the magnitudes of its profiles");
  }
}

/// The period of a response: one second to a leap year (8784 hourly samples), where the
/// harmonics are computed (see Engine::kLongestProfilePeriod).
void requireProfilePeriodHours(double hours) {
  const double seconds = hours * Engine::kSecondsPerHour;
  if (seconds >= Engine::kShortestPeriod && seconds <= Engine::kLongestProfilePeriod) return;
  throw Error("--period must be a number of hours from 1/3600 (one second) to " +
              numberText(Engine::kLongestProfilePeriod / Engine::kSecondsPerHour) +
              " (a leap year), got " + numberText(hours));
}

/// The irradiance file of --solar, one sample per outdoor sample, timed as the outdoor file.
std::vector<double> readIrradiance(const ResponseOptions& options, const ProfileInputs& inputs) {
  const Profile solar = Frontend::loadProfileFile(options.solarFile);
  requireConsistent(solar, options.solarFile, inputs.periodHours, inputs.startHours,
                    options.outdoorFile);
  if (solar.values.size() != inputs.outdoor.size()) {
    throw Error(options.solarFile + ": " + std::to_string(solar.values.size()) + " samples, but " +
                options.outdoorFile + " has " + std::to_string(inputs.outdoor.size()) +
                "; the irradiance needs one per " + "outdoor temperature");
  }
  return solar.values;
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
  const Profile outdoor = Frontend::loadProfileFile(options.outdoorFile);
  Frontend::requireTemperatures(outdoor, options.outdoorFile);
  if (!options.periodHours) requireFilePeriod(outdoor, options.outdoorFile);
  ProfileInputs inputs;
  inputs.periodHours = options.periodHours.value_or(outdoor.periodHours().value_or(24.0));
  requireProfilePeriodHours(inputs.periodHours);
  requireConsistent(outdoor, options.outdoorFile, inputs.periodHours, outdoor.startHours,
                    options.outdoorFile);
  inputs.outdoor = outdoor.values;
  inputs.startHours = outdoor.startHours;
  inputs.indoor = {options.indoorConstant};
  inputs.indoorSource = "--indoor-constant";
  if (!options.indoorFile.empty()) {
    const Profile indoor = Frontend::loadProfileFile(options.indoorFile);
    Frontend::requireTemperatures(indoor, options.indoorFile);
    requireConsistent(indoor, options.indoorFile, inputs.periodHours, outdoor.startHours,
                      options.outdoorFile);
    inputs.indoor = indoor.values;
    inputs.indoorSource = options.indoorFile;
  } else if (!(options.indoorConstant >= Frontend::kLowestTemperature &&
               options.indoorConstant <= Frontend::kHighestTemperature)) {
    throw Error("--indoor-constant must be a temperature from " +
                numberText(Frontend::kLowestTemperature) + " to " +
                numberText(Frontend::kHighestTemperature) + " degC, got " +
                numberText(options.indoorConstant));
  }
  return inputs;
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
  Frontend::Catalogue catalogue = Frontend::Catalogue::builtIn();
  for (const std::string& file : options.materialFiles) catalogue.addFile(file);
  const Frontend::Wall wall = Frontend::loadWallFile(options.wallFile, catalogue);

  const ProfileInputs inputs = readProfileInputs(options);
  Engine::ProfileRequest request;
  request.wall.period = inputs.periodHours * Engine::kSecondsPerHour;
  request.outdoor = inputs.outdoor;
  request.indoor = inputs.indoor;

  if (!options.solarFile.empty()) {
    if (wall.request.position == Engine::ElementPosition::Internal) {
      throw Error(options.wallFile + ": --solar is for an external wall; this wall is a partition");
    }
    const std::vector<double> irradiance = readIrradiance(options, inputs);
    Engine::SolAirSurface surface;
    surface.absorptance = options.absorptance.value_or(-1.0);
    surface.emissivity = options.emissivity;
    surface.skyRadiation = options.skyRadiation;
    surface.externalSurfaceResistance = wall.request.surfaceResistances().external;
    auto solAir = Engine::solAirProfile(inputs.outdoor, irradiance, surface);
    if (const auto* problem = std::get_if<Engine::ProfileProblem>(&solAir)) {
      const bool aboutFile = problem->field == Engine::ProfileField::Irradiance;
      throw Error((aboutFile ? options.solarFile + ": " : std::string()) +
                  Frontend::describeProfileProblem(*problem));
    }
    request.outdoor = std::get<std::vector<double>>(std::move(solAir));
  }

  Frontend::NamedProfileResponse named;
  named.name = wall.name;
  named.startHours = inputs.startHours.value_or(0.0);
  const Frontend::ProfileSources sources{options.wallFile, inputs.indoorSource,
                                         options.outdoorFile};
  named.response = Frontend::computeWallProfile(wall, request, sources);
  named.summary = Engine::summarizeProfileResponse(named.response);
  requireFiniteResponse(named);
  if (options.format == "json") return Frontend::formatProfileJson(named);
  if (options.format == "csv") return Frontend::formatProfileCsv(named);
  return Frontend::formatProfileTable(named);
}

}  // namespace Brusk::Cli
