// Junction files: a drawn section (regions, environments, boundaries, flanking elements,
// probes) or a [junction] template over wall files, both formats through the one document reader.

#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <utility>

#include "brusk/frontend/error.h"
#include "brusk/frontend/junction.h"
#include "brusk/frontend/text_util.h"
#include "brusk/frontend/wall_parser.h"
#include "document.h"
#include "junction_templates.h"
#include "wall_reader.h"

namespace Brusk::Frontend {

namespace {

using Json = nlohmann::json;
using Detail::member;

const std::vector<std::string>& topKeys() {
  static const std::vector<std::string> keys = {
      "name",     "regions", "environments", "boundaries",
      "flanking", "probes",  "junction",     "f_rsi_surface_resistance",
      "tolerance"};
  return keys;
}
const std::vector<std::string> kRegionKeys = {"name", "x", "y", "material", "conductivity"};
const std::vector<std::string> kEnvironmentKeys = {"temperature", "surface_resistance"};
const std::vector<std::string> kBoundaryKeys = {"environment", "from", "to", "surface_resistance"};
const std::vector<std::string> kFlankingKeys = {"wall", "u_value", "length", "dimensions",
                                                "environments"};
const std::vector<std::string> kProbeKeys = {"name", "at"};
const std::vector<std::string> kTemplateKeys = {"type",
                                                "walls",
                                                "dimensions",
                                                "indoor_temperature",
                                                "outdoor_temperature",
                                                "slab_into_wall",
                                                "edge_insulation_thickness",
                                                "edge_insulation_conductivity",
                                                "frame_width",
                                                "frame_depth",
                                                "frame_conductivity",
                                                "frame_offset"};
const std::vector<std::string> kDimensionNames = {"internal", "external", "overall-internal"};

class JunctionReader {
public:
  JunctionReader(const Catalogue& catalogue, const std::string& source,
                 const std::string& directory, const Detail::LineMap& lines)
      : _catalogue(catalogue), _source(source), _directory(directory), _lines(lines) {}

  Junction read(const Json& document) {
    if (!document.is_object()) {
      fail("", "a junction must be a table of keys (" + joinedWords(topKeys()) + "), got " +
                   Detail::describeValue(document));
    }
    knownKeys(document, "", topKeys(), "a junction");
    Junction junction;
    junction.source = _source;
    junction.files.push_back(_source);
    junction.name = std::filesystem::path(_source).stem().string();
    if (const Json* name = member(document, "name")) {
      junction.name = string(*name, "/name", "name");
    }
    if (const Json* r = member(document, "f_rsi_surface_resistance")) {
      junction.request.fRsiSurfaceResistance =
          positive(*r, "/f_rsi_surface_resistance", "f_rsi_surface_resistance", "m2.K/W");
    }
    if (const Json* t = member(document, "tolerance")) {
      junction.request.tolerance = positive(*t, "/tolerance", "tolerance", "(a fraction)");
    }
    if (const Json* generated = member(document, "junction")) {
      for (const char* key : {"regions", "environments", "boundaries", "flanking"}) {
        if (member(document, key) != nullptr) {
          fail(std::string("/") + key, std::string("a [junction] template generates its own ") +
                                           key +
                                           "; write either the template or the drawn "
                                           "section (brusk bridge --geometry turns one "
                                           "into the other)");
        }
      }
      readTemplate(*generated, junction);
    } else {
      readEnvironments(document, junction);
      readRegions(document, junction);
      readBoundaries(document, junction);
      readFlanking(document, junction);
    }
    readProbes(document, junction);
    return junction;
  }

private:
  // ---- the drawn section ----

