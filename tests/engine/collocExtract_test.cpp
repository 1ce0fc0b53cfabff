#include "engine/collocExtract.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "engine/StopList.h"
#include "engine/collocList.h"
#include "patterns/collocExtractDialog.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

struct TToken {
  std::string text;
  uint8_t kind;
};
using TFile = std::vector<TToken>;

// "the dog/nn @p barks": words, a word with its tag, a normal tag name (kind 2).
TFile ParseFile(const std::string& text, bool tagBefore) {
  TFile file;
  std::istringstream in(text);
  std::string item;
  while (in >> item) {
    if (item[0] == '@') {
      file.push_back({item.substr(1), kKindTagName});
      continue;
    }
    size_t slash = item.find('/');
    TToken word{item.substr(0, slash), kKindWord};
    if (slash == std::string::npos) {
      file.push_back(word);
    } else if (tagBefore) {
      file.push_back({item.substr(slash + 1), kKindWordTag});
      file.push_back(word);
    } else {
      file.push_back(word);
      file.push_back({item.substr(slash + 1), kKindWordTag});
    }
  }
  return file;
}

// A window key as the list holds it.
struct TKey {
  std::vector<int32_t> words, tags;
  auto operator<=>(const TKey&) const = default;
};
struct TCounted {
  int32_t count = 0;
  int32_t position = -1;
  bool operator==(const TCounted&) const = default;
};
using TItems = std::map<TKey, TCounted>;

void PrintTo(const TKey& key, std::ostream* out) {
  for (int32_t id : key.words) *out << id << ' ';
  for (int32_t id : key.tags) *out << '/' << id;
}
void PrintTo(const TCounted& counted, std::ostream* out) {
  *out << counted.count << '@' << counted.position;
}

TItems ItemsOf(const TCollocationList& list) {
  TItems items;
  for (int i = 0; i < list.Count(); ++i) {
    const TCollocItem& item = list.Item(i);
    TKey key{{item.words.get(), item.words.get() + list.WordCount()}, {}};
    if (item.tags) key.tags.assign(item.tags.get(), item.tags.get() + list.WordCount());
    items[key] = {item.count, item.position};
  }
  return items;
}

class ExtractTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    Config() = ZuzadovUdirev{};
    StopList().SetFileName("");
    InstallProgressFactory({});
  }

  TTextIndex& Build(const std::vector<TFile>& files) {
    files_ = files;
    index_.reset();
    index_ =
        std::make_unique<TTextIndex>(dir_.File("page"), TProgressCallback(), TIndexFileMode::Create,
                                     Config().wTagBefore, true, dir_.File("seq"));
    for (size_t f = 0; f < files.size(); ++f) {
      for (const TToken& token : files[f]) {
        index_->AddToken(token.text.c_str(), token.kind, 0, static_cast<uint32_t>(f));
      }
    }
    index_->Commit();
    return *index_;
  }
  TTextIndex& Build(const std::vector<std::string>& texts) {
    std::vector<TFile> files;
    for (const std::string& text : texts) files.push_back(ParseFile(text, Config().wTagBefore));
    return Build(files);
  }

  // Parses the lines with the grammar; fails the test on a pattern error.
  static TExtractRecords Records(uint8_t kind, const std::vector<std::string>& lines) {
    TExtractRecords records(kind, lines.size() > 1 ? "Batch collocation" : lines[0]);
    for (const std::string& line : lines) AddExtractPattern(kind, records, line);
    return records;
  }
  std::unique_ptr<TCollocationList> Run(uint8_t kind, const std::vector<std::string>& lines) {
    return ExtractAll(Records(kind, lines), *index_);
  }
  // The list's items as "text:count@position", in the list's order after sorting by text.
  std::vector<std::string> Texts(TCollocationList& list) {
    list.Sort(csAlpha, csNone);
    std::vector<std::string> texts;
    for (int i = 0; i < list.Count(); ++i) {
      texts.push_back(list.CollocationText(i) + ":" + std::to_string(list.Item(i).count) + "@" +
                      std::to_string(list.Item(i).position));
    }
    return texts;
  }
  int32_t Id(const std::string& text, uint8_t kind = kKindWord) const {
    return static_cast<int32_t>(index_->FindToken(text, kind)->id);
  }

  test::TTempDir dir_;
  std::unique_ptr<TTextIndex> index_;
  std::vector<TFile> files_;
};

