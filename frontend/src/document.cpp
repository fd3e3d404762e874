#include "document.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include <toml++/toml.h>

#include "brusk/engine/wall.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/shortest_double.h"
#include "brusk/frontend/text_util.h"
#include "nesting_guard.h"

namespace Brusk::Frontend::Detail {

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

/// Records the line of every value of a JSON text already known to be valid, keyed by its JSON
/// pointer: one pass over the text that follows objects' keys and arrays' indexes. It also gives
/// back the sign of a "-0", which JSON parsers read as the integer 0, so that a message can echo
/// what the file says.
class JsonLineRecorder {
public:
  JsonLineRecorder(std::string_view text, LineMap* lines, nlohmann::json& document)
      : _text(text), _lines(lines), _document(document) {}

  void run() {
    skipSpace();
    value("");
  }

private:
  void value(const std::string& pointer) {
    if (_lines != nullptr) _lines->set(pointer, _line);
    if (_at >= _text.size()) return;
    const char c = _text[_at];
    if (c == '{') {
      ++_at;
      skipSpace();
      if (peek() == '}') {
        ++_at;
        return;
      }
      for (;;) {
        skipSpace();
        const std::size_t keyLine = _line;
        const std::string key = string();
        const std::string child = pointer + "/" + escapePointerToken(key);
        skipSpace();
        ++_at;  // ':'
        skipSpace();
        value(child);
        // A key's own line is where it is written, even when its value starts further down.
        if (_lines != nullptr) _lines->set(child, keyLine);
        skipSpace();
        if (peek() != ',') break;
        ++_at;
      }
      ++_at;  // '}'
    } else if (c == '[') {
      ++_at;
      skipSpace();
      if (peek() == ']') {
        ++_at;
        return;
      }
      for (std::size_t index = 0;; ++index) {
        skipSpace();
        value(pointer + "/" + std::to_string(index));
        skipSpace();
        if (peek() != ',') break;
        ++_at;
      }
      ++_at;  // ']'
    } else if (c == '"') {
      string();
    } else {
      const std::size_t start = _at;
      while (_at < _text.size() && !isDelimiter(_text[_at])) ++_at;
      if (_text.substr(start, _at - start) == "-0") {
        _document[nlohmann::json::json_pointer(pointer)] = -0.0;
      }
    }
  }

  /// A string token, decoded: escapes are rare in keys, so nlohmann decodes the token then.
  std::string string() {
    const std::size_t start = _at++;
    bool escaped = false;
    while (_at < _text.size() && _text[_at] != '"') {
      if (_text[_at] == '\\') {
        escaped = true;
        ++_at;
      }
      ++_at;
    }
    ++_at;
    const std::string_view token = _text.substr(start, _at - start);
    if (!escaped) return std::string(token.substr(1, token.size() - 2));
    return nlohmann::json::parse(token).get<std::string>();
  }

  void skipSpace() {
    while (_at < _text.size()) {
      const char c = _text[_at];
      if (c == '\n') {
        ++_line;
      } else if (c != ' ' && c != '\t' && c != '\r') {
        return;
      }
      ++_at;
    }
  }

  [[nodiscard]] char peek() const { return _at < _text.size() ? _text[_at] : '\0'; }
  static bool isDelimiter(char c) {
    return c == ',' || c == '}' || c == ']' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
  }

