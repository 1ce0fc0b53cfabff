#include "engine/Concordance.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/NGrams.h"
#include "engine/ResultTables.h"
#include "patterns/ExtractPattern.h"
#include "support/EngineTestKit.h"

namespace quenterra {
namespace {

using Strings = std::vector<std::string>;

class ConcordanceTest : public test::TEngineTest {
 protected:
  void Build(const Strings& texts) {
    corpus_ = std::make_unique<test::TModelCorpus>(test::ParseFiles(texts, false), false);
  }
  std::unique_ptr<TConcordance> Search(const Strings& lines,
                                       TSearchKind kind = TSearchKind::kWordPhrase) {
    auto records =
        ParseExtractRequest(kind, lines.size() > 1, lines, settings_.config, settings_.tables);
    auto concordance =
        std::make_unique<TConcordance>(corpus_->Index(), settings_.tables, settings_.config,
                                       TConcordanceSettings::FromSettings(settings_.config));
    EXPECT_TRUE(concordance->Search(*records));
    return concordance;
  }
  // "left [node] right" of every line.
  static Strings Lines(TConcordance& concordance, const TConcordanceView& view = {}) {
    Strings lines;
    for (int i = 0; i < concordance.Count(); ++i) {
      lines.push_back(concordance.LeftText(i, view) + " [" + concordance.NodeText(i, view) + "] " +
                      concordance.RightText(i, view));
    }
    return lines;
  }

