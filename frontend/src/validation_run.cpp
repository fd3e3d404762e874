// Running validation cases: each kind through the engine and the readers every command uses,
// each figure read where its quantity says, in the quantity's own unit, and compared.
#include <cmath>
#include <cstdio>
#include <limits>
#include <set>
#include <utility>

#include "brusk/engine/bridged_element.h"
#include "brusk/engine/constants.h"
#include "brusk/engine/moisture.h"
#include "brusk/engine/wall_result.h"
#include "brusk/frontend/bridged_wall.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/moisture.h"
#include "brusk/frontend/validation.h"
#include "validation_figures.h"

namespace Brusk::Frontend {

namespace Detail {

namespace {

using Engine::QuantityScope;

/// A quantity a kind of case compares beyond a wall's own numbers.
struct FigureEntry {
  ValidationKind kind;
  QuantityScope scope;
  std::string_view key;
  unsigned needs;
};

constexpr unsigned kMonthAndLayer = kNeedsMonth | kNeedsLayer;

constexpr FigureEntry kFigures[] = {
    {ValidationKind::Wall, QuantityScope::Element, "thermal_resistance_upper", kNeedsNothing},
    {ValidationKind::Wall, QuantityScope::Element, "thermal_resistance_lower", kNeedsNothing},
    {ValidationKind::Wall, QuantityScope::Element, "relative_error", kNeedsNothing},
    {ValidationKind::Wall, QuantityScope::Element, "corrections.delta_u", kNeedsNothing},
    {ValidationKind::Wall, QuantityScope::Element, "u_value_corrected", kNeedsNothing},
    {ValidationKind::Wall, QuantityScope::Element, "paths.thermal_resistance", kNeedsPath},
    {ValidationKind::Wall, QuantityScope::Element, "paths.u_value", kNeedsPath},
    {ValidationKind::Wall, QuantityScope::Element, "air_layers.thermal_resistance", kNeedsAirLayer},
    {ValidationKind::Wall, QuantityScope::Reference, "surface_resistance.internal", kNeedsNothing},
    {ValidationKind::Wall, QuantityScope::Reference, "surface_resistance.external", kNeedsNothing},

    {ValidationKind::Moisture, QuantityScope::Moisture, "start_month", kNeedsNothing},
    {ValidationKind::Moisture, QuantityScope::Moisture, "months.condensation", kNeedsMonth},
    {ValidationKind::Moisture, QuantityScope::Moisture, "months.accumulated", kNeedsMonth},
    {ValidationKind::Moisture, QuantityScope::Moisture, "months.f_rsi_min", kNeedsMonth},
    {ValidationKind::Moisture, QuantityScope::Moisture, "months.f_rsi_min_condensation",
     kNeedsMonth},
    {ValidationKind::Moisture, QuantityScope::Moisture, "months.interfaces.temperature",
     kMonthAndLayer},
    {ValidationKind::Moisture, QuantityScope::Moisture, "months.interfaces.saturation_pressure",
     kMonthAndLayer},
    {ValidationKind::Moisture, QuantityScope::Moisture, "months.interfaces.vapour_pressure",
     kMonthAndLayer},
    {ValidationKind::Moisture, QuantityScope::Moisture, "months.interfaces.accumulated",
     kMonthAndLayer},
    {ValidationKind::Moisture, QuantityScope::Reference, "months.interfaces.condensation_rate",
     kMonthAndLayer},
    {ValidationKind::Moisture, QuantityScope::Moisture, "max_accumulated", kNeedsNothing},
    {ValidationKind::Moisture, QuantityScope::Moisture, "max_month", kNeedsNothing},
    {ValidationKind::Moisture, QuantityScope::Moisture, "max_accumulated_interface.accumulated",
     kNeedsNothing},
    {ValidationKind::Moisture, QuantityScope::Moisture, "max_accumulated_interface.depth",
     kNeedsNothing},
    {ValidationKind::Moisture, QuantityScope::Moisture, "max_accumulated_interface.month",
     kNeedsNothing},
    {ValidationKind::Moisture, QuantityScope::Moisture, "end_accumulated", kNeedsNothing},
    {ValidationKind::Moisture, QuantityScope::Moisture, "surface.f_rsi", kNeedsNothing},
    {ValidationKind::Moisture, QuantityScope::Moisture, "surface.f_rsi_min", kNeedsNothing},
    {ValidationKind::Moisture, QuantityScope::Moisture, "surface.critical_month", kNeedsNothing},
    {ValidationKind::Moisture, QuantityScope::Reference, "indoor_vapour_pressure", kNeedsMonth},
    {ValidationKind::Moisture, QuantityScope::Reference, "minimum_surface_temperature",
     kNeedsMonth},

    {ValidationKind::Climate, QuantityScope::Moisture, "months.f_rsi_min", kNeedsMonth},
    {ValidationKind::Climate, QuantityScope::Moisture, "months.f_rsi_min_condensation",
     kNeedsMonth},
    {ValidationKind::Climate, QuantityScope::Moisture, "surface.f_rsi_min", kNeedsNothing},
    {ValidationKind::Climate, QuantityScope::Moisture, "surface.critical_month", kNeedsNothing},
    {ValidationKind::Climate, QuantityScope::Reference, "indoor_vapour_pressure", kNeedsMonth},
    {ValidationKind::Climate, QuantityScope::Reference, "minimum_surface_temperature", kNeedsMonth},

    {ValidationKind::SurfaceResistance, QuantityScope::Reference, "surface_resistance.internal",
     kNeedsHeatFlow},
    {ValidationKind::SurfaceResistance, QuantityScope::Reference, "surface_resistance.external",
     kNeedsHeatFlow},
    {ValidationKind::AirLayer, QuantityScope::Element, "air_layers.thermal_resistance",
     kNeedsThickness | kNeedsHeatFlow},
    {ValidationKind::SaturationPressure, QuantityScope::Reference, "saturation_pressure",
     kNeedsTemperature},
};

/// A wall's own number or complex quantity, as `brusk compute` prints it.
const Engine::Quantity* wallQuantity(std::string_view key) {
  const Engine::Quantity* q = Engine::findQuantity(QuantityScope::Wall, key);
  if (q == nullptr || (q->wallNumber == nullptr && q->wallComplex == nullptr)) return nullptr;
  return q;
}

}  // namespace

bool comparableFigure(ValidationKind kind, std::string_view key, ComparableFigure& figure) {
  if (kind == ValidationKind::Wall) {
    if (const Engine::Quantity* q = wallQuantity(key)) {
      figure.scope = QuantityScope::Wall;
      figure.needs = q->wallComplex != nullptr ? kNeedsPart : kNeedsNothing;
      return true;
    }
  }
  for (const FigureEntry& entry : kFigures) {
    if (entry.kind == kind && entry.key == key) {
      figure.scope = entry.scope;
      figure.needs = entry.needs;
      return true;
    }
  }
  return false;
}

std::vector<std::string> comparableKeys(ValidationKind kind) {
  std::vector<std::string> keys;
  if (kind == ValidationKind::Wall) {
    for (const Engine::Quantity& q : Engine::quantities()) {
      if (q.scope == QuantityScope::Wall && wallQuantity(q.key) != nullptr) {
        keys.emplace_back(q.key);
      }
    }
  }
  for (const FigureEntry& entry : kFigures) {
    if (entry.kind == kind) keys.emplace_back(entry.key);
  }
  return keys;
}

}  // namespace Detail

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kGramsPerKilogram = 1000.0;

/// A month 1..12 for an index 0..11, NaN for none.
double monthNumber(std::size_t index) { return index < 12 ? static_cast<double>(index + 1) : kNaN; }

double partOf(const Engine::Complex& value, ComplexPart part, double period) {
  switch (part) {
    case ComplexPart::Real:
      return value.getRealPart();
    case ComplexPart::Imaginary:
      return value.getImaginaryPart();
    case ComplexPart::Modulus:
      return value.getModulus();
    case ComplexPart::TimeShift:
      return Engine::timeShiftHours(value, period);
    case ComplexPart::None:
      break;
  }
  return kNaN;
}

/// The 1-based entry `number` of a list of `count`, or a problem naming what is there.
std::size_t entryIndex(std::size_t number, std::size_t count, const char* what) {
  if (number < 1 || number > count) {
    throw Error("the figure reads " + std::string(what) + " " + std::to_string(number) +
                ", and there " + (count == 1 ? "is 1" : "are " + std::to_string(count)));
  }
  return number - 1;
}

std::vector<double> wallFigures(const ValidationCase& one) {
  Wall wall = *one.wall;
  wall.request.period = one.periodHours * Engine::kSecondsPerHour;
  // A wall of parts, air layers or corrections is an element, as `brusk compute` computes it;
  // a plain wall goes through computeWall, as there.
  const Engine::ElementResult element = computeElementWall(wall);
  const Engine::WallResult result = isElement(wall) ? element.wall : computeWall(wall);
  const Engine::SurfaceResistances surfaces = wall.request.surfaceResistances();
  std::vector<double> values;
  for (const ValidationFigure& figure : one.figures) {
    const Engine::Quantity& q = Engine::quantity(figure.scope, figure.key);
    const std::string_view key = figure.key;
    double value = kNaN;
    if (q.wallNumber != nullptr) {
      value = q.wallNumber(result);
    } else if (q.wallComplex != nullptr) {
      value = partOf(q.wallComplex(result), figure.at.part, result.period);
    } else if (key == "thermal_resistance_upper") {
      value = element.upperResistance;
    } else if (key == "thermal_resistance_lower") {
      value = element.lowerResistance;
    } else if (key == "relative_error") {
      value = element.relativeError;
    } else if (key == "corrections.delta_u") {
      value = element.deltaU;
    } else if (key == "u_value_corrected") {
      value = element.correctedU;
    } else if (key == "paths.thermal_resistance" || key == "paths.u_value") {
      const Engine::ElementPath& path =
          element.paths[entryIndex(*figure.at.path, element.paths.size(), "path")];
      value = key == "paths.u_value" ? 1.0 / path.thermalResistance : path.thermalResistance;
    } else if (key == "air_layers.thermal_resistance") {
      const std::vector<AirGap>& gaps = wall.element.airGaps;
      value = gaps[entryIndex(*figure.at.airLayer, gaps.size(), "air layer")].resistance;
    } else if (key == "surface_resistance.internal") {
      value = surfaces.internal;
    } else if (key == "surface_resistance.external") {
      value = surfaces.external;
    }
    values.push_back(value);
  }
  return values;
}

/// The plane on the outer side of layer `layer` (1 on side 1; 0 is the inner face).
std::size_t planeAfterLayer(const Engine::MoistureResult& result, std::size_t layer) {
  if (layer == 0) return 0;
  for (std::size_t j = 1; j < result.planes.size(); ++j) {
    if (result.planes[j].interface && result.planes[j].layer + 1 == layer) return j;
  }
  throw Error("the figure reads the interface after layer " + std::to_string(layer) +
              ", and the wall has fewer layers");
}

/// Figures every year of climate gives: the surface check's and the indoor side's.
double climateFigure(const ValidationFigure& figure, const Engine::YearClimate& year) {
  const std::string_view key = figure.key;
  if (key == "surface.critical_month") return monthNumber(Engine::criticalMonth(year));
  if (key == "surface.f_rsi_min") {
    const std::size_t critical = Engine::criticalMonth(year);
    return critical < 12
               ? Engine::minimumTemperatureFactor(year[critical], Engine::kMouldSurfaceHumidity)
               : kNaN;
  }
  if (!figure.at.month) return kNaN;
  const Engine::MonthClimate& month = year[*figure.at.month - 1];
  if (key == "months.f_rsi_min") {
    return Engine::minimumTemperatureFactor(month, Engine::kMouldSurfaceHumidity);
  }
  if (key == "months.f_rsi_min_condensation") {
    return Engine::minimumTemperatureFactor(month, Engine::kCondensationSurfaceHumidity);
  }
  if (key == "indoor_vapour_pressure") return month.indoorVapourPressure();
  if (key == "minimum_surface_temperature") {
    return Engine::minimumSurfaceTemperature(month, Engine::kMouldSurfaceHumidity);
  }
  return kNaN;
}

std::vector<double> moistureFigures(const ValidationCase& one) {
  Climate climate;
  climate.months = *one.climate;
  climate.source = one.id;
  const MoistureReport report = assessMoisture(*one.wall, climate, one.id);
  const Engine::MoistureResult& result = report.result;
  const bool severalWet = result.wetPlaneCount > 1;
  std::vector<double> values;
  for (const ValidationFigure& figure : one.figures) {
    const std::string_view key = figure.key;
    double value = kNaN;
    if (key == "start_month") {
      value = result.condenses ? monthNumber(result.startMonth) : kNaN;
    } else if (key == "max_accumulated") {
      value = result.maxAccumulated * kGramsPerKilogram;
    } else if (key == "max_month") {
      value = monthNumber(result.maxMonth);
    } else if (key == "max_accumulated_interface.accumulated") {
      value = severalWet ? result.maxPlaneAccumulated * kGramsPerKilogram : kNaN;
    } else if (key == "max_accumulated_interface.depth") {
      value = severalWet ? result.planes[result.maxPlane].depth : kNaN;
    } else if (key == "max_accumulated_interface.month") {
      value = severalWet ? monthNumber(result.maxPlaneMonth) : kNaN;
    } else if (key == "end_accumulated") {
      value = result.endAccumulated * kGramsPerKilogram;
    } else if (key == "surface.f_rsi") {
      value = result.fRsi;
    } else if (figure.at.month && figure.at.layer) {
      const Engine::MoistureMonth& month = result.months[*figure.at.month - 1];
      const std::size_t plane = planeAfterLayer(result, *figure.at.layer);
      if (key == "months.interfaces.temperature") value = month.temperature[plane];
      if (key == "months.interfaces.saturation_pressure") value = month.saturationPressure[plane];
      if (key == "months.interfaces.vapour_pressure") value = month.vapourPressure[plane];
      if (key == "months.interfaces.accumulated") {
        value = month.accumulatedAt[plane] * kGramsPerKilogram;
      }
      if (key == "months.interfaces.condensation_rate") {
        // The calendar month's length (ISO 13788:2012, 6.1), days of 86 400 s.
        const double seconds =
            static_cast<double>(Engine::kDaysInMonth[*figure.at.month - 1]) * Engine::kDailyPeriod;
        value = month.rateAt[plane] * seconds * kGramsPerKilogram;
      }
    } else if (figure.at.month && (key == "months.condensation" || key == "months.accumulated")) {
      const Engine::MoistureMonth& month = result.months[*figure.at.month - 1];
      value = (key == "months.condensation" ? month.condensation : month.accumulated) *
              kGramsPerKilogram;
    } else {
      value = climateFigure(figure, *one.climate);
    }
    values.push_back(value);
  }
  return values;
}

std::vector<double> computeFigures(const ValidationCase& one) {
  std::vector<double> values;
  switch (one.kind) {
    case ValidationKind::Wall:
      return wallFigures(one);
    case ValidationKind::Moisture:
      return moistureFigures(one);
    case ValidationKind::Climate:
      for (const ValidationFigure& figure : one.figures) {
        values.push_back(climateFigure(figure, *one.climate));
      }
      return values;
    case ValidationKind::SurfaceResistance:
      for (const ValidationFigure& figure : one.figures) {
        const Engine::SurfaceResistances surfaces = Engine::conventionalSurfaceResistances(
            one.position, figure.at.heatFlow.value_or(Engine::HeatFlowDirection::Horizontal));
        values.push_back(figure.key == "surface_resistance.internal" ? surfaces.internal
                                                                     : surfaces.external);
      }
      return values;
    case ValidationKind::AirLayer:
      for (const ValidationFigure& figure : one.figures) {
        const double thickness = figure.at.thickness.value_or(kNaN);
        const Engine::HeatFlowDirection heatFlow =
            figure.at.heatFlow.value_or(Engine::HeatFlowDirection::Horizontal);
        values.push_back(one.emissivities
                             ? Engine::airLayerResistance(thickness, heatFlow,
                                                          (*one.emissivities)[0],
                                                          (*one.emissivities)[1])
                             : Engine::tabulatedAirLayerResistance(thickness, heatFlow));
      }
      return values;
    case ValidationKind::SaturationPressure:
      for (const ValidationFigure& figure : one.figures) {
        values.push_back(Engine::saturationPressure(figure.at.temperature.value_or(kNaN)));
      }
      return values;
    case ValidationKind::External:
      if (!one.compute) throw Error("the case gives no function to compute its figures");
      values = one.compute(one);
      if (values.size() != one.figures.size()) {
        throw Error("its function computed " + std::to_string(values.size()) + " values for " +
                    std::to_string(one.figures.size()) + " figures");
      }
      return values;
  }
  return values;
}

}  // namespace

