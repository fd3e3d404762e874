#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "brusk/engine/wall_result.h"
#include "brusk/frontend/shortest_double.h"

namespace Brusk::Frontend {

// Writers of wall results. All are pure functions of their arguments (no locale, no shared
// state), safe to call from many threads; numbers are written by writeShortestDouble, in the
// shortest form that reads back as the same double.

/// A wall's result with the wall's name, as the writers print it.
struct NamedResult {
  std::string name;
  Engine::WallResult result;
};

/// Whitespace of the JSON writers.
enum class JsonLayout {
  Compact,  ///< one line, for JSON Lines
  Indented  ///< two-space indentation, for people
};

/// Appends one result as a JSON object (keys in the documented order, SI units).
void appendJson(std::string_view name, const Engine::WallResult& result, std::string& out,
                JsonLayout layout);

/// One object for a single result, an array for several (or none); ends with a newline.
[[nodiscard]] std::string formatJson(const std::vector<NamedResult>& results, JsonLayout layout);

/// Appends `text` as a JSON string: quotes, backslashes and control characters escaped.
void appendJsonString(std::string_view text, std::string& out);

/// Appends the CSV header row, terminated by "\n": the JSON paths joined with '_'
/// (a matrix element's [re, im] become `_re` and `_im`).
void appendCsvHeader(std::string& out);

/// Appends one CSV row, terminated by "\n", in the header's column order (RFC 4180 quoting).
void appendCsvRow(std::string_view name, const Engine::WallResult& result, std::string& out);

/// Appends `text` as one CSV cell, as the rows write a name: control characters made visible,
/// a cell that would run as a spreadsheet formula defused with a leading single quote, and
/// RFC 4180 quoting where needed.
void appendCsvText(std::string_view text, std::string& out);

/// Header and one row per result.
[[nodiscard]] std::string formatCsv(const std::vector<NamedResult>& results);

/// Aligned table for people: a row per quantity (name, symbol, unit), a column per wall;
/// areal heat capacities in kJ/(m2.K). Names are shown with control characters made visible
/// and aligned by terminal columns.
[[nodiscard]] std::string formatTable(const std::vector<NamedResult>& results);

/// One value some walls have beyond their WallResult (a bridged element's upper and lower
/// limits, corrections, ...), written after the result's own fields.
struct ExtraField {
  std::string key;  ///< JSON path, levels joined by '.': "corrections.air_voids.delta_u"
  enum class Kind { Number, Text, Flag } kind = Kind::Number;
  double number = 0.0;
  std::string text;
  bool flag = false;

  static ExtraField of(std::string key, double value);
  static ExtraField of(std::string key, std::string value);
  static ExtraField flagOf(std::string key, bool value);
};

/// A list of objects of extra fields, written as a JSON array (not in CSV).
struct ExtraList {
  std::string key;                             ///< "paths"
  std::vector<std::vector<ExtraField>> items;  ///< one object per item
};

/// What a wall's output has beyond its WallResult; empty for a plain wall. Walls of one output
/// that have extras have the same fields in the same order.
struct ExtraFields {
  std::vector<ExtraField> fields;                          ///< JSON keys and CSV columns
  std::vector<ExtraList> lists;                            ///< JSON arrays
  std::vector<std::pair<std::string, std::string>> table;  ///< table rows: label, cell
  [[nodiscard]] bool empty() const { return fields.empty() && lists.empty() && table.empty(); }
};

/// formatJson() with each result's extra fields (one ExtraFields per result) after its own.
[[nodiscard]] std::string formatJson(const std::vector<NamedResult>& results, JsonLayout layout,
                                     const std::vector<ExtraFields>& extras);
/// formatCsv() with the extra fields' columns after the usual ones when any result has extras,
/// left empty for the results that have none.
[[nodiscard]] std::string formatCsv(const std::vector<NamedResult>& results,
                                    const std::vector<ExtraFields>& extras);
/// formatTable() with the extras' rows after the usual ones, "-" where a wall has none.
[[nodiscard]] std::string formatTable(const std::vector<NamedResult>& results,
                                      const std::vector<ExtraFields>& extras);

}  // namespace Brusk::Frontend
