#include "wall_section.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "axis_ticks.h"
#include "svg_writer.h"
#include "text_format.h"

namespace Brusk::Report {

namespace {

constexpr double kSectionLeft = 48.0;
constexpr double kSectionTop = 12.0;
constexpr double kSectionHeight = 120.0;
constexpr double kLabelRowHeight = 21.0;
constexpr double kLabelGap = 28.0;
constexpr double kScaleBarHeight = 34.0;
constexpr double kLabelFontSize = 12.0;

double drawnWidth(const Engine::LayerProperties& layer, double pixelsPerMetre) {
  return std::max(kMinimumLayerWidth, layer.thickness * pixelsPerMetre);
}

/// "12.5 mm", "0.2 mm", "150 mm": millimetres with only the decimals the value carries.
std::string formatMillimetres(double metres, const PlotWords& words) {
  const double millimetres = metres * 1000.0;
  int decimals = 0;
  while (decimals < 2 &&
         std::fabs(millimetres - std::round(millimetres * std::pow(10.0, decimals)) /
                                     std::pow(10.0, decimals)) > 1e-6) {
    ++decimals;
  }
  return words("section.millimetres", {{"value", words.number(millimetres, decimals)}});
}

/// A layer's callout: its name, and its thickness (R for a pure resistance).
struct LayerCallout {
  std::string name;
  std::string size;
};

LayerCallout layerCallout(const Frontend::Wall& wall, std::size_t index, const PlotWords& words) {
  const Frontend::LayerLabel& label = wall.labels[index];
  const Engine::LayerProperties& layer = wall.request.layers[index];
  const std::string name = label.name.empty() ? label.family : label.name;
  if (layer.isPureResistance()) {
    return {name, words("section.resistance", {{"value", words.number(layer.resistance, 2)}})};
  }
  return {name, formatMillimetres(layer.thickness, words)};
}

std::string layerLabel(const Frontend::Wall& wall, std::size_t index, const PlotWords& words) {
  const LayerCallout callout = layerCallout(wall, index, words);
  return words("section.callout", {{"name", callout.name}, {"size", callout.size}});
}

/// The usual zigzag of insulation drawings over a layer `width` wide at `left`, so that it reads
/// in grey print too; none in a layer too narrow for it.
void drawInsulationHatch(double left, double width, SvgWriter& svg) {
  if (width < 6.0) return;
  std::vector<SvgPoint> zigzag;
  const double amplitude = std::min(width / 2.0 - 2.0, 14.0);
  const double middle = left + width / 2.0;
  const double bottom = kSectionTop + kSectionHeight;
  for (double y = kSectionTop; y <= bottom + 0.01; y += amplitude) {
    const bool leftTurn = static_cast<long>(std::lround((y - kSectionTop) / amplitude)) % 2 == 0;
    zigzag.push_back({middle + (leftTurn ? -amplitude : amplitude), y});
  }
  svg.polyline(zigzag, {"#9c8420", 0.8, ""});
}

/// How often a layer of parts' pattern repeats over the section's height: a few studs spaced
/// through the infill read as studs, where one band per part would read as more layers.
constexpr int kPartPatternRepeats = 3;

/// A layer of parts drawn as its pattern repeated across the height: the part of largest share
/// (the infill between studs) fills the layer, and in each repeat the other parts are bands as
/// high as their share of the repeat, together centred in it, each in its family's colour; false
/// for a layer that is not one.
bool drawParts(const Frontend::Wall& wall, std::size_t index, double left, double width,
               SvgWriter& svg) {
  const Engine::ElementDescription& element = wall.element.element;
  for (std::size_t i = 0; i < element.bridged.size(); ++i) {
    if (element.bridged[i].layer != index) continue;
    const std::vector<Engine::LayerPart>& parts = element.bridged[i].parts;
    const auto familyOf = [&](std::size_t part) -> std::string {
      return i < wall.element.partLabels.size() && part < wall.element.partLabels[i].size()
                 ? wall.element.partLabels[i][part].family
                 : std::string("other");
    };
    std::size_t infill = 0;
    for (std::size_t part = 1; part < parts.size(); ++part) {
      if (parts[part].fraction > parts[infill].fraction) infill = part;
    }
    const SvgStroke edge{"#444", 0.8, ""};
    svg.rectangle({left, kSectionTop}, width, kSectionHeight, familyColour(familyOf(infill)), edge);
    if (familyOf(infill) == "insulation") drawInsulationHatch(left, width, svg);
    const double repeat = kSectionHeight / static_cast<double>(kPartPatternRepeats);
    const double bandsShare = 1.0 - parts[infill].fraction;
    for (int copy = 0; copy < kPartPatternRepeats; ++copy) {
      double top =
          kSectionTop + static_cast<double>(copy) * repeat + (1.0 - bandsShare) * repeat / 2.0;
      for (std::size_t part = 0; part < parts.size(); ++part) {
        if (part == infill) continue;
        const double height = parts[part].fraction * repeat;
        svg.rectangle({left, top}, width, height, familyColour(familyOf(part)), edge);
        top += height;
      }
    }
    return true;
  }
  return false;
}

}  // namespace

std::string familyColour(const std::string& family) {
  static const std::map<std::string, std::string> colours{
      {"concrete", "#b9b9b1"}, {"masonry", "#c8654b"},  {"timber", "#d2a566"},
      {"board", "#e9ddc2"},    {"plaster", "#f4f0e4"},  {"insulation", "#f5d94e"},
      {"metal", "#8e9aa6"},    {"glass", "#c4e6f1"},    {"soil", "#8d6e4f"},
      {"stone", "#aaa08f"},    {"membrane", "#3b3b3b"}, {"air", "#eef6fb"},
      {"other", "#d3d3d3"}};
  const auto found = colours.find(family);
  return found != colours.end() ? found->second : colours.at("other");
}

namespace {

/// Width [px] from the section's outer face to the end of the drawing: the leaders' run, the
/// colour key and the widest layer label, on one line or with the thickness on a second.
double labelRoom(const Frontend::Wall& wall, const PlotWords& words, bool twoLines = false) {
  double widestLabel = 0.0;
  for (std::size_t index = 0; index < wall.request.layers.size(); ++index) {
    const LayerCallout callout = layerCallout(wall, index, words);
    widestLabel = std::max(
        widestLabel, twoLines ? std::max(estimateTextWidth(callout.name, kLabelFontSize),
                                         estimateTextWidth(callout.size, kLabelFontSize))
                              : estimateTextWidth(layerLabel(wall, index, words), kLabelFontSize));
  }
  return 44.0 + 18.0 + widestLabel + 8.0;
}

}  // namespace

/// The steady temperatures at the faces `temperatures` [degC] as a line across the section (the
/// warmest at the top), each face marked and labelled unless it would touch its neighbour's label.
void drawTemperatureProfile(const std::vector<double>& temperatures,
                            const std::vector<double>& layerLeft, double sectionRight,
                            const PlotWords& words, SvgWriter& svg) {
  const auto [low, high] = std::minmax_element(temperatures.begin(), temperatures.end());
  const double span = *high - *low;
  const double top = kSectionTop + 22.0;
  const double bottom = kSectionTop + kSectionHeight - 10.0;
  std::vector<SvgPoint> points;
  for (std::size_t face = 0; face < temperatures.size(); ++face) {
    const double x = face < layerLeft.size() ? layerLeft[face] : sectionRight;
    const double y = span > 0.0 ? top + (*high - temperatures[face]) / span * (bottom - top)
                                : (top + bottom) / 2.0;
    points.push_back({x, y});
  }
  const char* const colour = "#b00020";
  svg.polyline(points, {colour, 2.0, ""});
  double lastLabel = -1e9;
  for (std::size_t face = 0; face < points.size(); ++face) {
    svg.circle(points[face], 2.5, colour, {colour, 1.0, ""});
    if (points[face].x - lastLabel < 40.0 && face + 1 < points.size()) continue;
    svg.text({points[face].x, points[face].y - 6.0},
             words("section.temperature", {{"value", words.number(temperatures[face], 1)}}),
             {TextAnchor::Middle, 11.0, colour, true, 0.0});
    lastLabel = points[face].x;
  }
}

double sectionLabelWidth(const std::vector<Frontend::Wall>& walls, const PlotWords& words) {
  double widest = 0.0;
  for (const Frontend::Wall& wall : walls) widest = std::max(widest, labelRoom(wall, words, true));
  return kSectionLeft + widest;
}

double sectionScale(const std::vector<Frontend::Wall>& walls, double maximumWidth) {
  // Solve per wall for the scale at which its drawn width, minimum widths included, fits.
  double scale = 2500.0;  // px/m: caps a single thin wall at a sensible size
  for (const Frontend::Wall& wall : walls) {
    double thickness = 0.0;
    double fixedWidth = 0.0;
    for (const Engine::LayerProperties& layer : wall.request.layers) {
      if (layer.isPureResistance()) {
        fixedWidth += kMinimumLayerWidth;
      } else {
        thickness += layer.thickness;
      }
    }
    if (thickness > 0.0) scale = std::min(scale, (maximumWidth - fixedWidth) / thickness);
  }
  return std::max(scale, 1.0);
}

std::string renderWallSection(const Frontend::Wall& wall, const std::string& id,
                              double pixelsPerMetre, double drawingWidth,
                              const std::vector<double>* faceTemperatures, const PlotWords& words) {
  const std::vector<Engine::LayerProperties>& layers = wall.request.layers;
  double sectionWidth = 0.0;
  std::vector<double> layerLeft;
  for (std::size_t index = 0; index < layers.size(); ++index) {
    layerLeft.push_back(kSectionLeft + sectionWidth);
    sectionWidth += drawnWidth(layers[index], pixelsPerMetre);
  }
  const double sectionRight = kSectionLeft + sectionWidth;
  const double labelColumn = sectionRight + 44.0;

  // Long layer names widen the drawing rather than run off it; the page scales it to fit. A
  // drawing asked to be narrower than the report's puts each thickness under its name first.
  const bool twoLines =
      drawingWidth < kSectionDrawingWidth && sectionRight + labelRoom(wall, words) > drawingWidth;
  const double svgWidth = std::max(drawingWidth, sectionRight + labelRoom(wall, words, twoLines));
  const double rowHeight = twoLines ? 2.0 * kLabelRowHeight - 4.0 : kLabelRowHeight;
  const double labelTop = kSectionTop + kSectionHeight + kLabelGap;
  const double height = labelTop + static_cast<double>(layers.size()) * rowHeight + kScaleBarHeight;
  SvgWriter svg(id, svgWidth, height, words("section.title", {{"wall", wall.name}}));
  const double sectionBottom = kSectionTop + kSectionHeight;

  const SvgStroke edge{"#444", 0.8, ""};
  for (std::size_t index = 0; index < layers.size(); ++index) {
    const std::string& family = wall.labels[index].family;
    const double width = drawnWidth(layers[index], pixelsPerMetre);
    if (drawParts(wall, index, layerLeft[index], width, svg)) continue;
    svg.rectangle({layerLeft[index], kSectionTop}, width, kSectionHeight, familyColour(family),
                  edge);
    if (family == "insulation") drawInsulationHatch(layerLeft[index], width, svg);
  }
  svg.rectangle({kSectionLeft, kSectionTop}, sectionWidth, kSectionHeight, "none",
                {"#222", 1.5, ""});

  if (faceTemperatures != nullptr && faceTemperatures->size() == layers.size() + 1) {
    drawTemperatureProfile(*faceTemperatures, layerLeft, sectionRight, words, svg);
  }

  const SvgTextStyle sideStyle{TextAnchor::Middle, 12.0, "#222", true, -90.0};
  svg.text({kSectionLeft - 14.0, kSectionTop + kSectionHeight / 2.0}, words("section.inside"),
           sideStyle);
  svg.text({sectionRight + 20.0, kSectionTop + kSectionHeight / 2.0}, words("section.outside"),
           {TextAnchor::Middle, 12.0, "#222", true, 90.0});

  // Callouts: the outermost layer takes the top row, so no leader crosses another label's line.
  for (std::size_t index = 0; index < layers.size(); ++index) {
    const std::size_t row = layers.size() - 1 - index;
    const double centre = layerLeft[index] + drawnWidth(layers[index], pixelsPerMetre) / 2.0;
    const double y = labelTop + static_cast<double>(row) * rowHeight;
    const SvgStroke leader{"#666", 0.8, ""};
    svg.line({centre, sectionBottom - 4.0}, {centre, y}, leader);
    svg.line({centre, y}, {labelColumn - 6.0, y}, leader);
    svg.circle({centre, sectionBottom - 4.0}, 1.8, "#666", leader);
    svg.rectangle({labelColumn, y - 6.0}, 12.0, 12.0, familyColour(wall.labels[index].family),
                  edge);
    const SvgTextStyle labelStyle{TextAnchor::Start, kLabelFontSize, "#222", false, 0.0};
    if (twoLines) {
      const LayerCallout callout = layerCallout(wall, index, words);
      svg.text({labelColumn + 18.0, y + 4.0}, callout.name, labelStyle);
      svg.text({labelColumn + 18.0, y + 4.0 + kLabelRowHeight - 4.0}, callout.size, labelStyle);
    } else {
      svg.text({labelColumn + 18.0, y + 4.0}, layerLabel(wall, index, words), labelStyle);
    }
  }

  // A scale bar, since the drawing is to scale except for the minimum widths.
  const double barMetres = niceStep(120.0 / pixelsPerMetre);
  const double barWidth = barMetres * pixelsPerMetre;
  const double barY = height - 12.0;
  const SvgStroke barStroke{"#222", 1.2, ""};
  svg.line({kSectionLeft, barY}, {kSectionLeft + barWidth, barY}, barStroke);
  svg.line({kSectionLeft, barY - 4.0}, {kSectionLeft, barY + 4.0}, barStroke);
  svg.line({kSectionLeft + barWidth, barY - 4.0}, {kSectionLeft + barWidth, barY + 4.0}, barStroke);
  svg.text({kSectionLeft + barWidth + 8.0, barY + 4.0}, formatMillimetres(barMetres, words),
           {TextAnchor::Start, 11.0, "#222", false, 0.0});
  return svg.finish();
}

}  // namespace Brusk::Report
