#include "engine/Scores.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "corpus/TextIndex.h"
#include "engine/collocList.h"
#include "platform/NumberFormat.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

using Ids = std::vector<int32_t>;

class ScoresTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = NumberFormat();
    SetNumberFormat(TNumberFormat{',', '.'});
  }
  void TearDown() override { SetNumberFormat(saved_); }

  // Adds `times` occurrences of a token and returns its id.
  int32_t Token(const char* text, int times = 1, uint8_t kind = kKindWord) {
    uint32_t id = 0;
    for (int i = 0; i < times; ++i) id = index_.AddToken(text, kind, 0, 0);
    return static_cast<int32_t>(id);
  }
  // A list holding one sequence counted `count` times, scored by `method`.
  std::unique_ptr<TCollocationList> Scored(const Ids& words, int count, uint8_t method) {
    auto list = std::make_unique<TCollocationList>(index_, static_cast<int>(words.size()));
    for (int i = 0; i < count; ++i) list->Add(words.data(), nullptr, 0);
    list->ComputeScores(method, index_.GetStats(kWordKinds).frequency);
    return list;
  }

  TNumberFormat saved_;
  test::TTempDir dir_;
  TTextIndex index_{dir_.File("page"), TProgressCallback(), TIndexFileMode::Create, false, true,
                    dir_.File("seq")};
};

TEST_F(ScoresTest, DisplayFormats) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<std::tuple<double, uint8_t, std::string>> rows = {
      {1.5, smTScore, "1.500000"},
      {-12345.6789012, smMutualInfo, "-12345.678901"},
      {-0.0000001, smLogLikelihood, "0.000000"},  // never "-0.000000"
      {kScoreSentinel, smLogLikelihood, "N/A"},
      {nan, smMutualInfo, "N/A"},
      {12.0, smCost, "12"},
      {2.5, smCost, "3"},
      {-0.4, smCost, "0"},
      {1.0, smNone, ""}};
  for (const auto& [score, method, text] : rows) EXPECT_EQ(FormatScore(score, method), text);
  EXPECT_NE(FormatScore(kScoreSentinel, smTScore), "N/A");  // only LL tests it
  SetNumberFormat(TNumberFormat{'.', ','});
  EXPECT_EQ(FormatScore(1234.5, smTScore), "1234,500000");  // no thousands separator
}

// NaN (no score) ranks last; the tolerance itself is tested through sorting and filtering.
TEST_F(ScoresTest, NanRanksLastAndPassesNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(CompareScores(nan, kScoreSentinel), 1);
  EXPECT_EQ(CompareScores(kScoreSentinel, nan), -1);
  EXPECT_EQ(CompareScores(nan, nan), 0);
  EXPECT_FALSE(ScorePasses(nan, -1e300));
}

// Log-likelihood is the G-squared statistic of the 2x2 table of the two words.
TEST_F(ScoresTest, LogLikelihoodMatchesTheContingencyTableAndFailsToTheSentinel) {
  auto g2 = [](double k, double f1, double f2, double n) {
    const double observed[4] = {k, f1 - k, f2 - k, n - f1 - f2 + k};
    const double expected[4] = {f1 * f2 / n, f1 * (n - f2) / n, (n - f1) * f2 / n,
                                (n - f1) * (n - f2) / n};
    double sum = 0;
    for (int i = 0; i < 4; ++i) sum += observed[i] * std::log(observed[i] / expected[i]);
    return 2 * sum;
  };
  EXPECT_NEAR(LogLikelihood(3, 10, 20, 100), g2(3, 10, 20, 100), 1e-9);
  EXPECT_NEAR(LogLikelihood(40, 1000, 50, 1e6), g2(40, 1000, 50, 1e6), 1e-6);
  // k = f1, k = f2, f2 - k = N - f1, f2 = N, N = f1, f1 = 0
  for (auto [k, f1, f2] :
       {std::tuple{3, 3, 20}, {3, 10, 3}, {3, 10, 93}, {3, 10, 100}, {3, 100, 10}, {0, 0, 10}}) {
    EXPECT_EQ(LogLikelihood(k, f1, f2, 100), kScoreSentinel) << k << " " << f1 << " " << f2;
  }
}

