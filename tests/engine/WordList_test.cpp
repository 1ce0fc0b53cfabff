#include "engine/WordList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/Keyness.h"
#include "engine/ResultTables.h"
#include "support/EngineTestKit.h"

namespace quenterra {
namespace {

using Strings = std::vector<std::string>;

class WordListTest : public test::TEngineTest {
 protected:
  // "word[/tag] freq range" of every entry, in the list's order.
  Strings Entries(const Strings& texts, bool useTags = false) {
    corpus_ = std::make_unique<test::TModelCorpus>(test::ParseFiles(texts, false), false);
    list_ = std::make_unique<TWordList>(
        corpus_->Index(), settings_.tables,
        TWordListSettings::FromSettings(settings_.Run(), corpus_->Index(), useTags));
    return Shown();
  }
  Strings Shown() const {
    Strings entries;
    for (int i = 0; i < list_->Count(); ++i) {
      const std::string tag = list_->TagText(i);
      entries.push_back(list_->WordText(i) + (tag.empty() ? "" : "/" + tag) + " " +
                        std::to_string(list_->Item(i).frequency) + " " +
                        std::to_string(list_->Item(i).range));
    }
    return entries;
  }

  std::unique_ptr<test::TModelCorpus> corpus_;
  std::unique_ptr<TWordList> list_;
};

TEST_F(WordListTest, FrequencyRangeAndTheThreeOrders) {
  settings_.config.Min_Word_Freq = 1;
  EXPECT_EQ(Entries({"a b a @p", "b c", "c"}), (Strings{"a 2 1", "b 2 2", "c 2 2"}));
  EXPECT_EQ(list_->CorpusWords(), 6);
  EXPECT_DOUBLE_EQ(list_->PerMillion(0), 2e6 / 6);
  list_->Sort(TWordListSortKey::kRange);
  EXPECT_EQ(Shown(), (Strings{"b 2 2", "c 2 2", "a 2 1"}));
  list_->Sort(TWordListSortKey::kAlpha);
  EXPECT_EQ(Shown().front(), "a 2 1");
  // Normal tags are words when SkipNormalTags is off.
  settings_.config.SkipNormalTags = false;
  EXPECT_EQ(Entries({"a b a @p"}).back(), "p 1 1");
}

TEST_F(WordListTest, TagsStopWordsAndTheMinimum) {
  settings_.config.Min_Word_Freq = 2;
  settings_.config.WordTag = 1;
  EXPECT_EQ(Entries({"run/vb run/nn run/vb go/vb go/vb"}, true),
            (Strings{"go/vb 2 1", "run/vb 2 1"}));
  settings_.config.UseStoplist = true;
  settings_.stopList.SetWords({"go"});
  EXPECT_EQ(Entries({"run/vb run/nn run/vb go/vb go/vb"}), (Strings{"run 3 1"}));
  EXPECT_EQ(list_->CorpusWords(), 5);  // the running words count every word
  TWordListTable table(std::move(list_));
  EXPECT_EQ(table.Title(), "Word List ( 1 word )");
  EXPECT_EQ(table.Number(0, 3), 600000);
}

// Keywords of "a a b" against "a b b c": every word of either, with the signed LL and %DIFF.
TEST_F(WordListTest, KeywordsAgainstAReference) {
  settings_.config.Min_Word_Freq = 1;
  Entries({"a a b"});
  std::unique_ptr<TWordList> study = std::move(list_);
  std::unique_ptr<test::TModelCorpus> studyCorpus = std::move(corpus_);  // the list reads it
  Entries({"a b b c"});
  TKeywordList keywords(*study, *list_);
  ASSERT_EQ(keywords.Count(), 3);
  const TKeyword& a = keywords.Item(0);  // relatively commoner in the study: the highest LL
  EXPECT_EQ(a.text + std::to_string(a.study) + std::to_string(a.reference), "a21");
  const double e1 = 3.0 * 3 / 7, e2 = 4.0 * 3 / 7;
  EXPECT_NEAR(a.logLikelihood, 2 * (2 * std::log(2 / e1) + 1 * std::log(1 / e2)), 1e-12);
  EXPECT_NEAR(a.percentDiff, (2.0 / 3 - 1.0 / 4) * 100 / (1.0 / 4), 1e-9);
  EXPECT_LT(keywords.Item(1).logLikelihood, 0);  // b: rarer in the study
  EXPECT_EQ(keywords.Item(2).text, "c");         // absent from the study: the lowest
}

}  // namespace
}  // namespace quenterra