using Strings = std::vector<std::string>;

TEST_F(ExtractTest, MatchWindowPlacesTheLineByOrderMode) {
  Build(Strings{"x ab y b"});
  const std::vector<int32_t> words = {Id("x"), Id("ab"), Id("y"), Id("b")};
  auto matches = [&](const std::string& line, int offset) {
    TExtractRecords records = Records(kWordPhrase, {line});
    int position = -1;
    bool match =
        MatchWindow(*index_, records.Record(0), words.data(), nullptr, 4, offset, position);
    return match ? position : -1;
  };
  EXPECT_EQ(matches("y b", 2), 2);
  EXPECT_EQ(matches("y b", 1), -1);  // adjacent lines are tried at the offset only
  EXPECT_EQ(matches("b + a*", 0), 1);
  EXPECT_EQ(matches("b + z", 0), -1);
  EXPECT_EQ(matches("*b > b", 3), 1);
  EXPECT_EQ(matches("b > ab", 0), -1);
  TExtractRecords tagged = Records(kWordTag, {"ab&nn"});
  EXPECT_FALSE(MatchToken(*index_, tagged.Record(0), Id("ab"), -1, 0));
  EXPECT_TRUE(MatchToken(*index_, Records(kWordTag, {"ab"}).Record(0), Id("ab"), -1, 0));
}

TEST_F(ExtractTest, WindowsStayInsideTheirFileFromItsFirstWord) {
  Config().Min_Word_Freq = 1;
  Build(Strings{"x y node", "node z w"});
  // The node ends file 0: no window runs from it into file 1. It starts file 1: (node, z).
  EXPECT_EQ(Texts(*Run(kWordPhrase, {"node"})), (Strings{"node z:1@0", "y node:1@1"}));
}

TEST_F(ExtractTest, AdjacentLineCountsEveryWindowHoldingThePhraseAtItsLeftmostPlace) {
  Config().Min_Word_Freq = 1;
  Config().SpanRange = 4;
  Build(Strings{"x b a b", "a b a b"});
  // 'a' is the rarest term of 'a b' here; the second file holds the phrase twice in one window
  // and the leftmost place is kept.
  EXPECT_EQ(Texts(*Run(kWordPhrase, {"a b"})), (Strings{"a b a b:1@0", "x b a b:1@2"}));
  // With 'b' rarer, the first 'b' of 'x b a b' reaches the window first with the phrase at the
  // wrong place; the window still counts.
  Build(Strings{"x b a b", "a a a"});
  EXPECT_EQ(Texts(*Run(kWordPhrase, {"a b"})), (Strings{"x b a b:1@2"}));
}

TEST_F(ExtractTest, UnorderedNodesSharingWindowsCountEachWindowOnce) {
  Config().Min_Word_Freq = 1;
  Config().SpanRange = 4;
  Build(Strings{"n x y n z w"});
  // Windows: [n x y n] holds both, [x y n z] and [y n z w] only the later one.
  EXPECT_EQ(Texts(*Run(kWordPhrase, {"n + n"})),
            (Strings{"n x y n:1@0", "x y n z:1@2", "y n z w:1@1"}));
  // One word may satisfy several terms: 'ab' is both a* and ab.
  Config().SpanRange = 2;
  Build(Strings{"ab c", "abc d"});
  EXPECT_EQ(Texts(*Run(kWordPhrase, {"a* + ab"})), (Strings{"ab c:1@0"}));
  EXPECT_EQ(Texts(*Run(kWordPhrase, {"a* + ab*"})), (Strings{"ab c:1@0", "abc d:1@0"}));
}

TEST_F(ExtractTest, NormalTagsArePassedOverOrTakeAPlace) {
  Config().Min_Word_Freq = 1;
  Build(Strings{"a @p b"});
  EXPECT_EQ(Texts(*Run(kWordPhrase, {"a"})), (Strings{"a b:1@0"}));
  Config().SkipNormalTags = false;
  EXPECT_EQ(Texts(*Run(kWordPhrase, {"a"})), (Strings{"a p:1@0"}));
}

