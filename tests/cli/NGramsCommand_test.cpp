// quenterra-cli ngrams and full-extract, run as a user runs them.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/FileDamage.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

class NGramsCommandTest : public ::testing::Test {
 protected:
  // Runs the CLI without a settings file, standard input not a terminal, TMPDIR inside the
  // test folder; returns standard output, with standard error after it when withErrors is set.
  std::string Run(const std::string& args, int* status = nullptr, bool withErrors = false) {
    std::string command = "TMPDIR='" + tmp_.Path().string() + "' '" + QUENTERRA_CLI +
                          "' --no-config " + args + " </dev/null" +
                          (withErrors ? " 2>&1" : " 2>/dev/null");
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
  bool TempIsEmpty() const { return std::filesystem::is_empty(tmp_.Path()); }

  test::TTempDir dir_;
  test::TTempDir tmp_;
};

TEST_F(NGramsCommandTest, NGramsWithAndWithoutTags) {
  const std::string corpus = File("t", "the/at dog/nn barks/vbz the/at dog/nn sleeps/vbz\n");
  const std::string tags = "--set WordTag=1 --set wTagDelimiter=/ ";
  EXPECT_EQ(
      Run(tags + "ngrams --span 2 --min-freq 1 --score none --sort alpha --format tsv " + corpus),
      "count\tscore\tposition\ttext\n1\t\t0\tbarks the\n1\t\t0\tdog barks\n"
      "1\t\t0\tdog sleeps\n2\t\t0\tthe dog\n");
  EXPECT_EQ(Run(tags +
                "ngrams --span=2 --pos-tags --min-freq 1 --score none --sort postag,freq "
                "--format tsv " +
                corpus),
            "count\tscore\tposition\ttext\n2\t\t0\tthe AT dog NN\n1\t\t0\tdog NN barks VBZ\n"
            "1\t\t0\tdog NN sleeps VBZ\n1\t\t0\tbarks VBZ the AT\n");
  // The default: Max_Span words, Min_Word_Freq 2, Mutual Information.
  const std::string json = Run(tags + "ngrams --span 3 --format json " + corpus);
  EXPECT_EQ(json.substr(0, json.find("[")),
            "{\"caption\":\"N-Grams\",\"wordCount\":3,\"scoreMethod\":\"Mutual Information\","
            "\"items\":");
  EXPECT_NE(json.find("[\n]}"), std::string::npos) << json;  // only "the dog" repeats
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(NGramsCommandTest, FullExtractAsksBeforeALongRun) {
  const std::string corpus = File("a", "a b c d a b c\n");
  const std::string options =
      "full-extract --min-span 3 --max-span 5 --min-freq 1 --if-min -100 --ef-min 1 "
      "--sort alpha --format tsv ";
  int status = 0;
  // Nothing was filtered: without --yes and a terminal the answer is No.
  EXPECT_EQ(Run(options + corpus, &status, true),
            "Less than 10% of the bigrams were filtered. Full extract may take long time. Do you "
            "want to continue? [no]\nfull-extract: stopped, no list\n");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(Run(options + "--yes " + corpus, &status),
            "count\tscore\tposition\ttext\n2\t2\t0\ta b c\n1\t4\t0\ta b c d a\n"
            "1\t4\t0\tb c d a b\n1\t4\t0\tc d a b c\n1\t3\t0\td a b c\n");
  EXPECT_EQ(status, 0);
  // Mutual Information as the extended filter, then hidden.
  const std::string mi = Run("--yes full-extract --ef-method mi --ef-min 100 " + corpus);
  EXPECT_NE(mi.find("Score method: Mutual Information"), std::string::npos) << mi;
  EXPECT_NE(mi.find("( 0 collocations )"), std::string::npos) << mi;
  const std::string none = Run(options + "--yes --score none --no-freq " + corpus);
  EXPECT_EQ(none.substr(0, none.find('\n')), "count\tscore\tposition\ttext");
  EXPECT_NE(none.find("\n2\t\t0\ta b c\n"), std::string::npos) << none;
  EXPECT_TRUE(TempIsEmpty());  // no index files, no tree store
}

TEST_F(NGramsCommandTest, BadUsage) {
  const std::string corpus = File("a", "a b\n");
  int status = 0;
  for (const std::string bad :
       {"ngrams", "ngrams --span 13 x", "ngrams --span 1 x", "ngrams --pos-tags x",
        "ngrams --sort postag x", "ngrams --span 3 --score t --sort score x", "ngrams --bogus x",
        "full-extract", "full-extract --min-span 4 --max-span 4 x", "full-extract --max-span 13 x",
        "full-extract --if-method cost x", "full-extract --ef-min 1.5 x",
        "full-extract --ef-min x x", "full-extract --score none --sort score x"}) {
    Run(bad, &status);
    EXPECT_EQ(status, 2) << bad;
  }
  Run("ngrams '" + dir_.File("missing") + "'", &status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(
      Run("full-extract --ef-method mi --ef-min 1.5 --min-freq 1 --format tsv " + corpus, &status),
      "count\tscore\tposition\ttext\n");
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(TempIsEmpty());
}

}  // namespace
}  // namespace quenterra
