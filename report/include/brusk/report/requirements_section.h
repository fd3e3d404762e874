#pragma once

#include <cstddef>
#include <string>

#include "brusk/frontend/requirements.h"

namespace Brusk::Report {

/// One wall's requirements section of the HTML report: the set and its document, the verdict,
/// and per rule its clause, verdict (or the condition that excluded it), the values compared
/// and their thresholds. Every name is escaped. `index` numbers the section's element id.
[[nodiscard]] std::string renderRequirementsSection(const Frontend::WallCheck& check,
                                                    std::size_t index);

}  // namespace Brusk::Report
