// The quantities of a two-dimensional thermal bridge (ISO 10211:2017), in the order of the JSON
// object of one junction.

#include <string_view>
#include <vector>

#include "quantity_tables.h"

namespace Brusk::Engine::Detail {

namespace {

Quantity of(QuantityType type, std::string_view key, std::string_view column,
            std::string_view label, std::string_view symbol, std::string_view symbolUnicode,
            std::string_view symbolHtml, std::string_view unit, std::string_view unitUnicode,
            int decimals, std::string_view definition, std::string_view source) {
  Quantity q = describe(QuantityScope::Bridge, type, key, label, symbol, symbolUnicode, symbolHtml,
                        unit, unitUnicode, decimals, definition, source);
  q.csvName = column;
  return q;
}

}  // namespace

std::vector<Quantity> bridgeQuantities() {
  constexpr QuantityType kNumber = QuantityType::Number;
  constexpr QuantityType kText = QuantityType::Text;
  constexpr QuantityType kFlag = QuantityType::Flag;
  constexpr std::string_view kCoupling = "W/(m.K)";
  constexpr std::string_view kCouplingUnicode = "W/(m·K)";
  constexpr std::string_view kGrid = "ISO 10211:2017, 5.3";
  return {
      of(kNumber, "heat_flow", "heat_flow", "Heat flow into the body", "Phi", "Φ", "<i>Φ</i>",
         "W/m", "W/m", 2,
         "Heat flow per metre of junction from each environment into the body (positive in), an "
         "object keyed by the environments' names; the flows of all environments sum to zero",
         "ISO 10211:2017, 10.2"),
      of(kNumber, "heat_flow_sum", "", "Sum of the heat flows", "sum Phi", "ΣΦ", "Σ<i>Φ</i>", "W/m",
         "W/m", 6,
         "Sum of heat_flow over the environments: zero but for rounding, a check of the solve",
         "ISO 10211:2017, 10.2"),
      of(kNumber, "coupling_coefficient", "coupling_coefficient", "Thermal coupling coefficient",
         "L2D", "L²ᴰ", "<i>L</i><sup>2D</sup>", kCoupling, kCouplingUnicode, 4,
         "L2D = Phi / (theta_i - theta_e) between the two environments; null for more than two "
         "(see coupling_coefficients)",
         "ISO 10211:2017, 10.4"),
      of(kNumber, "coupling_coefficients", "", "Thermal coupling coefficients", "L_ab", "Lab",
         "<i>L</i><sub>ab</sub>", kCoupling, kCouplingUnicode, 4,
         "L_ab for every pair \"a|b\" of environments: Phi_b = sum over a of L_ab (theta_b - "
         "theta_a)",
         "ISO 10211:2017, 10.4"),
      of(kNumber, "psi", "psi", "Linear thermal transmittance", "psi", "Ψ", "<i>Ψ</i>", kCoupling,
         kCouplingUnicode, 4,
         "psi = L2D - sum U_j l_j with the flanking lengths l_j as given (their dimension "
         "system decides the sign of a corner's psi); for more than two environments an object "
         "\"a|b\" per pair with flanking elements; null without flanking elements",
         "ISO 10211:2017, 10.4.2, eq. (12)"),
      of(kNumber, "flanking.u_value", "", "Flanking element's thermal transmittance", "U_j", "Uj",
         "<i>U</i><sub>j</sub>", "W/(m2.K)", "W/(m²·K)", 3,
         "U of a one-dimensional element psi is measured against: its wall's by ISO 6946, or as "
         "given",
         "ISO 10211:2017, 10.4.2"),
      of(kNumber, "flanking.length", "", "Flanking element's length", "l_j", "lj",
         "<i>l</i><sub>j</sub>", "m", "m", 3,
         "l_j of U_j l_j, in the section's plane, as given on the dimension system named",
         "ISO 10211:2017, 10.4.2"),
      of(kText, "flanking.environments", "", "Environments the flanking element couples", "", "",
         "", "", "", 0, "The pair of environments whose psi the element enters, by name",
         "ISO 10211:2017, 10.4.2"),
      of(kText, "flanking.dimensions", "", "Dimension system of the flanking length", "", "", "",
         "", "", 0,
         "\"internal\", \"external\" or \"overall-internal\" as the file or template states; "
         "null when not stated",
         "ISO 13789:2017; ISO 14683:2017"),
      of(kNumber, "minimum_surface_temperature.value", "minimum_surface_temperature",
         "Minimum indoor surface temperature", "theta_si,min", "θsi,min",
         "<i>θ</i><sub>si,min</sub>", "degC", "°C", 2,
         "Lowest temperature of the surfaces facing the environment named indoor, with the "
         "heat-flow surface resistances",
         "ISO 10211:2017, 11.1"),
      of(kNumber, "minimum_surface_temperature.at", "", "Point of the minimum surface temperature",
         "x, y", "x, y", "<i>x</i>, <i>y</i>", "m", "m", 3,
         "[x, y] of the point where the indoor surface is coldest", "ISO 10211:2017, 11.1"),
      of(kNumber, "f_rsi", "f_rsi", "Temperature factor", "f_Rsi", "fRsi", "<i>f</i><sub>Rsi</sub>",
         "-", "–", 3,
         "fRsi = (theta_si,min - theta_e) / (theta_i - theta_e), theta_si,min from a second "
         "solve with Rsi = 0.25 m2.K/W on the indoor surfaces",
         "ISO 10211:2017, 11.2; ISO 13788:2012, 5.2"),
      of(kNumber, "f_rsi_minimum_surface_temperature.value", "",
         "Minimum indoor surface temperature of the fRsi solve", "theta_si,min(0.25)",
         "θsi,min(0.25)", "<i>θ</i><sub>si,min</sub>(0.25)", "degC", "°C", 2,
         "theta_si,min with Rsi = 0.25 m2.K/W on the indoor surfaces: the temperature fRsi is "
         "computed from",
         "ISO 10211:2017, 11.2; ISO 13788:2012, 4.2.2"),
      of(kNumber, "f_rsi_minimum_surface_temperature.at", "",
         "Point of the minimum surface temperature of the fRsi solve", "x, y", "x, y",
         "<i>x</i>, <i>y</i>", "m", "m", 3,
         "[x, y] of the coldest indoor surface point with Rsi = 0.25 m2.K/W",
         "ISO 10211:2017, 11.2"),
      of(kNumber, "probes.at", "", "Probe point", "x, y", "x, y", "<i>x</i>, <i>y</i>", "m", "m", 3,
         "[x, y] of a named point as the file gives it", "ISO 10211:2017, 11.1"),
      of(kNumber, "probes.temperature", "probe_temperature", "Probe temperature", "theta", "θ",
         "<i>θ</i>", "degC", "°C", 2,
         "Temperature at a named point; on a surface, the surface temperature",
         "ISO 10211:2017, 11.1"),
      of(kNumber, "grid.cells", "cells", "Grid cells", "", "", "", "", "", 0,
         "Cells of the final grid within the body", kGrid),
      of(kNumber, "grid.nodes", "", "Grid nodes", "", "", "", "", "", 0,
         "Nodes of the final grid within the body: the unknown and fixed temperatures", kGrid),
      of(kNumber, "grid.columns", "", "Grid lines along x", "", "", "", "", "", 0,
         "Node lines of the final grid across the section (x)", kGrid),
      of(kNumber, "grid.rows", "", "Grid lines along y", "", "", "", "", "", 0,
         "Node lines of the final grid up the section (y)", kGrid),
      of(kNumber, "grid.refinements", "", "Grid halvings", "", "", "", "", "", 0,
         "How many times the cells were halved after the first grid", kGrid),
      of(kNumber, "grid.last_change", "last_change", "Heat-flow change of the last halving", "", "",
         "", "-", "–", 5,
         "|Phi_k - Phi_k-1| / Phi_k of the total heat flow when the cells were last halved "
         "(the standard requires less than 0.01)",
         "ISO 10211:2017, 5.3.2"),
      of(kNumber, "grid.surface_temperature_change", "",
         "Surface-temperature change of the last "
         "halving",
         "", "", "", "K", "K", 3,
         "Change of the minimum indoor surface temperature when the cells were last halved "
         "(refined until at most 0.05 K); null without an indoor environment",
         "ISO 10211:2017, 5.3.2"),
      of(kFlag, "grid.met_tolerance", "", "Refined to the tolerance", "", "", "", "", "", 0,
         "The last halving changed the heat flow by no more than the tolerance asked for (0.1 % "
         "unless stated); false when the node limit came first, the change still within the "
         "standard's 1 %",
         "ISO 10211:2017, 5.3.2"),
  };
}

}  // namespace Brusk::Engine::Detail
