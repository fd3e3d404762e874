// The validation cases: every built-in case reproduces its published figures at their printed
// precision; the reader refuses bad data with the file, line and reason; the runner keeps a case
// it cannot compute and takes cases from other code.
#include "brusk/frontend/validation.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "brusk/engine/bridged_element.h"
#include "brusk/frontend/bridged_wall.h"
#include "brusk/frontend/error.h"
#include "test_walls.h"

namespace {

using namespace Brusk::Frontend;
using BruskTest::errorOf;

const ValidationCase& builtInCase(const std::string& id) {
  for (const ValidationCase& one : builtInValidationCases()) {
    if (one.id == id) return one;
  }
  throw Error("no built-in case " + id);
}

// Each built-in case on its own: every figure within its tolerance of the printed value, and a
// source that names a document, a place in it and an edition.
class BuiltInCase : public testing::TestWithParam<std::string> {};

TEST_P(BuiltInCase, ReproducesEveryPublishedFigure) {
  const ValidationCase& one = builtInCase(GetParam());
  EXPECT_FALSE(one.source.document.empty());
  EXPECT_FALSE(one.source.clause.empty());
  EXPECT_FALSE(one.source.edition.empty());
  const ValidationRun run = runValidationCases({one});
  ASSERT_EQ("", run.outcomes[0].problem);
  for (std::size_t f = 0; f < one.figures.size(); ++f) {
    const ValidationFigure& figure = one.figures[f];
    const FigureOutcome& outcome = run.outcomes[0].figures[f];
    EXPECT_TRUE(outcome.agrees) << figure.key << " " << figure.at.text() << " (line " << figure.line
                                << "): printed " << figure.printed << " " << figure.unit
                                << ", computed " << outcome.computed << ", tolerance "
                                << figure.tolerance;
  }
}

std::vector<std::string> builtInIds() {
  std::vector<std::string> ids;
  for (const ValidationCase& one : builtInValidationCases()) ids.push_back(one.id);
  return ids;
}

/// A test name from a case id: its letters and digits, the rest '_'.
std::string testNameOf(const testing::TestParamInfo<std::string>& param) {
  std::string name = param.param;
  for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Validation, BuiltInCase, testing::ValuesIn(builtInIds()), testNameOf);

TEST(Validation, BuiltInFilesHoldThePublishedExamples) {
  std::set<std::string> ids;
  for (const ValidationCase& one : builtInValidationCases()) ids.insert(one.id);
  for (const char* id : {"reference-concrete", "reference-concrete-insulated",
                         "sbs-6b2-timber-frame", "tgd-l-2011-a2", "br443-low-emissivity-air-layers",
                         "iso-13788-b1", "iso-13788-c2", "iso-6946-table-7", "iso-6946-table-8",
                         "iso-13788-annex-e", "iso-10211-case-1", "iso-10211-case-2"}) {
    EXPECT_EQ(1u, ids.count(id)) << id;
  }
  EXPECT_EQ(3u, builtInValidationFiles().size());
  EXPECT_TRUE(runValidation().allAgree());
}

// ISO 10211's two-dimensional cases compare every temperature of Tables C.1 and C.2 and case 2's
// heat flow with the standard's own tolerances, each named by its point.
TEST(Validation, Iso10211CasesCompareEveryTablePointWithTheStandardsTolerance) {
  struct Row {
    const char* id;
    std::size_t temperatures;
    bool heatFlow;
    const char* firstPlace;
  };
  for (const Row& row : {Row{"iso-10211-case-1", 28, false, "row 1, column 1 (x = 0.25 m"},
                         Row{"iso-10211-case-2", 9, true, "point A (x = 0 m"}}) {
    const ValidationCase& one = builtInCase(row.id);
    ASSERT_EQ(row.temperatures + (row.heatFlow ? 1u : 0u), one.figures.size()) << row.id;
    EXPECT_EQ(0u, one.figures.front().at.text().find(row.firstPlace))
        << one.figures.front().at.text();
    for (const ValidationFigure& figure : one.figures) {
      EXPECT_EQ(Brusk::Engine::QuantityScope::Bridge, figure.scope) << row.id;
      EXPECT_EQ(0.1, figure.tolerance) << row.id << " " << figure.key;
    }
    EXPECT_EQ(row.heatFlow, one.figures.back().key == "heat_flow") << row.id;
  }
}

// The Irish example from the layers' conductivities, unrounded: the figures the document would
// print without its rounding of each layer to three decimals (worked by hand from its inputs).
TEST(Validation, IrishTimberFrameUnroundedGivesTheHandFigures) {
  Wall wall = *builtInCase("tgd-l-2011-a2-unrounded").wall;
  const Brusk::Engine::ElementResult element = computeElementWall(wall);
  struct Row {
    const char* figure;
    double value;
    double expected;
  };
  const Row rows[] = {{"R1 (PIR path)", element.paths[0].thermalResistance, 7.14852},
                      {"R2 (stud path)", element.paths[1].thermalResistance, 1.87678},
                      {"R'T", element.upperResistance, 5.0294},
                      {"R''T", element.lowerResistance, 4.6215},
                      {"RT", element.wall.thermalResistance, 4.8254},
                      {"U", element.wall.uValue, 0.2072}};
  for (const Row& row : rows) EXPECT_NEAR(row.expected, row.value, 6e-5) << row.figure;
}

// ISO 13788 example C.2 is compared to one unit in the last printed digit: at half a unit only
// January and November would differ, by less than one unit, as its notes say.
TEST(Validation, RoofExampleOfIso13788DiffersBeyondHalfAUnitInJanuaryAndNovemberOnly) {
  ValidationCase roof = builtInCase("iso-13788-c2");
  std::set<std::size_t> beyondHalf;
  for (ValidationFigure& figure : roof.figures) {
    if (figure.key == "months.interfaces.condensation_rate") figure.tolerance = 0.000005;
  }
  const ValidationRun run = runValidationCases({roof});
  for (std::size_t f = 0; f < roof.figures.size(); ++f) {
    const FigureOutcome& outcome = run.outcomes[0].figures[f];
    if (outcome.agrees) continue;
    beyondHalf.insert(*roof.figures[f].at.month);
    EXPECT_LE(std::fabs(outcome.difference), 0.00001) << "month " << *roof.figures[f].at.month;
  }
  EXPECT_EQ((std::set<std::size_t>{1, 11}), beyondHalf);
}

TEST(ValidationReader, RefusesBadDataWithLineAndReason) {
  const std::string head = "standard = \"ISO 6946:2017\"\n[[cases]]\nid = \"x\"\ntitle = \"t\"\n";
  const std::string source = "source = { document = \"d\", clause = \"c\", edition = \"e\" }\n";
  const std::string airLayer = head + "kind = \"air_layer\"\n" + source;
  const std::string figureHead =
      "[[cases.figures]]\nquantity = \"air_layers.thermal_resistance\"\n";
  const std::string goodFigure = figureHead +
                                 "heat_flow = \"upward\"\nthickness = 0.025\nprinted = \"0.16\"\n"
                                 "unit = \"m2.K/W\"\n";
  struct Row {
    const char* label;
    std::string text;
    const char* message;  ///< part of the message
  };
  const Row rows[] = {
      {"no cases", "standard = \"s\"\n", "needs at least one case"},
      {"unknown case key", airLayer + "colour = 1\n" + goodFigure,
       "v.toml:7: unknown key \"colour\""},
      {"unknown kind", head + "kind = \"roof\"\n" + source + goodFigure,
       "kind must be \"wall\", \"moisture\""},
      {"no source", head + "kind = \"air_layer\"\n" + goodFigure, "source must be a table"},
      {"empty edition",
       head +
           "kind = \"air_layer\"\nsource = { document = \"d\", clause = \"c\", edition = "
           "\" \" }\n" +
           goodFigure,
       "edition must not be empty"},
      {"quantity the kind cannot compute",
       airLayer + "[[cases.figures]]\nquantity = \"u_valu\"\nprinted = \"1\"\n",
       "(kind air_layer) cannot compare \"u_valu\""},
      {"wall quantity misspelt",
       head + "kind = \"wall\"\n" + source +
           "[cases.wall]\n[[cases.wall.layers]]\nthermal_resistance = 1\n"
           "[[cases.figures]]\nquantity = \"u_valu\"\nprinted = \"1\"\nunit = \"W/(m2.K)\"\n",
       "(did you mean \"u_value\"?)"},
      {"location missing", airLayer + figureHead + "heat_flow = \"upward\"\nprinted = \"0.16\"\n",
       "the figure needs thickness"},
      {"location not needed", airLayer + goodFigure + "month = 1\n",
       "month does not locate this quantity"},
      {"air layer too thick",
       airLayer + figureHead + "heat_flow = \"upward\"\nthickness = 0.5\nprinted = \"0.16\"\n",
       "at most 0.3 m"},
      {"printed not a number",
       airLayer + figureHead + "heat_flow = \"upward\"\nthickness = 0.025\nprinted = \"0,16\"\n",
       "printed must be the figure as the document prints it"},
      {"unit that does not convert",
       airLayer + figureHead +
           "heat_flow = \"upward\"\nthickness = 0.025\nprinted = \"0.16\"\nunit = \"W/K\"\n",
       "does not convert to \"W/K\""},
      {"negative tolerance", airLayer + goodFigure + "tolerance = -1\n",
       "tolerance must be a number of at least 0"},
      {"duplicate id",
       airLayer + goodFigure +
           "[[cases]]\nid = \"x\"\ntitle = \"t\"\n"
           "kind = \"air_layer\"\n" +
           source + goodFigure,
       "case id \"x\" is given twice"},
      {"id with capitals",
       head.substr(0, head.find("id =")) + "id = \"X 1\"\ntitle = \"t\"\n" +
           "kind = \"air_layer\"\n" + source + goodFigure,
       "a case id is lower-case letters"},
      {"wall key for an air layer", airLayer + "[cases.wall]\n" + goodFigure,
       "wall belongs to wall and moisture cases only"},
      {"climate of eleven months",
       head + "kind = \"climate\"\n" + source +
           "[cases.climate]\noutdoor_temperature = [0,0,0,0,0,0,0,0,0,0,0,0]\n"
           "indoor_temperature = [20,20,20,20,20,20,20,20,20,20,20]\n",
       "climate.indoor_temperature must list twelve monthly values, January first, got 11"},
      {"humidity above 100",
       head + "kind = \"climate\"\n" + source +
           "[cases.climate]\noutdoor_temperature = [0,0,0,0,0,0,0,0,0,0,0,0]\n"
           "indoor_temperature = [20,20,20,20,20,20,20,20,20,20,20,20]\n"
           "indoor_relative_humidity = [50,50,50,50,50,50,50,50,50,50,50,120]\n",
       "climate.indoor_relative_humidity of month 12 must be above 0 and at most 100 %"},
      {"bad wall layer, with the wall reader's words",
       head + "kind = \"wall\"\n" + source +
           "[cases.wall]\n[[cases.wall.layers]]\nthickness = 0.1\nconductivity = -1\n"
           "density = 1\nspecific_heat = 1\n[[cases.figures]]\nquantity = \"u_value\"\n"
           "printed = \"1\"\nunit = \"W/(m2.K)\"\n",
       "conductivity must be a positive number of W/(m.K), got -1"},
      {"month out of range",
       head + "kind = \"climate\"\n" + source +
           "[cases.climate]\noutdoor_temperature = [0,0,0,0,0,0,0,0,0,0,0,0]\n"
           "indoor_temperature = [20,20,20,20,20,20,20,20,20,20,20,20]\n"
           "indoor_relative_humidity = [50,50,50,50,50,50,50,50,50,50,50,50]\n"
           "[[cases.figures]]\nquantity = \"months.f_rsi_min\"\nmonth = 13\nprinted = \"0.5\"\n",
       "month must be a whole number from 1 to 12, got 13"},
  };
  for (const Row& row : rows) {
    const std::string message = errorOf([&] { (void)parseValidationCases(row.text, "v.toml"); });
    EXPECT_NE(std::string::npos, message.find(row.message)) << row.label << ": " << message;
    EXPECT_EQ(0u, message.find("v.toml")) << row.label << ": " << message;
  }
}

TEST(ValidationReader, DefaultToleranceIsHalfTheLastPrintedDigitAndUnitsConvert) {
  const std::string text = R"(standard = "ISO 13788:2012"
[[cases]]
id = "p"
title = "t"
kind = "saturation_pressure"
source = { document = "d", clause = "c", edition = "e" }
[[cases.figures]]
quantity = "saturation_pressure"
temperature = 20
printed = "2.337"
unit = "kPa"
[[cases.figures]]
quantity = "saturation_pressure"
temperature = 0
printed = "611"
unit = "Pa"
tolerance = 1
)";
  const std::vector<ValidationCase> cases = parseValidationCases(text, "p.toml");
  ASSERT_EQ(2u, cases[0].figures.size());
  const ValidationFigure& kilopascals = cases[0].figures[0];
  EXPECT_DOUBLE_EQ(2.337, kilopascals.published);
  EXPECT_DOUBLE_EQ(0.0005, kilopascals.tolerance);
  EXPECT_DOUBLE_EQ(1e-3, kilopascals.scale);
  EXPECT_EQ(7u, kilopascals.line);  // its [[cases.figures]]
  EXPECT_DOUBLE_EQ(1.0, cases[0].figures[1].tolerance);
  const ValidationRun run = runValidationCases(cases);
  EXPECT_NEAR(2.336951, run.outcomes[0].figures[0].computed, 1e-6);
  EXPECT_TRUE(run.allAgree());
}

