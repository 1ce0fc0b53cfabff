#include "platform/Files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "platform/AtomicFile.h"
#include "platform/Crc32c.h"
#include "support/EnvScope.h"
#include "support/ErrorOf.h"
#include "support/FileDamage.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

namespace fs = std::filesystem;
using test::ErrorOf;

// The check values of RFC 3720 (iSCSI), and splits at every point agreeing with the whole.
TEST(Crc32c, KnownValuesAndExtension) {
  EXPECT_EQ(Crc32c("123456789", 9), 0xE3069283u);
  std::string bytes(32, '\0');
  EXPECT_EQ(Crc32c(bytes.data(), 32), 0x8A9136AAu);
  bytes.assign(32, '\xFF');
  EXPECT_EQ(Crc32c(bytes.data(), 32), 0x62A8AB43u);
  for (int i = 0; i < 32; ++i) bytes[i] = static_cast<char>(i);
  EXPECT_EQ(Crc32c(bytes.data(), 32), 0x46DD794Eu);
  EXPECT_EQ(Crc32c(nullptr, 0), 0u);

  std::mt19937 rng(5);
  std::string random(300, '\0');
  for (char& c : random) c = static_cast<char>(rng());
  const uint32_t whole = Crc32c(random.data(), random.size());
  for (size_t split = 0; split <= random.size(); split += 7) {
    uint32_t head = Crc32c(random.data(), split);
    EXPECT_EQ(Crc32cExtend(head, random.data() + split, random.size() - split), whole) << split;
  }
  test::TTempDir dir;
  std::string name = dir.Write("f", random);
  EXPECT_EQ(FileCrc32c(name), (TFileSum{300, whole}));
  EXPECT_EQ(ErrorOf([&] { FileCrc32c(dir.File("none")); }),
            "Unable to open file: " + dir.File("none") + ".");
}

// A FIFO, a directory or a device is refused at once, never waited on.
TEST(Files, OnlyRegularFilesAreOpened) {
  test::TTempDir dir;
  std::string fifo = dir.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& name : {fifo, dir.Path().string(), std::string("/dev/null")}) {
    EXPECT_EQ(ErrorOf([&] { OpenRegularFile(name, O_RDONLY); }),
              "Not a regular file: " + name + ".");
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(name, 100); }), "Not a regular file: " + name + ".");
  }
  EXPECT_EQ(ErrorOf([&] { OpenRegularFile(dir.File("none"), O_RDONLY); }),
            "Unable to open file: " + dir.File("none") + ".");
  TFileDescriptor fd(OpenRegularFile(dir.Write("plain", "abc"), O_RDONLY));
  char buffer[4];
  EXPECT_EQ(::read(fd.Get(), buffer, 4), 3);  // blocking reads as usual
}

TEST(Files, TemporaryFilesWithoutNamesAndCopies) {
  test::TTempDir data;
  test::TTempDir tmp;
  test::TEnvScope tmpdir("TMPDIR", tmp.Path().c_str());
  TFileDescriptor fd(OpenAnonymousTempFile(TempDirectory() + "PGX"));
  ASSERT_EQ(::write(fd.Get(), "index", 5), 5);
  EXPECT_TRUE(test::DirectoryEntries(tmp.Path().string()).empty());
  std::string copy = data.Write("copy", "older and longer");
  CopyFileContents(fd.Get(), copy);
  EXPECT_EQ(test::ReadFileBytes(copy), "index");
  TFileIdentity identity = IdentityOf(fd.Get());
  EXPECT_EQ(identity.size, 5);
  EXPECT_NE(identity.inode,
            IdentityOf(TFileDescriptor(OpenRegularFile(copy, O_RDONLY)).Get()).inode);
}

// Leftovers beside a file are removed when the process that made them is gone; those of a
// running process, and names of another shape, stay.
TEST(Files, LeftoversOfDeadRunsAreRemoved) {
  pid_t child = ::fork();
  if (child == 0) _exit(0);
  ASSERT_GT(child, 0);
  ::waitpid(child, nullptr, 0);
  test::TTempDir dir;
  std::string dead = std::to_string(child), alive = std::to_string(::getpid());
  for (const std::string& name :
       {"w.qws.tmp" + dead + "-0", "w.qws.tmp" + alive + "-3", "w.qws.tmp" + dead + "-x",
        std::string("w.qws.tmpx-1"), "v.qws.tmp" + dead + "-1", std::string("w.qws")}) {
    dir.Write(name, "");
  }
  RemoveDeadTempFiles(dir.File("w.qws"));
  EXPECT_EQ(
      test::DirectoryEntries(dir.Path().string()),
      (std::vector<std::string>{"v.qws.tmp" + dead + "-1", "w.qws", "w.qws.tmp" + alive + "-3",
                                "w.qws.tmp" + dead + "-x", "w.qws.tmpx-1"}));
}

TEST(Files, NamesRelativeToAFolder) {
  const std::string folder = "/data/study/";
  const std::pair<const char*, const char*> cases[] = {
      {"/data/study/a.txt", "a.txt"},
      {"/data/study/texts/b", "texts/b"},
      {"/data/other/a.txt", "/data/other/a.txt"},
      {"/data/studyx/a", "/data/studyx/a"},
      {"/data/study/../x", "/data/study/../x"},
      {"/data/study/", "/data/study/"},
  };
  for (const auto& [name, relative] : cases) {
    EXPECT_EQ(RelativeToFolder(name, folder), relative) << name;
  }
  EXPECT_EQ(ResolveInFolder("texts/b", folder), "/data/study/texts/b");
  EXPECT_EQ(ResolveInFolder("/abs/c", folder), "/abs/c");
}

}  // namespace
}  // namespace quenterra
