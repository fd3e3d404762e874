// Runs the real `brusk batch`: order with several jobs, bad lines, standard streams, interrupted
// and fail-fast runs leaving no output file, and agreement with `brusk compute` on the kernels
// that give its doubles.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
  std::ifstream stream(path, std::ios::binary);
  std::stringstream content;
  content << stream.rdbuf();
  return content.str();
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

/// A wall line whose properties vary with `i`, named after it.
std::string wallLine(int i) {
  const double thickness = 0.05 + 0.001 * (i % 300);
  return R"({"name":"wall-)" + std::to_string(i) + R"(","layers":[{"thickness":)" +
         std::to_string(thickness) +
         R"(,"conductivity":1.8,"density":2400,"specific_heat":1000},{"thermal_resistance":0.18},)"
         R"({"material":"concrete-reinforced","thickness":0.1}]})";
}

class BatchProgramTest : public testing::Test {
protected:
  void SetUp() override {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    folder = fs::temp_directory_path() /
             ("brusk-batch-test-" + std::string(info->name()) + "-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  void writeWalls(const std::string& name, int count, int badLine = 0) const {
    std::ofstream out(folder / name, std::ios::binary);
    for (int i = 1; i <= count; ++i) {
      out << (i == badLine
                  ? R"({"layers":[{"thickness":0.2,"conductivity":-1,"density":2400,"specific_heat":1000}]})"
                  : wallLine(i))
          << '\n';
    }
  }

  /// Runs a bash script in the test folder, with `$brusk` naming the program; returns its exit
  /// status. Time-boxed, so a hung run fails instead of blocking the suite.
  int shell(const std::string& script) const {
    std::ofstream(folder / "run.sh") << "brusk='" BRUSK_PROGRAM "'\n" << script << '\n';
    const std::string command =
        "cd '" + folder.string() + "' && timeout 60 bash run.sh >stdout.txt 2>stderr.txt";
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
  std::string out() const { return slurp(folder / "stdout.txt"); }
  std::string err() const { return slurp(folder / "stderr.txt"); }

  fs::path folder;
};

TEST_F(BatchProgramTest, SeveralJobsKeepInputOrder) {
  writeWalls("walls.jsonl", 5000);
  ASSERT_EQ(shell("$brusk batch walls.jsonl --jobs 1"), 0) << err();
  const std::string serial = out();
  ASSERT_EQ(shell("$brusk batch walls.jsonl --jobs 4 -o parallel.csv"), 0) << err();
  EXPECT_EQ(slurp(folder / "parallel.csv"), serial);
  const std::vector<std::string> rows = lines(serial);
  ASSERT_EQ(rows.size(), 5001u);
  EXPECT_EQ(rows[0].substr(0, 12), "name,period,");
  EXPECT_EQ(rows[0].substr(rows[0].size() - 6), ",error");
  EXPECT_EQ(rows[4321].substr(0, 10), "wall-4321,");
}

TEST_F(BatchProgramTest, BadLineIsReportedAndKeepsItsRow) {
  writeWalls("walls.jsonl", 200, 57);
  EXPECT_EQ(shell("$brusk batch walls.jsonl --jobs 2"), 1);
  EXPECT_NE(err().find("walls.jsonl:57: layer 1: conductivity must be a positive number of "
                       "W/(m.K), got -1"),
            std::string::npos)
      << err();
  EXPECT_NE(err().find("1 of 200 walls failed"), std::string::npos) << err();
  const std::vector<std::string> rows = lines(out());
  ASSERT_EQ(rows.size(), 201u);
  EXPECT_EQ(rows[57].substr(0, 9), "line 57,,");  // the line gives no name
  EXPECT_NE(rows[57].find("\"walls.jsonl:57: layer 1: conductivity"), std::string::npos);
  EXPECT_EQ(rows[58].substr(0, 8), "wall-58,");
}

TEST_F(BatchProgramTest, JsonLinesCarryTheErrorWithItsLine) {
  writeWalls("walls.jsonl", 3, 2);
  EXPECT_EQ(shell("$brusk batch walls.jsonl --format jsonl"), 1);
  const std::vector<std::string> rows = lines(out());
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(nlohmann::json::parse(rows[0])["name"], "wall-1");
  const nlohmann::json bad = nlohmann::json::parse(rows[1]);
  EXPECT_EQ(bad["line"], 2);
  EXPECT_NE(bad["error"].get<std::string>().find("conductivity"), std::string::npos);
}

TEST_F(BatchProgramTest, StandardInputToStandardOutput) {
  writeWalls("walls.jsonl", 300);
  ASSERT_EQ(shell("$brusk batch walls.jsonl -o file.csv"), 0) << err();
  ASSERT_EQ(shell("cat walls.jsonl | $brusk batch -"), 0) << err();
  EXPECT_EQ(out(), slurp(folder / "file.csv"));
}

TEST_F(BatchProgramTest, InterruptedRunLeavesNoOutputFile) {
  writeWalls("walls.jsonl", 1000);
  // The batch reads from a pipe that stays open while it is sent SIGTERM.
  const int status = shell(
      "mkfifo input.fifo\n"
      "$brusk batch input.fifo -o out.csv & pid=$!\n"
      "exec 3>input.fifo\n"
      "cat walls.jsonl >&3\n"
      "sleep 0.5\n"
      "kill -TERM $pid\n"
      "sleep 0.2\n"
      "exec 3>&-\n"
      "wait $pid");
  EXPECT_EQ(status, 128 + 15) << err();  // SIGTERM
  EXPECT_NE(err().find("interrupted"), std::string::npos) << err();
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    EXPECT_EQ(name.find("out.csv"), std::string::npos) << name << " left behind";
  }
}

TEST_F(BatchProgramTest, FailFastWritesNoOutputFile) {
  writeWalls("walls.jsonl", 2000, 10);
  EXPECT_EQ(shell("$brusk batch walls.jsonl --fail-fast -o out.csv"), 1);
  EXPECT_NE(err().find("walls.jsonl:10:"), std::string::npos) << err();
  EXPECT_FALSE(fs::exists(folder / "out.csv"));
}

/// A way to run `brusk batch` that gives `brusk compute`'s doubles bit for bit.
struct ExactBatch {
  const char* name;
  const char* command;
};

void PrintTo(const ExactBatch& batch, std::ostream* out) { *out << batch.name; }

class BatchAgreesWithComputeTest : public BatchProgramTest,
                                   public testing::WithParamInterface<ExactBatch> {};

TEST_P(BatchAgreesWithComputeTest, RowsAreComputesByteForByte) {
  const std::string example = BRUSK_SOURCE_DIR "/examples/partition.json";
  std::ofstream(folder / "one.jsonl") << nlohmann::json::parse(slurp(example)).dump() << '\n';
  ASSERT_EQ(shell("$brusk compute --format csv '" + example + "'"), 0) << err();
  const std::vector<std::string> computed = lines(out());
  ASSERT_EQ(shell(std::string(GetParam().command) + " one.jsonl"), 0) << err();
  const std::vector<std::string> batched = lines(out());
  ASSERT_EQ(computed.size(), 2u);
  ASSERT_EQ(batched.size(), 2u);
  EXPECT_EQ(batched[0], computed[0] + ",error");
  EXPECT_EQ(batched[1], computed[1] + ",");
}

INSTANTIATE_TEST_SUITE_P(
    Kernels, BatchAgreesWithComputeTest,
    testing::Values(ExactBatch{"scalar_kernel", "$brusk batch --kernel scalar"},
                    // The vector kernel capped at the baseline is the single-wall kernel.
                    ExactBatch{"baseline_vector_kernel",
                               "BRUSK_MANY_WALLS_ISA=baseline $brusk batch"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(BatchProgramTest, UnreadableInputIsABadInvocation) {
  EXPECT_EQ(shell("$brusk batch missing.jsonl"), 2);
  EXPECT_NE(err().find("missing.jsonl"), std::string::npos) << err();
  EXPECT_EQ(out(), "");
}

}  // namespace