TEST(ValidationRun, AFigureOffItsValueOrNotComputedDiffers) {
  ValidationCase off = builtInCase("sbs-6b2-timber-frame");
  off.figures[4].published = 0.31;  // U printed 0.30 in the handbook
  ValidationCase unreadable = builtInCase("sbs-6b2-timber-frame");
  unreadable.id = "three-paths";
  unreadable.figures[0].at.path = 3;  // the wall has two
  const ValidationRun run = runValidationCases({off, unreadable});
  EXPECT_FALSE(run.outcomes[0].figures[4].agrees);
  EXPECT_NEAR(0.2968 - 0.31, run.outcomes[0].figures[4].difference, 1e-4);
  EXPECT_TRUE(run.outcomes[0].figures[0].agrees);
  EXPECT_NE(std::string::npos, run.outcomes[1].problem.find("path 3, and there are 2"));
  for (const FigureOutcome& figure : run.outcomes[1].figures) {
    EXPECT_TRUE(std::isnan(figure.computed));
    EXPECT_FALSE(figure.agrees);
  }
  EXPECT_FALSE(run.allAgree());
  EXPECT_EQ(run.figureCount() - 1 - off.figures.size(), run.agreeingCount());

  const nlohmann::json json = nlohmann::json::parse(formatValidationJson(run));
  EXPECT_FALSE(json["summary"]["all_agree"].get<bool>());
  EXPECT_TRUE(json["cases"][1]["figures"][0]["computed"].is_null());
  EXPECT_EQ(json["cases"][1]["problem"], run.outcomes[1].problem);
  const std::string table = formatValidationTable(run);
  EXPECT_NE(std::string::npos, table.find("DIFFERS"));
  EXPECT_NE(std::string::npos, table.find("NOT COMPUTED: the figure reads path 3"));
  EXPECT_NE(std::string::npos, table.find("NOT every figure agrees"));
}

