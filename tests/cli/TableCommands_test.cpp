// quenterra-cli concordance, collocates and wordlist, run as a user runs them, and checked on the
// sample corpus against what the n-gram count and the index say.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/RunCli.h"

namespace quenterra {
namespace {

using Strings = std::vector<std::string>;

Strings Split(const std::string& text, char separator) {
  Strings parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

// The rows of a TSV output as maps from the header's keys.
std::vector<std::map<std::string, std::string>> TsvRows(const std::string& tsv) {
  const Strings lines = Split(tsv, '\n');
  std::vector<std::map<std::string, std::string>> rows;
  if (lines.empty()) return rows;
  const Strings keys = Split(lines[0], '\t');
  for (size_t i = 1; i < lines.size(); ++i) {
    const Strings cells = Split(lines[i] + '\t', '\t');
    std::map<std::string, std::string>& row = rows.emplace_back();
    for (size_t k = 0; k < keys.size() && k < cells.size(); ++k) row[keys[k]] = cells[k];
  }
  return rows;
}

using TableCommandsTest = test::TCliTest;

TEST_F(TableCommandsTest, ConcordanceAlignsItsNodesAndSorts) {
  const std::string corpus = File("a", "x in front of y. the house in front of it\n");
  test::TCliRun run = Run("--no-config concordance --context 2 'in front of' " + corpus);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "Concordance ( 2 lines )\r\n\r\nPattern: in front of\r\n\r\n"
            "File  Position       Left  Node         Right\r\n"
            "_____________________________________________\r\n\r\n"
            "a            1          x  in front of  y the\r\n"
            "a            7  the house  in front of  it\r\n");
  run = Run("--no-config concordance --context 3 --chars --sort L1 --format tsv 'in' " + corpus);
  EXPECT_EQ(run.out, "file\tposition\tleft\tnode\tright\na\t7\tuse\tin\tfro\na\t1\tx\tin\tfro\n");
  run = Run("--no-config concordance --limit 1 --format json 'in' " + corpus);
  EXPECT_EQ(run.out,
            "{\"caption\":\"in\",\"facts\":{\"pattern\":\"in\"},\"items\":[\n"
            "{\"file\":\"a\",\"position\":1,\"left\":\"x\",\"node\":\"in\",\"right\":\"front of y "
            "the house\"}\n]}\n");
}

TEST_F(TableCommandsTest, CollocatesAndWordListInEveryForm) {
  const std::string corpus = File("a", "a x b x c\n");
  const std::string corpus2 = File("b", "x d\n");
  test::TCliRun run =
      Run("--no-config collocates --left 2 --right 1 --min-freq 1 --score mi "
          "--sort alpha x " +
          corpus + " " + corpus2);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "Collocate List ( 5 collocates )\r\n\r\nNode: x\r\nNode frequency: 3\r\n"
            "Corpus words: 7\r\nWindow: L2 R1\r\n\r\n"
            "Collocate  Freq  L2  L1  R1  Coll. Freq         MI\r\n"
            "__________________________________________________\r\n\r\n"
            "a             1   0   1   0           1  -0.362570\r\n"
            "b             2   0   1   1           1   0.637430\r\n"
            "c             1   0   0   1           1  -0.362570\r\n"
            "d             1   0   0   1           1  -0.362570\r\n"
            "x             1   1   0   0           3  -1.947533\r\n");
  run = Run("--no-config collocates --right 1 --left 0 --min-freq 2 --format tsv x " + corpus +
            " " + corpus2);
  EXPECT_EQ(run.out,
            "collocate\tfreq\tR1\tcollocateFreq\tnodeFreq\tcorpusWords\tmi\tmi3\tt\tz\tll\tdice\t"
            "logdice\n");
  run =
      Run("--no-config wordlist --min-freq 1 --sort range --format tsv " + corpus + " " + corpus2);
  EXPECT_EQ(run.out,
            "word\tfreq\trange\tperMillion\nx\t3\t2\t428571.428571429\na\t1\t1\t142857.142857143\n"
            "b\t1\t1\t142857.142857143\nc\t1\t1\t142857.142857143\nd\t1\t1\t142857.142857143\n");
}

TEST_F(TableCommandsTest, BadUsage) {
  const std::string corpus = File("a", "a b\n");
  for (const char* bad :
       {"concordance", "concordance --sort L6 a x", "concordance --tags a x",
        "concordance --syntax tag a x", "concordance --context -1 a x", "collocates --left 13 a x",
        "collocates --left 0 --right 0 a x", "collocates --score bogus a x",
        "collocates --left 2 --sort L3 a x", "collocates --pos-tags a x", "wordlist --sort score x",
        "wordlist --bogus x", "wordlist --format xml x", "keyness x",
        "keyness --reference r.qws --sort mi x"}) {
    EXPECT_EQ(Run(std::string("--no-config ") + bad).status, 2) << bad;
  }
  EXPECT_EQ(Run("--no-config concordance 'post +' " + corpus).status, 1);
  EXPECT_EQ(Run("--no-config wordlist missing").status, 1);
  EXPECT_TRUE(TempIsEmpty());
}

// The whole tagged sample, indexed once into a workspace.
class SampleCheckTest : public test::TCliTest {
 protected:
  void SetUp() override {
    const std::string samples = QUENTERRA_SAMPLES_DIR "/brown";
    if (Run("true", "test -f " + samples + "/ca01 || exit 3").status == 3) {
      GTEST_SKIP() << "the sample corpus is missing (scripts/setup fetches it)";
    }
    ASSERT_EQ(Run("--no-config --set WordTag=1 --set wTagDelimiter=/ workspace create brown.qws " +
                  samples + "/c[a-r][0-9][0-9]")
                  .status,
              0);
  }
  test::TCliRun Ws(const std::string& args) const { return Run("--workspace brown.qws " + args); }
};

TEST_F(SampleCheckTest, ListsAgreeWithTheNGramCountTheIndexAndTheirFormulas) {
  // The concordance of a phrase has a line for every occurrence of the trigram.
  const auto lines = TsvRows(Ws("concordance --format tsv 'in front of'").out);
  std::map<std::string, std::string> trigrams;
  for (const auto& row : TsvRows(Ws("ngrams --span 3 --min-freq 20 --score none --format tsv").out))
    trigrams[row.at("text")] = row.at("count");
  ASSERT_TRUE(trigrams.count("in front of"));
  EXPECT_EQ(std::to_string(lines.size()), trigrams["in front of"]);
  // The collocates of 'white' at R1 are the bigrams 'white X', under the same minima.
  std::map<std::string, std::string> bigrams, collocates;
  for (const auto& row : TsvRows(Ws("ngrams --span 2 --min-freq 2 --score none --format tsv").out))
    if (row.at("text").rfind("white ", 0) == 0) bigrams[row.at("text").substr(6)] = row.at("count");
  const auto rows = TsvRows(
      Ws("collocates --left 0 --right 1 --min-freq 2 --min-coll-freq 2 --format tsv white").out);
  for (const auto& row : rows) collocates[row.at("collocate")] = row.at("R1");
  EXPECT_GT(bigrams.size(), 20u);
  EXPECT_EQ(collocates, bigrams);
  // The word list adds up to the index's words and types.
  const std::string stats = Ws("index").out;  // "1,012,528 words, 49,815 types"
  const auto words = TsvRows(Ws("wordlist --min-freq 1 --format tsv").out);
  int64_t total = 0;
  for (const auto& row : words) total += std::stoll(row.at("freq"));
  auto number = [](std::string text) {
    std::erase(text, ',');
    return std::stoll(text);
  };
  const Strings parts = Split(stats, ' ');
  ASSERT_GE(parts.size(), 3u) << stats;
  EXPECT_EQ(total, number(parts[0]));
  EXPECT_EQ(static_cast<int64_t>(words.size()), number(parts[2]));
  // The scores of the collocates agree with a recomputation from the four frequencies.
  const auto scored =
      TsvRows(Ws("collocates --left 4 --right 3 --min-freq 3 --format tsv white").out);
  ASSERT_GT(scored.size(), 10u);
  for (const auto& row : scored) {
    const double o = std::stod(row.at("freq")), fn = std::stod(row.at("nodeFreq"));
    const double fc = std::stod(row.at("collocateFreq")), n = std::stod(row.at("corpusWords"));
    const double w = 7, e = w * fn * fc / n;
    const double cells[4] = {o, w * fn - o, fc - o, n - w * fn - fc + o};
    const double rows2[2] = {w * fn, n - w * fn}, cols[2] = {fc, n - fc};
    double g2 = 0;
    for (int i = 0; i < 4; ++i) {
      const double expected = rows2[i / 2] * cols[i % 2] / n;
      if (cells[i] > 0) g2 += 2 * cells[i] * std::log(cells[i] / expected);
    }
    const std::map<std::string, double> scores{{"mi", std::log2(o / e)},
                                               {"mi3", std::log2(o * o * o / e)},
                                               {"t", (o - e) / std::sqrt(o)},
                                               {"z", (o - e) / std::sqrt(e)},
                                               {"ll", g2},
                                               {"dice", 2 * o / (fn + fc)},
                                               {"logdice", 14 + std::log2(2 * o / (fn + fc))}};
    for (const auto& [key, value] : scores) {
      EXPECT_NEAR(std::stod(row.at(key)), value, 1e-9 * std::max(1.0, std::fabs(value)))
          << row.at("collocate") << " " << key;
    }
  }
}

}  // namespace
}  // namespace quenterra
