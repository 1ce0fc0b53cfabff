#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/FileDamage.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

namespace fs = std::filesystem;

class WorkspaceCommandTest : public ::testing::Test {
 protected:
  // Runs the CLI in the data folder with TMPDIR inside the test; returns standard output and,
  // in *errors, standard error.
  std::string Run(const std::string& args, int* status = nullptr, std::string* errors = nullptr) {
    std::string errFile = tmp_.File("stderr");
    std::string command = "cd '" + dir_.Path().string() + "' && TMPDIR='" + tmp_.Path().string() +
                          "' '" + QUENTERRA_CLI + "' " + args + " 2>'" + errFile + "'";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[256];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    int raw = pclose(pipe);
    if (status != nullptr) *status = WEXITSTATUS(raw);
    if (errors != nullptr) *errors = test::ReadFileBytes(errFile);
    fs::remove(errFile);
    return out;
  }
  void Corpus(const std::string& name, const std::string& text) {
    test::WriteFileBytes(dir_.File(name), text);
  }
  // Standard output without the lines that depend on how the index was obtained.
  static std::string WithoutSourceLines(const std::string& out) {
    std::string kept;
    size_t at = 0;
    while (at < out.size()) {
      size_t end = out.find('\n', at);
      std::string line = out.substr(at, end - at + 1);
      if (!line.starts_with("index: ") && !line.starts_with("time: ")) kept += line;
      at = end + 1;
    }
    return kept;
  }
  bool TempIsEmpty() const { return fs::is_empty(tmp_.Path()); }

  test::TTempDir dir_;
  test::TTempDir tmp_;
};

constexpr char kTagged[] = "--no-config --set WordTag=1 --set wTagDelimiter=/ ";

TEST_F(WorkspaceCommandTest, CreateThenReopenWithoutIndexingAgain) {
  Corpus("a.txt", "The/at dog/nn barks/vbz\nthe/at cat/nn\n");
  Corpus("b.txt", "A/at dog/nn and/cc a/at cat/nn\n");
  int status = -1;
  std::string out = Run(std::string(kTagged) + "workspace create study.qws a.txt b.txt", &status);
  EXPECT_EQ(status, 0);
  std::string dir = dir_.File("study/");
  EXPECT_EQ(out, "Quenterra - Study\nworkspace: " + dir_.File("study.qws") + "\nindex: built in " +
                     dir + "\n2 files in current corpus\n10 words, 6 types\n");
  EXPECT_TRUE(TempIsEmpty());  // the temporary index moved into study/
  std::string seq = test::ReadFileBytes(dir + "SEQ_IDX.tmp");
  auto stamp = fs::last_write_time(dir + "PAGE_IDX.tmp");

  // Another process: the stored index, same figures as a fresh build, nothing rewritten.
  std::string stored = Run("--workspace study.qws index --stats", &status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(stored.find("index: stored in " + dir + "\n"), std::string::npos) << stored;
  std::string fresh = Run(std::string(kTagged) + "index --stats a.txt b.txt");
  EXPECT_NE(fresh.find("index: built in temporary files\n"), std::string::npos) << fresh;
  EXPECT_EQ(WithoutSourceLines(stored), WithoutSourceLines(fresh));
  EXPECT_NE(stored.find("kind 5 (word tag): 4 tokens, 10 occurrences\n"), std::string::npos);
  EXPECT_EQ(test::ReadFileBytes(dir + "SEQ_IDX.tmp"), seq);
  EXPECT_EQ(fs::last_write_time(dir + "PAGE_IDX.tmp"), stamp);

  // Every command takes its corpus and settings from the workspace.
  EXPECT_EQ(Run("--workspace study.qws tokens"),
            Run(std::string(kTagged) + "tokens " + dir_.File("a.txt") + " " + dir_.File("b.txt")));
  std::string extracted = Run("--workspace study.qws --set Min_Word_Freq=1 extract dog", &status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(extracted.find("the dog"), std::string::npos) << extracted;
  EXPECT_EQ(extracted, Run(std::string(kTagged) + "--set Min_Word_Freq=1 extract dog a.txt b.txt"));
  EXPECT_EQ(test::ReadFileBytes(dir + "SEQ_IDX.tmp"), seq);
}

TEST_F(WorkspaceCommandTest, AddAndInfo) {
  Corpus("a.txt", "one two\n");
  Corpus("b.txt", "three\n");
  Run("--no-config workspace create w.qws a.txt");
  int status = -1;
  std::string out = Run("workspace add w.qws b.txt", &status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find("2 files in current corpus\n3 words, 3 types\n"), std::string::npos) << out;
  out = Run("workspace info --files w.qws", &status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find("index: stored in "), std::string::npos) << out;
  EXPECT_TRUE(
      out.ends_with("file 0: " + dir_.File("a.txt") + "\nfile 1: " + dir_.File("b.txt") + "\n"))
      << out;

  // A file that has gone is named; the rest opens, with an index built for it.
  fs::remove(dir_.File("a.txt"));
  std::string errors;
  out = Run("workspace info w.qws", &status, &errors);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(errors, "Unable to open file: " + dir_.File("a.txt") + ".\nError loading the index.\n");
  EXPECT_NE(out.find("1 file in current corpus\n1 word, 1 type\n"), std::string::npos) << out;
}

TEST_F(WorkspaceCommandTest, RefusalsWriteNothing) {
  Corpus("a.txt", "one\n");
  int status = -1;
  Run("--no-config workspace create w.txt a.txt", &status);
  EXPECT_EQ(status, 2);  // not a workspace name
  Run("--no-config workspace create w.qws a.txt missing.txt", &status);
  EXPECT_EQ(status, 1);
  EXPECT_FALSE(fs::exists(dir_.File("w.qws")));
  EXPECT_FALSE(fs::exists(dir_.File("w")));
  EXPECT_TRUE(TempIsEmpty());

  Run("--no-config workspace create w.qws a.txt", &status);
  EXPECT_EQ(status, 0);
  Run("--no-config workspace create w.qws a.txt", &status);
  EXPECT_EQ(status, 1);  // exists already
  Run("--workspace w.qws index a.txt", &status);
  EXPECT_EQ(status, 2);  // a workspace or files, not both
  std::string errors;
  Run("--workspace nowhere.qws index", &status, &errors);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(errors, "Could not read from configuration file nowhere.qws!\n");
  Run("--config x.ini --workspace w.qws index", &status);
  EXPECT_EQ(status, 2);
}

TEST_F(WorkspaceCommandTest, NonTextFilesAreAskedAbout) {
  Corpus("a.txt", "one\n");
  test::WriteFileBytes(dir_.File("bin"), std::string(100, '\x02'));
  int status = -1;
  std::string errors;
  Run("--no-config index a.txt bin < /dev/null", &status, &errors);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(errors, dir_.File("bin") + "\r\ndoes not seem to be a text file. Open anyway? [no]\n");
  std::string out = Run("--no-config --yes index a.txt bin", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out, "1 word, 1 type\n");
}

}  // namespace
}  // namespace quenterra
