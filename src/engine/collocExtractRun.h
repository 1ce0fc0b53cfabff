// Internal to the engine's searches (the extraction run, the concordance): the window test over
// any token predicate (shared by the public MatchWindow and the run's cached tests), the term
// tests it is built from, and their cache.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/collocExtract.h"

namespace quenterra {

// The word part of a term: the wildcard pattern, or the whole-token regular expression.
bool WordMatchesTerm(const TTextIndex& index, const TExtractTerm& term, int32_t wordId);
// The tag part of a Word/Tag term; tagId -1 is a word without tag.
bool TagMatchesTerm(const TTextIndex& index, const TExtractTerm& term, int32_t tagId);

// The token tests of one line, each computed once per token id.
class TLineMatcher {
 public:
  TLineMatcher(const TTextIndex& index, const TExtractRecord& record)
      : index_(index),
        record_(record),
        words_(static_cast<size_t>(record.TermCount()),
               std::vector<uint8_t>(index.TokenCount(), kUnknown)),
        tags_(record.Kind() == TSearchKind::kWordTag ? words_.size() : 0,
              std::vector<uint8_t>(index.TokenCount(), kUnknown)) {}

  bool Matches(int term, int32_t wordId, int32_t tagId) {
    const TExtractTerm& t = record_.Term(term);
    uint8_t& word = words_[static_cast<size_t>(term)][static_cast<size_t>(wordId)];
    if (word == kUnknown) word = WordMatchesTerm(index_, t, wordId) ? kYes : kNo;
    if (word == kNo || tags_.empty()) return word == kYes;
    if (tagId < 0) return t.MatchesUntagged();
    uint8_t& tag = tags_[static_cast<size_t>(term)][static_cast<size_t>(tagId)];
    if (tag == kUnknown) tag = TagMatchesTerm(index_, t, tagId) ? kYes : kNo;
    return tag == kYes;
  }

 private:
  static constexpr uint8_t kUnknown = 0, kNo = 1, kYes = 2;
  const TTextIndex& index_;
  const TExtractRecord& record_;
  std::vector<std::vector<uint8_t>> words_;  // per term, by token id
  std::vector<std::vector<uint8_t>> tags_;   // per term, by tag token id; Word/Tag lines only
};

// The order-mode logic of MatchWindow over match(term, place). Unordered lines mark each term at
// the first place that satisfies it (one place may satisfy several); subsequent lines take the
// terms greedily from the left.
template <typename Match>
bool MatchPlaces(TOrderMode order, int termCount, int span, int offset, Match&& match,
                 int& position) {
  if (order == TOrderMode::kUnordered) {
    std::vector<char> wide;  // only for lines of more than 64 terms
    if (termCount > 64) wide.assign(static_cast<size_t>(termCount), 0);
    uint64_t marked = 0;
    int left = termCount;
    position = -1;
    for (int place = 0; place < span && left > 0; ++place) {
      for (int term = 0; term < termCount; ++term) {
        bool done =
            termCount > 64 ? wide[static_cast<size_t>(term)] != 0 : (marked >> term & 1u) != 0;
        if (done || !match(term, place)) continue;
        if (termCount > 64) {
          wide[static_cast<size_t>(term)] = 1;
        } else {
          marked |= uint64_t{1} << term;
        }
        if (position < 0) position = place;
        --left;
      }
    }
    if (position < 0) position = 0;
    return left == 0;
  }
  if (order == TOrderMode::kSubsequent) {
    int found = 0;
    position = 0;
    for (int place = 0; place < span && found < termCount; ++place) {
      if (!match(found, place)) continue;
      if (found == 0) position = place;
      ++found;
    }
    return found == termCount;
  }
  position = offset;
  if (offset < 0 || offset + termCount > span) return false;
  for (int term = 0; term < termCount; ++term) {
    if (!match(term, offset + term)) return false;
  }
  return true;
}

}  // namespace quenterra
