#include "brusk/batch/line_pipeline.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <istream>
#include <memory>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

namespace Brusk::Batch {

namespace {

/// Input bytes of all chunks read and not yet written. A chunk takes some five times its input
/// in memory (its input, up to twice as much output, buffers grown to twice their need), so
/// this keeps a run within about 20 MB whatever the number of threads.
constexpr std::size_t kInputInFlight = std::size_t{4} << 20;

/// Chunks read and not yet written, at most; chunks get smaller as threads get more.
constexpr std::size_t kMaxChunks = 128;

/// The smallest chunk, a few dozen walls, below which handing chunks around costs too much.
constexpr std::size_t kMinChunkBytes = std::size_t{16} << 10;

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

/// A run of whole lines, read and processed by one thread, written in input order. Chunks are
/// recycled, so their buffers keep their capacity and a run allocates only while warming up.
struct Chunk {
  ByteBuffer input;
  std::size_t sequence = 0;   // 0-based place of the chunk in the input
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
  // Chunks read but not yet written: slack lets the other threads run ahead while one chunk
  // takes long. With many threads the chunks get smaller, so that memory stays bounded.
  const std::size_t maxOutstanding = std::min(4 * static_cast<std::size_t>(jobs) + 4, kMaxChunks);
  const std::size_t chunkBytes =
      std::min(options.chunkBytes, std::max(kInputInFlight / maxOutstanding, kMinChunkBytes));
  const bool failFast = options.failFast;

  // Every thread, the caller's included, reads a chunk, processes it and publishes it; whichever
  // thread finds the oldest unwritten chunk published writes it and every one done after it.
  // A chunk is thus read and processed on one core while it is hot in that core's cache, and no
  // thread sits between the workers and the files.
  std::mutex readMutex;  // the input, the reader and the line count
  ChunkReader reader(input, chunkBytes);
  std::size_t nextSequence = 0;
  std::size_t nextLine = 1;
  bool inputDone = false;

  std::mutex stateMutex;         // everything below
  std::condition_variable room;  // a chunk was written, or the run stops
  std::vector<std::shared_ptr<Chunk>> published(maxOutstanding);  // by sequence % maxOutstanding
  std::vector<std::shared_ptr<Chunk>> spare;                      // written chunks, for reuse
  std::size_t outstanding = 0;
  std::size_t nextToWrite = 0;
  bool writerActive = false;
  bool stop = false;
  PipelineSummary summary;
  Progress progress;

  // Writes published chunks in order while the next one is there; called with the state lock
  // held by the one thread that holds the writer role.
  const auto writeReady = [&](std::unique_lock<std::mutex>& lock) {
    for (;;) {
      std::shared_ptr<Chunk>& slot = published[nextToWrite % maxOutstanding];
      if (!slot || stop) return;
      std::shared_ptr<Chunk> chunk = std::move(slot);
      lock.unlock();
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
      const bool stopHere =
          (failFast && !chunk->errors.empty()) || (options.cancelled && options.cancelled());
      lock.lock();
      if (stopHere) {
        stop = true;
        summary.stoppedEarly = true;
      }
      ++nextToWrite;
      --outstanding;
      spare.push_back(std::move(chunk));
      room.notify_all();
    }
  };

  const auto work = [&] {
    for (;;) {
      std::shared_ptr<Chunk> chunk;
      {
        std::unique_lock<std::mutex> lock(stateMutex);
        room.wait(lock, [&] { return stop || outstanding < maxOutstanding; });
        if (stop) return;
        ++outstanding;
        if (spare.empty()) {
          chunk = std::make_shared<Chunk>();
        } else {
          chunk = std::move(spare.back());
          spare.pop_back();
          chunk->reset();
        }
      }
      bool haveChunk = false;
      {
        std::lock_guard<std::mutex> lock(readMutex);
        if (!inputDone && reader.next(*chunk)) {
          haveChunk = true;
          chunk->sequence = nextSequence++;
          chunk->firstLine = nextLine;
          nextLine += countLines(chunk->input.view());
        } else {
          inputDone = true;
        }
      }
      if (!haveChunk) {
        std::lock_guard<std::mutex> lock(stateMutex);
        --outstanding;
        spare.push_back(std::move(chunk));
        room.notify_all();
        return;
      }
      processChunk(*chunk, process, failFast);

      std::unique_lock<std::mutex> lock(stateMutex);
      published[chunk->sequence % maxOutstanding] = std::move(chunk);
      // Published and checked under one lock: a writer that has not seen this chunk is still
      // writing and will, or has let go of the role, which then falls to this thread.
      if (writerActive) continue;
      writerActive = true;
      writeReady(lock);
      writerActive = false;
    }
  };

  std::vector<std::thread> helpers;
  helpers.reserve(jobs - 1);
  for (unsigned i = 1; i < jobs; ++i) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
  return summary;
}

}  // namespace Brusk::Batch
