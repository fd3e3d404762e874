// The zone, profile and climate fuzz targets' seeds and kept findings (fuzz/corpus-zone,
// fuzz/corpus-profile, fuzz/corpus-climate, fuzz/regressions/zone-*, profile-* and climate-*),
// replayed through the steps of their target: each input must give a result or a
// Brusk::Frontend::Error, nothing else.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/moisture.h"
#include "brusk/frontend/profile_reader.h"
#include "brusk/frontend/profile_response.h"
#include "brusk/frontend/wall_parser.h"
#include "brusk/frontend/zone.h"
#include "brusk/frontend/zone_output.h"

namespace {

namespace Frontend = Brusk::Frontend;
namespace fs = std::filesystem;

const fs::path kFuzz = fs::path(BRUSK_SOURCE_DIR) / "fuzz";

const Frontend::Catalogue& catalogue() {
  static const Frontend::Catalogue builtIn = Frontend::Catalogue::builtIn();
  return builtIn;
}

/// True when the zone reads and computes; false when refused with a message.
bool replayZone(const std::string& text) {
  bool computed = false;
  for (const bool json : {false, true}) {
    try {
      Frontend::Zone zone = Frontend::parseZoneText(text, json, catalogue(), "fuzz.toml",
                                                    (kFuzz / "corpus-zone").string());
      Brusk::Engine::ZoneResult result = Frontend::computeZone(zone);
      const std::vector<Frontend::ZoneReport> reports{{std::move(zone), std::move(result)}};
      EXPECT_FALSE(Frontend::formatZoneJson(reports).empty());
      EXPECT_FALSE(Frontend::formatZoneCsv(reports).empty());
      EXPECT_FALSE(Frontend::formatZoneTable(reports).empty());
      computed = true;
    } catch (const Frontend::Error&) {
    }
  }
  return computed;
}

/// True when the profile reads and its response computes; false when refused with a message.
bool replayProfile(const std::string& text) {
  try {
    static const Frontend::Wall wall = Frontend::parseWallText(
        "name = \"fuzz\"\n[[layers]]\nmaterial = \"concrete-high-density\"\nthickness = 0.2\n",
        Frontend::WallFormat::Toml, catalogue(), "fuzz-wall.toml");
    const Frontend::Profile profile = Frontend::parseProfileText(text, "fuzz.csv");
    const double periodHours = profile.periodHours().value_or(24.0);
    Frontend::requirePeriodHours(periodHours);
    Brusk::Engine::ProfileRequest request;
    request.wall.period = periodHours * Brusk::Engine::kSecondsPerHour;
    request.outdoor = profile.values;
    request.indoor = {20.0};
    Frontend::NamedProfileResponse named;
    named.name = "fuzz";
    named.response = Frontend::computeWallProfile(wall, request, {"w", "i", "o"});
    named.summary = Brusk::Engine::summarizeProfileResponse(named.response);
    EXPECT_FALSE(Frontend::formatProfileJson(named).empty());
    EXPECT_FALSE(Frontend::formatProfileCsv(named).empty());
    return true;
  } catch (const Frontend::Error&) {
    return false;
  }
}

/// True when the climate reads (with its own indoor side or with a humidity class) and a wall
/// that condenses is assessed under it; false when refused with a message.
bool replayClimate(const std::string& text) {
  static const Frontend::Wall wall = Frontend::parseWallText(
      "name = \"fuzz\"\n[[layers]]\nmaterial = \"board-gypsum\"\nthickness = 0.0125\n"
      "[[layers]]\nmaterial = \"insulation-mineral-wool\"\nthickness = 0.1\n"
      "[[layers]]\nmaterial = \"brick-solid\"\nthickness = 0.24\n",
      Frontend::WallFormat::Toml, catalogue(), "fuzz-wall.toml");
  bool assessed = false;
  for (const int humidityClass : {0, 3}) {
    try {
      const Frontend::Climate climate =
          Frontend::parseClimateCsv(text, "fuzz.csv", humidityClass, 20.0);
      const std::vector<Frontend::MoistureReport> reports{
          Frontend::assessMoisture(wall, climate, "fuzz-wall.toml")};
      EXPECT_FALSE(Frontend::formatMoistureJson(reports, climate).empty());
      EXPECT_FALSE(Frontend::formatMoistureCsv(reports).empty());
      EXPECT_FALSE(Frontend::formatMoistureTable(reports, climate).empty());
      assessed = true;
    } catch (const Frontend::Error&) {
    }
  }
  return assessed;
}

struct Replay {
  const char* name;
  fs::path folder;
  const char* prefix;  ///< of the files replayed; "" for all
  std::function<bool(const std::string&)> replay;
  std::size_t leastComputed;  ///< the seeds that must compute
};

std::ostream& operator<<(std::ostream& out, const Replay& replay) { return out << replay.name; }

class FuzzReplayTest : public testing::TestWithParam<Replay> {};

TEST_P(FuzzReplayTest, EveryInputGivesAResultOrAMessage) {
  const Replay& replay = GetParam();
  std::size_t replayed = 0, computed = 0;
  for (const auto& entry : fs::directory_iterator(replay.folder)) {
    const std::string file = entry.path().filename().string();
    if (!entry.is_regular_file() || file.rfind(replay.prefix, 0) != 0 || file == "README.md") {
      continue;
    }
    std::ifstream stream(entry.path(), std::ios::binary);
    std::stringstream content;
    content << stream.rdbuf();
    SCOPED_TRACE(file);
    computed += replay.replay(content.str()) ? 1u : 0u;
    ++replayed;
  }
  EXPECT_GE(computed, replay.leastComputed) << "of " << replayed << " inputs";
  RecordProperty("replayed", static_cast<int>(replayed));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, FuzzReplayTest,
    testing::Values(
        // The seed zones name the walls beside them: all three compute.
        Replay{"zone_seeds", kFuzz / "corpus-zone", "", replayZone, 3},
        Replay{"zone_findings", kFuzz / "regressions", "zone-", replayZone, 0},
        // The three example profiles compute; the hostile seeds are refused.
        Replay{"profile_seeds", kFuzz / "corpus-profile", "", replayProfile, 3},
        Replay{"profile_findings", kFuzz / "regressions", "profile-", replayProfile, 0},
        // The climates read as written or, with a class, from their outdoor columns: all but
        // the one of decimal commas assess.
        Replay{"climate_seeds", kFuzz / "corpus-climate", "", replayClimate, 6},
        Replay{"climate_findings", kFuzz / "regressions", "climate-", replayClimate, 0}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