TEST_F(ExtractTest, StopWordsAndRareWordsRemoveWindows) {
  Build(Strings{"the cat the dog the cat the cat"});
  const Strings kWithoutDog = {"cat the:2@1", "the cat:3@0"};
  EXPECT_EQ(Texts(*Run(kWordPhrase, {"the"})), kWithoutDog);  // dog is rarer than 2
  Config().Min_Word_Freq = 1;
  Config().UseStoplist = true;
  StopList().Words() = {"Dog"};  // lower-cased for the lookup
  EXPECT_EQ(Texts(*Run(kWordPhrase, {"the"})), kWithoutDog);
  StopList().Words() = {"the"};
  EXPECT_EQ(Run(kWordPhrase, {"the"})->Count(), 0);
  Config().Min_Word_Freq = 5;  // 'the' is rarer than that: the line counts nothing
  Config().UseStoplist = false;
  EXPECT_EQ(Run(kWordPhrase, {"the"})->Count(), 0);
}

TEST_F(ExtractTest, SubsequentAndRegularExpressionLines) {
  Config().Min_Word_Freq = 1;
  Config().SpanRange = 3;
  Build(Strings{"a x b", "b x a", "a b"});
  EXPECT_EQ(Texts(*Run(kWordPhrase, {"a > b"})), (Strings{"a x b:1@0"}));
  Config().SpanRange = 2;
  // A prefix match is no match: 'a' does not match 'ab', 'ab?' matches 'a' and 'ab'.
  Build(Strings{"ab c", "a d"});
  EXPECT_EQ(Texts(*Run(kRegExp, {"a"})), (Strings{"a d:1@0"}));
  EXPECT_EQ(Texts(*Run(kRegExp, {"ab?"})), (Strings{"a d:1@0", "ab c:1@0"}));
}

TEST_F(ExtractTest, WordTagLinesMatchTagsMetaTagsAndUntaggedWords) {
  Config().Min_Word_Freq = 1;
  Config().WordTag = 1;
  Config().MetaTags = {{"Noun", {"NN", "nns"}}};
  Build(Strings{"run/vb dog/nn", "run dogs/nns"});
  EXPECT_EQ(Texts(*Run(kWordTag, {"run"})), (Strings{"run VB dog NN:1@0", "run dogs NNS:1@0"}));
  EXPECT_EQ(Texts(*Run(kWordTag, {"run&v*"})), (Strings{"run VB dog NN:1@0"}));
  EXPECT_EQ(Texts(*Run(kWordTag, {"&noun"})), (Strings{"run VB dog NN:1@1", "run dogs NNS:1@1"}));
  EXPECT_EQ(Texts(*Run(kWordTag, {"run&"})), Strings{});
  EXPECT_EQ(TagOf(*index_, 0, 0, false), Id("vb", kKindWordTag));
  EXPECT_EQ(TagOf(*index_, 1, 0, false), -1);  // a tag has no tag
  EXPECT_EQ(TagOf(*index_, 3, 0, false), -1);  // the file ends
  EXPECT_EQ(TagOf(*index_, 4, 1, false), -1);  // 'run' of file 1 has none

  // Untagged words match the tag pattern '*'. The two tags are fewer than the four words but
  // bound nothing: untagged words are in no tag count, and 'p q' still counts.
  Build(Strings{"x/nn y/nn", "p q"});
  EXPECT_EQ(Texts(*Run(kWordTag, {"*&*"})), (Strings{"p q:1@0", "x NN y NN:1@0"}));
}

TEST_F(ExtractTest, TagsBeforeWordsDriveTheRunFromTheTag) {
  Config().Min_Word_Freq = 1;
  Config().WordTag = 2;
  Config().wTagBefore = true;
  Build(Strings{"a/x b/y a/z", "c/y"});
  // 'y' is rarer than '*': the occurrences are the two y tags, each followed by its word.
  EXPECT_EQ(Texts(*Run(kWordTag, {"&y"})), (Strings{"a X b Y:1@1", "b Y a Z:1@0"}));
  EXPECT_EQ(TagOf(*index_, 1, 0, true), Id("x", kKindWordTag));
  EXPECT_EQ(TagOf(*index_, 0, 0, true), -1);
}

