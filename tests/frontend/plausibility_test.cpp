// Values no building material has: each warned of once, with the layer (and the part), the value
// and the slip of units it most likely is; the bounds themselves and every catalogue material
// pass without a word.
#include "brusk/frontend/plausibility.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brusk/frontend/catalogue.h"
#include "test_walls.h"

namespace {

using namespace Brusk::Frontend;
using BruskTest::tomlWall;

/// A slab layer's TOML with the given numbers.
std::string slab(const std::string& thickness, const std::string& conductivity,
                 const std::string& density, const std::string& specificHeat) {
  return "[[layers]]\nthickness = " + thickness + "\nconductivity = " + conductivity +
         "\ndensity = " + density + "\nspecific_heat = " + specificHeat + "\n";
}

struct Row {
  const char* label;
  std::string wall;                   ///< the wall file's TOML
  std::vector<std::string> warnings;  ///< exactly these, in this order
};

TEST(Plausibility, WarnsOfEachValueOutsideBuildingMaterialsWithItsLikelySlip) {
  const Row rows[] = {
      {"building materials",
       slab("0.2", "1.8", "2400", "1000") + slab("0.1", "0.035", "20", "1450"),
       {}},
      {"bounds are building materials",
       slab("2", "400", "12000", "5000") + slab("0.1", "0.002", "5", "100") +
           slab("0.1", "10", "10", "1000") + slab("0.1", "50", "1000", "450"),
       {}},
      {"centimetres or millimetres",
       "[[layers]]\nname = \"Board\"\n" + slab("12.5", "0.25", "900", "1000").substr(11),
       {"layer 1 (\"Board\"): thickness 12.5 m is more than any building layer (at most 2 m); was "
        "it given in cm (0.125 m) or mm (0.0125 m)?"}},
      {"millimetres only",
       slab("250", "0.04", "30", "1400"),
       {"layer 1: thickness 250 m is more than any building layer (at most 2 m); was it given in "
        "mm (0.25 m)?"}},
      {"just over the thickest",
       slab("2.01", "1.8", "2400", "1000"),
       {"layer 1: thickness 2.01 m is more than any building layer (at most 2 m); was it given in "
        "cm (0.0201 m) or mm (0.00201 m)?"}},
      {"metal conductivity, insulation density",
       slab("0.1", "35", "20", "1450"),
       {"layer 1: conductivity 35 W/(m.K) is a metal's, but the density 20 kg/m3 is far below any "
        "metal's; was it given in mW/(m.K) (0.035 W/(m.K))?"}},
      {"beyond copper",
       slab("0.1", "800", "1800", "1000"),
       {"layer 1: conductivity 800 W/(m.K) is more than any building material's (copper: about "
        "380); was it given in mW/(m.K) (0.8 W/(m.K))?"}},
      {"below vacuum panels",
       slab("0.1", "0.00004", "30", "1400"),
       {"layer 1: conductivity 4e-05 W/(m.K) is less than any building material's (vacuum "
        "insulation panels: about 0.004); was it given in kW/(m.K) (0.04 W/(m.K))?"}},
      {"tonnes per cubic metre",
       slab("0.2", "1.8", "2.4", "1000"),
       {"layer 1: density 2.4 kg/m3 is less than any building material's (the lightest "
        "insulation: about 10); was it given in t/m3 or g/cm3 (2400 kg/m3)?"}},
      {"heavier than lead",
       slab("0.2", "1.8", "24000", "1000"),
       {"layer 1: density 24000 kg/m3 is more than any building material's (lead: about 11340); "
        "check its unit"}},
      {"kilojoules",
       slab("0.2", "1.8", "2400", "0.88"),
       {"layer 1: specific_heat 0.88 J/(kg.K) is less than any building material's (lead: about "
        "130); was it given in kJ/(kg.K) (880 J/(kg.K))?"}},
      {"more than water",
       slab("0.2", "1.8", "2400", "88000"),
       {"layer 1: specific_heat 88000 J/(kg.K) is more than any building material's (water: "
        "about 4190); check its unit"}},
      {"every slip of one layer, in order",
       slab("20", "35", "2", "1"),
       {"layer 1: thickness 20 m is more than any building layer (at most 2 m); was it given in "
        "cm (0.2 m) or mm (0.02 m)?",
        "layer 1: conductivity 35 W/(m.K) is a metal's, but the density 2 kg/m3 is far below any "
        "metal's; was it given in mW/(m.K) (0.035 W/(m.K))?",
        "layer 1: density 2 kg/m3 is less than any building material's (the lightest insulation: "
        "about 10); was it given in t/m3 or g/cm3 (2000 kg/m3)?",
        "layer 1: specific_heat 1 J/(kg.K) is less than any building material's (lead: about "
        "130); was it given in kJ/(kg.K) (1000 J/(kg.K))?"}},
      {"a pure resistance has no material", "[[layers]]\nthermal_resistance = 0.18\n", {}},
      {"a part of a layer of parts",
       "[[layers]]\nname = \"Studs\"\nthickness = 0.14\n[[layers.parts]]\nmaterial = "
       "\"timber-softwood\"\nfraction = 0.15\n[[layers.parts]]\nname = \"Wool\"\nconductivity = "
       "35\ndensity = 30\nspecific_heat = 1030\nfraction = 0.85\n",
       {"layer 1 (\"Studs\"): part 2 (\"Wool\"): conductivity 35 W/(m.K) is a metal's, but the "
        "density 30 kg/m3 is far below any metal's; was it given in mW/(m.K) (0.035 W/(m.K))?"}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.warnings, plausibilityWarnings(tomlWall(row.wall))) << row.label;
  }
}

// The catalogue is of building materials: not one of them is taken for a slip.
TEST(Plausibility, EveryCatalogueMaterialPasses) {
  const Catalogue catalogue = Catalogue::builtIn();
  for (const CatalogueEntry* entry : catalogue.filter("")) {
    const Wall wall = tomlWall("[[layers]]\nmaterial = \"" + entry->key + "\"\nthickness = 0.1\n");
    EXPECT_EQ(std::vector<std::string>{}, plausibilityWarnings(wall)) << entry->key;
  }
}

}  // namespace
