#include "element_reader.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "brusk/engine/bridged_element.h"
#include "brusk/frontend/bridged_wall.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/text_util.h"
#include "brusk/frontend/wall_schema.h"
#include "document.h"
#include "layer_vapour_reader.h"

namespace Brusk::Frontend::Detail {

namespace {

using Json = nlohmann::json;
using Engine::AirLayerVentilation;
using Engine::WallField;

// The keys of a part, of a layer of parts, of an air layer and of the corrections: the schema's.
const std::vector<std::string>& partKeys() { return Schema::keysOf("part"); }
const std::vector<std::string>& partsLayerKeys() { return Schema::layerKindKeys("parts"); }
const std::vector<std::string>& airLayerKeys() { return Schema::layerKindKeys("air_gap"); }
const std::vector<std::string>& correctionKeys() { return Schema::keysOf("corrections"); }
const std::vector<std::string>& airVoidKeys() { return Schema::keysOf("air_voids"); }
const std::vector<std::string>& fastenerKeys() { return Schema::keysOf("fasteners"); }
const std::vector<std::string>& ventilationWords() { return Schema::ventilationNames(); }

/// A sum of fractions as a message shows it: twelve digits, so that 0.15 + 0.8 reads 0.95.
std::string sumText(double sum) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.12g", sum);
  return buffer;
}

/// Reads one element layer or the corrections, failing through the wall reader.
class ElementReader {
public:
  ElementReader(WallReadingContext& context, Wall& wall) : _context(context), _wall(wall) {}

  void readParts(const Json& object, const std::string& pointer, LayerLabel label) {
    const std::size_t index = _wall.request.layers.size();
    for (const auto& [key, value] : object.items()) {
      (void)value;
      if (isKnown(key, partsLayerKeys())) continue;
      if (key == Schema::kVapourResistanceFactor || key == Schema::kSd) {
        _context.fail(pointer + "/" + key,
                      "a layer of parts takes its vapour resistance from its parts, so it has no " +
                          key +
                          " of its own; give the vapour_resistance_factor or sd of each "
                          "[[layers.parts]] (a catalogue material has its own)");
      }
      if (isKnown(key, airLayerKeys()) || isKnown(key, Schema::layerKeys())) {
        _context.fail(pointer + "/" + key,
                      "a layer of parts takes its materials from its parts, so it has no " + key +
                          " of its own; give material or conductivity, density and "
                          "specific_heat, and fraction, in each [[layers.parts]]");
      }
    }
    requireKnownKeys(object, pointer, partsLayerKeys(), "a layer of parts");
    const Json* thickness = member(object, Schema::kThickness);
    if (thickness == nullptr) {
      _context.fail(pointer,
                    "thickness is missing (in m): a layer of parts has one thickness, "
                    "which every part fills");
    }
    const double d = positive(*thickness, pointer + "/thickness", WallField::Thickness);
    const Json& parts = *member(object, Schema::kParts);
    if (!parts.is_array() || parts.size() < 2) {
      _context.fail(pointer + "/parts",
                    "parts must be a list of at least two tables ([[layers.parts]]), each a "
                    "material with its fraction of the area, got " +
                        describeValue(parts));
    }
    if (parts.size() > Engine::kMaxPaths) {
      _context.fail(pointer + "/parts", std::to_string(parts.size()) + " parts, more than the " +
                                            std::to_string(Engine::kMaxPaths) +
                                            " a layer may have");
    }
    std::vector<Engine::LayerPart> physics;
    std::vector<PartLabel> labels;
    double sum = 0.0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
      const std::string partPointer = pointer + "/parts/" + std::to_string(i);
      PartLabel partLabel;
      physics.push_back(readPart(parts[i], i, partPointer, d, partLabel));
      labels.push_back(std::move(partLabel));
      sum += physics.back().fraction;
    }
    if (std::fabs(sum - 1.0) > Engine::kFractionTolerance) {
      _context.failWith(pointer + "/parts",
                        {{"parts.sum", {{"sum", Engine::MessageValue::number(sumText(sum))}}}});
    }
    std::size_t largest = 0;
    for (std::size_t i = 1; i < physics.size(); ++i) {
      if (physics[i].fraction > physics[largest].fraction) largest = i;
    }
    label.family = labels[largest].family;
    if (const Json* family = member(object, Schema::kFamily)) {
      label.family = chooseFamily(*family, pointer + "/family");
    }
    if (label.name.empty()) {
      for (std::size_t i = 0; i < labels.size(); ++i) {
        if (i > 0) label.name += " / ";
        label.name += labels[i].name;
      }
    }
    readCondensationLimit(object, pointer, label);
    _wall.addLayer(Engine::equivalentSlab(d, physics), std::move(label));
    _wall.element.element.bridged.push_back({index, std::move(physics)});
    _wall.element.partLabels.push_back(std::move(labels));
  }

