#include "convert_command.h"

#include <CLI/CLI.hpp>

#include "brusk/batch/atomic_file.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/input_files.h"
#include "brusk/frontend/wall_document.h"
#include "brusk/frontend/wall_parser.h"
#include "plausibility_warnings.h"

namespace Brusk::Cli {

void addConvertOptions(CLI::App& command, ConvertOptions& options) {
  command.add_option("files", options.files, "Wall files (.toml or .json)")->required();
  command
      .add_option("--to", options.to,
                  "toml (one wall, for people), json (one wall, for programs) or jsonl (one "
                  "wall per line, for brusk batch)")
      ->check(CLI::IsMember({"toml", "json", "jsonl"}))
      ->capture_default_str();
  command.add_option("-o,--output", options.output, "The file to write (default: standard output)");
  command
      .add_option("--materials", options.materialFiles,
                  "TOML file adding or overriding catalogue materials (repeatable)")
      ->allow_extra_args(false);
}

std::string runConvert(const ConvertOptions& options) {
  if (options.to != "jsonl" && options.files.size() > 1) {
    throw Frontend::Error("--to " + options.to + " writes one wall, and " +
                          std::to_string(options.files.size()) +
                          " files were given: convert them one at a time, or with --to jsonl "
                          "into one JSON Lines file for brusk batch");
  }
  std::vector<std::string> inputs = options.files;
  inputs.insert(inputs.end(), options.materialFiles.begin(), options.materialFiles.end());
  if (!options.output.empty()) Frontend::refuseToOverwriteInputs(options.output, inputs);
  const Frontend::Catalogue catalogue = Frontend::Catalogue::withFiles(options.materialFiles);
  std::string text;
  for (const std::string& file : options.files) {
    const Frontend::Wall wall = Frontend::loadWallFile(file, catalogue);
    warnOfImplausibleValues(wall, file);
    if (options.to == "toml") {
      text += Frontend::formatWallToml(wall);
    } else if (options.to == "json") {
      text += Frontend::formatWallJson(wall, true);
    } else {
      text += Frontend::formatWallJson(wall, false) + "\n";
    }
  }
  if (options.output.empty()) return text;
  Batch::AtomicOutputFile file(options.output);
  file.stream() << text;
  file.commit();
  return "wrote " + options.output + "\n";
}

}  // namespace Brusk::Cli
