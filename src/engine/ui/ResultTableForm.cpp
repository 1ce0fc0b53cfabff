#include "engine/ui/ResultTableForm.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include "engine/ResultTables.h"
#include "engine/ui/CommonDialogs.h"
#include "engine/ui/Fonts.h"
#include "engine/ui/ListGrid.h"
#include "platform/Errors.h"
#include "platform/Messages.h"
#include "platform/NumberFormat.h"

namespace quenterra {

namespace {

constexpr int kMaxWindowContext = 50;  // words each side the window offers
constexpr char kNodeKey[] = "node";    // the concordance's node column, shown in bold
constexpr int kGridPadding = 4;        // the grid's lines and frame

// Elides a left context at its start, so that the words next to the node stay in sight.
class TLeftContextDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->textElideMode = Qt::ElideLeft;
  }
};

}  // namespace

// The grid's rows: the shown cells of a snapshot, decoded when painted.
class TResultTableModel : public QAbstractTableModel {
 public:
  TResultTableModel(const TResultTable& table, QObject* parent)
      : QAbstractTableModel(parent), table_(table) {}

  void Reset(std::vector<TTableColumn> columns, std::vector<std::vector<std::string>> cells) {
    beginResetModel();
    columns_ = std::move(columns);
    cells_ = std::move(cells);
    endResetModel();
  }
  void SetBoldFont(const QFont& font) { bold_ = font; }

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(cells_.size());
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    const TTableColumn& column = columns_[static_cast<size_t>(index.column())];
    if (role == Qt::DisplayRole) {
      const std::string& cell =
          cells_[static_cast<size_t>(index.row())][static_cast<size_t>(index.column())];
      return QString::fromStdString(table_.Tables().ToUtf8(cell));
    }
    if (role == Qt::TextAlignmentRole) {
      const bool right = column.alignRight || column.kind != TCellKind::kText;
      return QVariant::fromValue(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role == Qt::FontRole && column.key == kNodeKey) return bold_;
    return {};
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return QString::fromStdString(columns_[static_cast<size_t>(section)].title);
  }

 private:
  const TResultTable& table_;
  std::vector<TTableColumn> columns_;
  std::vector<std::vector<std::string>> cells_;
  QFont bold_;
};

TResultTableForm::TResultTableForm(std::unique_ptr<TResultTable> table,
                                   const TProgramSettings& settings, QWidget* parent)
    : QWidget(parent),
      table_(std::move(table)),
      settings_(settings),
      grid_(new QTableView(this)),
      model_(new TResultTableModel(*table_, this)) {
  setWindowTitle(QString::fromStdString(table_->Tables().ToUtf8(table_->Title())));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(MakeBar());
  layout->addWidget(grid_);
  grid_->setModel(model_);
  SetUpListGrid(*grid_);
  if (contextBox_ != nullptr) {
    grid_->setItemDelegateForColumn(2, new TLeftContextDelegate(grid_));
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  }
  connect(grid_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    if (rowActivated && index.isValid()) rowActivated(index.row());
  });
  resize(629, 447);
  ApplyFonts();
  Refresh();
}

TResultTableForm::~TResultTableForm() = default;

QWidget* TResultTableForm::MakeBar() {
  bar_ = new QWidget(this);
  auto* row = new QHBoxLayout(bar_);
  row->setContentsMargins(4, 2, 4, 2);
  row->addWidget(new QLabel("Sort:", bar_));
  sortBox_ = new QComboBox(bar_);
  sortBox_->setObjectName("SortBox");
  for (const std::string& name : table_->SortNames()) {
    sortBox_->addItem(QString::fromStdString(name));
  }
  connect(sortBox_, &QComboBox::activated, this, [this](int order) { SortBy(order); });
  row->addWidget(sortBox_);
  if (auto* concordance = dynamic_cast<TConcordanceTable*>(table_.get())) {
    row->addWidget(new QLabel("Context (words):", bar_));
    contextBox_ = new QSpinBox(bar_);
    contextBox_->setObjectName("ContextBox");
    contextBox_->setRange(0, kMaxWindowContext);
    contextBox_->setValue(concordance->View().context);
    row->addWidget(contextBox_);
    tagsBox_ = new QCheckBox("Tags", bar_);
    tagsBox_->setObjectName("TagsBox");
    tagsBox_->setEnabled(settings_.config.WordTag != 0);
    row->addWidget(tagsBox_);
    auto apply = [this] { SetContext(contextBox_->value(), tagsBox_->isChecked()); };
    connect(contextBox_, &QSpinBox::valueChanged, this, apply);
    connect(tagsBox_, &QCheckBox::toggled, this, apply);
  }
  row->addStretch(1);
  saveButton_ = new QPushButton("&Save...", bar_);
  connect(saveButton_, &QPushButton::clicked, this, [this] { SaveToFile(); });
  row->addWidget(saveButton_);
  return bar_;
}

void TResultTableForm::SetBusy(bool busy) { bar_->setEnabled(!busy); }

void TResultTableForm::SortBy(int order) {
  if (order < 0 || order >= static_cast<int>(table_->SortNames().size())) return;
  sortBox_->setCurrentIndex(order);
  table_->SortBy(order);
  Refresh();
}

void TResultTableForm::SetContext(int words, bool showTags) {
  auto* concordance = dynamic_cast<TConcordanceTable*>(table_.get());
  if (concordance == nullptr) return;
  TConcordanceView view = concordance->View();
  view.context = words;
  view.showTags = showTags && settings_.config.WordTag != 0;
  concordance->SetView(view);
  Refresh();
}

void TResultTableForm::Refresh() {
  const std::vector<TTableColumn> all = table_->Columns();
  std::vector<TTableColumn> shown;
  for (int c : ShownColumns(*table_)) shown.push_back(all[static_cast<size_t>(c)]);
  model_->Reset(std::move(shown), ShownCells(*table_, NumberFormat().decimalSeparator));
  LayoutColumns();
}

void TResultTableForm::LayoutColumns() {
  grid_->resizeColumnsToContents();
  if (contextBox_ == nullptr) return;
  // A concordance centres its nodes: the two contexts share what the other columns leave.
  const int left = 2, right = 4;  // the columns around the node
  int others = kGridPadding;
  for (int c = 0; c < model_->columnCount({}); ++c) {
    if (c != left && c != right) others += grid_->columnWidth(c);
  }
  const int side = std::max((grid_->viewport()->width() - others) / 2, 40);
  grid_->setColumnWidth(left, side);
  grid_->setColumnWidth(right, side);
}

void TResultTableForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (contextBox_ != nullptr) LayoutColumns();
}

void TResultTableForm::SaveToFile() {
  const QString name = ChooseOneFile(this, SaveListDialog("Choose file to save the list"));
  if (name.isEmpty()) return;
  try {
    SaveTableToFile(name.toStdString(), *table_);
  } catch (const EQuenterra& error) {
    MsgError(error.what());
  }
}

void TResultTableForm::ApplyFonts() {
  const QFont font = FontFromChoice(settings_.config.NormalFont);
  grid_->setFont(font);
  QFont bold = font;
  bold.setBold(true);
  model_->SetBoldFont(bold);
  grid_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 2);
  LayoutColumns();
}

}  // namespace quenterra