TEST_F(ExtractTest, LongLinesCountNothingWhileTheBatchGoesOn) {
  Config().Min_Word_Freq = 1;
  Build(Strings{"a b c"});
  // The two lines count the same window twice.
  EXPECT_EQ(Texts(*Run(kWordPhrase, {"a b c", "a", "a b"})), (Strings{"a b:2@0"}));
}

TEST_F(ExtractTest, ScoresFollowTheSelectedMethod) {
  Config().Min_Word_Freq = 1;
  Config().Last_Method_Selected = smTScore;
  Build(Strings{"a b a b c"});
  auto list = Run(kWordPhrase, {"a"});
  EXPECT_EQ(list->ScoreMethod(), smTScore);
  EXPECT_DOUBLE_EQ(list->Item(0).score, TScore(2, 2, 2, 5));  // (a b) twice
}

// A progress window that records what it was told and cancels at its n-th look.
class TCancelAt : public TProgress {
 public:
  struct TLog {
    std::vector<std::string> calls;
    int looks = 0;
  };
  TCancelAt(TLog& log, int cancelAt) : log_(log), cancelAt_(cancelAt) {}
  void SetCaption(const std::string& c) override { log_.calls.push_back("caption " + c); }
  void SetLabel(const std::string& t) override { log_.calls.push_back("label " + t); }
  void SetSpecialText(const std::string&) override {}
  void SetMax(int64_t m) override { log_.calls.push_back("max " + std::to_string(m)); }
  void SetPosition(int64_t p) override { log_.calls.push_back("at " + std::to_string(p)); }
  void ProcessMessages() override { ++log_.looks; }
  TCancelState CancelState() const override {
    return log_.looks >= cancelAt_ ? TCancelState::CancelAll : TCancelState::Running;
  }

 private:
  TLog& log_;
  int cancelAt_;
};

TEST_F(ExtractTest, CancelKeepsWhatWasCountedFilteredAndScored) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += i % 3 == 0 ? "n a " : "n b ";
  Build(Strings{text});  // 6000 positions, 3000 n: 3000 x 4 windows' worth of work
  Config().SpanRange = 4;
  TCancelAt::TLog log;
  std::vector<TProgressKind> kinds;
  InstallProgressFactory([&](TProgressKind kind, const std::string& caption) {
    kinds.push_back(kind);
    log.calls.push_back("open " + caption);
    return std::make_unique<TCancelAt>(log, 2);
  });
  auto list = Run(kWordPhrase, {"n", "a"});
  EXPECT_EQ(kinds, std::vector<TProgressKind>{TProgressKind::CancelSeveral});
  EXPECT_EQ(log.calls, (Strings{"open Extracting", "label n", "max 2999", "at 0", "at 512"}));
  // 512 occurrences of n counted (the second line never ran): 1024 windows of three kinds.
  int32_t total = 0;
  for (int i = 0; i < list->Count(); ++i) total += list->Item(i).count;
  EXPECT_EQ(total, 2 * 512 - 1);
  EXPECT_EQ(list->ScoreMethod(), smMutualInfo);  // the only method for four words
  EXPECT_NE(list->Item(0).score, 0.0);
}

// ---- Brute force: every window of every file against the definition of a line ----

class TBruteForce {
 public:
  TBruteForce(const std::vector<TFile>& files, const TTextIndex& index, const TExtractSettings& s)
      : files_(files), index_(index), s_(s) {}

  void Line(const TExtractRecord& line, TItems& items) {
    line_ = &line;
    lineItems_.clear();
    int terms = line.TermCount();
    if (terms > s_.span || Rarest() < s_.minWordFreq) return;
    for (size_t f = 0; f < files_.size(); ++f) {
      std::vector<int> counted;
      for (size_t p = 0; p < files_[f].size(); ++p) {
        if (Counted(files_[f][p])) counted.push_back(static_cast<int>(p));
      }
      for (size_t c = 0; c + static_cast<size_t>(s_.span) <= counted.size(); ++c) {
        Window(files_[f], std::vector<int>(counted.begin() + c, counted.begin() + c + s_.span),
               items);
      }
    }
  }

