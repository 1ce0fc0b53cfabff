#include "engine/collocList.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "corpus/LangTables.h"
#include "corpus/TextIndex.h"
#include "support/ErrorOf.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

using test::ErrorOf;
using Ids = std::vector<int32_t>;
using Strings = std::vector<std::string>;

class CollocListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCurrentLanguage(0x0409);  // code page 1252
    BuildCaseTable();
    RebuildCharTables();
  }
  int32_t Token(const char* text, uint8_t kind = kKindWord) {
    return static_cast<int32_t>(index_.AddToken(text, kind, 0, 0));
  }
  // The items' first words, in list order.
  static Ids FirstWords(const TCollocationList& list) {
    Ids words;
    for (int i = 0; i < list.Count(); ++i) words.push_back(list.Item(i).words[0]);
    return words;
  }
  static Strings Texts(const TCollocationList& list) {
    Strings texts;
    for (int i = 0; i < list.Count(); ++i) texts.push_back(list.CollocationText(i));
    return texts;
  }

  test::TTempDir dir_;
  TTextIndex index_{dir_.File("page"), TProgressCallback(), TIndexFileMode::Create, false, true,
                    dir_.File("seq")};
};

TEST_F(CollocListTest, RefusalsCarryTheirMessages) {
  const Ids words = {1, 2};
  TCollocationList plain(index_, 2, smCost);
  EXPECT_FALSE(plain.Hashed());
  EXPECT_EQ(ErrorOf([&] { plain.Add(words.data(), nullptr, 0); }),
            "TCollocationList: The list has no hash.");
  plain.Append(words.data(), nullptr, 12.0, 3);
  EXPECT_EQ(ErrorOf([&] { plain.Item(1); }), "TCollocationList: List index out of bounds.");
  EXPECT_EQ(ErrorOf([&] { plain.Item(-1); }), "TCollocationList: List index out of bounds.");
  EXPECT_EQ(ErrorOf([&] { plain.Sort(csNone, csFreq); }),
            "csNone is not allowed in CompareCollocReccords");

  TCollocationList hashed(index_, 2);
  hashed.Add(words.data(), nullptr, 0);
  hashed.ReleaseHash();
  EXPECT_EQ(ErrorOf([&] { hashed.FindAndCount(words.data(), nullptr); }),
            "TCollocationList: The list has no hash.");
  EXPECT_EQ(hashed.Count(), 1);  // releasing the hash keeps the items
  EXPECT_EQ(ErrorOf([&] { TCollocationList(index_, 0); }), "TCollocationList: Invalid word count.");
  EXPECT_EQ(TCollocationList(index_, 2, 9).ScoreMethod(), smNone);
}

TEST_F(CollocListTest, HashValueStaysInRangeWhenSumsOverflow) {
  const std::vector<std::pair<Ids, uint32_t>> rows = {
      {{70000}, 70000u % 65536},
      {{-70000}, 70000u % 65536},    // negated
      {{INT32_MAX, 1}, 0u},          // wraps to INT32_MIN
      {{INT32_MAX, INT32_MAX}, 2u},  // wraps to -2
      {{INT32_MIN, INT32_MIN, 5}, 5u},
      {{INT32_MAX, INT32_MAX, INT32_MAX}, static_cast<uint32_t>(INT32_MAX - 2) % 65536}};
  for (const auto& [words, hash] : rows) {
    EXPECT_EQ(TCollocationList::HashValue(words.data(), nullptr, static_cast<int>(words.size())),
              hash);
  }
  const Ids tagged = {3, 4}, tags = {-1, -1};
  EXPECT_EQ(TCollocationList::HashValue(tagged.data(), tags.data(), 2), 5u);
}

