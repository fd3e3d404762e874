// Junctions generated from walls. Coordinates in metres; x across the section, y up it. Every
// flanking wall runs to a cut-off plane at ISO 10211:2017 5.2.2's distance from the junction,
// where the section ends adiabatic.

#include "junction_templates.h"

#include <algorithm>
#include <cmath>

namespace Brusk::Frontend::Detail {

namespace {

constexpr std::size_t kIndoor = 0, kOutdoor = 1;

// ISO 6946:2017 Table 7: the surfaces of an intermediate floor, its upper face a floor (heat
// flowing down into it) and its lower face a ceiling (heat flowing up into it).
constexpr double kFloorSurfaceResistance = 0.17;
constexpr double kCeilingSurfaceResistance = 0.10;

// A window reveal's frame block when the file gives no dimensions: a typical timber frame
// (ISO 10077-2 gives frames of 60 mm to 120 mm face width; lambda of softwood, ISO 10456).
constexpr double kDefaultFrameWidth = 0.1;
constexpr double kDefaultFrameDepth = 0.07;
constexpr double kDefaultFrameConductivity = 0.13;

struct Builder {
  Junction& junction;

  void region(double x0, double x1, double y0, double y1, const SectionLayer& layer) {
    junction.request.regions.push_back({x0, x1, y0, y1, layer.conductivity});
    junction.regions.push_back({layer.name, layer.family, junction.junctionLine});
  }
  void boundary(std::size_t environment, double x0, double y0, double x1, double y1,
                double resistance) {
    junction.request.boundaries.push_back({environment, x0, y0, x1, y1, resistance});
    junction.boundaryLines.push_back(junction.junctionLine);
  }
  void flanking(const SectionWall& wall, double length, const std::string& dimensions) {
    junction.request.flanking.push_back({kIndoor, kOutdoor, wall.uValue(), length});
    junction.flanking.push_back({wall.name, dimensions, junction.junctionLine});
  }
  void flanking(const std::string& name, double u, double length, const std::string& dimensions) {
    junction.request.flanking.push_back({kIndoor, kOutdoor, u, length});
    junction.flanking.push_back({name, dimensions, junction.junctionLine});
  }

