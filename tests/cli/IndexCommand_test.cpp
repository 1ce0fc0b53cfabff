#include <gtest/gtest.h>

#include <string>

#include "support/RunCli.h"

namespace quenterra {
namespace {

using IndexCommandTest = test::TCliTest;

TEST_F(IndexCommandTest, SingularsAndCorporaWithoutWords) {
  EXPECT_EQ(Run("index " + File("one", "x")).out, "1 word, 1 type\n");
  EXPECT_TRUE(TempIsEmpty());  // the temporary index files are gone
  // A corpus without words shows its size.
  EXPECT_EQ(Run("index " + File("dots", std::string(1536, '.'))).out, "1.50 kbytes, 1 file\n");
  EXPECT_EQ(Run("index " + File("e1", "") + " " + File("e2", ",")).out, "1 byte, 2 files\n");
}

TEST_F(IndexCommandTest, BadUsageAndMissingFiles) {
  EXPECT_EQ(Run("index").status, 2);
  EXPECT_EQ(Run("index --bogus x").status, 2);
  EXPECT_EQ(Run("index missing").status, 1);
  EXPECT_TRUE(TempIsEmpty());
}

}  // namespace
}  // namespace quenterra