  void readAirLayer(const Json& object, const std::string& pointer, LayerLabel label) {
    const std::size_t index = _wall.request.layers.size();
    for (const auto& [key, value] : object.items()) {
      (void)value;
      if (isKnown(key, airLayerKeys()) || !isKnown(key, Schema::layerKeys())) continue;
      const std::string reason =
          key == Schema::kThickness
              ? "an air layer's thickness is its air_gap (in m); give no thickness besides"
              : "an air layer takes no " + key +
                    "; its resistance comes from air_gap and "
                    "ventilation (ISO 6946:2017 6.9), or from a thermal_resistance of its own";
      _context.fail(pointer + "/" + key, reason);
    }
    requireKnownKeys(object, pointer, airLayerKeys(), "an air layer");
    AirGap gap;
    gap.layer = index;
    const Json* thickness = member(object, Schema::kAirGap);
    if (thickness == nullptr) {
      const std::string key = member(object, Schema::kVentilation) != nullptr ? "ventilation"
                              : member(object, Schema::kOpenings) != nullptr  ? "openings"
                                                                              : "emissivities";
      _context.fail(pointer + "/" + key,
                    key + " belongs to an air layer: give its thickness as air_gap (in m)");
    }
    gap.thickness = positive(*thickness, pointer + "/air_gap", WallField::Thickness, "air_gap");
    const Json* given = member(object, Schema::kThermalResistance);
    if (given == nullptr && gap.thickness > Engine::kThickestAirLayer) {
      _context.fail(pointer + "/air_gap",
                    "an air_gap of " + formatNumber(gap.thickness) + " m is thicker than the " +
                        formatNumber(Engine::kThickestAirLayer) +
                        " m that ISO 6946:2017 (6.9, Table 8) gives a resistance for; a space "
                        "that deep needs a heat balance, so give its thermal_resistance "
                        "yourself, which is then used as it is");
    }
    if (const Json* ventilation = member(object, Schema::kVentilation)) {
      gap.ventilation = chooseVentilation(*ventilation, pointer + "/ventilation");
    }
    if (const Json* openings = member(object, Schema::kOpenings)) {
      if (gap.ventilation != AirLayerVentilation::Slightly) {
        _context.fail(pointer + "/openings",
                      "openings only matter for a slightly ventilated air layer "
                      "(ventilation = \"slightly\", ISO 6946:2017 6.9.3); this one is " +
                          std::string(ventilationName(gap.ventilation)));
      }
      gap.openingArea = number(*openings, pointer + "/openings", "openings", "mm2 per m");
    }
    if (gap.ventilation == AirLayerVentilation::Slightly) {
      if (member(object, Schema::kOpenings) == nullptr) {
        _context.fail(pointer,
                      "a slightly ventilated air layer needs its openings: the area "
                      "A_v of its vents in mm2 per m of length (vertical layers) or "
                      "per m2 of area (horizontal ones), from 500 to 1500 "
                      "(ISO 6946:2017 6.9.3)");
      }
      if (Engine::checkOpeningArea(gap.openingArea, index)) {
        _context.fail(pointer + "/openings",
                      "openings of a slightly ventilated air layer must be from 500 to 1500 mm2 "
                      "per m (ISO 6946:2017 6.9.3; below is unventilated, above well "
                      "ventilated), got " +
                          formatNumber(gap.openingArea));
      }
    }
    if (const Json* emissivities = member(object, Schema::kEmissivities)) {
      if (given != nullptr) {
        _context.fail(pointer + "/emissivities",
                      "give either emissivities or a thermal_resistance: a resistance given is "
                      "used as it is");
      }
      readEmissivities(*emissivities, pointer + "/emissivities", gap);
    }
    const Engine::HeatFlowDirection heatFlow = _wall.request.heatFlow;
    if (given != nullptr) {
      gap.resistance =
          positive(*given, pointer + "/thermal_resistance", WallField::ThermalResistance);
      gap.source = AirResistanceSource::Given;
    } else if (gap.emissivity1) {
      gap.resistance =
          Engine::airLayerResistance(gap.thickness, heatFlow, *gap.emissivity1, *gap.emissivity2);
      gap.source = AirResistanceSource::Emissivities;
    } else {
      gap.resistance = Engine::tabulatedAirLayerResistance(gap.thickness, heatFlow);
    }
    if (gap.ventilation != AirLayerVentilation::Unventilated) {
      Engine::ElementDescription& element = _wall.element.element;
      if (element.ventilated) {
        _context.fail(pointer + "/ventilation",
                      "only one air layer of a wall may be ventilated, and " +
                          layerLabel(_wall, element.ventilated->layer) + " already is");
      }
      if (index == 0) {
        _context.fail(pointer + "/ventilation",
                      "a ventilated air layer on side 1 leaves no element inside it: list the "
                      "layers from the inner face outward");
      }
      element.ventilated = Engine::VentilatedAirLayer{index, gap.ventilation, gap.openingArea};
    }
    label.family = Schema::kPureResistanceFamily;
    if (const Json* family = member(object, Schema::kFamily)) {
      label.family = chooseFamily(*family, pointer + "/family");
    }
    if (label.name.empty()) label.name = "Air layer";
    // Still air: mu = 1 (ISO 10456), s_d its thickness. A well-ventilated layer is where the
    // moisture assessment ends, so its s_d is not used there.
    label.vapour = airLayerVapour(gap.thickness);
    _wall.addLayer(Engine::LayerProperties::pureResistance(gap.resistance), std::move(label));
    _wall.element.airGaps.push_back(gap);
  }

