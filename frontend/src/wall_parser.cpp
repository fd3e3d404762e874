#include "brusk/frontend/wall_parser.h"

#include <cmath>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "brusk/engine/wall.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/text_util.h"
#include "brusk/frontend/wall_schema.h"
#include "document.h"
#include "element_reader.h"
#include "layer_vapour_reader.h"
#include "wall_document_writer.h"
#include "wall_reader.h"

namespace Brusk::Frontend {

namespace {

using Json = nlohmann::json;
using Detail::member;
using Engine::ProblemKind;
using Engine::WallField;

/// Reads one wall object, building messages that name the source, line and layer. Types and
/// keys are the schema's business; whether a value is physically possible is the engine's
/// (Engine::checkProperty and friends), asked value by value so that the first fault in the
/// file is the one reported.
class WallReader : public Detail::WallReadingContext {
public:
  /// `pointerPrefix` locates the wall object in its document (empty for a wall file of its
  /// own); `context` ("element 2") comes after the location in every message.
  WallReader(const Catalogue& catalogue, const std::string& source, const Detail::LineMap* lines,
             std::string pointerPrefix = {}, std::string context = {})
      : _catalogue(catalogue),
        _source(source),
        _lines(lines),
        _pointerPrefix(std::move(pointerPrefix)),
        _context(std::move(context)) {}

