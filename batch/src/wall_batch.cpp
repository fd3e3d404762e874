#include "brusk/batch/wall_batch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "brusk/batch/atomic_file.h"
#include "brusk/batch/line_pipeline.h"
#include "brusk/batch/progress_bar.h"
#include "brusk/engine/constants.h"
#include "brusk/engine/many_wall_results.h"
#include "brusk/engine/wall.h"
#include "brusk/engine/wall_result.h"
#include "brusk/frontend/bridged_wall.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/element_output.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/line_wall_name.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/text_util.h"
#include "brusk/frontend/wall_parser.h"
#include "brusk/frontend/wall_schema.h"
#include "fast_wall_line.h"
#include "interrupts.h"
#include "moisture_batch.h"
#include "response_block.h"

namespace Brusk::Batch {

namespace {

using Frontend::Catalogue;
using Frontend::Error;
using Frontend::Wall;

/// Writes results or errors for one output format.
class RowWriter {
public:
  explicit RowWriter(bool csv) : _csv(csv) {
    if (_csv) {
      Frontend::appendCsvHeader(_header);
      _header.pop_back();
      _columns = static_cast<std::size_t>(std::count(_header.begin(), _header.end(), ',')) + 1;
      _header += ",error\n";
    }
  }

  [[nodiscard]] const std::string& header() const { return _header; }
  [[nodiscard]] bool csv() const { return _csv; }

  /// A computed wall's row; an element's JSON line carries its ISO 6946 fields after the
  /// wall's, as `brusk compute --format json` prints them (the CSV keeps one header for every
  /// line, so its rows hold the wall's columns only).
  void result(const Wall& wall, const Engine::WallResult& result, std::string& out,
              const Frontend::ExtraFields* extras = nullptr) const {
    if (_csv) {
      Frontend::appendCsvRow(wall.name, result, out);
      out.back() = ',';  // empty error column
      out += '\n';
    } else if (extras != nullptr && !extras->empty()) {
      out += Frontend::formatJson({{wall.name, result}}, Frontend::JsonLayout::Compact, {*extras});
    } else {
      Frontend::appendJson(wall.name, result, out, Frontend::JsonLayout::Compact);
      out += '\n';
    }
  }

  /// A row that keeps the line's place in the output and says why it has no result, under the
  /// wall's name (Frontend::lineWallName).
  void error(std::size_t lineNumber, const std::string& name, const std::string& reason,
             std::string& out) const {
    if (_csv) {
      Frontend::appendCsvText(name, out);
      out.append(_columns, ',');
      Frontend::appendCsvText(reason, out);
      out += '\n';
    } else {
      out += "{\"line\":" + std::to_string(lineNumber) + ",\"name\":";
      Frontend::appendJsonString(name, out);
      out += ",\"error\":";
      Frontend::appendJsonString(reason, out);
      out += "}\n";
    }
  }

private:
  bool _csv;
  std::string _header;
  std::size_t _columns = 0;
};

/// What every worker of a run shares, read only.
struct BatchContext {
  const Catalogue& catalogue;
  const RowWriter& writer;
  const std::string& sourceName;
  double period;  ///< T [s]
  /// The many-wall vector kernel, on one thread (the pipeline owns the threads); false for the
  /// single-wall kernel, `brusk compute`'s doubles.
  bool vectorKernel;
};

/// One worker's walls, a block of lines at a time: every line read first, the walls that read
/// computed in one call of the engine's many-wall entry point, then each line's row or error.
/// The walls, requests and results are kept from block to block, so their layers and strings
/// are reused.
class WallBlock final : public BlockProcessor {
public:
  explicit WallBlock(const BatchContext& context) : _context(context) {}

