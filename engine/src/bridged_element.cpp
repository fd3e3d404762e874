#include "brusk/engine/bridged_element.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <utility>

#include "brusk/engine/constants.h"
#include "brusk/engine/many_walls.h"
#include "wall_result_detail.h"

namespace Brusk::Engine {

namespace {

bool isPositiveFinite(double value) { return std::isfinite(value) && value > 0.0; }

ElementProblem elementProblem(ElementProblemKind kind, std::size_t layer, double value,
                              std::size_t part = kWholeWall) {
  ElementProblem problem;
  problem.kind = kind;
  problem.layer = layer;
  problem.part = part;
  problem.value = value;
  return problem;
}

ElementProblem wallProblem(const WallProblem& wall, ElementProblemKind kind) {
  ElementProblem problem;
  problem.kind = kind;
  problem.wall = wall;
  problem.layer = wall.layer;
  problem.value = wall.value;
  return problem;
}

/// ISO 6946:2017 Table 8: thicknesses [mm] and R_g [m2.K/W] of unventilated air layers between
/// high-emissivity surfaces, for upward, horizontal and downward heat flow.
struct AirLayerRow {
  double thicknessMillimetres;
  double upward;
  double horizontal;
  double downward;
};
constexpr AirLayerRow kAirLayerTable[] = {
    {0.0, 0.00, 0.00, 0.00},  {5.0, 0.11, 0.11, 0.11},   {7.0, 0.13, 0.13, 0.13},
    {10.0, 0.15, 0.15, 0.15}, {15.0, 0.16, 0.17, 0.17},  {25.0, 0.16, 0.18, 0.19},
    {50.0, 0.16, 0.18, 0.21}, {100.0, 0.16, 0.18, 0.22}, {300.0, 0.16, 0.18, 0.23},
};

double columnOf(const AirLayerRow& row, HeatFlowDirection heatFlow) {
  switch (heatFlow) {
    case HeatFlowDirection::Upward:
      return row.upward;
    case HeatFlowDirection::Downward:
      return row.downward;
    case HeatFlowDirection::Horizontal:
      break;
  }
  return row.horizontal;
}

/// ISO 6946:2017 D.2, Table D.1: h_r0 = 4 sigma T_m^3 for a black body at T_m = 10 degC
/// [W/(m2.K)], the value Table 8 is built on.
constexpr double kBlackBodyRadiationCoefficient = 5.1;

/// The request's layers with each bridged layer replaced by one of its parts, for one path.
class PathLayers {
public:
  PathLayers(const WallRequest& request, std::size_t layerCount)
      : _layers(request.layers.begin(),
                request.layers.begin() + static_cast<std::ptrdiff_t>(layerCount)) {}

