#pragma once

// Many walls given as columns: (walls, layers) tables of the layer properties and per-wall
// values, read in place through their strides (NumPy arrays, a table's columns), computed block
// by block through the many-wall kernel on several threads, straight into output columns, or
// each through one pair of temperature profiles. Rows that cannot be computed come back as
// RowFailure values, in row order, for a front end to word.

#include <complex>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "brusk/engine/many_walls.h"
#include "brusk/engine/periodic_profile.h"
#include "brusk/engine/quantities.h"

#include "brusk/engine/wall.h"
#include "brusk/engine/wall_result.h"

namespace Brusk::Engine {

/// A per-wall input: absent, one value for every wall, or one value per wall at
/// data[row * stride] (a stride in elements, possibly negative).
struct WallColumn {
  enum class Kind { None, Scalar, Array };
  Kind kind = Kind::None;
  double scalar = 0.0;
  const double* data = nullptr;
  std::ptrdiff_t stride = 1;

  [[nodiscard]] static WallColumn of(double value) { return {Kind::Scalar, value, nullptr, 1}; }
  [[nodiscard]] static WallColumn of(const double* values, std::ptrdiff_t stride) {
    return {Kind::Array, 0.0, values, stride};
  }
  [[nodiscard]] bool given() const { return kind != Kind::None; }
  /// The value of wall `row`, `fallback` where none is given.
  [[nodiscard]] double at(std::size_t row, double fallback) const {
    switch (kind) {
      case Kind::None:
        return fallback;
      case Kind::Scalar:
        return scalar;
      case Kind::Array:
        return data[static_cast<std::ptrdiff_t>(row) * stride];
    }
    return fallback;
  }
};

/// A (walls, layers) table of one layer property, element (row, column) at
/// data[row * rowStride + column * columnStride] (strides in elements); null data: not given.
struct LayerTable {
  const double* data = nullptr;
  std::size_t rows = 0;
  std::size_t columns = 0;
  std::ptrdiff_t rowStride = 0;
  std::ptrdiff_t columnStride = 1;

  [[nodiscard]] bool given() const { return data != nullptr; }
  [[nodiscard]] double at(std::size_t row, std::size_t column) const {
    return data[static_cast<std::ptrdiff_t>(row) * rowStride +
                static_cast<std::ptrdiff_t>(column) * columnStride];
  }
};

/// The walls, side 1 first in every row. A row's layers are its `layerCount` first columns,
/// or, without a count, the columns up to the first NaN thickness (NaN pads a row at its side-2
/// end). A layer of thickness 0 is a pure resistance of `resistance` [m2.K/W].
///
/// Ragged rows instead (walls of many layer counts side by side, as a batch of requests holds
/// them): with `layerBegin`, row r's layers are the cells layerBegin[r] to layerBegin[r + 1] - 1
/// of the tables read as one list (element k at data[k * columnStride]); `thickness.rows` is
/// the number of walls and `thickness.columns` the most layers of any of them. Each layer is
/// taken as it stands: no padding, and `resistance` read on every cell, as a request's layer
/// holds it.
struct ColumnWalls {
  LayerTable thickness;     ///< d [m]
  LayerTable conductivity;  ///< lambda [W/(m.K)]
  LayerTable density;       ///< rho [kg/m3]
  LayerTable specificHeat;  ///< c [J/(kg.K)]
  LayerTable resistance;    ///< R [m2.K/W], optional; 0 or NaN where a cell is no resistance
  WallColumn layerCount;    ///< whole numbers, optional
  WallColumn rsi;           ///< [m2.K/W]; NaN or absent: ISO 6946 for the wall's position
  WallColumn rse;           ///< [m2.K/W]; NaN or absent: ISO 6946 for the wall's position
  WallColumn partition;     ///< 1: both faces inside (an internal partition), 0: external
  WallColumn periodHours;   ///< T [h], 24 where absent
  HeatFlowDirection heatFlow = HeatFlowDirection::Horizontal;
  /// T [s], in place of periodHours where given: a caller that holds seconds passes them
  /// unrounded by a conversion to hours and back.
  WallColumn periodSeconds;
  const std::size_t* layerBegin = nullptr;  ///< rows + 1 offsets for ragged rows; see above
};

/// Layers as one list per property, as ColumnWalls reads them: ragged rows (with
/// `layerBegin`) or one wall repeated on every row (a row stride of 0).
struct LayerLists {
  std::vector<double> thickness, conductivity, density, specificHeat, resistance;

