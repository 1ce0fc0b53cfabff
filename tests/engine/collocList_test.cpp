#include "engine/collocList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "support/EngineTestKit.h"
#include "support/ErrorOf.h"

namespace quenterra {
namespace {

using test::ErrorOf;
using Ids = std::vector<int32_t>;
using Strings = std::vector<std::string>;

class CollocListTest : public test::TIndexTest {
 protected:
  // A list without hash of one-word items {word, count, score}.
  std::unique_ptr<TCollocationList> Rows(
      const std::vector<std::tuple<int32_t, int32_t, double>>& rows, TScoreMethod method) {
    auto list = std::make_unique<TCollocationList>(index_, settings_.tables, 1, method);
    for (auto [word, count, score] : rows) list->Append(&word, nullptr, score, count);
    return list;
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
};

TEST_F(CollocListTest, RefusalsCarryTheirMessages) {
  const Ids words = {1, 2};
  TCollocationList plain(index_, settings_.tables, 2, TScoreMethod::kCost);
  EXPECT_EQ(ErrorOf([&] { plain.Add(words.data(), nullptr, 0); }),
            "TCollocationList: The list has no hash.");
  plain.Append(words.data(), nullptr, 12.0, 3);
  EXPECT_EQ(ErrorOf([&] { plain.Item(1); }), "TCollocationList: List index out of bounds.");
  EXPECT_EQ(ErrorOf([&] { plain.Item(-1); }), "TCollocationList: List index out of bounds.");
  EXPECT_EQ(ErrorOf([&] { plain.Sort(TCollocSortKey::kNone, TCollocSortKey::kFreq); }),
            "csNone is not allowed in CompareCollocReccords");

  TCollocationList hashed(index_, settings_.tables, 2);
  hashed.Add(words.data(), nullptr, 0);
  hashed.ReleaseHash();
  EXPECT_EQ(ErrorOf([&] { hashed.FindAndCount(words.data(), nullptr); }),
            "TCollocationList: The list has no hash.");
  EXPECT_EQ(hashed.Count(), 1);  // releasing the hash keeps the items
  EXPECT_EQ(ErrorOf([&] { TCollocationList(index_, settings_.tables, 0); }),
            "TCollocationList: Invalid word count.");
  const auto unknown = static_cast<TScoreMethod>(9);
  EXPECT_EQ(TCollocationList(index_, settings_.tables, 2, unknown).ScoreMethod(),
            TScoreMethod::kNone);
}

TEST_F(CollocListTest, HashValueStaysInRangeWhenSumsOverflow) {
  const std::vector<std::pair<Ids, uint32_t>> rows = {
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

// Keys of the index's ids (and -1) and keys of other ids are told apart and keep their counts
// while the hash grows many times over; long keys likewise.
TEST_F(CollocListTest, CountsEveryKeyApartWhileTheHashGrows) {
  const auto tokens = static_cast<int32_t>(index_.TokenCount());
  const Ids lasts = {-1, 0, tokens - 1, tokens, tokens + 1, 5000, INT32_MAX, INT32_MIN};
  for (int wordCount : {2, 12}) {
    const auto width = static_cast<size_t>(wordCount);
    std::set<Ids> keys;
    for (int32_t first = -1; first <= tokens + 1; ++first) {
      for (int32_t last : lasts) {
        Ids key(width, first);
        key.back() = last;
        keys.insert(key);
      }
    }
    for (int32_t id = 0; id < 3000; ++id) keys.insert(Ids(width, id));
    TCollocationList list(index_, settings_.tables, wordCount);
    for (int round = 0; round < 2; ++round) {
      for (const Ids& key : keys) list.Add(key.data(), nullptr, 0);
    }
    EXPECT_EQ(list.Count(), static_cast<int>(keys.size()));
    for (const Ids& key : keys) EXPECT_EQ(list.FindAndCount(key.data(), nullptr), 3);
  }
}

TEST_F(CollocListTest, SortsByTwoKeysStablyWithScoresWithinTheTolerance) {
  auto list =
      Rows({{0, 1, 5.0}, {1, 3, 5.000000004}, {2, 2, 4.999999997}, {3, 3, 7.0}, {4, 1, 5.0}},
           TScoreMethod::kTScore);
  for (int i = 0; i < 5; ++i) list->Item(i).position = (Ids{2, 0, 1, 1, 2})[i];
  // 5.0, 5.000000004 and 4.999999997 are equal scores
  list->Sort(TCollocSortKey::kScore, TCollocSortKey::kFreq);
  EXPECT_EQ(FirstWords(*list), (Ids{3, 1, 2, 0, 4}));
  list->Sort(TCollocSortKey::kFreq, TCollocSortKey::kNone);
  EXPECT_EQ(FirstWords(*list), (Ids{3, 1, 2, 0, 4}));  // equal items keep their order
  list->Sort(TCollocSortKey::kPosition, TCollocSortKey::kRevPos);
  EXPECT_EQ(FirstWords(*list), (Ids{1, 3, 2, 0, 4}));
  list->Sort(TCollocSortKey::kRevPos, TCollocSortKey::kFreq);
  EXPECT_EQ(FirstWords(*list), (Ids{0, 4, 3, 2, 1}));
  EXPECT_EQ(list->SortKey1(), TCollocSortKey::kRevPos);
  EXPECT_EQ(list->SortKey2(), TCollocSortKey::kFreq);
}

// Scores and counts drawn at random, with close scores in clusters inside the tolerance, with
// NaN, or in chains longer than the tolerance: the default order is always the stable sort under
// the tolerance, and dropping rare items keeps the rest by count in their order (also with a
// count far above the others).
TEST_F(CollocListTest, DefaultOrderIsTheStableSortUnderTheTolerance) {
  std::mt19937 random(7);
  for (int round = 0; round < 3; ++round) {  // clusters; clusters and NaN; chains
    const double step = round < 2 ? 3e-9 : 6e-9;
    std::vector<std::tuple<int32_t, int32_t, double>> rows;
    for (int32_t word = 0; word < 3000; ++word) {
      const double base = static_cast<double>(random() % 40) - 20;
      const bool nan = round == 1 && random() % 9 == 0;
      const double score = nan ? std::nan("") : base + step * static_cast<double>(random() % 3);
      const auto count = static_cast<int32_t>(round == 2 && word == 9 ? 1 << 20 : random() % 6);
      rows.emplace_back(word, count, score);
    }
    auto expected = rows;
    std::stable_sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
      const int order = CompareScores(std::get<2>(a), std::get<2>(b));
      return order != 0 ? order < 0 : std::get<1>(b) < std::get<1>(a);
    });
    Ids expectedWords;
    for (const auto& row : expected) expectedWords.push_back(std::get<0>(row));
    auto list = Rows(rows, TScoreMethod::kMutualInfo);
    list->Sort(TCollocSortKey::kScore, TCollocSortKey::kFreq);
    EXPECT_EQ(FirstWords(*list), expectedWords);

    std::erase_if(expected, [](const auto& row) { return std::get<1>(row) < 2; });
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& a, const auto& b) { return std::get<1>(b) < std::get<1>(a); });
    expectedWords.clear();
    for (const auto& row : expected) expectedWords.push_back(std::get<0>(row));
    list->DropRare(2);
    EXPECT_EQ(FirstWords(*list), expectedWords);
  }
}

TEST_F(CollocListTest, TextsSortByTheirBytesAndJoinWordsWithUpperCasedTags) {
  settings_.global.Encoding = TCorpusEncoding::kCodePage;  // the bytes below are code page 1252
  settings_.RebuildTables();
  const Ids ids = {Token("apple"),
                   Token("Zebra"),
                   Token("\xe9t\xe9"),
                   Token("nn", 1, kKindWordTag),
                   Token("jj", 1, kKindWordTag),
                   Token("n\xe9", 1, kKindWordTag)};
  TCollocationList list(index_, settings_.tables, 1);
  list.Add(&ids[2], &ids[3], 0);  // été/nn
  list.Add(&ids[0], &ids[4], 0);  // apple/jj
  list.Add(&ids[0], &ids[3], 0);  // apple/nn
  list.Add(&ids[1], &ids[5], 0);  // Zebra/né
  // Upper case first, bytes above 0x7F last.
  list.Sort(TCollocSortKey::kAlpha, TCollocSortKey::kNone);
  EXPECT_EQ(Texts(list), (Strings{"Zebra N\xc9", "apple JJ", "apple NN", "\xe9t\xe9 NN"}));
  list.Sort(TCollocSortKey::kPOSTag, TCollocSortKey::kAlpha);
  EXPECT_EQ(Texts(list), (Strings{"apple JJ", "apple NN", "\xe9t\xe9 NN", "Zebra N\xc9"}));
  EXPECT_EQ(list.TagText(3), "n\xe9");

  TCollocationList pairs(index_, settings_.tables, 2);
  pairs.Add(Ids{ids[0], ids[1]}.data(), Ids{-1, ids[3]}.data(), 0);
  EXPECT_EQ(pairs.CollocationText(0), "apple Zebra NN");
  EXPECT_EQ(pairs.TagText(0), " nn");
  // A full-extract item of 3 words in a list of 5: no trailing space.
  TCollocationList full(index_, settings_.tables, 5, TScoreMethod::kCost);
  full.Append(Ids{ids[0], ids[1], ids[0], -1, -1}.data(), nullptr, 1, 1);
  EXPECT_EQ(full.CollocationText(0), "apple Zebra apple");
  EXPECT_EQ(full.TagText(0), "");
}

TEST_F(CollocListTest, FilterKeepsTheOrderWithoutHashAndRebuildsItByBucketsWithIt) {
  auto plain =
      Rows({{0, 5, 2.0}, {1, 1, 9.0}, {2, 5, 1.999999995}, {3, 5, 1.99999}, {4, 6, kScoreSentinel}},
           TScoreMethod::kMutualInfo);
  plain->Filter(2, false, 100);
  EXPECT_EQ(FirstWords(*plain), (Ids{0, 2, 3, 4}));
  plain->Filter(2, true, kScoreSentinel);  // the sentinel passes no minimum, not even itself
  EXPECT_EQ(FirstWords(*plain), (Ids{0, 2, 3}));
  plain->Filter(2, true, 2.0);  // within 1E-8 passes
  EXPECT_EQ(FirstWords(*plain), (Ids{0, 2}));

  // Hashed: bucket by bucket, each from its last item; appended items follow.
  TCollocationList list(index_, settings_.tables, 1);
  const int32_t kWrap = 65536;
  for (int32_t word : {5, 3 + kWrap, 3, 7, 3 + 2 * kWrap, 5 + kWrap, 3, 5 + kWrap, 3 + kWrap})
    list.Add(&word, nullptr, 0);
  const int32_t appended = 9;
  list.Append(&appended, nullptr, 0, 4);
  // Moves the items; the hash must follow, its buckets keep order.
  list.Sort(TCollocSortKey::kFreq, TCollocSortKey::kNone);
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

}  // namespace
}  // namespace quenterra
