#include "corpus/TextIndex.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "corpus/LangTables.h"
#include "platform/Coding.h"
#include "regexp/RegExp3.h"
#include "settings/Settings.h"
#include "support/ErrorOf.h"
#include "support/FileDamage.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

using test::ErrorOf;
using Positions = std::vector<uint32_t>;

// Joins two texts (a literal plus a temporary trips GCC 12's -Wrestrict at -O3).
std::string Cat(std::string head, const std::string& tail) { return head += tail; }

Positions Values(const TDWordsList& list) { return {list.Items(), list.Items() + list.Count()}; }

// What the index should hold, kept the simple way.
struct Model {
  std::map<std::pair<std::string, uint8_t>, Positions> occurrences;
  std::vector<std::pair<std::string, uint8_t>> sequence;  // token at each position
  std::vector<uint32_t> fileOf;

  void Add(TTextIndex& index, const std::string& text, uint8_t kind, uint32_t file) {
    index.AddToken(text.c_str(), kind, 255, file);
    occurrences[{text, kind}].push_back(static_cast<uint32_t>(sequence.size()));
    sequence.emplace_back(text, kind);
    fileOf.push_back(file);
  }

  void Check(TTextIndex& index) const {
    ASSERT_EQ(index.SequenceCount(), static_cast<int32_t>(sequence.size()));
    ASSERT_EQ(index.TokenCount(), occurrences.size());
    for (const auto& [key, expected] : occurrences) {
      const TIndexToken* token = index.FindToken(key.first, key.second);
      ASSERT_NE(token, nullptr) << key.first;
      EXPECT_EQ(token->frequency, expected.size()) << key.first;
      EXPECT_EQ(Values(index.PatternPositions(key.first, KindBit(key.second))), expected)
          << key.first << " kind " << int{key.second};
    }
    for (size_t p = 0; p < sequence.size(); ++p) {
      const TIndexToken& token = index.GetToken(index.TokenAt(static_cast<int32_t>(p)));
      ASSERT_EQ(std::make_pair(std::string(token.text), token.kind), sequence[p]) << p;
      ASSERT_EQ(index.FileOf(static_cast<int32_t>(p)), static_cast<int32_t>(fileOf[p])) << p;
    }
    for (uint32_t file = 0; !fileOf.empty() && file <= fileOf.back(); ++file) {
      auto begin = std::lower_bound(fileOf.begin(), fileOf.end(), file) - fileOf.begin();
      auto end = std::upper_bound(fileOf.begin(), fileOf.end(), file) - fileOf.begin();
      EXPECT_EQ(index.GetFileRange(static_cast<int32_t>(file)),
                std::make_pair(static_cast<int32_t>(begin), static_cast<int32_t>(end)));
    }
  }
};

class TextIndexTest : public ::testing::Test {
 protected:
  std::unique_ptr<TTextIndex> Make(TIndexFileMode mode, bool countPairs = false,
                                   bool tagBefore = false) {
    return std::make_unique<TTextIndex>(page_, TProgressCallback(), mode, tagBefore, countPairs,
                                        seq_);
  }
  std::unique_ptr<TTextIndex> Reopen(std::unique_ptr<TTextIndex>& index, bool countPairs = false) {
    index->Commit();
    index.reset();
    return Make(TIndexFileMode::kOpen, countPairs);
  }
  test::TTempDir dir_;
  std::string page_ = dir_.File("page");
  std::string seq_ = dir_.File("seq");
};

// Reopened at every length up to two full chunks and one more: in the token, in a 1-page chunk,
// in a full or partly filled last chunk, the list goes on where it stopped.
TEST_F(TextIndexTest, ListsContinueAfterReopeningAtAnyLength) {
  Model model;
  auto index = Make(TIndexFileMode::kCreate);
  for (int n = 0; n < 126; ++n) {
    model.Add(*index, "w", kKindWord, 0);
    model.Add(*index, "x", kKindWord, 0);
    index = Reopen(index);
  }
  model.Check(*index);
}

