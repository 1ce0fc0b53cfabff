#include "engine/NGrams.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "engine/NGramModel.h"
#include "engine/StopList.h"
#include "engine/collocList.h"

namespace quenterra {
namespace {

using test::TModelCorpus;
using test::TModelFile;
using test::TModelKey;
using test::TModelSettings;

class NGramsTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    Config() = ZuzadovUdirev{};
    FullExtractOptions() = TFullExtractOptions{};
    StopList() = TStopList{};
    InstallProgressFactory(nullptr);
  }

  // Puts the model's settings into effect.
  static void Apply(const TModelSettings& model) {
    Config().Min_Word_Freq = model.minFreq;
    Config().SkipNormalTags = model.kinds == kWordKinds;
    Config().WordTag = model.tagBefore ? 2 : 1;
    Config().wTagBefore = model.tagBefore;
    Config().UseStoplist = !model.stopWords.empty();
    StopList().Words().assign(model.stopWords.begin(), model.stopWords.end());
    FullExtractOptions().Max_Span = model.n;
    FullExtractOptions().UsePOSTags = model.useTags;
  }

  static TModelKey KeyOf(const TCollocationList& list, int i) {
    const TCollocItem& item = list.Item(i);
    TModelKey key;
    key.words.assign(item.words.get(), item.words.get() + list.WordCount());
    if (item.tags != nullptr) key.tags.assign(item.tags.get(), item.tags.get() + list.WordCount());
    return key;
  }
  static std::map<TModelKey, int32_t> Counts(const TCollocationList& list) {
    std::map<TModelKey, int32_t> counts;
    for (int i = 0; i < list.Count(); ++i) counts[KeyOf(list, i)] += list.Item(i).count;
    return counts;
  }
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
  // Words only, by text.
  static std::vector<std::string> Texts(const TCollocationList& list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list.Count(); ++i) texts.push_back(list.CollocationText(i));
    std::sort(texts.begin(), texts.end());
    return texts;
  }
  static TModelFile Words(const std::vector<std::string>& words) {
    TModelFile file;
    for (const std::string& word : words) file.push_back({word, kKindWord});
    return file;
  }
};

TEST_F(NGramsTest, NGramsStayInsideTheirFile) {
  TModelCorpus corpus({Words({"a", "b", "c"}), Words({"d", "e"})}, false);
  Config().Min_Word_Freq = 1;
  FullExtractOptions().Max_Span = 2;
  auto list = ExtractNGrams(corpus.Index(), {});
  EXPECT_EQ(list->WordCount(), 2);
  EXPECT_EQ(Texts(*list), (std::vector<std::string>{"a b", "b c", "d e"}));
  EXPECT_FALSE(list->Hashed());
  EXPECT_EQ(list->ScoreMethod(), smMutualInfo);  // Last_Method_Selected

  FullExtractOptions().Max_Span = 4;  // longer than every file
  EXPECT_EQ(ExtractNGrams(corpus.Index(), {})->Count(), 0);
  FullExtractOptions().Max_Span = 40;  // a damaged setting is brought into 2 .. 12
  EXPECT_EQ(ExtractNGrams(corpus.Index(), {})->WordCount(), 12);
}

TEST_F(NGramsTest, StopAndRareWordsRemoveExactlyTheNGramsHoldingThem) {
  TModelCorpus corpus({Words({"a", "b", "the", "c", "d", "a", "b", "c", "d", "x"})}, false);
  Config().Min_Word_Freq = 1;
  Config().UseStoplist = true;
  StopList().Words() = {"The"};  // looked up lower-cased
  FullExtractOptions().Max_Span = 2;
  EXPECT_EQ(Texts(*ExtractNGrams(corpus.Index(), {})),
            (std::vector<std::string>{"a b", "b c", "c d", "d a", "d x"}));
  Config().UseStoplist = false;
  EXPECT_EQ(Texts(*ExtractNGrams(corpus.Index(), {})),
            (std::vector<std::string>{"a b", "b c", "b the", "c d", "d a", "d x", "the c"}));

  // Frequency equal to the minimum takes part, one below does not: x occurs once.
  Config().Min_Word_Freq = 2;
  auto list = ExtractNGrams(corpus.Index(), {});
  EXPECT_EQ(Texts(*list), (std::vector<std::string>{"a b", "c d"}));
  for (int i = 0; i < list->Count(); ++i) EXPECT_GE(list->Item(i).count, 2);
}

TEST_F(NGramsTest, WordTagsAreTransparentAndBecomeTheWordsTags) {
  TModelFile file = {{"take", kKindWord},
                     {"vb", kKindWordTag},
                     {"place", kKindWord},
                     {"nn", kKindWordTag},
                     {"now", kKindWord}};
  TModelCorpus corpus({file}, false);
  Config().Min_Word_Freq = 1;
  Config().WordTag = 1;
  FullExtractOptions().Max_Span = 2;
  EXPECT_EQ(Texts(*ExtractNGrams(corpus.Index(), {})),
            (std::vector<std::string>{"place now", "take place"}));
  FullExtractOptions().UsePOSTags = true;
  EXPECT_EQ(Texts(*ExtractNGrams(corpus.Index(), {})),
            (std::vector<std::string>{"place NN now", "take VB place NN"}));
  // Without configured word tags the flag has nothing to give.
  Config().WordTag = 0;
  EXPECT_EQ(ExtractNGrams(corpus.Index(), {})->Item(0).tags, nullptr);
}