  void takePart(const BridgedLayer& bridged, std::size_t part) {
    const LayerPart& chosen = bridged.parts[part];
    _layers[bridged.layer] = LayerProperties::slab(
        _layers[bridged.layer].thickness, chosen.conductivity, chosen.density, chosen.specificHeat);
  }
  [[nodiscard]] const std::vector<LayerProperties>& layers() const { return _layers; }

private:
  std::vector<LayerProperties> _layers;
};

/// One way the element is computed: every layer, or for a ventilated air layer only the layers
/// inside it with Rse = Rsi; weighted as 6.9.3 says.
struct Variant {
  double weight = 1.0;
  std::size_t layerCount = 0;  ///< the layers from side 1 that the variant keeps
  ElementBoundary boundary;
};

std::vector<Variant> variantsOf(const WallRequest& request, const ElementDescription& element,
                                double& unventilatedWeight) {
  const ElementBoundary plain = request.boundary();
  Variant whole{1.0, request.layers.size(), plain};
  unventilatedWeight = 1.0;
  if (!element.ventilated) return {whole};
  // ISO 6946:2017 6.9.4: a well ventilated layer and all layers between it and the outside are
  // left out, and the external surface resistance becomes that of still air, Rse = Rsi.
  Variant well{1.0, element.ventilated->layer, plain};
  well.boundary.externalSurfaceResistance = plain.internalSurfaceResistance;
  if (element.ventilated->ventilation == AirLayerVentilation::Well) {
    unventilatedWeight = 0.0;
    return {well};
  }
  // ISO 6946:2017 6.9.3, slightly ventilated with openings A_v [mm2 per m]:
  // R_T = (1500 - A_v) / 1000 R_T,u + (A_v - 500) / 1000 R_T,v, where R_T,u is the element with
  // the layer unventilated and R_T,v with it well ventilated.
  const double openings = element.ventilated->openingArea;
  whole.weight = (1500.0 - openings) / 1000.0;
  well.weight = (openings - 500.0) / 1000.0;
  unventilatedWeight = whole.weight;
  return {whole, well};
}

/// The bridged layers a variant keeps.
std::vector<const BridgedLayer*> bridgedWithin(const ElementDescription& element,
                                               std::size_t layerCount) {
  std::vector<const BridgedLayer*> kept;
  for (const BridgedLayer& bridged : element.bridged) {
    if (bridged.layer < layerCount) kept.push_back(&bridged);
  }
  return kept;
}

/// How many paths the bridged layers make, capped just past kMaxPaths.
std::size_t pathCount(const std::vector<const BridgedLayer*>& bridged, bool aligned) {
  if (bridged.empty()) return 1;
  if (aligned) return bridged.front()->parts.size();
  std::size_t count = 1;
  for (const BridgedLayer* layer : bridged) {
    count *= layer->parts.size();
    if (count > kMaxPaths) return kMaxPaths + 1;
  }
  return count;
}

/// The parts of path `index`: for independent patterns the digits of `index` in the mixed radix
/// of the layers' part counts, the first bridged layer the most significant; for aligned ones
/// part `index` of every layer.
std::vector<std::size_t> partsOfPath(const std::vector<const BridgedLayer*>& bridged,
                                     std::size_t index, bool aligned) {
  std::vector<std::size_t> parts(bridged.size(), index);
  if (aligned) return parts;
  for (std::size_t i = bridged.size(); i-- > 0;) {
    const std::size_t radix = bridged[i]->parts.size();
    parts[i] = index % radix;
    index /= radix;
  }
  return parts;
}

/// Sums of the paths' complex characteristics, each weighted by its area fraction.
struct AdmittanceSums {
  Complex transmittance;     ///< sum f Y12 = sum f (-1 / Z12)
  Complex internalOpenFace;  ///< sum f (-Z11 / Z12), the admittance with side 2 held fixed
  Complex externalOpenFace;  ///< sum f (-Z22 / Z12)

