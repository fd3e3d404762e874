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
#include "brusk/engine/many_walls.h"
#include "brusk/engine/sequential_capacity.h"
#include "brusk/engine/wall.h"
#include "brusk/engine/wall_result.h"
#include "brusk/frontend/catalogue.h"
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

/// A per-wall argument: absent, one value for every wall, or one per wall.
class PerWall {
public:
  PerWall() = default;
  PerWall(const py::object& value, py::ssize_t walls, const char* what) {
    if (value.is_none()) return;
    _array = doublesOf(value);
    if (!_array) throw py::type_error(std::string(what) + " must be a number or an array");
    if (_array.ndim() == 0) {
      _scalar = *_array.data();
      _kind = Kind::Scalar;
    } else if (_array.ndim() == 1 && _array.shape(0) == walls) {
      _data = _array.data();
      _stride = _array.strides(0) / static_cast<py::ssize_t>(sizeof(double));
      _kind = Kind::Array;
    } else {
      throw py::value_error(std::string(what) + " must be a number or an array of shape (" +
                            std::to_string(walls) + ",), one per wall");
    }
  }
  [[nodiscard]] bool given() const { return _kind != Kind::None; }
  /// The array read, for the output checks; None when not given.
  [[nodiscard]] const ReadArray& array() const { return _array; }
  [[nodiscard]] double at(py::ssize_t row, double fallback) const {
    switch (_kind) {
      case Kind::None:
        return fallback;
      case Kind::Scalar:
        return _scalar;
      case Kind::Array:
        return _data[row * _stride];
    }
    return fallback;
  }

private:
  enum class Kind { None, Scalar, Array };
  ReadArray _array;
  Kind _kind = Kind::None;
  double _scalar = 0.0;
  const double* _data = nullptr;
  py::ssize_t _stride = 0;
};

/// The (walls, layers) arrays of one property, read through their strides: no copy unless
/// NumPy has to convert the dtype.
class LayerTable {
public:
  LayerTable() = default;
  LayerTable(const py::object& value, const char* what) {
    _array = doublesOf(value);
    if (!_array || _array.ndim() != 2) {
      throw py::value_error(std::string(what) + " must be a 2-D array of shape (walls, layers)");
    }
    _data = _array.data();
    _rowStride = _array.strides(0) / static_cast<py::ssize_t>(sizeof(double));
    _columnStride = _array.strides(1) / static_cast<py::ssize_t>(sizeof(double));
  }
  [[nodiscard]] bool given() const { return _data != nullptr; }
  /// The array read, for the output checks.
  [[nodiscard]] const ReadArray& array() const { return _array; }
  [[nodiscard]] py::ssize_t rows() const { return _array.shape(0); }
  [[nodiscard]] py::ssize_t columns() const { return _array.shape(1); }
  [[nodiscard]] double at(py::ssize_t row, py::ssize_t column) const {
    return _data[row * _rowStride + column * _columnStride];
  }

private:
  ReadArray _array;
  const double* _data = nullptr;
  py::ssize_t _rowStride = 0;
  py::ssize_t _columnStride = 0;
};

/// Output arrays; a null pointer is an output not asked for.
struct Outputs {
  double* period = nullptr;
  double* thickness = nullptr;
  double* surfaceMass = nullptr;
  double* thermalResistance = nullptr;
  double* uValue = nullptr;
  double* decrementFactor = nullptr;
  double* transmittanceModulus = nullptr;
  double* transmittanceShift = nullptr;
  double* timeLag = nullptr;
  double* internalAdmittanceModulus = nullptr;
  double* internalAdmittanceShift = nullptr;
  double* externalAdmittanceModulus = nullptr;
  double* externalAdmittanceShift = nullptr;
  double* internalCapacity = nullptr;
  double* externalCapacity = nullptr;
  std::complex<double>* z11 = nullptr;
  std::complex<double>* z12 = nullptr;
  std::complex<double>* z21 = nullptr;
  std::complex<double>* z22 = nullptr;
  double* dailyValue = nullptr;
  std::int8_t* dailyMethod = nullptr;
  double* twelveDayValue = nullptr;
  std::int8_t* twelveDayMethod = nullptr;
};

