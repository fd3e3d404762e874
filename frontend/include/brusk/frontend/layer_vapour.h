#pragma once

// The water-vapour property of one layer, kept beside the layer's thermal properties (which the
// kernels read) so that only the moisture assessment sees it.

#include <optional>
#include <string>
#include <string_view>

namespace Brusk::Frontend {

/// Where a layer's s_d comes from, for the output to say.
enum class VapourSource {
  None,         ///< nothing given: the moisture assessment refuses the layer
  Factor,       ///< vapour_resistance_factor of the layer: s_d = mu d
  Sd,           ///< sd of the layer [m]
  Catalogue,    ///< the catalogue material's mu: s_d = mu d
  DefaultZero,  ///< a pure thermal resistance without sd: s_d = 0
  AirLayer,     ///< an air layer: mu = 1 (ISO 10456), s_d = d
};

/// A layer's water-vapour resistance, ISO 10456 (3.1): the water-vapour resistance factor mu [-]
/// or the water-vapour diffusion-equivalent air layer thickness s_d = mu d [m].
struct LayerVapour {
  VapourSource source = VapourSource::None;
  double factor = 0.0;  ///< mu [-], when the source gives one (0 otherwise)
  double sd = 0.0;      ///< s_d [m], when source is not None
  /// Most condensate a face of this layer may hold [g/m2] (`condensation_limit`), as a
  /// material's or a national rule states it; none when not given.
  std::optional<double> condensationLimit{};

  [[nodiscard]] bool known() const { return source != VapourSource::None; }
};

/// The word the output uses for a source: "vapour_resistance_factor", "sd", "catalogue",
/// "default (pure resistance)", "air layer"; empty for None.
[[nodiscard]] std::string_view vapourSourceName(VapourSource source);

/// The vapour property of an air layer, mu = 1 over its thickness d [m]: the hook for a layer
/// kind that is air (an unventilated air gap holds vapour no better than still air).
[[nodiscard]] LayerVapour airLayerVapour(double thickness);

}  // namespace Brusk::Frontend