  void clear();
  /// Appends `count` layers, side 1 first.
  void append(const LayerProperties* layers, std::size_t count);
  /// Points the five tables of `walls` at the lists: `rows` rows of up to `columns` layers,
  /// each row read from the lists' start unless `walls.layerBegin` gives it its own.
  void setTables(ColumnWalls& walls, std::size_t rows, std::size_t columns) const;
};

/// Where the results go, one element per wall; a null column is an output not wanted. A row
/// that fails gets NaN (method -1) in every wanted column.
struct ColumnResults {
  double* period = nullptr;                                      ///< T [s]
  double* thickness = nullptr;                                   ///< [m]
  double* surfaceMass = nullptr;                                 ///< [kg/m2]
  double* thermalResistance = nullptr;                           ///< R [m2.K/W]
  double* uValue = nullptr;                                      ///< U [W/(m2.K)]
  double* decrementFactor = nullptr;                             ///< f [-]
  double* transmittanceModulus = nullptr;                        ///< |Y12| [W/(m2.K)]
  double* transmittanceShift = nullptr;                          ///< [h]
  double* timeLag = nullptr;                                     ///< [h]
  double* internalAdmittanceModulus = nullptr;                   ///< |Y11| [W/(m2.K)]
  double* internalAdmittanceShift = nullptr;                     ///< [h]
  double* externalAdmittanceModulus = nullptr;                   ///< |Y22| [W/(m2.K)]
  double* externalAdmittanceShift = nullptr;                     ///< [h]
  std::complex<double>* periodicThermalTransmittance = nullptr;  ///< Y12 [W/(m2.K)]
  std::complex<double>* internalAdmittance = nullptr;            ///< Y11 [W/(m2.K)]
  std::complex<double>* externalAdmittance = nullptr;            ///< Y22 [W/(m2.K)]
  double* internalCapacity = nullptr;                            ///< kappa1 [J/(m2.K)]
  double* externalCapacity = nullptr;                            ///< kappa2 [J/(m2.K)]
  std::complex<double>* z11 = nullptr;                           ///< Z11 [-]
  std::complex<double>* z12 = nullptr;                           ///< Z12 [m2.K/W]
  std::complex<double>* z21 = nullptr;                           ///< Z21 [W/(m2.K)]
  std::complex<double>* z22 = nullptr;                           ///< Z22 [-]
  double* dailyValue = nullptr;                                  ///< kappa_seq, 1 day [J/(m2.K)]
  std::int8_t* dailyMethod = nullptr;                            ///< its CapacityMethod
  double* twelveDayValue = nullptr;                              ///< kappa_seq, 12 days [J/(m2.K)]
  std::int8_t* twelveDayMethod = nullptr;                        ///< its CapacityMethod

