#include <gtest/gtest.h>

#include <string>

#include "support/RunCli.h"

namespace quenterra {
namespace {

using IndexCommandTest = test::TCliTest;

TEST_F(IndexCommandTest, PrintsWordsAndTypesLikeTheStatusPanel) {
  EXPECT_EQ(Run("index " + File("a", "the cat and the hat\n") + " " + File("b", "The end")).out,
            "7 words, 5 types\n");
  EXPECT_EQ(Run("index " + File("one", "x")).out, "1 word, 1 type\n");
  EXPECT_TRUE(TempIsEmpty());  // the temporary index files are gone
  // A corpus without words shows its size.
  EXPECT_EQ(Run("index " + File("dots", std::string(1536, '.'))).out, "1.50 kbytes, 1 file\n");
  EXPECT_EQ(Run("index " + File("e1", "") + " " + File("e2", ",")).out, "1 byte, 2 files\n");
}

TEST_F(IndexCommandTest, StatsAndWordTagSettings) {
  std::string out = Run("--set WordTag=1 --set wTagDelimiter=/ index --stats " +
                        File("t", "The/at dog/nn barks/vbz the/at\n"))
                        .out;
  EXPECT_EQ(out.substr(0, out.find('\n')), "4 words, 3 types");
  for (const char* line :
       {"positions: 8\n", "kind 5 (word tag): 3 tokens, 4 occurrences\n", "time: "})
    EXPECT_NE(out.find(line), std::string::npos) << out;
}

TEST_F(IndexCommandTest, BadUsageAndMissingFiles) {
  EXPECT_EQ(Run("index").status, 2);
  EXPECT_EQ(Run("index --bogus x").status, 2);
  EXPECT_EQ(Run("index missing").status, 1);
  EXPECT_TRUE(TempIsEmpty());
}

}  // namespace
}  // namespace quenterra
