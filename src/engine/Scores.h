// Association scores of collocation items: the methods, their names, the arithmetic of each,
// and how scores show and compare. TCollocationList::ComputeScores (defined in Scores.cpp)
// applies a method to every item of a list.
//
// Counts used: k the item's count, f(i) the frequency of word i (with its tag when the item has
// tags, through the index's word-tag pair table), N the corpus word count of the run's kinds.
//   T-Score             (k - f1*f2/N) / sqrt(k)
//   Mutual Information  log2(k * N^(w-1) / (f(0) * ... * f(w-1))), divisions and
//                       multiplications alternating so that nothing grows with a power of N
//   Log-likelihood      -2 * (L(k,f1,p) + L(f2-k,N-f1,p) - L(k,f1,p1) - L(f2-k,N-f1,p2)),
//                       L(x,m,q) = x ln q + (m-x) ln(1-q), p = f2/N, p1 = k/f1,
//                       p2 = (f2-k)/(N-f1); kScoreSentinel when a logarithm or a division
//                       is undefined
//   Cost Criterion      computed by the full extract; stored scores are kept
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

namespace quenterra {

class TTextIndex;

// The values are the codes the settings file stores and the program shows: they never change.
enum class TScoreMethod : uint8_t {
  kNone = 0,
  kTScore = 1,
  kMutualInfo = 2,
  kCost = 3,
  kLogLikelihood = 4
};
inline constexpr int kScoreMethodCount = 5;

// A Log-likelihood that cannot be computed; it shows as "N/A" and passes no minimum.
inline constexpr double kScoreSentinel = -1.7E308;
// Scores closer than this compare equal, in sorting and in filtering.
inline constexpr double kScoreTolerance = 1E-8;

// The score column's title ("None", "T-Score", "Mutual Inf.", "Cost", "LL") and the long name
// of saved files and printouts ("None", "T-Score", "Mutual Information", "Cost Criterion",
// "Log Likehood"). A method outside 0..4 (cast from a damaged code) gives "".
const char* ScoreColumnTitle(TScoreMethod method);
const char* ScoreLongName(TScoreMethod method);

// The method of a code, or kNone for a code outside 0..4 (a damaged setting, or a method cast
// from one).
TScoreMethod ValidScoreMethod(uint8_t method);
TScoreMethod ValidScoreMethod(TScoreMethod method);

// How a score shows under a method: "0" format (an integer) for Cost, six decimals with the
// user's decimal separator for the others, "N/A" for the Log-likelihood sentinel and for any
// score that is not a finite number. Never "-0.000000". Empty for kNone.
std::string FormatScore(double score, TScoreMethod method);
// The same with the given decimal separator, whatever the locale says.
std::string FormatScore(double score, TScoreMethod method, char decimalSeparator);
// Whether a score shows as "N/A" under the method.
bool ScoreUnavailable(double score, TScoreMethod method);

// Descending score order: -1 when a ranks before b (a is higher by more than the tolerance), 1
// when after, 0 when they are within the tolerance. NaN ranks after every number.
// Inline: list sorts call it for every comparison.
inline int CompareScores(double a, double b) {
  const bool nanA = std::isnan(a), nanB = std::isnan(b);
  if (nanA || nanB) return nanA == nanB ? 0 : (nanA ? 1 : -1);
  const double difference = a - b;  // infinities of one sign give NaN: equal
  if (difference > kScoreTolerance) return -1;
  if (difference < -kScoreTolerance) return 1;
  return 0;
}
// Whether a score passes a minimum: not below it by more than the tolerance. The sentinel and
// NaN never pass.
bool ScorePasses(double score, double minimum);

// The two-word formulas on plain numbers.
double TScore(double k, double f1, double f2, double n);
double LogLikelihood(double k, double f1, double f2, double n);

// The score of one word sequence under T-Score, Mutual Information or Log-likelihood (other
// methods give 0). words holds length ids, the sequence ending early at the first negative id;
// tags (nullable) one tag id per word, -1 for none. Mutual Information uses every word of the
// sequence; T-Score and Log-likelihood words 0 and 1 and give NaN for a sequence of fewer than
// two words.
double SequenceScore(const TTextIndex& index, TScoreMethod method, const int32_t* words,
                     const int32_t* tags, int length, int32_t count, int64_t corpusWords);

}  // namespace quenterra
