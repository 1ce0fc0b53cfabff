#include "corpus/FileHandle.h"

#include <gtest/gtest.h>

#include <string>

#include "support/TempDir.h"

namespace quenterra {
namespace {

TEST(FileHandle, ReadsAtOffsetsAndContinues) {
  test::TTempDir dir;
  TFileHandle file;
  ASSERT_TRUE(file.Open(dir.Write("f.txt", "abcdefghij")));
  EXPECT_EQ(file.Size(), 10);
  char buffer[16] = {};
  auto read = [&](int64_t offset, int64_t count) {
    return std::string(buffer, static_cast<size_t>(file.Read(offset, count, buffer)));
  };
  EXPECT_EQ(read(2, 3), "cde");
  EXPECT_EQ(read(-1, 2), "fg");  // continues where the last read stopped
  EXPECT_EQ(read(8, 5), "ij");   // cut at the end of the file
  EXPECT_EQ(read(-1, 5), "");
  EXPECT_EQ(read(0, 1), "a");
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(read(0, 1), "");
}

}  // namespace
}  // namespace quenterra
