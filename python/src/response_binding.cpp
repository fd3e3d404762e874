// _response_many: the walls as the Python layer laid them out for compute_many (the same column
// arrays and rules), through Engine::computeManyProfileSeries without the GIL; the series as
// (walls, samples) arrays and each summary quantity as a (walls,) array.

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "bindings.h"
#include "brusk/engine/constants.h"
#include "brusk/engine/many_columns.h"
#include "brusk/engine/periodic_profile.h"
#include "brusk/engine/wall.h"
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
  const std::size_t count = walls.thickness.rows;
  std::vector<Engine::WallRequest> requests(count);
  std::vector<std::optional<Engine::RowFailure>> failures(count);
  for (std::size_t row = 0; row < count; ++row) {
    auto request = Engine::rowRequest(walls, row);
    if (auto* failure = std::get_if<Engine::RowFailure>(&request)) {
      failures[row] = *failure;  // no layers: the engine leaves the row NaN
    } else {
      requests[row] = std::get<Engine::WallRequest>(std::move(request));
    }
  }

  const auto word = [&](std::size_t row) {
    return Frontend::describeRowFailure(walls, *failures[row]);
  };
  if (raise) {
    // The lowest refused row, before computing any.
    for (std::size_t row = 0; row < count; ++row) {
      if (!failures[row]) {
        if (auto problem = Engine::check(requests[row])) {
          failures[row] = Engine::RowFailure{row, Engine::RowFailure::Kind::Engine, *problem, 0};
        }
      }
      if (failures[row]) throw Error(word(row));
    }
  }

  Engine::ProfileRequest request;
  request.outdoor = samplesOf(outdoor, "outdoor");
  request.indoor = samplesOf(indoor, "indoor");
  request.refinement = refinement;
  auto analysed = Engine::analyseProfiles(request, period);
  if (const auto* problem = std::get_if<Engine::ProfileProblem>(&analysed)) {
    const char* subject = problem->field == Engine::ProfileField::Indoor ? "indoor" : "outdoor";
    throw Error(std::string(subject) + ": " + Frontend::describeProfileProblem(*problem));
  }
  const Engine::AnalysedProfiles& profiles = std::get<Engine::AnalysedProfiles>(analysed);

  const std::size_t samples = profiles.outputCount;
  const auto rows = static_cast<py::ssize_t>(count);
  const auto columnCount = static_cast<py::ssize_t>(samples);
  py::array_t<double> heatFlowIn(series ? std::vector<py::ssize_t>{rows, columnCount}
                                        : std::vector<py::ssize_t>{0, columnCount});
  py::array_t<double> innerSurface(series ? std::vector<py::ssize_t>{rows, columnCount}
                                          : std::vector<py::ssize_t>{0, columnCount});
  std::vector<Engine::ProfileSummary> summaries(count);
  std::vector<std::optional<Engine::WallProblem>> problems(count);
  const Engine::ManyProfileSeries out{series ? heatFlowIn.mutable_data() : nullptr,
                                      series ? innerSurface.mutable_data() : nullptr,
                                      summaries.data(), problems.data()};
  {
    py::gil_scoped_release released;
    const unsigned workers = threads == 0 ? std::thread::hardware_concurrency() : threads;
    Engine::computeManyProfileSeries(requests.data(), count, profiles, out, workers);
  }
  std::vector<std::string> messages(raise ? 0 : count);
  for (std::size_t row = 0; row < count; ++row) {
    if (problems[row] && !failures[row]) {
      failures[row] = Engine::RowFailure{row, Engine::RowFailure::Kind::Engine, *problems[row], 0};
    }
    if (!failures[row]) continue;
    if (raise) throw Error(word(row));
    messages[row] = word(row);
  }

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
  constexpr double kNotComputed = std::numeric_limits<double>::quiet_NaN();
  for (const Frontend::SummaryQuantity& quantity : Frontend::responseSummaryQuantities()) {
    py::array_t<double> column(rows);
    for (std::size_t w = 0; w < count; ++w) {
      column.mutable_data()[w] = failures[w] ? kNotComputed : quantity.value(summaries[w], 0.0);
    }
    result[quantity.key] = column;
  }
  if (!raise) result["error"] = messages;
  return result;
}

}  // namespace

void registerResponseMany(py::module_& module) {
  module.def("_response_many", &responseMany, py::arg("columns"), py::arg("heat_flow"),
             py::arg("outdoor"), py::arg("indoor"), py::arg("period_hours"), py::arg("refinement"),
             py::arg("threads"), py::arg("raise_first"), py::arg("series"));
}

}  // namespace Brusk::Python
