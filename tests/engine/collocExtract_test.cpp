#include "engine/collocExtract.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "engine/StopList.h"
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
  void SetUp() override {
    TEngineTest::SetUp();
    Config().Min_Word_Freq = 1;
  }
  void Build(const Strings& texts) { Build(test::ParseFiles(texts, Config().wTagBefore)); }
  void Build(const std::vector<test::TModelFile>& files) {
    corpus_.reset();
    corpus_ = std::make_unique<TModelCorpus>(files, Config().wTagBefore);
  }
  // Parses the lines with the grammar; fails the test on a pattern error.
  static TExtractRecords Records(uint8_t kind, const Strings& lines) {
    TExtractRecords records(kind, lines.size() > 1 ? "Batch collocation" : lines[0]);
    for (const std::string& line : lines) AddExtractPattern(kind, records, line);
    return records;
  }
  std::unique_ptr<TCollocationList> Run(uint8_t kind, const Strings& lines) {
    return ExtractAll(Records(kind, lines), corpus_->Index());
  }
  // The items as "text:count@position", sorted by text.
  Strings Texts(uint8_t kind, const Strings& lines) {
    auto list = Run(kind, lines);
    list->Sort(csAlpha, csNone);
    Strings texts;
    for (int i = 0; i < list->Count(); ++i) {
      texts.push_back(list->CollocationText(i) + ":" + std::to_string(list->Item(i).count) + "@" +
                      std::to_string(list->Item(i).position));
    }
    return texts;
  }

  std::unique_ptr<TModelCorpus> corpus_;
};

TEST_F(ExtractTest, WindowsStayInsideTheirFileFromItsFirstWord) {
  Build(Strings{"x y node", "node z w"});
  // The node ends file 0: no window runs from it into file 1. It starts file 1: (node, z).
  EXPECT_EQ(Texts(kWordPhrase, {"node"}), (Strings{"node z:1@0", "y node:1@1"}));
}

TEST_F(ExtractTest, AdjacentLineCountsEveryWindowHoldingThePhraseAtItsLeftmostPlace) {
  Config().SpanRange = 4;
  Build(Strings{"x b a b", "a b a b"});
  // 'a' is the rarest term of 'a b' here; the second file holds the phrase twice in one window
  // and the leftmost place is kept.
  EXPECT_EQ(Texts(kWordPhrase, {"a b"}), (Strings{"a b a b:1@0", "x b a b:1@2"}));
  // With 'b' rarer, the first 'b' of 'x b a b' reaches the window first with the phrase at the
  // wrong place; the window still counts.
  Build(Strings{"x b a b", "a a a"});
  EXPECT_EQ(Texts(kWordPhrase, {"a b"}), (Strings{"x b a b:1@2"}));
}

TEST_F(ExtractTest, UnorderedNodesSharingWindowsCountEachWindowOnce) {
  Config().SpanRange = 4;
  Build(Strings{"n x y n z w"});
  // Windows: [n x y n] holds both, [x y n z] and [y n z w] only the later one.
  EXPECT_EQ(Texts(kWordPhrase, {"n + n"}), (Strings{"n x y n:1@0", "x y n z:1@2", "y n z w:1@1"}));
  // One word may satisfy several terms: 'ab' is both a* and ab.
  Config().SpanRange = 2;
  Build(Strings{"ab c", "abc d"});
  EXPECT_EQ(Texts(kWordPhrase, {"a* + ab"}), (Strings{"ab c:1@0"}));
  EXPECT_EQ(Texts(kWordPhrase, {"a* + ab*"}), (Strings{"ab c:1@0", "abc d:1@0"}));
}

TEST_F(ExtractTest, NormalTagsArePassedOverOrTakeAPlace) {
  Build(Strings{"a @p b"});
  EXPECT_EQ(Texts(kWordPhrase, {"a"}), (Strings{"a b:1@0"}));
  Config().SkipNormalTags = false;
  EXPECT_EQ(Texts(kWordPhrase, {"a"}), (Strings{"a p:1@0"}));
}

TEST_F(ExtractTest, StopWordsAndRareWordsRemoveWindows) {
  Config().Min_Word_Freq = 2;
  Build(Strings{"the cat the dog the cat the cat"});
  const Strings kWithoutDog = {"cat the:2@1", "the cat:3@0"};
  EXPECT_EQ(Texts(kWordPhrase, {"the"}), kWithoutDog);  // dog is rarer than 2
  Config().Min_Word_Freq = 1;
  Config().UseStoplist = true;
  StopList().Words() = {"Dog"};  // lower-cased for the lookup
  EXPECT_EQ(Texts(kWordPhrase, {"the"}), kWithoutDog);
  StopList().Words() = {"the"};
  EXPECT_EQ(Run(kWordPhrase, {"the"})->Count(), 0);
  Config().Min_Word_Freq = 5;  // 'the' is rarer than that: the line counts nothing
  Config().UseStoplist = false;
  EXPECT_EQ(Run(kWordPhrase, {"the"})->Count(), 0);
}

