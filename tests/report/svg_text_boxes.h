#pragma once

// The texts of a drawing as boxes, for tests of where labels go: each <text> element's position,
// anchor, size and rotation read back from the SVG, its width as the drawing code estimates it.

#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "svg_writer.h"

namespace Brusk::Testing {

/// A text of a drawing and the rectangle it covers [px, y down].
struct TextBox {
  std::string text;
  double left = 0.0;
  double right = 0.0;
  double top = 0.0;
  double bottom = 0.0;
};

inline std::ostream& operator<<(std::ostream& out, const TextBox& box) {
  return out << '"' << box.text << "\" [" << box.left << ", " << box.right << "] x [" << box.top
             << ", " << box.bottom << "]";
}

/// The value of attribute `name` in the element text `element`, or "" when it has none.
inline std::string attributeOf(const std::string& element, const std::string& name) {
  const std::string key = " " + name + "=\"";
  const std::size_t at = element.find(key);
  if (at == std::string::npos) return "";
  const std::size_t start = at + key.size();
  return element.substr(start, element.find('"', start) - start);
}

/// `text` with the markup escapes the SVG writer uses turned back into characters.
inline std::string unescaped(std::string text) {
  const std::pair<const char*, const char*> escapes[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
  for (const auto& [from, to] : escapes) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
      text.replace(at, std::string(from).size(), to);
      at += std::string(to).size();
    }
  }
  return text;
}

/// Every <text> of `svg` as its box: the width from estimateTextWidth(), the height the font
/// size (from a baseline 0.8 of it below the top), a rotation by ±90° turning the box about the
/// text's position.
inline std::vector<TextBox> textBoxes(const std::string& svg) {
  std::vector<TextBox> boxes;
  for (std::size_t at = svg.find("<text "); at != std::string::npos;
       at = svg.find("<text ", at + 1)) {
    const std::size_t open = svg.find('>', at);
    const std::size_t close = svg.find("</text>", open);
    const std::string element = svg.substr(at, open - at);
    TextBox box;
    box.text = unescaped(svg.substr(open + 1, close - open - 1));
    const double x = std::atof(attributeOf(element, "x").c_str());
    const double y = std::atof(attributeOf(element, "y").c_str());
    const double size = std::atof(attributeOf(element, "font-size").c_str());
    const double width = Report::estimateTextWidth(box.text, size);
    const std::string anchor = attributeOf(element, "text-anchor");
    const double start = anchor == "middle" ? -width / 2.0 : anchor == "end" ? -width : 0.0;
    const bool rotated = !attributeOf(element, "transform").empty();
    if (rotated) {
      // Turned by 90° either way about (x, y): the run lies along y, the height along x.
      box.left = x - 0.5 * size;
      box.right = x + 0.5 * size;
      box.top = y + start;
      box.bottom = y + start + width;
    } else {
      box.left = x + start;
      box.right = x + start + width;
      box.top = y - 0.8 * size;
      box.bottom = y + 0.2 * size;
    }
    boxes.push_back(box);
  }
  return boxes;
}

/// Whether two boxes share more than a hair of area.
inline bool overlap(const TextBox& a, const TextBox& b) {
  constexpr double kHair = 0.5;
  return a.left < b.right - kHair && b.left < a.right - kHair && a.top < b.bottom - kHair &&
         b.top < a.bottom - kHair;
}

/// The drawing's width and height from its viewBox.
inline std::pair<double, double> drawingSize(const std::string& svg) {
  const std::string box = attributeOf(svg.substr(0, svg.find('>')), "viewBox");
  double values[4] = {0.0, 0.0, 0.0, 0.0};
  const char* cursor = box.c_str();
  for (double& value : values) {
    char* end = nullptr;
    value = std::strtod(cursor, &end);
    cursor = end;
  }
  return {values[2], values[3]};
}

}  // namespace Brusk::Testing
