#include "patterns/ui/WordTagsCfg.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include "engine/ui/DialogButtons.h"
#include "engine/ui/EditMasks.h"
#include "patterns/ui/EditMetaTags.h"

namespace quenterra {

namespace {

constexpr int kNameWidth = 100;  // the meta-tag grid's columns
constexpr int kContentsWidth = 150;

// Grid cells are edited in a line edit that holds what the corpus encoding holds.
class TCorpusTextDelegate : public QStyledItemDelegate {
 public:
  TCorpusTextDelegate(const TLangTables& tables, QObject* parent)
      : QStyledItemDelegate(parent), tables_(tables) {}
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex&) const override {
    auto* edit = new QLineEdit(parent);
    edit->setValidator(new TCorpusTextValidator(tables_, false, edit));
    return edit;
  }

 private:
  const TLangTables& tables_;
};

QTableWidget* Grid(int columns, QWidget* parent) {
  auto* grid = new QTableWidget(0, columns, parent);
  grid->horizontalHeader()->hide();
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  return grid;
}

void SetCell(QTableWidget* grid, int row, int column, const QString& text) {
  grid->setItem(row, column, new QTableWidgetItem(text));
}

QString Cell(const QTableWidget* grid, int row, int column) {
  const QTableWidgetItem* item = grid->item(row, column);
  return item == nullptr ? QString() : item->text();
}

}  // namespace

TWordTagsCfgDialog::TWordTagsCfgDialog(TProgramSettings& settings, int corpusFileCount,
                                       QWidget* parent)
    : QDialog(parent), settings_(settings), corpusFileCount_(corpusFileCount) {
  setObjectName("TWordTagsCfgDialog");
  setWindowTitle("Part of Speech Tags Settings");
  const TWordTagsOptions options =
      TWordTagsOptions::FromSettings(settings.config, settings.tables.Coding());
  metaRows_ = options.MetaRows;
  QDialogButtonBox* buttons = OkCancelButtons(this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildGeneral(options));
  layout->addWidget(BuildMetaTags(), 1);
  layout->addWidget(buttons);
  ShowMode(options);
  ShowMetaRows();
}

QWidget* TWordTagsCfgDialog::BuildGeneral(const TWordTagsOptions& options) {
  auto* box = new QGroupBox(" General Settings ", this);
  embedded_ = new QCheckBox("Embedded in Word", box);
  outside_ = new QCheckBox("Outside Word", box);
  auto* layout = new QVBoxLayout(box);
  layout->addWidget(embedded_);
  layout->addWidget(BuildEmbeddedPanel(options, box));
  layout->addWidget(outside_);
  layout->addWidget(BuildOutsidePanel(options, box));
  connect(embedded_, &QCheckBox::clicked, this, [this](bool on) {
    TWordTagsOptions now = Options();
    now.SetEmbedded(on);
    ShowMode(now);
  });
  connect(outside_, &QCheckBox::clicked, this, [this](bool on) {
    TWordTagsOptions now = Options();
    now.SetOutside(on);
    ShowMode(now);
  });
  return box;
}

QWidget* TWordTagsCfgDialog::BuildEmbeddedPanel(const TWordTagsOptions& options, QWidget* box) {
  embeddedPanel_ = new QWidget(box);
  delimiter_ = new QLineEdit(embeddedPanel_);
  BindCorpusText(delimiter_, settings_.tables, true, options.Delimiter);
  auto* layout = new QGridLayout(embeddedPanel_);
  layout->addWidget(new QLabel("Delimiter Character:", embeddedPanel_), 0, 0);
  layout->addWidget(delimiter_, 0, 1);
  layout->setColumnStretch(2, 1);
  return embeddedPanel_;
}

QWidget* TWordTagsCfgDialog::BuildOutsidePanel(const TWordTagsOptions& options, QWidget* box) {
  const TLangTables& tables = settings_.tables;
  outsidePanel_ = new QWidget(box);
  tagStarts_ = Grid(1, outsidePanel_);
  tagStarts_->horizontalHeader()->setStretchLastSection(true);
  tagStarts_->setItemDelegate(new TCorpusTextDelegate(tables, tagStarts_));
  tagStarts_->setRowCount(static_cast<int>(options.TagStartRows.size()));
  for (size_t row = 0; row < options.TagStartRows.size(); ++row)
    SetCell(tagStarts_, static_cast<int>(row), 0, Shown(options.TagStartRows[row], tables));
  // Four rows show; more scroll.
  tagStarts_->setFixedHeight(TWordTagsOptions::kMinTagStartRows *
                                 tagStarts_->verticalHeader()->defaultSectionSize() +
                             2 * tagStarts_->frameWidth());
  tagStop_ = new QLineEdit(outsidePanel_);
  BindCorpusText(tagStop_, tables, true, options.TagStop);
  before_ = new QCheckBox("Before Word", outsidePanel_);
  before_->setChecked(options.Before);
  auto* layout = new QGridLayout(outsidePanel_);
  layout->addWidget(new QLabel("Tag Start:", outsidePanel_), 0, 0, Qt::AlignTop);
  layout->addWidget(tagStarts_, 0, 1, 1, 2);
  layout->addWidget(new QLabel("Tag Stop:", outsidePanel_), 1, 0);
  layout->addWidget(tagStop_, 1, 1);
  layout->addWidget(before_, 2, 1, 1, 2);
  layout->setColumnStretch(2, 1);
  // A filled last row brings a blank one below it, for one more start string.
  connect(tagStarts_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    const int last = tagStarts_->rowCount() - 1;
    if (item->row() == last && !item->text().trimmed().isEmpty()) tagStarts_->insertRow(last + 1);
  });
  return outsidePanel_;
}

