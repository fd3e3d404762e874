#pragma once

// The wall-file schema, written once for every reader: the key names, the words a file may use
// for position, heat flow and family, and the names and families a layer gets by default.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "brusk/engine/wall.h"

namespace Brusk::Frontend::Schema {

// Keys of a wall.
inline constexpr std::string_view kName = "name";
inline constexpr std::string_view kPosition = "position";
inline constexpr std::string_view kHeatFlow = "heat_flow";
/// Descriptors for requirements: the compass point the outer face looks to, and the mean daily
/// solar irradiance on the horizontal in the month of greatest irradiance at the site, I_m,s
/// [W/m2]. Neither changes a computed quantity.
inline constexpr std::string_view kOrientation = "orientation";
inline constexpr std::string_view kSiteIrradiance = "site_irradiance";
inline constexpr std::string_view kRsi = "rsi";
inline constexpr std::string_view kRse = "rse";
inline constexpr std::string_view kLayers = "layers";
inline constexpr std::string_view kPartsAligned = "parts_aligned";
inline constexpr std::string_view kCorrections = "corrections";

// Keys of a layer (kName too).
inline constexpr std::string_view kMaterial = "material";
inline constexpr std::string_view kThickness = "thickness";
inline constexpr std::string_view kConductivity = "conductivity";
inline constexpr std::string_view kDensity = "density";
inline constexpr std::string_view kSpecificHeat = "specific_heat";
inline constexpr std::string_view kFamily = "family";
inline constexpr std::string_view kThermalResistance = "thermal_resistance";
// Keys of a layer of parts and of an air layer given by its geometry (ISO 6946:2017).
inline constexpr std::string_view kParts = "parts";
inline constexpr std::string_view kAirGap = "air_gap";
inline constexpr std::string_view kVentilation = "ventilation";
inline constexpr std::string_view kOpenings = "openings";
inline constexpr std::string_view kEmissivities = "emissivities";
// Key of a part (with kName, kMaterial, kConductivity, kDensity, kSpecificHeat, kFamily).
inline constexpr std::string_view kFraction = "fraction";
inline constexpr std::string_view kVapourResistanceFactor = "vapour_resistance_factor";
inline constexpr std::string_view kSd = "sd";
inline constexpr std::string_view kCondensationLimit = "condensation_limit";

/// The keys a wall takes, in the order messages list them.
[[nodiscard]] const std::vector<std::string>& wallKeys();
/// The keys a layer takes, in the order messages list them.
[[nodiscard]] const std::vector<std::string>& layerKeys();

/// "external" and "internal", in the order of Engine::ElementPosition.
[[nodiscard]] const std::vector<std::string>& positionNames();
/// "horizontal", "upward" and "downward", in the order of Engine::HeatFlowDirection.
[[nodiscard]] const std::vector<std::string>& heatFlowNames();
/// "N", "NE", "E", "SE", "S", "SW", "W", "NW": the words of the orientation key.
[[nodiscard]] const std::vector<std::string>& orientationNames();
/// The position a word names, if any.
[[nodiscard]] std::optional<Engine::ElementPosition> positionNamed(std::string_view word);
/// The heat-flow direction a word names, if any.
[[nodiscard]] std::optional<Engine::HeatFlowDirection> heatFlowNamed(std::string_view word);

/// The material families a layer may belong to, for drawing and grouping.
[[nodiscard]] const std::vector<std::string>& materialFamilies();
/// True when `family` is one of materialFamilies().
[[nodiscard]] bool isMaterialFamily(std::string_view family);

/// Family of a layer given as properties, when it names none.
inline constexpr std::string_view kDefaultFamily = "other";
/// Family of a pure thermal resistance layer, when it names none.
inline constexpr std::string_view kPureResistanceFamily = "air";
/// Name of a pure thermal resistance layer, when it gives none.
inline constexpr std::string_view kPureResistanceName = "Thermal resistance";

/// Name of a slab layer that gives none and has no catalogue material: this and N, N from 1.
inline constexpr std::string_view kDefaultLayerNamePrefix = "Layer ";
/// "Layer N" for the layer at `index`.
[[nodiscard]] std::string defaultLayerName(std::size_t index);

/// Name of a wall on line N of a JSON Lines file that gives none: this and N.
inline constexpr std::string_view kDefaultLineWallNamePrefix = "line ";
/// "line N" for line `lineNumber`.
[[nodiscard]] std::string defaultLineWallName(std::size_t lineNumber);

/// The key of a layer or wall field, as a file writes it ("conductivity", "rsi", ...); the
/// period, which no wall file holds, is "period".
[[nodiscard]] std::string_view keyOf(Engine::WallField field);

}  // namespace Brusk::Frontend::Schema