  void readWallKeys(const Json& object) {
    _context.clearLayerLabel();
    Engine::ElementDescription& element = _wall.element.element;
    if (const Json* aligned = member(object, Schema::kPartsAligned)) {
      if (!aligned->is_boolean()) {
        _context.fail("/parts_aligned",
                      "parts_aligned must be true (part k of every layer of parts lies behind "
                      "part k of the others) or false (independent patterns), got " +
                          describeValue(*aligned));
      }
      element.alignedPatterns = aligned->get<bool>();
    }
    if (const Json* corrections = member(object, Schema::kCorrections)) {
      readCorrections(*corrections);
    }
    if (auto problem = Engine::check(_wall.request, element)) {
      const std::vector<Engine::Message> parts = elementProblemMessage(*problem, _wall);
      if (!parts.empty()) _context.failWith(pointerOf(*problem), parts);
      _context.fail(pointerOf(*problem), describeElementProblem(*problem, _wall));
    }
  }

private:
  Engine::LayerPart readPart(const Json& object, std::size_t index, const std::string& pointer,
                             double thickness, PartLabel& label) {
    const std::string name = "part " + std::to_string(index + 1);
    if (!object.is_object()) {
      _context.fail(pointer, name + " must be a table of keys (" + joinedWords(partKeys()) +
                                 "), got " + describeValue(object));
    }
    _partLabel = name;
    _partMessage = {"part", {{"part", Engine::MessageValue::plain(std::to_string(index + 1))}}};
    if (const Json* given = member(object, Schema::kName)) {
      label.name = string(*given, pointer + "/name", Schema::kName);
    }
    if (member(object, Schema::kThickness) != nullptr) {
      failPart(pointer + "/thickness", "a part fills the thickness of its layer (" +
                                           formatNumber(thickness) +
                                           " m) and takes no thickness of its own");
    }
    if (member(object, Schema::kThermalResistance) != nullptr) {
      failPart(pointer + "/thermal_resistance",
               "a part is a material (a catalogue material, or conductivity, density and "
               "specific_heat), not a thermal resistance");
    }
    if (auto unknown = firstUnknownKey(object, partKeys(), "a part")) {
      failPart(pointer + "/" + unknown->key, unknown->message);
    }
    std::optional<double> conductivity, density, specificHeat;
    label.family = Schema::kDefaultFamily;
    const CatalogueEntry* entry = nullptr;
    if (const Json* material = member(object, Schema::kMaterial)) {
      const std::string key = string(*material, pointer + "/material", Schema::kMaterial);
      entry = _context.catalogue().find(key);
      if (entry == nullptr) {
        failPart(pointer + "/material", unknownMaterial(key, _context.catalogue()));
      }
      label.materialKey = entry->key;
      label.family = entry->family;
      if (label.name.empty()) label.name = entry->name;
      conductivity = entry->conductivity;
      density = entry->density;
      specificHeat = entry->specificHeat;
    }
    if (label.name.empty()) label.name = "Part " + std::to_string(index + 1);
    _partLabel += " (\"" + label.name + "\")";
    _partMessage = {"part.named",
                    {{"part", Engine::MessageValue::plain(std::to_string(index + 1))},
                     {"name", Engine::MessageValue::plain(label.name)}}};
    if (const Json* family = member(object, Schema::kFamily)) {
      label.family = chooseFamily(*family, pointer + "/family");
    }
    const std::pair<std::string_view, std::optional<double>*> properties[] = {
        {Schema::kConductivity, &conductivity},
        {Schema::kDensity, &density},
        {Schema::kSpecificHeat, &specificHeat}};
    const WallField fields[] = {WallField::Conductivity, WallField::Density,
                                WallField::SpecificHeat};
    for (std::size_t i = 0; i < 3; ++i) {
      const auto& [key, value] = properties[i];
      if (const Json* given = member(object, key)) {
        *value = positive(*given, pointer + "/" + std::string(key), fields[i]);
      }
    }
    for (const auto& [key, value] : properties) {
      if (!*value) {
        failPart(pointer,
                 Engine::Message{"part.property_missing",
                                 {{"key", Engine::MessageValue::fileKey(std::string(key))}}});
      }
    }
    if (auto fault = readLayerVapour(object, entry, thickness, label.vapour)) {
      if (fault->message) failPart(pointer + "/" + fault->key, *fault->message);
      failPart(pointer + "/" + fault->key, fault->reason);
    }
    const Json* fraction = member(object, Schema::kFraction);
    if (fraction == nullptr) failPart(pointer, Engine::Message{"part.fraction_missing", {}});
    const double share = number(*fraction, pointer + "/fraction", "fraction", "");
    if (!(share > 0.0 && share <= 1.0)) {
      failPart(pointer + "/fraction",
               Engine::Message{share == 0.0 ? "part.fraction_zero" : "part.fraction_range",
                               {{"value", Engine::MessageValue::number(formatNumber(share))}}});
    }
    _partLabel.clear();
    _partMessage.reset();
    return {*conductivity, *density, *specificHeat, share};
  }

