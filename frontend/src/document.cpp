#include "document.h"

#include <charconv>
#include <cmath>
#include <sstream>
#include <vector>

#include <toml++/toml.h>

#include "brusk/frontend/error.h"
#include "brusk/frontend/text_util.h"
#include "nesting_guard.h"

namespace Brusk::Detail {

namespace {

/// Deeper nesting than this is no wall file; refusing it bounds memory and recursion.
constexpr int kMaxNesting = 32;

std::string escapePointerToken(std::string_view token) {
  std::string result;
  for (char c : token) {
    if (c == '~') {
      result += "~0";
    } else if (c == '/') {
      result += "~1";
    } else {
      result += c;
    }
  }
  return result;
}

std::size_t lineOf(const toml::node& node) {
  return static_cast<std::size_t>(node.source().begin.line);
}

nlohmann::json convert(const toml::node& node, const std::string& pointer, LineMap& lines) {
  lines.set(pointer, lineOf(node));
  switch (node.type()) {
    case toml::node_type::table: {
      nlohmann::json object = nlohmann::json::object();
      for (auto&& [key, child] : *node.as_table()) {
        const std::string name(key.str());
        const std::string childPointer = pointer + "/" + escapePointerToken(name);
        object[name] = convert(child, childPointer, lines);
        // A key's own line is where it is written, even for a table header.
        if (key.source().begin.line > 0) {
          lines.set(childPointer, static_cast<std::size_t>(key.source().begin.line));
        }
      }
      return object;
    }
    case toml::node_type::array: {
      nlohmann::json array = nlohmann::json::array();
      std::size_t index = 0;
      for (const toml::node& child : *node.as_array()) {
        array.push_back(convert(child, pointer + "/" + std::to_string(index), lines));
        ++index;
      }
      return array;
    }
    case toml::node_type::string:
      return node.as_string()->get();
    case toml::node_type::integer:
      return node.as_integer()->get();
    case toml::node_type::floating_point:
      return node.as_floating_point()->get();
    case toml::node_type::boolean:
      return node.as_boolean()->get();
    default: {
      // Dates and times: kept as their text, which any number check then refuses by name.
      std::ostringstream text;
      node.visit([&text](const auto& value) { text << value; });
      return text.str();
    }
  }
}

}  // namespace

std::size_t LineMap::lineOf(std::string pointer) const {
  // The document as a whole has no line: a key missing from it is missing everywhere.
  while (!pointer.empty()) {
    const auto found = _lines.find(pointer);
    if (found != _lines.end() && found->second > 0) return found->second;
    const std::size_t slash = pointer.rfind('/');
    if (slash == std::string::npos) return 0;
    pointer.resize(slash);
  }
  return 0;
}

nlohmann::json parseTomlDocument(std::string_view text, const std::string& source, LineMap& lines) {
  requireUtf8Text(text, source);
  requireShallowToml(text, source);
  toml::table table;
  try {
    table = toml::parse(text, source);
  } catch (const toml::parse_error& error) {
    throw Error(locationPrefix(source, static_cast<std::size_t>(error.source().begin.line)) +
                "TOML syntax error: " + std::string(error.description()));
  }
  return convert(table, "", lines);
}

nlohmann::json parseJsonDocument(std::string_view text, const std::string& source) {
  requireUtf8Text(text, source);
  // Keys seen in each open object: JSON parsers keep the last of a repeated key silently, and a
  // wall file must not mean something other than what it says.
  std::vector<std::vector<std::string>> openObjects;
  const auto callback = [&](int depth, nlohmann::json::parse_event_t event,
                            nlohmann::json& parsed) {
    using Event = nlohmann::json::parse_event_t;
    if (depth > kMaxNesting) {
      throw Error(source + ": JSON nested deeper than " + std::to_string(kMaxNesting) +
                  " levels; a wall file is a flat object with a list of layers");
    }
    if (event == Event::object_start) openObjects.emplace_back();
    if (event == Event::object_end && !openObjects.empty()) openObjects.pop_back();
    if (event == Event::key && !openObjects.empty()) {
      const std::string key = parsed.get<std::string>();
      std::vector<std::string>& keys = openObjects.back();
      for (const std::string& seen : keys) {
        if (seen == key) throw Error(source + ": key \"" + key + "\" appears twice in one object");
      }
      keys.push_back(key);
    }
    return true;
  };
  try {
    return nlohmann::json::parse(text.begin(), text.end(), callback);
  } catch (const nlohmann::json::parse_error& error) {
    std::string reason = error.what();
    const std::size_t column = reason.find("column ");
    const std::size_t colon = reason.find(": ", column == std::string::npos ? 0 : column);
    if (colon != std::string::npos) reason = reason.substr(colon + 2);
    throw Error(locationPrefix(source, lineOfOffset(text, error.byte > 0 ? error.byte - 1 : 0)) +
                "JSON syntax error: " + reason);
  } catch (const nlohmann::json::exception& error) {
    std::string reason = error.what();
    const std::size_t bracket = reason.find("] ");
    if (bracket != std::string::npos) reason = reason.substr(bracket + 2);
    throw Error(source + ": JSON error: " + reason);
  }
}

std::string locationPrefix(const std::string& source, std::size_t line) {
  if (line == 0) return source + ": ";
  return source + ":" + std::to_string(line) + ": ";
}

std::string formatNumber(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string describeValue(const nlohmann::json& value) {
  switch (value.type()) {
    case nlohmann::json::value_t::string: {
      std::string text = value.get<std::string>();
      if (text.size() > 40) {
        std::size_t cut = 37;  // at a character boundary, so the message stays valid UTF-8
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
        text = text.substr(0, cut) + "...";
      }
      for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20) c = '?';
      }
      return '"' + text + '"';
    }
    case nlohmann::json::value_t::number_integer:
      return std::to_string(value.get<std::int64_t>());
    case nlohmann::json::value_t::number_unsigned:
      return std::to_string(value.get<std::uint64_t>());
    case nlohmann::json::value_t::number_float:
      return formatNumber(value.get<double>());
    case nlohmann::json::value_t::boolean:
      return value.get<bool>() ? "true" : "false";
    case nlohmann::json::value_t::array:
      return "a list";
    case nlohmann::json::value_t::object:
      return "a table";
    case nlohmann::json::value_t::null:
      return "null";
    default:
      return "an unsupported value";
  }
}

}  // namespace Brusk::Detail
