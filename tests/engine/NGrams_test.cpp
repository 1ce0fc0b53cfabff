#include "engine/NGrams.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "engine/StopList.h"
#include "engine/collocList.h"
#include "support/EngineTestKit.h"

namespace quenterra {
namespace {

using Strings = std::vector<std::string>;
using test::TModelCorpus;
using test::TModelKey;
using test::TModelSettings;

class NGramsTest : public test::TEngineTest {
 protected:
  // The model's n-grams counted at least minFreq times.
  static std::map<TModelKey, int32_t> Expected(
      const std::map<TModelKey, std::vector<int32_t>>& grams, int32_t minFreq) {
    std::map<TModelKey, int32_t> counts;
    for (const auto& [key, positions] : grams) {
      if (static_cast<int32_t>(positions.size()) >= minFreq)
        counts[key] = static_cast<int32_t>(positions.size());
    }
    return counts;
  }
  // The n-grams of the corpus as sorted texts.
  static Strings Texts(TModelCorpus& corpus) {
    auto list = ExtractNGrams(corpus.Index(), {});
    Strings texts;
    for (int i = 0; i < list->Count(); ++i) texts.push_back(list->CollocationText(i));
    std::sort(texts.begin(), texts.end());
    return texts;
  }
};

TEST_F(NGramsTest, NGramsStayInsideTheirFile) {
  TModelCorpus corpus(test::ParseFiles({"a b c", "d e"}), false);
  test::TProgressLog log;
  test::InstallScriptedProgress(log);
  Config().Min_Word_Freq = 1;
  FullExtractOptions().Max_Span = 2;
  auto list = ExtractNGrams(corpus.Index(), {});
  EXPECT_EQ(list->WordCount(), 2);
  EXPECT_FALSE(list->Hashed());
  EXPECT_EQ(list->ScoreMethod(), smMutualInfo);  // Last_Method_Selected
  EXPECT_EQ(Texts(corpus), (Strings{"a b", "b c", "d e"}));
  EXPECT_TRUE(log.kinds.empty());  // too little work for a progress window

  FullExtractOptions().Max_Span = 4;  // longer than every file
  EXPECT_EQ(ExtractNGrams(corpus.Index(), {})->Count(), 0);
  FullExtractOptions().Max_Span = 40;  // a damaged setting is brought into 2 .. 12
  EXPECT_EQ(ExtractNGrams(corpus.Index(), {})->WordCount(), 12);
}

TEST_F(NGramsTest, StopAndRareWordsRemoveExactlyTheNGramsHoldingThem) {
  TModelCorpus corpus(test::ParseFiles({"a b the c d a b c d x"}), false);
  Config().Min_Word_Freq = 1;
  Config().UseStoplist = true;
  StopList().Words() = {"The"};  // looked up lower-cased
  FullExtractOptions().Max_Span = 2;
  EXPECT_EQ(Texts(corpus), (Strings{"a b", "b c", "c d", "d a", "d x"}));
  Config().UseStoplist = false;
  EXPECT_EQ(Texts(corpus), (Strings{"a b", "b c", "b the", "c d", "d a", "d x", "the c"}));
  // Frequency equal to the minimum takes part, one below does not: x occurs once.
  Config().Min_Word_Freq = 2;
  auto list = ExtractNGrams(corpus.Index(), {});
  EXPECT_EQ(Texts(corpus), (Strings{"a b", "c d"}));
  for (int i = 0; i < list->Count(); ++i) EXPECT_GE(list->Item(i).count, 2);
}

TEST_F(NGramsTest, WordTagsAreTransparentAndBecomeTheWordsTags) {
  TModelCorpus corpus(test::ParseFiles({"take/vb place/nn now"}), false);
  Config().Min_Word_Freq = 1;
  Config().WordTag = 1;
  FullExtractOptions().Max_Span = 2;
  EXPECT_EQ(Texts(corpus), (Strings{"place now", "take place"}));
  FullExtractOptions().UsePOSTags = true;
  EXPECT_EQ(Texts(corpus), (Strings{"place NN now", "take VB place NN"}));
  Config().WordTag = 0;  // without configured word tags the flag has nothing to give
  EXPECT_EQ(ExtractNGrams(corpus.Index(), {})->Item(0).tags, nullptr);
}

// Random corpora against the window-by-window model, with every switch of the counting.
TEST_F(NGramsTest, RandomCorporaMatchTheModel) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 150; ++round) {
    const TModelSettings model = test::RandomSettings(rng, 2 + static_cast<int>(rng() % 4));
    ResetSettings();
    test::ApplySettings(model);
    Config().Last_Method_Selected = static_cast<uint8_t>(1 + rng() % 4);
    TModelCorpus corpus(test::RandomFiles(rng, model.tagBefore, 60), model.tagBefore);
    SCOPED_TRACE("round " + std::to_string(round));

    auto list = ExtractNGrams(corpus.Index(), {});
    const auto grams = test::ModelNGrams(corpus, model);
    EXPECT_EQ(test::Counts(*list), Expected(grams, model.minFreq));
    for (int i = 1; i < list->Count(); ++i) EXPECT_GE(list->Item(i - 1).count, list->Item(i).count);

    // Recording: each item's slice receives the positions of its last words, ascending.
    TCollocationList hashed(corpus.Index(), model.n);
    const TNGramSettings settings =
        TNGramSettings::FromConfig(corpus.Index(), model.n, model.useTags, {});
    TStepProgress none(nullptr);
    ASSERT_TRUE(CountNGrams(corpus.Index(), hashed, settings, none));
    std::vector<int32_t> lengths;
    for (int i = 0; i < hashed.Count(); i += 2) {  // every other item keeps a slice
      lengths.push_back(hashed.Item(i).count);
      hashed.Item(i).extra = static_cast<uint32_t>(lengths.size());
      hashed.Item(i).count = 0;
    }
    TOccurrenceArrays occurrences(lengths);
    ASSERT_TRUE(CountNGrams(corpus.Index(), hashed, settings, none, &occurrences));
    for (int i = 0; i < hashed.Count(); ++i) {
      const TCollocItem& item = hashed.Item(i);
      const std::vector<int32_t>& expected = grams.at(test::KeyOf(hashed, i));
      EXPECT_EQ(item.count, static_cast<int32_t>(expected.size()));  // counted once only
      if (item.extra == 0) continue;
      auto slice = occurrences.Slice(item.extra);
      EXPECT_EQ(std::vector<int32_t>(slice.begin(), slice.end()), expected);
    }
  }
}

