#include "engine/collocExtract.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/collocList.h"
#include "patterns/ExtractPattern.h"
#include "support/EngineTestKit.h"

namespace quenterra {
namespace {

using Strings = std::vector<std::string>;
using test::TModelCorpus;
using test::TModelKey;

class ExtractTest : public test::TEngineTest {
 protected:
  void Build(const Strings& texts) { Build(test::ParseFiles(texts, settings_.config.wTagBefore)); }
  void Build(const std::vector<test::TModelFile>& files) {
    corpus_.reset();
    corpus_ = std::make_unique<TModelCorpus>(files, settings_.config.wTagBefore);
  }
  // Parses the lines with the grammar; fails the test on a pattern error.
  TExtractRecords Records(TSearchKind kind, const Strings& lines) const {
    TExtractRecords records(kind, lines.size() > 1 ? "Batch collocation" : lines[0]);
    for (const std::string& line : lines) {
      AddExtractPattern(kind, records, line, settings_.config, settings_.tables);
    }
    return records;
  }
  std::unique_ptr<TCollocationList> Run(TSearchKind kind, const Strings& lines) {
    return ExtractAll(Records(kind, lines), corpus_->Index(), settings_.Run());
  }

  std::unique_ptr<TModelCorpus> corpus_;
};

// The rules of windows and places are checked by the brute force at the end.
TEST_F(ExtractTest, ABatchAddsUpItsLinesAndScoresFollowTheMethod) {
  settings_.config.Min_Word_Freq = 1;
  settings_.config.SpanRange = 2;
  Build(Strings{"a b c"});
  // A line longer than the span counts nothing while the batch goes on; two lines count the
  // same window twice.
  auto list = Run(TSearchKind::kWordPhrase, {"a b c", "a", "a b"});
  ASSERT_EQ(list->Count(), 1);
  EXPECT_EQ(list->CollocationText(0) + " " + std::to_string(list->Item(0).count), "a b 2");
  settings_.config.Last_Method_Selected = static_cast<uint8_t>(TScoreMethod::kTScore);
  Build(Strings{"a b a b c"});
  list = Run(TSearchKind::kWordPhrase, {"a"});
  EXPECT_EQ(list->ScoreMethod(), TScoreMethod::kTScore);
  EXPECT_DOUBLE_EQ(list->Item(0).score, TScore(2, 2, 2, 5));  // (a b) twice
}

TEST_F(ExtractTest, CancelKeepsWhatWasCountedFilteredAndScored) {
  settings_.config.Min_Word_Freq = 2;
  settings_.config.SpanRange = 4;
  std::string text;
  for (int i = 0; i < 3000; ++i) text += i % 3 == 0 ? "n a " : "n b ";
  Build(Strings{text});  // 6000 positions, 3000 n: 3000 x 4 windows' worth of work
  test::TProgressLog log;
  log.cancelAfter = 2;
  log.cancelWith = TCancelState::kCancelAll;
  test::InstallScriptedProgress(log);
  auto list = Run(TSearchKind::kWordPhrase, {"n", "a"});
  EXPECT_EQ(log.kinds, std::vector<TProgressKind>{TProgressKind::kCancelSeveral});
  EXPECT_EQ(log.captions, Strings{"Extracting"});
  EXPECT_EQ(log.labels, Strings{"n"});
  EXPECT_EQ(log.maxima, std::vector<int64_t>{2999});
  EXPECT_EQ(log.position, 512);
  // 512 occurrences of n counted (the second line never ran): 1024 windows of three kinds.
  int32_t total = 0;
  for (int i = 0; i < list->Count(); ++i) total += list->Item(i).count;
  EXPECT_EQ(total, 2 * 512 - 1);
  EXPECT_EQ(list->ScoreMethod(), TScoreMethod::kMutualInfo);  // the only method for four words
  EXPECT_NE(list->Item(0).score, 0.0);
}

// ---- Brute force: every window of every file against the definition of a line ----

using TItems = std::map<TModelKey, std::pair<int32_t, int32_t>>;  // count, position

TItems ItemsOf(const TCollocationList& list) {
  TItems items;
  for (int i = 0; i < list.Count(); ++i)
    items[test::KeyOf(list, i)] = {list.Item(i).count, list.Item(i).position};
  return items;
}

class TBruteForce {
 public:
  TBruteForce(const TModelCorpus& corpus, const TExtractSettings& s) : corpus_(corpus), s_(s) {}

