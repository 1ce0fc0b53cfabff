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
  static Ids Counts(const TCollocationList& list) {
    Ids counts;
    for (int i = 0; i < list.Count(); ++i) counts.push_back(list.Item(i).count);
    return counts;
  }

  test::TTempDir dir_;
  TTextIndex index_{dir_.File("page"), TProgressCallback(), TIndexFileMode::Create, false, true,
                    dir_.File("seq")};
};

TEST_F(CollocListTest, AddCountsRepeatsKeepingTheFirstPositionInOrderOfFirstOccurrence) {
  TCollocationList list(index_, 2);
  const Ids ab = {1, 2}, ba = {2, 1};
  list.Add(ab.data(), nullptr, 1);
  list.Add(ba.data(), nullptr, 0);
  list.Add(ab.data(), nullptr, 0);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Item(0).words[1], 2);
  EXPECT_EQ(list.Item(0).count, 2);
  EXPECT_EQ(list.Item(0).position, 1);
  EXPECT_EQ(list.Item(0).tags, nullptr);
  EXPECT_EQ(list.Item(1).count, 1);
  EXPECT_EQ(list.ScoreMethod(), smNone);
  EXPECT_EQ(ErrorOf([&] { list.Item(2); }), "TCollocationList: List index out of bounds.");
  EXPECT_EQ(ErrorOf([&] { list.Item(-1); }), "TCollocationList: List index out of bounds.");
}

TEST_F(CollocListTest, TagsMakeDifferentItemsAndFindsMatchTheWholeKey) {
  TCollocationList list(index_, 2);
  const Ids words = {4, 9}, nn = {7, -1}, vb = {8, -1};
  list.Add(words.data(), nn.data(), 0);
  list.Add(words.data(), vb.data(), 0);
  list.Add(words.data(), nn.data(), 0);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Item(0).count, 2);
  EXPECT_EQ(list.Item(0).tags[0], 7);
  EXPECT_EQ(list.Item(0).tags[1], -1);

  list.Item(1).extra = 77;
  EXPECT_EQ(list.FindExtra(words.data(), vb.data()), 77u);
  EXPECT_EQ(list.FindExtra(words.data(), nn.data()), 0u);
  const Ids other = {7, 7};
  EXPECT_EQ(list.FindExtra(words.data(), other.data()), 0u);
  EXPECT_EQ(list.FindAndCount(words.data(), vb.data()), 2);
  EXPECT_EQ(list.FindAndCount(words.data(), other.data()), -1);
  EXPECT_EQ(list.Count(), 2);
}

TEST_F(CollocListTest, HashValueStaysInRangeWhenSumsOverflow) {
  auto hash = [](Ids words, const Ids& tags = {}) {
    return TCollocationList::HashValue(words.data(), tags.empty() ? nullptr : tags.data(),
                                       static_cast<int>(words.size()));
  };
  EXPECT_EQ(hash({70000}), 70000u % 65536);
  EXPECT_EQ(hash({3, 4}, {-1, -1}), 5u);
  EXPECT_EQ(hash({-70000}), 70000u % 65536);    // negated
  EXPECT_EQ(hash({INT32_MAX, 1}), 0u);          // wraps to INT32_MIN
  EXPECT_EQ(hash({INT32_MAX, INT32_MAX}), 2u);  // wraps to -2
  EXPECT_EQ(hash({INT32_MIN, INT32_MIN, 5}), 5u);
  EXPECT_EQ(hash({INT32_MAX, INT32_MAX, INT32_MAX}), static_cast<uint32_t>(INT32_MAX - 2) % 65536);

  TCollocationList list(index_, 2);
  const Ids big = {INT32_MAX, 1}, bigger = {INT32_MAX, INT32_MAX};
  list.Add(big.data(), nullptr, 0);
  list.Add(bigger.data(), nullptr, 0);
  list.Add(big.data(), nullptr, 0);
  EXPECT_EQ(Counts(list), (Ids{2, 1}));
  EXPECT_EQ(list.FindAndCount(bigger.data(), nullptr), 2);
}

TEST_F(CollocListTest, CountingNeedsTheHash) {
  const Ids words = {1, 2};
  TCollocationList plain(index_, 2, smCost);
  EXPECT_FALSE(plain.Hashed());
  EXPECT_EQ(plain.ScoreMethod(), smCost);
  EXPECT_EQ(ErrorOf([&] { plain.Add(words.data(), nullptr, 0); }),
            "TCollocationList: The list has no hash.");
  plain.Append(words.data(), nullptr, 12.0, 3);
  EXPECT_EQ(plain.Item(0).count, 3);
  EXPECT_EQ(plain.Item(0).score, 12.0);
  EXPECT_EQ(plain.Item(0).position, 0);

  TCollocationList hashed(index_, 2);
  EXPECT_TRUE(hashed.Hashed());
  hashed.Add(words.data(), nullptr, 0);
  hashed.ReleaseHash();
  EXPECT_FALSE(hashed.Hashed());
  EXPECT_EQ(ErrorOf([&] { hashed.FindAndCount(words.data(), nullptr); }),
            "TCollocationList: The list has no hash.");
  EXPECT_EQ(hashed.Count(), 1);  // releasing the hash keeps the items
  EXPECT_EQ(ErrorOf([&] { TCollocationList(index_, 0); }), "TCollocationList: Invalid word count.");
  EXPECT_EQ(TCollocationList(index_, 2, 9).ScoreMethod(), smNone);
}

