// Walls given as strided columns: each row as computeInto computes its wall (bit for bit with
// the scalar kernel), whatever the strides, the thread count or the failures beside it; the
// layout faults and the engine's refusals come back per row, in row order. Under a pair of
// profiles each row responds as its request does alone, and a refusal stops before any row.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/engine/many_columns.h"
#include "brusk/engine/periodic_profile.h"
#include "brusk/engine/quantities.h"
#include "brusk/engine/wall.h"
#include "brusk/engine/wall_result.h"

namespace {

using namespace Brusk::Engine;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

/// Rows of up to three layers, stored column-major (a transposed NumPy array) so that the row
/// stride is 1 and the column stride the row count.
struct Columns {
  std::size_t rows = 0;
  std::vector<double> thickness, conductivity, density, specificHeat;

  void add(const std::vector<LayerProperties>& layers) {
    rowsOf.push_back(layers);
    ++rows;
  }
  ColumnWalls walls() {
    thickness.assign(rows * 3, kNaN);
    conductivity.assign(rows * 3, 1.0);
    density.assign(rows * 3, 1000.0);
    specificHeat.assign(rows * 3, 1000.0);
    for (std::size_t r = 0; r < rows; ++r) {
      for (std::size_t c = 0; c < rowsOf[r].size(); ++c) {
        thickness[c * rows + r] = rowsOf[r][c].thickness;
        conductivity[c * rows + r] = rowsOf[r][c].conductivity;
        density[c * rows + r] = rowsOf[r][c].density;
        specificHeat[c * rows + r] = rowsOf[r][c].specificHeat;
      }
    }
    const auto table = [&](const std::vector<double>& values) {
      return LayerTable{values.data(), rows, 3, 1, static_cast<std::ptrdiff_t>(rows)};
    };
    ColumnWalls walls;
    walls.thickness = table(thickness);
    walls.conductivity = table(conductivity);
    walls.density = table(density);
    walls.specificHeat = table(specificHeat);
    return walls;
  }
  std::vector<std::vector<LayerProperties>> rowsOf;
};

const LayerProperties kConcrete{0.2, 2.0, 2400.0, 1000.0, 0.0};
const LayerProperties kWool{0.1, 0.04, 30.0, 1030.0, 0.0};
const LayerProperties kBrick{0.24, 0.77, 1800.0, 1000.0, 0.0};

TEST(ManyColumns, EachRowAsComputeIntoWhateverTheThreads) {
  Columns columns;
  for (std::size_t i = 0; i < 9000; ++i) {
    LayerProperties wool = kWool;
    wool.thickness = 0.02 + 0.0001 * static_cast<double>(i % 997);
    columns.add(i % 3 == 0 ? std::vector{kConcrete} : std::vector{kBrick, wool, kConcrete});
  }
  ColumnWalls walls = columns.walls();
  for (const unsigned threads : {1U, 2U, 3U}) {
    std::vector<double> u(columns.rows), lag(columns.rows);
    ColumnResults results;
    results.uValue = u.data();
    results.timeLag = lag.data();
    ColumnOptions options;
    options.threads = threads;
    options.vectorKernel = false;
    EXPECT_TRUE(computeColumns(walls, results, options).empty()) << threads;
    for (const std::size_t row : {std::size_t{0}, std::size_t{1}, std::size_t{4095},
                                  std::size_t{4096}, std::size_t{8999}}) {
      WallRequest request = requestOfRow(walls, row);
      WallResult expected;
      ASSERT_FALSE(computeInto(request, expected).has_value()) << row;
      EXPECT_EQ(expected.uValue, u[row]) << "threads " << threads << ", row " << row;
      EXPECT_EQ(expected.timeLag, lag[row]) << "threads " << threads << ", row " << row;
    }
  }
}

TEST(ManyColumns, FailuresComeBackPerRowInOrder) {
  Columns columns;
  LayerProperties negative = kWool;
  negative.conductivity = -0.5;
  columns.add({kConcrete});
  columns.add({negative});  // row 1: the engine refuses it
  columns.add({kBrick});
  columns.add({kConcrete});
  ColumnWalls walls = columns.walls();
  columns.thickness[2 * columns.rows + 3] = 0.1;  // row 3: a layer after the NaN padding
  std::vector<double> u(columns.rows);
  ColumnResults results;
  results.uValue = u.data();

  struct Row {
    const char* label;
    bool stop;
    std::vector<std::size_t> failedRows;
    std::vector<RowFailure::Kind> kinds;
  };
  const Row rows[] = {
      {"all failures",
       false,
       {1, 3},
       {RowFailure::Kind::Engine, RowFailure::Kind::LayerAfterPadding}},
      {"the first only", true, {1}, {RowFailure::Kind::Engine}},
  };
  for (const Row& row : rows) {
    ColumnOptions options;
    options.stopAtFirstFailure = row.stop;
    const std::vector<RowFailure> failures = computeColumns(walls, results, options);
    ASSERT_EQ(row.failedRows.size(), failures.size()) << row.label;
    for (std::size_t i = 0; i < failures.size(); ++i) {
      EXPECT_EQ(row.failedRows[i], failures[i].row) << row.label;
      EXPECT_EQ(row.kinds[i], failures[i].kind) << row.label;
    }
    EXPECT_TRUE(std::isnan(u[1])) << row.label;
  }
  // Computed around the failures: rows 0 and 2 have their U.
  EXPECT_GT(u[0], 0.0);
  EXPECT_GT(u[2], 0.0);
}

TEST(ManyColumns, RaggedRowsReadAsTheirRequests) {
  // Walls of 1, 3, 0, kMaxLayers + 1 and 2 layers side by side in one list, with a pure
  // resistance, seconds for the period and one wall as a partition.
  const LayerProperties gap{0.0, 0.0, 0.0, 0.0, 0.18};
  const std::vector<std::vector<LayerProperties>> stacks = {
      {kConcrete},
      {kBrick, gap, kConcrete},
      {},
      std::vector<LayerProperties>(kMaxLayers + 1, kWool),
      {kWool, kBrick}};
  std::vector<std::size_t> begin{0};
  std::vector<double> thickness, conductivity, density, specificHeat, resistance;
  for (const auto& stack : stacks) {
    for (const LayerProperties& layer : stack) {
      thickness.push_back(layer.thickness);
      conductivity.push_back(layer.conductivity);
      density.push_back(layer.density);
      specificHeat.push_back(layer.specificHeat);
      resistance.push_back(layer.resistance);
    }
    begin.push_back(thickness.size());
  }
  const std::size_t rows = stacks.size();
  const auto list = [&](const std::vector<double>& values) {
    return LayerTable{values.data(), rows, 3, 0, 1};
  };
  const std::vector<double> seconds = {86400.0, 7.0 * 86400.0 / 3.0, 86400.0, 86400.0, 3600.5};
  const std::vector<double> partition = {0.0, 0.0, 0.0, 0.0, 1.0};
  ColumnWalls walls;
  walls.thickness = list(thickness);
  walls.conductivity = list(conductivity);
  walls.density = list(density);
  walls.specificHeat = list(specificHeat);
  walls.resistance = list(resistance);
  walls.layerBegin = begin.data();
  walls.periodSeconds = WallColumn::of(seconds.data(), 1);
  walls.partition = WallColumn::of(partition.data(), 1);

  std::vector<double> u(rows), lag(rows), capacity(rows);
  ColumnResults results;
  results.uValue = u.data();
  results.timeLag = lag.data();
  results.internalCapacity = capacity.data();
  ColumnOptions options;
  options.stopAtFirstFailure = false;
  options.vectorKernel = false;
  const std::vector<RowFailure> failures = computeColumns(walls, results, options);
  ASSERT_EQ(2u, failures.size());
  EXPECT_EQ(ProblemKind::NoLayers, failures[0].problem.kind);
  EXPECT_EQ(ProblemKind::TooManyLayers, failures[1].problem.kind);
  for (const std::size_t row : {std::size_t{0}, std::size_t{1}, std::size_t{4}}) {
    const WallRequest request = requestOfRow(walls, row);
    ASSERT_EQ(stacks[row].size(), request.layers.size()) << "row " << row;
    EXPECT_EQ(seconds[row], request.period) << "row " << row;
    WallResult expected;
    ASSERT_FALSE(computeInto(request, expected).has_value()) << "row " << row;
    EXPECT_EQ(expected.uValue, u[row]) << "row " << row;
    EXPECT_EQ(expected.timeLag, lag[row]) << "row " << row;
    EXPECT_EQ(expected.internalArealHeatCapacity, capacity[row]) << "row " << row;
  }
}

TEST(ManyColumns, APartitionIsAFlag) {
  // Whatever is not 0 or 1 is no answer to "are both faces inside?": refused, not taken as yes.
  Columns columns;
  for (int i = 0; i < 4; ++i) columns.add({kConcrete});
  ColumnWalls walls = columns.walls();
  const std::vector<double> partition = {0.0, 1.0, kNaN, 0.5};
  walls.partition = WallColumn::of(partition.data(), 1);
  std::vector<double> u(columns.rows);
  ColumnResults results;
  results.uValue = u.data();
  ColumnOptions options;
  options.stopAtFirstFailure = false;
  const std::vector<RowFailure> failures = computeColumns(walls, results, options);
  ASSERT_EQ(2u, failures.size());
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(i + 2, failures[i].row);
    EXPECT_EQ(RowFailure::Kind::PartitionNotFlag, failures[i].kind);
  }
  EXPECT_EQ(0.5, failures[1].problem.value);
  EXPECT_GT(u[0], u[1]);  // the partition's two inner surface resistances lower its U
}

