#pragma once

// The periodic kernel of computePeriodicResponse across walls: lane j of every vector belongs to
// one wall, so a register of N doubles computes N walls in the instructions one wall takes.
//
// Included only by the per-instruction-set translation units (many_walls_avx2.cpp,
// many_walls_avx512.cpp), each compiled for its instruction set, and so written with GCC vector
// types and the given Math's functions alone: everything here has internal linkage and calls
// no inline function of the standard library, whose out-of-line copies the linker could share
// with code built for a lesser CPU.
//
// The formulas are those of periodic_response.cpp, evaluated in the same order, with these
// differences, each moving a result by an ulp or two (the agreement test holds them to 1e-12 of
// each term's magnitude):
// - e^xi - 1, sin xi and cos xi come from SLEEF's 1-ulp vector functions;
// - cosh and sinh come from t = e^xi - 1 for every xi (periodic_response.cpp switches to it
//   below xi = ln(2) / 2 only), free of cancellation for small xi and, for large xi, within a
//   few ulps of (e^xi + e^-xi) / 2, with nothing overflowing before e^xi does:
//     cosh xi = 1 + t (t / (t + 1)) / 2,  sinh xi = (t + t / (t + 1)) / 2                  [-]
// - divisions, the slowest vector instructions, are spared where a reciprocal serves: the
//   matrix scales share lambda / delta, and the quotients by Z12 share 1 / |Z12|^2.
// The steady state (R_tot, U) is computed exactly as there, bit for bit.

#include <cstddef>
#include <cstdint>
#include <utility>

#include "brusk/engine/many_walls.h"

