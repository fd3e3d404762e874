#pragma once

// The walls the profile response is checked on: light, heavy, insulated on both sides, with an
// unventilated air layer, and a partition.

#include <ostream>
#include <vector>

#include "brusk/engine/layer_properties.h"
#include "brusk/engine/wall.h"

namespace BruskTest {

using Brusk::Engine::ElementPosition;
using Brusk::Engine::LayerProperties;
using Brusk::Engine::WallRequest;

struct ProfileWall {
  const char* name;
  WallRequest request;
};

/// Failure messages name the wall rather than dump its bytes.
inline void PrintTo(const ProfileWall& wall, std::ostream* os) { *os << wall.name; }

inline WallRequest wallOf(std::vector<LayerProperties> layers,
                          ElementPosition position = ElementPosition::External) {
  WallRequest request;
  request.layers = std::move(layers);
  request.position = position;
  return request;
}

inline std::vector<ProfileWall> profileWalls() {
  const auto slab = LayerProperties::slab;
  const LayerProperties concrete20 = slab(0.2, 1.8, 2400, 1000);
  const LayerProperties eps = slab(0.08, 0.035, 20, 1450);
  const LayerProperties brick = slab(0.105, 0.77, 1700, 800);
  const LayerProperties plaster = slab(0.01, 0.4, 1000, 1000);
  return {
      {"light", wallOf({slab(0.0125, 0.25, 900, 1000), slab(0.14, 0.035, 30, 1030),
                        slab(0.015, 0.13, 650, 1700)})},
      {"heavy", wallOf({slab(0.3, 1.8, 2400, 1000)})},
      {"insulated_both_sides", wallOf({eps, concrete20, eps})},
      {"air_layer", wallOf({brick, LayerProperties::pureResistance(0.18), brick})},
      {"partition",
       wallOf({plaster, slab(0.115, 0.5, 1200, 840), plaster}, ElementPosition::Internal)},
  };
}

}  // namespace BruskTest
