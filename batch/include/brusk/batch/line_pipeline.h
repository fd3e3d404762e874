#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

namespace Brusk::Batch {

/// Turns one input line into its output text (appended to `output`, newline included).
/// Returns false when the line is bad; `error` then says why, and `output` holds the row that
/// carries the error. Called concurrently from several threads: it must not share mutable state.
/// An exception it throws stops the run and leaves runLinePipeline.
using LineProcessor = std::function<bool(std::string_view line, std::size_t lineNumber,
                                         std::string& output, std::string& error)>;

/// One line as a processor sees it: without its newline or a trailing carriage return.
struct InputLine {
  std::string_view text;
  std::size_t number = 0;  ///< 1-based line number in the input
};

/// Processes lines a block at a time, for work that goes faster on many lines at once (the
/// many-wall kernel). For each block the pipeline calls prepare() with the block's lines, then
/// write() for each of them in order, stopping after a bad one under fail-fast. One processor
/// serves one thread, so it may keep state from block to block; an exception it throws stops
/// the run and leaves runLinePipeline.
class BlockProcessor {
public:
  virtual ~BlockProcessor() = default;
  /// Sees every line of a block (`count` >= 1) before any of them is written. The lines stay
  /// valid until the next prepare().
  virtual void prepare(const InputLine* lines, std::size_t count) = 0;
  /// Appends the output of line `index` of the block, as a LineProcessor does for one line.
  virtual bool write(std::size_t index, std::string& output, std::string& error) = 0;
};

/// Makes the processor of one worker thread; called by each thread before its first block,
/// possibly by several threads at once.
using BlockProcessorFactory = std::function<std::unique_ptr<BlockProcessor>()>;

/// Makes the output row and the message of a line that never reaches the processor because it
/// is longer than PipelineOptions::maxLineBytes; `reason` says so.
using LineRefusal = std::function<void(std::size_t lineNumber, const std::string& reason,
                                       std::string& output, std::string& error)>;

/// Fills `buffer` with up to `size` input bytes and returns how many. Returns fewer only at the
/// end of the input (0 when nothing is left) or when the run is cancelled. Throws when reading
/// fails.
using InputSource = std::function<std::size_t(char* buffer, std::size_t size)>;

/// Progress so far, handed to a progress callback from the thread that writes the output.
struct Progress {
  std::size_t linesDone = 0;
  std::size_t bytesDone = 0;
  std::size_t failedLines = 0;
};

/// The most threads a run starts: four per core, since more only cost memory and switching.
[[nodiscard]] unsigned maxJobs();

/// The longest line a run accepts by default: a line is one wall, and a wall file is at most
/// this long too.
inline constexpr std::size_t kDefaultMaxLineBytes = std::size_t{4} << 20;

/// How the pipeline runs.
struct PipelineOptions {
  unsigned jobs = 0;                  ///< worker threads; 0 means every core; capped at maxJobs()
  bool failFast = false;              ///< stop after the first bad line (in input order)
  std::size_t chunkBytes = 1u << 18;  ///< input bytes handed to a worker at a time
  /// Most lines of a chunk handed to a BlockProcessor at once, so that the processor's memory
  /// stays bounded however short the lines are.
  std::size_t blockLines = 256;
  /// Longer lines are not processed but refused as bad lines, and skipped to their end without
  /// being kept in memory.
  std::size_t maxLineBytes = kDefaultMaxLineBytes;
  /// Row and message of a refused line; without it the row is left out and the message is
  /// "line N: reason".
  LineRefusal refuseLine;
  /// Called for each bad line, in input order, with its number and reason.
  std::function<void(std::size_t lineNumber, const std::string& error)> onError;
  /// Called after each written chunk.
  std::function<void(const Progress&)> onProgress;
  /// Polled between chunks and between reads of a long line; returning true abandons the run
  /// (an interrupt).
  std::function<bool()> cancelled;
};

/// What a run did.
struct PipelineSummary {
  std::size_t lines = 0;        ///< lines processed and written, blank lines not included
  std::size_t failedLines = 0;  ///< of which bad
  std::size_t blankLines = 0;   ///< empty or blank lines, skipped without an output row
  bool stoppedEarly = false;    ///< fail-fast stop, cancellation or failed output before the end
  bool outputFailed = false;    ///< writing the output failed; the run stopped there
  int outputError = 0;          ///< errno of the failed write, when known
};

/// Streams `input` line by line through `process` on several threads and writes the outputs to
/// `output` in input order. Memory stays bounded by a few chunks per worker, whatever the input's
/// size, and threads are started only as chunks of work appear. Empty and blank lines (spaces and
/// tabs only) are skipped, later lines keeping their numbers; a final line without newline is
/// handled like any other line; a trailing carriage return is stripped. An exception thrown by
/// `input`, `process` or a callback stops every thread and is rethrown here.
PipelineSummary runLinePipeline(const InputSource& input, std::ostream& output,
                                const LineProcessor& process, const PipelineOptions& options);

/// The same, reading from a stream.
PipelineSummary runLinePipeline(std::istream& input, std::ostream& output,
                                const LineProcessor& process, const PipelineOptions& options);

/// The same, with the lines of each chunk handed to a processor of the worker's own in blocks of
/// at most PipelineOptions::blockLines lines.
PipelineSummary runBlockPipeline(const InputSource& input, std::ostream& output,
                                 const BlockProcessorFactory& makeProcessor,
                                 const PipelineOptions& options);

/// Reads a file descriptor with ::read, so that a signal interrupting a read is seen: the input
/// ends there when `cancelled` says so. Unless it is -1, `wakeDescriptor` is polled beside an
/// input that can block (a pipe, a terminal); its becoming readable ends the input as well, so
/// that a signal handler can wake the reader whichever thread the signal reached. Throws
/// Frontend::Error naming `name` when a read fails.
[[nodiscard]] InputSource descriptorInput(int descriptor, std::string name,
                                          std::function<bool()> cancelled, int wakeDescriptor = -1);

}  // namespace Brusk::Batch
