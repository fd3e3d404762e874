#pragma once

// The moisture assessment (ISO 13788) for the Python package, registered from the module.

#include <functional>
#include <string>
#include <utility>

#include <pybind11/pybind11.h>

#include "brusk/frontend/wall.h"

namespace Brusk::Python {

/// The wall inside a Python wall object, and the name messages give it.
using WallOf = std::function<std::pair<const Frontend::Wall*, std::string>(pybind11::handle)>;

/// Adds `_moisture` to the module: walls (a list of wall objects `wallOf` unwraps), the climate
/// as a file path, or (with an empty path) as CSV text and its name, the humidity class (0 for
/// the file's indoor side) and the indoor temperature; returns the JSON text
/// `brusk moisture --format json` prints for them (an object for one wall, else an array).
void registerMoisture(pybind11::module_& module, WallOf wallOf);

}  // namespace Brusk::Python
