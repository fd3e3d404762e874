#pragma once

// The per-instruction-set many-wall kernels, each in a translation unit of its own built for
// its instruction set. Only many_walls.cpp calls them, after checking that the CPU can.

#include <cstddef>

#include "brusk/engine/many_walls.h"

namespace Brusk::Engine::Detail {

/// Walls [begin, end) of `walls` into `responses`, four per AVX2 register.
void computeWallRangeAvx2(const WallArrays& walls, const ResponseArrays& responses,
                          std::size_t begin, std::size_t end);

/// Walls [begin, end) of `walls` into `responses`, eight per AVX-512 register.
void computeWallRangeAvx512(const WallArrays& walls, const ResponseArrays& responses,
                            std::size_t begin, std::size_t end);

}  // namespace Brusk::Engine::Detail
