// Throughput of result text: the shortest round-trip text of one double, and one CSV row.
//
// std::to_chars and fmt's shortest format ("{}", the same digits in fmt's own notation) are
// timed beside writeShortestDouble on the same values, so the speed-up is read as a ratio from
// one run. The values are the fields of computed random walls, so their digit counts and
// exponents are those a batch run writes.
#include <benchmark/benchmark.h>
#include <fmt/compile.h>
#include <fmt/format.h>

#include <charconv>
#include <cstddef>
#include <string>
#include <vector>

#include "brusk/engine/periodic_response.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/wall.h"
#include "random_walls.h"

namespace {

using namespace Brusk;
using namespace Brusk::Frontend;
using Engine::WallResult;

constexpr std::size_t kWalls = 1024;

/// Every number a CSV row holds, for a pool of random five-layer walls.
const std::vector<WallResult>& results() {
  static const std::vector<WallResult> pool = [] {
    const Bench::WallPool walls = Bench::makeWallPool(5, kWalls);
    std::vector<WallResult> out;
    for (std::size_t i = 0; i < walls.wallCount(); ++i) {
      Wall wall;
      wall.name = "wall-" + std::to_string(i);
      for (std::size_t j = 0; j < walls.layersPerWall; ++j) wall.addLayer(walls.wall(i)[j], {});
      wall.request.internalSurfaceResistance = walls.boundaries[i].internalSurfaceResistance;
      wall.request.externalSurfaceResistance = walls.boundaries[i].externalSurfaceResistance;
      out.push_back(computeWall(wall));
    }
    return out;
  }();
  return pool;
}

const std::vector<double>& numbers() {
  static const std::vector<double> values = [] {
    std::vector<double> out;
    for (const WallResult& r : results()) {
      out.insert(out.end(),
                 {r.thickness, r.surfaceMass, r.thermalResistance, r.uValue, r.decrementFactor,
                  r.periodicThermalTransmittance.getModulus(), r.periodicThermalTransmittanceShift,
                  r.timeLag, r.internalAdmittance.getModulus(), r.internalAdmittanceShift,
                  r.externalArealHeatCapacity, r.z11.getRealPart(), r.z11.getImaginaryPart(),
                  r.z12.getRealPart(), r.z12.getImaginaryPart(), r.daily.capacity});
    }
    return out;
  }();
  return values;
}

template <typename Write>
void writeNumbers(benchmark::State& state, Write write) {
  const std::vector<double>& values = numbers();
  char buffer[kShortestDoubleRoom];
  std::size_t next = 0;
  for (auto _ : state) {
    char* end = write(values[next], buffer);
    benchmark::DoNotOptimize(end);
    benchmark::ClobberMemory();
    next = next + 1 == values.size() ? 0 : next + 1;
  }
  state.SetItemsProcessed(state.iterations());
}

void shortestDoubleStdToChars(benchmark::State& state) {
  writeNumbers(state, [](double value, char* out) {
    return std::to_chars(out, out + kShortestDoubleRoom, value).ptr;
  });
}
BENCHMARK(shortestDoubleStdToChars);

void shortestDoubleFmt(benchmark::State& state) {
  writeNumbers(
      state, [](double value, char* out) { return fmt::format_to(out, FMT_COMPILE("{}"), value); });
}
BENCHMARK(shortestDoubleFmt);

void shortestDoubleBrusk(benchmark::State& state) {
  writeNumbers(state, [](double value, char* out) { return writeShortestDouble(value, out); });
}
BENCHMARK(shortestDoubleBrusk);

/// One item is one row of 28 columns.
void csvRow(benchmark::State& state) {
  const std::vector<WallResult>& pool = results();
  std::string row;
  std::size_t next = 0;
  for (auto _ : state) {
    row.clear();
    appendCsvRow("wall", pool[next], row);
    benchmark::DoNotOptimize(row.data());
    next = next + 1 == pool.size() ? 0 : next + 1;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(csvRow);

}  // namespace
