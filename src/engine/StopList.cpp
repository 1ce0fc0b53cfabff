#include "engine/StopList.h"

#include <algorithm>

#include "platform/IniFile.h"
#include "settings/Settings.h"
#include "corpus/LangTables.h"
#include "corpus/TextIndex.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/Messages.h"

namespace quenterra {

namespace {

constexpr char kFrequencySection[] = "FrequencyConfiguration";
constexpr char kFileNameKey[] = "StopListFileName";
constexpr char kWordsSection[] = "StopList";
constexpr char kWordsKey[] = "Word";
constexpr uint64_t kMaxFileSize = 64 << 20;

}  // namespace

void TStopList::LoadFromConfig(const TIniFile& file) {
  fileName_ = file.ReadString(kFrequencySection, kFileNameKey, "");
  if (!fileName_.empty()) {
    LoadFromFile();
    return;
  }
  ReadCountedList(file, kWordsSection, kWordsKey, words_);
  active_ = !words_.empty();
}

void TStopList::SaveToConfig(TIniFile& file) const {
  file.WriteString(kFrequencySection, kFileNameKey, fileName_);
  if (!fileName_.empty() || words_.empty()) return;
  file.EraseSection(kWordsSection);
  WriteCountedList(file, kWordsSection, kWordsKey, words_);
}

bool TStopList::LoadFromFile() {
  try {
    words_ = ReadWordsFromFile(fileName_);
    active_ = !words_.empty();
    return true;
  } catch (const EQuenterra&) {
    words_.clear();
    active_ = false;
    MsgError("Unable to load stop-list words from file \r\n" + fileName_);
    return false;
  }
}

void TStopList::SetFileName(const std::string& name) {
  words_.clear();
  fileName_ = name;
}

void TStopList::SetActive(bool on) { active_ = on && !words_.empty(); }

bool TStopList::Contains(const std::string& word) const {
  if (!active_) return false;
  std::string folded = FoldString(word);
  return std::any_of(words_.begin(), words_.end(),
                     [&](const std::string& w) { return FoldString(w) == folded; });
}

TDWordsList TStopList::BuildIdList(const TFindToken& findToken) const {
  std::vector<uint8_t> kinds = {1};
  if (!Config().SkipNormalTags) kinds = {1, 2, 3};
  TDWordsList ids;
  for (const std::string& word : words_) {
    if (word.size() > kMaxTokenLength) continue;
    std::string text = FoldString(word);
    for (uint8_t kind : kinds)
      if (std::optional<uint32_t> id = findToken(text, kind)) ids.Add(*id);
  }
  ids.Sort();
  return ids;
}

TDWordsList TStopList::BuildIdList(const TTextIndex& index) const {
  return BuildIdList([&index](const std::string& text, uint8_t kind) -> std::optional<uint32_t> {
    const TIndexToken* token = index.FindToken(text, kind);
    if (token == nullptr) return std::nullopt;
    return token->id;
  });
}

void TStopList::SaveWordsToFile(const std::string& name, const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += word + "\r\n";
  ReplaceFile(name, text);
}

std::vector<std::string> TStopList::ReadWordsFromFile(const std::string& name) {
  std::string text = ReadWholeFile(name, kMaxFileSize);
  std::vector<std::string> words;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) words.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

TStopList& StopList() {
  static TStopList list;
  return list;
}

}  // namespace quenterra
