#pragma once

#include <optional>
#include <string>
#include <vector>

#include "brusk/batch/wall_batch.h"
#include "brusk/frontend/profile_inputs.h"

namespace CLI {
class App;
}

namespace Brusk::Cli {

/// Options of `brusk response`.
struct ResponseOptions {
  std::string wallFile;
  std::string outdoorFile;            ///< theta_e samples [degC]
  std::string indoorFile;             ///< theta_i samples [degC]; empty for a constant
  double indoorConstant = 25.0;       ///< theta_i [degC] without an indoor file
  std::optional<double> periodHours;  ///< T [h]; else the time column's, else 24 h
  std::string solarFile;              ///< irradiance I on the outer surface [W/m2]
  std::optional<double> absorptance;  ///< alpha [-], with a solar file
  double emissivity = 0.9;            ///< epsilon [-]
  double skyRadiation = 0.0;          ///< Delta R [W/m2]
  std::string format = "table";       ///< "table", "json" or "csv"
  std::vector<std::string> materialFiles;
};

/// Declares the arguments and options of `brusk response` on its subcommand.
void addResponseOptions(CLI::App& command, ResponseOptions& options);

/// Declares --outdoor, --indoor, --indoor-constant and --period on `command` (for `brusk
/// report`, where the profiles are optional).
void addProfileOptions(CLI::App& command, ResponseOptions& options);

/// The indoor and outdoor profiles of `options`, before any sol-air correction.
using Frontend::ProfileInputs;

/// Reads the profile files of `options`; a time column must cover the period and start with
/// the outdoor file's. Throws Frontend::Error naming the file.
[[nodiscard]] ProfileInputs readProfileInputs(const ResponseOptions& options);

/// The profiles of `brusk batch --outdoor` (with --solar, the irradiance and the surface),
/// read and checked as for `brusk response`. Throws Frontend::Error naming the file.
[[nodiscard]] Batch::ResponseBatchProfiles readBatchProfiles(const ResponseOptions& options,
                                                             bool series);

/// The whole standard output of `brusk response`; throws Frontend::Error on bad input.
[[nodiscard]] std::string runResponse(const ResponseOptions& options);

}  // namespace Brusk::Cli
