// _response_many: the walls as the Python layer laid them out for compute_many (the same column
// arrays and rules), through Engine::computeColumnProfileSeries without the GIL; the series as
// (walls, samples) arrays and each summary quantity as a (walls,) array.

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <variant>
#include <vector>

#include "bindings.h"
#include "brusk/engine/constants.h"
#include "brusk/engine/many_columns.h"
#include "brusk/engine/periodic_profile.h"
#include "brusk/frontend/column_problem.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/profile_response.h"
#include "brusk/frontend/response_summary.h"

namespace py = pybind11;

namespace Brusk::Python {

namespace {

using Frontend::Error;
using Table = py::array_t<double, py::array::c_style | py::array::forcecast>;

std::vector<double> samplesOf(const Table& array, const char* what) {
  if (array.ndim() != 1) throw py::value_error(std::string(what) + " must be a 1-D array");
  return std::vector<double>(array.data(), array.data() + array.size());
}

py::dict responseMany(const py::dict& columns, const std::string& heatFlow, const Table& outdoor,
                      const Table& indoor, double periodHours, std::size_t refinement,
                      unsigned threads, bool raise, bool series) {
  Engine::ColumnWalls walls = columnWallsOf(columns, heatFlow);
  const double period = periodHours * Engine::kSecondsPerHour;
  // A refused wall is worded at the profiles' period (within the engine's range).
  walls.periodSeconds = Engine::WallColumn::of(std::min(period, Engine::kLongestPeriod));
  const auto word = [&](const Engine::RowFailure& failure) {
    return Frontend::describeRowFailure(walls, failure);
  };

  Engine::ProfileRequest request;
  request.outdoor = samplesOf(outdoor, "outdoor");
  request.indoor = samplesOf(indoor, "indoor");
  request.refinement = refinement;
  auto analysed = Engine::analyseProfiles(request, period);
  if (const auto* problem = std::get_if<Engine::ProfileProblem>(&analysed)) {
    // A refused wall is named before a fault of the profiles.
    if (raise) {
      if (const auto failure = Engine::firstRefusedRow(walls)) throw Error(word(*failure));
    }
    throw Error(Frontend::describeProfileProblem(*problem, "indoor", "outdoor"));
  }
  const Engine::AnalysedProfiles& profiles = std::get<Engine::AnalysedProfiles>(analysed);

  const std::size_t count = walls.thickness.rows;
  const std::size_t samples = profiles.outputCount;
  const auto rows = static_cast<py::ssize_t>(count);
  const auto columnCount = static_cast<py::ssize_t>(samples);
  const std::vector<py::ssize_t> shape{series ? rows : 0, columnCount};
  py::array_t<double> heatFlowIn(shape), innerSurface(shape);
  std::vector<Engine::ProfileSummary> summaries(count);
  const Engine::ManyProfileSeries out{series ? heatFlowIn.mutable_data() : nullptr,
                                      series ? innerSurface.mutable_data() : nullptr,
                                      summaries.data(), nullptr};
  std::vector<Engine::RowFailure> failures;
  {
    py::gil_scoped_release released;
    failures = Engine::computeColumnProfileSeries(walls, profiles, out, {threads, raise});
  }
  if (raise && !failures.empty()) throw Error(word(failures.front()));

  py::dict result;
  py::array_t<double> time(columnCount);
  for (std::size_t j = 0; j < samples; ++j) {
    time.mutable_data()[j] = periodHours * static_cast<double>(j) / static_cast<double>(samples);
  }
  result["time"] = time;
  if (series) {
    result["heat_flow_in"] = heatFlowIn;
    result["inner_surface_temperature"] = innerSurface;
  }
  for (const Frontend::SummaryQuantity& quantity : Frontend::responseSummaryQuantities()) {
    py::array_t<double> column(rows);
    for (std::size_t w = 0; w < count; ++w) {
      column.mutable_data()[w] = quantity.value(summaries[w], 0.0);  // NaN where failed
    }
    result[quantity.key] = column;
  }
  if (!raise) {
    std::vector<std::string> messages(count);
    for (const Engine::RowFailure& failure : failures) messages[failure.row] = word(failure);
    result["error"] = messages;
  }
  return result;
}

}  // namespace

void registerResponseMany(py::module_& module) {
  module.def("_response_many", &responseMany, py::arg("columns"), py::arg("heat_flow"),
             py::arg("outdoor"), py::arg("indoor"), py::arg("period_hours"), py::arg("refinement"),
             py::arg("threads"), py::arg("raise_first"), py::arg("series"));
}

}  // namespace Brusk::Python
