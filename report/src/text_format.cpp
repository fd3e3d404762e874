#include "text_format.h"

#include <cmath>
#include <cstdio>

#include "brusk/frontend/text_util.h"

namespace Brusk::Report {

std::string escapeMarkup(std::string_view raw) {
  // Control characters are not allowed in HTML text; they are shown as escapes instead.
  const std::string text = Frontend::visibleText(raw);
  std::string escaped;
  escaped.reserve(text.size());
  for (const char character : text) {
    switch (character) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += character;
    }
  }
  return escaped;
}

std::string colourSwatch(std::string_view colour) {
  // The no-break space keeps validators from trimming the span as empty.
  return "<span class=\"swatch\" style=\"background:" + escapeMarkup(colour) +
         "\" aria-hidden=\"true\">&nbsp;</span>";
}

namespace {

std::string printFixed(double value, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

}  // namespace

std::string formatNumber(double value, int decimals) {
  if (!std::isfinite(value)) return "\u2013";
  std::string text = printFixed(std::fabs(value), decimals);
  const bool printsAsZero = text.find_first_not_of("0.") == std::string::npos;
  if (value < 0.0 && !printsAsZero) text = "\u2212" + text;
  return text;
}

void appendCoordinate(std::string& out, double value) {
  // snprintf's %.2f is exact but slow where it runs on software long doubles (WebAssembly),
  // and a drawing writes thousands of coordinates. value * 100 is within an ulp or so of the
  // exact product, so rounding it to the nearest integer gives %.2f's digits unless the
  // product lies within rounding noise of a half (x.xx5), where the exact decimal value of
  // `value` decides: those, and values too large for the integer, go through snprintf. An
  // exact half (value = k/8) rounds to even in both.
  constexpr double kLargestFast = 1e7;
  const double scaled = value * 100.0;
  const double rounded = std::nearbyint(scaled);
  if (!(std::fabs(value) < kLargestFast) || std::fabs(std::fabs(scaled - rounded) - 0.5) < 1e-6) {
    std::string text = printFixed(value, 2);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    if (text == "-0") text = "0";
    out += text;
    return;
  }
  auto hundredths = static_cast<long long>(std::fabs(rounded));
  if (hundredths == 0) {
    out += '0';
    return;
  }
  if (rounded < 0.0) out += '-';
  char digits[24];
  char* end = digits + sizeof digits;
  char* begin = end;
  const long long whole = hundredths / 100;
  int fraction = static_cast<int>(hundredths % 100);
  if (fraction != 0) {
    if (fraction % 10 == 0) {
      *--begin = static_cast<char>('0' + fraction / 10);
    } else {
      *--begin = static_cast<char>('0' + fraction % 10);
      *--begin = static_cast<char>('0' + fraction / 10);
    }
    *--begin = '.';
  }
  long long rest = whole;
  do {
    *--begin = static_cast<char>('0' + rest % 10);
    rest /= 10;
  } while (rest != 0);
  out.append(begin, end);
}

std::string formatCoordinate(double value) {
  std::string text;
  appendCoordinate(text, value);
  return text;
}

}  // namespace Brusk::Report
