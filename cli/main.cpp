// brusk: ISO 13786 dynamic thermal characteristics of walls described in files.
//
// Parses the command line, runs one command into a buffer and prints it only when everything
// succeeded: on bad input the exit status is 2, standard output stays empty and the reason goes
// to standard error.
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>
#include <CLI/CLI.hpp>

#include "bridge_command.h"
#include "brusk/batch/line_pipeline.h"
#include "brusk/batch/wall_batch.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/provenance.h"
#include "brusk/frontend/quantity_output.h"
#include "brusk/frontend/text_util.h"
#include "brusk/frontend/wall_document.h"
#include "check_command.h"
#include "commands.h"
#include "convert_command.h"
#include "idle_options.h"
#include "moisture_command.h"
#include "plausibility_warnings.h"
#include "response_command.h"
#include "validate_command.h"
#include "zone_command.h"

namespace {

constexpr int kBadInput = 2;

int fail(const std::string& message, int status) {
  // Messages quote names from the files; a name must not drive the terminal.
  std::cerr << "brusk: " << Brusk::Frontend::visibleText(message) << '\n';
  return status;
}

/// " (did you mean "x"?)" for the closest of `candidates`, or nothing.
std::string suggestion(const std::string& word, const std::vector<std::string>& candidates) {
  const std::vector<std::string> closest = Brusk::Frontend::closestWords(word, candidates, 1);
  return closest.empty() ? ""
                         : "; did you mean " + Brusk::Frontend::quotedAlternatives(closest) + "?";
}

/// The message for a word on the command line that CLI11 did not take: an unknown option of the
/// command it follows, with the nearest known one; empty when there is no such word.
std::string unknownOptionMessage(const CLI::App& app) {
  std::vector<const CLI::App*> commands{&app};
  for (const CLI::App* command : app.get_subcommands({})) {
    if (command->parsed()) commands.insert(commands.begin(), command);
  }
  for (const CLI::App* command : commands) {
    for (const std::string& word : command->remaining()) {
      if (word.size() < 2 || word[0] != '-') continue;
      std::vector<std::string> names;
      for (const CLI::Option* option : command->get_options()) {
        for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
        for (const std::string& name : option->get_snames()) names.push_back("-" + name);
      }
      const std::string name = word.substr(0, word.find('='));
      const std::string where =
          command == &app ? std::string("brusk") : "brusk " + command->get_name();
      return "unknown option \"" + name + "\" for " + where + suggestion(name, names) + " (see " +
             where + " --help)";
    }
  }
  return "";
}

/// --jobs as given: a whole number of threads, 0 for one per core, capped at maxJobs().
unsigned parseJobs(const std::string& text) {
  unsigned long long value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error == std::errc::invalid_argument || stop != end) {
    throw Brusk::Frontend::Error(
        "--jobs must be a whole number of threads (0: one per core), got \"" + text + "\"");
  }
  const unsigned cap = Brusk::Batch::maxJobs();
  // More threads than that only cost memory and switching; so do absurd numbers.
  return error == std::errc::result_out_of_range || value > cap ? cap
                                                                : static_cast<unsigned>(value);
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Brusk: ISO 13786 dynamic thermal characteristics of building elements"};
  // The version and the editions of the standards applied, as a report's provenance names them.
  std::string versionText = Brusk::Frontend::versionText();
  versionText.pop_back();  // CLI11 ends the line itself
  app.set_version_flag("--version", versionText);
  app.require_subcommand(1);

  Brusk::Cli::ComputeOptions compute;
  CLI::App* computeCommand =
      app.add_subcommand("compute", "Compute walls described in TOML or JSON files");
  computeCommand->add_option("files", compute.files, "Wall files (.toml or .json)")->required();
  computeCommand->add_option("--format", compute.format, "Output: table, json or csv")
      ->check(CLI::IsMember({"table", "json", "csv"}))
      ->capture_default_str();
  computeCommand->add_option("--period", compute.periodHours, "Cycle length T in hours")
      ->capture_default_str();
  computeCommand
      ->add_option("--materials", compute.materialFiles,
                   "TOML file adding or overriding catalogue materials (repeatable)")
      ->allow_extra_args(false);

