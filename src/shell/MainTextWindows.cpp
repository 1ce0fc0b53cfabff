// The main window's corpus text windows: finding, showing and closing them, merging the active
// one's menu into the menu bar, printing one, and opening one at a list item's first place.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include "desktop/ItemLocation.h"
#include "desktop/MenuTable.h"
#include "desktop/TextWindowRules.h"
#include "engine/PrintLayout.h"
#include "engine/ui/CollocListForm.h"
#include "engine/ui/CommonDialogs.h"
#include "platform/Errors.h"
#include "platform/FlagScope.h"
#include "platform/Messages.h"
#include "shell/FullText.h"
#include "shell/MainForm.h"
#include "shell/MainMenus.h"
#include "shell/TextPrinter.h"

namespace quenterra {

namespace {

std::string BaseName(const std::string& fileName) {
  const size_t slash = fileName.find_last_of('/');
  return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

QMdiSubWindow* FrameOf(QWidget* form) { return qobject_cast<QMdiSubWindow*>(form->parentWidget()); }

}  // namespace

std::vector<TFullTextForm*> TMainForm::TextWindows() const {
  std::vector<TFullTextForm*> windows;
  for (QMdiSubWindow* child : mdi_->subWindowList(QMdiArea::CreationOrder)) {
    if (auto* text = qobject_cast<TFullTextForm*>(child->widget())) windows.push_back(text);
  }
  return windows;
}

TFullTextForm* TMainForm::FindTextWindow(const std::string& fileName) const {
  for (TFullTextForm* window : TextWindows()) {
    if (window->FileName() == fileName) return window;
  }
  return nullptr;
}

TFullTextForm* TMainForm::ShowFile(int fileNumber) {
  const TCorpus& corpus = session_->Corpus();
  if (fileNumber < 0 || fileNumber >= corpus.FileCount()) return nullptr;
  const TCorpusFile& file = corpus.File(fileNumber);
  TFullTextForm* window = FindTextWindow(file.name);
  if (window == nullptr) {
    auto form = std::make_unique<TFullTextForm>(session_->Settings());
    try {
      form->OpenFile(file.name, *file.stream);
    } catch (const EQuenterra& error) {
      MsgError(error.what());  // no line table: the file stays in the corpus without a window
      return nullptr;
    }
    window = form.release();
    QMdiSubWindow* child = mdi_->addSubWindow(window);
    child->setAttribute(Qt::WA_DeleteOnClose);
    child->resize(TFullTextForm::kWidth, TFullTextForm::kHeight);
    connect(window, &TFullTextForm::HideAllRequested, this, &TMainForm::CloseTextWindows);
    connect(window, &TFullTextForm::PrintRequested, this, [this, window] { PrintText(*window); });
  }
  QMdiSubWindow* child = FrameOf(window);
  child->showNormal();
  mdi_->setActiveSubWindow(child);
  child->raise();
  MergeTextMenu();
  return window;
}

void TMainForm::CloseTextWindowOf(int fileNumber) {
  const TCorpus& corpus = session_->Corpus();
  if (fileNumber < 0 || fileNumber >= corpus.FileCount()) return;
  if (TFullTextForm* window = FindTextWindow(corpus.File(fileNumber).name)) delete FrameOf(window);
}

void TMainForm::CloseTextWindows() {
  for (TFullTextForm* window : TextWindows()) FrameOf(window)->close();
}

// The Corpus Text menu stands between File and Extract while a text window is the current child.
void TMainForm::MergeTextMenu() {
  QMdiSubWindow* current = mdi_->currentSubWindow();
  auto* text = current ? qobject_cast<TFullTextForm*>(current->widget()) : nullptr;
  QAction* wanted = text ? text->Menu()->menuAction() : nullptr;
  if (text) text->Menu()->findChild<QAction*>("TMT_Print")->setEnabled(!session_->Busy());
  if (wanted == mergedMenu_) return;
  // A closed window's menu has left the bar with it.
  if (!mergedMenu_.isNull()) menuBar()->removeAction(mergedMenu_);
  mergedMenu_ = wanted;
  if (wanted != nullptr)
    menuBar()->insertAction(menus_->Action(MenuRowOf(TMenuId::kExtract)), wanted);
}

// ---- Printing ---------------------------------------------------------------------------------

void TMainForm::PrintText(TFullTextForm& window) {
  const std::string question = PrintQuestion(window.LineCount());
  if (!question.empty() && !MsgConfirm(question, true)) return;
  if (window.Stream() == nullptr || FindTextWindow(window.FileName()) != &window) return;
  const std::vector<std::string> names = session_->Corpus().FileNames();
  if (std::find(names.begin(), names.end(), window.FileName()) == names.end()) return;
  TPrinterChoice choice = CommonDialogs().choosePrinter(this);
  if (choice.noPrinters) MsgError(kNoPrintersMessage);
  if (choice.printer == nullptr) return;
  choice.printer->setDocName(QString::fromStdString("Quenterra - " + window.FileName()));
  TFlagScope printing(session_->Printing());
  window.SetPrinting(true);
  const std::unique_ptr<TFullTextForm, void (*)(TFullTextForm*)> printed(
      &window, [](TFullTextForm* form) { form->SetPrinting(false); });
  UpdateMenus();
  {
    std::unique_ptr<TProgress> progress = ShowProgress(TProgressKind::kCancel, "Printing Progress");
    progress->SetLabel("Printing " + BaseName(window.FileName()) + "...");
    progress->ProcessMessages();
    TPrinterChannel channel(*choice.printer, session_->Settings().tables);
    if (channel.Active() && TTextPrint(*window.Stream(), channel, *progress).Run().cancelled)
      channel.Abort();
  }
}

// ---- From a list item to its text -------------------------------------------------------------

void TMainForm::ShowItemText(TcollocListForm& list, int row) {
  TTextIndex* index = session_->Corpus().Index();
  if (index == nullptr || session_->WorkerRunning() || row < 0 || row >= list.List().Count())
    return;
  const ZuzadovUdirev& config = session_->Settings().config;
  TItemSearch search;
  search.kinds = config.SkipNormalTags ? kWordKinds : kTextKinds;
  search.tagBefore = config.WordTag == 2 && config.wTagBefore;
  try {
    std::optional<TItemLocation> location = LocateItem(*index, list.List(), row, search);
    if (!location) return;
    if (TFullTextForm* window = ShowFile(location->file)) window->ShowBytes(location->words);
  } catch (const EQuenterra& error) {
    MsgError(error.what());  // a damaged index
  }
}

void TMainForm::ShowTextAt(int fileNumber, int32_t first, int32_t last) {
  TTextIndex* index = session_->Corpus().Index();
  if (index == nullptr || session_->WorkerRunning() || first < 0 || last < first ||
      last >= index->SequenceCount() || index->FileOf(first) != fileNumber)
    return;
  try {
    std::vector<TByteSpan> node;
    for (int32_t at = first; at <= last; ++at) {
      const int64_t begin = index->FileOffsetAt(at);
      node.push_back({begin, begin + index->GetToken(index->TokenAt(at)).length});
    }
    if (TFullTextForm* window = ShowFile(fileNumber)) window->ShowBytes(node);
  } catch (const EQuenterra& error) {
    MsgError(error.what());  // a damaged index
  }
}

}  // namespace quenterra
