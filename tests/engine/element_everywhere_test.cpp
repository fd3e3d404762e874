// An element (layers of parts, a ventilated air layer) in every calculation that takes a wall:
// the zone's areal heat capacities, the response to a profile and the sweep over cycle lengths
// give exactly what computeElement() gives at their cycle length.
#include <gtest/gtest.h>

#include <cmath>
#include <variant>
#include <vector>

#include "brusk/engine/bridged_element.h"
#include "brusk/engine/constants.h"
#include "brusk/engine/cycle_response.h"
#include "brusk/engine/periodic_profile.h"
#include "brusk/engine/zone.h"

namespace {

using namespace Brusk::Engine;

struct Element {
  const char* what;
  WallRequest request;
  ElementDescription element;
};

/// A stud wall (independent patterns) and a rainscreen behind a slightly ventilated cavity.
std::vector<Element> elements() {
  std::vector<Element> all;
  const std::vector<LayerPart> studs = {{0.13, 500, 1600, 0.15}, {0.035, 30, 1030, 0.85}};
  Element frame{"stud wall", {}, {}};
  frame.request.layers = {
      LayerProperties::slab(0.0125, 0.25, 900, 1000), equivalentSlab(0.14, studs),
      LayerProperties::slab(0.009, 0.13, 650, 1700), LayerProperties::slab(0.05, 0.040, 160, 2100)};
  frame.element.bridged.push_back({1, studs});
  all.push_back(frame);
  Element rainscreen{"slightly ventilated cavity", {}, {}};
  rainscreen.request.layers = {
      LayerProperties::slab(0.2, 2.3, 2400, 1000), LayerProperties::slab(0.1, 0.035, 30, 1030),
      LayerProperties::pureResistance(0.18), LayerProperties::slab(0.1, 0.77, 1700, 1000)};
  rainscreen.element.ventilated = VentilatedAirLayer{2, AirLayerVentilation::Slightly, 1000.0};
  all.push_back(rainscreen);
  return all;
}

WallResult elementAt(const Element& e, double period) {
  WallRequest request = e.request;
  request.period = period;
  return std::get<ElementResult>(computeElement(request, e.element)).wall;
}

class ElementEverywhere : public testing::TestWithParam<Element> {};

TEST_P(ElementEverywhere, ZoneTakesTheParallelPathAdmittancesAndCapacities) {
  ZoneRequest zone;
  zone.floorArea = 10.0;
  zone.elements.push_back({GetParam().request, 10.0, ZoneFaces::Inner, GetParam().element});
  const ZoneResult result = std::get<ZoneResult>(computeZone(zone));
  const WallResult daily = elementAt(GetParam(), kDailyPeriod);
  const FaceMass& face = result.elements.front().faceMasses.front();
  EXPECT_EQ(daily.internalArealHeatCapacity, face.detailedCapacity);
  EXPECT_EQ(daily.internalAdmittance.getModulus(), face.admittance);
  EXPECT_EQ(daily.uValue, result.elements.front().wall.uValue);
  // The "10 cm" capacity is the paths' weighted by area.
  double tenCentimetres = 0.0;
  for (const ElementStack& stack : elementStacks(GetParam().request, GetParam().element)) {
    tenCentimetres +=
        stack.weight * tenCentimetreCapacity(stack.layers.data(), stack.layers.size());
  }
  EXPECT_DOUBLE_EQ(tenCentimetres, face.tenCentimetreCapacity);
}

TEST_P(ElementEverywhere, ResponseAtTheDailyHarmonicIsTheComputedCharacteristic) {
  ProfileRequest request;
  request.wall = GetParam().request;
  request.wall.period = kDailyPeriod;
  request.element = GetParam().element;
  request.indoor = {20.0};
  for (int hour = 0; hour < 24; ++hour) {
    request.outdoor.push_back(25.0 + 8.0 * std::cos(kTwoPi * hour / 24.0));
  }
  const ProfileResponse response = std::get<ProfileResponse>(computeProfileResponse(request));
  const WallResult daily = elementAt(GetParam(), kDailyPeriod);
  EXPECT_EQ(daily.uValue, response.uValue);
  // q_in of the daily harmonic is Y12 times the outdoor swing.
  const ProfileHarmonic& first = response.harmonics.front();
  const Complex expected = daily.periodicThermalTransmittance * first.outdoor;
  EXPECT_NEAR(expected.getRealPart(), first.heatFlowIn.getRealPart(), 1e-12);
  EXPECT_NEAR(expected.getImaginaryPart(), first.heatFlowIn.getImaginaryPart(), 1e-12);
  const ProfileSummary summary = summarizeProfileResponse(response);
  EXPECT_NEAR(daily.decrementFactor, summary.effectiveDecrementFactor, 1e-12);
  EXPECT_NEAR(daily.timeLag, summary.effectiveTimeLag, 1e-9);
}

TEST_P(ElementEverywhere, SweepIsTheElementAtEveryCycleLength) {
  const std::vector<double> hours = {6.0, 24.0, 168.0};
  const CycleSweep sweep = sweepCycleLength(GetParam().request, GetParam().element, hours);
  for (std::size_t i = 0; i < hours.size(); ++i) {
    const WallResult at = elementAt(GetParam(), hours[i] * kSecondsPerHour);
    EXPECT_EQ(at.decrementFactor, sweep.decrementFactor[i]) << hours[i] << " h";
    // The lag is followed continuously: the wrapped one plus whole cycles.
    const double cycles = (sweep.timeLagHours[i] - at.timeLag) / hours[i];
    EXPECT_NEAR(std::round(cycles), cycles, 1e-9) << hours[i] << " h";
  }
}

INSTANTIATE_TEST_SUITE_P(Elements, ElementEverywhere, testing::ValuesIn(elements()),
                         [](const testing::TestParamInfo<Element>& row) {
                           return row.param.what[0] == 's' && row.param.what[1] == 't'
                                      ? std::string("StudWall")
                                      : std::string("VentilatedCavity");
                         });

// A plain wall through the element entries is the plain wall, bit for bit.
TEST(ElementEverywhere, AnEmptyElementChangesNothing) {
  WallRequest wall;
  wall.layers = {LayerProperties::slab(0.2, 1.8, 2400, 1000),
                 LayerProperties::slab(0.1, 0.04, 30, 1400)};
  const std::vector<double> hours = {12.0, 24.0};
  const CycleSweep plain = sweepCycleLength(wall, hours);
  const CycleSweep element = sweepCycleLength(wall, ElementDescription{}, hours);
  EXPECT_EQ(plain.decrementFactor, element.decrementFactor);
  EXPECT_EQ(plain.timeLagHours, element.timeLagHours);
}

}  // namespace
