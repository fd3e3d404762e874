#include "brusk/frontend/zone_output.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string_view>

#include "brusk/engine/sequential_capacity.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/shortest_double.h"
#include "brusk/frontend/text_util.h"

namespace Brusk::Frontend {

namespace {

constexpr double kJoulesPerKilojoule = 1000.0;

void appendNumber(double value, std::string& out) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  char buffer[kShortestDoubleRoom];
  out.append(buffer, writeShortestDouble(value, buffer));
}

const char* facesName(Engine::ZoneFaces faces) {
  return ZoneSchema::facesNames()[static_cast<std::size_t>(faces)].c_str();
}

const char* capacityName(Engine::ZoneCapacityBasis basis) {
  return ZoneSchema::capacityNames()[static_cast<std::size_t>(basis)].c_str();
}

/// An indented JSON object written key by key.
class JsonObject {
public:
  JsonObject(std::string& out, int depth) : _out(out), _depth(depth) { _out += '{'; }

  void number(std::string_view key, double value) {
    this->key(key);
    appendNumber(value, _out);
  }
  void optionalNumber(std::string_view key, const std::optional<double>& value) {
    this->key(key);
    if (value) {
      appendNumber(*value, _out);
    } else {
      _out += "null";
    }
  }
  void text(std::string_view key, std::string_view value) {
    this->key(key);
    appendJsonString(value, _out);
  }
  void optionalText(std::string_view key, std::string_view value) {
    if (value.empty()) {
      this->key(key);
      _out += "null";
    } else {
      text(key, value);
    }
  }
  /// Starts a member whose value the caller writes at depth() + 1.
  void key(std::string_view key) {
    _out += _first ? "\n" : ",\n";
    _first = false;
    indent(_depth + 1);
    appendJsonString(key, _out);
    _out += ": ";
  }
  void close() {
    _out += '\n';
    indent(_depth);
    _out += '}';
  }
  [[nodiscard]] int depth() const { return _depth; }
  void indent(int depth) { _out.append(static_cast<std::size_t>(2 * depth), ' '); }

private:
  std::string& _out;
  int _depth;
  bool _first = true;
};

void appendFace(const Engine::FaceMass& face, double area, std::string& out, int depth) {
  JsonObject object(out, depth);
  object.number("side", face.side);
  object.number("areal_heat_capacity", face.detailedCapacity);
  object.key("simplified_areal_heat_capacity");
  {
    JsonObject simplified(out, depth + 1);
    simplified.number("value", face.simplifiedCapacity.capacity);
    simplified.text("method", Engine::capacityMethodName(face.simplifiedCapacity.method));
    simplified.close();
  }
  object.number("ten_centimetre_areal_heat_capacity", face.tenCentimetreCapacity);
  object.number("whole_thickness_areal_heat_capacity", face.wholeThicknessCapacity);
  object.number("admittance", face.admittance);
  object.number("heat_capacity", area * face.capacity);
  object.close();
}

void appendElement(const ZoneElementLabel& label, const Engine::ZoneElementResult& element,
                   double zoneCapacity, std::string& out, int depth) {
  JsonObject object(out, depth);
  object.text("name", label.name);
  object.text("wall", label.wallName);
  object.optionalText("wall_file", label.wallFile);
  object.number("area", element.area);
  object.text("faces", facesName(element.faces));
  object.number("thickness", element.wall.thickness);
  object.number("surface_mass", element.wall.surfaceMass);
  object.number("u_value", element.wall.uValue);
  object.number("heat_capacity", element.heatCapacity);
  object.number("heat_capacity_share",
                zoneCapacity > 0.0 ? element.heatCapacity / zoneCapacity : 0.0);
  object.key("sides");
  out += '[';
  for (std::size_t i = 0; i < element.faceMasses.size(); ++i) {
    out += i == 0 ? "\n" : ",\n";
    object.indent(depth + 2);
    appendFace(element.faceMasses[i], element.area, out, depth + 2);
  }
  out += '\n';
  object.indent(depth + 1);
  out += ']';
  object.close();
}

void appendZone(const ZoneReport& report, std::string& out, int depth) {
  const Zone& zone = report.zone;
  const Engine::ZoneTotals& totals = report.result.totals;
  JsonObject object(out, depth);
  object.text("name", zone.name);
  object.number("floor_area", zone.request.floorArea);
  object.optionalNumber("heat_transfer_coefficient", zone.request.heatTransferCoefficient);
  object.text("capacity", capacityName(zone.request.capacityBasis));
  object.key("elements");
  out += '[';
  for (std::size_t i = 0; i < report.result.elements.size(); ++i) {
    out += i == 0 ? "\n" : ",\n";
    object.indent(depth + 2);
    appendElement(zone.labels[i], report.result.elements[i], totals.heatCapacity, out, depth + 2);
  }
  out += '\n';
  object.indent(depth + 1);
  out += ']';
  object.key("totals");
  JsonObject sums(out, depth + 1);
  sums.number("heat_capacity", totals.heatCapacity);
  sums.number("effective_mass_area", totals.effectiveMassArea);
  sums.number("heat_capacity_per_floor_area", totals.heatCapacityPerFloorArea);
  sums.number("effective_mass_area_per_floor_area", totals.effectiveMassAreaPerFloorArea);
  sums.text("mass_class", Engine::massClassName(totals.massClass));
  sums.number("thermal_mass_parameter", totals.thermalMassParameter);
  sums.number("admittance_area", totals.admittanceArea);
  sums.number("conductance_area", totals.conductanceArea);
  sums.optionalNumber("time_constant", totals.timeConstant);
  sums.close();
  object.close();
}

void appendCsvNumber(double value, std::string& out) {
  if (std::isfinite(value)) appendNumber(value, out);
}

constexpr std::string_view kCsvHeader =
    "record,zone,element,wall,area,faces,side,areal_heat_capacity,"
    "simplified_areal_heat_capacity,simplified_method,ten_centimetre_areal_heat_capacity,"
    "whole_thickness_areal_heat_capacity,admittance,u_value,surface_mass,heat_capacity,"
    "effective_mass_area,heat_capacity_per_floor_area,mass_class,thermal_mass_parameter,"
    "admittance_area,conductance_area,time_constant\n";

std::string fixed(double value, int decimals) {
  if (!std::isfinite(value)) return "-";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

}  // namespace

std::string formatZoneJson(const std::vector<ZoneReport>& zones) {
  std::string out;
  if (zones.size() == 1) {
    appendZone(zones.front(), out, 0);
    out += '\n';
    return out;
  }
  out += '[';
  for (std::size_t i = 0; i < zones.size(); ++i) {
    out += i == 0 ? "\n  " : ",\n  ";
    appendZone(zones[i], out, 1);
  }
  out += zones.empty() ? "]\n" : "\n]\n";
  return out;
}

std::string formatZoneCsv(const std::vector<ZoneReport>& zones) {
  std::string out(kCsvHeader);
  for (const ZoneReport& report : zones) {
    const Zone& zone = report.zone;
    for (std::size_t i = 0; i < report.result.elements.size(); ++i) {
      const Engine::ZoneElementResult& element = report.result.elements[i];
      for (const Engine::FaceMass& face : element.faceMasses) {
        out += "face,";
        appendCsvText(zone.name, out);
        out += ',';
        appendCsvText(zone.labels[i].name, out);
        out += ',';
        appendCsvText(zone.labels[i].wallName, out);
        out += ',';
        appendCsvNumber(element.area, out);
        out += ',';
        out += facesName(element.faces);
        out += ',';
        appendCsvNumber(face.side, out);
        for (double value : {face.detailedCapacity, face.simplifiedCapacity.capacity}) {
          out += ',';
          appendCsvNumber(value, out);
        }
        out += ',';
        out += Engine::capacityMethodName(face.simplifiedCapacity.method);
        for (double value :
             {face.tenCentimetreCapacity, face.wholeThicknessCapacity, face.admittance,
              element.wall.uValue, element.wall.surfaceMass, element.area * face.capacity}) {
          out += ',';
          appendCsvNumber(value, out);
        }
        out += ",,,,,,,\n";
      }
    }
    const Engine::ZoneTotals& totals = report.result.totals;
    out += "zone,";
    appendCsvText(zone.name, out);
    out += ",,,";
    appendCsvNumber(zone.request.floorArea, out);
    out += ",,,,,,,,,,,";
    appendCsvNumber(totals.heatCapacity, out);
    out += ',';
    appendCsvNumber(totals.effectiveMassArea, out);
    out += ',';
    appendCsvNumber(totals.heatCapacityPerFloorArea, out);
    out += ',';
    out += Engine::massClassName(totals.massClass);
    for (double value :
         {totals.thermalMassParameter, totals.admittanceArea, totals.conductanceArea}) {
      out += ',';
      appendCsvNumber(value, out);
    }
    out += ',';
    if (totals.timeConstant) appendCsvNumber(*totals.timeConstant, out);
    out += '\n';
  }
  return out;
}

std::string formatZoneTable(const std::vector<ZoneReport>& zones) {
  std::string out;
  for (std::size_t z = 0; z < zones.size(); ++z) {
    const Zone& zone = zones[z].zone;
    const Engine::ZoneResult& result = zones[z].result;
    const Engine::ZoneTotals& totals = result.totals;
    if (z > 0) out += '\n';
    out += "Zone " + visibleText(zone.name) + ": floor area Af " +
           fixed(zone.request.floorArea, 2) + " m2, Cm from the " +
           capacityName(zone.request.capacityBasis) + " kappa\n";

    // Columns: element, wall, area, side, then the per-face figures.
    const std::vector<std::string> header = {
        "element",      "wall",         "A [m2]", "side",        "kappa [kJ/(m2.K)]",
        "simplified",   "rule",         "10 cm",  "sum rho c d", "|Y| [W/(m2.K)]",
        "U [W/(m2.K)]", "mass [kg/m2]", "share"};
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 0; i < result.elements.size(); ++i) {
      const Engine::ZoneElementResult& element = result.elements[i];
      for (const Engine::FaceMass& face : element.faceMasses) {
        const double share =
            totals.heatCapacity > 0.0 ? element.area * face.capacity / totals.heatCapacity : 0.0;
        rows.push_back({visibleText(zone.labels[i].name), visibleText(zone.labels[i].wallName),
                        fixed(element.area, 2), std::to_string(face.side),
                        fixed(face.detailedCapacity / kJoulesPerKilojoule, 1),
                        fixed(face.simplifiedCapacity.capacity / kJoulesPerKilojoule, 1),
                        Engine::capacityMethodName(face.simplifiedCapacity.method),
                        fixed(face.tenCentimetreCapacity / kJoulesPerKilojoule, 1),
                        fixed(face.wholeThicknessCapacity / kJoulesPerKilojoule, 1),
                        fixed(face.admittance, 2), fixed(element.wall.uValue, 3),
                        fixed(element.wall.surfaceMass, 1), fixed(100.0 * share, 1) + " %"});
      }
    }
    // Names left, numbers right.
    appendAlignedTable(out, header, rows, [](std::size_t c) { return c != 0 && c != 1 && c != 6; });

    const std::vector<std::pair<std::string, std::string>> lines = {
        {"Heat capacity Cm = sum A.kappa (ISO 13790 12.3.1.2) [kJ/K]",
         fixed(totals.heatCapacity / kJoulesPerKilojoule, 1)},
        {"Cm / Af [kJ/(m2.K)]", fixed(totals.heatCapacityPerFloorArea / kJoulesPerKilojoule, 1)},
        {"Mass class, nearest of ISO 13790 Table 12", Engine::massClassName(totals.massClass)},
        {"Effective mass area Am = Cm^2 / sum A.kappa^2 [m2]", fixed(totals.effectiveMassArea, 2)},
        {"Am / Af [-]", fixed(totals.effectiveMassAreaPerFloorArea, 2)},
        {"Thermal mass parameter TMP = sum A.kappa(10 cm) / Af (SAP) [kJ/(m2.K)]",
         fixed(totals.thermalMassParameter / kJoulesPerKilojoule, 1)},
        {"Admittance area sum A.|Y| [W/K]", fixed(totals.admittanceArea, 1)},
        {"Conductance area sum A.U, boundary elements [W/K]", fixed(totals.conductanceArea, 2)},
        {"Time constant tau = Cm / (3600 H) (ISO 13790 12.2.1.3) [h]",
         totals.timeConstant ? fixed(*totals.timeConstant, 1) : std::string("- (no H given)")},
    };
    std::size_t labelWidth = 0;
    for (const auto& line : lines) labelWidth = std::max(labelWidth, displayWidth(line.first));
    out += '\n';
    for (const auto& line : lines) {
      appendPadded(out, line.first, labelWidth, false);
      out += "  " + line.second + '\n';
    }
  }
  return out;
}

}  // namespace Brusk::Frontend
