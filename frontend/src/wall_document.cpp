#include "brusk/frontend/wall_document.h"

#include <string_view>

#include <nlohmann/json.hpp>

#include "brusk/frontend/error.h"
#include "brusk/frontend/toml_writer.h"
#include "brusk/frontend/wall_schema.h"
#include "wall_document_writer.h"

namespace Brusk::Frontend {

namespace {

using Json = nlohmann::json;
using Ordered = nlohmann::ordered_json;
using Schema::KeyDescription;
using Schema::ValueType;

/// A plain value copied into an ordered document, its JSON type kept (an integer stays one).
Ordered plainValue(const Json& value) {
  switch (value.type()) {
    case Json::value_t::object: {
      Ordered out = Ordered::object();
      for (auto item = value.begin(); item != value.end(); ++item) {
        out[item.key()] = plainValue(item.value());
      }
      return out;
    }
    case Json::value_t::array: {
      Ordered out = Ordered::array();
      for (const Json& item : value) out.push_back(plainValue(item));
      return out;
    }
    case Json::value_t::string:
      return value.get<std::string>();
    case Json::value_t::boolean:
      return value.get<bool>();
    case Json::value_t::number_integer:
      return value.get<std::int64_t>();
    case Json::value_t::number_unsigned:
      return value.get<std::uint64_t>();
    case Json::value_t::number_float:
      return value.get<double>();
    case Json::value_t::null:
    case Json::value_t::binary:
    case Json::value_t::discarded:
      break;
  }
  return nullptr;
}

/// `value`, an object of the schema's kind `object`, with its keys in the schema's order.
Ordered schemaOrdered(const Json& value, std::string_view object) {
  if (!value.is_object()) return plainValue(value);
  Ordered out = Ordered::object();
  for (const KeyDescription& key : Schema::objectNamed(object).keys) {
    const auto found = value.find(std::string(key.key));
    if (found == value.end()) continue;
    const std::string name(key.key);
    if (key.type == ValueType::Table) {
      out[name] = schemaOrdered(*found, key.holds);
    } else if (key.type == ValueType::Tables && found->is_array()) {
      Ordered list = Ordered::array();
      for (const Json& item : *found) list.push_back(schemaOrdered(item, key.holds));
      out[name] = std::move(list);
    } else {
      out[name] = plainValue(*found);
    }
  }
  // A reader refuses keys outside the schema; any that reach here are kept, after the rest.
  for (auto item = value.begin(); item != value.end(); ++item) {
    if (!out.contains(item.key())) out[item.key()] = plainValue(item.value());
  }
  return out;
}

const char* typeName(ValueType type) {
  switch (type) {
    case ValueType::Text:
      return "string";
    case ValueType::Number:
      return "number";
    case ValueType::WholeNumber:
      return "integer";
    case ValueType::Boolean:
      return "boolean";
    case ValueType::Word:
      return "word";
    case ValueType::NumberPair:
      return "number_pair";
    case ValueType::Table:
      return "table";
    case ValueType::Tables:
      return "tables";
  }
  return "value";
}

Ordered keyJson(const KeyDescription& key) {
  Ordered out = Ordered::object();
  out["key"] = std::string(key.key);
  out["type"] = typeName(key.type);
  out["unit"] = key.unit.empty() ? Ordered(nullptr) : Ordered(std::string(key.unit));
  out["description"] = std::string(key.description);
  if (key.words != nullptr) out["words"] = key.words();
  if (!key.holds.empty()) out["holds"] = std::string(key.holds);
  return out;
}

Ordered wordList(const std::vector<std::string_view>& keys) {
  Ordered out = Ordered::array();
  for (std::string_view key : keys) out.push_back(std::string(key));
  return out;
}

const std::string& documentOf(const Wall& wall) {
  if (wall.document.empty()) {
    throw Error("wall \"" + wall.name +
                "\" was built in code, not read from a wall file, and "
                "has no document to write");
  }
  return wall.document;
}

}  // namespace

std::string Detail::canonicalWallDocument(const nlohmann::json& object, const Wall& wall) {
  Json filled = object;
  if (!filled.contains(Schema::kName)) filled[std::string(Schema::kName)] = wall.name;
  if (!filled.contains(Schema::kPosition)) {
    filled[std::string(Schema::kPosition)] =
        Schema::positionNames()[static_cast<std::size_t>(wall.request.position)];
  }
  if (!filled.contains(Schema::kHeatFlow)) {
    filled[std::string(Schema::kHeatFlow)] =
        Schema::heatFlowNames()[static_cast<std::size_t>(wall.request.heatFlow)];
  }
  return schemaOrdered(filled, "wall").dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string formatWallSchemaJson() {
  Ordered objects = Ordered::array();
  for (const Schema::ObjectDescription& object : Schema::objects()) {
    Ordered keys = Ordered::array();
    for (const KeyDescription& key : object.keys) keys.push_back(keyJson(key));
    Ordered item = Ordered::object();
    item["name"] = std::string(object.name);
    item["description"] = std::string(object.description);
    item["keys"] = std::move(keys);
    objects.push_back(std::move(item));
  }
  Ordered kinds = Ordered::array();
  for (const Schema::LayerKindDescription& kind : Schema::layerKinds()) {
    Ordered item = Ordered::object();
    item["name"] = std::string(kind.name);
    item["description"] = std::string(kind.description);
    item["required"] = wordList(kind.required);
    item["optional"] = wordList(kind.optional);
    kinds.push_back(std::move(item));
  }
  Ordered schema = Ordered::object();
  schema["objects"] = std::move(objects);
  schema["layer_kinds"] = std::move(kinds);
  return schema.dump(2) + "\n";
}

std::string formatWallSchemaTable() {
  std::string out;
  for (const Schema::ObjectDescription& object : Schema::objects()) {
    if (!out.empty()) out += '\n';
    out += std::string(object.name) + ": " + std::string(object.description) + "\n";
    for (const KeyDescription& key : object.keys) {
      std::string line = "  " + std::string(key.key);
      std::string type = typeName(key.type);
      if (!key.unit.empty()) type += " [" + std::string(key.unit) + "]";
      if (!key.holds.empty()) type += " of " + std::string(key.holds);
      line.resize(std::max<std::size_t>(line.size() + 1, 28), ' ');
      line += type;
      line.resize(std::max<std::size_t>(line.size() + 1, 52), ' ');
      out += line + std::string(key.description) + "\n";
    }
  }
  out += "\nlayer kinds (told apart by their keys, in this order):\n";
  for (const Schema::LayerKindDescription& kind : Schema::layerKinds()) {
    std::string keys;
    for (std::string_view key : kind.required)
      keys += (keys.empty() ? "" : ", ") + std::string(key);
    out +=
        "  " + std::string(kind.name) + " (" + keys + "): " + std::string(kind.description) + "\n";
  }
  return out;
}

std::string formatWallJson(const Wall& wall, bool indented) {
  const std::string& document = documentOf(wall);
  if (!indented) return document;
  return Ordered::parse(document).dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string formatWallToml(const Wall& wall) { return formatToml(documentOf(wall), wall.name); }

}  // namespace Brusk::Frontend
