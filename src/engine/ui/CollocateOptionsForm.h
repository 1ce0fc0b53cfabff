// TCollocateOptionsForm, the "Collocates Options" dialog asked after the node pattern: the window
// each side of the node, word&tag collocates, the two minima and the score shown, bound to the
// rules of dialogs/CollocateOptions.h.
#pragma once

#include <QDialog>

#include "dialogs/CollocateOptions.h"
#include "settings/Settings.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace quenterra {

class TCollocateOptionsForm : public QDialog {
  Q_OBJECT

 public:
  // config (WordTag) must outlive the dialog.
  TCollocateOptionsForm(const ZuzadovUdirev& config, const TCollocateOptions& options,
                        QWidget* parent = nullptr);

  // The dialog's values as they stand.
  TCollocateOptions Options() const;

  QSpinBox* LeftBox() const { return left_; }
  QSpinBox* RightBox() const { return right_; }
  QCheckBox* TagsBox() const { return tags_; }
  QSpinBox* CooccurrenceBox() const { return cooccurrence_; }
  QSpinBox* CollocateFreqBox() const { return collocateFreq_; }
  QComboBox* ScoreBox() const { return score_; }

  // OK: closes only on values that can be counted; otherwise says why.
  void accept() override;

 private:
  QWidget* MakeWindowBox();
  QWidget* MakeFilterBox();

  const ZuzadovUdirev& config_;
  QSpinBox* left_;
  QSpinBox* right_;
  QCheckBox* tags_;
  QSpinBox* cooccurrence_;
  QSpinBox* collocateFreq_;
  QComboBox* score_;
};

// Shows the dialog on options; on OK takes its values into options, writes Min_Word_Freq and
// returns true.
bool RunCollocateOptions(ZuzadovUdirev& config, TCollocateOptions& options, QWidget* parent);

}  // namespace quenterra
