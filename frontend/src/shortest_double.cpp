#include "brusk/frontend/shortest_double.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The shortest digits are found with the Schubfach method (R. Giulietti, "The Schubfach way to
// render doubles", 2020): the rounding interval of the double is scaled by a power of ten that
// leaves at most two candidate digit strings of minimal length, and the candidates are decided
// with exact integer comparisons. The scaling multiplies by a 128-bit upper approximation of
// the power of ten (pow10_table.inc, from scripts/generate-pow10-table.py) and rounds to odd,
// which is close enough that no comparison comes out wrong. Among the shortest digit strings
// it takes the one closest to the double, as std::to_chars does; the layout then follows
// std::to_chars's choice of notation.

namespace Brusk::Frontend {

namespace {

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

constexpr std::uint64_t kPowersOfTen[] = {1u,
                                          10u,
                                          100u,
                                          1000u,
                                          10000u,
                                          100000u,
                                          1000000u,
                                          10000000u,
                                          100000000u,
                                          1000000000u,
                                          10000000000u,
                                          100000000000u,
                                          1000000000000u,
                                          10000000000000u,
                                          100000000000000u,
                                          1000000000000000u,
                                          10000000000000000u,
                                          100000000000000000u,
                                          1000000000000000000u,
                                          10000000000000000000u};

int decimalDigitCount(std::uint64_t value) {
  // log10(2) ~ 1233 / 4096 turns the bit length into the digit count, give or take one.
  const auto bits = 64 - __builtin_clzll(value | 1u);
  const auto guess = static_cast<std::size_t>((bits * 1233) >> 12);
  return static_cast<int>(guess) + (value >= kPowersOfTen[guess] ? 1 : 0);
}

void writeDigitPair(std::uint32_t value, char* out) {
  std::memcpy(out, kDigitPairs + 2 * value, 2);
}

#if defined(__SSE2__)
/// The eight digits, zero-padded, of a value below 10^8 as eight 16-bit lanes, the first digit
/// in lane 0. Each half n of four digits fills four lanes as 4n; the high halves of its products
/// by 8389, 5243, 13108 and 32768, and of those by 2^7, 2^11, 2^13 and 2^15, are n / 1000,
/// n / 100, n / 10 and n (floor(4n 8389 / 2^25) is floor(n / 1000) for every n below 10^4, and
/// so on).
__m128i eightDigitLanes(std::uint32_t value) {
  const std::uint32_t high = value / 10000u;
  const std::uint32_t low = value % 10000u;
  const __m128i packed = _mm_cvtsi32_si128(static_cast<int>((high << 2) | (low << 18)));
  const __m128i twice = _mm_unpacklo_epi16(packed, packed);
  const __m128i spread = _mm_unpacklo_epi32(twice, twice);
  const __m128i divisors = _mm_set_epi16(-32768, 13108, 5243, 8389, -32768, 13108, 5243, 8389);
  const __m128i shifts =
      _mm_set_epi16(-32768, 1 << 13, 1 << 11, 1 << 7, -32768, 1 << 13, 1 << 11, 1 << 7);
  const __m128i prefixes = _mm_mulhi_epu16(_mm_mulhi_epu16(spread, divisors), shifts);
  // A prefix less ten times the one before it in its half is its last digit.
  const __m128i tens = _mm_slli_epi64(_mm_mullo_epi16(prefixes, _mm_set1_epi16(10)), 16);
  return _mm_sub_epi16(prefixes, tens);
}

/// The seventeen digits of a value in [10^16, 10^17) (a significand scaled to seventeen digits):
/// the first as a character, the other sixteen in the byte lanes of one register. The layouts
/// below store them straight from the register: digits stored to a buffer and read back at an
/// offset that depends on their count make each load straddle the stores that wrote them, which
/// the processor cannot forward, so the load waits for the stores to complete.
class DigitText {
public:
  explicit DigitText(std::uint64_t value) : _lead(static_cast<char>('0' + value / kTenToSixteen)) {
    const std::uint64_t rest = value % kTenToSixteen;
    const __m128i digits =
        _mm_packus_epi16(eightDigitLanes(static_cast<std::uint32_t>(rest / 100000000u)),
                         eightDigitLanes(static_cast<std::uint32_t>(rest % 100000000u)));
    _rest = _mm_add_epi8(digits, _mm_set1_epi8('0'));
  }

