#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/FileLock.h"
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

// A workspace whose corpus files cannot all be opened names each and stops with status 1 (that
// its index stays for the day the files are back: Workspace_test).
TEST_F(WorkspaceCommandTest, MissingCorpusFilesStopTheRun) {
  File("a.txt", "one two\n");
  File("b.txt", "three\n");
  File("c.txt", "four\n");
  ASSERT_EQ(Run("--no-config workspace create w.qws a.txt b.txt c.txt").status, 0);
  fs::remove(Dir().File("a.txt"));
  fs::remove(Dir().File("c.txt"));
  test::TCliRun run = Run("workspace info w.qws");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "quenterra-cli: Unable to open file: " + Dir().File("a.txt") +
                         ".\nquenterra-cli: Unable to open file: " + Dir().File("c.txt") + ".\n");
  EXPECT_EQ(Run("--workspace w.qws extract three").status, 1);
}

// --set options that split text otherwise are for their run only: it indexes in temporary files
// and says so; the stored index stays. save-settings makes them the workspace's own.
TEST_F(WorkspaceCommandTest, OneOffSettingsNeverRewriteTheStoredIndex) {
  File("a.txt", "Word word WORD other\n");
  File("b.txt", "more\n");
  ASSERT_EQ(Run("--no-config workspace create w.qws a.txt").status, 0);
  std::string seq = test::ReadFileBytes(Dir().File("w/SEQ_IDX.tmp"));
  test::TCliRun run = Run("--workspace w.qws --set ignoreCase=0 index --stats");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err,
            "quenterra-cli: the --set options split the corpus otherwise than the workspace's "
            "settings: indexing it in temporary files for this run ('workspace save-settings' "
            "makes them its own)\n");
  EXPECT_TRUE(run.out.starts_with("4 words, 4 types\nindex: built in temporary files\n"))
      << run.out;
  EXPECT_TRUE(TempIsEmpty());
  run = Run("--workspace w.qws index --stats");
  EXPECT_TRUE(run.out.starts_with("4 words, 2 types\nindex: stored in")) << run.out;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(test::ReadFileBytes(Dir().File("w/SEQ_IDX.tmp")), seq);
  EXPECT_EQ(Run("--set ignoreCase=0 workspace add w.qws b.txt").status, 2);

  run = Run("--set ignoreCase=0 workspace save-settings w.qws");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out.find("index: built in " + Dir().File("w/")), std::string::npos) << run.out;
  run = Run("--workspace w.qws index --stats");
  EXPECT_TRUE(run.out.starts_with("4 words, 4 types\nindex: stored in")) << run.out;
  EXPECT_EQ(run.err, "");
  // add keeps the workspace's settings and takes --set options that split alike.
  EXPECT_EQ(Run("--set SpanRange=5 workspace add w.qws b.txt").status, 0);
  EXPECT_NE(test::ReadFileBytes(Dir().File("w.qws")).find("SpanRange=2"), std::string::npos);
}

// A FIFO (or any file that is not a regular file) is refused with a message, never waited on.
TEST_F(WorkspaceCommandTest, OnlyRegularFilesAreRead) {
  File("a.txt", "one two\n");
  const std::string fifo = Dir().File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(Dir().File("fifo.qws").c_str(), 0600), 0);
  File("w.qws", "[Corpus files]\nFileCount=2\nFile0=a.txt\nFile1=fifo\n");
  const std::string notRegular = "quenterra-cli: Not a regular file: " + fifo + ".\n";
  EXPECT_EQ(Run("--no-config index fifo").err, notRegular);
  EXPECT_EQ(Run("--no-config extract --batch fifo a.txt").err,
            "quenterra-cli: Not a regular file: fifo.\n");
  EXPECT_EQ(Run("workspace info w.qws").err, notRegular);
  for (const char* args : {"--no-config --stoplist fifo index a.txt",
                           "--no-config --set UseStoplist=1 --set StopListFileName=fifo extract "
                           "one a.txt",
                           "--config fifo index a.txt", "--workspace fifo.qws index"}) {
    test::TCliRun run = Run(args);
    EXPECT_EQ(run.status, 1) << args;
    EXPECT_NE(run.err, "") << args;
  }
  // A stop list that cannot be read fails the run rather than give a list computed without it.
  test::TCliRun run =
      Run("--no-config --set UseStoplist=1 --set StopListFileName=gone.txt extract one a.txt");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "quenterra-cli: Unable to load stop-list words from file \r\ngone.txt\n");
}

