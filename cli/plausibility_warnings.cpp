#include "plausibility_warnings.h"

#include <ostream>
#include <vector>

#include "brusk/frontend/plausibility.h"
#include "brusk/frontend/text_util.h"

namespace Brusk::Cli {

namespace {

/// The warnings of this run of the program, in the order the walls were read.
std::vector<std::string>& pending() {
  static std::vector<std::string> warnings;
  return warnings;
}

}  // namespace

void warnOfImplausibleValues(const Frontend::Wall& wall, const std::string& file) {
  for (const std::string& warning : Frontend::plausibilityWarnings(wall)) {
    pending().push_back(file + ": " + warning);
  }
}

void printWarnings(std::ostream& out) {
  // Names come from the files: shown inertly, as every message of brusk shows them.
  for (const std::string& warning : pending()) {
    out << "brusk: warning: " << Frontend::visibleText(warning) << '\n';
  }
  pending().clear();
}

}  // namespace Brusk::Cli
