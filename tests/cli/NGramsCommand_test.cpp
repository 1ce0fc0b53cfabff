// quenterra-cli ngrams and full-extract, run as a user runs them.
#include <gtest/gtest.h>

#include <string>

#include "support/RunCli.h"

namespace quenterra {
namespace {

using NGramsCommandTest = test::TCliTest;

TEST_F(NGramsCommandTest, PosTagsSortByTagThenFrequency) {
  EXPECT_EQ(Run("--no-config --set WordTag=1 --set wTagDelimiter=/ ngrams --span=2 --pos-tags "
                "--min-freq 1 --score none --sort postag,freq --format tsv " +
                File("t", "the/at dog/nn barks/vbz the/at dog/nn sleeps/vbz\n"))
                .out,
            "count\tscore\tposition\ttext\n2\t\t0\tthe AT dog NN\n1\t\t0\tdog NN barks VBZ\n"
            "1\t\t0\tdog NN sleeps VBZ\n1\t\t0\tbarks VBZ the AT\n");
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(NGramsCommandTest, FullExtractAsksBeforeALongRun) {
  const std::string corpus = File("a", "a b c d a b c\n");
  const std::string options =
      "--no-config full-extract --min-span 3 --max-span 5 --min-freq 1 --if-min -100 --ef-min 1 "
      "--sort alpha --format tsv ";
  // Nothing was filtered: without --yes and a terminal the answer is No.
  test::TCliRun run = Run(options + corpus);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out + run.err,
            "quenterra-cli: Less than 10% of the bigrams were filtered. Full extract may take long "
            "time. Do you want to continue? [no]\nquenterra-cli: full-extract: stopped, no list\n");
  run = Run(options + "--yes " + corpus);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "count\tscore\tposition\ttext\n2\t2\t0\ta b c\n1\t4\t0\ta b c d a\n"
            "1\t4\t0\tb c d a b\n1\t4\t0\tc d a b c\n1\t3\t0\td a b c\n");
  const std::string none = Run(options + "--yes --score none --no-freq " + corpus).out;
  EXPECT_EQ(none.substr(0, none.find('\n')), "score\tposition\ttext");
  EXPECT_NE(none.find("\n\t0\ta b c\n"), std::string::npos) << none;
  EXPECT_TRUE(TempIsEmpty());  // no index files, no tree store
}

TEST_F(NGramsCommandTest, BadUsage) {
  const std::string corpus = File("a", "a b\n");
  for (const char* bad :
       {"ngrams", "ngrams --span 13 x", "ngrams --span 1 x", "ngrams --pos-tags x",
        "ngrams --sort postag x", "ngrams --span 3 --score t --sort score x", "ngrams --bogus x",
        "full-extract", "full-extract --min-span 4 --max-span 4 x", "full-extract --max-span 13 x",
        "full-extract --if-method cost x", "full-extract --ef-min 1.5 x",
        "full-extract --ef-min x x", "full-extract --score none --sort score x",
        "ngrams --sort position x", "full-extract --sort alpha,revpos x",
        "full-extract --if-min nan x", "full-extract --ef-method mi --ef-min 1e308 x"})
    EXPECT_EQ(Run(std::string("--no-config ") + bad).status, 2) << bad;
  EXPECT_EQ(Run("--no-config ngrams missing").status, 1);
  test::TCliRun run = Run(
      "--no-config full-extract --ef-method mi --ef-min 1.5 --min-freq 1 --format tsv " + corpus);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "count\tscore\tposition\ttext\n");
  EXPECT_TRUE(TempIsEmpty());
}

}  // namespace
}  // namespace quenterra
