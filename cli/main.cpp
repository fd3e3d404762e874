// brusk: ISO 13786 dynamic thermal characteristics of walls described in files.
//
// Parses the command line, runs one command into a buffer and prints it only when everything
// succeeded: on bad input the exit status is 2, standard output stays empty and the reason goes
// to standard error.
#include <exception>
#include <iostream>
#include <string>

#include <unistd.h>
#include <CLI/CLI.hpp>

#include "brusk/batch/wall_batch.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/text_util.h"
#include "commands.h"
#include "response_command.h"

namespace {

constexpr int kBadInput = 2;

int fail(const std::string& message, int status) {
  // Messages quote names from the files; a name must not drive the terminal.
  std::cerr << "brusk: " << Brusk::Frontend::visibleText(message) << '\n';
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Brusk: ISO 13786 dynamic thermal characteristics of building elements"};
  app.set_version_flag("--version", "brusk " BRUSK_VERSION);
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

  Brusk::Cli::ResponseOptions response;
  CLI::App* responseCommand = app.add_subcommand(
      "response", "Hourly heat flow through a wall under periodic indoor and outdoor profiles");
  Brusk::Cli::addResponseOptions(*responseCommand, response);

  Brusk::Cli::ReportCommandOptions report;
  CLI::App* reportCommand =
      app.add_subcommand("report", "Write a self-contained HTML report of walls");
  reportCommand->add_option("files", report.files, "Wall files (.toml or .json)")->required();
  reportCommand->add_option("-o,--output", report.output, "The HTML file to write")->required();
  reportCommand
      ->add_option("--amplitude", report.amplitude, "Temperature swing of the response plots [K]")
      ->capture_default_str();
  reportCommand->add_option("--title", report.title, "Page title")->capture_default_str();
  Brusk::Cli::addProfileOptions(*reportCommand, report.profile);
  reportCommand
      ->add_option("--materials", report.materialFiles,
                   "TOML file adding or overriding catalogue materials (repeatable)")
      ->allow_extra_args(false);

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
  batchCommand->add_option("--jobs", batch.jobs, "Threads (0: one per core)")
      ->capture_default_str();
  batchCommand->add_flag("--fail-fast", batch.failFast, "Stop at the first bad line");
  batchCommand->add_option("--period", batch.periodHours, "Cycle length T in hours")
      ->capture_default_str();
  batchCommand
      ->add_option("--materials", batch.materialFiles,
                   "TOML file adding or overriding catalogue materials (repeatable)")
      ->allow_extra_args(false);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForAllHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForVersion& version) {
    return app.exit(version);
  } catch (const CLI::ParseError& error) {
    return fail(std::string(error.what()) + " (see brusk --help)", kBadInput);
  }

  try {
    if (batchCommand->parsed()) {
      // Streams: results go out as they are computed; bad lines are reported, not fatal.
      batch.progress = ::isatty(STDERR_FILENO) != 0;
      return Brusk::Batch::runWallBatch(batch, std::cerr);
    }
    std::string output;
    if (computeCommand->parsed()) output = Brusk::Cli::runCompute(compute);
    if (materialsCommand->parsed()) {
      output = Brusk::Cli::runMaterials(filter, listedMaterialFiles);
    }
    if (reportCommand->parsed()) output = Brusk::Cli::runReport(report);
    if (responseCommand->parsed()) output = Brusk::Cli::runResponse(response);
    std::cout << output << std::flush;
    return std::cout ? 0 : fail("cannot write to standard output", 1);
  } catch (const Brusk::Frontend::Error& error) {
    return fail(error.what(), kBadInput);
  } catch (const std::exception& error) {
    return fail(std::string("internal error: ") + error.what(), 1);
  }
}
