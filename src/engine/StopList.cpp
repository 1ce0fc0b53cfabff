#include "engine/StopList.h"

#include <algorithm>

#include "platform/AtomicFile.h"
#include "platform/CharCoding.h"
#include "platform/Errors.h"
#include "platform/Messages.h"

namespace quenterra {

namespace {

constexpr uint64_t kMaxFileSize = 64 << 20;

}  // namespace

void TStopList::SetWords(std::vector<std::string> words) {
  words_ = std::move(words);
  active_ = !words_.empty();
  loadFailed_ = false;
}

bool TStopList::LoadFromFile() {
  try {
    words_ = ReadWordsFromFile(fileName_);
    active_ = !words_.empty();
    loadFailed_ = false;
    return true;
  } catch (const EQuenterra&) {
    words_.clear();
    active_ = false;
    loadFailed_ = true;
    MsgError("Unable to load stop-list words from file \r\n" + fileName_);
    return false;
  }
}

void TStopList::SetFileName(const std::string& name) {
  words_.clear();
  fileName_ = name;
  loadFailed_ = false;
}

void TStopList::SetActive(bool on) { active_ = on && !words_.empty(); }

bool TStopList::Contains(const std::string& word, const TLangTables& tables) const {
  if (!active_) return false;
  std::string folded = tables.FoldString(word);
  return std::any_of(words_.begin(), words_.end(),
                     [&](const std::string& w) { return tables.FoldString(w) == folded; });
}

TDWordsList TStopList::BuildIdList(const TFindToken& findToken, TKindSet kinds,
                                   const TLangTables& tables) const {
  TDWordsList ids;
  for (const std::string& word : words_) {
    if (word.size() > kMaxTokenLength) continue;
    std::string text = tables.FoldString(word);
    for (uint8_t kind = 0; kind < 8; ++kind) {
      if ((kinds & KindBit(kind)) == 0) continue;
      if (std::optional<uint32_t> id = findToken(text, kind)) ids.Add(*id);
    }
  }
  ids.Sort();
  return ids;
}

TDWordsList TStopList::BuildIdList(const TTextIndex& index, TKindSet kinds,
                                   const TLangTables& tables) const {
  auto find = [&index](const std::string& text, uint8_t kind) -> std::optional<uint32_t> {
    const TIndexToken* token = index.FindToken(text, kind);
    if (token == nullptr) return std::nullopt;
    return token->id;
  };
  return BuildIdList(find, kinds, tables);
}

void TStopList::SaveWordsToFile(const std::string& name, const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += word + "\r\n";
  ReplaceFile(name, text);
}

std::vector<std::string> TStopList::ReadWordsFromFile(const std::string& name) {
  const std::string contents = ReadWholeFile(name, kMaxFileSize);
  const std::string_view text = WithoutUtf8Bom(contents);
  std::vector<std::string> words;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) words.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

}  // namespace quenterra
