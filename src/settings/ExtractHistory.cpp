#include "settings/ExtractHistory.h"

#include <algorithm>

#include "platform/IniFile.h"

namespace quenterra {

namespace {
constexpr char kSection[] = "ExtractHistory";
}  // namespace

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

void TExtractHistory::Load(const TIniFile& file) {
  ReadCountedList(file, kSection, "WordPhrase", WordPhrase);
  ReadCountedList(file, kSection, "RegExp", RegExp);
  ReadCountedList(file, kSection, "WordTag", WordTag);
  ReadCountedList(file, kSection, "Batch", Batch);
  LastBatchSyntax = file.ReadInteger(kSection, "LastBatchSyntax", kWordPhrase);
  if (LastBatchSyntax < kWordPhrase || LastBatchSyntax > kWordTag) LastBatchSyntax = kWordPhrase;
}

void TExtractHistory::Save(TIniFile& file) const {
  WriteCountedList(file, kSection, "WordPhrase", WordPhrase);
  WriteCountedList(file, kSection, "RegExp", RegExp);
  WriteCountedList(file, kSection, "WordTag", WordTag);
  WriteCountedList(file, kSection, "Batch", Batch);
  file.WriteInteger(kSection, "LastBatchSyntax", LastBatchSyntax);
}

TExtractHistory& ExtractHistory() {
  static TExtractHistory history;
  return history;
}

}  // namespace quenterra