  Wall read(const Json& object, const std::string& defaultName) {
    if (!object.is_object()) {
      fail("", "a wall must be a table of keys (" + joinedWords(Schema::wallKeys()) + "), got " +
                   Detail::describeValue(object));
    }
    requireKnownKeys(object, "", Schema::wallKeys(), "a wall");

    Wall wall;
    wall.name = defaultName;
    if (const Json* name = member(object, Schema::kName)) {
      wall.name = requireString(*name, "/name", Schema::kName);
    }
    Engine::WallRequest& request = wall.request;
    if (const Json* position = member(object, Schema::kPosition)) {
      request.position = static_cast<Engine::ElementPosition>(
          choose(*position, "/position", Schema::kPosition, Schema::positionNames()));
    }
    if (const Json* heatFlow = member(object, Schema::kHeatFlow)) {
      request.heatFlow = static_cast<Engine::HeatFlowDirection>(
          choose(*heatFlow, "/heat_flow", Schema::kHeatFlow, Schema::heatFlowNames()));
    }
    if (const Json* orientation = member(object, Schema::kOrientation)) {
      wall.orientation = Schema::orientationNames()[static_cast<std::size_t>(
          choose(*orientation, "/orientation", Schema::kOrientation, Schema::orientationNames()))];
    }
    if (const Json* irradiance = member(object, Schema::kSiteIrradiance)) {
      if (!irradiance->is_number() || !(irradiance->get<double>() >= 0.0) ||
          !std::isfinite(irradiance->get<double>())) {
        failWith("/site_irradiance",
                 {{"wall.site_irradiance", {{"value", Detail::gotValue(*irradiance)}}}});
      }
      wall.siteIrradiance = irradiance->get<double>();
    }
    if (const Json* value = member(object, Schema::kRsi)) {
      request.internalSurfaceResistance =
          requireNumber(*value, WallField::InternalSurfaceResistance, ProblemKind::Negative);
    }
    if (const Json* value = member(object, Schema::kRse)) {
      request.externalSurfaceResistance =
          requireNumber(*value, WallField::ExternalSurfaceResistance, ProblemKind::Negative);
    }
    if (auto problem = Engine::checkSurfaceResistances(request)) failOn(*problem, wall);

    const Json* layers = member(object, Schema::kLayers);
    if (layers == nullptr || (layers->is_array() && layers->empty())) {
      Engine::WallProblem none;
      none.kind = ProblemKind::NoLayers;
      failWith(layers == nullptr ? "" : "/layers", problemMessage(none, wall));
    }
    if (!layers->is_array()) {
      fail("/layers", "layers must be a list of tables, got " + Detail::describeValue(*layers));
    }
    if (layers->size() > Engine::kMaxLayers) {
      Engine::WallProblem tooMany;
      tooMany.kind = ProblemKind::TooManyLayers;
      tooMany.value = static_cast<double>(layers->size());
      failWith("/layers", problemMessage(tooMany, wall));
    }
    request.layers.reserve(layers->size());
    wall.labels.reserve(layers->size());
    for (std::size_t i = 0; i < layers->size(); ++i) readLayer((*layers)[i], i, wall);
    clearLayerLabel();
    if (auto problem = Engine::check(request)) failOn(*problem, wall);
    Detail::readElementKeys(*this, object, wall);
    wall.document = Detail::canonicalWallDocument(object, wall);
    return wall;
  }

private:
  void readLayer(const Json& object, std::size_t index, Wall& wall) {
    const std::string pointer = "/layers/" + std::to_string(index);
    _layerPointer = pointer;
    _layerLabel = "layer " + std::to_string(index + 1);
    _layerMessage = layerMessage(index, "");
    if (!object.is_object()) {
      fail(pointer, "must be a table of keys, got " + Detail::describeValue(object));
    }
    LayerLabel label;
    if (const Json* name = member(object, Schema::kName)) {
      label.name = requireString(*name, pointer + "/name", Schema::kName);
      _layerLabel += " (\"" + label.name + "\")";
      _layerMessage = layerMessage(index, label.name);
    }
    if (Detail::isElementLayer(object)) {
      Detail::readElementLayer(*this, object, pointer, std::move(label), wall);
      return;
    }
    requireKnownKeys(object, pointer, Schema::layerKeys(), "a layer");
    if (isVapourControlLayer(object)) {
      readVapourControlLayer(object, pointer, std::move(label), wall);
      return;
    }

    if (const Json* resistance = member(object, Schema::kThermalResistance)) {
      for (std::string_view key : {Schema::kMaterial, Schema::kThickness, Schema::kConductivity,
                                   Schema::kDensity, Schema::kSpecificHeat}) {
        if (member(object, key) != nullptr) {
          fail(pointer + "/" + std::string(key),
               "a pure thermal resistance layer takes no " + std::string(key) +
                   "; give either thermal_resistance alone or a material");
        }
      }
      const double value = requireNumber(*resistance, WallField::ThermalResistance, index);
      label.family = Schema::kPureResistanceFamily;
      if (label.name.empty()) label.name = Schema::kPureResistanceName;
      readFamily(object, pointer, label);
      readVapour(object, nullptr, 0.0, pointer, label);
      wall.addLayer(Engine::LayerProperties::pureResistance(value), std::move(label));
      return;
    }

    std::optional<double> conductivity;
    std::optional<double> density;
    std::optional<double> specificHeat;
    label.family = Schema::kDefaultFamily;
    const CatalogueEntry* entry = nullptr;
    if (const Json* material = member(object, Schema::kMaterial)) {
      const std::string key = requireString(*material, pointer + "/material", Schema::kMaterial);
      entry = _catalogue.find(key);
      if (entry == nullptr) {
        failWith(pointer + "/material", {Detail::unknownMaterial(key, _catalogue)});
      }
      label.materialKey = entry->key;
      label.family = entry->family;
      if (label.name.empty()) {
        label.name = entry->name;
        _layerLabel += " (\"" + label.name + "\")";
        _layerMessage = layerMessage(index, label.name);
      }
      conductivity = entry->conductivity;
      density = entry->density;
      specificHeat = entry->specificHeat;
    }
    readFamily(object, pointer, label);

    const Json* thickness = member(object, Schema::kThickness);
    // A missing value is named by the key it should have (the line is the layer's), so that a
    // form shows the message at that field.
    if (thickness == nullptr) failWith(pointer + "/thickness", {{"layer.thickness_missing", {}}});
    const double d = requireNumber(*thickness, WallField::Thickness, index);
    // Explicit properties override the catalogue's.
    if (const Json* value = member(object, Schema::kConductivity)) {
      conductivity = requireNumber(*value, WallField::Conductivity, index);
    }
    if (const Json* value = member(object, Schema::kDensity)) {
      density = requireNumber(*value, WallField::Density, index);
    }
    if (const Json* value = member(object, Schema::kSpecificHeat)) {
      specificHeat = requireNumber(*value, WallField::SpecificHeat, index);
    }
    const std::string_view missing = !conductivity   ? Schema::kConductivity
                                     : !density      ? Schema::kDensity
                                     : !specificHeat ? Schema::kSpecificHeat
                                                     : std::string_view();
    if (!missing.empty()) {
      failWith(pointer + "/" + std::string(missing),
               {{"layer.property_missing",
                 {{"key", Engine::MessageValue::fileKey(std::string(missing))}}}});
    }
    if (label.name.empty()) label.name = Schema::defaultLayerName(index);
    readVapour(object, entry, d, pointer, label);
    wall.addLayer(Engine::LayerProperties::slab(d, *conductivity, *density, *specificHeat),
                  std::move(label));
  }

  /// True for a layer of s_d and none of the keys that give a layer thermal properties.
  static bool isVapourControlLayer(const Json& object) {
    if (member(object, Schema::kSd) == nullptr) return false;
    for (std::string_view key :
         {Schema::kMaterial, Schema::kThickness, Schema::kConductivity, Schema::kDensity,
          Schema::kSpecificHeat, Schema::kThermalResistance}) {
      if (member(object, key) != nullptr) return false;
    }
    return true;
  }

