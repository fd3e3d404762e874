#pragma once

// Runs the real brusk program in a folder of its own: exit status, standard output and error.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <unistd.h>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace BruskTest {

struct ProgramRun {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string slurp(const std::filesystem::path& path) {
  std::ifstream stream(path, std::ios::binary);
  std::stringstream content;
  content << stream.rdbuf();
  return content.str();
}

/// A fresh folder per test and process, so that ctest can run tests in parallel, and two
/// checkouts (or two CI runs) at once.
class ProgramFixture : public testing::Test {
protected:
  void SetUp() override {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    _folder = std::filesystem::temp_directory_path() /
              ("brusk-program-test-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(_folder);
    std::filesystem::create_directories(_folder);
  }
  void TearDown() override { std::filesystem::remove_all(_folder); }

  void write(const std::string& name, const std::string& content) const {
    std::ofstream(_folder / name, std::ios::binary) << content;
  }
  [[nodiscard]] std::string read(const std::string& name) const { return slurp(_folder / name); }

  /// Runs brusk with `arguments` (shell words) in the test folder, with the variable
  /// assignments of `environment` (shell words, e.g. "NAME=value") if any.
  ProgramRun run(const std::string& arguments, const std::string& environment = "") const {
    const std::string command = "cd '" + _folder.string() + "' && " + environment + " '" +
                                BRUSK_PROGRAM "' " + arguments + " >stdout.txt 2>stderr.txt";
    ProgramRun result;
    const int raw = std::system(command.c_str());
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = slurp(_folder / "stdout.txt");
    result.err = slurp(_folder / "stderr.txt");
    return result;
  }

  std::filesystem::path _folder;
};

}  // namespace BruskTest
