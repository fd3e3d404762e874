// An independent check of the harmonic response: an implicit finite-difference simulation of the
// same layered wall, solved for its periodic steady state, under a realistic hot day.
//
// The simulation knows nothing of transfer matrices. Each slab is cut into segments of at most
// 4 mm; nodes sit on the segment ends and carry half of each adjacent segment's heat capacity
// rho c dx [J/(m2.K)]; neighbours exchange G = lambda / dx [W/(m2.K)], a pure resistance R
// joins its two nodes by 1 / R, and the surface nodes meet the air through 1 / Rsi and 1 / Rse.
// Backward Euler in time, C (x' - x) / dt = -K x' + b(t'), gives x' = S x + A^-1 b(t') with
// A = C / dt + K and S = A^-1 C / dt. Over one period of M steps x_M = S^M x_0 + g, g being the
// state after one period from x = 0; the periodic state solves (I - S^M) x_0 = g, so no days of
// settling are needed (the slowest wall here would take weeks to settle).
//
// Both sides are driven by the trigonometric interpolant of their hourly samples, the reading
// of the profiles that the harmonic response documents.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <variant>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/engine/periodic_profile.h"
#include "profile_test_walls.h"

namespace {

using namespace Brusk::Engine;

using Dense = std::vector<double>;  // n x n, row major

/// Continuous theta(t) through hourly samples: c_0 + sum_k w_k Re(c_k e^(i 2 pi k t / T)).
class Interpolant {
public:
  explicit Interpolant(const std::vector<double>& samples) {
    const std::size_t n = samples.size();
    for (std::size_t k = 0; k <= n / 2; ++k) {
      double re = 0.0;
      double im = 0.0;
      for (std::size_t m = 0; m < n; ++m) {
        const double angle = kTwoPi * static_cast<double>(k * m) / static_cast<double>(n);
        re += samples[m] * std::cos(angle);
        im -= samples[m] * std::sin(angle);
      }
      const double weight = (k == 0 || 2 * k == n ? 1.0 : 2.0) / static_cast<double>(n);
      _re.push_back(weight * re);
      _im.push_back(2 * k == n ? 0.0 : weight * im);
    }
  }
  /// theta at the fraction `phase` of the period.
  double at(double phase) const {
    double value = 0.0;
    for (std::size_t k = 0; k < _re.size(); ++k) {
      const double angle = kTwoPi * static_cast<double>(k) * phase;
      value += _re[k] * std::cos(angle) - _im[k] * std::sin(angle);
    }
    return value;
  }

private:
  std::vector<double> _re, _im;
};

struct Grid {
  std::vector<double> capacity;     // per node [J/(m2.K)]
  std::vector<double> conductance;  // between node j and j + 1 [W/(m2.K)]
};

Grid gridOf(const WallRequest& wall) {
  Grid grid;
  grid.capacity.push_back(0.0);
  for (const LayerProperties& layer : wall.layers) {
    if (layer.isPureResistance()) {
      grid.conductance.push_back(1.0 / layer.resistance);
      grid.capacity.push_back(0.0);
      continue;
    }
    const auto segments = static_cast<std::size_t>(std::ceil(layer.thickness / 0.004));
    const double dx = layer.thickness / static_cast<double>(std::max<std::size_t>(segments, 4));
    for (std::size_t s = 0; s < std::max<std::size_t>(segments, 4); ++s) {
      const double half = 0.5 * layer.density * layer.specificHeat * dx;
      grid.capacity.back() += half;
      grid.capacity.push_back(half);
      grid.conductance.push_back(layer.conductivity / dx);
    }
  }
  return grid;
}

/// Solves the tridiagonal A x = rhs in place (Thomas algorithm; A is diagonally dominant).
void solveTridiagonal(const std::vector<double>& diagonal, const std::vector<double>& coupling,
                      std::vector<double>& rhs) {
  const std::size_t n = diagonal.size();
  std::vector<double> upper(n, 0.0);
  double pivot = diagonal[0];
  upper[0] = n > 1 ? -coupling[0] / pivot : 0.0;
  rhs[0] /= pivot;
  for (std::size_t j = 1; j < n; ++j) {
    pivot = diagonal[j] + coupling[j - 1] * upper[j - 1];
    if (j + 1 < n) upper[j] = -coupling[j] / pivot;
    rhs[j] = (rhs[j] + coupling[j - 1] * rhs[j - 1]) / pivot;
  }
  for (std::size_t j = n - 1; j-- > 0;) rhs[j] -= upper[j] * rhs[j + 1];
}

Dense multiply(const Dense& a, const Dense& b, std::size_t n) {
  Dense c(n * n, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t k = 0; k < n; ++k) {
      const double aik = a[i * n + k];
      if (aik == 0.0) continue;
      for (std::size_t j = 0; j < n; ++j) c[i * n + j] += aik * b[k * n + j];
    }
  }
  return c;
}

