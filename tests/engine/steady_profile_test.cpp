// Steady-state temperatures through a wall: hand-worked walls, each face's temperature from
// theta = theta_i - (theta_i - theta_e) R / R_T (ISO 13788:2012, eq. 11), and the inputs that
// give no profile.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <vector>

#include "brusk/engine/steady_profile.h"

namespace {

using namespace Brusk::Engine;

struct ProfileRow {
  const char* what;
  std::vector<LayerProperties> layers;
  std::optional<double> rsi;
  std::optional<double> rse;
  double indoor;
  double outdoor;
  std::vector<double> temperatures;  ///< expected, worked by hand
  double heatFlow;                   ///< expected q [W/m2]
};

std::ostream& operator<<(std::ostream& out, const ProfileRow& row) { return out << row.what; }

class SteadyProfileTest : public testing::TestWithParam<ProfileRow> {};

TEST_P(SteadyProfileTest, FaceTemperaturesAsWorkedByHand) {
  const ProfileRow& row = GetParam();
  WallRequest request;
  request.layers = row.layers;
  request.internalSurfaceResistance = row.rsi;
  request.externalSurfaceResistance = row.rse;
  const auto profile = steadyTemperatureProfile(request, row.indoor, row.outdoor);
  ASSERT_TRUE(profile.has_value()) << row.what;
  ASSERT_EQ(profile->temperature.size(), row.temperatures.size()) << row.what;
  for (std::size_t i = 0; i < row.temperatures.size(); ++i) {
    EXPECT_NEAR(profile->temperature[i], row.temperatures[i], 1e-12) << row.what << ", face " << i;
  }
  EXPECT_NEAR(profile->heatFlowDensity, row.heatFlow, 1e-12) << row.what;
}

// Concrete 0.2 m at lambda 2 (R 0.1) with the horizontal convention (Rsi 0.13, Rse 0.04):
// R_T = 0.27, q = 20 / 0.27; theta_si = 20 - 0.13 q, theta_se = 0 + 0.04 q.
// Plaster 0.02/0.5 (R 0.04) + EPS 0.1/0.04 (R 2.5), Rsi 0.25 and Rse 0.04 given: R_T = 2.83.
// A pure resistance 1 between 0.1 and 0.1 (R_T 1.2), -10 inside and 20 outside: heat flows in.
INSTANTIATE_TEST_SUITE_P(
    Walls, SteadyProfileTest,
    testing::Values(ProfileRow{"concrete, the convention",
                               {LayerProperties::slab(0.2, 2.0, 2400.0, 1000.0)},
                               std::nullopt,
                               std::nullopt,
                               20.0,
                               0.0,
                               {20.0 - 0.13 * 20.0 / 0.27, 0.04 * 20.0 / 0.27},
                               20.0 / 0.27},
                    ProfileRow{"plaster and EPS, Rsi 0.25 given",
                               {LayerProperties::slab(0.02, 0.5, 1000.0, 1000.0),
                                LayerProperties::slab(0.1, 0.04, 20.0, 1450.0)},
                               0.25,
                               0.04,
                               20.0,
                               -5.0,
                               {20.0 - 25.0 * 0.25 / 2.83, 20.0 - 25.0 * 0.29 / 2.83,
                                -5.0 + 25.0 * 0.04 / 2.83},
                               25.0 / 2.83},
                    ProfileRow{"pure resistance, heat flowing in",
                               {LayerProperties::pureResistance(1.0)},
                               0.1,
                               0.1,
                               -10.0,
                               20.0,
                               {-10.0 + 30.0 * 0.1 / 1.2, 20.0 - 30.0 * 0.1 / 1.2},
                               -30.0 / 1.2},
                    ProfileRow{"equal temperatures",
                               {LayerProperties::slab(0.2, 2.0, 2400.0, 1000.0)},
                               std::nullopt,
                               std::nullopt,
                               18.0,
                               18.0,
                               {18.0, 18.0},
                               0.0}));

struct RefusedRow {
  const char* what;
  std::vector<LayerProperties> layers;
  std::optional<double> rsi;
  double indoor;
};

std::ostream& operator<<(std::ostream& out, const RefusedRow& row) { return out << row.what; }

class SteadyProfileRefusedTest : public testing::TestWithParam<RefusedRow> {};

TEST_P(SteadyProfileRefusedTest, GivesNoProfile) {
  const RefusedRow& row = GetParam();
  WallRequest request;
  request.layers = row.layers;
  request.internalSurfaceResistance = row.rsi;
  request.externalSurfaceResistance = row.rsi;
  EXPECT_FALSE(steadyTemperatureProfile(request, row.indoor, 0.0).has_value()) << row.what;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, SteadyProfileRefusedTest,
    testing::Values(
        RefusedRow{
            "indoor NaN", {LayerProperties::pureResistance(1.0)}, std::nullopt, std::nan("")},
        RefusedRow{"no resistance at all", {}, 0.0, 20.0},
        RefusedRow{
            "negative surface resistance", {LayerProperties::pureResistance(1.0)}, -0.5, 20.0},
        RefusedRow{"infinite layer",
                   {LayerProperties::pureResistance(std::numeric_limits<double>::infinity())},
                   std::nullopt,
                   20.0}));

}  // namespace
