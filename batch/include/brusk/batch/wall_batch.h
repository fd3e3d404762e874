#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace Brusk::Batch {

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
