// Throughput of the calculation kernels, in walls per second (items_per_second).
//
// Each benchmark cycles through a fixed pool of seeded random walls. The "Baseline" kernel is
// the pre-optimisation copy kept in this folder only, timed beside the engine's kernel so that
// the speed-up is read from one run on one machine.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "baseline_periodic_response.h"
#include "brusk/engine/bridged_element.h"
#include "brusk/engine/inertia.h"
#include "brusk/engine/layer.h"
#include "brusk/engine/many_walls.h"
#include "brusk/engine/periodic_response.h"
#include "brusk/engine/sequential_capacity.h"
#include "brusk/engine/surface.h"
#include "brusk/engine/wall.h"
#include "brusk/engine/wall_result.h"
#include "random_walls.h"

namespace {

using namespace Brusk;

// Small enough to stay in cache, large enough that branch prediction cannot learn the walls.
constexpr std::size_t kPoolSize = 1024;

/// The pool for a layer count, built once and shared read-only by every benchmark thread.
const Bench::WallPool& poolOf(std::int64_t layersPerWall) {
  static const Bench::WallPool pools[] = {
      Bench::makeWallPool(1, kPoolSize), Bench::makeWallPool(2, kPoolSize),
      Bench::makeWallPool(3, kPoolSize), Bench::makeWallPool(4, kPoolSize),
      Bench::makeWallPool(5, kPoolSize), Bench::makeWallPool(6, kPoolSize)};
  return pools[layersPerWall - 1];
}

/// Times `computeOne(layers, count, boundary)` over the pool; one item is one wall.
template <typename Kernel>
void runOverPool(benchmark::State& state, Kernel computeOne) {
  const Bench::WallPool& pool = poolOf(state.range(0));
  std::size_t index = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        computeOne(pool.wall(index), pool.layersPerWall, pool.boundaries[index]));
    if (++index == pool.wallCount()) index = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

void periodicResponse(benchmark::State& state) {
  runOverPool(state, [](const Engine::LayerProperties* layers, std::size_t count,
                        const Engine::ElementBoundary& boundary) {
    Engine::PeriodicResponse response;
    const bool finite =
        Engine::computePeriodicResponse(layers, count, boundary, Engine::kDailyPeriod, response);
    benchmark::DoNotOptimize(response);
    return finite;
  });
}

void baselinePeriodicResponse(benchmark::State& state) {
  runOverPool(state, [](const Engine::LayerProperties* layers, std::size_t count,
                        const Engine::ElementBoundary& boundary) {
    Engine::PeriodicResponse response;
    const bool finite = Bench::Baseline::computePeriodicResponse(layers, count, boundary,
                                                                 Engine::kDailyPeriod, response);
    benchmark::DoNotOptimize(response);
    return finite;
  });
}

void sequentialCapacity(benchmark::State& state) {
  runOverPool(state, [](const Engine::LayerProperties* layers, std::size_t count,
                        const Engine::ElementBoundary& boundary) {
    double capacity = 0.0;
    int method = Engine::None;
    Engine::computeSequentialCapacity(layers, count, boundary.internalSurfaceResistance,
                                      Engine::Daily, capacity, method);
    benchmark::DoNotOptimize(method);
    return capacity;
  });
}

/// The whole pool through the many-wall kernel in one call per iteration, on the calling thread
/// (the /threads:2 rows run two such calls side by side); one item is one wall. The kernel is
/// the default one for this CPU, reported as the row's label.
void manyWalls(benchmark::State& state) {
  const Bench::WallPool& pool = poolOf(state.range(0));
  Engine::ManyWallsInput input;
  for (std::size_t wall = 0; wall < pool.wallCount(); ++wall) {
    input.add(pool.wall(wall), pool.layersPerWall, pool.boundaries[wall], Engine::kDailyPeriod);
  }
  Engine::ManyWallsOutput output;
  output.resize(input.wallCount());
  const Engine::WallArrays walls = input.arrays();
  const Engine::ResponseArrays responses = output.arrays();
  for (auto _ : state) {
    Engine::computeManyWalls(walls, responses);
    benchmark::DoNotOptimize(responses.decrementFactor[0]);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(pool.wallCount()));
  state.SetLabel(Engine::instructionSetName(Engine::defaultInstructionSet()));
}

/// The pool's walls as the engine's requests, with the pool's surface resistances as overrides.
std::vector<Engine::WallRequest> makeRequests(const Bench::WallPool& pool) {
  std::vector<Engine::WallRequest> requests(pool.wallCount());
  for (std::size_t wall = 0; wall < pool.wallCount(); ++wall) {
    Engine::WallRequest& request = requests[wall];
    request.layers.assign(pool.wall(wall), pool.wall(wall) + pool.layersPerWall);
    request.position = pool.boundaries[wall].partition ? Engine::ElementPosition::Internal
                                                       : Engine::ElementPosition::External;
    request.internalSurfaceResistance = pool.boundaries[wall].internalSurfaceResistance;
    request.externalSurfaceResistance = pool.boundaries[wall].externalSurfaceResistance;
  }
  return requests;
}

/// The whole answer a front end reports: check, matrix, time shifts, both sequential estimates.
void wallResult(benchmark::State& state) {
  const std::vector<Engine::WallRequest> requests = makeRequests(poolOf(state.range(0)));
  std::size_t index = 0;
  Engine::WallResult result;
  for (auto _ : state) {
    const auto problem = Engine::computeInto(requests[index], result);
    benchmark::DoNotOptimize(problem);
    benchmark::DoNotOptimize(result);
    if (++index == requests.size()) index = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

/// Surfaces rebuilt from the slabs of the pool (air gaps skipped: a Surface holds slabs only).
std::vector<std::unique_ptr<Engine::Surface>> makeSurfaces(const Bench::WallPool& pool) {
  std::vector<std::unique_ptr<Engine::Surface>> surfaces;
  for (std::size_t wall = 0; wall < pool.wallCount(); ++wall) {
    auto surface = std::make_unique<Engine::Surface>();
    surface->setArea(1.0);
    for (std::size_t i = 0; i < pool.layersPerWall; ++i) {
      const Engine::LayerProperties& properties = pool.wall(wall)[i];
      if (properties.isPureResistance()) continue;
      Engine::Material material;
      material.setConductivity(properties.conductivity);
      material.setDensity(properties.density);
      material.setSpecificHeat(properties.specificHeat);
      auto layer = std::make_unique<Engine::Layer>();
      layer->setMaterial(material);
      layer->setThickness(properties.thickness);
      surface->addLayer(layer.release());
    }
    surface->setPosition(pool.boundaries[wall].partition ? Engine::Internal : Engine::External);
    surfaces.push_back(std::move(surface));
  }
  return surfaces;
}

/// Bridged walls of three layers, the middle one of two parts (two paths), varied wall by wall.
struct BridgedWalls {
  std::vector<Engine::WallRequest> requests;
  std::vector<Engine::ElementDescription> elements;
  explicit BridgedWalls(std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
      const double share = 0.1 + 0.1 * static_cast<double>(i % 5) / 5.0;
      const std::vector<Engine::LayerPart> parts = {{0.13, 500, 1600, share},
                                                    {0.035, 30, 1030, 1.0 - share}};
      Engine::WallRequest request;
      request.layers = {Engine::LayerProperties::slab(0.0125, 0.25, 900, 1000),
                        Engine::equivalentSlab(0.1 + 0.001 * static_cast<double>(i % 97), parts),
                        Engine::LayerProperties::slab(0.05, 0.04, 160, 2100)};
      Engine::ElementDescription element;
      element.bridged.push_back({1, parts});
      requests.push_back(std::move(request));
      elements.push_back(std::move(element));
    }
  }
};

constexpr std::size_t kBridgedWalls = 4096;

/// computeElement wall by wall: each path through computePeriodicResponse.
void bridgedElement(benchmark::State& state) {
  const BridgedWalls walls(kBridgedWalls);
  for (auto _ : state) {
    for (std::size_t i = 0; i < kBridgedWalls; ++i) {
      benchmark::DoNotOptimize(Engine::computeElement(walls.requests[i], walls.elements[i]));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kBridgedWalls));
}

/// computeManyElements: the paths of all walls through the many-wall kernel at once.
void manyBridgedElements(benchmark::State& state) {
  const BridgedWalls walls(kBridgedWalls);
  std::vector<Engine::ElementOutcome> outcomes(kBridgedWalls);
  Engine::ManyWallsOptions options;
  options.threads = static_cast<unsigned>(state.threads());
  for (auto _ : state) {
    Engine::computeManyElements(walls.requests.data(), walls.elements.data(), kBridgedWalls,
                                outcomes.data(), options);
    benchmark::DoNotOptimize(outcomes.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kBridgedWalls));
}

void surfaceComputeInertia(benchmark::State& state) {
  const std::vector<std::unique_ptr<Engine::Surface>> surfaces =
      makeSurfaces(poolOf(state.range(0)));
  std::size_t index = 0;
  for (auto _ : state) {
    Engine::Inertia inertia;
    surfaces[index]->computeInertia(inertia);
    benchmark::DoNotOptimize(inertia);
    if (++index == surfaces.size()) index = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(baselinePeriodicResponse)->ArgName("layers")->Arg(1)->Arg(3)->Arg(6);
BENCHMARK(bridgedElement);
BENCHMARK(manyBridgedElements);
BENCHMARK(manyBridgedElements)->Threads(2)->UseRealTime();
BENCHMARK(baselinePeriodicResponse)->ArgName("layers")->Arg(3)->Threads(2)->UseRealTime();
BENCHMARK(periodicResponse)->ArgName("layers")->Arg(1)->Arg(3)->Arg(6);
BENCHMARK(periodicResponse)->ArgName("layers")->Arg(1)->Arg(3)->Arg(6)->Threads(2)->UseRealTime();
BENCHMARK(manyWalls)->ArgName("layers")->Arg(1)->Arg(3)->Arg(6);
BENCHMARK(manyWalls)->ArgName("layers")->Arg(1)->Arg(3)->Arg(6)->Threads(2)->UseRealTime();
BENCHMARK(sequentialCapacity)->ArgName("layers")->Arg(3);
BENCHMARK(wallResult)->ArgName("layers")->Arg(3);
BENCHMARK(wallResult)->ArgName("layers")->Arg(3)->Threads(2)->UseRealTime();
BENCHMARK(surfaceComputeInertia)->ArgName("layers")->Arg(3);

}  // namespace
