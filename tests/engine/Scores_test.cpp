#include "engine/Scores.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "engine/collocList.h"
#include "support/EngineTestKit.h"

namespace quenterra {
namespace {

using Ids = std::vector<int32_t>;

class ScoresTest : public test::TIndexTest {
 protected:
  // The score of one sequence counted `count` times; `shown` gets the method the list ended with.
  double Score(const Ids& words, int count, TScoreMethod method, TScoreMethod* shown = nullptr) {
    TCollocationList list(index_, settings_.tables, static_cast<int>(words.size()));
    for (int i = 0; i < count; ++i) list.Add(words.data(), nullptr, 0);
    list.ComputeScores(method, index_.GetStats(kWordKinds).frequency);
    if (shown != nullptr) *shown = list.ScoreMethod();
    return list.Item(0).score;
  }

  test::TNumberFormatScope format_{TNumberFormat{',', '.'}};
};

TEST_F(ScoresTest, DisplayFormatsAndNanOrder) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<std::tuple<double, TScoreMethod, std::string>> rows = {
      {1.5, TScoreMethod::kTScore, "1.500000"},
      {-12345.6789012, TScoreMethod::kMutualInfo, "-12345.678901"},
      {-0.0000001, TScoreMethod::kLogLikelihood, "0.000000"},  // never "-0.000000"
      {kScoreSentinel, TScoreMethod::kLogLikelihood, "N/A"},
      {nan, TScoreMethod::kMutualInfo, "N/A"},
      {12.0, TScoreMethod::kCost, "12"},
      {2.5, TScoreMethod::kCost, "3"},
      {-0.4, TScoreMethod::kCost, "0"},
      {1.0, TScoreMethod::kNone, ""}};
  for (const auto& [score, method, text] : rows) EXPECT_EQ(FormatScore(score, method), text);
  EXPECT_NE(FormatScore(kScoreSentinel, TScoreMethod::kTScore), "N/A");  // only LL tests it
  test::TNumberFormatScope comma(TNumberFormat{'.', ','});
  EXPECT_EQ(FormatScore(1234.5, TScoreMethod::kTScore), "1234,500000");  // no thousands separator
  // NaN (no score) ranks last and passes nothing; the tolerance is tested through the list.
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

TEST_F(ScoresTest, BigramScoresOfAListDoNotOverflowOrFailOnAWordSeenOnce) {
  const int32_t x = Token("x", 46341), y = Token("y", 46341);
  Token("z", 7);
  const double expected = (5 - 46341.0 * 46341.0 / 92689) / std::sqrt(5.0);  // f1*f2 > INT32_MAX
  EXPECT_NEAR(Score({x, y}, 5, TScoreMethod::kTScore), expected, 1e-9);

  const int32_t once = Token("once"), often = Token("often", 3);
  const int64_t n = index_.GetStats(kWordKinds).frequency;
  TScoreMethod shown = TScoreMethod::kNone;
  // k = f1
  EXPECT_EQ(Score({once, often}, 1, TScoreMethod::kLogLikelihood, &shown), kScoreSentinel);
  EXPECT_EQ(shown, TScoreMethod::kLogLikelihood);
  EXPECT_NEAR(Score({once, often}, 1, TScoreMethod::kTScore), 1 - 3.0 / n, 1e-12);
  EXPECT_NEAR(Score({once, often}, 1, TScoreMethod::kMutualInfo), std::log2(n / 3.0), 1e-12);
}

// Beyond two words only Mutual Information is defined; other methods keep the stored scores. A
// shorter item of a full-extract list is scored on its own words.
TEST_F(ScoresTest, LongerSequencesOnlyTakeMutualInformation) {
  const int32_t a = Token("a", 4), b = Token("b", 2), c = Token("c", 8);
  TCollocationList list(index_, settings_.tables, 4, TScoreMethod::kCost);
  list.Append(Ids{a, b, c, -1}.data(), nullptr, 9, 2);
  list.Append(Ids{a, b, -1, -1}.data(), nullptr, 9, 2);
  for (int code : {1, 4, 3, 7}) {  // T-Score, Log-likelihood, Cost, unknown
    list.ComputeScores(static_cast<TScoreMethod>(code), 14);
    EXPECT_EQ(list.ScoreMethod(), TScoreMethod::kNone) << code;
    EXPECT_EQ(list.Item(0).score, 9);
  }
  list.ComputeScores(TScoreMethod::kMutualInfo, 14);
  EXPECT_EQ(list.ScoreMethod(), TScoreMethod::kMutualInfo);
  EXPECT_NEAR(list.Item(0).score, std::log2(2.0 * 14 * 14 / (4 * 2 * 8)), 1e-12);
  EXPECT_NEAR(list.Item(1).score, std::log2(2.0 * 14 / (4 * 2)), 1e-12);
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
  TCollocationList list(index_, settings_.tables, 2);
  const Ids words = {run, fast}, asVerb = {vb, rb}, asNoun = {nn, rb}, none = {-1, -1};
  for (int i = 0; i < 2; ++i) list.Add(words.data(), asVerb.data(), 0);
  list.Add(words.data(), asNoun.data(), 0);
  list.Add(words.data(), none.data(), 0);
  list.ComputeScores(TScoreMethod::kTScore, 6);
  EXPECT_NEAR(list.Item(0).score, (2 - 2.0 * 3 / 6) / std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(list.Item(1).score, 1 - 1.0 * 3 / 6, 1e-12);
  EXPECT_NEAR(list.Item(2).score, 1 - 3.0 * 3 / 6, 1e-12);  // no tag: word frequencies
}

}  // namespace
}  // namespace quenterra