  std::string_view _text;
  LineMap* _lines;
  nlohmann::json& _document;
  std::size_t _at = 0;
  std::size_t _line = 1;
};

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

nlohmann::json parseTomlDocument(std::string_view text, const std::string& source, LineMap& lines,
                                 std::string_view shape) {
  requireUtf8Text(text, source);
  requireShallowToml(text, source, shape);
  toml::table table;
  try {
    table = toml::parse(text, source);
  } catch (const toml::parse_error& error) {
    throw Error(locationPrefix(source, static_cast<std::size_t>(error.source().begin.line)) +
                "TOML syntax error: " + std::string(error.description()));
  }
  return convert(table, "", lines);
}

nlohmann::json parseJsonDocument(std::string_view text, const std::string& source, LineMap* lines,
                                 const ObjectLimit& limit, std::string_view shape) {
  requireUtf8Text(text, source);
  // Keys seen in each open object: JSON parsers keep the last of a repeated key silently, and a
  // wall file must not mean something other than what it says.
  std::vector<std::vector<std::string>> openObjects;
  std::size_t objects = 0;
  const auto callback = [&](int depth, nlohmann::json::parse_event_t event,
                            nlohmann::json& parsed) {
    using Event = nlohmann::json::parse_event_t;
    if (depth > kMaxNesting) {
      throw Error(source + ": JSON nested deeper than " + std::to_string(kMaxNesting) +
                  " levels; " + std::string(shape));
    }
    if (event == Event::object_start && (limit.depth < 0 || depth == limit.depth) &&
        ++objects > limit.most) {
      throw Error(source + ": " + limit.tooMany);
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
    nlohmann::json document = nlohmann::json::parse(text.begin(), text.end(), callback);
    JsonLineRecorder(text, lines, document).run();
    return document;
  } catch (const nlohmann::json::parse_error& error) {
    // nlohmann words it "[json.exception.parse_error.101] parse error at line 1, column 2:
    // syntax error while parsing value - invalid literal; last read: 'no'": keep the reason.
    std::string reason = error.what();
    const std::size_t column = reason.find("column ");
    const std::size_t colon = reason.find(": ", column == std::string::npos ? 0 : column);
    if (colon != std::string::npos) reason = reason.substr(colon + 2);
    const std::size_t dash = reason.find(" - ");
    if (reason.compare(0, 12, "syntax error") == 0 && dash != std::string::npos) {
      reason = reason.substr(dash + 3);
    }
    const std::size_t offset =
        std::min<std::size_t>(error.byte > 0 ? error.byte - 1 : 0, text.size());
    // npos + 1 is 0: the text's first line starts at 0.
    const std::size_t lineStart = offset == 0 ? 0 : text.rfind('\n', offset - 1) + 1;
    const std::size_t columnNumber = offset - lineStart + 1;
    const std::size_t line = lines != nullptr ? lineOfOffset(text, offset) : 0;
    throw Error(locationPrefix(source, line) + "JSON syntax error at column " +
                std::to_string(columnNumber) + ": " + reason);
  } catch (const nlohmann::json::exception& error) {
    std::string reason = error.what();
    const std::size_t bracket = reason.find("] ");
    if (bracket != std::string::npos) reason = reason.substr(bracket + 2);
    throw Error(source + ": JSON error: " + reason);
  }
}

std::optional<UnknownKey> firstUnknownKey(const nlohmann::json& object,
                                          const std::vector<std::string>& known, const char* what) {
  for (auto item = object.begin(); item != object.end(); ++item) {
    if (std::find(known.begin(), known.end(), item.key()) != known.end()) continue;
    std::string message = "unknown key \"" + item.key() + "\"";
    const std::vector<std::string> close = closestWords(item.key(), known, 1);
    if (!close.empty()) message += " (did you mean \"" + close.front() + "\"?)";
    message += "; " + std::string(what) + " takes " + joinedWords(known);
    return UnknownKey{item.key(), message};
  }
  return std::nullopt;
}

Engine::Message placeMessage(const std::string& source, std::size_t line) {
  if (line == 0) return {"place", {{"source", Engine::MessageValue::plain(source)}}};
  return {"place.line",
          {{"source", Engine::MessageValue::plain(source)},
           {"line", Engine::MessageValue::plain(std::to_string(line))}}};
}

Engine::MessageValue gotValue(const nlohmann::json& value) {
  return value.is_number() ? Engine::MessageValue::number(describeValue(value))
                           : Engine::MessageValue::plain(describeValue(value));
}

std::string locationPrefix(const std::string& source, std::size_t line) {
  if (line == 0) return source + ": ";
  return source + ":" + std::to_string(line) + ": ";
}

std::string formatNumber(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  char buffer[kShortestDoubleRoom];
  return std::string(buffer, writeShortestDouble(value, buffer));
}

const nlohmann::json* member(const nlohmann::json& object, std::string_view key) {
  const auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

std::optional<std::string> notAString(const nlohmann::json& value, std::string_view key) {
  if (value.is_string()) return std::nullopt;
  return std::string(key) + " must be a string, got " + describeValue(value);
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

}  // namespace Brusk::Frontend::Detail
