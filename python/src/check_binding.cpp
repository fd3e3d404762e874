// Requirement checks (`brusk check`) for the Python package.

#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bindings.h"
#include "brusk/engine/constants.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/moisture.h"
#include "brusk/frontend/requirements.h"

namespace py = pybind11;

namespace Brusk::Python {

void registerCheck(py::module_& module, WallOf wallOf) {
  module.def(
      "_check",
      [wallOf](const py::list& walls, const std::string& path, const std::string& text,
               double periodHours, bool withClimate, const std::string& climatePath,
               const std::string& climateText, const std::string& climateSource,
               std::optional<double> humidityClassGiven, std::optional<double> indoorTemperature) {
        std::vector<Frontend::Wall> inputs;
        std::vector<std::string> sources;
        inputs.reserve(walls.size());
        for (const py::handle item : walls) {
          const auto [wall, source] = wallOf(item);
          inputs.push_back(*wall);
          sources.push_back(source);
        }
        py::gil_scoped_release release;
        Frontend::requirePeriodHours(periodHours, "period_hours");
        const Engine::RequirementSet set =
            path.empty() ? Frontend::requirementsFromText(text, "requirements")
                         : Frontend::loadRequirements(path);
        // The climate is read as brusk.moisture reads it, options named as Python spells them.
        const Frontend::ClimateOptionNames names{"humidity_class", "indoor_temperature"};
        std::optional<Frontend::Climate> climate;
        if (withClimate) {
          // As given, never rounded: 2.9 is refused, not taken as class 2.
          const int humidityClass = Frontend::humidityClassOf(humidityClassGiven, names);
          const double temperature =
              Frontend::indoorTemperatureOf(humidityClass, indoorTemperature, names);
          climate = climatePath.empty()
                        ? Frontend::parseClimateCsv(climateText, climateSource, humidityClass,
                                                    temperature, names)
                        : Frontend::loadClimateFile(climatePath, humidityClass, temperature, names);
          Frontend::requireClimateUsed(set, "climate");
        }
        std::vector<Frontend::WallCheck> checks;
        checks.reserve(inputs.size());
        for (std::size_t i = 0; i < inputs.size(); ++i) {
          inputs[i].request.period = periodHours * Engine::kSecondsPerHour;
          try {
            checks.push_back(
                Frontend::checkWall(inputs[i], set, climate ? &*climate : nullptr, sources[i]));
          } catch (const Frontend::Error& error) {
            throw Frontend::Error(sources[i] + ": " + error.what());
          }
        }
        return Frontend::formatCheckJsonLine(checks);
      },
      py::arg("walls"), py::arg("path"), py::arg("text"), py::arg("period_hours"),
      py::arg("with_climate"), py::arg("climate_path"), py::arg("climate_text"),
      py::arg("climate_source"), py::arg("humidity_class"), py::arg("indoor_temperature"));
  module.def("_requirement_sets", &Frontend::formatRequirementSetsJson,
             "the built-in requirement sets, as `brusk check --list --format json` prints them");
}

}  // namespace Brusk::Python