  void readRegions(const Json& document, Junction& junction) {
    const Json& list = requireList(document, "regions", "at least one [[regions]] table");
    for (std::size_t i = 0; i < list.size(); ++i) {
      const std::string pointer = "/regions/" + std::to_string(i);
      _context = "region " + std::to_string(i + 1);
      const Json& object = table(list[i], pointer);
      knownKeys(object, pointer, kRegionKeys, "a region");
      JunctionRegionLabel label;
      label.line = _lines.lineOf(pointer);
      if (const Json* name = member(object, "name")) {
        label.name = string(*name, pointer + "/name", "name");
        _context += " (\"" + label.name + "\")";
      }
      Engine::BridgeRegion region;
      const auto [x0, x1] = span(object, pointer, "x");
      const auto [y0, y1] = span(object, pointer, "y");
      region.x0 = x0;
      region.x1 = x1;
      region.y0 = y0;
      region.y1 = y1;
      const Json* material = member(object, "material");
      const Json* conductivity = member(object, "conductivity");
      if ((material == nullptr) == (conductivity == nullptr)) {
        fail(pointer,
             "give the region either a catalogue material = \"...\" or its "
             "conductivity = lambda in W/(m.K), one of the two");
      }
      if (material != nullptr) {
        const std::string key = string(*material, pointer + "/material", "material");
        const CatalogueEntry* entry = _catalogue.find(key);
        if (entry == nullptr) {
          std::string message = "material \"" + visibleText(key) + "\" is not in the catalogue";
          const std::vector<std::string> close = _catalogue.suggestions(key);
          if (!close.empty()) message += "; did you mean " + quotedAlternatives(close) + "?";
          fail(pointer + "/material", message + " (see `brusk materials`)");
        }
        region.conductivity = entry->conductivity;
        if (label.name.empty()) label.name = entry->name;
        label.family = entry->family;
      } else {
        region.conductivity =
            positive(*conductivity, pointer + "/conductivity", "conductivity", "W/(m.K)");
      }
      if (label.name.empty()) label.name = "region " + std::to_string(i + 1);
      junction.request.regions.push_back(region);
      junction.regions.push_back(label);
    }
    _context.clear();
  }

  void readEnvironments(const Json& document, Junction& junction) {
    const Json* environments = member(document, "environments");
    if (environments == nullptr || !environments->is_object() || environments->size() < 2) {
      fail(environments == nullptr ? "" : "/environments",
           "environments must be a table of at least two named environments "
           "([environments.indoor] with temperature and surface_resistance, ...)");
    }
    if (environments->size() > kMaxJunctionItems) {
      fail("/environments", "more than " + std::to_string(kMaxJunctionItems) + " environments");
    }
    for (auto item = environments->begin(); item != environments->end(); ++item) {
      const std::string pointer = "/environments/" + item.key();
      _context = "environment \"" + visibleText(item.key()) + "\"";
      const Json& object = table(item.value(), pointer);
      knownKeys(object, pointer, kEnvironmentKeys, "an environment");
      Engine::BridgeEnvironment environment;
      environment.name = item.key();
      const Json* temperature = member(object, "temperature");
      if (temperature == nullptr || !temperature->is_number() ||
          !std::isfinite(temperature->get<double>())) {
        fail(temperature == nullptr ? pointer : pointer + "/temperature",
             "temperature must be a number of degC" +
                 (temperature == nullptr ? std::string(", and is missing")
                                         : ", got " + Detail::describeValue(*temperature)));
      }
      environment.temperature = temperature->get<double>();
      const Json* resistance = member(object, "surface_resistance");
      if (resistance == nullptr) {
        fail(pointer,
             "surface_resistance is missing (R_s in m2.K/W: 0.13 indoors, 0.04 "
             "outdoors for horizontal heat flow, ISO 6946; 0 fixes the surface "
             "temperature)");
      }
      environment.surfaceResistance =
          notNegative(*resistance, pointer + "/surface_resistance", "surface_resistance");
      if (environment.name == "indoor")
        junction.request.indoor = junction.request.environments.size();
      if (environment.name == "outdoor") {
        junction.request.outdoor = junction.request.environments.size();
      }
      junction.request.environments.push_back(environment);
      junction.environmentLines.push_back(_lines.lineOf(pointer));
    }
    _context.clear();
  }

  std::size_t environmentIndex(const Json& value, const std::string& pointer,
                               const Junction& junction) {
    const std::string name = string(value, pointer, "environment");
    for (std::size_t e = 0; e < junction.request.environments.size(); ++e) {
      if (junction.request.environments[e].name == name) return e;
    }
    std::vector<std::string> names;
    for (const auto& environment : junction.request.environments) names.push_back(environment.name);
    fail(pointer, "environment \"" + visibleText(name) + "\" is not one of the [environments] (" +
                      quotedAlternatives(names) + ")");
  }

