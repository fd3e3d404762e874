// Throughput of the ISO 13788 monthly method, in wall-years per second (items_per_second): one
// item is one wall assessed over twelve months (start-month search, the year from it with any
// dry-out events, the surface check).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "brusk/engine/moisture.h"

namespace {

using namespace Brusk;

constexpr std::size_t kPoolSize = 1024;

/// A cold-temperate year: -6 degC / 90 % in January to 17 degC / 70 % in July, 20 degC / 50 %
/// indoors.
Engine::YearClimate benchmarkYear() {
  Engine::YearClimate year;
  for (std::size_t m = 0; m < 12; ++m) {
    const double wave = std::cos(2.0 * 3.141592653589793 * static_cast<double>(m) / 12.0);
    year[m] = {5.5 - 11.5 * wave, 0.80 + 0.10 * wave, 20.0, 0.5};
  }
  return year;
}

/// Five-layer walls, inner face first: plaster, masonry or concrete, insulation, a layer from a
/// membrane to a board, render; thicknesses and mu drawn so that about half the walls condense
/// somewhere in the year.
std::vector<Engine::MoistureRequest> makePool(double maxSublayerResistance) {
  std::mt19937_64 random(13788);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const auto between = [&](double low, double high) { return low + (high - low) * unit(random); };
  const Engine::YearClimate year = benchmarkYear();
  std::vector<Engine::MoistureRequest> pool(kPoolSize);
  for (Engine::MoistureRequest& request : pool) {
    const double plaster = between(0.01, 0.02);
    const double masonry = between(0.1, 0.3);
    const double insulation = between(0.04, 0.2);
    const double skin = between(0.001, 0.02);
    const double render = between(0.005, 0.02);
    request.layers = {Engine::LayerProperties::slab(plaster, 0.57, 1300, 1000),
                      Engine::LayerProperties::slab(masonry, between(0.4, 2.3), 1800, 1000),
                      Engine::LayerProperties::slab(insulation, between(0.032, 0.045), 30, 1400),
                      Engine::LayerProperties::slab(skin, 0.2, 600, 1500),
                      Engine::LayerProperties::slab(render, 1.0, 1800, 1000)};
    request.sd = {plaster * 10.0, masonry * between(5.0, 130.0), insulation * between(1.0, 60.0),
                  std::exp(between(std::log(0.01), std::log(100.0))), render * between(10, 50)};
    request.climate = year;
    request.maxSublayerResistance = maxSublayerResistance;
  }
  return pool;
}

void assess(benchmark::State& state, double maxSublayerResistance) {
  const std::vector<Engine::MoistureRequest> pool = makePool(maxSublayerResistance);
  Engine::MoistureResult result;
  std::size_t index = 0;
  std::size_t condensing = 0;
  for (auto _ : state) {
    Engine::computeMoisture(pool[index], result);
    condensing += result.condenses ? 1u : 0u;
    benchmark::DoNotOptimize(result.maxAccumulated);
    if (++index == pool.size()) index = 0;
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["condensing"] =
      static_cast<double>(condensing) / static_cast<double>(state.iterations());
}

/// The standard's sub-layers of at most 0.25 m2.K/W (some 14 to 30 planes per wall).
void moistureYear(benchmark::State& state) { assess(state, Engine::kMaxSublayerResistance); }

/// Every layer whole (6 planes per wall), for the cost of the sub-layers.
void moistureYearWholeLayers(benchmark::State& state) { assess(state, 0.0); }

BENCHMARK(moistureYear);
BENCHMARK(moistureYearWholeLayers);

}  // namespace
