// libFuzzer target over the requirements reader: every input is read as a requirements file,
// and each set that parses is evaluated for a concrete wall and written in every format.
// Anything but a Brusk::Frontend::Error escaping, or a sanitizer report, is a finding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/requirements.h"
#include "brusk/frontend/wall_parser.h"

namespace {

namespace Frontend = Brusk::Frontend;

const Frontend::Wall& wall() {
  static const Frontend::Wall concrete = Frontend::parseWallText(
      "orientation = \"S\"\nsite_irradiance = 300\n[[layers]]\nmaterial = "
      "\"concrete-reinforced\"\nthickness = 0.2\n",
      Frontend::WallFormat::Toml, Frontend::Catalogue::builtIn(), "wall.toml");
  return concrete;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const Brusk::Engine::RequirementSet set = Frontend::parseRequirementsText(text, "fuzz.toml");
    const std::vector<Frontend::WallCheck> checks{Frontend::checkWall(wall(), set)};
    std::string out = Frontend::formatCheckJson(checks);
    out += Frontend::formatCheckCsv(checks);
    out += Frontend::formatCheckTable(checks);
  } catch (const Frontend::Error&) {
    // Refused with a message: the expected outcome for most inputs.
  }
  return 0;
}
