#include "brusk/batch/wall_batch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <csignal>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>

#include "brusk/batch/atomic_file.h"
#include "brusk/batch/line_pipeline.h"
#include "brusk/batch/progress_bar.h"
#include "brusk/engine/constants.h"
#include "brusk/engine/wall.h"
#include "brusk/engine/wall_result.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/text_util.h"
#include "brusk/frontend/wall_parser.h"
#include "brusk/frontend/wall_schema.h"
#include "fast_wall_line.h"

namespace Brusk::Batch {

namespace {

using Frontend::Catalogue;
using Frontend::Error;
using Frontend::Wall;

volatile std::sig_atomic_t interruptSignal = 0;

extern "C" void recordInterrupt(int signal) { interruptSignal = signal; }

/// Routes SIGINT and SIGTERM to a flag for the run's duration, so an interrupted batch can
/// remove its partial output instead of dying with it.
class InterruptGuard {
public:
  InterruptGuard() {
    interruptSignal = 0;
    _previousInterrupt = std::signal(SIGINT, recordInterrupt);
    _previousTerminate = std::signal(SIGTERM, recordInterrupt);
  }
  ~InterruptGuard() {
    std::signal(SIGINT, _previousInterrupt);
    std::signal(SIGTERM, _previousTerminate);
  }
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
  void (*_previousInterrupt)(int);
  void (*_previousTerminate)(int);
};

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

  void result(const Wall& wall, const Engine::WallResult& result, std::string& out) const {
    if (_csv) {
      Frontend::appendCsvRow(wall.name, result, out);
      out.back() = ',';  // empty error column
      out += '\n';
    } else {
      Frontend::appendJson(wall.name, result, out, Frontend::JsonLayout::Compact);
      out += '\n';
    }
  }

  /// A row that keeps the line's place in the output and says why it has no result.
  void error(std::size_t lineNumber, const std::string& reason, std::string& out) const {
    if (_csv) {
      out.append(_columns, ',');
      Frontend::appendCsvText(reason, out);
      out += '\n';
    } else {
      out += "{\"line\":" + std::to_string(lineNumber) + ",\"error\":";
      Frontend::appendJsonString(reason, out);
      out += "}\n";
    }
  }

private:
  bool _csv;
  std::string _header;
  std::size_t _columns = 0;
};

std::size_t regularFileSize(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return 0;
  return static_cast<std::size_t>(status.st_size);
}

}  // namespace

int runWallBatch(const WallBatchOptions& options, std::ostream& errors) {
  if (options.format != "csv" && options.format != "jsonl") {
    throw Error("--format must be csv or jsonl, got \"" + options.format + "\"");
  }
  Frontend::requirePeriodHours(options.periodHours);
  const double period = options.periodHours * Engine::kSecondsPerHour;
  Catalogue catalogue = Catalogue::builtIn();
  for (const std::string& file : options.materialFiles) catalogue.addFile(file);

  const bool fromStandardInput = options.input == "-";
  std::ifstream file;
  if (!fromStandardInput) {
    file.open(options.input, std::ios::binary);
    if (!file) throw Error(options.input + ": cannot open the input file");
  }
  std::istream& input = fromStandardInput ? std::cin : file;
  const std::string sourceName = fromStandardInput ? "<stdin>" : options.input;

  std::optional<AtomicOutputFile> outputFile;
  if (options.output != "-") outputFile.emplace(options.output);
  std::ostream& output = outputFile ? static_cast<std::ostream&>(outputFile->stream()) : std::cout;

  const RowWriter writer(options.format == "csv");
  output << writer.header();

  const LineProcessor process = [&](std::string_view line, std::size_t lineNumber, std::string& out,
                                    std::string& error) {
    // Reused per thread: the plain reader keeps the layers and their strings from line to line.
    thread_local Wall plainWall;
    thread_local Engine::WallResult result;
    const Wall* wall = &plainWall;
    std::optional<Wall> fullWall;
    if (!readPlainWallLine(line, catalogue, lineNumber, plainWall)) {
      // Anything outside the plain subset, valid or not, goes through the full reader, which
      // words what is wrong.
      const std::string source = sourceName + ":" + std::to_string(lineNumber);
      try {
        fullWall.emplace(Frontend::parseWallLine(
            line, catalogue, source, Frontend::Schema::defaultLineWallName(lineNumber)));
      } catch (const Error& wallError) {
        error = wallError.what();
        writer.error(lineNumber, error, out);
        return false;
      }
      wall = &*fullWall;
    }
    plainWall.request.period = period;
    if (fullWall) fullWall->request.period = period;
    if (auto problem = Engine::computeInto(wall->request, result)) {
      // The wall reads but cannot be computed (its matrix overflows): the message names it.
      error = sourceName + ":" + std::to_string(lineNumber) + ": " +
              Frontend::describeProblem(*problem, *wall);
      writer.error(lineNumber, error, out);
      return false;
    }
    writer.result(*wall, result, out);
    return true;
  };

  std::unique_ptr<ProgressBar> progressBar;
  if (options.progress) {
    progressBar = std::make_unique<ProgressBar>(
        stderr, fromStandardInput ? 0 : regularFileSize(options.input));
  }
  Progress lastProgress;

  InterruptGuard interrupts;
  PipelineOptions pipeline;
  pipeline.jobs = options.jobs;
  pipeline.failFast = options.failFast;
  pipeline.onError = [&](std::size_t, const std::string& reason) {
    if (progressBar) std::fputs("\r\033[K", stderr);
    errors << Frontend::visibleText(reason) << '\n';
  };
  pipeline.onProgress = [&](const Progress& progress) {
    lastProgress = progress;
    if (progressBar) progressBar->update(progress);
  };
  pipeline.cancelled = [] { return interruptSignal != 0; };

  const PipelineSummary summary = runLinePipeline(input, output, process, pipeline);
  if (progressBar) progressBar->finish(lastProgress);
  if (fromStandardInput ? input.bad() : file.bad()) {
    throw Error(sourceName + ": reading failed");
  }

  if (interruptSignal != 0) {
    errors << "interrupted after " << summary.lines << " walls; no output file written\n";
    return 130;
  }
  if (summary.stoppedEarly) {
    // --fail-fast: the output would be incomplete, so it is not kept.
    errors << "stopped at the first bad line (--fail-fast)"
           << (outputFile ? "; no output file written" : "") << '\n';
    return 1;
  }
  if (outputFile) {
    outputFile->commit();
  } else {
    std::cout.flush();
  }
  if (summary.failedLines > 0) {
    errors << summary.failedLines << " of " << summary.lines << " walls failed\n";
    return 1;
  }
  return 0;
}

}  // namespace Brusk::Batch
