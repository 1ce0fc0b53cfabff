#include "engine/CollocateScores.h"

#include <cmath>
#include <limits>

namespace quenterra {

namespace {

constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();

constexpr const char* kTitles[kCollocateScoreCount] = {"MI", "MI3",  "T-Score", "z-Score",
                                                       "LL", "Dice", "logDice"};
constexpr const char* kNames[kCollocateScoreCount] = {"mi", "mi3",  "t",      "z",
                                                      "ll", "dice", "logdice"};

double Expected(const TCollocateCounts& c) {
  return c.windowSize * c.nodeFrequency * c.collocateFreq / c.corpusWords;
}

// One cell's part of G2: O ln(O / E), 0 for an empty cell.
double GTerm(double observed, double expected) {
  return observed == 0 ? 0 : observed * std::log(observed / expected);
}

double LogLikelihood(const TCollocateCounts& c) {
  const double n = c.corpusWords, row1 = c.windowSize * c.nodeFrequency, col1 = c.collocateFreq;
  const double o11 = c.observed, o12 = row1 - o11, o21 = col1 - o11, o22 = n - row1 - col1 + o11;
  if (o12 < 0 || o21 < 0 || o22 < 0) return kUndefined;
  const double row2 = n - row1, col2 = n - col1;
  return 2 * (GTerm(o11, row1 * col1 / n) + GTerm(o12, row1 * col2 / n) +
              GTerm(o21, row2 * col1 / n) + GTerm(o22, row2 * col2 / n));
}

double Defined(double value) { return std::isfinite(value) ? value : kUndefined; }

}  // namespace

const char* CollocateScoreTitle(TCollocateScore score) {
  return kTitles[static_cast<uint8_t>(score)];
}

const char* CollocateScoreName(TCollocateScore score) {
  return kNames[static_cast<uint8_t>(score)];
}

double CollocateScore(TCollocateScore score, const TCollocateCounts& counts) {
  const double o = counts.observed;
  if (o <= 0 || counts.corpusWords <= 0) return kUndefined;
  const double e = Expected(counts);
  const double dice = 2 * o / (counts.nodeFrequency + counts.collocateFreq);
  switch (score) {
    case TCollocateScore::kMutualInfo:
      return Defined(std::log2(o / e));
    case TCollocateScore::kMI3:
      return Defined(std::log2(o * o * o / e));
    case TCollocateScore::kTScore:
      return Defined((o - e) / std::sqrt(o));
    case TCollocateScore::kZScore:
      return Defined((o - e) / std::sqrt(e));
    case TCollocateScore::kLogLikelihood:
      return Defined(LogLikelihood(counts));
    case TCollocateScore::kDice:
      return Defined(dice);
    case TCollocateScore::kLogDice:
      return Defined(14 + std::log2(dice));
  }
  return kUndefined;
}

}  // namespace quenterra
