#include "shell/MainForm.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>

#include "config/Workspace.h"
#include "desktop/MenuTable.h"
#include "engine/ui/CollocListForm.h"
#include "platform/Errors.h"
#include "platform/Messages.h"
#include "shell/CorpList.h"
#include "shell/CorpusWatcher.h"
#include "shell/GuiThread.h"
#include "shell/MainMenus.h"
#include "shell/ProgramDialogs.h"
#include "shell/ResultWindows.h"

namespace quenterra {

namespace {

constexpr int kStartWidth = 783;
constexpr int kStartHeight = 540;
constexpr int kInfoPanelWidth = 176;
constexpr int kInfoPanelPadding = 8;

}  // namespace

TMainForm::TMainForm(std::vector<std::string> args, TConfigLocations where, QWidget* parent)
    : QMainWindow(parent),
      args_(std::move(args)),
      session_(std::make_unique<TDesktopSession>(*this, std::move(where))),
      watcher_(std::make_unique<TCorpusWatcher>(*this)),
      mdi_(new QMdiArea(this)) {
  setObjectName("TMainForm");
  setWindowTitle(kProgramTitle);
  setAcceptDrops(true);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  session_->Dialogs() = ProgramDialogs(*this);
  menus_ = new TMainMenus(menuBar(), [this](int row) { Command(row); });
  corpList_ = new TCorporaListDlg(
      *session_, [this](int file) { ShowFile(file); }, this);
  BuildStatusBar();
  results_ = std::make_unique<TResultWindows>(*this);
  session_->Corpus().SetObserver(watcher_.get());
  menuStates_ = InitialMenuStates();
  resize(kStartWidth, kStartHeight);
  if (QScreen* screen = QApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  const int windowMenu = MenuRowOf(TMenuId::kWindow);
  connect(menus_->Menu(windowMenu), &QMenu::aboutToShow, this, [this, windowMenu] {
    QMenu* menu = menus_->Menu(windowMenu);
    for (QAction* action : menu->actions()) {
      if (action->property("childWindow").isValid()) delete action;
    }
    for (QMdiSubWindow* child : mdi_->subWindowList()) {
      QAction* action = menu->addAction(child->windowTitle());
      action->setProperty("childWindow", true);
      action->setCheckable(true);
      action->setChecked(child == mdi_->activeSubWindow());
      connect(action, &QAction::triggered, child,
              [this, child] { mdi_->setActiveSubWindow(child); });
    }
  });
  connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
          &TMainForm::UpdateMenus);
  UpdateMenus();
  UpdateStatusHint();
}

TMainForm::~TMainForm() {
  session_->Corpus().SetObserver(nullptr);
  CloseChildWindows();
}

void TMainForm::BuildStatusBar() {
  hintWindow_ = new QLabel(this);
  hintWindow_->setObjectName("HintWindow");
  hintWindow_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  corpusInfoWindow_ = new QLabel(this);
  corpusInfoWindow_->setObjectName("CorpusInfoWindow");
  corpusInfoWindow_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  corpusInfoWindow_->setFixedWidth(kInfoPanelWidth);
  statusBar()->addWidget(hintWindow_, 1);
  statusBar()->addPermanentWidget(corpusInfoWindow_);
  statusBar()->setSizeGripEnabled(true);
}

// ---- Start and close --------------------------------------------------------------------------

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (started_) return;
  started_ = true;
  // The first activation runs once the window is on the screen.
  QTimer::singleShot(0, this, &TMainForm::Start);
}

void TMainForm::Start() {
  try {
    session_->Start(args_);
  } catch (const EQuenterra& error) {
    MsgError(error.what());
  }
  CorpusChanged();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!session_->CloseQuery()) {
    event->ignore();
    return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  session_->SaveAtClose();
  QApplication::restoreOverrideCursor();
  corpList_->hide();
  session_->Unload();
  closing_ = true;
  event->accept();
}

// ---- Child windows ----------------------------------------------------------------------------

TcollocListForm* TMainForm::ActiveList() const {
  QMdiSubWindow* active = mdi_->activeSubWindow();
  return active ? qobject_cast<TcollocListForm*>(active->widget()) : nullptr;
}

std::vector<TcollocListForm*> TMainForm::ListWindows() const {
  std::vector<TcollocListForm*> lists;
  for (QMdiSubWindow* child : mdi_->subWindowList(QMdiArea::CreationOrder)) {
    if (auto* list = qobject_cast<TcollocListForm*>(child->widget())) lists.push_back(list);
  }
  return lists;
}

