#include "brusk/batch/line_pipeline.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <numeric>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace Brusk::Batch;

/// Echoes "number:line", and fails lines that start with "bad".
bool echo(std::string_view line, std::size_t lineNumber, std::string& output, std::string& error) {
  output += std::to_string(lineNumber) + ":" + std::string(line) + "\n";
  if (line.substr(0, 3) == "bad") {
    error = "bad line";
    return false;
  }
  return true;
}

std::string numberedInput(std::size_t count, std::size_t badLine = 0) {
  std::string text;
  for (std::size_t i = 1; i <= count; ++i) {
    text += (i == badLine ? "bad" : "wall") + std::to_string(i) + "\n";
  }
  return text;
}

/// What `echo` makes of numberedInput(count) without bad lines, in input order.
std::string echoedOutput(std::size_t count) {
  std::string text;
  for (std::size_t i = 1; i <= count; ++i) {
    text += std::to_string(i) + ":wall" + std::to_string(i) + "\n";
  }
  return text;
}

struct PipelineCase {
  const char* name;
  unsigned jobs;
  std::size_t chunkBytes;
  std::size_t lines;
};

class PipelineOrderTest : public ::testing::TestWithParam<PipelineCase> {};

TEST_P(PipelineOrderTest, OutputFollowsInputOrder) {
  const PipelineCase& c = GetParam();
  std::istringstream in(numberedInput(c.lines));
  std::ostringstream out;
  PipelineOptions options;
  options.jobs = c.jobs;
  options.chunkBytes = c.chunkBytes;
  const PipelineSummary summary = runLinePipeline(in, out, echo, options);
  EXPECT_EQ(summary.lines, c.lines);
  EXPECT_EQ(summary.failedLines, 0u);
  EXPECT_EQ(out.str(), echoedOutput(c.lines));
}

