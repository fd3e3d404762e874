#include "brusk/frontend/wall_schema.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace Brusk::Frontend::Schema {

namespace {

std::string withNumber(std::string_view prefix, std::size_t number) {
  std::string text(prefix);
  text += std::to_string(number);
  return text;
}

// The words of the position and heat-flow keys, in the order of their engine enumerations.
constexpr std::string_view kPositionWords[] = {"external", "internal"};
constexpr std::string_view kHeatFlowWords[] = {"horizontal", "upward", "downward"};

/// Index of `word` in `words`, compared as views: batch runs ask for every line.
template <std::size_t N>
std::optional<std::size_t> indexOfWord(const std::string_view (&words)[N], std::string_view word) {
  for (std::size_t i = 0; i < N; ++i) {
    if (words[i] == word) return i;
  }
  return std::nullopt;
}

template <std::size_t N>
std::vector<std::string> wordList(const std::string_view (&words)[N]) {
  return std::vector<std::string>(std::begin(words), std::end(words));
}

/// Index of `word` in `words`, if there.
std::optional<std::size_t> indexIn(const std::vector<std::string>& words, std::string_view word) {
  const auto found = std::find(words.begin(), words.end(), word);
  if (found == words.end()) return std::nullopt;
  return static_cast<std::size_t>(found - words.begin());
}

/// Names of a list of keys, as owned strings for messages and lookups.
std::vector<std::string> namesOf(const std::vector<KeyDescription>& keys) {
  std::vector<std::string> names;
  names.reserve(keys.size());
  for (const KeyDescription& key : keys) names.emplace_back(key.key);
  return names;
}

KeyDescription number(std::string_view key, std::string_view unit, std::string_view text) {
  return {key, ValueType::Number, unit, text, nullptr, {}};
}
KeyDescription text(std::string_view key, std::string_view description) {
  return {key, ValueType::Text, {}, description, nullptr, {}};
}
KeyDescription word(std::string_view key, const std::vector<std::string>& (*words)(),
                    std::string_view description) {
  return {key, ValueType::Word, {}, description, words, {}};
}

// The material properties a layer or a part shares, with the vapour keys.
constexpr std::string_view kMaterialText =
    "A catalogue material (`brusk materials` lists them); conductivity, density and "
    "specific_heat given beside it override the catalogue's.";
constexpr std::string_view kConductivityText = "Thermal conductivity lambda (ISO 10456).";
constexpr std::string_view kDensityText = "Density rho.";
constexpr std::string_view kSpecificHeatText = "Specific heat capacity c.";
constexpr std::string_view kFamilyText =
    "The material family, for drawing and grouping; default: the catalogue material's, else "
    "\"other\" (\"air\" for a thermal resistance).";
constexpr std::string_view kFactorText =
    "Water-vapour resistance factor mu (ISO 10456), at least 1, for the moisture assessment; "
    "default: the catalogue material's.";
constexpr std::string_view kSdText =
    "Water-vapour diffusion-equivalent air layer thickness s_d = mu d, instead of mu; a "
    "layer of sd alone is a vapour control layer of no thermal resistance.";

}  // namespace

