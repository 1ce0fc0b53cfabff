#include "engine/FullExtract.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "dialogs/FEOptions.h"
#include "engine/NGrams.h"
#include "engine/collocList.h"
#include "engine/collocTree.h"
#include "platform/Errors.h"
#include "support/CorpusTestKit.h"
#include "support/EngineTestKit.h"
#include "support/ErrorOf.h"

namespace quenterra {
namespace {

using Strings = std::vector<std::string>;
using test::TModelCorpus;
using test::TModelKey;

struct TFEModel {
  test::TModelSettings base;  // n is Min_Span
  int maxSpan = 5;
  uint8_t ifMethod = smNone;
  double ifMin = 0;
  uint8_t efMethod = smCost;
  int32_t efCost = 3;
  double efMI = 0;
};

struct TResult {
  int32_t count = 0;
  double score = 0;
};

class FullExtractTest : public test::TEngineTest {
 protected:
  static void Apply(const TFEModel& model) {
    test::ApplySettings(model.base);
    TFullExtractOptions& options = FullExtractOptions();
    options.Min_Span = model.base.n;
    options.Max_Span = model.maxSpan;
    options.IF_Score_Method = model.ifMethod;
    options.IFMin_T_Score = options.IFMin_Mutual_Info = options.IFMin_Likehood = model.ifMin;
    options.EF_Score_Method = model.efMethod;
    options.EFMin_Cost_Criteria = model.efCost;
    options.EFMin_Mutual_Info = model.efMI;
  }
  bool StoreFilesLeft() const {
    for (const std::string& name : tmp_.Files()) {
      if (name.rfind(kTreeStorePrefix, 0) == 0) return true;
    }
    return false;
  }

  // Every node of the extension tree of a base n-gram: a path of extension words and the
  // occurrences through it.
  static std::map<TModelKey, int32_t> Nodes(const TModelCorpus& corpus, const TFEModel& model,
                                            const TModelKey& key,
                                            const std::vector<int32_t>& positions) {
    const test::TModelSettings& base = model.base;
    std::map<TModelKey, int32_t> nodes;
    for (int32_t p : positions) {
      TModelKey path = key;
      ++nodes[path];
      for (int32_t q = p + 1; q < corpus.Size() && corpus.fileOf[q] == corpus.fileOf[p] &&
                              static_cast<int>(path.words.size()) < model.maxSpan;
           ++q) {
        if ((base.kinds & KindBit(corpus.kinds[q])) == 0) continue;
        path.words.push_back(corpus.ids[q]);
        if (base.useTags) path.tags.push_back(corpus.TagOf(q, base.tagBefore));
        ++nodes[path];
      }
    }
    return nodes;
  }
  // The cost of a node: its depth less one times its occurrences not taken by passing children.
  static int64_t Cost(const std::map<TModelKey, int32_t>& nodes, const TModelKey& path, int32_t c,
                      const TFEModel& model) {
    const int64_t d = static_cast<int64_t>(path.words.size());
    int64_t passing = 0;
    for (const auto& [other, cc] : nodes) {
      if (other.words.size() == path.words.size() + 1 &&
          std::equal(path.words.begin(), path.words.end(), other.words.begin()) &&
          std::equal(path.tags.begin(), path.tags.end(), other.tags.begin()) &&
          (model.base.useTags ? d * cc > model.efCost : d * cc >= model.efCost)) {
        passing += cc;
      }
    }
    return (d - 1) * (c - passing);
  }
  // The full extract computed directly: base n-grams, the initial filter, every occurrence's
  // extension counted into every prefix, then each prefix scored. Sets `asked` when the run
  // must ask the 90 percent question.
  static std::map<TModelKey, TResult> Model(TModelCorpus& corpus, const TFEModel& model,
                                            bool& asked) {
    const test::TModelSettings& base = model.base;
    const int64_t words = CorpusWords(corpus.Index());
    const uint8_t method = base.n > 2 ? uint8_t{smMutualInfo} : model.ifMethod;
    const auto grams = test::ModelNGrams(corpus, base);
    size_t kept = 0;
    std::map<TModelKey, TResult> results;
    for (const auto& [key, positions] : grams) {
      const auto count = static_cast<int32_t>(positions.size());
      const int32_t* tags = base.useTags ? key.tags.data() : nullptr;
      if (count < base.minFreq ||
          (method != smNone && !ScorePasses(SequenceScore(corpus.Index(), method, key.words.data(),
                                                          tags, base.n, count, words),
                                            model.ifMin))) {
        continue;
      }
      ++kept;
      const auto nodes = Nodes(corpus, model, key, positions);
      for (const auto& [path, c] : nodes) {
        const int d = static_cast<int>(path.words.size());
        TModelKey item = path;
        item.words.resize(static_cast<size_t>(model.maxSpan), -1);
        if (base.useTags) item.tags.resize(static_cast<size_t>(model.maxSpan), -1);
        double score = 0;
        if (model.efMethod == smCost) {
          score = static_cast<double>(Cost(nodes, path, c, model));
          if (score < model.efCost) continue;
        } else {
          score = SequenceScore(corpus.Index(), smMutualInfo, item.words.data(),
                                base.useTags ? item.tags.data() : nullptr, d, c, words);
          if (!ScorePasses(score, model.efMI)) continue;
        }
        if (c >= base.minFreq) results[item] = TResult{c, score};
      }
    }
    // Before the initial filter the list holds every n-gram counted, rare ones too.
    asked = !grams.empty() && static_cast<double>(kept) / static_cast<double>(grams.size()) > 0.9;
    return results;
  }