/// Why a row could not be computed: the engine's problem, or a layout fault of the arrays.
struct RowFailure {
  enum class Kind {
    Engine,
    Overflow,
    LayerAfterPadding,
    LayerCountTooLarge,
    LayerCountNotWhole,
    ResistanceOnPadding,  ///< a thermal_resistance in a cell past the row's layers
    ResistanceOnSlab,     ///< a thermal_resistance in a cell with a thickness
  };
  py::ssize_t row = 0;
  Kind kind = Kind::Engine;
  WallProblem problem;    ///< for Engine; an Overflow's is worked out when it is worded;
                          ///< for the layout faults, `value` holds the count or R given
  py::ssize_t layer = 0;  ///< the layer (0-based), for the layout faults
};

struct ManyInput {
  LayerTable thickness, conductivity, density, specificHeat, resistance;
  PerWall layerCount, rsi, rse, partition, periodHours;
  Brusk::Engine::HeatFlowDirection heatFlow = Brusk::Engine::HeatFlowDirection::Horizontal;
  bool sequential = true;
  bool stopAtFirstFailure = true;
  /// The many-wall vector kernel (within a few ulps of compute()), or the single-wall kernel
  /// of compute() itself (the same doubles).
  bool vectorKernel = true;
};

void writeNaN(const Outputs& out, py::ssize_t row) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const std::complex<double> complexNaN(kNaN, kNaN);
  for (double* column :
       {out.period, out.thickness, out.surfaceMass, out.thermalResistance, out.uValue,
        out.decrementFactor, out.transmittanceModulus, out.transmittanceShift, out.timeLag,
        out.internalAdmittanceModulus, out.internalAdmittanceShift, out.externalAdmittanceModulus,
        out.externalAdmittanceShift, out.internalCapacity, out.externalCapacity, out.dailyValue,
        out.twelveDayValue}) {
    if (column) column[row] = kNaN;
  }
  for (std::complex<double>* column : {out.z11, out.z12, out.z21, out.z22}) {
    if (column) column[row] = complexNaN;
  }
  if (out.dailyMethod) out.dailyMethod[row] = -1;
  if (out.twelveDayMethod) out.twelveDayMethod[row] = -1;
}

RowFailure layoutFailure(py::ssize_t row, RowFailure::Kind kind, py::ssize_t layer, double value) {
  RowFailure failure{row, kind, {}, layer};
  failure.problem.value = value;
  return failure;
}

/// A thermal_resistance only where a pure resistance layer (thickness 0) stands: one on a cell
/// past the row's layers, or beside a thickness, would be dropped without a word.
std::optional<RowFailure> misplacedResistance(const ManyInput& in, py::ssize_t row,
                                              py::ssize_t layers) {
  if (!in.resistance.given()) return std::nullopt;
  for (py::ssize_t column = 0; column < in.thickness.columns(); ++column) {
    const double resistance = in.resistance.at(row, column);
    if (resistance == 0.0 || std::isnan(resistance)) continue;
    if (column >= layers) {
      return layoutFailure(row, RowFailure::Kind::ResistanceOnPadding, column, resistance);
    }
    const double thickness = in.thickness.at(row, column);
    if (thickness != 0.0) {
      return layoutFailure(row, RowFailure::Kind::ResistanceOnSlab, column, resistance);
    }
  }
  return std::nullopt;
}

