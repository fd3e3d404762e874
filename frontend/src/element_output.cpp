#include "brusk/frontend/element_output.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "brusk/engine/quantities.h"
#include "brusk/engine/wall_result.h"
#include "brusk/frontend/bridged_wall.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"

namespace Brusk::Frontend {

namespace {

/// The rows of the table, by key: the element's verdict and its corrections; the other fields
/// are for programs (JSON and CSV).
bool inTable(std::string_view key) {
  for (const std::string_view row :
       {"thermal_resistance_upper", "thermal_resistance_lower", "relative_error",
        "relative_error_limit_exceeded", "corrections.air_voids.delta_u",
        "corrections.fasteners.delta_u", "corrections.delta_u", "u_value_corrected"}) {
    if (key == row) return true;
  }
  return false;
}

/// The element quantities whose keys start with `prefix` ("" for the element's own fields,
/// "paths." or "air_layers." for the entries of its lists), in output order.
std::vector<const Engine::Quantity*> described(std::string_view prefix) {
  std::vector<const Engine::Quantity*> found;
  for (const Engine::Quantity& q : Engine::quantities()) {
    if (q.scope != Engine::QuantityScope::Element) continue;
    const bool listed = q.key.substr(0, 6) == "paths." || q.key.substr(0, 11) == "air_layers.";
    if (prefix.empty() ? !listed : q.key.substr(0, prefix.size()) == prefix) found.push_back(&q);
  }
  return found;
}

/// The key of a list entry's field inside its entry: "paths.fraction" gives "fraction".
std::string entryKey(const Engine::Quantity& q) {
  return std::string(q.key.substr(q.key.find('.') + 1));
}

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

const char* elementMethodText() {
  return "ISO 6946:2017 combined method (6.7.2); periodic characteristics by the parallel-path "
         "approximation (the paths' admittances summed by area; ISO 13786 covers homogeneous "
         "layers)";
}

ComputedWall computeWallOrElement(const Wall& wall, const std::string& source) {
  try {
    if (!isElement(wall)) return {{wall.name, computeWall(wall)}, {}};
    const Engine::ElementResult element = computeElementWall(wall);
    return {{wall.name, element.wall}, elementExtras(wall, element)};
  } catch (const Error& error) {
    throw Error(source + ": " + error.what());
  }
}

ExtraFields elementExtras(const Wall& wall, const Engine::ElementResult& result) {
  ExtraFields extras;
  if (!isElement(wall)) return extras;
  const Engine::ElementDescription& element = wall.element.element;
  const std::vector<const Engine::Quantity*> q = described("");
  std::size_t next = 0;
  const auto number = [&](double value) {
    const Engine::Quantity& quantity = *q[next++];
    extras.fields.push_back(ExtraField::of(std::string(quantity.key), value));
    if (inTable(quantity.key)) {
      extras.table.emplace_back(quantity.tableLabel(),
                                fixed(quantity.displayed(value), quantity.decimals));
    }
  };
  const auto flag = [&](bool value) {
    const Engine::Quantity& quantity = *q[next++];
    extras.fields.push_back(ExtraField::flagOf(std::string(quantity.key), value));
    if (inTable(quantity.key))
      extras.table.emplace_back(quantity.tableLabel(), value ? "yes" : "no");
  };
  const auto layerNumber = [](std::size_t layer) { return static_cast<double>(layer + 1); };

  extras.fields.push_back(
      ExtraField::of(std::string(q[next++]->key), std::string(elementMethodText())));
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
  std::vector<std::string> p;
  for (const Engine::Quantity* quantity : described("paths.")) p.push_back(entryKey(*quantity));
  for (const Engine::ElementPath& path : result.paths) {
    std::vector<ExtraField> item;
    const Engine::PeriodicResponse& response = path.response;
    const double period = result.wall.period;
    item.push_back(ExtraField::of(p[0], path.fraction));
    item.push_back(ExtraField::of(p[1], partsText(wall, path)));
    item.push_back(ExtraField::of(
        p[2], std::string(path.wellVentilated ? "inside the ventilated air layer" : "all layers")));
    item.push_back(ExtraField::of(p[3], path.thermalResistance));
    item.push_back(ExtraField::of(p[4], 1.0 / path.thermalResistance));
    item.push_back(ExtraField::of(p[5], response.periodicThermalTransmittance.getModulus()));
    item.push_back(ExtraField::of(
        p[6], Engine::timeShiftHours(response.periodicThermalTransmittance, period)));
    item.push_back(ExtraField::of(p[7], response.internalAdmittance.getModulus()));
    item.push_back(ExtraField::of(p[8], response.externalAdmittance.getModulus()));
    item.push_back(ExtraField::of(p[9], response.internalArealHeatCapacity));
    item.push_back(ExtraField::of(p[10], response.externalArealHeatCapacity));
    paths.items.push_back(std::move(item));
  }
  extras.lists.push_back(std::move(paths));

  ExtraList air{"air_layers", {}};
  std::vector<std::string> a;
  for (const Engine::Quantity* quantity : described("air_layers."))
    a.push_back(entryKey(*quantity));
  for (const AirGap& gap : wall.element.airGaps) {
    air.items.push_back(
        {ExtraField::of(a[0], layerNumber(gap.layer)), ExtraField::of(a[1], gap.thickness),
         ExtraField::of(a[2], std::string(ventilationName(gap.ventilation))),
         ExtraField::of(a[3], gap.openingArea), ExtraField::of(a[4], gap.resistance),
         ExtraField::of(a[5], std::string(sourceName(gap.source)))});
  }
  extras.lists.push_back(std::move(air));
  return extras;
}

}  // namespace Brusk::Frontend
