#pragma once

// The parts of the module brusk._brusk, each registering the functions of one command. The
// module (brusk_module.cpp) holds what they share: the wall objects and the catalogues.

#include <pybind11/pybind11.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "brusk/engine/many_columns.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Python {

/// The wall inside a Python wall object, and the name messages give it.
using WallOf = std::function<std::pair<const Frontend::Wall*, std::string>(pybind11::handle)>;
/// The built-in catalogue with these catalogue files added, as `--materials` adds them.
using CatalogueOf =
    std::function<std::shared_ptr<const Frontend::Catalogue>(const std::vector<std::string>&)>;

/// The engine's view of `columns`, a dict of the arrays by their compute_many argument names
/// (thickness ... thermal_resistance as (walls, layers) tables, layer_count ... period_hours as
/// 0-d or (walls,) arrays), laid out by the Python layer (float64, strides in whole doubles,
/// shapes checked); an absent name is an input not given. The dict keeps them alive.
[[nodiscard]] Engine::ColumnWalls columnWallsOf(const pybind11::dict& columns,
                                                const std::string& heatFlow);

/// compute_many: _compute_columns, _column_outputs, _column_threads, _follow_time_lags,
/// MAX_LAYERS and CAPACITY_METHODS.
void registerColumns(pybind11::module_& module);

/// response_many: _response_many.
void registerResponseMany(pybind11::module_& module);

/// `brusk compute` of an element, `brusk zone` and `brusk response`, each handing Python the
/// JSON text the command prints: _compute_element, _zone_file, _zone_text, _response and
/// _ResponseInputs.
void registerCommands(pybind11::module_& module, WallOf wallOf, CatalogueOf catalogueOf);

/// `brusk moisture`: _moisture (walls, the climate as a file path or, with an empty path, as
/// CSV text and its name, the humidity class (0 for the file's indoor side) and the indoor
/// temperature; returns the JSON `brusk moisture --format json` prints).
void registerMoisture(pybind11::module_& module, WallOf wallOf);

/// `brusk check`: _check (walls, the requirements as a file path or, with an empty path, as
/// TOML text or a built-in key, the cycle length in hours; returns the JSON array
/// `brusk check --format json` prints) and _requirement_sets.
void registerCheck(pybind11::module_& module, WallOf wallOf);

/// `brusk validate`: _validate (no arguments; returns the JSON `brusk validate --format json`
/// prints).
void registerValidate(pybind11::module_& module);
/// brusk.bridge()'s _bridge_file and _bridge_text: a junction's results (JSON) and its
/// temperature field (node lines and node temperatures).
void registerBridge(pybind11::module_& module, CatalogueOf catalogueOf);

}  // namespace Brusk::Python
