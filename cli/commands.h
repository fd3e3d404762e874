#pragma once

#include <string>
#include <vector>

#include "brusk/frontend/provenance.h"
#include "moisture_command.h"
#include "response_command.h"

namespace Brusk::Cli {

/// Options of `brusk compute`.
struct ComputeOptions {
  std::vector<std::string> files;
  std::string format = "table";  ///< "table", "json" or "csv"
  double periodHours = 24.0;
  std::vector<std::string> materialFiles;
};

/// Options of `brusk report`.
struct ReportCommandOptions {
  std::vector<std::string> files;
  std::string output;
  std::string title = "Brusk report";
  double amplitude = 1.0;
  std::vector<std::string> materialFiles;
  ResponseOptions profile;  ///< with an outdoor file, the report plots the walls' response to it
  ReportMoistureOptions moisture;   ///< with a climate, a moisture section per wall
  std::string requirements;         ///< a file or built-in set: a requirements section per wall
  Frontend::ProjectFields project;  ///< --project, --element, --author (over the project file)
  std::string projectFile;          ///< --project-file: TOML of the same three fields
};

/// A number as option messages and listings show it: six significant digits ("%g").
[[nodiscard]] std::string numberText(double value);

/// The whole standard output of `brusk compute`; throws Frontend::Error on bad input.
[[nodiscard]] std::string runCompute(const ComputeOptions& options);

/// The catalogue listing of `brusk materials`, filtered by `text`: a table, or with `json` the
/// JSON array of the entries (empty when nothing matches). Throws Frontend::Error on bad input,
/// or for a table when nothing matches.
[[nodiscard]] std::string runMaterials(const std::string& text,
                                       const std::vector<std::string>& materialFiles, bool json);

/// Writes the HTML report atomically and returns the line to print; throws Frontend::Error.
[[nodiscard]] std::string runReport(const ReportCommandOptions& options);

}  // namespace Brusk::Cli
