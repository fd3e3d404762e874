#pragma once

#include <string>
#include <vector>

#include "brusk/frontend/wall.h"
#include "brusk/report/plot_words.h"

namespace Brusk::Report {

/// Width [px] every layer that holds no thickness (an air layer) or is thinner than that would
/// be drawn is given, so that it stays visible; the drawing says so.
inline constexpr double kMinimumLayerWidth = 8.0;

/// Fill colour of a material family; unknown families share the "other" grey.
[[nodiscard]] std::string familyColour(const std::string& family);

/// Width [px] a section drawing of any of `walls` needs besides its layers: the margin on the
/// inner side, the leaders and the widest layer name or thickness (labels on two lines, as a
/// drawing narrower than the report's puts them), written in `words`.
[[nodiscard]] double sectionLabelWidth(const std::vector<Frontend::Wall>& walls,
                                       const PlotWords& words = PlotWords());

/// One scale for all the sections of a report [px/m], so that walls compare by eye: the
/// thickest wall fills `maximumWidth` pixels.
[[nodiscard]] double sectionScale(const std::vector<Frontend::Wall>& walls, double maximumWidth);

/// Width [px] of a section drawing of the report: wider only when its labels need it.
inline constexpr double kSectionDrawingWidth = 880.0;

/// The section of `wall` drawn to `pixelsPerMetre`, inner face on the left, each layer filled by
/// family and labelled with its name and thickness (R for a pure resistance), in a drawing
/// `drawingWidth` wide or as wide as its labels need; a drawing narrower than the report's whose
/// labels do not fit on one line puts each thickness under its name. With `faceTemperatures`
/// (theta_si, each interface, theta_se [degC]) the steady temperature profile is drawn across
/// the section, each face labelled. Every word and number is written in `words`.
[[nodiscard]] std::string renderWallSection(const Frontend::Wall& wall, const std::string& id,
                                            double pixelsPerMetre,
                                            double drawingWidth = kSectionDrawingWidth,
                                            const std::vector<double>* faceTemperatures = nullptr,
                                            const PlotWords& words = PlotWords());

}  // namespace Brusk::Report
