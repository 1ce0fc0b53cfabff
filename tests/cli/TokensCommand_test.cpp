#include <gtest/gtest.h>

#include <string>

#include "support/RunCli.h"

namespace quenterra {
namespace {

using TokensCommandTest = test::TCliTest;

TEST_F(TokensCommandTest, MissingFileFailsBeforeAnyOutput) {
  test::TCliRun run = Run("tokens " + File("a.txt", "word") + " missing.txt");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "quenterra-cli: Unable to open file: missing.txt.\n");
}

TEST_F(TokensCommandTest, HelpAndBadUsage) {
  test::TCliRun help = Run("tokens --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: quenterra-cli tokens"));
  EXPECT_EQ(Run("tokens").status, 2);
  EXPECT_EQ(Run("tokens --frobnicate " + File("a.txt", "x")).status, 2);
  // After "--" a name that starts with a dash is a file.
  File("-odd.txt", "odd");
  EXPECT_EQ(Run("tokens -- -odd.txt").out, "0\t255\t1\todd\n");
  EXPECT_EQ(Run("tokens -odd.txt").status, 2);
}

}  // namespace
}  // namespace quenterra
