// The ISO 13788 monthly method against values worked out by hand from the standard's formulas:
// the saturation pressure, the humidity classes, one interface accumulating, one drying out (and
// never giving more than it holds), two interfaces, the start month and the surface check.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "brusk/engine/moisture.h"

namespace {

using namespace Brusk::Engine;

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kDay = 86400.0;

MonthClimate monthOf(double outdoorT, double outdoorPhi, double indoorT = 20.0,
                     double indoorPhi = 0.5) {
  return {outdoorT, outdoorPhi, indoorT, indoorPhi};
}

YearClimate constantYear(const MonthClimate& month) {
  YearClimate year;
  year.fill(month);
  return year;
}

/// A slab whose density and specific heat do not matter here.
LayerProperties slab(double thickness, double conductivity) {
  return LayerProperties::slab(thickness, conductivity, 1000.0, 1000.0);
}

MoistureRequest requestOf(std::vector<LayerProperties> layers, std::vector<double> sd,
                          const YearClimate& climate) {
  MoistureRequest request;
  request.layers = std::move(layers);
  request.sd = std::move(sd);
  request.climate = climate;
  return request;
}

/// The plane at the outer side of layer `layer` (a layer interface).
std::size_t interfaceAfter(const MoistureResult& result, std::size_t layer) {
  for (std::size_t j = 0; j < result.planes.size(); ++j) {
    if (result.planes[j].layer == layer && result.planes[j].interface) return j;
  }
  return kNoIndex;
}

// psat by Annex E, worked by hand: 610.5 exp(17.269 x 20 / 257.3) and so on.
TEST(SaturationPressure, MatchesTheFormulasOverWaterAndIce) {
  struct Row {
    double theta;
    double pressure;
  };
  const Row rows[] = {
      {-10.0, 259.33325}, {-5.0, 401.18098}, {0.0, 610.5}, {10.0, 1227.30986}, {20.0, 2336.95114}};
  for (const Row& row : rows) {
    EXPECT_NEAR(row.pressure, saturationPressure(row.theta), 1e-4) << "theta " << row.theta;
    EXPECT_NEAR(row.theta, saturationTemperature(saturationPressure(row.theta)), 1e-10)
        << "theta " << row.theta;
  }
}

TEST(HumidityClass, ExcessFallsLinearlyFromZeroToTwentyDegrees) {
  struct Row {
    int humidityClass;
    double outdoorT;
    double excess;
  };
  const Row rows[] = {{1, -5.0, 270.0}, {2, 0.0, 540.0}, {3, 10.0, 405.0}, {4, 15.0, 270.0},
                      {5, 20.0, 0.0},   {5, 25.0, 0.0},  {0, -5.0, 0.0},   {6, -5.0, 0.0}};
  for (const Row& row : rows) {
    EXPECT_DOUBLE_EQ(row.excess, humidityClassExcess(row.humidityClass, row.outdoorT))
        << "class " << row.humidityClass << " at " << row.outdoorT;
  }
  // p_i = p_e + 1.10 dp at the indoor temperature given.
  const YearClimate year = withHumidityClass(constantYear(monthOf(0.0, 0.8)), 3, 20.0);
  EXPECT_NEAR(0.8 * 610.5 + 1.1 * 810.0, year[0].indoorVapourPressure(), 1e-9);
  EXPECT_EQ(20.0, year[5].indoorTemperature);
}

TEST(CheckMoisture, RefusesEachBadRequestWithItsReason) {
  const YearClimate mild = constantYear(monthOf(0.0, 0.8));
  struct Row {
    const char* what;
    MoistureRequest request;
    MoistureProblemKind kind;
    std::size_t layer;
    std::size_t month;
  };
  std::vector<Row> rows;
  rows.push_back(
      {"no layers", requestOf({}, {}, mild), MoistureProblemKind::NoLayers, kNoIndex, kNoIndex});
  rows.push_back({"sd count", requestOf({slab(0.1, 1.0)}, {}, mild),
                  MoistureProblemKind::LayerCountMismatch, kNoIndex, kNoIndex});
  rows.push_back({"negative sd", requestOf({slab(0.1, 1.0), slab(0.1, 1.0)}, {1.0, -1.0}, mild),
                  MoistureProblemKind::BadSd, 1, kNoIndex});
  rows.push_back({"NaN sd", requestOf({slab(0.1, 1.0)}, {kNan}, mild), MoistureProblemKind::BadSd,
                  0, kNoIndex});
  rows.push_back({"bad layer", requestOf({slab(0.1, -1.0)}, {1.0}, mild),
                  MoistureProblemKind::BadLayer, 0, kNoIndex});
  rows.push_back({"no vapour resistance",
                  requestOf({LayerProperties::pureResistance(0.2)}, {0.0}, mild),
                  MoistureProblemKind::NoVapourResistance, kNoIndex, kNoIndex});
  YearClimate hot = mild;
  hot[3].outdoorTemperature = kNan;
  rows.push_back({"NaN temperature", requestOf({slab(0.1, 1.0)}, {1.0}, hot),
                  MoistureProblemKind::BadTemperature, kNoIndex, 3});
  YearClimate wet = mild;
  wet[7].outdoorRelativeHumidity = 1.01;
  rows.push_back({"RH over 1", requestOf({slab(0.1, 1.0)}, {1.0}, wet),
                  MoistureProblemKind::BadHumidity, kNoIndex, 7});
  YearClimate dry = mild;
  dry[0].indoorRelativeHumidity = 0.0;
  rows.push_back({"RH zero", requestOf({slab(0.1, 1.0)}, {1.0}, dry),
                  MoistureProblemKind::BadHumidity, kNoIndex, 0});
  YearClimate steam = withHumidityClass(constantYear(monthOf(-5.0, 0.9)), 5, 5.0);
  rows.push_back({"indoor air above saturation", requestOf({slab(0.1, 1.0)}, {1.0}, steam),
                  MoistureProblemKind::IndoorSupersaturated, kNoIndex, 0});
  for (const Row& row : rows) {
    const auto problem = checkMoisture(row.request);
    ASSERT_TRUE(problem.has_value()) << row.what;
    EXPECT_EQ(row.kind, problem->kind) << row.what;
    EXPECT_EQ(row.layer, problem->layer) << row.what;
    EXPECT_EQ(row.month, problem->month) << row.what;
    EXPECT_TRUE(computeMoisture(row.request).problem.has_value()) << row.what;
  }
}

// Solid brick, vapour-open (mu 10): the straight line from p_i to p_e stays below p_sat.
TEST(Moisture, VapourOpenWallStaysDry) {
  YearClimate year = constantYear(monthOf(0.0, 0.8));
  year[0] = monthOf(-10.0, 0.9);
  const MoistureResult result = computeMoisture(requestOf({slab(0.24, 0.77)}, {0.24 * 10.0}, year));
  ASSERT_FALSE(result.problem);
  EXPECT_FALSE(result.condenses);
  EXPECT_EQ(0.0, result.maxAccumulated);
  EXPECT_EQ(kNoIndex, result.maxMonth);
  EXPECT_TRUE(result.driesOut);
  // At every plane p lies on the straight line over s_d and below p_sat.
  const MoistureMonth& january = result.months[0];
  const double pi = year[0].indoorVapourPressure();
  const double pe = year[0].outdoorVapourPressure();
  for (std::size_t j = 0; j < result.planes.size(); ++j) {
    const double expected = pi + (pe - pi) * result.planes[j].sd / 2.4;
    EXPECT_NEAR(expected, january.vapourPressure[j], 1e-9) << "plane " << j;
    EXPECT_LT(january.vapourPressure[j], january.saturationPressure[j]) << "plane " << j;
  }
}

// 100 mm of insulation (R 2.5, s_d 0.1 m) behind a vapour-tight skin (s_d 100 m), 20 degC / 50 %
// inside, 0 degC / 80 % outside all year. By hand: R_T = 0.13 + 2.5 + 0.02 + 0.04 = 2.69,
// theta_c = 20 - 20 x 2.63 / 2.69 = 0.44610 degC, p_sat = 630.606 Pa, p_i = 1168.476 Pa,
// p_e = 488.4 Pa, g = 2e-10 [(1168.476 - 630.606) / 0.1 - (630.606 - 488.4) / 100]
// = 1.07545e-6 kg/(m2.s): 2.88050 kg/m2 in January, 33.9155 kg/m2 over the year.
TEST(Moisture, OneInterfaceAccumulatesYearOnYear) {
  const MoistureResult result = computeMoisture(
      requestOf({slab(0.1, 0.04), slab(0.01, 0.5)}, {0.1, 100.0}, constantYear(monthOf(0.0, 0.8))));
  ASSERT_FALSE(result.problem);
  const std::size_t plane = interfaceAfter(result, 0);
  EXPECT_NEAR(0.446097, result.months[0].temperature[plane], 1e-6);
  EXPECT_NEAR(630.6059, result.months[0].saturationPressure[plane], 1e-4);
  EXPECT_TRUE(result.condenses);
  EXPECT_EQ(0u, result.startMonth);  // every month condenses: January
  EXPECT_NEAR(2.8804985, result.months[0].condensation, 1e-6);
  EXPECT_NEAR(2.8804985 * 28.0 / 31.0, result.months[1].condensation, 1e-6);
  EXPECT_NEAR(33.915546, result.endAccumulated, 1e-5);
  EXPECT_NEAR(33.915546, result.maxAccumulated, 1e-5);
  EXPECT_EQ(11u, result.maxMonth);
  EXPECT_EQ(plane, result.maxPlane);
  EXPECT_FALSE(result.driesOut);
  for (std::size_t m = 0; m < 12; ++m) {
    EXPECT_DOUBLE_EQ(result.months[m].accumulated, result.months[m].accumulatedAt[plane])
        << "month " << m + 1;
  }
}

// The same wall under a winter (November to March: -5 degC, 90 %) and a summer (15 degC, 70 %).
// The calculation starts in November, the first month of condensation after one without; in
// summer the wet plane sits at p_sat and evaporates both ways until it is dry, and the month it
// dries in gives back exactly what it held.
TEST(Moisture, OneInterfaceDriesOutInSummer) {
  YearClimate year = constantYear(monthOf(15.0, 0.7, 20.0, 0.4));
  for (std::size_t m : {10u, 11u, 0u, 1u, 2u}) year[m] = monthOf(-5.0, 0.9, 20.0, 0.4);
  const MoistureResult result =
      computeMoisture(requestOf({slab(0.1, 0.04), slab(0.01, 0.5)}, {2.0, 3.0}, year));
  ASSERT_FALSE(result.problem);
  EXPECT_EQ(10u, result.startMonth);
  const std::size_t plane = interfaceAfter(result, 0);
  const auto rateIn = [&](std::size_t m) {
    const double saturation = result.months[m].saturationPressure[plane];
    return kVapourPermeabilityOfAir * ((year[m].indoorVapourPressure() - saturation) / 2.0 -
                                       (saturation - year[m].outdoorVapourPressure()) / 3.0);
  };
  // By hand: 4.7424e-8 kg/(m2.s) over the 151 winter days, 0.61872 kg/m2 by March's end.
  ASSERT_NEAR(4.74242e-8, rateIn(0), 1e-12);
  const double heldInMarch = rateIn(0) * (30 + 31 + 31 + 28 + 31) * kDay;
  EXPECT_NEAR(0.6187151, heldInMarch, 1e-6);
  EXPECT_NEAR(heldInMarch, result.months[2].accumulated, 1e-12);
  EXPECT_NEAR(heldInMarch, result.maxAccumulated, 1e-12);
  EXPECT_EQ(2u, result.maxMonth);
  // Summer: the wet plane at p_sat(theta_c) evaporates to both sides, -1.13097e-7 kg/(m2.s):
  // 0.32557 kg/m2 left at April's end, 0.02265 at May's, dry within June.
  ASSERT_NEAR(-1.130968e-7, rateIn(3), 1e-12);
  const double mayEnd = heldInMarch + rateIn(3) * 61 * kDay;
  EXPECT_NEAR(0.0226500, mayEnd, 1e-6);
  EXPECT_NEAR(mayEnd, result.months[4].accumulated, 1e-12);
  EXPECT_EQ(0.0, result.months[5].accumulated);
  EXPECT_NEAR(-mayEnd, result.months[5].condensation, 1e-15);
  EXPECT_TRUE(result.driesOut);
  EXPECT_EQ(0.0, result.endAccumulated);
  // Never below zero, and the year's sum of condensation is what remains: nothing from nothing.
  double sum = 0.0;
  for (const MoistureMonth& month : result.months) {
    EXPECT_GE(month.accumulated, 0.0);
    sum += month.condensation;
  }
  EXPECT_NEAR(0.0, sum, 1e-15);
  // The rate at the month's start is the hand rate wherever the plane condenses or holds water;
  // June's (the plane dries within it) asks for more than the plane gives back; the dry months
  // after have none.
  for (std::size_t m : {0u, 1u, 2u, 3u, 4u, 5u, 10u, 11u}) {
    EXPECT_NEAR(rateIn(m), result.months[m].rateAt[plane], 1e-18) << "month " << m + 1;
  }
  EXPECT_LT(result.months[5].rateAt[plane] * 30 * kDay, result.months[5].condensation);
  for (std::size_t m : {6u, 7u, 8u, 9u}) EXPECT_EQ(0.0, result.months[m].rateAt[plane]);
}

// Two vapour-resistant skins, each behind insulation: condensation at both interfaces, each
// rate from the tangent construction between the vertices (0, p_i), (s1, p_sat,1), (s2,
// p_sat,2), (s_T, p_e).
TEST(Moisture, TwoInterfacesCondenseAtTheirOwnRates) {
  const std::vector<LayerProperties> layers = {slab(0.05, 0.04), slab(0.001, 0.2), slab(0.05, 0.04),
                                               slab(0.001, 0.2)};
  const std::vector<double> sd = {0.05, 2.0, 0.05, 50.0};
  const YearClimate year = constantYear(monthOf(-10.0, 0.9, 20.0, 0.6));
  MoistureRequest request = requestOf(layers, sd, year);
  const MoistureResult result = computeMoisture(request);
  ASSERT_FALSE(result.problem);
  const std::size_t first = interfaceAfter(result, 0);
  const std::size_t second = interfaceAfter(result, 2);
  const MoistureMonth& january = result.months[0];
  const double p1 = january.saturationPressure[first];
  const double p2 = january.saturationPressure[second];
  const double s1 = 0.05;
  const double s2 = 2.1;
  const double sT = 52.1;
  const double pi = year[0].indoorVapourPressure();
  const double pe = year[0].outdoorVapourPressure();
  const double g1 = kVapourPermeabilityOfAir * ((pi - p1) / s1 - (p1 - p2) / (s2 - s1));
  const double g2 = kVapourPermeabilityOfAir * ((p1 - p2) / (s2 - s1) - (p2 - pe) / (sT - s2));
  ASSERT_GT(g1, 0.0);
  ASSERT_GT(g2, 0.0);
  EXPECT_NEAR(g1 * 31 * kDay, january.accumulatedAt[first], 1e-9);
  EXPECT_NEAR(g2 * 31 * kDay, january.accumulatedAt[second], 1e-9);
  EXPECT_NEAR((g1 + g2) * 31 * kDay, january.condensation, 1e-9);
  EXPECT_DOUBLE_EQ(p1, january.vapourPressure[first]);
  EXPECT_DOUBLE_EQ(p2, january.vapourPressure[second]);
}

// Both interfaces wet, then a warm month: the inner one dries part-way through it and the outer
// one's rate changes at that moment to the profile drawn without the inner one.
TEST(Moisture, DryingOutWithinAMonthResolvesTheOtherInterfaces) {
  const std::vector<LayerProperties> layers = {slab(0.05, 0.04), slab(0.001, 0.2), slab(0.05, 0.04),
                                               slab(0.001, 0.2)};
  const std::vector<double> sd = {0.05, 2.0, 0.05, 50.0};
  YearClimate year = constantYear(monthOf(-10.0, 0.9, 20.0, 0.6));
  // January condenses at both, the other months at none: January is the start month.
  for (std::size_t m = 1; m < 12; ++m) year[m] = monthOf(18.0, 0.6, 20.0, 0.5);
  const MoistureResult result = computeMoisture(requestOf(layers, sd, year));
  ASSERT_FALSE(result.problem);
  EXPECT_EQ(0u, result.startMonth);
  const std::size_t first = interfaceAfter(result, 0);
  const std::size_t second = interfaceAfter(result, 2);
  const double m1 = result.months[0].accumulatedAt[first];
  const double m2 = result.months[0].accumulatedAt[second];
  ASSERT_GT(m1, 0.0);
  ASSERT_GT(m2, 0.0);
  // February by hand: both pinned at p_sat until the first dries at t1, then the second alone.
  const MoistureMonth& february = result.months[1];
  const double p1 = february.saturationPressure[first];
  const double p2 = february.saturationPressure[second];
  const double s1 = 0.05;
  const double s2 = 2.1;
  const double sT = 52.1;
  const double pi = year[1].indoorVapourPressure();
  const double pe = year[1].outdoorVapourPressure();
  const double d0 = kVapourPermeabilityOfAir;
  const double g1 = d0 * ((pi - p1) / s1 - (p1 - p2) / (s2 - s1));
  const double g2 = d0 * ((p1 - p2) / (s2 - s1) - (p2 - pe) / (sT - s2));
  ASSERT_LT(g1, 0.0);
  const double t1 = m1 / -g1;
  ASSERT_LT(t1, 28 * kDay) << "the inner plane should dry out within February";
  const double g2After = d0 * ((pi - p2) / s2 - (p2 - pe) / (sT - s2));
  const double expected = std::max(0.0, m2 + g2 * t1 + g2After * (28 * kDay - t1));
  EXPECT_EQ(0.0, february.accumulatedAt[first]);
  EXPECT_NEAR(expected, february.accumulatedAt[second], 1e-12);
  EXPECT_NEAR(expected - m1 - m2, february.condensation, 1e-12);
}

// The surface check of a solid brick wall (0.22 m, lambda 0.77) against each humidity class at
// 0 degC / 85 % outside, 20 degC inside: f_Rsi = (R_T - 0.25) / R_T = 0.565757, and
// f_Rsi,min = (theta_si,min - 0) / 20 with p_sat(theta_si,min) = (p_e + 1.10 dp) / 0.8, by hand.
TEST(Moisture, SurfaceCheckAtEveryHumidityClass) {
  struct Row {
    int humidityClass;
    double fRsiMin;
    bool passes;
  };
  const Row rows[] = {{1, 0.3633946, true},
                      {2, 0.5942188, false},
                      {3, 0.7760433, false},
                      {4, 0.9269030, false},
                      {5, 1.0563076, false}};
  for (const Row& row : rows) {
    YearClimate year =
        withHumidityClass(constantYear(monthOf(10.0, 0.85)), row.humidityClass, 20.0);
    year[1] = withHumidityClass(constantYear(monthOf(0.0, 0.85)), row.humidityClass, 20.0)[1];
    const MoistureResult result =
        computeMoisture(requestOf({slab(0.22, 0.77)}, {0.22 * 10.0}, year));
    const std::string label = "class " + std::to_string(row.humidityClass);
    ASSERT_FALSE(result.problem) << label;
    EXPECT_NEAR(0.5657568, result.fRsi, 1e-7) << label;
    EXPECT_EQ(1u, result.criticalMonth) << label;
    EXPECT_NEAR(row.fRsiMin, result.fRsiMin, 1e-7) << label;
    EXPECT_EQ(row.passes, result.surfacePasses) << label;
  }
}

TEST(Moisture, SurfaceFactorIsUndefinedWhenOutdoorsIsWarmer) {
  YearClimate year = constantYear(monthOf(25.0, 0.6));
  year[0] = monthOf(5.0, 0.8);
  const MoistureResult result = computeMoisture(requestOf({slab(0.2, 1.0)}, {2.0}, year));
  ASSERT_FALSE(result.problem);
  EXPECT_TRUE(std::isnan(result.months[6].fRsiMinMould));
  EXPECT_EQ(0u, result.criticalMonth);
}

// An air layer of s_d = 0 on the room side whose outer face is below the room's dew point: the
// room air would condense there at no resistance, which the method cannot bound; refused.
TEST(Moisture, ColdFaceOpenToTheRoomIsRefused) {
  const MoistureResult result = computeMoisture(
      requestOf({LayerProperties::pureResistance(1.5), slab(0.1, 0.04), slab(0.01, 0.5)},
                {0.0, 0.1, 100.0}, constantYear(monthOf(-10.0, 0.9, 20.0, 0.6))));
  ASSERT_TRUE(result.problem);
  EXPECT_EQ(MoistureProblemKind::CondensationAtZeroSd, result.problem->kind);
  EXPECT_EQ(0u, result.problem->layer);
  EXPECT_EQ(0u, result.problem->month);
}

// A layer with s_d = 0 (a pure thermal resistance) holds no vapour-pressure difference: its two
// faces are one plane for vapour, and water collects at the colder face.
TEST(Moisture, ZeroSdLayerCollectsAtItsColderFace) {
  const MoistureResult result = computeMoisture(
      requestOf({slab(0.1, 0.04), LayerProperties::pureResistance(0.17), slab(0.01, 0.5)},
                {0.1, 0.0, 100.0}, constantYear(monthOf(0.0, 0.8))));
  ASSERT_FALSE(result.problem);
  const std::size_t warm = interfaceAfter(result, 0);
  const std::size_t cold = interfaceAfter(result, 1);
  EXPECT_EQ(0.0, result.months[0].accumulatedAt[warm]);
  EXPECT_GT(result.months[0].accumulatedAt[cold], 0.0);
  EXPECT_EQ(cold, result.maxPlane);
}

// Seeded random five-layer walls under a cold year: whatever they do, the water balance closes
// (the months' condensation sums to what is left), nothing goes below zero, the profile never
// rises above saturation and the faces hold p_i and p_e.
TEST(Moisture, RandomWallsKeepTheBalanceAndStayBelowSaturation) {
  std::mt19937_64 random(13788);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const auto between = [&](double low, double high) { return low + (high - low) * unit(random); };
  YearClimate year;
  for (std::size_t m = 0; m < 12; ++m) {
    const double wave = std::cos(2.0 * 3.141592653589793 * static_cast<double>(m) / 12.0);
    year[m] = monthOf(5.5 - 11.5 * wave, 0.8 + 0.1 * wave, 20.0, 0.5 + 0.1 * wave);
  }
  std::size_t condensing = 0;
  std::size_t refused = 0;
  std::size_t severalWet = 0;
  for (int wall = 0; wall < 300; ++wall) {
    std::vector<LayerProperties> layers;
    std::vector<double> sd;
    for (int k = 0; k < 5; ++k) {
      if (unit(random) < 0.15) {
        layers.push_back(LayerProperties::pureResistance(between(0.1, 0.2)));
        sd.push_back(unit(random) < 0.5 ? 0.0 : between(0.0, 0.2));
      } else {
        const double d = between(0.001, 0.2);
        layers.push_back(slab(d, between(0.03, 2.0)));
        sd.push_back(d * std::exp(between(0.0, std::log(1e5))));
      }
    }
    const MoistureResult result = computeMoisture(requestOf(layers, sd, year));
    if (result.problem) {
      // Only a cold face open to the room without vapour resistance is refused.
      ASSERT_EQ(MoistureProblemKind::CondensationAtZeroSd, result.problem->kind) << "wall " << wall;
      ASSERT_EQ(0.0, sd[0]) << "wall " << wall;
      ++refused;
      continue;
    }
    condensing += result.condenses ? 1u : 0u;
    double sum = 0.0;
    for (std::size_t m = 0; m < 12; ++m) {
      const MoistureMonth& month = result.months[m];
      sum += month.condensation;
      EXPECT_GE(month.accumulated, 0.0) << "wall " << wall << ", month " << m + 1;
      EXPECT_EQ(year[m].indoorVapourPressure(), month.vapourPressure.front()) << "wall " << wall;
      EXPECT_EQ(year[m].outdoorVapourPressure(), month.vapourPressure.back()) << "wall " << wall;
      for (std::size_t j = 1; j + 1 < result.planes.size(); ++j) {
        EXPECT_LE(month.vapourPressure[j], month.saturationPressure[j] * (1 + 1e-12))
            << "wall " << wall << ", month " << m + 1 << ", plane " << j;
      }
    }
    EXPECT_NEAR(result.endAccumulated, sum, 1e-12 + 1e-12 * result.maxAccumulated)
        << "wall " << wall;
    // The year's largest accumulation is the largest monthly total, with its month; no plane
    // holds more, and one plane alone holds all of it.
    double largest = 0.0;
    for (const MoistureMonth& month : result.months) largest = std::max(largest, month.accumulated);
    EXPECT_EQ(largest, result.maxAccumulated) << "wall " << wall;
    if (result.condenses && largest > 0.0) {
      ASSERT_LT(result.maxMonth, 12u) << "wall " << wall;
      EXPECT_EQ(largest, result.months[result.maxMonth].accumulated) << "wall " << wall;
      EXPECT_LE(result.maxPlaneAccumulated, result.maxAccumulated) << "wall " << wall;
      EXPECT_EQ(result.maxPlaneAccumulated,
                result.months[result.maxPlaneMonth].accumulatedAt[result.maxPlane])
          << "wall " << wall;
      if (result.wetPlaneCount == 1) {
        EXPECT_EQ(result.maxAccumulated, result.maxPlaneAccumulated) << "wall " << wall;
      }
      severalWet += result.wetPlaneCount > 1 ? 1u : 0u;
    }
    EXPECT_EQ(result.driesOut, result.endAccumulated == 0.0) << "wall " << wall;
  }
  // The set is no good if it never condenses or always does.
  EXPECT_GT(condensing, 30u);
  EXPECT_LT(condensing + refused, 270u);
  EXPECT_GT(severalWet, 0u);
}

}  // namespace
