#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

namespace Brusk::Batch {

/// Turns one input line into its output text (appended to `output`, newline included).
/// Returns false when the line is bad; `error` then says why, and `output` holds the row that
/// carries the error. Called concurrently from several threads: it must not share mutable state.
using LineProcessor = std::function<bool(std::string_view line, std::size_t lineNumber,
                                         std::string& output, std::string& error)>;

/// Progress so far, handed to a progress callback from the thread that writes the output.
struct Progress {
  std::size_t linesDone = 0;
  std::size_t bytesDone = 0;
  std::size_t failedLines = 0;
};

/// How the pipeline runs.
struct PipelineOptions {
  unsigned jobs = 0;                  ///< worker threads; 0 means every core
  bool failFast = false;              ///< stop after the first bad line (in input order)
  std::size_t chunkBytes = 1u << 18;  ///< input bytes handed to a worker at a time
  /// Called for each bad line, in input order, with its number and reason.
  std::function<void(std::size_t lineNumber, const std::string& error)> onError;
  /// Called after each written chunk.
  std::function<void(const Progress&)> onProgress;
  /// Polled between chunks; returning true abandons the run (an interrupt).
  std::function<bool()> cancelled;
};

/// What a run did.
struct PipelineSummary {
  std::size_t lines = 0;        ///< lines processed and written
  std::size_t failedLines = 0;  ///< of which bad
  bool stoppedEarly = false;    ///< fail-fast stop or cancellation before the end of input
};

/// Streams `input` line by line through `process` on several threads and writes the outputs to
/// `output` in input order. Memory stays bounded by a few chunks per worker, whatever the input's
/// size. Empty lines (and a final line without newline) are handled like any other line; a
/// trailing carriage return is stripped.
PipelineSummary runLinePipeline(std::istream& input, std::ostream& output,
                                const LineProcessor& process, const PipelineOptions& options);

}  // namespace Brusk::Batch
