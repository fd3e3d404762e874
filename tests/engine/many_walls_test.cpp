// The many-wall kernel against the one-wall kernel: every field within 1e-12 of its magnitude
// (the tolerance of kernel_agreement_test.cpp, whose plain evaluation supplies the magnitudes),
// the same walls refused, and each wall's result independent of its neighbours and threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "brusk/engine/many_walls.h"
#include "brusk/engine/periodic_response.h"
#include "brusk/engine/wall_result.h"
#include "periodic_reference.h"

namespace {

using namespace Brusk::Engine;
using namespace Brusk::Testing;

constexpr double kTolerance = 1e-12;
constexpr double kHour = 3600.0, kDay = 86400.0;
/// Unit in the last place of 1.
constexpr double kEpsilon = 2.220446049250313e-16;

#if defined(__SANITIZE_ADDRESS__)
constexpr int kWallScale = 10;  // the sanitizer build runs a tenth of the walls
#else
constexpr int kWallScale = 1;
#endif

const InstructionSet kInstructionSets[] = {InstructionSet::Baseline, InstructionSet::Avx2,
                                           InstructionSet::Avx512};

/// Random walls of a family with their boundaries and periods, as the kernel reads them.
struct RandomWalls {
  std::vector<std::vector<LayerProperties>> layers;
  std::vector<ElementBoundary> boundaries;
  std::vector<double> periods;
  ManyWallsInput input;
};

RandomWalls makeWalls(const WallFamily& family, int wallCount) {
  std::mt19937_64 random(family.seed);
  std::uniform_real_distribution<double> surfaceResistance(0.0, 0.25),
      logPeriod(std::log(family.minPeriod), std::log(family.maxPeriod));
  std::bernoulli_distribution partition(0.3);
  RandomWalls walls;
  for (int wall = 0; wall < wallCount; ++wall) {
    walls.layers.push_back(randomLayers(family, random));
    walls.boundaries.push_back(
        ElementBoundary{surfaceResistance(random), surfaceResistance(random), partition(random)});
    walls.periods.push_back(std::exp(logPeriod(random)));
    walls.input.add(walls.layers.back().data(), walls.layers.back().size(), walls.boundaries.back(),
                    walls.periods.back());
  }
  return walls;
}

std::string nameOf(InstructionSet instructionSet) { return instructionSetName(instructionSet); }

/// The largest error seen, in units of the last place of the term's magnitude.
double worstUlps = 0.0;

void expectAgrees(double actual, double expected, double magnitude, const std::string& what) {
  const double error = std::abs(actual - expected);
  EXPECT_LE(error, kTolerance * magnitude)
      << what << ": " << actual << " vs " << expected << " (magnitude " << magnitude << ")";
  if (magnitude > 0.0) worstUlps = std::max(worstUlps, error / (magnitude * kEpsilon));
}

void expectAgrees(const Complex& actual, const Complex& expected, const Tracked& reference,
                  const std::string& what) {
  expectAgrees(actual.getRealPart(), expected.getRealPart(), reference.magnitude, what + ".re");
  expectAgrees(actual.getImaginaryPart(), expected.getImaginaryPart(), reference.magnitude,
               what + ".im");
}

using AgreementCase = std::tuple<WallFamily, InstructionSet>;

class ManyWallsAgreementTest : public ::testing::TestWithParam<AgreementCase> {};

TEST_P(ManyWallsAgreementTest, EveryWallMatchesTheOneWallKernel) {
  const auto& [family, instructionSet] = GetParam();
  if (!isSupported(instructionSet)) GTEST_SKIP() << nameOf(instructionSet) << " not on this CPU";
  const RandomWalls walls = makeWalls(family, family.wallCount / kWallScale);
  ManyWallsOutput output;
  ManyWallsOptions options;
  options.instructionSet = instructionSet;
  options.threads = 2;
  computeManyWalls(walls.input, output, options);

  worstUlps = 0.0;
  int refused = 0;
  for (std::size_t wall = 0; wall < walls.layers.size(); ++wall) {
    const std::vector<LayerProperties>& layers = walls.layers[wall];
    const std::string where = std::string(family.name) + " wall " + std::to_string(wall);
    PeriodicResponse expected;
    const bool finite = computePeriodicResponse(
        layers.data(), layers.size(), walls.boundaries[wall], walls.periods[wall], expected);
    PeriodicResponse actual;
    ASSERT_EQ(output.response(wall, actual), finite) << where;
    if (!finite) {
      ++refused;
      EXPECT_TRUE(std::isnan(output.arrays().uValue[wall])) << where;
      continue;
    }
    const Reference reference =
        referenceResponse(layers, walls.boundaries[wall], walls.periods[wall]);
    expectAgrees(actual.z11, expected.z11, reference.z11, where + " z11");
    expectAgrees(actual.z12, expected.z12, reference.z12, where + " z12");
    expectAgrees(actual.z21, expected.z21, reference.z21, where + " z21");
    expectAgrees(actual.z22, expected.z22, reference.z22, where + " z22");
    expectAgrees(actual.internalAdmittance, expected.internalAdmittance,
                 reference.internalAdmittance, where + " Y11");
    expectAgrees(actual.externalAdmittance, expected.externalAdmittance,
                 reference.externalAdmittance, where + " Y22");
    expectAgrees(actual.periodicThermalTransmittance, expected.periodicThermalTransmittance,
                 reference.transmittance, where + " Y12");
    expectAgrees(actual.internalArealHeatCapacity, expected.internalArealHeatCapacity,
                 reference.internalCapacity.magnitude, where + " kappa1");
    expectAgrees(actual.externalArealHeatCapacity, expected.externalArealHeatCapacity,
                 reference.externalCapacity.magnitude, where + " kappa2");
    expectAgrees(actual.decrementFactor, expected.decrementFactor,
                 reference.decrementFactor.magnitude, where + " f");
    // The steady state involves no transcendental function: the same operations in the same
    // order give the same bits.
    EXPECT_EQ(actual.thermalResistance, expected.thermalResistance) << where;
    EXPECT_EQ(actual.uValue, expected.uValue) << where;
  }
  if (family.maxThickness > 1.0) {
    EXPECT_GT(refused, static_cast<int>(walls.layers.size()) / 10);
  }
  std::cout << family.name << " " << nameOf(instructionSet) << ": worst error " << worstUlps
            << " ulp of the magnitude, " << refused << " refused\n";
  RecordProperty("worst_ulps", std::to_string(worstUlps));
}

// 100,000 walls in all.
const WallFamily kFamilies[] = {
    // Building layers from renders to thick masonry, cycles from an hour to a month.
    WallFamily{"building", 11u, 50000, 0.005, 0.5, kHour, 30 * kDay},
    // Films and foils: xi down to about 1e-6.
    WallFamily{"films", 13u, 25000, 1e-6, 5e-3, kHour, 30 * kDay},
    // Metres of material on short cycles: matrices near and past overflow.
    WallFamily{"thick", 14u, 25000, 0.5, 20.0, kHour, kDay},
};

INSTANTIATE_TEST_SUITE_P(RandomWalls, ManyWallsAgreementTest,
                         ::testing::Combine(::testing::ValuesIn(kFamilies),
                                            ::testing::ValuesIn(kInstructionSets)),
                         [](const auto& testInfo) {
                           return std::string(std::get<0>(testInfo.param).name) + "_" +
                                  nameOf(std::get<1>(testInfo.param));
                         });

/// Every column of wall `index` of `output`, as bits.
std::vector<std::uint64_t> bitsOf(ManyWallsOutput& output, std::size_t index) {
  const ResponseArrays a = output.arrays();
  const double values[] = {a.z11.real[index],
                           a.z11.imaginary[index],
                           a.z12.real[index],
                           a.z12.imaginary[index],
                           a.z21.real[index],
                           a.z21.imaginary[index],
                           a.z22.real[index],
                           a.z22.imaginary[index],
                           a.internalAdmittance.real[index],
                           a.internalAdmittance.imaginary[index],
                           a.externalAdmittance.real[index],
                           a.externalAdmittance.imaginary[index],
                           a.periodicThermalTransmittance.real[index],
                           a.periodicThermalTransmittance.imaginary[index],
                           a.internalArealHeatCapacity[index],
                           a.externalArealHeatCapacity[index],
                           a.thermalResistance[index],
                           a.uValue[index],
                           a.decrementFactor[index],
                           static_cast<double>(a.computed[index])};
  std::vector<std::uint64_t> bits(std::size(values));
  std::memcpy(bits.data(), values, sizeof values);
  return bits;
}

/// Wall count (not a multiple of the lanes: partial groups), threads, instruction set.
using IndependenceCase = std::tuple<int, unsigned, InstructionSet>;

class ManyWallsIndependenceTest : public ::testing::TestWithParam<IndependenceCase> {};

TEST_P(ManyWallsIndependenceTest, AWallsBitsDoNotDependOnItsNeighboursOrThreads) {
  const auto& [wallCount, threads, instructionSet] = GetParam();
  if (!isSupported(instructionSet)) GTEST_SKIP() << nameOf(instructionSet) << " not on this CPU";
  const WallFamily family{"mixed", 21u, wallCount, 1e-4, 3.0, kHour, 30 * kDay};
  const RandomWalls walls = makeWalls(family, wallCount);
  ManyWallsOptions options;
  options.instructionSet = instructionSet;

  // Each wall alone: the rest of its group is padding.
  std::vector<std::vector<std::uint64_t>> alone;
  for (std::size_t wall = 0; wall < walls.layers.size(); ++wall) {
    ManyWallsInput single;
    single.add(walls.layers[wall].data(), walls.layers[wall].size(), walls.boundaries[wall],
               walls.periods[wall]);
    ManyWallsOutput output;
    computeManyWalls(single, output, options);
    alone.push_back(bitsOf(output, 0));
  }

  // All of them in reverse order, shared between threads.
  ManyWallsInput reversed;
  for (std::size_t wall = walls.layers.size(); wall-- > 0;) {
    reversed.add(walls.layers[wall].data(), walls.layers[wall].size(), walls.boundaries[wall],
                 walls.periods[wall]);
  }
  options.threads = threads;
  ManyWallsOutput output;
  computeManyWalls(reversed, output, options);
  for (std::size_t wall = 0; wall < walls.layers.size(); ++wall) {
    EXPECT_EQ(bitsOf(output, walls.layers.size() - 1 - wall), alone[wall]) << "wall " << wall;
  }
}

INSTANTIATE_TEST_SUITE_P(Groups, ManyWallsIndependenceTest,
                         ::testing::Combine(::testing::Values(1, 7, 9, 67),
                                            ::testing::Values(1u, 3u),
                                            ::testing::ValuesIn(kInstructionSets)),
                         [](const auto& testInfo) {
                           return std::to_string(std::get<0>(testInfo.param)) + "walls_" +
                                  std::to_string(std::get<1>(testInfo.param)) + "threads_" +
                                  nameOf(std::get<2>(testInfo.param));
                         });

/// How far apart two time shifts [h] are on a cycle of `cycleHours`, across the wrap at T/2.
double shiftDistance(double a, double b, double cycleHours) {
  const double apart = std::abs(a - b);
  return std::min(apart, std::abs(apart - cycleHours));
}

std::uint64_t bitsOf(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

class ManyWallsDerivedTest : public ::testing::TestWithParam<InstructionSet> {};

TEST_P(ManyWallsDerivedTest, WhatTheResultAddsAgreesWithThePeriodicPathOfComputeInto) {
  const InstructionSet instructionSet = GetParam();
  if (!isSupported(instructionSet)) GTEST_SKIP() << nameOf(instructionSet) << " not on this CPU";
  const WallFamily family{"derived", 23u, 4000 / kWallScale, 1e-5, 3.0, kHour, 30 * kDay};
  RandomWalls walls = makeWalls(family, family.wallCount);
  // And walls that overflow for certain: 60 m of concrete on an hour's cycle, among the others.
  for (int copy = 0; copy < 3; ++copy) {
    walls.layers.insert(walls.layers.begin() + 5 * copy,
                        {LayerProperties::slab(60.0, 1.8, 2400.0, 1000.0)});
    walls.boundaries.insert(walls.boundaries.begin() + 5 * copy,
                            ElementBoundary{0.13, 0.04, false});
    walls.periods.insert(walls.periods.begin() + 5 * copy, kHour);
  }
  walls.input.clear();
  for (std::size_t wall = 0; wall < walls.layers.size(); ++wall) {
    walls.input.add(walls.layers[wall].data(), walls.layers[wall].size(), walls.boundaries[wall],
                    walls.periods[wall]);
  }
  ManyWallsOutput output;
  output.resize(0, ManyWallsOutput::Fields::Periodic);
  ManyWallsOptions options;
  options.instructionSet = instructionSet;
  computeManyWalls(walls.input, output, options);
  const ResponseArrays columns = output.arrays();
  // The baseline kernel is the one-wall path itself: its doubles are computeInto's.
  const bool exact = instructionSet == InstructionSet::Baseline;

  int refused = 0;
  worstUlps = 0.0;
  for (std::size_t wall = 0; wall < walls.layers.size(); ++wall) {
    const std::vector<LayerProperties>& layers = walls.layers[wall];
    const double period = walls.periods[wall];
    const std::string where = nameOf(instructionSet) + " wall " + std::to_string(wall);
    PeriodicResponse expected;
    const bool finite = computePeriodicResponse(layers.data(), layers.size(),
                                                walls.boundaries[wall], period, expected);
    WallResult actual;
    ASSERT_EQ(output.result(wall, actual), finite) << where;
    if (!finite) {
      ++refused;
      for (const double* column :
           {columns.period, columns.thickness, columns.timeLag, columns.internalAdmittanceShift,
            columns.periodicThermalTransmittanceModulus}) {
        EXPECT_TRUE(std::isnan(column[wall])) << where;
      }
      continue;
    }
    double thickness = 0.0, surfaceMass = 0.0;
    for (const LayerProperties& layer : layers) {
      thickness += layer.thickness;
      surfaceMass += layer.arealMass();
    }
    EXPECT_EQ(actual.period, period) << where;
    EXPECT_EQ(actual.thickness, thickness) << where;
    EXPECT_EQ(actual.surfaceMass, surfaceMass) << where;

    const Reference reference = referenceResponse(layers, walls.boundaries[wall], period);
    const double cycleHours = period / kHour;
    const struct {
      const char* name;
      Complex value;
      const Tracked& magnitude;
      double modulus, shift;
    } derived[] = {
        {"Y11", expected.internalAdmittance, reference.internalAdmittance,
         columns.internalAdmittanceModulus[wall], actual.internalAdmittanceShift},
        {"Y22", expected.externalAdmittance, reference.externalAdmittance,
         columns.externalAdmittanceModulus[wall], actual.externalAdmittanceShift},
        {"Y12", expected.periodicThermalTransmittance, reference.transmittance,
         columns.periodicThermalTransmittanceModulus[wall],
         actual.periodicThermalTransmittanceShift},
    };
    for (const auto& field : derived) {
      const double shift = timeShiftHours(field.value, period);
      const std::string what = where + " " + field.name;
      if (exact) {
        EXPECT_EQ(bitsOf(field.modulus), bitsOf(field.value.getModulus())) << what;
        EXPECT_EQ(bitsOf(field.shift), bitsOf(shift)) << what;
        continue;
      }
      expectAgrees(field.modulus, field.value.getModulus(), field.magnitude.magnitude,
                   what + " modulus");
      // arg moves by |dY| / |Y| where Y moves by dY, and atan2 adds an ulp of its own.
      const double phaseTolerance =
          2.0 * kTolerance * field.magnitude.magnitude / field.value.getModulus() + 4 * kEpsilon;
      EXPECT_LE(shiftDistance(field.shift, shift, cycleHours),
                cycleHours / (2.0 * 3.141592653589793) * phaseTolerance)
          << what << " shift " << field.shift << " vs " << shift;
    }
    const double lag = timeLagHours(expected.periodicThermalTransmittance, period);
    if (exact) {
      EXPECT_EQ(bitsOf(actual.timeLag), bitsOf(lag)) << where;
    } else {
      EXPECT_GE(actual.timeLag, 0.0) << where;
      EXPECT_LT(actual.timeLag, cycleHours) << where;
      EXPECT_NEAR(shiftDistance(actual.timeLag, lag, cycleHours), 0.0, 1e-9 * cycleHours) << where;
    }
  }
  EXPECT_GE(refused, 3) << "60 m of concrete on an hour's cycle overflows";
  std::cout << nameOf(instructionSet) << ": moduli within " << worstUlps
            << " ulp of the magnitude, " << refused << " refused\n";
}

INSTANTIATE_TEST_SUITE_P(Kernels, ManyWallsDerivedTest, ::testing::ValuesIn(kInstructionSets),
                         [](const auto& testInfo) { return nameOf(testInfo.param); });

/// Wall count (partial groups) and instruction set.
using LayoutCase = std::tuple<int, InstructionSet>;

class ManyWallsLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ManyWallsLayoutTest, InterleavedStridedAndMissingColumnsGiveTheSameBits) {
  const auto& [wallCount, instructionSet] = GetParam();
  if (!isSupported(instructionSet)) GTEST_SKIP() << nameOf(instructionSet) << " not on this CPU";
  const WallFamily family{"layout", 29u, wallCount, 1e-4, 3.0, kHour, 30 * kDay};
  const RandomWalls walls = makeWalls(family, wallCount);
  ManyWallsOptions options;
  options.instructionSet = instructionSet;
  ManyWallsOutput full;
  full.resize(0, ManyWallsOutput::Fields::Periodic);
  computeManyWalls(walls.input, full, options);
  const ResponseArrays expected = full.arrays();

