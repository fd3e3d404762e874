#include "random_walls.h"

#include <random>

namespace Brusk::Bench {

WallPool makeWallPool(std::size_t layersPerWall, std::size_t wallCount) {
  // Fixed seed: the same walls in every run, so the work per wall does not drift.
  std::mt19937_64 random(20240611u + layersPerWall);
  std::uniform_real_distribution<double> thickness(0.005, 0.4), conductivity(0.03, 2.5),
      density(20.0, 2800.0), specificHeat(800.0, 2000.0), surfaceResistance(0.04, 0.17),
      airGap(0.11, 0.23);
  std::uniform_int_distribution<int> layerKind(0, 7);

  WallPool pool;
  pool.layersPerWall = layersPerWall;
  pool.layers.reserve(layersPerWall * wallCount);
  pool.boundaries.reserve(wallCount);
  for (std::size_t wall = 0; wall < wallCount; ++wall) {
    for (std::size_t layer = 0; layer < layersPerWall; ++layer) {
      // The first layer is always a slab: a wall is never only air.
      if (layer > 0 && layerKind(random) == 0) {
        pool.layers.push_back(Engine::LayerProperties::pureResistance(airGap(random)));
      } else {
        pool.layers.push_back(Engine::LayerProperties::slab(thickness(random), conductivity(random),
                                                            density(random), specificHeat(random)));
      }
    }
    pool.boundaries.push_back(Engine::ElementBoundary{surfaceResistance(random),
                                                      surfaceResistance(random), wall % 4 == 0});
  }
  return pool;
}

}  // namespace Brusk::Bench
