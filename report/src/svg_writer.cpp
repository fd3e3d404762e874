#include "svg_writer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "text_format.h"

namespace Brusk::Report {

namespace {

std::string strokeAttributes(const SvgStroke& stroke) {
  std::string attributes = " stroke=\"" + escapeMarkup(stroke.colour) + "\" stroke-width=\"" +
                           formatCoordinate(stroke.width) + "\"";
  if (!stroke.dashes.empty()) attributes += " stroke-dasharray=\"" + stroke.dashes + "\"";
  return attributes;
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
  _markup += "<line x1=\"" + formatCoordinate(from.x) + "\" y1=\"" + formatCoordinate(from.y) +
             "\" x2=\"" + formatCoordinate(to.x) + "\" y2=\"" + formatCoordinate(to.y) + "\"" +
             strokeAttributes(stroke) + "/>\n";
}

void SvgWriter::polyline(const std::vector<SvgPoint>& points, const SvgStroke& stroke) {
  std::string path;
  bool penDown = false;
  for (const SvgPoint& point : points) {
    if (!isFinitePoint(point)) {
      penDown = false;
      continue;
    }
    path += penDown ? " L" : (path.empty() ? "M" : " M");
    path += formatCoordinate(point.x) + " " + formatCoordinate(point.y);
    penDown = true;
  }
  if (path.empty()) return;
  _markup += "<path d=\"" + path + "\" fill=\"none\" stroke-linejoin=\"round\"" +
             strokeAttributes(stroke) + "/>\n";
}

void SvgWriter::rectangle(SvgPoint corner, double width, double height, std::string_view fill,
                          const SvgStroke& stroke) {
  _markup += "<rect x=\"" + formatCoordinate(corner.x) + "\" y=\"" + formatCoordinate(corner.y) +
             "\" width=\"" + formatCoordinate(width) + "\" height=\"" + formatCoordinate(height) +
             "\" fill=\"" + escapeMarkup(fill) + "\"" +
             (stroke.width > 0.0 ? strokeAttributes(stroke) : std::string(" stroke=\"none\"")) +
             "/>\n";
}

void SvgWriter::circle(SvgPoint centre, double radius, std::string_view fill,
                       const SvgStroke& stroke) {
  _markup += "<circle cx=\"" + formatCoordinate(centre.x) + "\" cy=\"" +
             formatCoordinate(centre.y) + "\" r=\"" + formatCoordinate(radius) + "\" fill=\"" +
             escapeMarkup(fill) + "\"" + strokeAttributes(stroke) + "/>\n";
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
  _markup += "<text x=\"" + formatCoordinate(position.x) + "\" y=\"" +
             formatCoordinate(position.y) + "\" text-anchor=\"" + anchor + "\" font-size=\"" +
             formatCoordinate(style.size) + "\" fill=\"" + escapeMarkup(style.colour) + "\"";
  if (style.bold) _markup += " font-weight=\"bold\"";
  if (style.rotation != 0.0) {
    _markup += " transform=\"rotate(" + formatCoordinate(style.rotation) + " " +
               formatCoordinate(position.x) + " " + formatCoordinate(position.y) + ")\"";
  }
  _markup += ">" + escapeMarkup(content) + "</text>\n";
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
