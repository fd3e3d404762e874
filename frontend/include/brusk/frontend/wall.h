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

/// A layer that resists water vapour but not heat: a vapour control layer or membrane given
/// by its s_d alone. It has no place in the request (the thermal stack), only in the moisture
/// assessment, where it adds its s_d between two layers of the same temperature.
struct VapourControlLayer {
  /// The request's layer on its side 2 (index in request.layers), or request.layers.size()
  /// when it is the outermost layer of the file.
  std::size_t before = 0;
  LayerLabel label;  ///< its name, family and s_d (vapour.source is Sd)
};

/// A wall as a file describes it: the engine's request and the names that go with it.
struct Wall {
  std::string name;
  Engine::WallRequest request;     ///< layers side 1 first, position, heat flow, overrides, T
  std::vector<LayerLabel> labels;  ///< one per layer of the request, in the same order
  ElementLayers element;           ///< parts, air gaps and corrections; empty for plain layers
  /// Layers of vapour resistance only, side 1 first; the file's layers are the request's with
  /// these between them.
  std::vector<VapourControlLayer> vapourControls;
  /// What the wall is beyond its physics, for requirements that apply to some walls only (see
  /// docs/requirements.md); they change no computed quantity.
  std::string orientation;  ///< compass point the outer face looks to; empty: not given
  std::optional<double> siteIrradiance;  ///< I_m,s of the site [W/m2]; none: not given
  /// The wall as its file says it, in the wall schema's keys and order (compact JSON): every
  /// key given, with the name, position and heat flow filled in where the file left them to
  /// their defaults. What every writer writes, so that a wall read and written again is the
  /// same wall, key for key; empty for a wall built in code rather than read.
  std::string document;

  /// Appends a layer at the side-2 end, its physics and its label together.
  void addLayer(const Engine::LayerProperties& layer, LayerLabel label) {
    request.layers.push_back(layer);
    labels.push_back(std::move(label));
  }

  /// The place in the file's list of layers (0 first) of the request's layer `layer`.
  [[nodiscard]] std::size_t fileLayerOf(std::size_t layer) const {
    std::size_t place = layer;
    for (const VapourControlLayer& control : vapourControls) {
      if (control.before <= layer) ++place;
    }
    return place;
  }
};

}  // namespace Brusk::Frontend
