// Cost of the transcendental functions the periodic kernel needs per slab, one exponential and
// one sine and cosine pair, per element of inputs in [0, 20]: the C library one at a time against
// SLEEF's 1-ulp vector functions (u10) four and eight lanes wide. This is the measurement behind
// the choice of vector math for the many-wall kernel; the file is built with AVX2, FMA and
// AVX-512F enabled and must only be run on a CPU that has them.
#include <benchmark/benchmark.h>
#include <immintrin.h>
#include <sleef.h>

#include <cmath>
#include <cstddef>
#include <random>
#include <vector>

namespace {

constexpr std::size_t kElementCount = 4096;

const std::vector<double>& inputs() {
  static const std::vector<double> values = [] {
    std::mt19937_64 random(7u);
    std::uniform_real_distribution<double> argument(0.0, 20.0);
    std::vector<double> drawn(kElementCount);
    for (double& value : drawn) value = argument(random);
    return drawn;
  }();
  return values;
}

void libraryExpSinCos(benchmark::State& state) {
  const std::vector<double>& x = inputs();
  std::vector<double> out(kElementCount);
  for (auto _ : state) {
    for (std::size_t i = 0; i < kElementCount; ++i) {
      out[i] = std::exp(x[i]) + std::sin(x[i]) * std::cos(x[i]);
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kElementCount));
}

void libraryExpm1SinCos(benchmark::State& state) {
  const std::vector<double>& x = inputs();
  std::vector<double> out(kElementCount);
  for (auto _ : state) {
    for (std::size_t i = 0; i < kElementCount; ++i) {
      out[i] = std::expm1(x[i]) + std::sin(x[i]) * std::cos(x[i]);
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kElementCount));
}

template <bool kMinusOne>
void sleefAvx2(benchmark::State& state) {
  const std::vector<double>& x = inputs();
  std::vector<double> out(kElementCount);
  for (auto _ : state) {
    for (std::size_t i = 0; i < kElementCount; i += 4) {
      const __m256d v = _mm256_loadu_pd(&x[i]);
      const __m256d growth = kMinusOne ? Sleef_expm1d4_u10avx2(v) : Sleef_expd4_u10avx2(v);
      const Sleef___m256d_2 sc = Sleef_sincosd4_u10avx2(v);
      _mm256_storeu_pd(&out[i], _mm256_add_pd(growth, _mm256_mul_pd(sc.x, sc.y)));
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kElementCount));
}

template <bool kMinusOne>
void sleefAvx512(benchmark::State& state) {
  const std::vector<double>& x = inputs();
  std::vector<double> out(kElementCount);
  for (auto _ : state) {
    for (std::size_t i = 0; i < kElementCount; i += 8) {
      const __m512d v = _mm512_loadu_pd(&x[i]);
      const __m512d growth = kMinusOne ? Sleef_expm1d8_u10avx512f(v) : Sleef_expd8_u10avx512f(v);
      const Sleef___m512d_2 sc = Sleef_sincosd8_u10avx512f(v);
      _mm512_storeu_pd(&out[i], _mm512_add_pd(growth, _mm512_mul_pd(sc.x, sc.y)));
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kElementCount));
}

BENCHMARK(libraryExpSinCos);
BENCHMARK(libraryExpm1SinCos);
BENCHMARK_TEMPLATE(sleefAvx2, false)->Name("sleefAvx2ExpSinCos");
BENCHMARK_TEMPLATE(sleefAvx2, true)->Name("sleefAvx2Expm1SinCos");
BENCHMARK_TEMPLATE(sleefAvx512, false)->Name("sleefAvx512ExpSinCos");
BENCHMARK_TEMPLATE(sleefAvx512, true)->Name("sleefAvx512Expm1SinCos");

}  // namespace
