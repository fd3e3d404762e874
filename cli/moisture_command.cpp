#include "moisture_command.h"

#include <CLI/CLI.hpp>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/moisture.h"
#include "brusk/frontend/wall_parser.h"
#include "plausibility_warnings.h"
#ifdef BRUSK_CLI_HAS_REPORT
#include "brusk/report/html_report.h"
#endif

namespace Brusk::Cli {

namespace {

/// The climate file with the --humidity-class and --indoor-temperature pair checked as one.
Frontend::Climate loadClimate(const std::string& path, int humidityClass, bool temperatureGiven,
                              double temperature) {
  return Frontend::loadClimateFile(
      path, humidityClass,
      Frontend::indoorTemperatureOf(
          humidityClass, temperatureGiven ? std::optional<double>(temperature) : std::nullopt));
}

}  // namespace

/// --humidity-class and --indoor-temperature, the latter marking that it was given (the default
/// 20 degC is not the same as a 20 the user typed: without a class it is refused).
void addIndoorSideOptions(CLI::App& command, int& humidityClass, double& temperature,
                          bool& temperatureGiven, const char* classHelp,
                          const char* temperatureHelp) {
  // Checked as it is read, by the rule every door shares: 1 to 5, never rounded; 0 is no
  // class to ask for (leave the option out for the climate's own indoor side).
  command
      .add_option_function<double>(
          "--humidity-class",
          [&humidityClass](double value) {
            try {
              humidityClass = Frontend::humidityClassOf(value);
            } catch (const Frontend::Error& error) {
              throw CLI::ValidationError(error.what());
            }
          },
          classHelp)
      ->type_name("1-5");
  command
      .add_option_function<double>(
          "--indoor-temperature",
          [&temperature, &temperatureGiven](double value) {
            temperature = value;
            temperatureGiven = true;
          },
          temperatureHelp)
      ->type_name("T");
}

void addReportMoistureOptions(CLI::App& command, ReportMoistureOptions& options) {
  command.add_option("--climate", options.climate,
                     "Monthly climate CSV: adds an ISO 13788 moisture section per wall");
  addIndoorSideOptions(command, options.humidityClass, options.indoorTemperature,
                       options.indoorTemperatureGiven,
                       "With --climate: the indoor side from ISO 13788 Annex A class 1 to 5",
                       "With --humidity-class: the indoor temperature [degC] (default 20)");
}

void addMoistureToReport(const ReportMoistureOptions& options,
                         const std::vector<Frontend::Wall>& walls,
                         const std::vector<std::string>& wallFiles,
                         Report::ReportOptions& reportOptions) {
  if (options.climate.empty()) {
    if (options.humidityClass != 0 || options.indoorTemperatureGiven) {
      throw Frontend::Error("--humidity-class and --indoor-temperature go with --climate");
    }
    return;
  }
#ifdef BRUSK_CLI_HAS_REPORT
  reportOptions.moistureClimate =
      loadClimate(options.climate, options.humidityClass, options.indoorTemperatureGiven,
                  options.indoorTemperature);
  for (std::size_t w = 0; w < walls.size(); ++w) {
    reportOptions.moisture.push_back(
        Frontend::assessMoisture(walls[w], reportOptions.moistureClimate, wallFiles[w]));
  }
#else
  (void)walls;
  (void)wallFiles;
  (void)reportOptions;
#endif
}

void addMoistureOptions(CLI::App& command, MoistureOptions& options) {
  command.add_option("files", options.files, "Wall files (.toml or .json)")->required();
  command
      .add_option("--climate", options.climate,
                  "Monthly climate CSV: month, outdoor_temperature, outdoor_relative_humidity, "
                  "indoor_temperature, indoor_relative_humidity (degC, %)")
      ->required();
  addIndoorSideOptions(command, options.humidityClass, options.indoorTemperature,
                       options.indoorTemperatureGiven,
                       "Indoor side from ISO 13788 Annex A humidity class 1 to 5 (p_i = p_e + "
                       "1.10 dp); the file's indoor columns are then not read",
                       "Indoor temperature with --humidity-class [degC] (default 20)");
  command.add_option("--format", options.format, "Output: table, json or csv")
      ->check(CLI::IsMember({"table", "json", "csv"}))
      ->capture_default_str();
  command
      .add_option("--materials", options.materialFiles,
                  "TOML file adding or overriding catalogue materials (repeatable)")
      ->allow_extra_args(false);
}

std::string runMoisture(const MoistureOptions& options) {
  const auto catalogue = Frontend::Catalogue::withFiles(options.materialFiles);
  const Frontend::Climate climate =
      loadClimate(options.climate, options.humidityClass, options.indoorTemperatureGiven,
                  options.indoorTemperature);
  // Every wall is read and assessed before anything is printed: one bad file, no output.
  std::vector<Frontend::MoistureReport> reports;
  reports.reserve(options.files.size());
  for (const std::string& file : options.files) {
    const Frontend::Wall wall = Frontend::loadWallFile(file, catalogue);
    warnOfImplausibleValues(wall, file);
    reports.push_back(Frontend::assessMoisture(wall, climate, file));
  }
  if (options.format == "json") return Frontend::formatMoistureJson(reports, climate);
  if (options.format == "csv") return Frontend::formatMoistureCsv(reports);
  return Frontend::formatMoistureTable(reports, climate);
}

}  // namespace Brusk::Cli
