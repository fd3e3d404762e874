#include "brusk/frontend/wall_parser.h"

#include <cmath>
#include <filesystem>
#include <optional>
#include <vector>

#include "brusk/engine/surface.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/text_util.h"
#include "document.h"

namespace Brusk {

namespace {

using Json = nlohmann::json;

const std::vector<std::string> kWallKeys = {"name", "position", "heat_flow",
                                            "rsi",  "rse",      "layers"};
const std::vector<std::string> kLayerKeys = {"name",         "material",          "thickness",
                                             "conductivity", "density",           "specific_heat",
                                             "family",       "thermal_resistance"};
const std::vector<std::string> kPositions = {"external", "internal"};
const std::vector<std::string> kHeatFlows = {"horizontal", "upward", "downward"};

/// Reads one wall object, building messages that name the source, line and layer.
class WallReader {
public:
  WallReader(const Catalogue& catalogue, const std::string& source, const Detail::LineMap* lines)
      : _catalogue(catalogue), _source(source), _lines(lines) {}

  Wall read(const Json& object, const std::string& defaultName) {
    if (!object.is_object()) {
      fail("", "a wall must be a table of keys (" + joined(kWallKeys) + "), got " +
                   Detail::describeValue(object));
    }
    requireKnownKeys(object, "", kWallKeys, "a wall");

    Wall wall;
    wall.name = defaultName;
    if (const Json* name = member(object, "name"))
      wall.name = requireString(*name, "/name", "name");
    wall.position = Engine::External;
    if (const Json* position = member(object, "position")) {
      wall.position = choose(*position, "/position", "position", kPositions);
    }
    wall.heatFlow = Engine::Horizontal;
    if (const Json* heatFlow = member(object, "heat_flow")) {
      wall.heatFlow = choose(*heatFlow, "/heat_flow", "heat_flow", kHeatFlows);
    }
    double rsi = 0.13;
    double rse = 0.04;
    Engine::lookupSurfaceResistances(wall.position, wall.heatFlow, rsi, rse);
    if (const Json* value = member(object, "rsi")) {
      rsi = requireNumber(*value, "/rsi", "rsi", "m2.K/W", true);
    }
    if (const Json* value = member(object, "rse")) {
      rse = requireNumber(*value, "/rse", "rse", "m2.K/W", true);
    }
    wall.internalSurfaceResistance = rsi;
    wall.externalSurfaceResistance = rse;

    const Json* layers = member(object, "layers");
    if (layers == nullptr || (layers->is_array() && layers->empty())) {
      fail(layers == nullptr ? "" : "/layers",
           "the wall has no layers; list them from the inner face (side 1) outward as "
           "[[layers]] tables");
    }
    if (!layers->is_array()) {
      fail("/layers", "layers must be a list of tables, got " + Detail::describeValue(*layers));
    }
    if (layers->size() > kMaxLayers) {
      fail("/layers", std::to_string(layers->size()) + " layers, more than the " +
                          std::to_string(kMaxLayers) + " a wall may have");
    }
    wall.layers.reserve(layers->size());
    for (std::size_t i = 0; i < layers->size(); ++i) {
      wall.layers.push_back(readLayer((*layers)[i], i));
    }
    return wall;
  }

private:
  WallLayer readLayer(const Json& object, std::size_t index) {
    const std::string pointer = "/layers/" + std::to_string(index);
    _layerLabel = "layer " + std::to_string(index + 1);
    if (!object.is_object()) {
      fail(pointer, "must be a table of keys, got " + Detail::describeValue(object));
    }
    WallLayer layer;
    if (const Json* name = member(object, "name")) {
      layer.name = requireString(*name, pointer + "/name", "name");
      _layerLabel += " (\"" + layer.name + "\")";
    }
    requireKnownKeys(object, pointer, kLayerKeys, "a layer");

    if (const Json* resistance = member(object, "thermal_resistance")) {
      for (const char* key :
           {"material", "thickness", "conductivity", "density", "specific_heat"}) {
        if (member(object, key) != nullptr) {
          fail(pointer + "/" + key, std::string("a pure thermal resistance layer takes no ") + key +
                                        "; give either thermal_resistance alone or a material");
        }
      }
      const double value = requireNumber(*resistance, pointer + "/thermal_resistance",
                                         "thermal_resistance", "m2.K/W", false);
      layer.family = "air";
      if (layer.name.empty()) layer.name = "Thermal resistance";
      readFamily(object, pointer, layer);
      layer.properties = Engine::LayerProperties::pureResistance(value);
      return layer;
    }

    std::optional<double> conductivity;
    std::optional<double> density;
    std::optional<double> specificHeat;
    layer.family = "other";
    if (const Json* material = member(object, "material")) {
      const std::string key = requireString(*material, pointer + "/material", "material");
      const CatalogueEntry* entry = _catalogue.find(key);
      if (entry == nullptr) {
        const std::vector<std::string> close = _catalogue.suggestions(key);
        std::string message = "unknown material \"" + key + "\"";
        if (!close.empty()) message += "; did you mean " + quotedAlternatives(close) + "?";
        message += " (`brusk materials` lists the catalogue)";
        fail(pointer + "/material", message);
      }
      layer.materialKey = entry->key;
      layer.family = entry->family;
      if (layer.name.empty()) {
        layer.name = entry->name;
        _layerLabel += " (\"" + layer.name + "\")";
      }
      conductivity = entry->conductivity;
      density = entry->density;
      specificHeat = entry->specificHeat;
    }
    readFamily(object, pointer, layer);

    const Json* thickness = member(object, "thickness");
    if (thickness == nullptr) fail(pointer, "thickness is missing (in m)");
    const double d = requireNumber(*thickness, pointer + "/thickness", "thickness", "m", false);
    // Explicit properties override the catalogue's.
    if (const Json* value = member(object, "conductivity")) {
      conductivity =
          requireNumber(*value, pointer + "/conductivity", "conductivity", "W/(m.K)", false);
    }
    if (const Json* value = member(object, "density")) {
      density = requireNumber(*value, pointer + "/density", "density", "kg/m3", false);
    }
    if (const Json* value = member(object, "specific_heat")) {
      specificHeat =
          requireNumber(*value, pointer + "/specific_heat", "specific_heat", "J/(kg.K)", false);
    }
    const char* missing = !conductivity   ? "conductivity"
                          : !density      ? "density"
                          : !specificHeat ? "specific_heat"
                                          : nullptr;
    if (missing != nullptr) {
      fail(pointer, std::string(missing) +
                        " is missing: give a catalogue material, or conductivity, density and "
                        "specific_heat, or a thermal_resistance alone");
    }
    if (layer.name.empty()) layer.name = "Layer " + std::to_string(index + 1);
    layer.properties = Engine::LayerProperties::slab(d, *conductivity, *density, *specificHeat);
    return layer;
  }

