#pragma once

// The evidence that Brusk computes what the standards and their published worked examples say:
// validation cases read from data files (one per standard, data/validation/, embedded at build
// time), each a set of published figures with the inputs they came from, run through the same
// engine and readers as every command, and written as a table or JSON (`brusk validate`).

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "brusk/engine/moisture.h"
#include "brusk/engine/quantities.h"
#include "brusk/engine/wall.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Frontend {

/// Largest validation file read [bytes].
inline constexpr std::size_t kMaxValidationFileBytes = 1024u * 1024u;

/// Where a case's figures were published.
struct ValidationSource {
  std::string document;  ///< the publication, e.g. "ISO 13788:2012"
  std::string clause;    ///< the place in it: clause, annex, table or example
  std::string edition;   ///< the edition or year the figures are taken from
};

/// What a case computes from its inputs.
enum class ValidationKind {
  Wall,                ///< a wall in wall-file form: `brusk compute`'s quantities and an element's
  Moisture,            ///< a wall under a year of monthly climate: the ISO 13788 assessment
  Climate,             ///< a year of monthly climate alone: the surface check's minimum factors
  SurfaceResistance,   ///< the conventional surface resistances of a position and heat flow
  AirLayer,            ///< unventilated air layers by thickness, heat flow and emissivities
  SaturationPressure,  ///< the saturation vapour pressure at temperatures
  /// A case computed by its own function (ValidationCase::compute), for cases other code adds:
  /// the two-dimensional ISO 10211 cases, for instance.
  External,
};

/// The word a data file names a kind by: "wall", "moisture", "climate", "surface_resistance",
/// "air_layer", "saturation_pressure" or "external".
[[nodiscard]] const char* validationKindName(ValidationKind kind);

/// Which part of a complex quantity a figure compares.
enum class ComplexPart { None, Real, Imaginary, Modulus, TimeShift };

/// Where in a case's results a figure is read. Each kind of case takes the keys it needs.
struct FigureLocation {
  std::optional<std::size_t> month;     ///< 1 to 12, for monthly quantities
  std::optional<std::size_t> path;      ///< 1 to the element's path count, for paths.*
  std::optional<std::size_t> airLayer;  ///< 1 to the wall's air layer count, for air_layers.*
  /// The interface on the outer side of this layer (1 on side 1), for months.interfaces.*; 0
  /// is the inner face.
  std::optional<std::size_t> layer;
  std::optional<double> temperature;                  ///< [degC], for the saturation pressure
  std::optional<double> thickness;                    ///< [m], for an air layer
  std::optional<Engine::HeatFlowDirection> heatFlow;  ///< for an air layer or surface resistance
  ComplexPart part = ComplexPart::None;               ///< for a complex quantity
  /// A point of a two-dimensional field as its source names it ("point A (x = 0 m, y = 0 m)"),
  /// for the ISO 10211 cases.
  std::optional<std::string> point;

  /// "month 3, path 2": how the tables and JSON name the place; empty when none is given.
  [[nodiscard]] std::string text() const;
};

/// One published figure and how it is compared.
struct ValidationFigure {
  Engine::QuantityScope scope = Engine::QuantityScope::Wall;
  std::string key;  ///< the quantity compared, a key of the quantity description
  FigureLocation at;
  std::string printed;     ///< as the document prints it, e.g. "0.30"
  double published = 0.0;  ///< the printed number, in `unit`
  /// Largest difference that agrees, in `unit`: as the file gives it, else half a unit in the
  /// last printed digit (the printed precision).
  double tolerance = 0.0;
  std::string unit;      ///< the unit the figure is printed in
  double scale = 1.0;    ///< a value in the quantity's own unit times scale is a value in `unit`
  std::size_t line = 0;  ///< line of the figure in its data file, 0 when unknown
};

