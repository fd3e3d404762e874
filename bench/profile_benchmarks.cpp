// The response to a periodic profile: cost against the sample count (FFT transforms, the
// harmonics as lanes of the many-wall kernel), against the direct O(N^2) transforms with one
// matrix per harmonic (the reference path), against one single-period characteristic
// computation, and for many walls under one hourly year.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <variant>
#include <vector>

#include "brusk/engine/periodic_profile.h"
#include "brusk/engine/wall_result.h"
#include "random_walls.h"

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

/// One wall's whole response (harmonics and samples) as a loop over walls or profiles computes
/// it: into a response whose storage the calls share.
void profileResponse(benchmark::State& state) {
  const ProfileRequest request = designDay(static_cast<std::size_t>(state.range(0)));
  ProfileResponse response;
  for (auto _ : state) {
    auto problem = computeProfileResponseInto(request, response);
    benchmark::DoNotOptimize(problem);
    benchmark::DoNotOptimize(response.samples.data());
  }
}

/// The same returned by value: a year's megabyte mapped and first touched on every call.
void profileResponseFresh(benchmark::State& state) {
  const ProfileRequest request = designDay(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    ProfileOutcome outcome = computeProfileResponse(request);
    benchmark::DoNotOptimize(outcome);
  }
}

/// The reference path: the direct O(N^2) sums and computePeriodicResponse per harmonic.
void profileResponseDirect(benchmark::State& state) {
  const ProfileRequest request = designDay(static_cast<std::size_t>(state.range(0)));
  ProfileOptions options;
  options.transform = FourierMethod::Direct;
  options.kernel = InstructionSet::Baseline;
  for (auto _ : state) {
    ProfileOutcome outcome = computeProfileResponse(request, options);
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

/// One wall's year into reused series (the many-wall path, computeProfileSeries): what
/// profileResponse costs without allocating and first touching the megabyte it returns.
void profileSeries(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  const ProfileRequest request = designDay(count);
  const AnalysedProfiles profiles =
      std::get<AnalysedProfiles>(analyseProfiles(request, request.wall.period));
  ProfileSeries series;
  for (auto _ : state) {
    std::optional<WallProblem> problem = computeProfileSeries(request.wall, profiles, series);
    benchmark::DoNotOptimize(problem);
    benchmark::DoNotOptimize(series.heatFlowIn.data());
  }
}

/// Random three-layer walls under an hourly year (8760 samples, a constant indoor temperature),
/// their q_in and theta_si series and summaries on one thread: items are wall-years.
void manyWallYear(benchmark::State& state) {
  constexpr std::size_t kWalls = 64;
  const Brusk::Bench::WallPool pool = Brusk::Bench::makeWallPool(3, kWalls);
  std::vector<WallRequest> walls(kWalls);
  for (std::size_t w = 0; w < kWalls; ++w) {
    walls[w].layers.assign(pool.wall(w), pool.wall(w) + 3);
    walls[w].internalSurfaceResistance = pool.boundaries[w].internalSurfaceResistance;
    walls[w].externalSurfaceResistance = pool.boundaries[w].externalSurfaceResistance;
  }
  const ProfileRequest request = designDay(8760);
  const AnalysedProfiles profiles =
      std::get<AnalysedProfiles>(analyseProfiles(request, 8760.0 * kSecondsPerHour));
  std::vector<double> flows(kWalls * 8760);
  std::vector<double> surfaces(kWalls * 8760);
  std::vector<ProfileSummary> summaries(kWalls);
  std::vector<std::optional<WallProblem>> problems(kWalls);
  const ManyProfileSeries out{flows.data(), surfaces.data(), summaries.data(), problems.data()};
  for (auto _ : state) {
    computeManyProfileSeries(walls.data(), kWalls, profiles, out);
    benchmark::DoNotOptimize(flows.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<benchmark::IterationCount>(kWalls));
}

/// One transform of N samples each way, FFTW's plan already made.
void forwardTransform(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  const std::vector<double> samples = designDay(count).outdoor;
  std::vector<Complex> spectrum(count / 2 + 1);
  for (auto _ : state) {
    forwardRealTransform(samples.data(), count, spectrum.data());
    benchmark::DoNotOptimize(spectrum.data());
  }
}

void inverseTransform(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  const std::vector<double> samples = designDay(count).outdoor;
  std::vector<Complex> spectrum(count / 2 + 1);
  forwardRealTransform(samples.data(), count, spectrum.data());
  std::vector<double> values(count);
  for (auto _ : state) {
    inverseRealTransform(spectrum.data(), count, values.data());
    benchmark::DoNotOptimize(values.data());
  }
}

}  // namespace

BENCHMARK(forwardTransform)->ArgName("samples")->Arg(24)->Arg(8760)->Arg(8784);
BENCHMARK(inverseTransform)->ArgName("samples")->Arg(24)->Arg(8760)->Arg(8784);
BENCHMARK(singlePeriod);
BENCHMARK(profileResponse)->ArgName("samples")->Arg(24)->Arg(96)->Arg(1440)->Arg(8760)->Arg(8784);
BENCHMARK(profileResponseFresh)->ArgName("samples")->Arg(24)->Arg(8760);
BENCHMARK(profileSeries)->ArgName("samples")->Arg(24)->Arg(8760);
BENCHMARK(profileResponseDirect)->ArgName("samples")->Arg(24)->Arg(8760);
BENCHMARK(manyWallYear)->Unit(benchmark::kMillisecond);
