#include "brusk/frontend/shortest_double.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

// The shortest digits come from {fmt}'s default floating-point format ("{}"), which is the
// shortest text that reads back as the same double (Dragonbox). fmt picks its own notation
// (fixed for decimal exponents -4 to 15, scientific elsewhere, whole numbers without a point);
// std::to_chars picks the shorter of the two, and prints whole numbers in fixed notation as
// their exact value. Both agree on every number that is not a whole number and lies in
// [1e-3, 1e16): fmt's text is used as it is there. Elsewhere the digits and the exponent are
// read back from fmt's text and laid out again.
#include <fmt/compile.h>
#include <fmt/format.h>

namespace Brusk {

namespace {

/// The shortest round-trip digits of a positive finite double: value = 0.d1d2...dn * 10^(point)
/// with d1 != 0, i.e. a scientific exponent of point - 1.
struct Decimal {
  char digits[24];
  int count = 0;
  int scientificExponent = 0;
};

/// Reads the digits and exponent back from fmt's text of a positive finite double (one of
/// "ddd", "ddd.ddd", "0.000ddd", "d.ddde+XX", "de-XXX").
Decimal readFmtText(const char* text, const char* end) {
  Decimal decimal;
  int digitsBeforePoint = -1;
  int leadingZeros = 0;
  int exponent = 0;
  for (const char* p = text; p != end; ++p) {
    const char c = *p;
    if (c == '.') {
      digitsBeforePoint = decimal.count + leadingZeros;
    } else if (c == 'e') {
      const bool negative = p[1] == '-';
      for (p += 2; p != end; ++p) exponent = exponent * 10 + (*p - '0');
      if (negative) exponent = -exponent;
      break;
    } else if (c == '0' && decimal.count == 0) {
      ++leadingZeros;
    } else {
      decimal.digits[decimal.count++] = c;
    }
  }
  const int totalDigits = decimal.count + leadingZeros;
  if (digitsBeforePoint < 0) digitsBeforePoint = totalDigits;
  // Trailing zeros of a whole number ("100000") are not significant digits.
  while (decimal.count > 1 && decimal.digits[decimal.count - 1] == '0') --decimal.count;
  decimal.scientificExponent = digitsBeforePoint - leadingZeros - 1 + exponent;
  return decimal;
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

/// Everything but the common case: zero, non-finite values, numbers below 1e-3 or from 1e16 on,
/// and whole numbers from 1e5 on.
char* writeUncommon(double value, std::uint64_t bits, char* out) {
  if (bits >> 63) *out++ = '-';
  const bool notFinite = ((bits >> 52) & 0x7ffu) == 0x7ffu;
  if (notFinite) {
    const bool isNan = (bits & ((std::uint64_t{1} << 52) - 1)) != 0;
    std::memcpy(out, isNan ? "nan" : "inf", 3);
    return out + 3;
  }
  if ((bits << 1) == 0) {
    *out = '0';
    return out + 1;
  }

  const double magnitude = std::fabs(value);
  char text[32];
  const Decimal decimal = readFmtText(text, fmt::format_to(text, FMT_COMPILE("{}"), magnitude));
  const int count = decimal.count;
  const int exponent = decimal.scientificExponent;
  const int absoluteExponent = std::abs(exponent);

  const int scientificLength = count + (count > 1 ? 1 : 0) + 2 + (absoluteExponent >= 100 ? 3 : 2);
  const bool wholeNumber = exponent >= 0 && count <= exponent + 1;
  const int fixedLength = wholeNumber     ? exponent + 1
                          : exponent >= 0 ? count + 1
                                          : count + 1 - exponent;
  if (fixedLength <= scientificLength) {
    if (wholeNumber) {
      // Below 2^53 every whole double is its shortest digits padded with zeros.
      if (magnitude >= 9007199254740992.0) return writeExactWholeNumber(bits, out);
      std::memcpy(out, decimal.digits, static_cast<std::size_t>(count));
      std::memset(out + count, '0', static_cast<std::size_t>(exponent + 1 - count));
      return out + exponent + 1;
    }
    if (exponent >= 0) {
      const auto integerDigits = static_cast<std::size_t>(exponent + 1);
      std::memcpy(out, decimal.digits, integerDigits);
      out[integerDigits] = '.';
      std::memcpy(out + integerDigits + 1, decimal.digits + integerDigits,
                  static_cast<std::size_t>(count) - integerDigits);
      return out + count + 1;
    }
    const auto zeros = static_cast<std::size_t>(-exponent - 1);
    out[0] = '0';
    out[1] = '.';
    std::memset(out + 2, '0', zeros);
    std::memcpy(out + 2 + zeros, decimal.digits, static_cast<std::size_t>(count));
    return out + 2 + zeros + count;
  }

  *out++ = decimal.digits[0];
  if (count > 1) {
    *out++ = '.';
    std::memcpy(out, decimal.digits + 1, static_cast<std::size_t>(count - 1));
    out += count - 1;
  }
  *out++ = 'e';
  *out++ = exponent < 0 ? '-' : '+';
  if (absoluteExponent >= 100) *out++ = static_cast<char>('0' + absoluteExponent / 100);
  *out++ = static_cast<char>('0' + absoluteExponent / 10 % 10);
  *out++ = static_cast<char>('0' + absoluteExponent % 10);
  return out;
}

}  // namespace

char* writeShortestDouble(double value, char* out) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const double magnitude = std::fabs(value);
  // Comparisons with NaN are false: non-finite values take the uncommon path with zero.
  const bool common =
      magnitude >= 1e-3 && magnitude < 1e16 &&
      (magnitude < 1e5 || static_cast<double>(static_cast<std::int64_t>(magnitude)) != magnitude);
  if (common) return fmt::format_to(out, FMT_COMPILE("{}"), value);
  return writeUncommon(value, bits, out);
}

}  // namespace Brusk
