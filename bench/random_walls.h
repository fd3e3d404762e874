#pragma once

#include <cstddef>
#include <vector>

#include "brusk/engine/layer_properties.h"
#include "brusk/engine/periodic_response.h"

namespace Brusk::Bench {

/// A pool of walls of one layer count, stored back to back so that the benchmarks read memory
/// the way a batch run does rather than timing one wall that sits in registers.
struct WallPool {
  std::size_t layersPerWall = 0;
  std::vector<Engine::LayerProperties> layers;      ///< wallCount() x layersPerWall, side 1 first
  std::vector<Engine::ElementBoundary> boundaries;  ///< one per wall

  [[nodiscard]] std::size_t wallCount() const { return boundaries.size(); }
  [[nodiscard]] const Engine::LayerProperties* wall(std::size_t index) const {
    return layers.data() + index * layersPerWall;
  }
};

/// `wallCount` seeded random walls of realistic building layers (every eighth layer an air gap),
/// the same for every run so that figures compare across runs.
[[nodiscard]] WallPool makeWallPool(std::size_t layersPerWall, std::size_t wallCount);

}  // namespace Brusk::Bench
