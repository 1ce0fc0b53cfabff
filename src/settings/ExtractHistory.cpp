#include "settings/ExtractHistory.h"

#include <algorithm>


namespace quenterra {

std::vector<std::string>& TExtractHistory::ForKind(uint8_t kind) {
  switch (kind) {
    case kWordPhrase: return WordPhrase;
    case kRegExp: return RegExp;
    default: return WordTag;
  }
}

const std::vector<std::string>& TExtractHistory::ForKind(uint8_t kind) const {
  return const_cast<TExtractHistory*>(this)->ForKind(kind);
}

void TExtractHistory::AddPattern(uint8_t kind, const std::string& pattern) {
  std::vector<std::string>& history = ForKind(kind);
  auto old = std::find(history.begin(), history.end(), pattern);
  if (old != history.end()) history.erase(old);
  history.insert(history.begin(), pattern);
  if (history.size() > kMaxPatterns) history.resize(kMaxPatterns);
}

void TExtractHistory::SetBatch(uint8_t kind, std::vector<std::string> lines) {
  LastBatchSyntax = kind;
  Batch = std::move(lines);
}

}  // namespace quenterra