 private:
  bool Counted(const TToken& t) const { return (s_.kinds & KindBit(t.kind)) != 0; }
  int32_t Id(const TToken& t) const {
    return static_cast<int32_t>(index_.FindToken(t.text, t.kind)->id);
  }
  const TToken* TagOf(const TFile& file, int p) const {
    int at = s_.tagBefore ? p - 1 : p + 1;
    if (at < 0 || at >= static_cast<int>(file.size()) || file[at].kind != kKindWordTag) {
      return nullptr;
    }
    return &file[static_cast<size_t>(at)];
  }
  bool WordOk(const TExtractTerm& term, const std::string& text) const {
    return term.RegExp() ? term.RegExp()->MatchesWhole(text)
                         : TTextIndex::MatchWildcard(text, term.Text());
  }
  bool TagOk(const TExtractTerm& term, const TToken* tag) const {
    for (const std::string& p : term.HasTagList() ? term.TagList() : Strings{term.Tag()}) {
      if (tag == nullptr ? p == "*" : TTextIndex::MatchWildcard(tag->text, p)) return true;
    }
    return false;
  }
  bool Ok(int term, const TFile& file, int p) const {
    const TExtractTerm& t = line_->Term(term);
    return WordOk(t, file[p].text) && (line_->Kind() != kWordTag || TagOk(t, TagOf(file, p)));
  }
  // The smallest estimate over the terms: tokens the word matches, or (Word/Tag, when an
  // untagged word cannot match) tags the tag matches, each pattern counting on its own.
  int64_t Rarest() const {
    int64_t rarest = INT64_MAX;
    for (int i = 0; i < line_->TermCount(); ++i) {
      const TExtractTerm& t = line_->Term(i);
      int64_t f = 0, g = 0;
      bool untagged = TagOk(t, nullptr);
      for (const TFile& file : files_) {
        for (const TToken& token : file) {
          if (Counted(token) && WordOk(t, token.text)) ++f;
          if (token.kind != kKindWordTag) continue;
          for (const std::string& p : t.HasTagList() ? t.TagList() : Strings{t.Tag()}) {
            g += TTextIndex::MatchWildcard(token.text, p);
          }
        }
      }
      rarest = std::min(rarest, line_->Kind() == kWordTag && !untagged ? std::min(f, g) : f);
    }
    return rarest;
  }
  // Whether the window satisfies the line, and where the line stands in it.
  bool Satisfies(const TFile& file, const std::vector<int>& at, int& position) const {
    int terms = line_->TermCount(), span = s_.span;
    if (line_->Order() == kAdjacent) {
      for (position = 0; position + terms <= span; ++position) {
        bool all = true;
        for (int i = 0; i < terms && all; ++i) all = Ok(i, file, at[position + i]);
        if (all) return true;
      }
      return false;
    }
    position = span;
    for (int j = span - 1; j >= 0; --j) {
      for (int i = 0; i < terms; ++i) {
        if (Ok(i, file, at[j]) && (line_->Order() == kUnordered || i == 0)) position = j;
      }
    }
    if (line_->Order() == kUnordered) {
      for (int i = 0; i < terms; ++i) {
        bool some = false;
        for (int j = 0; j < span && !some; ++j) some = Ok(i, file, at[j]);
        if (!some) return false;
      }
      return true;
    }
    // Subsequent: reach[i] = the terms 0..i-1 fit into the places seen so far.
    std::vector<bool> reach(static_cast<size_t>(terms) + 1, false);
    reach[0] = true;
    for (int j = 0; j < span; ++j) {
      for (int i = terms - 1; i >= 0; --i) {
        if (reach[i] && Ok(i, file, at[j])) reach[i + 1] = true;
      }
    }
    return reach[terms];
  }
  bool Excluded(const TToken& token) const {
    int at = 0;
    return static_cast<int64_t>(index_.FindToken(token.text, token.kind)->frequency) <
               s_.minWordFreq ||
           (s_.stopIds.Count() > 0 && s_.stopIds.Find(static_cast<uint32_t>(Id(token)), at));
  }
  void Window(const TFile& file, const std::vector<int>& at, TItems& items) {
    TKey key;
    for (int p : at) {
      if (Excluded(file[p])) return;
      key.words.push_back(Id(file[p]));
      if (line_->Kind() == kWordTag) key.tags.push_back(TagOf(file, p) ? Id(*TagOf(file, p)) : -1);
    }
    int position = 0;
    if (!Satisfies(file, at, position)) return;
    // The line's place is a function of the window's content; an item keeps the place of the
    // line that counted it first.
    TCounted& item = items[key];
    if (item.count == 0) item.position = position;
    EXPECT_TRUE(lineItems_.emplace(key, position).first->second == position);
    ++item.count;
  }

