#pragma once

// Three walls of different character for the report tests and the documentation screenshot:
// heavy and externally insulated, light and insulated, heavy and uninsulated.
#include <string>
#include <vector>

#include "brusk/frontend/wall.h"

namespace Brusk::Report::Examples {

using Frontend::Wall;

/// A layer of an example wall: its label and its physics.
struct ExampleLayer {
  Frontend::LayerLabel label;
  Engine::LayerProperties properties;
};

inline ExampleLayer slab(std::string name, std::string family, double thickness,
                         double conductivity, double density, double specificHeat) {
  return {{std::move(name), "", std::move(family)},
          Engine::LayerProperties::slab(thickness, conductivity, density, specificHeat)};
}

inline ExampleLayer airLayer(std::string name, double resistance) {
  return {{std::move(name), "", "air"}, Engine::LayerProperties::pureResistance(resistance)};
}

inline Wall wallOf(std::string name, std::vector<ExampleLayer> layers) {
  Wall wall;
  wall.name = std::move(name);
  for (ExampleLayer& layer : layers) wall.addLayer(layer.properties, std::move(layer.label));
  return wall;
}

inline Wall concreteWithExternalInsulation() {
  return wallOf("Concrete 200 mm + EPS 100 mm, rendered",
                {slab("Gypsum plaster", "plaster", 0.015, 0.4, 1000, 1000),
                 slab("Reinforced concrete", "concrete", 0.2, 2.3, 2300, 1000),
                 slab("EPS board", "insulation", 0.1, 0.035, 20, 1450),
                 slab("Mineral render", "plaster", 0.01, 0.87, 1800, 1000)});
}

inline Wall timberFrame() {
  return wallOf("Timber frame, mineral wool 160 mm",
                {slab("Gypsum board", "board", 0.0125, 0.25, 900, 1000),
                 slab("Vapour control layer", "membrane", 0.0002, 0.4, 980, 2200),
                 slab("Mineral wool between studs", "insulation", 0.16, 0.035, 30, 1030),
                 slab("OSB", "board", 0.015, 0.13, 650, 1700), airLayer("Ventilated cavity", 0.13),
                 slab("Larch cladding", "timber", 0.022, 0.13, 600, 1600)});
}

inline Wall solidBrick() {
  return wallOf("Solid brick 365 mm",
                {slab("Lime plaster", "plaster", 0.015, 0.7, 1600, 1000),
                 slab("Solid clay brick", "masonry", 0.365, 0.77, 1800, 1000),
                 slab("Lime-cement render", "plaster", 0.02, 0.87, 1800, 1000)});
}

inline std::vector<Wall> threeWalls() {
  return {concreteWithExternalInsulation(), timberFrame(), solidBrick()};
}

}  // namespace Brusk::Report::Examples
