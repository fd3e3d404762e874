#pragma once

// The Python module's door to walls computed as ISO 6946 elements (layers of parts, air layers,
// corrections).

#include <string>

#include "brusk/frontend/wall.h"

namespace BruskPython {

/// The wall computed at a cycle of `periodHours` [h], as `brusk compute --format json` writes
/// it: for an element, the usual keys followed by the element's quantities, paths and air
/// layers. Throws Frontend::Error prefixed by `source` when the wall is refused.
[[nodiscard]] std::string elementJson(const Brusk::Frontend::Wall& wall, const std::string& source,
                                      double periodHours);

}  // namespace BruskPython
