#pragma once

// The builders of the quantity description and its tables beyond the wall's, each table in the
// file of its outputs (element_quantities.cpp, moisture_quantities.cpp,
// validation_quantities.cpp).

#include <string_view>
#include <vector>

#include "brusk/engine/quantities.h"

namespace Brusk::Engine::Detail {

/// A quantity whose writer reads the value itself (no accessor): everything but its scope's
/// CSV column, which is empty.
[[nodiscard]] Quantity describe(QuantityScope scope, QuantityType type, std::string_view key,
                                std::string_view label, std::string_view symbol,
                                std::string_view symbolUnicode, std::string_view symbolHtml,
                                std::string_view unit, std::string_view unitUnicode, int decimals,
                                std::string_view definition, std::string_view source);

/// What the ISO 6946 combined method adds to a bridged element's output, in output order:
/// the element's own fields, then those of each entry of "paths" and "air_layers".
[[nodiscard]] std::vector<Quantity> elementQuantities();

/// The ISO 13788 assessment of one wall, in the order of its JSON object.
[[nodiscard]] std::vector<Quantity> moistureQuantities();

/// The output of the validation cases in the order of its JSON object, then the reference
/// figures they compare (scope Reference).
[[nodiscard]] std::vector<Quantity> validationQuantities();
/// A two-dimensional thermal bridge (ISO 10211), in the order of its JSON object.
[[nodiscard]] std::vector<Quantity> bridgeQuantities();

}  // namespace Brusk::Engine::Detail