// Two positions stay in the token itself, up to 6 go to a 1-page chunk, more fill 8-page chunks
// of 62: the layout of index files that workspaces keep.
TEST_F(TextIndexTest, ShortListsStayInTheTokenAndLongOnesFillChunks) {
  auto index = Make(TIndexFileMode::kCreate);
  for (auto [text, n] : {std::pair{"two", 2}, {"three", 3}, {"sixty3", 63}}) {
    for (int i = 0; i < n; ++i) index->AddToken(text, kKindWord, 0, 0);
  }
  index->Commit();
  const TIndexToken *two = index->FindToken("two", kKindWord),
                    *three = index->FindToken("three", kKindWord),
                    *many = index->FindToken("sixty3", kKindWord);
  EXPECT_EQ(std::make_pair(two->first, two->last), std::make_pair(0u, 1u));
  auto chunk = [&](uint32_t page) {  // page count and next
    TPageIndex pages(page_, TIndexFileMode::kOpen);
    TPageIndex::TChunkHeader header = pages.ReadChunkHeader(page, kChunkOccurrences);
    return std::make_pair(int{header.pageCount}, header.next);
  };
  EXPECT_EQ(chunk(three->first), std::make_pair(1, 0u));
  EXPECT_EQ(chunk(many->first), std::make_pair(8, many->last));  // 62 positions, then 1
  EXPECT_EQ(chunk(many->last), std::make_pair(8, 0u));
}

TEST_F(TextIndexTest, FreshFilesOpenEmptyAndInvalidTokensAreRefused) {
  Make(TIndexFileMode::kCreate)->Commit();
  auto index = Make(TIndexFileMode::kOpen);
  EXPECT_EQ(index->FileCount(), 0);
  EXPECT_EQ(index->SequenceCount(), 0);
  EXPECT_FALSE(index->Modified());
  EXPECT_EQ(Values(index->PatternPositions("*", 0xFF)), Positions{});
  EXPECT_EQ(ErrorOf([&] { index->AddToken("", kKindWord, 0, 0); }), "TextIndex: Invalid token.");
  EXPECT_EQ(ErrorOf([&] { index->AddToken("x", 0, 0, 0); }), "TextIndex: Invalid token.");
  EXPECT_EQ(ErrorOf([&] { index->GetToken(0); }), "TextIndex: Token index out of bounds.");
}

// '%' stands for at most one character, '?' for exactly one, '*' for any run; no case folding.
// A temporary index without occurrence lists holds the same dictionary, frequencies and sequence
// and refuses what would need the lists; stored files always get them.
TEST_F(TextIndexTest, ASequenceOnlyIndexKeepsFrequenciesAndSequenceButNoLists) {
  TTextIndex full("", TProgressCallback(), TIndexFileMode::kTemporary, false, false, "");
  TTextIndex sequence("", TProgressCallback(), TIndexFileMode::kTemporary, false, false, "",
                      TIndexContents::kSequence);
  std::mt19937 random(7);
  for (uint32_t i = 0; i < 3000; ++i) {
    const std::string text = "w" + std::to_string(random() % 90);
    full.AddToken(text.c_str(), kKindWord, 255 + i, i / 1000);
    sequence.AddToken(text.c_str(), kKindWord, 255 + i, i / 1000);
  }
  full.Commit();
  sequence.Commit();
  ASSERT_EQ(sequence.TokenCount(), full.TokenCount());
  for (uint32_t id = 0; id < full.TokenCount(); ++id)
    EXPECT_EQ(sequence.GetToken(id).frequency, full.GetToken(id).frequency);
  for (int32_t p = 0; p < 3000; p += 7) {
    EXPECT_EQ(sequence.TokenAt(p), full.TokenAt(p));
    EXPECT_EQ(sequence.FileOffsetAt(p), full.FileOffsetAt(p));
  }
  EXPECT_EQ(sequence.GetFileRange(1), full.GetFileRange(1));
  const std::string noLists = "TextIndex: The index holds no occurrence lists.";
  EXPECT_EQ(ErrorOf([&] { sequence.PatternPositions("w1", kWordKinds); }), noLists);
  EXPECT_EQ(ErrorOf([&] { sequence.CopyFilesTo(dir_.File("s"), dir_.File("p")); }), noLists);
  TTextIndex stored(page_, TProgressCallback(), TIndexFileMode::kCreate, false, false, seq_,
                    TIndexContents::kSequence);
  EXPECT_EQ(stored.Contents(), TIndexContents::kFull);
}

