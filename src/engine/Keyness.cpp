#include "engine/Keyness.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace quenterra {

namespace {

constexpr double kAbsentShare = 1E-18;  // b / M of a word the reference lacks

double Term(double observed, double expected) {
  return observed == 0 ? 0 : observed * std::log(observed / expected);
}

// The text of entry i (with its tag, "word/tag"), UTF-8.
std::string EntryText(const TWordList& list, int i) {
  const std::string tag = list.TagText(i);
  return list.Tables().ToUtf8(list.WordText(i) + (tag.empty() ? "" : "/" + tag));
}

}  // namespace

double KeynessLogLikelihood(double a, double b, double n, double m) {
  const double e1 = n * (a + b) / (n + m), e2 = m * (a + b) / (n + m);
  const double ll = 2 * (Term(a, e1) + Term(b, e2));
  return a / n < b / m ? -ll : ll;
}

double PercentDiff(double a, double b, double n, double m) {
  const double share = b == 0 ? kAbsentShare : b / m;
  return (a / n - share) * 100 / share;
}

TKeywordList::TKeywordList(const TWordList& study, const TWordList& reference)
    : studyWords_(study.CorpusWords()), referenceWords_(reference.CorpusWords()) {
  std::map<std::string, TKeyword> byText;
  for (int i = 0; i < study.Count(); ++i) {
    TKeyword& word = byText[EntryText(study, i)];
    word.study += study.Item(i).frequency;
  }
  for (int i = 0; i < reference.Count(); ++i) {
    TKeyword& word = byText[EntryText(reference, i)];
    word.reference += reference.Item(i).frequency;
  }
  const double n = static_cast<double>(studyWords_), m = static_cast<double>(referenceWords_);
  for (auto& [text, word] : byText) {
    word.text = text;
    const auto a = static_cast<double>(word.study), b = static_cast<double>(word.reference);
    word.logLikelihood = n > 0 && m > 0 ? KeynessLogLikelihood(a, b, n, m) : NAN;
    word.percentDiff = n > 0 && m > 0 ? PercentDiff(a, b, n, m) : NAN;
    words_.push_back(word);
  }
  Sort(false);
}

void TKeywordList::Sort(bool byPercentDiff) {
  auto value = [&](const TKeyword& word) {
    const double v = byPercentDiff ? word.percentDiff : word.logLikelihood;
    return std::isnan(v) ? -HUGE_VAL : v;
  };
  std::stable_sort(words_.begin(), words_.end(), [&](const TKeyword& x, const TKeyword& y) {
    if (value(x) != value(y)) return value(x) > value(y);
    return x.text < y.text;
  });
}

}  // namespace quenterra
