// Zone files: the zone's own keys, its elements, and their walls, inline or in wall files.
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <utility>

#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/text_util.h"
#include "brusk/frontend/wall_parser.h"
#include "brusk/frontend/wall_schema.h"
#include "brusk/frontend/zone.h"
#include "document.h"
#include "wall_reader.h"

namespace Brusk::Frontend {

namespace {

using Json = nlohmann::json;

const std::vector<std::string>& zoneKeys() {
  static const std::vector<std::string> keys = {
      std::string(ZoneSchema::kName), std::string(ZoneSchema::kFloorArea),
      std::string(ZoneSchema::kHeatTransferCoefficient), std::string(ZoneSchema::kCapacity),
      std::string(ZoneSchema::kElements)};
  return keys;
}

/// An element's own keys, then those of an inline wall.
const std::vector<std::string>& elementKeys() {
  static const std::vector<std::string> keys = [] {
    std::vector<std::string> all = {std::string(ZoneSchema::kName), std::string(ZoneSchema::kArea),
                                    std::string(ZoneSchema::kFaces),
                                    std::string(ZoneSchema::kWall)};
    for (const std::string& key : Schema::wallKeys()) {
      if (key != Schema::kName) all.push_back(key);
    }
    return all;
  }();
  return keys;
}

using Detail::member;

/// What a zone's own figure must be, as every message about it reads: "floor_area must be a
/// positive number of m2".
std::string figureRequirement(Engine::ZoneProblemKind kind) {
  switch (kind) {
    case Engine::ZoneProblemKind::FloorAreaNotPositive:
      return "floor_area must be a positive number of m2";
    case Engine::ZoneProblemKind::HeatTransferNotPositive:
      return "heat_transfer_coefficient must be a positive number of W/K";
    case Engine::ZoneProblemKind::AreaNotPositive:
      return "area must be a positive number of m2";
    default:
      break;
  }
  return {};
}

/// The reason of a problem with the zone's own figures (not its walls), without the file, line
/// and element it is about: the words of the reader and of computeZone alike.
std::string figureReason(const Engine::ZoneProblem& problem) {
  switch (problem.kind) {
    case Engine::ZoneProblemKind::NoElements:
      return "the zone has no elements; list the walls, floors and ceilings facing it as "
             "[[elements]] tables with an area and a wall";
    case Engine::ZoneProblemKind::TooManyElements:
      return Detail::formatNumber(problem.value) + " elements, more than the " +
             std::to_string(Engine::kMaxZoneElements) + " a zone may have";
    case Engine::ZoneProblemKind::Overflow:
      return "the zone's totals exceed double precision (got " +
             Detail::formatNumber(problem.value) +
             "): the areas or heat capacities are beyond any building";
    case Engine::ZoneProblemKind::TimeConstantOverflow:
      return "heat_transfer_coefficient " + Detail::formatNumber(problem.value) +
             " W/K is too small for the zone's heat capacity: the time constant Cm / H exceeds "
             "double precision";
    default:
      break;
  }
  return figureRequirement(problem.kind) + ", got " + Detail::formatNumber(problem.value);
}

class ZoneReader {
public:
  ZoneReader(const Catalogue& catalogue, const std::string& source, const std::string& directory,
             const Detail::LineMap& lines)
      : _catalogue(catalogue), _source(source), _directory(directory), _lines(lines) {}

