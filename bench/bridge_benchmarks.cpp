// Two-dimensional junctions solved to the 0.1 % heat-flow criterion: a floor slab through an
// insulated wall (the generator's floor-slab layout, drawn here so that the benchmark needs only
// the engine), and ISO 10211 case 2.

#include <benchmark/benchmark.h>

#include "brusk/engine/thermal_bridge.h"
#include "brusk/engine/thermal_bridge_reference.h"

namespace {

using namespace Brusk::Engine;

/// A 200 mm concrete wall (inner face on x = 0) with 100 mm of EPS and render outside; a 200 mm
/// concrete slab into the wall's concrete up to the insulation; cut-offs at 1 m (ISO 10211 5.2.2).
BridgeRequest floorSlab() {
  BridgeRequest request;
  request.regions = {
      {-0.2, 0.0, -1.1, 1.1, 1.8},     // concrete wall
      {-0.3, -0.2, -1.1, 1.1, 0.04},   // EPS
      {-0.305, -0.3, -1.1, 1.1, 1.0},  // render
      {-0.2, 1.0, -0.1, 0.1, 1.8},     // slab, into the wall's concrete
  };
  request.environments = {{"indoor", 20.0, 0.13}, {"outdoor", 0.0, 0.04}};
  request.boundaries = {{1, -0.305, -1.1, -0.305, 1.1, {}},
                        {0, 0.0, 0.1, 0.0, 1.1, {}},
                        {0, 0.0, -1.1, 0.0, -0.1, {}},
                        {0, 0.0, 0.1, 1.0, 0.1, 0.17},
                        {0, 0.0, -0.1, 1.0, -0.1, 0.10}};
  const double u = 1.0 / (0.13 + 0.2 / 1.8 + 0.1 / 0.04 + 0.005 / 1.0 + 0.04);
  request.flanking = {{0, 1, u, 2.0}};
  request.indoor = 0;
  request.outdoor = 1;
  return request;
}

void floorSlabJunction(benchmark::State& state) {
  const BridgeRequest request = floorSlab();
  std::size_t nodes = 0;
  double change = 0.0;
  for (auto _ : state) {
    BridgeOutcome outcome = computeThermalBridge(request);
    const auto& result = std::get<BridgeResult>(outcome);
    nodes = result.grid.nodes;
    change = result.grid.lastChange;
    benchmark::DoNotOptimize(result.psi);
  }
  state.counters["nodes"] = static_cast<double>(nodes);
  state.counters["last_change"] = change;
}
BENCHMARK(floorSlabJunction)->Unit(benchmark::kMillisecond);

void iso10211Case2(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(runIso10211Case2());
}
BENCHMARK(iso10211Case2)->Unit(benchmark::kMillisecond);

}  // namespace
