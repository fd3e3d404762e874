#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Brusk::Report {

/// A point in SVG user units (pixels, y downwards).
struct SvgPoint {
  double x = 0.0;
  double y = 0.0;
};

/// How text is anchored at its position.
enum class TextAnchor { Start, Middle, End };

/// Stroke of a line or outline.
struct SvgStroke {
  std::string colour = "#000";
  double width = 1.0;
  std::string dashes;  ///< SVG dash array, empty for a solid line
};

/// Text placement and look.
struct SvgTextStyle {
  TextAnchor anchor = TextAnchor::Start;
  double size = 12.0;
  std::string colour = "#222";
  bool bold = false;
  double rotation = 0.0;  ///< degrees, clockwise, about the text position
};

/// Writes one inline SVG element, primitive by primitive. Every text is escaped here, so callers
/// pass plain strings.
class SvgWriter {
public:
  /// Opens <svg> with a viewBox of width x height, the element id and an accessible title.
  SvgWriter(std::string_view id, double width, double height, std::string_view title);

  void line(SvgPoint from, SvgPoint to, const SvgStroke& stroke);
  /// A polyline that leaves a gap wherever a point is not finite.
  void polyline(const std::vector<SvgPoint>& points, const SvgStroke& stroke);
  void rectangle(SvgPoint corner, double width, double height, std::string_view fill,
                 const SvgStroke& stroke);
  void circle(SvgPoint centre, double radius, std::string_view fill, const SvgStroke& stroke);
  /// A line with a filled arrow head at `to`.
  void arrow(SvgPoint from, SvgPoint to, const SvgStroke& stroke);
  void text(SvgPoint position, std::string_view content, const SvgTextStyle& style);
  /// Starts a group whose content is clipped to a rectangle.
  void beginClip(SvgPoint corner, double width, double height);
  void endClip();

  /// Closes the element and returns its markup.
  [[nodiscard]] std::string finish();

private:
  std::string _id;
  std::string _markup;
  int _clipCount = 0;
};

/// Rough width of `text` drawn at `size` px in the page's sans-serif face, for layout.
[[nodiscard]] double estimateTextWidth(std::string_view text, double size);

}  // namespace Brusk::Report
