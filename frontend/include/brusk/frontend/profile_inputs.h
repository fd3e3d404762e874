#pragma once

// The profiles a wall's response is computed for, checked against each other as `brusk
// response` checks its files: the period they cover, their start times, the indoor side and the
// irradiance. Shared by the command line (which reads the files) and the WebAssembly module
// (which is given their text).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "brusk/frontend/profile_reader.h"
#include "brusk/frontend/profile_response.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Frontend {

/// A profile as read, with the name messages give it (its file).
struct SourcedProfile {
  Profile profile;
  std::string source;
};

/// How a door names the options of a response in its messages: the command line's by default,
/// Python's keyword arguments ("period_hours") or the web API's fields ("periodHours").
struct ProfileOptionNames {
  std::string_view period = "--period";
  std::string_view indoorConstant = "--indoor-constant";
  std::string_view solar = "--solar";
};

/// The profiles of a response as given: the outdoor one, and the indoor one or a constant.
struct ProfileInputRequest {
  SourcedProfile outdoor;                ///< theta_e (or sol-air) [degC]
  std::optional<SourcedProfile> indoor;  ///< theta_i [degC]; none: `indoorConstant`
  double indoorConstant = 25.0;          ///< theta_i [degC] without an indoor profile
  std::optional<double> periodHours;     ///< T [h]; else the time column's, else 24 h
  ProfileOptionNames names;              ///< for messages
};

/// The profiles checked and taken apart.
struct ProfileInputs {
  std::vector<double> indoor;        ///< theta_i [degC]
  std::vector<double> outdoor;       ///< theta_e [degC]
  double periodHours = 24.0;         ///< T [h]
  std::optional<double> startHours;  ///< time of the first outdoor sample, if timed [h]
  std::string indoorSource;          ///< the indoor file, or the constant's option name
  ProfileOptionNames names;          ///< the request's, for messages
};

/// Checks the profiles as `brusk response` does: temperatures in range, the period (given, or the
/// outdoor time column's, or 24 h) from one second to a leap year and covered by every timed
/// profile, the start times alike, the constant indoor temperature in range. Throws
/// Frontend::Error naming the profile's source.
[[nodiscard]] ProfileInputs checkProfileInputs(const ProfileInputRequest& request);

/// The irradiance [W/m2] of `solar`, checked against the outdoor profile named `outdoorSource`:
/// the same period and start, one sample per outdoor temperature.
[[nodiscard]] std::vector<double> checkIrradiance(const SourcedProfile& solar,
                                                  const ProfileInputs& inputs,
                                                  const std::string& outdoorSource);

/// Solar gains on the outer surface: the outdoor temperatures become sol-air temperatures.
struct SolarInput {
  SourcedProfile irradiance;          ///< I on the outer surface [W/m2]
  std::optional<double> absorptance;  ///< alpha [-]
  double emissivity = 0.9;            ///< epsilon [-]
  double skyRadiation = 0.0;          ///< Delta R [W/m2]
};

/// The response of `wall` (read from `wallSource`) to the checked `inputs`, the outdoor profile
/// named `outdoorSource`, with solar gains when `solar` is given, as `brusk response` computes
/// it. Throws Frontend::Error as the command line words it.
[[nodiscard]] NamedProfileResponse respondToProfiles(const Wall& wall,
                                                     const std::string& wallSource,
                                                     const ProfileInputs& inputs,
                                                     const std::string& outdoorSource,
                                                     const std::optional<SolarInput>& solar);

}  // namespace Brusk::Frontend
