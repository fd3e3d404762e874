#include "brusk/frontend/catalogue.h"

#include <gtest/gtest.h>

#include "brusk/frontend/error.h"
#include "brusk/frontend/wall_schema.h"

namespace {

const Brusk::Frontend::Catalogue& builtIn() {
  static const Brusk::Frontend::Catalogue catalogue = Brusk::Frontend::Catalogue::builtIn();
  return catalogue;
}

TEST(Catalogue, BuiltInHoldsFortySourcedMaterialsOfKnownFamilies) {
  EXPECT_GE(builtIn().size(), 40u);
  for (const Brusk::Frontend::CatalogueEntry* entry : builtIn().filter("")) {
    EXPECT_TRUE(Brusk::Frontend::Schema::isMaterialFamily(entry->family)) << entry->key;
    EXPECT_FALSE(entry->source.empty()) << entry->key;
    EXPECT_FALSE(entry->name.empty()) << entry->key;
    EXPECT_GT(entry->conductivity, 0.0) << entry->key;
    EXPECT_GT(entry->density, 0.0) << entry->key;
    EXPECT_GT(entry->specificHeat, 0.0) << entry->key;
  }
  for (const char* family : {"concrete", "masonry", "timber", "board", "plaster", "insulation",
                             "metal", "glass", "soil", "stone"}) {
    EXPECT_FALSE(builtIn().filter(family).empty()) << family;
  }
}

TEST(Catalogue, LooksUpDesignValues) {
  const Brusk::Frontend::CatalogueEntry* concrete = builtIn().find("concrete-reinforced");
  ASSERT_NE(nullptr, concrete);
  EXPECT_EQ(2.3, concrete->conductivity);
  EXPECT_EQ(2300.0, concrete->density);
  EXPECT_EQ(1000.0, concrete->specificHeat);
  EXPECT_EQ("concrete", concrete->family);
  EXPECT_EQ(nullptr, builtIn().find("Concrete-Reinforced"));
}

struct SuggestionCase {
  const char* typed;
  std::vector<std::string> expected;
};

class CatalogueSuggestionTest : public testing::TestWithParam<SuggestionCase> {};

TEST_P(CatalogueSuggestionTest, OffersTheClosestKeys) {
  EXPECT_EQ(GetParam().expected, builtIn().suggestions(GetParam().typed, 2))
      << "typed \"" << GetParam().typed << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Typos, CatalogueSuggestionTest,
    testing::Values(SuggestionCase{"concrete-reinforsed",
                                   {"concrete-reinforced", "concrete-reinforced-2pct"}},
                    SuggestionCase{"insulation-esp", {"insulation-eps", "insulation-pur"}},
                    SuggestionCase{"INSULATION-PUR", {"insulation-pur", "insulation-cork"}},
                    SuggestionCase{"steel", {"metal-steel", "metal-stainless-steel"}},
                    SuggestionCase{"unobtainium", {}}),
    [](const testing::TestParamInfo<SuggestionCase>& row) {
      std::string name = row.param.typed;
      for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

TEST(Catalogue, OverrideFileReplacesGivenFieldsAndAddsEntries) {
  Brusk::Frontend::Catalogue catalogue = builtIn();
  catalogue.addToml(R"(
[insulation-eps]
conductivity = 0.031

[hempcrete]
name = "Hempcrete"
family = "masonry"
conductivity = 0.07
density = 300
specific_heat = 1500
)",
                    "project.toml");
  const Brusk::Frontend::CatalogueEntry* eps = catalogue.find("insulation-eps");
  ASSERT_NE(nullptr, eps);
  EXPECT_EQ(0.031, eps->conductivity);
  EXPECT_EQ(20.0, eps->density);
  EXPECT_EQ("project.toml", eps->source);
  const Brusk::Frontend::CatalogueEntry* hempcrete = catalogue.find("hempcrete");
  ASSERT_NE(nullptr, hempcrete);
  EXPECT_EQ("project.toml", hempcrete->source);
  EXPECT_EQ(builtIn().size() + 1, catalogue.size());
}

struct BadCatalogueCase {
  const char* label;
  const char* text;
  const char* message;
};

class BadCatalogueTest : public testing::TestWithParam<BadCatalogueCase> {};

TEST_P(BadCatalogueTest, IsRefusedAndLeavesTheCatalogueUnchanged) {
  Brusk::Frontend::Catalogue catalogue = builtIn();
  try {
    catalogue.addToml(GetParam().text, "project.toml");
    FAIL() << GetParam().label << ": accepted";
  } catch (const Brusk::Frontend::Error& error) {
    EXPECT_STREQ(GetParam().message, error.what()) << GetParam().label;
  }
  EXPECT_EQ(2.3, catalogue.find("concrete-reinforced")->conductivity) << GetParam().label;
  EXPECT_EQ(builtIn().size(), catalogue.size()) << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadCatalogueTest,
    testing::Values(
        BadCatalogueCase{"new entry without values",
                         "[concrete-reinforced]\nconductivity = 9\n[x]\nname = \"X\"\n",
                         "project.toml:3: material \"x\": conductivity is missing"},
        BadCatalogueCase{"negative value",
                         "[x]\nconductivity = -1\ndensity = 1\nspecific_heat = 1\n",
                         "project.toml:2: material \"x\": conductivity must be a positive number "
                         "of W/(m.K), got -1"},
        BadCatalogueCase{"typo", "[concrete-reinforced]\ndensty = 2000\n",
                         "project.toml:2: material \"concrete-reinforced\": unknown key \"densty\" "
                         "(did you mean \"density\"?)"},
        BadCatalogueCase{"bad family", "[concrete-reinforced]\nfamily = \"rock\"\n",
                         "project.toml:2: material \"concrete-reinforced\": family must be "
                         "\"concrete\", \"masonry\", \"timber\", \"board\", \"plaster\", "
                         "\"insulation\", \"metal\", \"glass\", \"soil\", \"stone\", \"membrane\", "
                         "\"air\" or \"other\", got \"rock\""},
        BadCatalogueCase{"not a table", "steel = 3\n",
                         "project.toml:1: material \"steel\": must be a table of keys, got 3"}),
    [](const testing::TestParamInfo<BadCatalogueCase>& row) {
      std::string name = row.param.label;
      for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

}  // namespace