  Zone read(const Json& document) {
    if (!document.is_object()) {
      fail("", "a zone must be a table of keys (" + joinedWords(zoneKeys()) + "), got " +
                   Detail::describeValue(document));
    }
    requireKnownKeys(document, "", zoneKeys(), "a zone");
    Zone zone;
    zone.source = _source;
    zone.files.push_back(_source);
    zone.name = std::filesystem::path(_source).stem().string();
    if (const Json* name = member(document, ZoneSchema::kName)) {
      zone.name = requireString(*name, "/name", ZoneSchema::kName);
    }
    Engine::ZoneRequest& request = zone.request;
    const Json* floorArea = member(document, ZoneSchema::kFloorArea);
    if (floorArea == nullptr) fail("", "floor_area is missing (the zone's floor area, in m2)");
    request.floorArea =
        requireFigure(*floorArea, "/floor_area", Engine::ZoneProblemKind::FloorAreaNotPositive,
                      [](double area) { return Engine::checkFloorArea(area); });
    if (const Json* h = member(document, ZoneSchema::kHeatTransferCoefficient)) {
      request.heatTransferCoefficient = requireFigure(
          *h, "/heat_transfer_coefficient", Engine::ZoneProblemKind::HeatTransferNotPositive,
          [](double value) { return Engine::checkHeatTransferCoefficient(value); });
    }
    if (const Json* capacity = member(document, ZoneSchema::kCapacity)) {
      request.capacityBasis = static_cast<Engine::ZoneCapacityBasis>(
          choose(*capacity, "/capacity", ZoneSchema::kCapacity, ZoneSchema::capacityNames()));
    }
    const Json* elements = member(document, ZoneSchema::kElements);
    if (elements != nullptr && !elements->is_array()) {
      fail("/elements",
           "elements must be a list of tables, got " + Detail::describeValue(*elements));
    }
    if (auto problem = Engine::checkElementCount(elements == nullptr ? 0 : elements->size())) {
      fail(elements == nullptr ? "" : "/elements", figureReason(*problem));
    }
    for (std::size_t i = 0; i < elements->size(); ++i) readElement((*elements)[i], i, zone);
    return zone;
  }

private:
  void readElement(const Json& object, std::size_t index, Zone& zone) {
    const std::string pointer = "/elements/" + std::to_string(index);
    ZoneElementLabel label;
    label.line = _lines.lineOf(pointer);
    _context = "element " + std::to_string(index + 1);
    if (!object.is_object()) {
      fail(pointer, "must be a table of keys, got " + Detail::describeValue(object));
    }
    if (const Json* name = member(object, ZoneSchema::kName)) {
      label.name = requireString(*name, pointer + "/name", ZoneSchema::kName);
      _context += " (\"" + label.name + "\")";
    }
    requireKnownKeys(object, pointer, elementKeys(), "an element");

    Engine::ZoneElementRequest element;
    const Json* area = member(object, ZoneSchema::kArea);
    if (area == nullptr)
      fail(pointer, "area is missing (the element's area facing the zone, in m2)");
    element.area =
        requireFigure(*area, pointer + "/area", Engine::ZoneProblemKind::AreaNotPositive,
                      [index](double value) { return Engine::checkElementArea(value, index); });
    if (const Json* faces = member(object, ZoneSchema::kFaces)) {
      element.faces = static_cast<Engine::ZoneFaces>(
          choose(*faces, pointer + "/faces", ZoneSchema::kFaces, ZoneSchema::facesNames()));
    }

    Wall wall;
    if (const Json* file = member(object, ZoneSchema::kWall)) {
      label.wallFile = requireString(*file, pointer + "/wall", ZoneSchema::kWall);
      if (label.wallFile.find('\0') != std::string::npos) {
        // The system would read the name only up to the NUL: another file than the one written.
        fail(pointer + "/wall", "wall \"" + visibleText(label.wallFile) +
                                    "\" holds a NUL character, which no file name can hold");
      }
      for (const std::string& key : Schema::wallKeys()) {
        if (key != Schema::kName && member(object, key) != nullptr) {
          fail(pointer + "/" + key, "an element takes its wall either from a file (wall = \"" +
                                        label.wallFile + "\") or inline, not both; " + key +
                                        " belongs in the wall file");
        }
      }
      wall = loadWall(label.wallFile, pointer + "/wall", zone);
    } else {
      if (member(object, Schema::kLayers) == nullptr) {
        fail(pointer,
             "the wall is missing: give wall = \"file.toml\" (relative to the zone "
             "file) or the wall's layers inline as [[elements.layers]] tables");
      }
      Json inlineWall = Json::object();
      for (auto item = object.begin(); item != object.end(); ++item) {
        if (item.key() != ZoneSchema::kArea && item.key() != ZoneSchema::kFaces) {
          inlineWall[item.key()] = item.value();
        }
      }
      const std::string defaultName = label.name.empty() ? _context : label.name;
      wall = Detail::readWallObject(inlineWall, _catalogue, _source, &_lines, pointer, _context,
                                    defaultName);
    }
    _layerCount += wall.request.layers.size();
    if (_layerCount > kMaxZoneLayers) {
      fail(pointer, "the zone's elements have more than " + std::to_string(kMaxZoneLayers) +
                        " layers in all (a wall file counts once per element naming it)");
    }
    if (label.name.empty()) label.name = wall.name;
    label.wallName = wall.name;
    label.layers = std::move(wall.labels);
    element.wall = std::move(wall.request);
    // Layers of parts, ventilated air layers, corrections: the parallel-path values, as
    // `brusk compute` gives them.
    element.element = std::move(wall.element.element);
    zone.request.elements.push_back(std::move(element));
    zone.labels.push_back(std::move(label));
  }

