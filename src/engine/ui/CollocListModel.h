// The grid's model over a collocation list: cells are made on demand for the rows the view
// paints, from the list's items in their current order, so the window keeps no copy of the
// texts. Row r is item r; the column titles are the header.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "engine/ListFormat.h"
#include "engine/collocList.h"

namespace quenterra {

class TCollocListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // list is not owned and must outlive the model.
  TCollocListModel(const TCollocationList& list, const TListView& view, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  const TListView& View() const { return view_; }
  TListColumn Column(int column) const { return columns_.at(static_cast<size_t>(column)); }
  // The shown columns changed: the view reads everything again.
  void Reset(const TListView& view);
  // The items took a new order: the cells are read again, the rows and columns stay.
  void Reordered();

 private:
  const TCollocationList& list_;
  TListView view_;
  std::vector<TListColumn> columns_;
};

}  // namespace quenterra
