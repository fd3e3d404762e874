#pragma once

// A wall's response to periodic profiles: the engine's call and the wording of its problems,
// and the writers of the result.

#include <string>

#include "brusk/engine/periodic_profile.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Frontend {

/// A profile problem worded for a person, without the file:
/// `sample 3 of the outdoor profile is not a finite number, got nan`.
[[nodiscard]] std::string describeProfileProblem(const Engine::ProfileProblem& problem);

/// describeProfileProblem() after the name of the profile it is about and ": ", the indoor
/// profile's for a problem of the indoor samples, the outdoor one's for any other.
[[nodiscard]] std::string describeProfileProblem(const Engine::ProfileProblem& problem,
                                                 const std::string& indoorSource,
                                                 const std::string& outdoorSource);

/// Where a wall and its profiles came from, to name them in messages.
struct ProfileSources {
  std::string wall;     ///< the wall file
  std::string indoor;   ///< the indoor profile file, or the option that gave it
  std::string outdoor;  ///< the outdoor profile file (with the irradiance file, if any)
};

/// The engine's response of `wall` to the profiles of `request` (whose wall is replaced by
/// `wall.request`, keeping the period). Throws Frontend::Error: the wall file and
/// describeProblem(), or the profile's source and describeProfileProblem().
[[nodiscard]] Engine::ProfileResponse computeWallProfile(const Wall& wall,
                                                         Engine::ProfileRequest request,
                                                         const ProfileSources& sources);

/// A response as the writers print it: the wall's name, the time of the first sample in the
/// profile files [h] (added to every sample's time), the response and its summary.
struct NamedProfileResponse {
  std::string name;
  double startHours = 0.0;
  Engine::ProfileResponse response;
  Engine::ProfileSummary summary;
};

/// One JSON object, indented, ending with a newline: `name`, `period` [h], `u_value`,
/// `samples` (an array of {time [h], indoor, outdoor [degC], heat_flow_in [W/m2],
/// inner_surface_temperature [degC], heat_flow_out [W/m2], outer_surface_temperature [degC]})
/// and `summary`, the per-wall summary quantities (responseSummaryQuantities(), null where
/// one is not defined). Names are kept exact.
[[nodiscard]] std::string formatProfileJson(const NamedProfileResponse& named);

/// The samples as CSV: a header row `time,indoor,outdoor,heat_flow_in,
/// inner_surface_temperature,heat_flow_out,outer_surface_temperature` and one row per sample.
[[nodiscard]] std::string formatProfileCsv(const NamedProfileResponse& named);

/// An aligned table for people: the name, a row per sample (time, theta_i, theta_e, q_in,
/// theta_si) and the summary, numbers rounded for reading.
[[nodiscard]] std::string formatProfileTable(const NamedProfileResponse& named);

}  // namespace Brusk::Frontend
