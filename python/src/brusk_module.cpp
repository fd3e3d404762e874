// The Python module brusk._brusk: wall files, the catalogue, compute() and the vectorised
// compute_many() over the engine's request and result types. It parses, calls, words and
// prints; every number comes from Brusk::Engine, every message from Brusk::Frontend.

#include <pybind11/complex.h>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/engine/cycle_response.h"
#include "brusk/engine/many_columns.h"
#include "brusk/engine/quantities.h"
#include "brusk/engine/sequential_capacity.h"
#include "brusk/engine/wall.h"
#include "brusk/engine/wall_result.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/column_problem.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/input_files.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/quantity_output.h"
#include "brusk/frontend/shortest_double.h"
#include "brusk/frontend/text_util.h"
#include "brusk/frontend/wall_parser.h"
#include "brusk/frontend/wall_schema.h"
#include "check_binding.h"
#include "commands_binding.h"
#include "element_module.h"
#include "moisture_binding.h"
#include "response_binding.h"

#ifdef BRUSK_PYTHON_HAS_REPORT
#include "brusk/batch/atomic_file.h"
#include "brusk/report/html_report.h"
#include "brusk/report/report_limits.h"
#endif

namespace py = pybind11;

namespace {

using Brusk::Engine::Complex;
using Brusk::Engine::LayerProperties;
using Brusk::Engine::WallProblem;
using Brusk::Engine::WallRequest;
using Brusk::Engine::WallResult;
using Brusk::Frontend::Catalogue;
using Brusk::Frontend::Error;
using Brusk::Frontend::Wall;

std::string numberText(double value) {
  char buffer[Brusk::Frontend::kShortestDoubleRoom];
  return std::string(buffer, Brusk::Frontend::writeShortestDouble(value, buffer));
}

std::complex<double> toPython(const Complex& value) {
  return {value.getRealPart(), value.getImaginaryPart()};
}

/// The built-in catalogue, read once, or a new one with the `--materials` files added.
std::shared_ptr<const Catalogue> catalogueWith(const std::vector<std::string>& materialFiles) {
  static const auto builtIn = std::make_shared<const Catalogue>(Catalogue::builtIn());
  if (materialFiles.empty()) return builtIn;
  auto catalogue = std::make_shared<Catalogue>(Catalogue::builtIn());
  for (const std::string& file : materialFiles) catalogue->addFile(file);
  return catalogue;
}

/// A wall read from a file or a dict, with what names it in messages (the file, as
/// `brusk compute` names it before the engine's reason).
struct PyWall {
  Wall wall;
  std::string source;
  /// The files the wall was read from (its file, its catalogues), which a writer never replaces.
  std::vector<std::string> inputs;
};

PyWall loadWall(const std::string& path, const std::vector<std::string>& materialFiles) {
  std::vector<std::string> inputs{path};
  inputs.insert(inputs.end(), materialFiles.begin(), materialFiles.end());
  return {Brusk::Frontend::loadWallFile(path, *catalogueWith(materialFiles)), path, inputs};
}

/// A wall object in JSON text with the wall-file keys, read by the file reader's JSON path.
PyWall parseWall(const std::string& json, const std::string& source,
                 const std::vector<std::string>& materialFiles) {
  return {Brusk::Frontend::parseWallLine(json, *catalogueWith(materialFiles), source, "wall"),
          source, materialFiles};
}

/// The docstring of a result's attribute: the quantity description's label, symbol, unit of
/// the value (SI, as the attribute holds it) and definition with its clause.
const char* described(std::string_view key) {
  static std::vector<std::unique_ptr<std::string>> texts;  // pybind11 keeps the pointer
  const Brusk::Engine::Quantity& q =
      Brusk::Engine::quantity(Brusk::Engine::QuantityScope::Wall, key);
  std::string text(q.label);
  if (!q.symbol.empty()) text += " " + std::string(q.symbolUnicode);
  if (!q.unit.empty()) text += " [" + std::string(q.unit) + "]";
  text += ": " + std::string(q.definition) + " (" + std::string(q.source) + ")";
  texts.push_back(std::make_unique<std::string>(std::move(text)));
  return texts.back()->c_str();
}

// Views of a result, grouped as the JSON of `brusk compute` groups them.
struct PeriodicQuantity {
  std::complex<double> value;
  double modulus = 0.0;    ///< [W/(m2.K)]
  double timeShift = 0.0;  ///< [h]
};
struct Transmittance : PeriodicQuantity {
  double timeLag = 0.0;  ///< [h]
};
struct TransferMatrix {
  std::complex<double> z11, z12, z21, z22;
};
struct Estimate {
  double value = 0.0;  ///< [J/(m2.K)]
  std::string method;
};
struct SequentialHeatCapacity {
  Estimate daily, twelveDay;
};

struct PyResult {
  std::string name;
  WallResult result;

