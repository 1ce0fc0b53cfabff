// TCorporaListDlg, the list of open corpora: shown without blocking the main window, it lists the
// corpus files and lets the user show or remove them. Its list is the corpus's file list, read
// again whenever the corpus changes.
#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QListWidget;
class QPushButton;

namespace quenterra {

class TDesktopSession;

class TCorporaListDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr char kCaption[] = "List of Open Corpora";
  static constexpr char kViewCaption[] = "Select File(s) to View";

  // session is not owned and must outlive the dialog. showFile shows a file's text window.
  TCorporaListDlg(TDesktopSession& session, std::function<void(int)> showFile,
                  QWidget* parent = nullptr);

  // Reads the corpus's file list again.
  void Refresh();
  // Enables Show and Remove from the selection and the busy state.
  void UpdateButtons();

  QListWidget* CorporaList() const { return corporaList_; }
  QPushButton* RemoveBtn() const { return removeBtn_; }
  QPushButton* ShowBtn() const { return showBtn_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowSelected();
  void RemoveSelected();
  std::vector<int> SelectedRows() const;

  TDesktopSession& session_;
  std::function<void(int)> showFile_;
  QLabel* title_;
  QListWidget* corporaList_;
  QPushButton* removeBtn_;
  QPushButton* showBtn_;
  QPushButton* closeBtn_;
};

}  // namespace quenterra
