#include "engine/ui/ListGrid.h"

#include <QHeaderView>
#include <QTableView>

namespace quenterra {

void SetUpListGrid(QTableView& grid) {
  grid.setObjectName("Grid");
  grid.setSelectionBehavior(QAbstractItemView::SelectRows);
  grid.setSelectionMode(QAbstractItemView::SingleSelection);
  grid.setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid.setWordWrap(false);
  grid.verticalHeader()->hide();
  grid.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid.horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  grid.horizontalHeader()->setHighlightSections(false);
}

}  // namespace quenterra
