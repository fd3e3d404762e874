#pragma once

#include <string>
#include <vector>

namespace Brusk::Cli {

/// Options of `brusk zone`.
struct ZoneOptions {
  std::vector<std::string> files;
  std::string format = "table";  ///< "table", "json" or "csv"
  std::vector<std::string> materialFiles;
};

/// The whole standard output of `brusk zone`; throws Frontend::Error on bad input.
[[nodiscard]] std::string runZone(const ZoneOptions& options);

}  // namespace Brusk::Cli