  void readEmissivities(const Json& value, const std::string& pointer, AirGap& gap) {
    if (!value.is_array() || value.size() != 2) {
      _context.fail(pointer,
                    "emissivities must be a list of two numbers, the hemispherical "
                    "emissivities of the air layer's two faces, got " +
                        describeValue(value));
    }
    double faces[2] = {0.0, 0.0};
    for (std::size_t i = 0; i < 2; ++i) {
      faces[i] = number(value[i], pointer + "/" + std::to_string(i), "emissivities", "");
      if (Engine::checkEmissivity(faces[i], gap.layer)) {
        _context.fail(pointer + "/" + std::to_string(i),
                      "an emissivity must be above 0 and at most 1, got " + formatNumber(faces[i]));
      }
    }
    gap.emissivity1 = faces[0];
    gap.emissivity2 = faces[1];
  }

  void readCorrections(const Json& corrections) {
    if (!corrections.is_object()) {
      _context.fail("/corrections",
                    "corrections must be a table with air_voids and/or "
                    "fasteners (ISO 6946:2017 Annex F), got " +
                        describeValue(corrections));
    }
    requireKnownKeys(corrections, "/corrections", correctionKeys(), "corrections");
    Engine::ElementDescription& element = _wall.element.element;
    if (const Json* voids = member(corrections, "air_voids")) {
      const std::string pointer = "/corrections/air_voids";
      requireTable(*voids, pointer, "air_voids", airVoidKeys());
      Engine::AirVoidCorrection correction;
      const Json* level = member(*voids, "level");
      if (level == nullptr || !level->is_number_integer() || level->get<long long>() < 0 ||
          level->get<long long>() > 2) {
        _context.fail(level == nullptr ? pointer : pointer + "/level",
                      "corrections.air_voids: level must be 0, 1 or 2 (ISO 6946:2017 Table F.1: 0 "
                      "no air voids "
                      "through the insulation, 1 gaps bridging it, 2 gaps and cavities with "
                      "air circulation), got " +
                          (level == nullptr ? std::string("nothing") : describeValue(*level)));
      }
      correction.level = static_cast<int>(level->get<long long>());
      correction.layer = layerNumber(*voids, pointer, "corrections.air_voids");
      element.airVoids = correction;
    }
    if (const Json* fasteners = member(corrections, "fasteners")) {
      const std::string pointer = "/corrections/fasteners";
      requireTable(*fasteners, pointer, "fasteners", fastenerKeys());
      Engine::FastenerCorrection correction;
      correction.layer = layerNumber(*fasteners, pointer, "corrections.fasteners");
      const std::pair<const char*, double*> inputs[] = {{"count", &correction.count},
                                                        {"cross_section", &correction.crossSection},
                                                        {"conductivity", &correction.conductivity}};
      const char* const units[] = {"fasteners per m2", "m2", "W/(m.K)"};
      for (std::size_t i = 0; i < 3; ++i) {
        const Json* value = member(*fasteners, inputs[i].first);
        if (value == nullptr) {
          _context.fail(pointer, "corrections.fasteners: " + std::string(inputs[i].first) +
                                     " is missing (in " + units[i] +
                                     "): fasteners need count, cross_section and conductivity");
        }
        *inputs[i].second =
            positiveNumber(*value, pointer + "/" + inputs[i].first, inputs[i].first, units[i]);
      }
      if (const Json* penetration = member(*fasteners, "penetration")) {
        correction.penetration = positiveNumber(*penetration, pointer + "/penetration",
                                                "corrections.fasteners: penetration", "m");
      }
      element.fasteners = correction;
    }
  }