TEST_F(TextIndexTest, WildcardMatching) {
  const std::pair<const char*, const char*> matches[] = {
      {"color", "colo%r"}, {"colour", "colo%r"}, {"comput", "comput*"}, {"computer", "comput*"},
      {"cat", "?at"},      {"anything", "*"},    {"a", "a*%"},          {"ab", "a%"}};
  for (const auto& [text, pattern] : matches) {
    EXPECT_TRUE(TTextIndex::MatchWildcard(text, pattern)) << text << " ~ " << pattern;
  }
  EXPECT_TRUE(TTextIndex::MatchWildcard("mississippi", "*s%s*i?p*"));
  const std::pair<const char*, const char*> misses[] = {
      {"colouur", "colo%r"}, {"at", "?at"}, {"abc", "a%"}, {"a", "a?"}, {"The", "the"}};
  for (const auto& [text, pattern] : misses) {
    EXPECT_FALSE(TTextIndex::MatchWildcard(text, pattern)) << text << " ~ " << pattern;
  }
  // Many stars over a long text that cannot match: no exponential backtracking.
  EXPECT_FALSE(TTextIndex::MatchWildcard(std::string(255, 'a'), "*a*a*a*a*a*a*a*a*a*a*b"));
  // In UTF-8 '?' and '%' count code points; in a code page, bytes.
  constexpr TCorpusEncoding kUtf8 = TCorpusEncoding::kUtf8;
  EXPECT_TRUE(TTextIndex::MatchWildcard("\u00E9t\u00E9", "?t?", kUtf8));
  EXPECT_TRUE(TTextIndex::MatchWildcard("\u4E2D\u6587", "%\u6587", kUtf8));
  EXPECT_FALSE(TTextIndex::MatchWildcard("\u00E9t\u00E9", "?t?"));
  EXPECT_TRUE(TTextIndex::MatchWildcard("\u00E9t\u00E9", "??t??"));
}

TEST_F(TextIndexTest, PatternsSelectTokensInIdOrderPositionsAscendAndNeighboursStayInTheirFile) {
  auto index = Make(TIndexFileMode::kCreate);
  const std::pair<const char*, uint32_t> words[] = {{"cat", 0}, {"dog", 0}, {"cot", 0}, {"cat", 0},
                                                    {"cut", 1}, {"dog", 1}, {"cot", 1}};
  for (auto [text, file] : words) index->AddToken(text, kKindWord, 0, file);
  index->AddToken("cat", kKindTagName, 0, 1);
  index->Commit();
  std::vector<std::string> texts;
  for (const TIndexToken* token : index->MatchTokens("c?t", kWordKinds)) {
    texts.push_back(token->text);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"cat", "cot", "cut"}));
  EXPECT_EQ(Values(index->PatternPositions("c?t", kWordKinds)), (Positions{0, 2, 3, 4, 6}));
  EXPECT_EQ(Values(index->PatternPositions("cat", kTextKinds)), (Positions{0, 3, 7}));
  EXPECT_EQ(index->PatternFreq("c*", kTextKinds), 6);
  EXPECT_EQ(Values(index->PatternPositions("bird", kWordKinds)), Positions{});
  EXPECT_EQ(Values(index->PatternListPositions({"cat", "c%t", "dog"}, kWordKinds)),
            (Positions{0, 0, 1, 2, 3, 3, 4, 5, 6}));
  EXPECT_TRUE(index->PatternListPositions({"cat", "dog"}, kWordKinds).Sorted());
  TIndexStats word = index->GetStats(kWordKinds), text = index->GetStats(kTextKinds);
  EXPECT_EQ(std::make_pair(word.frequency, word.tokens), std::make_pair(int64_t{7}, int64_t{4}));
  EXPECT_EQ(std::make_pair(text.frequency, text.tokens), std::make_pair(int64_t{8}, int64_t{5}));

  EXPECT_EQ(index->PrevPosition(4, kWordKinds), -1);  // file 0's words do not count
  EXPECT_EQ(index->NextPosition(3, kWordKinds), -1);
  EXPECT_EQ(index->PrevPosition(6, kWordKinds), 5);
  EXPECT_EQ(index->NextPosition(6, kWordKinds), -1);  // only a tag name follows
  EXPECT_EQ(index->NextPosition(6, kTextKinds), 7);
}

TEST_F(TextIndexTest, RegularExpressionsMatchWholeTokens) {
  auto index = Make(TIndexFileMode::kCreate);
  for (const char* text : {"ab", "abc", "xab", "AB"}) index->AddToken(text, kKindWord, 0, 0);
  const TReTables tables =
      TLangTables(0x0409, TCorpusEncoding::kCodePage, ZuzadovUdirev{}).RegExpTables();
  const TRegExp any("ab.*", tables), alternatives("a|ab", tables);
  auto whole = index->MatchTokens(TTokenPattern(any), kWordKinds);
  ASSERT_EQ(whole.size(), 3u);  // folded through the tables: "AB" too
  EXPECT_STREQ(whole[1]->text, "abc");
  EXPECT_EQ(index->PatternFreq(TTokenPattern(alternatives), kWordKinds), 0);  // first match short
}

