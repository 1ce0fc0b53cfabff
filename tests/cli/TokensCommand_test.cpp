// Runs the built quenterra-cli on files in a temporary folder.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace quenterra {
namespace {

struct TRun {
  std::string output;  // stdout, then stderr when asked for
  int status;
};

class TokensCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ::testing::TempDir() + "tokenscliXXXXXX";
    ASSERT_NE(mkdtemp(dir_.data()), nullptr);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // args are pasted into a shell command line: the tests pass only quoted temporary paths.
  // Runs in dir_, so that tests may name files relative to it.
  TRun Run(const std::string& args, bool withStderr = false) const {
    std::string command = "cd " + Quote(dir_) + " && '" + QUENTERRA_CLI + "' tokens " + args +
                          (withStderr ? " 2>&1" : " 2>/dev/null");
    TRun run{"", -1};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> chunk;
    size_t n;
    while ((n = fread(chunk.data(), 1, chunk.size(), pipe)) > 0) run.output.append(chunk.data(), n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }
  static std::string Quote(const std::string& path) { return "'" + path + "'"; }

  std::string dir_;
};

TEST_F(TokensCommandTest, PrintsFileOffsetKindAndTextOfEveryToken) {
  std::string first = Write("a.txt", "The <b>dog</b>\n barks.");
  std::string second = Write("b.txt", "  Cat");
  TRun run = Run(Quote(first) + " " + Quote(second));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output,
            "0\t255\t1\tthe\n"
            "0\t262\t1\tdog\n"
            "0\t271\t1\tbarks\n"
            "1\t257\t1\tcat\n");
}

TEST_F(TokensCommandTest, MissingFileFailsBeforeAnyOutput) {
  std::string present = Write("a.txt", "word");
  std::string missing = dir_ + "/missing.txt";
  TRun run = Run(Quote(present) + " " + Quote(missing), true);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "Unable to open file: " + missing + ".\n");
}

TEST_F(TokensCommandTest, HelpAndBadUsage) {
  TRun help = Run("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.output.rfind("Usage: quenterra-cli tokens", 0), 0u);
  EXPECT_EQ(Run("").status, 2);
  EXPECT_EQ(Run("--frobnicate " + Quote(Write("a.txt", "x"))).status, 2);
  // After "--" a name that starts with a dash is a file.
  Write("-odd.txt", "odd");
  EXPECT_EQ(Run("-- -odd.txt").output, "0\t255\t1\todd\n");
  EXPECT_EQ(Run("-odd.txt").status, 2);
}

}  // namespace
}  // namespace quenterra