  std::size_t layerNumber(const Json& table, const std::string& pointer, const std::string& what) {
    const Json* layer = member(table, "layer");
    const std::size_t count = _wall.request.layers.size() + _wall.vapourControls.size();
    const std::string range = "1 to " + std::to_string(count);
    if (layer == nullptr || !layer->is_number_integer() || layer->get<long long>() < 1 ||
        static_cast<unsigned long long>(layer->get<long long>()) > count) {
      _context.fail(layer == nullptr ? pointer : pointer + "/layer",
                    what +
                        ": layer must be the number of the layer concerned, counted from side 1 (" +
                        range + "), got " +
                        (layer == nullptr ? std::string("nothing") : describeValue(*layer)));
    }
    const auto place = static_cast<std::size_t>(layer->get<long long>() - 1);
    // The file counts its vapour control layers; the request, which the corrections index,
    // does not.
    for (std::size_t k = 0; k < _wall.request.layers.size(); ++k) {
      if (_wall.fileLayerOf(k) == place) return k;
    }
    _context.fail(pointer + "/layer", what + ": layer " + std::to_string(place + 1) +
                                          " is a vapour control layer, which has no thermal "
                                          "resistance to correct");
  }

  /// The condensation_limit of a layer whose vapour resistance lies in its parts.
  void readCondensationLimit(const Json& object, const std::string& pointer, LayerLabel& label) {
    const Json* limit = member(object, Schema::kCondensationLimit);
    if (limit == nullptr) return;
    if (!limit->is_number() || !(limit->get<double>() >= 0.0) ||
        !std::isfinite(limit->get<double>())) {
      _context.fail(pointer + "/condensation_limit",
                    "condensation_limit must be a finite number of g/m2, not negative, got " +
                        describeValue(*limit));
    }
    label.vapour.condensationLimit = limit->get<double>();
  }

