#include "brusk/engine/moisture.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "brusk/engine/steady_profile.h"
#include "brusk/engine/wall.h"

namespace Brusk::Engine {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kSecondsPerDay = 86400.0;

/// Reference pressure of both saturation formulas, p_sat(0 degC) [Pa] (ISO 13788:2012 Annex E).
constexpr double kSaturationAtZero = 610.5;

/// Coldest and warmest monthly mean temperature taken [degC]: the saturation formulas have poles
/// at -237.3 and -265.5 degC and are fits to measured data well inside this range.
constexpr double kLowestTemperature = -100.0;
constexpr double kHighestTemperature = 100.0;

/// Planes closer than this in cumulative s_d [m] act as one for vapour: a layer of no vapour
/// resistance holds no vapour-pressure difference, so its faces share the colder one's p_sat.
constexpr double kSameSd = 1e-9;

bool isFiniteNonNegative(double value) { return std::isfinite(value) && value >= 0.0; }

MoistureProblem problemOf(MoistureProblemKind kind, double value, std::size_t layer = kNoIndex,
                          std::size_t month = kNoIndex, bool indoor = false) {
  MoistureProblem problem;
  problem.kind = kind;
  problem.value = value;
  problem.layer = layer;
  problem.month = month;
  problem.indoor = indoor;
  return problem;
}

/// Number of equal sub-layers of a layer of resistance R [m2.K/W]: ceil(R / R_max), at least 1,
/// as a double, so that the count of a layer far beyond kMaxMoisturePlanes can be told.
double neededSublayers(double resistance, double maxResistance) {
  if (!(maxResistance > 0.0)) return 1.0;
  // A layer of exactly k R_max stays k sub-layers despite the quotient's last bit.
  const double quotient = resistance / maxResistance * (1.0 - 1e-12);
  return std::max(1.0, std::ceil(quotient));
}

/// neededSublayers() as a count, at most kMaxMoisturePlanes.
std::size_t sublayerCount(double resistance, double maxResistance) {
  const double needed = neededSublayers(resistance, maxResistance);
  if (!(needed < static_cast<double>(kMaxMoisturePlanes))) return kMaxMoisturePlanes;
  return static_cast<std::size_t>(needed);
}

/// A group of planes with one cumulative s_d: one point of the vapour-pressure diagram.
struct Node {
  double sd = 0.0;          ///< s_d from the inner face [m]
  std::size_t first = 0;    ///< first plane of the group
  std::size_t last = 0;     ///< last plane of the group
  std::size_t coldest = 0;  ///< the plane of lowest p_sat in the current month
  double saturation = 0.0;  ///< p_sat of that plane [Pa]
  double pressure = 0.0;    ///< p of the current profile [Pa]
  double rate = 0.0;        ///< net condensation rate g_c (+) or evaporation (-) [kg/(m2.s)]
  double held = 0.0;        ///< M_a [kg/m2]
  bool pinned = false;      ///< p fixed: a face of the stack, or a plane holding water
};

/// Working storage of one calculation, kept per thread so that loops over many walls allocate
/// nothing once warm.
struct Workspace {
  std::vector<Node> nodes;
  std::vector<std::size_t> hull;
  std::vector<std::size_t> vertices;
  std::vector<bool> everWet;
};

Workspace& workspace() {
  thread_local Workspace storage;
  return storage;
}

/// The value a node offers the tangent construction: p when pinned, else p_sat.
double ceilingOf(const Node& node) { return node.pinned ? node.pressure : node.saturation; }

/// Cross product of (a - o) and (b - o) in the (s_d, p) plane: > 0 when o, a, b turn left, so
/// that a lies below the chord from o to b and stays on the lower hull.
double turn(const Node& o, const Node& a, const Node& b) {
  const double oP = ceilingOf(o);
  return (a.sd - o.sd) * (ceilingOf(b) - oP) - (ceilingOf(a) - oP) * (b.sd - o.sd);
}

/// The vapour-pressure profile for the nodes' current pinning, ISO 13788:2012 (6.3): between two
/// pinned nodes the line from one to the other, drawn as the lower convex hull of the p_sat
/// points in between (the "tangents" of the construction), touches p_sat where vapour condenses.
/// Sets every node's p and, at the hull's vertices, its net rate
///   g = delta0 [(p_prev - p) / (s_d - s_d,prev) - (p - p_next) / (s_d,next - s_d)]  [kg/(m2.s)],
/// which is positive where vapour condenses and negative where held water evaporates.
void solveProfile(std::vector<Node>& nodes, std::vector<std::size_t>& hull,
                  std::vector<std::size_t>& vertices) {
  vertices.clear();
  for (Node& node : nodes) node.rate = 0.0;
  std::size_t start = 0;
  while (start + 1 < nodes.size()) {
    std::size_t end = start + 1;
    while (!nodes[end].pinned) ++end;
    // Andrew's monotone chain, lower half, over nodes start..end (s_d strictly increasing).
    hull.clear();
    for (std::size_t k = start; k <= end; ++k) {
      while (hull.size() >= 2 &&
             !(turn(nodes[hull[hull.size() - 2]], nodes[hull.back()], nodes[k]) > 0.0)) {
        hull.pop_back();
      }
      hull.push_back(k);
    }
    // p along each hull edge, linear in s_d.
    for (std::size_t h = 0; h + 1 < hull.size(); ++h) {
      const Node& a = nodes[hull[h]];
      const Node& b = nodes[hull[h + 1]];
      const double pa = ceilingOf(a);
      const double pb = ceilingOf(b);
      // The vertices keep their values exactly (a wet plane sits at p_sat, the faces at p_i
      // and p_e); the nodes between them lie on the edge.
      nodes[hull[h]].pressure = pa;
      nodes[hull[h + 1]].pressure = pb;
      for (std::size_t k = hull[h] + 1; k < hull[h + 1]; ++k) {
        const double fraction = (nodes[k].sd - a.sd) / (b.sd - a.sd);
        nodes[k].pressure = pa + (pb - pa) * fraction;
      }
    }
    for (std::size_t h = 0; h < hull.size(); ++h) {
      if (h == 0 && !vertices.empty() && vertices.back() == hull[0]) continue;
      vertices.push_back(hull[h]);
    }
    start = end;
  }
  for (std::size_t v = 1; v + 1 < vertices.size(); ++v) {
    const Node& previous = nodes[vertices[v - 1]];
    Node& node = nodes[vertices[v]];
    const Node& next = nodes[vertices[v + 1]];
    const double inflow = (previous.pressure - node.pressure) / (node.sd - previous.sd);
    const double outflow = (node.pressure - next.pressure) / (next.sd - node.sd);
    node.rate = kVapourPermeabilityOfAir * (inflow - outflow);
  }
}

/// Loads month `m`'s p_sat and boundary pressures into the nodes.
void loadMonth(std::vector<Node>& nodes, const MoistureMonth& month, double indoorPressure,
               double outdoorPressure) {
  for (Node& node : nodes) {
    node.coldest = node.first;
    node.saturation = month.saturationPressure[node.first];
    for (std::size_t j = node.first + 1; j <= node.last; ++j) {
      if (month.saturationPressure[j] < node.saturation) {
        node.saturation = month.saturationPressure[j];
        node.coldest = j;
      }
    }
  }
  nodes.front().pressure = indoorPressure;
  nodes.back().pressure = outdoorPressure;
}

/// Pins the interior nodes that hold water at their p_sat, frees the others.
void pinWet(std::vector<Node>& nodes) {
  for (std::size_t n = 1; n + 1 < nodes.size(); ++n) {
    nodes[n].pinned = nodes[n].held > 0.0;
    if (nodes[n].pinned) nodes[n].pressure = nodes[n].saturation;
  }
}

}  // namespace