TEST(ManyColumns, ARowIsARequestOrItsLayoutFault) {
  // What the profile response reads row by row: the layout faults computeColumns reports, and
  // every other row as its request, unchecked (row 1's negative conductivity is the engine's).
  Columns columns;
  LayerProperties negative = kWool;
  negative.conductivity = -0.5;
  for (const auto& layers : {std::vector{kConcrete}, std::vector{negative}, std::vector{kBrick},
                             std::vector{kConcrete}, std::vector{kBrick, kWool}}) {
    columns.add(layers);
  }
  ColumnWalls walls = columns.walls();
  columns.thickness[2 * columns.rows + 3] = 0.1;  // row 3: a layer after the NaN padding
  const std::vector<double> partition = {0.0, 0.0, 0.5, 0.0, 1.0};
  walls.partition = WallColumn::of(partition.data(), 1);
  const std::optional<RowFailure::Kind> expected[] = {
      std::nullopt, std::nullopt, RowFailure::Kind::PartitionNotFlag,
      RowFailure::Kind::LayerAfterPadding, std::nullopt};
  for (std::size_t row = 0; row < columns.rows; ++row) {
    const auto read = rowRequest(walls, row);
    if (const auto* failure = std::get_if<RowFailure>(&read)) {
      ASSERT_TRUE(expected[row].has_value()) << "row " << row;
      EXPECT_EQ(*expected[row], failure->kind) << "row " << row;
      EXPECT_EQ(row, failure->row);
      continue;
    }
    ASSERT_FALSE(expected[row].has_value()) << "row " << row;
    const WallRequest& request = std::get<WallRequest>(read);
    EXPECT_EQ(columns.rowsOf[row].size(), request.layers.size()) << "row " << row;
    EXPECT_EQ(requestOfRow(walls, row).position, request.position) << "row " << row;
  }
}