TEST_F(ExtractTest, ARegularExpressionMatchesWholeWordsOnly) {
  // A prefix match is no match: 'a' does not match 'ab', 'ab?' matches 'a' and 'ab'.
  Build(Strings{"ab c", "a d"});
  EXPECT_EQ(Texts(kRegExp, {"a"}), (Strings{"a d:1@0"}));
  EXPECT_EQ(Texts(kRegExp, {"ab?"}), (Strings{"a d:1@0", "ab c:1@0"}));
}

TEST_F(ExtractTest, WordTagLinesMatchTagsAndOnlyTheStarMatchesUntaggedWords) {
  Config().WordTag = 1;
  Build(Strings{"run/vb dog/nn", "run dogs/nns"});
  EXPECT_EQ(Texts(kWordTag, {"run"}), (Strings{"run VB dog NN:1@0", "run dogs NNS:1@0"}));
  EXPECT_EQ(Texts(kWordTag, {"run&v*"}), (Strings{"run VB dog NN:1@0"}));
  // The two tags are fewer than the four words but bound nothing: untagged words are in no tag
  // count, and 'p q' still counts.
  Build(Strings{"x/nn y/nn", "p q"});
  EXPECT_EQ(Texts(kWordTag, {"*&*"}), (Strings{"p q:1@0", "x NN y NN:1@0"}));
}

TEST_F(ExtractTest, LongLinesCountNothingWhileTheBatchGoesOnAndScoresFollowTheMethod) {
  Config().Last_Method_Selected = smTScore;
  Build(Strings{"a b c"});
  // The two lines count the same window twice.
  EXPECT_EQ(Texts(kWordPhrase, {"a b c", "a", "a b"}), (Strings{"a b:2@0"}));
  Build(Strings{"a b a b c"});
  auto list = Run(kWordPhrase, {"a"});
  EXPECT_EQ(list->ScoreMethod(), smTScore);
  EXPECT_DOUBLE_EQ(list->Item(0).score, TScore(2, 2, 2, 5));  // (a b) twice
}

TEST_F(ExtractTest, CancelKeepsWhatWasCountedFilteredAndScored) {
  Config().Min_Word_Freq = 2;
  Config().SpanRange = 4;
  std::string text;
  for (int i = 0; i < 3000; ++i) text += i % 3 == 0 ? "n a " : "n b ";
  Build(Strings{text});  // 6000 positions, 3000 n: 3000 x 4 windows' worth of work
  test::TProgressLog log;
  log.cancelAfter = 2;
  log.cancelWith = TCancelState::CancelAll;
  test::InstallScriptedProgress(log);
  auto list = Run(kWordPhrase, {"n", "a"});
  EXPECT_EQ(log.kinds, std::vector<TProgressKind>{TProgressKind::CancelSeveral});
  EXPECT_EQ(log.captions, Strings{"Extracting"});
  EXPECT_EQ(log.labels, Strings{"n"});
  EXPECT_EQ(log.maxima, std::vector<int64_t>{2999});
  EXPECT_EQ(log.position, 512);
  // 512 occurrences of n counted (the second line never ran): 1024 windows of three kinds.
  int32_t total = 0;
  for (int i = 0; i < list->Count(); ++i) total += list->Item(i).count;
  EXPECT_EQ(total, 2 * 512 - 1);
  EXPECT_EQ(list->ScoreMethod(), smMutualInfo);  // the only method for four words
  EXPECT_NE(list->Item(0).score, 0.0);
}

// ---- Brute force: every window of every file against the definition of a line ----

