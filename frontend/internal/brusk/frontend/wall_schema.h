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
// Keys of the corrections table and of its two entries (ISO 6946:2017 Annex F).
inline constexpr std::string_view kAirVoids = "air_voids";
inline constexpr std::string_view kFasteners = "fasteners";
inline constexpr std::string_view kLevel = "level";
inline constexpr std::string_view kLayer = "layer";
inline constexpr std::string_view kCount = "count";
inline constexpr std::string_view kCrossSection = "cross_section";
inline constexpr std::string_view kPenetration = "penetration";

/// What a value of a key is, as the schema tells every reader and writer.
enum class ValueType {
  Text,         ///< a string
  Number,       ///< a finite number in the key's unit
  WholeNumber,  ///< an integer
  Boolean,      ///< true or false
  Word,         ///< one of the key's words
  NumberPair,   ///< a list of two numbers
  Table,        ///< a table of the object named by `holds`
  Tables,       ///< a list of tables of the object named by `holds`
};

/// One key of an object of a wall file.
struct KeyDescription {
  std::string_view key;
  ValueType type = ValueType::Number;
  std::string_view unit;         ///< as files and messages write it ("m", "W/(m.K)"); empty: none
  std::string_view description;  ///< one sentence for a person, with its default if it has one
  /// The words a Word key takes; null for other types.
  const std::vector<std::string>& (*words)() = nullptr;
  std::string_view holds;  ///< the object a Table or Tables key holds ("layer", "part")
};

/// One kind of object of a wall file and its keys, in the order files write them.
struct ObjectDescription {
  std::string_view name;  ///< "wall", "layer", "part", "corrections", "air_voids", "fasteners"
  std::string_view description;
  std::vector<KeyDescription> keys;
};

/// One kind of layer: which keys make a layer of this kind, and which it may have besides.
struct LayerKindDescription {
  std::string_view name;  ///< "material", "properties", "thermal_resistance", "parts",
                          ///< "air_gap", "vapour_control"
  std::string_view description;
  std::vector<std::string_view> required;  ///< keys it must have
  std::vector<std::string_view> optional;  ///< keys it may have besides
};

/// Every object of a wall file, the wall first: the one description of the input that every
/// reader, writer and door follows (`brusk schema`, brusk.wall_schema(), brusk.wallSchema()).
[[nodiscard]] const std::vector<ObjectDescription>& objects();
/// The object named `name`; throws std::out_of_range for a name not in objects().
[[nodiscard]] const ObjectDescription& objectNamed(std::string_view name);
/// The keys of the object named `name`, in its order.
[[nodiscard]] const std::vector<std::string>& keysOf(std::string_view name);
/// The kinds of layer, in the order a reader tells them apart.
[[nodiscard]] const std::vector<LayerKindDescription>& layerKinds();
/// The keys a layer of kind `name` takes (required then optional).
[[nodiscard]] const std::vector<std::string>& layerKindKeys(std::string_view name);

/// The keys a wall takes, in the order messages list them: keysOf("wall").
[[nodiscard]] const std::vector<std::string>& wallKeys();
/// The keys a layer takes, in the order messages list them: keysOf("layer").
[[nodiscard]] const std::vector<std::string>& layerKeys();
/// The ventilation words of an air layer, in the order of Engine::AirLayerVentilation.
[[nodiscard]] const std::vector<std::string>& ventilationNames();

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
/// Family and name of a vapour control layer, when it gives none.
inline constexpr std::string_view kMembraneFamily = "membrane";
inline constexpr std::string_view kVapourControlName = "Vapour control layer";
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
