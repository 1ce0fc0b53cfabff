// The main window's menu commands: each row of the menu table goes to the session's flow, the
// active list window or a dialog. Only dispatch lives here.
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "desktop/MenuTable.h"
#include "engine/ui/CollocListForm.h"
#include "engine/ui/CommonDialogs.h"
#include "platform/Errors.h"
#include "platform/FlagScope.h"
#include "platform/Messages.h"
#include "shell/About.h"
#include "shell/CorpList.h"
#include "shell/HelpWindow.h"
#include "shell/MainForm.h"
#include "shell/ResultWindows.h"

namespace quenterra {

namespace {

using I = TMenuId;

// The hourglass for the length of a scope.
class TWaitCursor {
 public:
  TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};

TFileDialogRequest WorkspaceDialog(TFileDialogRequest::TMode mode, const char* title,
                                   const std::string& directory) {
  TFileDialogRequest desc;
  desc.mode = mode;
  desc.title = title;
  desc.filter = "Quenterra Workspaces (*.QWS *.qws);;All Files (*)";
  desc.defaultSuffix = "QWS";
  desc.directory = QString::fromStdString(directory);
  return desc;
}

}  // namespace

void TMainForm::Command(int row) {
  try {
    RunCommand(row);
  } catch (const EQuenterra& error) {
    MsgError(error.what());
  }
  CorpusChanged();
}

void TMainForm::Command(const std::function<void()>& run) {
  try {
    run();
  } catch (const EQuenterra& error) {
    MsgError(error.what());
  }
  CorpusChanged();
}

void TMainForm::RunCommand(int row) {
  const TMenuRow& item = MenuTable().at(static_cast<size_t>(row));
  TDesktopSession& session = *session_;
  switch (item.id) {
    case I::kExtractWordPhrase:
      return session.ExtractCommand(false, TSearchKind::kWordPhrase);
    case I::kExtractRegEx:
      return session.ExtractCommand(false, TSearchKind::kRegExp);
    case I::kExtractWordTag:
      return session.ExtractCommand(false, TSearchKind::kWordTag);
    case I::kExtractBatch:
      return session.ExtractCommand(true, TSearchKind::kWordPhrase);
    case I::kConcordance:
      return results_->Commands().Concordance();
    case I::kCollocates:
      return results_->Commands().Collocates();
    case I::kWordList:
      return results_->Commands().WordList();
    case I::kNGram:
      return session.NGramCommand();
    case I::kFullExtractRun:
      return session.FullExtractCommand();
    case I::kCountOptions:
      return session.CountOptionsCommand();
    case I::kConstraints:
      return session.ConstraintsCommand();
    case I::kHelp:
      return ShowHelp(this);
    case I::kAbout: {
      TAboutBox box(this);
      box.exec();
      return;
    }
    default:
      break;
  }
  FileCommand(row);
  ListCommand(row);
  WindowCommand(row);
}

void TMainForm::FileCommand(int row) {
  TDesktopSession& session = *session_;
  switch (MenuTable().at(static_cast<size_t>(row)).id) {
    case I::kLoadCorpus:
      return LoadCorpusCommand();
    case I::kUnloadCorpus:
      return session.Unload();
    case I::kViewCorpus:
      return ViewCorpusCommand();
    case I::kOpenWorkspace:
      return OpenWorkspaceCommand();
    case I::kSaveWorkspace: {
      TWaitCursor wait;
      return session.SaveWorkspaceCommand();
    }
    case I::kSaveWorkspaceAs:
      return SaveWorkspaceAsCommand();
    case I::kSaveOnExit:
      return session.ToggleSaveOnExit();
    case I::kNormalTags:
      return session.NormalTagsCommand();
    case I::kWordTags:
      return session.WordTagsCommand();
    case I::kLanguage:
      return session.LanguageCommand();
    case I::kPrintSetup:
      return CommonDialogs().printSetup(this);
    case I::kExit:
      session.ClearAskOnClose();
      close();
      return;
    default:
      return;
  }
}

void TMainForm::ListCommand(int row) {
  const TMenuRow& item = MenuTable().at(static_cast<size_t>(row));
  TcollocListForm* list = ActiveList();
  if (list == nullptr) return;
  switch (item.id) {
    case I::kExtractSave:
    case I::kFullSave:
      return list->SaveToFile();
    case I::kExtractPrint:
    case I::kFullPrint:
      return PrintCommand();
    case I::kFrequency:
      return list->SetShowFrequency(!list->Facts().view.showFrequency);
    case I::kMutualInformation:
      return list->ToggleScoreMethod(TScoreMethod::kMutualInfo);
    case I::kTScore:
      return list->ToggleScoreMethod(TScoreMethod::kTScore);
    case I::kLogLikelihood:
      return list->ToggleScoreMethod(TScoreMethod::kLogLikelihood);
    case I::kFont:
      return FontCommand();
    case I::kSortItem: {
      TWaitCursor wait;
      return list->SetSort(item.key1, item.key2);
    }
    default:
      return;
  }
}

void TMainForm::WindowCommand(int row) {
  switch (MenuTable().at(static_cast<size_t>(row)).id) {
    case I::kTile:
      return mdi_->tileSubWindows();
    case I::kCascade:
      return mdi_->cascadeSubWindows();
    case I::kArrangeIcons: {
      // Minimised children in a row along the bottom, left to right.
      int left = 0;
      for (QMdiSubWindow* child : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        if (!child->isMinimized()) continue;
        child->move(left, mdi_->viewport()->height() - child->height());
        left += child->width();
      }
      return;
    }
    default:
      return;
  }
}

void TMainForm::LoadCorpusCommand() {
  TFileDialogRequest desc;
  desc.mode = TFileDialogRequest::TMode::kOpenMany;
  desc.title = "Select File(s) to Open";
  desc.filter = "Text Files (*.TXT *.txt);;All Files (*)";
  desc.selectedFilter = "All Files (*)";
  desc.defaultSuffix = "TXT";
  desc.directory = QString::fromStdString(session_->Corpus().LastCorpusDir());
  const QStringList chosen = CommonDialogs().chooseFiles(this, desc);
  if (chosen.isEmpty()) return;
  std::vector<std::string> names;
  for (const QString& name : chosen) names.push_back(name.toStdString());
  session_->LoadFiles(names);
}

void TMainForm::OpenWorkspaceCommand() {
  const QString name =
      ChooseOneFile(this, WorkspaceDialog(TFileDialogRequest::TMode::kOpen,
                                          "Select Workspace to Open", session_->WorkspacePath()));
  if (!name.isEmpty()) session_->OpenWorkspaceFile(name.toStdString());
}

void TMainForm::SaveWorkspaceAsCommand() {
  const QString name =
      ChooseOneFile(this, WorkspaceDialog(TFileDialogRequest::TMode::kSave, "Save Workspace As",
                                          session_->WorkspacePath()));
  if (name.isEmpty()) return;
  TWaitCursor wait;
  session_->SaveWorkspaceAsCommand(name.toStdString());
}

void TMainForm::ViewCorpusCommand() {
  corpList_->setWindowTitle(TCorporaListDlg::kViewCaption);
  corpList_->show();
  corpList_->raise();
}

void TMainForm::FontCommand() {
  TcollocListForm* active = ActiveList();
  if (active == nullptr || !active->ChooseFont()) return;
  for (TcollocListForm* list : ListWindows()) list->ApplyFonts();
}

void TMainForm::PrintCommand() {
  TcollocListForm* list = ActiveList();
  if (list == nullptr) return;
  TFlagScope printing(session_->Printing());
  UpdateMenus();
  list->Print();
}

}  // namespace quenterra
