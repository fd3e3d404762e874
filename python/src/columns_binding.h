#pragma once

// Many walls as columns: the NumPy arrays the Python layer has laid out (float64, strides in
// whole doubles, shapes checked) read in place as the engine's ColumnWalls, and compute_many's
// one call of the engine's many-wall entry.

#include <pybind11/pybind11.h>

#include <string>

#include "brusk/engine/many_columns.h"

namespace Brusk::Python {

/// The engine's view of `columns`, a dict of the arrays by their compute_many argument names
/// (thickness ... thermal_resistance as (walls, layers) tables, layer_count ... period_hours as
/// 0-d or (walls,) arrays); an absent name is an input not given. The dict keeps them alive.
[[nodiscard]] Engine::ColumnWalls columnWallsOf(const pybind11::dict& columns,
                                                const std::string& heatFlow);

/// Adds _compute_columns, _column_outputs, _column_threads, _follow_time_lags, MAX_LAYERS and
/// CAPACITY_METHODS to the module.
void registerColumns(pybind11::module_& module);

}  // namespace Brusk::Python
