#include "engine/Scores.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <future>
#include <limits>

#include "corpus/TextIndex.h"
#include "engine/collocList.h"
#include "platform/NumberFormat.h"

namespace quenterra {

namespace {

constexpr const char* kColumnTitles[kScoreMethodCount] = {"None", "T-Score", "Mutual Inf.", "Cost",
                                                          "LL"};
constexpr const char* kLongNames[kScoreMethodCount] = {"None", "T-Score", "Mutual Information",
                                                       "Cost Criterion", "Log Likehood"};

constexpr double kNoScore = std::numeric_limits<double>::quiet_NaN();

// The frequency of word i: with its tag when the sequence has tags (the index answers with the
// word's own frequency for tag -1 and while its pair table is not current).
double Frequency(const TTextIndex& index, const int32_t* words, const int32_t* tags, int i) {
  if (tags != nullptr) return index.PairFreq(words[i], tags[i]);
  return index.GetToken(static_cast<uint32_t>(words[i])).frequency;
}

int SequenceLength(const int32_t* words, int length) {
  int n = 0;
  while (n < length && words[n] >= 0) ++n;
  return n;
}

// One term x ln q; false when the logarithm is undefined, whatever x is.
bool LogTerm(double x, double q, double& sum) {
  if (!(q > 0)) return false;
  sum += x * std::log(q);
  return true;
}

// L(x, m, q) = x ln q + (m - x) ln(1 - q), added to sum.
bool LogL(double x, double m, double q, double& sum) {
  return LogTerm(x, q, sum) && LogTerm(m - x, 1 - q, sum);
}

// A method cast from an unchecked code may lie outside 0..4.
bool Known(TScoreMethod method) { return static_cast<uint8_t>(method) < kScoreMethodCount; }

}  // namespace

const char* ScoreColumnTitle(TScoreMethod method) {
  return Known(method) ? kColumnTitles[static_cast<uint8_t>(method)] : "";
}

const char* ScoreLongName(TScoreMethod method) {
  return Known(method) ? kLongNames[static_cast<uint8_t>(method)] : "";
}

TScoreMethod ValidScoreMethod(uint8_t method) {
  return ValidScoreMethod(static_cast<TScoreMethod>(method));
}

TScoreMethod ValidScoreMethod(TScoreMethod method) {
  return Known(method) ? method : TScoreMethod::kNone;
}

bool ScoreUnavailable(double score, TScoreMethod method) {
  return !std::isfinite(score) ||
         (method == TScoreMethod::kLogLikelihood && score == kScoreSentinel);
}

std::string FormatScore(double score, TScoreMethod method) {
  return FormatScore(score, method, NumberFormat().decimalSeparator);
}

std::string FormatScore(double score, TScoreMethod method, char decimalSeparator) {
  if (ValidScoreMethod(method) == TScoreMethod::kNone) return "";
  if (ScoreUnavailable(score, method)) return "N/A";
  char text[400];  // room for the widest finite double in fixed notation
  if (method == TScoreMethod::kCost) {
    double rounded = std::round(score);  // halves away from zero
    const auto end = std::to_chars(text, text + sizeof text, rounded == 0 ? 0.0 : rounded,
                                   std::chars_format::fixed, 0);
    return std::string(text, end.ptr);
  }
  // Printed as printf's "%.6f" prints it.
  const char* begin = text;
  const char* end = std::to_chars(text, text + sizeof text, score, std::chars_format::fixed, 6).ptr;
  if (std::string_view(begin, end) == "-0.000000") ++begin;
  std::string shown(begin, end);
  const size_t point = shown.find('.');
  if (point != std::string::npos) shown[point] = decimalSeparator;
  return shown;
}

bool ScorePasses(double score, double minimum) {
  return score != kScoreSentinel && minimum - score <= kScoreTolerance;
}

double TScore(double k, double f1, double f2, double n) { return (k - f1 * f2 / n) / std::sqrt(k); }

double LogLikelihood(double k, double f1, double f2, double n) {
  if (f1 == 0 || n == f1) return kScoreSentinel;
  const double p = f2 / n, p1 = k / f1, p2 = (f2 - k) / (n - f1);
  double expected = 0, observed = 0;
  // Evaluate all four terms so that every undefined logarithm is caught, even one whose
  // factor is 0.
  bool ok = LogL(k, f1, p, expected);
  ok = LogL(f2 - k, n - f1, p, expected) && ok;
  ok = LogL(k, f1, p1, observed) && ok;
  ok = LogL(f2 - k, n - f1, p2, observed) && ok;
  if (!ok) return kScoreSentinel;
  return -2 * (expected - observed);
}

double SequenceScore(const TTextIndex& index, TScoreMethod method, const int32_t* words,
                     const int32_t* tags, int length, int32_t count, int64_t corpusWords) {
  const double k = count, n = static_cast<double>(corpusWords);
  const int used = SequenceLength(words, length);
  if (method == TScoreMethod::kMutualInfo) {
    if (used == 0) return kNoScore;
    double v = k / Frequency(index, words, tags, 0);
    for (int i = 1; i < used; ++i) v = v / Frequency(index, words, tags, i) * n;
    return std::log2(v);
  }
  if (method != TScoreMethod::kTScore && method != TScoreMethod::kLogLikelihood) return 0;
  if (used < 2) return kNoScore;
  const double f1 = Frequency(index, words, tags, 0), f2 = Frequency(index, words, tags, 1);
  return method == TScoreMethod::kTScore ? TScore(k, f1, f2, n) : LogLikelihood(k, f1, f2, n);
}

void TCollocationList::ComputeScores(TScoreMethod method, int64_t corpusWords) {
  scoreMethod_ = ValidScoreMethod(method);
  // Only Mutual Information is defined for sequences longer than two words.
  if (wordCount_ >= 3 && scoreMethod_ != TScoreMethod::kMutualInfo) {
    scoreMethod_ = TScoreMethod::kNone;
  }
  if (scoreMethod_ == TScoreMethod::kNone || scoreMethod_ == TScoreMethod::kCost) return;
  const auto score = [&](size_t first, size_t end) {
    for (size_t i = first; i < end; ++i) {
      TCollocItem& item = items_[i];
      item.score = SequenceScore(index_, scoreMethod_, item.words, item.tags, wordCount_,
                                 item.count, corpusWords);
    }
  };
  // Each score stands alone: a long list is scored half on a second thread.
  constexpr size_t kLongList = size_t{1} << 16;
  if (items_.size() < kLongList) {
    score(0, items_.size());
    return;
  }
  const size_t middle = items_.size() / 2;
  std::future<void> other = std::async(std::launch::async, score, middle, items_.size());
  score(0, middle);
  other.get();
}

}  // namespace quenterra
