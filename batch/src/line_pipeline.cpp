#include "brusk/batch/line_pipeline.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <istream>
#include <memory>
#include <mutex>
#include <ostream>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "brusk/frontend/error.h"

namespace Brusk::Batch {

using Frontend::Error;

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
  std::size_t blankLines = 0;
  bool refused = false;          // the chunk is one line too long to keep, its input a bare newline
  std::vector<InputLine> block;  // the lines being handed to the processor

  void reset() {
    input.clear();
    output.clear();
    errors.clear();
    lines = 0;
    blankLines = 0;
    refused = false;
  }
};

/// True for a line of spaces and tabs only (or none): no wall, and no row.
bool isBlank(std::string_view line) {
  for (const char c : line) {
    if (c != ' ' && c != '\t') return false;
  }
  return true;
}

std::string tooLongReason(std::size_t maxLineBytes) {
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  if (maxLineBytes % kMiB == 0) {
    return "line longer than " + std::to_string(maxLineBytes / kMiB) + " MiB";
  }
  return "line longer than " + std::to_string(maxLineBytes) + " bytes";
}

/// A LineProcessor seen as a BlockProcessor: each line processed when it is written.
class EachLine final : public BlockProcessor {
public:
  explicit EachLine(const LineProcessor& process) : _process(process) {}
  void prepare(const InputLine* lines, std::size_t) override { _lines = lines; }
  bool write(std::size_t index, std::string& output, std::string& error) override {
    return _process(_lines[index].text, _lines[index].number, output, error);
  }

private:
  const LineProcessor& _process;
  const InputLine* _lines = nullptr;
};

/// Hands the block to `process` and writes its lines in order; false after a bad line under
/// fail-fast.
bool processBlock(Chunk& chunk, BlockProcessor& process, const PipelineOptions& options) {
  if (chunk.block.empty()) return true;
  process.prepare(chunk.block.data(), chunk.block.size());
  std::string error;
  for (std::size_t index = 0; index < chunk.block.size(); ++index) {
    error.clear();
    ++chunk.lines;
    if (!process.write(index, chunk.output, error)) {
      chunk.errors.emplace_back(chunk.block[index].number, error);
      if (options.failFast) return false;
    }
  }
  return true;
}

void processChunk(Chunk& chunk, BlockProcessor& process, const PipelineOptions& options) {
  if (chunk.refused) {
    std::string error;
    const std::string reason = tooLongReason(options.maxLineBytes);
    if (options.refuseLine) {
      options.refuseLine(chunk.firstLine, reason, chunk.output, error);
    } else {
      error = "line " + std::to_string(chunk.firstLine) + ": " + reason;
    }
    chunk.lines = 1;
    chunk.errors.emplace_back(chunk.firstLine, error);
    return;
  }
  const std::size_t blockLines = std::max<std::size_t>(options.blockLines, 1);
  chunk.block.clear();
  const char* next = chunk.input.data();
  const char* const end = next + chunk.input.size();
  std::size_t lineNumber = chunk.firstLine;
  for (; next != end; ++lineNumber) {
    const auto* newline =
        static_cast<const char*>(std::memchr(next, '\n', static_cast<std::size_t>(end - next)));
    const char* lineEnd = newline != nullptr ? newline : end;
    std::string_view line(next, static_cast<std::size_t>(lineEnd - next));
    next = newline != nullptr ? newline + 1 : end;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    // A wall line starts with '{': only other lines need the closer look.
    if ((line.empty() || line.front() == ' ' || line.front() == '\t') && isBlank(line)) {
      ++chunk.blankLines;
      continue;
    }
    chunk.block.push_back({line, lineNumber});
    if (chunk.block.size() == blockLines) {
      if (!processBlock(chunk, process, options)) return;
      chunk.block.clear();
    }
  }
  processBlock(chunk, process, options);
}

/// Reads whole lines of about `chunkBytes` bytes; the partial last line waits for the next read.
/// A line longer than `maxLineBytes` becomes a chunk of its own, refused, whose bytes are skipped
/// as they are read rather than kept.
class ChunkReader {
public:
  ChunkReader(const InputSource& input, std::size_t chunkBytes, std::size_t maxLineBytes,
              const std::function<bool()>& cancelled)
      : _input(input),
        _maxLineBytes(std::max<std::size_t>(maxLineBytes, 1)),
        // No line within one read can then be too long: only one that spans reads.
        _chunkBytes(std::min(std::max<std::size_t>(chunkBytes, 64), _maxLineBytes)),
        _cancelled(cancelled) {}

