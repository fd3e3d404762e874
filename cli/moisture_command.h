#pragma once

#include <string>
#include <vector>

#include "brusk/frontend/wall.h"

namespace CLI {
class App;
}

namespace Brusk::Report {
struct ReportOptions;
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

/// The moisture part of `brusk report`: with a climate, every wall gets an ISO 13788 section.
struct ReportMoistureOptions {
  std::string climate;
  int humidityClass = 0;
  double indoorTemperature = 0;
  bool indoorTemperatureGiven = false;
};

/// Declares --humidity-class and --indoor-temperature on `command`, the latter marking that it
/// was given (the default 20 degC is not the same as a 20 the user typed: without a class it is
/// refused), for every command that reads a climate.
void addIndoorSideOptions(CLI::App& command, int& humidityClass, double& temperature,
                          bool& temperatureGiven, const char* classHelp,
                          const char* temperatureHelp);

/// Declares --climate, --humidity-class and --indoor-temperature on `brusk report`.
void addReportMoistureOptions(CLI::App& command, ReportMoistureOptions& options);

/// Assesses `walls` (read from `wallFiles`) under the climate of `options`, if one is given,
/// into the report's options; throws Frontend::Error as `brusk moisture` does.
void addMoistureToReport(const ReportMoistureOptions& options,
                         const std::vector<Frontend::Wall>& walls,
                         const std::vector<std::string>& wallFiles,
                         Report::ReportOptions& reportOptions);

/// Declares the options of `brusk moisture` on its subcommand.
void addMoistureOptions(CLI::App& command, MoistureOptions& options);

/// The whole standard output of `brusk moisture`; throws Frontend::Error on bad input.
[[nodiscard]] std::string runMoisture(const MoistureOptions& options);

}  // namespace Brusk::Cli
