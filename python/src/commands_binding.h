#pragma once

// The commands `brusk zone` and `brusk response` for the Python package: each reads, computes
// and writes through the frontend exactly as the command does, and hands Python the JSON text
// the command prints, which the package's Python layer parses.

#include <optional>
#include <string>
#include <vector>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Python {

/// `brusk zone --format json FILE`. Throws Frontend::Error as the command words it.
[[nodiscard]] std::string zoneFileJson(const std::string& path,
                                       const Frontend::Catalogue& catalogue);

/// The same for a zone document given as JSON text with the zone-file keys; wall files it names
/// are found relative to `directory`, and `source` names it in messages.
[[nodiscard]] std::string zoneTextJson(const std::string& json, const std::string& source,
                                       const std::string& directory,
                                       const Frontend::Catalogue& catalogue);

/// The profiles of one response, as `brusk response` takes them from its files and options.
struct ResponseInputs {
  std::vector<double> outdoor;                ///< theta_e samples over the period [degC]
  std::optional<std::vector<double>> indoor;  ///< theta_i samples [degC]
  double indoorConstant = 25.0;               ///< theta_i without samples [degC]
  std::optional<double> periodHours;          ///< T [h]; default 24
  std::optional<std::vector<double>> solar;   ///< irradiance on the outer surface [W/m2]
  std::optional<double> absorptance;          ///< alpha [-], with `solar`
  double emissivity = 0.9;                    ///< epsilon [-], with `solar`
  double skyRadiation = 0.0;                  ///< Delta R [W/m2], with `solar`
  double startHours = 0.0;                    ///< time of the first sample [h]
};

/// `brusk response --format json` for `wall` under `inputs`. Throws Frontend::Error.
[[nodiscard]] std::string responseJson(const Frontend::Wall& wall, const std::string& source,
                                       const ResponseInputs& inputs);

}  // namespace Brusk::Python
