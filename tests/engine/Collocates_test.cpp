#include "engine/Collocates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/NGrams.h"
#include "engine/Scores.h"
#include "patterns/ExtractPattern.h"
#include "support/EngineTestKit.h"

namespace quenterra {
namespace {

using Strings = std::vector<std::string>;

class CollocatesTest : public test::TEngineTest {
 protected:
  // The collocates of pattern: "word L2 L1 R1 ... total" by word.
  std::map<std::string, std::vector<int32_t>> Count(const Strings& texts,
                                                    const std::string& pattern,
                                                    TCollocateSettings settings) {
    corpus_ = std::make_unique<test::TModelCorpus>(test::ParseFiles(texts, false), false);
    auto records = ParseExtractRequest(TSearchKind::kWordPhrase, false, {pattern}, settings_.config,
                                       settings_.tables);
    nodes_ = std::make_unique<TConcordance>(corpus_->Index(), settings_.tables, settings_.config,
                                            TConcordanceSettings::FromSettings(settings_.config));
    nodes_->Search(*records);
    list_ = std::make_unique<TCollocateList>(*nodes_, settings,
                                             CorpusWords(corpus_->Index(), settings_.config));
    std::map<std::string, std::vector<int32_t>> counts;
    for (int i = 0; i < list_->Count(); ++i) {
      std::vector<int32_t>& row = counts[list_->WordText(i) + list_->TagText(i)];
      const TCollocate& item = list_->Item(i);
      for (int d = list_->Left(); d >= 1; --d) row.push_back(item.Left(d));
      for (int d = 1; d <= list_->Right(); ++d) row.push_back(item.Right(d));
      row.push_back(item.total);
    }
    return counts;
  }

  std::unique_ptr<test::TModelCorpus> corpus_;
  std::unique_ptr<TConcordance> nodes_;
  std::unique_ptr<TCollocateList> list_;
};

TEST_F(CollocatesTest, CountsEachDistanceInsideTheFile) {
  TCollocateSettings settings;
  settings.left = 2;
  settings.right = 1;
  // The nodes are x at 1 and 3 of the first file and 0 of the second.
  const auto counts = Count({"a x b x c", "x d"}, "x", settings);
  using Row = std::vector<int32_t>;
  EXPECT_EQ(counts, (std::map<std::string, Row>{{"a", Row{0, 1, 0, 1}},
                                                {"b", Row{0, 1, 1, 2}},
                                                {"c", Row{0, 0, 1, 1}},
                                                {"d", Row{0, 0, 1, 1}},
                                                {"x", Row{1, 0, 0, 1}}}));
  EXPECT_EQ(list_->NodeFrequency(), 3);
  EXPECT_EQ(list_->CorpusWords(), 7);
  // Stop words take their place but are not counted; the minima drop what is rare.
  settings.stopIds.Add(static_cast<uint32_t>(corpus_->Index().FindToken("b", kKindWord)->id));
  settings.minCooccurrence = 1;
  settings.minCollocateFreq = 2;
  EXPECT_EQ(Count({"a x b x c", "x d"}, "x", settings),
            (std::map<std::string, Row>{{"x", Row{1, 0, 0, 1}}}));
}

TEST_F(CollocatesTest, WordsWithTagsAreCollocatesOfTheirOwn) {
  TCollocateSettings settings;
  settings.left = 0;
  settings.right = 1;
  settings.useTags = true;
  settings_.config.WordTag = 1;
  using Row = std::vector<int32_t>;
  EXPECT_EQ(Count({"x run/vb x run/nn x run/vb"}, "x", settings),
            (std::map<std::string, Row>{{"runnn", Row{1, 1}}, {"runvb", Row{2, 2}}}));
  EXPECT_EQ(list_->Item(0).frequency, 2);  // run/vb, sorted first by its total
}

// Every score against its formula recomputed from O, f_n, f_c, N and W; at W = 1 the bigram
// scores of the collocation list.
TEST_F(CollocatesTest, ScoresAgreeWithTheirFormulas) {
  TCollocateSettings settings;
  settings.left = 1;
  settings.right = 2;
  Count({"the cat sat on the mat and the cat ran", "a cat is a cat"}, "cat", settings);
  ASSERT_GT(list_->Count(), 3);
  const double n = 15, fn = 4, w = 3;
  for (int i = 0; i < list_->Count(); ++i) {
    const TCollocate& item = list_->Item(i);
    const double o = item.total, fc = static_cast<double>(item.frequency);
    const double e = w * fn * fc / n;
    auto expect = [&](TCollocateScore score, double value) {
      EXPECT_NEAR(item.Score(score), value, 1e-9 * std::max(1.0, std::fabs(value)))
          << list_->WordText(i) << " " << CollocateScoreName(score);
    };
    expect(TCollocateScore::kMutualInfo, std::log2(o * n / (w * fn * fc)));
    expect(TCollocateScore::kMI3, std::log2(o * o * o * n / (w * fn * fc)));
    expect(TCollocateScore::kTScore, TScore(o, w * fn, fc, n));
    expect(TCollocateScore::kZScore, (o - e) / std::sqrt(e));
    expect(TCollocateScore::kDice, 2 * o / (fn + fc));
    expect(TCollocateScore::kLogDice, 14 + std::log2(2 * o / (fn + fc)));
    const double ll = LogLikelihood(o, w * fn, fc, n);
    if (ll != kScoreSentinel) expect(TCollocateScore::kLogLikelihood, ll);
  }
}

TEST_F(CollocatesTest, SortKeysAndUndefinedScores) {
  TCollocateSortKey key;
  EXPECT_TRUE(TCollocateSortKey::Parse("R12", key));
  EXPECT_EQ(key.kind, TCollocateSortKind::kRight);
  EXPECT_FALSE(TCollocateSortKey::Parse("L13", key));
  EXPECT_TRUE(TCollocateSortKey::Parse("logdice", key));
  EXPECT_EQ(key.score, TCollocateScore::kLogDice);
  // Windows that overlap in a tiny corpus leave no valid table: no Log-likelihood.
  TCollocateCounts counts{2, 3, 2, 4, 4};
  EXPECT_TRUE(std::isnan(CollocateScore(TCollocateScore::kLogLikelihood, counts)));
  counts.observed = 0;
  EXPECT_TRUE(std::isnan(CollocateScore(TCollocateScore::kMutualInfo, counts)));
}

}  // namespace
}  // namespace quenterra
