#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace Brusk::Cli {

/// Options of `brusk bridge`.
struct BridgeOptions {
  std::vector<std::string> files;
  std::string format = "table";  ///< "table", "json" or "csv"
  bool geometry = false;         ///< write each junction as a drawn section instead
  std::string output;            ///< -o: the file to write instead of standard output
  std::vector<std::string> materialFiles;
};

/// Registers the options of `brusk bridge` on `command`.
void addBridgeOptions(CLI::App& command, BridgeOptions& options);

/// Computes the junction files; returns what goes to standard output (empty when -o wrote a
/// file). Throws Frontend::Error on bad input, before anything is written.
[[nodiscard]] std::string runBridge(const BridgeOptions& options);

}  // namespace Brusk::Cli