  test::TPrivateTmpDir tmp_;
};

TEST_F(FullExtractTest, RandomCorporaMatchTheModel) {
  std::mt19937 rng(5150);
  const uint8_t kInitial[] = {smNone, smTScore, smMutualInfo, smLogLikelihood};
  for (int round = 0; round < 120; ++round) {
    TFEModel model;
    model.base = test::RandomSettings(rng, 2 + static_cast<int>(rng() % 3));
    model.maxSpan = model.base.n + 1 + static_cast<int>(rng() % 4);
    model.ifMethod = kInitial[rng() % 4];
    model.ifMin = std::uniform_real_distribution<double>(-1, 3)(rng);
    model.efMethod = rng() % 2 == 0 ? smCost : smMutualInfo;
    model.efCost = static_cast<int32_t>(rng() % 6) - 1;
    model.efMI = std::uniform_real_distribution<double>(-1, 4)(rng);
    ResetSettings();
    Apply(model);
    messages_->asked.clear();
    TModelCorpus corpus(test::RandomFiles(rng, model.base.tagBefore, 80), model.base.tagBefore);
    SCOPED_TRACE("round " + std::to_string(round));

    bool asked = false;
    const auto expected = Model(corpus, model, asked);
    TFullExtractStats stats;
    auto list = FullExtract(corpus.Index(), {}, &stats);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(messages_->asked.size(), asked ? 1u : 0u);
    EXPECT_EQ(list->WordCount(), model.maxSpan);
    EXPECT_EQ(list->ScoreMethod(), model.efMethod);
    std::map<TModelKey, TResult> got;
    for (int i = 0; i < list->Count(); ++i) {
      got[test::KeyOf(*list, i)] = TResult{list->Item(i).count, list->Item(i).score};
    }
    ASSERT_EQ(got.size(), expected.size());
    for (const auto& [key, result] : expected) {
      auto at = got.find(key);
      ASSERT_NE(at, got.end());
      EXPECT_EQ(at->second.count, result.count);
      EXPECT_NEAR(at->second.score, result.score, 1e-9);
    }

    // Base n-grams in list order, each followed by its extensions depth-first in key order.
    std::map<TModelKey, int> rank;
    std::pair<int, std::vector<int64_t>> previous{-1, {}};
    for (int i = 0; i < list->Count(); ++i) {
      const TModelKey item = test::KeyOf(*list, i);
      TModelKey base = item;
      base.words.resize(static_cast<size_t>(model.base.n));
      if (!base.tags.empty()) base.tags.resize(static_cast<size_t>(model.base.n));
      std::pair<int, std::vector<int64_t>> current{
          rank.emplace(base, static_cast<int>(rank.size())).first->second, {}};
      // The extension keys as the tree keys them: the words (with tags) past Min_Span.
      for (size_t j = base.words.size(); j < item.words.size() && item.words[j] >= 0; ++j) {
        current.second.push_back(model.base.useTags ? TagKey(item.words[j], item.tags[j])
                                                    : item.words[j]);
      }
      EXPECT_LT(previous, current) << "item " << i;
      previous = current;
    }
    EXPECT_EQ(stats.kept > 0, stats.storeBytes > kTreeStoreHeaderSize);
    EXPECT_FALSE(StoreFilesLeft());
  }
}

TEST_F(FullExtractTest, LongBaseNGramsUseMutualInformationAndTheSettingIsChanged) {
  TModelCorpus corpus(test::ParseFiles({"a b c d a b c"}), false);
  Config().Min_Word_Freq = 1;
  TFullExtractOptions& options = FullExtractOptions();
  options.Min_Span = 3;
  options.Max_Span = 5;
  options.IF_Score_Method = smTScore;
  options.IFMin_Mutual_Info = -100;
  options.EF_Score_Method = smCost;
  options.EFMin_Cost_Criteria = 1;
  auto list = FullExtract(corpus.Index(), {});
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(options.IF_Score_Method, smMutualInfo);
  Strings texts;
  for (int i = 0; i < list->Count(); ++i) {
    texts.push_back(list->CollocationText(i) + " " + std::to_string(list->Item(i).count) + " " +
                    FormatScore(list->Item(i).score, smCost));
  }
  std::sort(texts.begin(), texts.end());
  // a b c occurs twice, once at the end of the file: its child d (3 x 1 >= 1) passes, so its
  // cost is 2 x (2 - 1). Inner nodes whose one child passes cost 0; leaves (d - 1) x 1.
  EXPECT_EQ(texts, (Strings{"a b c 2 2", "a b c d a 1 4", "b c d a b 1 4", "c d a b c 1 4",
                            "d a b c 1 3"}));
  EXPECT_EQ(messages_->asked.size(), 1u);  // no trigram was filtered
}

TEST_F(FullExtractTest, AnsweringNoEndsTheRunWithoutAList) {
  TModelCorpus corpus(test::ParseFiles({"a b a b"}), false);
  Config().Min_Word_Freq = 1;
  FullExtractOptions().IF_Score_Method = smNone;
  messages_->answers = {false};
  EXPECT_EQ(FullExtract(corpus.Index(), {}), nullptr);
  EXPECT_EQ(messages_->asked, Strings{kFewFilteredQuestion});
  EXPECT_FALSE(StoreFilesLeft());

  FullExtractOptions().Min_Span = 5;  // longer than the file: nothing to ask about
  messages_->asked.clear();
  auto list = FullExtract(corpus.Index(), {});
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Count(), 0);
  EXPECT_TRUE(messages_->asked.empty());

