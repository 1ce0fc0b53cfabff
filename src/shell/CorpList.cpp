#include "shell/CorpList.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "desktop/DesktopSession.h"

namespace quenterra {

TCorporaListDlg::TCorporaListDlg(TDesktopSession& session, std::function<void(int)> showFile,
                                 QWidget* parent)
    : QDialog(parent),
      session_(session),
      showFile_(std::move(showFile)),
      title_(new QLabel("Currently loaded &corpora:", this)),
      corporaList_(new QListWidget(this)),
      removeBtn_(new QPushButton("&Remove", this)),
      showBtn_(new QPushButton("&Show", this)),
      closeBtn_(new QPushButton("Close", this)) {
  setObjectName("TCorporaListDlg");
  setWindowTitle(kCaption);
  resize(433, 256);
  title_->setBuddy(corporaList_);
  corporaList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  removeBtn_->setEnabled(false);
  showBtn_->setEnabled(false);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(showBtn_);
  buttons->addWidget(removeBtn_);
  buttons->addStretch();
  buttons->addWidget(closeBtn_);
  auto* layout = new QGridLayout(this);
  layout->addWidget(title_, 0, 0);
  layout->addWidget(corporaList_, 1, 0);
  layout->addLayout(buttons, 1, 1);
  connect(corporaList_, &QListWidget::itemSelectionChanged, this, &TCorporaListDlg::UpdateButtons);
  connect(corporaList_, &QListWidget::itemDoubleClicked, this, [this] {
    ShowSelected();
    hide();
  });
  connect(showBtn_, &QPushButton::clicked, this, &TCorporaListDlg::ShowSelected);
  connect(removeBtn_, &QPushButton::clicked, this, &TCorporaListDlg::RemoveSelected);
  connect(closeBtn_, &QPushButton::clicked, this, &QDialog::hide);
}

void TCorporaListDlg::Refresh() {
  if (session_.WorkerRunning()) return;  // the corpus is changing on the worker
  corporaList_->clear();
  for (const std::string& name : session_.Corpus().FileNames())
    corporaList_->addItem(QString::fromStdString(name));
  UpdateButtons();
}

void TCorporaListDlg::UpdateButtons() {
  const bool selected =
      corporaList_->currentItem() != nullptr && !corporaList_->selectedItems().isEmpty();
  showBtn_->setEnabled(selected);
  removeBtn_->setEnabled(selected && !session_.Busy());
}

void TCorporaListDlg::showEvent(QShowEvent* event) {
  Refresh();
  QDialog::showEvent(event);
}

std::vector<int> TCorporaListDlg::SelectedRows() const {
  std::vector<int> rows;
  for (QListWidgetItem* item : corporaList_->selectedItems())
    rows.push_back(corporaList_->row(item));
  std::sort(rows.begin(), rows.end());
  return rows;
}

void TCorporaListDlg::ShowSelected() {
  for (int row : SelectedRows()) {
    showFile_(row);
    corporaList_->item(row)->setSelected(false);
  }
  raise();
  UpdateButtons();
}

void TCorporaListDlg::RemoveSelected() {
  if (session_.Busy()) return;
  if (session_.RemoveFiles(SelectedRows())) hide();
  Refresh();
}

}  // namespace quenterra
