// TViewStopListDlg, the "View Stop List" dialog: the stop words in a sorted list, edited in place
// with Add, Remove, Clear, Save and Load, and restored on closing when the user declines to keep
// the changes. Bound to the rules of dialogs/StopListOptions.h.
#pragma once

#include <QDialog>

#include "config/ProgramSettings.h"
#include "dialogs/StopListOptions.h"

class QLabel;
class QListWidget;
class QPushButton;
class QVBoxLayout;

namespace quenterra {

class TViewStopListDlg : public QDialog {
  Q_OBJECT

 public:
  // Edits settings.stopList; settings must outlive the dialog.
  explicit TViewStopListDlg(TProgramSettings& settings, QWidget* parent = nullptr);

  // Every way of closing ("C&lose", Escape, the window's close button) asks about the changes.
  void done(int result) override;

  QListWidget* WordList() const { return wordList_; }
  QLabel* FileNameLabel() const { return fileNameLabel_; }
  QPushButton* Button(const char* caption) const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QVBoxLayout* BuildButtons();
  // The list box, the label and the buttons from the rules.
  void ShowWords();
  void UpdateButtons();
  std::vector<int> SelectedRows() const;
  TStopListOptions::TChooseFile FileDialog(const char* title, bool save);

  TProgramSettings& settings_;
  TStopListOptions options_;
  QListWidget* wordList_;
  QLabel* fileNameLabel_;
};

// Shows the dialog modally until it is closed.
void ViewStopList(TProgramSettings& settings, QWidget* parent);

}  // namespace quenterra
