#include "commands_binding.h"

#include <cmath>
#include <utility>
#include <variant>

#include "brusk/engine/constants.h"
#include "brusk/engine/periodic_profile.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
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
  const double periodHours = inputs.periodHours.value_or(24.0);
  Frontend::requirePeriodHours(periodHours, "period_hours");
  if (!std::isfinite(inputs.startHours)) {
    throw Error("start_hours must be a finite time in hours");
  }
  Engine::ProfileRequest request;
  request.wall.period = periodHours * Engine::kSecondsPerHour;
  request.outdoor = inputs.outdoor;
  request.indoor = inputs.indoor;
  if (inputs.solar) {
    if (wall.request.position == Engine::ElementPosition::Internal) {
      throw Error(source + ": solar is for an external wall; this wall is a partition");
    }
    if (inputs.solar->size() != inputs.outdoor.size()) {
      throw Error("solar has " + std::to_string(inputs.solar->size()) + " samples, outdoor " +
                  std::to_string(inputs.outdoor.size()) +
                  "; the irradiance needs one per outdoor temperature");
    }
    Engine::SolAirSurface surface;
    surface.absorptance = inputs.absorptance.value_or(-1.0);
    surface.emissivity = inputs.emissivity;
    surface.skyRadiation = inputs.skyRadiation;
    surface.externalSurfaceResistance = wall.request.surfaceResistances().external;
    auto solAir = Engine::solAirProfile(inputs.outdoor, *inputs.solar, surface);
    if (const auto* problem = std::get_if<Engine::ProfileProblem>(&solAir)) {
      throw Error(Frontend::describeProfileProblem(*problem));
    }
    request.outdoor = std::get<std::vector<double>>(std::move(solAir));
  }
  Frontend::NamedProfileResponse named;
  named.name = wall.name;
  named.startHours = inputs.startHours;
  named.response = Frontend::computeWallProfile(wall, request, {source, "indoor", "outdoor"});
  named.summary = Engine::summarizeProfileResponse(named.response);
  return Frontend::formatProfileJson(named);
}

}  // namespace Brusk::Python