TEST_F(CollocListTest, SortsByTwoKeysStably) {
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
  EXPECT_EQ(list.SortKey1(), csScore);
  EXPECT_EQ(list.SortKey2(), csFreq);
  list.Sort(csFreq, csNone);
  EXPECT_EQ(FirstWords(list), (Ids{3, 1, 2, 0, 4}));  // equal items keep their order
  list.Sort(csPosition, csRevPos);
  EXPECT_EQ(FirstWords(list), (Ids{1, 3, 2, 0, 4}));
  list.Sort(csRevPos, csFreq);
  EXPECT_EQ(FirstWords(list), (Ids{0, 4, 3, 2, 1}));
  EXPECT_EQ(ErrorOf([&] { list.Sort(csNone, csFreq); }),
            "csNone is not allowed in CompareCollocReccords");
  EXPECT_EQ(list.SortKey1(), csRevPos);
}

TEST_F(CollocListTest, SortsTextsByTheirBytes) {
  const Ids ids = {Token("apple"),
                   Token("Zebra"),
                   Token("\xe9t\xe9"),
                   Token("apple"),
                   Token("nn", kKindWordTag),
                   Token("jj", kKindWordTag)};
  TCollocationList list(index_, 1);
  list.Add(&ids[2], &ids[4], 0);  // été/nn
  list.Add(&ids[0], &ids[5], 0);  // apple/jj
  list.Add(&ids[0], &ids[4], 0);  // apple/nn
  list.Add(&ids[1], &ids[4], 0);  // Zebra/nn
  list.Sort(csAlpha, csNone);     // upper case first, bytes above 0x7F last
  EXPECT_EQ(list.CollocationText(0), "Zebra NN");
  EXPECT_EQ(list.CollocationText(1), "apple JJ");
  EXPECT_EQ(list.CollocationText(2), "apple NN");
  EXPECT_EQ(list.CollocationText(3), "\xe9t\xe9 NN");
  list.Sort(csPOSTag, csAlpha);
  EXPECT_EQ(list.CollocationText(0), "apple JJ");
  EXPECT_EQ(list.CollocationText(1), "Zebra NN");
  EXPECT_EQ(list.TagText(1), "nn");
}

TEST_F(CollocListTest, TextsJoinWordsAndUpperCasedTags) {
  const int32_t take = Token("take"), place = Token("place"), nn = Token("nn", kKindWordTag);
  const int32_t accent = Token("n\xe9", kKindWordTag);
  TCollocationList tagged(index_, 2);
  const Ids words = {take, place}, tags = {nn, nn}, partly = {-1, accent};
  tagged.Add(words.data(), tags.data(), 0);
  tagged.Add(words.data(), partly.data(), 0);
  EXPECT_EQ(tagged.CollocationText(0), "take NN place NN");
  EXPECT_EQ(tagged.CollocationText(1), "take place N\xc9");
  EXPECT_EQ(tagged.TagText(0), "nn nn");
  EXPECT_EQ(tagged.TagText(1), " n\xe9");

  // A full-extract item of 3 words in a list of 5.
  TCollocationList full(index_, 5, smCost);
  const Ids shorter = {take, place, take, -1, -1};
  full.Append(shorter.data(), nullptr, 1, 1);
  EXPECT_EQ(full.CollocationText(0), "take place take");
  EXPECT_EQ(full.TagText(0), "");
}

TEST_F(CollocListTest, DropRareSortsByCountAndCutsTheTail) {
  TCollocationList list(index_, 1);
  for (int32_t word : {1, 2, 2, 3, 3, 3, 4, 2}) list.Add(&word, nullptr, 0);
  list.ReleaseHash();
  list.DropRare(1);
  EXPECT_EQ(FirstWords(list), (Ids{2, 3, 1, 4}));
  EXPECT_EQ(list.SortKey1(), csFreq);
  EXPECT_EQ(list.SortKey2(), csNone);
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

// Random keys in few buckets, counted against a map; the hash must survive sorting,
// DropRare and Filter on a hashed list.
TEST_F(CollocListTest, CountsAgreeWithAModelThroughSortAndFilter) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int32_t> word(0, 5), tag(-1, 2);
  std::map<std::pair<Ids, Ids>, int32_t> model;
  TCollocationList list(index_, 3);
  for (int n = 0; n < 4000; ++n) {
    Ids words = {word(random), word(random), word(random)};
    Ids tags = {tag(random), tag(random), tag(random)};
    words[1] += (n % 3) * 65536;  // same bucket, different key
    list.Add(words.data(), tags.data(), n);
    ++model[{words, tags}];
    if (n == 2000) list.Sort(csFreq, csNone);
  }
  ASSERT_EQ(list.Count(), static_cast<int>(model.size()));
  list.DropRare(3);
  list.Filter(4, false, 0);
  int expected = 0;
  for (const auto& [key, count] : model) {
    Ids words = key.first, tags = key.second;
    if (count < 4) {
      EXPECT_EQ(list.FindExtra(words.data(), tags.data()), 0u);
      EXPECT_EQ(list.FindAndCount(words.data(), tags.data()), -1);
      continue;
    }
    ++expected;
    EXPECT_EQ(list.FindAndCount(words.data(), tags.data()), count + 1);
  }
  EXPECT_EQ(list.Count(), expected);
}

}  // namespace
}  // namespace quenterra
