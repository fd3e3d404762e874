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

/// A wall's result as `brusk compute` writes it, and the fields an element adds to it.
struct ComputedWall {
  NamedResult result;
  ExtraFields extras;  ///< empty for a plain wall
};

/// Computes `wall` at its request's period as `brusk compute` does: an ISO 6946 element (parts,
/// air layers or corrections) with its element fields, a plain wall without. A refused wall
/// throws Frontend::Error naming `source` (the file it was read from) before the reason.
[[nodiscard]] ComputedWall computeWallOrElement(const Wall& wall, const std::string& source);

}  // namespace Brusk::Frontend
