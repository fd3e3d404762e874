// The many-wall kernel over columns read in place: each thread takes a contiguous share of the
// rows and reads them block by block into the kernel's structure of arrays (ManyWallsOptions
// with one thread), checking each row as check() checks a request, so that a refused row ends
// its block and the next one starts after it.

#include "brusk/engine/many_columns.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <limits>
#include <optional>
#include <string_view>
#include <thread>
#include <variant>

#include "brusk/engine/constants.h"
#include "brusk/engine/layer_properties.h"
#include "brusk/engine/many_walls.h"
#include "brusk/engine/sequential_capacity.h"

namespace Brusk::Engine {

namespace {

void writeNaN(const ColumnResults& out, std::size_t row) {
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
  for (std::complex<double>* column :
       {out.z11, out.z12, out.z21, out.z22, out.periodicThermalTransmittance,
        out.internalAdmittance, out.externalAdmittance}) {
    if (column) column[row] = complexNaN;
  }
  if (out.dailyMethod) out.dailyMethod[row] = -1;
  if (out.twelveDayMethod) out.twelveDayMethod[row] = -1;
}

RowFailure layoutFailure(std::size_t row, RowFailure::Kind kind, std::size_t layer, double value) {
  RowFailure failure{row, kind, {}, layer};
  failure.problem.value = value;
  return failure;
}

/// Cell (row, column) of one layer property: through the strides, or, for ragged rows, the
/// row's column-th layer of the list.
double cell(const ColumnWalls& in, const LayerTable& table, std::size_t row, std::size_t column) {
  if (in.layerBegin != nullptr) {
    return table
        .data[static_cast<std::ptrdiff_t>(in.layerBegin[row] + column) * table.columnStride];
  }
  return table.at(row, column);
}

/// A thermal_resistance only where a pure resistance layer (thickness 0) stands: one on a cell
/// past the row's layers, or beside a thickness, would be dropped without a word.
std::optional<RowFailure> misplacedResistance(const ColumnWalls& in, std::size_t row,
                                              std::size_t layers) {
  if (!in.resistance.given()) return std::nullopt;
  for (std::size_t column = 0; column < in.thickness.columns; ++column) {
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
std::variant<std::size_t, RowFailure> rowLayerCount(const ColumnWalls& in, std::size_t row) {
  // A partition flag is true or false; NaN, 0.5 or 2 is no answer, whatever != 0 would say.
  const double partition = in.partition.at(row, 0.0);
  if (partition != 0.0 && partition != 1.0) {
    return layoutFailure(row, RowFailure::Kind::PartitionNotFlag, 0, partition);
  }
  if (in.layerBegin != nullptr) return in.layerBegin[row + 1] - in.layerBegin[row];
  const std::size_t columns = in.thickness.columns;
  std::size_t count = 0;
  if (in.layerCount.given()) {
    const double given = in.layerCount.at(row, 0.0);
    // Compared as a double before any cast: inf or 1e300 has no integer to become.
    if (!(std::isfinite(given) && given >= 0.0 && given == std::floor(given))) {
      return layoutFailure(row, RowFailure::Kind::LayerCountNotWhole, 0, given);
    }
    if (given > static_cast<double>(columns)) {
      return layoutFailure(row, RowFailure::Kind::LayerCountTooLarge, 0, given);
    }
    count = static_cast<std::size_t>(given);
  } else {
    // NaN thickness pads a row at its side-2 end; a layer after the padding would be lost.
    while (count < columns && !std::isnan(in.thickness.at(row, count))) ++count;
    for (std::size_t later = count + 1; later < columns; ++later) {
      if (!std::isnan(in.thickness.at(row, later))) {
        return RowFailure{row, RowFailure::Kind::LayerAfterPadding, {}, later};
      }
    }
  }
  if (std::optional<RowFailure> failure = misplacedResistance(in, row, count)) return *failure;
  return count;
}

LayerProperties layerAt(const ColumnWalls& in, std::size_t row, std::size_t column) {
  return LayerProperties{cell(in, in.thickness, row, column),
                         cell(in, in.conductivity, row, column), cell(in, in.density, row, column),
                         cell(in, in.specificHeat, row, column),
                         in.resistance.given() ? cell(in, in.resistance, row, column) : 0.0};
}

/// T [s] of row `row`: its seconds, else its hours, else the daily cycle.
double periodAt(const ColumnWalls& in, std::size_t row) {
  if (in.periodSeconds.given()) return in.periodSeconds.at(row, kDailyPeriod);
  return in.periodHours.at(row, 24.0) * kSecondsPerHour;
}

ElementPosition positionAt(const ColumnWalls& in, std::size_t row) {
  return in.partition.at(row, 0.0) != 0.0 ? ElementPosition::Internal : ElementPosition::External;
}

/// A block's layers and per-wall values in the many-wall kernel's layout, and the scratch of
/// its sequential estimates.
struct BlockArrays {
  std::vector<std::size_t> layerBegin;
  std::vector<double> thickness, conductivity, density, specificHeat, resistance;
  std::vector<double> rsi, rse, period;
  std::vector<std::uint8_t> partition, computed;
  std::vector<LayerProperties> layers;
};

/// The calling thread's block arrays, kept from call to call: `brusk batch` computes a few
/// hundred walls per call, and allocating and clearing a dozen arrays each time was about 3 %
/// of its instructions. They keep the size of the widest table the thread has computed.
BlockArrays& threadBlockArrays() {
  thread_local BlockArrays arrays;
  return arrays;
}

/// One thread's rows read block by block into the many-wall kernel's layout, checked by the
/// engine, and computed straight into the output arrays: no request or result per wall.
class RowBlocks {
public:
  RowBlocks(const ColumnWalls& in, const ColumnResults& out, const ColumnOptions& options,
            std::vector<RowFailure>& failures)
      : _in(in),
        _out(out),
        _work(threadBlockArrays()),
        _failures(failures),
        _stop(options.stopAtFirstFailure),
        _sequential(out.wantsSequential()),
        _externalConvention(conventionalSurfaceResistances(ElementPosition::External, in.heatFlow)),
        _internalConvention(
            conventionalSurfaceResistances(ElementPosition::Internal, in.heatFlow)) {
    // Sized once per thread: the same size again allocates and clears nothing.
    const auto layers = static_cast<std::size_t>(in.thickness.columns) * kBlock;
    for (std::vector<double>* column : {&_work.thickness, &_work.conductivity, &_work.density,
                                        &_work.specificHeat, &_work.resistance}) {
      column->resize(layers);
    }
    for (std::vector<double>* column : {&_work.rsi, &_work.rse, &_work.period}) {
      column->resize(kBlock);
    }
    _work.partition.resize(kBlock);
    _work.computed.resize(kBlock);
    _work.layerBegin.resize(kBlock + 1);
    _work.layerBegin[0] = 0;  // the first wall's layers start the block
    _options.threads = 1;     // the rows are already shared between threads
    _options.instructionSet =
        options.vectorKernel ? options.instructionSet : std::optional(InstructionSet::Baseline);
  }

  /// Computes rows [begin, end); false once a failure has stopped it.
  bool compute(std::size_t begin, std::size_t end) {
    _first = begin;
    _walls = 0;
    for (std::size_t row = begin; row < end; ++row) {
      if (const std::optional<RowFailure> failure = read(row)) {
        // The block ends before the refused row and the next one starts after it.
        if (!flush()) return false;
        writeNaN(_out, row);
        _failures.push_back(*failure);
        if (_stop) return false;
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
  std::optional<RowFailure> read(std::size_t row) {
    const auto count = rowLayerCount(_in, row);
    if (const RowFailure* failure = std::get_if<RowFailure>(&count)) return *failure;
    const auto layers = static_cast<std::size_t>(std::get<std::size_t>(count));
    if (layers > _in.thickness.columns) {
      // Only a ragged row can be longer than the columns the block holds: a wall of more than
      // kMaxLayers is refused with the problem check() finds first, a shorter one is a layout
      // fault of the caller's.
      if (std::optional<WallProblem> problem = check(requestOfRow(_in, row))) {
        return RowFailure{row, RowFailure::Kind::Engine, *problem, 0};
      }
      return layoutFailure(row, RowFailure::Kind::LayerCountTooLarge, 0,
                           static_cast<double>(layers));
    }
    const std::size_t wall = _walls;
    const std::size_t start = _work.layerBegin[wall];
    // The check as the layers are copied: the usual valid row costs no second pass, and only a
    // refused one goes through checkWall for its problem, in check()'s order.
    bool computable = layers > 0 && layers <= kMaxLayers;
    // Each table walked along the row by its own stride: the hot loop of a NumPy call, so no
    // index arithmetic per cell.
    Cursor thickness = cursor(_in.thickness, row), conductivity = cursor(_in.conductivity, row),
           density = cursor(_in.density, row), specificHeat = cursor(_in.specificHeat, row),
           resistance = cursor(_in.resistance, row);
    for (std::size_t i = 0; i < layers; ++i) {
      const LayerProperties layer{thickness.next(), conductivity.next(), density.next(),
                                  specificHeat.next(), resistance.next()};
      computable = computable && isComputableLayer(layer);
      _work.thickness[start + i] = layer.thickness;
      _work.conductivity[start + i] = layer.conductivity;
      _work.density[start + i] = layer.density;
      _work.specificHeat[start + i] = layer.specificHeat;
      _work.resistance[start + i] = layer.resistance;
    }
    _work.layerBegin[wall + 1] = start + layers;
    const ElementPosition position = positionAt(_in, row);
    const SurfaceResistances& conventional =
        position == ElementPosition::Internal ? _internalConvention : _externalConvention;
    // NaN in an override keeps the convention for that wall.
    const double rsi = _in.rsi.at(row, conventional.internal);
    const double rse = _in.rse.at(row, conventional.external);
    _work.rsi[wall] = std::isnan(rsi) ? conventional.internal : rsi;
    _work.rse[wall] = std::isnan(rse) ? conventional.external : rse;
    _work.partition[wall] = position == ElementPosition::Internal ? 1 : 0;
    const double period = periodAt(_in, row);
    _work.period[wall] = period;
    computable = computable && surfaceResistanceTaken(_work.rsi[wall]) &&
                 surfaceResistanceTaken(_work.rse[wall]) && period >= kShortestPeriod &&
                 period <= kLongestPeriod;
    if (!computable) {
      if (std::optional<WallProblem> problem = checkWall(arrays(wall + 1), wall)) {
        return RowFailure{row, RowFailure::Kind::Engine, *problem, 0};
      }
    }
    ++_walls;
    return std::nullopt;
  }

  /// The cells of one row of a table, in column order; a table not given reads as zeros.
  struct Cursor {
    const double* cell;
    std::ptrdiff_t step;
    double next() {
      if (cell == nullptr) return 0.0;
      const double value = *cell;
      cell += step;
      return value;
    }
  };
  [[nodiscard]] Cursor cursor(const LayerTable& table, std::size_t row) const {
    if (!table.given()) return {nullptr, 0};
    const std::ptrdiff_t first =
        _in.layerBegin != nullptr
            ? static_cast<std::ptrdiff_t>(_in.layerBegin[row]) * table.columnStride
            : static_cast<std::ptrdiff_t>(row) * table.rowStride;
    return {table.data + first, table.columnStride};
  }

  /// A surface resistance check() takes: finite and not negative (0 is a face in perfect
  /// contact with its environment). False for NaN.
  static bool surfaceResistanceTaken(double value) {
    return value >= 0.0 && value <= std::numeric_limits<double>::max();
  }

  [[nodiscard]] WallArrays arrays(std::size_t walls) const {
    return {walls,
            _work.layerBegin.data(),
            _work.thickness.data(),
            _work.conductivity.data(),
            _work.density.data(),
            _work.specificHeat.data(),
            _work.resistance.data(),
            _work.rsi.data(),
            _work.rse.data(),
            _work.partition.data(),
            _work.period.data()};
  }

  /// Computes the block's walls, rows _first on, into the output arrays.
  bool flush() {
    const std::size_t walls = _walls;
    _walls = 0;
    if (walls == 0) return true;
    const auto first = static_cast<std::size_t>(_first);
    const auto real = [&](double* column) { return column ? column + first : nullptr; };
    const auto pairs = [&](std::complex<double>* column) {
      if (!column) return ComplexColumns{};
      // std::complex<double> is an array of two doubles, real part first.
      double* const parts = reinterpret_cast<double*>(column + first);
      return ComplexColumns{parts, parts + 1, 2};
    };
    ResponseArrays columns;
    columns.z11 = pairs(_out.z11);
    columns.z12 = pairs(_out.z12);
    columns.z21 = pairs(_out.z21);
    columns.z22 = pairs(_out.z22);
    columns.periodicThermalTransmittance = pairs(_out.periodicThermalTransmittance);
    columns.internalAdmittance = pairs(_out.internalAdmittance);
    columns.externalAdmittance = pairs(_out.externalAdmittance);
    columns.internalArealHeatCapacity = real(_out.internalCapacity);
    columns.externalArealHeatCapacity = real(_out.externalCapacity);
    columns.thermalResistance = real(_out.thermalResistance);
    columns.uValue = real(_out.uValue);
    columns.decrementFactor = real(_out.decrementFactor);
    columns.computed = _work.computed.data();
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
    const WallArrays block = arrays(walls);
    computeManyWalls(block, columns, _options);

    for (std::size_t wall = 0; wall < walls; ++wall) {
      const auto row = static_cast<std::size_t>(first + wall);
      if (_work.computed[wall] == 0) {
        writeNaN(_out, row);
        _failures.push_back(RowFailure{row, RowFailure::Kind::Overflow, {}, 0});
        if (_stop) return false;
        continue;
      }
      if (_sequential) estimate(block, wall, row);
    }
    return true;
  }

  /// Both sequential estimates of a computed wall, as computeInto adds them.
  void estimate(const WallArrays& block, std::size_t wall, std::size_t row) {
    const std::size_t start = block.layerBegin[wall];
    const std::size_t count = block.layerBegin[wall + 1] - start;
    _work.layers.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
      _work.layers[i] = LayerProperties{_work.thickness[start + i], _work.conductivity[start + i],
                                        _work.density[start + i], _work.specificHeat[start + i],
                                        _work.resistance[start + i]};
    }
    SequentialEstimate daily, twelveDay;
    estimateSequentialCapacities(_work.layers.data(), count, _work.rsi[wall], daily, twelveDay);
    if (_out.dailyValue) _out.dailyValue[row] = daily.value();
    if (_out.dailyMethod) _out.dailyMethod[row] = static_cast<std::int8_t>(daily.method);
    if (_out.twelveDayValue) _out.twelveDayValue[row] = twelveDay.value();
    if (_out.twelveDayMethod) {
      _out.twelveDayMethod[row] = static_cast<std::int8_t>(twelveDay.method);
    }
  }

  const ColumnWalls& _in;
  const ColumnResults& _out;
  BlockArrays& _work;
  std::vector<RowFailure>& _failures;
  const bool _stop;        ///< stop at the first failure
  const bool _sequential;  ///< the sequential estimates are wanted
  ManyWallsOptions _options;
  std::size_t _first = 0;  ///< the row of the block's first wall
  std::size_t _walls = 0;  ///< walls read into the block
  /// The ISO 6946 surface resistances of the heat flow, for external walls and partitions.
  const SurfaceResistances _externalConvention;
  const SurfaceResistances _internalConvention;
};

/// Computes rows [begin, end) into `out`, collecting the failures.
void computeRows(const ColumnWalls& in, const ColumnResults& out, const ColumnOptions& options,
                 std::size_t begin, std::size_t end, std::vector<RowFailure>& failures) {
  RowBlocks blocks(in, out, options, failures);
  (void)blocks.compute(begin, end);
}

}  // namespace

void LayerLists::clear() {
  for (std::vector<double>* list :
       {&thickness, &conductivity, &density, &specificHeat, &resistance}) {
    list->clear();
  }
}

void LayerLists::append(const LayerProperties* layers, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    thickness.push_back(layers[i].thickness);
    conductivity.push_back(layers[i].conductivity);
    density.push_back(layers[i].density);
    specificHeat.push_back(layers[i].specificHeat);
    resistance.push_back(layers[i].resistance);
  }
}

void LayerLists::setTables(ColumnWalls& walls, std::size_t rows, std::size_t columns) const {
  const auto table = [&](const std::vector<double>& list) {
    return LayerTable{list.data(), rows, columns, 0, 1};
  };
  walls.thickness = table(thickness);
  walls.conductivity = table(conductivity);
  walls.density = table(density);
  walls.specificHeat = table(specificHeat);
  walls.resistance = table(resistance);
}

const std::vector<ColumnOutput>& columnOutputs() {
  static const std::vector<ColumnOutput> outputs = [] {
    using R = ColumnResults;
    struct Place {
      std::string_view key;
      double* R::*real;
      std::complex<double>* R::*complex;
      std::int8_t* R::*method;
    };
    const Place places[] = {
        {"period", &R::period, nullptr, nullptr},
        {"thickness", &R::thickness, nullptr, nullptr},
        {"surface_mass", &R::surfaceMass, nullptr, nullptr},
        {"thermal_resistance", &R::thermalResistance, nullptr, nullptr},
        {"u_value", &R::uValue, nullptr, nullptr},
        {"decrement_factor", &R::decrementFactor, nullptr, nullptr},
        {"periodic_thermal_transmittance.modulus", &R::transmittanceModulus, nullptr, nullptr},
        {"periodic_thermal_transmittance.time_shift", &R::transmittanceShift, nullptr, nullptr},
        {"periodic_thermal_transmittance.time_lag", &R::timeLag, nullptr, nullptr},
        {"internal_admittance.modulus", &R::internalAdmittanceModulus, nullptr, nullptr},
        {"internal_admittance.time_shift", &R::internalAdmittanceShift, nullptr, nullptr},
        {"external_admittance.modulus", &R::externalAdmittanceModulus, nullptr, nullptr},
        {"external_admittance.time_shift", &R::externalAdmittanceShift, nullptr, nullptr},
        {"internal_areal_heat_capacity", &R::internalCapacity, nullptr, nullptr},
        {"external_areal_heat_capacity", &R::externalCapacity, nullptr, nullptr},
        {"transfer_matrix.z11", nullptr, &R::z11, nullptr},
        {"transfer_matrix.z12", nullptr, &R::z12, nullptr},
        {"transfer_matrix.z21", nullptr, &R::z21, nullptr},
        {"transfer_matrix.z22", nullptr, &R::z22, nullptr},
        {"sequential_heat_capacity.daily.value", &R::dailyValue, nullptr, nullptr},
        {"sequential_heat_capacity.daily.method", nullptr, nullptr, &R::dailyMethod},
        {"sequential_heat_capacity.twelve_day.value", &R::twelveDayValue, nullptr, nullptr},
        {"sequential_heat_capacity.twelve_day.method", nullptr, nullptr, &R::twelveDayMethod},
    };
    std::vector<ColumnOutput> found;
    for (const Quantity& q : quantities()) {
      if (q.scope != QuantityScope::Wall) continue;
      // Every wall quantity has its column: the tests walk the description through it.
      const Place* place = std::find_if(std::begin(places), std::end(places),
                                        [&](const Place& p) { return p.key == q.key; });
      if (place == std::end(places)) continue;
      found.push_back({&q, place->real, place->complex, place->method,
                       q.key.substr(0, 24) == "sequential_heat_capacity"});
    }
    return found;
  }();
  return outputs;
}

std::size_t columnThreadCount(std::size_t rows, unsigned threads) {
  const std::size_t asked =
      threads > 0 ? threads : std::max(1U, std::thread::hardware_concurrency());
  return std::min(asked, rows / 4096 + 1);
}

std::vector<RowFailure> computeColumns(const ColumnWalls& walls, const ColumnResults& results,
                                       const ColumnOptions& options) {
  const std::size_t rows = walls.thickness.rows;
  const std::size_t threadCount = columnThreadCount(rows, options.threads);
  std::vector<std::vector<RowFailure>> failures(threadCount);
  const auto chunk = [&](std::size_t index) { return rows * index / threadCount; };
  std::vector<std::thread> workers;
  for (std::size_t index = 1; index < threadCount; ++index) {
    workers.emplace_back(computeRows, std::cref(walls), std::cref(results), std::cref(options),
                         chunk(index), chunk(index + 1), std::ref(failures[index]));
  }
  computeRows(walls, results, options, 0, chunk(1), failures[0]);
  for (std::thread& worker : workers) worker.join();

  // The shares are in row order: the first failure found is the lowest row.
  std::vector<RowFailure> found;
  for (std::vector<RowFailure>& share : failures) {
    if (options.stopAtFirstFailure && !share.empty()) return {share.front()};
    found.insert(found.end(), share.begin(), share.end());
  }
  return found;
}

namespace {

/// Row `row` as a request of its first `layers` layers.
WallRequest requestWithLayers(const ColumnWalls& in, std::size_t row, std::size_t layers) {
  WallRequest request;
  for (std::size_t column = 0; column < layers; ++column) {
    request.layers.push_back(layerAt(in, row, column));
  }
  request.position = positionAt(in, row);
  request.heatFlow = in.heatFlow;
  // NaN in an override keeps the convention for that wall.
  const double rsi = in.rsi.at(row, std::numeric_limits<double>::quiet_NaN());
  const double rse = in.rse.at(row, std::numeric_limits<double>::quiet_NaN());
  if (!std::isnan(rsi)) request.internalSurfaceResistance = rsi;
  if (!std::isnan(rse)) request.externalSurfaceResistance = rse;
  request.period = periodAt(in, row);
  return request;
}

}  // namespace

WallRequest requestOfRow(const ColumnWalls& in, std::size_t row) {
  const auto count = rowLayerCount(in, row);
  const std::size_t* layers = std::get_if<std::size_t>(&count);
  return requestWithLayers(in, row, layers ? *layers : 0);
}

std::variant<WallRequest, RowFailure> rowRequest(const ColumnWalls& in, std::size_t row) {
  const auto count = rowLayerCount(in, row);
  if (const RowFailure* failure = std::get_if<RowFailure>(&count)) return *failure;
  return requestWithLayers(in, row, std::get<std::size_t>(count));
}

}  // namespace Brusk::Engine