TEST(ManyColumns, EveryWallQuantityHasItsColumn) {
  // The front ends name the columns after the quantity description: a quantity without a
  // column, or one of the wrong type, would be an output that a door cannot give.
  std::vector<std::string_view> described;
  for (const Quantity& q : quantities()) {
    if (q.scope == QuantityScope::Wall) described.push_back(q.key);
  }
  const std::vector<ColumnOutput>& outputs = columnOutputs();
  ASSERT_EQ(described.size(), outputs.size());
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    const Quantity& q = *outputs[i].quantity;
    EXPECT_EQ(described[i], q.key) << i;
    const int places = (outputs[i].real != nullptr) + (outputs[i].complex != nullptr) +
                       (outputs[i].method != nullptr);
    EXPECT_EQ(1, places) << q.key;
    const bool right = q.type == QuantityType::Number    ? outputs[i].real != nullptr
                       : q.type == QuantityType::Complex ? outputs[i].complex != nullptr
                                                         : outputs[i].method != nullptr;
    EXPECT_TRUE(right) << q.key << " is a " << quantityTypeName(q.type);
  }
}

/// A day of hourly outdoor temperatures with a swing, a constant indoor one, analysed once.
AnalysedProfiles dayProfiles() {
  ProfileRequest request;
  for (int hour = 0; hour < 24; ++hour) {
    request.outdoor.push_back(12.0 +
                              8.0 * std::cos(kTwoPi * static_cast<double>(hour - 15) / 24.0));
  }
  request.indoor = {20.0};
  request.refinement = 2;
  return std::get<AnalysedProfiles>(analyseProfiles(request, 24.0 * kSecondsPerHour));
}