double minimumSurfaceTemperature(const MonthClimate& month, double surfaceHumidity) {
  return saturationTemperature(month.indoorVapourPressure() / surfaceHumidity);
}

double minimumTemperatureFactor(const MonthClimate& month, double surfaceHumidity) {
  const double difference = month.indoorTemperature - month.outdoorTemperature;
  if (!(difference > 0.0)) return kNaN;
  return (minimumSurfaceTemperature(month, surfaceHumidity) - month.outdoorTemperature) /
         difference;
}

std::size_t criticalMonth(const YearClimate& year) {
  std::size_t critical = kNoIndex;
  double highest = 0.0;
  for (std::size_t m = 0; m < year.size(); ++m) {
    const double factor = minimumTemperatureFactor(year[m], kMouldSurfaceHumidity);
    if (std::isnan(factor)) continue;
    if (critical == kNoIndex || factor > highest) {
      critical = m;
      highest = factor;
    }
  }
  return critical;
}

double saturationPressure(double theta) {
  if (theta >= 0.0) return kSaturationAtZero * std::exp(17.269 * theta / (237.3 + theta));
  return kSaturationAtZero * std::exp(21.875 * theta / (265.5 + theta));
}

double saturationTemperature(double pressure) {
  // Solving p = 610.5 exp(a theta / (b + theta)) for theta: theta = b L / (a - L), L = ln(p/610.5).
  const double logRatio = std::log(pressure / kSaturationAtZero);
  if (logRatio >= 0.0) return 237.3 * logRatio / (17.269 - logRatio);
  return 265.5 * logRatio / (21.875 - logRatio);
}

