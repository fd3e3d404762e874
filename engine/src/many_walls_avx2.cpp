// The many-wall kernel four walls per register; compiled with -mavx2 -mfma and called only where
// the CPU has both (see many_walls.cpp).
#include <immintrin.h>
#include <sleef.h>

#include "many_walls_dispatch.h"
#include "many_walls_kernel.h"

namespace Brusk::Engine::Detail {

namespace {

/// SLEEF's AVX2 functions of at most 1 ulp error (u10).
struct Avx2Math {
  /// __m256d without its may_alias attribute, which a template argument cannot carry.
  using Vector = double __attribute__((vector_size(32)));
  /// base[index[j]] in lane j.
  template <typename Index>
  static Vector gather(const double* base, Index index) {
    __m256i offsets;
    static_assert(sizeof offsets == sizeof index);
    __builtin_memcpy(&offsets, &index, sizeof offsets);
    return _mm256_i64gather_pd(base, offsets, 8);
  }
  static Vector atan2(Vector y, Vector x) { return Sleef_atan2d4_u10avx2(y, x); }
  static Vector expm1(Vector x) { return Sleef_expm1d4_u10avx2(x); }
  static void sincos(Vector x, Vector& sine, Vector& cosine) {
    const Sleef___m256d_2 both = Sleef_sincosd4_u10avx2(x);
    sine = both.x;
    cosine = both.y;
  }
  static Vector sqrt(Vector x) { return _mm256_sqrt_pd(x); }
};

}  // namespace

void computeWallRangeAvx2(const WallArrays& walls, const ResponseArrays& responses,
                          std::size_t begin, std::size_t end) {
  computeWallRange<Avx2Math>(walls, responses, begin, end);
}

}  // namespace Brusk::Engine::Detail
