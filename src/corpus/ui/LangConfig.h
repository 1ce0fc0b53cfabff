// TLangConfig, the "Select language" dialog: the installed languages and the system font, bound
// to the rules of dialogs/LanguageOptions.h.
#pragma once

#include <QDialog>
#include <functional>

#include "dialogs/LanguageOptions.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace quenterra {

// Runs a font dialog on a copy of the font; false on Cancel. The shell passes the platform's.
using TChooseFontSpec = std::function<bool(QWidget* parent, TFontSpec& font)>;

class TLangConfig : public QDialog {
  Q_OBJECT

 public:
  TLangConfig(const TGlobalSettings& global, TChooseFontSpec chooseFont, QWidget* parent = nullptr);

  // The dialog's values as they stand.
  const TLanguageOptions& Options() const { return options_; }

  QListWidget* Languages() const { return languages_; }
  QLabel* FontName() const { return fontName_; }
  QPushButton* FontBtn() const { return fontBtn_; }

 private:
  TLanguageOptions options_;
  TChooseFontSpec chooseFont_;
  QListWidget* languages_;
  QLabel* fontName_;
  QPushButton* fontBtn_;
};

// Shows the dialog; on OK keeps the chosen font and language in global. Returns whether the
// language changed (the caller builds the tables again and unloads the corpus).
bool ChooseLanguage(TGlobalSettings& global, const TChooseFontSpec& chooseFont, QWidget* parent);

}  // namespace quenterra