double humidityClassExcess(int humidityClass, double outdoorTemperature) {
  if (humidityClass < 1 || humidityClass > 5) return 0.0;
  // Figure A.1: 270, 540, 810, 1080 and 1350 Pa at theta_e <= 0 degC, 0 at theta_e >= 20 degC.
  const double atZero = 270.0 * static_cast<double>(humidityClass);
  const double fraction = std::clamp(1.0 - outdoorTemperature / 20.0, 0.0, 1.0);
  return atZero * fraction;
}

double MonthClimate::outdoorVapourPressure() const {
  return outdoorRelativeHumidity * saturationPressure(outdoorTemperature);
}

double MonthClimate::indoorVapourPressure() const {
  return indoorRelativeHumidity * saturationPressure(indoorTemperature);
}

YearClimate withHumidityClass(const YearClimate& outdoor, int humidityClass,
                              double indoorTemperature) {
  YearClimate year = outdoor;
  for (MonthClimate& month : year) {
    const double indoorPressure =
        month.outdoorVapourPressure() +
        kHumidityClassSafetyFactor * humidityClassExcess(humidityClass, month.outdoorTemperature);
    month.indoorTemperature = indoorTemperature;
    month.indoorRelativeHumidity = indoorPressure / saturationPressure(indoorTemperature);
  }
  return year;
}

