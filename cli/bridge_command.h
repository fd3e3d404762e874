#pragma once

#include <string>
#include <vector>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/junction.h"

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

/// The junction files among `files`, read and computed, for `brusk report`; every other file is
/// appended to `others` in its order. Throws Frontend::Error as `brusk bridge` words it.
[[nodiscard]] std::vector<Frontend::JunctionReport> loadReportJunctions(
    const std::vector<std::string>& files, const Frontend::Catalogue& catalogue,
    std::vector<std::string>& others);

}  // namespace Brusk::Cli
