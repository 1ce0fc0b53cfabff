#include "corpus/FileHandle.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace quenterra {
namespace {

class FileHandleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "filehandleXXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern + "/";
    std::ofstream(dir_ + "f.txt", std::ios::binary) << "abcdefghij";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string dir_;
};

TEST_F(FileHandleTest, ReadsAtOffsetsAndContinues) {
  TFileHandle file;
  ASSERT_TRUE(file.Open(dir_ + "f.txt"));
  EXPECT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Size(), 10);
  char buffer[16] = {};
  EXPECT_EQ(file.Read(2, 3, buffer), 3);
  EXPECT_EQ(std::string(buffer, 3), "cde");
  EXPECT_EQ(file.Read(-1, 2, buffer), 2);  // continues where the last read stopped
  EXPECT_EQ(std::string(buffer, 2), "fg");
  EXPECT_EQ(file.Read(8, 5, buffer), 2);  // cut at the end of the file
  EXPECT_EQ(std::string(buffer, 2), "ij");
  EXPECT_EQ(file.Read(-1, 5, buffer), 0);
  EXPECT_EQ(file.Read(0, 1, buffer), 1);
  EXPECT_EQ(buffer[0], 'a');
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.Read(0, 1, buffer), 0);
}

TEST_F(FileHandleTest, MissingFileDoesNotOpen) {
  TFileHandle file;
  EXPECT_FALSE(file.Open(dir_ + "missing.txt"));
  EXPECT_FALSE(file.IsOpen());
  char buffer[4];
  EXPECT_EQ(file.Read(0, 4, buffer), 0);
}

}  // namespace
}  // namespace quenterra
