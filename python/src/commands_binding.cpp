#include "commands_binding.h"

#include <cmath>
#include <optional>
#include <utility>

#include "brusk/frontend/error.h"
#include "brusk/frontend/profile_inputs.h"
#include "brusk/frontend/profile_reader.h"
#include "brusk/frontend/profile_response.h"
#include "brusk/frontend/zone.h"
#include "brusk/frontend/zone_output.h"

namespace Brusk::Python {

using Frontend::Error;

namespace {

std::string zoneJson(Frontend::Zone zone) {
  Engine::ZoneResult result = Frontend::computeZone(zone);
  std::vector<Frontend::ZoneReport> reports;
  reports.push_back({std::move(zone), std::move(result)});
  return Frontend::formatZoneJson(reports);
}

}  // namespace

std::string zoneFileJson(const std::string& path, const Frontend::Catalogue& catalogue) {
  return zoneJson(Frontend::loadZoneFile(path, catalogue));
}

std::string zoneTextJson(const std::string& json, const std::string& source,
                         const std::string& directory, const Frontend::Catalogue& catalogue) {
  return zoneJson(Frontend::parseZoneText(json, true, catalogue, source, directory));
}

std::string responseJson(const Frontend::Wall& wall, const std::string& source,
                         const ResponseInputs& inputs) {
  if (!std::isfinite(inputs.startHours)) {
    throw Error("start_hours must be a finite time in hours");
  }
  // The checks and the wording of `brusk response`, the options named as Python spells them.
  const auto profile = [](const std::vector<double>& values, const char* name) {
    Frontend::Profile read;
    read.values = values;
    return Frontend::SourcedProfile{std::move(read), name};
  };
  Frontend::ProfileInputRequest request;
  request.names = {"period_hours", "indoor_constant", "solar"};
  request.outdoor = profile(inputs.outdoor, "outdoor");
  if (inputs.indoor) request.indoor = profile(*inputs.indoor, "indoor");
  request.indoorConstant = inputs.indoorConstant;
  request.periodHours = inputs.periodHours;
  Frontend::ProfileInputs checked = Frontend::checkProfileInputs(request);
  checked.startHours = inputs.startHours;
  std::optional<Frontend::SolarInput> solar;
  if (inputs.solar) {
    solar = Frontend::SolarInput{profile(*inputs.solar, "solar"), inputs.absorptance,
                                 inputs.emissivity, inputs.skyRadiation};
  }
  return Frontend::formatProfileJson(
      Frontend::respondToProfiles(wall, source, checked, "outdoor", solar));
}

}  // namespace Brusk::Python