const std::vector<ObjectDescription>& objects() {
  static const std::vector<ObjectDescription> described = {
      {"wall",
       "A plane building element: its layers from the inner face (side 1) outward, where it "
       "stands and what the requirements may ask about it.",
       {
           text(kName,
                "The wall's name in results and reports; default: the file name "
                "without extension."),
           word(kPosition, &positionNames,
                "\"external\" (side 2 outdoors, default) or \"internal\" (a partition)."),
           word(kHeatFlow, &heatFlowNames,
                "Direction of the heat flow, which selects the surface resistances (ISO 6946 "
                "Table 7): \"horizontal\" (default), \"upward\" or \"downward\"."),
           word(kOrientation, &orientationNames,
                "Compass point the outer face looks to, for requirements that apply to some "
                "orientations only; changes no computed quantity."),
           number(kSiteIrradiance, "W/m2",
                  "Mean daily solar irradiance on the horizontal in the month of greatest "
                  "irradiance at the site, I_m,s, for requirements; changes no computed "
                  "quantity."),
           number(kRsi, "m2.K/W", "Internal surface resistance instead of ISO 6946's."),
           number(kRse, "m2.K/W", "External surface resistance instead of ISO 6946's."),
           {kLayers,
            ValueType::Tables,
            {},
            "The layers, side 1 first ([[layers]]).",
            nullptr,
            "layer"},
           {kPartsAligned,
            ValueType::Boolean,
            {},
            "True: part k of every layer of parts lies behind part k of the others (one path "
            "per k); false (default): independent patterns, every combination a path (ISO 6946 "
            "6.7.2).",
            nullptr,
            {}},
           {kCorrections,
            ValueType::Table,
            {},
            "Corrections of ISO 6946 Annex F: air voids and mechanical fasteners.",
            nullptr,
            "corrections"},
       }},
      {"layer",
       "One layer, side 1 first: a catalogue material, a slab given by its properties, a pure "
       "thermal resistance, a layer of parts, an air layer by its geometry, or a vapour control "
       "layer.",
       {
           text(kName,
                "What a person reads; default: the catalogue material's name, else "
                "\"Layer N\"."),
           text(kMaterial, kMaterialText),
           number(kThickness, "m", "Thickness d."),
           number(kConductivity, "W/(m.K)", kConductivityText),
           number(kDensity, "kg/m3", kDensityText),
           number(kSpecificHeat, "J/(kg.K)", kSpecificHeatText),
           word(kFamily, &materialFamilies, kFamilyText),
           number(kThermalResistance, "m2.K/W",
                  "Thermal resistance R of a massless layer; of an air layer, used instead of "
                  "ISO 6946's."),
           {kParts,
            ValueType::Tables,
            {},
            "The parts side by side across the area, at least two ([[layers.parts]]); the "
            "layer is then computed by the combined method of ISO 6946 6.7.2.",
            nullptr,
            "part"},
           number(kAirGap, "m",
                  "Thickness of an air layer whose resistance comes from ISO 6946 6.9 (Table "
                  "8, or Annex D with emissivities)."),
           word(kVentilation, &ventilationNames,
                "How an air layer is ventilated (ISO 6946 6.9): \"unventilated\" (default), "
                "\"slightly\" (with openings) or \"well\"."),
           number(kOpenings, "mm2/m",
                  "Area A_v of a slightly ventilated air layer's openings, 500 to 1500 per m "
                  "of length (or per m2 of area for horizontal layers)."),
           {kEmissivities,
            ValueType::NumberPair,
            {},
            "Hemispherical emissivities of the air layer's two faces, for ISO 6946 Annex D; "
            "default: high-emissivity faces (Table 8).",
            nullptr,
            {}},
           number(kVapourResistanceFactor, "", kFactorText),
           number(kSd, "m", kSdText),
           number(kCondensationLimit, "g/m2",
                  "Most condensate a face of this layer may hold, as a material's or a "
                  "national rule states it."),
       }},
      {"part",
       "One part of a layer of parts: a material over a fraction of the area, through the "
       "layer's whole thickness.",
       {
           text(kName,
                "What a person reads; default: the catalogue material's name, else "
                "\"Part N\"."),
           text(kMaterial, kMaterialText),
           number(kConductivity, "W/(m.K)", kConductivityText),
           number(kDensity, "kg/m3", kDensityText),
           number(kSpecificHeat, "J/(kg.K)", kSpecificHeatText),
           word(kFamily, &materialFamilies, kFamilyText),
           number(kFraction, "",
                  "Share of the element's area, above 0 and at most 1; the "
                  "parts of a layer sum to 1."),
           number(kVapourResistanceFactor, "", kFactorText),
           number(kSd, "m",
                  "Water-vapour diffusion-equivalent air layer thickness s_d of "
                  "the part, instead of mu."),
       }},
      {"corrections",
       "Corrections of ISO 6946:2017 Annex F to the U-value.",
       {
           {kAirVoids,
            ValueType::Table,
            {},
            "Air voids in the insulation (F.2).",
            nullptr,
            "air_voids"},
           {kFasteners,
            ValueType::Table,
            {},
            "Mechanical fasteners through an insulation "
            "layer (F.3).",
            nullptr,
            "fasteners"},
       }},
      {"air_voids",
       "Air voids in an insulation layer, ISO 6946:2017 F.2.",
       {
           {kLevel,
            ValueType::WholeNumber,
            {},
            "0 (no air voids through the insulation), 1 (gaps bridging it) or 2 (gaps and "
            "cavities with air circulation), Table F.1.",
            nullptr,
            {}},
           {kLayer,
            ValueType::WholeNumber,
            {},
            "The layer holding the voids, counted from side 1 (1 first).",
            nullptr,
            {}},
       }},
      {"fasteners",
       "Mechanical fasteners through an insulation layer, ISO 6946:2017 F.3.",
       {
           {kLayer,
            ValueType::WholeNumber,
            {},
            "The insulation layer they cross, counted from side 1 (1 first).",
            nullptr,
            {}},
           number(kCount, "1/m2", "Fasteners per m2, n_f."),
           number(kCrossSection, "m2", "Cross-section of one fastener, A_f."),
           number(kConductivity, "W/(m.K)", "Conductivity of the fastener, lambda_f."),
           number(kPenetration, "m",
                  "Length of the fastener inside the layer, d_1; default: the layer's "
                  "thickness."),
       }},
  };
  return described;
}

const ObjectDescription& objectNamed(std::string_view name) {
  for (const ObjectDescription& object : objects()) {
    if (object.name == name) return object;
  }
  throw std::out_of_range("no wall-file object \"" + std::string(name) + "\"");
}

