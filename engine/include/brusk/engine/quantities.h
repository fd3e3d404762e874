#pragma once

// The one description of every quantity Brusk puts out: its key in the JSON output, its CSV
// column, the label, symbol and unit a person reads, the SI unit of the value a program reads,
// and its definition with the clause of its standard. Every front end (the tables, JSON and CSV
// writers, the HTML report, the Python package and the web page) takes its labels, units and
// keys from here, so that the same wall reads the same through every door.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "brusk/engine/complex.h"
#include "brusk/engine/wall_result.h"

namespace Brusk::Engine {

/// The output a quantity belongs to: the JSON document of one command.
enum class QuantityScope {
  Wall,      ///< `brusk compute`: one wall at one cycle length
  Zone,      ///< `brusk zone`: a room's elements, their faces and the zone's totals
  Response,  ///< `brusk response`: the periodic response to hourly profiles
  /// One row per wall of `brusk batch --outdoor` and of Python's response_many: what a study
  /// keeps of each wall's periodic response.
  ResponseSummary,
  /// `brusk compute` of a wall with layers of parts or air layers given by their geometry: what
  /// the ISO 6946 combined method adds after the Wall quantities (only such walls print them).
  Element,
  Moisture,  ///< `brusk moisture`: the ISO 13788 assessment of one wall
  /// `brusk validate`: the validation cases, their published and computed figures
  Validation,
  /// Figures computed on the way that no command prints on its own (surface resistances,
  /// saturation pressures): what `brusk validate` compares with the standards' tables.
  Reference,
  Bridge,  ///< `brusk bridge`: a two-dimensional junction (ISO 10211)
};

/// How the value is written: a number, a complex number ([re, im] in JSON, two CSV columns),
/// a word, or a yes/no (true/false in JSON).
enum class QuantityType { Number, Complex, Text, Flag };

/// One quantity as every door shows it. Units are written in plain ASCII ("J/(m2.K)") and in
/// Unicode ("J/(m²·K)"); a person reads value × displayScale in displayUnit, a program reads the
/// SI value in unit.
struct Quantity {
  QuantityScope scope = QuantityScope::Wall;
  QuantityType type = QuantityType::Number;
  std::string_view key;            ///< dotted path in the JSON output, e.g. "u_value"
  std::string_view label;          ///< e.g. "Thermal transmittance"
  std::string_view symbol;         ///< plain text, e.g. "U", "kappa1"; empty for a word
  std::string_view symbolUnicode;  ///< e.g. "κ₁"
  std::string_view symbolHtml;     ///< e.g. "<i>κ</i><sub>1</sub>"
  std::string_view unit;           ///< of the JSON value, ASCII; "-" for a ratio, "" for a word
  std::string_view displayUnit;    ///< what a person reads, ASCII
  std::string_view displayUnitUnicode;  ///< what a person reads, Unicode
  double displayScale = 1.0;            ///< displayed value = JSON value × displayScale
  int decimals = 3;                     ///< fixed decimals in tables
  std::string_view definition;          ///< one sentence, symbols and formula included
  std::string_view source;              ///< standard and clause, e.g. "ISO 13786:2017, 3.2"
  /// The CSV column of a zone or response quantity; empty where its CSV has no such column.
  /// A wall quantity's column is its key joined by '_' (see csvColumn()).
  std::string_view csvName;

  /// The value of a wall quantity from a wall's result; null for other scopes and types.
  double (*wallNumber)(const WallResult&) = nullptr;
  /// The value of a complex wall quantity; null for other scopes and types.
  Complex (*wallComplex)(const WallResult&) = nullptr;
  /// The word of a text wall quantity; null for other scopes and types.
  const char* (*wallText)(const WallResult&) = nullptr;

  /// The CSV column: for a wall the key's path joined by '_' (complex values add "_re" and
  /// "_im"); for a zone or response csvName, empty where the CSV has no such column.
  [[nodiscard]] std::string csvColumn() const;
  /// "Thermal transmittance U [W/(m2.K)]": the label as a plain-text table row reads it.
  [[nodiscard]] std::string tableLabel() const;
  /// The displayed value of a number: value × displayScale.
  [[nodiscard]] double displayed(double value) const { return value * displayScale; }
};

/// Every quantity of every scope; within a scope in the order of its JSON output.
[[nodiscard]] const std::vector<Quantity>& quantities();

/// The quantity of `scope` whose key is `key`, or null.
[[nodiscard]] const Quantity* findQuantity(QuantityScope scope, std::string_view key);

/// The quantity of `scope` whose key is `key`; the key must exist (a programming error
/// otherwise: the description and its callers are compiled together and tested together).
[[nodiscard]] const Quantity& quantity(QuantityScope scope, std::string_view key);

/// "compute", "zone", "response", "response_summary", "element", "moisture", "validation",
/// "reference" or "bridge": the output the scope describes.
[[nodiscard]] const char* quantityScopeName(QuantityScope scope);
/// "number", "complex", "text" or "flag".
[[nodiscard]] const char* quantityTypeName(QuantityType type);

}  // namespace Brusk::Engine
