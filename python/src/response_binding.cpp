// _response_many: the arrays of many walls (as the Python layer has laid them out: float64
// layer tables, a layer count per wall) through Engine::computeManyProfileSeries, without the
// GIL; the series as (walls, samples) arrays and each summary quantity as a (walls,) array.
#include "response_binding.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/engine/periodic_profile.h"
#include "brusk/engine/wall.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/profile_response.h"
#include "brusk/frontend/response_summary.h"
#include "brusk/frontend/text_util.h"
#include "brusk/frontend/wall.h"
#include "brusk/frontend/wall_schema.h"

namespace py = pybind11;

namespace Brusk::Python {

namespace {

using Frontend::Error;
using Table = py::array_t<double, py::array::c_style | py::array::forcecast>;
using Counts = py::array_t<std::int64_t, py::array::c_style | py::array::forcecast>;
using Flags = py::array_t<std::uint8_t, py::array::c_style | py::array::forcecast>;

/// The walls as engine requests, row by row.
std::vector<Engine::WallRequest> requestsOf(const Table& thickness, const Table& conductivity,
                                            const Table& density, const Table& specificHeat,
                                            const Table& resistance, const Counts& layerCount,
                                            const Table& rsi, const Table& rse,
                                            const Flags& partition,
                                            Engine::HeatFlowDirection heatFlow) {
  const auto walls = static_cast<std::size_t>(thickness.shape(0));
  const auto columns = static_cast<std::size_t>(thickness.shape(1));
  for (const Table* table : {&conductivity, &density, &specificHeat, &resistance}) {
    if (table->ndim() != 2 || static_cast<std::size_t>(table->shape(0)) != walls ||
        static_cast<std::size_t>(table->shape(1)) != columns) {
      throw py::value_error("the layer arrays must all have the shape of thickness");
    }
  }
  for (const py::array* perWall :
       std::initializer_list<const py::array*>{&layerCount, &rsi, &rse, &partition}) {
    if (perWall->ndim() != 1 || static_cast<std::size_t>(perWall->shape(0)) != walls) {
      throw py::value_error("per-wall arrays must have shape (walls,)");
    }
  }
  std::vector<Engine::WallRequest> requests(walls);
  for (std::size_t w = 0; w < walls; ++w) {
    Engine::WallRequest& request = requests[w];
    const auto count = static_cast<std::size_t>(layerCount.at(static_cast<py::ssize_t>(w)));
    const std::size_t start = w * columns;
    for (std::size_t i = 0; i < count && i < columns; ++i) {
      request.layers.push_back({thickness.data()[start + i], conductivity.data()[start + i],
                                density.data()[start + i], specificHeat.data()[start + i],
                                resistance.data()[start + i]});
    }
    request.position = partition.data()[w] != 0 ? Engine::ElementPosition::Internal
                                                : Engine::ElementPosition::External;
    request.heatFlow = heatFlow;
    // NaN keeps the ISO 6946 convention for that wall.
    if (!std::isnan(rsi.data()[w])) request.internalSurfaceResistance = rsi.data()[w];
    if (!std::isnan(rse.data()[w])) request.externalSurfaceResistance = rse.data()[w];
  }
  return requests;
}

std::vector<double> samplesOf(const Table& array, const char* what) {
  if (array.ndim() != 1) throw py::value_error(std::string(what) + " must be a 1-D array");
  return std::vector<double>(array.data(), array.data() + array.size());
}

py::dict responseMany(const Table& thickness, const Table& conductivity, const Table& density,
                      const Table& specificHeat, const Table& resistance, const Counts& layerCount,
                      const Table& rsi, const Table& rse, const Flags& partition,
                      const std::string& heatFlowName, const Table& outdoor, const Table& indoor,
                      double periodHours, std::size_t refinement, unsigned threads,
                      const std::string& errors, bool series) {
  if (errors != "raise" && errors != "nan") {
    throw py::value_error("errors must be \"raise\" or \"nan\", got \"" + errors + "\"");
  }
  if (thickness.ndim() != 2) {
    throw py::value_error("thickness must be a 2-D array of shape (walls, layers)");
  }
  const std::optional<Engine::HeatFlowDirection> heatFlow =
      Frontend::Schema::heatFlowNamed(heatFlowName);
  if (!heatFlow) {
    throw Error("heat_flow must be " +
                Frontend::quotedAlternatives(Frontend::Schema::heatFlowNames()) + ", got \"" +
                heatFlowName + "\"");
  }
  const std::vector<Engine::WallRequest> walls =
      requestsOf(thickness, conductivity, density, specificHeat, resistance, layerCount, rsi, rse,
                 partition, *heatFlow);

  Engine::ProfileRequest request;
  request.outdoor = samplesOf(outdoor, "outdoor");
  request.indoor = samplesOf(indoor, "indoor");
  request.refinement = refinement;
  const double period = periodHours * Engine::kSecondsPerHour;
  auto analysed = Engine::analyseProfiles(request, period);
  if (const auto* problem = std::get_if<Engine::ProfileProblem>(&analysed)) {
    const char* subject = problem->field == Engine::ProfileField::Indoor ? "indoor" : "outdoor";
    throw Error(std::string(subject) + ": " + Frontend::describeProfileProblem(*problem));
  }
  const Engine::AnalysedProfiles& profiles = std::get<Engine::AnalysedProfiles>(analysed);

  const std::size_t count = walls.size();
  const std::size_t samples = profiles.outputCount;
  const auto rows = static_cast<py::ssize_t>(count);
  const auto columns = static_cast<py::ssize_t>(samples);
  py::array_t<double> heatFlowIn(series ? std::vector<py::ssize_t>{rows, columns}
                                        : std::vector<py::ssize_t>{0, columns});
  py::array_t<double> innerSurface(series ? std::vector<py::ssize_t>{rows, columns}
                                          : std::vector<py::ssize_t>{0, columns});
  std::vector<Engine::ProfileSummary> summaries(count);
  std::vector<std::optional<Engine::WallProblem>> problems(count);
  const Engine::ManyProfileSeries out{series ? heatFlowIn.mutable_data() : nullptr,
                                      series ? innerSurface.mutable_data() : nullptr,
                                      summaries.data(), problems.data()};
  {
    py::gil_scoped_release released;
    const unsigned workers = threads == 0 ? std::thread::hardware_concurrency() : threads;
    Engine::computeManyProfileSeries(walls.data(), count, profiles, out, workers);
  }

  std::vector<std::string> messages(errors == "nan" ? count : 0);
  for (std::size_t w = 0; w < count; ++w) {
    if (!problems[w]) continue;
    Frontend::Wall wall;
    wall.name = "row " + std::to_string(w);
    wall.request = walls[w];
    wall.request.period = std::min(period, Engine::kLongestPeriod);
    const std::string message =
        "row " + std::to_string(w) + ": " + Frontend::describeProblem(*problems[w], wall);
    if (errors == "raise") throw Error(message);
    messages[w] = message;
  }

  py::dict result;
  py::array_t<double> time(columns);
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
      column.mutable_data()[w] = problems[w] ? kNotComputed : quantity.value(summaries[w], 0.0);
    }
    result[quantity.key] = column;
  }
  if (errors == "nan") result["error"] = messages;
  return result;
}

/// The quantity table, for the Python layer's documentation and frames.
py::list responseQuantities() {
  py::list quantities;
  for (const Frontend::SummaryQuantity& quantity : Frontend::responseSummaryQuantities()) {
    py::dict entry;
    entry["key"] = quantity.key;
    entry["label"] = std::string(quantity.described->label);
    entry["symbol"] = std::string(quantity.described->symbol);
    entry["unit"] = std::string(quantity.described->unit);
    entry["definition"] = std::string(quantity.described->definition);
    quantities.append(entry);
  }
  return quantities;
}

}  // namespace

void registerResponseBinding(py::module_& module) {
  module.def("_response_many", &responseMany, py::arg("thickness"), py::arg("conductivity"),
             py::arg("density"), py::arg("specific_heat"), py::arg("thermal_resistance"),
             py::arg("layer_count"), py::arg("rsi"), py::arg("rse"), py::arg("partition"),
             py::arg("heat_flow"), py::arg("outdoor"), py::arg("indoor"), py::arg("period_hours"),
             py::arg("refinement"), py::arg("threads"), py::arg("errors"), py::arg("series"));
  module.def("_response_quantities", &responseQuantities);
}

}  // namespace Brusk::Python
