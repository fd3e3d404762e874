#pragma once

// Requirement checks for the Python package, registered from the module.

#include <pybind11/pybind11.h>

#include "moisture_binding.h"

namespace Brusk::Python {

/// Adds `_check` (walls the unwrapper reads, the requirements as a file path or, with an empty
/// path, as TOML text or a built-in key, the cycle length in hours; returns the JSON array
/// `brusk check --format json` prints) and `_requirement_sets` (the JSON of `brusk check --list
/// --format json`).
void registerCheck(pybind11::module_& module, WallOf wallOf);

}  // namespace Brusk::Python