/// Solves the dense a x = b by Gaussian elimination with partial pivoting.
std::vector<double> solveDense(Dense a, std::vector<double> b, std::size_t n) {
  for (std::size_t col = 0; col < n; ++col) {
    std::size_t best = col;
    for (std::size_t row = col + 1; row < n; ++row) {
      if (std::abs(a[row * n + col]) > std::abs(a[best * n + col])) best = row;
    }
    for (std::size_t j = 0; j < n; ++j) std::swap(a[col * n + j], a[best * n + j]);
    std::swap(b[col], b[best]);
    for (std::size_t row = col + 1; row < n; ++row) {
      const double factor = a[row * n + col] / a[col * n + col];
      for (std::size_t j = col; j < n; ++j) a[row * n + j] -= factor * a[col * n + j];
      b[row] -= factor * b[col];
    }
  }
  std::vector<double> x(n);
  for (std::size_t row = n; row-- > 0;) {
    double sum = b[row];
    for (std::size_t j = row + 1; j < n; ++j) sum -= a[row * n + j] * x[j];
    x[row] = sum / a[row * n + row];
  }
  return x;
}

struct Simulated {
  std::vector<double> heatFlowIn, heatFlowOut;  // at each hour
};

Simulated simulate(const WallRequest& wall, const std::vector<double>& indoor,
                   const std::vector<double>& outdoor) {
  constexpr std::size_t kStepsPerHour = 360;  // dt = 10 s
  constexpr std::size_t kSteps = 24 * kStepsPerHour;
  const double dt = wall.period / static_cast<double>(kSteps);
  const SurfaceResistances resistances = wall.surfaceResistances();
  const Grid grid = gridOf(wall);
  const std::size_t n = grid.capacity.size();
  std::vector<double> diagonal(n), coupling(n - 1);
  for (std::size_t j = 0; j < n; ++j) diagonal[j] = grid.capacity[j] / dt;
  for (std::size_t j = 0; j + 1 < n; ++j) {
    coupling[j] = grid.conductance[j];
    diagonal[j] += grid.conductance[j];
    diagonal[j + 1] += grid.conductance[j];
  }
  diagonal[0] += 1.0 / resistances.internal;
  diagonal[n - 1] += 1.0 / resistances.external;
  const Interpolant inside(indoor);
  const Interpolant outside(outdoor);

  const auto step = [&](std::vector<double>& x, std::size_t next) {
    const double phase = static_cast<double>(next) / static_cast<double>(kSteps);
    for (std::size_t j = 0; j < n; ++j) x[j] *= grid.capacity[j] / dt;
    x[0] += inside.at(phase) / resistances.internal;
    x[n - 1] += outside.at(phase) / resistances.external;
    solveTridiagonal(diagonal, coupling, x);
  };

  // S = A^-1 C / dt by columns, then S^M by repeated squaring.
  Dense s(n * n, 0.0);
  for (std::size_t col = 0; col < n; ++col) {
    std::vector<double> e(n, 0.0);
    e[col] = grid.capacity[col] / dt;
    solveTridiagonal(diagonal, coupling, e);
    for (std::size_t row = 0; row < n; ++row) s[row * n + col] = e[row];
  }
  Dense power(n * n, 0.0);
  for (std::size_t j = 0; j < n; ++j) power[j * n + j] = 1.0;
  for (std::size_t remaining = kSteps; remaining > 0; remaining /= 2) {
    if (remaining % 2 == 1) power = multiply(power, s, n);
    if (remaining > 1) s = multiply(s, s, n);
  }
  std::vector<double> g(n, 0.0);
  for (std::size_t k = 1; k <= kSteps; ++k) step(g, k);
  Dense system(n * n, 0.0);
  for (std::size_t i = 0; i < n * n; ++i) system[i] = -power[i];
  for (std::size_t j = 0; j < n; ++j) system[j * n + j] += 1.0;
  std::vector<double> x = solveDense(system, g, n);

  Simulated simulated;
  for (std::size_t k = 0; k < kSteps; ++k) {
    if (k % kStepsPerHour == 0) {
      const double phase = static_cast<double>(k) / static_cast<double>(kSteps);
      simulated.heatFlowIn.push_back((x[0] - inside.at(phase)) / resistances.internal);
      simulated.heatFlowOut.push_back((outside.at(phase) - x[n - 1]) / resistances.external);
    }
    step(x, k + 1);
  }
  return simulated;
}

