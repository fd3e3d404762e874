// brusk.bridge(): a junction file or dict through the frontend's reader and the engine's
// two-dimensional solver; the results as the JSON every door shares, and the temperature field as
// arrays.

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include "bindings.h"
#include "brusk/frontend/junction.h"
#include "brusk/frontend/requirements.h"

namespace py = pybind11;

namespace Brusk::Python {

namespace {

py::array_t<double> vectorArray(const std::vector<double>& values) {
  py::array_t<double> array(static_cast<py::ssize_t>(values.size()));
  if (!values.empty())
    std::memcpy(array.mutable_data(), values.data(), values.size() * sizeof(double));
  return array;
}

/// The results' JSON, the node lines and the node temperatures (rows along y, NaN outside).
py::tuple solve(const Frontend::Junction& junction) {
  Engine::BridgeResult result;
  {
    py::gil_scoped_release released;
    result = Frontend::computeJunction(junction);
  }
  const std::string json = Frontend::junctionResultJson(junction, result);
  const auto rows = static_cast<py::ssize_t>(result.field.ys.size());
  const auto columns = static_cast<py::ssize_t>(result.field.xs.size());
  py::array_t<double> field({rows, columns});
  std::memcpy(field.mutable_data(), result.field.temperature.data(),
              result.field.temperature.size() * sizeof(double));
  return py::make_tuple(json, vectorArray(result.field.xs), vectorArray(result.field.ys), field);
}

/// The junction checked against the requirements file at `path`, or the set in `text` (a
/// built-in key or TOML): the JSON `brusk check --format json` prints for it, on one line.
std::string checked(const Frontend::Junction& junction, const std::string& path,
                    const std::string& text) {
  const Engine::RequirementSet set = path.empty()
                                         ? Frontend::requirementsFromText(text, "requirements")
                                         : Frontend::loadRequirements(path);
  Frontend::JunctionReport report{junction, {}};
  {
    py::gil_scoped_release released;
    report.result = Frontend::computeJunction(junction);
  }
  return Frontend::formatCheckJsonLine({Frontend::checkJunction(report, set)});
}

}  // namespace

void registerBridge(py::module_& module, CatalogueOf catalogueOf) {
  module.def("_bridge_file",
             [catalogueOf](const std::string& path, const std::vector<std::string>& materials) {
               return solve(Frontend::loadJunctionFile(path, *catalogueOf(materials)));
             });
  module.def("_bridge_text", [catalogueOf](const std::string& json, const std::string& source,
                                           const std::string& directory,
                                           const std::vector<std::string>& materials) {
    return solve(
        Frontend::parseJunctionText(json, true, *catalogueOf(materials), source, directory));
  });
  module.def(
      "_check_junction_file",
      [catalogueOf](const std::string& path, const std::vector<std::string>& materials,
                    const std::string& requirementsPath, const std::string& requirementsText) {
        return checked(Frontend::loadJunctionFile(path, *catalogueOf(materials)), requirementsPath,
                       requirementsText);
      });
  module.def(
      "_check_junction_text",
      [catalogueOf](const std::string& json, const std::string& source,
                    const std::string& directory, const std::vector<std::string>& materials,
                    const std::string& requirementsPath, const std::string& requirementsText) {
        return checked(
            Frontend::parseJunctionText(json, true, *catalogueOf(materials), source, directory),
            requirementsPath, requirementsText);
      });
}

}  // namespace Brusk::Python