  [[nodiscard]] char lead() const { return _lead; }
  /// The sixteen digits after the first, at out[0..15].
  void storeRest(char* out) const { _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _rest); }
  /// All seventeen digits with a point after the first `integerPart` (1 to 16), at out[0..17].
  void storeWithPoint(char* out, int integerPart) const {
    // out[17] is the last digit whatever the point's place: the rest stored one byte on, then
    // out[1..16] overwritten with its lanes blended from the digit in place (before the point),
    // the point, and the digit one place to the left (after it).
    storeRest(out + 2);
    out[0] = _lead;
    const __m128i places = _mm_setr_epi8(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const __m128i point = _mm_set1_epi8(static_cast<char>(integerPart));
    const __m128i before = _mm_cmpgt_epi8(point, places);
    const __m128i at = _mm_cmpeq_epi8(point, places);
    const __m128i shifted = _mm_or_si128(_mm_slli_si128(_rest, 1), _mm_cvtsi32_si128(_lead));
    const __m128i blended = _mm_or_si128(
        _mm_or_si128(_mm_and_si128(before, _rest), _mm_and_si128(at, _mm_set1_epi8('.'))),
        _mm_andnot_si128(_mm_or_si128(before, at), shifted));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 1), blended);
  }

private:
  static constexpr std::uint64_t kTenToSixteen = 10000000000000000u;
  char _lead;
  __m128i _rest;
};
#else
/// The eight digits, zero-padded, of a value below 10^8 as ASCII bytes in memory order. The
/// value is split into 4-, 2- and 1-digit lanes of one 64-bit word with multiplications by
/// reciprocals, so no lookup or division is needed.
std::uint64_t eightDigitsAscii(std::uint32_t value) {
  std::uint64_t lanes = value / 10000u | (std::uint64_t{value % 10000u} << 32);
  // n * 10486 >> 20 is n / 100 for every n below 10^4.
  const std::uint64_t hundreds = ((lanes * 10486u) >> 20) & 0x0000007F0000007Fu;
  lanes = hundreds | ((lanes - hundreds * 100u) << 16);
  // n * 103 >> 10 is n / 10 for every n below 100.
  const std::uint64_t tens = ((lanes * 103u) >> 10) & 0x000F000F000F000Fu;
  lanes = tens | ((lanes - tens * 10u) << 8);
  return lanes + 0x3030303030303030u;
}

void writeEightDigits(std::uint32_t value, char* out) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  const std::uint64_t ascii = eightDigitsAscii(value);
  std::memcpy(out, &ascii, sizeof ascii);
#else
  const std::uint32_t high = value / 10000u;
  const std::uint32_t low = value % 10000u;
  writeDigitPair(high / 100u, out);
  writeDigitPair(high % 100u, out + 2);
  writeDigitPair(low / 100u, out + 4);
  writeDigitPair(low % 100u, out + 6);
#endif
}

/// The seventeen digits of a value in [10^16, 10^17), kept in memory, with the register
/// version's interface.
class DigitText {
public:
  explicit DigitText(std::uint64_t value) {
    const std::uint64_t rest = value % kTenToSixteen;
    _digits[0] = static_cast<char>('0' + value / kTenToSixteen);
    writeEightDigits(static_cast<std::uint32_t>(rest / 100000000u), _digits + 1);
    writeEightDigits(static_cast<std::uint32_t>(rest % 100000000u), _digits + 9);
  }

  [[nodiscard]] char lead() const { return _digits[0]; }
  void storeRest(char* out) const { std::memcpy(out, _digits + 1, 16); }
  void storeWithPoint(char* out, int integerPart) const {
    const auto split = static_cast<std::size_t>(integerPart);
    std::memcpy(out, _digits, split);
    out[split] = '.';
    std::memcpy(out + split + 1, _digits + split, 17 - split);
  }

private:
  static constexpr std::uint64_t kTenToSixteen = 10000000000000000u;
  char _digits[17];
};
#endif