  void readBoundaries(const Json& document, Junction& junction) {
    const Json& list = requireList(document, "boundaries", "at least one [[boundaries]] table");
    for (std::size_t i = 0; i < list.size(); ++i) {
      const std::string pointer = "/boundaries/" + std::to_string(i);
      _context = "boundary " + std::to_string(i + 1);
      const Json& object = table(list[i], pointer);
      knownKeys(object, pointer, kBoundaryKeys, "a boundary");
      Engine::BridgeBoundary boundary;
      const Json* environment = member(object, "environment");
      if (environment == nullptr) fail(pointer, "environment is missing");
      boundary.environment = environmentIndex(*environment, pointer + "/environment", junction);
      const auto [x0, y0] = point(object, pointer, "from");
      const auto [x1, y1] = point(object, pointer, "to");
      boundary.x0 = x0;
      boundary.y0 = y0;
      boundary.x1 = x1;
      boundary.y1 = y1;
      if (const Json* r = member(object, "surface_resistance")) {
        boundary.surfaceResistance =
            notNegative(*r, pointer + "/surface_resistance", "surface_resistance");
      }
      junction.request.boundaries.push_back(boundary);
      junction.boundaryLines.push_back(_lines.lineOf(pointer));
    }
    _context.clear();
  }

  void readFlanking(const Json& document, Junction& junction) {
    const Json* list = member(document, "flanking");
    if (list == nullptr) return;
    if (!list->is_array()) {
      fail("/flanking", "flanking must be a list of tables, got " + Detail::describeValue(*list));
    }
    for (std::size_t i = 0; i < list->size(); ++i) {
      const std::string pointer = "/flanking/" + std::to_string(i);
      _context = "flanking element " + std::to_string(i + 1);
      const Json& object = table((*list)[i], pointer);
      knownKeys(object, pointer, kFlankingKeys, "a flanking element");
      Engine::BridgeFlanking element;
      JunctionFlankingLabel label;
      label.line = _lines.lineOf(pointer);
      const Json* wall = member(object, "wall");
      const Json* u = member(object, "u_value");
      if ((wall == nullptr) == (u == nullptr)) {
        fail(pointer,
             "give the flanking element either wall = \"file.toml\" (its U from the "
             "1D calculation) or u_value = U in W/(m2.K), one of the two");
      }
      if (wall != nullptr) {
        const SectionWall section = loadSection(*wall, pointer + "/wall", junction);
        element.uValue = section.uValue();
        label.name = section.name;
      } else {
        element.uValue = positive(*u, pointer + "/u_value", "u_value", "W/(m2.K)");
        label.name = "u_value";
      }
      const Json* length = member(object, "length");
      if (length == nullptr) fail(pointer, "length is missing (the element's length l in m)");
      element.length = positive(*length, pointer + "/length", "length", "m");
      if (const Json* dimensions = member(object, "dimensions")) {
        label.dimensions =
            choose(*dimensions, pointer + "/dimensions", "dimensions", kDimensionNames);
      }
      element.environmentA = junction.request.indoor.value_or(0);
      element.environmentB = junction.request.outdoor.value_or(1);
      if (const Json* pair = member(object, "environments")) {
        if (!pair->is_array() || pair->size() != 2) {
          fail(pointer + "/environments",
               "environments must name the two environments the "
               "element couples, e.g. [\"indoor\", \"outdoor\"]");
        }
        element.environmentA = environmentIndex((*pair)[0], pointer + "/environments/0", junction);
        element.environmentB = environmentIndex((*pair)[1], pointer + "/environments/1", junction);
      } else if (!junction.request.indoor || !junction.request.outdoor) {
        fail(pointer,
             "environments is missing: without environments named \"indoor\" and "
             "\"outdoor\", name the pair the element couples");
      }
      junction.request.flanking.push_back(element);
      junction.flanking.push_back(label);
    }
    _context.clear();
  }

