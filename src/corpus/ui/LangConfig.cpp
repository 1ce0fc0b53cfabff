#include "corpus/ui/LangConfig.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "corpus/LangTables.h"

namespace quenterra {

TLangConfig::TLangConfig(const TGlobalSettings& global, TChooseFontRequest chooseFont,
                         QWidget* parent)
    : QDialog(parent),
      options_(TLanguageOptions::FromSettings(global, InstalledLanguages())),
      chooseFont_(std::move(chooseFont)),
      languages_(new QListWidget(this)),
      fontName_(new QLabel(this)),
      fontBtn_(new QPushButton("&Font...", this)),
      utf8Btn_(nullptr),
      codePageBtn_(nullptr) {
  setObjectName("TLangConfig");
  setWindowTitle(kLanguageCaption);
  auto* title = new QLabel("&Languages:", this);
  title->setBuddy(languages_);
  for (const std::string& name : options_.Entries())
    languages_->addItem(QString::fromStdString(name));
  languages_->setCurrentRow(options_.Selected());
  fontName_->setText(QString::fromStdString(options_.Font().name));
  fontName_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  fontBtn_->setAutoDefault(false);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("OK", QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton("Cancel", QDialogButtonBox::RejectRole);

  auto* layout = new QGridLayout(this);
  layout->addWidget(title, 0, 0, 1, 2);
  layout->addWidget(languages_, 1, 0, 1, 2);
  layout->addWidget(BuildEncodingGroup(), 2, 0, 1, 2);
  layout->addWidget(new QLabel("System Font:", this), 3, 0, 1, 2);
  layout->addWidget(fontName_, 4, 0);
  layout->addWidget(fontBtn_, 4, 1);
  layout->addWidget(buttons, 5, 0, 1, 2);
  layout->setColumnStretch(0, 1);
  resize(320, 360);

  connect(languages_, &QListWidget::currentRowChanged, this, [this](int row) {
    options_.Select(row);
    codePageBtn_->setText(QString::fromStdString(options_.CodePageCaption()));
  });
  connect(languages_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  connect(fontBtn_, &QPushButton::clicked, this, [this] {
    TFontChoice font = options_.Font();
    if (!chooseFont_(this, font)) return;
    options_.SetFont(font);
    fontName_->setText(QString::fromStdString(font.name));
  });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QWidget* TLangConfig::BuildEncodingGroup() {
  auto* box = new QGroupBox(" Corpus Encoding ", this);
  utf8Btn_ = new QRadioButton("&UTF-8", box);
  codePageBtn_ = new QRadioButton(QString::fromStdString(options_.CodePageCaption()), box);
  (options_.Encoding() == TCorpusEncoding::kUtf8 ? utf8Btn_ : codePageBtn_)->setChecked(true);
  auto* layout = new QHBoxLayout(box);
  layout->addWidget(utf8Btn_);
  layout->addWidget(codePageBtn_);
  layout->addStretch();
  connect(utf8Btn_, &QRadioButton::toggled, this, [this](bool on) {
    options_.SetEncoding(on ? TCorpusEncoding::kUtf8 : TCorpusEncoding::kCodePage);
  });
  return box;
}

bool ChooseLanguage(TGlobalSettings& global, const TChooseFontRequest& chooseFont,
                    QWidget* parent) {
  TLangConfig dialog(global, chooseFont, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  return dialog.Options().Accept(global);
}

}  // namespace quenterra
