#include "brusk/frontend/wall_schema.h"

#include <algorithm>
#include <iterator>

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

}  // namespace

const std::vector<std::string>& wallKeys() {
  static const std::vector<std::string> keys = {
      std::string(kName),        std::string(kPosition),       std::string(kHeatFlow),
      std::string(kOrientation), std::string(kSiteIrradiance), std::string(kRsi),
      std::string(kRse),         std::string(kLayers),         std::string(kPartsAligned),
      std::string(kCorrections)};
  return keys;
}

const std::vector<std::string>& layerKeys() {
  static const std::vector<std::string> keys = {
      std::string(kName),         std::string(kMaterial),
      std::string(kThickness),    std::string(kConductivity),
      std::string(kDensity),      std::string(kSpecificHeat),
      std::string(kFamily),       std::string(kThermalResistance),
      std::string(kParts),        std::string(kAirGap),
      std::string(kVentilation),  std::string(kOpenings),
      std::string(kEmissivities), std::string(kVapourResistanceFactor),
      std::string(kSd),           std::string(kCondensationLimit)};
  return keys;
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