  // Z11 as complex numbers (pairs), Y11 in two arrays read every third element, U and the lag
  // alone: everything else is not wanted.
  const auto count = static_cast<std::size_t>(wallCount);
  std::vector<std::complex<double>> z11(count);
  std::vector<double> y11Real(3 * count), y11Imaginary(3 * count), u(count), lag(count);
  std::vector<std::uint8_t> computed(count);
  ResponseArrays sparse;
  sparse.z11 = {reinterpret_cast<double*>(z11.data()), reinterpret_cast<double*>(z11.data()) + 1,
                2};
  sparse.internalAdmittance = {y11Real.data(), y11Imaginary.data(), 3};
  sparse.uValue = u.data();
  sparse.timeLag = lag.data();
  sparse.computed = computed.data();
  computeManyWalls(walls.input.arrays(), sparse, options);

  for (std::size_t wall = 0; wall < count; ++wall) {
    const std::string where = "wall " + std::to_string(wall);
    EXPECT_EQ(bitsOf(z11[wall].real()), bitsOf(expected.z11.real[wall])) << where;
    EXPECT_EQ(bitsOf(z11[wall].imag()), bitsOf(expected.z11.imaginary[wall])) << where;
    EXPECT_EQ(bitsOf(y11Real[3 * wall]), bitsOf(expected.internalAdmittance.real[wall])) << where;
    EXPECT_EQ(bitsOf(y11Imaginary[3 * wall]), bitsOf(expected.internalAdmittance.imaginary[wall]))
        << where;
    EXPECT_EQ(bitsOf(u[wall]), bitsOf(expected.uValue[wall])) << where;
    EXPECT_EQ(bitsOf(lag[wall]), bitsOf(expected.timeLag[wall])) << where;
    EXPECT_EQ(computed[wall], expected.computed[wall]) << where;
  }
}

INSTANTIATE_TEST_SUITE_P(Groups, ManyWallsLayoutTest,
                         ::testing::Combine(::testing::Values(1, 7, 9, 67),
                                            ::testing::ValuesIn(kInstructionSets)),
                         [](const auto& testInfo) {
                           return std::to_string(std::get<0>(testInfo.param)) + "walls_" +
                                  nameOf(std::get<1>(testInfo.param));
                         });

TEST(ManyWallsDispatch, DefaultFollowsTheEnvironmentCap) {
  // CTest runs this suite once more with BRUSK_MANY_WALLS_ISA=baseline, forcing the fallback.
  InstructionSet cap = InstructionSet::Avx512;
  if (const char* name = std::getenv("BRUSK_MANY_WALLS_ISA")) {
    cap = InstructionSet::Baseline;
    for (InstructionSet named : kInstructionSets) {
      if (nameOf(named) == name) cap = named;
    }
  }
  InstructionSet widest = InstructionSet::Baseline;
  for (InstructionSet candidate : kInstructionSets) {
    if (isSupported(candidate) && candidate <= cap) widest = candidate;
  }
  EXPECT_EQ(nameOf(defaultInstructionSet()), nameOf(widest));
  std::cout << "many-wall kernel: " << nameOf(defaultInstructionSet()) << "\n";
}

TEST(ManyWallsDispatch, NoWallsWritesNothing) {
  ManyWallsInput none;
  ManyWallsOutput output;
  computeManyWalls(none, output, ManyWallsOptions{4, std::nullopt});
  EXPECT_EQ(output.wallCount(), 0u);
}

}  // namespace