/// The number of layers of row `row`: its layer_count, or the columns up to the NaN padding.
std::variant<py::ssize_t, RowFailure> rowLayerCount(const ManyInput& in, py::ssize_t row) {
  const py::ssize_t columns = in.thickness.columns();
  py::ssize_t count = 0;
  if (in.layerCount.given()) {
    const double given = in.layerCount.at(row, 0.0);
    // Compared as a double before any cast: inf or 1e300 has no integer to become.
    if (!(std::isfinite(given) && given >= 0.0 && given == std::floor(given))) {
      return layoutFailure(row, RowFailure::Kind::LayerCountNotWhole, 0, given);
    }
    if (given > static_cast<double>(columns)) {
      return layoutFailure(row, RowFailure::Kind::LayerCountTooLarge, 0, given);
    }
    count = static_cast<py::ssize_t>(given);
  } else {
    // NaN thickness pads a row at its side-2 end; a layer after the padding would be lost.
    while (count < columns && !std::isnan(in.thickness.at(row, count))) ++count;
    for (py::ssize_t later = count + 1; later < columns; ++later) {
      if (!std::isnan(in.thickness.at(row, later))) {
        return RowFailure{row, RowFailure::Kind::LayerAfterPadding, {}, later};
      }
    }
  }
  if (std::optional<RowFailure> failure = misplacedResistance(in, row, count)) return *failure;
  return count;
}

LayerProperties layerAt(const ManyInput& in, py::ssize_t row, py::ssize_t column) {
  return LayerProperties{in.thickness.at(row, column), in.conductivity.at(row, column),
                         in.density.at(row, column), in.specificHeat.at(row, column),
                         in.resistance.given() ? in.resistance.at(row, column) : 0.0};
}

Brusk::Engine::ElementPosition positionAt(const ManyInput& in, py::ssize_t row) {
  return in.partition.at(row, 0.0) != 0.0 ? Brusk::Engine::ElementPosition::Internal
                                          : Brusk::Engine::ElementPosition::External;
}

/// Row `row` as a request, to word its failure; a layout fault leaves the layers empty.
WallRequest requestOf(const ManyInput& in, py::ssize_t row) {
  WallRequest request;
  const auto count = rowLayerCount(in, row);
  if (const py::ssize_t* layers = std::get_if<py::ssize_t>(&count)) {
    for (py::ssize_t column = 0; column < *layers; ++column) {
      request.layers.push_back(layerAt(in, row, column));
    }
  }
  request.position = positionAt(in, row);
  request.heatFlow = in.heatFlow;
  // NaN in an override keeps the convention for that wall.
  const double rsi = in.rsi.at(row, std::numeric_limits<double>::quiet_NaN());
  const double rse = in.rse.at(row, std::numeric_limits<double>::quiet_NaN());
  if (!std::isnan(rsi)) request.internalSurfaceResistance = rsi;
  if (!std::isnan(rse)) request.externalSurfaceResistance = rse;
  request.period = in.periodHours.at(row, 24.0) * Brusk::Engine::kSecondsPerHour;
  return request;
}

/// One thread's rows read block by block into the many-wall kernel's layout, checked by the
/// engine, and computed straight into the output arrays: no request or result per wall.
class RowBlocks {
public:
  RowBlocks(const ManyInput& in, const Outputs& out, std::vector<RowFailure>& failures)
      : _in(in), _out(out), _failures(failures) {
    const auto layers = static_cast<std::size_t>(in.thickness.columns()) * kBlock;
    for (std::vector<double>* column :
         {&_thickness, &_conductivity, &_density, &_specificHeat, &_resistance}) {
      column->resize(layers);
    }
    for (std::vector<double>* column : {&_rsi, &_rse, &_period}) column->resize(kBlock);
    _partition.resize(kBlock);
    _computed.resize(kBlock);
    _layerBegin.resize(kBlock + 1);
    _options.threads = 1;  // the rows are already shared between threads
    if (!in.vectorKernel) _options.instructionSet = Brusk::Engine::InstructionSet::Baseline;
  }

  /// Computes rows [begin, end); false once a failure has stopped it.
  bool compute(py::ssize_t begin, py::ssize_t end) {
    _first = begin;
    _walls = 0;
    for (py::ssize_t row = begin; row < end; ++row) {
      if (const std::optional<RowFailure> failure = read(row)) {
        // The block ends before the refused row and the next one starts after it.
        if (!flush()) return false;
        writeNaN(_out, row);
        _failures.push_back(*failure);
        if (_in.stopAtFirstFailure) return false;
        _first = row + 1;
        continue;
      }
      if (_walls == kBlock) {
        if (!flush()) return false;
        _first = row + 1;
      }
    }
    return flush();
  }

private:
  // Enough walls per call to fill the kernel's lanes many times over, few enough that the
  // block's layers stay in the first-level cache.
  static constexpr std::size_t kBlock = 256;

