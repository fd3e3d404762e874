#pragma once

// What a wall file says beyond plain homogeneous layers: layers of parts, air layers given by
// their geometry, corrections (ISO 6946:2017), with the names that go with them, and how such a
// wall is computed and its problems worded.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "brusk/engine/bridged_element.h"
#include "brusk/engine/message.h"
#include "brusk/engine/wall.h"
#include "brusk/frontend/layer_vapour.h"

namespace Brusk::Frontend {

struct Wall;

/// What a person reads about one part of a bridged layer.
struct PartLabel {
  std::string name;         ///< as written or from the catalogue
  std::string materialKey;  ///< catalogue key when taken from the catalogue, else empty
  std::string family;       ///< one of Schema::materialFamilies(), for drawing
  LayerVapour vapour{};     ///< mu or s_d of the part, for the moisture assessment only
};

/// Where an air layer's resistance came from.
enum class AirResistanceSource {
  Table,         ///< ISO 6946:2017 Table 8, high-emissivity faces
  Emissivities,  ///< ISO 6946:2017 Annex D from the faces' emissivities
  Given,         ///< the file's thermal_resistance
};

/// An air layer given by its thickness; the request holds it as a pure resistance.
struct AirGap {
  std::size_t layer = 0;   ///< index in the request's layers
  double thickness = 0.0;  ///< d [m]
  Engine::AirLayerVentilation ventilation = Engine::AirLayerVentilation::Unventilated;
  double openingArea = 0.0;  ///< A_v [mm2 per m], slightly ventilated layers only
  std::optional<double> emissivity1, emissivity2;
  AirResistanceSource source = AirResistanceSource::Table;
  double resistance = 0.0;  ///< R_g as unventilated [m2.K/W]
};

/// The part of a wall beyond its plain layers. Empty for a wall of plain layers only, which is
/// then read, computed and written exactly as before.
struct ElementLayers {
  Engine::ElementDescription element;
  std::vector<std::vector<PartLabel>> partLabels;  ///< per bridged layer, as element.bridged
  std::vector<AirGap> airGaps;                     ///< in layer order

  [[nodiscard]] bool empty() const { return element.empty() && airGaps.empty(); }
  /// Total thickness of the air gaps [m], which the request's pure resistances do not hold.
  [[nodiscard]] double airGapThickness() const;
};

/// True when the wall is computed as an element (bridged layers, a ventilated air layer or
/// corrections), and its outputs carry the element's quantities.
[[nodiscard]] bool isElement(const Wall& wall);

/// Computes a wall as an element: the combined method, the ventilation rules and corrections,
/// and the periodic characteristics by the parallel-path approximation. Throws Frontend::Error
/// worded by describeElementProblem().
[[nodiscard]] Engine::ElementResult computeElementWall(const Wall& wall);

/// An element problem worded for a person, naming the layer and part.
[[nodiscard]] std::string describeElementProblem(const Engine::ElementProblem& problem,
                                                 const Wall& wall);

/// describeElementProblem() as a message by key (layer, part and reason), for the problems
/// worded so (a wall's, a part's property or fraction); empty for the others, English only.
[[nodiscard]] std::vector<Engine::Message> elementProblemMessage(
    const Engine::ElementProblem& problem, const Wall& wall);

/// "part N" or `part N ("name")` of the bridged layer at `layer` of the request.
[[nodiscard]] std::string partLabel(const Wall& wall, std::size_t layer, std::size_t part);

/// partLabel() as a message by key.
[[nodiscard]] Engine::Message partMessage(const Wall& wall, std::size_t layer, std::size_t part);

/// The ventilation keyword of the wall file: "unventilated", "slightly" or "well".
[[nodiscard]] const char* ventilationName(Engine::AirLayerVentilation ventilation);

}  // namespace Brusk::Frontend