struct TCounted {
  int32_t count = 0;
  int32_t position = -1;
  bool operator==(const TCounted&) const = default;
};
void PrintTo(const TCounted& counted, std::ostream* out) {
  *out << counted.count << '@' << counted.position;
}
using TItems = std::map<TModelKey, TCounted>;

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
    if (line.TermCount() > s_.span || Rarest() < s_.minWordFreq) return;
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
    return WordOk(t, p) && (line_->Kind() != kWordTag || TagOk(t, corpus_.TagAt(p, s_.tagBefore)));
  }
  // The smallest estimate over the terms: tokens the word matches, or (Word/Tag, when an
  // untagged word cannot match) tags the tag matches, each pattern counting on its own.
  int64_t Rarest() const {
    int64_t rarest = INT64_MAX;
    for (int i = 0; i < line_->TermCount(); ++i) {
      const TExtractTerm& t = line_->Term(i);
      int64_t words = 0, tags = 0;
      for (int32_t p = 0; p < corpus_.Size(); ++p) {
        if ((s_.kinds & KindBit(corpus_.kinds[p])) != 0 && WordOk(t, p)) ++words;
        if (corpus_.kinds[p] != kKindWordTag) continue;
        for (const std::string& pattern : TagPatterns(t)) {
          tags += TTextIndex::MatchWildcard(corpus_.texts[p], pattern);
        }
      }
      const bool byTags = line_->Kind() == kWordTag && !TagOk(t, -1);
      rarest = std::min(rarest, byTags ? std::min(words, tags) : words);
    }
    return rarest;
  }
  // Whether the window satisfies the line, and where the line stands in it.
  bool Satisfies(const std::vector<int32_t>& at, int& position) const {
    const int terms = line_->TermCount(), span = s_.span;
    if (line_->Order() == kAdjacent) {
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
        if (Ok(i, at[j]) && (line_->Order() == kUnordered || i == 0)) position = j;
      }
    }
    if (line_->Order() == kUnordered) {
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
      if (line_->Kind() == kWordTag) key.tags.push_back(corpus_.TagOf(p, s_.tagBefore));
    }
    int position = 0;
    if (!Satisfies(at, position)) return;
    // The line's place is a function of the window's content; an item keeps the place of the
    // line that counted it first.
    TCounted& item = items[key];
    if (item.count == 0) item.position = position;
    EXPECT_EQ(lineItems_.emplace(key, position).first->second, position);
    ++item.count;
  }

  const TModelCorpus& corpus_;
  const TExtractSettings& s_;
  const TExtractRecord* line_ = nullptr;
  std::map<TModelKey, int> lineItems_;  // the places the current line found
};

std::string RandomTerm(std::mt19937& rng, uint8_t kind) {
  static const Strings kWords = {"a", "b", "ab", "a*", "*b", "?b", "ab%", "*", "c", "b*"};
  static const Strings kRegExps = {"a", "ab?", "b|ab", "[ab]+", "a.*", "c"};
  static const Strings kTags = {"", "&nn", "&n*", "&*", "&vb", "&noun", "&any", "&"};
  auto pick = [&](const Strings& from) { return from[rng() % from.size()]; };
  if (kind == kRegExp) return pick(kRegExps);
  if (kind == kWordPhrase) return pick(kWords);
  std::string tag = pick(kTags);
  return (rng() % 4 == 0 && !tag.empty() ? "" : pick(kWords)) + tag;
}

// Random corpora, settings and requests of every kind and order: the run's list must equal the
// windows counted one by one, item by item with counts and positions.
TEST_F(ExtractTest, RunAgreesWithEveryWindowCountedByBruteForce) {
  std::mt19937 rng(20240611);
  const char* kSeparators[] = {" ", " + ", " > "};
  for (int corpus = 0; corpus < 120; ++corpus) {
    ResetSettings();
    Config().wTagBefore = rng() % 3 == 0;
    Config().WordTag = Config().wTagBefore ? 2 : 1;
    Config().MetaTags = {{"noun", {"nn", "nns"}}, {"any", {"vb", "*"}}};
    Build(test::RandomFiles(rng, Config().wTagBefore, 25));
    for (int request = 0; request < 5; ++request) {
      Config().SpanRange = 2 + static_cast<int>(rng() % 5);
      Config().Min_Word_Freq = 1 + static_cast<int>(rng() % 3);
      Config().SkipNormalTags = rng() % 3 != 0;
      Config().UseStoplist = rng() % 4 == 0;
      StopList().Words() = {rng() % 2 ? "c" : "ab"};
      const auto kind = static_cast<uint8_t>(rng() % 3);
      Strings lines(1 + rng() % 2 + (rng() % 5 == 0));
      for (std::string& line : lines) {
        const char* separator = kSeparators[rng() % 3];
        for (int t = 0, terms = 1 + static_cast<int>(rng() % 3); t < terms; ++t) {
          line += (t ? separator : "") + RandomTerm(rng, kind);
        }
      }
      const TExtractRecords records = Records(kind, lines);
      const TExtractSettings settings = TExtractSettings::FromConfig(corpus_->Index(), false);
      TItems expected;
      TBruteForce brute(*corpus_, settings);
      for (int i = 0; i < records.RecordCount(); ++i) brute.Line(records.Record(i), expected);
      std::erase_if(expected,
                    [&](const auto& item) { return item.second.count < settings.minWordFreq; });
      ASSERT_EQ(ItemsOf(*ExtractAll(records, corpus_->Index())), expected)
          << "corpus " << corpus << " kind " << int{kind} << " span " << settings.span << " min "
          << settings.minWordFreq << " line '" << lines[0] << "'"
          << (lines.size() > 1 ? " ..." : "");
    }
  }
}

}  // namespace
}  // namespace quenterra