INSTANTIATE_TEST_SUITE_P(Shapes, PipelineOrderTest,
                         ::testing::Values(PipelineCase{"one_job", 1, 64, 1000},
                                           PipelineCase{"four_jobs_small_chunks", 4, 64, 5000},
                                           PipelineCase{"two_jobs_big_chunk", 2, 1 << 20, 5000},
                                           // More threads than chunks may be in flight.
                                           PipelineCase{"threads_wait_for_chunks", 200, 64, 3000},
                                           PipelineCase{"empty_input", 2, 64, 0}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(LinePipeline, SlowChunksDoNotReorderOrLoseOutput) {
  // Some lines stall their chunk, so later chunks finish first and the writing passes from
  // thread to thread; every row must still come out once, in input order.
  std::istringstream in(numberedInput(4000));
  std::ostringstream out;
  PipelineOptions options;
  options.jobs = 4;
  options.chunkBytes = 64;
  const auto stalling = [](std::string_view line, std::size_t lineNumber, std::string& output,
                           std::string& error) {
    if (lineNumber % 97 == 0) std::this_thread::sleep_for(std::chrono::microseconds(300));
    return echo(line, lineNumber, output, error);
  };
  const PipelineSummary summary = runLinePipeline(in, out, stalling, options);
  EXPECT_EQ(summary.lines, 4000u);
  EXPECT_EQ(out.str(), echoedOutput(4000));
}

TEST(LinePipeline, BadLineIsReportedAndTheRunGoesOn) {
  std::istringstream in(numberedInput(3000, 1234));
  std::ostringstream out;
  std::vector<std::size_t> reported;
  PipelineOptions options;
  options.jobs = 3;
  options.chunkBytes = 100;
  options.onError = [&](std::size_t line, const std::string& reason) {
    reported.push_back(line);
    EXPECT_EQ(reason, "bad line");
  };
  const PipelineSummary summary = runLinePipeline(in, out, echo, options);
  EXPECT_EQ(summary.lines, 3000u);
  EXPECT_EQ(summary.failedLines, 1u);
  EXPECT_FALSE(summary.stoppedEarly);
  EXPECT_EQ(reported, std::vector<std::size_t>{1234});
  EXPECT_NE(out.str().find("1234:bad1234\n1235:wall1235\n"), std::string::npos);
}

TEST(LinePipeline, FailFastStopsAfterTheFirstBadLine) {
  std::istringstream in(numberedInput(3000, 700));
  std::ostringstream out;
  PipelineOptions options;
  options.jobs = 2;
  options.chunkBytes = 100;
  options.failFast = true;
  const PipelineSummary summary = runLinePipeline(in, out, echo, options);
  EXPECT_TRUE(summary.stoppedEarly);
  EXPECT_EQ(summary.failedLines, 1u);
  const std::string text = out.str();
  EXPECT_EQ(text.substr(text.size() - 11), "700:bad700\n") << text.substr(text.size() - 40);
}

TEST(LinePipeline, LastLineWithoutNewlineAndCarriageReturns) {
  std::istringstream in("a\r\nb\n\nc");
  std::ostringstream out;
  PipelineOptions options;
  options.jobs = 2;
  const PipelineSummary summary = runLinePipeline(in, out, echo, options);
  // The empty line gets no row, and the line after it keeps its number.
  EXPECT_EQ(summary.lines, 3u);
  EXPECT_EQ(summary.blankLines, 1u);
  EXPECT_EQ(out.str(), "1:a\n2:b\n4:c\n");
}

TEST(LinePipeline, CancellationStopsBetweenChunks) {
  std::istringstream in(numberedInput(10000));
  std::ostringstream out;
  PipelineOptions options;
  options.jobs = 2;
  options.chunkBytes = 64;
  std::size_t polls = 0;
  options.cancelled = [&] { return ++polls == 3; };
  const PipelineSummary summary = runLinePipeline(in, out, echo, options);
  EXPECT_TRUE(summary.stoppedEarly);
  EXPECT_LT(summary.lines, 10000u);
}

/// `echo` a block at a time, noting the size of every block it is given.
class EchoBlocks final : public BlockProcessor {
public:
  EchoBlocks(std::mutex& mutex, std::vector<std::size_t>& sizes) : _mutex(mutex), _sizes(sizes) {}
  void prepare(const InputLine* lines, std::size_t count) override {
    _lines.assign(lines, lines + count);
    const std::lock_guard<std::mutex> lock(_mutex);
    _sizes.push_back(count);
  }
  bool write(std::size_t index, std::string& output, std::string& error) override {
    return echo(_lines[index].text, _lines[index].number, output, error);
  }

private:
  std::mutex& _mutex;
  std::vector<std::size_t>& _sizes;
  std::vector<InputLine> _lines;
};

TEST(LinePipeline, BlocksHoldEveryLineOnceAndFailFastStopsInsideOne) {
  std::string expected = echoedOutput(3000);
  expected.replace(expected.find("1234:wall1234"), 13, "1234:bad1234");
  for (const bool failFast : {false, true}) {
    std::istringstream in(numberedInput(3000, 1234));
    const InputSource source = [&in](char* buffer, std::size_t size) {
      in.read(buffer, static_cast<std::streamsize>(size));
      return static_cast<std::size_t>(in.gcount());
    };
    std::mutex mutex;
    std::vector<std::size_t> sizes;
    std::ostringstream out;
    PipelineOptions options;
    options.jobs = 3;
    options.chunkBytes = 4096;  // some 400 lines: full blocks and a shorter last one
    options.blockLines = 50;
    options.failFast = failFast;
    const PipelineSummary summary = runBlockPipeline(
        source, out, [&] { return std::make_unique<EchoBlocks>(mutex, sizes); }, options);
    EXPECT_EQ(summary.failedLines, 1u);
    for (const std::size_t size : sizes) EXPECT_LE(size, 50u);
    if (failFast) {
      // Line 1234 is in the middle of its block: the rows after it are not written.
      EXPECT_EQ(out.str(), expected.substr(0, expected.find("1235:")));
    } else {
      EXPECT_EQ(out.str(), expected);
      EXPECT_EQ(summary.lines, 3000u);
      EXPECT_EQ(std::accumulate(sizes.begin(), sizes.end(), std::size_t{0}), 3000u);
    }
  }
}

}  // namespace
