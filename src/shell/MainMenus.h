// The main window's menu bar, built from the menu table (desktop/MenuTable.h): one QAction or
// QMenu per row, named after the row's design name, with its caption, shortcut and hint. The
// rules' states are applied to them; a triggered item reports its row.
#pragma once

#include <QObject>
#include <functional>
#include <vector>

#include "desktop/MenuRules.h"

class QAction;
class QMenu;
class QMenuBar;

namespace quenterra {

class TMainMenus : public QObject {
  Q_OBJECT

 public:
  // Fills bar, which owns the menus; triggered(row) is called for every item chosen.
  TMainMenus(QMenuBar* bar, std::function<void(int row)> triggered);

  // Sets visibility, enabling and check marks where they differ from the rows' states.
  void Apply(const std::vector<TItemState>& states);
  QAction* Action(int row) const { return actions_.at(static_cast<size_t>(row)); }
  QMenu* Menu(int row) const { return menus_.at(static_cast<size_t>(row)); }

 private:
  std::vector<QAction*> actions_;  // by row: the item, or the submenu's action
  std::vector<QMenu*> menus_;      // by row: the menu of a menu row, else null
  std::vector<TItemState> applied_;
};

}  // namespace quenterra
