#pragma once

// response_many(): many walls' periodic response to one pair of profiles, for the module.

#include <pybind11/pybind11.h>

namespace Brusk::Python {

/// Adds _response_many to the module.
void registerResponseBinding(pybind11::module_& module);

}  // namespace Brusk::Python
