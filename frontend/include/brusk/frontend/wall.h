#pragma once

#include <optional>
#include <string>
#include <vector>

#include "brusk/engine/layer_properties.h"
#include "brusk/engine/periodic_response.h"
#include "brusk/engine/wall_response.h"

namespace Brusk {

/// One layer of a described wall: its physics plus what a person reads about it.
struct WallLayer {
  std::string name;         ///< as written or from the catalogue, e.g. "EPS board"
  std::string materialKey;  ///< catalogue key when taken from the catalogue, else empty
  /// Material family for drawing: one of "concrete", "masonry", "timber", "board", "plaster",
  /// "insulation", "metal", "glass", "soil", "stone", "membrane", "air", "other".
  std::string family;
  Engine::LayerProperties properties;
};

/// A wall as described in a wall file, side 1 (inner face) first.
struct Wall {
  std::string name;
  int position = 0;                         ///< Engine::SurfacePosition
  int heatFlow = 0;                         ///< Engine::HeatFlow
  double internalSurfaceResistance = 0.13;  ///< Rsi [m2.K/W], from the table or overridden
  double externalSurfaceResistance = 0.04;  ///< Rse [m2.K/W], from the table or overridden
  std::vector<WallLayer> layers;

  /// Boundary for the engine kernels.
  [[nodiscard]] Engine::ElementBoundary boundary() const {
    return {internalSurfaceResistance, externalSurfaceResistance, position == 1};
  }
  /// The layers' physics, side 1 first.
  [[nodiscard]] std::vector<Engine::LayerProperties> layerProperties() const {
    std::vector<Engine::LayerProperties> properties;
    properties.reserve(layers.size());
    for (const WallLayer& layer : layers) properties.push_back(layer.properties);
    return properties;
  }
};

}  // namespace Brusk