  void add(double fraction, const PeriodicResponse& path) {
    const Complex one{1.0, 0.0};
    transmittance = transmittance + fraction * (-(one / path.z12));
    internalOpenFace = internalOpenFace + fraction * (-(path.z11 / path.z12));
    externalOpenFace = externalOpenFace + fraction * (-(path.z22 / path.z12));
  }
};

double modulusOf(const Complex& z) {
  return std::sqrt(z.getRealPart() * z.getRealPart() + z.getImaginaryPart() * z.getImaginaryPart());
}

bool isFinite(const Complex& z) {
  return std::isfinite(z.getRealPart()) && std::isfinite(z.getImaginaryPart());
}

/// The element's periodic characteristics from the summed admittances: paths side by side
/// exchange no heat with each other (the parallel-path approximation), so their heat flows
/// add and so do their admittance matrices. The transfer matrix with those admittances has
/// Z12 = -1 / Y12, Z11 = -Y11' Z12, Z22 = -Y22' Z12 (Y' with the far side held fixed) and
/// Z21 = (Z11 Z22 - 1) / Z12 (det Z = 1); kappa and the admittances follow from it by the
/// formulas of ISO 13786 as for one path. f = |Y12| R'_T, the upper limit of the same paths.
bool responseFromSums(const AdmittanceSums& sums, bool partition, double period,
                      double totalResistance, double upperResistance, PeriodicResponse& response) {
  const Complex one{1.0, 0.0};
  PeriodicResponse result;
  result.z12 = -(one / sums.transmittance);
  result.z11 = -(sums.internalOpenFace * result.z12);
  result.z22 = -(sums.externalOpenFace * result.z12);
  result.z21 = (result.z11 * result.z22 - one) / result.z12;
  // kappa_1 = (T / 2 pi) |(Z11 - 1) / Z12|, kappa_2 = (T / 2 pi) |(Z22 - 1) / Z12| [J/(m2.K)].
  const double capacityFactor = period / kTwoPi;
  result.internalArealHeatCapacity = capacityFactor * modulusOf((result.z11 - one) / result.z12);
  result.externalArealHeatCapacity = capacityFactor * modulusOf((result.z22 - one) / result.z12);
  result.internalAdmittance = sums.internalOpenFace;
  result.externalAdmittance = sums.externalOpenFace;
  if (partition) {
    // Both faces swing together in a partition: Y = (1 - Zii) / Z12 = Y' + 1 / Z12.
    result.internalAdmittance = result.internalAdmittance + one / result.z12;
    result.externalAdmittance = result.externalAdmittance + one / result.z12;
  }
  result.periodicThermalTransmittance = sums.transmittance;
  result.thermalResistance = totalResistance;
  result.uValue = 1.0 / totalResistance;
  result.decrementFactor = modulusOf(sums.transmittance) * upperResistance;
  const bool finite =
      isFinite(result.z11) && isFinite(result.z12) && isFinite(result.z21) &&
      isFinite(result.z22) && isFinite(result.internalAdmittance) &&
      isFinite(result.externalAdmittance) && std::isfinite(result.internalArealHeatCapacity) &&
      std::isfinite(result.externalArealHeatCapacity) && std::isfinite(result.decrementFactor);
  if (!finite) return false;
  response = result;
  return true;
}

/// Sequential heat capacities of the paths added by area, when every path has its estimate by
/// the same rule; no estimate otherwise.
struct SequentialSums {
  SequentialEstimate daily, twelveDay;
  bool first = true;