  /// A vapour control layer or membrane: s_d and no thermal resistance (ISO 13788 takes such a
  /// layer as an s_d between two planes of one temperature).
  void readVapourControlLayer(const Json& object, const std::string& pointer, LayerLabel label,
                              Wall& wall) {
    if (member(object, Schema::kVapourResistanceFactor) != nullptr) {
      fail(pointer + "/vapour_resistance_factor",
           "a vapour control layer (sd without thickness) has no thickness for a "
           "vapour_resistance_factor; give its sd in m alone, or its thickness and "
           "properties");
    }
    label.family = Schema::kMembraneFamily;
    if (label.name.empty()) label.name = Schema::kVapourControlName;
    readFamily(object, pointer, label);
    readVapour(object, nullptr, 0.0, pointer, label);
    if (!(label.vapour.sd > 0.0)) {
      fail(pointer + "/sd",
           "a vapour control layer of sd 0 m resists nothing; give its sd (the equivalent air "
           "layer thickness, above 0 m) or leave the layer out");
    }
    wall.vapourControls.push_back({wall.request.layers.size(), std::move(label)});
  }

  /// The layer's mu or s_d (layer_vapour.cpp), read by the moisture assessment only.
  void readVapour(const Json& object, const CatalogueEntry* entry, double thickness,
                  const std::string& pointer, LayerLabel& label) {
    if (auto fault = Detail::readLayerVapour(object, entry, thickness, label.vapour)) {
      if (fault->message) failWith(pointer + "/" + fault->key, {*fault->message});
      fail(pointer + "/" + fault->key, fault->reason);
    }
  }

  void readFamily(const Json& object, const std::string& pointer, LayerLabel& label) {
    if (const Json* family = member(object, Schema::kFamily)) {
      choose(*family, pointer + "/family", Schema::kFamily, Schema::materialFamilies());
      label.family = family->get<std::string>();
    }
  }

  void requireKnownKeys(const Json& object, const std::string& pointer,
                        const std::vector<std::string>& known, const char* what) {
    if (auto unknown = Detail::firstUnknownKey(object, known, what)) {
      fail(pointer + "/" + unknown->key, unknown->message);
    }
  }

  std::string requireString(const Json& value, const std::string& pointer, std::string_view key) {
    if (auto reason = Detail::notAString(value, key)) fail(pointer, *reason);
    return value.get<std::string>();
  }