QWidget* TWordTagsCfgDialog::BuildMetaTags() {
  auto* box = new QGroupBox(" Meta-tags ", this);
  metaGrid_ = Grid(2, box);
  metaGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  metaGrid_->setColumnWidth(0, kNameWidth);
  metaGrid_->setColumnWidth(1, kContentsWidth);
  metaGrid_->horizontalHeader()->setStretchLastSection(true);
  auto* buttons = new QVBoxLayout;
  for (const char* caption : {"Add", "Edit", "Remove"}) {
    auto* button = new QPushButton(caption, box);
    button->setObjectName(caption);
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  buttons->addStretch();
  auto* layout = new QHBoxLayout(box);
  layout->addWidget(metaGrid_, 1);
  layout->addLayout(buttons);
  connect(MetaButton("Add"), &QPushButton::clicked, this, &TWordTagsCfgDialog::AddMetaTag);
  connect(MetaButton("Edit"), &QPushButton::clicked, this, &TWordTagsCfgDialog::EditMetaTag);
  connect(metaGrid_, &QTableWidget::cellDoubleClicked, this, &TWordTagsCfgDialog::EditMetaTag);
  connect(MetaButton("Remove"), &QPushButton::clicked, this, &TWordTagsCfgDialog::RemoveMetaTag);
  return box;
}

QPushButton* TWordTagsCfgDialog::MetaButton(const char* caption) const {
  return findChild<QPushButton*>(caption);
}

TWordTagsOptions TWordTagsCfgDialog::Options() const {
  const TLangTables& tables = settings_.tables;
  TWordTagsOptions options;
  options.coding = tables.Coding();
  options.Embedded = embedded_->isChecked();
  options.Outside = outside_->isChecked();
  options.Delimiter = Typed(delimiter_->text(), tables);
  options.TagStop = Typed(tagStop_->text(), tables);
  options.Before = before_->isChecked();
  for (int row = 0; row < tagStarts_->rowCount(); ++row)
    options.TagStartRows.push_back(Typed(Cell(tagStarts_, row, 0), tables));
  options.MetaRows = metaRows_;
  return options;
}

void TWordTagsCfgDialog::ShowMode(const TWordTagsOptions& options) {
  embedded_->setChecked(options.Embedded);
  outside_->setChecked(options.Outside);
  // A disabled panel shows its labels in the grey text colour.
  embeddedPanel_->setEnabled(options.Embedded);
  outsidePanel_->setEnabled(options.Outside);
}

void TWordTagsCfgDialog::ShowMetaRows() {
  metaGrid_->setRowCount(static_cast<int>(metaRows_.size()));
  for (size_t row = 0; row < metaRows_.size(); ++row) {
    SetCell(metaGrid_, static_cast<int>(row), 0, Shown(metaRows_[row].name, settings_.tables));
    SetCell(metaGrid_, static_cast<int>(row), 1, Shown(metaRows_[row].contents, settings_.tables));
  }
}

int TWordTagsCfgDialog::CurrentMetaRow() const { return std::max(metaGrid_->currentRow(), 0); }

void TWordTagsCfgDialog::AddMetaTag() {
  TMetaTagRow row;
  if (!quenterra::EditMetaTag(metaRows_, -1, row, settings_.tables, this)) return;
  AddMetaTagRow(metaRows_, row);
  ShowMetaRows();
}

void TWordTagsCfgDialog::EditMetaTag() {
  const int current = CurrentMetaRow();
  if (current >= static_cast<int>(metaRows_.size())) return;
  TMetaTagRow row = metaRows_[static_cast<size_t>(current)];
  if (!quenterra::EditMetaTag(metaRows_, current, row, settings_.tables, this)) return;
  metaRows_[static_cast<size_t>(current)] = row;
  ShowMetaRows();
}

void TWordTagsCfgDialog::RemoveMetaTag() {
  if (RemoveMetaTagRow(metaRows_, CurrentMetaRow(), settings_.tables)) ShowMetaRows();
}

void TWordTagsCfgDialog::accept() {
  const TWordTagsOptions options = Options();
  switch (options.CheckOk(settings_.config, corpusFileCount_)) {
    case TWordTagsOk::kRebuildRefused:
      return;
    case TWordTagsOk::kNoTagStart:
      tagStarts_->setFocus();
      QApplication::beep();
      return;
    case TWordTagsOk::kAccepted:
      rebuild_ = options.Store(settings_.config);
      QDialog::accept();
      return;
  }
}

bool RunWordTags(TProgramSettings& settings, int corpusFileCount, QWidget* parent) {
  TWordTagsCfgDialog dialog(settings, corpusFileCount, parent);
  return dialog.exec() == QDialog::Accepted && dialog.Rebuild();
}

}  // namespace quenterra
