#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "brusk/frontend/shortest_double.h"
#include "brusk/frontend/wall_result.h"

namespace Brusk {

// Writers of wall results. All are pure functions of their arguments (no locale, no shared
// state), safe to call from many threads; numbers are written by writeShortestDouble, in the
// shortest form that reads back as the same double.

/// Whitespace of the JSON writers.
enum class JsonLayout {
  Compact,  ///< one line, for JSON Lines
  Indented  ///< two-space indentation, for people
};

/// Appends one result as a JSON object (keys in the documented order, SI units).
void appendJson(const WallResult& result, std::string& out, JsonLayout layout);

/// One object for a single result, an array for several (or none); ends with a newline.
[[nodiscard]] std::string formatJson(const std::vector<WallResult>& results, JsonLayout layout);

/// Appends the CSV header row, terminated by "\n": the JSON paths joined with '_'
/// (a matrix element's [re, im] become `_re` and `_im`).
void appendCsvHeader(std::string& out);

/// Appends one CSV row, terminated by "\n", in the header's column order (RFC 4180 quoting).
void appendCsvRow(const WallResult& result, std::string& out);

/// Header and one row per result.
[[nodiscard]] std::string formatCsv(const std::vector<WallResult>& results);

/// Aligned table for people: a row per quantity (name, symbol, unit), a column per wall;
/// areal heat capacities in kJ/(m2.K).
[[nodiscard]] std::string formatTable(const std::vector<WallResult>& results);

}  // namespace Brusk