  void Line(const TExtractRecord& line, TItems& items) {
    line_ = &line;
    lineItems_.clear();
    if (line.TermCount() > s_.span) return;
    for (const std::vector<int32_t>& counted : corpus_.CountedPositions(s_.kinds)) {
      for (size_t c = 0; c + static_cast<size_t>(s_.span) <= counted.size(); ++c) {
        Window(std::vector<int32_t>(counted.begin() + c, counted.begin() + c + s_.span), items);
      }
    }
  }

 private:
  static Strings TagPatterns(const TExtractTerm& t) {
    return t.HasTagList() ? t.TagList() : Strings{t.Tag()};
  }
  bool WordOk(const TExtractTerm& term, int32_t p) const {
    return term.RegExp() ? term.RegExp()->MatchesWhole(corpus_.texts[p])
                         : TTextIndex::MatchWildcard(corpus_.texts[p], term.Text());
  }
  // tag: the position of the word's tag, or -1.
  bool TagOk(const TExtractTerm& term, int32_t tag) const {
    for (const std::string& p : TagPatterns(term)) {
      if (tag < 0 ? p == "*" : TTextIndex::MatchWildcard(corpus_.texts[tag], p)) return true;
    }
    return false;
  }
  bool Ok(int term, int32_t p) const {
    const TExtractTerm& t = line_->Term(term);
    return WordOk(t, p) &&
           (line_->Kind() != TSearchKind::kWordTag || TagOk(t, corpus_.TagAt(p, s_.tagBefore)));
  }
  // Whether the window satisfies the line, and where the line stands in it.
  bool Satisfies(const std::vector<int32_t>& at, int& position) const {
    const int terms = line_->TermCount(), span = s_.span;
    if (line_->Order() == TOrderMode::kAdjacent) {
      for (position = 0; position + terms <= span; ++position) {
        bool all = true;
        for (int i = 0; i < terms && all; ++i) all = Ok(i, at[position + i]);
        if (all) return true;
      }
      return false;
    }
    position = span;
    for (int j = span - 1; j >= 0; --j) {
      for (int i = 0; i < terms; ++i) {
        if (Ok(i, at[j]) && (line_->Order() == TOrderMode::kUnordered || i == 0)) position = j;
      }
    }
    if (line_->Order() == TOrderMode::kUnordered) {
      for (int i = 0; i < terms; ++i) {
        bool some = false;
        for (int j = 0; j < span && !some; ++j) some = Ok(i, at[j]);
        if (!some) return false;
      }
      return true;
    }
    // Subsequent: reach[i] = the terms 0..i-1 fit into the places seen so far.
    std::vector<bool> reach(static_cast<size_t>(terms) + 1, false);
    reach[0] = true;
    for (int j = 0; j < span; ++j) {
      for (int i = terms - 1; i >= 0; --i) {
        if (reach[i] && Ok(i, at[j])) reach[i + 1] = true;
      }
    }
    return reach[terms];
  }
  bool Excluded(int32_t p) const {
    int at = 0;
    const int32_t id = corpus_.ids[p];
    return corpus_.Frequency(id) < s_.minWordFreq ||
           (s_.stopIds.Count() > 0 && s_.stopIds.Find(static_cast<uint32_t>(id), at));
  }
  void Window(const std::vector<int32_t>& at, TItems& items) {
    TModelKey key;
    for (int32_t p : at) {
      if (Excluded(p)) return;
      key.words.push_back(corpus_.ids[p]);
      if (line_->Kind() == TSearchKind::kWordTag) {
        key.tags.push_back(corpus_.TagOf(p, s_.tagBefore));
      }
    }
    int position = 0;
    if (!Satisfies(at, position)) return;
    // The line's place is a function of the window's content; an item keeps the place of the
    // line that counted it first.
    auto& [count, first] = items[key];
    if (count++ == 0) first = position;
    EXPECT_EQ(lineItems_.emplace(key, position).first->second, position);
  }

