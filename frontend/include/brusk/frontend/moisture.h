#pragma once

// The moisture assessment of walls (ISO 13788) for the front ends: the monthly climate file, the
// request built from a wall, the wording of the engine's problems, and the writers.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "brusk/engine/moisture.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Frontend {

/// Largest climate file read [bytes]: twelve rows need a few hundred.
inline constexpr std::size_t kMaxClimateFileBytes = 1024u * 1024u;

/// Default indoor temperature with a humidity class [degC] (ISO 13788:2012 Annex A: 20 degC in
/// the heating season).
inline constexpr double kDefaultIndoorTemperature = 20.0;

/// A year of monthly boundary conditions and where it came from.
struct Climate {
  Engine::YearClimate months{};  ///< January first; relative humidities as fractions
  std::string source;            ///< the file, for messages and output
  int humidityClass = 0;         ///< 1..5 when the indoor side comes from Annex A, else 0
};

/// How a door names the two climate options in its messages: the command line's by default,
/// Python's keyword arguments ("humidity_class") or the web API's fields ("humidityClass").
struct ClimateOptionNames {
  std::string_view humidityClass = "--humidity-class";
  std::string_view indoorTemperature = "--indoor-temperature";
};

/// The humidity class an option gives: a whole number 1 to 5 (ISO 13788 Annex A), or 0 when
/// the option is left out (`given` none: the climate file's own indoor side). 0 given is refused
/// like any number outside 1..5, and so is a fraction, which a door must never round. Throws
/// Frontend::Error worded as the caller's door spells the option (`names`), with the value as
/// given.
[[nodiscard]] int humidityClassOf(std::optional<double> given,
                                  const ClimateOptionNames& names = {});

/// The indoor temperature [degC] the climate options ask for, with the humidity-class option
/// checked with it: a class 1..5 takes the ISO 13788 Annex A indoor side at `temperature`
/// (kDefaultIndoorTemperature where none is given); without a class (0) the climate gives the
/// indoor temperature of every month, and a temperature given anyway is refused. Throws
/// Frontend::Error worded as the caller's door spells the options (`names`).
[[nodiscard]] double indoorTemperatureOf(int humidityClass, std::optional<double> temperature,
                                         const ClimateOptionNames& names = {});

/// Parses a climate CSV: a header naming the columns month, outdoor_temperature,
/// outdoor_relative_humidity, indoor_temperature, indoor_relative_humidity (any order; the
/// indoor two may be left out when `humidityClass` is given), then twelve rows, one per month 1
/// to 12, temperatures in degC and relative humidities in % (0 < phi <= 100), the indoor
/// humidity taken as given. Lines starting with '#' and blank lines are skipped. With
/// `humidityClass` 1..5 the indoor side is p_i = p_e + 1.10 dp (ISO 13788:2012 Annex A) at
/// `indoorTemperature`. Throws Frontend::Error naming `source`, the line, the month and the
/// column; a bad class or temperature is named as the caller's door spells it (`names`).
[[nodiscard]] Climate parseClimateCsv(std::string_view text, const std::string& source,
                                      int humidityClass = 0,
                                      double indoorTemperature = kDefaultIndoorTemperature,
                                      const ClimateOptionNames& names = {});

/// Reads and parses a climate file.
[[nodiscard]] Climate loadClimateFile(const std::string& path, int humidityClass = 0,
                                      double indoorTemperature = kDefaultIndoorTemperature,
                                      const ClimateOptionNames& names = {});

/// The engine's request for a plain stack under a climate: the layers, each layer's s_d, the
/// wall's surface resistances (those of ISO 6946 for its heat-flow direction, or its
/// overrides). Throws Frontend::Error naming `source` and the layer when a layer has no vapour
/// property. A wall with parts, air layers or vapour control layers is assessed path by path:
/// see moisturePaths().
[[nodiscard]] Engine::MoistureRequest moistureRequestOf(const Wall& wall, const Climate& climate,
                                                        const std::string& source);

/// One one-dimensional stack through a wall for the moisture assessment (ISO 13788 is
/// one-dimensional): one part of each layer of parts, as the combined method of ISO 6946 forms
/// its paths, with the vapour control layers in their places and the layers outside a
/// well-ventilated air layer left out.
struct MoisturePath {
  std::string name;     ///< the parts taken, side 1 first ("Stud / Batten"); empty: no parts
  double fraction = 1;  ///< share of the element's area [-]
  /// The stack as a plain wall: its layers are the file's (a vapour control layer has every
  /// property 0), each with its label and vapour property; a well-ventilated air layer and
  /// what lies outside it are left out, and Rse is then Rsi (as ISO 6946 6.9.4 takes it).
  Wall wall;
  bool ventilatedCut = false;  ///< the stack ends at a well-ventilated air layer
};

/// The stacks of `wall` for the moisture assessment, one per path of its parts (one for a wall
/// without parts). Throws Frontend::Error naming `source`, the layer and the part when a layer
/// inside the assessment has no vapour property.
[[nodiscard]] std::vector<MoisturePath> moisturePaths(const Wall& wall, const std::string& source);

/// One path's assessment.
struct MoisturePathReport {
  MoisturePath path;
  Engine::MoistureResult result;
  /// Whether the water held at a plane ever exceeds the condensation_limit of a layer it
  /// touches; none when no layer states a limit.
  std::optional<bool> limitExceeded;
  std::size_t limitPlane = Engine::kNoIndex;  ///< the first plane over its limit
};

/// A wall's moisture result with what the writers print beside it. The wall, result and limit
/// are those of the governing path: the worst verdict of all paths (it does not dry out, then a
/// condensation limit exceeded, then a failed surface check, then the most water held, then the
/// lowest f_Rsi). For a wall without parts there is one path, its own.
struct MoistureReport {
  Wall wall;           ///< the governing path as a plain wall (see MoisturePath::wall)
  std::string source;  ///< the wall file
  Engine::MoistureResult result;
  std::optional<bool> limitExceeded;
  std::size_t limitPlane = Engine::kNoIndex;  ///< the first plane over its limit
  /// Every path's assessment; the writers list them for a wall with parts.
  std::vector<MoisturePathReport> paths;
  std::size_t governingPath = 0;  ///< index into paths
  bool hasParts = false;          ///< the wall has layers of parts: the paths are written
};

/// The whole assessment of a wall; throws Frontend::Error when it cannot be computed.
[[nodiscard]] MoistureReport assessMoisture(const Wall& wall, const Climate& climate,
                                            const std::string& source);

/// One object for a single wall, an array for several; indented, ends with a newline. Keys as the
/// Moisture scope of the quantity description (brusk/engine/quantities.h) lists them; amounts of
/// water in g/m2, pressures in Pa, depths and s_d in m, temperatures in degC; a factor that means
/// nothing in a month is null.
[[nodiscard]] std::string formatMoistureJson(const std::vector<MoistureReport>& reports,
                                             const Climate& climate);

/// A header and one row per wall and month, month 1 first.
[[nodiscard]] std::string formatMoistureCsv(const std::vector<MoistureReport>& reports);

/// A month-by-month summary per wall for people.
[[nodiscard]] std::string formatMoistureTable(const std::vector<MoistureReport>& reports,
                                              const Climate& climate);

}  // namespace Brusk::Frontend