  void prepare(const InputLine* lines, std::size_t count) override {
    _lines = lines;
    if (_walls.size() < count) {
      _walls.resize(count);
      _readError.resize(count);
      _slot.resize(count);
    }
    std::size_t computed = 0;
    for (std::size_t i = 0; i < count; ++i) {
      if (!read(lines[i], _walls[i], _readError[i])) {
        _slot[i] = kNotRead;
        continue;
      }
      _walls[i].request.period = _context.period;
      if (!_walls[i].element.empty()) {
        computeElement(lines[i], i);
        continue;
      }
      // The engine takes the requests side by side: lend it the wall's, without a copy.
      if (computed == _requests.size()) _requests.emplace_back();
      std::swap(_requests[computed], _walls[i].request);
      _slot[i] = computed++;
    }
    if (_results.size() < computed) {
      _results.resize(computed);
      _problems.resize(computed);
    }
    if (computed != 0) {
      // One engine entry for both kernels: the baseline instruction set is the single-wall
      // kernel, computeInto's doubles bit for bit.
      Engine::ManyWallsOptions options;
      if (!_context.vectorKernel) options.instructionSet = Engine::InstructionSet::Baseline;
      Engine::computeManyInto(_requests.data(), computed, _results.data(), _problems.data(),
                              options);
    }
    for (std::size_t i = 0; i < count; ++i) {
      if (_slot[i] < computed) std::swap(_requests[_slot[i]], _walls[i].request);
    }
  }

  bool write(std::size_t index, std::string& out, std::string& error) override {
    const std::size_t lineNumber = _lines[index].number;
    const std::size_t slot = _slot[index];
    if (slot == kElement) {
      _context.writer.result(_walls[index], _elementResults[index], out, &_elementExtras[index]);
      return true;
    }
    if (slot == kNotRead) {
      error = _readError[index];
      _context.writer.error(lineNumber, Frontend::lineWallName(_lines[index].text, lineNumber),
                            error, out);
      return false;
    }
    const Wall& wall = _walls[index];
    if (const std::optional<Engine::WallProblem>& problem = _problems[slot]) {
      // The wall reads but cannot be computed (its matrix overflows): the message names it
      // and its layers, so a wall read without its labels is read again with them.
      const Wall& named = withLabels(_lines[index], wall);
      error = _context.sourceName + ":" + std::to_string(lineNumber) + ": " +
              Frontend::describeProblem(*problem, named);
      _context.writer.error(lineNumber, wall.name, error, out);
      return false;
    }
    _context.writer.result(wall, _results[slot], out);
    return true;
  }

private:
  static constexpr std::size_t kNotRead = static_cast<std::size_t>(-1);
  /// A wall of parts, air gaps or corrections, computed on its own as `brusk compute` does.
  static constexpr std::size_t kElement = kNotRead - 1;

  /// Computes the element wall of line `index` into its own result, or its refusal into the
  /// line's error.
  void computeElement(const InputLine& line, std::size_t index) {
    if (_elementResults.size() <= index) {
      _elementResults.resize(index + 1);
      _elementExtras.resize(index + 1);
    }
    try {
      const Engine::ElementResult element = Frontend::computeElementWall(_walls[index]);
      _elementResults[index] = element.wall;
      if (!_context.writer.csv())
        _elementExtras[index] = Frontend::elementExtras(_walls[index], element);
      _slot[index] = kElement;
    } catch (const Error& elementError) {
      _readError[index] =
          _context.sourceName + ":" + std::to_string(line.number) + ": " + elementError.what();
      _slot[index] = kNotRead;
    }
  }

  /// `wall` as read from `line`, with its layer labels: itself when it has them, else the line
  /// read again with them.
  const Wall& withLabels(const InputLine& line, const Wall& wall) {
    if (wall.labels.size() == wall.request.layers.size()) return wall;
    // The same reader that accepted the line accepts it again, now filling the labels.
    if (!readPlainWallLine(line.text, _context.catalogue, line.number, _labelled)) return wall;
    _labelled.request.period = wall.request.period;
    return _labelled;
  }

  /// Reads one line into `wall`; false with the reader's message in `error` when it is bad. A
  /// plain line is read without layer labels: a result row has no use for them.
  bool read(const InputLine& line, Wall& wall, std::string& error) const {
    if (readPlainWallLine(line.text, _context.catalogue, line.number, wall, PlainLabels::Skip)) {
      return true;
    }
    // Anything outside the plain subset, valid or not, goes through the full reader, which
    // words what is wrong.
    const std::string source = _context.sourceName + ":" + std::to_string(line.number);
    try {
      wall = Frontend::parseWallLine(line.text, _context.catalogue, source,
                                     Frontend::Schema::defaultLineWallName(line.number));
    } catch (const Error& wallError) {
      error = wallError.what();
      return false;
    }
    return true;
  }