/// One case: its source, its inputs and the figures it compares.
struct ValidationCase {
  std::string id;        ///< unique over every case, e.g. "tgd-l-2011-a2"
  std::string title;     ///< what it is, in a few words
  std::string standard;  ///< the standard it exercises, e.g. "ISO 6946:2017"
  ValidationSource source;
  std::string notes;  ///< the conventions needed to read the figures (month length, rounding)
  ValidationKind kind = ValidationKind::Wall;
  std::string file;  ///< the data file it was read from

  std::optional<Wall> wall;                    ///< Wall and Moisture cases
  double periodHours = 24.0;                   ///< Wall cases: the cycle length T [h]
  std::optional<Engine::YearClimate> climate;  ///< Moisture and Climate cases
  /// AirLayer cases: the faces' emissivities (Annex D of ISO 6946); none for Table 8.
  std::optional<std::array<double, 2>> emissivities;
  /// SurfaceResistance cases: the element's position.
  Engine::ElementPosition position = Engine::ElementPosition::External;

  std::vector<ValidationFigure> figures;

  /// External cases: the computed value of each figure, in the order of `figures`, each in its
  /// quantity's own unit (NaN where it is not computed); may throw Frontend::Error.
  std::function<std::vector<double>(const ValidationCase&)> compute;
};

/// Parses the TOML text of a validation file: `standard`, then [[cases]] with id, title, kind,
/// source {document, clause, edition}, notes, the kind's inputs and [[cases.figures]]
/// {quantity, the location keys, printed, unit, tolerance}. `source` names it in messages,
/// which give the line. Throws Frontend::Error.
[[nodiscard]] std::vector<ValidationCase> parseValidationCases(std::string_view text,
                                                               const std::string& source);

/// The cases of data/validation/, embedded at build time, in file and case order.
[[nodiscard]] const std::vector<ValidationCase>& builtInValidationCases();

/// The embedded files: their names ("iso-6946.toml") and texts, in name order.
struct BuiltInValidationFile {
  std::string name;
  std::string_view text;
};
[[nodiscard]] const std::vector<BuiltInValidationFile>& builtInValidationFiles();

/// A figure as computed.
struct FigureOutcome {
  double computed = 0.0;    ///< in the figure's unit; NaN when not computed
  double difference = 0.0;  ///< computed - published, in the figure's unit; NaN when not computed
  bool agrees = false;      ///< |difference| <= tolerance (a figure not computed differs)
};

/// A case as computed: one outcome per figure, and why it could not be computed, if so.
struct CaseOutcome {
  std::vector<FigureOutcome> figures;
  std::string problem;  ///< empty when the case computed
};

/// The cases run and their outcomes, in the same order.
struct ValidationRun {
  std::vector<ValidationCase> cases;
  std::vector<CaseOutcome> outcomes;

  [[nodiscard]] std::size_t figureCount() const;
  [[nodiscard]] std::size_t agreeingCount() const;
  /// True when there is at least one figure and every figure agrees.
  [[nodiscard]] bool allAgree() const;
};

/// Computes every case's figures: each kind through the engine and the readers every command
/// uses. A case that cannot be computed keeps its place with its problem and its figures not
/// computed; nothing throws for one case.
[[nodiscard]] ValidationRun runValidationCases(std::vector<ValidationCase> cases);

/// The built-in cases followed by `extraCases` (for cases built elsewhere, such as External
/// ones), run. Throws Frontend::Error when two cases share an id.
[[nodiscard]] ValidationRun runValidation(std::vector<ValidationCase> extraCases = {});

/// For people: per case its id, title and source, then one line per figure (quantity, place,
/// published, computed, tolerance, unit, verdict), and a summary. Names made safe for terminals.
[[nodiscard]] std::string formatValidationTable(const ValidationRun& run);

/// One object {"cases": [...], "summary": {...}}, keys as the Validation scope of the quantity
/// description lists them; indented, ends with a newline.
[[nodiscard]] std::string formatValidationJson(const ValidationRun& run);

}  // namespace Brusk::Frontend
