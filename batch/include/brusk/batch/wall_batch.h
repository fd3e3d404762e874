#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "brusk/engine/periodic_profile.h"

namespace Brusk::Batch {

/// The profiles of `brusk batch --outdoor`: each wall's periodic response to them (ISO 13786
/// harmonics, see computeProfileResponse) instead of its characteristics.
struct ResponseBatchProfiles {
  std::vector<double> indoor;      ///< theta_i [degC], N >= 1 samples over the period
  std::vector<double> outdoor;     ///< theta_e [degC], the air (sol-air with `irradiance`)
  std::vector<double> irradiance;  ///< I [W/m2] per outdoor sample; empty: no sun
  /// alpha, epsilon and Delta R of the sol-air temperature; its Rse is each wall's own.
  Engine::SolAirSurface surface;
  double periodHours = 24.0;  ///< T [h]
  double startHours = 0.0;    ///< time of the first sample [h], added to every time written
  /// The profile files, which -o may not replace, and the names messages give the profiles.
  std::vector<std::string> files;
  std::string indoorSource, outdoorSource;
  /// Rows of the series (line, name, time, q_in, theta_si) instead of one summary per wall.
  bool series = false;
};

/// Options of `brusk batch`.
struct WallBatchOptions {
  std::string input = "-";                 ///< JSON Lines file, or "-" for standard input
  std::string output = "-";                ///< output file, or "-" for standard output
  std::string format = "csv";              ///< "csv" or "jsonl"
  unsigned jobs = 0;                       ///< worker threads; 0 means every core
  bool failFast = false;                   ///< stop at the first bad line
  double periodHours = 24.0;               ///< cycle length T [h]
  std::vector<std::string> materialFiles;  ///< catalogue additions, as for `brusk compute`
  bool progress = false;                   ///< draw a progress bar on standard error
  /// "vector": the engine's many-wall kernel, results within 1e-12 relative of computeInto's
  /// and deterministic on one machine; "scalar": computeInto's doubles bit for bit.
  std::string kernel = "vector";
  /// Set: the response of every wall to these profiles; `periodHours` and `kernel` are not read.
  std::optional<ResponseBatchProfiles> response;
  /// A monthly climate CSV: each line is then assessed for moisture (ISO 13788, as `brusk
  /// moisture` does) instead of computed; the period and kernel are not used.
  std::string climate;
  int humidityClass = 0;         ///< with a climate: 1..5, the indoor side from Annex A
  double indoorTemperature = 0;  ///< with a humidity class [degC]
  bool indoorTemperatureGiven = false;
};

/// Computes one wall per input line and writes one result per line, in input order. Bad lines
/// are reported on `errors` with their number and reason, and carry the error in their output
/// row; blank lines are skipped. Returns the exit status: 0 when every line was computed, 1 when
/// some failed or the output could not be written, 128 + the signal when interrupted (SIGINT,
/// SIGTERM, SIGHUP or SIGPIPE; an output file is then not created). Throws Frontend::Error when the
/// input cannot be opened or read, or the output file cannot be created, before any wall is
/// computed.
int runWallBatch(const WallBatchOptions& options, std::ostream& errors);

}  // namespace Brusk::Batch
