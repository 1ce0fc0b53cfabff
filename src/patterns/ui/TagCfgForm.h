// TTagCgfForm, the "Tag Settings" dialog: the characters that open and close normal tags, bound
// to the rules of dialogs/NormalTagsOptions.h.
#pragma once

#include <QDialog>

#include "config/ProgramSettings.h"
#include "dialogs/NormalTagsOptions.h"

class QLineEdit;
class QPushButton;

namespace quenterra {

class TTagCgfForm : public QDialog {
  Q_OBJECT

 public:
  // Edits settings.config; corpusFileCount decides whether a change asks before the rebuild.
  TTagCgfForm(TProgramSettings& settings, int corpusFileCount, QWidget* parent = nullptr);

  // OK: asks before a rebuild (No keeps the dialog open) and stores a changed pair.
  void accept() override;
  // Whether the accepted dialog changed a character, so that the index must be rebuilt.
  bool Changed() const { return changed_; }

  QLineEdit* TagStartEdit() const { return tagStart_; }
  QLineEdit* TagStopEdit() const { return tagStop_; }
  QPushButton* OkBtn() const { return ok_; }

 private:
  TNormalTagsOptions Options() const;

  TProgramSettings& settings_;
  int corpusFileCount_;
  QLineEdit* tagStart_;
  QLineEdit* tagStop_;
  QPushButton* ok_;
  bool changed_ = false;
};

// Shows the dialog; true when a changed character was stored (the index must be rebuilt).
bool RunNormalTags(TProgramSettings& settings, int corpusFileCount, QWidget* parent);

}  // namespace quenterra
