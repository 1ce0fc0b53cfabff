#include "settings/ExtractHistory.h"

#include <algorithm>

namespace quenterra {

TSearchKind ValidSearchKind(int32_t kind) {
  return kind >= 0 && kind <= 2 ? static_cast<TSearchKind>(kind) : TSearchKind::kWordPhrase;
}

std::vector<std::string>& TExtractHistory::ForKind(TSearchKind kind) {
  switch (kind) {
    case TSearchKind::kWordPhrase:
      return WordPhrase;
    case TSearchKind::kRegExp:
      return RegExp;
    default:
      return WordTag;
  }
}

const std::vector<std::string>& TExtractHistory::ForKind(TSearchKind kind) const {
  return const_cast<TExtractHistory*>(this)->ForKind(kind);
}

void TExtractHistory::AddPattern(TSearchKind kind, const std::string& pattern) {
  std::vector<std::string>& history = ForKind(kind);
  auto old = std::find(history.begin(), history.end(), pattern);
  if (old != history.end()) history.erase(old);
  history.insert(history.begin(), pattern);
  if (history.size() > kMaxPatterns) history.resize(kMaxPatterns);
}

void TExtractHistory::SetBatch(TSearchKind kind, std::vector<std::string> lines) {
  LastBatchSyntax = static_cast<int32_t>(kind);
  Batch = std::move(lines);
}

}  // namespace quenterra