TEST_F(CollocListTest, SortsByTwoKeysStablyWithScoresWithinTheTolerance) {
  TCollocationList list(index_, 1, smTScore);
  // {word, count, score, position}
  const std::vector<std::tuple<int32_t, int32_t, double, int32_t>> rows = {{0, 1, 5.0, 2},
                                                                           {1, 3, 5.000000004, 0},
                                                                           {2, 2, 4.999999997, 1},
                                                                           {3, 3, 7.0, 1},
                                                                           {4, 1, 5.0, 2}};
  for (auto [word, count, score, position] : rows) {
    list.Append(&word, nullptr, score, count);
    list.Item(list.Count() - 1).position = position;
  }
  list.Sort(csScore, csFreq);  // 5.0, 5.000000004 and 4.999999997 are equal scores
  EXPECT_EQ(FirstWords(list), (Ids{3, 1, 2, 0, 4}));
  list.Sort(csFreq, csNone);
  EXPECT_EQ(FirstWords(list), (Ids{3, 1, 2, 0, 4}));  // equal items keep their order
  list.Sort(csPosition, csRevPos);
  EXPECT_EQ(FirstWords(list), (Ids{1, 3, 2, 0, 4}));
  list.Sort(csRevPos, csFreq);
  EXPECT_EQ(FirstWords(list), (Ids{0, 4, 3, 2, 1}));
  EXPECT_EQ(list.SortKey1(), csRevPos);
  EXPECT_EQ(list.SortKey2(), csFreq);
}

TEST_F(CollocListTest, TextsSortByTheirBytesAndJoinWordsWithUpperCasedTags) {
  const Ids ids = {Token("apple"),
                   Token("Zebra"),
                   Token("\xe9t\xe9"),
                   Token("nn", kKindWordTag),
                   Token("jj", kKindWordTag),
                   Token("n\xe9", kKindWordTag)};
  TCollocationList list(index_, 1);
  list.Add(&ids[2], &ids[3], 0);  // été/nn
  list.Add(&ids[0], &ids[4], 0);  // apple/jj
  list.Add(&ids[0], &ids[3], 0);  // apple/nn
  list.Add(&ids[1], &ids[5], 0);  // Zebra/né
  list.Sort(csAlpha, csNone);     // upper case first, bytes above 0x7F last
  EXPECT_EQ(Texts(list), (Strings{"Zebra N\xc9", "apple JJ", "apple NN", "\xe9t\xe9 NN"}));
  list.Sort(csPOSTag, csAlpha);
  EXPECT_EQ(Texts(list), (Strings{"apple JJ", "apple NN", "\xe9t\xe9 NN", "Zebra N\xc9"}));
  EXPECT_EQ(list.TagText(3), "n\xe9");

  TCollocationList pairs(index_, 2);
  const Ids words = {ids[0], ids[1]}, partly = {-1, ids[3]};
  pairs.Add(words.data(), partly.data(), 0);
  EXPECT_EQ(pairs.CollocationText(0), "apple Zebra NN");
  EXPECT_EQ(pairs.TagText(0), " nn");
  // A full-extract item of 3 words in a list of 5: no trailing space.
  TCollocationList full(index_, 5, smCost);
  const Ids shorter = {ids[0], ids[1], ids[0], -1, -1};
  full.Append(shorter.data(), nullptr, 1, 1);
  EXPECT_EQ(full.CollocationText(0), "apple Zebra apple");
  EXPECT_EQ(full.TagText(0), "");
}

