// TProgressForm, the progress window of every long operation: a label, a gauge, a second smaller
// line and the Cancel buttons, in three forms (no buttons; Cancel; Cancel and Cancel All). Its
// cancel state is what the running operation polls. TGuiProgress is the core's progress seam over
// a form: it may be driven from a worker thread, and carries every change to the window's thread.
#pragma once

#include <QDialog>
#include <atomic>
#include <memory>

#include "platform/Progress.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace quenterra {

class TProgressForm : public QDialog {
  Q_OBJECT

 public:
  // cancelState is shared with the operation that polls it.
  TProgressForm(TProgressKind kind, std::shared_ptr<std::atomic<int>> cancelState,
                QWidget* parent = nullptr);

  void SetLabel(const QString& text);
  void SetSpecialText(const QString& text);
  void SetMax(int64_t max);
  void SetPosition(int64_t position);
  TCancelState CancelState() const { return static_cast<TCancelState>(cancelState_->load()); }

  QPushButton* CancelBtn() const { return cancelBtn_; }
  QPushButton* Cancel1Btn() const { return cancel1Btn_; }
  QPushButton* CancelAllBtn() const { return cancelAllBtn_; }
  QLabel* ProgressLabel() const { return progressLabel_; }
  QProgressBar* ProgressBar() const { return progressBar_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void SetCancel(TCancelState state);

  std::shared_ptr<std::atomic<int>> cancelState_;
  QLabel* progressLabel_;
  QProgressBar* progressBar_;
  QLabel* specialText_;
  QPushButton* cancelBtn_;
  QPushButton* cancel1Btn_;
  QPushButton* cancelAllBtn_;
  int64_t max_ = 100;
};

// Installs the progress factory that makes a TGuiProgress for every long operation.
void InstallGuiProgress();

}  // namespace quenterra
