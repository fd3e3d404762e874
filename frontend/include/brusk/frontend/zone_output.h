#pragma once

// Writers of zone results: JSON (one object per zone), CSV (one row per face, then one per
// zone) and a table for people. Pure functions; numbers in JSON and CSV by writeShortestDouble.

#include <string>
#include <vector>

#include "brusk/engine/zone.h"
#include "brusk/frontend/zone.h"

namespace Brusk::Frontend {

/// A zone as read and as computed.
struct ZoneReport {
  Zone zone;
  Engine::ZoneResult result;
};

/// One indented object for a single zone, an array for several; ends with a newline. Keys:
/// name, floor_area, heat_transfer_coefficient, capacity, elements (each with its faces) and
/// totals, SI units but time_constant [h].
[[nodiscard]] std::string formatZoneJson(const std::vector<ZoneReport>& zones);

/// A header, then per zone one `face` row per counted face and one `zone` row of totals.
[[nodiscard]] std::string formatZoneCsv(const std::vector<ZoneReport>& zones);

/// Per zone: a row per counted face (areal heat capacities in kJ/(m2.K)) and the totals, each
/// labelled with its definition and source.
[[nodiscard]] std::string formatZoneTable(const std::vector<ZoneReport>& zones);

}  // namespace Brusk::Frontend