  /// Appends row `row` as the block's next wall, or says why it cannot be computed.
  std::optional<RowFailure> read(py::ssize_t row) {
    const auto count = rowLayerCount(_in, row);
    if (const RowFailure* failure = std::get_if<RowFailure>(&count)) return *failure;
    const auto layers = static_cast<std::size_t>(std::get<py::ssize_t>(count));
    const std::size_t wall = _walls;
    const std::size_t start = _layerBegin[wall];
    for (std::size_t i = 0; i < layers; ++i) {
      const LayerProperties layer = layerAt(_in, row, static_cast<py::ssize_t>(i));
      _thickness[start + i] = layer.thickness;
      _conductivity[start + i] = layer.conductivity;
      _density[start + i] = layer.density;
      _specificHeat[start + i] = layer.specificHeat;
      _resistance[start + i] = layer.resistance;
    }
    _layerBegin[wall + 1] = start + layers;
    const Brusk::Engine::ElementPosition position = positionAt(_in, row);
    const Brusk::Engine::SurfaceResistances conventional =
        Brusk::Engine::conventionalSurfaceResistances(position, _in.heatFlow);
    // NaN in an override keeps the convention for that wall.
    const double rsi = _in.rsi.at(row, conventional.internal);
    const double rse = _in.rse.at(row, conventional.external);
    _rsi[wall] = std::isnan(rsi) ? conventional.internal : rsi;
    _rse[wall] = std::isnan(rse) ? conventional.external : rse;
    _partition[wall] = position == Brusk::Engine::ElementPosition::Internal ? 1 : 0;
    _period[wall] = _in.periodHours.at(row, 24.0) * Brusk::Engine::kSecondsPerHour;
    if (std::optional<WallProblem> problem = Brusk::Engine::checkWall(arrays(wall + 1), wall)) {
      return RowFailure{row, RowFailure::Kind::Engine, *problem, 0};
    }
    ++_walls;
    return std::nullopt;
  }

  [[nodiscard]] Brusk::Engine::WallArrays arrays(std::size_t walls) const {
    return {walls,           _layerBegin.data(),   _thickness.data(),  _conductivity.data(),
            _density.data(), _specificHeat.data(), _resistance.data(), _rsi.data(),
            _rse.data(),     _partition.data(),    _period.data()};
  }

  /// Computes the block's walls, rows _first on, into the output arrays.
  bool flush() {
    const std::size_t walls = _walls;
    _walls = 0;
    if (walls == 0) return true;
    const auto first = static_cast<std::size_t>(_first);
    const auto real = [&](double* column) { return column ? column + first : nullptr; };
    const auto pairs = [&](std::complex<double>* column) {
      if (!column) return Brusk::Engine::ComplexColumns{};
      // std::complex<double> is an array of two doubles, real part first.
      double* const parts = reinterpret_cast<double*>(column + first);
      return Brusk::Engine::ComplexColumns{parts, parts + 1, 2};
    };
    Brusk::Engine::ResponseArrays columns;
    columns.z11 = pairs(_out.z11);
    columns.z12 = pairs(_out.z12);
    columns.z21 = pairs(_out.z21);
    columns.z22 = pairs(_out.z22);
    columns.internalArealHeatCapacity = real(_out.internalCapacity);
    columns.externalArealHeatCapacity = real(_out.externalCapacity);
    columns.thermalResistance = real(_out.thermalResistance);
    columns.uValue = real(_out.uValue);
    columns.decrementFactor = real(_out.decrementFactor);
    columns.computed = _computed.data();
    columns.period = real(_out.period);
    columns.thickness = real(_out.thickness);
    columns.surfaceMass = real(_out.surfaceMass);
    columns.internalAdmittanceModulus = real(_out.internalAdmittanceModulus);
    columns.externalAdmittanceModulus = real(_out.externalAdmittanceModulus);
    columns.periodicThermalTransmittanceModulus = real(_out.transmittanceModulus);
    columns.internalAdmittanceShift = real(_out.internalAdmittanceShift);
    columns.externalAdmittanceShift = real(_out.externalAdmittanceShift);
    columns.periodicThermalTransmittanceShift = real(_out.transmittanceShift);
    columns.timeLag = real(_out.timeLag);
    const Brusk::Engine::WallArrays block = arrays(walls);
    Brusk::Engine::computeManyWalls(block, columns, _options);

    for (std::size_t wall = 0; wall < walls; ++wall) {
      const auto row = static_cast<py::ssize_t>(first + wall);
      if (_computed[wall] == 0) {
        writeNaN(_out, row);
        _failures.push_back(RowFailure{row, RowFailure::Kind::Overflow, {}, 0});
        if (_in.stopAtFirstFailure) return false;
        continue;
      }
      if (_in.sequential) estimate(block, wall, row);
    }
    return true;
  }

