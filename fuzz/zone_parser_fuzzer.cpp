// libFuzzer target over the zone reader: every input is read as a TOML and as a JSON zone file
// whose wall files are found in fuzz/corpus-zone (the seeds name its walls), and each zone that
// parses is computed and written out in every format. Anything but a Brusk::Frontend::Error
// escaping, or a sanitizer report, is a finding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/zone.h"
#include "brusk/frontend/zone_output.h"

namespace {

namespace Frontend = Brusk::Frontend;

void parseAndCompute(std::string_view text, bool json, const char* source) {
  static const Frontend::Catalogue catalogue = Frontend::Catalogue::builtIn();
  try {
    Frontend::Zone zone =
        Frontend::parseZoneText(text, json, catalogue, source, BRUSK_FUZZ_ZONE_DIRECTORY);
    Brusk::Engine::ZoneResult result = Frontend::computeZone(zone);
    const std::vector<Frontend::ZoneReport> reports{{std::move(zone), std::move(result)}};
    std::string out = Frontend::formatZoneJson(reports);
    out += Frontend::formatZoneCsv(reports);
    out += Frontend::formatZoneTable(reports);
  } catch (const Frontend::Error&) {
    // Refused with a message: the expected outcome for most inputs.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  parseAndCompute(text, false, "fuzz.toml");
  parseAndCompute(text, true, "fuzz.json");
  return 0;
}