const std::vector<std::string>& keysOf(std::string_view name) {
  static const std::vector<std::vector<std::string>> names = [] {
    std::vector<std::vector<std::string>> all;
    for (const ObjectDescription& object : objects()) all.push_back(namesOf(object.keys));
    return all;
  }();
  const std::vector<ObjectDescription>& all = objects();
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i].name == name) return names[i];
  }
  throw std::out_of_range("no wall-file object \"" + std::string(name) + "\"");
}

const std::vector<LayerKindDescription>& layerKinds() {
  static const std::vector<LayerKindDescription> kinds = {
      {"parts",
       "A layer of parts side by side (studs in insulation), ISO 6946 6.7.2.",
       {kThickness, kParts},
       {kName, kFamily, kCondensationLimit}},
      {"air_gap",
       "An air layer by its thickness and ventilation, ISO 6946 6.9.",
       {kAirGap},
       {kName, kFamily, kVentilation, kOpenings, kEmissivities, kThermalResistance}},
      {"thermal_resistance",
       "A massless layer of given thermal resistance.",
       {kThermalResistance},
       {kName, kFamily, kSd, kCondensationLimit}},
      {"material",
       "A slab of a catalogue material, its properties optionally overridden.",
       {kMaterial, kThickness},
       {kName, kConductivity, kDensity, kSpecificHeat, kFamily, kVapourResistanceFactor, kSd,
        kCondensationLimit}},
      {"properties",
       "A slab given by its properties.",
       {kThickness, kConductivity, kDensity, kSpecificHeat},
       {kName, kFamily, kVapourResistanceFactor, kSd, kCondensationLimit}},
      {"vapour_control",
       "A vapour control layer or membrane given by its s_d alone: no thermal resistance.",
       {kSd},
       {kName, kFamily, kCondensationLimit}},
  };
  return kinds;
}

const std::vector<std::string>& layerKindKeys(std::string_view name) {
  static const std::vector<std::vector<std::string>> names = [] {
    std::vector<std::vector<std::string>> all;
    for (const LayerKindDescription& kind : layerKinds()) {
      std::vector<std::string> keys(kind.required.begin(), kind.required.end());
      keys.insert(keys.end(), kind.optional.begin(), kind.optional.end());
      all.push_back(std::move(keys));
    }
    return all;
  }();
  const std::vector<LayerKindDescription>& all = layerKinds();
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i].name == name) return names[i];
  }
  throw std::out_of_range("no layer kind \"" + std::string(name) + "\"");
}

const std::vector<std::string>& wallKeys() { return keysOf("wall"); }

const std::vector<std::string>& layerKeys() { return keysOf("layer"); }

const std::vector<std::string>& ventilationNames() {
  static const std::vector<std::string> names = {"unventilated", "slightly", "well"};
  return names;
}

const std::vector<std::string>& positionNames() {
  static const std::vector<std::string> names = wordList(kPositionWords);
  return names;
}

const std::vector<std::string>& orientationNames() {
  static const std::vector<std::string> names = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
  return names;
}

const std::vector<std::string>& heatFlowNames() {
  static const std::vector<std::string> names = wordList(kHeatFlowWords);
  return names;
}

std::optional<Engine::ElementPosition> positionNamed(std::string_view word) {
  const auto index = indexOfWord(kPositionWords, word);
  if (!index) return std::nullopt;
  return static_cast<Engine::ElementPosition>(*index);
}

std::optional<Engine::HeatFlowDirection> heatFlowNamed(std::string_view word) {
  const auto index = indexOfWord(kHeatFlowWords, word);
  if (!index) return std::nullopt;
  return static_cast<Engine::HeatFlowDirection>(*index);
}

const std::vector<std::string>& materialFamilies() {
  static const std::vector<std::string> families = {
      "concrete", "masonry", "timber", "board",    "plaster", "insulation", "metal",
      "glass",    "soil",    "stone",  "membrane", "air",     "other"};
  return families;
}

bool isMaterialFamily(std::string_view family) {
  return indexIn(materialFamilies(), family).has_value();
}

std::string defaultLayerName(std::size_t index) {
  return withNumber(kDefaultLayerNamePrefix, index + 1);
}

std::string defaultLineWallName(std::size_t lineNumber) {
  return withNumber(kDefaultLineWallNamePrefix, lineNumber);
}

std::string_view keyOf(Engine::WallField field) {
  switch (field) {
    case Engine::WallField::Layers:
      return kLayers;
    case Engine::WallField::Thickness:
      return kThickness;
    case Engine::WallField::Conductivity:
      return kConductivity;
    case Engine::WallField::Density:
      return kDensity;
    case Engine::WallField::SpecificHeat:
      return kSpecificHeat;
    case Engine::WallField::ThermalResistance:
      return kThermalResistance;
    case Engine::WallField::InternalSurfaceResistance:
      return kRsi;
    case Engine::WallField::ExternalSurfaceResistance:
      return kRse;
    case Engine::WallField::Period:
      break;
  }
  return "period";
}

}  // namespace Brusk::Frontend::Schema
