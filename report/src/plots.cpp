#include "brusk/report/plots.h"

#include <algorithm>
#include <cmath>

#include "brusk/engine/constants.h"
#include "brusk/engine/cycle_response.h"
#include "brusk/engine/steady_profile.h"
#include "brusk/engine/wall_result.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "line_plot.h"
#include "text_format.h"
#include "wall_plots.h"
#include "wall_section.h"

namespace Brusk::Report {

namespace {

using Frontend::Error;
using Frontend::Wall;

constexpr double kDailyHours = Engine::kDailyPeriod / Engine::kSecondsPerHour;
constexpr double kTwelveDayHours = Engine::kTwelveDayPeriod / Engine::kSecondsPerHour;
// The swing responses span two cycles, 96 steps a cycle at the report's width (15 minutes on the
// daily cycle), fewer in a narrower drawing.
constexpr double kResponseCycles = 2.0;
constexpr double kResponseStepsPerCycle = 96.0;
constexpr double kShortestCycleHours = 1.0;
constexpr double kLongestCycleHours = 720.0;
constexpr int kCycleSamples = 100;
constexpr double kFewestQuarterSteps = 6.0;
constexpr int kFewestCycleSamples = 25;
const char* const kTemperatureColour = "#555";

// Okabe-Ito colours: told apart by most colour-blind readers and in grey print.
const char* const kWallColours[] = {"#0072B2", "#D55E00", "#009E73", "#CC79A7",
                                    "#E69F00", "#56B4E9", "#000000"};
// The least width [px] the layers of a section are given when long labels take the rest.
constexpr double kNarrowestSection = 40.0;
// The swing of the plots drawn alone [K], as the report draws them by default.
constexpr double kPlotSwingAmplitude = 1.0;

constexpr std::size_t kWallColourCount = sizeof kWallColours / sizeof kWallColours[0];

// After every colour has been used once, the next walls repeat them with another dash, so that
// every series of a report of many walls stays distinguishable. The temperature's "6 4" is not
// among them.
const char* const kWallDashes[] = {"", "10 4", "2 3", "10 3 2 3"};

std::string wallColour(std::size_t index) { return kWallColours[index % kWallColourCount]; }

std::string wallDash(std::size_t index) {
  return kWallDashes[(index / kWallColourCount) % (sizeof kWallDashes / sizeof kWallDashes[0])];
}

/// How densely a drawing `size` wide samples its curves against the report's [-]: a narrower
/// drawing gets as many points per pixel as the report's, and no more, so that a phone-width
/// page computes and parses less for curves that look the same.
double sampleDensity(const PlotLayout& size) {
  return std::min(1.0, size.width / PlotLayout{}.width);
}

/// Steps a cycle of the swing responses: 96 at the report's width (15 minutes of a day), a
/// multiple of four so that the quarter cycles fall on samples, and never under 24.
double responseStepsPerCycle(const PlotLayout& size) {
  return 4.0 * std::max(kFewestQuarterSteps,
                        std::round(kResponseStepsPerCycle / 4.0 * sampleDensity(size)));
}

/// Cycle lengths of the sweeps besides the marked ones: 100 at the report's width, never under 25.
int cycleSamples(const PlotLayout& size) {
  return std::max(kFewestCycleSamples,
                  static_cast<int>(std::lround(kCycleSamples * sampleDensity(size))));
}

std::string hours(double value, const PlotWords& words) {
  return words("hours", {{"value", words.number(value, 1)}});
}

std::vector<AxisTick> hourTicks(double stepHours, double lastHour) {
  std::vector<AxisTick> ticks;
  for (double hour = 0.0; hour <= lastHour + 1e-9; hour += stepHours) {
    ticks.push_back({hour, formatNumber(hour, 0)});
  }
  return ticks;
}

PlotAxis timeAxis(double periodHours, const PlotWords& words) {
  PlotAxis axis;
  axis.label = words("response.time_axis");
  axis.minimum = 0.0;
  axis.maximum = kResponseCycles * periodHours;
  axis.ticks = hourTicks(periodHours / 4.0, kResponseCycles * periodHours);
  return axis;
}

PlotAxis symmetricAxis(const std::string& label) {
  PlotAxis axis;
  axis.label = label;
  axis.symmetricAboutZero = true;
  return axis;
}

}  // namespace

std::vector<ComputedWall> computeWalls(const std::vector<Wall>& walls, double period) {
  std::vector<ComputedWall> computed;
  for (std::size_t index = 0; index < walls.size(); ++index) {
    const Wall& wall = walls[index];
    ComputedWall entry;
    entry.wall = &wall;
    entry.colour = wallColour(index);
    entry.dashes = wallDash(index);
    // A report describes the one cycle length it is asked for, whatever period the wall was
    // read with.
    Wall atPeriod = wall;
    atPeriod.request.period = period;
    if (!wall.element.empty()) {
      entry.result = Frontend::computeWall(atPeriod);
    } else if (auto problem = Engine::computeInto(atPeriod.request, entry.result)) {
      throw Error(Frontend::describeProblem(*problem, atPeriod));
    }
    computed.push_back(std::move(entry));
  }
  return computed;
}

/// "24 h", "168 h", "1.5 h": a cycle length as the report names it.
std::string cycleName(double periodHours, const PlotWords& words) {
  return words(
      "hours",
      {{"value", words.number(periodHours, periodHours == std::floor(periodHours) ? 0 : 2)}});
}

/// The cycle lengths the frequency plots mark: the daily, the 12-day and the report's own.
std::vector<double> markedCycles(double periodHours) {
  std::vector<double> marked = {kDailyHours, kTwelveDayHours};
  if (periodHours != kDailyHours && periodHours != kTwelveDayHours) marked.push_back(periodHours);
  return marked;
}

/// The 48-hour plot of one temperature swing and the heat flows it drives in every wall.
/// `outdoor` picks the swing: outside through Y12, or the room through Y11.
std::string swingPlot(const std::vector<ComputedWall>& walls, double amplitude, double period,
                      bool outdoor, const PlotLayout& size, const PlotWords& words) {
  const double periodHours = period / Engine::kSecondsPerHour;
  // The words of this swing: "response.outdoor.title" or "response.indoor.title", ...
  const std::string side = outdoor ? "response.outdoor." : "response.indoor.";
  LinePlot plot;
  plot.decimalSeparator = words.decimalSeparator();
  plot.title = words(side + "title");
  plot.xAxis = timeAxis(periodHours, words);
  plot.leftAxis = symmetricAxis(words(side + "temperature_axis"));
  plot.rightAxis = symmetricAxis(words(side + "heat_flow_axis"));
  plot.rightAxis->shortLabel = words(side + "heat_flow_axis_short");
  const double peakHour = periodHours;
  plot.guides.push_back({peakHour, words(side + "peak")});

  bool temperatureDrawn = false;
  for (const ComputedWall& wall : walls) {
    const Engine::SwingResponse swing =
        outdoor ? Engine::outdoorSwingResponse(wall.result, period, amplitude,
                                               kResponseCycles * periodHours,
                                               periodHours / responseStepsPerCycle(size))
                : Engine::indoorSwingResponse(wall.result, period, amplitude,
                                              kResponseCycles * periodHours,
                                              periodHours / responseStepsPerCycle(size));
    if (!temperatureDrawn) {
      plot.series.push_back({words(side + "temperature"), swing.hours, swing.temperature,
                             kTemperatureColour, "6 4", false});
      temperatureDrawn = true;
    }
    plot.series.push_back(
        {words("response.wall", {{"wall", wall.wall->name},
                                 {"admittance", outdoor ? "Y12" : "Y11"},
                                 {"value", words.number(swing.heatFlowAmplitude / amplitude, 3)}}),
         swing.hours, swing.heatFlow, wall.colour, wall.dashes, true});
    const std::string delay =
        outdoor ? words("response.outdoor.lag", {{"time", hours(swing.peakDelayHours, words)}})
        : swing.peakDelayHours <= 0.0
            ? words("response.indoor.leads", {{"time", hours(-swing.peakDelayHours, words)}})
            : words("response.indoor.lags", {{"time", hours(swing.peakDelayHours, words)}});
    plot.intervals.push_back(
        {peakHour, peakHour + swing.peakDelayHours,
         words("response.interval", {{"delay", delay}, {"wall", wall.wall->name}}), wall.colour});
  }
  return renderLinePlot(
      plot, size.idPrefix + (outdoor ? "response-outdoor-plot" : "response-indoor-plot"),
      size.width, size.plotAreaHeight);
}

namespace {

std::vector<double> cycleLengths(double periodHours, int samples) {
  std::vector<double> periods =
      Engine::logSpacedHours(std::min(kShortestCycleHours, periodHours),
                             std::max(kLongestCycleHours, periodHours), samples);
  for (const double marked : markedCycles(periodHours)) periods.push_back(marked);
  std::sort(periods.begin(), periods.end());
  return periods;
}

PlotAxis cycleAxis(double periodHours, const PlotWords& words) {
  PlotAxis axis;
  axis.label = words("sweep.cycle_axis");
  axis.logarithmic = true;
  axis.minimum = std::min(kShortestCycleHours, periodHours);
  axis.maximum = std::max(kLongestCycleHours, periodHours);
  for (const double hour : {1.0, 3.0, 6.0, 12.0, 24.0, 48.0, 96.0, 288.0, 720.0}) {
    axis.ticks.push_back({hour, formatNumber(hour, 0)});
  }
  return axis;
}
}  // namespace

SweepPlots sweepPlots(const std::vector<ComputedWall>& walls, double period, const PlotLayout& size,
                      const PlotWords& words) {
  const double periodHours = period / Engine::kSecondsPerHour;
  LinePlot decrement;
  decrement.decimalSeparator = words.decimalSeparator();
  decrement.title = words("sweep.decrement.title");
  decrement.xAxis = cycleAxis(periodHours, words);
  decrement.leftAxis.label = words("sweep.decrement.axis");
  decrement.leftAxis.minimum = 0.0;
  LinePlot lag = decrement;
  lag.title = words("sweep.lag.title");
  lag.leftAxis.label = words("sweep.lag.axis");
  for (LinePlot* plot : {&decrement, &lag}) {
    plot->guides = {{kDailyHours, words("sweep.daily")},
                    {kTwelveDayHours, words("sweep.twelve_days")}};
    if (markedCycles(periodHours).size() > 2) {
      plot->guides.push_back(
          {periodHours, words("sweep.period", {{"period", cycleName(periodHours, words)}})});
    }
  }

  const std::vector<double> periods = cycleLengths(periodHours, cycleSamples(size));
  const std::vector<double> marked = markedCycles(periodHours);
  for (const ComputedWall& wall : walls) {
    // An element's sweep is its parallel-path values at every cycle length, as the results
    // table gives them at the report's.
    const Engine::CycleSweep sweep =
        Engine::sweepCycleLength(wall.wall->request, wall.wall->element.element, periods);
    decrement.series.push_back({wall.wall->name, sweep.periodHours, sweep.decrementFactor,
                                wall.colour, wall.dashes, false});
    lag.series.push_back(
        {wall.wall->name, sweep.periodHours, sweep.timeLagHours, wall.colour, wall.dashes, false});
    for (std::size_t index = 0; index < periods.size(); ++index) {
      if (std::find(marked.begin(), marked.end(), periods[index]) == marked.end()) continue;
      decrement.markers.push_back(
          {periods[index], sweep.decrementFactor[index], wall.colour, false});
      lag.markers.push_back({periods[index], sweep.timeLagHours[index], wall.colour, false});
    }
  }
  return {
      renderLinePlot(decrement, size.idPrefix + "frequency-decrement-plot", size.width,
                     size.plotAreaHeight),
      renderLinePlot(lag, size.idPrefix + "frequency-lag-plot", size.width, size.plotAreaHeight)};
}

namespace {

/// Each wall's section, all to one scale, with its steady profile between the design
/// temperatures when given (none for an element of layers of parts, whose faces hold no one
/// temperature across the area).
std::vector<std::string> drawSections(const std::vector<Wall>& walls, const PlotLayout& size,
                                      const std::optional<DesignTemperatures>& design,
                                      const PlotWords& words) {
  std::vector<std::vector<double>> faceTemperatures(walls.size());
  for (std::size_t index = 0; design && index < walls.size(); ++index) {
    if (Frontend::isElement(walls[index])) continue;
    const auto profile =
        Engine::steadyTemperatureProfile(walls[index].request, design->indoor, design->outdoor);
    if (!profile) {
      throw Error({{"plots.design_temperatures",
                    {{"indoor", Engine::MessageValue::number(formatNumber(design->indoor, 1))},
                     {"outdoor", Engine::MessageValue::number(formatNumber(design->outdoor, 1))}}}},
                  std::string());
    }
    faceTemperatures[index] = profile->temperature;
  }
  // The sections fit the width with their labels, so that they are drawn at the size asked
  // for (a page showing them one SVG pixel on one CSS pixel keeps their labels' size).
  const double room = size.width - sectionLabelWidth(walls, words);
  const double scale =
      sectionScale(walls, std::max(kNarrowestSection, std::min(size.sectionWidth, room)));
  std::vector<std::string> sections;
  for (std::size_t index = 0; index < walls.size(); ++index) {
    sections.push_back(renderWallSection(
        walls[index], size.idPrefix + "section-" + std::to_string(index) + "-drawing", scale,
        size.width, faceTemperatures[index].empty() ? nullptr : &faceTemperatures[index], words));
  }
  return sections;
}

}  // namespace

WallPlots renderWallPlots(const std::vector<Wall>& walls, double period, const PlotLayout& size,
                          const std::optional<DesignTemperatures>& design, const PlotWords& words) {
  if (walls.empty()) throw Error("plots need at least one wall");
  if (!(period >= Engine::kShortestPeriod && period <= Engine::kLongestPeriod)) {
    throw Error("the cycle length of the plots must be from 1 s to 365 days, got " +
                formatNumber(period / Engine::kSecondsPerHour, 2) + " h");
  }
  if (!(size.width > 0.0 && size.plotAreaHeight > 0.0 && size.sectionWidth > 0.0) ||
      !std::isfinite(size.width + size.plotAreaHeight + size.sectionWidth)) {
    throw Error("the plots' width and height must be positive numbers of pixels");
  }
  // Every wall is computed whatever is drawn, so that a wall the engine refuses is refused here.
  const std::vector<ComputedWall> computed = computeWalls(walls, period);
  WallPlots plots;
  if (size.draw.sections) plots.sections = drawSections(walls, size, design, words);
  if (size.draw.responses) {
    plots.outdoorResponse = swingPlot(computed, kPlotSwingAmplitude, period, true, size, words);
    plots.indoorResponse = swingPlot(computed, kPlotSwingAmplitude, period, false, size, words);
  }
  if (size.draw.sweeps) {
    SweepPlots sweeps = sweepPlots(computed, period, size, words);
    plots.decrementSweep = std::move(sweeps.decrement);
    plots.lagSweep = std::move(sweeps.lag);
  }
  return plots;
}

}  // namespace Brusk::Report