  std::string filter;
  std::string materialsFormat = "table";
  std::vector<std::string> listedMaterialFiles;
  CLI::App* materialsCommand =
      app.add_subcommand("materials", "List the material catalogue, filtered by TEXT");
  materialsCommand->add_option("text", filter,
                               "Show materials whose key, name, family or "
                               "source contains TEXT");
  materialsCommand
      ->add_option("--materials", listedMaterialFiles,
                   "TOML file adding or overriding catalogue materials (repeatable)")
      ->allow_extra_args(false);
  materialsCommand
      ->add_option("--format", materialsFormat,
                   "Output: table, or json (an array, empty when nothing matches)")
      ->check(CLI::IsMember({"table", "json"}))
      ->capture_default_str();

  std::string quantitiesFormat = "table";
  CLI::App* quantitiesCommand = app.add_subcommand(
      "quantities", "Describe every output quantity: key, label, symbol, unit, definition");
  quantitiesCommand->add_option("--format", quantitiesFormat, "Output: table or json")
      ->check(CLI::IsMember({"table", "json"}))
      ->capture_default_str();

  Brusk::Cli::ConvertOptions convert;
  CLI::App* convertCommand = app.add_subcommand(
      "convert", "Check wall files and write them again as TOML, JSON or JSON Lines");
  Brusk::Cli::addConvertOptions(*convertCommand, convert);

  std::string schemaFormat = "table";
  CLI::App* schemaCommand = app.add_subcommand(
      "schema", "Describe the wall file: every object and key, its type, unit and meaning");
  schemaCommand->add_option("--format", schemaFormat, "Output: table or json")
      ->check(CLI::IsMember({"table", "json"}))
      ->capture_default_str();

  Brusk::Cli::ResponseOptions response;
  CLI::App* responseCommand = app.add_subcommand(
      "response", "Hourly heat flow through a wall under periodic indoor and outdoor profiles");
  Brusk::Cli::addResponseOptions(*responseCommand, response);

  Brusk::Cli::ReportCommandOptions report;
  CLI::App* reportCommand =
      app.add_subcommand("report", "Write a self-contained HTML report of walls");
  reportCommand->add_option("files", report.files, "Wall, zone or junction files (.toml or .json)")
      ->required();
  reportCommand->add_option("-o,--output", report.output, "The HTML file to write")->required();
  reportCommand
      ->add_option("--amplitude", report.amplitude, "Temperature swing of the response plots [K]")
      ->capture_default_str();
  reportCommand->add_option("--title", report.title, "Page title")->capture_default_str();
  Brusk::Cli::addProfileOptions(*reportCommand, report.profile);
  reportCommand->get_option("--period")
      ->description(
          "Cycle length T [h] of the results and the swing plots, and the period of the --outdoor "
          "profiles (default: the profiles' time column's, else 24)");
  Brusk::Cli::addReportMoistureOptions(*reportCommand, report.moisture);
  reportCommand->add_option(
      "--requirements", report.requirements,
      "Requirements file or built-in set (brusk check --list): a requirements section per wall");
  reportCommand
      ->add_option("--materials", report.materialFiles,
                   "TOML file adding or overriding catalogue materials (repeatable)")
      ->allow_extra_args(false);
  reportCommand->add_option("--project", report.project.project,
                            "Project named in the report's provenance");
  reportCommand->add_option("--element", report.project.element,
                            "Building element named in the report's provenance");
  reportCommand->add_option("--author", report.project.author,
                            "Author named in the report's provenance");
  reportCommand->add_option("--project-file", report.projectFile,
                            "TOML file of project, element and author (the options above win)");

  Brusk::Cli::ZoneOptions zone;
  CLI::App* zoneCommand = app.add_subcommand(
      "zone", "Thermal mass of rooms or zones: every kappa of their elements, Cm, Am, TMP");
  zoneCommand->add_option("files", zone.files, "Zone files (.toml or .json)")->required();
  zoneCommand->add_option("--format", zone.format, "Output: table, json or csv")
      ->check(CLI::IsMember({"table", "json", "csv"}))
      ->capture_default_str();
  zoneCommand
      ->add_option("--materials", zone.materialFiles,
                   "TOML file adding or overriding catalogue materials (repeatable)")
      ->allow_extra_args(false);

