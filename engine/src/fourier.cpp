// Discrete Fourier transforms of real samples: FFTW3's, planned once per length, or the direct
// O(N^2) sums. Conventions in the header.
#include "brusk/engine/fourier.h"

#include <cmath>
#include <cstddef>
#include <vector>

#include "brusk/engine/constants.h"

#ifdef BRUSK_HAVE_FFTW
#include <fftw3.h>

#include <climits>
#include <memory>
#include <mutex>
#include <unordered_map>
#endif

namespace Brusk::Engine {

namespace {

/// e^(i 2 pi m / M) for m = 0 .. M - 1 [-]: the direct sums read the root of index k n mod M,
/// which keeps the phase exact for every harmonic however large k n is.
std::vector<Complex> rootsOfUnity(std::size_t count) {
  std::vector<Complex> roots(count);
  const double step = kTwoPi / static_cast<double>(count);
  for (std::size_t m = 0; m < count; ++m) {
    const double angle = step * static_cast<double>(m);
    roots[m] = Complex{std::cos(angle), std::sin(angle)};
  }
  return roots;
}

void directForward(const double* samples, std::size_t count, Complex* spectrum) {
  const std::vector<Complex> roots = rootsOfUnity(count);
  for (std::size_t k = 0; k <= count / 2; ++k) {
    // X_k = sum_n x_n e^(-i 2 pi k n / N): the conjugate of the root at index k n mod N.
    double re = 0.0;
    double im = 0.0;
    for (std::size_t n = 0; n < count; ++n) {
      const Complex& root = roots[(k * n) % count];
      re += samples[n] * root.getRealPart();
      im -= samples[n] * root.getImaginaryPart();
    }
    // X_0 and the Nyquist term only see cos(0) and cos(pi n): their sine sums are rounding.
    const bool real = k == 0 || 2 * k == count;
    spectrum[k] = Complex{re, real ? 0.0 : im};
  }
}

void directInverse(const Complex* spectrum, std::size_t count, double* samples) {
  const std::vector<Complex> roots = rootsOfUnity(count);
  const bool even = count % 2 == 0;
  const std::size_t conjugatePairs = (count - 1) / 2;  // 0 < k < M / 2
  for (std::size_t j = 0; j < count; ++j) {
    double value = spectrum[0].getRealPart();
    for (std::size_t k = 1; k <= conjugatePairs; ++k) {
      // 2 Re(X_k e^(i 2 pi k j / M)), the root at index k j mod M.
      const Complex& root = roots[(k * j) % count];
      value += 2.0 * (spectrum[k].getRealPart() * root.getRealPart() -
                      spectrum[k].getImaginaryPart() * root.getImaginaryPart());
    }
    if (even) {
      const double nyquist = spectrum[count / 2].getRealPart();
      value += j % 2 == 0 ? nyquist : -nyquist;
    }
    samples[j] = value;
  }
}

#ifdef BRUSK_HAVE_FFTW

// FFTW3 (libfftw3-dev): transforms of any length in O(N log N), primes and lengths with large
// prime factors included (8760 = 2^3 3 5 73, 8784 = 2^4 3^2 61), from the Debian archive and
// emscripten-free builds alike. Plans are made with FFTW_ESTIMATE, which measures nothing: the
// same length gets the same plan in every run, so results are reproducible bit for bit.
//
// FFTW's planner (plan creation and destruction) is not thread-safe; executing a plan is, with
// the new-array functions on arrays of the planned alignment. Plans are therefore made and
// looked up under one mutex and executed outside it, on buffers from fftw_malloc, which aligns
// them as the planning buffers were aligned.

struct FftwFree {
  void operator()(void* memory) const { fftw_free(memory); }
};

/// A buffer of `count` elements from fftw_malloc, grown as needed, one per thread.
template <typename Element>
class AlignedBuffer {
public:
  Element* reserve(std::size_t count) {
    if (count > _capacity) {
      _memory.reset(static_cast<Element*>(fftw_malloc(sizeof(Element) * count)));
      _capacity = _memory ? count : 0;
    }
    return _memory.get();
  }

private:
  std::unique_ptr<Element, FftwFree> _memory;
  std::size_t _capacity = 0;
};

struct Plans {
  fftw_plan forward = nullptr;  ///< r2c of the length, or null until first wanted
  fftw_plan inverse = nullptr;  ///< c2r of the length, or null until first wanted
};

/// Lengths whose plans are kept; a process meeting more (a long interactive session) makes the
/// further ones for each call and destroys them after it, so the cache stays bounded.
constexpr std::size_t kCachedLengths = 64;

std::mutex& plannerMutex() {
  static std::mutex mutex;
  return mutex;
}

/// The cache, never destroyed: its plans stay valid for threads still running at exit.
std::unordered_map<std::size_t, Plans>& planCache() {
  static auto* cache = new std::unordered_map<std::size_t, Plans>();
  return *cache;
}

/// A plan for one execution: the cached one, or one of its own when the cache is full.
class PlanUse {
public:
  PlanUse(std::size_t count, bool forward, double* real, fftw_complex* spectrum) {
    const std::lock_guard<std::mutex> lock(plannerMutex());
    std::unordered_map<std::size_t, Plans>& cache = planCache();
    auto found = cache.find(count);
    if (found == cache.end() && cache.size() < kCachedLengths) {
      found = cache.emplace(count, Plans{}).first;
    }
    fftw_plan* slot = nullptr;
    if (found != cache.end()) slot = forward ? &found->second.forward : &found->second.inverse;
    if (slot != nullptr && *slot != nullptr) {
      _plan = *slot;
      return;
    }
    const int length = static_cast<int>(count);
    _plan = forward ? fftw_plan_dft_r2c_1d(length, real, spectrum, FFTW_ESTIMATE)
                    : fftw_plan_dft_c2r_1d(length, spectrum, real, FFTW_ESTIMATE);
    if (slot != nullptr) {
      *slot = _plan;
    } else {
      _owned = true;
    }
  }
  ~PlanUse() {
    if (!_owned) return;
    const std::lock_guard<std::mutex> lock(plannerMutex());
    fftw_destroy_plan(_plan);
  }
  PlanUse(const PlanUse&) = delete;
  PlanUse& operator=(const PlanUse&) = delete;
  [[nodiscard]] fftw_plan plan() const { return _plan; }

private:
  fftw_plan _plan = nullptr;
  bool _owned = false;
};

struct Scratch {
  AlignedBuffer<double> real;
  AlignedBuffer<fftw_complex> spectrum;
};

Scratch& threadScratch() {
  thread_local Scratch scratch;
  return scratch;
}

/// False when FFTW cannot serve (a length beyond int, memory or a plan refused): the caller
/// then computes the direct sums.
bool fastForward(const double* samples, std::size_t count, Complex* spectrum) {
  if (count > static_cast<std::size_t>(INT_MAX)) return false;
  Scratch& scratch = threadScratch();
  double* in = scratch.real.reserve(count);
  fftw_complex* out = scratch.spectrum.reserve(count / 2 + 1);
  if (in == nullptr || out == nullptr) return false;
  const PlanUse use(count, true, in, out);
  if (use.plan() == nullptr) return false;
  for (std::size_t n = 0; n < count; ++n) in[n] = samples[n];
  fftw_execute_dft_r2c(use.plan(), in, out);
  for (std::size_t k = 0; k <= count / 2; ++k) {
    const bool real = k == 0 || 2 * k == count;
    spectrum[k] = Complex{out[k][0], real ? 0.0 : out[k][1]};
  }
  return true;
}

bool fastInverse(const Complex* spectrum, std::size_t count, double* samples) {
  if (count > static_cast<std::size_t>(INT_MAX)) return false;
  Scratch& scratch = threadScratch();
  double* out = scratch.real.reserve(count);
  fftw_complex* in = scratch.spectrum.reserve(count / 2 + 1);
  if (in == nullptr || out == nullptr) return false;
  const PlanUse use(count, false, out, in);
  if (use.plan() == nullptr) return false;
  // A c2r transform overwrites its input, hence the copy (made anyway for the layout).
  for (std::size_t k = 0; k <= count / 2; ++k) {
    const bool real = k == 0 || 2 * k == count;
    in[k][0] = spectrum[k].getRealPart();
    in[k][1] = real ? 0.0 : spectrum[k].getImaginaryPart();
  }
  fftw_execute_dft_c2r(use.plan(), in, out);
  for (std::size_t j = 0; j < count; ++j) samples[j] = out[j];
  return true;
}

#endif

}  // namespace

bool hasFastFourierTransform() {
#ifdef BRUSK_HAVE_FFTW
  return true;
#else
  return false;
#endif
}

void forwardRealTransform(const double* samples, std::size_t count, Complex* spectrum,
                          FourierMethod method) {
#ifdef BRUSK_HAVE_FFTW
  if (method == FourierMethod::Fast && fastForward(samples, count, spectrum)) return;
#else
  static_cast<void>(method);
#endif
  directForward(samples, count, spectrum);
}

void inverseRealTransform(const Complex* spectrum, std::size_t count, double* samples,
                          FourierMethod method) {
#ifdef BRUSK_HAVE_FFTW
  if (method == FourierMethod::Fast && fastInverse(spectrum, count, samples)) return;
#else
  static_cast<void>(method);
#endif
  directInverse(spectrum, count, samples);
}

}  // namespace Brusk::Engine
