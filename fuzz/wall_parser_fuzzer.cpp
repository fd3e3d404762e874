// libFuzzer target over the wall parser: every input is read as a TOML and as a JSON wall file,
// and each wall that parses is computed and written out in every format. Anything but a
// Brusk::Frontend::Error escaping, or a sanitizer report, is a finding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/wall_parser.h"

namespace {

namespace Frontend = Brusk::Frontend;

void parseAndCompute(std::string_view text, Frontend::WallFormat format, const char* source) {
  static const Frontend::Catalogue catalogue = Frontend::Catalogue::builtIn();
  try {
    const Frontend::Wall wall = Frontend::parseWallText(text, format, catalogue, source);
    const Brusk::Engine::WallResult result = Frontend::computeWall(wall);
    std::string out;
    Frontend::appendJson(wall.name, result, out, Frontend::JsonLayout::Compact);
    Frontend::appendCsvRow(wall.name, result, out);
    out += Frontend::formatTable({{wall.name, result}});
  } catch (const Frontend::Error&) {
    // Refused with a message: the expected outcome for most inputs.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  parseAndCompute(text, Frontend::WallFormat::Toml, "fuzz.toml");
  parseAndCompute(text, Frontend::WallFormat::Json, "fuzz.json");
  return 0;
}