  Brusk::Cli::MoistureOptions moisture;
  CLI::App* moistureCommand = app.add_subcommand(
      "moisture",
      "Interstitial condensation (monthly Glaser method) and surface mould risk, ISO 13788");
  Brusk::Cli::addMoistureOptions(*moistureCommand, moisture);

  Brusk::Cli::BridgeOptions bridge;
  CLI::App* bridgeCommand = app.add_subcommand(
      "bridge", "Two-dimensional thermal bridges (ISO 10211): heat flows, L2D, psi and fRsi");
  Brusk::Cli::addBridgeOptions(*bridgeCommand, bridge);

  Brusk::Cli::CheckOptions check;
  CLI::App* checkCommand = app.add_subcommand(
      "check", "Check walls against requirements: a national rule or a project's own file");
  Brusk::Cli::addCheckOptions(*checkCommand, check);

  Brusk::Cli::ValidateOptions validate;
  CLI::App* validateCommand = app.add_subcommand(
      "validate", "Compare Brusk with published worked examples and the standards' tables");
  Brusk::Cli::addValidateOptions(*validateCommand, validate);

  Brusk::Batch::WallBatchOptions batch;
  CLI::App* batchCommand = app.add_subcommand(
      "batch", "Compute one wall per line of a JSON Lines file, on every core, in input order");
  batchCommand->add_option("input", batch.input, "JSON Lines file, or - for standard input")
      ->required();
  batchCommand->add_option("-o,--output", batch.output, "Output file, or - for standard output")
      ->capture_default_str();
  batchCommand->add_option("--format", batch.format, "Output: csv or jsonl")
      ->check(CLI::IsMember({"csv", "jsonl"}))
      ->capture_default_str();
  std::string jobs = "0";
  batchCommand
      ->add_option("--jobs", jobs,
                   "Threads (0: one per core; at most 4 per core, " +
                       std::to_string(Brusk::Batch::maxJobs()) + " here)")
      ->type_name("N")
      ->capture_default_str();
  batchCommand->add_flag("--fail-fast", batch.failFast, "Stop at the first bad line");
  batchCommand
      ->add_option("--kernel", batch.kernel,
                   "vector: the many-wall SIMD kernel, results within 1e-12 relative of brusk "
                   "compute, deterministic on a machine; scalar: brusk compute's doubles bit "
                   "for bit")
      ->check(CLI::IsMember({"vector", "scalar"}))
      ->capture_default_str();
  batchCommand->add_option("--period", batch.periodHours, "Cycle length T in hours")
      ->capture_default_str();
  batchCommand->add_option("--climate", batch.climate,
                           "Monthly climate CSV: assess each wall for moisture (ISO 13788, as "
                           "brusk moisture) instead");
  Brusk::Cli::addIndoorSideOptions(
      *batchCommand, batch.humidityClass, batch.indoorTemperature, batch.indoorTemperatureGiven,
      "With --climate: the indoor side from ISO 13788 Annex A class 1 to 5",
      "With --humidity-class: the indoor temperature [degC] (default 20)");
  batchCommand
      ->add_option("--materials", batch.materialFiles,
                   "TOML file adding or overriding catalogue materials (repeatable)")
      ->allow_extra_args(false);
  // With --outdoor: every wall's periodic response to the profiles, one summary row per wall
  // (or, with --series, the series' rows), instead of its characteristics.
  Brusk::Cli::ResponseOptions batchProfiles;
  bool batchSeries = false;
  batchCommand->add_option(
      "--outdoor", batchProfiles.outdoorFile,
      "CSV of outdoor (or sol-air) temperatures [degC]: each wall's response to it, with "
      "--indoor or --indoor-constant, instead of its characteristics");
  CLI::Option* batchIndoor = batchCommand->add_option(
      "--indoor", batchProfiles.indoorFile, "With --outdoor: CSV of indoor temperatures [degC]");
  batchCommand
      ->add_option("--indoor-constant", batchProfiles.indoorConstant,
                   "With --outdoor: constant indoor temperature [degC] without --indoor")
      ->capture_default_str()
      ->excludes(batchIndoor);
  CLI::Option* batchSolar = batchCommand->add_option(
      "--solar", batchProfiles.solarFile,
      "With --outdoor: CSV of solar irradiance on the outer surfaces [W/m2]");
  CLI::Option* batchAbsorptance = batchCommand->add_option(
      "--absorptance", batchProfiles.absorptance, "Solar absorptance alpha [-], with --solar");
  batchSolar->needs(batchAbsorptance);
  batchAbsorptance->needs(batchSolar);
  batchCommand
      ->add_option("--emissivity", batchProfiles.emissivity, "Long-wave emissivity epsilon [-]")
      ->capture_default_str()
      ->needs(batchSolar);
  batchCommand
      ->add_option("--sky-radiation", batchProfiles.skyRadiation,
                   "Long-wave loss to the sky Delta R [W/m2] (0 for walls, ~63 for roofs)")
      ->capture_default_str()
      ->needs(batchSolar);
  batchCommand->add_flag("--series", batchSeries,
                         "With --outdoor: the series (line, name, time, heat_flow_in, "
                         "inner_surface_temperature) instead of one summary row per wall");

