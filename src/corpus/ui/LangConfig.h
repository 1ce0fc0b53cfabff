// TLangConfig, the "Select language" dialog: the installed languages, the corpus encoding and the
// system font, bound to the rules of dialogs/LanguageOptions.h.
#pragma once

#include <QDialog>
#include <functional>

#include "dialogs/LanguageOptions.h"

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace quenterra {

// Runs a font dialog on a copy of the font; false on Cancel. The shell passes the platform's.
using TChooseFontRequest = std::function<bool(QWidget* parent, TFontChoice& font)>;

class TLangConfig : public QDialog {
  Q_OBJECT

 public:
  TLangConfig(const TGlobalSettings& global, TChooseFontRequest chooseFont,
              QWidget* parent = nullptr);

  // The dialog's values as they stand.
  const TLanguageOptions& Options() const { return options_; }

  QListWidget* Languages() const { return languages_; }
  QLabel* FontName() const { return fontName_; }
  QPushButton* FontBtn() const { return fontBtn_; }
  QRadioButton* Utf8Btn() const { return utf8Btn_; }
  QRadioButton* CodePageBtn() const { return codePageBtn_; }

 private:
  QWidget* BuildEncodingGroup();

  TLanguageOptions options_;
  TChooseFontRequest chooseFont_;
  QListWidget* languages_;
  QLabel* fontName_;
  QPushButton* fontBtn_;
  QRadioButton* utf8Btn_;
  QRadioButton* codePageBtn_;
};

// Shows the dialog; on OK keeps the chosen font, language and encoding in global. Returns whether
// the language or the encoding changed (the caller builds the tables again and unloads the
// corpus).
bool ChooseLanguage(TGlobalSettings& global, const TChooseFontRequest& chooseFont, QWidget* parent);

}  // namespace quenterra
