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

const Brusk::Frontend::Catalogue& catalogue() {
  static const Brusk::Frontend::Catalogue builtIn = Brusk::Frontend::Catalogue::builtIn();
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
    Brusk::Frontend::Wall wall;
    EXPECT_TRUE(Brusk::Batch::readPlainWallLine(content, catalogue(), 1, wall)) << path;
  }
}

TEST(PlainWallLineFuzz, CheckSeesEveryFieldThatDiffers) {
  using Brusk::Frontend::Wall;
  Wall base;
  base.name = "w";
  base.addLayer({}, {});
  base.addLayer(Brusk::Engine::LayerProperties::slab(0.1, 0.035, 20, 1450), {"EPS", "", ""});
  EXPECT_EQ("", BruskFuzz::wallDifference(base, base));

  using Change = void (*)(Wall&);
  const std::vector<std::pair<const char*, Change>> changes = {
      {"name", [](Wall& w) { w.name += ' '; }},
      {"position", [](Wall& w) { w.request.position = Brusk::Engine::ElementPosition::Internal; }},
      {"heat flow",
       [](Wall& w) { w.request.heatFlow = Brusk::Engine::HeatFlowDirection::Downward; }},
      // Equal as numbers, not as bits: a sign lost or gained on a zero is a difference too.
      {"rsi", [](Wall& w) { w.request.internalSurfaceResistance = 0.13000000000000003; }},
      {"rse", [](Wall& w) { w.request.externalSurfaceResistance = 0.0; }},
      {"rse", [](Wall& w) { w.request.externalSurfaceResistance.reset(); }},
      {"period", [](Wall& w) { w.request.period = 3600.0; }},
      {"layer count", [](Wall& w) { w.request.layers.pop_back(); }},
      {"layer count", [](Wall& w) { w.labels.pop_back(); }},
      {"layer 2 name", [](Wall& w) { w.labels[1].name = "EPT"; }},
      {"layer 1 materialKey", [](Wall& w) { w.labels[0].materialKey = "x"; }},
      {"layer 2 family", [](Wall& w) { w.labels[1].family = "air"; }},
      {"layer 2 thickness", [](Wall& w) { w.request.layers[1].thickness = 0.1000001; }},
      {"layer 2 conductivity", [](Wall& w) { w.request.layers[1].conductivity = 0.03; }},
      {"layer 2 density", [](Wall& w) { w.request.layers[1].density = 21; }},
      {"layer 2 specificHeat", [](Wall& w) { w.request.layers[1].specificHeat = 1; }},
      {"layer 1 resistance", [](Wall& w) { w.request.layers[0].resistance = -0.0; }},
  };
  base.request.externalSurfaceResistance = -0.0;
  for (const auto& [field, change] : changes) {
    Wall changed = base;
    change(changed);
    const std::string difference = BruskFuzz::wallDifference(changed, base);
    EXPECT_EQ(0u, difference.rfind(field, 0)) << field << ": " << difference;
  }
}

}  // namespace
