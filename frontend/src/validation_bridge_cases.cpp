#include "validation_bridge_cases.h"

#include <cstdio>
#include <string>
#include <utility>

#include "brusk/engine/thermal_bridge_reference.h"

namespace Brusk::Frontend::Detail {

namespace {

using RunReference = Engine::ReferenceCaseComparison (*)();

constexpr const char* kDocument =
    "ISO 10211:2017, Thermal bridges in building construction - Heat flows and surface "
    "temperatures - Detailed calculations";

Engine::ReferenceCaseComparison runCase1() { return Engine::runIso10211Case1(); }
Engine::ReferenceCaseComparison runCase2() { return Engine::runIso10211Case2(); }

/// The standard's tables print temperatures and the heat flow to 0.1.
std::string printedOf(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

/// A case whose figures are the reference points of `run`: the published value of each point
/// is the standard's, its computed value comes from solving again when the case is run.
ValidationCase caseOf(RunReference run, std::string id, std::string title, std::string clause,
                      std::string notes) {
  const Engine::ReferenceCaseComparison reference = run();
  ValidationCase one;
  one.id = std::move(id);
  one.title = std::move(title);
  one.standard = "ISO 10211:2017";
  one.source = {kDocument, std::move(clause), "2017"};
  one.notes = std::move(notes) + " Figures and geometry: " + reference.source + ".";
  one.kind = ValidationKind::External;
  one.file = "engine (ISO 10211 reference geometry)";
  for (const Engine::ReferencePoint& point : reference.points) {
    ValidationFigure figure;
    figure.scope = Engine::QuantityScope::Bridge;
    const bool flow = point.unit == "W/m";
    figure.key = flow ? "heat_flow" : "probes.temperature";
    if (!flow) {
      char where[96];
      std::snprintf(where, sizeof where, "x = %g m, y = %g m", point.x, point.y);
      figure.at.point =
          (point.name.size() == 1 ? "point " + point.name : point.name) + " (" + where + ")";
    }
    figure.printed = printedOf(point.reference);
    figure.published = point.reference;
    figure.tolerance = point.tolerance;
    figure.unit = point.unit;
    one.figures.push_back(std::move(figure));
  }
  one.compute = [run](const ValidationCase&) {
    std::vector<double> values;
    for (const Engine::ReferencePoint& point : run().points) values.push_back(point.computed);
    return values;
  };
  return one;
}

}  // namespace

std::vector<ValidationCase> bridgeValidationCases() {
  std::vector<ValidationCase> cases;
  cases.push_back(caseOf(
      &runCase1, "iso-10211-case-1",
      "Two-dimensional conduction in a square column, one side heated",
      "Annex C, case 1 (Figure C.1, Table C.1)",
      "The analytic temperatures at 28 points of a homogeneous section, 20 degC on one edge and "
      "0 degC on the others, solved on a fixed 62.5 mm grid: where 20 degC meets 0 degC the heat "
      "flow has no finite value, so the case compares temperatures only, within the 0.1 K the "
      "standard allows."));
  cases.push_back(caseOf(
      &runCase2, "iso-10211-case-2",
      "Two-dimensional section of concrete, wood, insulation and aluminium",
      "Annex C, case 2 (Figure C.2, Table C.2)",
      "The temperatures at the points A to I and the heat flow of a composite section with "
      "surface resistances 0.11 (20 degC) and 0.06 (0 degC) m2.K/W, solved with the grid refined "
      "until the heat flow changes by less than the default tolerance; the standard allows "
      "0.1 K and 0.1 W/m."));
  return cases;
}

}  // namespace Brusk::Frontend::Detail