  void add(double fraction, const SequentialEstimate& pathDaily,
           const SequentialEstimate& pathTwelveDay) {
    addOne(fraction, pathDaily, daily);
    addOne(fraction, pathTwelveDay, twelveDay);
    first = false;
  }

private:
  void addOne(double fraction, const SequentialEstimate& path, SequentialEstimate& sum) const {
    if (first) {
      sum = {fraction * path.capacity, path.method};
      return;
    }
    if (sum.method != path.method || sum.method == None) {
      sum = SequentialEstimate{};
      return;
    }
    sum.capacity += fraction * path.capacity;
  }
};

/// Delta U of ISO 6946:2017 Annex F for a layer of resistance R_1 in an element of R_T:
/// the coefficient times (R_1 / R_T)^2.
double correctionOf(double coefficient, double layerResistance, double totalResistance) {
  const double ratio = layerResistance / totalResistance;
  return coefficient * ratio * ratio;
}

/// Delta U'' of ISO 6946:2017 Table F.1 [W/(m2.K)] for air-void levels 0, 1 and 2.
constexpr double kAirVoidLevels[] = {0.00, 0.01, 0.04};

/// alpha of F.3: 0.8 for a fastener right through the layer, 0.8 d_1 / d_0 for a recessed one.
constexpr double kFastenerCoefficient = 0.8;

void applyCorrections(const WallRequest& request, const ElementDescription& element,
                      ElementResult& result) {
  const double totalResistance = result.wall.thermalResistance;
  if (element.airVoids) {
    // F.2: Delta U_g = Delta U'' (R_1 / R_T)^2 [W/(m2.K)], R_1 the layer holding the voids.
    CorrectionTerm& term = result.airVoids;
    term.applied = true;
    term.layerResistance = request.layers[element.airVoids->layer].thermalResistance();
    term.coefficient = kAirVoidLevels[element.airVoids->level];
    term.deltaU = correctionOf(term.coefficient, term.layerResistance, totalResistance);
  }
  if (element.fasteners) {
    // F.3: Delta U_f = alpha lambda_f n_f A_f / d_0 (R_1 / R_T)^2 [W/(m2.K)], with d_0 and R_1
    // the thickness and resistance of the layer crossed, alpha = 0.8 d_1 / d_0.
    const FastenerCorrection& fasteners = *element.fasteners;
    const LayerProperties& layer = request.layers[fasteners.layer];
    const double penetration = fasteners.penetration.value_or(layer.thickness);
    CorrectionTerm& term = result.fasteners;
    term.applied = true;
    term.layerResistance = layer.thermalResistance();
    term.coefficient = kFastenerCoefficient * std::min(1.0, penetration / layer.thickness);
    term.deltaU = correctionOf(term.coefficient * fasteners.conductivity * fasteners.count *
                                   fasteners.crossSection / layer.thickness,
                               term.layerResistance, totalResistance);
  }
  // F.1: U_c = U + Delta U; a Delta U below 3 % of U may be left out.
  result.deltaU = result.airVoids.deltaU + result.fasteners.deltaU;
  result.correctedU = result.wall.uValue + result.deltaU;
  result.correctionNegligible = result.deltaU < 0.03 * result.wall.uValue;
}

std::optional<ElementProblem> checkCorrectionLayer(const WallRequest& request,
                                                   const ElementDescription& element,
                                                   std::size_t layer) {
  const bool dropped = element.ventilated &&
                       element.ventilated->ventilation == AirLayerVentilation::Well &&
                       layer >= element.ventilated->layer;
  if (layer >= request.layers.size() || request.layers[layer].isPureResistance() || dropped) {
    return elementProblem(ElementProblemKind::CorrectionLayer, layer, static_cast<double>(layer));
  }
  return std::nullopt;
}

std::optional<ElementProblem> checkFasteners(const WallRequest& request,
                                             const ElementDescription& element) {
  const FastenerCorrection& fasteners = *element.fasteners;
  if (auto problem = checkCorrectionLayer(request, element, fasteners.layer)) return problem;
  const std::pair<FastenerInput, double> inputs[] = {
      {FastenerInput::Count, fasteners.count},
      {FastenerInput::CrossSection, fasteners.crossSection},
      {FastenerInput::Conductivity, fasteners.conductivity},
      {FastenerInput::Penetration, fasteners.penetration.value_or(1.0)}};
  for (const auto& [input, value] : inputs) {
    if (isPositiveFinite(value)) continue;
    ElementProblem problem =
        elementProblem(ElementProblemKind::FastenerValue, fasteners.layer, value);
    problem.fastenerInput = input;
    return problem;
  }
  const double thickness = request.layers[fasteners.layer].thickness;
  if (fasteners.penetration && *fasteners.penetration > thickness * (1.0 + kFractionTolerance)) {
    return elementProblem(ElementProblemKind::Penetration, fasteners.layer, *fasteners.penetration);
  }
  return std::nullopt;
}

std::optional<ElementProblem> checkBridged(const WallRequest& request,
                                           const ElementDescription& element) {
  std::size_t previous = kWholeWall;
  for (const BridgedLayer& bridged : element.bridged) {
    const bool ascending = previous == kWholeWall || bridged.layer > previous;
    if (bridged.layer >= request.layers.size() || !ascending) {
      return elementProblem(ElementProblemKind::LayerIndex, bridged.layer,
                            static_cast<double>(bridged.layer));
    }
    previous = bridged.layer;
    if (request.layers[bridged.layer].isPureResistance()) {
      return elementProblem(ElementProblemKind::NotASlab, bridged.layer, 0.0);
    }
    if (auto problem = checkParts(bridged.parts, bridged.layer)) return problem;
  }
  return std::nullopt;
}

std::optional<ElementProblem> checkAligned(const ElementDescription& element) {
  if (!element.alignedPatterns || element.bridged.empty()) return std::nullopt;
  const std::vector<LayerPart>& first = element.bridged.front().parts;
  for (const BridgedLayer& bridged : element.bridged) {
    bool same = bridged.parts.size() == first.size();
    for (std::size_t k = 0; same && k < first.size(); ++k) {
      same = std::fabs(bridged.parts[k].fraction - first[k].fraction) <= kFractionTolerance;
    }
    if (!same) {
      return elementProblem(ElementProblemKind::AlignedMismatch, bridged.layer,
                            static_cast<double>(bridged.parts.size()));
    }
  }
  return std::nullopt;
}

std::optional<ElementProblem> checkVentilated(const WallRequest& request,
                                              const ElementDescription& element) {
  if (!element.ventilated) return std::nullopt;
  const VentilatedAirLayer& air = *element.ventilated;
  if (air.layer >= request.layers.size()) {
    return elementProblem(ElementProblemKind::LayerIndex, air.layer,
                          static_cast<double>(air.layer));
  }
  if (!request.layers[air.layer].isPureResistance()) {
    return elementProblem(ElementProblemKind::NotAnAirLayer, air.layer, 0.0);
  }
  if (air.ventilation == AirLayerVentilation::Slightly) {
    if (auto problem = checkOpeningArea(air.openingArea, air.layer)) return problem;
  }
  // A well ventilated layer next to side 1 would leave no element at all.
  if (air.ventilation != AirLayerVentilation::Unventilated && air.layer == 0) {
    return elementProblem(ElementProblemKind::NothingInside, air.layer, 0.0);
  }
  return std::nullopt;
}

}  // namespace

LayerProperties equivalentSlab(double thickness, const std::vector<LayerPart>& parts) {
  double conductivity = 0.0;
  double density = 0.0;
  double heatCapacity = 0.0;
  for (const LayerPart& part : parts) {
    conductivity += part.fraction * part.conductivity;
    density += part.fraction * part.density;
    heatCapacity += part.fraction * part.density * part.specificHeat;
  }
  return LayerProperties::slab(thickness, conductivity, density, heatCapacity / density);
}

double tabulatedAirLayerResistance(double thickness, HeatFlowDirection heatFlow) {
  const double millimetres = thickness * 1000.0;
  const AirLayerRow* const end = std::end(kAirLayerTable);
  // The first row at or past the thickness; linear between it and the row before.
  const AirLayerRow* upper = std::find_if(
      std::begin(kAirLayerTable), end,
      [millimetres](const AirLayerRow& row) { return row.thicknessMillimetres >= millimetres; });
  if (upper == end) return columnOf(*(end - 1), heatFlow);
  if (upper == std::begin(kAirLayerTable) || upper->thicknessMillimetres == millimetres) {
    return columnOf(*upper, heatFlow);
  }
  const AirLayerRow* lower = upper - 1;
  const double share = (millimetres - lower->thicknessMillimetres) /
                       (upper->thicknessMillimetres - lower->thicknessMillimetres);
  return columnOf(*lower, heatFlow) +
         share * (columnOf(*upper, heatFlow) - columnOf(*lower, heatFlow));
}

double airLayerResistance(double thickness, HeatFlowDirection heatFlow, double emissivity1,
                          double emissivity2) {
  // D.3: conduction and convection, h_a [W/(m2.K)], never below conduction through still air,
  // 0.025 / d with lambda_air = 0.025 W/(m.K).
  const double conduction = 0.025 / thickness;
  double convection = 1.25;
  if (heatFlow == HeatFlowDirection::Upward) convection = 1.95;
  if (heatFlow == HeatFlowDirection::Downward) convection = 0.12 * std::pow(thickness, -0.44);
  const double airCoefficient = std::max(convection, conduction);
  // D.2: radiation, h_r = E h_r0 with the intersurface emittance E = 1/(1/eps1 + 1/eps2 - 1).
  const double emittance = 1.0 / (1.0 / emissivity1 + 1.0 / emissivity2 - 1.0);
  const double radiation = emittance * kBlackBodyRadiationCoefficient;
  return 1.0 / (airCoefficient + radiation);
}

std::optional<ElementProblem> checkAirLayerThickness(double thickness, std::size_t layer) {
  if (isPositiveFinite(thickness) && thickness <= kThickestAirLayer) return std::nullopt;
  return elementProblem(ElementProblemKind::AirLayerThickness, layer, thickness);
}

std::optional<ElementProblem> checkEmissivity(double emissivity, std::size_t layer) {
  if (isPositiveFinite(emissivity) && emissivity <= 1.0) return std::nullopt;
  return elementProblem(ElementProblemKind::Emissivity, layer, emissivity);
}

std::optional<ElementProblem> checkOpeningArea(double openingArea, std::size_t layer) {
  if (std::isfinite(openingArea) && openingArea >= 500.0 && openingArea <= 1500.0) {
    return std::nullopt;
  }
  return elementProblem(ElementProblemKind::OpeningArea, layer, openingArea);
}

std::optional<ElementProblem> checkPart(const LayerPart& part, std::size_t layer,
                                        std::size_t index) {
  const std::pair<WallField, double> properties[] = {{WallField::Conductivity, part.conductivity},
                                                     {WallField::Density, part.density},
                                                     {WallField::SpecificHeat, part.specificHeat}};
  for (const auto& [field, value] : properties) {
    if (isPositiveFinite(value)) continue;
    ElementProblem problem = elementProblem(ElementProblemKind::PartProperty, layer, value, index);
    problem.field = field;
    return problem;
  }
  if (!isPositiveFinite(part.fraction)) {
    return elementProblem(ElementProblemKind::FractionNotPositive, layer, part.fraction, index);
  }
  return std::nullopt;
}

std::optional<ElementProblem> checkParts(const std::vector<LayerPart>& parts, std::size_t layer) {
  if (parts.size() < 2) {
    return elementProblem(ElementProblemKind::TooFewParts, layer,
                          static_cast<double>(parts.size()));
  }
  double sum = 0.0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (auto problem = checkPart(parts[i], layer, i)) return problem;
    sum += parts[i].fraction;
  }
  if (std::fabs(sum - 1.0) > kFractionTolerance) {
    return elementProblem(ElementProblemKind::FractionSum, layer, sum);
  }
  return std::nullopt;
}