TEST_F(ScoresTest, TScoreProductDoesNotOverflow) {
  const int32_t x = Token("x", 46341), y = Token("y", 46341);
  Token("z", 7);
  auto list = Scored({x, y}, 5, smTScore);
  EXPECT_EQ(list->ScoreMethod(), smTScore);
  const double expected = (5 - 46341.0 * 46341.0 / 92689) / std::sqrt(5.0);
  EXPECT_LT(expected, -10000);
  EXPECT_NEAR(list->Item(0).score, expected, 1e-9);
}

TEST_F(ScoresTest, BigramWhoseFirstWordOccursOnlyThereHasNoLogLikelihood) {
  const int32_t once = Token("once"), often = Token("often", 3);
  Token("filler", 6);
  auto list = Scored({once, often}, 1, smLogLikelihood);
  EXPECT_EQ(FormatScore(list->Item(0).score, list->ScoreMethod()), "N/A");
  EXPECT_NEAR(Scored({once, often}, 1, smTScore)->Item(0).score, 1 - 3.0 / 10, 1e-12);
  EXPECT_NEAR(Scored({once, often}, 1, smMutualInfo)->Item(0).score, std::log2(10.0 / 3), 1e-12);
}

TEST_F(ScoresTest, LongerSequencesOnlyTakeMutualInformation) {
  const int32_t a = Token("a", 4), b = Token("b", 2), c = Token("c", 8);
  auto list = Scored({a, b, c}, 2, smMutualInfo);  // N = 14
  EXPECT_EQ(list->ScoreMethod(), smMutualInfo);
  EXPECT_NEAR(list->Item(0).score, std::log2(2.0 * 14 * 14 / (4 * 2 * 8)), 1e-12);
  for (uint8_t method : {smTScore, smLogLikelihood, smCost}) {
    list->ComputeScores(method, 14);
    EXPECT_EQ(list->ScoreMethod(), smNone);
    EXPECT_NEAR(list->Item(0).score, std::log2(6.125), 1e-12);  // kept
  }
  // A shorter item in a longer list: its own words only. Cost and unknown methods keep scores.
  TCollocationList full(index_, 4, smCost);
  const Ids shorter = {a, b, -1, -1};
  full.Append(shorter.data(), nullptr, 9, 2);
  full.ComputeScores(smCost, 14);
  EXPECT_EQ(full.Item(0).score, 9);
  full.ComputeScores(7, 14);
  EXPECT_EQ(full.ScoreMethod(), smNone);
  EXPECT_EQ(full.Item(0).score, 9);
  full.ComputeScores(smMutualInfo, 14);
  EXPECT_NEAR(full.Item(0).score, std::log2(2.0 * 14 / (4 * 2)), 1e-12);
}

// Tagged items take the frequencies of their word-tag pairs.
TEST_F(ScoresTest, TagsSelectWordTagFrequencies) {
  int32_t run = 0, fast = 0, vb = 0, nn = 0, rb = 0;
  for (const char* tag : {"vb", "vb", "nn"}) {
    run = Token("run");
    (tag[0] == 'v' ? vb : nn) = Token(tag, 1, kKindWordTag);
    fast = Token("fast");
    rb = Token("rb", 1, kKindWordTag);
  }
  ASSERT_TRUE(index_.PairTableCurrent());
  TCollocationList list(index_, 2);
  const Ids words = {run, fast}, asVerb = {vb, rb}, asNoun = {nn, rb}, none = {-1, -1};
  for (int i = 0; i < 2; ++i) list.Add(words.data(), asVerb.data(), 0);
  list.Add(words.data(), asNoun.data(), 0);
  list.Add(words.data(), none.data(), 0);
  list.ComputeScores(smTScore, 6);
  EXPECT_NEAR(list.Item(0).score, (2 - 2.0 * 3 / 6) / std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(list.Item(1).score, 1 - 1.0 * 3 / 6, 1e-12);
  EXPECT_NEAR(list.Item(2).score, 1 - 3.0 * 3 / 6, 1e-12);  // no tag: word frequencies
}

}  // namespace
}  // namespace quenterra
