// TFEOptForm, the options dialog of the n-gram extraction ("N-Gram Options": the span and the use
// of tags) and of the full extract ("Full Extract Options": also the lower span and the two
// filters), bound to the rules of dialogs/FEOptions.h.
#pragma once

#include <QDialog>

#include "dialogs/FEOptions.h"
#include "settings/Settings.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;

namespace quenterra {

class TNumberUpDown;
class TUpDownEdit;

class TFEOptForm : public QDialog {
  Q_OBJECT

 public:
  // Opens over the stored options (the full-extract form may mend their Max_Span at once).
  TFEOptForm(bool ngramForm, TFullExtractOptions& stored, const ZuzadovUdirev& config,
             QWidget* parent = nullptr);

  // The dialog's result: accepted with the options written, or rejected (Cancel, or a value
  // that is no number, whose error has been shown).
  void accept() override;

  TUpDownEdit* MinSpanEdit() const { return minSpan_; }
  TUpDownEdit* MaxSpanEdit() const { return maxSpan_; }
  QLabel* MaxSpanLabel() const { return maxSpanLabel_; }
  QCheckBox* UsePOSTagsCB() const { return usePOSTags_; }
  QGroupBox* InitialBox() const { return initialBox_; }
  QButtonGroup* InitialMethods() const { return initialMethods_; }
  QLabel* InitialLabel() const { return initialLabel_; }
  TNumberUpDown* InitialEdit() const { return initialEdit_; }
  QGroupBox* ExtendedBox() const { return extendedBox_; }
  QButtonGroup* ExtendedMethods() const { return extendedMethods_; }
  TNumberUpDown* ExtendedEdit() const { return extendedEdit_; }

 private:
  QGroupBox* BuildSpans();
  QGroupBox* BuildInitialFilter();
  QGroupBox* BuildExtendedFilter();
  // The edits' texts into the rules, before the rules read them.
  void Sync();
  // The rules' state into the filter groups.
  void ShowInitial();
  void ShowExtended();

  TFullExtractOptions& stored_;
  TFEOptions options_;
  QLabel* minSpanLabel_ = nullptr;
  TUpDownEdit* minSpan_ = nullptr;
  QLabel* maxSpanLabel_ = nullptr;
  TUpDownEdit* maxSpan_ = nullptr;
  QCheckBox* usePOSTags_ = nullptr;
  QGroupBox* initialBox_ = nullptr;
  QButtonGroup* initialMethods_ = nullptr;
  QLabel* initialLabel_ = nullptr;
  TNumberUpDown* initialEdit_ = nullptr;
  QGroupBox* extendedBox_ = nullptr;
  QButtonGroup* extendedMethods_ = nullptr;
  TNumberUpDown* extendedEdit_ = nullptr;
};

// Shows the dialog in the n-gram or the full-extract form; true when the options were written
// (the run may start).
bool RunFEOptions(bool ngramForm, TFullExtractOptions& stored, const ZuzadovUdirev& config,
                  QWidget* parent);

}  // namespace quenterra
