// The many-wall kernel eight walls per register; compiled with -mavx512f and called only where
// the CPU has AVX-512F (see many_walls.cpp).
#include <immintrin.h>
#include <sleef.h>

#include "many_walls_dispatch.h"
#include "many_walls_kernel.h"

namespace Brusk::Engine::Detail {

namespace {

/// SLEEF's AVX-512F functions of at most 1 ulp error (u10).
struct Avx512Math {
  /// __m512d without its may_alias attribute, which a template argument cannot carry.
  using Vector = double __attribute__((vector_size(64)));
  /// base[index[j]] in lane j.
  template <typename Index>
  static Vector gather(const double* base, Index index) {
    __m512i offsets;
    static_assert(sizeof offsets == sizeof index);
    __builtin_memcpy(&offsets, &index, sizeof offsets);
    // The masked form with every lane selected, for the reason given at sqrt. Without
    // optimisation GCC's header expands it to a macro that passes the mask on as a char.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wsign-conversion"
    return _mm512_mask_i64gather_pd(_mm512_setzero_pd(), static_cast<__mmask8>(0xFF), offsets, base,
                                    8);
#pragma GCC diagnostic pop
  }
  static Vector atan2(Vector y, Vector x) { return Sleef_atan2d8_u10avx512f(y, x); }
  static Vector expm1(Vector x) { return Sleef_expm1d8_u10avx512f(x); }
  static void sincos(Vector x, Vector& sine, Vector& cosine) {
    const Sleef___m512d_2 both = Sleef_sincosd8_u10avx512f(x);
    sine = both.x;
    cosine = both.y;
  }
  // The zero-masking form with every lane selected is the plain square root; GCC 12 warns
  // about the undefined pass-through operand of _mm512_sqrt_pd.
  static Vector sqrt(Vector x) { return _mm512_maskz_sqrt_pd(static_cast<__mmask8>(0xFF), x); }
};

}  // namespace

void computeWallRangeAvx512(const WallArrays& walls, const ResponseArrays& responses,
                            std::size_t begin, std::size_t end) {
  computeWallRange<Avx512Math>(walls, responses, begin, end);
}

}  // namespace Brusk::Engine::Detail
