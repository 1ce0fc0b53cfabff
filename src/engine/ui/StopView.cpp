#include "engine/ui/StopView.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>
#include <string_view>
#include <utility>

#include "engine/ui/CommonDialogs.h"
#include "engine/ui/EditMasks.h"

namespace quenterra {

TViewStopListDlg::TViewStopListDlg(TProgramSettings& settings, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      options_(settings.stopList, settings.global, settings.config, settings.tables),
      wordList_(new QListWidget(this)),
      fileNameLabel_(new QLabel(this)) {
  setObjectName("TViewStopListDlg");
  setWindowTitle("View Stop List");
  wordList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  auto* title = new QLabel("Words in stop list:", this);
  title->setBuddy(wordList_);
  auto* heading = new QHBoxLayout;
  heading->addWidget(title);
  heading->addWidget(fileNameLabel_, 1);
  auto* layout = new QGridLayout(this);
  layout->addLayout(heading, 0, 0);
  layout->addWidget(wordList_, 1, 0);
  layout->addLayout(BuildButtons(), 1, 1);
  resize(360, 300);
  connect(wordList_, &QListWidget::currentRowChanged, this, &TViewStopListDlg::UpdateButtons);
}

QVBoxLayout* TViewStopListDlg::BuildButtons() {
  // Each button acts on the rules, then the list box, label and buttons show their state.
  const std::pair<const char*, std::function<void()>> actions[] = {
      {"&Add...", [this] { options_.Add(); }},
      {"&Remove", [this] { options_.Remove(SelectedRows()); }},
      {"&Clear", [this] { options_.Clear(); }},
      {"&Save...", [this] { options_.Save(FileDialog("Save Stop List", true)); }},
      {"&Load...", [this] { options_.Load(FileDialog("Load New Stop List", false)); }},
      {"C&lose", [this] { accept(); }},
  };
  auto* buttons = new QVBoxLayout;
  for (const auto& [caption, action] : actions) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(caption);
    button->setAutoDefault(false);
    if (std::string_view(caption) == "C&lose") buttons->addStretch();
    buttons->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, action] {
      action();
      if (isVisible()) ShowWords();
    });
  }
  return buttons;
}

QPushButton* TViewStopListDlg::Button(const char* caption) const {
  return findChild<QPushButton*>(caption);
}

void TViewStopListDlg::showEvent(QShowEvent* event) {
  // The dialog is modal: besides its own question and file dialogs, which take the backup anew
  // themselves, nothing else can take the activation from it while it is open.
  options_.Show();
  options_.Activate();
  ShowWords();
  QDialog::showEvent(event);
}

void TViewStopListDlg::done(int result) {
  options_.Close();
  QDialog::done(result);
}

void TViewStopListDlg::ShowWords() {
  wordList_->clear();
  for (const std::string& word : options_.Entries())
    wordList_->addItem(Shown(word, settings_.tables));
  fileNameLabel_->setText(QString::fromStdString(options_.FileNameLabel()));
  UpdateButtons();
}

void TViewStopListDlg::UpdateButtons() {
  Button("&Remove")->setEnabled(wordList_->currentRow() >= 0);
  Button("&Save...")->setEnabled(options_.SaveEnabled());
}

std::vector<int> TViewStopListDlg::SelectedRows() const {
  std::vector<int> rows;
  for (QListWidgetItem* item : wordList_->selectedItems()) rows.push_back(wordList_->row(item));
  return rows;
}

TStopListOptions::TChooseFile TViewStopListDlg::FileDialog(const char* title, bool save) {
  return [this, title, save](const std::string& initialDir) {
    TFileDialogRequest desc;
    desc.mode = save ? TFileDialogRequest::TMode::kSave : TFileDialogRequest::TMode::kOpen;
    desc.title = title;
    desc.filter = "Text Files (*.TXT *.txt);;All Files (*)";
    desc.defaultSuffix = "TXT";
    desc.directory = QString::fromStdString(initialDir);
    const QStringList chosen = CommonDialogs().chooseFiles(this, desc);
    return chosen.isEmpty() ? std::string() : chosen.front().toStdString();
  };
}

void ViewStopList(TProgramSettings& settings, QWidget* parent) {
  TViewStopListDlg dialog(settings, parent);
  dialog.exec();
}

}  // namespace quenterra
