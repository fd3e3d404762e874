#pragma once

// What a bridged element's outputs add to a wall's: the fields of the Element scope of the
// quantity description (brusk/engine/quantities.h), in its order.

#include <string>
#include <vector>

#include "brusk/engine/bridged_element.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Frontend {

/// What the method is, as every output labels it: the combined method of ISO 6946:2017 for the
/// steady state, the parallel-path approximation for the periodic characteristics.
[[nodiscard]] const char* elementMethodText();

/// The extra fields of a wall computed as an element, for formatJson/Csv/Table; empty for a
/// plain wall (and `result` unused).
[[nodiscard]] ExtraFields elementExtras(const Wall& wall, const Engine::ElementResult& result);

}  // namespace Brusk::Frontend
