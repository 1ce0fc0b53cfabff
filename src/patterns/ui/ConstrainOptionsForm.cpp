#include "patterns/ui/ConstrainOptionsForm.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/ui/DialogButtons.h"
#include "engine/ui/EditMasks.h"

namespace quenterra {

namespace {

constexpr const char* kWildcardLabels[3] = {"0 or more:", "0 or 1:", "exactly 1:"};
constexpr const char* kSearchTermLabels[3] = {
    "Tag search separator:", "Unordered word separator:", "Subsequent word separator:"};

}  // namespace

TConstrainOptionsForm::TConstrainOptionsForm(TProgramSettings& settings, int corpusFileCount,
                                             std::function<void()> editStopList, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      corpusFileCount_(corpusFileCount),
      editStopList_(std::move(editStopList)) {
  setObjectName("TConstrainOptionsForm");
  setWindowTitle("Constrain Options");
  QDialogButtonBox* buttons = OkCancelButtons(this);
  defaultBtn_ = buttons->addButton("Default", QDialogButtonBox::ResetRole);
  connect(defaultBtn_, &QPushButton::clicked, this,
          [this] { Show(TConstrainOptions::Defaults(settings_.tables.Coding())); });

  auto* layout = new QGridLayout(this);
  layout->addWidget(BuildSpecialGroup(" WildCards ", 0, kWildcardLabels), 0, 0);
  layout->addWidget(BuildSpecialGroup(" Search Terms ", 3, kSearchTermLabels), 0, 1);
  layout->addWidget(BuildCharactersGroup(), 1, 0, 1, 2);
  layout->addWidget(BuildOtherGroup(), 2, 0, 1, 2);
  layout->addWidget(buttons, 3, 0, 1, 2);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  Show(TConstrainOptions::FromSettings(settings.config, settings.tables.Coding()));
}

QWidget* TConstrainOptionsForm::BuildSpecialGroup(const char* title, size_t first,
                                                  const char* const labels[3]) {
  auto* box = new QGroupBox(title, this);
  auto* layout = new QFormLayout(box);
  for (size_t i = 0; i < 3; ++i) {
    QLineEdit*& edit = special_[first + i];
    edit = new QLineEdit(box);
    BindCorpusText(edit, settings_.tables, true, "");
    layout->addRow(labels[i], edit);
  }
  return box;
}

QWidget* TConstrainOptionsForm::BuildCharactersGroup() {
  auto* box = new QGroupBox(" Special Characters ", this);
  auto* layout = new QGridLayout(box);
  delimiters_ = new QLineEdit(box);
  equal_ = new QLineEdit(box);
  equalCB_ = new QCheckBox(box);
  equalCB_->setToolTip("Treat the characters as equal");
  skipped_ = new QLineEdit(box);
  skippedCB_ = new QCheckBox(box);
  skippedCB_->setToolTip("Skip the characters inside words");
  for (QLineEdit* edit : {delimiters_, equal_, skipped_}) {
    BindCorpusText(edit, settings_.tables, false, "");
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance('x') * 36);
  }
  const std::pair<const char*, QLineEdit*> rows[] = {
      {"Characters to treat as delimiters:", delimiters_},
      {"Characters to treat as equal:", equal_},
      {"Skipped characters:", skipped_}};
  int row = 0;
  for (const auto& [caption, edit] : rows) {
    auto* label = new QLabel(caption, box);
    label->setBuddy(edit);
    layout->addWidget(label, row, 0);
    layout->addWidget(edit, row++, 2);
  }
  layout->addWidget(equalCB_, 1, 1);
  layout->addWidget(skippedCB_, 2, 1);
  return box;
}

QWidget* TConstrainOptionsForm::BuildOtherGroup() {
  auto* box = new QGroupBox(" Other Options ", this);
  stopListCB_ = new QCheckBox("Use Stop List", box);
  stopListBtn_ = new QPushButton("Edit List", box);
  stopListBtn_->setAutoDefault(false);
  skipNormalTagsCB_ = new QCheckBox("Skip normal tags", box);
  ignoreCaseCB_ = new QCheckBox("Ignore Case of Letters", box);
  auto* layout = new QGridLayout(box);
  layout->addWidget(stopListCB_, 0, 0);
  layout->addWidget(stopListBtn_, 0, 1);
  layout->addWidget(skipNormalTagsCB_, 1, 0);
  layout->addWidget(ignoreCaseCB_, 2, 0);
  layout->setColumnStretch(2, 1);
  connect(stopListBtn_, &QPushButton::clicked, this, [this] { editStopList_(); });
  return box;
}

void TConstrainOptionsForm::Show(const TConstrainOptions& options) {
  const TLangTables& tables = settings_.tables;
  for (size_t i = 0; i < kSpecialFieldCount; ++i)
    special_[i]->setText(Shown(options.special[i], tables));
  delimiters_->setText(Shown(options.NonWordChars, tables));
  equal_->setText(Shown(options.EqualChars, tables));
  equalCB_->setChecked(options.UseEqualChars);
  skipped_->setText(Shown(options.SkippingChars, tables));
  skippedCB_->setChecked(options.UseSkippingChars);
  stopListCB_->setChecked(options.UseStoplist);
  skipNormalTagsCB_->setChecked(options.SkipNormalTags);
  ignoreCaseCB_->setChecked(options.ignoreCase);
}

TConstrainOptions TConstrainOptionsForm::Options() const {
  const TLangTables& tables = settings_.tables;
  TConstrainOptions options;
  options.coding = tables.Coding();
  for (size_t i = 0; i < kSpecialFieldCount; ++i)
    options.special[i] = Typed(special_[i]->text(), tables);
  options.NonWordChars = Typed(delimiters_->text(), tables);
  options.EqualChars = Typed(equal_->text(), tables);
  options.UseEqualChars = equalCB_->isChecked();
  options.SkippingChars = Typed(skipped_->text(), tables);
  options.UseSkippingChars = skippedCB_->isChecked();
  options.UseStoplist = stopListCB_->isChecked();
  options.SkipNormalTags = skipNormalTagsCB_->isChecked();
  options.ignoreCase = ignoreCaseCB_->isChecked();
  return options;
}

void TConstrainOptionsForm::accept() {
  const TConstrainOkResult result = Options().Accept(settings_.config, corpusFileCount_);
  if (result.focus) SpecialEdit(*result.focus)->setFocus();
  if (!result.accepted) return;
  rebuild_ = result.rebuild;
  QDialog::accept();
}

bool RunConstrainOptions(TProgramSettings& settings, int corpusFileCount,
                         const std::function<void()>& editStopList, QWidget* parent) {
  TConstrainOptionsForm form(settings, corpusFileCount, editStopList, parent);
  return form.exec() == QDialog::Accepted && form.Rebuild();
}

}  // namespace quenterra
