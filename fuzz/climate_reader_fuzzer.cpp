// libFuzzer target over the monthly climate CSV reader: every input is read as a climate, once
// with its own indoor side and once with a humidity class, and each climate that parses is the
// boundary of a fixed wall's moisture assessment (condensation inside it likely), written out in
// every format. Anything but a Brusk::Frontend::Error escaping, or a sanitizer report, is a
// finding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/moisture.h"
#include "brusk/frontend/wall_parser.h"

namespace {

namespace Frontend = Brusk::Frontend;

/// Internal insulation without a vapour barrier on brick: a wall that condenses in a cold
/// month, so that the accumulation and drying paths are taken.
const Frontend::Wall& fixedWall() {
  static const Frontend::Wall wall = Frontend::parseWallText(
      "name = \"fuzz\"\n[[layers]]\nmaterial = \"board-gypsum\"\nthickness = 0.0125\n"
      "[[layers]]\nmaterial = \"insulation-mineral-wool\"\nthickness = 0.1\n"
      "[[layers]]\nmaterial = \"brick-solid\"\nthickness = 0.24\n",
      Frontend::WallFormat::Toml, Frontend::Catalogue::builtIn(), "fuzz-wall.toml");
  return wall;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const int humidityClass : {0, 3}) {
    try {
      const Frontend::Climate climate =
          Frontend::parseClimateCsv(text, "fuzz.csv", humidityClass, 20.0);
      const std::vector<Frontend::MoistureReport> reports{
          Frontend::assessMoisture(fixedWall(), climate, "fuzz-wall.toml")};
      std::string out = Frontend::formatMoistureJson(reports, climate);
      out += Frontend::formatMoistureCsv(reports);
      out += Frontend::formatMoistureTable(reports, climate);
    } catch (const Frontend::Error&) {
      // Refused with a message: the expected outcome for most inputs.
    }
  }
  return 0;
}