// Cases built by other code (a two-dimensional solver's, for instance) join the built-in ones
// through runValidation and are computed by their own function.
TEST(ValidationRun, ExternalCasesJoinTheBuiltInOnes) {
  ValidationCase external;
  external.id = "external-psi";
  external.title = "A case computed elsewhere";
  external.kind = ValidationKind::External;
  external.source = {"document", "clause", "edition"};
  ValidationFigure figure;
  figure.scope = Brusk::Engine::QuantityScope::Wall;
  figure.key = "u_value";
  figure.printed = "0.50";
  figure.published = 0.5;
  figure.tolerance = 0.005;
  figure.unit = "W/(m2.K)";
  external.figures = {figure};
  external.compute = [](const ValidationCase&) { return std::vector<double>{0.502}; };
  const ValidationRun run = runValidation({external});
  EXPECT_EQ(builtInValidationCases().size() + 1, run.cases.size());
  EXPECT_TRUE(run.outcomes.back().figures[0].agrees);
  EXPECT_TRUE(run.allAgree());

  external.compute = [](const ValidationCase&) { return std::vector<double>{}; };
  EXPECT_NE(std::string::npos,
            runValidationCases({external}).outcomes[0].problem.find("computed 0 values for 1"));
  external.id = "sbs-6b2-timber-frame";
  EXPECT_NE(std::string::npos, errorOf([&] {
                                 (void)runValidation({external});
                               }).find("\"sbs-6b2-timber-frame\" is used twice"));
}

}  // namespace