// A workspace that another run is using: --no-wait fails at once, else the run waits, says so,
// and goes on when the other run is done.
TEST_F(WorkspaceCommandTest, AWorkspaceInUseIsWaitedForOrRefused) {
  File("a.txt", "one two\n");
  File("b.txt", "three\n");
  ASSERT_EQ(Run("--no-config workspace create w.qws a.txt").status, 0);
  const std::string dir = Dir().File("w/");
  auto held = std::make_unique<TFileLock>(dir + "INDEX.lock", TLockMode::kExclusive);
  test::TCliRun run = Run("--no-wait --workspace w.qws index");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "quenterra-cli: Another run is using the index in " + dir + ".\n");
  EXPECT_EQ(Run("--no-wait workspace add w.qws b.txt").status, 1);
  EXPECT_EQ(Run("--no-wait workspace create w.qws b.txt").status, 1);
  test::TCliProcess waiting = Start("workspace add w.qws b.txt");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  held.reset();
  run = waiting.Wait();
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "quenterra-cli: waiting for another run to finish with " + dir + "\n");
  EXPECT_NE(run.out.find("2 files in current corpus"), std::string::npos) << run.out;
}

// An addition that fills the disk (here: a file-size limit) at any point fails with status 1
// and leaves the workspace as it was, usable at once.
TEST_F(WorkspaceCommandTest, AnAdditionThatFillsTheDiskLeavesTheWorkspaceAsItWas) {
  std::string text, more;
  for (int i = 0; i < 3000; ++i) text += "w" + std::to_string(i % 700) + (i % 9 ? " " : "\n");
  for (int i = 0; i < 30000; ++i) more += "v" + std::to_string(i % 900) + (i % 9 ? " " : "\n");
  File("a.txt", text);
  File("b.txt", more);
  ASSERT_EQ(Run("--no-config workspace create w.qws a.txt").status, 0);
  const std::string before = Run("--workspace w.qws index").out;
  const std::string qws = test::ReadFileBytes(Dir().File("w.qws"));
  const std::string seq = test::ReadFileBytes(Dir().File("w/SEQ_IDX.tmp"));
  for (const char* limit : {"ulimit -f 20", "ulimit -f 200"}) {  // 512-byte blocks
    test::TCliRun run = Run("workspace add w.qws b.txt", limit);
    EXPECT_EQ(run.status, 1) << limit;
    EXPECT_TRUE(run.err.starts_with("quenterra-cli: Unable to write to file: ")) << run.err;
    EXPECT_EQ(test::ReadFileBytes(Dir().File("w.qws")), qws);
    EXPECT_EQ(test::ReadFileBytes(Dir().File("w/SEQ_IDX.tmp")), seq);
    EXPECT_EQ(
        test::DirectoryEntries(Dir().File("w")),
        (std::vector<std::string>{"INDEX.lock", "INDEX_STATE.ini", "PAGE_IDX.tmp", "SEQ_IDX.tmp"}));
    run = Run("--workspace w.qws index");
    EXPECT_EQ(run.out, before);
    EXPECT_EQ(run.err, "");
  }
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
  EXPECT_EQ(run.err, "quenterra-cli: Could not read from configuration file nowhere.qws!\n");
  EXPECT_EQ(Run("--config x.ini --workspace w.qws index").status, 2);
}

// A wildcard over a corpus folder that also holds a workspace's index takes none of its files.
TEST_F(WorkspaceCommandTest, AnotherWorkspacesIndexFilesAreLeftOut) {
  std::filesystem::create_directory(Dir().Path() / "c");
  File("c/a.txt", "one two\n");
  ASSERT_EQ(Run("--no-config workspace create c.qws c/a.txt").status, 0);
  test::TCliRun run = Run("--no-config workspace create other.qws c/*");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("Left out " + Dir().File("c/PAGE_IDX.tmp") + ": a file of the index of "),
            std::string::npos)
      << run.err;
  const std::string listed = Run("workspace info --files other.qws").out;
  EXPECT_NE(listed.find("file 0: " + Dir().File("c/a.txt")), std::string::npos) << listed;
  EXPECT_EQ(listed.find("file 1:"), std::string::npos) << listed;
}

TEST_F(WorkspaceCommandTest, NonTextFilesAreAskedAbout) {
  File("a.txt", "one\n");
  File("bin", std::string(100, '\x02'));
  test::TCliRun run = Run("--no-config index a.txt bin");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "quenterra-cli: " + Dir().File("bin") +
                         "\r\ndoes not seem to be a text file. Open anyway? [no]\n");
  run = Run("--no-config --yes index a.txt bin");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "1 word, 1 type\n");

  // A workspace's files were accepted when its index was built: unchanged, they are not asked
  // about again; changed, they are.
  ASSERT_EQ(Run("--no-config --yes workspace create ws.qws a.txt bin").status, 0);
  run = Run("--workspace ws.qws index --stats");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  File("bin", std::string(101, '\x02'));
  EXPECT_EQ(Run("--workspace ws.qws index --stats").status, 1);
}

}  // namespace
}  // namespace quenterra