  std::unique_ptr<test::TModelCorpus> corpus_;
};

TEST_F(ConcordanceTest, NodesFollowTheOrderModesInsideTheirFiles) {
  settings_.config.SpanRange = 3;
  Build({"x a b y a c b", "b a z"});
  const TConcordanceView two{2, TContextUnit::kWords, false};
  // A phrase; context stops at the file's edges.
  EXPECT_EQ(Lines(*Search({"a b"}), two), (Strings{"x [a b] y a"}));
  // Unordered: every start of a window of 3 that holds both; the node ends where the last term
  // is first found.
  EXPECT_EQ(Lines(*Search({"a + b"}), two),
            (Strings{"x [a b] y a", "x a [b y a] c b", "b y [a c b] ", " [b a] z"}));
  // Subsequent: term 0 starts the node.
  EXPECT_EQ(Lines(*Search({"a > b"}), two), (Strings{"x [a b] y a", "b y [a c b] "}));
  // A batch lists a node that two lines find once, in position order.
  EXPECT_EQ(Search({"a b", "b", "a > b"})->Count(), 5);
}

TEST_F(ConcordanceTest, ContextInCharactersAndWithTags) {
  settings_.config.WordTag = 1;
  settings_.config.wTagDelimiter = '/';
  corpus_ = std::make_unique<test::TModelCorpus>(
      test::ParseFiles({"the/at big/jj dog/nn barks/vbz loudly/rb"}, false), false);
  auto concordance = Search({"dog"});
  ASSERT_EQ(concordance->Count(), 1);
  EXPECT_EQ(Lines(*concordance, {5, TContextUnit::kCharacters, false}),
            (Strings{"e big [dog] barks"}));
  EXPECT_EQ(Lines(*concordance, {1, TContextUnit::kWords, true}),
            (Strings{"big/jj [dog/nn] barks/vbz"}));
  // Word/Tag syntax matches the tag.
  EXPECT_EQ(Search({"*&vbz"}, TSearchKind::kWordTag)->Count(), 1);
  EXPECT_EQ(Search({"dog&vbz"}, TSearchKind::kWordTag)->Count(), 0);
}

TEST_F(ConcordanceTest, SortsByNodeAndByTheWordAtADistance) {
  Build({"c a x", "b a y", "a a z"});
  auto concordance = Search({"a"});
  const TConcordanceView one{1, TContextUnit::kWords, false};
  concordance->Sort({{TConcordanceSortKind::kLeft, 1}});
  // No word left of the third file's first 'a' sorts first; ties keep position order.
  EXPECT_EQ(Lines(*concordance, one), (Strings{" [a] a", "a [a] z", "b [a] y", "c [a] x"}));
  concordance->Sort({{TConcordanceSortKind::kRight, 1}});
  EXPECT_EQ(Lines(*concordance, one), (Strings{" [a] a", "c [a] x", "b [a] y", "a [a] z"}));
  concordance->Sort({});
  EXPECT_EQ(concordance->Line(0).first, 1);
  TConcordanceSortKey key;
  EXPECT_TRUE(TConcordanceSortKey::Parse("R5", key));
  EXPECT_EQ(key.Name(), "R5");
  EXPECT_FALSE(TConcordanceSortKey::Parse("L6", key));
}

// Every start of a node, found by trying every counted position of a random corpus, against the
// search that starts from the rarest term.
TEST_F(ConcordanceTest, MatchesATryAtEveryPositionOnRandomCorpora) {
  std::mt19937 rng(19);
  const Strings patterns{"a b", "b a%", "ab + c", "a > b > c", "c + a*", "b > b", "?a + b + b"};
  for (int round = 0; round < 40; ++round) {
    settings_.config.SpanRange = 2 + static_cast<int>(rng() % 4);
    settings_.config.SkipNormalTags = rng() % 2 == 0;
    corpus_ = std::make_unique<test::TModelCorpus>(test::RandomFiles(rng, false, 60), false);
    const std::string pattern = patterns[rng() % patterns.size()];
    auto concordance = Search({pattern});
    auto records = ParseExtractRequest(TSearchKind::kWordPhrase, false, {pattern}, settings_.config,
                                       settings_.tables);
    const TExtractRecord& record = records->Record(0);
    const int terms = record.TermCount(), span = settings_.config.SpanRange;
    std::vector<std::pair<int32_t, int32_t>> expected;
    const bool tooLong = record.Order() != TOrderMode::kAdjacent && terms > span;
    for (const auto& file : tooLong ? std::vector<std::vector<int32_t>>{}
                                    : corpus_->CountedPositions(RunKinds(settings_.config))) {
      for (size_t s = 0; s < file.size(); ++s) {
        auto test = [&](int term, size_t place) {
          return place < file.size() &&
                 MatchToken(corpus_->Index(), record, corpus_->ids[file[place]], -1, term);
        };
        int end = -1;
        if (record.Order() == TOrderMode::kAdjacent) {
          bool all = true;
          for (int t = 0; t < terms; ++t) all = all && test(t, s + t);
          if (all) end = terms - 1;
        } else {
          // The shortest window from s that holds the line with s taking a term.
          for (int w = 1; w <= span && end < 0; ++w) {
            int position = 0;
            std::vector<int32_t> words;
            for (int p = 0; p < w && s + p < file.size(); ++p)
              words.push_back(corpus_->ids[file[s + p]]);
            if (static_cast<int>(words.size()) == w &&
                MatchWindow(corpus_->Index(), record, words.data(), nullptr, w, 0, position) &&
                position == 0) {
              end = w - 1;
            }
          }
        }
        if (end >= 0) expected.emplace_back(file[s], file[s + end]);
      }
    }
    std::vector<std::pair<int32_t, int32_t>> found;
    for (const TConcordanceLine& line : concordance->Lines())
      found.emplace_back(line.first, line.last);
    ASSERT_EQ(found, expected) << "round " << round << ": " << pattern;
  }
}

TEST_F(ConcordanceTest, TableCarriesFilePositionAndTheThreeTexts) {
  Build({"p q", "x a y"});
  TConcordanceTable table(Search({"a"}), {"/data/one.txt", "/data/two.txt"}, "a", {});
  EXPECT_EQ(table.Title(), "Concordance ( 1 line )");
  EXPECT_EQ(table.Text(0, 0), "two.txt");
  EXPECT_EQ(table.Number(0, 1), 3);
  EXPECT_EQ(table.Text(0, 2) + "|" + table.Text(0, 3) + "|" + table.Text(0, 4), "x|a|y");
}

}  // namespace
}  // namespace quenterra
