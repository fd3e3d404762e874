#include "moisture_command.h"

#include <CLI/CLI.hpp>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/moisture.h"
#include "brusk/frontend/wall_parser.h"

namespace Brusk::Cli {

void addMoistureOptions(CLI::App& command, MoistureOptions& options) {
  command.add_option("files", options.files, "Wall files (.toml or .json)")->required();
  command
      .add_option("--climate", options.climate,
                  "Monthly climate CSV: month, outdoor_temperature, outdoor_relative_humidity, "
                  "indoor_temperature, indoor_relative_humidity (degC, %)")
      ->required();
  command.add_option("--humidity-class", options.humidityClass,
                     "Indoor side from ISO 13788 Annex A humidity class 1 to 5 (p_i = p_e + "
                     "1.10 dp); the file's indoor columns are then not read");
  command
      .add_option_function<double>(
          "--indoor-temperature",
          [&options](double value) {
            options.indoorTemperature = value;
            options.indoorTemperatureGiven = true;
          },
          "Indoor temperature with --humidity-class [degC] (default 20)")
      ->type_name("T");
  command.add_option("--format", options.format, "Output: table, json or csv")
      ->check(CLI::IsMember({"table", "json", "csv"}))
      ->capture_default_str();
  command
      .add_option("--materials", options.materialFiles,
                  "TOML file adding or overriding catalogue materials (repeatable)")
      ->allow_extra_args(false);
}

std::string runMoisture(const MoistureOptions& options) {
  if (options.indoorTemperatureGiven && options.humidityClass == 0) {
    throw Frontend::Error(
        "--indoor-temperature goes with --humidity-class; without a class the climate file "
        "gives the indoor temperature of every month");
  }
  if (options.humidityClass < 0 || options.humidityClass > 5) {
    throw Frontend::Error("--humidity-class must be 1 to 5 (ISO 13788 Annex A), got " +
                          std::to_string(options.humidityClass));
  }
  Frontend::Catalogue catalogue = Frontend::Catalogue::builtIn();
  for (const std::string& file : options.materialFiles) catalogue.addFile(file);
  const Frontend::Climate climate = Frontend::loadClimateFile(
      options.climate, options.humidityClass,
      options.indoorTemperatureGiven ? options.indoorTemperature
                                     : Frontend::kDefaultIndoorTemperature);
  // Every wall is read and assessed before anything is printed: one bad file, no output.
  std::vector<Frontend::MoistureReport> reports;
  reports.reserve(options.files.size());
  for (const std::string& file : options.files) {
    const Frontend::Wall wall = Frontend::loadWallFile(file, catalogue);
    reports.push_back(Frontend::assessMoisture(wall, climate, file));
  }
  if (options.format == "json") return Frontend::formatMoistureJson(reports, climate);
  if (options.format == "csv") return Frontend::formatMoistureCsv(reports);
  return Frontend::formatMoistureTable(reports, climate);
}

}  // namespace Brusk::Cli
