// Thermal mass of a zone: per-face areal heat capacities of its elements and the ISO 13790 / SAP
// figures of the whole zone.
#include "brusk/engine/zone.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "brusk/engine/constants.h"
#include "brusk/engine/sequential_capacity.h"

namespace Brusk::Engine {

namespace {

constexpr double kLargest = 1.7976931348623157e308;

bool isPositiveFinite(double value) { return value > 0.0 && value <= kLargest; }

/// ISO 13790 Table 12, Cm / Af of each class [J/(m2.K)], lightest first.
constexpr std::array<double, 5> kClassCapacities = {80e3, 110e3, 165e3, 260e3, 370e3};

bool insulatesForTenCentimetreRule(const LayerProperties& layer) {
  return layer.isPureResistance() || layer.conductivity <= kTenCentimetreInsulatingConductivity;
}

/// The capacities of one face, from the element's stacks (one for a plain wall), each with its
/// layers ordered from that face, and the face's surface resistance [m2.K/W] (for the
/// sequential estimate's coupling to the room).
FaceMass faceMass(int side, const std::vector<ElementStack>& stacks, double surfaceResistance,
                  const WallResult& wall, ZoneCapacityBasis basis) {
  FaceMass face;
  face.side = side;
  face.detailedCapacity =
      side == 1 ? wall.internalArealHeatCapacity : wall.externalArealHeatCapacity;
  face.admittance =
      side == 1 ? wall.internalAdmittance.getModulus() : wall.externalAdmittance.getModulus();
  if (side == 1) face.simplifiedCapacity = wall.daily;
  bool sameRule = true;
  for (std::size_t j = 0; j < stacks.size(); ++j) {
    const std::vector<LayerProperties>& fromFace = stacks[j].layers;
    // The parallel paths of an element carry their share of the area each; one stack of
    // weight 1 is a plain wall's own figure.
    face.tenCentimetreCapacity +=
        stacks[j].weight * tenCentimetreCapacity(fromFace.data(), fromFace.size());
    face.wholeThicknessCapacity +=
        stacks[j].weight * wholeThicknessCapacity(fromFace.data(), fromFace.size());
    if (side == 1) continue;
    double capacity = 0.0;
    int method = None;
    computeSequentialCapacity(fromFace.data(), fromFace.size(), surfaceResistance, Daily, capacity,
                              method);
    // As the element's side 1: the paths' estimates add up by area only when one rule gave
    // them all; otherwise there is no estimate.
    if (j == 0) {
      face.simplifiedCapacity = {stacks[j].weight * capacity, static_cast<CapacityMethod>(method)};
    } else if (method == face.simplifiedCapacity.method) {
      face.simplifiedCapacity.capacity += stacks[j].weight * capacity;
    } else {
      sameRule = false;
    }
  }
  if (side == 2 && (!sameRule || face.simplifiedCapacity.method == None)) {
    face.simplifiedCapacity = SequentialEstimate{};
  }
  // As for side 1 (computeInto): a stack of pure resistances has nothing to estimate.
  if (side == 2 && wall.surfaceMass == 0.0) face.simplifiedCapacity = SequentialEstimate{};
  face.capacity = basis == ZoneCapacityBasis::Detailed ? face.detailedCapacity
                                                       : face.simplifiedCapacity.capacity;
  return face;
}

/// The stacks of an element with their layers ordered from side 2.
std::vector<ElementStack> reversedStacks(std::vector<ElementStack> stacks) {
  for (ElementStack& stack : stacks) std::reverse(stack.layers.begin(), stack.layers.end());
  return stacks;
}

}  // namespace

double tenCentimetreCapacity(const LayerProperties* layers, std::size_t count) {
  // SAP kappa value: kappa = sum d_j rho_j c_j [J/(m2.K)] (d [m], rho [kg/m3], c [J/(kg.K)])
  // from the face inward, stopping at whichever comes first, part way through a layer if need
  // be: 0.1 m deep, the mid point of the element, an insulating layer (lambda <= 0.08 W/(m.K))
  // (Kingspan Insulation, "What is a kappa value?").
  // A pure resistance is an insulating layer or a cavity whose thickness is not given, so the
  // element's mid point is unknown: with one, the walk stops at the first insulating layer or
  // pure resistance (or 0.1 m), wherever it lies relative to half the material layers, which
  // would otherwise cut the layers before it short (an 80 mm slab on R = 25 insulation counts
  // its 80 mm, as on 1 m of insulation, not 40 mm).
  double totalThickness = 0.0;
  bool anyPureResistance = false;
  for (std::size_t i = 0; i < count; ++i) {
    totalThickness += layers[i].thickness;
    anyPureResistance = anyPureResistance || layers[i].isPureResistance();
  }
  const double depth =
      anyPureResistance ? kTenCentimetreDepth : std::min(kTenCentimetreDepth, 0.5 * totalThickness);
  double reached = 0.0;   // [m]
  double capacity = 0.0;  // sum of d rho c [J/(m2.K)]
  for (std::size_t i = 0; i < count && reached < depth; ++i) {
    const LayerProperties& layer = layers[i];
    if (insulatesForTenCentimetreRule(layer)) break;
    const double counted = std::min(layer.thickness, depth - reached);
    capacity += counted * layer.density * layer.specificHeat;
    reached += layer.thickness;
  }
  return capacity;
}

double wholeThicknessCapacity(const LayerProperties* layers, std::size_t count) {
  double capacity = 0.0;
  for (std::size_t i = 0; i < count; ++i) {
    capacity += layers[i].thickness * layers[i].density * layers[i].specificHeat;
  }
  return capacity;
}

double massClassCapacity(MassClass massClass) {
  return kClassCapacities[static_cast<std::size_t>(massClass)];
}

MassClass nearestMassClass(double capacityPerFloorArea) {
  std::size_t index = 0;
  for (std::size_t i = 1; i < kClassCapacities.size(); ++i) {
    // Midpoint between neighbours; a value on it goes to the heavier class.
    const double boundary = 0.5 * (kClassCapacities[i - 1] + kClassCapacities[i]);
    if (capacityPerFloorArea >= boundary) index = i;
  }
  return static_cast<MassClass>(index);
}

const char* massClassName(MassClass massClass) {
  switch (massClass) {
    case MassClass::VeryLight:
      return "very-light";
    case MassClass::Light:
      return "light";
    case MassClass::Medium:
      return "medium";
    case MassClass::Heavy:
      return "heavy";
    case MassClass::VeryHeavy:
      return "very-heavy";
  }
  return "very-light";
}

std::optional<ZoneProblem> checkElementArea(double area, std::size_t element) {
  if (isPositiveFinite(area)) return std::nullopt;
  return ZoneProblem{ZoneProblemKind::AreaNotPositive, element, area, {}};
}

std::optional<ZoneProblem> checkFloorArea(double floorArea) {
  if (isPositiveFinite(floorArea)) return std::nullopt;
  return ZoneProblem{ZoneProblemKind::FloorAreaNotPositive, kWholeZone, floorArea, {}};
}

std::optional<ZoneProblem> checkHeatTransferCoefficient(double coefficient) {
  if (isPositiveFinite(coefficient)) return std::nullopt;
  return ZoneProblem{ZoneProblemKind::HeatTransferNotPositive, kWholeZone, coefficient, {}};
}

std::optional<ZoneProblem> checkElementCount(std::size_t count) {
  if (count == 0) return ZoneProblem{};
  if (count <= kMaxZoneElements) return std::nullopt;
  return ZoneProblem{ZoneProblemKind::TooManyElements, kWholeZone, static_cast<double>(count), {}};
}

std::optional<ZoneProblem> checkZone(const ZoneRequest& request) {
  if (auto problem = checkFloorArea(request.floorArea)) return problem;
  if (request.heatTransferCoefficient) {
    if (auto problem = checkHeatTransferCoefficient(*request.heatTransferCoefficient)) {
      return problem;
    }
  }
  if (auto problem = checkElementCount(request.elements.size())) return problem;
  for (std::size_t i = 0; i < request.elements.size(); ++i) {
    if (auto problem = checkElementArea(request.elements[i].area, i)) return problem;
  }
  return std::nullopt;
}

ZoneOutcome computeZone(const ZoneRequest& request) {
  if (auto problem = checkZone(request)) return *problem;
  ZoneResult result;
  result.elements.reserve(request.elements.size());
  ZoneTotals& totals = result.totals;
  double largestCapacity = 0.0;       // the largest kappa counted [J/(m2.K)]
  double sumAreaTenCentimetre = 0.0;  // sum of A kappa(10 cm) [J/K]
  for (std::size_t i = 0; i < request.elements.size(); ++i) {
    const ZoneElementRequest& element = request.elements[i];
    WallRequest wall = element.wall;
    // kappa and the sequential estimate are daily figures; a face on each side of the zone
    // makes the element a partition (surface resistances and admittances of both faces inside).
    wall.period = kDailyPeriod;
    if (element.faces == ZoneFaces::Both) wall.position = ElementPosition::Internal;

    ZoneElementResult out;
    out.area = element.area;
    out.faces = element.faces;
    std::vector<ElementStack> stacks;
    if (element.element.empty()) {
      if (auto problem = computeInto(wall, out.wall)) {
        return ZoneProblem{ZoneProblemKind::Wall, i, 0.0, *problem};
      }
      stacks.push_back({1.0, wall.layers, wall.boundary()});
    } else {
      ElementOutcome outcome = computeElement(wall, element.element);
      if (const auto* problem = std::get_if<ElementProblem>(&outcome)) {
        return ZoneProblem{ZoneProblemKind::Wall, i, 0.0, problem->wall};
      }
      out.wall = std::get<ElementResult>(outcome).wall;
      stacks = elementStacks(wall, element.element);
    }
    const SurfaceResistances resistances = wall.surfaceResistances();
    out.faceMasses.push_back(
        faceMass(1, stacks, resistances.internal, out.wall, request.capacityBasis));
    if (element.faces == ZoneFaces::Both) {
      out.faceMasses.push_back(faceMass(2, reversedStacks(std::move(stacks)), resistances.external,
                                        out.wall, request.capacityBasis));
    } else {
      totals.conductanceArea += element.area * out.wall.uValue;
    }
    for (const FaceMass& face : out.faceMasses) {
      out.heatCapacity += element.area * face.capacity;
      largestCapacity = std::max(largestCapacity, face.capacity);
      sumAreaTenCentimetre += element.area * face.tenCentimetreCapacity;
      totals.admittanceArea += element.area * face.admittance;
    }
    totals.heatCapacity += out.heatCapacity;
    result.elements.push_back(std::move(out));
  }

  // ISO 13790, 12.3.1.2: Am = Cm^2 / sum(A kappa^2), taken with kappa scaled by the largest so
  // that the squares cannot overflow: Am = (sum A s)^2 / sum(A s^2), s = kappa / kappa_max.
  // With no capacity at all there is no mass area either.
  if (largestCapacity > 0.0) {
    double sumAreaScaled = 0.0;
    double sumAreaScaledSquared = 0.0;
    for (const ZoneElementResult& element : result.elements) {
      for (const FaceMass& face : element.faceMasses) {
        const double scaled = face.capacity / largestCapacity;
        sumAreaScaled += element.area * scaled;
        sumAreaScaledSquared += element.area * scaled * scaled;
      }
    }
    totals.effectiveMassArea = sumAreaScaled * (sumAreaScaled / sumAreaScaledSquared);
  }
  totals.heatCapacityPerFloorArea = totals.heatCapacity / request.floorArea;
  totals.effectiveMassAreaPerFloorArea = totals.effectiveMassArea / request.floorArea;
  totals.massClass = nearestMassClass(totals.heatCapacityPerFloorArea);
  // SAP: TMP = sum of A kappa(10 cm) / Af [J/(m2.K)]; SAP quotes it in kJ/(m2.K).
  totals.thermalMassParameter = sumAreaTenCentimetre / request.floorArea;
  // ISO 13790, 12.2.1.3: tau = (Cm / 3600) / H [h], Cm in J/K and H in W/K.
  if (request.heatTransferCoefficient) {
    totals.timeConstant = totals.heatCapacity / kSecondsPerHour / *request.heatTransferCoefficient;
  }
  // Areas and capacities each finite can still sum beyond double precision.
  const double sums[] = {totals.heatCapacity, totals.effectiveMassArea, totals.thermalMassParameter,
                         totals.admittanceArea, totals.conductanceArea};
  for (double sum : sums) {
    if (!std::isfinite(sum)) return ZoneProblem{ZoneProblemKind::Overflow, kWholeZone, sum, {}};
  }
  // The sums are finite here: an infinite tau comes from H alone (a subnormal H, say).
  if (totals.timeConstant && !std::isfinite(*totals.timeConstant)) {
    return ZoneProblem{
        ZoneProblemKind::TimeConstantOverflow, kWholeZone, *request.heatTransferCoefficient, {}};
  }
  return result;
}

}  // namespace Brusk::Engine
