#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace Brusk::Cli {

/// Options of `brusk moisture`.
struct MoistureOptions {
  std::vector<std::string> files;
  std::string climate;           ///< the monthly climate CSV
  int humidityClass = 0;         ///< 1..5: the indoor side from ISO 13788 Annex A; 0: the file's
  double indoorTemperature = 0;  ///< with a humidity class [degC]
  bool indoorTemperatureGiven = false;
  std::string format = "table";  ///< "table", "json" or "csv"
  std::vector<std::string> materialFiles;
};

/// Declares the options of `brusk moisture` on its subcommand.
void addMoistureOptions(CLI::App& command, MoistureOptions& options);

/// The whole standard output of `brusk moisture`; throws Frontend::Error on bad input.
[[nodiscard]] std::string runMoisture(const MoistureOptions& options);

}  // namespace Brusk::Cli