  /// Both sequential estimates of a computed wall, as computeInto adds them.
  void estimate(const Brusk::Engine::WallArrays& block, std::size_t wall, py::ssize_t row) {
    const std::size_t start = block.layerBegin[wall];
    const std::size_t count = block.layerBegin[wall + 1] - start;
    _layers.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
      _layers[i] =
          LayerProperties{_thickness[start + i], _conductivity[start + i], _density[start + i],
                          _specificHeat[start + i], _resistance[start + i]};
    }
    Brusk::Engine::SequentialEstimate daily, twelveDay;
    Brusk::Engine::estimateSequentialCapacities(_layers.data(), count, _rsi[wall], daily,
                                                twelveDay);
    if (_out.dailyValue) _out.dailyValue[row] = daily.capacity;
    if (_out.dailyMethod) _out.dailyMethod[row] = static_cast<std::int8_t>(daily.method);
    if (_out.twelveDayValue) _out.twelveDayValue[row] = twelveDay.capacity;
    if (_out.twelveDayMethod) {
      _out.twelveDayMethod[row] = static_cast<std::int8_t>(twelveDay.method);
    }
  }

  const ManyInput& _in;
  const Outputs& _out;
  std::vector<RowFailure>& _failures;
  Brusk::Engine::ManyWallsOptions _options;
  py::ssize_t _first = 0;  ///< the row of the block's first wall
  std::size_t _walls = 0;  ///< walls read into the block
  std::vector<std::size_t> _layerBegin;
  std::vector<double> _thickness, _conductivity, _density, _specificHeat, _resistance;
  std::vector<double> _rsi, _rse, _period;
  std::vector<std::uint8_t> _partition, _computed;
  std::vector<LayerProperties> _layers;
};

/// Computes rows [begin, end) into `out`, collecting the failures.
void computeRows(const ManyInput& in, const Outputs& out, py::ssize_t begin, py::ssize_t end,
                 std::vector<RowFailure>& failures) {
  RowBlocks blocks(in, out, failures);
  (void)blocks.compute(begin, end);
}

