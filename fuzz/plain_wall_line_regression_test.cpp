// The plain-line fuzzer's check in the normal test build: its seeds and every input the fuzzers
// kept (fuzz/regressions) are replayed, and the check itself must see each kind of difference.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "brusk/frontend/catalogue.h"
#include "fast_wall_line.h"
#include "plain_wall_line_check.h"

namespace {

const Brusk::Catalogue& catalogue() {
  static const Brusk::Catalogue builtIn = Brusk::Catalogue::builtIn();
  return builtIn;
}

/// The files of fuzz/`folder` but its README, each with its contents.
std::vector<std::pair<std::filesystem::path, std::string>> fuzzFiles(const char* folder) {
  std::vector<std::pair<std::filesystem::path, std::string>> files;
  const std::filesystem::path path = std::filesystem::path(BRUSK_SOURCE_DIR) / "fuzz" / folder;
  for (const auto& entry : std::filesystem::directory_iterator(path)) {
    if (!entry.is_regular_file() || entry.path().filename() == "README.md") continue;
    std::ifstream stream(entry.path(), std::ios::binary);
    std::stringstream content;
    content << stream.rdbuf();
    files.emplace_back(entry.path(), content.str());
  }
  return files;
}

TEST(PlainWallLineFuzz, KeptInputsLeaveTheReadersAgreeing) {
  for (const char* folder : {"regressions", "corpus-plain"}) {
    for (const auto& [path, content] : fuzzFiles(folder)) {
      EXPECT_EQ("", BruskFuzz::plainWallLineDisagreement(content, catalogue())) << path;
    }
  }
}

TEST(PlainWallLineFuzz, SeedsAreAllPlainLines) {
  // A seed the fast path refuses never reaches the comparison: fuzzing would start from nothing.
  const auto seeds = fuzzFiles("corpus-plain");
  EXPECT_GE(seeds.size(), 5u);
  for (const auto& [path, content] : seeds) {
    Brusk::Wall wall;
    EXPECT_TRUE(Brusk::Batch::readPlainWallLine(content, catalogue(), 1, wall)) << path;
  }
}

TEST(PlainWallLineFuzz, CheckSeesEveryFieldThatDiffers) {
  Brusk::Wall base;
  base.name = "w";
  base.layers.resize(2);
  base.layers[1].name = "EPS";
  base.layers[1].properties = Brusk::Engine::LayerProperties::slab(0.1, 0.035, 20, 1450);
  EXPECT_EQ("", BruskFuzz::wallDifference(base, base));

  using Change = void (*)(Brusk::Wall&);
  const std::vector<std::pair<const char*, Change>> changes = {
      {"name", [](Brusk::Wall& w) { w.name += ' '; }},
      {"position", [](Brusk::Wall& w) { w.position = 1; }},
      {"heat flow", [](Brusk::Wall& w) { w.heatFlow = 2; }},
      // Equal as numbers, not as bits: a sign lost or gained on a zero is a difference too.
      {"rsi", [](Brusk::Wall& w) { w.internalSurfaceResistance = 0.13000000000000003; }},
      {"rse", [](Brusk::Wall& w) { w.externalSurfaceResistance = 0.0; }},
      {"layer count", [](Brusk::Wall& w) { w.layers.pop_back(); }},
      {"layer 2 name", [](Brusk::Wall& w) { w.layers[1].name = "EPT"; }},
      {"layer 1 materialKey", [](Brusk::Wall& w) { w.layers[0].materialKey = "x"; }},
      {"layer 2 family", [](Brusk::Wall& w) { w.layers[1].family = "air"; }},
      {"layer 2 thickness", [](Brusk::Wall& w) { w.layers[1].properties.thickness = 0.1000001; }},
      {"layer 2 conductivity", [](Brusk::Wall& w) { w.layers[1].properties.conductivity = 0.03; }},
      {"layer 2 density", [](Brusk::Wall& w) { w.layers[1].properties.density = 21; }},
      {"layer 2 specificHeat", [](Brusk::Wall& w) { w.layers[1].properties.specificHeat = 1; }},
      {"layer 1 resistance", [](Brusk::Wall& w) { w.layers[0].properties.resistance = -0.0; }},
  };
  base.externalSurfaceResistance = -0.0;
  for (const auto& [field, change] : changes) {
    Brusk::Wall changed = base;
    change(changed);
    const std::string difference = BruskFuzz::wallDifference(changed, base);
    EXPECT_EQ(0u, difference.rfind(field, 0)) << field << ": " << difference;
  }
}

}  // namespace