// Word/tag pairs: "dog/nn barks/vbz the/at dog/nn" as tokens of kinds 1 and 5.
class PairTableTest : public TextIndexTest {
 protected:
  void AddTagged(TTextIndex& index, const std::vector<std::pair<const char*, const char*>>& pairs,
                 uint32_t file) {
    for (const auto& [word, tag] : pairs) {
      index.AddToken(word, kKindWord, 0, file);
      index.AddToken(tag, kKindWordTag, 0, file);
    }
  }
  uint32_t Freq(TTextIndex& index, const char* word, const char* tag) {
    return index.PairFreq(static_cast<int32_t>(index.FindToken(word, kKindWord)->id),
                          static_cast<int32_t>(index.FindToken(tag, kKindWordTag)->id));
  }
};

TEST_F(PairTableTest, CountsEachWordWithTheTagThatFollowsIt) {
  auto index = Make(TIndexFileMode::kCreate, true);
  AddTagged(*index, {{"dog", "nn"}, {"barks", "vbz"}, {"the", "at"}, {"dog", "nn"}}, 0);
  AddTagged(*index, {{"dog", "vb"}}, 1);
  index->AddToken("lost", kKindWord, 0, 2);   // the file ends before its tag
  index->AddToken("nn", kKindWordTag, 0, 3);  // a new file: no word pending
  EXPECT_TRUE(index->PairTableCurrent());
  EXPECT_EQ(Freq(*index, "dog", "nn"), 2u);
  EXPECT_EQ(Freq(*index, "dog", "vb"), 1u);
  EXPECT_EQ(Freq(*index, "barks", "nn"), 0u);
  EXPECT_EQ(Freq(*index, "lost", "nn"), 0u);
  int32_t dog = static_cast<int32_t>(index->FindToken("dog", kKindWord)->id);
  EXPECT_EQ(index->PairFreq(dog, -1), 3u);  // the word's frequency

  // Stored with the index, loaded when pairs are counted.
  index = Reopen(index, true);
  EXPECT_TRUE(index->PairTableCurrent());
  EXPECT_EQ(Freq(*index, "dog", "nn"), 2u);
  index = Reopen(index, false);
  EXPECT_FALSE(index->PairTableCurrent());
  EXPECT_EQ(Freq(*index, "dog", "nn"), 3u);  // not current: the word's frequency
}

TEST_F(PairTableTest, TagBeforeAttachesTheTagToTheNextWord) {
  auto index = Make(TIndexFileMode::kCreate, true, true);
  const std::pair<const char*, uint8_t> tokens[] = {{"nn", kKindWordTag},
                                                    {"dog", kKindWord},
                                                    {"vbz", kKindWordTag},
                                                    {"barks", kKindWord},
                                                    {"at", kKindWordTag}};
  for (auto [text, kind] : tokens) index->AddToken(text, kind, 0, 0);
  index->AddToken("dog", kKindWord, 0, 1);  // another file: the pending tag is dropped
  EXPECT_EQ(Freq(*index, "dog", "nn"), 1u);
  EXPECT_EQ(Freq(*index, "barks", "vbz"), 1u);
  EXPECT_EQ(Freq(*index, "dog", "at"), 0u);
}