/// "row 17: layer 2: conductivity must be a positive number of W/(m.K), got -1", worded by the
/// frontend as for a wall file whose layers have no names.
std::string describeFailure(const ManyInput& in, const RowFailure& failure) {
  std::string message = "row " + std::to_string(failure.row) + ": ";
  switch (failure.kind) {
    case RowFailure::Kind::LayerAfterPadding:
      return message + "layer " + std::to_string(failure.layer + 1) +
             " has a thickness after a layer without one (NaN): NaN pads a row only at its "
             "side-2 end";
    case RowFailure::Kind::LayerCountTooLarge:
      return message + "layer_count " + numberText(failure.problem.value) + " is more than the " +
             std::to_string(in.thickness.columns()) + " layer columns";
    case RowFailure::Kind::LayerCountNotWhole:
      return message + "layer_count must be a whole number of layers, not negative, got " +
             numberText(failure.problem.value);
    case RowFailure::Kind::ResistanceOnPadding:
      return message + "layer " + std::to_string(failure.layer + 1) +
             " has a thermal_resistance (" + numberText(failure.problem.value) +
             " m2.K/W) but is no layer of the row (" +
             (in.layerCount.given() ? std::string("past its layer_count")
                                    : std::string("its thickness NaN pads the row")) +
             "); a pure resistance layer takes thickness 0";
    case RowFailure::Kind::ResistanceOnSlab:
      return message + "layer " + std::to_string(failure.layer + 1) + " has both a thickness (" +
             numberText(in.thickness.at(failure.row, failure.layer)) +
             " m) and a thermal_resistance (" + numberText(failure.problem.value) +
             " m2.K/W); a layer is a slab (thickness, conductivity, density, specific_heat) or a "
             "pure resistance (thickness 0 and thermal_resistance)";
    case RowFailure::Kind::Engine:
    case RowFailure::Kind::Overflow:
      break;
  }
  Wall wall;
  wall.name = "row " + std::to_string(failure.row);
  wall.request = requestOf(in, failure.row);
  WallProblem problem = failure.problem;
  if (failure.kind == RowFailure::Kind::Overflow) {
    // The stack's penetration depths that explain it, as compute() gives them.
    WallResult ignored;
    problem = Brusk::Engine::computePeriodicInto(wall.request, ignored).value_or(problem);
  }
  const std::string reason = Brusk::Frontend::describeProblem(problem, wall);
  // The overflow's words name the wall ("row 17") themselves.
  return problem.kind == Brusk::Engine::ProblemKind::Overflow ? reason : message + reason;
}

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

