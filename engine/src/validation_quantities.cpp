// The quantities of `brusk validate` (its JSON object, its table's columns and Python's frame),
// and the reference figures it compares that no other output prints on its own.

#include <string_view>
#include <vector>

#include "quantity_tables.h"

namespace Brusk::Engine::Detail {

namespace {

constexpr std::string_view kValidation = "Brusk validation cases (data/validation/)";

/// A field of the validation output (which has no CSV: its table is for people, its JSON and
/// Python's frame for programs, the frame's columns the keys' last parts).
Quantity field(QuantityType type, std::string_view key, std::string_view label,
               std::string_view unit, std::string_view unitUnicode, int decimals,
               std::string_view definition) {
  return describe(QuantityScope::Validation, type, key, label, "", "", "", unit, unitUnicode,
                  decimals, definition, kValidation);
}

Quantity text(std::string_view key, std::string_view label, std::string_view definition) {
  return field(QuantityType::Text, key, label, "", "", 0, definition);
}

Quantity count(std::string_view key, std::string_view label, std::string_view definition) {
  return field(QuantityType::Number, key, label, "-", "–", 0, definition);
}

/// A figure computed on the way that a published table gives.
Quantity reference(std::string_view key, std::string_view label, std::string_view symbol,
                   std::string_view symbolUnicode, std::string_view symbolHtml,
                   std::string_view unit, std::string_view unitUnicode, int decimals,
                   std::string_view definition, std::string_view source) {
  return describe(QuantityScope::Reference, QuantityType::Number, key, label, symbol, symbolUnicode,
                  symbolHtml, unit, unitUnicode, decimals, definition, source);
}

}  // namespace

std::vector<Quantity> validationQuantities() {
  constexpr QuantityType kNumber = QuantityType::Number;
  return {
      text("version", "Brusk version", "The version of Brusk that computed the figures"),
      text("cases.id", "Case", "Short name of the case, unique over every case"),
      text("cases.title", "Title", "What the case is, in a few words"),
      text("cases.standard", "Standard",
           "The standard and edition whose method the case exercises"),
      text("cases.kind", "Kind of case",
           "What is computed: \"wall\", \"moisture\", \"climate\", \"surface_resistance\", "
           "\"air_layer\", \"saturation_pressure\" or \"external\""),
      text("cases.file", "Data file", "The file of data/validation/ the case is read from"),
      text("cases.source.document", "Published in", "The document that prints the figures"),
      text("cases.source.clause", "Place in the document",
           "Clause, annex, table or example of the figures"),
      text("cases.source.edition", "Edition", "Edition or year of the document"),
      text("cases.notes", "Conventions",
           "What is needed to read the figures as printed: month length, rounding, the "
           "representation of an input"),
      text("cases.problem", "Problem", "Why the case could not be computed; empty when it was"),
      text("cases.figures.quantity", "Quantity",
           "Key of the compared quantity in `brusk quantities` (its scope's output)"),
      text("cases.figures.label", "Label",
           "The compared quantity's label, symbol and the place it is read at"),
      text("cases.figures.at", "Place",
           "Where the figure is read: month, path, air layer, interface, temperature, part; "
           "empty for the whole case"),
      text("cases.figures.unit", "Unit", "The unit the document prints the figure in"),
      text("cases.figures.printed", "Printed", "The figure exactly as the document prints it"),
      field(kNumber, "cases.figures.published", "Published", "", "", 6,
            "The printed figure as a number, in the figure's unit"),
      field(kNumber, "cases.figures.computed", "Computed by Brusk", "", "", 6,
            "Brusk's value in the figure's unit, unrounded; null when it could not be computed"),
      field(kNumber, "cases.figures.tolerance", "Tolerance", "", "", 6,
            "Largest difference that agrees, in the figure's unit: as the data file gives it, "
            "else half a unit in the last printed digit"),
      field(kNumber, "cases.figures.difference", "Difference", "", "", 6,
            "computed - published, in the figure's unit; null when not computed"),
      field(QuantityType::Flag, "cases.figures.agrees", "Agrees", "", "", 0,
            "|computed - published| <= tolerance; a figure not computed does not agree"),
      count("summary.cases", "Cases", "Number of cases run"),
      count("summary.figures", "Figures", "Number of figures compared"),
      count("summary.agree", "Figures that agree", "Figures within their tolerance"),
      count("summary.differ", "Figures that differ",
            "Figures outside their tolerance or not computed"),
      field(QuantityType::Flag, "summary.all_agree", "All agree", "", "", 0,
            "Every figure of every case agrees (the exit status of brusk validate is then 0)"),

      reference("surface_resistance.internal", "Internal surface resistance", "R_si", "Rsi",
                "<i>R</i><sub>si</sub>", "m2.K/W", "m²·K/W", 2,
                "Conventional internal surface resistance for the element's heat-flow direction",
                "ISO 6946:2017, 6.8, Table 7"),
      reference("surface_resistance.external", "External surface resistance", "R_se", "Rse",
                "<i>R</i><sub>se</sub>", "m2.K/W", "m²·K/W", 2,
                "Conventional external surface resistance (R_si again for an internal element)",
                "ISO 6946:2017, 6.8, Table 7"),
      reference("saturation_pressure", "Saturation vapour pressure", "p_sat", "psat",
                "<i>p</i><sub>sat</sub>", "Pa", "Pa", 1,
                "610.5 exp(17.269 theta / (237.3 + theta)) at theta >= 0 degC, 610.5 "
                "exp(21.875 theta / (265.5 + theta)) below",
                "ISO 13788:2012, Annex E"),
      reference("months.interfaces.condensation_rate", "Condensation rate over the month", "g_c t",
                "gc t", "<i>g</i><sub>c</sub> <i>t</i>", "g/m2", "g/m²", 1,
                "The plane's condensation (+) or evaporation (-) rate at the month's start times "
                "the month's length, as the standard's example tables list it; a plane that "
                "dries out within the month gives back only what it held (months.interfaces."
                "accumulated)",
                "ISO 13788:2012, 6.3, 6.4"),
      reference("indoor_vapour_pressure", "Indoor vapour pressure", "p_i", "pi",
                "<i>p</i><sub>i</sub>", "Pa", "Pa", 0, "p_i = phi_i p_sat(theta_i) of the month",
                "ISO 13788:2012, 5.2"),
      reference("minimum_surface_temperature", "Minimum inner surface temperature", "theta_si,min",
                "θsi,min", "<i>θ</i><sub>si,min</sub>", "degC", "°C", 1,
                "The surface temperature at which p_i gives phi_si = 0.8: p_sat(theta_si,min) = "
                "p_i / 0.8",
                "ISO 13788:2012, 5.2"),
  };
}

}  // namespace Brusk::Engine::Detail
