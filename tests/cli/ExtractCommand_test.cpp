#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/FileDamage.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

class ExtractCommandTest : public ::testing::Test {
 protected:
  // Runs the CLI without a settings file, TMPDIR inside the test folder; returns standard
  // output, with standard error after it when withErrors is set.
  std::string Run(const std::string& args, int* status = nullptr, bool withErrors = false) {
    std::string command = "TMPDIR='" + tmp_.Path().string() + "' '" + QUENTERRA_CLI +
                          "' --no-config " + args + (withErrors ? " 2>&1" : " 2>/dev/null");
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
    return "'" + dir_.File(name) + "'";
  }

  test::TTempDir dir_;
  test::TTempDir tmp_;
};

TEST_F(ExtractCommandTest, TextIsTheSavedListFile) {
  std::string corpus = File("a", "the cat the dog\n");
  EXPECT_EQ(Run("extract --min-freq 1 --score none the " + corpus),
            "Collocation List ( 3 collocations )\r\n\r\n"
            "Freq\tCollocation\r\n________________\r\n\r\n"
            "1\tthe cat\r\n1\tcat the\r\n1\tthe dog\r\n");
  std::string scored = Run("extract --min-freq 1 --sort alpha,freq the " + corpus);
  EXPECT_NE(scored.find("Score method: Mutual Information\r\n\r\nFreq\tMutual Inf.\tCollocation"
                        "\r\n____________________________\r\n\r\n1\t1.000000\tcat the\r\n"),
            std::string::npos)
      << scored;
  EXPECT_TRUE(std::filesystem::is_empty(tmp_.Path()));  // the index files are gone
}

TEST_F(ExtractCommandTest, TsvAndJsonForPrograms) {
  std::string corpus = File("a", "the cat the dog the cat the\n");
  EXPECT_EQ(
      Run("extract --format tsv --score none --span 3 --sort position,alpha 'the > cat' " + corpus),
      "count\tscore\tposition\ttext\n2\t\t0\tthe cat the\n");
  // k = 2, f = 4 and 2, N = 7: (2 - 8 / 7) / sqrt 2.
  EXPECT_EQ(Run("--set Min_Word_Freq=1 extract --format=tsv --no-freq --score t the " + corpus),
            "count\tscore\tposition\ttext\n2\t0.606092\t0\tthe cat\n2\t0.606092\t1\tcat the\n"
            "1\t0.428571\t0\tthe dog\n1\t0.428571\t1\tdog the\n");
  std::string json = Run("extract --format json 'the + cat' " + corpus);
  EXPECT_NE(json.find("\"caption\""), std::string::npos) << json;
  EXPECT_NE(json.find("the + cat"), std::string::npos) << json;
  EXPECT_NE(json.find("\"the cat\""), std::string::npos) << json;
}

TEST_F(ExtractCommandTest, BatchesTagsAndStopLists) {
  std::string corpus = File("t", "the/at dog/nn barks/vbz the/at dog/nn sleeps/vbz\n");
  std::string lines = File("lines", "dog&nn\r\n\r\ndog + barks\r\n");
  std::string out =
      Run("--set WordTag=1 --set wTagDelimiter=/ extract --syntax tag --min-freq 1 "
          "--score none --sort alpha --format tsv --batch " +
          lines + " " + corpus);
  EXPECT_EQ(out,
            "count\tscore\tposition\ttext\n"
            "2\t\t0\tdog NN barks VBZ\n"  // counted by both lines
            "1\t\t0\tdog NN sleeps VBZ\n"
            "2\t\t1\tthe AT dog NN\n");
  std::string stop = File("stop", "Dog\r\n");
  EXPECT_EQ(Run("--set WordTag=1 --set wTagDelimiter=/ extract --min-freq 1 --score none "
                "--format tsv the --stoplist " +
                stop + " " + corpus),
            "count\tscore\tposition\ttext\n1\t\t1\tbarks the\n");
}

TEST_F(ExtractCommandTest, PatternErrorsAndBadUsage) {
  std::string corpus = File("a", "post office\n");
  int status = 0;
  EXPECT_EQ(Run("extract 'post +' " + corpus, &status, true),
            "Incorrect use of \"+\" at the end of the extract term.\n");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(Run("extract --syntax regex '(a' " + corpus, &status, true), "Unmatched ( or \\(\n");
  EXPECT_EQ(status, 1);
  for (const char* bad : {"extract", "extract the", "extract --span 13 the x",
                          "extract --score none --sort score the x", "extract --sort freq,freq a x",
                          "extract --sort position,revpos a x", "extract --syntax tag a x",
                          "extract --sort postag a x", "extract --bogus a x"}) {
    Run(bad, &status);
    EXPECT_EQ(status, 2) << bad;
  }
  Run("extract the '" + dir_.File("missing") + "'", &status);
  EXPECT_EQ(status, 1);
  EXPECT_TRUE(std::filesystem::is_empty(tmp_.Path()));
}

}  // namespace
}  // namespace quenterra