struct Uint128 {
  std::uint64_t high;
  std::uint64_t low;
};

/// 10^e approximated from above for e = -292 to 324, normalised to [2^127, 2^128).
constexpr Uint128 kPowersOfTenAbove[] = {
#include "pow10_table.inc"
};
constexpr int kSmallestTablePower = -292;

/// The full product of two 64-bit values.
Uint128 multiply(std::uint64_t a, std::uint64_t b) {
#if defined(__SIZEOF_INT128__)
  __extension__ using Wide = unsigned __int128;
  const Wide product = static_cast<Wide>(a) * b;
  return {static_cast<std::uint64_t>(product >> 64), static_cast<std::uint64_t>(product)};
#else
  const std::uint64_t aLow = a & 0xffffffffu;
  const std::uint64_t aHigh = a >> 32;
  const std::uint64_t bLow = b & 0xffffffffu;
  const std::uint64_t bHigh = b >> 32;
  const std::uint64_t lowLow = aLow * bLow;
  const std::uint64_t lowHigh = aLow * bHigh;
  const std::uint64_t highLow = aHigh * bLow;
  const std::uint64_t middle = (lowLow >> 32) + (lowHigh & 0xffffffffu) + (highLow & 0xffffffffu);
  return {aHigh * bHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32),
          (middle << 32) | (lowLow & 0xffffffffu)};
#endif
}

/// floor(g * x / 2^128) with its lowest bit set if the exact quotient is not a whole number
/// ("round to odd"). g exceeds the power of ten by less than one unit of its low word, so a
/// remainder of at most one unit of the middle word means the exact quotient is whole.
std::uint64_t roundToOdd(Uint128 g, std::uint64_t x) {
  const Uint128 low = multiply(g.low, x);
  const Uint128 high = multiply(g.high, x);
  const std::uint64_t middle = high.low + low.high;
  const std::uint64_t quotient = high.high + (middle < high.low ? 1u : 0u);
  return quotient | (middle > 1 ? 1u : 0u);
}

/// floor(e * log10(2)), exact for |e| <= 2620; the second form is floor(log10(3/4 * 2^e)).
int floorLog10Pow2(int e) { return (e * 1262611) >> 22; }
int floorLog10ThreeQuartersPow2(int e) { return (e * 1262611 - 524031) >> 22; }
/// floor(e * log2(10)), exact for |e| <= 1650.
int floorLog2Pow10(int e) { return (e * 1741647) >> 19; }

/// A positive double as significand * 10^exponent.
struct Decimal {
  std::uint64_t significand;
  int exponent;
};