// Random corpora against the window-by-window model, with every switch of the counting.
TEST_F(NGramsTest, RandomCorporaMatchTheModel) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 150; ++round) {
    TModelSettings model;
    model.n = 2 + static_cast<int>(rng() % 4);
    model.useTags = rng() % 2 == 0;
    model.minFreq = 1 + static_cast<int32_t>(rng() % 3);
    model.kinds = rng() % 3 == 0 ? kTextKinds : kWordKinds;
    model.tagBefore = rng() % 3 == 0;
    if (rng() % 2 == 0) model.stopWords = {"w2", "attr"};
    Reset();
    Apply(model);
    Config().Last_Method_Selected = static_cast<uint8_t>(1 + rng() % 4);
    TModelCorpus corpus(test::RandomFiles(rng, model.tagBefore), model.tagBefore);
    SCOPED_TRACE("round " + std::to_string(round));

    auto list = ExtractNGrams(corpus.Index(), {});
    const auto grams = test::ModelNGrams(corpus, model);
    EXPECT_EQ(Counts(*list), Expected(grams, model.minFreq));
    for (int i = 1; i < list->Count(); ++i) EXPECT_GE(list->Item(i - 1).count, list->Item(i).count);

    // Recording: each item's slice receives the positions of its last words, ascending.
    TCollocationList hashed(corpus.Index(), model.n);
    TNGramSettings settings =
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
      const std::vector<int32_t>& expected = grams.at(KeyOf(hashed, i));
      if (item.extra == 0) {
        EXPECT_EQ(item.count, static_cast<int32_t>(expected.size()));  // counted once only
        continue;
      }
      auto slice = occurrences.Slice(item.extra);
      EXPECT_EQ(std::vector<int32_t>(slice.begin(), slice.end()), expected);
      EXPECT_EQ(item.count, static_cast<int32_t>(expected.size()));
    }
  }
}

TEST_F(NGramsTest, ProgressLabelsFilesAndACancelKeepsWhatWasCounted) {
  std::mt19937 rng(7);
  std::vector<TModelFile> files;
  for (int f = 0; f < 3; ++f) {
    files.push_back({});
    for (int i = 0; i < 1500; ++i)
      files.back().push_back({"w" + std::to_string(rng() % 12), kKindWord});
  }
  TModelCorpus corpus(files, false);
  TModelSettings model;
  model.n = 3;
  model.minFreq = 2;
  Apply(model);
  const std::vector<std::string> names = {"one.txt", "two.txt", "three.txt"};

  test::TProgressLog log;
  test::InstallScriptedProgress(log);
  auto whole = ExtractNGrams(corpus.Index(), names);
  EXPECT_EQ(log.windows, 1);
  EXPECT_EQ(log.captions.front(), kExtractingNGramsCaption);
  EXPECT_EQ(log.maxima, std::vector<int64_t>{4500 / 512});
  EXPECT_EQ(log.labels, names);
  EXPECT_EQ(log.position, 9);  // positions 0, 512, ..., 4096
  EXPECT_EQ(Counts(*whole), Expected(test::ModelNGrams(corpus, model), 2));

  // Cancel at the 5th step, at position 2048: the n-grams ending before it are counted,
  // dropped and scored as in a whole run.
  log = test::TProgressLog{};
  log.cancelAfter = 5;
  auto part = ExtractNGrams(corpus.Index(), names);
  EXPECT_EQ(log.labels, (std::vector<std::string>{"one.txt", "two.txt"}));
  EXPECT_EQ(Counts(*part), Expected(test::ModelNGrams(corpus, model, 4 * 512), 2));
  EXPECT_EQ(part->ScoreMethod(), smMutualInfo);
  EXPECT_LT(part->Count(), whole->Count());
}

TEST_F(NGramsTest, SmallWorkShowsNoProgressWindow) {
  TModelCorpus corpus({Words({"a", "b", "a", "b"})}, false);
  test::TProgressLog log;
  test::InstallScriptedProgress(log);
  Config().Min_Word_Freq = 1;
  FullExtractOptions().Max_Span = 2;
  EXPECT_EQ(ExtractNGrams(corpus.Index(), {})->Count(), 2);
  EXPECT_EQ(log.windows, 0);
}

TEST_F(NGramsTest, OccurrenceArraysRefuseStoresOutsideTheirSlices) {
  TOccurrenceArrays arrays({2, 0, 1});
  EXPECT_EQ(arrays.SliceCount(), 3u);
  EXPECT_EQ(arrays.Total(), 3);
  EXPECT_TRUE(arrays.Store(1, 1, 40));
  EXPECT_FALSE(arrays.Store(1, 2, 41));  // past its slice
  EXPECT_FALSE(arrays.Store(2, 0, 42));  // an empty slice
  EXPECT_FALSE(arrays.Store(0, 0, 43));  // no slice
  EXPECT_FALSE(arrays.Store(4, 0, 44));
  EXPECT_FALSE(arrays.Store(3, -1, 45));
  EXPECT_TRUE(arrays.Store(3, 0, 46));
  EXPECT_EQ(std::vector<int32_t>(arrays.Slice(1).begin(), arrays.Slice(1).end()),
            (std::vector<int32_t>{-1, 40}));
  EXPECT_TRUE(arrays.Slice(2).empty());
  EXPECT_EQ(arrays.Slice(3)[0], 46);
  EXPECT_TRUE(arrays.Slice(9).empty());
}

}  // namespace
}  // namespace quenterra
