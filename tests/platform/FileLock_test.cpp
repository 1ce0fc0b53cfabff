#include "platform/FileLock.h"

#include <gtest/gtest.h>

#include <string>

#include "support/TempDir.h"

namespace quenterra {
namespace {

class FileLockTest : public ::testing::Test {
 protected:
  test::TTempDir dir_;
  std::string name_ = dir_.File("sub/INDEX.lock");
};

// Holds of one process share one lock: taking it again costs nothing, asking for more converts
// it, and it goes with the last hold. (How processes take turns: the command-line tests.)
TEST_F(FileLockTest, HoldsWithinAProcessShareOneLock) {
  TFileLock reader(name_, TLockMode::kShared);
  EXPECT_TRUE(reader.Holds(TLockMode::kShared));
  EXPECT_FALSE(reader.Holds(TLockMode::kExclusive));
  {
    TFileLock writer(name_, TLockMode::kExclusive);  // no wait on ourselves
    EXPECT_TRUE(reader.Holds(TLockMode::kExclusive));
    TFileLock moved = std::move(writer);
    EXPECT_FALSE(writer.Holds(TLockMode::kShared));
    EXPECT_TRUE(moved.Holds(TLockMode::kExclusive));
  }
  EXPECT_TRUE(reader.Holds(TLockMode::kExclusive));  // never weakened while held
}

}  // namespace
}  // namespace quenterra
