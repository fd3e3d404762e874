// The quantities the ISO 6946:2017 combined method adds to the output of a bridged element
// (layers of parts, air layers given by their geometry, corrections of Annex F).

#include <string_view>
#include <vector>

#include "quantity_tables.h"

namespace Brusk::Engine::Detail {

namespace {

constexpr std::string_view kResistance = "m2.K/W";
constexpr std::string_view kResistanceUnicode = "m²·K/W";
constexpr std::string_view kTransmittance = "W/(m2.K)";
constexpr std::string_view kTransmittanceUnicode = "W/(m²·K)";
constexpr std::string_view kCombined = "ISO 6946:2017, 6.7.2";
constexpr std::string_view kCorrections = "ISO 6946:2017, Annex F";
constexpr std::string_view kAirLayers = "ISO 6946:2017, 6.9";
constexpr std::string_view kParallelPaths =
    "ISO 13786:2017 per path, summed by area (parallel-path approximation)";

/// A field of the element's own object; its CSV column is `column` (the key joined by '_').
Quantity field(QuantityType type, std::string_view key, std::string_view column,
               std::string_view label, std::string_view symbol, std::string_view symbolUnicode,
               std::string_view symbolHtml, std::string_view unit, std::string_view unitUnicode,
               int decimals, std::string_view definition, std::string_view source) {
  Quantity q = describe(QuantityScope::Element, type, key, label, symbol, symbolUnicode, symbolHtml,
                        unit, unitUnicode, decimals, definition, source);
  q.csvName = column;
  return q;
}

Quantity number(std::string_view key, std::string_view column, std::string_view label,
                std::string_view symbol, std::string_view symbolUnicode,
                std::string_view symbolHtml, std::string_view unit, std::string_view unitUnicode,
                int decimals, std::string_view definition, std::string_view source) {
  return field(QuantityType::Number, key, column, label, symbol, symbolUnicode, symbolHtml, unit,
               unitUnicode, decimals, definition, source);
}

Quantity flag(std::string_view key, std::string_view column, std::string_view label,
              std::string_view definition, std::string_view source) {
  return field(QuantityType::Flag, key, column, label, "", "", "", "", "", 0, definition, source);
}

/// A field of each entry of the "paths" or "air_layers" list; the CSV has no such column.
Quantity entry(QuantityType type, std::string_view key, std::string_view label,
               std::string_view symbol, std::string_view symbolUnicode, std::string_view symbolHtml,
               std::string_view unit, std::string_view unitUnicode, int decimals,
               std::string_view definition, std::string_view source) {
  return describe(QuantityScope::Element, type, key, label, symbol, symbolUnicode, symbolHtml, unit,
                  unitUnicode, decimals, definition, source);
}

}  // namespace

std::vector<Quantity> elementQuantities() {
  constexpr QuantityType kNumber = QuantityType::Number;
  constexpr QuantityType kText = QuantityType::Text;
  return {
      field(kText, "method", "method", "Method", "", "", "", "", "", 0,
            "How the element is computed: the combined method for the steady state, the "
            "parallel-path approximation for the periodic characteristics",
            kCombined),
      number("thermal_resistance_upper", "thermal_resistance_upper",
             "Upper limit of the thermal resistance", "R'_T", "R′T", "<i>R</i>′<sub>T</sub>",
             kResistance, kResistanceUnicode, 3,
             "R'_T = 1 / sum(f_j / R_Tj) over the paths j of area fraction f_j",
             "ISO 6946:2017, 6.7.2.2"),
      number("thermal_resistance_lower", "thermal_resistance_lower",
             "Lower limit of the thermal resistance", "R''_T", "R″T", "<i>R</i>″<sub>T</sub>",
             kResistance, kResistanceUnicode, 3,
             "R''_T = Rsi + sum R_j + Rse, each inhomogeneous layer as d / sum(f_q lambda_q)",
             "ISO 6946:2017, 6.7.2.3"),
      number("relative_error", "relative_error", "Largest relative error of the combined method",
             "e", "e", "<i>e</i>", "-", "–", 3, "e = (R'_T - R''_T) / (2 R_T)", kCombined),
      flag("relative_error_limit_exceeded", "relative_error_limit_exceeded",
           "Outside the combined method (R′T/R″T > 1.5)",
           "R'_T / R''_T > 1.5, where the combined method does not apply (e > 20 %)", kCombined),
      flag("corrections.air_voids.applied", "corrections_air_voids_applied",
           "Air-void correction asked for", "An air-void correction was asked for", kCorrections),
      number("corrections.air_voids.level", "corrections_air_voids_level", "Air-void level", "", "",
             "", "-", "–", 0, "Level 0, 1 or 2 of the air voids", "ISO 6946:2017, Table F.1"),
      number("corrections.air_voids.layer", "corrections_air_voids_layer",
             "Layer holding the air voids", "", "", "", "-", "–", 0,
             "The layer holding the voids, counted from side 1", kCorrections),
      number("corrections.air_voids.layer_resistance", "corrections_air_voids_layer_resistance",
             "Thermal resistance of the layer holding the voids", "R_1", "R₁",
             "<i>R</i><sub>1</sub>", kResistance, kResistanceUnicode, 3,
             "Thermal resistance of the layer holding the voids", kCorrections),
      number("corrections.air_voids.delta_u_level", "corrections_air_voids_delta_u_level",
             "Correction of the air-void level", "Delta U''", "ΔU″", "Δ<i>U</i>″", kTransmittance,
             kTransmittanceUnicode, 3, "The level's Delta U''", "ISO 6946:2017, Table F.1"),
      number("corrections.air_voids.delta_u", "corrections_air_voids_delta_u",
             "Air-void correction", "Delta U_g", "ΔUg", "Δ<i>U</i><sub>g</sub>", kTransmittance,
             kTransmittanceUnicode, 4, "Delta U_g = Delta U'' (R_1 / R_T)^2", "ISO 6946:2017, F.2"),
      flag("corrections.fasteners.applied", "corrections_fasteners_applied",
           "Fastener correction asked for", "A fastener correction was asked for", kCorrections),
      number("corrections.fasteners.layer", "corrections_fasteners_layer",
             "Insulation layer the fasteners cross", "", "", "", "-", "–", 0,
             "The insulation layer crossed, counted from side 1", kCorrections),
      number("corrections.fasteners.count", "corrections_fasteners_count",
             "Fasteners per square metre", "n_f", "nf", "<i>n</i><sub>f</sub>", "1/m2", "1/m²", 0,
             "Number of fasteners per square metre", "ISO 6946:2017, F.3"),
      number("corrections.fasteners.cross_section", "corrections_fasteners_cross_section",
             "Cross-section of one fastener", "A_f", "Af", "<i>A</i><sub>f</sub>", "m2", "m²", 0,
             "Cross-section of one fastener", "ISO 6946:2017, F.3"),
      number("corrections.fasteners.conductivity", "corrections_fasteners_conductivity",
             "Thermal conductivity of the fastener", "lambda_f", "λf", "<i>λ</i><sub>f</sub>",
             "W/(m.K)", "W/(m·K)", 0, "Thermal conductivity of the fastener", "ISO 6946:2017, F.3"),
      number("corrections.fasteners.penetration", "corrections_fasteners_penetration",
             "Length of the fastener inside the layer", "d_1", "d₁", "<i>d</i><sub>1</sub>", "m",
             "m", 0, "Length of the fastener inside the insulation layer", "ISO 6946:2017, F.3"),
      number("corrections.fasteners.alpha", "corrections_fasteners_alpha",
             "Coefficient of the fastener correction", "alpha", "α", "<i>α</i>", "-", "–", 3,
             "alpha = 0.8 d_1 / d_0 (0.8 for a fastener right through the layer)",
             "ISO 6946:2017, F.3"),
      number("corrections.fasteners.layer_resistance", "corrections_fasteners_layer_resistance",
             "Thermal resistance of the layer crossed", "R_1", "R₁", "<i>R</i><sub>1</sub>",
             kResistance, kResistanceUnicode, 3,
             "Thermal resistance of the insulation layer the fasteners cross",
             "ISO 6946:2017, F.3"),
      number("corrections.fasteners.delta_u", "corrections_fasteners_delta_u",
             "Fastener correction", "Delta U_f", "ΔUf", "Δ<i>U</i><sub>f</sub>", kTransmittance,
             kTransmittanceUnicode, 4, "Delta U_f = alpha lambda_f n_f A_f / d_0 (R_1 / R_T)^2",
             "ISO 6946:2017, F.3"),
      number("corrections.delta_u", "corrections_delta_u", "Correction", "Delta U", "ΔU",
             "Δ<i>U</i>", kTransmittance, kTransmittanceUnicode, 4,
             "Delta U = Delta U_g + Delta U_f", "ISO 6946:2017, F.1"),
      flag("corrections.negligible", "corrections_negligible", "Correction negligible",
           "Delta U below 3 % of U, which may be left out", "ISO 6946:2017, F.1"),
      number("u_value_corrected", "u_value_corrected", "Corrected thermal transmittance", "U_c",
             "Uc", "<i>U</i><sub>c</sub>", kTransmittance, kTransmittanceUnicode, 3,
             "U_c = U + Delta U", "ISO 6946:2017, F.1"),

      entry(kNumber, "paths.fraction", "Area fraction of the path", "f_j", "fj",
            "<i>f</i><sub>j</sub>", "-", "–", 3, "Share of the area the path stands for",
            kCombined),
      entry(kText, "paths.parts", "Parts the path crosses", "", "", "", "", "", 0,
            "The part of each layer of parts the path crosses, with its fraction", kCombined),
      entry(kText, "paths.variant", "Layers of the path", "", "", "", "", "", 0,
            "\"all layers\", or \"inside the ventilated air layer\" where a well ventilated "
            "layer ends the element",
            "ISO 6946:2017, 6.9.3, 6.9.4"),
      entry(kNumber, "paths.thermal_resistance", "Thermal resistance of the path", "R_Tj", "RTj",
            "<i>R</i><sub>Tj</sub>", kResistance, kResistanceUnicode, 3,
            "R_Tj = Rsi + sum R + Rse along the path", kCombined),
      entry(kNumber, "paths.u_value", "Thermal transmittance of the path", "U_j", "Uj",
            "<i>U</i><sub>j</sub>", kTransmittance, kTransmittanceUnicode, 3, "U_j = 1 / R_Tj",
            kCombined),
      entry(kNumber, "paths.periodic_thermal_transmittance_modulus",
            "Periodic thermal transmittance of the path", "|Y12,j|", "|Y₁₂,j|",
            "|<i>Y</i><sub>12,j</sub>|", kTransmittance, kTransmittanceUnicode, 4,
            "The path's own periodic thermal transmittance", kParallelPaths),
      entry(kNumber, "paths.periodic_thermal_transmittance_time_shift",
            "Time shift of the path's Y12", "dt12,j", "Δt₁₂,j", "Δ<i>t</i><sub>12,j</sub>", "h",
            "h", 2, "(T / 2 pi) arg(Y12,j)", kParallelPaths),
      entry(kNumber, "paths.internal_admittance_modulus", "Internal admittance of the path",
            "|Y11,j|", "|Y₁₁,j|", "|<i>Y</i><sub>11,j</sub>|", kTransmittance,
            kTransmittanceUnicode, 3, "The path's own |Y11|", kParallelPaths),
      entry(kNumber, "paths.external_admittance_modulus", "External admittance of the path",
            "|Y22,j|", "|Y₂₂,j|", "|<i>Y</i><sub>22,j</sub>|", kTransmittance,
            kTransmittanceUnicode, 3, "The path's own |Y22|", kParallelPaths),
      entry(kNumber, "paths.internal_areal_heat_capacity",
            "Internal areal heat capacity of the path", "kappa1,j", "κ₁,j",
            "<i>κ</i><sub>1,j</sub>", "J/(m2.K)", "J/(m²·K)", 0, "The path's own kappa1",
            kParallelPaths),
      entry(kNumber, "paths.external_areal_heat_capacity",
            "External areal heat capacity of the path", "kappa2,j", "κ₂,j",
            "<i>κ</i><sub>2,j</sub>", "J/(m2.K)", "J/(m²·K)", 0, "The path's own kappa2",
            kParallelPaths),

      entry(kNumber, "air_layers.layer", "Place of the air layer", "", "", "", "-", "–", 0,
            "The air layer's place, counted from side 1", kAirLayers),
      entry(kNumber, "air_layers.thickness", "Thickness of the air layer", "d", "d", "<i>d</i>",
            "m", "m", 3, "Thickness of the air layer in the direction of heat flow", kAirLayers),
      entry(kText, "air_layers.ventilation", "Ventilation of the air layer", "", "", "", "", "", 0,
            "\"unventilated\", \"slightly\" or \"well\"", "ISO 6946:2017, 6.9.2 to 6.9.4"),
      entry(kNumber, "air_layers.openings", "Vent area of the air layer", "A_v", "Av",
            "<i>A</i><sub>v</sub>", "mm2/m", "mm²/m", 0,
            "Vent area per metre of a slightly ventilated layer", "ISO 6946:2017, 6.9.3"),
      entry(kNumber, "air_layers.thermal_resistance", "Thermal resistance of the air layer", "R_g",
            "Rg", "<i>R</i><sub>g</sub>", kResistance, kResistanceUnicode, 3,
            "As unventilated: from Table 8, from the emissivities (Annex D), or as given",
            "ISO 6946:2017, 6.9.2, Table 8, Annex D"),
      entry(kText, "air_layers.thermal_resistance_source", "Source of the air layer's resistance",
            "", "", "", "", "", 0, "\"table\", \"emissivities\" or \"given\"", kAirLayers),
  };
}

}  // namespace Brusk::Engine::Detail
