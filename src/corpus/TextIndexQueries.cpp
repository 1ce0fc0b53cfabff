// The queries of the text index: token matching by wildcard or regular expression, position
// lists, statistics and the walk to neighbouring positions.
#include <algorithm>
#include <cstring>
#include <vector>

#include "corpus/TextIndex.h"
#include "platform/Errors.h"

namespace quenterra {

namespace {

bool InKinds(TKindSet kinds, uint8_t kind) { return kind < 8 && (kinds & KindBit(kind)) != 0; }

bool HasWildcard(const std::string& pattern) {
  return pattern.find_first_of("*%?") != std::string::npos;
}

// One step of the wildcard match over the text prefixes: reach[i] says that the pattern read so
// far matches the first i characters; next receives the same for one more pattern character.
template <typename TUnit>
void WildcardStep(std::basic_string_view<TUnit> text, TUnit wild, const char* reach, char* next) {
  constexpr auto kMany = static_cast<TUnit>(TTextIndex::kWildMany);
  constexpr auto kOptional = static_cast<TUnit>(TTextIndex::kWildOptional);
  constexpr auto kOne = static_cast<TUnit>(TTextIndex::kWildOne);
  size_t n = text.size();
  if (wild == kMany) {
    char any = 0;
    for (size_t i = 0; i <= n; ++i) next[i] = any = static_cast<char>(any | reach[i]);
  } else if (wild == kOptional) {
    next[0] = reach[0];
    for (size_t i = 1; i <= n; ++i) next[i] = static_cast<char>(reach[i] | reach[i - 1]);
  } else {
    next[0] = 0;
    bool one = wild == kOne;
    for (size_t i = 1; i <= n; ++i) {
      next[i] = static_cast<char>(reach[i - 1] && (one || text[i - 1] == wild));
    }
  }
}

// Matching by the set of text prefixes the pattern can reach, one pattern character at a time:
// the result equals trying every split by backtracking, in time linear in pattern x text.
template <typename TUnit>
bool MatchUnits(std::basic_string_view<TUnit> text, std::basic_string_view<TUnit> pattern) {
  constexpr size_t kInline = 256;
  char inlineA[kInline + 1];
  char inlineB[kInline + 1];
  std::vector<char> heapA;
  std::vector<char> heapB;
  char* reach = inlineA;
  char* next = inlineB;
  if (text.size() > kInline) {
    heapA.resize(text.size() + 1);
    heapB.resize(text.size() + 1);
    reach = heapA.data();
    next = heapB.data();
  }
  std::memset(reach, 0, text.size() + 1);
  reach[0] = 1;
  for (TUnit wild : pattern) {
    WildcardStep(text, wild, reach, next);
    std::swap(reach, next);
    if (std::find(reach, reach + text.size() + 1, 1) == reach + text.size() + 1) return false;
  }
  return reach[text.size()] != 0;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

}  // namespace

bool TTokenPattern::Matches(std::string_view token) const {
  return regExp_ != nullptr ? regExp_->MatchesWhole(token)
                            : TTextIndex::MatchWildcard(token, wildcards_, encoding_);
}

bool TTokenPattern::Plain() const { return regExp_ == nullptr && !HasWildcard(wildcards_); }

// In UTF-8 '%' and '?' count code points, so text and pattern are compared as characters unless
// both are ASCII, where bytes are characters.
bool TTextIndex::MatchWildcard(std::string_view text, std::string_view pattern,
                               TCorpusEncoding encoding) {
  if (encoding == TCorpusEncoding::kCodePage || (IsAscii(text) && IsAscii(pattern)))
    return MatchUnits(text, pattern);
  const TCharCoding utf8 = TCharCoding::Utf8({});
  const std::u32string chars = utf8.Decode(text);
  const std::u32string wildcards = utf8.Decode(pattern);
  return MatchUnits(std::u32string_view(chars), std::u32string_view(wildcards));
}

std::vector<const TIndexToken*> TTextIndex::MatchTokens(const TTokenPattern& pattern,
                                                        TKindSet kinds) const {
  std::vector<const TIndexToken*> result;
  if (pattern.Plain()) {
    // A plain text names at most one token per kind: look them up instead of scanning.
    for (uint8_t kind = 0; kind < 8; ++kind) {
      if (!InKinds(kinds, kind)) continue;
      if (const TIndexToken* token = FindToken(pattern.Wildcards(), kind)) result.push_back(token);
    }
    std::sort(result.begin(), result.end(),
              [](const TIndexToken* a, const TIndexToken* b) { return a->id < b->id; });
    return result;
  }
  for (uint32_t id = 0; id < tokens_.size(); ++id) {
    const TIndexToken& token = tokens_[id];
    if (InKinds(kinds, token.kind) && pattern.Matches(std::string_view(token.text, token.length))) {
      result.push_back(&token);
    }
  }
  return result;
}

int64_t TTextIndex::PatternFreq(const TTokenPattern& pattern, TKindSet kinds) const {
  int64_t total = 0;
  for (const TIndexToken* token : MatchTokens(pattern, kinds)) total += token->frequency;
  return total;
}

TDWordsList TTextIndex::PatternPositions(const TTokenPattern& pattern, TKindSet kinds) {
  return Positions(MatchTokens(pattern, kinds));
}

TDWordsList TTextIndex::PatternListPositions(const std::vector<std::string>& patterns,
                                             TKindSet kinds, TCorpusEncoding encoding) {
  std::vector<const TIndexToken*> matched;
  for (const std::string& pattern : patterns) {
    for (const TIndexToken* token : MatchTokens(TTokenPattern(pattern, encoding), kinds))
      matched.push_back(token);
  }
  return Positions(matched);
}

TDWordsList TTextIndex::TokenPositions(uint32_t id) {
  if (id >= tokens_.size()) return TDWordsList();
  return Positions({&tokens_[id]});
}

TDWordsList TTextIndex::Positions(const std::vector<const TIndexToken*>& matched) {
  RequireOccurrences();
  int64_t total = 0;
  for (const TIndexToken* token : matched) total += token->frequency;
  if (total > INT32_MAX) throw EQuenterra("TextIndex: Too many positions.");
  TDWordsList list(static_cast<int>(total));
  for (const TIndexToken* token : matched) AppendOccurrences(*token, list);
  // One token's positions are ascending already; the list still believes itself sorted.
  if (matched.size() > 1) std::sort(list.Items(), list.Items() + list.Count());
  return list;
}

TIndexStats TTextIndex::GetStats(TKindSet kinds) const {
  TIndexStats stats;
  for (uint32_t id = 0; id < tokens_.size(); ++id) {
    const TIndexToken& token = tokens_[id];
    if (token.frequency == 0 || !InKinds(kinds, token.kind)) continue;
    stats.frequency += token.frequency;
    ++stats.tokens;
  }
  return stats;
}

int32_t TTextIndex::PrevPosition(int32_t position, TKindSet kinds) {
  int32_t begin = seq_.GetFileRange(seq_.FileOf(position)).first;
  for (int32_t at = position - 1; at >= begin; --at) {
    if (InKinds(kinds, KindAt(at))) return at;
  }
  return -1;
}

int32_t TTextIndex::NextPosition(int32_t position, TKindSet kinds) {
  int32_t end = seq_.GetFileRange(seq_.FileOf(position)).second;
  for (int32_t at = position + 1; at < end; ++at) {
    if (InKinds(kinds, KindAt(at))) return at;
  }
  return -1;
}

}  // namespace quenterra