std::optional<ElementProblem> check(const WallRequest& request, const ElementDescription& element) {
  if (auto problem = checkBridged(request, element)) return problem;
  if (auto problem = Engine::check(request)) {
    return wallProblem(*problem, ElementProblemKind::Wall);
  }
  const std::size_t paths =
      pathCount(bridgedWithin(element, request.layers.size()), element.alignedPatterns);
  if (paths > kMaxPaths) {
    return elementProblem(ElementProblemKind::TooManyPaths, kWholeWall, static_cast<double>(paths));
  }
  if (auto problem = checkAligned(element)) return problem;
  if (auto problem = checkVentilated(request, element)) return problem;
  if (element.airVoids) {
    const AirVoidCorrection& voids = *element.airVoids;
    if (auto problem = checkCorrectionLayer(request, element, voids.layer)) return problem;
    if (voids.level < 0 || voids.level > 2) {
      return elementProblem(ElementProblemKind::VoidLevel, voids.layer,
                            static_cast<double>(voids.level));
    }
  }
  if (element.fasteners) {
    if (auto problem = checkFasteners(request, element)) return problem;
  }
  return std::nullopt;
}

namespace {

/// computeElement() with the paths' periodic responses from `solve(layers, boundary, period,
/// response)`, which returns false for a matrix that overflows; the request already checked.
/// Without `complete`, only the paths are asked for (the answer is not used).
template <typename Solver>
ElementOutcome computeCheckedElement(const WallRequest& request, const ElementDescription& element,
                                     Solver& solve, bool complete) {
  ElementResult result;
  if (element.empty() && complete) {
    // A plain wall: exactly compute()'s result, one path of the whole area.
    if (auto problem = computeInto(request, result.wall)) {
      return wallProblem(*problem, ElementProblemKind::Overflow);
    }
    result.upperResistance = result.lowerResistance = result.wall.thermalResistance;
    result.paths.push_back({1.0, {}, result.wall.thermalResistance, result.wall, false});
    result.correctedU = result.wall.uValue;
    return result;
  }

  const std::vector<Variant> variants = variantsOf(request, element, result.unventilatedWeight);
  AdmittanceSums sums;
  SequentialSums sequential;
  for (const Variant& variant : variants) {
    const std::vector<const BridgedLayer*> bridged = bridgedWithin(element, variant.layerCount);
    const std::size_t count = pathCount(bridged, element.alignedPatterns);
    // ISO 6946:2017 6.7.2.2, upper limit: 1 / R'_T = sum f_j / R_Tj over the paths, each R_Tj
    // the total resistance of path j, Rsi and Rse included [m2.K/W].
    double upperConductance = 0.0;
    // One stack for all the variant's paths: each path sets every bridged layer to its part.
    PathLayers layers(request, variant.layerCount);
    for (std::size_t index = 0; index < count; ++index) {
      ElementPath path;
      path.parts = partsOfPath(bridged, index, element.alignedPatterns);
      path.wellVentilated = variant.layerCount < request.layers.size();
      path.fraction = 1.0;
      for (std::size_t i = 0; i < bridged.size(); ++i) {
        layers.takePart(*bridged[i], path.parts[i]);
        // Independent patterns multiply the fractions; aligned ones share part k's fraction.
        const double fraction = bridged[i]->parts[path.parts[i]].fraction;
        path.fraction = element.alignedPatterns ? fraction : path.fraction * fraction;
      }
      if (!solve(layers.layers(), variant.boundary, request.period, path.response)) {
        WallRequest pathRequest = request;
        pathRequest.layers = layers.layers();
        return wallProblem(Detail::overflowProblem(pathRequest), ElementProblemKind::Overflow);
      }
      path.thermalResistance = path.response.thermalResistance;
      upperConductance += path.fraction / path.thermalResistance;
      sums.add(variant.weight * path.fraction, path.response);
      if (!complete) continue;
      SequentialEstimate daily;
      SequentialEstimate twelveDay;
      estimateSequentialCapacities(layers.layers().data(), layers.layers().size(),
                                   variant.boundary.internalSurfaceResistance, daily, twelveDay);
      sequential.add(variant.weight * path.fraction, daily, twelveDay);
      path.fraction *= variant.weight;
      result.paths.push_back(std::move(path));
    }
    // ISO 6946:2017 6.7.2.3, lower limit: R''_T = Rsi + sum R_j + Rse, each inhomogeneous
    // layer's R_j = d / lambda''_j from its equivalent slab, which the request holds.
    double lower =
        variant.boundary.internalSurfaceResistance + variant.boundary.externalSurfaceResistance;
    for (std::size_t i = 0; i < variant.layerCount; ++i) {
      lower += request.layers[i].thermalResistance();
    }
    result.upperResistance += variant.weight / upperConductance;
    result.lowerResistance += variant.weight * lower;
  }
  if (!complete) return result;
  // ISO 6946:2017 6.7.2: R_T = (R'_T + R''_T) / 2 and the largest relative error
  // e = (R'_T - R''_T) / (2 R_T); the method holds while R'_T / R''_T <= 1.5.
  const double total = 0.5 * (result.upperResistance + result.lowerResistance);
  result.relativeError = (result.upperResistance - result.lowerResistance) / (2.0 * total);
  result.beyondMethod = result.upperResistance > kLargestLimitRatio * result.lowerResistance;

  WallResult& wall = result.wall;
  if (!responseFromSums(sums, request.position == ElementPosition::Internal, request.period, total,
                        result.upperResistance, wall)) {
    return wallProblem(Detail::overflowProblem(request), ElementProblemKind::Overflow);
  }
  Detail::completePeriodicResult(request, wall);
  wall.daily = sequential.daily;
  wall.twelveDay = sequential.twelveDay;
  applyCorrections(request, element, result);
  return result;
}

}  // namespace

