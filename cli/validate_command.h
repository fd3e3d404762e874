#pragma once

#include <string>

namespace CLI {
class App;
}

namespace Brusk::Cli {

/// Options of `brusk validate`.
struct ValidateOptions {
  std::string format = "table";  ///< "table" or "json"
};

/// Declares the options of `brusk validate` on its subcommand.
void addValidateOptions(CLI::App& command, ValidateOptions& options);

/// What `brusk validate` prints and whether every figure agreed.
struct ValidateOutcome {
  std::string text;
  bool allAgree = false;
};

/// Runs every built-in validation case (data/validation/) and words the run.
[[nodiscard]] ValidateOutcome runValidate(const ValidateOptions& options);

}  // namespace Brusk::Cli
