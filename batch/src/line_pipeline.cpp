#include "brusk/batch/line_pipeline.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <istream>
#include <memory>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

namespace Brusk::Batch {

namespace {

/// Bytes that are only ever overwritten by reads, so growing them needs no zero fill.
class ByteBuffer {
public:
  [[nodiscard]] char* data() { return _bytes.get(); }
  [[nodiscard]] std::size_t size() const { return _size; }
  [[nodiscard]] std::string_view view() const { return {_bytes.get(), _size}; }
  void clear() { _size = 0; }
  void shrink(std::size_t size) { _size = size; }

  /// Makes room for `extra` more bytes past size() and returns where they start.
  char* grow(std::size_t extra) {
    if (_size + extra > _capacity) {
      const std::size_t capacity = std::max(_size + extra, 2 * _capacity);
      std::unique_ptr<char[]> bytes(new char[capacity]);
      if (_size != 0) std::memcpy(bytes.get(), _bytes.get(), _size);
      _bytes = std::move(bytes);
      _capacity = capacity;
    }
    char* end = _bytes.get() + _size;
    _size += extra;
    return end;
  }

private:
  std::unique_ptr<char[]> _bytes;
  std::size_t _size = 0;
  std::size_t _capacity = 0;
};

/// A run of whole lines, processed by one worker, written by the caller's thread. Chunks are
/// recycled, so their buffers keep their capacity and a run allocates only while warming up.
struct Chunk {
  ByteBuffer input;
  std::size_t firstLine = 0;  // 1-based number of the chunk's first line
  std::string output;
  std::vector<std::pair<std::size_t, std::string>> errors;  // line number, reason
  std::size_t lines = 0;
  bool done = false;

  void reset() {
    input.clear();
    output.clear();
    errors.clear();
    lines = 0;
    done = false;
  }
};

void processChunk(Chunk& chunk, const LineProcessor& process, bool failFast) {
  const char* next = chunk.input.data();
  const char* const end = next + chunk.input.size();
  std::string error;
  std::size_t lineNumber = chunk.firstLine;
  while (next != end) {
    const auto* newline =
        static_cast<const char*>(std::memchr(next, '\n', static_cast<std::size_t>(end - next)));
    const char* lineEnd = newline != nullptr ? newline : end;
    std::string_view line(next, static_cast<std::size_t>(lineEnd - next));
    next = newline != nullptr ? newline + 1 : end;
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
    ByteBuffer& bytes = chunk.input;
    bytes.clear();
    if (!_carry.empty()) std::memcpy(bytes.grow(_carry.size()), _carry.data(), _carry.size());
    _carry.clear();
    while (!_eof) {
      const std::size_t old = bytes.size();
      char* target = bytes.grow(_chunkBytes);
      _input.read(target, static_cast<std::streamsize>(_chunkBytes));
      bytes.shrink(old + static_cast<std::size_t>(_input.gcount()));
      if (!_input) _eof = true;
      // Only the new bytes can hold a newline: the carry and earlier reads of this chunk have
      // none, and a long line must not be searched again on every read.
      const std::size_t newline = bytes.view().substr(old).rfind('\n');
      if (newline != std::string_view::npos) {
        const std::size_t lineEnd = old + newline + 1;
        _carry.assign(bytes.data() + lineEnd, bytes.size() - lineEnd);
        bytes.shrink(lineEnd);
        break;
      }
    }
    return bytes.size() != 0;
  }

private:
  std::istream& _input;
  std::size_t _chunkBytes;
  std::string _carry;
  bool _eof = false;
};

std::size_t countLines(std::string_view text) {
  std::size_t lines = 0;
  const char* next = text.data();
  const char* const end = next + text.size();
  while (next != end) {
    const auto* newline =
        static_cast<const char*>(std::memchr(next, '\n', static_cast<std::size_t>(end - next)));
    ++lines;  // a final line without newline counts too
    if (newline == nullptr) break;
    next = newline + 1;
  }
  return lines;
}

}  // namespace

PipelineSummary runLinePipeline(std::istream& input, std::ostream& output,
                                const LineProcessor& process, const PipelineOptions& options) {
  const unsigned jobs =
      options.jobs != 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
  const std::size_t maxInFlight = 2 * static_cast<std::size_t>(jobs) + 2;

  std::mutex mutex;
  std::condition_variable work;                 // a chunk waits for a worker, or the run is over
  std::condition_variable ready;                // a chunk is done
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
  std::vector<std::shared_ptr<Chunk>> spare;  // written chunks, for reuse

  while (!stop) {
    // Keep the workers fed, within the memory bound.
    while (inputLeft && inFlight.size() < maxInFlight) {
      std::shared_ptr<Chunk> chunk;
      if (spare.empty()) {
        chunk = std::make_shared<Chunk>();
      } else {
        chunk = std::move(spare.back());
        spare.pop_back();
        chunk->reset();
      }
      if (!reader.next(*chunk)) {
        inputLeft = false;
        break;
      }
      chunk->firstLine = nextLine;
      nextLine += countLines(chunk->input.view());
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
    spare.push_back(std::move(chunk));
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
