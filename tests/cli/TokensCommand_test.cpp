#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
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
  for (const char* bad : {"tokens", "index", "index --bogus x"}) EXPECT_EQ(Run(bad).status, 2);
  EXPECT_EQ(Run("tokens --frobnicate " + File("a.txt", "x")).status, 2);
  EXPECT_EQ(Run("index missing").status, 1);
  // After "--" a name that starts with a dash is a file.
  File("-odd.txt", "odd");
  EXPECT_EQ(Run("tokens -- -odd.txt").out, "0\t255\t1\todd\n");
  EXPECT_EQ(Run("tokens -odd.txt").status, 2);
}

// The counts name singulars, and a corpus without words shows its size.
TEST_F(TokensCommandTest, IndexCountsWordsAndTypesOrTheSize) {
  EXPECT_EQ(Run("index " + File("one", "x")).out, "1 word, 1 type\n");
  EXPECT_TRUE(TempIsEmpty());  // the temporary index files are gone
  EXPECT_EQ(Run("index " + File("dots", std::string(1536, '.'))).out, "1.50 kbytes, 1 file\n");
  EXPECT_EQ(Run("index " + File("e1", "") + " " + File("e2", ",")).out, "1 byte, 2 files\n");
}

// Files are checked as a corpus checks them, and the output ends as other tools' does: quietly
// when its reader goes away, with a message when the disk is full.
TEST_F(TokensCommandTest, CorpusChecksAndTheEndOfTheOutput) {
  test::TCliRun binary = Run("tokens " + File("bin", std::string(64, '\x01')));
  EXPECT_EQ(binary.status, 1);
  EXPECT_EQ(binary.out, "");
  EXPECT_NE(binary.err.find("does not seem to be a text file. Open anyway? [no]"),
            std::string::npos);
  std::filesystem::create_directory(Dir().Path() / "folder");
  test::TCliRun folder = Run("tokens folder");
  EXPECT_EQ(folder.status, 1);
  EXPECT_EQ(folder.err, "quenterra-cli: Is a directory: folder.\n");
  EXPECT_TRUE(Run("--version").out.starts_with("quenterra-cli "));

  std::string words;
  for (int i = 0; i < 200000; ++i) words += "word ";
  const std::string big = File("big", words);
  const std::string cli = std::string("'") + QUENTERRA_CLI + "' --no-config tokens " + big;
  const std::string dir = Dir().Path().string();
  const std::string pipe =
      "cd '" + dir + "' && { " + cli + " 2>err; echo $? >status; } | head -c 1 >/dev/null";
  ASSERT_EQ(std::system(pipe.c_str()), 0);
  EXPECT_EQ(Dir().Read("status"), "0\n");
  EXPECT_EQ(Dir().Read("err"), "");
  const std::string full = "cd '" + dir + "' && { " + cli + " >/dev/full 2>err; echo $? >status; }";
  ASSERT_EQ(std::system(full.c_str()), 0);
  EXPECT_EQ(Dir().Read("status"), "1\n");
  EXPECT_EQ(Dir().Read("err"), "quenterra-cli: Unable to write to standard output.\n");
}

// The settings of the sample workspace (scripts/brown.ini) keep every Brown tag whole, and the
// Word/Tag syntax reads such tags.
TEST_F(TokensCommandTest, TheSampleSettingsReadEveryBrownTagWhole) {
  const std::filesystem::path samples(QUENTERRA_SAMPLES_DIR);
  const std::string text = samples.string() + "/brown/ca01";
  if (!std::filesystem::exists(text)) GTEST_SKIP() << "no sample corpus";
  const std::string settings =
      "--config '" + (samples.parent_path() / "scripts/brown.ini").string() + "' ";
  const std::string tokens = Run(settings + "tokens " + text).out;
  EXPECT_NE(tokens.find("\t1\this\n0\t7450\t5\tpp$\n"), std::string::npos);
  EXPECT_NE(tokens.find("\t1\tnot\n0\t6064\t5\t*\n"), std::string::npos);
  test::TCliRun tagged =
      Run(settings + "extract --syntax tag --format tsv --min-freq 1 'his&pp$' " + text);
  EXPECT_EQ(tagged.status, 0) << tagged.err;
  EXPECT_NE(tagged.out.find(" PP$"), std::string::npos);
}

}  // namespace
}  // namespace quenterra
