#pragma once

#include <cstddef>

namespace Brusk::Frontend {

/// Bytes writeShortestDouble may touch at its output: the longest text ("-2.2250738585072014e-308")
/// is 24 bytes; the rest is headroom, so that callers staging text in a buffer can reserve one
/// fixed size per number.
inline constexpr std::size_t kShortestDoubleRoom = 64;

/// Writes `value` at `out` exactly as std::to_chars(out, end, value) from libstdc++ does: the
/// shortest text that reads back as the same double, in fixed or scientific notation, whichever
/// is shorter, fixed on a tie; a whole number in fixed notation is written as its exact integer
/// value; zero as "0" or "-0"; non-finite values as "inf", "-inf", "nan" or "-nan".
///
/// Pure (no locale, no shared state), safe from many threads, and independent of the C++
/// library's floating-point to_chars. `out` must have kShortestDoubleRoom bytes of room.
/// Returns the end of the text.
char* writeShortestDouble(double value, char* out);

}  // namespace Brusk::Frontend
