#include "svg_writer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "text_format.h"

namespace Brusk::Report {

namespace {

void appendStroke(std::string& out, const SvgStroke& stroke) {
  out += " stroke=\"";
  out += escapeMarkup(stroke.colour);
  out += "\" stroke-width=\"";
  appendCoordinate(out, stroke.width);
  out += '"';
  if (!stroke.dashes.empty()) {
    out += " stroke-dasharray=\"";
    out += stroke.dashes;
    out += '"';
  }
}

/// ` name="value"` with the value as a coordinate.
void appendAttribute(std::string& out, const char* name, double value) {
  out += ' ';
  out += name;
  out += "=\"";
  appendCoordinate(out, value);
  out += '"';
}

bool isFinitePoint(SvgPoint point) { return std::isfinite(point.x) && std::isfinite(point.y); }

}  // namespace

SvgWriter::SvgWriter(std::string_view id, double width, double height, std::string_view title)
    : _id(id) {
  _markup = "<svg xmlns=\"http://www.w3.org/2000/svg\" id=\"" + escapeMarkup(id) +
            "\" viewBox=\"0 0 " + formatCoordinate(width) + " " + formatCoordinate(height) +
            "\" width=\"" + formatCoordinate(width) + "\" height=\"" + formatCoordinate(height) +
            "\" role=\"img\" aria-label=\"" + escapeMarkup(title) + "\">\n<title>" +
            escapeMarkup(title) + "</title>\n";
}

void SvgWriter::line(SvgPoint from, SvgPoint to, const SvgStroke& stroke) {
  _markup += "<line";
  appendAttribute(_markup, "x1", from.x);
  appendAttribute(_markup, "y1", from.y);
  appendAttribute(_markup, "x2", to.x);
  appendAttribute(_markup, "y2", to.y);
  appendStroke(_markup, stroke);
  _markup += "/>\n";
}

void SvgWriter::polyline(const std::vector<SvgPoint>& points, const SvgStroke& stroke) {
  const std::size_t start = _markup.size();
  _markup += "<path d=\"";
  const std::size_t pathStart = _markup.size();
  bool penDown = false;
  for (const SvgPoint& point : points) {
    if (!isFinitePoint(point)) {
      penDown = false;
      continue;
    }
    _markup += penDown ? " L" : (_markup.size() == pathStart ? "M" : " M");
    appendCoordinate(_markup, point.x);
    _markup += ' ';
    appendCoordinate(_markup, point.y);
    penDown = true;
  }
  if (_markup.size() == pathStart) {
    _markup.resize(start);
    return;
  }
  _markup += "\" fill=\"none\" stroke-linejoin=\"round\"";
  appendStroke(_markup, stroke);
  _markup += "/>\n";
}

void SvgWriter::rectangle(SvgPoint corner, double width, double height, std::string_view fill,
                          const SvgStroke& stroke) {
  _markup += "<rect";
  appendAttribute(_markup, "x", corner.x);
  appendAttribute(_markup, "y", corner.y);
  appendAttribute(_markup, "width", width);
  appendAttribute(_markup, "height", height);
  _markup += " fill=\"";
  _markup += escapeMarkup(fill);
  _markup += '"';
  if (stroke.width > 0.0) {
    appendStroke(_markup, stroke);
  } else {
    _markup += " stroke=\"none\"";
  }
  _markup += "/>\n";
}

void SvgWriter::circle(SvgPoint centre, double radius, std::string_view fill,
                       const SvgStroke& stroke) {
  _markup += "<circle";
  appendAttribute(_markup, "cx", centre.x);
  appendAttribute(_markup, "cy", centre.y);
  appendAttribute(_markup, "r", radius);
  _markup += " fill=\"";
  _markup += escapeMarkup(fill);
  _markup += '"';
  appendStroke(_markup, stroke);
  _markup += "/>\n";
}

void SvgWriter::arrow(SvgPoint from, SvgPoint to, const SvgStroke& stroke) {
  const double length = std::hypot(to.x - from.x, to.y - from.y);
  if (length <= 0.0) return;
  // The head is drawn as a polygon rather than an SVG marker: markers need document-wide ids.
  const double unitX = (to.x - from.x) / length;
  const double unitY = (to.y - from.y) / length;
  const double headLength = std::min(8.0, length);
  const double headHalfWidth = 3.5;
  const SvgPoint base{to.x - unitX * headLength, to.y - unitY * headLength};
  line(from, base, stroke);
  const SvgPoint left{base.x - unitY * headHalfWidth, base.y + unitX * headHalfWidth};
  const SvgPoint right{base.x + unitY * headHalfWidth, base.y - unitX * headHalfWidth};
  _markup += "<polygon points=\"" + formatCoordinate(to.x) + "," + formatCoordinate(to.y) + " " +
             formatCoordinate(left.x) + "," + formatCoordinate(left.y) + " " +
             formatCoordinate(right.x) + "," + formatCoordinate(right.y) + "\" fill=\"" +
             escapeMarkup(stroke.colour) + "\"/>\n";
}

void SvgWriter::text(SvgPoint position, std::string_view content, const SvgTextStyle& style) {
  const char* anchor = style.anchor == TextAnchor::Start    ? "start"
                       : style.anchor == TextAnchor::Middle ? "middle"
                                                            : "end";
  _markup += "<text";
  appendAttribute(_markup, "x", position.x);
  appendAttribute(_markup, "y", position.y);
  _markup += " text-anchor=\"";
  _markup += anchor;
  _markup += '"';
  appendAttribute(_markup, "font-size", style.size);
  _markup += " fill=\"";
  _markup += escapeMarkup(style.colour);
  _markup += '"';
  if (style.bold) _markup += " font-weight=\"bold\"";
  if (style.rotation != 0.0) {
    _markup += " transform=\"rotate(";
    appendCoordinate(_markup, style.rotation);
    _markup += ' ';
    appendCoordinate(_markup, position.x);
    _markup += ' ';
    appendCoordinate(_markup, position.y);
    _markup += ")\"";
  }
  _markup += '>';
  _markup += escapeMarkup(content);
  _markup += "</text>\n";
}

void SvgWriter::beginClip(SvgPoint corner, double width, double height) {
  // Ids are shared by every SVG of the page, hence the owner's id in the clip's.
  const std::string clipId = _id + "-clip-" + std::to_string(++_clipCount);
  _markup += "<clipPath id=\"" + escapeMarkup(clipId) + "\"><rect x=\"" +
             formatCoordinate(corner.x) + "\" y=\"" + formatCoordinate(corner.y) + "\" width=\"" +
             formatCoordinate(width) + "\" height=\"" + formatCoordinate(height) +
             "\"/></clipPath>\n<g clip-path=\"url(#" + escapeMarkup(clipId) + ")\">\n";
}

void SvgWriter::endClip() { _markup += "</g>\n"; }

std::string SvgWriter::finish() {
  _markup += "</svg>\n";
  return std::move(_markup);
}

double estimateTextWidth(std::string_view text, double size) {
  // Count code points, not bytes, so that "m²·K" is not measured as seven characters.
  std::size_t codePoints = 0;
  for (const char character : text) {
    if ((static_cast<unsigned char>(character) & 0xC0U) != 0x80U) ++codePoints;
  }
  return static_cast<double>(codePoints) * size * 0.56;
}

}  // namespace Brusk::Report