/// Every figure of a summary, the main harmonic among them, for comparing two bit for bit.
std::vector<double> figures(const ProfileSummary& s) {
  return {s.meanHeatFlowIn,
          s.peakHeatFlowIn,
          s.peakTime,
          s.minimumHeatFlowIn,
          s.minimumTime,
          s.energyGained,
          s.energyLost,
          s.outdoorPeakTime,
          s.peakDelay,
          s.innerSurfaceMaximum,
          s.innerSurfaceMaximumTime,
          s.innerSurfaceMinimum,
          s.innerSurfaceMinimumTime,
          static_cast<double>(s.mainHarmonic),
          s.mainHarmonicPeriod,
          s.effectiveDecrementFactor,
          s.effectiveTimeLag};
}

bool same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

/// Six rows for the profile response: row 1 refused by the engine (a negative conductivity),
/// row 3 a layout fault (a layer after the NaN padding), the others computable.
struct ProfileColumns {
  Columns columns;
  ColumnWalls walls;

  ProfileColumns() {
    LayerProperties negative = kWool;
    negative.conductivity = -0.5;
    for (const auto& layers :
         {std::vector{kConcrete}, std::vector{negative}, std::vector{kBrick, kWool},
          std::vector{kConcrete}, std::vector{kWool, kConcrete}, std::vector{kBrick}}) {
      columns.add(layers);
    }
    walls = columns.walls();
    columns.thickness[2 * columns.rows + 3] = 0.1;
  }
};

struct SeriesCase {
  const char* name;
  unsigned threads;
};

class ColumnProfileSeriesTest : public testing::TestWithParam<SeriesCase> {};

