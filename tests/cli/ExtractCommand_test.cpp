#include <gtest/gtest.h>

#include <string>

#include "support/RunCli.h"

namespace quenterra {
namespace {

using ExtractCommandTest = test::TCliTest;

TEST_F(ExtractCommandTest, WithoutAScoreTheListHasNoScoreColumn) {
  std::string corpus = File("a", "the cat the dog\n");
  EXPECT_EQ(Run("--no-config extract --min-freq 1 --score none the " + corpus).out,
            "Collocation List ( 3 collocations )\r\n\r\n"
            "Freq\tCollocation\r\n________________\r\n\r\n"
            "1\tthe cat\r\n1\tcat the\r\n1\tthe dog\r\n");
  EXPECT_TRUE(TempIsEmpty());  // the index files are gone
}

TEST_F(ExtractCommandTest, SortsAndTScores) {
  std::string corpus = File("a", "the cat the dog the cat the\n");
  EXPECT_EQ(Run("--no-config extract --format tsv --score none --span 3 --sort position,alpha "
                "'the > cat' " +
                corpus)
                .out,
            "count\tscore\tposition\ttext\n2\t\t0\tthe cat the\n");
  // k = 2, f = 4 and 2, N = 7: (2 - 8 / 7) / sqrt 2.
  EXPECT_EQ(Run("--no-config --set Min_Word_Freq=1 extract --format=tsv --no-freq --score t the " +
                corpus)
                .out,
            "score\tposition\ttext\n0.606092\t0\tthe cat\n0.606092\t1\tcat the\n"
            "0.428571\t0\tthe dog\n0.428571\t1\tdog the\n");
}

TEST_F(ExtractCommandTest, BatchFilesTakeAnyLineEndAndCountEveryLine) {
  std::string corpus = File("t", "the/at dog/nn barks/vbz the/at dog/nn sleeps/vbz\n");
  EXPECT_EQ(Run("--no-config --set WordTag=1 --set wTagDelimiter=/ extract --syntax tag "
                "--min-freq 1 --score none --sort alpha --format tsv --batch " +
                File("lines", "dog&nn\r\n\r\ndog + barks\r\n") + " " + corpus)
                .out,
            "count\tscore\tposition\ttext\n"
            "2\t\t0\tdog NN barks VBZ\n"  // counted by both lines
            "1\t\t0\tdog NN sleeps VBZ\n"
            "2\t\t1\tthe AT dog NN\n");
}

TEST_F(ExtractCommandTest, ARegularExpressionIsNotLowerCased) {
  // With letter case ignored, \\D must still mean "not a digit" (lower-cased it would be \\d).
  std::string corpus = File("a", "Room 101 and room B\n");
  EXPECT_EQ(Run("--no-config extract --syntax regex --min-freq 1 --score none --format tsv "
                "--sort alpha 'R\\w+ \\D+' " +
                corpus)
                .out,
            "count\tscore\tposition\ttext\n1\t\t0\troom b\n");
}

TEST_F(ExtractCommandTest, PatternErrorsAndBadUsage) {
  test::TCliRun run = Run("--no-config extract --syntax regex '(a' " + File("a", "post office\n"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out + run.err, "quenterra-cli: Unmatched ( or \\(\n");
  for (const char* bad : {"extract", "extract the", "extract --span 13 the x",
                          "extract --score none --sort score the x", "extract --sort freq,freq a x",
                          "extract --sort position,revpos a x", "extract --syntax tag a x",
                          "extract --sort postag a x", "extract --bogus a x"})
    EXPECT_EQ(Run(std::string("--no-config ") + bad).status, 2) << bad;
  EXPECT_EQ(Run("--no-config extract the missing").status, 1);
  EXPECT_TRUE(TempIsEmpty());
}

// A list that is empty or lacks its score says why on stderr, one line each; a corpus without
// words is a failure.
TEST_F(ExtractCommandTest, SaysWhyTheListIsAsItIs) {
  const std::string corpus = File("a", "the house in front of the house\n");
  test::TCliRun run = Run("--no-config extract --span 3 --score t --min-freq 1 house " + corpus);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err,
            "quenterra-cli: extract: T-Score scores two words only: the list shows no score\n");
  run = Run("--no-config extract --span 2 'in front of' " + corpus);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err,
            "quenterra-cli: extract: 'in front of' has 3 terms in order, more than a window of 2 "
            "words holds (--span 3 or more)\n");
  run = Run("--no-config --stoplist " + File("stop", "THE\n") + " extract --min-freq 1 the " +
            corpus);
  EXPECT_EQ(
      run.err,
      "quenterra-cli: extract: 'the' is a stop word: every window that holds it is left out\n");
  run = Run("--no-config extract house " + File("empty", ""));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "quenterra-cli: extract: the corpus holds no words to count\n");
  EXPECT_EQ(run.out, "");
}

}  // namespace
}  // namespace quenterra