  const std::vector<TFile>& files_;
  const TTextIndex& index_;
  const TExtractSettings& s_;
  const TExtractRecord* line_ = nullptr;
  std::map<TKey, int> lineItems_;  // the places the current line found
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

TFile RandomFile(std::mt19937& rng, bool tagBefore) {
  static const Strings kWords = {"a", "b", "ab", "abc", "ba", "c"};
  static const Strings kTags = {"nn", "nns", "vb"};
  std::string text;
  int length = static_cast<int>(rng() % 26);
  for (int i = 0; i < length; ++i) {
    if (rng() % 12 == 0) {
      text += "@p ";
      continue;
    }
    text += kWords[rng() % kWords.size()];
    if (rng() % 10 < 6) text += "/" + kTags[rng() % kTags.size()];
    text += ' ';
  }
  TFile file = ParseFile(text, tagBefore);
  if (!file.empty() && rng() % 8 == 0) {  // a word with two tags
    file.insert(file.begin() + static_cast<long>(rng() % file.size()), {"vb", kKindWordTag});
  }
  return file;
}

// Random corpora, settings and requests of every kind and order: the run's list must equal the
// windows counted one by one, item by item with counts and positions.
TEST_F(ExtractTest, RunAgreesWithEveryWindowCountedByBruteForce) {
  std::mt19937 rng(20240611);
  const char* kSeparators[] = {" ", " + ", " > "};
  for (int corpus = 0; corpus < 120; ++corpus) {
    Reset();
    Config().wTagBefore = rng() % 3 == 0;
    Config().WordTag = Config().wTagBefore ? 2 : 1;
    Config().MetaTags = {{"noun", {"nn", "nns"}}, {"any", {"vb", "*"}}};
    std::vector<TFile> files(1 + rng() % 3);
    for (TFile& file : files) file = RandomFile(rng, Config().wTagBefore);
    Build(files);
    for (int request = 0; request < 5; ++request) {
      Config().SpanRange = 2 + static_cast<int>(rng() % 5);
      Config().Min_Word_Freq = 1 + static_cast<int>(rng() % 3);
      Config().SkipNormalTags = rng() % 3 != 0;
      Config().UseStoplist = rng() % 4 == 0;
      StopList().Words() = {rng() % 2 ? "c" : "ab"};
      uint8_t kind = static_cast<uint8_t>(rng() % 3);
      Strings lines(1 + rng() % 2 + (rng() % 5 == 0));
      for (std::string& line : lines) {
        const char* separator = kSeparators[rng() % 3];
        int terms = 1 + static_cast<int>(rng() % 3);
        for (int t = 0; t < terms; ++t) line += (t ? separator : "") + RandomTerm(rng, kind);
      }
      TExtractRecords records = Records(kind, lines);
      TExtractSettings settings = TExtractSettings::FromConfig(*index_, false);
      TItems expected;
      TBruteForce brute(files_, *index_, settings);
      for (int i = 0; i < records.RecordCount(); ++i) brute.Line(records.Record(i), expected);
      std::erase_if(expected,
                    [&](const auto& item) { return item.second.count < settings.minWordFreq; });
      ASSERT_EQ(ItemsOf(*ExtractAll(records, *index_)), expected)
          << "corpus " << corpus << " kind " << int{kind} << " span " << settings.span << " min "
          << settings.minWordFreq << " line '" << lines[0] << "'"
          << (lines.size() > 1 ? " ..." : "");
    }
  }
}

}  // namespace
}  // namespace quenterra
