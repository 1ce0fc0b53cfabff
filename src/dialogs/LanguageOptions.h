// The rules of the language dialog ("Select language"): the installed languages sorted by name
// with the current one selected, the corpus encoding (UTF-8 or the selected language's code
// page), and the system font that the dialog's font button edits. The
// dialog binds its list and font label to a TLanguageOptions and calls Accept on OK; Cancel
// changes nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/Settings.h"

namespace quenterra {

inline constexpr char kLanguageCaption[] = "Select language";

class TLanguageOptions {
 public:
  // The dialog as it opens over `installed` (InstalledLanguages() in the program): the names
  // sorted with letter case ignored, the current language's entry selected (the first entry when
  // the current language has no name or is not installed), and a copy of the system font.
  static TLanguageOptions FromSettings(const TGlobalSettings& global,
                                       const std::vector<std::string>& installed);

  const std::vector<std::string>& Entries() const { return entries_; }
  int Selected() const { return selected_; }  // -1 when the list is empty
  void Select(int entry);                     // an entry of the list; others are ignored
  // The font label shows the font's name; the font button replaces the copy.
  const TFontChoice& Font() const { return font_; }
  void SetFont(const TFontChoice& font) { font_ = font; }
  TCorpusEncoding Encoding() const { return encoding_; }
  void SetEncoding(TCorpusEncoding encoding) { encoding_ = encoding; }
  // "Code page <n>" of the selected language (of the current one while none is selected).
  std::string CodePageCaption() const;

  // OK (or a double click in the list): the chosen font becomes the system font, the selected
  // name's language the current one, and the chosen encoding the corpus encoding. Returns whether
  // the language or the encoding changed; the caller then builds the language tables again and
  // unloads the corpus, which was split with the old ones. Without a selected entry the language
  // stays.
  bool Accept(TGlobalSettings& global) const;

 private:
  uint32_t SelectedLanguage() const;  // the current one without a (known) selected entry

  std::vector<std::string> entries_;
  int selected_ = -1;
  uint32_t current_ = 0;  // the language as the dialog opened
  TCorpusEncoding encoding_ = TCorpusEncoding::kUtf8;
  TFontChoice font_;
};

}  // namespace quenterra
