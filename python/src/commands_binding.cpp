// The commands that hand Python the JSON text they print: `brusk compute` of an ISO 6946
// element, `brusk zone` and `brusk response`, each reading, computing and writing through the
// frontend exactly as the command does; the Python layer parses the text.

#include <pybind11/stl.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bindings.h"
#include "brusk/engine/constants.h"
#include "brusk/frontend/bridged_wall.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/element_output.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/profile_inputs.h"
#include "brusk/frontend/profile_reader.h"
#include "brusk/frontend/profile_response.h"
#include "brusk/frontend/zone.h"
#include "brusk/frontend/zone_output.h"

namespace py = pybind11;

namespace Brusk::Python {

using Frontend::Error;

namespace {

/// The wall at a cycle of `periodHours` [h] as `brusk compute --format json` writes it: for an
/// element, the usual keys followed by the element's quantities, paths and air layers.
std::string elementJson(const Frontend::Wall& source, const std::string& sourceName,
                        double periodHours) {
  Frontend::Wall wall = source;
  wall.request.period = periodHours * Engine::kSecondsPerHour;
  Frontend::ComputedWall computed = Frontend::computeWallOrElement(wall, sourceName);
  if (!Frontend::isElement(wall)) {
    return Frontend::formatJson({computed.result}, Frontend::JsonLayout::Indented);
  }
  return Frontend::formatJson({computed.result}, Frontend::JsonLayout::Indented, {computed.extras});
}

std::string zoneJson(Frontend::Zone zone) {
  Engine::ZoneResult result = Frontend::computeZone(zone);
  std::vector<Frontend::ZoneReport> reports;
  reports.push_back({std::move(zone), std::move(result)});
  return Frontend::formatZoneJson(reports);
}

/// The profiles of one response, as `brusk response` takes them from its files and options.
struct ResponseInputs {
  std::vector<double> outdoor;                ///< theta_e samples over the period [degC]
  std::optional<std::vector<double>> indoor;  ///< theta_i samples [degC]
  double indoorConstant = 25.0;               ///< theta_i without samples [degC]
  std::optional<double> periodHours;          ///< T [h]; default 24
  std::optional<std::vector<double>> solar;   ///< irradiance on the outer surface [W/m2]
  std::optional<double> absorptance;          ///< alpha [-], with `solar`
  double emissivity = 0.9;                    ///< epsilon [-], with `solar`
  double skyRadiation = 0.0;                  ///< Delta R [W/m2], with `solar`
  double startHours = 0.0;                    ///< time of the first sample [h]
};

/// `brusk response --format json` for `wall` under `inputs`.
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

}  // namespace

void registerCommands(py::module_& module, WallOf wallOf, CatalogueOf catalogueOf) {
  module.def(
      "_compute_element",
      [wallOf](py::handle wall, double hours) {
        const auto [native, source] = wallOf(wall);
        return elementJson(*native, source, hours);
      },
      py::arg("wall"), py::arg("period_hours"));
  module.def("_zone_file",
             [catalogueOf](const std::string& path, const std::vector<std::string>& materials) {
               return zoneJson(Frontend::loadZoneFile(path, *catalogueOf(materials)));
             });
  module.def("_zone_text", [catalogueOf](const std::string& json, const std::string& source,
                                         const std::string& directory,
                                         const std::vector<std::string>& materials) {
    return zoneJson(
        Frontend::parseZoneText(json, true, *catalogueOf(materials), source, directory));
  });
  module.def("_response", [wallOf](py::handle wall, const ResponseInputs& inputs) {
    const auto [native, source] = wallOf(wall);
    py::gil_scoped_release released;
    return responseJson(*native, source, inputs);
  });
  py::class_<ResponseInputs>(module, "_ResponseInputs")
      .def(py::init<>())
      .def_readwrite("outdoor", &ResponseInputs::outdoor)
      .def_readwrite("indoor", &ResponseInputs::indoor)
      .def_readwrite("indoor_constant", &ResponseInputs::indoorConstant)
      .def_readwrite("period_hours", &ResponseInputs::periodHours)
      .def_readwrite("solar", &ResponseInputs::solar)
      .def_readwrite("absorptance", &ResponseInputs::absorptance)
      .def_readwrite("emissivity", &ResponseInputs::emissivity)
      .def_readwrite("sky_radiation", &ResponseInputs::skyRadiation)
      .def_readwrite("start_hours", &ResponseInputs::startHours);
}

}  // namespace Brusk::Python
