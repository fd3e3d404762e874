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
  constexpr std::string_view kCoupling = "W/(m.K)";
  constexpr std::string_view kCouplingUnicode = "W/(m·K)";
  return {
      of(kNumber, "heat_flow", "heat_flow", "Heat flow into the body", "Phi", "Φ", "<i>Φ</i>",
         "W/m", "W/m", 2,
         "Heat flow per metre of junction from each environment into the body (positive in); "
         "the flows of all environments sum to zero",
         "ISO 10211:2017, 10.2"),
      of(kNumber, "coupling_coefficient", "coupling_coefficient", "Thermal coupling coefficient",
         "L2D", "L²ᴰ", "<i>L</i><sup>2D</sup>", kCoupling, kCouplingUnicode, 4,
         "L2D = Phi / (theta_i - theta_e) between the two environments; for more, the pair's "
         "coefficient L_ab of the coupling matrix",
         "ISO 10211:2017, 10.4"),
      of(kNumber, "coupling_coefficients", "", "Thermal coupling coefficients", "L_ab", "Lab",
         "<i>L</i><sub>ab</sub>", kCoupling, kCouplingUnicode, 4,
         "L_ab for every pair \"a|b\" of environments: Phi_b = sum over a of L_ab (theta_b - "
         "theta_a)",
         "ISO 10211:2017, 10.4"),
      of(kNumber, "psi", "psi", "Linear thermal transmittance", "psi", "Ψ", "<i>Ψ</i>", kCoupling,
         kCouplingUnicode, 4,
         "psi = L2D - sum U_j l_j with the flanking lengths l_j as given (their dimension "
         "system decides the sign of a corner's psi)",
         "ISO 10211:2017, 10.4.2, eq. (12)"),
      of(kNumber, "minimum_surface_temperature.value", "minimum_surface_temperature",
         "Minimum indoor surface temperature", "theta_si,min", "θsi,min",
         "<i>θ</i><sub>si,min</sub>", "degC", "°C", 2,
         "Lowest temperature of the surfaces facing the environment named indoor, with the "
         "heat-flow surface resistances",
         "ISO 10211:2017, 11.1"),
      of(kNumber, "f_rsi", "f_rsi", "Temperature factor", "f_Rsi", "fRsi", "<i>f</i><sub>Rsi</sub>",
         "-", "–", 3,
         "fRsi = (theta_si,min - theta_e) / (theta_i - theta_e), theta_si,min from a second "
         "solve with Rsi = 0.25 m2.K/W on the indoor surfaces",
         "ISO 10211:2017, 11.2; ISO 13788:2012, 5.2"),
      of(kNumber, "probes.temperature", "", "Probe temperature", "theta", "θ", "<i>θ</i>", "degC",
         "°C", 2, "Temperature at a named point; on a surface, the surface temperature",
         "ISO 10211:2017, 11.1"),
      of(kNumber, "grid.cells", "cells", "Grid cells", "", "", "", "", "", 0,
         "Cells of the final grid within the body", "ISO 10211:2017, 5.3"),
      of(kNumber, "grid.last_change", "last_change", "Heat-flow change of the last halving", "", "",
         "", "-", "–", 5,
         "|Phi_k - Phi_k-1| / Phi_k of the total heat flow when the cells were last halved "
         "(the standard requires less than 0.01)",
         "ISO 10211:2017, 5.3.2"),
  };
}

}  // namespace Brusk::Engine::Detail
