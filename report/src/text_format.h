#pragma once

#include <string>
#include <string_view>

namespace Brusk::Report {

/// Escapes &, <, >, " and ' so that any text is safe in HTML and SVG content and attributes;
/// control characters, which HTML does not allow, are shown as visible escapes ("\\x1b").
[[nodiscard]] std::string escapeMarkup(std::string_view text);

/// A number for people to read: fixed decimals, "−" (U+2212) for negatives, no "−0.00", and an
/// en dash for a value that is not finite.
[[nodiscard]] std::string formatNumber(double value, int decimals);

/// A number for SVG coordinates: plain ASCII, two decimals, trailing zeros dropped.
[[nodiscard]] std::string formatCoordinate(double value);

/// formatCoordinate(value) appended to `out`, without a string of its own.
void appendCoordinate(std::string& out, double value);

/// A small inline colour key (CSS class "swatch") in front of a name.
[[nodiscard]] std::string colourSwatch(std::string_view colour);

}  // namespace Brusk::Report
