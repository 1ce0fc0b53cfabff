#include "shell/MainMenus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "desktop/MenuTable.h"

namespace quenterra {

TMainMenus::TMainMenus(QMenuBar* bar, std::function<void(int row)> triggered) : QObject(bar) {
  const std::vector<TMenuRow>& table = MenuTable();
  actions_.resize(table.size(), nullptr);
  menus_.resize(table.size(), nullptr);
  for (size_t i = 0; i < table.size(); ++i) {
    const TMenuRow& row = table[i];
    QMenu* parent = row.parent < 0 ? nullptr : menus_[static_cast<size_t>(row.parent)];
    QAction* action = nullptr;
    if (row.kind == TMenuKind::kMenu) {
      QMenu* menu = parent ? parent->addMenu(row.caption) : bar->addMenu(row.caption);
      menu->setObjectName(row.name);
      menus_[i] = menu;
      action = menu->menuAction();
    } else if (row.kind == TMenuKind::kSeparator) {
      action = parent->addSeparator();
    } else {
      action = parent->addAction(row.caption);
      if (*row.shortcut != '\0') action->setShortcut(QKeySequence(row.shortcut));
      const int index = static_cast<int>(i);
      connect(action, &QAction::triggered, this, [triggered, index] { triggered(index); });
    }
    action->setObjectName(row.name);
    action->setStatusTip(row.hint);
    actions_[i] = action;
  }
  for (size_t i = 0; i < table.size(); ++i) {
    if (table[i].id == TMenuId::kSaveOnExit) actions_[i]->setCheckable(true);
    const TMenuId id = table[i].id;
    if (id == TMenuId::kFrequency || id == TMenuId::kMutualInformation || id == TMenuId::kTScore ||
        id == TMenuId::kLogLikelihood)
      actions_[i]->setCheckable(true);
  }
  applied_ = InitialMenuStates();
}

void TMainMenus::Apply(const std::vector<TItemState>& states) {
  for (size_t i = 0; i < states.size() && i < actions_.size(); ++i) {
    const TItemState& state = states[i];
    if (state == applied_[i]) continue;
    QAction* action = actions_[i];
    action->setVisible(state.visible);
    action->setEnabled(state.enabled);
    if (action->isCheckable()) action->setChecked(state.checked);
    applied_[i] = state;
  }
}

}  // namespace quenterra
