#pragma once

#include <array>
#include <cstddef>
#include <iosfwd>

#include "brusk/engine/inertia.h"

namespace Brusk::Validation {

/// The two records computed for one reference element.
struct ElementResults {
  Engine::Inertia inertia;
  Engine::SequentialInertia sequential;
};

/// One row of the reference table: what is compared, with which reference and tolerance.
struct ReferenceCheck {
  const char* label;          ///< the expression that yields the value, printed as is
  const char* expectedText;   ///< the reference as published, printed as is
  const char* toleranceText;  ///< the tolerance as published, printed as is
  double expected;
  double tolerance;  ///< absolute, in the unit of the value
  double (*read)(const ElementResults&);
};

inline constexpr std::size_t kChecksPerElement = 17;
using ReferenceTable = std::array<ReferenceCheck, 2 * kChecksPerElement>;

/// The 34 reference checks: rows 1-17 read "Surface 0", rows 18-34 read "Surface 1".
const ReferenceTable& referenceChecks();

/// Builds each reference element, computes both records and runs its checks against `checks`,
/// then writes the summary. Returns the program's exit status, 0 whatever the verdicts.
int runReferenceValidation(std::ostream& out, const ReferenceTable& checks);

}  // namespace Brusk::Validation