  void readProbes(const Json& document, Junction& junction) {
    const Json* list = member(document, "probes");
    if (list == nullptr) return;
    if (!list->is_array() || list->size() > kMaxJunctionItems) {
      fail("/probes",
           "probes must be a list of at most " + std::to_string(kMaxJunctionItems) + " tables");
    }
    for (std::size_t i = 0; i < list->size(); ++i) {
      const std::string pointer = "/probes/" + std::to_string(i);
      _context = "probe " + std::to_string(i + 1);
      const Json& object = table((*list)[i], pointer);
      knownKeys(object, pointer, kProbeKeys, "a probe");
      std::string name = "probe " + std::to_string(i + 1);
      if (const Json* n = member(object, "name")) name = string(*n, pointer + "/name", "name");
      const auto [x, y] = point(object, pointer, "at");
      junction.request.probes.push_back({x, y});
      junction.probeNames.push_back(name);
      junction.probeLines.push_back(_lines.lineOf(pointer));
    }
    _context.clear();
  }

  // ---- templates ----

  void readTemplate(const Json& value, Junction& junction) {
    junction.junctionLine = _lines.lineOf("/junction");
    _context = "[junction]";
    const Json& object = table(value, "/junction");
    knownKeys(object, "/junction", kTemplateKeys, "a [junction] table");
    Detail::TemplateInputs inputs;
    const Json* type = member(object, "type");
    if (type == nullptr) {
      fail("/junction", "type is missing (" + quotedAlternatives(Detail::junctionTypes()) + ")");
    }
    inputs.type = choose(*type, "/junction/type", "type", Detail::junctionTypes());
    const Json* walls = member(object, "walls");
    const std::size_t least = Detail::leastWalls(inputs.type);
    const std::size_t most = Detail::mostWalls(inputs.type);
    if (walls == nullptr || !walls->is_array() || walls->size() < least || walls->size() > most) {
      fail(walls == nullptr ? "/junction" : "/junction/walls",
           "a " + inputs.type + " takes walls = [" +
               (least == most ? std::to_string(least)
                              : std::to_string(least) + " or " + std::to_string(most)) +
               " wall files or inline wall tables]" +
               (walls == nullptr ? "" : ", got " + Detail::describeValue(*walls)));
    }
    for (std::size_t w = 0; w < walls->size(); ++w) {
      inputs.walls.push_back(
          loadSection((*walls)[w], "/junction/walls/" + std::to_string(w), junction));
    }
    if (const Json* d = member(object, "dimensions")) {
      inputs.dimensions =
          choose(*d, "/junction/dimensions", "dimensions", {"internal", "external"});
    }
    auto optionalFigure = [&](const char* key, const char* unit, bool mayBeZero) {
      std::optional<double> figure;
      if (const Json* v = member(object, key)) {
        const std::string pointer = std::string("/junction/") + key;
        figure = mayBeZero ? notNegative(*v, pointer, key) : positive(*v, pointer, key, unit);
      }
      return figure;
    };
    auto temperature = [&](const char* key, double fallback) {
      const Json* v = member(object, key);
      if (v == nullptr) return fallback;
      if (!v->is_number() || !std::isfinite(v->get<double>())) {
        fail(std::string("/junction/") + key,
             std::string(key) + " must be a number of degC, got " + Detail::describeValue(*v));
      }
      return v->get<double>();
    };
    inputs.indoorTemperature = temperature("indoor_temperature", 20.0);
    inputs.outdoorTemperature = temperature("outdoor_temperature", 0.0);
    inputs.slabIntoWall = optionalFigure("slab_into_wall", "m", true);
    inputs.edgeInsulationThickness = optionalFigure("edge_insulation_thickness", "m", false);
    inputs.edgeInsulationConductivity =
        optionalFigure("edge_insulation_conductivity", "W/(m.K)", false);
    if (inputs.edgeInsulationThickness.has_value() !=
        inputs.edgeInsulationConductivity.has_value()) {
      fail("/junction",
           "edge insulation needs both edge_insulation_thickness [m] and "
           "edge_insulation_conductivity [W/(m.K)]");
    }
    inputs.frameWidth = optionalFigure("frame_width", "m", false);
    inputs.frameDepth = optionalFigure("frame_depth", "m", false);
    inputs.frameConductivity = optionalFigure("frame_conductivity", "W/(m.K)", false);
    inputs.frameOffset = optionalFigure("frame_offset", "m", true);
    const bool floorKeys = inputs.slabIntoWall || inputs.edgeInsulationThickness;
    const bool frameKeys =
        inputs.frameWidth || inputs.frameDepth || inputs.frameConductivity || inputs.frameOffset;
    if ((floorKeys && inputs.type != "floor-slab") ||
        (frameKeys && inputs.type != "window-reveal")) {
      fail("/junction", std::string("a ") + inputs.type + " takes no " +
                            (floorKeys ? "slab or edge-insulation" : "frame") + " dimensions");
    }
    if (auto problem = Detail::generateJunction(inputs, junction)) {
      fail("/junction/" + problem->key, problem->reason);
    }
    _context.clear();
  }

