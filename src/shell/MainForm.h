// TMainForm, the frame of the program: a multiple-document window whose children are the list
// windows, its menus built from the menu table, the two status panels and the title. It wires:
// the state and the command flows are the session's (desktop/DesktopSession.h), the enabling
// rules are UpdateMenus (desktop/MenuRules.h), and long work runs on a worker thread.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "config/SettingsFile.h"
#include "desktop/DesktopSession.h"
#include "desktop/MenuRules.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;

namespace quenterra {

class TCorporaListDlg;
class TCorpusWatcher;
class TFullTextForm;
class TMainMenus;
class TResultWindows;
class TcollocListForm;

class TMainForm : public QMainWindow, public TDesktopFront {
  Q_OBJECT

 public:
  // args: the command line after the program name. The settings file is looked for in where.
  TMainForm(std::vector<std::string> args, TConfigLocations where, QWidget* parent = nullptr);
  ~TMainForm() override;

  TDesktopSession& Session() { return *session_; }
  QMdiArea* MdiArea() const { return mdi_; }
  TMainMenus& Menus() const { return *menus_; }
  TCorporaListDlg& CorporaList() const { return *corpList_; }
  QLabel* HintWindow() const { return hintWindow_; }
  QLabel* CorpusInfoWindow() const { return corpusInfoWindow_; }
  // The active child when it is a list window, else null.
  TcollocListForm* ActiveList() const;
  std::vector<TcollocListForm*> ListWindows() const;

  // UpdateMenus: the rules applied to the menus (the idle handler; also callable on demand).
  void UpdateMenus();
  // The status panels.
  void UpdateStatusHint(const QString& menuHint = QString());
  // After a command or a load: the status panels and the corpora list show the corpus again.
  void CorpusChanged();
  void SetCorpusInfo(const std::string& text);
  // Runs the command of a menu table row; the failures it raises are shown.
  void Command(int row);
  // The same for a command that is no menu row (a list item's context menu).
  void Command(const std::function<void()>& run);
  // The concordance, collocate and word-list windows.
  TResultWindows& Results() const { return *results_; }

  // TDesktopFront.
  void RunLong(const std::function<void()>& work, bool changesIndex) override;
  void ShowList(std::unique_ptr<TCollocationList> list, const TListWindowSetup& desc) override;
  void TitleChanged(const std::string& title) override;
  void CloseChildWindows() override;
  // Destroys the list windows, the last first (the index they read is about to go).
  void CloseListWindows();

  // Corpus text windows (MainTextWindows.cpp).
  std::vector<TFullTextForm*> TextWindows() const;
  // The text window of the file of that exact name, or null.
  TFullTextForm* FindTextWindow(const std::string& fileName) const;
  // Brings the file's text window to the front, opening it first when there is none (null when
  // it cannot open: the error is shown).
  TFullTextForm* ShowFile(int fileNumber);
  // Before the file leaves the corpus.
  void CloseTextWindowOf(int fileNumber);
  // Hide All: closes every text window.
  void CloseTextWindows();
  // The Print command of a text window.
  void PrintText(TFullTextForm& window);
  // A list item's double click: its first place in the text, highlighted.
  void ShowItemText(TcollocListForm& list, int row);
  // A concordance line's double click: the file's text at the node, the node's tokens (corpus
  // positions first..last) highlighted.
  void ShowTextAt(int fileNumber, int32_t first, int32_t last);

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildStatusBar();
  void Start();
  TMenuState CurrentMenuState() const;
  void RunCommand(int row);
  void FileCommand(int row);
  void ListCommand(int row);
  void WindowCommand(int row);
  void LoadCorpusCommand();
  void OpenWorkspaceCommand();
  void SaveWorkspaceAsCommand();
  void ViewCorpusCommand();
  void FontCommand();
  void PrintCommand();
  void HelpCommand();
  void MergeTextMenu();
  void OpenDropped(const std::vector<std::string>& names);

  std::vector<std::string> args_;
  std::unique_ptr<TDesktopSession> session_;
  std::unique_ptr<TCorpusWatcher> watcher_;
  std::unique_ptr<TResultWindows> results_;
  QMdiArea* mdi_;
  QLabel* hintWindow_ = nullptr;
  QLabel* corpusInfoWindow_ = nullptr;
  TMainMenus* menus_ = nullptr;
  TCorporaListDlg* corpList_ = nullptr;
  std::vector<TItemState> menuStates_;
  TMenuState workerMenuState_;    // what the menus show while a worker runs
  QPointer<QAction> mergedMenu_;  // the current text window's menu in the menu bar, or null
  bool started_ = false;
  bool closing_ = false;
};

}  // namespace quenterra