  int choose(const Json& value, const std::string& pointer, std::string_view key,
             const std::vector<std::string>& choices) {
    if (value.is_string()) {
      const std::string text = value.get<std::string>();
      for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i] == text) return static_cast<int>(i);
      }
    }
    failWith(pointer, {{"value.choice",
                        {{"key", Engine::MessageValue::fileKey(std::string(key))},
                         {"choices", Engine::MessageValue::choices(std::string(key), choices)},
                         {"value", Detail::gotValue(value)}}}});
  }

  /// A number for a layer's field; its physics is checked when the layer is complete.
  double requireNumber(const Json& value, WallField field, std::size_t index) {
    const double number = requireNumber(value, field, ProblemKind::NotPositive);
    if (auto problem = Engine::checkProperty(field, number, index)) {
      failWith(pointerOf(*problem), {requirementMessage(*problem)});
    }
    return number;
  }

  /// A number for `field`, refused with the requirement `kind` when it is of another type.
  double requireNumber(const Json& value, WallField field, ProblemKind kind) {
    if (!value.is_number()) {
      failWith(pointerOf(field, Engine::kWholeWall),
               {requirementMessage(field, kind, Detail::gotValue(value))});
    }
    return value.get<double>();
  }

  /// The JSON pointer of a field: "/rsi", or "/layers/2/conductivity" inside the layer read.
  std::string pointerOf(WallField field, std::size_t layer) const {
    const std::string key(Schema::keyOf(field));
    if (layer == Engine::kWholeWall && _layerLabel.empty()) return "/" + key;
    return (layer == Engine::kWholeWall ? _layerPointer : "/layers/" + std::to_string(layer)) +
           "/" + key;
  }
  std::string pointerOf(const Engine::WallProblem& problem) const {
    return pointerOf(problem.field, problem.layer);
  }

  /// Fails with the engine's problem, worded with the layer it is about.
  [[noreturn]] void failOn(const Engine::WallProblem& problem, const Wall& wall) {
    clearLayerLabel();
    const std::size_t layer =
        problem.layer == Engine::kWholeWall ? problem.layer : wall.fileLayerOf(problem.layer);
    const std::string pointer =
        problem.field == WallField::Layers ? "/layers" : pointerOf(problem.field, layer);
    const std::vector<Engine::Message> parts = problemMessage(problem, wall);
    if (!parts.empty()) failWith(pointer, parts);
    fail(pointer, describeProblem(problem, wall));
  }

  [[nodiscard]] const Catalogue& catalogue() const override { return _catalogue; }
  void clearLayerLabel() override {
    _layerLabel.clear();
    _layerMessage.reset();
  }

  /// Where a message about `pointer` starts: the source and line, the context, the layer.
  [[nodiscard]] std::string messagePrefix(const std::string& pointer) const override {
    const std::size_t line = _lines != nullptr ? _lines->lineOf(_pointerPrefix + pointer) : 0;
    std::string message = Detail::locationPrefix(_source, line);
    if (!_context.empty()) message += _context + ": ";
    if (!_layerLabel.empty()) message += _layerLabel + ": ";
    return message;
  }

  [[nodiscard]] std::optional<std::vector<Engine::Message>> messagePlace(
      const std::string& pointer) const override {
    // A wall inside another document (a zone's element) is worded in English only.
    if (!_context.empty()) return std::nullopt;
    const std::size_t line = _lines != nullptr ? _lines->lineOf(_pointerPrefix + pointer) : 0;
    std::vector<Engine::Message> place{Detail::placeMessage(_source, line)};
    if (_layerMessage) place.push_back(*_layerMessage);
    return place;
  }

  [[nodiscard]] std::string documentPointer(const std::string& pointer) const override {
    return _pointerPrefix + pointer;
  }

  [[noreturn]] void fail(const std::string& pointer, const std::string& reason) const {
    throw Error(messagePrefix(pointer) + reason, documentPointer(pointer));
  }

  const Catalogue& _catalogue;
  const std::string& _source;
  const Detail::LineMap* _lines;
  const std::string _pointerPrefix;  ///< "/elements/2" for a wall inside another document
  const std::string _context;        ///< "element 3 (\"Floor\")" for a wall inside another document
  std::string _layerPointer;         ///< "/layers/1" while a layer is read
  std::string _layerLabel;           ///< "layer 2 (\"EPS board\")" while a layer is read
  std::optional<Engine::Message> _layerMessage;  ///< the same by key
};

std::string stemOf(const std::string& source) {
  return std::filesystem::path(source).stem().string();
}

}  // namespace

Wall Detail::readWallObject(const nlohmann::json& object, const Catalogue& catalogue,
                            const std::string& source, const LineMap* lines,
                            const std::string& pointerPrefix, const std::string& context,
                            const std::string& defaultName) {
  return WallReader(catalogue, source, lines, pointerPrefix, context).read(object, defaultName);
}

namespace {

/// A wall's layers are the objects at depth 2 (the wall, its list of layers, each layer); the
/// parts inside them are counted by the part limit, not this one.
Detail::ObjectLimit wallObjectLimit() {
  return {Engine::kMaxLayers,
          "more than " + std::to_string(Engine::kMaxLayers) + " layers, the most a wall may have",
          2};
}

}  // namespace

Wall parseWallText(std::string_view text, WallFormat format, const Catalogue& catalogue,
                   const std::string& source, const std::string& defaultName) {
  const std::string name = defaultName.empty() ? stemOf(source) : defaultName;
  Detail::LineMap lines;
  const nlohmann::json document =
      format == WallFormat::Json
          ? Detail::parseJsonDocument(text, source, &lines, wallObjectLimit())
          : Detail::parseTomlDocument(text, source, lines);
  return WallReader(catalogue, source, &lines).read(document, name);
}

Wall parseWallLine(std::string_view line, const Catalogue& catalogue, const std::string& source,
                   const std::string& defaultName) {
  const nlohmann::json document =
      Detail::parseJsonDocument(line, source, nullptr, wallObjectLimit());
  return WallReader(catalogue, source, nullptr).read(document, defaultName);
}

WallFormat wallFormatOf(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (extension == ".toml") return WallFormat::Toml;
  if (extension == ".json") return WallFormat::Json;
  throw Error(path + ": unknown wall file type \"" +
              std::filesystem::path(path).extension().string() +
              "\"; name it .toml (for people) or .json (for programs)");
}

Wall loadWallFile(const std::string& path, const Catalogue& catalogue) {
  const WallFormat format = wallFormatOf(path);
  return parseWallText(readTextFile(path, kMaxWallFileBytes), format, catalogue, path);
}

}  // namespace Brusk::Frontend