  /// A wall file named by the zone file, found relative to the zone file's folder; its own
  /// messages (file, line, layer) come after the zone file's location and the element.
  /// Each wall file is read once per zone, however many elements name it.
  Wall loadWall(const std::string& file, const std::string& pointer, Zone& zone) {
    if (file.empty()) fail(pointer, "wall must name a wall file, got \"\"");
    std::filesystem::path path(file);
    if (path.is_relative() && !_directory.empty()) path = std::filesystem::path(_directory) / path;
    const std::string opened = path.lexically_normal().string();
    auto known = _walls.find(opened);
    if (known == _walls.end()) {
      try {
        known = _walls.emplace(opened, loadWallFile(opened, _catalogue)).first;
      } catch (const Error& error) {
        fail(pointer, std::string("wall file: ") + error.what());
      }
      zone.files.push_back(opened);
    }
    return known->second;
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

  /// A figure of the zone: the reader's own check that it is a number, the engine's (`check`)
  /// for what it must be, both worded by figureReason().
  template <typename Check>
  double requireFigure(const Json& value, const std::string& pointer, Engine::ZoneProblemKind kind,
                       Check check) {
    if (!value.is_number()) {
      fail(pointer, figureRequirement(kind) + ", got " + Detail::describeValue(value));
    }
    const double number = value.get<double>();
    if (std::optional<Engine::ZoneProblem> problem = check(number)) {
      fail(pointer, figureReason(*problem));
    }
    return number;
  }

  int choose(const Json& value, const std::string& pointer, std::string_view key,
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

  [[noreturn]] void fail(const std::string& pointer, const std::string& reason) const {
    std::string message = Detail::locationPrefix(_source, _lines.lineOf(pointer));
    if (!_context.empty()) message += _context + ": ";
    throw Error(message + reason);
  }

  const Catalogue& _catalogue;
  const std::string& _source;
  const std::string& _directory;
  const Detail::LineMap& _lines;
  std::string _context;                ///< "element 2 (\"Floor\")" while an element is read
  std::map<std::string, Wall> _walls;  ///< the wall files read, by the path opened
  std::size_t _layerCount = 0;         ///< layers of the elements read so far
};

}  // namespace

namespace ZoneSchema {
const std::vector<std::string>& facesNames() {
  static const std::vector<std::string> names = {"inner", "both"};
  return names;
}
const std::vector<std::string>& capacityNames() {
  static const std::vector<std::string> names = {"detailed", "simplified"};
  return names;
}
}  // namespace ZoneSchema

Zone parseZoneText(std::string_view text, bool json, const Catalogue& catalogue,
                   const std::string& source, const std::string& directory) {
  requireUtf8Text(text, source);
  Detail::LineMap lines;
  const Json document =
      json ? Detail::parseJsonDocument(text, source, &lines, {}, Detail::DocumentShapes::kZone)
           : Detail::parseTomlDocument(text, source, lines, Detail::DocumentShapes::kZone);
  return ZoneReader(catalogue, source, directory, lines).read(document);
}

Zone loadZoneFile(const std::string& path, const Catalogue& catalogue) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (extension != ".toml" && extension != ".json") {
    throw Error(path + ": unknown zone file type \"" +
                std::filesystem::path(path).extension().string() +
                "\"; name it .toml (for people) or .json (for programs)");
  }
  const bool json = extension == ".json";
  const std::string directory = std::filesystem::path(path).parent_path().string();
  return parseZoneText(readTextFile(path, kMaxZoneFileBytes, FileKinds::kZone), json, catalogue,
                       path, directory);
}

bool isZoneFile(const std::string& path) {
  try {
    const bool json = wallFormatOf(path) == WallFormat::Json;
    const std::string text = readTextFile(path, kMaxZoneFileBytes, FileKinds::kZone);
    requireUtf8Text(text, path);
    Detail::LineMap lines;
    const Json document =
        json ? Detail::parseJsonDocument(text, path, &lines, {}, Detail::DocumentShapes::kZone)
             : Detail::parseTomlDocument(text, path, lines, Detail::DocumentShapes::kZone);
    return document.is_object() &&
           (document.contains(ZoneSchema::kFloorArea) || document.contains(ZoneSchema::kElements));
  } catch (const Error&) {
    return false;
  }
}

std::string elementLabel(const Zone& zone, std::size_t index) {
  std::string label = "element " + std::to_string(index + 1);
  if (index < zone.labels.size() && !zone.labels[index].name.empty()) {
    label += " (\"" + zone.labels[index].name + "\")";
  }
  return label;
}

std::string describeZoneProblem(const Engine::ZoneProblem& problem, const Zone& zone) {
  const std::size_t line =
      problem.element < zone.labels.size() ? zone.labels[problem.element].line : 0;
  std::string message = Detail::locationPrefix(zone.source, line);
  if (problem.kind == Engine::ZoneProblemKind::AreaNotPositive) {
    return message + elementLabel(zone, problem.element) + ": " + figureReason(problem);
  }
  if (problem.kind != Engine::ZoneProblemKind::Wall) return message + figureReason(problem);
  const ZoneElementLabel& label = zone.labels[problem.element];
  Wall wall;
  wall.name = label.wallName;
  wall.request = zone.request.elements[problem.element].wall;
  wall.labels = label.layers;
  message += elementLabel(zone, problem.element) + ": ";
  if (!label.wallFile.empty()) message += "wall file \"" + label.wallFile + "\": ";
  return message + describeProblem(problem.wall, wall);
}

Engine::ZoneResult computeZone(const Zone& zone) {
  Engine::ZoneOutcome outcome = Engine::computeZone(zone.request);
  if (auto* problem = std::get_if<Engine::ZoneProblem>(&outcome)) {
    throw Error(describeZoneProblem(*problem, zone));
  }
  return std::move(std::get<Engine::ZoneResult>(outcome));
}

}  // namespace Brusk::Frontend
