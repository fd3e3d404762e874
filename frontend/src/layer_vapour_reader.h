#pragma once

// Internal: reads a layer's vapour keys for the wall reader.

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "brusk/engine/message.h"

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/layer_vapour.h"

namespace Brusk::Frontend::Detail {

/// Why a layer's vapour keys cannot be taken: the key at fault and the physical reason, in
/// English and, where it is worded by key, as a message.
struct VapourFault {
  std::string key;
  std::string reason;
  std::optional<Engine::Message> message{};
};

/// Reads `vapour_resistance_factor` and `sd` of a layer object into `vapour`. `material` is the
/// layer's catalogue entry, if any; `thickness` is d [m], 0 for a pure thermal resistance. One
/// or the other key, or both when they agree (s_d = mu d); a pure resistance takes sd alone and
/// has s_d = 0 without it; a catalogue layer without either takes the material's mu.
[[nodiscard]] std::optional<VapourFault> readLayerVapour(const nlohmann::json& layer,
                                                         const CatalogueEntry* material,
                                                         double thickness, LayerVapour& vapour);

}  // namespace Brusk::Frontend::Detail
