// End-to-end throughput of `brusk batch`: JSON Lines in, CSV out, one million walls by default.
//
// Each iteration runs the real program as a child process on a file of seeded random walls,
// so reading, parsing, the engine, formatting, ordering and writing are all counted.
// items_per_second is walls per second of wall-clock time; peak_rss_MiB is the child's peak
// resident memory, read from wait4. Rows with replace:0 write a new file each time, replace:1
// writes over the previous run's output. $BRUSK_BATCH_WALLS and $BRUSK_BATCH_PROGRAM choose
// another input file or another build of brusk.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

/// Where the walls are: $BRUSK_BATCH_WALLS, or a file generated once in the build folder.
std::string wallFilePath() {
  const char* path = std::getenv("BRUSK_BATCH_WALLS");
  return path != nullptr ? path : BRUSK_BENCH_DEFAULT_WALLS;
}

struct ChildRun {
  int status = -1;
  long peakResidentKiB = 0;
};

/// Runs `arguments` with standard output sent to `outputPath`, and waits for it.
ChildRun runChild(const std::vector<std::string>& arguments, const std::string& outputPath) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  const int error = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) throw std::runtime_error("cannot start " + arguments.front());
  ChildRun run;
  struct rusage usage {};
  if (wait4(child, &run.status, 0, &usage) == child) run.peakResidentKiB = usage.ru_maxrss;
  return run;
}

std::size_t countLines(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<char> buffer(1 << 20);
  std::size_t lines = 0;
  while (file.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) ||
         file.gcount() > 0) {
    const auto end = buffer.begin() + file.gcount();
    lines += static_cast<std::size_t>(std::count(buffer.begin(), end, '\n'));
  }
  return lines;
}

/// The wall file and its line count, generated on first use when missing.
const std::pair<std::string, std::size_t>& walls() {
  static const std::pair<std::string, std::size_t> file = [] {
    const std::string path = wallFilePath();
    if (!std::ifstream(path)) {
      std::fprintf(stderr, "generating %s (one million walls, about half a minute)\n",
                   path.c_str());
      const ChildRun run = runChild(
          {"/usr/bin/env", "python3", BRUSK_BENCH_GENERATOR, "--count", "1000000", "--seed", "1"},
          path);
      if (run.status != 0) {
        std::remove(path.c_str());
        throw std::runtime_error("generate-walls.py failed");
      }
    }
    return std::make_pair(path, countLines(path));
  }();
  return file;
}

/// The program timed: $BRUSK_BATCH_PROGRAM (another build, for a before/after in one run), or
/// this build's brusk.
std::string programPath() {
  const char* path = std::getenv("BRUSK_BATCH_PROGRAM");
  return path != nullptr ? path : BRUSK_PROGRAM;
}

/// Arguments: --jobs (0 for the program's default, every core), and 1 to write over the output
/// of the previous run instead of to a new file.
void batchJsonLinesToCsv(benchmark::State& state) {
  const bool replaceExisting = state.range(1) != 0;
  const auto& [input, wallCount] = walls();
  const std::string output = std::string(BRUSK_BENCH_OUTPUT_DIR) + "/batch-benchmark.csv";
  const std::vector<std::string> command = {
      programPath(), "batch", input, "--format", "csv", "--jobs", std::to_string(state.range(0)),
      "-o",          output};
  long peakResidentKiB = 0;
  for (auto _ : state) {
    // Each run writes a new file. Replacing an existing one costs more on ext4, which writes
    // the new file back before a rename over an old one returns; docs/performance.md has both.
    if (!replaceExisting) {
      state.PauseTiming();
      std::remove(output.c_str());
      state.ResumeTiming();
    }
    const ChildRun run = runChild(command, "/dev/null");
    if (run.status != 0) {
      state.SkipWithError("brusk batch failed");
      break;
    }
    peakResidentKiB = std::max(peakResidentKiB, run.peakResidentKiB);
  }
  std::remove(output.c_str());
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(wallCount));
  state.counters["walls"] = static_cast<double>(wallCount);
  state.counters["peak_rss_MiB"] = static_cast<double>(peakResidentKiB) / 1024.0;
}

BENCHMARK(batchJsonLinesToCsv)
    ->ArgNames({"jobs", "replace"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