  /// True when a sequential estimate is wanted (it costs a pass over the layers per wall).
  [[nodiscard]] bool wantsSequential() const {
    return dailyValue || dailyMethod || twelveDayValue || twelveDayMethod;
  }
};

/// Where ColumnResults holds one quantity of the wall description (scope compute): exactly one
/// of the three members is set. A front end names its columns after `quantity`.
struct ColumnOutput {
  const Quantity* quantity = nullptr;
  double* ColumnResults::*real = nullptr;
  std::complex<double>* ColumnResults::*complex = nullptr;
  /// A sequential estimate's CapacityMethod code, -1 for a row that failed.
  std::int8_t* ColumnResults::*method = nullptr;
  bool sequential = false;  ///< a sequential estimate: wanting it costs a pass over the layers
};

/// The column of every wall quantity, in the order of the quantity description.
[[nodiscard]] const std::vector<ColumnOutput>& columnOutputs();

/// Why a row could not be computed: the engine's problem, or a layout fault of the columns.
struct RowFailure {
  enum class Kind {
    Engine,               ///< check() refused the row's wall; see `problem`
    Overflow,             ///< the wall's result is no finite double; reworded from its wall
    LayerAfterPadding,    ///< a thickness after a NaN that padded the row
    LayerCountTooLarge,   ///< layer_count above the columns; `problem.value` holds it
    LayerCountNotWhole,   ///< layer_count negative or fractional; `problem.value` holds it
    ResistanceOnPadding,  ///< a thermal_resistance in a cell past the row's layers
    ResistanceOnSlab,     ///< a thermal_resistance in a cell with a thickness
    PartitionNotFlag,     ///< a partition other than 0 or 1 (NaN, 0.5); `problem.value` holds it
  };
  std::size_t row = 0;
  Kind kind = Kind::Engine;
  WallProblem problem;    ///< for Engine; for the layout faults `value` holds the count or R
  std::size_t layer = 0;  ///< the layer (0-based), for the layout faults
};

/// How to compute the columns.
struct ColumnOptions {
  unsigned threads = 1;            ///< 0: one per core; never more than a thread per 4096 rows
  bool stopAtFirstFailure = true;  ///< stop at the lowest failing row (the others unwritten)
  /// The many-wall vector kernel (within a few ulps of computeInto), or the single-wall kernel
  /// (computeInto's doubles bit for bit).
  bool vectorKernel = true;
  /// With the vector kernel: the instruction set (ManyWallsOptions); the widest the CPU runs
  /// when empty.
  std::optional<InstructionSet> instructionSet;
};

/// The threads computeColumns shares `rows` rows between for `threads` asked (0: one per
/// core): never more than one per 4096 rows, below which a thread costs more than it saves.
[[nodiscard]] std::size_t columnThreadCount(std::size_t rows, unsigned threads);

/// Computes every row of `walls` into `results`, as computeInto computes the row's wall.
/// Returns the failures in row order (only the first with stopAtFirstFailure). The tables must
/// all have the rows and columns of `thickness` and at most kMaxLayers columns; the caller
/// checks the shapes.
[[nodiscard]] std::vector<RowFailure> computeColumns(const ColumnWalls& walls,
                                                     const ColumnResults& results,
                                                     const ColumnOptions& options);

/// Row `row` as a wall request, for wording its failure; a layout fault leaves the layers
/// empty.
[[nodiscard]] WallRequest requestOfRow(const ColumnWalls& walls, std::size_t row);

/// Row `row` as a wall request, or the layout fault that keeps its columns from holding one
/// (a bad layer_count or partition, a layer after the padding, a misplaced resistance), for a
/// caller that computes the request itself (the profile response). The request is not checked.
[[nodiscard]] std::variant<WallRequest, RowFailure> rowRequest(const ColumnWalls& walls,
                                                               std::size_t row);

/// The lowest row that cannot be computed: its layout fault, or its request as check() refuses
/// it at the row's own period; none when every row passes. Reads the rows, computes none.
[[nodiscard]] std::optional<RowFailure> firstRefusedRow(const ColumnWalls& walls);

/// How to compute the columns' profile response.
struct ColumnSeriesOptions {
  unsigned threads = 1;  ///< 0: one per core
  /// Check every row first (firstRefusedRow) and return the lowest refused one with nothing
  /// computed; once all pass, compute them and return only the lowest failure.
  bool stopAtFirstFailure = true;
};

/// The response of every row of `walls` to `profiles` (at the profiles' period; a row's own
/// period is read only by the check before computing), as computeProfileSeries gives it for the
/// row's request (rowRequest): row r of the series and element r of the summaries of `out`,
/// whose `problems` is not used. A row that fails gets NaN in its series and in every figure of
/// its summary (main harmonic 0). Returns the failures in row order, layout faults and the
/// engine's problems alike, as computeColumns returns them.
[[nodiscard]] std::vector<RowFailure> computeColumnProfileSeries(
    const ColumnWalls& walls, const AnalysedProfiles& profiles, const ManyProfileSeries& out,
    const ColumnSeriesOptions& options);

}  // namespace Brusk::Engine