  // A first word that names no command: say so and suggest the nearest, or give the help the
  // word "help" asks for.
  if (argc > 1 && argv[1][0] != '-') {
    const std::string word = argv[1];
    std::vector<std::string> names;
    for (const CLI::App* command : app.get_subcommands({})) names.push_back(command->get_name());
    if (std::find(names.begin(), names.end(), word) == names.end()) {
      if (word == "help") {
        app.name("brusk");
        const CLI::App* topic = nullptr;
        if (argc > 2) {
          for (const CLI::App* command : app.get_subcommands({})) {
            if (command->get_name() == argv[2]) topic = command;
          }
        }
        std::cout << (topic != nullptr ? topic->help() : app.help()) << std::flush;
        return std::cout ? 0 : fail("cannot write to standard output", 1);
      }
      return fail(
          "unknown command \"" + word + "\"" + suggestion(word, names) + " (see brusk --help)",
          kBadInput);
    }
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForAllHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForVersion& version) {
    return app.exit(version);
  } catch (const CLI::ExtrasError& error) {
    const std::string message = unknownOptionMessage(app);
    return fail(message.empty() ? std::string(error.what()) + " (see brusk --help)" : message,
                kBadInput);
  } catch (const CLI::ParseError& error) {
    return fail(std::string(error.what()) + " (see brusk --help)", kBadInput);
  }