  FullExtractOptions().Min_Span = 7;
  FullExtractOptions().Max_Span = 7;
  EXPECT_EQ(test::ErrorOf([&] { FullExtract(corpus.Index(), {}); }), kSpanOrderWarning);
}

// Files of random words w0 .. w(width - 1).
std::vector<test::TModelFile> WordFiles(unsigned seed, int files, int length, unsigned width) {
  std::mt19937 rng(seed);
  std::vector<test::TModelFile> result(static_cast<size_t>(files));
  for (test::TModelFile& file : result) {
    for (int i = 0; i < length; ++i) file.push_back({"w" + std::to_string(rng() % width)});
  }
  return result;
}

// A cancel at any step of any stage ends the run without a list; the question is still asked.
TEST_F(FullExtractTest, CancelAtEveryStageReturnsNothing) {
  TModelCorpus corpus(WordFiles(99, 2, 2600, 6), false);
  Config().Min_Word_Freq = 1;
  FullExtractOptions().IF_Score_Method = smNone;
  FullExtractOptions().Max_Span = 4;
  test::TProgressLog log;
  test::InstallScriptedProgress(log);
  ASSERT_NE(FullExtract(corpus.Index(), {"a", "b"}), nullptr);
  const int steps = log.polls;
  const Strings kCaptions = {kFullExtractProgressCaption, kFullExtractPass1Caption,
                             kFullExtractPass2Caption};
  EXPECT_EQ(log.captions, kCaptions);
  EXPECT_EQ(log.maxima.front(), 2 * (5200 / 512));
  EXPECT_EQ(log.labels.front(), "a");

  std::set<std::string> stages;
  for (int k = 1; k <= steps; ++k) {
    log = test::TProgressLog{};
    log.cancelAfter = k;
    messages_->asked.clear();
    EXPECT_EQ(FullExtract(corpus.Index(), {"a", "b"}), nullptr) << k;
    // A cancel at the first step leaves an empty first count, with nothing to ask about.
    EXPECT_EQ(messages_->asked.size(), k == 1 ? 0u : 1u) << k;
    EXPECT_FALSE(StoreFilesLeft());
    stages.insert(log.cancelCaption);
  }
  EXPECT_EQ(stages, std::set<std::string>(kCaptions.begin(), kCaptions.end()));
}

// The store's disk fills up: the run reports it and leaves no store behind.
TEST_F(FullExtractTest, AFullDiskIsReportedAndTheStoreRemoved) {
  TModelCorpus corpus(WordFiles(3, 1, 6000, 40), false);
  Config().Min_Word_Freq = 1;
  FullExtractOptions().IF_Score_Method = smNone;
  FullExtractOptions().Max_Span = 8;

  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string error;
  try {
    FullExtract(corpus.Index(), {});
  } catch (const EFileError& e) {
    error = e.what();
  }
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(error.rfind("Unable to write to file: ", 0), 0u) << error;
  EXPECT_FALSE(StoreFilesLeft());
}

}  // namespace
}  // namespace quenterra
