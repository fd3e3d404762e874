#include "brusk/batch/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "brusk/frontend/error.h"

namespace {

using Brusk::Batch::AtomicOutputFile;

bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

std::string read(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class AtomicOutputFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/brusk-atomic-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    directory = pattern;
    destination = directory + "/out.csv";
  }
  void TearDown() override {
    std::remove(destination.c_str());
    ::rmdir(directory.c_str());
  }
  std::string directory;
  std::string destination;
};

TEST_F(AtomicOutputFileTest, DestinationAppearsOnlyOnCommit) {
  AtomicOutputFile file(destination);
  file.stream() << "a,b\n1,2\n";
  EXPECT_FALSE(exists(destination));
  EXPECT_TRUE(exists(file.temporaryPath()));
  const std::string temporary = file.temporaryPath();
  file.commit();
  EXPECT_EQ(read(destination), "a,b\n1,2\n");
  EXPECT_FALSE(exists(temporary));
}

TEST_F(AtomicOutputFileTest, AbandonedWriteLeavesNothing) {
  std::string temporary;
  {
    AtomicOutputFile file(destination);
    file.stream() << "partial";
    temporary = file.temporaryPath();
  }
  EXPECT_FALSE(exists(destination));
  EXPECT_FALSE(exists(temporary));
}

mode_t permissionsOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

TEST_F(AtomicOutputFileTest, NewFileGetsTheUsualPermissionsAndAReplacedFileKeepsItsOwn) {
  // The temporary file starts private; the output must not stay so.
  const mode_t mask = ::umask(022);
  {
    AtomicOutputFile file(destination);
    file.stream() << "new";
    file.commit();
  }
  EXPECT_EQ(permissionsOf(destination), 0644u);
  ASSERT_EQ(::chmod(destination.c_str(), 0640), 0);
  {
    AtomicOutputFile file(destination);
    file.stream() << "replaced";
    file.commit();
  }
  ::umask(mask);
  EXPECT_EQ(permissionsOf(destination), 0640u);
  EXPECT_EQ(read(destination), "replaced");
}

TEST_F(AtomicOutputFileTest, UnwritableDirectoryIsAnError) {
  EXPECT_THROW(AtomicOutputFile("/nonexistent-dir/out.csv"), Brusk::Frontend::Error);
}

}  // namespace