/// A hot summer day: air 22 to 33 degC after the ASHRAE percentage of the daily range, peak at
/// 15 h, and the irradiance on a west wall [W/m2], alpha = 0.7.
std::vector<double> solAirDay() {
  const double fractionOfRange[24] = {0.82, 0.87, 0.92, 0.96, 0.99, 1.00, 0.98, 0.93,
                                      0.84, 0.71, 0.56, 0.39, 0.23, 0.11, 0.03, 0.00,
                                      0.03, 0.10, 0.21, 0.34, 0.47, 0.58, 0.68, 0.76};
  const double westIrradiance[24] = {0,   0,   0,   0,   0,   20,  60,  90,  110, 130, 145, 160,
                                     240, 390, 520, 610, 640, 580, 420, 190, 15,  0,   0,   0};
  std::vector<double> air(24), sun(24);
  for (std::size_t h = 0; h < 24; ++h) {
    air[h] = 33.0 - 11.0 * fractionOfRange[h];
    sun[h] = westIrradiance[h];
  }
  return std::get<std::vector<double>>(solAirProfile(air, sun, SolAirSurface{0.7, 0.9, 0.0, 0.04}));
}

std::vector<double> hourly(double mean, double amplitude, double peakHour) {
  std::vector<double> samples(24);
  for (std::size_t h = 0; h < 24; ++h) {
    samples[h] = mean + amplitude * std::cos(kTwoPi * (static_cast<double>(h) - peakHour) / 24.0);
  }
  return samples;
}

class FiniteDifferenceTest : public testing::TestWithParam<BruskTest::ProfileWall> {};

TEST_P(FiniteDifferenceTest, AgreesWithTheHarmonicResponseWithinOnePercentOfTheSwing) {
  const WallRequest& wall = GetParam().request;
  // A room with a small evening swing; side 2 the sol-air day or, for a partition, a warmer
  // neighbouring room with a sharp afternoon peak.
  const std::vector<double> indoor = hourly(25.0, 1.5, 18.0);
  std::vector<double> outdoor = solAirDay();
  if (wall.position == ElementPosition::Internal) {
    outdoor = hourly(27.0, 2.0, 16.0);
    for (std::size_t h = 14; h < 18; ++h) outdoor[h] += 1.5;
  }
  const ProfileOutcome outcome = computeProfileResponse({wall, indoor, outdoor, 1});
  ASSERT_TRUE(std::holds_alternative<ProfileResponse>(outcome));
  const ProfileResponse& response = std::get<ProfileResponse>(outcome);
  const Simulated simulated = simulate(wall, indoor, outdoor);

  const auto swingOf = [&](double ProfileSample::*field) {
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (const ProfileSample& sample : response.samples) {
      low = std::min(low, sample.*field);
      high = std::max(high, sample.*field);
    }
    return 0.5 * (high - low);
  };
  const double swingIn = swingOf(&ProfileSample::heatFlowIn);
  const double swingOut = swingOf(&ProfileSample::heatFlowOut);
  ASSERT_GT(swingIn, 0.1);
  for (std::size_t h = 0; h < 24; ++h) {
    EXPECT_NEAR(simulated.heatFlowIn[h], response.samples[h].heatFlowIn, 0.01 * swingIn) << h;
    EXPECT_NEAR(simulated.heatFlowOut[h], response.samples[h].heatFlowOut, 0.01 * swingOut) << h;
  }
}

INSTANTIATE_TEST_SUITE_P(Walls, FiniteDifferenceTest, testing::ValuesIn(BruskTest::profileWalls()),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
