#include "engine/FullExtract.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

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

using TResults = std::map<TModelKey, std::pair<int32_t, double>>;  // count, score

class FullExtractTest : public test::TEngineTest {
 protected:
  std::unique_ptr<TCollocationList> Run(TModelCorpus& corpus, const Strings& names = {},
                                        TFullExtractStats* stats = nullptr) {
    return FullExtract(corpus.Index(), names, settings_.fullExtract, settings_.Run(), stats);
  }
  bool StoreFilesLeft() const {
    for (const std::string& name : tmp_.Files()) {
      if (name.rfind(kTreeStorePrefix, 0) == 0) return true;
    }
    return false;
  }

  // The full extract computed directly: base n-grams, the initial filter, every occurrence's
  // extension counted into every prefix, then each prefix scored. Sets `asked` when the run
  // must ask the 90 percent question.
  TResults Model(TModelCorpus& corpus, const test::TModelSettings& base,
                 const TFullExtractOptions& options, bool& asked) const {
    const int64_t words = CorpusWords(corpus.Index(), settings_.config);
    const TScoreMethod method =
        base.n > 2 ? TScoreMethod::kMutualInfo : ValidScoreMethod(options.IF_Score_Method);
    const int32_t minCost = options.EFMin_Cost_Criteria;
    const auto grams = test::ModelNGrams(corpus, base);
    size_t kept = 0;
    TResults results;
    for (const auto& [key, positions] : grams) {
      const auto count = static_cast<int32_t>(positions.size());
      const int32_t* tags = base.useTags ? key.tags.data() : nullptr;
      if (count < base.minFreq ||
          (method != TScoreMethod::kNone &&
           !ScorePasses(
               SequenceScore(corpus.Index(), method, key.words.data(), tags, base.n, count, words),
               options.IFMin_Mutual_Info))) {
        continue;
      }
      ++kept;
      // The extension tree: every path of counted words after an occurrence, within its file.
      std::map<TModelKey, int32_t> nodes;
      for (int32_t p : positions) {
        TModelKey path = key;
        ++nodes[path];
        for (int32_t q = p + 1; q < corpus.Size() && corpus.fileOf[q] == corpus.fileOf[p] &&
                                static_cast<int>(path.words.size()) < options.Max_Span;
             ++q) {
          if ((base.kinds & KindBit(corpus.kinds[q])) == 0) continue;
          path.words.push_back(corpus.ids[q]);
          if (base.useTags) path.tags.push_back(corpus.TagOf(q, base.tagBefore));
          ++nodes[path];
        }
      }
      for (const auto& [path, c] : nodes) {
        const int64_t d = static_cast<int64_t>(path.words.size());
        TModelKey item = path;
        item.words.resize(static_cast<size_t>(options.Max_Span), -1);
        if (base.useTags) item.tags.resize(static_cast<size_t>(options.Max_Span), -1);
        double score = 0;
        if (ValidScoreMethod(options.EF_Score_Method) == TScoreMethod::kCost) {
          // Depth less one times the occurrences not taken by passing children: those whose
          // share (depth x count) reaches the minimum, with tags only those that exceed it.
          int64_t passing = 0;
          for (const auto& [child, cc] : nodes) {
            if (child.words.size() == path.words.size() + 1 &&
                std::equal(path.words.begin(), path.words.end(), child.words.begin()) &&
                std::equal(path.tags.begin(), path.tags.end(), child.tags.begin()) &&
                (base.useTags ? d * cc > minCost : d * cc >= minCost)) {
              passing += cc;
            }
          }
          score = static_cast<double>((d - 1) * (c - passing));
          if (score < minCost) continue;
        } else {
          score = SequenceScore(corpus.Index(), TScoreMethod::kMutualInfo, item.words.data(),
                                base.useTags ? item.tags.data() : nullptr, static_cast<int>(d), c,
                                words);
          if (!ScorePasses(score, options.EFMin_Mutual_Info)) continue;
        }
        if (c >= base.minFreq) results[item] = {c, score};
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
  const TScoreMethod kInitial[] = {TScoreMethod::kNone, TScoreMethod::kTScore,
                                   TScoreMethod::kMutualInfo, TScoreMethod::kLogLikelihood};
  for (int round = 0; round < 120; ++round) {
    const test::TModelSettings base = test::RandomSettings(rng, 2 + static_cast<int>(rng() % 3));
    test::ApplySettings(base, settings_);
    TFullExtractOptions& options = settings_.fullExtract;
    options.Min_Span = base.n;
    options.Max_Span = base.n + 1 + static_cast<int>(rng() % 4);
    options.IF_Score_Method = static_cast<uint8_t>(kInitial[rng() % 4]);
    options.IFMin_T_Score = options.IFMin_Mutual_Info = options.IFMin_Likehood =  // one for all
        std::uniform_real_distribution<double>(-1, 3)(rng);
    const TScoreMethod extended = rng() % 2 == 0 ? TScoreMethod::kCost : TScoreMethod::kMutualInfo;
    options.EF_Score_Method = static_cast<uint8_t>(extended);
    options.EFMin_Cost_Criteria = static_cast<int32_t>(rng() % 6) - 1;
    options.EFMin_Mutual_Info = std::uniform_real_distribution<double>(-1, 4)(rng);
    messages_->asked.clear();
    TModelCorpus corpus(test::RandomFiles(rng, base.tagBefore, 80), base.tagBefore);
    SCOPED_TRACE("round " + std::to_string(round));

    bool asked = false;
    const TResults expected = Model(corpus, base, options, asked);
    TFullExtractStats stats;
    auto list = Run(corpus, {}, &stats);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(messages_->asked.size(), asked ? 1u : 0u);
    EXPECT_EQ(list->WordCount(), options.Max_Span);
    EXPECT_EQ(list->ScoreMethod(), extended);
    TResults got;
    for (int i = 0; i < list->Count(); ++i) {
      got[test::KeyOf(*list, i)] = {list->Item(i).count, list->Item(i).score};
    }
    ASSERT_EQ(got.size(), expected.size());
    for (const auto& [key, result] : expected) {
      auto at = got.find(key);
      ASSERT_NE(at, got.end());
      EXPECT_EQ(at->second.first, result.first);
      EXPECT_NEAR(at->second.second, result.second, 1e-9);
    }

    // Base n-grams in list order, each followed by its extensions depth-first in key order.
    std::map<TModelKey, int> rank;
    std::pair<int, std::vector<int64_t>> previous{-1, {}};
    for (int i = 0; i < list->Count(); ++i) {
      const TModelKey item = test::KeyOf(*list, i);
      TModelKey key = item;
      key.words.resize(static_cast<size_t>(base.n));
      if (!key.tags.empty()) key.tags.resize(static_cast<size_t>(base.n));
      std::pair<int, std::vector<int64_t>> current{
          rank.emplace(key, static_cast<int>(rank.size())).first->second, {}};
      // The extension keys as the tree keys them: the words (with tags) past Min_Span.
      for (size_t j = key.words.size(); j < item.words.size() && item.words[j] >= 0; ++j) {
        current.second.push_back(base.useTags ? TagKey(item.words[j], item.tags[j])
                                              : item.words[j]);
      }
      EXPECT_LT(previous, current) << "item " << i;
      previous = current;
    }
    EXPECT_EQ(stats.kept > 0, stats.storeBytes > kTreeStoreHeaderSize);
    EXPECT_FALSE(StoreFilesLeft());
  }
}

// Long base n-grams are filtered by Mutual Information whatever the setting says, and the
// setting follows; the 90 percent question, answered Yes or No; spans out of order.
TEST_F(FullExtractTest, OptionsAndTheQuestionShapeTheRun) {
  TModelCorpus corpus(test::ParseFiles({"a b c d a b c"}), false);
  settings_.config.Min_Word_Freq = 1;
  TFullExtractOptions& options = settings_.fullExtract;
  options.Min_Span = 3;
  options.IF_Score_Method = static_cast<uint8_t>(TScoreMethod::kTScore);
  options.IFMin_Mutual_Info = -100;
  auto list = Run(corpus);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(options.IF_Score_Method, static_cast<uint8_t>(TScoreMethod::kMutualInfo));
  EXPECT_GT(list->Count(), 0);
  EXPECT_EQ(messages_->asked, Strings{kFewFilteredQuestion});  // no trigram was filtered

  options.Min_Span = 2;
  messages_->answers = {false};
  EXPECT_EQ(Run(corpus), nullptr);
  EXPECT_EQ(messages_->asked.size(), 2u);
  EXPECT_FALSE(StoreFilesLeft());

  options.Min_Span = 8;  // longer than the file: nothing to ask about
  options.Max_Span = 9;
  list = Run(corpus);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(messages_->asked.size(), 2u);
  options.Max_Span = 8;
  EXPECT_EQ(test::ErrorOf([&] { Run(corpus); }), kSpanOrderWarning);
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

// A cancel at any step of any stage ends the run without a list (the question is still asked),
// and so does a full disk under the store, reported; no run leaves its store behind.
TEST_F(FullExtractTest, CancelledAndFailedRunsReturnNothingAndRemoveTheStore) {
  TModelCorpus corpus(WordFiles(99, 2, 2600, 6), false);
  settings_.config.Min_Word_Freq = 1;
  settings_.fullExtract.IF_Score_Method = static_cast<uint8_t>(TScoreMethod::kNone);
  settings_.fullExtract.Max_Span = 4;
  test::TProgressLog log;
  test::InstallScriptedProgress(log);
  ASSERT_NE(Run(corpus, {"a", "b"}), nullptr);
  const int steps = log.polls;
  const Strings kCaptions = {kFullExtractProgressCaption, kFullExtractPass1Caption,
                             kFullExtractPass2Caption};
  EXPECT_EQ(log.captions, kCaptions);
  EXPECT_EQ(log.maxima.front(), 2 * (5200 / 512));
  EXPECT_EQ(log.labels.front(), "a");
  EXPECT_FALSE(log.maxWhileAdvanced);  // each stage starts its bar at 0

  std::set<std::string> stages;
  for (int k = 1; k <= steps; ++k) {
    log = test::TProgressLog{};
    log.cancelAfter = k;
    messages_->asked.clear();
    EXPECT_EQ(Run(corpus, {"a", "b"}), nullptr) << k;
    // A cancel at the first step leaves an empty first count, with nothing to ask about.
    EXPECT_EQ(messages_->asked.size(), k == 1 ? 0u : 1u) << k;
    EXPECT_FALSE(StoreFilesLeft());
    stages.insert(log.cancelCaption);
  }
  EXPECT_EQ(stages, std::set<std::string>(kCaptions.begin(), kCaptions.end()));

  log = test::TProgressLog{};
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string error;
  try {
    Run(corpus);
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
