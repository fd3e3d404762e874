#include "brusk/engine/quantities.h"

#include <cstdio>
#include <cstdlib>

#include "brusk/engine/sequential_capacity.h"
#include "quantity_tables.h"

namespace Brusk::Engine {

namespace {

constexpr double kHoursPerSecond = 1.0 / 3600.0;
constexpr double kKilojoulesPerJoule = 1.0e-3;

// The clauses the definitions cite.
constexpr std::string_view kIso13786Definitions = "ISO 13786:2017, 3.2";
constexpr std::string_view kIso13786Matrix = "ISO 13786:2017, 6 (heat transfer matrix)";
constexpr std::string_view kIso13786Simplified = "ISO 13786:2017, Annex C";
constexpr std::string_view kIso6946Total = "ISO 6946:2017, 6.7.1";
constexpr std::string_view kIso13790Capacity = "ISO 13790:2008, 12.3.1.2";
constexpr std::string_view kIso13790TimeConstant = "ISO 13790:2008, 12.2.1.3";
constexpr std::string_view kSap = "SAP 10, thermal mass parameter (kappa values)";
constexpr std::string_view kHarmonicSuperposition =
    "Fourier superposition of ISO 13786 harmonics (periodic steady state)";

/// A wall number with its accessor.
Quantity wallNumber(std::string_view key, std::string_view label, std::string_view symbol,
                    std::string_view symbolUnicode, std::string_view symbolHtml,
                    std::string_view unit, std::string_view unitUnicode, int decimals,
                    std::string_view definition, std::string_view source,
                    double (*value)(const WallResult&)) {
  Quantity q =
      Detail::describe(QuantityScope::Wall, QuantityType::Number, key, label, symbol, symbolUnicode,
                       symbolHtml, unit, unitUnicode, decimals, definition, source);
  q.wallNumber = value;
  return q;
}

/// The same with another display unit: a person reads value × scale in `displayUnit`.
Quantity scaled(Quantity q, std::string_view displayUnit, std::string_view displayUnitUnicode,
                double scale) {
  q.displayUnit = displayUnit;
  q.displayUnitUnicode = displayUnitUnicode;
  q.displayScale = scale;
  return q;
}

Quantity wallComplex(std::string_view key, std::string_view label, std::string_view symbol,
                     std::string_view symbolUnicode, std::string_view symbolHtml,
                     std::string_view unit, std::string_view unitUnicode,
                     std::string_view definition, Complex (*value)(const WallResult&)) {
  Quantity q = Detail::describe(QuantityScope::Wall, QuantityType::Complex, key, label, symbol,
                                symbolUnicode, symbolHtml, unit, unitUnicode, 4, definition,
                                kIso13786Matrix);
  q.wallComplex = value;
  return q;
}

Quantity wallText(std::string_view key, std::string_view label, std::string_view definition,
                  const char* (*value)(const WallResult&)) {
  Quantity q = Detail::describe(QuantityScope::Wall, QuantityType::Text, key, label, "", "", "", "",
                                "", 0, definition, kIso13786Simplified);
  q.wallText = value;
  return q;
}

/// A number of the zone or response output; their writers read the values themselves.
Quantity other(QuantityScope scope, QuantityType type, std::string_view key, std::string_view label,
               std::string_view symbol, std::string_view symbolUnicode, std::string_view symbolHtml,
               std::string_view unit, std::string_view unitUnicode, int decimals,
               std::string_view definition, std::string_view source) {
  return Detail::describe(scope, type, key, label, symbol, symbolUnicode, symbolHtml, unit,
                          unitUnicode, decimals, definition, source);
}

Quantity zone(std::string_view key, std::string_view label, std::string_view symbol,
              std::string_view symbolUnicode, std::string_view symbolHtml, std::string_view unit,
              std::string_view unitUnicode, int decimals, std::string_view definition,
              std::string_view source) {
  return other(QuantityScope::Zone, QuantityType::Number, key, label, symbol, symbolUnicode,
               symbolHtml, unit, unitUnicode, decimals, definition, source);
}

Quantity zoneText(std::string_view key, std::string_view label, std::string_view definition,
                  std::string_view source) {
  return other(QuantityScope::Zone, QuantityType::Text, key, label, "", "", "", "", "", 0,
               definition, source);
}

Quantity response(std::string_view key, std::string_view label, std::string_view symbol,
                  std::string_view symbolUnicode, std::string_view symbolHtml,
                  std::string_view unit, std::string_view unitUnicode, int decimals,
                  std::string_view definition) {
  return other(QuantityScope::Response, QuantityType::Number, key, label, symbol, symbolUnicode,
               symbolHtml, unit, unitUnicode, decimals, definition, kHarmonicSuperposition);
}

constexpr std::string_view kAdmittance = "W/(m2.K)";
constexpr std::string_view kAdmittanceUnicode = "W/(m²·K)";
constexpr std::string_view kCapacity = "J/(m2.K)";
constexpr std::string_view kCapacityUnicode = "J/(m²·K)";
constexpr std::string_view kCapacityShown = "kJ/(m2.K)";
constexpr std::string_view kCapacityShownUnicode = "kJ/(m²·K)";
constexpr std::string_view kRatio = "-";
constexpr std::string_view kRatioUnicode = "–";

std::vector<Quantity> wallQuantities() {
  return {
      scaled(wallNumber("period", "Period", "T", "T", "<i>T</i>", "s", "s", 2,
                        "Cycle length of the sinusoidal temperature and heat-flow variations; "
                        "86 400 s for the daily cycle.",
                        kIso13786Definitions, [](const WallResult& r) { return r.period; }),
             "h", "h", kHoursPerSecond),
      wallNumber(
          "thickness", "Thickness", "d", "d", "<i>d</i>", "m", "m", 3,
          "Total thickness of the layers, the sum of d; a pure thermal resistance adds none.",
          kIso6946Total, [](const WallResult& r) { return r.thickness; }),
      wallNumber("surface_mass", "Surface mass", "m", "m", "<i>m</i>", "kg/m2", "kg/m²", 1,
                 "Mass per unit area, the sum of rho d over the layers.", kIso13786Definitions,
                 [](const WallResult& r) { return r.surfaceMass; }),
      wallNumber("thermal_resistance", "Total thermal resistance", "R", "R", "<i>R</i>", "m2.K/W",
                 "m²·K/W", 3,
                 "Environment to environment: R = Rsi + sum of d/lambda + sum of the layer "
                 "resistances + Rse = 1/U.",
                 kIso6946Total, [](const WallResult& r) { return r.thermalResistance; }),
      wallNumber("u_value", "Thermal transmittance", "U", "U", "<i>U</i>", kAdmittance,
                 kAdmittanceUnicode, 3,
                 "Steady-state heat flow rate through the element per unit area and per kelvin "
                 "between the environments on its two sides: U = 1/R.",
                 kIso6946Total, [](const WallResult& r) { return r.uValue; }),
      wallNumber("decrement_factor", "Decrement factor", "f", "f", "<i>f</i>", kRatio,
                 kRatioUnicode, 3,
                 "Modulus of the periodic thermal transmittance divided by the steady-state "
                 "transmittance: f = |Y12| / U.",
                 kIso13786Definitions, [](const WallResult& r) { return r.decrementFactor; }),
      wallNumber("periodic_thermal_transmittance.modulus", "Periodic thermal transmittance",
                 "|Y12|", "|Y₁₂|", "|<i>Y</i><sub>12</sub>|", kAdmittance, kAdmittanceUnicode, 3,
                 "Amplitude of the heat flow density on side 1 per kelvin of temperature "
                 "amplitude on side 2, side 1 held steady: Y12 = -1/Z12.",
                 kIso13786Definitions,
                 [](const WallResult& r) { return r.periodicThermalTransmittance.getModulus(); }),
      wallNumber("periodic_thermal_transmittance.time_shift", "Time shift of Y12", "dt12", "Δt₁₂",
                 "Δ<i>t</i><sub>12</sub>", "h", "h", 2,
                 "(T / 2 pi) arg Y12, in (-T/2, T/2]: positive when the heat flow leads the "
                 "temperature.",
                 kIso13786Definitions,
                 [](const WallResult& r) { return r.periodicThermalTransmittanceShift; }),
      wallNumber("periodic_thermal_transmittance.time_lag", "Time lag of the inner heat flow",
                 "phi", "φ", "<i>φ</i>", "h", "h", 2,
                 "Delay of the peak of the heat flow into the room behind the peak of the "
                 "outdoor temperature: the negated time shift of Y12 wrapped into [0, T).",
                 kIso13786Definitions, [](const WallResult& r) { return r.timeLag; }),
      wallNumber("internal_admittance.modulus", "Internal admittance", "|Y11|", "|Y₁₁|",
                 "|<i>Y</i><sub>11</sub>|", kAdmittance, kAdmittanceUnicode, 3,
                 "Amplitude of the heat flow density on side 1 per kelvin of temperature "
                 "amplitude on side 1, side 2 held steady: Y11 = -Z11/Z12.",
                 kIso13786Definitions,
                 [](const WallResult& r) { return r.internalAdmittance.getModulus(); }),
      wallNumber("internal_admittance.time_shift", "Time shift of Y11", "dt11", "Δt₁₁",
                 "Δ<i>t</i><sub>11</sub>", "h", "h", 2, "(T / 2 pi) arg Y11, in (-T/2, T/2].",
                 kIso13786Definitions,
                 [](const WallResult& r) { return r.internalAdmittanceShift; }),
      wallNumber("external_admittance.modulus", "External admittance", "|Y22|", "|Y₂₂|",
                 "|<i>Y</i><sub>22</sub>|", kAdmittance, kAdmittanceUnicode, 3,
                 "Amplitude of the heat flow density on side 2 per kelvin of temperature "
                 "amplitude on side 2, side 1 held steady: Y22 = -Z22/Z12.",
                 kIso13786Definitions,
                 [](const WallResult& r) { return r.externalAdmittance.getModulus(); }),
      wallNumber("external_admittance.time_shift", "Time shift of Y22", "dt22", "Δt₂₂",
                 "Δ<i>t</i><sub>22</sub>", "h", "h", 2, "(T / 2 pi) arg Y22, in (-T/2, T/2].",
                 kIso13786Definitions,
                 [](const WallResult& r) { return r.externalAdmittanceShift; }),
      scaled(wallNumber("internal_areal_heat_capacity", "Internal areal heat capacity", "kappa1",
                        "κ₁", "<i>κ</i><sub>1</sub>", kCapacity, kCapacityUnicode, 1,
                        "Heat stored per unit area and per kelvin of temperature amplitude on "
                        "side 1, side 2 held steady: kappa1 = (T / 2 pi) |(Z11 - 1) / Z12|.",
                        kIso13786Definitions,
                        [](const WallResult& r) { return r.internalArealHeatCapacity; }),
             kCapacityShown, kCapacityShownUnicode, kKilojoulesPerJoule),
      scaled(wallNumber("external_areal_heat_capacity", "External areal heat capacity", "kappa2",
                        "κ₂", "<i>κ</i><sub>2</sub>", kCapacity, kCapacityUnicode, 1,
                        "Heat stored per unit area and per kelvin of temperature amplitude on "
                        "side 2, side 1 held steady: kappa2 = (T / 2 pi) |(Z22 - 1) / Z12|.",
                        kIso13786Definitions,
                        [](const WallResult& r) { return r.externalArealHeatCapacity; }),
             kCapacityShown, kCapacityShownUnicode, kKilojoulesPerJoule),
      wallComplex("transfer_matrix.z11", "Transfer matrix element Z11", "Z11", "Z₁₁",
                  "<i>Z</i><sub>11</sub>", kRatio, kRatioUnicode,
                  "Element (1,1) of the heat transfer matrix from side 2 to side 1, surface "
                  "resistances included.",
                  [](const WallResult& r) { return r.z11; }),
      wallComplex("transfer_matrix.z12", "Transfer matrix element Z12", "Z12", "Z₁₂",
                  "<i>Z</i><sub>12</sub>", "m2.K/W", "m²·K/W",
                  "Element (1,2) of the heat transfer matrix from side 2 to side 1, surface "
                  "resistances included.",
                  [](const WallResult& r) { return r.z12; }),
      wallComplex("transfer_matrix.z21", "Transfer matrix element Z21", "Z21", "Z₂₁",
                  "<i>Z</i><sub>21</sub>", kAdmittance, kAdmittanceUnicode,
                  "Element (2,1) of the heat transfer matrix from side 2 to side 1, surface "
                  "resistances included.",
                  [](const WallResult& r) { return r.z21; }),
      wallComplex("transfer_matrix.z22", "Transfer matrix element Z22", "Z22", "Z₂₂",
                  "<i>Z</i><sub>22</sub>", kRatio, kRatioUnicode,
                  "Element (2,2) of the heat transfer matrix from side 2 to side 1, surface "
                  "resistances included.",
                  [](const WallResult& r) { return r.z22; }),
      scaled(wallNumber("sequential_heat_capacity.daily.value", "Sequential heat capacity, 1 day",
                        "kappa_seq,24h", "κseq,24 h", "<i>κ</i><sub>seq,24 h</sub>", kCapacity,
                        kCapacityUnicode, 1,
                        "Simplified estimate of the heat capacity of side 1 for the daily cycle, "
                        "layers taken from side 1 up to the effective thickness.",
                        kIso13786Simplified, [](const WallResult& r) { return r.daily.value(); }),
             kCapacityShown, kCapacityShownUnicode, kKilojoulesPerJoule),
      wallText("sequential_heat_capacity.daily.method", "Rule of the 1-day estimate",
               "Which limit of the simplified method gave the daily estimate (thickness, "
               "insulating layer or mid-plane), or none.",
               [](const WallResult& r) { return capacityMethodName(r.daily.method); }),
      scaled(
          wallNumber("sequential_heat_capacity.twelve_day.value",
                     "Sequential heat capacity, 12 days", "kappa_seq,12d", "κseq,12 d",
                     "<i>κ</i><sub>seq,12 d</sub>", kCapacity, kCapacityUnicode, 1,
                     "Simplified estimate of the heat capacity of side 1 for the 12-day "
                     "cycle, layers taken from side 1 up to the effective thickness.",
                     kIso13786Simplified, [](const WallResult& r) { return r.twelveDay.value(); }),
          kCapacityShown, kCapacityShownUnicode, kKilojoulesPerJoule),
      wallText("sequential_heat_capacity.twelve_day.method", "Rule of the 12-day estimate",
               "Which limit of the simplified method gave the 12-day estimate, or none.",
               [](const WallResult& r) { return capacityMethodName(r.twelveDay.method); }),
  };
}

std::vector<Quantity> zoneQuantities() {
  return {
      zone("floor_area", "Floor area", "Af", "Af", "<i>A</i><sub>f</sub>", "m2", "m²", 1,
           "Conditioned floor area of the zone.", kIso13790Capacity),
      zone("heat_transfer_coefficient", "Heat transfer coefficient", "H", "H", "<i>H</i>", "W/K",
           "W/K", 1,
           "Heat loss per kelvin by transmission and ventilation, as given; null when not "
           "given.",
           kIso13790TimeConstant),
      zoneText("capacity", "Capacity basis",
               "Which areal heat capacity makes up Cm: \"detailed\" (ISO 13786 kappa on the daily "
               "cycle) or \"simplified\" (the sequential daily estimate).",
               kIso13790Capacity),
      zone("elements.area", "Area", "A", "A", "<i>A</i>", "m2", "m²", 2,
           "Area of one face of the element.", kIso13790Capacity),
      zoneText("elements.faces", "Faces that count",
               "\"inner\" for an element of the zone's boundary (side 1 faces the zone), "
               "\"both\" for one wholly inside it.",
               kIso13790Capacity),
      zone("elements.thickness", "Thickness", "d", "d", "<i>d</i>", "m", "m", 3,
           "Total thickness of the element's layers.", kIso6946Total),
      zone("elements.surface_mass", "Surface mass", "m", "m", "<i>m</i>", "kg/m2", "kg/m²", 1,
           "Mass per unit area of the element.", kIso13786Definitions),
      zone("elements.u_value", "Thermal transmittance", "U", "U", "<i>U</i>", kAdmittance,
           kAdmittanceUnicode, 3, "U = 1/R of the element.", kIso6946Total),
      scaled(zone("elements.heat_capacity", "Heat capacity of the element", "A kappa", "A κ",
                  "<i>A</i>&#8239;<i>κ</i>", "J/K", "J/K", 0,
                  "The element's share of Cm: the area times the areal heat capacities of the "
                  "faces that count.",
                  kIso13790Capacity),
             "kJ/K", "kJ/K", kKilojoulesPerJoule),
      zone("elements.heat_capacity_share", "Share of Cm", "", "", "", kRatio, kRatioUnicode, 3,
           "The element's heat capacity divided by the zone's Cm.", kIso13790Capacity),
      zone("elements.sides.side", "Face", "", "", "", kRatio, kRatioUnicode, 0,
           "1 for the element's inner face, 2 for its outer face (a partition inside the zone).",
           kIso13786Definitions),
      scaled(
          zone("elements.sides.areal_heat_capacity", "Areal heat capacity", "kappa", "κ",
               "<i>κ</i>", kCapacity, kCapacityUnicode, 1,
               "ISO 13786 kappa1 or kappa2 of the face on the daily cycle.", kIso13786Definitions),
          kCapacityShown, kCapacityShownUnicode, kKilojoulesPerJoule),
      scaled(zone("elements.sides.simplified_areal_heat_capacity.value",
                  "Sequential heat capacity, 1 day", "kappa_seq,24h", "κseq,24 h",
                  "<i>κ</i><sub>seq,24 h</sub>", kCapacity, kCapacityUnicode, 1,
                  "Simplified estimate of the face's heat capacity for the daily cycle.",
                  kIso13786Simplified),
             kCapacityShown, kCapacityShownUnicode, kKilojoulesPerJoule),
      zoneText("elements.sides.simplified_areal_heat_capacity.method", "Rule of the 1-day estimate",
               "Which limit of the simplified method gave the face's daily estimate.",
               kIso13786Simplified),
      scaled(zone("elements.sides.ten_centimetre_areal_heat_capacity",
                  "Areal heat capacity, 10 cm rule", "kappa_10cm", "κ10 cm",
                  "<i>κ</i><sub>10 cm</sub>", kCapacity, kCapacityUnicode, 1,
                  "Sum of rho c d from the face inward, stopping at 100 mm, at half the "
                  "element's thickness, or at the first insulating layer (lambda <= 0.08 "
                  "W/(m.K)) or pure thermal resistance.",
                  kSap),
             kCapacityShown, kCapacityShownUnicode, kKilojoulesPerJoule),
      scaled(zone("elements.sides.whole_thickness_areal_heat_capacity",
                  "Areal heat capacity, whole thickness", "sum rho c d", "Σρcd",
                  "Σ<i>ρ</i><i>c</i><i>d</i>", kCapacity, kCapacityUnicode, 1,
                  "Sum of rho c d over every layer: the upper bound no face can reach.",
                  kIso13786Definitions),
             kCapacityShown, kCapacityShownUnicode, kKilojoulesPerJoule),
      zone("elements.sides.admittance", "Admittance", "|Y|", "|Y|", "|<i>Y</i>|", kAdmittance,
           kAdmittanceUnicode, 3, "Modulus of the face's ISO 13786 admittance on the daily cycle.",
           kIso13786Definitions),
      scaled(zone("elements.sides.heat_capacity", "Heat capacity of the face", "A kappa", "A κ",
                  "<i>A</i>&#8239;<i>κ</i>", "J/K", "J/K", 0,
                  "The area times the face's areal heat capacity on the zone's capacity basis.",
                  kIso13790Capacity),
             "kJ/K", "kJ/K", kKilojoulesPerJoule),
      scaled(zone("totals.heat_capacity", "Internal heat capacity", "Cm", "Cm",
                  "<i>C</i><sub>m</sub>", "J/K", "J/K", 0,
                  "Cm = sum of A kappa over the faces that exchange heat with the zone.",
                  kIso13790Capacity),
             "kJ/K", "kJ/K", kKilojoulesPerJoule),
      zone("totals.effective_mass_area", "Effective mass area", "Am", "Am", "<i>A</i><sub>m</sub>",
           "m2", "m²", 1, "Am = Cm^2 / sum of A kappa^2.", kIso13790Capacity),
      scaled(zone("totals.heat_capacity_per_floor_area", "Heat capacity per floor area", "Cm/Af",
                  "Cm/Af", "<i>C</i><sub>m</sub>/<i>A</i><sub>f</sub>", kCapacity, kCapacityUnicode,
                  1, "Cm divided by the floor area.", kIso13790Capacity),
             kCapacityShown, kCapacityShownUnicode, kKilojoulesPerJoule),
      zone("totals.effective_mass_area_per_floor_area", "Effective mass area per floor area",
           "Am/Af", "Am/Af", "<i>A</i><sub>m</sub>/<i>A</i><sub>f</sub>", kRatio, kRatioUnicode, 2,
           "Am divided by the floor area.", kIso13790Capacity),
      zoneText("totals.mass_class", "Mass class",
               "The class of ISO 13790 Table 12 whose Cm/Af is nearest the zone's.",
               "ISO 13790:2008, 12.3.1.2, Table 12"),
      scaled(
          zone("totals.thermal_mass_parameter", "Thermal mass parameter", "TMP", "TMP", "TMP",
               kCapacity, kCapacityUnicode, 1,
               "Sum of A kappa(10 cm) over the faces that count, divided by the floor area.", kSap),
          kCapacityShown, kCapacityShownUnicode, kKilojoulesPerJoule),
      zone("totals.admittance_area", "Admittance area", "sum A|Y|", "ΣA|Y|", "Σ<i>A</i>|<i>Y</i>|",
           "W/K", "W/K", 1, "Sum of A |Y| over the faces that count.", kIso13786Definitions),
      zone("totals.conductance_area", "Transmission conductance", "sum AU", "ΣAU",
           "Σ<i>A</i><i>U</i>", "W/K", "W/K", 2, "Sum of A U over the zone's boundary elements.",
           kIso6946Total),
      zone("totals.time_constant", "Time constant", "tau", "τ", "<i>τ</i>", "h", "h", 1,
           "tau = Cm / (3600 H), when H is given; null otherwise.", kIso13790TimeConstant),
  };
}

std::vector<Quantity> responseQuantities() {
  constexpr std::string_view kFlow = "W/m2";
  constexpr std::string_view kFlowUnicode = "W/m²";
  constexpr std::string_view kCelsius = "degC";
  constexpr std::string_view kCelsiusUnicode = "°C";
  return {
      response("period", "Period", "T", "T", "<i>T</i>", "h", "h", 2,
               "Length of the profiles, repeated: the period of the periodic steady state."),
      response("u_value", "Thermal transmittance", "U", "U", "<i>U</i>", kAdmittance,
               kAdmittanceUnicode, 3,
               "U = 1/R of the wall; the mean of the profiles goes through it."),
      response("samples.time", "Time", "t", "t", "<i>t</i>", "h", "h", 2,
               "Time of the sample from the start of the profile."),
      response("samples.indoor", "Indoor temperature", "theta_i", "θi", "<i>θ</i><sub>i</sub>",
               kCelsius, kCelsiusUnicode, 2, "Indoor (side 1) air temperature of the profile."),
      response("samples.outdoor", "Outdoor temperature", "theta_e", "θe", "<i>θ</i><sub>e</sub>",
               kCelsius, kCelsiusUnicode, 2,
               "Outdoor (side 2) temperature of the profile, sol-air where irradiance is given."),
      response("samples.heat_flow_in", "Heat flow into the room", "q_in", "q_in",
               "<i>q</i><sub>in</sub>", kFlow, kFlowUnicode, 2,
               "Heat flow density from the wall's inner surface into the room."),
      response("samples.inner_surface_temperature", "Inner surface temperature", "theta_si", "θsi",
               "<i>θ</i><sub>si</sub>", kCelsius, kCelsiusUnicode, 2,
               "Temperature of the inner surface: theta_i + Rsi q_in."),
      response("samples.heat_flow_out", "Heat flow to the outside", "q_out", "q_out",
               "<i>q</i><sub>out</sub>", kFlow, kFlowUnicode, 2,
               "Heat flow density from the wall's outer surface to the outside."),
      response("samples.outer_surface_temperature", "Outer surface temperature", "theta_se", "θse",
               "<i>θ</i><sub>se</sub>", kCelsius, kCelsiusUnicode, 2,
               "Temperature of the outer surface: theta_e + Rse q_out."),
  };
}

/// What is kept of a periodic response: the "summary" object of `brusk response` (keys
/// "summary.<key>") and one row per wall of `brusk batch --outdoor` and Python's response_many
/// (keys and CSV columns "<key>"), one table for both. Times are in the profiles' own time; a
/// quantity that is not defined (the main harmonic of a constant outdoor temperature) is an
/// empty CSV cell and null in JSON. The extremes are of the samples the series is computed at.
std::vector<Quantity> summaryQuantities() {
  const auto summary = [](std::string_view key, std::string_view label, std::string_view symbol,
                          std::string_view symbolUnicode, std::string_view symbolHtml,
                          std::string_view unit, std::string_view unitUnicode, int decimals,
                          std::string_view definition) {
    return other(QuantityScope::Response, QuantityType::Number, key, label, symbol, symbolUnicode,
                 symbolHtml, unit, unitUnicode, decimals, definition, kHarmonicSuperposition);
  };
  constexpr std::string_view kFlow = "W/m2";
  constexpr std::string_view kFlowUnicode = "W/m²";
  return {
      summary("summary.mean_heat_flow_in", "Mean heat flow into the room", "q_in,mean", "q̄ᵢₙ",
              "<i>q̄</i><sub>in</sub>", kFlow, kFlowUnicode, 2,
              "mean over the period of the heat flow density leaving the inner surface into the "
              "room, U (mean theta_e - mean theta_i) exactly (positive: the room gains heat)"),
      summary("summary.peak_heat_flow_in", "Peak heat flow into the room", "q_in,max", "qᵢₙ,max",
              "<i>q</i><sub>in,max</sub>", kFlow, kFlowUnicode, 2,
              "largest sampled heat flow density into the room"),
      summary("summary.peak_heat_flow_in_time", "Time of the peak heat flow", "t(q_in,max)",
              "t(qᵢₙ,max)", "<i>t</i>(<i>q</i><sub>in,max</sub>)", "h", "h", 2,
              "time of the first sample with the largest heat flow into the room"),
      summary("summary.minimum_heat_flow_in", "Lowest heat flow into the room", "q_in,min",
              "qᵢₙ,min", "<i>q</i><sub>in,min</sub>", kFlow, kFlowUnicode, 2,
              "smallest sampled heat flow density into the room (negative: the room loses heat)"),
      summary("summary.minimum_heat_flow_in_time", "Time of the lowest heat flow", "t(q_in,min)",
              "t(qᵢₙ,min)", "<i>t</i>(<i>q</i><sub>in,min</sub>)", "h", "h", 2,
              "time of the first sample with the smallest heat flow into the room"),
      summary("summary.heat_gained", "Heat gained through the inner surface", "Q_gain", "Q_gain",
              "<i>Q</i><sub>gain</sub>", "kWh/m2", "kWh/m²", 3,
              "sum over the samples of max(q_in, 0) dt, dt = T / M: the heat the room gains "
              "through the inner surface over one period"),
      summary("summary.heat_lost", "Heat lost through the inner surface", "Q_loss", "Q_loss",
              "<i>Q</i><sub>loss</sub>", "kWh/m2", "kWh/m²", 3,
              "sum over the samples of max(-q_in, 0) dt: the heat the room loses through the "
              "inner surface over one period"),
      summary("summary.inner_surface_temperature_max", "Highest inner surface temperature",
              "theta_si,max", "θsi,max", "<i>θ</i><sub>si,max</sub>", "degC", "°C", 2,
              "largest sampled inner surface temperature, theta_si = theta_i + Rsi q_in"),
      summary("summary.inner_surface_temperature_max_time",
              "Time of the highest inner surface temperature", "t(theta_si,max)", "t(θsi,max)",
              "<i>t</i>(<i>θ</i><sub>si,max</sub>)", "h", "h", 2,
              "time of the first sample with the highest inner surface temperature"),
      summary("summary.inner_surface_temperature_min", "Lowest inner surface temperature",
              "theta_si,min", "θsi,min", "<i>θ</i><sub>si,min</sub>", "degC", "°C", 2,
              "smallest sampled inner surface temperature"),
      summary("summary.inner_surface_temperature_min_time",
              "Time of the lowest inner surface temperature", "t(theta_si,min)", "t(θsi,min)",
              "<i>t</i>(<i>θ</i><sub>si,min</sub>)", "h", "h", 2,
              "time of the first sample with the lowest inner surface temperature"),
      summary("summary.main_harmonic_period", "Period of the main harmonic", "T/k*", "T/k*",
              "<i>T</i>/<i>k</i>*", "h", "h", 2,
              "period of the outdoor profile's harmonic of largest amplitude (the annual or the "
              "daily swing of an hourly year); not defined for a constant outdoor temperature"),
      summary("summary.effective_decrement_factor",
              "Effective decrement factor of the main harmonic", "f_eff", "f_eff",
              "<i>f</i><sub>eff</sub>", "-", "–", 3,
              "|q_in,k*| / (U |theta_e,k*|): the main harmonic's swing of the heat flow into the "
              "room per steady-state flow of its outdoor swing; the ISO 13786 decrement factor at "
              "T/k* when the indoor temperature is constant"),
      summary("summary.effective_time_lag", "Effective time lag of the main harmonic", "dt_f,eff",
              "Δt_f,eff", "Δ<i>t</i><sub>f,eff</sub>", "h", "h", 2,
              "how long the main harmonic of the heat flow into the room peaks after that of the "
              "outdoor temperature, in [0, T/k*); the ISO 13786 time lag at T/k* when the indoor "
              "temperature is constant"),
      summary("summary.outdoor_peak_time", "Time of the outdoor peak", "t(theta_e,max)",
              "t(θₑ,max)", "<i>t</i>(<i>θ</i><sub>e,max</sub>)", "h", "h", 2,
              "time of the first sample with the highest outdoor temperature"),
      summary("summary.peak_delay", "Peak delay behind the outdoor peak", "dt_peak", "Δt_peak",
              "Δ<i>t</i><sub>peak</sub>", "h", "h", 2,
              "time from the outdoor peak to the peak of q_in, t(q_in,max) - t(theta_e,max) "
              "wrapped into [0, T)"),
  };
}

std::vector<Quantity> allQuantities() {
  std::vector<Quantity> all = wallQuantities();
  std::vector<Quantity> zones = zoneQuantities();
  std::vector<Quantity> responses = responseQuantities();
  // The zone CSV names each column by the last part of the key, on records of elements, faces
  // and the zone; the response CSV holds the samples only.
  const auto leaf = [](std::string_view key) { return key.substr(key.rfind('.') + 1); };
  for (Quantity& q : zones) {
    q.csvName = leaf(q.key);
    if (q.key == "elements.sides.simplified_areal_heat_capacity.value") {
      q.csvName = "simplified_areal_heat_capacity";
    } else if (q.key == "elements.sides.simplified_areal_heat_capacity.method") {
      q.csvName = "simplified_method";
    } else if (q.key == "floor_area") {
      q.csvName = "area";  // of the zone's record
    } else if (q.key == "capacity" || q.key == "heat_transfer_coefficient" ||
               q.key == "elements.thickness" || q.key == "elements.heat_capacity" ||
               q.key == "elements.heat_capacity_share" ||
               q.key == "totals.effective_mass_area_per_floor_area") {
      q.csvName = "";
    }
  }
  for (Quantity& q : responses) {
    if (q.key.substr(0, 8) == "samples.") q.csvName = leaf(q.key);
  }
  all.insert(all.end(), zones.begin(), zones.end());
  // The summary is the last object of the response's JSON, and each of its quantities is also a
  // column of the per-wall summaries, keyed without the "summary." prefix.
  const std::vector<Quantity> summaries = summaryQuantities();
  responses.insert(responses.end(), summaries.begin(), summaries.end());
  all.insert(all.end(), responses.begin(), responses.end());
  for (Quantity q : summaries) {
    q.scope = QuantityScope::ResponseSummary;
    q.key = leaf(q.key);
    q.csvName = q.key;
    all.push_back(q);
  }
  const std::vector<Quantity> elements = Detail::elementQuantities();
  all.insert(all.end(), elements.begin(), elements.end());
  const std::vector<Quantity> moisture = Detail::moistureQuantities();
  all.insert(all.end(), moisture.begin(), moisture.end());
  const std::vector<Quantity> validation = Detail::validationQuantities();
  all.insert(all.end(), validation.begin(), validation.end());
  const std::vector<Quantity> bridge = Detail::bridgeQuantities();
  all.insert(all.end(), bridge.begin(), bridge.end());
  return all;
}

}  // namespace

namespace Detail {

Quantity describe(QuantityScope scope, QuantityType type, std::string_view key,
                  std::string_view label, std::string_view symbol, std::string_view symbolUnicode,
                  std::string_view symbolHtml, std::string_view unit, std::string_view unitUnicode,
                  int decimals, std::string_view definition, std::string_view source) {
  Quantity q;
  q.scope = scope;
  q.type = type;
  q.key = key;
  q.label = label;
  q.symbol = symbol;
  q.symbolUnicode = symbolUnicode;
  q.symbolHtml = symbolHtml;
  q.unit = unit;
  q.displayUnit = unit;
  q.displayUnitUnicode = unitUnicode;
  q.decimals = decimals;
  q.definition = definition;
  q.source = source;
  return q;
}

}  // namespace Detail

std::string Quantity::csvColumn() const {
  if (scope != QuantityScope::Wall) return std::string(csvName);
  std::string column(key);
  for (char& c : column) {
    if (c == '.') c = '_';
  }
  return column;
}

std::string Quantity::tableLabel() const {
  std::string text(label);
  if (!symbol.empty()) {
    text += ' ';
    text += symbolUnicode;
  }
  if (!displayUnit.empty()) {
    text += " [";
    text += displayUnit;
    text += ']';
  }
  return text;
}

const std::vector<Quantity>& quantities() {
  static const std::vector<Quantity> all = allQuantities();
  return all;
}

const Quantity* findQuantity(QuantityScope scope, std::string_view key) {
  for (const Quantity& q : quantities()) {
    if (q.scope == scope && q.key == key) return &q;
  }
  return nullptr;
}

const Quantity& quantity(QuantityScope scope, std::string_view key) {
  if (const Quantity* found = findQuantity(scope, key)) return *found;
  // Every caller names its keys in code that the tests run: a missing key is a typo in Brusk.
  std::fprintf(stderr, "brusk: no quantity \"%.*s\" in the %s output\n",
               static_cast<int>(key.size()), key.data(), quantityScopeName(scope));
  std::abort();
}

const char* quantityScopeName(QuantityScope scope) {
  switch (scope) {
    case QuantityScope::Wall:
      return "compute";
    case QuantityScope::Zone:
      return "zone";
    case QuantityScope::Response:
      return "response";
    case QuantityScope::ResponseSummary:
      return "response_summary";
    case QuantityScope::Element:
      return "element";
    case QuantityScope::Moisture:
      return "moisture";
    case QuantityScope::Validation:
      return "validation";
    case QuantityScope::Reference:
      return "reference";
    case QuantityScope::Bridge:
      return "bridge";
  }
  return "compute";
}

const char* quantityTypeName(QuantityType type) {
  switch (type) {
    case QuantityType::Number:
      return "number";
    case QuantityType::Complex:
      return "complex";
    case QuantityType::Text:
      return "text";
    case QuantityType::Flag:
      return "flag";
  }
  return "number";
}

}  // namespace Brusk::Engine
