// Keyness: the words whose frequency in a study corpus differs from a reference corpus more than
// chance would have it, from the two corpora's word lists. Words are matched by their text.
//
//   a, b    the word's frequency in the study and in the reference corpus
//   N, M    the running words of the two corpora
//   LL      2 * (a ln(a / E1) + b ln(b / E2)), E1 = N (a + b) / (N + M), E2 = M (a + b) / (N + M),
//           a term of frequency 0 taken as 0; signed: negative when the word is relatively rarer
//           in the study corpus                     Rayson & Garside 2000
//   %DIFF   (a / N - b / M) * 100 / (b / M), with b / M taken as 1E-18 when b = 0
//                                                   Gabrielatos & Marchi 2012
//
// References: P. Rayson, R. Garside (2000), Comparing corpora using frequency profiling, in
// Proceedings of the Workshop on Comparing Corpora, ACL 2000. C. Gabrielatos, A. Marchi (2012),
// Keyness: appropriate metrics and practical issues, CADS International Conference, Bologna.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/WordList.h"

namespace quenterra {

inline constexpr char kKeynessCaption[] = "Keywords";

struct TKeyword {
  std::string text;          // UTF-8
  int64_t study = 0;         // a
  int64_t reference = 0;     // b
  double logLikelihood = 0;  // signed LL
  double percentDiff = 0;    // %DIFF
};

// LL and %DIFF of one word (formulas above).
double KeynessLogLikelihood(double a, double b, double n, double m);
double PercentDiff(double a, double b, double n, double m);

class TKeywordList {
 public:
  // Every word of either list (words are the lists' texts in UTF-8), by LL, highest first. Both
  // lists are read only while this runs.
  TKeywordList(const TWordList& study, const TWordList& reference);

  int Count() const { return static_cast<int>(words_.size()); }
  const TKeyword& Item(int i) const { return words_.at(static_cast<size_t>(i)); }
  int64_t StudyWords() const { return studyWords_; }
  int64_t ReferenceWords() const { return referenceWords_; }
  // Descending LL (undefined last), or descending %DIFF; ties by text.
  void Sort(bool byPercentDiff);

 private:
  int64_t studyWords_, referenceWords_;
  std::vector<TKeyword> words_;
};

}  // namespace quenterra