namespace Brusk::Engine::Detail {
namespace {

/// Complex numbers, one per lane; the operations of complex.h, in the same order.
template <typename V>
struct ComplexLanes {
  V re, im;
};

template <typename V>
inline ComplexLanes<V> operator+(const ComplexLanes<V>& x, const ComplexLanes<V>& y) {
  return {x.re + y.re, x.im + y.im};
}
template <typename V>
inline ComplexLanes<V> operator-(const ComplexLanes<V>& x, const ComplexLanes<V>& y) {
  return {x.re - y.re, x.im - y.im};
}
template <typename V>
inline ComplexLanes<V> operator-(const ComplexLanes<V>& x) {
  return {-x.re, -x.im};
}
template <typename V>
inline ComplexLanes<V> operator*(const ComplexLanes<V>& x, const ComplexLanes<V>& y) {
  return {x.re * y.re - x.im * y.im, x.re * y.im + x.im * y.re};
}
/// s (a + bi) for a real s per lane.
template <typename V>
inline ComplexLanes<V> scaled(V scale, const ComplexLanes<V>& x) {
  return {scale * x.re, scale * x.im};
}
template <typename V>
struct MatrixLanes {
  ComplexLanes<V> m11, m12, m21, m22;
};

/// Where a lane holds something other than a finite double, x - x is NaN and compares false.
template <typename V, typename Mask>
inline Mask finiteAnd(Mask finite, V x) {
  return finite & ((x - x) == 0.0);
}
template <typename V, typename Mask>
inline Mask finiteAnd(Mask finite, const ComplexLanes<V>& z) {
  return finiteAnd(finiteAnd(finite, z.re), z.im);
}

template <typename Index>
inline Index splatIndex(long value) {
  Index v{};
  for (std::size_t j = 0; j < sizeof(Index) / sizeof(long); ++j) v[j] = value;
  return v;
}

/// A vector from memory, any alignment.
template <typename Lanes, typename Element>
inline Lanes loadLanes(const Element* elements) {
  Lanes lanes;
  __builtin_memcpy(&lanes, elements, sizeof lanes);
  return lanes;
}

template <typename V>
inline V splat(double value) {
  V v{};
  for (std::size_t j = 0; j < sizeof(V) / sizeof(double); ++j) v[j] = value;
  return v;
}

/// Stores the first `lanes` lanes of `values` at target[first], target[first + 1], ...
template <typename V>
inline void storeLanes(double* target, std::size_t first, const V& values, std::size_t lanes) {
  if (target == nullptr) return;
  if (lanes == sizeof(V) / sizeof(double)) {
    __builtin_memcpy(target + first, &values, sizeof values);
  } else {
    for (std::size_t j = 0; j < lanes; ++j) target[first + j] = values[j];
  }
}

/// Lanes (re[0], im[0], re[1], im[1], ...) from the first half of re and im (`Half` 0) or from
/// the second (`Half` 1). Lane k takes re[k / 2] for even k, im[k / 2] for odd k, shifted by
/// kLanes / 2 for the second half; index kLanes + j of the shuffle picks im[j]. The indices are
/// constants, as __builtin_shufflevector (GCC 12 and later, clang) requires.
template <std::size_t Half, typename V, std::size_t... K>
inline V interleavedLanes(const V& re, const V& im, std::index_sequence<K...> /*lanes*/) {
  constexpr std::size_t kLanes = sizeof...(K);
  return __builtin_shufflevector(
      re, im, static_cast<int>(K / 2 + (K % 2) * kLanes + Half * (kLanes / 2))...);
}

/// Stores the first `lanes` lanes of a complex field where `columns` says: two arrays, or one
/// array of (real, imaginary) pairs, interleaved in the registers before two whole stores.
template <typename V>
inline void storeComplexLanes(const ComplexColumns& columns, std::size_t first, const V& re,
                              const V& im, std::size_t lanes) {
  constexpr std::size_t kLanes = sizeof(V) / sizeof(double);
  if (columns.real == nullptr) return;
  if (columns.stride == 1) {
    storeLanes(columns.real, first, re, lanes);
    storeLanes(columns.imaginary, first, im, lanes);
    return;
  }
  if (columns.stride == 2 && columns.imaginary == columns.real + 1 && lanes == kLanes) {
    const V lowPairs = interleavedLanes<0>(re, im, std::make_index_sequence<kLanes>{});
    const V highPairs = interleavedLanes<1>(re, im, std::make_index_sequence<kLanes>{});
    double* const target = columns.real + 2 * first;
    __builtin_memcpy(target, &lowPairs, sizeof lowPairs);
    __builtin_memcpy(target + kLanes, &highPairs, sizeof highPairs);
    return;
  }
  for (std::size_t j = 0; j < lanes; ++j) {
    columns.real[(first + j) * columns.stride] = re[j];
    columns.imaginary[(first + j) * columns.stride] = im[j];
  }
}

/// Computes walls [begin, end) of `walls` into `out`, kLanes walls at a time; the last group is
/// padded with copies of its first wall, whose results are not stored.
///
/// Math provides the vector type V and V expm1(V), void sincos(V, V& sine, V& cosine),
/// V sqrt(V), V atan2(V y, V x).
template <typename Math>
void computeWallRange(const WallArrays& walls, const ResponseArrays& out, std::size_t begin,
                      std::size_t end) {
  using V = typename Math::Vector;
  using Mask = decltype(V{} < V{});
  using Index = Mask;
  using C = ComplexLanes<V>;
  constexpr std::size_t kLanes = sizeof(V) / sizeof(double);
  constexpr double kPiValue = 3.141592653589793;     // kPi of constants.h
  constexpr double kTwoPiValue = 6.283185307179586;  // kTwoPi of constants.h

  const V zero = splat<V>(0.0);
  const V one = splat<V>(1.0);
  const C complexOne{one, zero};

  for (std::size_t first = begin; first < end; first += kLanes) {
    const std::size_t lanes = end - first < kLanes ? end - first : kLanes;

    // The group's boundaries and periods, and where each wall's layers are: whole vectors for a
    // full group (filling a vector lane by lane through memory stalls the load that follows),
    // lane by lane for the padded last one.
    Index layerStart{}, layerCount{};
    V rsi{}, rse{}, period{};
    Mask partition{};
    if (lanes == kLanes) {
      layerStart = loadLanes<Index>(walls.layerBegin + first);
      layerCount = loadLanes<Index>(walls.layerBegin + first + 1) - layerStart;
      rsi = loadLanes<V>(walls.internalSurfaceResistance + first);
      rse = loadLanes<V>(walls.externalSurfaceResistance + first);
      period = loadLanes<V>(walls.period + first);
      // Byte j of the group's partition flags into lane j, by shifts in the registers.
      std::uint64_t flags = 0;
      __builtin_memcpy(&flags, walls.partition + first, kLanes);
      Index byteShift{};
      for (std::size_t j = 0; j < kLanes; ++j) byteShift[j] = static_cast<long>(8 * j);
      partition = ((splatIndex<Index>(static_cast<long>(flags)) >> byteShift) & 0xFF) != 0;
    } else {
      for (std::size_t j = 0; j < kLanes; ++j) {
        const std::size_t wall = j < lanes ? first + j : first;
        const std::size_t start = walls.layerBegin[wall];
        layerStart[j] = static_cast<long>(start);
        layerCount[j] = static_cast<long>(walls.layerBegin[wall + 1] - start);
        rsi[j] = walls.internalSurfaceResistance[wall];
        rse[j] = walls.externalSurfaceResistance[wall];
        period[j] = walls.period[wall];
        partition[j] = walls.partition[wall] != 0 ? -1 : 0;
      }
    }
    std::size_t longest = 0;
    for (std::size_t j = 0; j < kLanes; ++j) {
      const auto count = static_cast<std::size_t>(layerCount[j]);
      if (count > longest) longest = count;
    }

    // R_tot = Rsi + Rse + sum of d / lambda [m2.K/W] (ISO 6946), summed in stack order, and
    // the total thickness and surface mass sum d, sum d rho, as completePeriodicResult sums them.
    V totalResistance = rsi + rse;
    V totalThickness = zero, surfaceMass = zero;
    // Z_si = [[1, -Rsi], [0, 1]].
    MatrixLanes<V> z{complexOne, C{-rsi, zero}, C{zero, zero}, complexOne};

    // Layers in blocks: first the penetration depths of a block's layers, then their
    // exponentials and sines, then the matrix products. Square roots and divisions of several
    // layers so overlap, where one layer at a time would wait for each in turn.
    constexpr std::size_t kBlock = 4;
    for (std::size_t blockStart = 0; blockStart < longest; blockStart += kBlock) {
      const std::size_t blockSize = longest - blockStart < kBlock ? longest - blockStart : kBlock;
      V d[kBlock], r[kBlock], lambda[kBlock], penetrationDepth[kBlock], xi[kBlock];
      Mask slab[kBlock], pureResistance[kBlock];
      for (std::size_t i = 0; i < blockSize; ++i) {
        // Layer k of each wall; a wall with fewer layers reads its first one and ignores it.
        const Index layerIndex = splatIndex<Index>(static_cast<long>(blockStart + i));
        const Mask present = layerIndex < layerCount;
        const Index at = layerStart + (present ? layerIndex : Index{});
        d[i] = present ? Math::gather(walls.thickness, at) : zero;
        r[i] = present ? Math::gather(walls.resistance, at) : zero;
        slab[i] = present & (d[i] != 0.0);
        pureResistance[i] = present & (d[i] == 0.0);
        // Lanes without a slab compute a harmless dummy slab (xi = 0) that is then discarded.
        lambda[i] = slab[i] ? Math::gather(walls.conductivity, at) : one;
        const V rho = slab[i] ? Math::gather(walls.density, at) : one;
        const V c = slab[i] ? Math::gather(walls.specificHeat, at) : one;
        // Absent layers and pure resistances (d = 0, rho = 0) add 0, as d rho = 0 adds there.
        totalThickness = totalThickness + d[i];
        surfaceMass = surfaceMass + (slab[i] ? d[i] * rho : zero);
        // delta = sqrt(lambda T / (rho c pi)) [m] and xi = d / delta [-] (ISO 13786), rounded
        // as periodic_response.cpp rounds them: an ulp of xi would become xi ulps of e^xi.
        penetrationDepth[i] = Math::sqrt((lambda[i] * period) / ((rho * c) * kPiValue));
        xi[i] = d[i] / penetrationDepth[i];
      }
      V growth[kBlock], sn[kBlock], cs[kBlock];
      for (std::size_t i = 0; i < blockSize; ++i) {
        growth[i] = Math::expm1(xi[i]);
        Math::sincos(xi[i], sn[i], cs[i]);
      }
      for (std::size_t i = 0; i < blockSize; ++i) {
        const V t = growth[i];
        const V shrunk = t / (t + one);  // t / (t + 1) = 1 - e^-xi
        const V ch = one + t * (0.5 * shrunk);
        const V sh = 0.5 * (t + shrunk);

        // Slab matrix L of ISO 13786 (see slabMatrix in periodic_response.cpp), L22 = L11.
        const V shCos = sh * cs[i];
        const V chSin = ch * sn[i];
        // -delta / (2 lambda) [m2.K/W] and -lambda / delta [W/(m2.K)].
        const V conductance = lambda[i] / penetrationDepth[i];
        const V resistanceScale = -(0.5 / conductance);
        const V conductanceScale = -conductance;
        const C l11{ch * cs[i], sh * sn[i]};
        const C l12 = scaled(resistanceScale, C{shCos + chSin, chSin - shCos});
        const C l21 = scaled(conductanceScale, C{shCos - chSin, shCos + chSin});

        // Z <- L x Z for a slab; Z <- [[1, -R], [0, 1]] x Z for a pure resistance.
        const Mask isSlab = slab[i], isResistance = pureResistance[i];
        const MatrixLanes<V> withSlab{l11 * z.m11 + l12 * z.m21, l11 * z.m12 + l12 * z.m22,
                                      l21 * z.m11 + l11 * z.m21, l21 * z.m12 + l11 * z.m22};
        const C m11WithResistance = z.m11 - scaled(r[i], z.m21);
        const C m12WithResistance = z.m12 - scaled(r[i], z.m22);
        z.m11.re = isSlab ? withSlab.m11.re : (isResistance ? m11WithResistance.re : z.m11.re);
        z.m11.im = isSlab ? withSlab.m11.im : (isResistance ? m11WithResistance.im : z.m11.im);
        z.m12.re = isSlab ? withSlab.m12.re : (isResistance ? m12WithResistance.re : z.m12.re);
        z.m12.im = isSlab ? withSlab.m12.im : (isResistance ? m12WithResistance.im : z.m12.im);
        z.m21.re = isSlab ? withSlab.m21.re : z.m21.re;
        z.m21.im = isSlab ? withSlab.m21.im : z.m21.im;
        z.m22.re = isSlab ? withSlab.m22.re : z.m22.re;
        z.m22.im = isSlab ? withSlab.m22.im : z.m22.im;

        // Absent layers add 0, which leaves a positive sum exact.
        totalResistance =
            totalResistance + (isSlab ? d[i] / lambda[i] : (isResistance ? r[i] : zero));
      }
    }
    // Z_se = [[1, -Rse], [0, 1]].
    z.m11 = z.m11 - scaled(rse, z.m21);
    z.m12 = z.m12 - scaled(rse, z.m22);

    // The derived characteristics, as in computePeriodicResponse:
    // kappa_i = (T / 2 pi) |(Zii - 1) / Z12| [J/(m2.K)], Y_ii = -Zii / Z12 (+ 1 / Z12 for a
    // partition) [W/(m2.K)], U = 1 / R_tot, f = |1 / Z12| / U [-], Y12 = -1 / Z12 [W/(m2.K)].
    // Every quotient has the divisor Z12: x / Z12 = x conj(Z12) / |Z12|^2, with the one
    // division by |Z12|^2 shared. A non-finite x conj(Z12) or |Z12|^2 gives a non-finite
    // quotient exactly where the division does, so the same walls are refused.
    const V capacityFactor = period / kTwoPiValue;
    const V reciprocalSquaredModulus = one / (z.m12.re * z.m12.re + z.m12.im * z.m12.im);
    const C conjugateZ12{z.m12.re, -z.m12.im};
    const auto overZ12 = [&](const C& x) {
      const C numerator = x * conjugateZ12;
      return C{numerator.re * reciprocalSquaredModulus, numerator.im * reciprocalSquaredModulus};
    };
    const C internalQuotient = overZ12(z.m11 - complexOne);
    const C externalQuotient = overZ12(z.m22 - complexOne);
    const V internalCapacity =
        capacityFactor * Math::sqrt(internalQuotient.re * internalQuotient.re +
                                    internalQuotient.im * internalQuotient.im);
    const V externalCapacity =
        capacityFactor * Math::sqrt(externalQuotient.re * externalQuotient.re +
                                    externalQuotient.im * externalQuotient.im);
    const C reciprocalZ12 = overZ12(complexOne);
    C internalAdmittance = overZ12(-z.m11);
    C externalAdmittance = overZ12(-z.m22);
    const C partitionInternal = internalAdmittance + reciprocalZ12;
    const C partitionExternal = externalAdmittance + reciprocalZ12;
    internalAdmittance.re = partition ? partitionInternal.re : internalAdmittance.re;
    internalAdmittance.im = partition ? partitionInternal.im : internalAdmittance.im;
    externalAdmittance.re = partition ? partitionExternal.re : externalAdmittance.re;
    externalAdmittance.im = partition ? partitionExternal.im : externalAdmittance.im;
    const V uValue = one / totalResistance;
    const V decrementFactor =
        Math::sqrt(reciprocalZ12.re * reciprocalZ12.re + reciprocalZ12.im * reciprocalZ12.im) /
        uValue;
    const C transmittance = -reciprocalZ12;

    Mask finite = zero == zero;
    finite = finiteAnd(finite, z.m11);
    finite = finiteAnd(finite, z.m12);
    finite = finiteAnd(finite, z.m21);
    finite = finiteAnd(finite, z.m22);
    finite = finiteAnd(finite, internalAdmittance);
    finite = finiteAnd(finite, externalAdmittance);
    finite = finiteAnd(finite, transmittance);
    finite = finiteAnd(finite, internalCapacity);
    finite = finiteAnd(finite, externalCapacity);
    finite = finiteAnd(finite, uValue);
    finite = finiteAnd(finite, decrementFactor);

    const V notComputed = splat<V>(__builtin_nan(""));
    const auto kept = [&](const V& value) { return finite ? value : notComputed; };
    const auto storeComplex = [&](const ComplexColumns& columns, const C& value) {
      storeComplexLanes<V>(columns, first, kept(value.re), kept(value.im), lanes);
    };
    const auto store = [&](double* target, const V& value) {
      storeLanes(target, first, kept(value), lanes);
    };
    storeComplex(out.z11, z.m11);
    storeComplex(out.z12, z.m12);
    storeComplex(out.z21, z.m21);
    storeComplex(out.z22, z.m22);
    storeComplex(out.internalAdmittance, internalAdmittance);
    storeComplex(out.externalAdmittance, externalAdmittance);
    storeComplex(out.periodicThermalTransmittance, transmittance);
    store(out.internalArealHeatCapacity, internalCapacity);
    store(out.externalArealHeatCapacity, externalCapacity);
    store(out.thermalResistance, totalResistance);
    store(out.uValue, uValue);
    store(out.decrementFactor, decrementFactor);

    // What WallResult adds for the periodic part, each only where it is wanted.
    store(out.period, period);
    store(out.thickness, totalThickness);
    store(out.surfaceMass, surfaceMass);
    const auto modulus = [&](const C& x) { return Math::sqrt(x.re * x.re + x.im * x.im); };
    if (out.internalAdmittanceModulus) {
      store(out.internalAdmittanceModulus, modulus(internalAdmittance));
    }
    if (out.externalAdmittanceModulus) {
      store(out.externalAdmittanceModulus, modulus(externalAdmittance));
    }
    if (out.periodicThermalTransmittanceModulus) {
      store(out.periodicThermalTransmittanceModulus, modulus(transmittance));
    }
    // Time shift (T / 2 pi) arg(Y) [h] with arg in (-pi, pi], as timeShiftHours computes it:
    // atan2 gives -pi for a negative zero imaginary part, taken as +pi.
    const V cycleHours = period / 3600.0;  // kSecondsPerHour of constants.h
    const V halfTurn = splat<V>(kPiValue);
    const auto shift = [&](const C& x) {
      V phase = Math::atan2(x.im, x.re);
      phase = phase <= -kPiValue ? halfTurn : phase;
      return cycleHours * phase / kTwoPiValue;
    };
    if (out.internalAdmittanceShift) store(out.internalAdmittanceShift, shift(internalAdmittance));
    if (out.externalAdmittanceShift) store(out.externalAdmittanceShift, shift(externalAdmittance));
    if (out.periodicThermalTransmittanceShift || out.timeLag) {
      const V transmittanceShift = shift(transmittance);
      store(out.periodicThermalTransmittanceShift, transmittanceShift);
      // The lag wrapped into [0, T) as timeLagFromShift wraps it; 0 - x keeps a zero lag +0.
      V lag = zero - transmittanceShift;
      lag = lag < 0.0 ? lag + cycleHours : lag;
      lag = lag >= cycleHours ? lag - cycleHours : lag;
      store(out.timeLag, lag);
    }
    for (std::size_t j = 0; j < lanes; ++j) {
      out.computed[first + j] = finite[j] != 0 ? 1 : 0;
    }
  }
}

}  // namespace
}  // namespace Brusk::Engine::Detail