TEST_F(NGramsTest, ProgressLabelsFilesAndACancelKeepsWhatWasCounted) {
  std::mt19937 rng(7);
  std::vector<test::TModelFile> files(3);
  for (test::TModelFile& file : files) {
    for (int i = 0; i < 1500; ++i) file.push_back({"w" + std::to_string(rng() % 12), kKindWord});
  }
  TModelCorpus corpus(files, false);
  TModelSettings model;
  model.n = 3;
  model.minFreq = 2;
  test::ApplySettings(model);
  const Strings names = {"one.txt", "two.txt", "three.txt"};

  test::TProgressLog log;
  test::InstallScriptedProgress(log);
  auto whole = ExtractNGrams(corpus.Index(), names);
  EXPECT_EQ(log.kinds, std::vector<TProgressKind>{TProgressKind::Cancel});
  EXPECT_EQ(log.captions.front(), kExtractingNGramsCaption);
  EXPECT_EQ(log.maxima, std::vector<int64_t>{4500 / 512});
  EXPECT_EQ(log.labels, names);
  EXPECT_EQ(log.position, 9);  // positions 0, 512, ..., 4096
  EXPECT_EQ(test::Counts(*whole), Expected(test::ModelNGrams(corpus, model), 2));

  // Cancel at the 5th step, at position 2048: the n-grams ending before it are counted,
  // dropped and scored as in a whole run.
  log = test::TProgressLog{};
  log.cancelAfter = 5;
  auto part = ExtractNGrams(corpus.Index(), names);
  EXPECT_EQ(log.labels, (Strings{"one.txt", "two.txt"}));
  EXPECT_EQ(test::Counts(*part), Expected(test::ModelNGrams(corpus, model, 4 * 512), 2));
  EXPECT_EQ(part->ScoreMethod(), smMutualInfo);
  EXPECT_LT(part->Count(), whole->Count());
}

TEST_F(NGramsTest, OccurrenceArraysRefuseStoresOutsideTheirSlices) {
  TOccurrenceArrays arrays({2, 0, 1});
  EXPECT_EQ(arrays.SliceCount(), 3u);
  EXPECT_EQ(arrays.Total(), 3);
  EXPECT_TRUE(arrays.Store(1, 1, 40));
  EXPECT_TRUE(arrays.Store(3, 0, 46));
  // Past a slice, an empty slice, no slice, an unknown slice, a negative index.
  for (auto [handle, at] : {std::pair{1u, 2}, {2u, 0}, {0u, 0}, {4u, 0}, {3u, -1}}) {
    EXPECT_FALSE(arrays.Store(handle, at, 99)) << handle << " " << at;
  }
  EXPECT_EQ(std::vector<int32_t>(arrays.Slice(1).begin(), arrays.Slice(1).end()),
            (std::vector<int32_t>{-1, 40}));
  EXPECT_TRUE(arrays.Slice(2).empty());
  EXPECT_EQ(arrays.Slice(3)[0], 46);
  EXPECT_TRUE(arrays.Slice(9).empty());
}

}  // namespace
}  // namespace quenterra
