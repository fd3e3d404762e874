// The quantities of the ISO 13788:2012 assessment: the monthly Glaser method for interstitial
// condensation and the temperature factor against surface mould and condensation.

#include <string_view>
#include <vector>

#include "quantity_tables.h"

namespace Brusk::Engine::Detail {

namespace {

constexpr std::string_view kGlaser = "ISO 13788:2012, 6";
constexpr std::string_view kSurface = "ISO 13788:2012, 5";

Quantity of(QuantityType type, std::string_view key, std::string_view column,
            std::string_view label, std::string_view symbol, std::string_view symbolUnicode,
            std::string_view symbolHtml, std::string_view unit, std::string_view unitUnicode,
            int decimals, std::string_view definition, std::string_view source) {
  Quantity q = describe(QuantityScope::Moisture, type, key, label, symbol, symbolUnicode,
                        symbolHtml, unit, unitUnicode, decimals, definition, source);
  q.csvName = column;
  return q;
}

}  // namespace

std::vector<Quantity> moistureQuantities() {
  constexpr QuantityType kNumber = QuantityType::Number;
  constexpr QuantityType kText = QuantityType::Text;
  constexpr QuantityType kFlag = QuantityType::Flag;
  constexpr std::string_view kWater = "g/m2";
  constexpr std::string_view kWaterUnicode = "g/m²";
  return {
      of(kText, "layers.sd_source", "", "Source of the layer's s_d", "", "", "", "", "", 0,
         "Where s_d comes from: \"vapour_resistance_factor\" (mu d), \"sd\" (given), "
         "\"catalogue\" (the material's mu), \"air layer (mu = 1)\" or \"default (pure "
         "resistance: sd = 0)\"",
         "ISO 10456:2007, 3.3"),
      of(kNumber, "layers.sd", "", "Equivalent air layer thickness of the layer", "s_d", "sd",
         "<i>s</i><sub>d</sub>", "m", "m", 3, "s_d = mu d", "ISO 10456:2007, 3.3"),
      of(kNumber, "start_month", "", "Start month", "", "", "", "", "", 0,
         "First month of condensation after one without, in the dry element; null when no month "
         "condenses",
         "ISO 13788:2012, 6.4"),
      of(kNumber, "months.month", "month", "Month", "", "", "", "", "", 0,
         "Calendar month 1 to 12, January first", kGlaser),
      of(kNumber, "months.condensation", "condensation", "Condensed (+) or evaporated (-)", "g_c t",
         "gc t", "<i>g</i><sub>c</sub> <i>t</i>", kWater, kWaterUnicode, 1,
         "Water condensed or evaporated in the month, summed over the planes",
         "ISO 13788:2012, 6.3, 6.4"),
      of(kNumber, "months.accumulated", "accumulated", "Accumulated", "M_a", "Ma",
         "<i>M</i><sub>a</sub>", kWater, kWaterUnicode, 1,
         "Water held at the month's end, summed over the planes", "ISO 13788:2012, 6.4"),
      of(kNumber, "months.f_rsi_min", "f_rsi_min", "Minimum temperature factor (mould)",
         "f_Rsi,min", "fRsi,min", "<i>f</i><sub>Rsi,min</sub>", "-", "–", 3,
         "(theta_si,min - theta_e) / (theta_i - theta_e) with phi_si = 0.8; null when "
         "theta_i <= theta_e",
         "ISO 13788:2012, 5.2"),
      of(kNumber, "months.f_rsi_min_condensation", "", "Minimum temperature factor (condensation)",
         "f_Rsi,min", "fRsi,min", "<i>f</i><sub>Rsi,min</sub>", "-", "–", 3,
         "As f_rsi_min with phi_si = 1.0", "ISO 13788:2012, 5.2"),
      of(kText, "months.interfaces.kind", "", "Plane", "", "", "", "", "", 0,
         "face (of the stack), interface (between layers) or sublayer", "ISO 13788:2012, 6.2"),
      of(kNumber, "months.interfaces.depth", "", "Depth", "x", "x", "<i>x</i>", "m", "m", 3,
         "Distance from the inner face", kGlaser),
      of(kNumber, "months.interfaces.sd", "", "Equivalent air layer thickness", "s_d", "sd",
         "<i>s</i><sub>d</sub>", "m", "m", 3, "Cumulative s_d = sum of mu d from the inner face",
         "ISO 10456:2007, 3.3"),
      of(kNumber, "months.interfaces.temperature", "", "Temperature", "theta", "θ", "<i>θ</i>",
         "degC", "°C", 1, "theta_i - (theta_i - theta_e) R / R_T", "ISO 13788:2012, 6.3"),
      of(kNumber, "months.interfaces.saturation_pressure", "", "Saturation vapour pressure",
         "p_sat", "psat", "<i>p</i><sub>sat</sub>", "Pa", "Pa", 0,
         "Over water at theta >= 0 degC, over ice below", "ISO 13788:2012, Annex E"),
      of(kNumber, "months.interfaces.vapour_pressure", "", "Vapour pressure", "p", "p", "<i>p</i>",
         "Pa", "Pa", 0, "Tangent construction over s_d with the month's starting moisture",
         "ISO 13788:2012, 6.3"),
      of(kNumber, "months.interfaces.accumulated", "", "Accumulated at the plane", "M_a", "Ma",
         "<i>M</i><sub>a</sub>", kWater, kWaterUnicode, 1,
         "Water held at the plane at the month's end", "ISO 13788:2012, 6.4"),
      of(kNumber, "max_accumulated", "max_accumulated", "Largest accumulation", "M_a,max", "Ma,max",
         "<i>M</i><sub>a,max</sub>", kWater, kWaterUnicode, 1,
         "Largest of the months' accumulated totals (months.accumulated, summed over the "
         "planes)",
         "ISO 13788:2012, 6.5"),
      of(kNumber, "max_month", "max_month", "Month of the largest accumulation", "", "", "", "", "",
         0, "Month of max_accumulated, 1 to 12; null without any condensation",
         "ISO 13788:2012, 6.5"),
      of(kNumber, "max_interface", "", "Plane holding the most water", "", "", "", "", "", 0,
         "Index into interfaces of the plane that holds the most water at a month's end; null "
         "without any condensation",
         "ISO 13788:2012, 6.5"),
      of(kNumber, "max_accumulated_interface.accumulated", "",
         "Largest accumulation at one interface", "M_a,max,j", "Ma,max,j",
         "<i>M</i><sub>a,max,j</sub>", kWater, kWaterUnicode, 1,
         "Largest water held at a single plane at a month's end, where several planes hold "
         "water (below max_accumulated then); null when one plane or none does",
         "ISO 13788:2012, 6.5"),
      of(kNumber, "max_accumulated_interface.depth", "", "Depth of that interface", "x", "x",
         "<i>x</i>", "m", "m", 3, "Distance of that plane from the inner face; null likewise",
         kGlaser),
      of(kNumber, "max_accumulated_interface.month", "", "Month of that accumulation", "", "", "",
         "", "", 0, "1 to 12; null likewise", "ISO 13788:2012, 6.5"),
      of(kNumber, "end_accumulated", "", "Left after twelve months", "M_a,12", "Ma,12",
         "<i>M</i><sub>a,12</sub>", kWater, kWaterUnicode, 1,
         "Water held at the end of the twelfth month from the start month", "ISO 13788:2012, 6.5"),
      of(kFlag, "dries_out", "dries_out", "Dries out within the year", "", "", "", "", "", 0,
         "All condensate evaporated by the end of the twelve months", "ISO 13788:2012, 6.5"),
      of(kFlag, "limit_exceeded", "", "Condensation limit exceeded", "", "", "", "", "", 0,
         "Water held at a plane above the condensation_limit [g/m2] of a layer it touches; null "
         "when no layer states one",
         kGlaser),
      of(kNumber, "surface.f_rsi", "f_rsi", "Temperature factor", "f_Rsi", "fRsi",
         "<i>f</i><sub>Rsi</sub>", "-", "–", 3, "(R_T - R_si) / R_T with R_si = 0.25 m2.K/W",
         "ISO 13788:2012, 4.2.1, 5.3"),
      of(kNumber, "surface.f_rsi_min", "surface_f_rsi_min",
         "Minimum temperature factor of the critical month", "f_Rsi,min", "fRsi,min",
         "<i>f</i><sub>Rsi,min</sub>", "-", "–", 3, "Highest monthly f_Rsi,min against mould",
         kSurface),
      of(kNumber, "surface.critical_month", "critical_month", "Critical month", "", "", "", "", "",
         0, "Month of the highest f_Rsi,min; null when none is defined", "ISO 13788:2012, 5.3"),
      of(kFlag, "surface.passes", "passes", "Surface passes", "", "", "", "", "", 0,
         "f_Rsi > f_Rsi,min of the critical month", "ISO 13788:2012, 5.3"),
      // A wall with layers of parts: each path of the ISO 6946 combined method is assessed as a
      // one-dimensional stack, and the figures above are the governing path's.
      of(kNumber, "governing_path", "", "Governing path", "", "", "", "", "", 0,
         "Index into paths of the path with the worst verdict (not drying out, a limit "
         "exceeded, the surface failing, the most water held, the lowest f_Rsi, in that order), "
         "whose figures the wall's are; only for a wall with layers of parts",
         "ISO 6946:2017, 6.7.2.1"),
      of(kText, "paths.name", "", "Path", "", "", "", "", "", 0,
         "The parts the path takes, side 1 first", "ISO 6946:2017, 6.7.2.1"),
      of(kNumber, "paths.fraction", "", "Area fraction of the path", "f", "f", "<i>f</i>", "-", "–",
         3, "Share of the element's area the path stands for", "ISO 6946:2017, 6.7.2.1"),
      of(kNumber, "paths.max_accumulated", "", "Largest accumulation in the path", "M_a,max",
         "Ma,max", "<i>M</i><sub>a,max</sub>", kWater, kWaterUnicode, 1,
         "max_accumulated of the path's own assessment", "ISO 13788:2012, 6.5"),
      of(kNumber, "paths.max_month", "", "Month of the path's largest accumulation", "", "", "", "",
         "", 0, "1 to 12; null without any condensation", "ISO 13788:2012, 6.5"),
      of(kNumber, "paths.end_accumulated", "", "Left after twelve months in the path", "M_a,12",
         "Ma,12", "<i>M</i><sub>a,12</sub>", kWater, kWaterUnicode, 1,
         "end_accumulated of the path's own assessment", "ISO 13788:2012, 6.5"),
      of(kFlag, "paths.dries_out", "", "The path dries out within the year", "", "", "", "", "", 0,
         "dries_out of the path's own assessment", "ISO 13788:2012, 6.5"),
      of(kFlag, "paths.limit_exceeded", "", "Condensation limit exceeded in the path", "", "", "",
         "", "", 0, "limit_exceeded of the path's own assessment", kGlaser),
      of(kNumber, "paths.surface.f_rsi", "", "Temperature factor of the path", "f_Rsi", "fRsi",
         "<i>f</i><sub>Rsi</sub>", "-", "–", 3, "f_Rsi of the path as a one-dimensional stack",
         "ISO 13788:2012, 4.2.1, 5.3"),
      of(kFlag, "paths.surface.passes", "", "The path's surface passes", "", "", "", "", "", 0,
         "f_Rsi of the path > f_Rsi,min of the critical month", "ISO 13788:2012, 5.3"),
      of(kNumber, "paths.months.accumulated", "", "Accumulated in the path", "M_a", "Ma",
         "<i>M</i><sub>a</sub>", kWater, kWaterUnicode, 1,
         "Water held in the path at the month's end, summed over its planes",
         "ISO 13788:2012, 6.4"),
  };
}

}  // namespace Brusk::Engine::Detail
