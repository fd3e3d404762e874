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

std::string formatCoordinate(double value) {
  std::string text = printFixed(value, 2);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  return text;
}

}  // namespace Brusk::Report
