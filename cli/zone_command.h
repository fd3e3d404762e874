#pragma once

#include <string>
#include <vector>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/zone_output.h"

namespace Brusk::Cli {

/// Options of `brusk zone`.
struct ZoneOptions {
  std::vector<std::string> files;
  std::string format = "table";  ///< "table", "json" or "csv"
  std::vector<std::string> materialFiles;
};

/// Zone files among `files`, read and computed, for `brusk report`; the others, the wall
/// files, are left in `wallFiles` in their order. Throws Frontend::Error on a bad zone file.
[[nodiscard]] std::vector<Frontend::ZoneReport> loadReportZones(
    const std::vector<std::string>& files, const Frontend::Catalogue& catalogue,
    std::vector<std::string>& wallFiles);

/// The whole standard output of `brusk zone`; throws Frontend::Error on bad input.
[[nodiscard]] std::string runZone(const ZoneOptions& options);

}  // namespace Brusk::Cli
