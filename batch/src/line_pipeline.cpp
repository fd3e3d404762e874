#include "brusk/batch/line_pipeline.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <istream>
#include <memory>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

namespace Brusk::Batch {

namespace {

/// A run of whole lines, processed by one worker, written by the caller's thread.
struct Chunk {
  std::string input;
  std::size_t firstLine = 0;  // 1-based number of the chunk's first line
  std::string output;
  std::vector<std::pair<std::size_t, std::string>> errors;  // line number, reason
  std::size_t lines = 0;
  bool done = false;
};

void processChunk(Chunk& chunk, const LineProcessor& process, bool failFast) {
  std::string_view rest(chunk.input);
  std::string error;
  std::size_t lineNumber = chunk.firstLine;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    error.clear();
    ++chunk.lines;
    if (!process(line, lineNumber, chunk.output, error)) {
      chunk.errors.emplace_back(lineNumber, error);
      if (failFast) break;
    }
    ++lineNumber;
  }
}

/// Reads whole lines of about `chunkBytes` bytes; the partial last line waits for the next read.
class ChunkReader {
public:
  ChunkReader(std::istream& input, std::size_t chunkBytes)
      : _input(input), _chunkBytes(std::max<std::size_t>(chunkBytes, 64)) {}

  /// Fills `chunk.input` with whole lines; false at end of input with nothing read.
  bool next(Chunk& chunk) {
    chunk.input.swap(_carry);
    _carry.clear();
    while (!_eof) {
      const std::size_t old = chunk.input.size();
      chunk.input.resize(old + _chunkBytes);
      _input.read(&chunk.input[old], static_cast<std::streamsize>(_chunkBytes));
      chunk.input.resize(old + static_cast<std::size_t>(_input.gcount()));
      if (!_input) _eof = true;
      const std::size_t lastNewline = chunk.input.rfind('\n');
      if (lastNewline != std::string::npos) {
        _carry.assign(chunk.input, lastNewline + 1, std::string::npos);
        chunk.input.resize(lastNewline + 1);
        break;
      }
    }
    return !chunk.input.empty();
  }

private:
  std::istream& _input;
  std::size_t _chunkBytes;
  std::string _carry;
  bool _eof = false;
};

std::size_t countLines(const std::string& text) {
  const auto newlines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  return newlines + (!text.empty() && text.back() != '\n' ? 1 : 0);
}

}  // namespace

PipelineSummary runLinePipeline(std::istream& input, std::ostream& output,
                                const LineProcessor& process, const PipelineOptions& options) {
  const unsigned jobs =
      options.jobs != 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
  const std::size_t maxInFlight = 2 * static_cast<std::size_t>(jobs) + 2;

  std::mutex mutex;
  std::condition_variable work;  // a chunk waits for a worker, or the run is over
  std::condition_variable ready;  // a chunk is done
  std::deque<std::shared_ptr<Chunk>> pending;   // to be processed
  std::deque<std::shared_ptr<Chunk>> inFlight;  // in input order, until written
  bool finished = false;
  const bool failFast = options.failFast;

  std::vector<std::thread> workers;
  workers.reserve(jobs);
  for (unsigned i = 0; i < jobs; ++i) {
    workers.emplace_back([&] {
      for (;;) {
        std::shared_ptr<Chunk> chunk;
        {
          std::unique_lock<std::mutex> lock(mutex);
          work.wait(lock, [&] { return finished || !pending.empty(); });
          if (pending.empty()) return;
          chunk = pending.front();
          pending.pop_front();
        }
        processChunk(*chunk, process, failFast);
        {
          std::lock_guard<std::mutex> lock(mutex);
          chunk->done = true;
        }
        ready.notify_all();
      }
    });
  }

  PipelineSummary summary;
  Progress progress;
  ChunkReader reader(input, options.chunkBytes);
  std::size_t nextLine = 1;
  bool inputLeft = true;
  bool stop = false;

  while (!stop) {
    // Keep the workers fed, within the memory bound.
    while (inputLeft && inFlight.size() < maxInFlight) {
      auto chunk = std::make_shared<Chunk>();
      if (!reader.next(*chunk)) {
        inputLeft = false;
        break;
      }
      chunk->firstLine = nextLine;
      nextLine += countLines(chunk->input);
      std::lock_guard<std::mutex> lock(mutex);
      inFlight.push_back(chunk);
      pending.push_back(chunk);
      work.notify_one();
    }
    if (inFlight.empty()) break;

    std::shared_ptr<Chunk> chunk;
    {
      std::unique_lock<std::mutex> lock(mutex);
      ready.wait(lock, [&] { return inFlight.front()->done; });
      chunk = inFlight.front();
      inFlight.pop_front();
    }
    output.write(chunk->output.data(), static_cast<std::streamsize>(chunk->output.size()));
    for (const auto& [lineNumber, reason] : chunk->errors) {
      if (options.onError) options.onError(lineNumber, reason);
    }
    summary.lines += chunk->lines;
    summary.failedLines += chunk->errors.size();
    progress.linesDone = summary.lines;
    progress.bytesDone += chunk->input.size();
    progress.failedLines = summary.failedLines;
    if (options.onProgress) options.onProgress(progress);

    if ((failFast && !chunk->errors.empty()) || (options.cancelled && options.cancelled())) {
      stop = true;
      summary.stoppedEarly = true;
    }
  }

  {
    std::lock_guard<std::mutex> lock(mutex);
    finished = true;
    pending.clear();
  }
  work.notify_all();
  for (std::thread& worker : workers) worker.join();
  return summary;
}

}  // namespace Brusk::Batch
