#pragma once

#include <string>
#include <vector>

#include "brusk/frontend/wall.h"
#include "brusk/report/plots.h"
#include "results_table.h"

namespace Brusk::Report {

/// The walls computed at the cycle length `period` [s], wall k in the k-th colour and dash of
/// the report. Throws Frontend::Error, worded as Frontend::describeProblem() words it.
[[nodiscard]] std::vector<ComputedWall> computeWalls(const std::vector<Frontend::Wall>& walls,
                                                     double period);

/// "24 h", "168 h", "1.5 h": a cycle length as the report names it, in `words`.
[[nodiscard]] std::string cycleName(double periodHours, const PlotWords& words = PlotWords());

/// The cycle lengths the frequency plots mark [h]: the daily, the 12-day and `periodHours`.
[[nodiscard]] std::vector<double> markedCycles(double periodHours);

/// Two cycles of a temperature swing of `amplitude` [K] and the heat flows it drives in every
/// wall: `outdoor` the outside through Y12, else the room through Y11. Written in `words`.
[[nodiscard]] std::string swingPlot(const std::vector<ComputedWall>& walls, double amplitude,
                                    double period, bool outdoor, const PlotLayout& size,
                                    const PlotWords& words = PlotWords());

/// The decrement factor and the time lag of every wall against the cycle length, `period`
/// marked beside the daily and the 12-day cycles.
struct SweepPlots {
  std::string decrement;
  std::string lag;
};
[[nodiscard]] SweepPlots sweepPlots(const std::vector<ComputedWall>& walls, double period,
                                    const PlotLayout& size, const PlotWords& words = PlotWords());

}  // namespace Brusk::Report