TEST_F(PairTableTest, MissingTableIsRebuiltAndOneOfAnotherSizeIsRefused) {
  auto index = Make(TIndexFileMode::kCreate, true);
  AddTagged(*index, {{"a", "x"}, {"b", "y"}, {"a", "x"}, {"a", "y"}}, 0);
  AddTagged(*index, {{"b", "y"}}, 1);
  index->Commit();
  index.reset();
  test::OverwriteBytes(page_, 6, std::string("\0\0", 2));  // version 1.0: no pair-table root
  index = Make(TIndexFileMode::kOpen, true);
  EXPECT_FALSE(index->PairTableCurrent());
  std::vector<std::pair<bool, int64_t>> calls;
  index->RebuildPairTable([&](bool setMax, int64_t n) { calls.emplace_back(setMax, n); });
  EXPECT_TRUE(index->PairTableCurrent());
  EXPECT_EQ(Freq(*index, "a", "x"), 2u);
  EXPECT_EQ(Freq(*index, "a", "y"), 1u);
  EXPECT_EQ(Freq(*index, "b", "y"), 2u);
  EXPECT_EQ(calls.front(), std::make_pair(true, int64_t{0}));
  // Adding to the index writes the table back; the file is 1.1 again.
  AddTagged(*index, {{"a", "x"}}, 2);
  index = Reopen(index, true);
  EXPECT_TRUE(index->PairTableCurrent());
  EXPECT_EQ(Freq(*index, "a", "x"), 3u);

  // A stored table of another size is refused, but only when pairs are counted.
  index.reset();
  uint32_t root = DecodeFixed32(&test::ReadFileBytes(page_)[24]);
  test::OverwriteBytes(page_, 32 * root + 8, std::string("\xFF\xFF\0\0", 4));
  EXPECT_EQ(ErrorOf([&] { Make(TIndexFileMode::kOpen, true); }),
            "TextIndex: POSHashTable size diffres.");
  EXPECT_EQ(ErrorOf([&] { Make(TIndexFileMode::kOpen, false); }), "(no exception)");
}

// Seeded random builds over several sessions, compared with the model after each reopening.
TEST_F(TextIndexTest, RandomBuildsMatchTheModel) {
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    std::mt19937 random(seed);
    Model model;
    auto index = Make(TIndexFileMode::kCreate);
    uint32_t file = 0;
    for (int session = 0; session < 4; ++session) {
      int adds = std::uniform_int_distribution<int>(0, 1500)(random);
      for (int i = 0; i < adds; ++i) {
        if (random() % 200 == 0) file += 1 + random() % 2;  // sometimes skip a file
        // Few frequent tokens, many rare ones: thousands, so the dictionary grows as it fills.
        int rank = static_cast<int>(std::exp(std::uniform_real_distribution<>(0, 9)(random)));
        uint8_t kind = random() % 10 == 0 ? kKindTagName : kKindWord;
        model.Add(*index, Cat("t", std::to_string(rank)), kind, file);
        if (random() % 900 == 0) index->Commit();  // a commit in the middle of a session
      }
      index = Reopen(index);
      SCOPED_TRACE(
          Cat(Cat("seed ", std::to_string(seed)), Cat(" session ", std::to_string(session))));
      model.Check(*index);
      ++file;
    }
  }
}

// Damaged files must fail with an exception, never crash or read out of bounds.
TEST_F(TextIndexTest, DamagedFilesRaiseInsteadOfCrashing) {
  {
    auto index = Make(TIndexFileMode::kCreate, true);
    std::mt19937 random(7);
    for (int session = 0; session < 2; ++session) {
      for (int i = 0; i < 3000; ++i) {
        index->AddToken(Cat("w", std::to_string(random() % 300)).c_str(), kKindWord, 0, session);
        if (i % 2 == 0)
          index->AddToken(Cat("t", std::to_string(random() % 5)).c_str(), 5, 0, session);
      }
      index = Reopen(index, true);  // the second session frees and reuses chunks
    }
  }
  const std::string goodPage = test::ReadFileBytes(page_);
  const std::string goodSeq = test::ReadFileBytes(seq_);
  std::mt19937 random(11);
  int failures = 0;
  for (int round = 0; round < 150; ++round) {
    std::string page = goodPage, seq = goodSeq;
    std::string& target = round % 4 == 0 ? seq : page;
    if (round % 5 == 0) {
      target.resize(random() % target.size());
    } else {
      for (int flips = 1 + round % 3; flips > 0; --flips) {
        target[random() % target.size()] ^= static_cast<char>(1 + random() % 255);
      }
    }
    test::WriteFileBytes(page_, page);
    test::WriteFileBytes(seq_, seq);
    try {
      auto index = Make(TIndexFileMode::kOpen, true);
      index->GetStats(0xFF);
      for (uint32_t id = 0; id < index->TokenCount(); ++id) {
        index->PatternPositions(index->GetToken(id).text, KindBit(index->GetToken(id).kind));
      }
      for (int32_t p = 0; p < index->SequenceCount(); p += 97) {
        index->NextPosition(p, kWordKinds);
        index->PairFreq(static_cast<int32_t>(index->TokenAt(p)), 0);
      }
      index->AddToken("w1", kKindWord, 0, 5);
      index->Commit();
    } catch (const EQuenterra&) {
      ++failures;
    }
  }
  EXPECT_GT(failures, 30);  // most damage is noticed
}

}  // namespace
}  // namespace quenterra
