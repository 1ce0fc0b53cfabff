#include "engine/ui/CollocListModel.h"

namespace quenterra {

TCollocListModel::TCollocListModel(const TCollocationList& list, const TListView& view,
                                   QObject* parent)
    : QAbstractTableModel(parent), list_(list), view_(view), columns_(ShownColumns(view)) {}

int TCollocListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : list_.Count();
}

int TCollocListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TCollocListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= list_.Count()) return {};
  const TListColumn column = Column(index.column());
  if (role == Qt::TextAlignmentRole) {
    const bool numeric = column != TListColumn::kText;
    return static_cast<int>((numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole) return {};
  const std::string cell = CellText(list_, index.row(), column, view_);
  if (column != TListColumn::kText) return QString::fromStdString(cell);
  return QString::fromStdString(list_.Tables().ToUtf8(cell));
}

QVariant TCollocListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  if (role == Qt::TextAlignmentRole) return static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  return QString::fromStdString(ColumnTitle(Column(section), view_));
}

void TCollocListModel::Reset(const TListView& view) {
  beginResetModel();
  view_ = view;
  columns_ = ShownColumns(view);
  endResetModel();
}

void TCollocListModel::Reordered() {
  if (rowCount() == 0) return;
  emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

}  // namespace quenterra
