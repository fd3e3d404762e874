#pragma once

// The quantities a bridged element's outputs add to a wall's, described once: key, label,
// symbol, unit, definition with its clause. Every writer takes them from here.

#include <string>
#include <vector>

#include "brusk/engine/bridged_element.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Frontend {

/// One quantity of an element's output.
struct ElementQuantity {
  const char* key;         ///< JSON path (levels joined by '/'), CSV column with '_'
  const char* label;       ///< what the table shows, empty for a quantity not in the table
  const char* symbol;      ///< as the standard writes it
  const char* unit;        ///< SI unit, "-" for a ratio, empty for text and flags
  const char* definition;  ///< what it is, with its formula and clause
  int decimals;            ///< in the table
};

/// The element quantities in output order; the per-path and per-air-layer ones follow, keyed
/// inside their lists ("paths", "air_layers").
[[nodiscard]] const std::vector<ElementQuantity>& elementQuantities();
[[nodiscard]] const std::vector<ElementQuantity>& pathQuantities();
[[nodiscard]] const std::vector<ElementQuantity>& airLayerQuantities();

/// What the method is, as every output labels it: the combined method of ISO 6946:2017 for the
/// steady state, the parallel-path approximation for the periodic characteristics.
[[nodiscard]] const char* elementMethodText();

/// The extra fields of a wall computed as an element, for formatJson/Csv/Table; empty for a
/// plain wall (and `result` unused).
[[nodiscard]] ExtraFields elementExtras(const Wall& wall, const Engine::ElementResult& result);

}  // namespace Brusk::Frontend
