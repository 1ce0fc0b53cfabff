#include "shell/ResultWindows.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>

#include "engine/ui/CollocListForm.h"
#include "engine/ui/ResultTableForm.h"
#include "shell/MainForm.h"

namespace quenterra {

namespace {

constexpr char kConcordanceAction[] = "&Concordance";

// A context-menu command on a grid's current row.
void AddRowAction(QTableView* grid, const std::function<void(int row)>& run) {
  grid->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* action = new QAction(kConcordanceAction, grid);
  QObject::connect(action, &QAction::triggered, grid, [grid, run] {
    const QModelIndex current = grid->currentIndex();
    if (current.isValid()) run(current.row());
  });
  grid->addAction(action);
}

}  // namespace

TResultWindows::TResultWindows(TMainForm& form)
    : form_(form),
      commands_(form.Session(), form, [this](std::unique_ptr<TResultTable> table, int order) {
        Show(std::move(table), order);
      }) {}

std::vector<TResultTableForm*> TResultWindows::Windows() const {
  std::vector<TResultTableForm*> windows;
  for (QMdiSubWindow* child : form_.MdiArea()->subWindowList(QMdiArea::CreationOrder)) {
    if (auto* window = qobject_cast<TResultTableForm*>(child->widget())) windows.push_back(window);
  }
  return windows;
}

void TResultWindows::Show(std::unique_ptr<TResultTable> table, int order) {
  const bool concordance = dynamic_cast<TConcordanceTable*>(table.get()) != nullptr;
  auto* window = new TResultTableForm(std::move(table), form_.Session().Settings());
  if (concordance) {
    window->rowActivated = [this, window](int row) {
      auto& lines = static_cast<TConcordanceTable&>(window->Table()).Concordance();
      const TConcordanceLine& line = lines.Line(row);
      form_.ShowTextAt(line.file, line.first, line.last);
    };
  }
  if (order != 0) window->SortBy(order);
  if (dynamic_cast<TWordListTable*>(&window->Table()) != nullptr) AddWordConcordance(window);
  QMdiSubWindow* child = form_.MdiArea()->addSubWindow(window);
  child->setAttribute(Qt::WA_DeleteOnClose);
  child->resize(629, 447);
  child->show();
  form_.MdiArea()->setActiveSubWindow(child);
}

void TResultWindows::AddWordConcordance(TResultTableForm* window) {
  AddRowAction(window->Grid(), [this, window](int row) {
    const TWordList& list = static_cast<TWordListTable&>(window->Table()).List();
    form_.Command([&] {
      commands_.ConcordanceOf(commands_.WordRequest(list.WordText(row), list.TagText(row)));
    });
  });
}

void TResultWindows::AddItemConcordance(TcollocListForm* list) {
  AddRowAction(list->Grid(), [this, list](int row) {
    form_.Command([&] { commands_.ConcordanceOf(commands_.ItemRequest(list->List(), row)); });
  });
}

void TResultWindows::SetBusy(bool busy) {
  for (TResultTableForm* window : Windows()) window->SetBusy(busy);
}

void TResultWindows::CloseAll() {
  std::vector<TResultTableForm*> windows = Windows();
  for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
    delete (*window)->parentWidget();  // the sub-window, and the window with it
  }
}

}  // namespace quenterra
