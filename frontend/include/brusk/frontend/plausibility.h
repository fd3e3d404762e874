#pragma once

// Numbers no building material has: the likely slips of units (millimetres typed as metres,
// mW/(m.K) as W/(m.K), kJ/(kg.K) as J/(kg.K)), which the reader takes, being positive and finite,
// and which give a wall of another world without a word. The front ends warn of them and go on.

#include <string>
#include <vector>

#include "brusk/frontend/wall.h"

namespace Brusk::Frontend {

/// The ranges outside which no building material lies, from the tables of design values (ISO
/// 10456; EN 1745 for masonry; metals from their handbooks).
namespace PlausibleRange {
/// Thicker than any building layer [m]: the thickest solid masonry walls are about a metre.
inline constexpr double kThickestLayer = 2.0;
/// Conductivity [W/(m.K)]: vacuum insulation panels (about 0.004) to copper (about 380).
inline constexpr double kLowestConductivity = 0.002;
inline constexpr double kHighestConductivity = 400.0;
/// More than any stone conducts (quartzite, about 6): only metals do, and they are heavy.
inline constexpr double kMetalConductivity = 10.0;
/// Lighter than any metal and than any stone [kg/m3]: with a metal's conductivity, a slip.
inline constexpr double kLightestMetal = 1000.0;
/// Density [kg/m3]: the lightest insulation boards (about 10) to lead (about 11 340).
inline constexpr double kLowestDensity = 5.0;
inline constexpr double kHighestDensity = 12000.0;
/// Specific heat [J/(kg.K)]: lead (about 130) to water (about 4190).
inline constexpr double kLowestSpecificHeat = 100.0;
inline constexpr double kHighestSpecificHeat = 5000.0;
}  // namespace PlausibleRange

/// One sentence per layer or part of `wall` whose thickness, conductivity, density or specific
/// heat lies outside the range of building materials (PlausibleRange), naming the layer (and the
/// part), the value, the range and the likely slip with the value it would then be: `layer 1
/// ("Concrete"): thickness 12.5 m is more than any building layer (at most 2 m); was it given in
/// cm (0.125 m) or mm (0.0125 m)?`. Empty for a wall of building materials. Names are as the file
/// writes them; a caller printing to a terminal shows them through visibleText().
[[nodiscard]] std::vector<std::string> plausibilityWarnings(const Wall& wall);

}  // namespace Brusk::Frontend