  [[nodiscard]] std::string json() const {
    std::string out;
    Brusk::Frontend::appendJson(name, result, out, Brusk::Frontend::JsonLayout::Indented);
    return out;
  }
  [[nodiscard]] std::string table() const { return Brusk::Frontend::formatTable({{name, result}}); }
};

PyResult computeWall(const PyWall& source, double periodHours) {
  Wall wall = source.wall;
  wall.request.period = periodHours * Brusk::Engine::kSecondsPerHour;
  PyResult out{wall.name, {}};
  if (!wall.element.empty()) {
    // Parts, air gaps or corrections: the ISO 6946 element, as `brusk compute` computes it.
    try {
      out.result = Brusk::Frontend::computeWall(wall);
    } catch (const Error& error) {
      throw Error(source.source + ": " + error.what());
    }
    return out;
  }
  if (auto problem = Brusk::Engine::computeInto(wall.request, out.result)) {
    throw Error(source.source + ": " + Brusk::Frontend::describeProblem(*problem, wall));
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// compute_many: one engine request per thread, filled row by row from the arrays.

using ReadArray = py::array_t<double, py::array::forcecast>;

/// `value` as an array of doubles read in place when its strides are whole doubles and its data
/// aligned (a plain or sliced array), else as a contiguous copy: a field of a structured array
/// (a stride of 12 bytes, say) cannot be stepped through in doubles.
ReadArray doublesOf(const py::object& value) {
  ReadArray array = ReadArray::ensure(value);
  if (!array) return array;
  bool inPlace = reinterpret_cast<std::uintptr_t>(array.data()) % alignof(double) == 0;
  for (py::ssize_t axis = 0; axis < array.ndim(); ++axis) {
    inPlace = inPlace && array.strides(axis) % static_cast<py::ssize_t>(sizeof(double)) == 0;
  }
  if (inPlace) return array;
  return ReadArray::ensure(
      py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(array));
}

/// The bytes [first, last) an array's elements lie in, through its strides.
std::pair<const char*, const char*> bytesOf(const py::array& array) {
  const auto* const data = static_cast<const char*>(array.data());
  py::ssize_t low = 0, high = 0;
  for (py::ssize_t axis = 0; axis < array.ndim(); ++axis) {
    if (array.shape(axis) == 0) return {data, data};
    const py::ssize_t reach = (array.shape(axis) - 1) * array.strides(axis);
    (reach < 0 ? low : high) += reach;
  }
  return {data + low, data + high + array.itemsize()};
}

bool overlap(const std::pair<const char*, const char*>& a,
             const std::pair<const char*, const char*>& b) {
  return a.first < a.second && b.first < b.second && a.first < b.second && b.first < a.second;
}

/// A per-wall argument: absent, one value for every wall, or one per wall; the engine's view
/// of the NumPy array it keeps alive.
class PerWall {
public:
  PerWall() = default;
  PerWall(const py::object& value, py::ssize_t walls, const char* what) {
    if (value.is_none()) return;
    _array = doublesOf(value);
    if (!_array) throw py::type_error(std::string(what) + " must be a number or an array");
    if (_array.ndim() == 0) {
      _column = Brusk::Engine::WallColumn::of(*_array.data());
    } else if (_array.ndim() == 1 && _array.shape(0) == walls) {
      _column = Brusk::Engine::WallColumn::of(
          _array.data(), _array.strides(0) / static_cast<py::ssize_t>(sizeof(double)));
    } else {
      throw py::value_error(std::string(what) + " must be a number or an array of shape (" +
                            std::to_string(walls) + ",), one per wall");
    }
  }
  [[nodiscard]] bool given() const { return _column.given(); }
  /// The array read, for the output checks; None when not given.
  [[nodiscard]] const ReadArray& array() const { return _array; }
  [[nodiscard]] double at(py::ssize_t row, double fallback) const {
    return _column.at(static_cast<std::size_t>(row), fallback);
  }
  [[nodiscard]] const Brusk::Engine::WallColumn& column() const { return _column; }

private:
  ReadArray _array;
  Brusk::Engine::WallColumn _column;
};

/// The (walls, layers) array of one property, read through its strides: no copy unless NumPy
/// has to convert the dtype.
class LayerTable {
public:
  LayerTable() = default;
  LayerTable(const py::object& value, const char* what) {
    _array = doublesOf(value);
    if (!_array || _array.ndim() != 2) {
      throw py::value_error(std::string(what) + " must be a 2-D array of shape (walls, layers)");
    }
    constexpr auto kDouble = static_cast<py::ssize_t>(sizeof(double));
    _table = {_array.data(), static_cast<std::size_t>(_array.shape(0)),
              static_cast<std::size_t>(_array.shape(1)), _array.strides(0) / kDouble,
              _array.strides(1) / kDouble};
  }
  [[nodiscard]] bool given() const { return _table.given(); }
  /// The array read, for the output checks.
  [[nodiscard]] const ReadArray& array() const { return _array; }
  [[nodiscard]] py::ssize_t rows() const { return _array.shape(0); }
  [[nodiscard]] py::ssize_t columns() const { return _array.shape(1); }
  [[nodiscard]] const Brusk::Engine::LayerTable& table() const { return _table; }

private:
  ReadArray _array;
  Brusk::Engine::LayerTable _table;
};

struct ManyInput {
  LayerTable thickness, conductivity, density, specificHeat, resistance;
  PerWall layerCount, rsi, rse, partition, periodHours;
  Brusk::Engine::HeatFlowDirection heatFlow = Brusk::Engine::HeatFlowDirection::Horizontal;

  /// The engine's view of the arrays.
  [[nodiscard]] Brusk::Engine::ColumnWalls walls() const {
    Brusk::Engine::ColumnWalls walls;
    walls.thickness = thickness.table();
    walls.conductivity = conductivity.table();
    walls.density = density.table();
    walls.specificHeat = specificHeat.table();
    walls.resistance = resistance.table();
    walls.layerCount = layerCount.column();
    walls.rsi = rsi.column();
    walls.rse = rse.column();
    walls.partition = partition.column();
    walls.periodHours = periodHours.column();
    walls.heatFlow = heatFlow;
    return walls;
  }
};

/// Writes one byte of every page of a new array: the operating system maps (and clears) a
/// page on its first write, and threads doing that at once contend in the kernel. On the
/// 2-core machine the outputs of a million walls (184 MB) took 66 to 700 ms when two threads
/// faulted them in while computing, against 27 ms touched first on one thread and 47 ms of
/// computing after. The values written are overwritten by the kernel.
void touchPages(void* data, std::size_t bytes) {
  constexpr std::size_t kPage = 4096;  // the smallest page size; a larger one is touched more often
  auto* const first = static_cast<volatile unsigned char*>(data);
  for (std::size_t offset = 0; offset < bytes; offset += kPage) first[offset] = 0;
}

/// Stores `text` at `index` of an object array's items, releasing what was there.
void setString(PyObject** items, py::ssize_t index, const py::str& text) {
  PyObject* previous = items[index];
  items[index] = text.inc_ref().ptr();
  Py_XDECREF(previous);
}

/// A NumPy array of `size` Python strings, all `fill`.
py::array stringArray(py::ssize_t size, const py::str& fill) {
  py::array array(py::dtype("object"), std::vector<py::ssize_t>{size});
  auto** items = static_cast<PyObject**>(array.mutable_data());
  for (py::ssize_t i = 0; i < size; ++i) setString(items, i, fill);
  return array;
}

/// The outputs: the wall quantities of the description, named by their CSV columns (the JSON
/// key's path joined by '_'), in its order; the transfer matrix as complex numbers.
std::vector<std::string> fieldNames(bool sequential) {
  std::vector<std::string> names;
  for (const Brusk::Engine::ColumnOutput& output : Brusk::Engine::columnOutputs()) {
    if (output.sequential == sequential) names.push_back(output.quantity->csvColumn());
  }
  return names;
}
const std::vector<std::string>& periodicFieldNames() {
  static const std::vector<std::string> names = fieldNames(false);
  return names;
}
const std::vector<std::string>& sequentialFieldNames() {
  static const std::vector<std::string> names = fieldNames(true);
  return names;
}

std::vector<std::string> selectedFields(const py::object& fields) {
  std::vector<std::string> all = periodicFieldNames();
  all.insert(all.end(), sequentialFieldNames().begin(), sequentialFieldNames().end());
  if (py::isinstance<py::str>(fields)) {
    const std::string preset = fields.cast<std::string>();
    if (preset == "all") return all;
    if (preset == "periodic") return periodicFieldNames();
    throw py::value_error("fields must be \"all\", \"periodic\" or a list of output names, got \"" +
                          preset + "\"");
  }
  std::vector<std::string> chosen;
  for (const py::handle item : fields) {
    const std::string name = py::str(item).cast<std::string>();
    if (std::find(all.begin(), all.end(), name) == all.end()) {
      throw py::value_error("unknown output \"" + name + "\"; compute_many gives " +
                            Brusk::Frontend::quotedAlternatives(all));
    }
    chosen.push_back(name);
  }
  return chosen;
}

Brusk::Engine::HeatFlowDirection heatFlowNamed(const std::string& word) {
  if (auto direction = Brusk::Frontend::Schema::heatFlowNamed(word)) return *direction;
  throw Error("heat_flow must be " +
              Brusk::Frontend::quotedAlternatives(Brusk::Frontend::Schema::heatFlowNames()) +
              ", got \"" + word + "\"");
}

py::dict computeMany(const py::object& thickness, const py::object& conductivity,
                     const py::object& density, const py::object& specificHeat,
                     const py::object& layerCount, const py::object& resistance,
                     const py::object& rsi, const py::object& rse, const py::object& partition,
                     const std::string& heatFlow, const py::object& periodHours,
                     const py::object& fields, int threads, const std::string& errors,
                     const py::object& reuse, const std::string& kernel) {
  if (errors != "raise" && errors != "nan") {
    throw py::value_error("errors must be \"raise\" or \"nan\", got \"" + errors + "\"");
  }
  if (kernel != "vector" && kernel != "scalar") {
    throw py::value_error("kernel must be \"vector\" or \"scalar\", got \"" + kernel + "\"");
  }
  ManyInput in;
  Brusk::Engine::ColumnOptions options;
  options.vectorKernel = kernel == "vector";
  in.thickness = LayerTable(thickness, "thickness");
  in.conductivity = LayerTable(conductivity, "conductivity");
  in.density = LayerTable(density, "density");
  in.specificHeat = LayerTable(specificHeat, "specific_heat");
  if (!resistance.is_none()) in.resistance = LayerTable(resistance, "thermal_resistance");
  const py::ssize_t walls = in.thickness.rows();
  const py::ssize_t columns = in.thickness.columns();
  for (const auto& [table, name] :
       {std::pair{&in.conductivity, "conductivity"}, std::pair{&in.density, "density"},
        std::pair{&in.specificHeat, "specific_heat"},
        std::pair{&in.resistance, "thermal_resistance"}}) {
    if (table->given() && (table->rows() != walls || table->columns() != columns)) {
      throw py::value_error(std::string(name) + " must have the shape of thickness, (" +
                            std::to_string(walls) + ", " + std::to_string(columns) + ")");
    }
  }
  if (static_cast<std::size_t>(columns) > Brusk::Engine::kMaxLayers) {
    throw Error(std::to_string(columns) + " layer columns, more than the " +
                std::to_string(Brusk::Engine::kMaxLayers) + " a wall may have");
  }
  in.layerCount = PerWall(layerCount, walls, "layer_count");
  in.rsi = PerWall(rsi, walls, "rsi");
  in.rse = PerWall(rse, walls, "rse");
  in.partition = PerWall(partition, walls, "partition");
  in.periodHours = PerWall(periodHours, walls, "period_hours");
  in.heatFlow = heatFlowNamed(heatFlow);
  options.stopAtFirstFailure = errors == "raise";

  const std::vector<std::string> chosen = selectedFields(fields);
  const auto wanted = [&](const std::string& name) {
    return std::find(chosen.begin(), chosen.end(), name) != chosen.end();
  };
  py::dict arrays;
  Brusk::Engine::ColumnResults out;
  // An output array of an earlier call given in `out`, written over instead of a new one: the
  // pages of a new array are zeroed by the kernel on first touch, a quarter of the time of a
  // large study on one core.
  if (!reuse.is_none() && !py::isinstance<py::dict>(reuse)) {
    throw py::type_error(
        "out must be the dict of an earlier compute_many call (output names to "
        "NumPy arrays), got " +
        std::string(py::str(py::type::handle_of(reuse).attr("__name__"))));
  }
  // Each reused array is written in place, so it may share no memory with an input (which the
  // results would overwrite) or with another output (which would hold only the last written).
  std::vector<std::pair<std::string, std::pair<const char*, const char*>>> readBytes;
  for (const auto& [table, name] :
       {std::pair{&in.thickness, "thickness"}, std::pair{&in.conductivity, "conductivity"},
        std::pair{&in.density, "density"}, std::pair{&in.specificHeat, "specific_heat"},
        std::pair{&in.resistance, "thermal_resistance"}}) {
    if (table->given())
      readBytes.emplace_back(std::string("the input ") + name, bytesOf(table->array()));
  }
  for (const auto& [perWall, name] :
       {std::pair{&in.layerCount, "layer_count"}, std::pair{&in.rsi, "rsi"},
        std::pair{&in.rse, "rse"}, std::pair{&in.partition, "partition"},
        std::pair{&in.periodHours, "period_hours"}}) {
    if (perWall->given())
      readBytes.emplace_back(std::string("the input ") + name, bytesOf(perWall->array()));
  }
  std::vector<std::pair<std::string, std::pair<const char*, const char*>>> writtenBytes;
  const auto reused = [&](const std::string& name, char kind) -> py::object {
    if (reuse.is_none() || !reuse.contains(name)) return py::none();
    py::object item = reuse[name.c_str()];
    const auto fail = [&] {
      throw py::value_error(std::string("out[\"") + name +
                            "\"] must be a writeable contiguous NumPy array of " +
                            (kind == 'c' ? "complex128" : "float64") +
                            " in native byte order and shape (" + std::to_string(walls) + ",)");
    };
    if (!py::isinstance<py::array>(item)) fail();
    auto array = item.cast<py::array>();
    // A non-native byte order would be converted into a copy, written instead of the array.
    if (array.ndim() != 1 || array.shape(0) != walls || !array.writeable() ||
        (array.flags() & py::array::c_style) == 0 || array.dtype().kind() != kind ||
        array.itemsize() != (kind == 'c' ? 16 : 8) ||
        !array.dtype().attr("isnative").cast<bool>()) {
      fail();
    }
    const std::pair<const char*, const char*> bytes = bytesOf(array);
    const std::string label = std::string("out[\"") + name + "\"]";
    for (const auto& [other, otherBytes] : writtenBytes) {
      if (overlap(bytes, otherBytes)) {
        throw py::value_error(label + " shares its memory with " + other +
                              "; each output needs an array of its own");
      }
    }
    for (const auto& [input, inputBytes] : readBytes) {
      if (overlap(bytes, inputBytes)) {
        throw py::value_error(label + " shares its memory with " + input +
                              ", which the results would overwrite");
      }
    }
    writtenBytes.emplace_back(label, bytes);
    return std::move(array);
  };
  std::vector<std::pair<void*, std::size_t>> freshArrays;  // pointer and bytes of new ones
  const auto real = [&](const std::string& name, double*& pointer) {
    if (!wanted(name)) return;
    const py::object given = reused(name, 'f');
    py::array_t<double> array =
        given.is_none() ? py::array_t<double>(walls) : given.cast<py::array_t<double>>();
    pointer = array.mutable_data();
    if (given.is_none()) freshArrays.emplace_back(pointer, array.nbytes());
    arrays[name.c_str()] = array;
  };
  const auto complex = [&](const std::string& name, std::complex<double>*& pointer) {
    if (!wanted(name)) return;
    const py::object given = reused(name, 'c');
    py::array_t<std::complex<double>> array = given.is_none()
                                                  ? py::array_t<std::complex<double>>(walls)
                                                  : given.cast<py::array_t<std::complex<double>>>();
    pointer = array.mutable_data();
    if (given.is_none()) freshArrays.emplace_back(pointer, array.nbytes());
    arrays[name.c_str()] = array;
  };
  std::vector<std::pair<std::string, py::array_t<std::int8_t>>> methodCodes;
  const auto method = [&](const std::string& name, std::int8_t*& pointer) {
    if (!wanted(name)) return;
    py::array_t<std::int8_t> array(walls);
    pointer = array.mutable_data();
    methodCodes.emplace_back(name, array);
  };
  for (const Brusk::Engine::ColumnOutput& output : Brusk::Engine::columnOutputs()) {
    const std::string name = output.quantity->csvColumn();
    if (output.real) real(name, out.*output.real);
    if (output.complex) complex(name, out.*output.complex);
    if (output.method) method(name, out.*output.method);
  }

  options.threads = threads > 0 ? static_cast<unsigned>(threads) : 0U;
  const Brusk::Engine::ColumnWalls columnWalls = in.walls();
  std::vector<Brusk::Engine::RowFailure> failures;
  {
    py::gil_scoped_release released;
    if (Brusk::Engine::columnThreadCount(static_cast<std::size_t>(walls), options.threads) > 1) {
      for (const auto& [pointer, bytes] : freshArrays) touchPages(pointer, bytes);
    }
    failures = Brusk::Engine::computeColumns(columnWalls, out, options);
  }
  if (options.stopAtFirstFailure && !failures.empty()) {
    throw Error(Brusk::Frontend::describeRowFailure(columnWalls, failures.front()));
  }
  // Methods as their names, as `brusk compute` prints them; "" where a row failed.
  for (auto& [name, codes] : methodCodes) {
    std::vector<py::str> words;
    for (int code = 0; code <= Brusk::Engine::LimitedDepth; ++code) {
      words.emplace_back(Brusk::Engine::capacityMethodName(code));
    }
    py::array texts = stringArray(walls, py::str(""));
    auto** text = static_cast<PyObject**>(texts.mutable_data());
    const std::int8_t* code = codes.data();
    for (py::ssize_t row = 0; row < walls; ++row) {
      if (code[row] >= 0) setString(text, row, words[static_cast<std::size_t>(code[row])]);
    }
    arrays[name.c_str()] = texts;
  }
  if (!options.stopAtFirstFailure) {
    py::array messages = stringArray(walls, py::str(""));
    auto** message = static_cast<PyObject**>(messages.mutable_data());
    for (const Brusk::Engine::RowFailure& failure : failures) {
      setString(message, static_cast<py::ssize_t>(failure.row),
                py::str(Brusk::Frontend::describeRowFailure(columnWalls, failure)));
    }
    arrays["error"] = messages;
  }
  return arrays;
}

#ifdef BRUSK_PYTHON_HAS_REPORT
void writeReport(const std::vector<const PyWall*>& walls, const std::string& path,
                 const std::string& title, double amplitude, double periodHours) {
  Brusk::Report::requireTemperatureAmplitude(amplitude, "amplitude");
  // The check of `brusk report -o`: the page never replaces a file a wall was read from.
  for (const PyWall* wall : walls) Brusk::Frontend::refuseToOverwriteInputs(path, wall->inputs);
  std::vector<Wall> reported;
  for (const PyWall* wall : walls) {
    // Refused walls get the words and the source that compute() gives them.
    (void)computeWall(*wall, wall->wall.request.period / Brusk::Engine::kSecondsPerHour);
    reported.push_back(wall->wall);
  }
  Brusk::Frontend::requirePeriodHours(periodHours, "period_hours");
  Brusk::Report::ReportOptions options;
  options.title = title;
  options.temperatureAmplitude = amplitude;
  options.period = periodHours * Brusk::Engine::kSecondsPerHour;
  const std::string html = Brusk::Report::renderHtmlReport(reported, options);
  Brusk::Batch::AtomicOutputFile file(path);
  file.stream() << html;
  file.commit();
}
#endif

py::list materials(const std::string& filter, const std::vector<std::string>& materialFiles) {
  const auto catalogue = catalogueWith(materialFiles);
  py::list entries;
  for (const Brusk::Frontend::CatalogueEntry* entry : catalogue->filter(filter)) {
    py::dict item;
    item["key"] = entry->key;
    item["name"] = entry->name;
    item["family"] = entry->family;
    item["conductivity"] = entry->conductivity;
    item["density"] = entry->density;
    item["specific_heat"] = entry->specificHeat;
    item["source"] = entry->source;
    entries.append(item);
  }
  return entries;
}

py::list layersOf(const Wall& wall) {
  py::list layers;
  for (std::size_t i = 0; i < wall.request.layers.size(); ++i) {
    const LayerProperties& layer = wall.request.layers[i];
    py::dict item;
    item["name"] = wall.labels[i].name;
    if (!wall.labels[i].materialKey.empty()) item["material"] = wall.labels[i].materialKey;
    item["family"] = wall.labels[i].family;
    if (layer.isPureResistance()) {
      item["thermal_resistance"] = layer.resistance;
    } else {
      item["thickness"] = layer.thickness;
      item["conductivity"] = layer.conductivity;
      item["density"] = layer.density;
      item["specific_heat"] = layer.specificHeat;
    }
    layers.append(item);
  }
  return layers;
}

}  // namespace

PYBIND11_MODULE(_brusk, m) {
  m.doc() = "Brusk's engine and frontend: ISO 13786 dynamic thermal characteristics.";
  py::register_exception<Error>(m, "WallError", PyExc_ValueError);
  Brusk::Python::registerResponseBinding(m);

  py::class_<PyWall>(m, "_Wall")
      .def_property_readonly("name", [](const PyWall& w) { return w.wall.name; })
      .def_property_readonly("source", [](const PyWall& w) { return w.source; })
      .def_property_readonly(
          "position",
          [](const PyWall& w) {
            return Brusk::Frontend::Schema::positionNames()[static_cast<std::size_t>(
                w.wall.request.position)];
          })
      .def_property_readonly(
          "heat_flow",
          [](const PyWall& w) {
            return Brusk::Frontend::Schema::heatFlowNames()[static_cast<std::size_t>(
                w.wall.request.heatFlow)];
          })
      .def_property_readonly(
          "rsi", [](const PyWall& w) { return w.wall.request.internalSurfaceResistance; })
      .def_property_readonly(
          "rse", [](const PyWall& w) { return w.wall.request.externalSurfaceResistance; })
      .def_property_readonly("layers", [](const PyWall& w) { return layersOf(w.wall); })
      .def_property_readonly("orientation",
                             [](const PyWall& w) -> std::optional<std::string> {
                               if (w.wall.orientation.empty()) return std::nullopt;
                               return w.wall.orientation;
                             })
      .def_property_readonly("site_irradiance",
                             [](const PyWall& w) { return w.wall.siteIrradiance; });

  m.def("_load_wall", &loadWall, py::arg("path"), py::arg("materials"));
  m.def("_parse_wall", &parseWall, py::arg("json"), py::arg("source"), py::arg("materials"));

  py::class_<PeriodicQuantity>(m, "PeriodicQuantity",
                               "A periodic quantity of the wall: its complex value, modulus and "
                               "time shift.")
      .def_readonly("value", &PeriodicQuantity::value, "complex value [W/(m2.K)]")
      .def_readonly("modulus", &PeriodicQuantity::modulus, "modulus |Y| [W/(m2.K)]")
      .def_readonly("time_shift", &PeriodicQuantity::timeShift,
                    "ISO 13786 time shift (T / 2 pi) arg(Y) [h]");
  py::class_<Transmittance, PeriodicQuantity>(m, "Transmittance",
                                              "The periodic thermal transmittance Y12.")
      .def_readonly("time_lag", &Transmittance::timeLag,
                    "delay of the inner heat-flow peak behind the outer temperature peak [h]");
  py::class_<TransferMatrix>(m, "TransferMatrix", "The ISO 13786 heat transfer matrix Z.")
      .def_readonly("z11", &TransferMatrix::z11, described("transfer_matrix.z11"))
      .def_readonly("z12", &TransferMatrix::z12, described("transfer_matrix.z12"))
      .def_readonly("z21", &TransferMatrix::z21, described("transfer_matrix.z21"))
      .def_readonly("z22", &TransferMatrix::z22, described("transfer_matrix.z22"));
  py::class_<Estimate>(m, "Estimate", "A sequential heat capacity estimate of side 1.")
      .def_readonly("value", &Estimate::value, "capacity [J/(m2.K)]")
      .def_readonly("method", &Estimate::method, "the rule that produced it");
  py::class_<SequentialHeatCapacity>(m, "SequentialHeatCapacity",
                                     "Sequential heat capacity estimates of side 1.")
      .def_readonly("daily", &SequentialHeatCapacity::daily, "for the one-day cycle")
      .def_readonly("twelve_day", &SequentialHeatCapacity::twelveDay, "for the twelve-day cycle");

  // dynamic_attr: compute() keeps the wall and the cycle on the result, which is how it pickles.
  py::class_<PyResult>(m, "Result", py::dynamic_attr(),
                       "Every characteristic of one wall at one period; attributes are named as "
                       "the JSON keys of `brusk compute`, in SI units (time shifts in hours).")
      .def_property_readonly("name", [](const PyResult& r) { return r.name; })
      .def_property_readonly(
          "period", [](const PyResult& r) { return r.result.period; }, described("period"))
      .def_property_readonly(
          "thickness", [](const PyResult& r) { return r.result.thickness; }, described("thickness"))
      .def_property_readonly(
          "surface_mass", [](const PyResult& r) { return r.result.surfaceMass; },
          described("surface_mass"))
      .def_property_readonly(
          "thermal_resistance", [](const PyResult& r) { return r.result.thermalResistance; },
          described("thermal_resistance"))
      .def_property_readonly(
          "u_value", [](const PyResult& r) { return r.result.uValue; }, described("u_value"))
      .def_property_readonly(
          "decrement_factor", [](const PyResult& r) { return r.result.decrementFactor; },
          described("decrement_factor"))
      .def_property_readonly(
          "periodic_thermal_transmittance",
          [](const PyResult& r) {
            Transmittance t;
            t.value = toPython(r.result.periodicThermalTransmittance);
            t.modulus = r.result.periodicThermalTransmittance.getModulus();
            t.timeShift = r.result.periodicThermalTransmittanceShift;
            t.timeLag = r.result.timeLag;
            return t;
          },
          described("periodic_thermal_transmittance.modulus"))
      .def_property_readonly(
          "internal_admittance",
          [](const PyResult& r) {
            return PeriodicQuantity{toPython(r.result.internalAdmittance),
                                    r.result.internalAdmittance.getModulus(),
                                    r.result.internalAdmittanceShift};
          },
          described("internal_admittance.modulus"))
      .def_property_readonly(
          "external_admittance",
          [](const PyResult& r) {
            return PeriodicQuantity{toPython(r.result.externalAdmittance),
                                    r.result.externalAdmittance.getModulus(),
                                    r.result.externalAdmittanceShift};
          },
          described("external_admittance.modulus"))
      .def_property_readonly(
          "internal_areal_heat_capacity",
          [](const PyResult& r) { return r.result.internalArealHeatCapacity; },
          described("internal_areal_heat_capacity"))
      .def_property_readonly(
          "external_areal_heat_capacity",
          [](const PyResult& r) { return r.result.externalArealHeatCapacity; },
          described("external_areal_heat_capacity"))
      .def_property_readonly(
          "transfer_matrix",
          [](const PyResult& r) {
            return TransferMatrix{toPython(r.result.z11), toPython(r.result.z12),
                                  toPython(r.result.z21), toPython(r.result.z22)};
          },
          "Z, complex elements")
      .def_property_readonly(
          "sequential_heat_capacity",
          [](const PyResult& r) {
            return SequentialHeatCapacity{
                {r.result.daily.capacity, Brusk::Engine::capacityMethodName(r.result.daily.method)},
                {r.result.twelveDay.capacity,
                 Brusk::Engine::capacityMethodName(r.result.twelveDay.method)}};
          },
          "estimates for the one-day and twelve-day cycles [J/(m2.K)]")
      .def("_json", &PyResult::json, "the object `brusk compute --format json` prints")
      .def("__str__", &PyResult::table, "the table `brusk compute` prints")
      .def("__repr__", [](const PyResult& r) {
        return "<brusk.Result \"" + Brusk::Frontend::visibleText(r.name) +
               "\" U=" + numberText(r.result.uValue) +
               " f=" + numberText(r.result.decrementFactor) + ">";
      });

  m.def("_compute", &computeWall, py::arg("wall"), py::arg("period_hours"));
  m.def(
      "_compute_element",
      [](const PyWall& wall, double hours) {
        return BruskPython::elementJson(wall.wall, wall.source, hours);
      },
      py::arg("wall"), py::arg("period_hours"));
  m.def("_compute_many", &computeMany, py::arg("thickness"), py::arg("conductivity"),
        py::arg("density"), py::arg("specific_heat"), py::arg("layer_count"),
        py::arg("thermal_resistance"), py::arg("rsi"), py::arg("rse"), py::arg("partition"),
        py::arg("heat_flow"), py::arg("period_hours"), py::arg("fields"), py::arg("threads"),
        py::arg("errors"), py::arg("out"), py::arg("kernel"));
  m.def("_materials", &materials, py::arg("filter"), py::arg("materials"));
  m.def("_format_json", [](const std::vector<const PyResult*>& results) {
    std::vector<Brusk::Frontend::NamedResult> named;
    for (const PyResult* r : results) named.push_back({r->name, r->result});
    return Brusk::Frontend::formatJson(named, Brusk::Frontend::JsonLayout::Indented);
  });
#ifdef BRUSK_PYTHON_HAS_REPORT
  m.def("_report", &writeReport, py::arg("walls"), py::arg("path"), py::arg("title"),
        py::arg("amplitude"), py::arg("period_hours"));
#endif
  m.def("_zone_file", [](const std::string& path, const std::vector<std::string>& materials) {
    return Brusk::Python::zoneFileJson(path, *catalogueWith(materials));
  });
  m.def("_zone_text", [](const std::string& json, const std::string& source,
                         const std::string& directory, const std::vector<std::string>& materials) {
    return Brusk::Python::zoneTextJson(json, source, directory, *catalogueWith(materials));
  });
  m.def(
      "_response",
      [](const PyWall& wall, const Brusk::Python::ResponseInputs& inputs) {
        return Brusk::Python::responseJson(wall.wall, wall.source, inputs);
      },
      py::call_guard<py::gil_scoped_release>());
  py::class_<Brusk::Python::ResponseInputs>(m, "_ResponseInputs")
      .def(py::init<>())
      .def_readwrite("outdoor", &Brusk::Python::ResponseInputs::outdoor)
      .def_readwrite("indoor", &Brusk::Python::ResponseInputs::indoor)
      .def_readwrite("indoor_constant", &Brusk::Python::ResponseInputs::indoorConstant)
      .def_readwrite("period_hours", &Brusk::Python::ResponseInputs::periodHours)
      .def_readwrite("solar", &Brusk::Python::ResponseInputs::solar)
      .def_readwrite("absorptance", &Brusk::Python::ResponseInputs::absorptance)
      .def_readwrite("emissivity", &Brusk::Python::ResponseInputs::emissivity)
      .def_readwrite("sky_radiation", &Brusk::Python::ResponseInputs::skyRadiation)
      .def_readwrite("start_hours", &Brusk::Python::ResponseInputs::startHours);
  m.def(
      "_follow_time_lags",
      [](py::array_t<double, py::array::c_style | py::array::forcecast> lags,
         py::array_t<double, py::array::c_style | py::array::forcecast> periodHours) {
        if (lags.ndim() != 1 || periodHours.ndim() != 1 || lags.size() != periodHours.size()) {
          throw Error("the time lags and their periods must be two 1-D arrays of one length");
        }
        py::array_t<double> followed(lags.size());
        const double* lag = lags.data();
        const double* period = periodHours.data();
        double* out = followed.mutable_data();
        double phase = std::numeric_limits<double>::quiet_NaN();
        for (py::ssize_t i = 0; i < lags.size(); ++i) {
          out[i] = Brusk::Engine::followTimeLag(lag[i], period[i], phase);
        }
        return followed;
      },
      "the time lags followed continuously along the rows (Engine::followTimeLag)");
  m.def("_visible_text", &Brusk::Frontend::visibleText,
        "the text with control characters written visibly, as the CLI prints names");
  m.def("_quantities_json", &Brusk::Frontend::formatQuantitiesJson,
        "the quantity description, as `brusk quantities --format json` prints it");
  Brusk::Python::registerMoisture(m, [](py::handle wall) {
    const PyWall& native = wall.cast<const PyWall&>();
    return std::make_pair(&native.wall, native.source);
  });
  Brusk::Python::registerCheck(m, [](py::handle wall) {
    const PyWall& native = wall.cast<const PyWall&>();
    return std::make_pair(&native.wall, native.source);
  });
  m.attr("PERIODIC_FIELDS") = periodicFieldNames();
  m.attr("SEQUENTIAL_FIELDS") = sequentialFieldNames();
}