/// The outputs, in the order of the JSON of `brusk compute` with its paths joined by '_' (as
/// the CSV header names them); the transfer matrix as complex numbers.
const std::vector<std::string>& periodicFieldNames() {
  static const std::vector<std::string> names = {"period",
                                                 "thickness",
                                                 "surface_mass",
                                                 "thermal_resistance",
                                                 "u_value",
                                                 "decrement_factor",
                                                 "periodic_thermal_transmittance_modulus",
                                                 "periodic_thermal_transmittance_time_shift",
                                                 "periodic_thermal_transmittance_time_lag",
                                                 "internal_admittance_modulus",
                                                 "internal_admittance_time_shift",
                                                 "external_admittance_modulus",
                                                 "external_admittance_time_shift",
                                                 "internal_areal_heat_capacity",
                                                 "external_areal_heat_capacity",
                                                 "transfer_matrix_z11",
                                                 "transfer_matrix_z12",
                                                 "transfer_matrix_z21",
                                                 "transfer_matrix_z22"};
  return names;
}
const std::vector<std::string>& sequentialFieldNames() {
  static const std::vector<std::string> names = {
      "sequential_heat_capacity_daily_value", "sequential_heat_capacity_daily_method",
      "sequential_heat_capacity_twelve_day_value", "sequential_heat_capacity_twelve_day_method"};
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
  in.vectorKernel = kernel == "vector";
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
  // A partition flag is true or false; NaN, 0.5 or 2 is no answer, whatever != 0 would say.
  const py::ssize_t flags = !in.partition.given()              ? 0
                            : in.partition.array().ndim() == 0 ? 1
                                                               : walls;
  for (py::ssize_t row = 0; row < flags; ++row) {
    const double flag = in.partition.at(row, 0.0);
    if (flag != 0.0 && flag != 1.0) {
      throw py::value_error("partition must be true or false (1 or 0) for each wall, got " +
                            numberText(flag) +
                            (flags == 1 ? std::string() : " for row " + std::to_string(row)));
    }
  }
  in.heatFlow = heatFlowNamed(heatFlow);
  in.stopAtFirstFailure = errors == "raise";

  const std::vector<std::string> chosen = selectedFields(fields);
  const auto wanted = [&](const char* name) {
    return std::find(chosen.begin(), chosen.end(), name) != chosen.end();
  };
  in.sequential = std::any_of(chosen.begin(), chosen.end(), [](const std::string& name) {
    return name.rfind("sequential_", 0) == 0;
  });

  py::dict arrays;
  Outputs out;
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
  const auto reused = [&](const char* name, char kind) -> py::object {
    if (reuse.is_none() || !reuse.contains(name)) return py::none();
    py::object item = reuse[name];
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
  const auto real = [&](const char* name, double*& pointer) {
    if (!wanted(name)) return;
    const py::object given = reused(name, 'f');
    py::array_t<double> array =
        given.is_none() ? py::array_t<double>(walls) : given.cast<py::array_t<double>>();
    pointer = array.mutable_data();
    if (given.is_none()) freshArrays.emplace_back(pointer, array.nbytes());
    arrays[name] = array;
  };
  const auto complex = [&](const char* name, std::complex<double>*& pointer) {
    if (!wanted(name)) return;
    const py::object given = reused(name, 'c');
    py::array_t<std::complex<double>> array = given.is_none()
                                                  ? py::array_t<std::complex<double>>(walls)
                                                  : given.cast<py::array_t<std::complex<double>>>();
    pointer = array.mutable_data();
    if (given.is_none()) freshArrays.emplace_back(pointer, array.nbytes());
    arrays[name] = array;
  };
  std::vector<std::pair<std::string, py::array_t<std::int8_t>>> methodCodes;
  const auto method = [&](const char* name, std::int8_t*& pointer) {
    if (!wanted(name)) return;
    py::array_t<std::int8_t> array(walls);
    pointer = array.mutable_data();
    methodCodes.emplace_back(name, array);
  };
  real("period", out.period);
  real("thickness", out.thickness);
  real("surface_mass", out.surfaceMass);
  real("thermal_resistance", out.thermalResistance);
  real("u_value", out.uValue);
  real("decrement_factor", out.decrementFactor);
  real("periodic_thermal_transmittance_modulus", out.transmittanceModulus);
  real("periodic_thermal_transmittance_time_shift", out.transmittanceShift);
  real("periodic_thermal_transmittance_time_lag", out.timeLag);
  real("internal_admittance_modulus", out.internalAdmittanceModulus);
  real("internal_admittance_time_shift", out.internalAdmittanceShift);
  real("external_admittance_modulus", out.externalAdmittanceModulus);
  real("external_admittance_time_shift", out.externalAdmittanceShift);
  real("internal_areal_heat_capacity", out.internalCapacity);
  real("external_areal_heat_capacity", out.externalCapacity);
  complex("transfer_matrix_z11", out.z11);
  complex("transfer_matrix_z12", out.z12);
  complex("transfer_matrix_z21", out.z21);
  complex("transfer_matrix_z22", out.z22);
  real("sequential_heat_capacity_daily_value", out.dailyValue);
  method("sequential_heat_capacity_daily_method", out.dailyMethod);
  real("sequential_heat_capacity_twelve_day_value", out.twelveDayValue);
  method("sequential_heat_capacity_twelve_day_method", out.twelveDayMethod);

  std::size_t threadCount =
      threads > 0 ? static_cast<std::size_t>(threads) : std::thread::hardware_concurrency();
  threadCount = std::max<std::size_t>(1, threadCount);
  // Below some thousands of walls a thread costs more than it saves.
  threadCount = std::min(threadCount, static_cast<std::size_t>(walls / 4096 + 1));
  std::vector<std::vector<RowFailure>> failures(threadCount);
  {
    py::gil_scoped_release released;
    if (threadCount > 1) {
      for (const auto& [pointer, bytes] : freshArrays) touchPages(pointer, bytes);
    }
    const auto chunk = [&](std::size_t index) {
      return static_cast<py::ssize_t>(static_cast<std::size_t>(walls) * index / threadCount);
    };
    std::vector<std::thread> workers;
    for (std::size_t index = 1; index < threadCount; ++index) {
      workers.emplace_back(computeRows, std::cref(in), std::cref(out), chunk(index),
                           chunk(index + 1), std::ref(failures[index]));
    }
    computeRows(in, out, 0, chunk(1), failures[0]);
    for (std::thread& worker : workers) worker.join();
  }

  if (in.stopAtFirstFailure) {
    // The chunks are in row order: the first failure found is the lowest row.
    for (const std::vector<RowFailure>& found : failures) {
      if (!found.empty()) throw Error(describeFailure(in, found.front()));
    }
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
  if (!in.stopAtFirstFailure) {
    py::array messages = stringArray(walls, py::str(""));
    auto** message = static_cast<PyObject**>(messages.mutable_data());
    for (const std::vector<RowFailure>& found : failures) {
      for (const RowFailure& failure : found) {
        setString(message, failure.row, py::str(describeFailure(in, failure)));
      }
    }
    arrays["error"] = messages;
  }
  return arrays;
}

#ifdef BRUSK_PYTHON_HAS_REPORT
void writeReport(const std::vector<const PyWall*>& walls, const std::string& path,
                 const std::string& title, double amplitude, double periodHours) {
  if (!(amplitude > 0.0 && amplitude <= Brusk::Report::kLargestTemperatureAmplitude)) {
    throw Error("amplitude must be a number of kelvins more than 0 and at most " +
                numberText(Brusk::Report::kLargestTemperatureAmplitude) + ", got " +
                numberText(amplitude));
  }
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
      .def_readonly("z11", &TransferMatrix::z11, "Z11 [-]")
      .def_readonly("z12", &TransferMatrix::z12, "Z12 [m2.K/W]")
      .def_readonly("z21", &TransferMatrix::z21, "Z21 [W/(m2.K)]")
      .def_readonly("z22", &TransferMatrix::z22, "Z22 [-]");
  py::class_<Estimate>(m, "Estimate", "A sequential heat capacity estimate of side 1.")
      .def_readonly("value", &Estimate::value, "capacity [J/(m2.K)]")
      .def_readonly("method", &Estimate::method, "the rule that produced it");
  py::class_<SequentialHeatCapacity>(m, "SequentialHeatCapacity",
                                     "Sequential heat capacity estimates of side 1.")
      .def_readonly("daily", &SequentialHeatCapacity::daily, "for the one-day cycle")
      .def_readonly("twelve_day", &SequentialHeatCapacity::twelveDay, "for the twelve-day cycle");

  py::class_<PyResult>(m, "Result",
                       "Every characteristic of one wall at one period; attributes are named as "
                       "the JSON keys of `brusk compute`, in SI units (time shifts in hours).")
      .def_property_readonly("name", [](const PyResult& r) { return r.name; })
      .def_property_readonly(
          "period", [](const PyResult& r) { return r.result.period; }, "T [s]")
      .def_property_readonly(
          "thickness", [](const PyResult& r) { return r.result.thickness; }, "total thickness [m]")
      .def_property_readonly(
          "surface_mass", [](const PyResult& r) { return r.result.surfaceMass; }, "[kg/m2]")
      .def_property_readonly(
          "thermal_resistance", [](const PyResult& r) { return r.result.thermalResistance; },
          "R_tot with surface resistances [m2.K/W]")
      .def_property_readonly(
          "u_value", [](const PyResult& r) { return r.result.uValue; }, "U [W/(m2.K)]")
      .def_property_readonly(
          "decrement_factor", [](const PyResult& r) { return r.result.decrementFactor; },
          "f = |Y12| / U [-]")
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
          "Y12 [W/(m2.K)]")
      .def_property_readonly(
          "internal_admittance",
          [](const PyResult& r) {
            return PeriodicQuantity{toPython(r.result.internalAdmittance),
                                    r.result.internalAdmittance.getModulus(),
                                    r.result.internalAdmittanceShift};
          },
          "Y11 [W/(m2.K)]")
      .def_property_readonly(
          "external_admittance",
          [](const PyResult& r) {
            return PeriodicQuantity{toPython(r.result.externalAdmittance),
                                    r.result.externalAdmittance.getModulus(),
                                    r.result.externalAdmittanceShift};
          },
          "Y22 [W/(m2.K)]")
      .def_property_readonly(
          "internal_areal_heat_capacity",
          [](const PyResult& r) { return r.result.internalArealHeatCapacity; }, "kappa1 [J/(m2.K)]")
      .def_property_readonly(
          "external_areal_heat_capacity",
          [](const PyResult& r) { return r.result.externalArealHeatCapacity; }, "kappa2 [J/(m2.K)]")
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
