#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/FileDamage.h"
#include "support/RunCli.h"

namespace quenterra {
namespace {

namespace fs = std::filesystem;

using WorkspaceCommandTest = test::TCliTest;

constexpr char kTagged[] = "--no-config --set WordTag=1 --set wTagDelimiter=/ ";

TEST_F(WorkspaceCommandTest, ReopenedWithItsSettingsWithoutIndexingAgain) {
  File("a.txt", "The/at dog/nn barks/vbz\nthe/at cat/nn\n");
  File("b.txt", "A/at dog/nn and/cc a/at cat/nn\n");
  ASSERT_EQ(Run(std::string(kTagged) + "workspace create study.qws a.txt b.txt").status, 0);
  EXPECT_TRUE(TempIsEmpty());  // the temporary index moved into study/
  std::string seq = test::ReadFileBytes(Dir().File("study/SEQ_IDX.tmp"));
  // Another process opens the stored index, with the workspace's word-tag settings.
  EXPECT_EQ(Run("--workspace study.qws tokens").out,
            Run(std::string(kTagged) + "tokens a.txt b.txt").out);
  test::TCliRun run = Run("--workspace study.qws --set Min_Word_Freq=1 extract dog");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("the dog"), std::string::npos) << run.out;
  EXPECT_EQ(test::ReadFileBytes(Dir().File("study/SEQ_IDX.tmp")), seq);  // nothing rewritten
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(WorkspaceCommandTest, AFileThatHasGoneIsNamedAndTheRestOpens) {
  File("a.txt", "one two\n");
  File("b.txt", "three\n");
  ASSERT_EQ(Run("--no-config workspace create w.qws a.txt b.txt").status, 0);
  fs::remove(Dir().File("a.txt"));
  test::TCliRun run = Run("workspace info w.qws");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err,
            "Unable to open file: " + Dir().File("a.txt") + ".\nError loading the index.\n");
  EXPECT_NE(run.out.find("1 file in current corpus\n1 word, 1 type\n"), std::string::npos)
      << run.out;
}

TEST_F(WorkspaceCommandTest, RefusalsWriteNothing) {
  File("a.txt", "one\n");
  EXPECT_EQ(Run("--no-config workspace create w.txt a.txt").status, 2);  // not a workspace name
  EXPECT_EQ(Run("--no-config workspace create w.qws a.txt missing.txt").status, 1);
  EXPECT_FALSE(fs::exists(Dir().File("w.qws")));
  EXPECT_FALSE(fs::exists(Dir().File("w")));
  EXPECT_TRUE(TempIsEmpty());

  EXPECT_EQ(Run("--no-config workspace create w.qws a.txt").status, 0);
  EXPECT_EQ(Run("--no-config workspace create w.qws a.txt").status, 1);  // exists already
  EXPECT_EQ(Run("--workspace w.qws index a.txt").status, 2);  // a workspace or files, not both
  test::TCliRun run = Run("--workspace nowhere.qws index");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Could not read from configuration file nowhere.qws!\n");
  EXPECT_EQ(Run("--config x.ini --workspace w.qws index").status, 2);
}

TEST_F(WorkspaceCommandTest, NonTextFilesAreAskedAbout) {
  File("a.txt", "one\n");
  File("bin", std::string(100, '\x02'));
  test::TCliRun run = Run("--no-config index a.txt bin");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            Dir().File("bin") + "\r\ndoes not seem to be a text file. Open anyway? [no]\n");
  run = Run("--no-config --yes index a.txt bin");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "1 word, 1 type\n");
}

}  // namespace
}  // namespace quenterra
