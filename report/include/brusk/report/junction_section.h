#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "brusk/frontend/junction.h"
#include "brusk/report/plot_words.h"

namespace Brusk::Report {

/// Spacing of the isotherms [K] for environments from `coldest` to `warmest` [degC]: 1 K for
/// the usual 20 K between indoors and outdoors, and a step of 1, 2 or 5 times a power of ten
/// that gives at most 25 lines for any other span.
[[nodiscard]] double isothermStep(double coldest, double warmest);

/// The colour [#rrggbb] of a temperature at `share` of the way from the coldest environment (0,
/// blue) to the warmest (1, red), through pale yellow; outside [0, 1] the ends.
[[nodiscard]] std::string temperatureColour(double share);

/// The isotherm levels drawn [degC]: every multiple of isothermStep() strictly between the
/// coldest and the warmest environment.
[[nodiscard]] std::vector<double> isothermLevels(double coldest, double warmest);

/// A junction's two drawings, each an inline SVG element 430 px wide with every name escaped.
struct JunctionDrawings {
  /// The regions in their families' colours, each surface in its environment's colour, and a
  /// key of the environments.
  std::string section;
  /// The temperature field as colour bands with isotherms, the coldest indoor surface point and
  /// the probes marked, over a colour key.
  std::string field;
};

/// The drawings of renderJunctionSection(), element ids numbered by `index`, in `words` (the
/// report's English with a decimal point unless a caller gives others).
[[nodiscard]] JunctionDrawings renderJunctionDrawings(const Frontend::JunctionReport& report,
                                                      std::size_t index,
                                                      const PlotWords& words = {});

/// One junction's section of the HTML report: the section as drawn (regions in their families'
/// colours, each surface in the colour of the environment it faces), the temperature field as
/// colour bands with isotherms and the point of the lowest indoor surface temperature, the
/// materials, and the results with labels and units from the quantity description. `index`
/// numbers the section's element ids; every name from the file is escaped.
[[nodiscard]] std::string renderJunctionSection(const Frontend::JunctionReport& report,
                                                std::size_t index);

}  // namespace Brusk::Report
