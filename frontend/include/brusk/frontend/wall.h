#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "brusk/engine/wall.h"
#include "brusk/frontend/bridged_wall.h"
#include "brusk/frontend/layer_vapour.h"

namespace Brusk::Frontend {

/// What a person reads about one layer; its physics is the matching entry of the request.
struct LayerLabel {
  std::string name;         ///< as written or from the catalogue, e.g. "EPS board"
  std::string materialKey;  ///< catalogue key when taken from the catalogue, else empty
  std::string family;       ///< one of Schema::materialFamilies(), for drawing
  LayerVapour vapour{};     ///< mu or s_d, for the moisture assessment only
};

/// A wall as a file describes it: the engine's request and the names that go with it.
struct Wall {
  std::string name;
  Engine::WallRequest request;     ///< layers side 1 first, position, heat flow, overrides, T
  std::vector<LayerLabel> labels;  ///< one per layer of the request, in the same order
  ElementLayers element;           ///< parts, air gaps and corrections; empty for plain layers
  /// What the wall is beyond its physics, for requirements that apply to some walls only (see
  /// docs/requirements.md); they change no computed quantity.
  std::string orientation;  ///< compass point the outer face looks to; empty: not given
  std::optional<double> siteIrradiance;  ///< I_m,s of the site [W/m2]; none: not given

  /// Appends a layer at the side-2 end, its physics and its label together.
  void addLayer(const Engine::LayerProperties& layer, LayerLabel label) {
    request.layers.push_back(layer);
    labels.push_back(std::move(label));
  }
};

}  // namespace Brusk::Frontend
