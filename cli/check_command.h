#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace Brusk::Cli {

/// Options of `brusk check`.
struct CheckOptions {
  std::vector<std::string> files;
  std::string requirements;      ///< a requirements file or a built-in key
  std::string format = "table";  ///< "table", "json" or "csv"
  double periodHours = 24.0;
  std::string output;  ///< empty: standard output
  bool list = false;   ///< list the built-in sets instead
  std::vector<std::string> materialFiles;
};

/// What `brusk check` prints and whether every applicable rule passed.
struct CheckOutcome {
  std::string text;
  bool passed = true;
};

/// Declares the options of `brusk check` on its subcommand.
void addCheckOptions(CLI::App& command, CheckOptions& options);

/// Checks every wall against the set; writes the output to -o (atomically) or returns it.
/// Throws Frontend::Error on bad input.
[[nodiscard]] CheckOutcome runCheck(const CheckOptions& options);

}  // namespace Brusk::Cli