std::vector<ElementStack> elementStacks(const WallRequest& request,
                                        const ElementDescription& element) {
  double unventilatedWeight = 1.0;
  std::vector<ElementStack> stacks;
  for (const Variant& variant : variantsOf(request, element, unventilatedWeight)) {
    const std::vector<const BridgedLayer*> bridged = bridgedWithin(element, variant.layerCount);
    const std::size_t count = std::min(pathCount(bridged, element.alignedPatterns), kMaxPaths);
    PathLayers layers(request, variant.layerCount);
    for (std::size_t index = 0; index < count; ++index) {
      const std::vector<std::size_t> parts = partsOfPath(bridged, index, element.alignedPatterns);
      double fraction = 1.0;
      for (std::size_t i = 0; i < bridged.size(); ++i) {
        layers.takePart(*bridged[i], parts[i]);
        const double share = bridged[i]->parts[parts[i]].fraction;
        fraction = element.alignedPatterns ? share : fraction * share;
      }
      stacks.push_back({variant.weight * fraction, layers.layers(), variant.boundary});
    }
  }
  return stacks;
}

std::vector<PathParts> elementPathParts(const ElementDescription& element) {
  std::vector<const BridgedLayer*> bridged;
  for (const BridgedLayer& layer : element.bridged) bridged.push_back(&layer);
  const std::size_t count = std::min(pathCount(bridged, element.alignedPatterns), kMaxPaths);
  std::vector<PathParts> paths(count);
  for (std::size_t index = 0; index < count; ++index) {
    PathParts& path = paths[index];
    path.parts = partsOfPath(bridged, index, element.alignedPatterns);
    for (std::size_t i = 0; i < bridged.size(); ++i) {
      const double fraction = bridged[i]->parts[path.parts[i]].fraction;
      path.fraction = element.alignedPatterns ? fraction : path.fraction * fraction;
    }
  }
  return paths;
}

