#include "brusk/frontend/profile_inputs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <variant>

#include "brusk/engine/constants.h"
#include "brusk/engine/periodic_profile.h"
#include "brusk/engine/wall.h"
#include "brusk/frontend/error.h"

namespace Brusk::Frontend {

namespace {

/// A number as the command line's messages print it (printf %g).
std::string numberText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

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

/// The period a time column implies, when no --period is given, must be one a response takes:
/// one second to a leap year, so that a year of hourly weather is its own period, 8760 h or, in
/// a leap year, 8784 h (its 366 days, as the file's times say). Worded about the file, since no
/// --period was given.
void requireFilePeriod(const Profile& profile, const std::string& file) {
  const std::optional<double> covered = profile.periodHours();
  if (!covered) return;
  const double seconds = *covered * Engine::kSecondsPerHour;
  if (seconds >= Engine::kShortestPeriod && seconds <= Engine::kLongestProfilePeriod) return;
  throw Error(file + ": " + std::to_string(profile.values.size()) + " samples " +
              numberText(*profile.stepHours) + " h apart cover " + numberText(*covered) +
              " h, outside the periods taken, one second to " +
              numberText(Engine::kLongestProfilePeriod / Engine::kSecondsPerHour) +
              " h (a leap year)");
}

/// A result is printed only when every number of it is finite; the range of temperatures taken
/// keeps them so, and this keeps any other way to an infinity or a NaN from being printed.
void requireFiniteResponse(const NamedProfileResponse& named) {
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
void requireProfilePeriodHours(double hours, const ProfileOptionNames& names) {
  const double seconds = hours * Engine::kSecondsPerHour;
  if (seconds >= Engine::kShortestPeriod && seconds <= Engine::kLongestProfilePeriod) return;
  throw Error(std::string(names.period) +
              " must be a number of hours from 1/3600 (one second) to " +
              numberText(Engine::kLongestProfilePeriod / Engine::kSecondsPerHour) +
              " (a leap year), got " + numberText(hours));
}

/// The irradiance file of --solar, one sample per outdoor sample, timed as the outdoor file.
}  // namespace

ProfileInputs checkProfileInputs(const ProfileInputRequest& request) {
  const Profile& outdoor = request.outdoor.profile;
  const std::string& outdoorFile = request.outdoor.source;
  requireTemperatures(outdoor, outdoorFile);
  if (!request.periodHours) requireFilePeriod(outdoor, outdoorFile);
  ProfileInputs inputs;
  inputs.periodHours = request.periodHours.value_or(outdoor.periodHours().value_or(24.0));
  requireProfilePeriodHours(inputs.periodHours, request.names);
  requireConsistent(outdoor, outdoorFile, inputs.periodHours, outdoor.startHours, outdoorFile);
  inputs.outdoor = outdoor.values;
  inputs.startHours = outdoor.startHours;
  inputs.indoor = {request.indoorConstant};
  inputs.names = request.names;
  inputs.indoorSource = std::string(request.names.indoorConstant);
  if (request.indoor) {
    const Profile& indoor = request.indoor->profile;
    requireTemperatures(indoor, request.indoor->source);
    requireConsistent(indoor, request.indoor->source, inputs.periodHours, outdoor.startHours,
                      outdoorFile);
    inputs.indoor = indoor.values;
    inputs.indoorSource = request.indoor->source;
  } else if (!(request.indoorConstant >= kLowestTemperature &&
               request.indoorConstant <= kHighestTemperature)) {
    throw Error(std::string(request.names.indoorConstant) + " must be a temperature from " +
                numberText(kLowestTemperature) + " to " + numberText(kHighestTemperature) +
                " degC, got " + numberText(request.indoorConstant));
  }
  return inputs;
}

std::vector<double> checkIrradiance(const SourcedProfile& solar, const ProfileInputs& inputs,
                                    const std::string& outdoorSource) {
  requireConsistent(solar.profile, solar.source, inputs.periodHours, inputs.startHours,
                    outdoorSource);
  if (solar.profile.values.size() != inputs.outdoor.size()) {
    throw Error(solar.source + ": " + std::to_string(solar.profile.values.size()) +
                " samples, but " + outdoorSource + " has " + std::to_string(inputs.outdoor.size()) +
                "; the irradiance needs one per " + "outdoor temperature");
  }
  return solar.profile.values;
}

NamedProfileResponse respondToProfiles(const Wall& wall, const std::string& wallSource,
                                       const ProfileInputs& inputs,
                                       const std::string& outdoorSource,
                                       const std::optional<SolarInput>& solar) {
  Engine::ProfileRequest request;
  request.wall.period = inputs.periodHours * Engine::kSecondsPerHour;
  request.outdoor = inputs.outdoor;
  request.indoor = inputs.indoor;

  if (solar) {
    if (wall.request.position == Engine::ElementPosition::Internal) {
      throw Error(wallSource + ": " + std::string(inputs.names.solar) +
                  " is for an external wall; this wall is a partition");
    }
    const std::vector<double> irradiance =
        checkIrradiance(solar->irradiance, inputs, outdoorSource);
    Engine::SolAirSurface surface;
    surface.absorptance = solar->absorptance.value_or(-1.0);
    surface.emissivity = solar->emissivity;
    surface.skyRadiation = solar->skyRadiation;
    surface.externalSurfaceResistance = wall.request.surfaceResistances().external;
    auto solAir = Engine::solAirProfile(inputs.outdoor, irradiance, surface);
    if (const auto* problem = std::get_if<Engine::ProfileProblem>(&solAir)) {
      const bool aboutFile = problem->field == Engine::ProfileField::Irradiance;
      throw Error((aboutFile ? solar->irradiance.source + ": " : std::string()) +
                  describeProfileProblem(*problem));
    }
    request.outdoor = std::get<std::vector<double>>(std::move(solAir));
  }

  NamedProfileResponse named;
  named.name = wall.name;
  named.startHours = inputs.startHours.value_or(0.0);
  const ProfileSources sources{wallSource, inputs.indoorSource, outdoorSource};
  named.response = computeWallProfile(wall, request, sources);
  named.summary = Engine::summarizeProfileResponse(named.response);
  requireFiniteResponse(named);
  return named;
}

}  // namespace Brusk::Frontend