  try {
    if (batchCommand->parsed()) {
      // Streams: results go out as they are computed; bad lines are reported, not fatal.
      batch.jobs = parseJobs(jobs);
      batch.progress = ::isatty(STDERR_FILENO) != 0;
      const bool moistureRun = !batch.climate.empty();
      Brusk::Cli::refuseIdleOptions(
          *batchCommand,
          {{"--humidity-class", moistureRun, "without --climate",
            "it sets the indoor side of the moisture assessment (ISO 13788 Annex A)"},
           {"--indoor-temperature", moistureRun, "without --climate",
            "it is the indoor temperature of the moisture assessment with --humidity-class"}});
      const bool profileOption = !batchProfiles.indoorFile.empty() ||
                                 batchCommand->count("--indoor-constant") > 0 ||
                                 !batchProfiles.solarFile.empty() || batchSeries;
      if (batchProfiles.outdoorFile.empty() && profileOption) {
        throw Brusk::Frontend::Error(
            "--indoor, --indoor-constant, --solar and --series need --outdoor, the profile "
            "the walls respond to");
      }
      // The cycle length and the kernel choose the thermal computation of each wall; the
      // moisture assessment reads neither, the response reads its period from the profiles
      // (or --period) and always takes its harmonics through the many-wall kernel.
      if (!batch.climate.empty() &&
          (batchCommand->count("--period") > 0 || batchCommand->count("--kernel") > 0)) {
        throw Brusk::Frontend::Error(
            "--period and --kernel choose the thermal computation; the moisture assessment "
            "(--climate, ISO 13788 monthly steady states) reads neither: leave them out");
      }
      if (!batchProfiles.outdoorFile.empty() && batchCommand->count("--kernel") > 0) {
        throw Brusk::Frontend::Error(
            "--kernel chooses how brusk batch computes the characteristics; the response to "
            "--outdoor profiles always takes its harmonics through the many-wall kernel and "
            "does not read it: leave it out");
      }
      if (!batchProfiles.outdoorFile.empty()) {
        if (batchCommand->count("--period") > 0) batchProfiles.periodHours = batch.periodHours;
        batch.response = Brusk::Cli::readBatchProfiles(batchProfiles, batchSeries);
      }
      return Brusk::Batch::runWallBatch(batch, std::cerr);
    }
    std::string output;
    if (computeCommand->parsed()) output = Brusk::Cli::runCompute(compute);
    if (materialsCommand->parsed()) {
      output = Brusk::Cli::runMaterials(filter, listedMaterialFiles, materialsFormat == "json");
    }
    if (quantitiesCommand->parsed()) {
      output = quantitiesFormat == "json" ? Brusk::Frontend::formatQuantitiesJson()
                                          : Brusk::Frontend::formatQuantitiesTable();
    }
    if (convertCommand->parsed()) output = Brusk::Cli::runConvert(convert);
    if (schemaCommand->parsed()) {
      output = schemaFormat == "json" ? Brusk::Frontend::formatWallSchemaJson()
                                      : Brusk::Frontend::formatWallSchemaTable();
    }
    if (reportCommand->parsed()) {
      const bool responsePlots = !report.profile.outdoorFile.empty();
      Brusk::Cli::refuseIdleOptions(
          *reportCommand,
          {{"--indoor", responsePlots, "without --outdoor",
            "it is the indoor side of the plotted response to the --outdoor profile"},
           {"--indoor-constant", responsePlots, "without --outdoor",
            "it is the indoor side of the plotted response to the --outdoor profile"}});
      output = Brusk::Cli::runReport(report);
    }
    if (zoneCommand->parsed()) output = Brusk::Cli::runZone(zone);
    if (responseCommand->parsed()) output = Brusk::Cli::runResponse(response);
    if (moistureCommand->parsed()) output = Brusk::Cli::runMoisture(moisture);
    if (bridgeCommand->parsed()) output = Brusk::Cli::runBridge(bridge);
    // brusk check: 1 when an applicable rule failed, 3 when no rule applied, 4 when a rule
    // could not be decided, so that a script can stop on anything but a pass.
    int status = 0;
    if (checkCommand->parsed()) {
      const bool checkMoisture = !check.list && !check.climate.empty();
      Brusk::Cli::refuseIdleOptions(
          *checkCommand,
          {{"--period", !check.list, "with --list",
            "it sets the cycle of the quantities the walls are checked on"},
           {"--materials", !check.list, "with --list",
            "it adds materials to the catalogue of the walls checked"},
           {"--climate", !check.list, "with --list",
            "it gives the moisture results the rules of a set may test"},
           {"--humidity-class", checkMoisture, "without --climate",
            "it sets the indoor side of the moisture assessment (ISO 13788 Annex A)"},
           {"--indoor-temperature", checkMoisture, "without --climate",
            "it is the indoor temperature of the moisture assessment with --humidity-class"}});
      const Brusk::Cli::CheckOutcome outcome = Brusk::Cli::runCheck(check);
      output = outcome.text;
      status = outcome.status;
    }
    // brusk validate: 1 when a figure differs from its published value.
    if (validateCommand->parsed()) {
      const Brusk::Cli::ValidateOutcome outcome = Brusk::Cli::runValidate(validate);
      output = outcome.text;
      status = outcome.allAgree ? 0 : 1;
    }
    Brusk::Cli::printWarnings(std::cerr);
    errno = 0;
    std::cout << output << std::flush;
    if (std::cout) return status;
    const int reason = errno;
    return fail(std::string("cannot write to standard output") +
                    (reason != 0 ? std::string(": ") + std::strerror(reason) : ""),
                1);
  } catch (const Brusk::Frontend::Error& error) {
    return fail(error.what(), kBadInput);
  } catch (const std::exception& error) {
    return fail(std::string("internal error: ") + error.what(), 1);
  }
}
