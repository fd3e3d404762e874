#include "brusk/frontend/catalogue.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/text_util.h"
#include "brusk/frontend/wall_parser.h"
#include "brusk/frontend/wall_schema.h"
#include "document.h"

namespace Brusk::Frontend {

// Generated at build time from data/materials.toml.
extern const char* const kBuiltInCatalogueText;

namespace {

using Json = nlohmann::json;

const std::vector<std::string> kEntryKeys = {"name",
                                             "family",
                                             "conductivity",
                                             "density",
                                             "specific_heat",
                                             "source",
                                             "vapour_resistance_factor"};

std::string lowered(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

class CatalogueReader {
public:
  CatalogueReader(const std::string& source, const Detail::LineMap& lines)
      : _source(source), _lines(lines) {}

  void merge(const std::string& key, const Json& table, CatalogueEntry& entry, bool isNew) {
    _key = key;
    const std::string pointer = "/" + key;
    if (!table.is_object())
      fail(pointer, "must be a table of keys, got " + Detail::describeValue(table));
    for (auto item = table.begin(); item != table.end(); ++item) {
      if (std::find(kEntryKeys.begin(), kEntryKeys.end(), item.key()) == kEntryKeys.end()) {
        std::string message = "unknown key \"" + item.key() + "\"";
        const std::vector<std::string> close = closestWords(item.key(), kEntryKeys, 1);
        if (!close.empty()) message += " (did you mean \"" + close.front() + "\"?)";
        fail(pointer + "/" + item.key(), message);
      }
    }
    entry.key = key;
    if (isNew) {
      entry.name = key;
      entry.family = "other";
      entry.source = _source;
      for (const char* required : {"conductivity", "density", "specific_heat"}) {
        if (!table.contains(required)) fail(pointer, std::string(required) + " is missing");
      }
    }
    if (table.contains("name")) entry.name = string(table["name"], pointer + "/name", "name");
    if (table.contains("source")) {
      entry.source = string(table["source"], pointer + "/source", "source");
    } else if (!isNew) {
      entry.source = _source;  // overridden values come from the overriding file
    }
    if (table.contains("family")) {
      entry.family = string(table["family"], pointer + "/family", "family");
      if (!Schema::isMaterialFamily(entry.family)) {
        fail(pointer + "/family", "family must be " +
                                      quotedAlternatives(Schema::materialFamilies()) + ", got \"" +
                                      entry.family + "\"");
      }
    }
    number(table, pointer, Engine::WallField::Conductivity, entry.conductivity);
    number(table, pointer, Engine::WallField::Density, entry.density);
    number(table, pointer, Engine::WallField::SpecificHeat, entry.specificHeat);
    if (table.contains("vapour_resistance_factor")) {
      const Json& value = table["vapour_resistance_factor"];
      // mu >= 1: still air has 1, and nothing passes vapour more freely (ISO 10456, 3.1.10).
      if (!value.is_number() || !(value.get<double>() >= 1.0 && value.get<double>() <= 1e12)) {
        fail(pointer + "/vapour_resistance_factor",
             "vapour_resistance_factor must be a number at least 1 (still air) and finite, got " +
                 Detail::describeValue(value));
      }
      entry.vapourResistanceFactor = value.get<double>();
    }
  }

private:
  std::string string(const Json& value, const std::string& pointer, const char* key) const {
    if (auto reason = Detail::notAString(value, key)) fail(pointer, *reason);
    return value.get<std::string>();
  }

  /// A material property, positive and finite as the engine requires of a slab's.
  void number(const Json& table, const std::string& pointer, Engine::WallField field,
              double& target) const {
    const std::string key(Schema::keyOf(field));
    if (!table.contains(key)) return;
    const Json& value = table[key];
    if (!value.is_number()) {
      fail(pointer + "/" + key, requirementPhrase(field, Engine::ProblemKind::NotPositive) +
                                    ", got " + Detail::describeValue(value));
    }
    if (auto problem = Engine::checkProperty(field, value.get<double>())) {
      fail(pointer + "/" + key, describeRequirement(*problem));
    }
    target = value.get<double>();
  }

  [[noreturn]] void fail(const std::string& pointer, const std::string& reason) const {
    throw Error(Detail::locationPrefix(_source, _lines.lineOf(pointer)) + "material \"" + _key +
                "\": " + reason);
  }

  const std::string& _source;
  const Detail::LineMap& _lines;
  std::string _key;
};

}  // namespace

Catalogue Catalogue::builtIn() {
  Catalogue catalogue;
  catalogue.addToml(kBuiltInCatalogueText, "materials.toml (built in)");
  return catalogue;
}

Catalogue Catalogue::withFiles(const std::vector<std::string>& materialFiles) {
  Catalogue catalogue = builtIn();
  for (const std::string& file : materialFiles) catalogue.addFile(file);
  return catalogue;
}

void Catalogue::addToml(std::string_view text, const std::string& source) {
  Detail::LineMap lines;
  const Json document =
      Detail::parseTomlDocument(text, source, lines, Detail::DocumentShapes::kCatalogue);
  // Merge into a copy so that a bad file leaves the catalogue as it was.
  std::map<std::string, CatalogueEntry, std::less<>> merged = _entries;
  CatalogueReader reader(source, lines);
  for (auto item = document.begin(); item != document.end(); ++item) {
    const auto existing = merged.find(item.key());
    const bool isNew = existing == merged.end();
    CatalogueEntry entry = isNew ? CatalogueEntry{} : existing->second;
    reader.merge(item.key(), item.value(), entry, isNew);
    merged[item.key()] = entry;
  }
  _entries = std::move(merged);
}

void Catalogue::addFile(const std::string& path) {
  addToml(readTextFile(path, kMaxWallFileBytes, FileKinds::kCatalogue), path);
}

const CatalogueEntry* Catalogue::find(std::string_view key) const {
  const auto found = _entries.find(key);
  return found == _entries.end() ? nullptr : &found->second;
}

std::vector<std::string> Catalogue::suggestions(std::string_view key, std::size_t count) const {
  std::vector<std::string> keys;
  keys.reserve(_entries.size());
  for (const auto& item : _entries) keys.push_back(item.first);
  return closestWords(key, keys, count);
}

std::vector<const CatalogueEntry*> Catalogue::filter(std::string_view text) const {
  const std::string needle = lowered(text);
  std::vector<const CatalogueEntry*> result;
  for (const auto& item : _entries) {
    const CatalogueEntry& entry = item.second;
    const std::string haystack =
        lowered(entry.key + '\n' + entry.name + '\n' + entry.family + '\n' + entry.source);
    if (haystack.find(needle) != std::string::npos) result.push_back(&entry);
  }
  return result;
}

std::string formatCatalogueJson(const std::vector<const CatalogueEntry*>& entries) {
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  for (const CatalogueEntry* entry : entries) {
    nlohmann::ordered_json item = {
        {"key", entry->key},         {"name", entry->name},
        {"family", entry->family},   {"conductivity", entry->conductivity},
        {"density", entry->density}, {"specific_heat", entry->specificHeat},
        {"source", entry->source}};
    if (entry->vapourResistanceFactor) {
      item["vapour_resistance_factor"] = *entry->vapourResistanceFactor;
    }
    out.push_back(std::move(item));
  }
  // A name that is no valid UTF-8 is written with U+FFFD, never refused mid-list.
  return out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace Brusk::Frontend
