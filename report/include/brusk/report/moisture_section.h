#pragma once

#include <cstddef>
#include <string>

#include "brusk/frontend/moisture.h"
#include "brusk/report/plot_words.h"

namespace Brusk::Report {

/// The month a wall's Glaser diagram shows (0 = January): the month of most condensation, or
/// without condensation the critical month of the surface check, else January.
[[nodiscard]] std::size_t glaserMonth(const Engine::MoistureResult& result);

/// The size the moisture drawings are drawn at [px], the report's by default: a page that shows
/// them at their own size (one SVG pixel on one CSS pixel) keeps the report's 12 px labels.
struct MoisturePlotLayout {
  double width = 880.0;           ///< width of each drawing
  double plotAreaHeight = 280.0;  ///< height of the Glaser diagram's and the profile's plot area
};

/// One wall's moisture drawings, each an inline SVG element with every name escaped.
struct MoisturePlots {
  std::size_t month = 0;     ///< the month drawn (glaserMonth(), 0 = January)
  std::string glaser;        ///< p_sat and p against s_d, the layer faces as guides
  std::string accumulation;  ///< the water held at each month's end [g/m2]
  std::string temperature;   ///< theta and the dew point of p through the depth of the wall
};

/// The drawings of renderMoistureSection(), element ids numbered by `index`; at the default
/// size and in the default words they are the report's, character for character. Throws
/// Frontend::Error for a size that is not a positive number of pixels.
[[nodiscard]] MoisturePlots renderMoisturePlots(const Frontend::MoistureReport& report,
                                                std::size_t index,
                                                const MoisturePlotLayout& size = {},
                                                const PlotWords& words = PlotWords());

/// The section's month-by-month table (HTML): the climate, the water condensed and held, and
/// fRsi,min of each month, its headings, month names and numbers in `words`.
[[nodiscard]] std::string renderMoistureMonthTable(const Frontend::MoistureReport& report,
                                                   const Frontend::Climate& climate,
                                                   const PlotWords& words = PlotWords());

/// One wall's moisture section of the HTML report (ISO 13788): the Glaser diagram of
/// glaserMonth() (saturation and vapour pressure against s_d, the layer faces at their s_d, the
/// tangent construction's line), the year's accumulation as monthly bars, the temperature and
/// dew-point profile through the wall, and the month-by-month table. `index` numbers the
/// section's element ids.
[[nodiscard]] std::string renderMoistureSection(const Frontend::MoistureReport& report,
                                                const Frontend::Climate& climate,
                                                std::size_t index);

}  // namespace Brusk::Report
