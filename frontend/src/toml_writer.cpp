#include "brusk/frontend/toml_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "brusk/frontend/error.h"
#include "brusk/frontend/shortest_double.h"
#include "brusk/frontend/wall_schema.h"

namespace Brusk::Frontend {

namespace {

using Json = nlohmann::json;

/// The keys of a wall file in the order a person writes them, the wall schema's: the wall's
/// own, then a layer's and a part's; other keys follow in alphabetical order.
const std::vector<std::string_view>& keyOrder() {
  static const std::vector<std::string_view> order = [] {
    std::vector<std::string_view> keys;
    for (const char* object : {"wall", "layer", "part"}) {
      for (const Schema::KeyDescription& key : Schema::objectNamed(object).keys) {
        if (std::find(keys.begin(), keys.end(), key.key) == keys.end()) keys.push_back(key.key);
      }
    }
    return keys;
  }();
  return order;
}

/// The members of `object` in keyOrder().
std::vector<std::pair<const std::string*, const Json*>> orderedMembers(const Json& object) {
  std::vector<std::pair<const std::string*, const Json*>> members;
  for (auto item = object.begin(); item != object.end(); ++item) {
    members.emplace_back(&item.key(), &item.value());
  }
  const auto rank = [](const std::string& key) {
    const auto& order = keyOrder();
    return static_cast<std::size_t>(std::find(order.begin(), order.end(), key) - order.begin());
  };
  std::stable_sort(members.begin(), members.end(), [&](const auto& a, const auto& b) {
    return rank(*a.first) < rank(*b.first);  // the rest stay in the object's (alphabetical) order
  });
  return members;
}

/// Appends `text` as a TOML basic string: quote, backslash and control characters escaped,
/// UTF-8 kept as it is.
void appendBasicString(std::string& out, const std::string& text) {
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(byte));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

/// A key as TOML writes it: bare when it is letters, digits, '_' and '-' only, else quoted.
std::string keyText(const std::string& key) {
  bool bare = !key.empty();
  for (const char c : key) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    bare = bare && (letter || (c >= '0' && c <= '9') || c == '_' || c == '-');
  }
  if (bare) return key;
  std::string quoted;
  appendBasicString(quoted, key);
  return quoted;
}

/// Writes TOML for one document; `_source` names it in messages.
class TomlWriter {
public:
  explicit TomlWriter(std::string source) : _source(std::move(source)) {}

  std::string write(const Json& document) {
    if (!document.is_object())
      throw Error(_source + ": a TOML document is a table (a JSON object)");
    writeTable(document, "");
    return std::move(_out);
  }

private:
  /// An array that TOML writes as [[key]] sections: non-empty, of tables only.
  static bool isArrayOfTables(const Json& value) {
    if (!value.is_array() || value.empty()) return false;
    for (const Json& item : value) {
      if (!item.is_object()) return false;
    }
    return true;
  }

  /// The body of the table at `path` (dotted header, empty for the document): its plain values,
  /// then its sub-tables and arrays of tables, each under its own header.
  void writeTable(const Json& table, const std::string& path) {
    const auto members = orderedMembers(table);
    for (const auto& [key, value] : members) {
      if (value->is_object() || isArrayOfTables(*value)) continue;
      writeKey(*key);
      _out += " = ";
      writeInline(*value, path.empty() ? *key : path + '.' + *key);
      _out += '\n';
    }
    for (const auto& [key, value] : members) {
      std::string header = path;
      if (!header.empty()) header += '.';
      header += keyText(*key);
      if (value->is_object()) {
        _out += "\n[" + header + "]\n";
        writeTable(*value, header);
      } else if (isArrayOfTables(*value)) {
        for (const Json& element : *value) {
          _out += "\n[[" + header + "]]\n";
          writeTable(element, header);
        }
      }
    }
  }

  /// A value on the right of "key = ": scalars, inline arrays and inline tables.
  void writeInline(const Json& value, const std::string& where) {
    switch (value.type()) {
      case Json::value_t::object: {
        _out += '{';
        const char* separator = " ";
        for (const auto& [key, member] : orderedMembers(value)) {
          _out += separator;
          writeKey(*key);
          _out += " = ";
          writeInline(*member, where + '.' + *key);
          separator = ", ";
        }
        _out += value.empty() ? "}" : " }";
        return;
      }
      case Json::value_t::array: {
        _out += '[';
        const char* separator = "";
        for (const Json& item : value) {
          _out += separator;
          writeInline(item, where);
          separator = ", ";
        }
        _out += ']';
        return;
      }
      case Json::value_t::string:
        writeString(value.get_ref<const std::string&>());
        return;
      case Json::value_t::boolean:
        _out += value.get<bool>() ? "true" : "false";
        return;
      case Json::value_t::number_integer:
        _out += std::to_string(value.get<std::int64_t>());
        return;
      case Json::value_t::number_unsigned: {
        const std::uint64_t number = value.get<std::uint64_t>();
        // A TOML integer is 64-bit signed; past that the value is read as a double anyway.
        if (number <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
          _out += std::to_string(number);
        } else {
          writeFloat(static_cast<double>(number));
        }
        return;
      }
      case Json::value_t::number_float:
        writeFloat(value.get<double>());
        return;
      case Json::value_t::null:
      case Json::value_t::binary:
      case Json::value_t::discarded:
        break;
    }
    throw Error(_source + ": " + where + " is null, which TOML cannot hold");
  }

  /// The shortest text that reads back as `value` (always finite: JSON holds no other numbers),
  /// with ".0" where TOML would read it as an integer.
  void writeFloat(double value) {
    char buffer[kShortestDoubleRoom];
    const std::string_view text(
        buffer, static_cast<std::size_t>(writeShortestDouble(value, buffer) - buffer));
    _out += text;
    if (text.find_first_of(".e") == std::string_view::npos) _out += ".0";
  }

  void writeString(const std::string& text) { appendBasicString(_out, text); }
  void writeKey(const std::string& key) { _out += keyText(key); }

  std::string _source;
  std::string _out;
};

}  // namespace

std::string formatToml(std::string_view jsonText, const std::string& source) {
  Json document;
  try {
    document = Json::parse(jsonText);
  } catch (const Json::parse_error& error) {
    throw Error(source + ": JSON syntax error: " + error.what());
  }
  return TomlWriter(source).write(document);
}

}  // namespace Brusk::Frontend
