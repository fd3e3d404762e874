#pragma once

// Internal: the two-dimensional cases of ISO 10211:2017 Annex C as validation cases, computed by
// the engine's own reference runs rather than read from a data file (their geometry is code).

#include <vector>

#include "brusk/frontend/validation.h"

namespace Brusk::Frontend::Detail {

/// ISO 10211:2017 Annex C, cases 1 and 2, as External validation cases: every temperature of
/// Tables C.1 and C.2 and case 2's heat flow, with the standard's tolerances (0.1 K, 0.1 W/m).
[[nodiscard]] std::vector<ValidationCase> bridgeValidationCases();

}  // namespace Brusk::Frontend::Detail
