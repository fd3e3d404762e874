// The moisture assessment (ISO 13788, `brusk moisture`) for the Python package.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <pybind11/stl.h>

#include "bindings.h"
#include "brusk/frontend/moisture.h"

namespace py = pybind11;

namespace Brusk::Python {

void registerMoisture(py::module_& module, WallOf wallOf) {
  module.def(
      "_moisture",
      [wallOf](const py::list& walls, const std::string& climatePath,
               const std::string& climateText, const std::string& climateSource,
               std::optional<double> humidityClassGiven, std::optional<double> indoorTemperature) {
        // Read and unwrap with the interpreter lock held; assess without it.
        std::vector<std::pair<const Frontend::Wall*, std::string>> inputs;
        inputs.reserve(walls.size());
        for (const py::handle item : walls) inputs.push_back(wallOf(item));
        py::gil_scoped_release release;
        const Frontend::ClimateOptionNames names{"humidity_class", "indoor_temperature"};
        // As given, never rounded: 2.9 is refused, not taken as class 2.
        const int humidityClass = Frontend::humidityClassOf(humidityClassGiven, names);
        const double temperature =
            Frontend::indoorTemperatureOf(humidityClass, indoorTemperature, names);
        const Frontend::Climate climate =
            climatePath.empty()
                ? Frontend::parseClimateCsv(climateText, climateSource, humidityClass, temperature,
                                            names)
                : Frontend::loadClimateFile(climatePath, humidityClass, temperature, names);
        std::vector<Frontend::MoistureReport> reports;
        reports.reserve(inputs.size());
        for (const auto& [wall, source] : inputs) {
          reports.push_back(Frontend::assessMoisture(*wall, climate, source));
        }
        return Frontend::formatMoistureJson(reports, climate);
      },
      py::arg("walls"), py::arg("climate_path"), py::arg("climate_text"), py::arg("climate_source"),
      py::arg("humidity_class"), py::arg("indoor_temperature"));
}

}  // namespace Brusk::Python
