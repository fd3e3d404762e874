#pragma once

// The wall written out, and the wall schema itself, for every door: a wall read by any reader
// is written by these, key for key as its file gave it, so that reading what was written gives
// the same wall.

#include <string>

#include "brusk/frontend/wall.h"

namespace Brusk::Frontend {

/// The wall schema as JSON: {"objects": [{name, description, keys: [{key, type, unit,
/// description, words?, holds?}]}], "layer_kinds": [{name, description, required, optional}]},
/// the wall first. `type` is "string", "number", "integer", "boolean", "word", "number_pair",
/// "table" or "tables"; `unit` is null for none. Indented, ends with a newline.
[[nodiscard]] std::string formatWallSchemaJson();

/// The wall schema for people: each object's keys with their type, unit and description.
[[nodiscard]] std::string formatWallSchemaTable();

/// The wall as a JSON wall file: its document (Wall::document), indented with two spaces and
/// ending with a newline, or on one line without one (a line of a JSON Lines batch file).
/// Throws Frontend::Error for a wall that was not read from a document.
[[nodiscard]] std::string formatWallJson(const Wall& wall, bool indented = true);

/// The wall as a TOML wall file that reads back as the same wall, double for double.
[[nodiscard]] std::string formatWallToml(const Wall& wall);

}  // namespace Brusk::Frontend