TEST_F(CollocListTest, DropRareSortsByCountAndCutsTheTail) {
  TCollocationList list(index_, 1);
  for (int32_t word : {1, 2, 2, 3, 3, 3, 4, 2}) list.Add(&word, nullptr, 0);
  list.DropRare(1);
  EXPECT_EQ(FirstWords(list), (Ids{2, 3, 1, 4}));
  EXPECT_EQ(list.SortKey1(), csFreq);
  list.DropRare(2);
  EXPECT_EQ(FirstWords(list), (Ids{2, 3}));
  list.DropRare(4);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(CollocListTest, FilterWithoutHashKeepsTheOrder) {
  TCollocationList list(index_, 1, smMutualInfo);
  // {word, count, score}
  const std::vector<std::tuple<int32_t, int32_t, double>> rows = {
      {0, 5, 2.0}, {1, 1, 9.0}, {2, 5, 1.999999995}, {3, 5, 1.99999}, {4, 6, kScoreSentinel}};
  for (auto [word, count, score] : rows) list.Append(&word, nullptr, score, count);
  list.Filter(2, false, 100);
  EXPECT_EQ(FirstWords(list), (Ids{0, 2, 3, 4}));
  list.Filter(2, true, kScoreSentinel);  // the sentinel passes no minimum, not even itself
  EXPECT_EQ(FirstWords(list), (Ids{0, 2, 3}));
  list.Filter(2, true, 2.0);  // within 1E-8 passes
  EXPECT_EQ(FirstWords(list), (Ids{0, 2}));
}

// The hashed filter rebuilds the order bucket by bucket, each bucket from its last item.
TEST_F(CollocListTest, FilterWithHashOrdersByBucketsFromTheirLastItems) {
  TCollocationList list(index_, 1);
  const int32_t kWrap = 65536;
  for (int32_t word : {5, 3 + kWrap, 3, 7, 3 + 2 * kWrap, 5 + kWrap, 3, 5 + kWrap, 3 + kWrap})
    list.Add(&word, nullptr, 0);
  const int32_t appended = 9;
  list.Append(&appended, nullptr, 0, 4);
  list.Filter(2, false, 0);
  EXPECT_EQ(FirstWords(list), (Ids{3 + kWrap, 3, 5 + kWrap, appended}));
  // The hash still finds the kept items and no longer the dropped ones.
  const int32_t three = 3, seven = 7, wrapped = 3 + 2 * kWrap;
  EXPECT_EQ(list.FindAndCount(&three, nullptr), 3);
  EXPECT_EQ(list.FindAndCount(&seven, nullptr), -1);
  EXPECT_EQ(list.FindAndCount(&wrapped, nullptr), -1);
  list.Add(&seven, nullptr, 0);
  EXPECT_EQ(list.Count(), 5);
}

// Random keys with tags in few buckets, counted against a map: the same words under different
// tags are different items, each keeps its first position, and the hash survives sorting,
// DropRare and Filter on a hashed list.
TEST_F(CollocListTest, CountsAgreeWithAModelThroughSortAndFilter) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int32_t> word(0, 5), tag(-1, 2);
  std::map<std::pair<Ids, Ids>, std::pair<int32_t, int32_t>> model;  // count, first position
  TCollocationList list(index_, 3);
  for (int n = 0; n < 4000; ++n) {
    Ids words = {word(random), word(random), word(random)};
    Ids tags = {tag(random), tag(random), tag(random)};
    words[1] += (n % 3) * 65536;  // same bucket, different key
    list.Add(words.data(), tags.data(), n);
    model.try_emplace({words, tags}, 0, n).first->second.first++;
    if (n == 2000) list.Sort(csFreq, csNone);
  }
  ASSERT_EQ(list.Count(), static_cast<int>(model.size()));
  for (int i = 0; i < list.Count(); ++i) {
    const TCollocItem& item = list.Item(i);
    const auto& [count, position] = model.at(
        {Ids(item.words.get(), item.words.get() + 3), Ids(item.tags.get(), item.tags.get() + 3)});
    EXPECT_EQ(item.count, count);
    EXPECT_EQ(item.position, position);
    list.Item(i).extra = static_cast<uint32_t>(position + 1);
  }
  list.DropRare(3);
  list.Filter(4, false, 0);
  int expected = 0;
  for (const auto& [key, counted] : model) {
    Ids words = key.first, tags = key.second;
    if (counted.first < 4) {
      EXPECT_EQ(list.FindExtra(words.data(), tags.data()), 0u);
      EXPECT_EQ(list.FindAndCount(words.data(), tags.data()), -1);
      continue;
    }
    ++expected;
    EXPECT_EQ(list.FindExtra(words.data(), tags.data()), static_cast<uint32_t>(counted.second + 1));
    EXPECT_EQ(list.FindAndCount(words.data(), tags.data()), counted.first + 1);
  }
  EXPECT_EQ(list.Count(), expected);
}

}  // namespace
}  // namespace quenterra
