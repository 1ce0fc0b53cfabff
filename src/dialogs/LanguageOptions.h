// The rules of the language dialog ("Select language"): the installed languages sorted by name
// with the current one selected, and the system font that the dialog's font button edits. The
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
  const TFontSpec& Font() const { return font_; }
  void SetFont(const TFontSpec& font) { font_ = font; }

  // OK (or a double click in the list): the chosen font becomes the system font, and the
  // selected name's language the current one. Returns whether the language changed; the caller
  // then builds the language tables again and unloads the corpus, which was split with the old
  // ones. Without a selected entry the language stays.
  bool Accept(TGlobalSettings& global) const;

 private:
  std::vector<std::string> entries_;
  int selected_ = -1;
  TFontSpec font_;
};

}  // namespace quenterra
