#include "brusk/engine/many_wall_results.h"

#include <algorithm>
#include <complex>
#include <cstdint>
#include <vector>

#include "brusk/engine/many_columns.h"

#include "wall_result_detail.h"

namespace Brusk::Engine {

namespace {

/// A column's estimate as WallResult holds it: capacity 0 with no rule, where the column
/// holds NaN (SequentialEstimate::value()).
SequentialEstimate estimateOf(double value, std::int8_t method) {
  const auto rule = static_cast<CapacityMethod>(method);
  return {rule == None ? 0.0 : value, rule};
}

/// One call's columns: the requests' layers as ragged rows, and the results as columns that
/// the WallResults are then assembled from. Kept per thread, so that a batch calling block
/// after block reuses them.
struct RequestColumns {
  std::vector<std::size_t> request;  // the request of each row
  std::vector<std::size_t> layerBegin;
  LayerLists layers;
  std::vector<double> rsi, rse, partition, period;
  std::vector<std::complex<double>> z11, z12, z21, z22, y12, y11, y22;
  std::vector<double> capacity1, capacity2, resistanceTotal, uValue, decrement, seconds,
      thicknessTotal, surfaceMass, shift12, shift11, shift22, lag, daily, twelveDay;
  std::vector<std::int8_t> dailyMethod, twelveDayMethod;

  /// The requests that pass check() as rows (the others get its problem), the columns as wide
  /// as the longest of them.
  ColumnWalls walls(const WallRequest* requests, std::size_t count,
                    std::optional<WallProblem>* problems) {
    request.clear();
    layerBegin.assign(1, 0);
    layers.clear();
    for (std::vector<double>* column : {&rsi, &rse, &partition, &period}) column->clear();
    std::size_t longest = 0;
    for (std::size_t i = 0; i < count; ++i) {
      // Checked here, on the request, so that an override NaN is refused as check() refuses
      // it (a NaN in the columns keeps the convention).
      problems[i] = check(requests[i]);
      if (problems[i]) continue;
      request.push_back(i);
      const WallRequest& wall = requests[i];
      layers.append(wall.layers.data(), wall.layers.size());
      layerBegin.push_back(layers.thickness.size());
      longest = std::max(longest, wall.layers.size());
      // The resolved surface resistances: the conventional ones always pass the check, so
      // checking them finds what checking only the overrides finds.
      const ElementBoundary boundary = wall.boundary();
      rsi.push_back(boundary.internalSurfaceResistance);
      rse.push_back(boundary.externalSurfaceResistance);
      partition.push_back(boundary.partition ? 1.0 : 0.0);
      period.push_back(wall.period);
    }
    ColumnWalls walls;
    layers.setTables(walls, request.size(), longest);
    walls.rsi = WallColumn::of(rsi.data(), 1);
    walls.rse = WallColumn::of(rse.data(), 1);
    walls.partition = WallColumn::of(partition.data(), 1);
    walls.periodSeconds = WallColumn::of(period.data(), 1);
    walls.layerBegin = layerBegin.data();
    return walls;
  }

  /// Output columns for `count` walls; the sequential ones only when wanted.
  ColumnResults results(std::size_t count, bool sequential) {
    for (std::vector<std::complex<double>>* column : {&z11, &z12, &z21, &z22, &y12, &y11, &y22}) {
      column->resize(count);
    }
    for (std::vector<double>* column :
         {&capacity1, &capacity2, &resistanceTotal, &uValue, &decrement, &seconds, &thicknessTotal,
          &surfaceMass, &shift12, &shift11, &shift22, &lag, &daily, &twelveDay}) {
      column->resize(count);
    }
    dailyMethod.resize(count);
    twelveDayMethod.resize(count);
    ColumnResults out;
    out.z11 = z11.data();
    out.z12 = z12.data();
    out.z21 = z21.data();
    out.z22 = z22.data();
    out.periodicThermalTransmittance = y12.data();
    out.internalAdmittance = y11.data();
    out.externalAdmittance = y22.data();
    out.internalCapacity = capacity1.data();
    out.externalCapacity = capacity2.data();
    out.thermalResistance = resistanceTotal.data();
    out.uValue = uValue.data();
    out.decrementFactor = decrement.data();
    out.period = seconds.data();
    out.thickness = thicknessTotal.data();
    out.surfaceMass = surfaceMass.data();
    out.transmittanceShift = shift12.data();
    out.internalAdmittanceShift = shift11.data();
    out.externalAdmittanceShift = shift22.data();
    out.timeLag = lag.data();
    if (sequential) {
      out.dailyValue = daily.data();
      out.dailyMethod = dailyMethod.data();
      out.twelveDayValue = twelveDay.data();
      out.twelveDayMethod = twelveDayMethod.data();
    }
    return out;
  }

  /// Row `i` as computeInto fills a result.
  void result(std::size_t i, bool sequential, WallResult& out) const {
    const auto complexAt = [i](const std::vector<std::complex<double>>& column) {
      return Complex{column[i].real(), column[i].imag()};
    };
    out.z11 = complexAt(z11);
    out.z12 = complexAt(z12);
    out.z21 = complexAt(z21);
    out.z22 = complexAt(z22);
    out.periodicThermalTransmittance = complexAt(y12);
    out.internalAdmittance = complexAt(y11);
    out.externalAdmittance = complexAt(y22);
    out.internalArealHeatCapacity = capacity1[i];
    out.externalArealHeatCapacity = capacity2[i];
    out.thermalResistance = resistanceTotal[i];
    out.uValue = uValue[i];
    out.decrementFactor = decrement[i];
    out.period = seconds[i];
    out.thickness = thicknessTotal[i];
    out.surfaceMass = surfaceMass[i];
    out.periodicThermalTransmittanceShift = shift12[i];
    out.internalAdmittanceShift = shift11[i];
    out.externalAdmittanceShift = shift22[i];
    out.timeLag = lag[i];
    if (sequential) {
      out.daily = estimateOf(daily[i], dailyMethod[i]);
      out.twelveDay = estimateOf(twelveDay[i], twelveDayMethod[i]);
    } else {
      out.daily = out.twelveDay = SequentialEstimate{};
    }
  }
};

}  // namespace

void computeManyInto(const WallRequest* requests, std::size_t count, WallResult* results,
                     std::optional<WallProblem>* problems, const ManyWallsOptions& options,
                     bool sequential) {
  thread_local RequestColumns columns;
  const ColumnWalls walls = columns.walls(requests, count, problems);
  const std::size_t rows = columns.request.size();
  const ColumnResults out = columns.results(rows, sequential);
  ColumnOptions columnOptions;
  columnOptions.threads = options.threads == 0 ? 1 : options.threads;
  columnOptions.stopAtFirstFailure = false;
  columnOptions.instructionSet = options.instructionSet;
  // The rows passed check(): what fails now is a matrix too large for doubles.
  const std::vector<RowFailure> failures = computeColumns(walls, out, columnOptions);
  std::size_t next = 0;  // the failures come in row order
  for (std::size_t row = 0; row < rows; ++row) {
    const std::size_t i = columns.request[row];
    if (next < failures.size() && failures[next].row == row) {
      ++next;
      problems[i] = Detail::overflowProblem(requests[i]);
      continue;
    }
    columns.result(row, sequential, results[i]);
  }
}

}  // namespace Brusk::Engine
