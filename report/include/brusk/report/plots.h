#pragma once

#include <optional>
#include <string>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/frontend/wall.h"
#include "brusk/report/plot_words.h"

namespace Brusk::Report {

/// Which of the drawings renderWallPlots() draws: a page redraws only those whose inputs changed
/// (the sections follow the design temperatures, the others the cycle length) and draws the
/// heavier ones after the rest.
struct PlotSelection {
  bool sections = true;   ///< each wall's section
  bool responses = true;  ///< the outdoor and indoor swing responses
  bool sweeps = true;     ///< decrement factor and time lag against the cycle length
};

/// The size the plots are drawn at [px], the report's by default, and the prefix of their
/// element ids. A page that shows them at their own size (one SVG pixel on one CSS pixel) keeps
/// the report's 12 px labels readable; a page that shows two sets gives one a prefix. A drawing
/// narrower than the report's samples its curves as densely per pixel as the report's, so with
/// fewer points.
struct PlotLayout {
  double width = 880.0;           ///< width of each line plot
  double plotAreaHeight = 300.0;  ///< height of a line plot's area, without title and legend
  double sectionWidth = 520.0;    ///< width the thickest wall's section is drawn to
  std::string idPrefix;           ///< put before every element id, e.g. "compare-"
  PlotSelection draw{};           ///< the drawings made; the others are left empty
};

/// Design indoor and outdoor air temperatures [degC] for the steady profile on the sections.
struct DesignTemperatures {
  double indoor = 20.0;
  double outdoor = -5.0;
};

/// The report's drawings of one wall or several compared, each an inline SVG element.
struct WallPlots {
  std::vector<std::string> sections;  ///< each wall's section, all to one scale
  std::string outdoorResponse;        ///< two cycles of an outdoor swing of 1 K and q through Y12
  std::string indoorResponse;         ///< two cycles of an indoor swing of 1 K and q1 through Y11
  std::string decrementSweep;         ///< decrement factor f against the cycle length, every wall
  std::string lagSweep;               ///< time lag against the cycle length, every wall
};

/// Draws the walls' section, swing-response and cycle-length plots at the cycle length `period`
/// [s] with the code and colours of `brusk report` (wall k in the report's k-th colour). Names
/// are escaped. Throws Frontend::Error for no walls, a cycle length outside 1 s to 365 days, a
/// size that is not positive, or a wall that cannot be computed (worded as the report words it).
/// With `design`, each section shows the steady temperatures at its faces between those air
/// temperatures (Engine::steadyTemperatureProfile); the report draws none. Every title, axis,
/// legend, annotation and number is written in `words` (English with a decimal point, as the
/// report writes them, by default).
[[nodiscard]] WallPlots renderWallPlots(const std::vector<Frontend::Wall>& walls, double period,
                                        const PlotLayout& size = {},
                                        const std::optional<DesignTemperatures>& design = {},
                                        const PlotWords& words = PlotWords());

}  // namespace Brusk::Report
