#pragma once

// Options that the mode a command runs in does not read: refused, so that an option typed on the
// command line is never one that silently changed nothing.

#include <initializer_list>

namespace CLI {
class App;
}

namespace Brusk::Cli {

/// One option of a command and whether the mode chosen reads it.
struct OptionUse {
  const char* option;  ///< as it is typed: "--humidity-class"
  bool read;           ///< whether the run the other options chose reads it
  const char* unless;  ///< when it would be read: "without --climate", "with --list"
  const char* does;    ///< what it does where it is read: "it sets the indoor side of ..."
};

/// Throws Frontend::Error for the first option of `uses` given on `command` that the run does
/// not read: "--humidity-class has no effect without --climate: it sets the indoor side of the
/// moisture assessment; leave it out".
void refuseIdleOptions(const CLI::App& command, std::initializer_list<OptionUse> uses);

}  // namespace Brusk::Cli
