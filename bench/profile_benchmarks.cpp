// The response to a periodic profile: cost against the sample count (O(N^2) transforms and
// O(K M) output) and against one single-period characteristic computation.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <variant>
#include <vector>

#include "brusk/engine/periodic_profile.h"
#include "brusk/engine/wall_result.h"

namespace {

using namespace Brusk::Engine;

ProfileRequest designDay(std::size_t samples) {
  ProfileRequest request;
  request.wall.layers = {
      LayerProperties::slab(0.015, 0.7, 1400, 1000), LayerProperties::slab(0.2, 1.8, 2400, 1000),
      LayerProperties::slab(0.12, 0.035, 20, 1450), LayerProperties::slab(0.01, 0.9, 1800, 1000)};
  request.indoor = {26.0};
  for (std::size_t n = 0; n < samples; ++n) {
    const double phase = kTwoPi * static_cast<double>(n) / static_cast<double>(samples);
    request.outdoor.push_back(30.0 + 10.0 * std::cos(phase - 4.0) +
                              std::max(0.0, 15.0 * std::sin(2.0 * phase - 3.0)));
  }
  return request;
}

void profileResponse(benchmark::State& state) {
  const ProfileRequest request = designDay(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    ProfileOutcome outcome = computeProfileResponse(request);
    benchmark::DoNotOptimize(outcome);
  }
}

void singlePeriod(benchmark::State& state) {
  const WallRequest wall = designDay(1).wall;
  for (auto _ : state) {
    WallOutcome outcome = compute(wall);
    benchmark::DoNotOptimize(outcome);
  }
}

}  // namespace

BENCHMARK(singlePeriod);
BENCHMARK(profileResponse)->ArgName("samples")->Arg(24)->Arg(96)->Arg(1440)->Arg(8760);