std::string FigureLocation::text() const {
  std::string out;
  const auto add = [&out](const std::string& piece) {
    if (!out.empty()) out += ", ";
    out += piece;
  };
  if (point) add(*point);
  if (month) add("month " + std::to_string(*month));
  if (path) add("path " + std::to_string(*path));
  if (airLayer) add("air layer " + std::to_string(*airLayer));
  if (layer) {
    add(*layer == 0 ? std::string("inner face")
                    : "interface after layer " + std::to_string(*layer));
  }
  if (heatFlow) {
    add(*heatFlow == Engine::HeatFlowDirection::Upward     ? "upward"
        : *heatFlow == Engine::HeatFlowDirection::Downward ? "downward"
                                                           : "horizontal");
  }
  if (thickness) {
    char text[48];
    std::snprintf(text, sizeof text, "d = %g mm", *thickness * 1000.0);
    add(text);
  }
  if (temperature) {
    char text[48];
    std::snprintf(text, sizeof text, "theta = %g degC", *temperature);
    add(text);
  }
  switch (part) {
    case ComplexPart::Real:
      add("real part");
      break;
    case ComplexPart::Imaginary:
      add("imaginary part");
      break;
    case ComplexPart::Modulus:
      add("modulus");
      break;
    case ComplexPart::TimeShift:
      add("time shift");
      break;
    case ComplexPart::None:
      break;
  }
  return out;
}

