// compute_many's one engine call: the walls as columns read in place, the outputs written
// in place, the failures worded by the frontend.

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <complex>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "bindings.h"
#include "brusk/engine/constants.h"
#include "brusk/engine/cycle_response.h"
#include "brusk/engine/sequential_capacity.h"
#include "brusk/frontend/column_problem.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/text_util.h"
#include "brusk/frontend/wall_schema.h"

namespace py = pybind11;

namespace Brusk::Python {

namespace {

constexpr auto kDouble = static_cast<py::ssize_t>(sizeof(double));

/// `columns[name]` when it is as the Python layer lays it out: of `dtype` ("f" float64, "c"
/// complex128, "i" int8), `ndim` dimensions of `rows` (and `columns`) elements, strides in
/// whole elements. A caller of the private functions that passes anything else is refused
/// here rather than read out of bounds.
py::array laidOut(const py::dict& arrays, const std::string& name, char kind, py::ssize_t size,
                  py::ssize_t ndim, py::ssize_t rows, py::ssize_t columns = -1) {
  const auto array = arrays[name.c_str()].cast<py::array>();
  bool laid = array.dtype().kind() == kind && array.itemsize() == size &&
              array.dtype().attr("isnative").cast<bool>() && array.ndim() == ndim;
  for (py::ssize_t axis = 0; laid && axis < ndim; ++axis) {
    laid = array.strides(axis) % size == 0 && array.shape(axis) == (axis == 0 ? rows : columns);
  }
  if (!laid || reinterpret_cast<std::uintptr_t>(array.data()) % static_cast<std::size_t>(size)) {
    throw Frontend::Error(name + " is not laid out as compute_many lays out its arrays");
  }
  return array;
}

py::ssize_t rowsOf(const py::dict& columns) {
  const auto thickness = columns["thickness"].cast<py::array>();
  if (thickness.ndim() != 2) throw Frontend::Error("thickness must be a 2-D array");
  return thickness.shape(0);
}

Engine::LayerTable tableOf(const py::dict& columns, const char* name) {
  if (!columns.contains(name)) return {};
  const auto thickness = columns["thickness"].cast<py::array>();
  const auto array = laidOut(columns, name, 'f', kDouble, 2, rowsOf(columns), thickness.shape(1));
  return {static_cast<const double*>(array.data()), static_cast<std::size_t>(array.shape(0)),
          static_cast<std::size_t>(array.shape(1)), array.strides(0) / kDouble,
          array.strides(1) / kDouble};
}

Engine::WallColumn columnOf(const py::dict& columns, const char* name) {
  if (!columns.contains(name)) return {};
  const bool perWall = columns[name].cast<py::array>().ndim() != 0;
  const auto array = laidOut(columns, name, 'f', kDouble, perWall ? 1 : 0, rowsOf(columns));
  const auto* data = static_cast<const double*>(array.data());
  if (array.ndim() == 0) return Engine::WallColumn::of(*data);
  return Engine::WallColumn::of(data, array.strides(0) / kDouble);
}

/// Points every output of `outputs` (arrays by their CSV column names) at its result column.
Engine::ColumnResults resultsOf(const py::dict& outputs, py::ssize_t rows) {
  Engine::ColumnResults results;
  for (const Engine::ColumnOutput& output : Engine::columnOutputs()) {
    const std::string name = output.quantity->csvColumn();
    if (!outputs.contains(name)) continue;
    const char kind = output.real ? 'f' : output.complex ? 'c' : 'i';
    const py::ssize_t size = output.real ? kDouble : output.complex ? 2 * kDouble : 1;
    py::array array = laidOut(outputs, name, kind, size, 1, rows);
    if (array.strides(0) != size) throw Frontend::Error(name + " must be contiguous");
    void* data = array.mutable_data();  // refuses a read-only array
    if (output.real) results.*output.real = static_cast<double*>(data);
    if (output.complex) results.*output.complex = static_cast<std::complex<double>*>(data);
    if (output.method) results.*output.method = static_cast<std::int8_t*>(data);
  }
  return results;
}

/// Computes the walls into the outputs without the GIL; returns the failures, each as its row
/// and the frontend's words.
std::vector<std::pair<std::size_t, std::string>> computeColumns(
    const py::dict& columns, const py::dict& outputs, const std::string& heatFlow, unsigned threads,
    bool stopAtFirstFailure, bool vectorKernel) {
  const Engine::ColumnWalls walls = columnWallsOf(columns, heatFlow);
  const Engine::ColumnResults results = resultsOf(outputs, rowsOf(columns));
  Engine::ColumnOptions options;
  options.threads = threads;
  options.stopAtFirstFailure = stopAtFirstFailure;
  options.vectorKernel = vectorKernel;
  std::vector<Engine::RowFailure> failures;
  {
    py::gil_scoped_release released;
    failures = Engine::computeColumns(walls, results, options);
  }
  std::vector<std::pair<std::size_t, std::string>> worded;
  worded.reserve(failures.size());
  for (const Engine::RowFailure& failure : failures) {
    worded.emplace_back(failure.row, Frontend::describeRowFailure(walls, failure));
  }
  return worded;
}

/// The outputs as (CSV column, kind, needs the sequential estimates), kind "real", "complex"
/// or "method" (a CapacityMethod code, -1 where the row failed).
py::list columnOutputs() {
  py::list outputs;
  for (const Engine::ColumnOutput& output : Engine::columnOutputs()) {
    const char* kind = output.real ? "real" : output.complex ? "complex" : "method";
    outputs.append(py::make_tuple(output.quantity->csvColumn(), kind, output.sequential));
  }
  return outputs;
}

}  // namespace

Engine::ColumnWalls columnWallsOf(const py::dict& columns, const std::string& heatFlow) {
  Engine::ColumnWalls walls;
  walls.thickness = tableOf(columns, "thickness");
  walls.conductivity = tableOf(columns, "conductivity");
  walls.density = tableOf(columns, "density");
  walls.specificHeat = tableOf(columns, "specific_heat");
  walls.resistance = tableOf(columns, "thermal_resistance");
  walls.layerCount = columnOf(columns, "layer_count");
  walls.rsi = columnOf(columns, "rsi");
  walls.rse = columnOf(columns, "rse");
  walls.partition = columnOf(columns, "partition");
  walls.periodHours = columnOf(columns, "period_hours");
  const auto direction = Frontend::Schema::heatFlowNamed(heatFlow);
  if (!direction) {
    throw Frontend::Error("heat_flow must be " +
                          Frontend::quotedAlternatives(Frontend::Schema::heatFlowNames()) +
                          ", got \"" + heatFlow + "\"");
  }
  walls.heatFlow = *direction;
  return walls;
}

void registerColumns(py::module_& module) {
  module.def("_compute_columns", &computeColumns, py::arg("columns"), py::arg("outputs"),
             py::arg("heat_flow"), py::arg("threads"), py::arg("stop_at_first_failure"),
             py::arg("vector_kernel"));
  module.def("_column_outputs", &columnOutputs);
  module.def("_column_threads", &Engine::columnThreadCount, py::arg("rows"), py::arg("threads"),
             "the threads compute_many shares `rows` rows between");
  module.def(
      "_follow_time_lags",
      [](py::array_t<double, py::array::c_style | py::array::forcecast> lags,
         py::array_t<double, py::array::c_style | py::array::forcecast> periodHours) {
        if (lags.ndim() != 1 || periodHours.ndim() != 1 || lags.size() != periodHours.size()) {
          throw Frontend::Error(
              "the time lags and their periods must be two 1-D arrays of one "
              "length");
        }
        py::array_t<double> followed(lags.size());
        double phase = std::numeric_limits<double>::quiet_NaN();
        for (py::ssize_t i = 0; i < lags.size(); ++i) {
          followed.mutable_data()[i] =
              Engine::followTimeLag(lags.data()[i], periodHours.data()[i], phase);
        }
        return followed;
      },
      "the time lags followed continuously along the rows (Engine::followTimeLag)");
  module.attr("MAX_LAYERS") = Engine::kMaxLayers;
  std::vector<std::string> methods;
  for (int code = 0; code <= Engine::LimitedDepth; ++code) {
    methods.emplace_back(Engine::capacityMethodName(code));
  }
  module.attr("CAPACITY_METHODS") = methods;
}

}  // namespace Brusk::Python