  const TModelCorpus& corpus_;
  const TExtractSettings& s_;
  const TExtractRecord* line_ = nullptr;
  std::map<TModelKey, int> lineItems_;  // the places the current line found
};

std::string RandomTerm(std::mt19937& rng, TSearchKind kind) {
  static const Strings kWords = {"a", "b", "ab", "a*", "*b", "?b", "ab%", "*", "c", "b*"};
  static const Strings kRegExps = {"a", "ab?", "b|ab", "[ab]+", "a.*", "c"};
  static const Strings kTags = {"", "&nn", "&n*", "&*", "&vb", "&noun", "&any", "&", "&xx"};
  auto pick = [&](const Strings& from) { return from[rng() % from.size()]; };
  if (kind == TSearchKind::kRegExp) return pick(kRegExps);
  if (kind == TSearchKind::kWordPhrase) return pick(kWords);
  std::string tag = pick(kTags);
  // A term of the tag separator alone is refused by the grammar; "&nn" and "ab&" are terms.
  return (rng() % 4 == 0 && tag.size() > 1 ? "" : pick(kWords)) + tag;
}

// Random corpora, settings and requests of every kind and order: the run's list must equal the
// windows counted one by one, item by item with counts and positions.
TEST_F(ExtractTest, RunAgreesWithEveryWindowCountedByBruteForce) {
  std::mt19937 rng(20240611);
  const char* kSeparators[] = {" ", " + ", " > "};
  for (int corpus = 0; corpus < 120; ++corpus) {
    ZuzadovUdirev& config = settings_.config;
    config.wTagBefore = rng() % 3 == 0;
    config.WordTag = config.wTagBefore ? 2 : 1;
    config.MetaTags = {{"noun", {"nn", "nns"}}, {"any", {"vb", "*"}}};
    Build(test::RandomFiles(rng, config.wTagBefore, 25));
    for (int request = 0; request < 5; ++request) {
      config.SpanRange = 2 + static_cast<int>(rng() % 5);
      config.Min_Word_Freq = 1 + static_cast<int>(rng() % 3);
      config.SkipNormalTags = rng() % 3 != 0;
      config.UseStoplist = rng() % 4 == 0;
      settings_.stopList.SetWords({rng() % 2 ? "c" : "ab"});
      const auto kind = static_cast<TSearchKind>(rng() % 3);
      Strings lines(1 + rng() % 2 + (rng() % 5 == 0));
      for (std::string& line : lines) {
        const char* separator = kSeparators[rng() % 3];
        for (int t = 0, terms = 1 + static_cast<int>(rng() % 3); t < terms; ++t) {
          line += (t ? separator : "") + RandomTerm(rng, kind);
        }
      }
      const TExtractRecords records = Records(kind, lines);
      const TExtractSettings settings =
          TExtractSettings::FromSettings(settings_.Run(), corpus_->Index(), false);
      TItems expected;
      TBruteForce brute(*corpus_, settings);
      for (int i = 0; i < records.RecordCount(); ++i) brute.Line(records.Record(i), expected);
      // Dropping the rare items also drops all that a line whose matching tags are fewer than
      // the minimum could count, which the run skips at once.
      std::erase_if(expected,
                    [&](const auto& item) { return item.second.first < settings.minWordFreq; });
      ASSERT_EQ(ItemsOf(*ExtractAll(records, corpus_->Index(), settings_.Run())), expected)
          << "corpus " << corpus << " kind " << static_cast<int>(kind) << " span " << settings.span
          << " min " << settings.minWordFreq << " line '" << lines[0] << "'"
          << (lines.size() > 1 ? " ..." : "");
    }
  }
}

}  // namespace
}  // namespace quenterra