  /// A wall named by its file (relative to the junction file) or given inline as a table of the
  /// wall file's keys (what a program passes: the page, a Python dict), as a section.
  SectionWall loadSection(const Json& value, const std::string& pointer, Junction& junction) {
    if (value.is_object()) {
      const std::string context = _context;
      const std::string defaultName = "wall " + std::to_string(++_inlineWalls);
      SectionWall inlineSection = sectionOf(Detail::readWallObject(
          value, _catalogue, _source, &_lines, pointer,
          context.empty() ? defaultName : context + ", " + defaultName, defaultName));
      checkSection(inlineSection, pointer);
      return inlineSection;
    }
    if (!value.is_string()) {
      fail(pointer,
           "a wall must be a wall file's name or a table of the wall file's keys (layers, "
           "...), got " +
               Detail::describeValue(value));
    }
    const std::string file = string(value, pointer, "wall");
    if (file.empty() || file.find('\0') != std::string::npos) {
      fail(pointer, "wall must name a wall file, got " + Detail::describeValue(value));
    }
    std::filesystem::path path(file);
    if (path.is_relative() && !_directory.empty()) path = std::filesystem::path(_directory) / path;
    const std::string opened = path.lexically_normal().string();
    auto known = _walls.find(opened);
    if (known == _walls.end()) {
      try {
        known = _walls.emplace(opened, sectionOf(loadWallFile(opened, _catalogue))).first;
      } catch (const Error& error) {
        fail(pointer, std::string("wall file: ") + error.what());
      }
      junction.files.push_back(opened);
    }
    checkSection(known->second, pointer);
    return known->second;
  }

  /// Every layer of a section must have a thickness and a conductivity to be drawn.
  void checkSection(const SectionWall& section, const std::string& pointer) {
    for (std::size_t i = 0; i < section.layers.size(); ++i) {
      const SectionLayer& layer = section.layers[i];
      if (!(layer.thickness > 0.0) || !(layer.conductivity > 0.0) ||
          !std::isfinite(layer.conductivity)) {
        fail(pointer, "wall \"" + section.name + "\" layer " + std::to_string(i + 1) +
                          " has no thickness or conductivity a section can draw");
      }
    }
    if (section.layers.empty()) fail(pointer, "wall \"" + section.name + "\" has no layers");
  }

  // ---- values ----

  const Json& requireList(const Json& document, const char* key, const char* what) {
    const Json* list = member(document, key);
    if (list == nullptr || !list->is_array() || list->empty()) {
      fail(list == nullptr ? "" : std::string("/") + key,
           std::string(key) + " must be " + what +
               (list == nullptr ? ", and is missing" : ", got " + Detail::describeValue(*list)));
    }
    if (list->size() > kMaxJunctionItems) {
      fail(std::string("/") + key, "more than " + std::to_string(kMaxJunctionItems) + " " + key +
                                       ", the most a junction may have");
    }
    return *list;
  }

  const Json& table(const Json& value, const std::string& pointer) {
    if (!value.is_object()) {
      fail(pointer, "must be a table of keys, got " + Detail::describeValue(value));
    }
    return value;
  }

  std::pair<double, double> pair(const Json* value, const std::string& pointer,
                                 const std::string& key, const char* meaning) {
    if (value == nullptr || !value->is_array() || value->size() != 2 || !(*value)[0].is_number() ||
        !(*value)[1].is_number() || !std::isfinite((*value)[0].get<double>()) ||
        !std::isfinite((*value)[1].get<double>())) {
      fail(value == nullptr ? pointer : pointer + "/" + key,
           key + " must be " + meaning +
               (value == nullptr ? ", and is missing" : ", got " + Detail::describeValue(*value)));
    }
    return {(*value)[0].get<double>(), (*value)[1].get<double>()};
  }
  std::pair<double, double> span(const Json& object, const std::string& pointer, const char* key) {
    const auto [a, b] = pair(member(object, key), pointer, key, "[from, to] in m");
    if (!(b > a)) {
      fail(pointer + "/" + key, std::string(key) + " = [" + Detail::formatNumber(a) + ", " +
                                    Detail::formatNumber(b) +
                                    "] gives the region zero or negative size: the second "
                                    "value must be larger");
    }
    return {a, b};
  }
  std::pair<double, double> point(const Json& object, const std::string& pointer, const char* key) {
    return pair(member(object, key), pointer, key, "a point [x, y] in m");
  }

