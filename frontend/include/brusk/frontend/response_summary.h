#pragma once

// The figures a study keeps of a wall's periodic response (one row per wall of
// `brusk batch --outdoor`, Python's response_many): one table of their keys, labels, symbols,
// units and definitions, and the writers of the rows and series.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "brusk/engine/periodic_profile.h"
#include "brusk/engine/quantities.h"

namespace Brusk::Frontend {

/// One summary quantity: its description (label, symbol, unit of value(), decimals,
/// definition) and how its value is read. `key` is its JSON key and CSV column, stable across
/// versions.
struct SummaryQuantity {
  const char* key;
  const Engine::Quantity* described;  ///< scope ResponseSummary
  /// The value in `unit` from the engine's summary, which gives times from the start of the
  /// period and energies in Wh/m2; `startHours` is added to every time. NaN: not defined.
  double (*value)(const Engine::ProfileSummary& summary, double startHours);
};

/// Every summary quantity, in the order of the CSV columns.
[[nodiscard]] const std::vector<SummaryQuantity>& responseSummaryQuantities();

/// The CSV header of the summaries, "line,name,<keys>,error\n".
void appendSummaryCsvHeader(std::string& out);

/// One row of summaries (error column empty); a quantity not defined (NaN) is an empty cell.
void appendSummaryCsvRow(std::size_t lineNumber, std::string_view name,
                         const Engine::ProfileSummary& summary, double startHours,
                         std::string& out);

/// One compact JSON object {"line", "name", <keys>} and a newline; NaN is null.
void appendSummaryJsonLine(std::size_t lineNumber, std::string_view name,
                           const Engine::ProfileSummary& summary, double startHours,
                           std::string& out);

/// The members of a JSON object of one summary, `"key": value` (null where not defined), one
/// per line after `indent`, the last without a comma: the "summary" of `brusk response`.
void appendSummaryJsonMembers(const Engine::ProfileSummary& summary, double startHours,
                              std::string_view indent, std::string& out);

/// The CSV header of the series, "line,name,time,heat_flow_in,inner_surface_temperature,error\n".
void appendSeriesCsvHeader(std::string& out);

/// A wall's series as CSV rows: time [h] (from startHours, step T / M), q_in [W/m2], theta_si
/// [degC].
void appendSeriesCsvRows(std::size_t lineNumber, std::string_view name,
                         const Engine::ProfileSeries& series, double periodHours, double startHours,
                         std::string& out);

/// A wall's series as one compact JSON object {"line", "name", "time": [...],
/// "heat_flow_in": [...], "inner_surface_temperature": [...]} and a newline.
void appendSeriesJsonLine(std::size_t lineNumber, std::string_view name,
                          const Engine::ProfileSeries& series, double periodHours,
                          double startHours, std::string& out);

}  // namespace Brusk::Frontend
