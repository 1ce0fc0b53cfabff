#include "engine/NGrams.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

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
  std::unique_ptr<TCollocationList> Run(TModelCorpus& corpus, const Strings& names = {}) {
    return ExtractNGrams(corpus.Index(), names, settings_.fullExtract, settings_.Run());
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
};

TEST_F(NGramsTest, SmallRunsShowNoProgressAndStayInsideTheirFiles) {
  TModelCorpus corpus(test::ParseFiles({"a b the c", "x/nn e"}), false);
  test::TProgressLog log;
  test::InstallScriptedProgress(log);
  settings_.config.Min_Word_Freq = 1;
  settings_.config.UseStoplist = true;
  settings_.stopList.SetWords({"THE"});  // looked up lower-cased
  settings_.fullExtract.Max_Span = 2;
  auto list = Run(corpus);
  EXPECT_EQ(list->WordCount(), 2);
  EXPECT_FALSE(list->Hashed());
  EXPECT_EQ(list->ScoreMethod(), TScoreMethod::kMutualInfo);  // Last_Method_Selected
  Strings texts;
  for (int i = 0; i < list->Count(); ++i) texts.push_back(list->CollocationText(i));
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(texts, (Strings{"a b", "x e"}));  // never across files, nor holding a stop word
  EXPECT_TRUE(log.kinds.empty());             // too little work for a progress window

  settings_.fullExtract.UsePOSTags = true;
  settings_.config.WordTag = 0;  // without configured word tags the flag has nothing to give
  EXPECT_EQ(Run(corpus)->Item(0).tags, nullptr);
  settings_.fullExtract.Max_Span = 40;  // a damaged setting is brought into 2 .. 12
  EXPECT_EQ(Run(corpus)->WordCount(), 12);
}

// Random corpora against the window-by-window model, with every switch of the counting. (The
// recording pass is checked through the full extract, which builds its trees from it.)
TEST_F(NGramsTest, RandomCorporaMatchTheModel) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 150; ++round) {
    const TModelSettings model = test::RandomSettings(rng, 2 + static_cast<int>(rng() % 4));
    test::ApplySettings(model, settings_);
    settings_.config.Last_Method_Selected = static_cast<uint8_t>(1 + rng() % 4);
    TModelCorpus corpus(test::RandomFiles(rng, model.tagBefore, 60), model.tagBefore);
    SCOPED_TRACE("round " + std::to_string(round));

    auto list = Run(corpus);
    const auto grams = test::ModelNGrams(corpus, model);
    EXPECT_EQ(test::Counts(*list), Expected(grams, model.minFreq));
    for (int i = 1; i < list->Count(); ++i) EXPECT_GE(list->Item(i - 1).count, list->Item(i).count);
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
  test::ApplySettings(model, settings_);
  const Strings names = {"one.txt", "two.txt", "three.txt"};

  test::TProgressLog log;
  test::InstallScriptedProgress(log);
  auto whole = Run(corpus, names);
  EXPECT_EQ(log.kinds, std::vector<TProgressKind>{TProgressKind::kCancel});
  EXPECT_EQ(log.captions.front(), kExtractingNGramsCaption);
  EXPECT_EQ(log.maxima, std::vector<int64_t>{4500 / 512});
  EXPECT_EQ(log.labels, names);
  EXPECT_EQ(log.position, 9);  // positions 0, 512, ..., 4096
  EXPECT_EQ(test::Counts(*whole), Expected(test::ModelNGrams(corpus, model), 2));

  // Cancel at the 5th step, at position 2048: the n-grams ending before it are counted,
  // dropped and scored as in a whole run.
  log = test::TProgressLog{};
  log.cancelAfter = 5;
  auto part = Run(corpus, names);
  EXPECT_EQ(log.labels, (Strings{"one.txt", "two.txt"}));
  EXPECT_EQ(test::Counts(*part), Expected(test::ModelNGrams(corpus, model, 4 * 512), 2));
  EXPECT_EQ(part->ScoreMethod(), TScoreMethod::kMutualInfo);
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