  /// A wall whose layers run along y, inner face on x = 0 and the layers towards -x.
  void verticalWall(const SectionWall& wall, double y0, double y1) {
    double x = 0.0;
    for (const SectionLayer& layer : wall.layers) {
      region(x - layer.thickness, x, y0, y1, layer);
      x -= layer.thickness;
    }
  }
  /// A wall whose layers run along x from x0 to x1, side 1 on top at y = top, stacked down.
  void horizontalWall(const SectionWall& wall, double x0, double x1, double top) {
    double y = top;
    for (const SectionLayer& layer : wall.layers) {
      region(x0, x1, y - layer.thickness, y, layer);
      y -= layer.thickness;
    }
  }
};

/// An external corner: wall A's inner face on x = 0 (y up), wall B's on y = 0 (x along), the room
/// in x > 0, y > 0. The layers turn the corner ring by ring, paired from the outside (a wall of
/// fewer layers repeats its innermost), so that an external insulation wraps the corner.
void corner(const TemplateInputs& in, Builder& out) {
  const SectionWall& a = in.walls[0];
  const SectionWall& b = in.walls.size() > 1 ? in.walls[1] : in.walls[0];
  const double da = a.thickness(), db = b.thickness();
  const double lengthA = cutOffDistance(da), lengthB = cutOffDistance(db);
  const std::size_t na = a.layers.size(), nb = b.layers.size(), rings = std::max(na, nb);
  auto outerDepth = [](const SectionWall& wall, std::size_t index) {
    double depth = 0.0;
    for (std::size_t i = 0; i <= index; ++i) depth += wall.layers[i].thickness;
    return depth;
  };
  for (std::size_t ring = 0; ring < rings; ++ring) {
    const std::size_t ia = na - 1 - std::min(ring, na - 1);
    const std::size_t ib = nb - 1 - std::min(ring, nb - 1);
    const double oa = outerDepth(a, ia), ob = outerDepth(b, ib);
    out.region(-oa, 0.0, -ob, lengthA, a.layers[ia]);
    out.region(-oa, lengthB, -ob, 0.0, b.layers[ib]);
  }
  out.boundary(kIndoor, 0.0, 0.0, 0.0, lengthA, a.internalSurfaceResistance);
  out.boundary(kIndoor, 0.0, 0.0, lengthB, 0.0, b.internalSurfaceResistance);
  out.boundary(kOutdoor, -da, -db, -da, lengthA, a.externalSurfaceResistance);
  out.boundary(kOutdoor, -da, -db, lengthB, -db, b.externalSurfaceResistance);
  // ISO 10211:2017 10.4.2 with the lengths of the chosen system (ISO 13789:2017 4.2):
  // internal dimensions end at the inner corner, external ones run on to the outer corner.
  const bool external = in.dimensions == "external";
  out.flanking(a, external ? lengthA + db : lengthA, in.dimensions);
  out.flanking(b, external ? lengthB + da : lengthB, in.dimensions);
}

/// A wall (the first) continuous past a second element meeting its inner face at right angles:
/// an internal wall (t-junction) or an intermediate floor (floor-slab), centred on y = 0.
std::optional<TemplateProblem> tee(const TemplateInputs& in, Builder& out, bool floor) {
  const SectionWall& wall = in.walls[0];
  const SectionWall& other = in.walls[1];
  const double dw = wall.thickness(), d = other.thickness(), half = 0.5 * d;
  const double reach = cutOffDistance(dw), length = cutOffDistance(d);
  const double into = floor ? in.slabIntoWall.value_or(0.0) : 0.0;
  const double edge = floor ? in.edgeInsulationThickness.value_or(0.0) : 0.0;
  if (into + edge >= dw) {
    return TemplateProblem{into > 0.0 ? "slab_into_wall" : "edge_insulation_thickness",
                           "the slab's depth into the wall (" + std::to_string(into) +
                               " m) and its edge insulation (" + std::to_string(edge) +
                               " m) must leave some of the wall's " + std::to_string(dw) +
                               " m outside them"};
  }
  out.verticalWall(wall, -half - reach, half + reach);
  out.horizontalWall(other, -into, length, half);
  if (edge > 0.0) {
    SectionLayer insulation;
    insulation.name = "Edge insulation";
    insulation.family = "insulation";
    insulation.thickness = edge;
    insulation.conductivity = *in.edgeInsulationConductivity;
    out.region(-into - edge, -into, -half, half, insulation);
  }
  out.boundary(kOutdoor, -dw, -half - reach, -dw, half + reach, wall.externalSurfaceResistance);
  out.boundary(kIndoor, 0.0, half, 0.0, half + reach, wall.internalSurfaceResistance);
  out.boundary(kIndoor, 0.0, -half - reach, 0.0, -half, wall.internalSurfaceResistance);
  out.boundary(kIndoor, 0.0, half, length, half,
               floor ? kFloorSurfaceResistance : other.internalSurfaceResistance);
  out.boundary(kIndoor, 0.0, -half, length, -half,
               floor ? kCeilingSurfaceResistance : other.externalSurfaceResistance);
  // The external wall's length: both inner faces (internal) or its whole outer face (external).
  const bool external = in.dimensions == "external";
  out.flanking(wall, external ? 2.0 * reach + d : 2.0 * reach, in.dimensions);
  return std::nullopt;
}

/// A window reveal in plan: the wall along x from the reveal (x = 0) to its cut-off, inner face
/// on y = 0 and the layers towards -y; the frame simplified as a block in the opening
/// (x < 0), its outer face `frame_offset` in from the wall's outer face. The frame's far end
/// (towards the glazing) is cut off adiabatic.
std::optional<TemplateProblem> windowReveal(const TemplateInputs& in, Builder& out) {
  const SectionWall& wall = in.walls[0];
  const double dw = wall.thickness(), length = cutOffDistance(dw);
  const double width = in.frameWidth.value_or(kDefaultFrameWidth);
  const double depth = in.frameDepth.value_or(kDefaultFrameDepth);
  const double offset = in.frameOffset.value_or(0.0);
  if (offset + depth > dw) {
    return TemplateProblem{"frame_depth", "the frame (offset " + std::to_string(offset) +
                                              " m, depth " + std::to_string(depth) +
                                              " m) must fit within the wall's " +
                                              std::to_string(dw) + " m"};
  }
  double y = 0.0;
  for (const SectionLayer& layer : wall.layers) {
    out.region(0.0, length, y - layer.thickness, y, layer);
    y -= layer.thickness;
  }
  SectionLayer frame;
  frame.name = "Window frame";
  frame.family = "timber";
  frame.thickness = depth;
  frame.conductivity = in.frameConductivity.value_or(kDefaultFrameConductivity);
  const double bottom = -dw + offset, top = bottom + depth;
  out.region(-width, 0.0, bottom, top, frame);
  const double rsi = wall.internalSurfaceResistance, rse = wall.externalSurfaceResistance;
  out.boundary(kIndoor, 0.0, 0.0, length, 0.0, rsi);
  out.boundary(kOutdoor, 0.0, -dw, length, -dw, rse);
  if (top < 0.0) out.boundary(kIndoor, 0.0, top, 0.0, 0.0, rsi);
  if (bottom > -dw) out.boundary(kOutdoor, 0.0, -dw, 0.0, bottom, rse);
  out.boundary(kIndoor, -width, top, 0.0, top, rsi);
  out.boundary(kOutdoor, -width, bottom, 0.0, bottom, rse);
  out.flanking(wall, length, in.dimensions);
  // The frame as its own one-dimensional element across its depth, over its width.
  const double frameU = 1.0 / (rsi + depth / frame.conductivity + rse);
  out.flanking("window frame", frameU, width, in.dimensions);
  return std::nullopt;
}

}  // namespace

const std::vector<std::string>& junctionTypes() {
  static const std::vector<std::string> types = {"corner", "t-junction", "floor-slab",
                                                 "window-reveal"};
  return types;
}

std::size_t leastWalls(const std::string& type) {
  return type == "t-junction" || type == "floor-slab" ? 2 : 1;
}

std::size_t mostWalls(const std::string& type) { return type == "window-reveal" ? 1 : 2; }

double cutOffDistance(double thickness) { return std::max(1.0, 3.0 * thickness); }

std::optional<TemplateProblem> generateJunction(const TemplateInputs& inputs, Junction& junction) {
  junction.type = inputs.type;
  junction.request.environments = {{"indoor", inputs.indoorTemperature, 0.13},
                                   {"outdoor", inputs.outdoorTemperature, 0.04}};
  junction.environmentLines = {junction.junctionLine, junction.junctionLine};
  junction.request.indoor = kIndoor;
  junction.request.outdoor = kOutdoor;
  Builder out{junction};
  if (inputs.type == "corner") {
    corner(inputs, out);
    return std::nullopt;
  }
  if (inputs.type == "t-junction") return tee(inputs, out, false);
  if (inputs.type == "floor-slab") return tee(inputs, out, true);
  return windowReveal(inputs, out);
}

}  // namespace Brusk::Frontend::Detail
