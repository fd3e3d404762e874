// libFuzzer target over the profile CSV reader: every input is read as a profile, and each
// profile that parses is the outdoor temperature of a response of a fixed wall, computed and
// written out in every format. Anything but a Brusk::Frontend::Error escaping, or a sanitizer
// report, is a finding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "brusk/engine/constants.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/profile_reader.h"
#include "brusk/frontend/profile_response.h"
#include "brusk/frontend/wall_parser.h"

namespace {

namespace Frontend = Brusk::Frontend;

const Frontend::Wall& fixedWall() {
  static const Frontend::Wall wall = Frontend::parseWallText(
      "name = \"fuzz\"\n[[layers]]\nmaterial = \"concrete-high-density\"\nthickness = 0.2\n",
      Frontend::WallFormat::Toml, Frontend::Catalogue::builtIn(), "fuzz-wall.toml");
  return wall;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const Frontend::Profile profile = Frontend::parseProfileText(text, "fuzz.csv");
    const double periodHours = profile.periodHours().value_or(24.0);
    Frontend::requirePeriodHours(periodHours);
    Brusk::Engine::ProfileRequest request;
    request.wall.period = periodHours * Brusk::Engine::kSecondsPerHour;
    request.outdoor = profile.values;
    request.indoor = {20.0};
    Frontend::NamedProfileResponse named;
    named.name = "fuzz";
    named.startHours = profile.startHours.value_or(0.0);
    named.response =
        Frontend::computeWallProfile(fixedWall(), request, {"fuzz-wall.toml", "20", "fuzz.csv"});
    named.summary = Brusk::Engine::summarizeProfileResponse(named.response);
    std::string out = Frontend::formatProfileJson(named);
    out += Frontend::formatProfileCsv(named);
    out += Frontend::formatProfileTable(named);
  } catch (const Frontend::Error&) {
    // Refused with a message: the expected outcome for most inputs.
  }
  return 0;
}