  void readFamily(const Json& object, const std::string& pointer, WallLayer& layer) {
    if (const Json* family = member(object, "family")) {
      choose(*family, pointer + "/family", "family", materialFamilies());
      layer.family = family->get<std::string>();
    }
  }

  static const Json* member(const Json& object, const char* key) {
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
  }

  void requireKnownKeys(const Json& object, const std::string& pointer,
                        const std::vector<std::string>& known, const char* what) {
    for (auto item = object.begin(); item != object.end(); ++item) {
      bool isKnown = false;
      for (const std::string& key : known) isKnown = isKnown || key == item.key();
      if (isKnown) continue;
      std::string message = "unknown key \"" + item.key() + "\"";
      const std::vector<std::string> close = closestWords(item.key(), known, 1);
      if (!close.empty()) message += " (did you mean \"" + close.front() + "\"?)";
      message += "; " + std::string(what) + " takes " + joined(known);
      fail(pointer + "/" + item.key(), message);
    }
  }

  std::string requireString(const Json& value, const std::string& pointer, const char* key) {
    if (!value.is_string()) {
      fail(pointer, std::string(key) + " must be a string, got " + Detail::describeValue(value));
    }
    return value.get<std::string>();
  }

  int choose(const Json& value, const std::string& pointer, const char* key,
             const std::vector<std::string>& choices) {
    if (value.is_string()) {
      const std::string text = value.get<std::string>();
      for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i] == text) return static_cast<int>(i);
      }
    }
    fail(pointer, std::string(key) + " must be " + quotedAlternatives(choices) + ", got " +
                      Detail::describeValue(value));
  }

  double requireNumber(const Json& value, const std::string& pointer, const char* key,
                       const char* unit, bool zeroAllowed) {
    const std::string requirement =
        zeroAllowed ? " must be a non-negative number of " : " must be a positive number of ";
    if (!value.is_number()) {
      fail(pointer, key + requirement + unit + ", got " + Detail::describeValue(value));
    }
    const double number = value.get<double>();
    if (!std::isfinite(number) || number < 0.0 || (number == 0.0 && !zeroAllowed)) {
      fail(pointer, key + requirement + unit + ", got " + Detail::describeValue(value));
    }
    return number;
  }

  [[noreturn]] void fail(const std::string& pointer, const std::string& reason) const {
    const std::size_t line = _lines != nullptr ? _lines->lineOf(pointer) : 0;
    std::string message = Detail::locationPrefix(_source, line);
    if (!_layerLabel.empty()) message += _layerLabel + ": ";
    throw Error(message + reason);
  }

  static std::string joined(const std::vector<std::string>& words) {
    std::string result;
    for (std::size_t i = 0; i < words.size(); ++i) {
      if (i > 0) result += (i + 1 == words.size()) ? " and " : ", ";
      result += words[i];
    }
    return result;
  }

  const Catalogue& _catalogue;
  const std::string& _source;
  const Detail::LineMap* _lines;
  std::string _layerLabel;  ///< "layer 2 (\"EPS board\")" while a layer is read
};

std::string stemOf(const std::string& source) {
  return std::filesystem::path(source).stem().string();
}

}  // namespace

Wall parseWall(const nlohmann::json& object, const Catalogue& catalogue, const std::string& source,
               const std::string& defaultName) {
  return WallReader(catalogue, source, nullptr)
      .read(object, defaultName.empty() ? stemOf(source) : defaultName);
}

Wall parseWallText(std::string_view text, WallFormat format, const Catalogue& catalogue,
                   const std::string& source) {
  if (format == WallFormat::Json) {
    return parseWall(Detail::parseJsonDocument(text, source), catalogue, source);
  }
  Detail::LineMap lines;
  const nlohmann::json document = Detail::parseTomlDocument(text, source, lines);
  return WallReader(catalogue, source, &lines).read(document, stemOf(source));
}

WallFormat wallFormatOf(const std::string& path) {
  const std::string extension = std::filesystem::path(path).extension().string();
  if (extension == ".toml") return WallFormat::Toml;
  if (extension == ".json") return WallFormat::Json;
  throw Error(path + ": unknown wall file type \"" + extension +
              "\"; name it .toml (for people) or .json (for programs)");
}

Wall loadWallFile(const std::string& path, const Catalogue& catalogue) {
  const WallFormat format = wallFormatOf(path);
  return parseWallText(readTextFile(path, kMaxWallFileBytes), format, catalogue, path);
}

}  // namespace Brusk