  void requireTable(const Json& value, const std::string& pointer, const char* what,
                    const std::vector<std::string>& keys) {
    if (!value.is_object()) {
      _context.fail(pointer, std::string(what) + " must be a table of keys (" + joinedWords(keys) +
                                 "), got " + describeValue(value));
    }
    requireKnownKeys(value, pointer, keys, what);
  }

  void requireKnownKeys(const Json& object, const std::string& pointer,
                        const std::vector<std::string>& known, const char* what) {
    if (auto unknown = firstUnknownKey(object, known, what)) {
      _context.fail(pointer + "/" + unknown->key, unknown->message);
    }
  }

  /// The JSON pointer an engine problem is about.
  std::string pointerOf(const Engine::ElementProblem& problem) const {
    using Kind = Engine::ElementProblemKind;
    switch (problem.kind) {
      case Kind::VoidLevel:
        return "/corrections/air_voids";
      case Kind::FastenerValue:
      case Kind::Penetration:
        return "/corrections/fasteners";
      case Kind::CorrectionLayer:
        return _wall.element.element.airVoids &&
                       _wall.element.element.airVoids->layer == problem.layer
                   ? "/corrections/air_voids/layer"
                   : "/corrections/fasteners/layer";
      case Kind::AlignedMismatch:
        return "/parts_aligned";
      default:
        break;
    }
    if (problem.layer == Engine::kWholeWall || problem.layer >= _wall.request.layers.size()) {
      return "/layers";
    }
    return "/layers/" + std::to_string(_wall.fileLayerOf(problem.layer));
  }

  double number(const Json& value, const std::string& pointer, const std::string& key,
                const std::string& unit) {
    if (!value.is_number()) {
      const auto got = gotValue(value);
      failHere(pointer, unit.empty() ? Engine::Message{"value.number",
                                                       {{"key", Engine::MessageValue::fileKey(key)},
                                                        {"value", got}}}
                                     : Engine::Message{"value.number_of",
                                                       {{"key", Engine::MessageValue::fileKey(key)},
                                                        {"unit", Engine::MessageValue::plain(unit)},
                                                        {"value", got}}});
    }
    return value.get<double>();
  }

  double positiveNumber(const Json& value, const std::string& pointer, const std::string& key,
                        const std::string& unit) {
    const double result = number(value, pointer, key, unit);
    if (!(std::isfinite(result) && result > 0.0)) {
      _context.fail(
          pointer, key + " must be a positive number of " + unit + ", got " + formatNumber(result));
    }
    return result;
  }

  /// A positive number for `field`, worded as the plain layers' are.
  double positive(const Json& value, const std::string& pointer, WallField field,
                  std::string_view key = {}) {
    const std::string name = key.empty() ? std::string(Schema::keyOf(field)) : std::string(key);
    const std::string unit = Engine::unitOf(field);
    const double result = number(value, pointer, name, unit);
    if (Engine::checkProperty(field, result)) {
      failHere(pointer,
               Engine::Message{"value.positive",
                               {{"key", Engine::MessageValue::fileKey(name)},
                                {"unit", Engine::MessageValue::plain(unit)},
                                {"value", Engine::MessageValue::number(formatNumber(result))}}});
    }
    return result;
  }

  std::string string(const Json& value, const std::string& pointer, std::string_view key) {
    if (auto reason = notAString(value, key)) {
      failHere(pointer, *reason);
    }
    return value.get<std::string>();
  }

  std::string chooseFamily(const Json& value, const std::string& pointer) {
    if (value.is_string() && Schema::isMaterialFamily(value.get<std::string>())) {
      return value.get<std::string>();
    }
    const std::string reason = "family must be " + quotedAlternatives(Schema::materialFamilies()) +
                               ", got " + describeValue(value);
    failHere(pointer, reason);
  }

