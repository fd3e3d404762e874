// The one place where a junction reads the wall model: a wall's layers as a two-dimensional
// section draws them.

#include <cmath>

#include "brusk/frontend/junction.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Frontend {

double SectionWall::thickness() const {
  double total = 0.0;
  for (const SectionLayer& layer : layers) total += layer.thickness;
  return total;
}

double SectionWall::uValue() const {
  double resistance = internalSurfaceResistance + externalSurfaceResistance;
  for (const SectionLayer& layer : layers) resistance += layer.thickness / layer.conductivity;
  return 1.0 / resistance;
}

SectionWall sectionOf(const Wall& wall) {
  SectionWall section;
  section.name = wall.name;
  const Engine::SurfaceResistances resistances = wall.request.surfaceResistances();
  section.internalSurfaceResistance = resistances.internal;
  section.externalSurfaceResistance = resistances.external;
  for (std::size_t i = 0; i < wall.request.layers.size(); ++i) {
    const Engine::LayerProperties& properties = wall.request.layers[i];
    SectionLayer layer;
    layer.name = wall.labels[i].name;
    layer.family = wall.labels[i].family;
    layer.thickness = properties.thickness;
    layer.conductivity = properties.conductivity;
    // A layer of parts: the area-weighted conductivity, the lower bound's equivalent slab of
    // ISO 6946:2017 6.7.2.3. A section through one line of the wall cannot hold the 3D pattern of
    // studs and insulation, so it draws the layer as that homogeneous slab.
    for (const Engine::BridgedLayer& bridged : wall.element.element.bridged) {
      if (bridged.layer != i) continue;
      double weighted = 0.0;
      for (const Engine::LayerPart& part : bridged.parts) {
        weighted += part.fraction * part.conductivity;
      }
      layer.conductivity = weighted;
    }
    if (properties.isPureResistance()) {
      // An air layer keeps its resistance over its own thickness; a bare resistance over a
      // nominal one.
      layer.thickness = kNominalResistanceThickness;
      for (const AirGap& gap : wall.element.airGaps) {
        if (gap.layer == i) layer.thickness = gap.thickness;
      }
      layer.conductivity = layer.thickness / properties.resistance;
      if (layer.family.empty()) layer.family = "air";
    }
    section.layers.push_back(layer);
  }
  return section;
}

}  // namespace Brusk::Frontend