  const BatchContext& _context;
  const InputLine* _lines = nullptr;
  std::vector<Wall> _walls;             // per line of the block
  std::vector<std::string> _readError;  // per line: why it did not read
  std::vector<std::size_t> _slot;       // per line: its request and result, or kNotRead
  std::vector<Engine::WallRequest> _requests;
  std::vector<Engine::WallResult> _results;
  std::vector<std::optional<Engine::WallProblem>> _problems;
  std::vector<Engine::WallResult> _elementResults;    // per line, for element walls
  std::vector<Frontend::ExtraFields> _elementExtras;  // their ISO 6946 fields, for JSON lines
  Wall _labelled;  // a wall read again with its labels, for a message
};

std::size_t regularFileSize(int descriptor) {
  struct stat status {};
  if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) return 0;
  return static_cast<std::size_t>(status.st_size);
}

/// The input file, open for reading and closed at the end of the run.
class InputFile {
public:
  explicit InputFile(const std::string& path)
      : _descriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (_descriptor < 0) {
      throw Error(path + ": cannot open the input file: " + std::strerror(errno));
    }
    struct stat status {};
    if (::fstat(_descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
      ::close(_descriptor);
      throw Error(path + ": is a directory, not a file");
    }
  }
  ~InputFile() { ::close(_descriptor); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  [[nodiscard]] int descriptor() const { return _descriptor; }

private:
  int _descriptor;
};

/// The climate of the moisture mode, with the humidity-class options checked as one.
Frontend::Climate loadBatchClimate(const WallBatchOptions& options) {
  return Frontend::loadClimateFile(
      options.climate, options.humidityClass,
      Frontend::indoorTemperatureOf(options.humidityClass,
                                    options.indoorTemperatureGiven
                                        ? std::optional<double>(options.indoorTemperature)
                                        : std::nullopt));
}

}  // namespace

int runWallBatch(const WallBatchOptions& options, std::ostream& errors) {
  if (options.format != "csv" && options.format != "jsonl") {
    throw Error("--format must be csv or jsonl, got \"" + options.format + "\"");
  }
  if (options.kernel != "vector" && options.kernel != "scalar") {
    throw Error("--kernel must be vector or scalar, got \"" + options.kernel + "\"");
  }
  const std::optional<ResponseBatchProfiles>& response = options.response;
  if (!response) Frontend::requirePeriodHours(options.periodHours);
  const double period = options.periodHours * Engine::kSecondsPerHour;
  // From here on a signal only stops the run, which then removes what it began to write.
  InterruptGuard interrupts;
  const bool fromStandardInput = options.input == "-";
  std::optional<InputFile> file;
  if (!fromStandardInput) file.emplace(options.input);
  const int inputDescriptor = file ? file->descriptor() : STDIN_FILENO;
  const std::string sourceName = fromStandardInput ? "<stdin>" : options.input;

  // The destination is checked before any wall is computed.
  std::optional<AtomicOutputFile> outputFile;
  if (options.output != "-") {
    try {
      refuseToReplaceInput(options.output, inputDescriptor, sourceName);
      for (const std::string& materials : options.materialFiles) {
        refuseToReplaceInput(options.output, materials);
      }
      if (response) {
        for (const std::string& profile : response->files) {
          refuseToReplaceInput(options.output, profile);
        }
      }
      if (!options.climate.empty()) refuseToReplaceInput(options.output, options.climate);
      outputFile.emplace(options.output);
    } catch (const Error& error) {
      throw Error(std::string("-o: ") + error.what());
    }
  }
  std::ostream& output = outputFile ? static_cast<std::ostream&>(outputFile->stream()) : std::cout;

  const Catalogue catalogue = Catalogue::withFiles(options.materialFiles);

  const bool csv = options.format == "csv";
  const RowWriter writer(csv);
  if (response && !options.climate.empty()) {
    throw Error(
        "--outdoor (the periodic response) and --climate (the moisture assessment) are "
        "two modes of brusk batch: give one of them");
  }
  // The response's profiles, or the climate, are checked and analysed before any output is
  // written; with a climate, each line is assessed for moisture (moisture_batch.cpp) instead.
  std::optional<ResponseRun> responseRun;
  if (response) responseRun.emplace(*response, catalogue, sourceName, csv);
  std::optional<Detail::MoistureBatch> moisture;
  if (!options.climate.empty()) {
    moisture.emplace(catalogue, sourceName, loadBatchClimate(options), csv);
  }
  output << (response   ? responseHeader(*response, csv)
             : moisture ? moisture->header()
                        : writer.header());

  const BatchContext context{catalogue, writer, sourceName, period, options.kernel == "vector"};
  const BlockProcessorFactory makeProcessor = [&context, &responseRun,
                                               &moisture]() -> std::unique_ptr<BlockProcessor> {
    if (responseRun) return responseRun->makeProcessor();
    if (moisture) return moisture->makeBlock();
    return std::make_unique<WallBlock>(context);
  };

  std::unique_ptr<ProgressBar> progressBar;
  if (options.progress) {
    progressBar = std::make_unique<ProgressBar>(stderr, regularFileSize(inputDescriptor));
  }
  Progress lastProgress;

  PipelineOptions pipeline;
  pipeline.jobs = options.jobs;
  pipeline.failFast = options.failFast;
  pipeline.maxLineBytes = Frontend::kMaxWallFileBytes;
  // A wall's response is a series of up to kMaxResponseSamples values: one wall per block
  // keeps a worker's memory to one series.
  if (response) pipeline.blockLines = 1;
  pipeline.refuseLine = [&](std::size_t lineNumber, const std::string& reason, std::string& out,
                            std::string& error) {
    error = sourceName + ":" + std::to_string(lineNumber) + ": " + reason;
    if (response) {
      appendResponseError(*response, csv, lineNumber,
                          Frontend::Schema::defaultLineWallName(lineNumber), error, out);
    } else if (moisture) {
      moisture->error(lineNumber, Frontend::Schema::defaultLineWallName(lineNumber), error, out);
    } else {
      writer.error(lineNumber, Frontend::Schema::defaultLineWallName(lineNumber), error, out);
    }
  };
  pipeline.onError = [&](std::size_t, const std::string& reason) {
    if (progressBar) std::fputs("\r\033[K", stderr);
    errors << Frontend::visibleText(reason) << '\n';
  };
  pipeline.onProgress = [&](const Progress& progress) {
    lastProgress = progress;
    if (progressBar) progressBar->update(progress);
  };
  pipeline.cancelled = [] { return InterruptGuard::signal() != 0; };
  const InputSource input = descriptorInput(inputDescriptor, sourceName, pipeline.cancelled,
                                            InterruptGuard::wakeDescriptor());

  const PipelineSummary summary = runBlockPipeline(input, output, makeProcessor, pipeline);
  if (progressBar) progressBar->finish(lastProgress);
  errno = 0;
  const bool flushed = outputFile || static_cast<bool>(std::cout.flush());
  const int flushError = errno;

  if (const int signal = InterruptGuard::signal(); signal != 0) {
    errors << (signal == SIGPIPE ? "output closed by its reader (SIGPIPE)"
                                 : std::string("interrupted by ") + signalName(signal))
           << " after " << summary.lines << " walls; "
           << (outputFile ? "no output file written"
                          : std::to_string(summary.lines) + " rows were written to standard output")
           << '\n';
    return 128 + signal;
  }
  if (summary.outputFailed || !flushed) {
    const int reason = summary.outputFailed ? summary.outputError : flushError;
    errors << "brusk: "
           << (outputFile ? options.output + ": writing failed" : "cannot write to standard output")
           << (reason != 0 ? std::string(": ") + std::strerror(reason) : "")
           << (outputFile ? "; no output file written" : "") << '\n';
    return 1;
  }
  if (summary.stoppedEarly) {
    // --fail-fast: the output would be incomplete, so it is not kept.
    errors << "stopped at the first bad line (--fail-fast)"
           << (outputFile ? "; no output file written" : "") << '\n';
    return 1;
  }
  if (outputFile) outputFile->commit();
  if (summary.failedLines > 0) {
    errors << summary.failedLines << " of " << summary.lines << " walls failed";
    if (summary.blankLines > 0) errors << " (" << summary.blankLines << " blank lines skipped)";
    errors << '\n';
    return 1;
  }
  return 0;
}

}  // namespace Brusk::Batch
