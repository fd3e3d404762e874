#include "brusk/frontend/element_output.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "brusk/engine/wall_result.h"
#include "brusk/frontend/bridged_wall.h"
#include "brusk/frontend/compute.h"

namespace Brusk::Frontend {

namespace {

// Keys, labels, symbols, units and definitions of every element quantity, in output order.
const std::vector<ElementQuantity> kElementQuantities = {
    {"method", "Method", "", "", "how the element is computed", 0},
    {"thermal_resistance_upper", "Upper limit of the thermal resistance R'_T [m2.K/W]", "R'_T",
     "m2.K/W", "1 / sum(f_j / R_Tj) over the paths j of area fraction f_j, ISO 6946:2017 6.7.2.2",
     3},
    {"thermal_resistance_lower", "Lower limit of the thermal resistance R''_T [m2.K/W]", "R''_T",
     "m2.K/W",
     "Rsi + sum R_j + Rse, each inhomogeneous layer as d / sum(f_q lambda_q), ISO 6946:2017 "
     "6.7.2.3",
     3},
    {"relative_error", "Largest relative error e [-]", "e", "-",
     "(R'_T - R''_T) / (2 R_T), ISO 6946:2017 6.7.2", 3},
    {"relative_error_limit_exceeded", "Outside the combined method (R'_T/R''_T > 1.5)", "", "",
     "R'_T / R''_T > 1.5, where ISO 6946:2017 6.7.2 does not apply (e > 20 %)", 0},
    {"corrections/air_voids/applied", "", "", "", "an air-void correction was asked for", 0},
    {"corrections/air_voids/level", "", "", "-", "level 0, 1 or 2 of ISO 6946:2017 Table F.1", 0},
    {"corrections/air_voids/layer", "", "", "-", "the layer holding the voids, from side 1", 0},
    {"corrections/air_voids/layer_resistance", "", "R_1", "m2.K/W",
     "thermal resistance of the layer holding the voids", 3},
    {"corrections/air_voids/delta_u_level", "", "Delta U''", "W/(m2.K)",
     "the level's Delta U'' of ISO 6946:2017 Table F.1", 3},
    {"corrections/air_voids/delta_u", "Air-void correction Delta U_g [W/(m2.K)]", "Delta U_g",
     "W/(m2.K)", "Delta U'' (R_1 / R_T)^2, ISO 6946:2017 F.2", 4},
    {"corrections/fasteners/applied", "", "", "", "a fastener correction was asked for", 0},
    {"corrections/fasteners/layer", "", "", "-", "the insulation layer crossed, from side 1", 0},
    {"corrections/fasteners/count", "", "n_f", "1/m2", "fasteners per square metre", 0},
    {"corrections/fasteners/cross_section", "", "A_f", "m2", "cross-section of one fastener", 0},
    {"corrections/fasteners/conductivity", "", "lambda_f", "W/(m.K)",
     "thermal conductivity of the fastener", 0},
    {"corrections/fasteners/penetration", "", "d_1", "m", "length of the fastener inside the layer",
     0},
    {"corrections/fasteners/alpha", "", "alpha", "-",
     "0.8 d_1 / d_0 (0.8 right through), ISO 6946:2017 F.3", 3},
    {"corrections/fasteners/layer_resistance", "", "R_1", "m2.K/W",
     "thermal resistance of the layer crossed", 3},
    {"corrections/fasteners/delta_u", "Fastener correction Delta U_f [W/(m2.K)]", "Delta U_f",
     "W/(m2.K)", "alpha lambda_f n_f A_f / d_0 (R_1 / R_T)^2, ISO 6946:2017 F.3", 4},
    {"corrections/delta_u", "Correction Delta U [W/(m2.K)]", "Delta U", "W/(m2.K)",
     "Delta U_g + Delta U_f, ISO 6946:2017 F.1", 4},
    {"corrections/negligible", "", "", "",
     "Delta U below 3 % of U, which ISO 6946:2017 F.1 lets be left out", 0},
    {"u_value_corrected", "Corrected thermal transmittance U_c [W/(m2.K)]", "U_c", "W/(m2.K)",
     "U + Delta U, ISO 6946:2017 F.1", 3},
};

const std::vector<ElementQuantity> kPathQuantities = {
    {"fraction", "", "f_j", "-", "share of the area the path stands for", 0},
    {"parts", "", "", "", "the part of each layer of parts the path crosses", 0},
    {"variant", "", "", "",
     "\"all layers\", or \"inside the ventilated air layer\" (ISO 6946:2017 6.9.3, 6.9.4)", 0},
    {"thermal_resistance", "", "R_Tj", "m2.K/W", "Rsi + sum R + Rse along the path", 0},
    {"u_value", "", "U_j", "W/(m2.K)", "1 / R_Tj", 0},
    {"periodic_thermal_transmittance_modulus", "", "|Y12,j|", "W/(m2.K)",
     "the path's own ISO 13786 periodic thermal transmittance", 0},
    {"periodic_thermal_transmittance_time_shift", "", "", "h", "(T / 2 pi) arg(Y12,j)", 0},
    {"internal_admittance_modulus", "", "|Y11,j|", "W/(m2.K)", "the path's own |Y11|", 0},
    {"external_admittance_modulus", "", "|Y22,j|", "W/(m2.K)", "the path's own |Y22|", 0},
    {"internal_areal_heat_capacity", "", "kappa1,j", "J/(m2.K)", "the path's own kappa1", 0},
    {"external_areal_heat_capacity", "", "kappa2,j", "J/(m2.K)", "the path's own kappa2", 0},
};

const std::vector<ElementQuantity> kAirLayerQuantities = {
    {"layer", "", "", "-", "the air layer's place, from side 1", 0},
    {"thickness", "", "d", "m", "thickness of the air layer", 0},
    {"ventilation", "", "", "", "\"unventilated\", \"slightly\" or \"well\"", 0},
    {"openings", "", "A_v", "mm2/m", "vent area of a slightly ventilated layer", 0},
    {"thermal_resistance", "", "R_g", "m2.K/W",
     "as unventilated: ISO 6946:2017 Table 8, Annex D from emissivities, or as given", 0},
    {"thermal_resistance_source", "", "", "", "\"table\", \"emissivities\" or \"given\"", 0},
};

const char* sourceName(AirResistanceSource source) {
  switch (source) {
    case AirResistanceSource::Emissivities:
      return "emissivities";
    case AirResistanceSource::Given:
      return "given";
    case AirResistanceSource::Table:
      break;
  }
  return "table";
}

std::string fixed(double value, int decimals) {
  if (!std::isfinite(value)) return "-";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

std::string shortNumber(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

/// The parts a path crosses, by name and fraction: "Softwood 15 % / Mineral wool 85 %".
std::string partsText(const Wall& wall, const Engine::ElementPath& path) {
  const Engine::ElementDescription& element = wall.element.element;
  std::string text;
  for (std::size_t i = 0; i < path.parts.size(); ++i) {
    // Paths of the well-ventilated variant cross only the bridged layers inside the air layer,
    // which are the first ones.
    if (i >= element.bridged.size()) break;
    const std::size_t part = path.parts[i];
    if (!text.empty()) text += " / ";
    text += i < wall.element.partLabels.size() && part < wall.element.partLabels[i].size()
                ? wall.element.partLabels[i][part].name
                : "part " + std::to_string(part + 1);
    text += " " + shortNumber(100.0 * element.bridged[i].parts[part].fraction) + " %";
  }
  return text.empty() ? "whole area" : text;
}

}  // namespace

const std::vector<ElementQuantity>& elementQuantities() { return kElementQuantities; }
const std::vector<ElementQuantity>& pathQuantities() { return kPathQuantities; }
const std::vector<ElementQuantity>& airLayerQuantities() { return kAirLayerQuantities; }

const char* elementMethodText() {
  return "ISO 6946:2017 combined method (6.7.2); periodic characteristics by the parallel-path "
         "approximation (the paths' admittances summed by area; ISO 13786 covers homogeneous "
         "layers)";
}

ExtraFields elementExtras(const Wall& wall, const Engine::ElementResult& result) {
  ExtraFields extras;
  if (!isElement(wall)) return extras;
  const Engine::ElementDescription& element = wall.element.element;
  const auto& q = kElementQuantities;
  std::size_t next = 0;
  const auto number = [&](double value) {
    const ElementQuantity& quantity = q[next++];
    extras.fields.push_back(ExtraField::of(quantity.key, value));
    if (*quantity.label != '\0') {
      extras.table.emplace_back(quantity.label, fixed(value, quantity.decimals));
    }
  };
  const auto flag = [&](bool value) {
    const ElementQuantity& quantity = q[next++];
    extras.fields.push_back(ExtraField::flagOf(quantity.key, value));
    if (*quantity.label != '\0') extras.table.emplace_back(quantity.label, value ? "yes" : "no");
  };
  const auto layerNumber = [](std::size_t layer) { return static_cast<double>(layer + 1); };

  extras.fields.push_back(ExtraField::of(q[next++].key, std::string(elementMethodText())));
  extras.table.emplace_back("Method", "ISO 6946 combined, parallel paths");
  number(result.upperResistance);
  number(result.lowerResistance);
  number(result.relativeError);
  flag(result.beyondMethod);

  const Engine::CorrectionTerm& voids = result.airVoids;
  flag(voids.applied);
  number(element.airVoids ? element.airVoids->level : 0.0);
  number(element.airVoids ? layerNumber(element.airVoids->layer) : 0.0);
  number(voids.layerResistance);
  number(voids.coefficient);
  number(voids.deltaU);
  if (voids.applied) {
    extras.table.back().second += " (level " + std::to_string(element.airVoids->level) +
                                  ", layer " + std::to_string(element.airVoids->layer + 1) + ")";
  } else {
    extras.table.back().second = "-";
  }

  const Engine::CorrectionTerm& fasteners = result.fasteners;
  const Engine::FastenerCorrection fastener =
      element.fasteners.value_or(Engine::FastenerCorrection{});
  flag(fasteners.applied);
  number(element.fasteners ? layerNumber(fastener.layer) : 0.0);
  number(fastener.count);
  number(fastener.crossSection);
  number(fastener.conductivity);
  number(element.fasteners
             ? fastener.penetration.value_or(wall.request.layers[fastener.layer].thickness)
             : 0.0);
  number(fasteners.coefficient);
  number(fasteners.layerResistance);
  number(fasteners.deltaU);
  if (fasteners.applied) {
    extras.table.back().second +=
        " (" + shortNumber(fastener.count) + "/m2 x " + shortNumber(fastener.crossSection) +
        " m2, lambda " + shortNumber(fastener.conductivity) + ", alpha " +
        fixed(fasteners.coefficient, 2) + ", layer " + std::to_string(fastener.layer + 1) + ")";
  } else {
    extras.table.back().second = "-";
  }
  number(result.deltaU);
  flag(result.correctionNegligible);
  number(result.correctedU);

  ExtraList paths{"paths", {}};
  for (const Engine::ElementPath& path : result.paths) {
    std::vector<ExtraField> item;
    const auto& p = kPathQuantities;
    const Engine::PeriodicResponse& response = path.response;
    const double period = result.wall.period;
    item.push_back(ExtraField::of(p[0].key, path.fraction));
    item.push_back(ExtraField::of(p[1].key, partsText(wall, path)));
    item.push_back(ExtraField::of(
        p[2].key,
        std::string(path.wellVentilated ? "inside the ventilated air layer" : "all layers")));
    item.push_back(ExtraField::of(p[3].key, path.thermalResistance));
    item.push_back(ExtraField::of(p[4].key, 1.0 / path.thermalResistance));
    item.push_back(ExtraField::of(p[5].key, response.periodicThermalTransmittance.getModulus()));
    item.push_back(ExtraField::of(
        p[6].key, Engine::timeShiftHours(response.periodicThermalTransmittance, period)));
    item.push_back(ExtraField::of(p[7].key, response.internalAdmittance.getModulus()));
    item.push_back(ExtraField::of(p[8].key, response.externalAdmittance.getModulus()));
    item.push_back(ExtraField::of(p[9].key, response.internalArealHeatCapacity));
    item.push_back(ExtraField::of(p[10].key, response.externalArealHeatCapacity));
    paths.items.push_back(std::move(item));
  }
  extras.lists.push_back(std::move(paths));

  ExtraList air{"air_layers", {}};
  for (const AirGap& gap : wall.element.airGaps) {
    const auto& a = kAirLayerQuantities;
    air.items.push_back(
        {ExtraField::of(a[0].key, layerNumber(gap.layer)), ExtraField::of(a[1].key, gap.thickness),
         ExtraField::of(a[2].key, std::string(ventilationName(gap.ventilation))),
         ExtraField::of(a[3].key, gap.openingArea), ExtraField::of(a[4].key, gap.resistance),
         ExtraField::of(a[5].key, std::string(sourceName(gap.source)))});
  }
  extras.lists.push_back(std::move(air));
  return extras;
}

}  // namespace Brusk::Frontend
