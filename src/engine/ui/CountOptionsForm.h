// TCountOptionsForm, the "Counts Options" dialog: the score method of extraction and n-gram lists
// and the minimal word frequency, bound to the rules of dialogs/CountOptions.h.
#pragma once

#include <QDialog>

#include "config/ProgramSettings.h"
#include "dialogs/CountOptions.h"

class QButtonGroup;
class QPushButton;

namespace quenterra {

class TUpDownEdit;

class TCountOptionsForm : public QDialog {
  Q_OBJECT

 public:
  explicit TCountOptionsForm(const ZuzadovUdirev& config, QWidget* parent = nullptr);

  // The dialog's values as they stand (the method and the up-down's position).
  TCountOptions Options() const;

  QButtonGroup* Methods() const { return methods_; }
  TUpDownEdit* FrequencyEdit() const { return frequency_; }
  QPushButton* DefaultBtn() const { return defaultBtn_; }

 private:
  QButtonGroup* methods_;
  TUpDownEdit* frequency_;
  QPushButton* defaultBtn_;
};

// Shows the dialog; on OK writes Last_Method_Selected and Min_Word_Freq and returns true.
bool RunCountOptions(ZuzadovUdirev& config, QWidget* parent);

}  // namespace quenterra
