#include "zone_command.h"

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/zone.h"
#include "brusk/frontend/zone_output.h"

namespace Brusk::Cli {

std::vector<Frontend::ZoneReport> loadReportZones(const std::vector<std::string>& files,
                                                  const Frontend::Catalogue& catalogue,
                                                  std::vector<std::string>& wallFiles) {
  std::vector<Frontend::ZoneReport> reports;
  for (const std::string& file : files) {
    if (!Frontend::isZoneFile(file)) {
      wallFiles.push_back(file);
      continue;
    }
    Frontend::Zone zone = Frontend::loadZoneFile(file, catalogue);
    Engine::ZoneResult result = Frontend::computeZone(zone);
    reports.push_back({std::move(zone), std::move(result)});
  }
  return reports;
}

std::string runZone(const ZoneOptions& options) {
  const auto catalogue = Frontend::Catalogue::withFiles(options.materialFiles);
  // Every zone is read and computed before anything is printed: one bad file, no output.
  std::vector<Frontend::ZoneReport> reports;
  reports.reserve(options.files.size());
  for (const std::string& file : options.files) {
    Frontend::Zone zone = Frontend::loadZoneFile(file, catalogue);
    Engine::ZoneResult result = Frontend::computeZone(zone);
    reports.push_back({std::move(zone), std::move(result)});
  }
  if (options.format == "json") return Frontend::formatZoneJson(reports);
  if (options.format == "csv") return Frontend::formatZoneCsv(reports);
  return Frontend::formatZoneTable(reports);
}

}  // namespace Brusk::Cli
