#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace Brusk::Cli {

/// Options of `brusk convert`.
struct ConvertOptions {
  std::vector<std::string> files;
  std::string to = "toml";  ///< "toml", "json" or "jsonl"
  std::string output;       ///< the file to write; empty: standard output
  std::vector<std::string> materialFiles;
};

/// Adds the options of `brusk convert` to its command.
void addConvertOptions(CLI::App& command, ConvertOptions& options);

/// Reads and checks the wall files and writes them again in one format, every key as the file
/// gave it: the text for standard output, or, with an output file (written whole or not at
/// all, never over one of the inputs), the line that says what was written. Throws
/// Frontend::Error on bad input.
[[nodiscard]] std::string runConvert(const ConvertOptions& options);

}  // namespace Brusk::Cli
