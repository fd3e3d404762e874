#include "idle_options.h"

#include <string>

#include <CLI/CLI.hpp>

#include "brusk/frontend/error.h"

namespace Brusk::Cli {

void refuseIdleOptions(const CLI::App& command, std::initializer_list<OptionUse> uses) {
  for (const OptionUse& use : uses) {
    if (use.read || command.count(use.option) == 0) continue;
    throw Frontend::Error(std::string(use.option) + " has no effect " + use.unless + ": " +
                          use.does + "; leave it out");
  }
}

}  // namespace Brusk::Cli