  AirLayerVentilation chooseVentilation(const Json& value, const std::string& pointer) {
    const std::vector<std::string>& words = ventilationWords();
    if (value.is_string()) {
      for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == value.get<std::string>()) return static_cast<AirLayerVentilation>(i);
      }
    }
    std::string reason =
        "ventilation must be " + quotedAlternatives(words) + ", got " + describeValue(value);
    if (value.is_string()) {
      const std::vector<std::string> close = closestWords(value.get<std::string>(), words, 1);
      if (!close.empty()) reason += "; did you mean \"" + close.front() + "\"?";
    }
    _context.fail(pointer, reason);
  }

  [[noreturn]] void failPart(const std::string& pointer, const std::string& reason) const {
    _context.fail(pointer, _partLabel + ": " + reason);
  }
  [[noreturn]] void failPart(const std::string& pointer, Engine::Message reason) const {
    if (!_partMessage) _context.failWith(pointer, {std::move(reason)});
    _context.failWith(pointer, {*_partMessage, std::move(reason)});
  }
  /// Fails naming the part being read, if any.
  [[noreturn]] void failHere(const std::string& pointer, const std::string& reason) const {
    if (!_partLabel.empty()) failPart(pointer, reason);
    _context.fail(pointer, reason);
  }
  [[noreturn]] void failHere(const std::string& pointer, Engine::Message reason) const {
    if (_partMessage) failPart(pointer, std::move(reason));
    _context.failWith(pointer, {std::move(reason)});
  }

  static bool isKnown(const std::string& key, const std::vector<std::string>& keys) {
    for (const std::string& known : keys) {
      if (known == key) return true;
    }
    return false;
  }

  WallReadingContext& _context;
  Wall& _wall;
  std::string _partLabel;  ///< "part 2 (\"Mineral wool\")" while a part is read
  std::optional<Engine::Message> _partMessage;  ///< the same by key
};

}  // namespace

void WallReadingContext::fail(const std::string& pointer, const std::string& reason) const {
  throw Error(messagePrefix(pointer) + reason, documentPointer(pointer));
}

void WallReadingContext::failWith(const std::string& pointer,
                                  std::vector<Engine::Message> reason) const {
  if (auto place = messagePlace(pointer)) {
    place->insert(place->end(), reason.begin(), reason.end());
    throw Error(std::move(*place), documentPointer(pointer));
  }
  fail(pointer, Engine::englishText(reason));
}

Engine::Message unknownMaterial(const std::string& key, const Catalogue& catalogue) {
  const std::vector<std::string> close = catalogue.suggestions(key);
  if (close.empty()) return {"material.unknown", {{"material", Engine::MessageValue::plain(key)}}};
  return {"material.unknown_close",
          {{"material", Engine::MessageValue::plain(key)},
           {"close", Engine::MessageValue::choices("material", close)}}};
}

bool isElementLayer(const nlohmann::json& layer) {
  if (!layer.is_object()) return false;
  for (std::string_view key : {Schema::kParts, Schema::kAirGap, Schema::kVentilation,
                               Schema::kOpenings, Schema::kEmissivities}) {
    if (member(layer, key) != nullptr) return true;
  }
  return false;
}

void readElementLayer(WallReadingContext& context, const nlohmann::json& layer,
                      const std::string& pointer, LayerLabel label, Wall& wall) {
  ElementReader reader(context, wall);
  const bool parts = member(layer, Schema::kParts) != nullptr;
  if (parts && member(layer, Schema::kAirGap) != nullptr) {
    context.fail(pointer + "/air_gap",
                 "a layer is either made of parts or an air layer (air_gap), not both; an air "
                 "space between studs is a part of conductivity d / R_g");
  }
  if (parts) {
    reader.readParts(layer, pointer, std::move(label));
  } else {
    reader.readAirLayer(layer, pointer, std::move(label));
  }
}

void readElementKeys(WallReadingContext& context, const nlohmann::json& object, Wall& wall) {
  ElementReader(context, wall).readWallKeys(object);
}

}  // namespace Brusk::Frontend::Detail
