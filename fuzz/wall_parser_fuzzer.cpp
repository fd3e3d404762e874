// libFuzzer target over the wall parser: every input is read as a TOML and as a JSON wall file,
// and each wall that parses is computed and written out in every format. Anything but a
// Brusk::Error escaping, or a sanitizer report, is a finding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/wall_parser.h"
#include "brusk/frontend/wall_result.h"

namespace {

void parseAndCompute(std::string_view text, Brusk::WallFormat format, const char* source) {
  static const Brusk::Catalogue catalogue = Brusk::Catalogue::builtIn();
  try {
    const Brusk::Wall wall = Brusk::parseWallText(text, format, catalogue, source);
    const Brusk::WallResult result = Brusk::computeWallResult(wall, 86400.0);
    std::string out;
    Brusk::appendJson(result, out, Brusk::JsonLayout::Compact);
    Brusk::appendCsvRow(result, out);
    out += Brusk::formatTable({result});
  } catch (const Brusk::Error&) {
    // Refused with a message: the expected outcome for most inputs.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  parseAndCompute(text, Brusk::WallFormat::Toml, "fuzz.toml");
  parseAndCompute(text, Brusk::WallFormat::Json, "fuzz.json");
  return 0;
}
