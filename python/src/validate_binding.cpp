// The validation cases (`brusk validate`) for the Python package.

#include <string>

#include "bindings.h"
#include "brusk/frontend/validation.h"

namespace py = pybind11;

namespace Brusk::Python {

void registerValidate(py::module_& module) {
  module.def(
      "_validate",
      [] {
        py::gil_scoped_release release;
        return Frontend::formatValidationJson(Frontend::runValidation());
      },
      "every built-in validation case run, as `brusk validate --format json` prints it");
}

}  // namespace Brusk::Python
