#pragma once

#include <cstddef>
#include <string>

#include "brusk/frontend/zone_output.h"

namespace Brusk::Report {

/// One zone's section of the HTML report: the elements' shares of Cm as a bar chart, the
/// ISO 13790 Table 12 class scale with the zone's Cm / Af marked, and the zone totals. `index`
/// numbers the section's element ids.
[[nodiscard]] std::string renderZoneSection(const Frontend::ZoneReport& zone, std::size_t index);

}  // namespace Brusk::Report
