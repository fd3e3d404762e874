// Refusals worded by key: the reader's, the engine's and the moisture assessment's messages carry
// their parts (place, layer, part, reason) by the keys of the message description, their English
// text is exactly the message the command line prints, and every value a wording names is given,
// so that a page words the same message in another language without reading words back.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "brusk/engine/message.h"
#include "brusk/engine/requirements.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/moisture.h"
#include "brusk/frontend/wall_parser.h"

namespace {

using namespace Brusk;

struct RefusalRow {
  const char* what;
  const char* toml;
  std::vector<std::string> keys;  ///< the parts' keys, place first
  const char* english;            ///< the message as the command line prints it
};

std::ostream& operator<<(std::ostream& out, const RefusalRow& row) { return out << row.what; }

const Frontend::Catalogue& catalogue() {
  static const Frontend::Catalogue builtIn = Frontend::Catalogue::builtIn();
  return builtIn;
}

/// The places a wording names: "{key}" of "{key} must be ..." and so on.
std::set<std::string> placesOf(std::string_view wording) {
  std::set<std::string> places;
  for (std::size_t open = wording.find('{'); open != std::string_view::npos;
       open = wording.find('{', open + 1)) {
    places.insert(std::string(wording.substr(open + 1, wording.find('}', open) - open - 1)));
  }
  return places;
}

const Engine::MessageWording* wordingOf(const std::string& key) {
  const std::vector<Engine::MessageWording>& all = Engine::messageWordings();
  const auto found = std::find_if(all.begin(), all.end(),
                                  [&](const Engine::MessageWording& w) { return w.key == key; });
  return found == all.end() ? nullptr : &*found;
}

/// Checks that `error` carries `keys`, that each part gives every value its wording names and
/// that its English is `english`.
void expectWordedByKey(const Frontend::Error& error, const std::vector<std::string>& keys,
                       const std::string& english, const std::string& what) {
  EXPECT_EQ(english, error.what()) << what;
  std::vector<std::string> given;
  for (const Engine::Message& part : error.parts()) {
    given.push_back(part.key);
    const Engine::MessageWording* wording = wordingOf(part.key);
    ASSERT_NE(wording, nullptr) << what << ": no wording for " << part.key;
    for (const std::string& place : placesOf(wording->english)) {
      EXPECT_TRUE(std::any_of(part.values.begin(), part.values.end(),
                              [&](const auto& value) { return value.first == place; }))
          << what << ": " << part.key << " lacks {" << place << "}";
    }
  }
  EXPECT_EQ(keys, given) << what;
  EXPECT_EQ(english, Engine::englishText(error.parts())) << what;
}

class RefusalTest : public testing::TestWithParam<RefusalRow> {};

TEST_P(RefusalTest, IsWordedByKeyAsTheCommandLineWordsIt) {
  const RefusalRow& row = GetParam();
  try {
    (void)Frontend::computeWall(
        Frontend::parseWallText(row.toml, Frontend::WallFormat::Toml, catalogue(), "wall.toml"));
    ADD_FAILURE() << row.what << ": accepted";
  } catch (const Frontend::Error& error) {
    expectWordedByKey(error, row.keys, row.english, row.what);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Walls, RefusalTest,
    testing::Values(
        RefusalRow{"a negative conductivity",
                   "[[layers]]\nname = \"EPS\"\nthickness = 0.1\nconductivity = -0.035\n"
                   "density = 20\nspecific_heat = 1450\n",
                   {"place.line", "layer.named", "value.positive"},
                   "wall.toml:4: layer 1 (\"EPS\"): conductivity must be a positive number of "
                   "W/(m.K), got -0.035"},
        RefusalRow{"a thickness that is text",
                   "[[layers]]\nmaterial = \"brick-solid\"\nthickness = \"thick\"\n",
                   {"place.line", "layer.named", "value.positive"},
                   "wall.toml:3: layer 1 (\"Solid clay brick\"): thickness must be a positive "
                   "number of m, got \"thick\""},
        RefusalRow{"a missing thickness",
                   "[[layers]]\nmaterial = \"brick-solid\"\n",
                   {"place.line", "layer.named", "layer.thickness_missing"},
                   "wall.toml:1: layer 1 (\"Solid clay brick\"): thickness is missing (in m)"},
        RefusalRow{"a missing density",
                   "[[layers]]\nthickness = 0.1\nconductivity = 1\nspecific_heat = 1000\n",
                   {"place.line", "layer", "layer.property_missing"},
                   "wall.toml:1: layer 1: density is missing: give a catalogue material, or "
                   "conductivity, density and specific_heat, or a thermal_resistance alone"},
        RefusalRow{"a misspelt material",
                   "[[layers]]\nmaterial = \"brick-solidd\"\nthickness = 0.1\n",
                   {"place.line", "layer", "material.unknown_close"},
                   "wall.toml:2: layer 1: unknown material \"brick-solidd\"; did you mean "
                   "\"brick-solid\"? (`brusk materials` lists the catalogue)"},
        RefusalRow{"a position that is no word of it",
                   "position = \"outside\"\n[[layers]]\nthermal_resistance = 1\n",
                   {"place.line", "value.choice"},
                   "wall.toml:1: position must be \"external\" or \"internal\", got "
                   "\"outside\""},
        RefusalRow{"a negative surface resistance",
                   "rsi = -0.1\n[[layers]]\nthermal_resistance = 1\n",
                   {"place.line", "value.non_negative"},
                   "wall.toml:1: rsi must be a non-negative number of m2.K/W, got -0.1"},
        RefusalRow{"no layers",
                   "name = \"Empty\"\n",
                   {"place", "wall.no_layers"},
                   "wall.toml: the wall has no layers; list them from the inner face (side 1) "
                   "outward as [[layers]] tables"},
        RefusalRow{"a mu under 1",
                   "[[layers]]\nmaterial = \"brick-solid\"\nthickness = 0.1\n"
                   "vapour_resistance_factor = 0.5\n",
                   {"place.line", "layer.named", "vapour.factor_range"},
                   "wall.toml:4: layer 1 (\"Solid clay brick\"): vapour_resistance_factor must be "
                   "at least 1 (still air) and finite, got 0.5"},
        RefusalRow{"parts whose fractions do not sum to 1",
                   "[[layers]]\nthickness = 0.1\n[[layers.parts]]\nmaterial = "
                   "\"timber-softwood\"\nfraction = 0.2\n[[layers.parts]]\nmaterial = "
                   "\"insulation-mineral-wool\"\nfraction = 0.7\n",
                   {"place.line", "layer", "parts.sum"},
                   "wall.toml:3: layer 1: the fractions of the parts sum to 0.9, not 1: each "
                   "part's fraction is its share of the element's area, and together they cover "
                   "it (within 1e-9)"},
        RefusalRow{"a part of no fraction",
                   "[[layers]]\nthickness = 0.1\n[[layers.parts]]\nmaterial = "
                   "\"timber-softwood\"\nfraction = 0\n[[layers.parts]]\nmaterial = "
                   "\"insulation-mineral-wool\"\nfraction = 1\n",
                   {"place.line", "layer", "part.named", "part.fraction_zero"},
                   "wall.toml:5: layer 1: part 1 (\"Softwood (pine, spruce)\"): fraction must be a "
                   "share of the area above 0 and at most 1, got 0; leave out a part that is not "
                   "there"}));

TEST(MessageWordings, KeysAreOneEachAndTheirPlacesFilled) {
  std::set<std::string_view> keys;
  for (const Engine::MessageWording& wording : Engine::messageWordings()) {
    EXPECT_TRUE(keys.insert(wording.key).second) << "twice: " << wording.key;
    EXPECT_EQ(wording.english.find("{}"), std::string_view::npos) << wording.key;
  }
  const Engine::Message choice{"value.choice",
                               {{"key", Engine::MessageValue::fileKey("heat_flow")},
                                {"choices", Engine::MessageValue::choices(
                                                "heat_flow", {"horizontal", "upward", "downward"})},
                                {"value", Engine::MessageValue::plain("\"{sideways}\"")}}};
  // A value holding braces is quoted as it is, never read as a place of its own.
  EXPECT_EQ("heat_flow must be \"horizontal\", \"upward\" or \"downward\", got \"{sideways}\"",
            Engine::englishText(choice));
}

TEST(MessageKeys, AMissingVapourPropertyNamesTheLayerByKey) {
  const Frontend::Wall wall = Frontend::parseWallText(
      "[[layers]]\nname = \"Slab\"\nthickness = 0.2\nconductivity = 2\ndensity = 2400\n"
      "specific_heat = 1000\n",
      Frontend::WallFormat::Toml, catalogue(), "wall.toml");
  std::string climate =
      "month,outdoor_temperature,outdoor_relative_humidity,indoor_temperature,"
      "indoor_relative_humidity\n";
  for (int m = 1; m <= 12; ++m) climate += std::to_string(m) + ",0,80,20,50\n";
  try {
    (void)Frontend::assessMoisture(wall, Frontend::parseClimateCsv(climate, "climate.csv"),
                                   "wall.toml");
    ADD_FAILURE() << "assessed without a vapour property";
  } catch (const Frontend::Error& error) {
    expectWordedByKey(error, {"place", "layer.named", "vapour.missing"},
                      "wall.toml: layer 1 (\"Slab\"): no water-vapour property for the moisture "
                      "assessment: give vapour_resistance_factor (mu) or sd (in m), or a "
                      "catalogue material that has one",
                      "moisture");
  }
}

// Why a rule does not apply, by key: each condition the wall misses gives its wording's key, and
// its English is the reason `brusk check` prints, units included.
struct ConditionRow {
  const char* what;
  Engine::Condition condition;
  Engine::WallDescriptors descriptors;
  const char* key;
  const char* english;
};

std::ostream& operator<<(std::ostream& out, const ConditionRow& row) { return out << row.what; }

class UnmetConditionTest : public testing::TestWithParam<ConditionRow> {};

TEST_P(UnmetConditionTest, IsWordedByKeyAsTheCheckWordsIt) {
  const ConditionRow& row = GetParam();
  const std::optional<Engine::Message> reason =
      Engine::unmetCondition(row.condition, row.descriptors);
  ASSERT_TRUE(reason.has_value());
  EXPECT_EQ(row.key, reason->key);
  EXPECT_EQ(row.english, Engine::englishText(*reason));
}

using Engine::Comparison;

INSTANTIATE_TEST_SUITE_P(
    Conditions, UnmetConditionTest,
    testing::Values(
        ConditionRow{"irradiance below",
                     {"site_irradiance", {}, false, Comparison::AtLeast, 290},
                     {{}, {{"site_irradiance", 250.5}}},
                     "requirement.number_outside",
                     "site_irradiance is 250.5 W/m2, not >= 290 W/m2"},
        ConditionRow{"irradiance not given",
                     {"site_irradiance", {}, false, Comparison::AtLeast, 290},
                     {},
                     "requirement.number_not_given",
                     "site_irradiance is not given (the rule needs site_irradiance >= 290 W/m2)"},
        ConditionRow{"orientation outside",
                     {"orientation", {"E", "S", "W"}, false, std::nullopt, 0.0},
                     {{{"orientation", "N"}}, {}},
                     "requirement.word_outside",
                     "orientation is \"N\", not \"E\", \"S\" or \"W\""},
        ConditionRow{"position excluded",
                     {"position", {"internal"}, true, std::nullopt, 0.0},
                     {{{"position", "internal"}}, {}},
                     "requirement.word_excluded",
                     "position is \"internal\", not other than \"internal\""},
        ConditionRow{"heat flow not given",
                     {"heat_flow", {"upward"}, true, std::nullopt, 0.0},
                     {},
                     "requirement.other_words_not_given",
                     "heat_flow is not given (the rule needs other than \"upward\")"}));

}  // namespace