std::optional<MoistureProblem> checkMoisture(const MoistureRequest& request) {
  if (request.layers.empty()) return problemOf(MoistureProblemKind::NoLayers, 0.0);
  if (request.layers.size() > kMaxLayers) {
    return problemOf(MoistureProblemKind::TooManyPlanes,
                     static_cast<double>(request.layers.size()));
  }
  if (request.sd.size() != request.layers.size()) {
    return problemOf(MoistureProblemKind::LayerCountMismatch,
                     static_cast<double>(request.sd.size()));
  }
  double totalSd = 0.0;
  double totalThickness = 0.0;
  double totalResistance = 0.0;
  // Counted in double precision: the figure a refusal gives is the wall's own need, however
  // far beyond the limit.
  double planes = 1.0;
  for (std::size_t k = 0; k < request.layers.size(); ++k) {
    if (!isComputableLayer(request.layers[k]) && !isVapourOnlyLayer(request.layers[k])) {
      return problemOf(MoistureProblemKind::BadLayer, 0.0, k);
    }
    if (!isFiniteNonNegative(request.sd[k])) {
      return problemOf(MoistureProblemKind::BadSd, request.sd[k], k);
    }
    totalSd += request.sd[k];
    totalThickness += request.layers[k].thickness;
    totalResistance += request.layers[k].thermalResistance();
    // Sums beyond double precision would turn depths, s_d or temperatures into infinities.
    if (!std::isfinite(totalSd)) return problemOf(MoistureProblemKind::BadSd, request.sd[k], k);
    if (!std::isfinite(totalThickness) || !std::isfinite(totalResistance)) {
      return problemOf(MoistureProblemKind::BadLayer, 0.0, k);
    }
    planes += neededSublayers(request.layers[k].thermalResistance(), request.maxSublayerResistance);
  }
  if (planes > static_cast<double>(kMaxMoisturePlanes)) {
    return problemOf(MoistureProblemKind::TooManyPlanes, planes);
  }
  if (!(totalSd > kSameSd)) {
    return problemOf(MoistureProblemKind::NoVapourResistance, totalSd);
  }
  for (double resistance : {request.internalSurfaceResistance, request.externalSurfaceResistance,
                            request.surfaceCheckResistance}) {
    if (!isFiniteNonNegative(resistance)) {
      return problemOf(MoistureProblemKind::BadSurfaceResistance, resistance);
    }
  }
  if (!isFiniteNonNegative(request.maxSublayerResistance)) {
    return problemOf(MoistureProblemKind::BadSurfaceResistance, request.maxSublayerResistance);
  }
  for (std::size_t m = 0; m < request.climate.size(); ++m) {
    const MonthClimate& month = request.climate[m];
    for (bool indoor : {false, true}) {
      const double theta = indoor ? month.indoorTemperature : month.outdoorTemperature;
      const double phi = indoor ? month.indoorRelativeHumidity : month.outdoorRelativeHumidity;
      if (!(theta >= kLowestTemperature && theta <= kHighestTemperature)) {
        return problemOf(MoistureProblemKind::BadTemperature, theta, kNoIndex, m, indoor);
      }
      if (indoor && phi > 1.0 && std::isfinite(phi)) {
        return problemOf(MoistureProblemKind::IndoorSupersaturated, phi, kNoIndex, m, indoor);
      }
      if (!(phi > 0.0 && phi <= 1.0)) {
        return problemOf(MoistureProblemKind::BadHumidity, phi, kNoIndex, m, indoor);
      }
    }
  }
  return std::nullopt;
}

MoistureResult computeMoisture(const MoistureRequest& request) {
  MoistureResult result;
  computeMoisture(request, result);
  return result;
}