  /// Fills `chunk.input` with whole lines; false at the end of input with nothing read, or on
  /// cancellation.
  bool next(Chunk& chunk) {
    ByteBuffer& bytes = chunk.input;
    bytes.clear();
    if (!_carry.empty()) std::memcpy(bytes.grow(_carry.size()), _carry.data(), _carry.size());
    _carry.clear();
    if (_carryHasLines) {
      // What followed a refused line, from one read: whole lines, then perhaps a partial one.
      _carryHasLines = false;
      const std::size_t newline = bytes.view().rfind('\n');
      if (newline != std::string_view::npos) {
        _carry.assign(bytes.data() + newline + 1, bytes.size() - newline - 1);
        bytes.shrink(newline + 1);
        return true;
      }
    }
    while (!_eof) {
      if (cancelled()) return false;
      const std::size_t old = bytes.size();
      const std::size_t count = _input(bytes.grow(_chunkBytes), _chunkBytes);
      bytes.shrink(old + count);
      if (count < _chunkBytes) _eof = true;
      // Only the new bytes can hold a newline: the carry and earlier reads of this chunk have
      // none, and a long line must not be searched again on every read.
      const std::size_t newline = bytes.view().substr(old).rfind('\n');
      if (newline == std::string_view::npos) {
        if (bytes.size() > _maxLineBytes) return refuse(chunk, std::string_view::npos);
        continue;
      }
      if (bytes.size() > _maxLineBytes) {
        // The first line, begun before this read, may be the one too long.
        const std::size_t first = old + bytes.view().substr(old).find('\n');
        if (first > _maxLineBytes) return refuse(chunk, first);
      }
      const std::size_t lineEnd = old + newline + 1;
      _carry.assign(bytes.data() + lineEnd, bytes.size() - lineEnd);
      bytes.shrink(lineEnd);
      break;
    }
    if (cancelled()) return false;
    return bytes.size() != 0;
  }

private:
  [[nodiscard]] bool cancelled() const { return _cancelled && _cancelled(); }

  /// Makes `chunk` the refused line that fills its buffer, reading on to the line's end at
  /// `newline` (npos: not read yet) and keeping what follows it.
  bool refuse(Chunk& chunk, std::size_t newline) {
    ByteBuffer& bytes = chunk.input;
    while (newline == std::string_view::npos && !_eof) {
      if (cancelled()) return false;
      bytes.clear();
      const std::size_t count = _input(bytes.grow(_chunkBytes), _chunkBytes);
      bytes.shrink(count);
      if (count < _chunkBytes) _eof = true;
      newline = bytes.view().find('\n');
    }
    if (newline != std::string_view::npos) {
      _carry.assign(bytes.data() + newline + 1, bytes.size() - newline - 1);
      _carryHasLines = true;
    }
    bytes.clear();
    *bytes.grow(1) = '\n';
    chunk.refused = true;
    return true;
  }

  const InputSource& _input;
  std::size_t _maxLineBytes;
  std::size_t _chunkBytes;
  const std::function<bool()>& _cancelled;
  std::string _carry;
  bool _carryHasLines = false;
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

unsigned maxJobs() { return 4 * std::max(1u, std::thread::hardware_concurrency()); }

PipelineSummary runBlockPipeline(const InputSource& input, std::ostream& output,
                                 const BlockProcessorFactory& makeProcessor,
                                 const PipelineOptions& options) {
  const unsigned jobs =
      std::min(options.jobs != 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency()),
               maxJobs());
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
  std::mutex readMutex;  // the input, the reader, the line count and the helper threads
  ChunkReader reader(input, chunkBytes, options.maxLineBytes, options.cancelled);
  std::size_t nextSequence = 0;
  std::size_t nextLine = 1;
  bool inputDone = false;
  // A thread more is started each time a chunk is read while fewer threads than chunks run, so
  // a short input never starts more threads than it has chunks.
  std::vector<std::thread> helpers;
  bool helpersClosed = false;

