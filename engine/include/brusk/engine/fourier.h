#pragma once

// Discrete Fourier transforms of real periodic samples, for the analysis of temperature
// profiles into harmonics and the synthesis of the responses from them.
//
// Two methods give the same numbers up to rounding:
//   - Fast: FFTW3's transforms, O(N log N) for every N, primes included (FFTW's Rader and
//     Bluestein paths), with one plan per N kept for the life of the process;
//   - Direct: the defining sums evaluated term by term with a table of the N roots of unity,
//     O(N^2); the reference the fast one is tested against, and what a build without FFTW (the
//     WebAssembly module) uses for Fast as well.

#include <cstddef>

#include "brusk/engine/complex.h"

namespace Brusk::Engine {

/// How a transform is computed.
enum class FourierMethod {
  Fast,    ///< FFTW3 where the build has it, else Direct
  Direct,  ///< the O(N^2) sums
};

/// True when this build computes FourierMethod::Fast with FFTW3.
[[nodiscard]] bool hasFastFourierTransform();

/// The spectrum of `count` >= 1 real samples x_n, n = 0 .. N - 1:
///   X_k = sum_n x_n e^(-i 2 pi k n / N)                                  [unit of x]
/// for k = 0 .. floor(N / 2) into spectrum[0 .. N / 2] (the rest follows from X_(N-k) =
/// conj(X_k)). X_0 and, for even N, X_(N/2) are real; their imaginary parts are written as 0.
void forwardRealTransform(const double* samples, std::size_t count, Complex* spectrum,
                          FourierMethod method = FourierMethod::Fast);

/// The real samples y_j, j = 0 .. M - 1, of a spectrum with conjugate symmetry given by its
/// first floor(M / 2) + 1 terms X_0 .. X_(M/2), `count` = M >= 1:
///   y_j = X_0 + 2 sum_(0 < k < M/2) Re(X_k e^(i 2 pi k j / M)) + [M even] Re(X_(M/2)) (-1)^j
/// The imaginary parts of X_0 and, for even M, of X_(M/2) are not read. Unnormalised: the
/// forward transform followed by this one gives N x_n.
void inverseRealTransform(const Complex* spectrum, std::size_t count, double* samples,
                          FourierMethod method = FourierMethod::Fast);

}  // namespace Brusk::Engine