std::size_t ValidationRun::figureCount() const {
  std::size_t count = 0;
  for (const CaseOutcome& outcome : outcomes) count += outcome.figures.size();
  return count;
}

std::size_t ValidationRun::agreeingCount() const {
  std::size_t count = 0;
  for (const CaseOutcome& outcome : outcomes) {
    for (const FigureOutcome& figure : outcome.figures) count += figure.agrees ? 1u : 0u;
  }
  return count;
}

bool ValidationRun::allAgree() const {
  return figureCount() > 0 && agreeingCount() == figureCount();
}

ValidationRun runValidationCases(std::vector<ValidationCase> cases) {
  ValidationRun run;
  run.outcomes.reserve(cases.size());
  for (const ValidationCase& one : cases) {
    CaseOutcome outcome;
    std::vector<double> values(one.figures.size(), kNaN);
    try {
      values = computeFigures(one);
    } catch (const Error& error) {
      outcome.problem = error.what();
    } catch (const std::exception& error) {
      // A case's own function (an External case) may fail in its own way: the case keeps its
      // place, not computed, and the others run.
      outcome.problem = std::string("internal error: ") + error.what();
    }
    for (std::size_t f = 0; f < one.figures.size(); ++f) {
      const ValidationFigure& figure = one.figures[f];
      FigureOutcome result;
      result.computed = values[f] * figure.scale;
      result.difference = result.computed - figure.published;
      // Written so that a figure not computed (NaN) does not agree.
      result.agrees = std::fabs(result.difference) <= figure.tolerance;
      outcome.figures.push_back(result);
    }
    run.outcomes.push_back(std::move(outcome));
  }
  run.cases = std::move(cases);
  return run;
}

ValidationRun runValidation(std::vector<ValidationCase> extraCases) {
  std::vector<ValidationCase> cases = builtInValidationCases();
  std::set<std::string> ids;
  for (const ValidationCase& one : cases) ids.insert(one.id);
  for (ValidationCase& one : extraCases) {
    if (!ids.insert(one.id).second) {
      throw Error("validation case id \"" + one.id + "\" is used twice; ids name one case each");
    }
    cases.push_back(std::move(one));
  }
  return runValidationCases(std::move(cases));
}

}  // namespace Brusk::Frontend
