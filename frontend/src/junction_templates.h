#pragma once

// Internal: junctions generated from wall sections (corner, T-junction, floor slab, window
// reveal), with the cut-off distances of ISO 10211:2017 5.2.2.

#include <optional>
#include <string>
#include <vector>

#include "brusk/frontend/junction.h"

namespace Brusk::Frontend::Detail {

/// The template types, in the order the reader lists them.
[[nodiscard]] const std::vector<std::string>& junctionTypes();

/// What a template needs besides its walls; a dimension not given takes the documented default.
struct TemplateInputs {
  std::string type;
  std::vector<SectionWall> walls;       ///< as many as the type takes (wallCount())
  std::string dimensions = "internal";  ///< "internal" or "external": the flanking lengths
  double indoorTemperature = 20.0, outdoorTemperature = 0.0;
  std::optional<double> slabIntoWall, edgeInsulationThickness, edgeInsulationConductivity;
  std::optional<double> frameWidth, frameDepth, frameConductivity, frameOffset;
};

/// How many walls a type takes: corner 1 or 2, t-junction 2, floor-slab 2, window-reveal 1.
[[nodiscard]] std::size_t leastWalls(const std::string& type);
[[nodiscard]] std::size_t mostWalls(const std::string& type);

/// ISO 10211:2017 5.2.2: a cut-off plane at least 1 m from the central element and at least
/// three times the flanking element's thickness [m].
[[nodiscard]] double cutOffDistance(double thickness);

/// Generates the regions, environments, boundaries and flanking elements into `junction`, or
/// returns why the dimensions do not fit the walls (the key and the reason).
struct TemplateProblem {
  std::string key;
  std::string reason;
};
[[nodiscard]] std::optional<TemplateProblem> generateJunction(const TemplateInputs& inputs,
                                                              Junction& junction);

}  // namespace Brusk::Frontend::Detail