/// The shortest digits of the positive finite double with the given IEEE fields, the closest
/// to it among equally short ones; trailing zeros may remain.
Decimal shortestDecimal(std::uint64_t fraction, int biasedExponent) {
  std::uint64_t c = fraction;
  int q = -1074;
  if (biasedExponent != 0) {
    c |= std::uint64_t{1} << 52;
    q = biasedExponent - 1075;
    // Whole numbers below 2^53 are their own shortest digits.
    if (q <= 0 && q > -53 && (c & ((std::uint64_t{1} << -q) - 1)) == 0) return {c >> -q, 0};
  }
  // On an even significand the ends of the rounding interval round to the double too.
  const std::uint64_t excludeEnds = c & 1u;
  // At a power of two the next double below is closer than the next above.
  const bool lowerIsCloser = fraction == 0 && biasedExponent > 1;

  const int k = lowerIsCloser ? floorLog10ThreeQuartersPow2(q) : floorLog10Pow2(q);
  const int shift = q + floorLog2Pow10(-k) + 1;  // 1 to 4
  const Uint128 g = kPowersOfTenAbove[-k - kSmallestTablePower];
  // Four times the double and the ends of its rounding interval, times 10^-k.
  const std::uint64_t lowerEnd = roundToOdd(g, (4 * c - 2 + (lowerIsCloser ? 1u : 0u)) << shift);
  const std::uint64_t scaled = roundToOdd(g, (4 * c) << shift);
  const std::uint64_t upperEnd = roundToOdd(g, (4 * c + 2) << shift);
  const std::uint64_t lower = lowerEnd + excludeEnds;
  const std::uint64_t upper = upperEnd - excludeEnds;

  const std::uint64_t s = scaled / 4;
  if (s >= 10) {
    // One digit fewer: at most one of the two neighbours lies in the interval.
    const std::uint64_t shorter = s / 10;
    const bool downInside = lower <= 40 * shorter;
    const bool upInside = 40 * shorter + 40 <= upper;
    if (downInside != upInside) return {shorter + (upInside ? 1u : 0u), k + 1};
  }
  const bool downInside = lower <= 4 * s;
  const bool upInside = 4 * s + 4 <= upper;
  if (downInside != upInside) return {s + (upInside ? 1u : 0u), k};
  // Both inside: the closer one, the even one on an exact tie.
  const std::uint64_t middle = 4 * s + 2;
  const bool roundUp = scaled > middle || (scaled == middle && (s & 1u) != 0);
  return {s + (roundUp ? 1u : 0u), k};
}

/// Strips the trailing zeros of a significand of at most 17 digits (a short number such as 0.2
/// comes out of the search as 20000000000000000 x 10^-17): by 10^8, 10^4, 10^2 and 10, each
/// a multiplication by a constant, instead of up to sixteen steps of 10.
template <std::uint64_t power, int digits>
void removeTrailingZerosBy(Decimal& decimal) {
  if (decimal.significand % power == 0) {
    decimal.significand /= power;
    decimal.exponent += digits;
  }
}

void removeTrailingZeros(Decimal& decimal) {
  // The powers are template arguments, not the elements of a loop: a constant divisor is a
  // multiplication by its reciprocal, a divisor read from memory a 64-bit division, which for
  // the one number in ten or so that gets here cost more than all the rest of its writing.
  removeTrailingZerosBy<100000000u, 8>(decimal);
  removeTrailingZerosBy<100000000u, 8>(decimal);
  removeTrailingZerosBy<10000u, 4>(decimal);
  removeTrailingZerosBy<100u, 2>(decimal);
  removeTrailingZerosBy<10u, 1>(decimal);
}

/// Writes the decimal digits of `value` (no leading zeros, "0" for 0); returns the end.
char* writeUnsigned(std::uint64_t value, char* out) {
  char reversed[20];
  int count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + value % 10u);
    value /= 10u;
  } while (value != 0);
  while (count > 0) *out++ = reversed[--count];
  return out;
}

/// Writes `value` below 10^9 as exactly nine digits, zero-padded; returns the end.
char* writeNineDigits(std::uint64_t value, char* out) {
  for (int i = 8; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10u);
    value /= 10u;
  }
  return out + 9;
}

/// Writes the exact integer value of a positive double of at least 2^53 and below 10^22 (the
/// whole numbers for which fixed notation can be the shorter one), from its significand and
/// binary exponent: significand * 2^shift in base-10^9 limbs, no rounding anywhere.
char* writeExactWholeNumber(std::uint64_t bits, char* out) {
  constexpr std::uint64_t kLimb = 1000000000u;
  const std::uint64_t significand =
      (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const auto shift = static_cast<unsigned>(((bits >> 52) & 0x7ffu) - 1075u);  // 1 to 21
  // significand < 2^53 and shift <= 21: every product below stays under 2^64.
  const std::uint64_t low = (significand % kLimb) << shift;
  const std::uint64_t middle = ((significand / kLimb) << shift) + low / kLimb;
  const std::uint64_t high = middle / kLimb;
  if (high != 0) {
    out = writeUnsigned(high, out);
    out = writeNineDigits(middle % kLimb, out);
  } else {
    out = writeUnsigned(middle % kLimb, out);
  }
  return writeNineDigits(low % kLimb, out);
}

}  // namespace

