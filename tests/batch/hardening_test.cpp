// Hostile inputs, destinations and signals: the pipeline and the output file directly, then the
// real `brusk` as a child process.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <new>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "brusk/batch/atomic_file.h"
#include "brusk/batch/line_pipeline.h"
#include "brusk/frontend/error.h"

namespace {

namespace fs = std::filesystem;
using namespace Brusk::Batch;

/// Echoes "number:line".
bool echo(std::string_view line, std::size_t lineNumber, std::string& output, std::string&) {
  output += std::to_string(lineNumber) + ":" + std::string(line) + "\n";
  return true;
}

std::string shortLines(std::size_t from, std::size_t count) {
  std::string text;
  for (std::size_t i = from; i < from + count; ++i) text += "w" + std::to_string(i) + "\n";
  return text;
}

// ---- Lines the processor must not see as they are -------------------------------------------

struct LineCase {
  const char* name;
  std::string input;
  std::string output;  ///< rows of `echo`, and "N:refused" for each line too long
  std::size_t lines;
  std::size_t failed;
  std::size_t blank;
};

const std::string kLong(300, 'x');  // longer than the 100 bytes the cases allow

class PipelineLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(PipelineLineTest, RowsAndNumbers) {
  const LineCase& c = GetParam();
  for (const unsigned jobs : {1u, 3u}) {
    std::istringstream in(c.input);
    std::ostringstream out;
    PipelineOptions options;
    options.jobs = jobs;
    options.chunkBytes = 64;
    options.maxLineBytes = 100;
    std::vector<std::string> errors;
    options.refuseLine = [](std::size_t line, const std::string& reason, std::string& output,
                            std::string& error) {
      output += std::to_string(line) + ":refused\n";
      error = std::to_string(line) + ": " + reason;
    };
    options.onError = [&](std::size_t, const std::string& error) { errors.push_back(error); };
    const PipelineSummary summary = runLinePipeline(in, out, echo, options);
    EXPECT_EQ(out.str(), c.output) << jobs << " jobs";
    EXPECT_EQ(summary.lines, c.lines);
    EXPECT_EQ(summary.failedLines, c.failed);
    EXPECT_EQ(summary.blankLines, c.blank);
    for (const std::string& error : errors) {
      EXPECT_NE(error.find(": line longer than 100 bytes"), std::string::npos) << error;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PipelineLineTest,
    ::testing::Values(
        LineCase{"long_line_between_short_ones", "a\n" + kLong + "\nb\n", "1:a\n2:refused\n3:b\n",
                 3, 1, 0},
        LineCase{"long_last_line_without_newline", "a\n" + kLong, "1:a\n2:refused\n", 2, 1, 0},
        LineCase{"two_long_lines_in_a_row", kLong + "\n" + kLong + "\nc\n",
                 "1:refused\n2:refused\n3:c\n", 3, 2, 0},
        LineCase{"long_line_then_many_short", kLong + "\n" + shortLines(2, 50),
                 "1:refused\n" +
                     [] {
                       std::string rows;
                       for (int i = 2; i < 52; ++i) {
                         rows += std::to_string(i) + ":w" + std::to_string(i) + "\n";
                       }
                       return rows;
                     }(),
                 51, 1, 0},
        LineCase{"line_of_exactly_the_limit", std::string(100, 'y') + "\n",
                 "1:" + std::string(100, 'y') + "\n", 1, 0, 0},
        LineCase{"blank_lines_are_skipped", "a\n\n  \t\n\r\nb\n\n", "1:a\n5:b\n", 2, 0, 4},
        LineCase{"only_blank_lines", "\n\n\n", "", 0, 0, 3}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(PipelineHardening, EndlessLineIsReadWithoutBeingKeptAndCancellationIsHonoured) {
  // An input of one line without end, like /dev/zero: the reader must skip it in bounded
  // memory and see the cancel flag between reads.
  std::size_t reads = 0;
  const InputSource zeros = [&](char* buffer, std::size_t size) {
    std::fill(buffer, buffer + size, '0');
    ++reads;
    return size;
  };
  PipelineOptions options;
  options.jobs = 2;
  options.maxLineBytes = 1000;
  options.cancelled = [&] { return reads > 5000; };
  std::ostringstream out;
  const PipelineSummary summary = runLinePipeline(zeros, out, echo, options);
  EXPECT_TRUE(summary.stoppedEarly);
  EXPECT_EQ(out.str(), "");
}

// ---- Faults inside a run ------------------------------------------------------------------

struct ThrowCase {
  const char* name;
  int kind;  ///< 0: std::bad_alloc, 1: std::runtime_error, 2: Frontend::Error
};

class PipelineThrowTest : public ::testing::TestWithParam<ThrowCase> {};

TEST_P(PipelineThrowTest, ExceptionLeavesTheRunInsteadOfEndingTheProgram) {
  std::istringstream in(shortLines(1, 20000));
  std::ostringstream out;
  PipelineOptions options;
  options.jobs = 4;
  options.chunkBytes = 64;
  const int kind = GetParam().kind;
  const auto throwing = [kind](std::string_view line, std::size_t number, std::string& output,
                               std::string& error) {
    if (number == 7777) {
      if (kind == 0) throw std::bad_alloc();
      if (kind == 1) throw std::runtime_error("worker failed");
      throw Brusk::Frontend::Error("wall failed");
    }
    return echo(line, number, output, error);
  };
  EXPECT_ANY_THROW(runLinePipeline(in, out, throwing, options));
  // Whatever was written stops before the line that threw.
  EXPECT_EQ(out.str().find("7777:"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Faults, PipelineThrowTest,
                         ::testing::Values(ThrowCase{"bad_alloc", 0}, ThrowCase{"runtime_error", 1},
                                           ThrowCase{"brusk_error", 2}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(PipelineHardening, FailingInputIsCarriedOut) {
  std::size_t reads = 0;
  const InputSource failing = [&](char* buffer, std::size_t size) -> std::size_t {
    if (++reads == 3) throw Brusk::Frontend::Error("input: reading failed: Input/output error");
    std::fill(buffer, buffer + size, 'a');
    buffer[size - 1] = '\n';
    return size;
  };
  std::ostringstream out;
  PipelineOptions options;
  options.jobs = 2;
  EXPECT_THROW(runLinePipeline(failing, out, echo, options), Brusk::Frontend::Error);
}

struct ThreadCase {
  const char* name;
  unsigned jobs;
  std::size_t lines;  ///< of 8 bytes each, in chunks of 64 bytes
  std::size_t maxThreads;
};

class PipelineThreadTest : public ::testing::TestWithParam<ThreadCase> {};

TEST_P(PipelineThreadTest, NoMoreThreadsThanChunksOrTheCap) {
  const ThreadCase& c = GetParam();
  std::string text;
  for (std::size_t i = 0; i < c.lines; ++i) text += "line" + std::to_string(1000 + i % 1000) + "\n";
  std::istringstream in(text);
  std::ostringstream out;
  std::mutex mutex;
  std::set<std::thread::id> threads;
  PipelineOptions options;
  options.jobs = c.jobs;
  options.chunkBytes = 64;
  const auto counting = [&](std::string_view line, std::size_t number, std::string& output,
                            std::string& error) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      threads.insert(std::this_thread::get_id());
    }
    return echo(line, number, output, error);
  };
  const PipelineSummary summary = runLinePipeline(in, out, counting, options);
  EXPECT_EQ(summary.lines, c.lines);
  EXPECT_LE(threads.size(), c.maxThreads == 0 ? std::size_t{maxJobs()} : c.maxThreads);
}

INSTANTIATE_TEST_SUITE_P(Threads, PipelineThreadTest,
                         ::testing::Values(ThreadCase{"one_chunk_many_jobs", 10000, 3, 1},
                                           ThreadCase{"two_chunks_many_jobs", 10000, 12, 2},
                                           ThreadCase{"absurd_jobs_are_capped", 4000000000u, 50000,
                                                      0}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(PipelineHardening, DescriptorInputEndsWhenTheWakePipeIsReadable) {
  // The input pipe stays open and empty: only the wake-up can end the read.
  int input[2];
  int wake[2];
  ASSERT_EQ(::pipe(input), 0);
  ASSERT_EQ(::pipe(wake), 0);
  ASSERT_EQ(::write(wake[1], "x", 1), 1);
  const InputSource source = descriptorInput(input[0], "pipe", nullptr, wake[0]);
  char buffer[16];
  EXPECT_EQ(source(buffer, sizeof buffer), 0u);
  for (const int descriptor : {input[0], input[1], wake[0], wake[1]}) ::close(descriptor);
}

TEST(PipelineHardening, DescriptorInputReportsAFailedRead) {
  const int directory = ::open("/", O_RDONLY | O_DIRECTORY);
  ASSERT_GE(directory, 0);
  const InputSource source = descriptorInput(directory, "/", nullptr);
  char buffer[16];
  try {
    (void)source(buffer, sizeof buffer);
    ADD_FAILURE() << "no error";
  } catch (const Brusk::Frontend::Error& error) {
    EXPECT_NE(std::string(error.what()).find("/: reading failed: Is a directory"),
              std::string::npos)
        << error.what();
  }
  ::close(directory);
}

// ---- Destinations -------------------------------------------------------------------------

class Folder : public ::testing::Test {
protected:
  void SetUp() override {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    folder =
        fs::temp_directory_path() / ("brusk-hardening-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  /// Names in the folder other than `keep`: temporary files left behind.
  [[nodiscard]] std::vector<std::string> leftovers(const std::set<std::string>& keep) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      const std::string name = entry.path().filename().string();
      if (keep.count(name) == 0) names.push_back(name);
    }
    return names;
  }

  fs::path folder;
};

struct DestinationCase {
  const char* name;
  /// Prepares the folder (shell, run in it) and names the destination.
  const char* setup;
  const char* destination;
  /// Checks the folder afterwards (shell, exit 0 when right), or "" when the constructor must
  /// throw with `message` in its text.
  const char* check;
  const char* message;
};

class DestinationTest : public Folder, public ::testing::WithParamInterface<DestinationCase> {};

TEST_P(DestinationTest, WritesWhereTheNameLeadsOrRefusesAtOnce) {
  const DestinationCase& c = GetParam();
  const std::string cd = "cd '" + folder.string() + "' && ";
  ASSERT_EQ(std::system((cd + c.setup).c_str()), 0) << c.setup;
  const fs::path previous = fs::current_path();
  fs::current_path(folder);
  if (std::string(c.check).empty()) {
    try {
      AtomicOutputFile file(c.destination);
      ADD_FAILURE() << "accepted " << c.destination;
    } catch (const Brusk::Frontend::Error& error) {
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
    }
  } else {
    {
      AtomicOutputFile file(c.destination);
      file.stream() << "new content\n";
      file.commit();
    }
    EXPECT_EQ(std::system((cd + c.check).c_str()), 0) << c.check;
  }
  fs::current_path(previous);
  for (const std::string& name : leftovers({})) {
    EXPECT_EQ(name.find(".partial-"), std::string::npos) << name << " left behind";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Destinations, DestinationTest,
    ::testing::Values(
        DestinationCase{"new_file", "true", "out.csv", "grep -qx 'new content' out.csv", ""},
        DestinationCase{"private_file_stays_private", "echo old > out.csv && chmod 600 out.csv",
                        "out.csv",
                        "grep -qx 'new content' out.csv && test $(stat -c %a out.csv) = 600", ""},
        DestinationCase{"symbolic_link_is_followed",
                        "mkdir real && echo old > real/t.csv && ln -s real/t.csv link.csv",
                        "link.csv",
                        "test -L link.csv && grep -qx 'new content' real/t.csv && "
                        "test -z \"$(ls -A real | grep partial)\"",
                        ""},
        DestinationCase{"dangling_link_creates_its_target", "ln -s made.csv link.csv", "link.csv",
                        "test -L link.csv && grep -qx 'new content' made.csv", ""},
        DestinationCase{"fifo_is_written_directly",
                        "mkfifo out.fifo && (timeout 60 cat out.fifo > got.txt &)", "out.fifo",
                        "test -p out.fifo && for i in $(seq 600); do "
                        "grep -qx 'new content' got.txt && exit 0; sleep 0.1; done; exit 1",
                        ""},
        DestinationCase{"directory", "mkdir dir", "dir", "", "dir: is a directory"},
        DestinationCase{"empty_name", "true", "", "", "the output file name is empty"},
        DestinationCase{"link_loop", "ln -s a.csv b.csv && ln -s b.csv a.csv", "a.csv", "",
                        "a.csv: Too many levels of symbolic links"},
        DestinationCase{"missing_folder", "true", "nowhere/out.csv", "",
                        "No such file or directory"}),
    [](const auto& row) { return std::string(row.param.name); });

// ---- The program --------------------------------------------------------------------------

std::string slurp(const fs::path& path) {
  std::ifstream stream(path, std::ios::binary);
  std::stringstream content;
  content << stream.rdbuf();
  return content.str();
}

/// A wall line whose properties vary with `i`, named after it.
std::string wallLine(int i) {
  const double thickness = 0.05 + 0.001 * (i % 300);
  return R"({"name":"wall-)" + std::to_string(i) + R"(","layers":[{"thickness":)" +
         std::to_string(thickness) +
         R"(,"conductivity":1.8,"density":2400,"specific_heat":1000},{"thermal_resistance":0.18}]})";
}

class ProgramHardeningTest : public Folder {
protected:
  void writeWalls(const std::string& name, int count, const std::string& tail = "") const {
    std::ofstream out(folder / name, std::ios::binary);
    for (int i = 1; i <= count; ++i) out << wallLine(i) << '\n';
    out << tail;
  }

  /// Runs a bash script in the folder with `$brusk` naming the program, and helpers to wait for
  /// a file to grow; returns its exit status. Time-boxed, so a hung run fails the test.
  int shell(const std::string& script) const {
    std::ofstream(folder / "run.sh")
        << "brusk='" BRUSK_PROGRAM "'\n"
        << "# grown PATTERN: waits until a file matching it has some bytes\n"
           "grown() { for i in $(seq 1200); do for f in $1; do "
           "[ -s \"$f\" ] && return 0; done; sleep 0.05; done; return 1; }\n"
        << script << '\n';
    const std::string command =
        "cd '" + folder.string() + "' && timeout 120 bash run.sh >stdout.txt 2>stderr.txt";
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
  [[nodiscard]] std::string out() const { return slurp(folder / "stdout.txt"); }
  [[nodiscard]] std::string err() const { return slurp(folder / "stderr.txt"); }
};

struct SignalCase {
  const char* name;
  std::string script;  ///< ends with brusk's exit status as its own
  int status;
  const char* message;
};

class SignalTest : public ProgramHardeningTest, public ::testing::WithParamInterface<SignalCase> {};

// A FIFO kept open feeds the run, so that it is still going when the signal comes; the signal is
// sent once output shows that the run is under way.
const std::string kFedFromFifo =
    "mkfifo in.fifo\n"
    "$brusk batch in.fifo -o out.csv & pid=$!\n"
    "exec 3>in.fifo\n"
    "cat walls.jsonl >&3\n"
    "grown '.out.csv.partial-*' || exit 90\n";

std::string sendAndWait(const std::string& signal) {
  return "kill -" + signal + " $pid\nwait $pid\nstatus=$?\nexec 3>&-\nexit $status\n";
}

TEST_P(SignalTest, RunStopsRemovesItsPartialOutputAndSaysWhy) {
  const SignalCase& c = GetParam();
  writeWalls("walls.jsonl", 4000);
  EXPECT_EQ(shell(c.script), c.status) << err();
  EXPECT_NE(err().find(c.message), std::string::npos) << err();
  for (const std::string& name :
       leftovers({"walls.jsonl", "run.sh", "stdout.txt", "stderr.txt", "in.fifo", "shown.csv"})) {
    ADD_FAILURE() << name << " left behind";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Signals, SignalTest,
    ::testing::Values(
        SignalCase{"interrupt", kFedFromFifo + sendAndWait("INT"), 130,
                   "interrupted by SIGINT after"},
        SignalCase{"terminate", kFedFromFifo + sendAndWait("TERM"), 143,
                   "interrupted by SIGTERM after"},
        SignalCase{"hangup", kFedFromFifo + sendAndWait("HUP"), 129, "interrupted by SIGHUP after"},
        // Standard input is a pipe kept open: the read waiting on it must give way.
        SignalCase{"interrupt_on_standard_input",
                   "mkfifo in.fifo\n"
                   "$brusk batch - -o out.csv <in.fifo & pid=$!\n"
                   "exec 3>in.fifo\n"
                   "cat walls.jsonl >&3\n"
                   "grown '.out.csv.partial-*' || exit 90\n" +
                       sendAndWait("INT"),
                   130, "; no output file written"},
        // Results already went to standard output: say how many.
        SignalCase{"interrupt_to_standard_output",
                   "mkfifo in.fifo\n"
                   "$brusk batch - <in.fifo >shown.csv & pid=$!\n"
                   "exec 3>in.fifo\n"
                   "cat walls.jsonl >&3\n"
                   "grown shown.csv || exit 90\n" +
                       sendAndWait("INT"),
                   130, " rows were written to standard output"},
        SignalCase{"reader_of_standard_output_goes_away",
                   "$brusk batch walls.jsonl | head -c 100 >/dev/null\nexit ${PIPESTATUS[0]}\n",
                   141, "output closed by its reader (SIGPIPE) after"},
        // A line without end, read on without being kept, while the signal is watched for.
        SignalCase{"endless_line",
                   "$brusk batch /dev/zero -o out.csv & pid=$!\n"
                   "for i in $(seq 1200); do\n"
                   "  read=$(awk '/^rchar/ {print $2}' /proc/$pid/io 2>/dev/null)\n"
                   "  [ \"${read:-0}\" -gt 20000000 ] && break; sleep 0.05\n"
                   "done\n"
                   "kill -TERM $pid\nwait $pid\n",
                   143, "interrupted by SIGTERM after"}),
    [](const auto& row) { return std::string(row.param.name); });

struct RunCase {
  const char* name;
  const char* script;  ///< run after walls.jsonl (300 walls) and in.toml are written
  int status;
  const char* message;  ///< expected on standard error
  const char* check;    ///< shell, exit 0 when the folder is right afterwards
};

class RunTest : public ProgramHardeningTest, public ::testing::WithParamInterface<RunCase> {};

constexpr const char* kWallToml =
    "name = \"Concrete\"\n[[layers]]\nmaterial = \"concrete-reinforced\"\nthickness = 0.2\n";

TEST_P(RunTest, StatusMessageAndFiles) {
  const RunCase& c = GetParam();
  writeWalls("walls.jsonl", 300);
  std::ofstream(folder / "in.toml") << kWallToml;
  std::ofstream(folder / "bad.toml") << "[[layers]]\nthickness = -1\n";
  const std::string before = slurp(folder / "walls.jsonl");
  EXPECT_EQ(shell(c.script), c.status) << err();
  EXPECT_NE(err().find(c.message), std::string::npos) << err();
  EXPECT_EQ(slurp(folder / "walls.jsonl"), before) << "input changed";
  EXPECT_EQ(slurp(folder / "in.toml"), kWallToml) << "input changed";
  EXPECT_EQ(std::system(("cd '" + folder.string() + "' && " + c.check).c_str()), 0) << c.check;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    EXPECT_EQ(name.find(".partial-"), std::string::npos) << name << " left behind";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RunTest,
    ::testing::Values(
        // The output is one of the inputs, however it is named.
        RunCase{"batch_output_is_input", "$brusk batch walls.jsonl -o walls.jsonl", 2,
                "-o: walls.jsonl: is the input file walls.jsonl", "true"},
        RunCase{"batch_output_is_input_by_another_path",
                "$brusk batch ./walls.jsonl -o \"$PWD/walls.jsonl\"", 2, "is the input file",
                "true"},
        RunCase{"batch_output_links_to_input",
                "ln -s walls.jsonl link.jsonl && $brusk batch walls.jsonl -o link.jsonl", 2,
                "is the input file", "test -L link.jsonl"},
        RunCase{"batch_output_is_standard_input", "$brusk batch - -o walls.jsonl <walls.jsonl", 2,
                "is the input file <stdin>", "true"},
        RunCase{"batch_output_is_materials_file",
                "printf 'mine = {name=\"M\", conductivity=1, density=1, specific_heat=1}\\n' "
                ">m.toml && cp m.toml m.orig && "
                "$brusk batch walls.jsonl --materials m.toml -o m.toml",
                2, "is the input file m.toml", "cmp -s m.toml m.orig"},
        RunCase{"report_output_is_input", "$brusk report in.toml -o in.toml", 2,
                "-o: in.toml: is the input file in.toml", "true"},
        // Every file a command reads is an input: a zone's wall files, the profiles.
        RunCase{"report_output_is_wall_of_zone",
                "printf 'floor_area = 20\\n[[elements]]\\narea = 5\\nwall = \"in.toml\"\\n' "
                ">zone.toml && $brusk report zone.toml -o in.toml",
                2, "-o: in.toml: is the input file in.toml", "true"},
        RunCase{"report_output_is_wall_of_zone_spelled_otherwise",
                "mkdir z && printf 'floor_area = 20\\n[[elements]]\\narea = 5\\n"
                "wall = \"../in.toml\"\\n' >z/zone.toml && $brusk report z/zone.toml -o ./in.toml",
                2, "-o: ./in.toml: is the input file in.toml", "true"},
        RunCase{"report_output_is_outdoor_profile",
                "printf '20\\n21\\n' >day.csv && cp day.csv day.orig && "
                "$brusk report in.toml --outdoor day.csv -o day.csv",
                2, "-o: day.csv: is the input file day.csv", "cmp -s day.csv day.orig"},
        RunCase{"report_output_is_indoor_profile",
                "printf '20\\n21\\n' >day.csv && cp day.csv night.csv && "
                "$brusk report in.toml --outdoor day.csv --indoor night.csv -o \"$PWD/night.csv\"",
                2, "is the input file night.csv", "cmp -s day.csv night.csv"},
        // An input that is no file (a pipe without a writer) is refused at once, not waited on.
        RunCase{"compute_of_a_pipe", "mkfifo w.toml && timeout 20 $brusk compute w.toml", 2,
                "brusk: w.toml: is not a regular file (a pipe); brusk reads its inputs from files",
                "test -p w.toml"},
        RunCase{"zone_of_a_pipe", "mkfifo z.toml && timeout 20 $brusk zone z.toml", 2,
                "brusk: z.toml: is not a regular file (a pipe)", "true"},
        RunCase{"response_to_a_pipe",
                "mkfifo o.csv && timeout 20 $brusk response in.toml --outdoor o.csv", 2,
                "brusk: o.csv: is not a regular file (a pipe)", "true"},
        RunCase{"catalogue_of_a_pipe",
                "mkfifo m.toml && timeout 20 $brusk compute in.toml --materials m.toml", 2,
                "brusk: m.toml: is not a regular file (a pipe)", "true"},
        RunCase{"compute_of_a_device", "ln -s /dev/zero z.toml && timeout 20 $brusk compute z.toml",
                2, "brusk: z.toml: is not a regular file (a character device)", "true"},
        // The destination is checked before the run, whatever the inputs hold.
        RunCase{"batch_output_is_directory", "mkdir dir && $brusk batch walls.jsonl -o dir", 2,
                "-o: dir: is a directory", "test -d dir && test ! -s stdout.txt"},
        RunCase{"batch_output_name_empty", "$brusk batch walls.jsonl -o ''", 2,
                "-o: the output file name is empty", "true"},
        RunCase{"report_output_is_directory_before_bad_wall",
                "mkdir dir && $brusk report bad.toml -o dir", 2, "-o: dir: is a directory",
                "test -d dir"},
        // A special destination keeps what it is.
        RunCase{"batch_into_fifo",
                "mkfifo o.fifo && (timeout 60 cat o.fifo >got.csv &) && "
                "$brusk batch walls.jsonl -o o.fifo",
                0, "",
                "test -p o.fifo && for i in $(seq 600); do "
                "[ $(wc -l <got.csv) = 301 ] && exit 0; sleep 0.1; done; exit 1"},
        RunCase{"report_into_fifo",
                "mkfifo o.fifo && (timeout 60 cat o.fifo >got.html &) && "
                "$brusk report in.toml -o o.fifo",
                0, "",
                "test -p o.fifo && for i in $(seq 600); do "
                "grep -q '</html>' got.html && exit 0; sleep 0.1; done; exit 1"},
        RunCase{"report_through_link",
                "mkdir pages && ln -s pages/p.html link.html && "
                "$brusk report in.toml -o link.html",
                0, "", "test -L link.html && grep -q '</html>' pages/p.html"},
        RunCase{"report_keeps_permissions",
                "echo old >p.html && chmod 600 p.html && $brusk report in.toml -o p.html", 0, "",
                "test $(stat -c %a p.html) = 600 && grep -q '</html>' p.html"},
        // Standard output that cannot take the output.
        RunCase{"batch_to_full_device", "$brusk batch walls.jsonl >/dev/full", 1,
                "brusk: cannot write to standard output: No space left on device", "true"},
        RunCase{"batch_to_closed_output", "$brusk batch walls.jsonl >&-", 1,
                "brusk: cannot write to standard output", "true"},
        RunCase{"compute_to_full_device", "$brusk compute in.toml >/dev/full", 1,
                "brusk: cannot write to standard output: No space left on device", "true"},
        RunCase{"report_line_to_full_device", "$brusk report in.toml -o p.html >/dev/full", 1,
                "brusk: cannot write to standard output: No space left on device", "true"},
        // Thread counts that are no use are capped, not fatal.
        RunCase{"huge_job_count",
                "$brusk batch walls.jsonl --jobs 100000 -o a.csv && "
                "$brusk batch walls.jsonl --jobs 4294967295 -o b.csv && "
                "$brusk batch walls.jsonl --jobs 1 -o c.csv",
                0, "", "cmp a.csv c.csv && cmp b.csv c.csv"},
        // Blank lines are no walls.
        RunCase{"blank_lines_skipped",
                "cp walls.jsonl spaced.jsonl && printf '\\n  \\n\\r\\n' >>spaced.jsonl && "
                "$brusk batch spaced.jsonl -o s.csv",
                0, "", "[ $(wc -l <s.csv) = 301 ]"},
        RunCase{"line_too_long",
                "{ head -2 walls.jsonl; head -c 5000000 /dev/zero | tr '\\0' x; echo; "
                "tail -n +3 walls.jsonl; } >long.jsonl && $brusk batch long.jsonl -o l.csv",
                1, "long.jsonl:3: line longer than 4 MiB",
                "[ $(wc -l <l.csv) = 302 ] && sed -n 4p l.csv | grep -q 'longer than 4 MiB' && "
                "sed -n 5p l.csv | grep -q '^wall-3,'"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
