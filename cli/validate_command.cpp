#include "validate_command.h"

#include <CLI/CLI.hpp>

#include "brusk/frontend/validation.h"

namespace Brusk::Cli {

void addValidateOptions(CLI::App& command, ValidateOptions& options) {
  command.add_option("--format", options.format, "Output: table or json")
      ->check(CLI::IsMember({"table", "json"}))
      ->capture_default_str();
}

ValidateOutcome runValidate(const ValidateOptions& options) {
  const Frontend::ValidationRun run = Frontend::runValidation();
  ValidateOutcome outcome;
  outcome.allAgree = run.allAgree();
  outcome.text = options.format == "json" ? Frontend::formatValidationJson(run)
                                          : Frontend::formatValidationTable(run);
  return outcome;
}

}  // namespace Brusk::Cli