TEST_P(ColumnProfileSeriesTest, EachRowAsItsRequestAndTheFailuresNaN) {
  const AnalysedProfiles profiles = dayProfiles();
  ProfileColumns input;
  const std::size_t rows = input.columns.rows;
  const std::size_t m = profiles.outputCount;
  std::vector<double> flows(rows * m, 7.0), surfaces(rows * m, 7.0);
  std::vector<ProfileSummary> summaries(rows);
  ColumnSeriesOptions options;
  options.threads = GetParam().threads;
  options.stopAtFirstFailure = false;
  const std::vector<RowFailure> failures = computeColumnProfileSeries(
      input.walls, profiles, {flows.data(), surfaces.data(), summaries.data(), nullptr}, options);

  ASSERT_EQ(2u, failures.size());
  EXPECT_EQ(1u, failures[0].row);
  EXPECT_EQ(RowFailure::Kind::Engine, failures[0].kind);
  EXPECT_EQ(ProblemKind::NotPositive, failures[0].problem.kind);
  EXPECT_EQ(3u, failures[1].row);
  EXPECT_EQ(RowFailure::Kind::LayerAfterPadding, failures[1].kind);
  for (std::size_t row = 0; row < rows; ++row) {
    const bool failed = row == 1 || row == 3;
    ProfileSeries expected;
    if (!failed) {
      const WallRequest request = std::get<WallRequest>(rowRequest(input.walls, row));
      ASSERT_FALSE(computeProfileSeries(request, profiles, expected).has_value()) << row;
    }
    for (std::size_t j = 0; j < m; ++j) {
      const double flow = flows[row * m + j], surface = surfaces[row * m + j];
      if (failed) {
        EXPECT_TRUE(std::isnan(flow) && std::isnan(surface)) << "row " << row << " j " << j;
      } else {
        ASSERT_EQ(expected.heatFlowIn[j], flow) << "row " << row << " j " << j;
        ASSERT_EQ(expected.innerSurfaceTemperature[j], surface) << "row " << row << " j " << j;
      }
    }
    const std::vector<double> got = figures(summaries[row]);
    const std::vector<double> want = figures(expected.summary);
    for (std::size_t i = 0; i < got.size(); ++i) {
      if (failed) {
        // Every figure undefined but the main harmonic's number, which is 0 for none.
        EXPECT_TRUE(i == 13 ? got[i] == 0.0 : std::isnan(got[i])) << "row " << row << " " << i;
      } else {
        EXPECT_TRUE(same(want[i], got[i])) << "row " << row << " figure " << i;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Threads, ColumnProfileSeriesTest,
                         testing::Values(SeriesCase{"one_per_core", 0}, SeriesCase{"one", 1},
                                         SeriesCase{"four", 4}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(ColumnProfileSeries, StoppingReportsTheLowestRefusedRowBeforeComputingAny) {
  // Which comes first, an engine refusal or a layout fault, is the row order alone.
  struct Row {
    const char* label;
    std::optional<std::size_t> negativeRow;  ///< a negative conductivity there
    std::optional<std::size_t> paddingRow;   ///< a layer after the padding there
    std::optional<std::size_t> reported;
    RowFailure::Kind kind;
  };
  const Row table[] = {
      {"the engine's refusal below a layout fault", 1, 3, 1, RowFailure::Kind::Engine},
      {"a layout fault below the engine's refusal", 4, 2, 2, RowFailure::Kind::LayerAfterPadding},
      {"the last row alone", 5, std::nullopt, 5, RowFailure::Kind::Engine},
      {"every row computable", std::nullopt, std::nullopt, std::nullopt, RowFailure::Kind::Engine},
  };
  const AnalysedProfiles profiles = dayProfiles();
  for (const Row& row : table) {
    Columns columns;
    for (std::size_t r = 0; r < 6; ++r) {
      LayerProperties layer = kConcrete;
      if (row.negativeRow == r) layer.conductivity = -2.0;
      columns.add({layer});
    }
    const ColumnWalls walls = columns.walls();
    if (row.paddingRow) columns.thickness[2 * columns.rows + *row.paddingRow] = 0.1;
    std::vector<double> flows(columns.rows * profiles.outputCount, 7.0);
    std::vector<ProfileSummary> summaries(columns.rows);
    const std::vector<RowFailure> failures = computeColumnProfileSeries(
        walls, profiles, {flows.data(), nullptr, summaries.data(), nullptr}, {1, true});
    const std::optional<RowFailure> first = firstRefusedRow(walls);
    if (!row.reported) {
      EXPECT_TRUE(failures.empty()) << row.label;
      EXPECT_FALSE(first.has_value()) << row.label;
      EXPECT_NE(7.0, flows[0]) << row.label;
      continue;
    }
    ASSERT_EQ(1u, failures.size()) << row.label;
    EXPECT_EQ(*row.reported, failures[0].row) << row.label;
    EXPECT_EQ(row.kind, failures[0].kind) << row.label;
    ASSERT_TRUE(first.has_value()) << row.label;
    EXPECT_EQ(failures[0].row, first->row) << row.label;
    EXPECT_EQ(failures[0].kind, first->kind) << row.label;
    // Nothing computed: every sample still holds what the caller put there.
    for (const double flow : flows) ASSERT_EQ(7.0, flow) << row.label;
  }
}

}  // namespace
