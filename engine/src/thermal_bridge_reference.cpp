#include "brusk/engine/thermal_bridge_reference.h"

#include <cmath>
#include <string>
#include <variant>

namespace Brusk::Engine {

namespace {

// Case 1, ISO 10211:2017 C.2, Figure C.1 and Table C.1: a homogeneous rectangle 1 m wide and
// 2 m tall (half of a 2 m square column cut along its symmetry plane x = 1 m), the top edge at
// 20 degC, the left and bottom edges at 0 degC, the symmetry plane adiabatic. The 28 points lie
// on a 0.25 m grid: rows 0.25 m to 1.75 m below the heated edge, columns 0.25 m to 1 m from the
// cold side, the fourth on the symmetry plane. Table C.1 gives the analytic solution to 0.1 K:
constexpr double kCase1Table[7][4] = {
    {9.7, 13.4, 14.7, 15.1}, {5.3, 8.6, 10.3, 10.8}, {3.2, 5.6, 7.0, 7.5}, {2.0, 3.6, 4.7, 5.0},
    {1.3, 2.3, 3.0, 3.2},    {0.7, 1.4, 1.8, 1.9},   {0.3, 0.6, 0.8, 0.9},
};
constexpr double kCase1Width = 1.0, kCase1Height = 2.0;

constexpr const char* kCase1Source =
    "ISO 10211:2017 Annex C, case 1 (Figure C.1, Table C.1); geometry as reproduced in the "
    "public validation reports of two-dimensional programs (e.g. the COMSOL and FEATool "
    "application notes on ISO 10211 test cases)";
constexpr const char* kCase2Source =
    "ISO 10211:2017 Annex C, case 2 (Figure C.2, Table C.2); geometry (500 mm x 47.5 mm section) "
    "as reproduced in the public validation reports of two-dimensional programs (the COMSOL "
    "application 'Thermal Bridges in Building Construction - 2D Composite Structure' and the "
    "FEATool 'Thermal Bridge' tutorial)";

constexpr double kTemperatureTolerance = 0.1;  // ISO 10211:2017 C.1: 0.1 K
constexpr double kFlowTolerance = 0.1;         // ISO 10211:2017 C.2: 0.1 W/m

bool allWithin(const std::vector<ReferencePoint>& points) {
  for (const ReferencePoint& point : points) {
    if (!(std::fabs(point.computed - point.reference) <= point.tolerance)) return false;
  }
  return true;
}

}  // namespace

double iso10211Case1Analytic(double x, double y) {
  // The full 2 m square with one side at 20 degC and three at 0 degC:
  // T = sum over odd n of 4 T0 / (n pi) sin(n pi x / L) sinh(n pi y / L) / sinh(n pi).
  const double side = 2.0 * kCase1Width, pi = 3.14159265358979323846;
  double sum = 0.0;
  for (int n = 1; n < 2001; n += 2) {
    const double k = n * pi / side;
    // sinh(k y) / sinh(k L) without overflow: exp(k (y - L)) (1 - exp(-2 k y)) / (1 - exp(-2 k L))
    const double ratio =
        std::exp(k * (y - side)) * -std::expm1(-2.0 * k * y) / -std::expm1(-2.0 * k * side);
    const double term = 4.0 * 20.0 / (n * pi) * std::sin(k * x) * ratio;
    sum += term;
    if (std::fabs(4.0 * 20.0 / (n * pi) * ratio) < 1e-13 && n > 50) break;
  }
  return sum;
}

ReferenceCaseComparison runIso10211Case1(int subdivisions) {
  BridgeRequest request;
  request.regions = {{0.0, kCase1Width, 0.0, kCase1Height, 1.0}};
  request.environments = {{"heated", 20.0, 0.0}, {"cold", 0.0, 0.0}};
  request.boundaries = {{0, 0.0, kCase1Height, kCase1Width, kCase1Height, {}},
                        {1, 0.0, 0.0, 0.0, kCase1Height, {}},
                        {1, 0.0, 0.0, kCase1Width, 0.0, {}}};
  std::vector<double> xs, ys;
  const int perQuarter = subdivisions < 1 ? 1 : subdivisions;
  const double step = 0.25 / perQuarter;
  for (int i = 0; i <= 4 * perQuarter; ++i) xs.push_back(i * step);
  for (int j = 0; j <= 8 * perQuarter; ++j) ys.push_back(j * step);

  ReferenceCaseComparison comparison;
  comparison.name = "ISO 10211 case 1";
  comparison.source = kCase1Source;
  const BridgeOutcome outcome = computeThermalBridgeOnGrid(request, xs, ys);
  const auto* result = std::get_if<BridgeResult>(&outcome);
  for (int row = 0; row < 7; ++row) {
    for (int column = 0; column < 4; ++column) {
      ReferencePoint point;
      point.name = "row " + std::to_string(row + 1) + ", column " + std::to_string(column + 1);
      point.x = 0.25 * (column + 1);
      point.y = kCase1Height - 0.25 * (row + 1);
      point.reference = kCase1Table[row][column];
      point.tolerance = kTemperatureTolerance;
      point.unit = "degC";
      point.computed =
          result ? fieldTemperature(result->field, point.x, point.y).value_or(NAN) : std::nan("");
      comparison.points.push_back(point);
    }
  }
  if (result) comparison.nodes = result->grid.nodes;
  comparison.passed = result != nullptr && allWithin(comparison.points);
  return comparison;
}

namespace {

// Case 2, ISO 10211:2017 C.2, Figure C.2 and Table C.2, in metres with x along the section
// (0 at the aluminium's side, 0.5 m at the symmetry plane) and y across it (0 at the interior
// face): a 6 mm concrete layer on the exterior, a 1.5 mm aluminium profile along the interior face,
// up the left side and turning under a 15 mm x 5 mm wooden batten that carries it on the concrete,
// insulation (40 mm) filling the rest. Both sides are cut at planes of symmetry (adiabatic). The
// points: A and B on the exterior face above the batten and at the far end, C, D and E on the
// concrete's underside (above the batten's two edges and at the far end), F and G at the batten's
// lower corners, H and I on the interior face below the batten and at the far end.
constexpr double kWidth = 0.5;
constexpr double kHeight = 0.0475;
constexpr double kConcrete = 0.006;
constexpr double kMetal = 0.0015;
constexpr double kWoodWidth = 0.015;
constexpr double kWoodHeight = 0.005;

struct NamedPoint {
  const char* name;
  double x, y, reference;
};
// Table C.2's temperatures and where Figure C.2 puts A to I.
constexpr NamedPoint kCase2Points[] = {
    {"A", 0.0, kHeight, 7.1},
    {"B", kWidth, kHeight, 0.8},
    {"C", 0.0, kHeight - kConcrete, 7.9},
    {"D", kWoodWidth, kHeight - kConcrete, 6.3},
    {"E", kWidth, kHeight - kConcrete, 0.8},
    {"F", 0.0, kHeight - kConcrete - kWoodHeight, 16.4},
    {"G", kWoodWidth, kHeight - kConcrete - kWoodHeight, 16.3},
    {"H", 0.0, 0.0, 16.8},
    {"I", kWidth, 0.0, 18.3},
};
constexpr double kCase2HeatFlow = 9.5;  // W/m, Table C.2

}  // namespace

BridgeRequest iso10211Case2Request() {
  BridgeRequest request;
  const double woodBottom = kHeight - kConcrete - kWoodHeight;
  request.regions = {
      {0.0, kWidth, 0.0, kHeight - kConcrete, 0.029},             // insulation
      {0.0, kWidth, kHeight - kConcrete, kHeight, 1.15},          // concrete
      {0.0, kWidth, 0.0, kMetal, 230.0},                          // aluminium, interior face
      {0.0, kMetal, 0.0, woodBottom, 230.0},                      // aluminium, side
      {0.0, kWoodWidth, woodBottom - kMetal, woodBottom, 230.0},  // aluminium, flange
      {0.0, kWoodWidth, woodBottom, kHeight - kConcrete, 0.12},   // wood
  };
  request.environments = {{"indoor", 20.0, 0.11}, {"outdoor", 0.0, 0.06}};
  request.boundaries = {{0, 0.0, 0.0, kWidth, 0.0, {}}, {1, 0.0, kHeight, kWidth, kHeight, {}}};
  for (const NamedPoint& point : kCase2Points) request.probes.push_back({point.x, point.y});
  request.indoor = 0;
  request.outdoor = 1;
  return request;
}

ReferenceCaseComparison runIso10211Case2() {
  ReferenceCaseComparison comparison;
  comparison.name = "ISO 10211 case 2";
  comparison.source = kCase2Source;
  const BridgeOutcome outcome = computeThermalBridge(iso10211Case2Request());
  const auto* result = std::get_if<BridgeResult>(&outcome);
  std::size_t index = 0;
  for (const NamedPoint& named : kCase2Points) {
    ReferencePoint point;
    point.name = named.name;
    point.x = named.x;
    point.y = named.y;
    point.reference = named.reference;
    point.tolerance = kTemperatureTolerance;
    point.unit = "degC";
    point.computed = result ? result->probeTemperatures[index] : std::nan("");
    comparison.points.push_back(point);
    ++index;
  }
  ReferencePoint flow;
  flow.name = "heat flow";
  flow.reference = kCase2HeatFlow;
  flow.tolerance = kFlowTolerance;
  flow.unit = "W/m";
  flow.computed = result ? result->heatFlow[0] : std::nan("");
  comparison.points.push_back(flow);
  if (result) comparison.nodes = result->grid.nodes;
  comparison.passed = result != nullptr && allWithin(comparison.points);
  return comparison;
}

}  // namespace Brusk::Engine
