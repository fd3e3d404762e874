#pragma once

#include <string>
#include <string_view>

namespace Brusk::Frontend {

/// Writes the JSON document `jsonText` (an object, as a wall file holds it) as TOML that reads
/// back as the same document: keys in a wall file's order (name, position, heat_flow, rsi, rse;
/// a layer's name, material, thickness, conductivity, density, specific_heat, family,
/// thermal_resistance; layers last), other keys after them alphabetically, a table's plain values
/// before its sub-tables ([key]) and arrays of tables ([[key]]), strings as basic strings, integers
/// as integers and every other number as a TOML float in the shortest text that reads back as the
/// same double (0.1, not 0.10000000000000001). Throws Frontend::Error naming `source` for text
/// that is not JSON, a document that is not an object, or a null, which TOML cannot hold.
[[nodiscard]] std::string formatToml(std::string_view jsonText, const std::string& source);

}  // namespace Brusk::Frontend
