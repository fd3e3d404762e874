#include "brusk/frontend/plausibility.h"

#include <cstdio>
#include <optional>

#include "brusk/frontend/bridged_wall.h"
#include "brusk/frontend/wall_schema.h"

namespace Brusk::Frontend {

namespace {

namespace Range = PlausibleRange;

std::string numberText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

/// A slab's material properties, of a layer or of one part of a layer of parts.
struct Material {
  double conductivity = 0.0;  ///< lambda [W/(m.K)]
  double density = 0.0;       ///< rho [kg/m3]
  double specificHeat = 0.0;  ///< c [J/(kg.K)]
};

/// "was it given in mm (0.0125 m)?": the value the slip of `unit` would have meant, `factor`
/// times the number given, in `si`.
std::string slip(const char* unit, double value, double factor, const char* si) {
  return std::string("was it given in ") + unit + " (" + numberText(value * factor) + " " + si +
         ")?";
}

std::optional<std::string> thicknessWarning(double thickness) {
  if (!(thickness > Range::kThickestLayer)) return std::nullopt;
  // Centimetres are the likelier slip while they give a building layer; millimetres always may.
  const bool centimetres = thickness / 100.0 <= Range::kThickestLayer;
  return "thickness " + numberText(thickness) + " m is more than any building layer (at most " +
         numberText(Range::kThickestLayer) + " m); was it given in " +
         (centimetres ? "cm (" + numberText(thickness / 100.0) + " m) or " : std::string()) +
         "mm (" + numberText(thickness / 1000.0) + " m)?";
}

std::vector<std::string> materialWarnings(const Material& material) {
  std::vector<std::string> warnings;
  const double lambda = material.conductivity;
  if (lambda > Range::kHighestConductivity) {
    warnings.push_back("conductivity " + numberText(lambda) +
                       " W/(m.K) is more than any building material's (copper: about 380); " +
                       slip("mW/(m.K)", lambda, 1e-3, "W/(m.K)"));
  } else if (lambda > Range::kMetalConductivity && material.density < Range::kLightestMetal) {
    warnings.push_back("conductivity " + numberText(lambda) +
                       " W/(m.K) is a metal's, but the density " + numberText(material.density) +
                       " kg/m3 is far below any metal's; " +
                       slip("mW/(m.K)", lambda, 1e-3, "W/(m.K)"));
  } else if (lambda > 0.0 && lambda < Range::kLowestConductivity) {
    warnings.push_back("conductivity " + numberText(lambda) +
                       " W/(m.K) is less than any building material's (vacuum insulation "
                       "panels: about 0.004); " +
                       slip("kW/(m.K)", lambda, 1e3, "W/(m.K)"));
  }
  const double rho = material.density;
  if (rho > 0.0 && rho < Range::kLowestDensity) {
    warnings.push_back("density " + numberText(rho) +
                       " kg/m3 is less than any building material's (the lightest insulation: "
                       "about 10); " +
                       slip("t/m3 or g/cm3", rho, 1e3, "kg/m3"));
  } else if (rho > Range::kHighestDensity) {
    warnings.push_back("density " + numberText(rho) +
                       " kg/m3 is more than any building material's (lead: about 11340); "
                       "check its unit");
  }
  const double c = material.specificHeat;
  if (c > 0.0 && c < Range::kLowestSpecificHeat) {
    warnings.push_back("specific_heat " + numberText(c) +
                       " J/(kg.K) is less than any building material's (lead: about 130); " +
                       slip("kJ/(kg.K)", c, 1e3, "J/(kg.K)"));
  } else if (c > Range::kHighestSpecificHeat) {
    warnings.push_back("specific_heat " + numberText(c) +
                       " J/(kg.K) is more than any building material's (water: about 4190); "
                       "check its unit");
  }
  return warnings;
}

/// "layer 2" or `layer 2 ("EPS board")`: the name where the file gives one.
std::string layerName(const Wall& wall, std::size_t layer) {
  std::string text = "layer " + std::to_string(layer + 1);
  if (layer < wall.labels.size() && !wall.labels[layer].name.empty() &&
      wall.labels[layer].name != Schema::defaultLayerName(layer)) {
    text += " (\"" + wall.labels[layer].name + "\")";
  }
  return text;
}

/// The parts of layer `layer` when it is a layer of parts, else none.
const Engine::BridgedLayer* bridgedLayer(const Wall& wall, std::size_t layer) {
  for (const Engine::BridgedLayer& bridged : wall.element.element.bridged) {
    if (bridged.layer == layer) return &bridged;
  }
  return nullptr;
}

}  // namespace

std::vector<std::string> plausibilityWarnings(const Wall& wall) {
  std::vector<std::string> warnings;
  for (std::size_t k = 0; k < wall.request.layers.size(); ++k) {
    const Engine::LayerProperties& layer = wall.request.layers[k];
    if (layer.isPureResistance()) continue;  // an air layer or a given resistance
    const std::string name = layerName(wall, k);
    if (std::optional<std::string> thick = thicknessWarning(layer.thickness)) {
      warnings.push_back(name + ": " + *thick);
    }
    // A layer of parts holds the parts' mean in the request: each part is judged instead.
    if (const Engine::BridgedLayer* bridged = bridgedLayer(wall, k)) {
      for (std::size_t p = 0; p < bridged->parts.size(); ++p) {
        const Engine::LayerPart& part = bridged->parts[p];
        for (const std::string& warning :
             materialWarnings({part.conductivity, part.density, part.specificHeat})) {
          warnings.push_back(name + ": " + partLabel(wall, k, p) + ": " + warning);
        }
      }
      continue;
    }
    for (const std::string& warning :
         materialWarnings({layer.conductivity, layer.density, layer.specificHeat})) {
      warnings.push_back(name + ": " + warning);
    }
  }
  return warnings;
}

}  // namespace Brusk::Frontend
