#include "dialogs/LanguageOptions.h"

#include <algorithm>
#include <cctype>

#include "corpus/LangTables.h"

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
  return dialog;
}

void TLanguageOptions::Select(int entry) {
  if (entry >= 0 && entry < static_cast<int>(entries_.size())) selected_ = entry;
}

bool TLanguageOptions::Accept(TGlobalSettings& global) const {
  global.SystemFont = font_;
  if (selected_ < 0) return false;
  // By name: "Serbian" stands for 0C1A even where the installed locale was 081A.
  const uint32_t language = LanguageId(entries_[static_cast<size_t>(selected_)]);
  if (language == 0 || language == global.Language) return false;
  global.Language = language;
  return true;
}

}  // namespace quenterra
