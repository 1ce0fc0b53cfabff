#include "platform/FileLock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "support/ErrorOf.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

using test::ErrorOf;

class FileLockTest : public ::testing::Test {
 protected:
  void TearDown() override { InstallLockWaitPolicy({}); }

  // A child process that holds the lock in `mode` from before this returns until it ends: after
  // `holdMs` milliseconds, or when killed.
  pid_t HoldInChild(TLockMode mode, int holdMs) {
    int ready[2];
    EXPECT_EQ(::pipe(ready), 0);
    pid_t pid = ::fork();
    if (pid == 0) {
      TFileLock lock(name_, mode);
      (void)!::write(ready[1], "x", 1);
      std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
      _exit(0);
    }
    char byte;
    EXPECT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    return pid;
  }

  test::TTempDir dir_;
  std::string name_ = dir_.File("sub/INDEX.lock");
};

// Holds of one process share one lock: taking it again costs nothing, asking for more converts
// it, and it goes with the last hold.
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

// A lock another process holds fails at once when the policy does not wait.
TEST_F(FileLockTest, WithoutWaitingALockHeldElsewhereFails) {
  pid_t holder = HoldInChild(TLockMode::kExclusive, 60000);
  InstallLockWaitPolicy({false, {}});
  EXPECT_EQ(ErrorOf([&] { TFileLock reader(name_, TLockMode::kShared); }),
            "File is locked by another program: " + name_ + ".");
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
}

// Readers share; a writer waits for them (told once), and a holder killed outright lets go.
TEST_F(FileLockTest, ProcessesTakeTurns) {
  pid_t reader = HoldInChild(TLockMode::kShared, 0);
  ::waitpid(reader, nullptr, 0);
  pid_t holder = HoldInChild(TLockMode::kShared, 150);
  { TFileLock alsoReading(name_, TLockMode::kShared); }  // readers share

  std::vector<std::string> told;
  InstallLockWaitPolicy({true, [&](const std::string& name) { told.push_back(name); }});
  auto start = std::chrono::steady_clock::now();
  {
    TFileLock writer(name_, TLockMode::kExclusive);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
  }
  EXPECT_EQ(told, std::vector<std::string>{name_});
  ::waitpid(holder, nullptr, 0);

  pid_t killed = HoldInChild(TLockMode::kExclusive, 60000);
  ::kill(killed, SIGKILL);
  ::waitpid(killed, nullptr, 0);
  InstallLockWaitPolicy({false, {}});
  TFileLock after(name_, TLockMode::kExclusive);
  EXPECT_TRUE(after.Holds(TLockMode::kExclusive));
}

}  // namespace
}  // namespace quenterra
