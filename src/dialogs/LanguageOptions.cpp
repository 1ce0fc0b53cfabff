#include "dialogs/LanguageOptions.h"

#include <algorithm>
#include <cctype>

#include "corpus/LangTables.h"
#include "platform/CodePages.h"

namespace quenterra {

namespace {

std::string Lower(std::string name) {
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

// The list box's order: the names (all ASCII) with letter case ignored, then byte by byte.
bool NameLess(const std::string& a, const std::string& b) {
  const std::string la = Lower(a), lb = Lower(b);
  return la != lb ? la < lb : a < b;
}

}  // namespace

TLanguageOptions TLanguageOptions::FromSettings(const TGlobalSettings& global,
                                                const std::vector<std::string>& installed) {
  TLanguageOptions dialog;
  dialog.entries_ = installed;
  std::sort(dialog.entries_.begin(), dialog.entries_.end(), NameLess);
  const std::string current = LanguageName(global.Language);
  auto found = std::find(dialog.entries_.begin(), dialog.entries_.end(), current);
  if (!dialog.entries_.empty()) {
    dialog.selected_ =
        found == dialog.entries_.end() ? 0 : static_cast<int>(found - dialog.entries_.begin());
  }
  dialog.font_ = global.SystemFont;
  dialog.current_ = global.Language;
  dialog.encoding_ = global.Encoding;
  return dialog;
}

void TLanguageOptions::Select(int entry) {
  if (entry >= 0 && entry < static_cast<int>(entries_.size())) selected_ = entry;
}

uint32_t TLanguageOptions::SelectedLanguage() const {
  // By name: "Serbian" stands for 0C1A even where the installed locale was 081A.
  const uint32_t language =
      selected_ < 0 ? 0 : LanguageId(entries_[static_cast<size_t>(selected_)]);
  return language == 0 ? current_ : language;
}

std::string TLanguageOptions::CodePageCaption() const {
  return "Code page " + std::to_string(CodePageOf(SelectedLanguage()));
}

bool TLanguageOptions::Accept(TGlobalSettings& global) const {
  global.SystemFont = font_;
  const uint32_t language = selected_ < 0 ? global.Language : SelectedLanguage();
  if (language == global.Language && encoding_ == global.Encoding) return false;
  global.Language = language;
  global.Encoding = encoding_;
  return true;
}

}  // namespace quenterra