  std::mutex stateMutex;         // everything below
  std::condition_variable room;  // a chunk was written, or the run stops
  std::vector<std::shared_ptr<Chunk>> published(maxOutstanding);  // by sequence % maxOutstanding
  std::vector<std::shared_ptr<Chunk>> spare;                      // written chunks, for reuse
  std::size_t outstanding = 0;
  std::size_t nextToWrite = 0;
  bool writerActive = false;
  bool stop = false;
  std::exception_ptr failure;  // the first exception of any thread
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
      errno = 0;
      output.write(chunk->output.data(), static_cast<std::streamsize>(chunk->output.size()));
      const bool written = static_cast<bool>(output);
      const int writeError = errno;
      for (const auto& [lineNumber, reason] : chunk->errors) {
        if (options.onError) options.onError(lineNumber, reason);
      }
      summary.lines += chunk->lines;
      summary.failedLines += chunk->errors.size();
      summary.blankLines += chunk->blankLines;
      progress.linesDone = summary.lines;
      progress.bytesDone += chunk->input.size();
      progress.failedLines = summary.failedLines;
      if (options.onProgress) options.onProgress(progress);
      const bool stopHere = !written || (failFast && !chunk->errors.empty()) ||
                            (options.cancelled && options.cancelled());
      lock.lock();
      if (!written && !summary.outputFailed) {
        summary.outputFailed = true;
        summary.outputError = writeError;
      }
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

  const auto workLoop = [&](const std::function<void()>& startHelper) {
    std::unique_ptr<BlockProcessor> process;  // this thread's, made with its first chunk
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
          if (!helpersClosed && helpers.size() + 1 < jobs && helpers.size() < chunk->sequence) {
            startHelper();
          }
        } else {
          inputDone = true;
        }
      }
      if (!haveChunk) {
        std::lock_guard<std::mutex> lock(stateMutex);
        if (options.cancelled && options.cancelled()) {
          stop = true;
          summary.stoppedEarly = true;
        }
        --outstanding;
        spare.push_back(std::move(chunk));
        room.notify_all();
        return;
      }
      if (!process) process = makeProcessor();
      processChunk(*chunk, *process, options);

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

  // Any exception stops every thread; the first one is rethrown once all have been joined.
  std::function<void()> startHelper;
  const auto work = [&] {
    try {
      workLoop(startHelper);
    } catch (...) {
      std::lock_guard<std::mutex> lock(stateMutex);
      if (!failure) failure = std::current_exception();
      stop = true;
      room.notify_all();
    }
  };
  startHelper = [&] {
    try {
      helpers.emplace_back(work);
    } catch (const std::system_error&) {
      helpersClosed = true;  // the system has no more threads to give: go on with those there
    }
  };

  work();
  {
    std::lock_guard<std::mutex> lock(readMutex);
    helpersClosed = true;
  }
  for (std::thread& helper : helpers) helper.join();
  if (failure) std::rethrow_exception(failure);
  return summary;
}

PipelineSummary runLinePipeline(const InputSource& input, std::ostream& output,
                                const LineProcessor& process, const PipelineOptions& options) {
  return runBlockPipeline(
      input, output, [&process] { return std::make_unique<EachLine>(process); }, options);
}

PipelineSummary runLinePipeline(std::istream& input, std::ostream& output,
                                const LineProcessor& process, const PipelineOptions& options) {
  const InputSource source = [&input](char* buffer, std::size_t size) {
    input.read(buffer, static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(input.gcount());
  };
  return runLinePipeline(source, output, process, options);
}

InputSource descriptorInput(int descriptor, std::string name, std::function<bool()> cancelled,
                            int wakeDescriptor) {
  struct stat status {};
  // A regular file never keeps a read waiting: only other inputs need the wake-up call.
  const bool canBlock = ::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode);
  const int wake = canBlock ? wakeDescriptor : -1;
  return [descriptor, wake, name = std::move(name), cancelled = std::move(cancelled)](
             char* buffer, std::size_t size) -> std::size_t {
    const auto isCancelled = [&] { return cancelled && cancelled(); };
    std::size_t done = 0;
    while (done < size) {
      if (wake >= 0) {
        pollfd waiting[2] = {{descriptor, POLLIN, 0}, {wake, POLLIN, 0}};
        if (::poll(waiting, 2, -1) < 0) {
          if (errno == EINTR && !isCancelled()) continue;
          if (errno == EINTR) return done;
          throw Error(name + ": reading failed: " + std::strerror(errno));
        }
        if ((waiting[1].revents & POLLIN) != 0) return done;
      }
      const ssize_t count = ::read(descriptor, buffer + done, size - done);
      if (count < 0) {
        if (errno == EINTR && !isCancelled()) continue;
        if (errno == EINTR) return done;
        throw Error(name + ": reading failed: " + std::strerror(errno));
      }
      if (count == 0) break;
      done += static_cast<std::size_t>(count);
    }
    return done;
  };
}

}  // namespace Brusk::Batch