void TMainForm::ShowList(std::unique_ptr<TCollocationList> list, const TListWindowSetup& desc) {
  auto* form = new TcollocListForm(std::move(list), desc, session_->Settings(),
                                   [this] { return session_->CorpusWords(); });
  connect(form, &TcollocListForm::ItemActivated, this,
          [this, form](int row) { ShowItemText(*form, row); });
  QMdiSubWindow* child = mdi_->addSubWindow(form);
  child->setAttribute(Qt::WA_DeleteOnClose);
  child->resize(629, 447);
  child->show();
  mdi_->setActiveSubWindow(child);
  results_->AddItemConcordance(form);
}

void TMainForm::CloseChildWindows() {
  // Destroyed at once, without being asked to close; each takes its list with it.
  while (!mdi_->subWindowList().isEmpty()) delete mdi_->subWindowList().front();
}

void TMainForm::CloseListWindows() {
  QList<QMdiSubWindow*> children = mdi_->subWindowList(QMdiArea::CreationOrder);
  for (auto child = children.rbegin(); child != children.rend(); ++child) {
    if (qobject_cast<TcollocListForm*>((*child)->widget())) delete *child;
  }
  results_->CloseAll();
}

// ---- Menus and status -------------------------------------------------------------------------

TMenuState TMainForm::CurrentMenuState() const {
  TMenuState state = session_->MenuState();
  state.childCount = static_cast<int>(mdi_->subWindowList().size());
  if (TcollocListForm* list = ActiveList()) state.activeList = list->Facts();
  return state;
}

void TMainForm::UpdateMenus() {
  TMenuState state = workerMenuState_;
  if (!session_->WorkerRunning()) {
    state = CurrentMenuState();
  } else {
    state.childCount = static_cast<int>(mdi_->subWindowList().size());
    state.activeList.reset();
    if (TcollocListForm* list = ActiveList()) state.activeList = list->Facts();
  }
  quenterra::UpdateMenus(state, menuStates_);
  menus_->Apply(menuStates_);
  MergeTextMenu();
  results_->SetBusy(state.busy);
}

void TMainForm::UpdateStatusHint(const QString& menuHint) {
  if (session_->WorkerRunning() && menuHint.isEmpty()) return;  // the corpus is changing
  hintWindow_->setText(QString::fromStdString(session_->StatusHint(menuHint.toStdString())));
}

void TMainForm::CorpusChanged() {
  UpdateMenus();
  UpdateStatusHint();
  if (corpList_->isVisible()) corpList_->Refresh();
}

void TMainForm::SetCorpusInfo(const std::string& text) {
  const QString shown = QString::fromStdString(text);
  corpusInfoWindow_->setText(shown);
  const int width = QFontMetrics(corpusInfoWindow_->font()).horizontalAdvance(shown);
  corpusInfoWindow_->setFixedWidth(
      std::max(width + kInfoPanelPadding + 2 * corpusInfoWindow_->frameWidth(), 8));
  UpdateStatusHint();
}

bool TMainForm::event(QEvent* event) {
  // Menu hints go to the hint panel instead of replacing the whole status bar.
  if (event->type() == QEvent::StatusTip) {
    UpdateStatusHint(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

void TMainForm::TitleChanged(const std::string& title) {
  setWindowTitle(QString::fromStdString(title));
}

// ---- Long work --------------------------------------------------------------------------------

void TMainForm::RunLong(const std::function<void()>& work, bool changesIndex) {
  workerMenuState_ = CurrentMenuState();
  workerMenuState_.busy = true;
  UpdateMenus();
  // While the index changes, no list may paint from it; text windows read only their files.
  std::vector<QPointer<TcollocListForm>> stopped;
  if (changesIndex) {
    for (TcollocListForm* list : ListWindows()) {
      list->setUpdatesEnabled(false);
      stopped.emplace_back(list);
    }
  }
  auto restart = [&stopped] {
    for (const QPointer<TcollocListForm>& list : stopped) {
      if (!list.isNull()) list->setUpdatesEnabled(true);
    }
  };
  try {
    RunOnWorker(work);
  } catch (...) {
    restart();
    throw;
  }
  restart();
}

// ---- Dropped files ----------------------------------------------------------------------------

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() && !session_->Busy()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
  std::vector<std::string> names;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) names.push_back(url.toLocalFile().toStdString());
  }
  if (names.empty()) return;
  event->acceptProposedAction();
  // Opened once the drop has ended, so that the source is not kept waiting.
  QTimer::singleShot(0, this, [this, names] { OpenDropped(names); });
}

void TMainForm::OpenDropped(const std::vector<std::string>& names) {
  try {
    if (IsWorkspaceFileName(names.front())) {
      session_->OpenWorkspaceFile(names.front());
    } else {
      session_->LoadFiles(names);
    }
  } catch (const EQuenterra& error) {
    MsgError(error.what());
  }
  CorpusChanged();
}

}  // namespace quenterra