  double positive(const Json& value, const std::string& pointer, std::string_view key,
                  std::string_view unit) {
    if (!value.is_number() || !(value.get<double>() > 0.0) || !std::isfinite(value.get<double>())) {
      fail(pointer, std::string(key) + " must be a positive number" +
                        (unit.empty() || unit[0] == '(' ? " " + std::string(unit)
                                                        : " of " + std::string(unit)) +
                        ", got " + Detail::describeValue(value));
    }
    return value.get<double>();
  }
  double notNegative(const Json& value, const std::string& pointer, std::string_view key) {
    if (!value.is_number() || !(value.get<double>() >= 0.0) ||
        !std::isfinite(value.get<double>())) {
      fail(pointer, std::string(key) + " must be a number of at least 0, got " +
                        Detail::describeValue(value));
    }
    return value.get<double>();
  }

  std::string string(const Json& value, const std::string& pointer, std::string_view key) {
    if (auto reason = Detail::notAString(value, key)) fail(pointer, *reason);
    return value.get<std::string>();
  }

  std::string choose(const Json& value, const std::string& pointer, std::string_view key,
                     const std::vector<std::string>& choices) {
    if (value.is_string()) {
      for (const std::string& choice : choices) {
        if (choice == value.get<std::string>()) return choice;
      }
    }
    fail(pointer, std::string(key) + " must be " + quotedAlternatives(choices) + ", got " +
                      Detail::describeValue(value));
  }

  void knownKeys(const Json& object, const std::string& pointer,
                 const std::vector<std::string>& known, const char* what) {
    if (auto unknown = Detail::firstUnknownKey(object, known, what)) {
      fail(pointer + "/" + unknown->key, unknown->message);
    }
  }

  [[noreturn]] void fail(const std::string& pointer, const std::string& reason) const {
    std::string message = Detail::locationPrefix(_source, _lines.lineOf(pointer));
    if (!_context.empty()) message += _context + ": ";
    throw Error(message + reason, pointer);
  }

  const Catalogue& _catalogue;
  const std::string& _source;
  const std::string& _directory;
  const Detail::LineMap& _lines;
  std::string _context;
  std::map<std::string, SectionWall> _walls;
  std::size_t _inlineWalls = 0;  ///< inline walls read so far, for their default names
};

}  // namespace

Junction parseJunctionText(std::string_view text, bool json, const Catalogue& catalogue,
                           const std::string& source, const std::string& directory) {
  requireUtf8Text(text, source);
  Detail::LineMap lines;
  const Json document = json ? Detail::parseJsonDocument(text, source, &lines)
                             : Detail::parseTomlDocument(text, source, lines);
  return JunctionReader(catalogue, source, directory, lines).read(document);
}

Junction loadJunctionFile(const std::string& path, const Catalogue& catalogue) {
  const bool json = wallFormatOf(path) == WallFormat::Json;
  const std::string directory = std::filesystem::path(path).parent_path().string();
  return parseJunctionText(readTextFile(path, kMaxJunctionFileBytes), json, catalogue, path,
                           directory);
}

bool isJunctionFile(const std::string& path) {
  try {
    const bool json = wallFormatOf(path) == WallFormat::Json;
    const std::string text = readTextFile(path, kMaxJunctionFileBytes);
    requireUtf8Text(text, path);
    Detail::LineMap lines;
    const Json document = json ? Detail::parseJsonDocument(text, path, &lines)
                               : Detail::parseTomlDocument(text, path, lines);
    return document.is_object() && (document.contains("regions") || document.contains("junction"));
  } catch (const Error&) {
    return false;
  }
}

}  // namespace Brusk::Frontend
