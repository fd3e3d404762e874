#pragma once

// Internal: text -> nlohmann::json for both input formats, keeping TOML line numbers.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "brusk/engine/message.h"

namespace Brusk::Frontend::Detail {

/// Source line of each value of a converted document, keyed by JSON pointer ("/layers/1/name").
class LineMap {
public:
  void set(const std::string& pointer, std::size_t line) { _lines[pointer] = line; }
  /// Line of `pointer`, else of its closest ancestor that has one, else 0 (unknown).
  [[nodiscard]] std::size_t lineOf(std::string pointer) const;

private:
  std::map<std::string, std::size_t> _lines;
};

/// How deep each kind of document goes, as the message refusing one nested too deep says it:
/// the reader names its own kind, never another's.
namespace DocumentShapes {
inline constexpr std::string_view kWallToml = "a wall file is a flat table with a list of layers";
inline constexpr std::string_view kWallJson = "a wall file is a flat object with a list of layers";
inline constexpr std::string_view kCatalogue = "a catalogue file is a table of materials";
inline constexpr std::string_view kZone =
    "a zone file is a flat table with a list of elements, each holding its wall";
inline constexpr std::string_view kRequirements =
    "a requirements file is a list of rules holding tests, classes and conditions, a few levels "
    "deep";
}  // namespace DocumentShapes

/// Parses TOML text into JSON (integers stay integers, dates become strings) and records lines.
/// Throws Frontend::Error "<source>:<line>: <reason>" on a syntax error, or on nesting deeper
/// than any file of Brusk's (worded with `shape`, one of DocumentShapes).
[[nodiscard]] nlohmann::json parseTomlDocument(std::string_view text, const std::string& source,
                                               LineMap& lines,
                                               std::string_view shape = DocumentShapes::kWallToml);

/// Parses JSON text and records the line of every value; throws Frontend::Error
/// "<source>:<line>: <reason>" on a syntax error or a key repeated within one object. A
/// `lines` of nullptr reads one line of a JSON Lines file, whose `source` names the line
/// already: messages then give no line of their own, and no lines are recorded.
///
/// A document of one kind may bound how many objects it holds, so that a flood of them is
/// refused as soon as it is seen rather than after megabytes: a wall's layers are the objects at
/// depth 2, whatever parts or corrections they hold. `tooMany` words the refusal after the source ("more than 1000 layers, ...").
struct ObjectLimit {
  std::size_t most = static_cast<std::size_t>(-1);
  std::string tooMany;
  /// Only objects that start at this depth count (the document itself is at 0, a wall's layers
  /// at 2); -1 counts every object.
  int depth = -1;
};
/// A document nested deeper than any of Brusk's is refused, worded with `shape` (one of
/// DocumentShapes).
[[nodiscard]] nlohmann::json parseJsonDocument(std::string_view text, const std::string& source,
                                               LineMap* lines, const ObjectLimit& limit = {},
                                               std::string_view shape = DocumentShapes::kWallJson);

/// The first key of `object` that is not among `known`: its message suggests the closest known
/// key and lists what `what` ("a wall", "a layer") takes. None when every key is known.
struct UnknownKey {
  std::string key;
  std::string message;
};
[[nodiscard]] std::optional<UnknownKey> firstUnknownKey(const nlohmann::json& object,
                                                        const std::vector<std::string>& known,
                                                        const char* what);

/// The member `key` of an object, or null when it has none.
[[nodiscard]] const nlohmann::json* member(const nlohmann::json& object, std::string_view key);

/// Why `value` cannot be the string `key` asks for ("name must be a string, got 3"), or none.
[[nodiscard]] std::optional<std::string> notAString(const nlohmann::json& value,
                                                    std::string_view key);

/// "<source>:<line>: " or "<source>: " when the line is unknown.
[[nodiscard]] std::string locationPrefix(const std::string& source, std::size_t line);

/// locationPrefix() as a message by key (without the ": " that follows it).
[[nodiscard]] Engine::Message placeMessage(const std::string& source, std::size_t line);

/// A value as a message shows it after "got": numbers in shortest form, strings quoted.
[[nodiscard]] std::string describeValue(const nlohmann::json& value);

/// describeValue() as a message's value: a number as a number, anything else as its text.
[[nodiscard]] Engine::MessageValue gotValue(const nlohmann::json& value);

/// Shortest decimal text that reads back as the same double ("nan", "inf" and "-inf" too).
[[nodiscard]] std::string formatNumber(double value);

}  // namespace Brusk::Frontend::Detail
