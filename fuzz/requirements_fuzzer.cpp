// libFuzzer target over the requirements reader: every input is read as a requirements file,
// and each set that parses is evaluated for a concrete wall, without a climate and under one
// (the moisture results), and written in every format.
// Anything but a Brusk::Frontend::Error escaping, or a sanitizer report, is a finding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/moisture.h"
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

/// A year of the temperate example's kind: the moisture results a rule may test.
const Frontend::Climate& climate() {
  static const Frontend::Climate year = Frontend::parseClimateCsv(
      "month,outdoor_temperature,outdoor_relative_humidity,indoor_temperature,"
      "indoor_relative_humidity\n1,-1.0,88,20,50\n2,0.3,87,20,50\n3,3.7,84,20,50\n"
      "4,8.5,79,20,50\n5,13.2,74,20,50\n6,16.7,71,20,50\n7,18.0,70,20,50\n8,16.7,71,20,50\n"
      "9,13.3,74,20,50\n10,8.5,79,20,50\n11,3.7,84,20,50\n12,0.3,87,20,50\n",
      "climate.csv");
  return year;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const Brusk::Engine::RequirementSet set = Frontend::parseRequirementsText(text, "fuzz.toml");
    const std::vector<Frontend::WallCheck> checks{Frontend::checkWall(wall(), set),
                                                  Frontend::checkWall(wall(), set, &climate())};
    (void)Frontend::overallVerdict(checks);
    std::string out = Frontend::formatCheckJson(checks);
    out += Frontend::formatCheckCsv(checks);
    out += Frontend::formatCheckTable(checks);
  } catch (const Frontend::Error&) {
    // Refused with a message: the expected outcome for most inputs.
  }
  return 0;
}
