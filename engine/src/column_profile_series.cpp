// The profile response of walls given as columns: each row read as its request, computed by
// computeManyProfileSeries under the profiles analysed once, and its layout fault or the
// engine's problem merged into one list of failures in row order, as computeColumns gives it.

#include <cstddef>
#include <limits>
#include <optional>
#include <thread>
#include <variant>
#include <vector>

#include "brusk/engine/many_columns.h"
#include "brusk/engine/periodic_profile.h"
#include "brusk/engine/wall.h"

namespace Brusk::Engine {

namespace {

/// Why the row read as `read` cannot be computed at its own period, if it cannot.
std::optional<RowFailure> refusal(const std::variant<WallRequest, RowFailure>& read,
                                  std::size_t row) {
  if (const auto* failure = std::get_if<RowFailure>(&read)) return *failure;
  if (std::optional<WallProblem> problem = check(std::get<WallRequest>(read))) {
    return RowFailure{row, RowFailure::Kind::Engine, *problem, 0};
  }
  return std::nullopt;
}

/// The summary of a row that was not computed: every figure not defined.
ProfileSummary notComputed() {
  static_assert(sizeof(ProfileSummary) == 17 * sizeof(double),
                "a figure added to ProfileSummary must be set to NaN here too");
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  ProfileSummary summary;
  for (double* figure :
       {&summary.meanHeatFlowIn, &summary.peakHeatFlowIn, &summary.peakTime,
        &summary.minimumHeatFlowIn, &summary.minimumTime, &summary.energyGained,
        &summary.energyLost, &summary.outdoorPeakTime, &summary.peakDelay,
        &summary.innerSurfaceMaximum, &summary.innerSurfaceMaximumTime,
        &summary.innerSurfaceMinimum, &summary.innerSurfaceMinimumTime, &summary.mainHarmonicPeriod,
        &summary.effectiveDecrementFactor, &summary.effectiveTimeLag}) {
    *figure = kNaN;
  }
  return summary;
}

}  // namespace

std::optional<RowFailure> firstRefusedRow(const ColumnWalls& walls) {
  for (std::size_t row = 0; row < walls.thickness.rows; ++row) {
    if (std::optional<RowFailure> failure = refusal(rowRequest(walls, row), row)) return failure;
  }
  return std::nullopt;
}

std::vector<RowFailure> computeColumnProfileSeries(const ColumnWalls& walls,
                                                   const AnalysedProfiles& profiles,
                                                   const ManyProfileSeries& out,
                                                   const ColumnSeriesOptions& options) {
  const std::size_t rows = walls.thickness.rows;
  std::vector<WallRequest> requests(rows);
  std::vector<std::optional<RowFailure>> failed(rows);
  for (std::size_t row = 0; row < rows; ++row) {
    auto read = rowRequest(walls, row);
    // In row order: the first refused row is the lowest, and none has been computed.
    if (options.stopAtFirstFailure) {
      if (std::optional<RowFailure> refused = refusal(read, row)) return {*refused};
    }
    if (auto* failure = std::get_if<RowFailure>(&read)) {
      failed[row] = *failure;  // left without layers: computed as NaN
    } else {
      requests[row] = std::get<WallRequest>(std::move(read));
    }
  }

  std::vector<std::optional<WallProblem>> problems(rows);
  ManyProfileSeries series = out;
  series.problems = problems.data();
  const unsigned threads =
      options.threads == 0 ? std::thread::hardware_concurrency() : options.threads;
  computeManyProfileSeries(requests.data(), rows, profiles, series, threads);

  std::vector<RowFailure> failures;
  for (std::size_t row = 0; row < rows; ++row) {
    if (!failed[row] && problems[row]) {
      failed[row] = RowFailure{row, RowFailure::Kind::Engine, *problems[row], 0};
    }
    if (!failed[row]) continue;
    if (out.summaries != nullptr) out.summaries[row] = notComputed();
    failures.push_back(*failed[row]);
  }
  if (options.stopAtFirstFailure && failures.size() > 1) failures.resize(1);
  return failures;
}

}  // namespace Brusk::Engine
