#include "engine/ui/CollocListForm.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

#include "engine/ui/CollocListModel.h"
#include "engine/ui/CommonDialogs.h"
#include "engine/ui/Fonts.h"
#include "engine/ui/ListGrid.h"
#include "engine/ui/ListPrinter.h"
#include "platform/Errors.h"
#include "platform/Messages.h"

namespace quenterra {

namespace {

constexpr char kFrequencyWidthText[] = "1000000";
constexpr char kScoreWidthText[] = "-00.0000000";
// Room the grid's cell drawing keeps on both sides of a text.
constexpr int kCellPadding = 8;

}  // namespace

TcollocListForm::TcollocListForm(std::unique_ptr<TCollocationList> list,
                                 const TListWindowSetup& desc, TProgramSettings& settings,
                                 std::function<int64_t()> corpusWords, QWidget* parent)
    : QWidget(parent),
      list_(std::move(list)),
      desc_(desc),
      settings_(settings),
      corpusWords_(std::move(corpusWords)),
      view_{true, list_->ScoreMethod()},
      grid_(new QTableView(this)),
      model_(new TCollocListModel(*list_, view_, this)) {
  setWindowTitle(QString::fromStdString(settings_.tables.ToUtf8(desc.caption)));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(grid_);
  grid_->setModel(model_);
  SetUpListGrid(*grid_);
  grid_->setCornerButtonEnabled(false);
  grid_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  // The text column follows the grid's width, which its layout sets after this window's resize.
  grid_->viewport()->installEventFilter(this);
  connect(grid_, &QTableView::doubleClicked, this,
          [this](const QModelIndex& index) { emit ItemActivated(index.row()); });
  resize(629, 447);
  ApplyFonts();
}

TcollocListForm::~TcollocListForm() = default;

TListWindowFacts TcollocListForm::Facts() const {
  return {desc_.tagged == 2, desc_.isNGramList, view_, list_->WordCount()};
}

void TcollocListForm::SetSort(TCollocSortKey key1, TCollocSortKey key2) {
  if (!SortCommandAvailable({key1, key2}, Facts())) return;
  list_->Sort(key1, key2);
  model_->Reordered();
}

void TcollocListForm::SetShowFrequency(bool show) {
  if (view_.showFrequency == show) return;
  view_.showFrequency = show;
  model_->Reset(view_);
  LayoutColumns();
}

void TcollocListForm::ToggleScoreMethod(TScoreMethod method) {
  if (!ScoreMethodOffered(method, list_->WordCount())) return;
  if (quenterra::ToggleScoreMethod(*list_, view_, method, corpusWords_())) {
    model_->Reset(view_);
    LayoutColumns();
  }
}

bool TcollocListForm::ChooseFont() {
  QFont font = FontFromChoice(settings_.config.NormalFont);
  if (!CommonDialogs().chooseFont(this, font)) return false;
  settings_.config.NormalFont = ChoiceFromFont(font, settings_.config.NormalFont);
  ApplyFonts();
  return true;
}

void TcollocListForm::ApplyFonts() {
  const QFont font = FontFromChoice(settings_.config.NormalFont);
  grid_->setFont(font);
  QPalette palette = grid_->palette();
  palette.setColor(QPalette::Text, ColorFromChoice(settings_.config.NormalFont));
  grid_->setPalette(palette);
  grid_->verticalHeader()->setMinimumSectionSize(1);
  grid_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 2);
  LayoutColumns();
}

void TcollocListForm::LayoutColumns() {
  const QFontMetrics metrics(grid_->font());
  const int grid = grid_->showGrid() ? 1 : 0;
  int rest = grid_->viewport()->width() - 2;
  for (int column = 0; column < model_->columnCount(); ++column) {
    const TListColumn kind = model_->Column(column);
    if (kind == TListColumn::kText) {
      grid_->setColumnWidth(column, std::max(rest, 40));
      continue;
    }
    const char* sample = kind == TListColumn::kFrequency ? kFrequencyWidthText : kScoreWidthText;
    const int width = metrics.horizontalAdvance(sample) + kCellPadding;
    grid_->setColumnWidth(column, width);
    rest -= width + grid;
  }
}

std::vector<int> TcollocListForm::ColumnWidths() const {
  std::vector<int> widths;
  for (int column = 0; column < model_->columnCount(); ++column)
    widths.push_back(grid_->columnWidth(column));
  return widths;
}

bool TcollocListForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == grid_->viewport() && event->type() == QEvent::Resize) LayoutColumns();
  return QWidget::eventFilter(watched, event);
}

void TcollocListForm::SaveToFile() {
  const QString name = ChooseOneFile(this, SaveListDialog("Choose file to save collocations"));
  if (name.isEmpty()) return;
  try {
    SaveListToFile(name.toStdString(), *list_, view_);
  } catch (const EQuenterra& error) {
    MsgError(error.what());
  }
}

void TcollocListForm::Print() {
  TListPrintJob job{list_.get(), view_, ColumnWidths(), FontFromChoice(settings_.config.NormalFont),
                    FontFromChoice(settings_.global.SystemFont)};
  PrintCollocationList(this, job);
}

}  // namespace quenterra