ElementOutcome computeElement(const WallRequest& request, const ElementDescription& element) {
  if (auto problem = check(request, element)) return *problem;
  const auto solve = [](const std::vector<LayerProperties>& layers, const ElementBoundary& boundary,
                        double period, PeriodicResponse& response) {
    return computePeriodicResponse(layers.data(), layers.size(), boundary, period, response);
  };
  return computeCheckedElement(request, element, solve, true);
}

void computeManyElements(const WallRequest* requests, const ElementDescription* elements,
                         std::size_t count, ElementOutcome* outcomes,
                         const ManyWallsOptions& options) {
  // First every path of every checked element into one input for the many-wall kernel...
  ManyWallsInput input;
  std::vector<std::uint8_t> checked(count, 0);
  std::vector<std::size_t> firstPath(count, 0);
  const auto collect = [&input](const std::vector<LayerProperties>& layers,
                                const ElementBoundary& boundary, double period,
                                PeriodicResponse& response) {
    input.add(layers.data(), layers.size(), boundary, period);
    // A stand-in the collecting pass divides by; its answer is thrown away.
    response.z11 = response.z22 = Complex{1.0, 0.0};
    response.z12 = Complex{-1.0, 0.0};
    response.thermalResistance = 1.0;
    return true;
  };
  for (std::size_t i = 0; i < count; ++i) {
    if (auto problem = check(requests[i], elements[i])) {
      outcomes[i] = *problem;
      continue;
    }
    checked[i] = 1;
    firstPath[i] = input.wallCount();
    (void)computeCheckedElement(requests[i], elements[i], collect, false);
  }
  // ... then all of them at once, and each element combined from its paths in the same order.
  ManyWallsOutput output;
  computeManyWalls(input, output, options);
  std::size_t next = 0;
  const auto take = [&output, &next](const std::vector<LayerProperties>&, const ElementBoundary&,
                                     double, PeriodicResponse& response) {
    return output.response(next++, response);
  };
  for (std::size_t i = 0; i < count; ++i) {
    if (checked[i] == 0) continue;
    // From its own first path, whether or not the one before stopped at an overflow.
    next = firstPath[i];
    outcomes[i] = computeCheckedElement(requests[i], elements[i], take, true);
  }
}

}  // namespace Brusk::Engine
