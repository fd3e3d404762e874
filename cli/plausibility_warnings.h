#pragma once

#include <iosfwd>
#include <string>

#include "brusk/frontend/wall.h"

namespace Brusk::Cli {

/// Keeps a warning for every value of `wall` (read from `file`) that no building material has,
/// with its likely slip of units (Frontend::plausibilityWarnings): "wall.toml: layer 1: thickness
/// 12.5 m is more than any building layer ...". They are printed by printWarnings() once the
/// command has succeeded: the run goes on, since an odd wall may be meant and its numbers are
/// right for what it says, and a refused run keeps its one message.
void warnOfImplausibleValues(const Frontend::Wall& wall, const std::string& file);

/// Writes the warnings kept so far to `out` ("brusk: warning: ..." each, names shown inertly)
/// and forgets them.
void printWarnings(std::ostream& out);

}  // namespace Brusk::Cli
