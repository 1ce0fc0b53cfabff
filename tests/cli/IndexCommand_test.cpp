#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/FileDamage.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

class IndexCommandTest : public ::testing::Test {
 protected:
  // Runs the CLI with TMPDIR inside the test folder; returns standard output.
  std::string Run(const std::string& args, int* status = nullptr) {
    std::string command =
        "TMPDIR='" + tmp_.Path().string() + "' '" + QUENTERRA_CLI + "' " + args + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[256];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    int raw = pclose(pipe);
    if (status != nullptr) *status = WEXITSTATUS(raw);
    return out;
  }
  std::string File(const std::string& name, const std::string& text) {
    test::WriteFileBytes(dir_.File(name), text);
    std::string quoted = "'";
    quoted += dir_.File(name);
    return quoted += "'";
  }
  bool TempIsEmpty() const { return std::filesystem::is_empty(tmp_.Path()); }

  test::TTempDir dir_;
  test::TTempDir tmp_;
};

TEST_F(IndexCommandTest, PrintsWordsAndTypesLikeTheStatusPanel) {
  EXPECT_EQ(Run("index " + File("a", "the cat and the hat\n") + " " + File("b", "The end")),
            "7 words, 5 types\n");
  EXPECT_EQ(Run("index " + File("one", "x")), "1 word, 1 type\n");
  EXPECT_TRUE(TempIsEmpty());  // the temporary index files are gone
}

TEST_F(IndexCommandTest, CorpusWithoutWordsShowsItsSize) {
  EXPECT_EQ(Run("index " + File("dots", std::string(1536, '.'))), "1.50 kbytes, 1 file\n");
  EXPECT_EQ(Run("index " + File("e1", "") + " " + File("e2", ",")), "1 byte, 2 files\n");
}

TEST_F(IndexCommandTest, StatsAndWordTagSettings) {
  std::string out = Run("--set WordTag=1 --set wTagDelimiter=/ index --stats " +
                        File("t", "The/at dog/nn barks/vbz the/at\n"));
  EXPECT_EQ(out.substr(0, out.find('\n')), "4 words, 3 types");
  EXPECT_NE(out.find("positions: 8\n"), std::string::npos) << out;
  EXPECT_NE(out.find("kind 5 (word tag): 3 tokens, 4 occurrences\n"), std::string::npos) << out;
  EXPECT_NE(out.find("time: "), std::string::npos);
}

TEST_F(IndexCommandTest, BadUsageAndMissingFiles) {
  int status = 0;
  Run("index", &status);
  EXPECT_EQ(status, 2);
  Run("index --bogus x", &status);
  EXPECT_EQ(status, 2);
  Run(std::string("index '").append(dir_.File("missing")).append("'"), &status);
  EXPECT_EQ(status, 1);
  EXPECT_TRUE(TempIsEmpty());
}

}  // namespace
}  // namespace quenterra