void computeMoisture(const MoistureRequest& request, MoistureResult& result) {
  result.problem = checkMoisture(request);
  result.planes.clear();
  result.condenses = false;
  result.startMonth = 0;
  result.maxAccumulated = 0.0;
  result.maxMonth = kNoIndex;
  result.maxPlaneAccumulated = 0.0;
  result.maxPlaneMonth = kNoIndex;
  result.maxPlane = kNoIndex;
  result.wetPlaneCount = 0;
  result.endAccumulated = 0.0;
  result.driesOut = true;
  result.fRsi = kNaN;
  result.criticalMonth = kNoIndex;
  result.fRsiMin = kNaN;
  result.surfacePasses = true;
  if (result.problem) return;

  // Planes: the inner face, then every sub-layer plane and layer interface, the outer face last,
  // with the thermal resistance from the indoor air R_j = Rsi + sum of R up to the plane.
  MoisturePlane plane;
  plane.resistance = request.internalSurfaceResistance;
  plane.layer = kNoIndex;
  plane.interface = true;
  result.planes.push_back(plane);
  double layerResistance = 0.0;
  for (std::size_t k = 0; k < request.layers.size(); ++k) {
    const LayerProperties& layer = request.layers[k];
    const double resistance = layer.thermalResistance();
    layerResistance += resistance;
    const std::size_t parts = sublayerCount(resistance, request.maxSublayerResistance);
    const MoisturePlane inner = result.planes.back();
    for (std::size_t i = 1; i <= parts; ++i) {
      const double fraction = static_cast<double>(i) / static_cast<double>(parts);
      plane.depth = inner.depth + layer.thickness * fraction;
      plane.sd = inner.sd + request.sd[k] * fraction;
      plane.resistance = inner.resistance + resistance * fraction;
      plane.layer = k;
      plane.interface = i == parts;
      result.planes.push_back(plane);
    }
  }
  const std::size_t planeCount = result.planes.size();
  // R_T = Rsi + sum R + Rse [m2.K/W] (ISO 6946, 6.7.1).
  const double totalResistance =
      result.planes.back().resistance + request.externalSurfaceResistance;

  // Temperatures theta_j = theta_i - (theta_i - theta_e) R_j / R_T (ISO 13788:2012, 6.3, eq. 11)
  // and p_sat at every plane, month by month.
  for (std::size_t m = 0; m < 12; ++m) {
    const MonthClimate& climate = request.climate[m];
    MoistureMonth& month = result.months[m];
    month.temperature.resize(planeCount);
    month.saturationPressure.resize(planeCount);
    month.vapourPressure.assign(planeCount, 0.0);
    month.accumulatedAt.assign(planeCount, 0.0);
    month.rateAt.assign(planeCount, 0.0);
    month.condensation = 0.0;
    month.accumulated = 0.0;
    for (std::size_t j = 0; j < planeCount; ++j) {
      const double theta = steadyTemperature(climate.indoorTemperature, climate.outdoorTemperature,
                                             result.planes[j].resistance, totalResistance);
      month.temperature[j] = theta;
      month.saturationPressure[j] = saturationPressure(theta);
    }
    month.fRsiMinMould = minimumTemperatureFactor(climate, kMouldSurfaceHumidity);
    month.fRsiMinCondensation = minimumTemperatureFactor(climate, kCondensationSurfaceHumidity);
  }

  // Nodes: planes of one cumulative s_d grouped.
  Workspace& work = workspace();
  std::vector<Node>& nodes = work.nodes;
  nodes.clear();
  for (std::size_t j = 0; j < planeCount; ++j) {
    if (!nodes.empty() && result.planes[j].sd - nodes.back().sd <= kSameSd) {
      nodes.back().last = j;
      continue;
    }
    Node node;
    node.sd = result.planes[j].sd;
    node.first = j;
    node.last = j;
    nodes.push_back(node);
  }
  // The faces' groups are held at the indoor and outdoor vapour pressures.
  nodes.front().pinned = true;
  nodes.back().pinned = true;
  // A plane of the indoor face's group sees the room's p_i through no vapour resistance: if it is
  // below the room's dew point, the room air condenses there without bound.
  for (std::size_t j = 1; j <= nodes.front().last; ++j) {
    for (std::size_t m = 0; m < 12; ++m) {
      if (request.climate[m].indoorVapourPressure() > result.months[m].saturationPressure[j]) {
        result.problem = problemOf(MoistureProblemKind::CondensationAtZeroSd,
                                   result.months[m].temperature[j], result.planes[j].layer, m);
        return;
      }
    }
  }

  // Start month (6.4): with the element dry, the first month of condensation after a month
  // without any.
  std::array<bool, 12> condensing{};
  for (std::size_t m = 0; m < 12; ++m) {
    const MonthClimate& climate = request.climate[m];
    loadMonth(nodes, result.months[m], climate.indoorVapourPressure(),
              climate.outdoorVapourPressure());
    for (Node& node : nodes) node.held = 0.0;
    pinWet(nodes);
    solveProfile(nodes, work.hull, work.vertices);
    for (const Node& node : nodes) condensing[m] = condensing[m] || node.rate > 0.0;
    result.condenses = result.condenses || condensing[m];
  }
  for (std::size_t m = 0; m < 12; ++m) {
    if (condensing[m] && !condensing[(m + 11) % 12]) {
      result.startMonth = m;
      break;
    }
  }

  // Twelve months from the start month. Within a month the profile is steady while the set of
  // wet planes stays the same; when a plane dries out, the month goes on from that moment with
  // the profile solved again without it, so that no plane gives more water than it holds.
  for (Node& node : nodes) node.held = 0.0;
  for (std::size_t step = 0; step < 12; ++step) {
    const std::size_t m = (result.startMonth + step) % 12;
    const MonthClimate& climate = request.climate[m];
    MoistureMonth& month = result.months[m];
    loadMonth(nodes, month, climate.indoorVapourPressure(), climate.outdoorVapourPressure());
    double heldBefore = 0.0;
    for (const Node& node : nodes) heldBefore += node.held;
    double remaining = static_cast<double>(kDaysInMonth[m]) * kSecondsPerDay;
    // Each event dries one plane; planes that start to condense later in the month could in
    // principle dry again, so the count is bounded generously, and the last step allowed runs
    // to the month's end with every plane kept from going below zero.
    const std::size_t lastEvent = 4 * nodes.size() + 8;
    for (std::size_t event = 0; remaining > 0.0; ++event) {
      pinWet(nodes);
      solveProfile(nodes, work.hull, work.vertices);
      if (event == 0) {
        for (const Node& node : nodes) {
          for (std::size_t j = node.first; j <= node.last; ++j) {
            month.vapourPressure[j] = node.pressure;
          }
          month.rateAt[node.coldest] = node.rate;
        }
      }
      double interval = remaining;
      std::size_t driesFirst = kNoIndex;
      for (std::size_t n = 1; n + 1 < nodes.size() && event < lastEvent; ++n) {
        const Node& node = nodes[n];
        if (node.held > 0.0 && node.rate < 0.0 && node.held < -node.rate * interval) {
          interval = node.held / -node.rate;
          driesFirst = n;
        }
      }
      for (std::size_t n = 1; n + 1 < nodes.size(); ++n) {
        Node& node = nodes[n];
        node.held = n == driesFirst ? 0.0 : std::max(0.0, node.held + node.rate * interval);
      }
      remaining -= interval;
      if (driesFirst == kNoIndex) break;
    }
    double heldAfter = 0.0;
    for (const Node& node : nodes) {
      heldAfter += node.held;
      month.accumulatedAt[node.coldest] = node.held;
      if (node.held > result.maxPlaneAccumulated) {
        result.maxPlaneAccumulated = node.held;
        result.maxPlaneMonth = m;
        result.maxPlane = node.coldest;
      }
    }
    month.condensation = heldAfter - heldBefore;
    month.accumulated = heldAfter;
    if (step == 11) result.endAccumulated = heldAfter;
  }
  result.driesOut = !(result.endAccumulated > 0.0);

  // The year's largest accumulation (6.5) is the largest monthly total, the figure the month
  // table's column shows; where several planes hold water it exceeds what any one plane holds.
  std::vector<bool>& everWet = work.everWet;
  everWet.assign(planeCount, false);
  for (std::size_t m = 0; m < 12; ++m) {
    const MoistureMonth& month = result.months[m];
    if (month.accumulated > result.maxAccumulated) {
      result.maxAccumulated = month.accumulated;
      result.maxMonth = m;
    }
    for (std::size_t j = 0; j < planeCount; ++j) {
      if (month.accumulatedAt[j] > 0.0 && !everWet[j]) {
        everWet[j] = true;
        ++result.wetPlaneCount;
      }
    }
  }

  // Surface check (5.2, 5.3): f_Rsi = (R_T - Rsi) / R_T with Rsi = 0.25 m2.K/W in R_T, against
  // the highest f_Rsi,min of the year.
  const double checkTotal =
      request.surfaceCheckResistance + layerResistance + request.externalSurfaceResistance;
  result.fRsi = (checkTotal - request.surfaceCheckResistance) / checkTotal;
  result.criticalMonth = criticalMonth(request.climate);
  if (result.criticalMonth != kNoIndex) {
    result.fRsiMin = result.months[result.criticalMonth].fRsiMinMould;
  }
  result.surfacePasses = result.criticalMonth == kNoIndex || result.fRsi > result.fRsiMin;
}

}  // namespace Brusk::Engine