char* writeShortestDouble(double value, char* out) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  // Signs alternate unpredictably in the matrix columns: written without a branch.
  *out = '-';
  out += bits >> 63;
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  const auto biasedExponent = static_cast<int>((bits >> 52) & 0x7ffu);
  if (biasedExponent == 0x7ff) {
    std::memcpy(out, fraction != 0 ? "nan" : "inf", 3);
    return out + 3;
  }
  if ((bits << 1) == 0) {
    *out = '0';
    return out + 1;
  }
  Decimal decimal = shortestDecimal(fraction, biasedExponent);
  // Most computed values end in a non-zero digit: one test, and the search only for the others.
  if (decimal.significand % 10 == 0) removeTrailingZeros(decimal);

  const int digitCount = decimalDigitCount(decimal.significand);
  // The digits scaled to seventeen, the first one leading: every layout below then finds it
  // at the same place, and the zeros that pad the scaled significand are those a whole
  // number's fixed text ends in.
  const DigitText digits(decimal.significand *
                         kPowersOfTen[static_cast<std::size_t>(17 - digitCount)]);
  const int exponent = decimal.exponent;  // value = digits * 10^exponent

  // Nearly every number a result holds is "ddd.ddd" or "0.ddd", "0.0ddd" or "0.00ddd": fixed
  // notation, always shorter than scientific there, laid out without the length comparison.
  // (A fraction leaves at most 16 integer digits of the 17.)
  const int integerDigits = digitCount + exponent;
  if (exponent < 0 && integerDigits >= -2) {
    if (integerDigits > 0) {
      digits.storeWithPoint(out, integerDigits);
      return out + digitCount + 1;
    }
    // "0." and up to two zeros, then the digits over what is not needed of them.
    std::memcpy(out, "0.00", 4);
    const int zeros = -integerDigits;
    out[2 + zeros] = digits.lead();
    digits.storeRest(out + 3 + zeros);
    return out + 2 + zeros + digitCount;
  }

  // std::to_chars takes the shorter of fixed and scientific notation, fixed on a tie.
  const int scientificExponent = exponent + digitCount - 1;
  const int absoluteExponent = std::abs(scientificExponent);
  const int scientificLength =
      digitCount + (digitCount > 1 ? 1 : 0) + 2 + (absoluteExponent >= 100 ? 3 : 2);
  const int fixedLength = exponent >= 0            ? digitCount + exponent
                          : -exponent < digitCount ? digitCount + 1
                                                   : 2 - exponent;
  if (fixedLength <= scientificLength) {
    // Fixed notation of a whole number is its exact value, which from 2^53 on (16 or more
    // integer digits) need not be the shortest digits padded with zeros.
    if (integerDigits > 15 && biasedExponent > 1075) return writeExactWholeNumber(bits, out);
    if (exponent >= 0) {
      // Below 2^53 a whole number has at most 16 digits: the scaled ones and their zeros.
      out[0] = digits.lead();
      digits.storeRest(out + 1);
      return out + integerDigits;
    }
    // Only "0.000ddd" and beyond are left.
    const int leadingZeros = -exponent - digitCount;
    out[0] = '0';
    out[1] = '.';
    std::memset(out + 2, '0', static_cast<std::size_t>(leadingZeros));
    out[2 + leadingZeros] = digits.lead();
    digits.storeRest(out + 3 + leadingZeros);
    return out + 2 + leadingZeros + digitCount;
  }
  char* end = out + 1;
  out[0] = digits.lead();
  if (digitCount > 1) {
    out[1] = '.';
    digits.storeRest(out + 2);
    end = out + digitCount + 1;
  }
  *end++ = 'e';
  *end++ = scientificExponent < 0 ? '-' : '+';
  if (absoluteExponent >= 100) *end++ = static_cast<char>('0' + absoluteExponent / 100);
  writeDigitPair(static_cast<std::uint32_t>(absoluteExponent % 100), end);
  return end + 2;
}

}  // namespace Brusk::Frontend
