#include "patterns/ui/TagCfgForm.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "engine/ui/DialogButtons.h"
#include "engine/ui/EditMasks.h"

namespace quenterra {

TTagCgfForm::TTagCgfForm(TProgramSettings& settings, int corpusFileCount, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      corpusFileCount_(corpusFileCount),
      tagStart_(new QLineEdit(this)),
      tagStop_(new QLineEdit(this)),
      ok_(nullptr) {
  setObjectName("TTagCgfForm");
  setWindowTitle("Tag Settings");
  const TNormalTagsOptions options =
      TNormalTagsOptions::FromSettings(settings.config, settings.tables.Coding());
  BindCorpusText(tagStart_, settings.tables, true, options.TagStart);
  BindCorpusText(tagStop_, settings.tables, true, options.TagStop);
  QDialogButtonBox* buttons = OkCancelButtons(this);
  ok_ = buttons->findChild<QPushButton*>(kOkButtonName);
  for (QLineEdit* edit : {tagStart_, tagStop_}) {
    connect(edit, &QLineEdit::textChanged, this,
            [this] { ok_->setEnabled(Options().OkEnabled()); });
  }
  auto* layout = new QFormLayout(this);
  layout->addRow("Tag Start:", tagStart_);
  layout->addRow("Tag Stop:", tagStop_);
  layout->addRow(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

TNormalTagsOptions TTagCgfForm::Options() const {
  return TNormalTagsOptions{Typed(tagStart_->text(), settings_.tables),
                            Typed(tagStop_->text(), settings_.tables), settings_.tables.Coding()};
}

void TTagCgfForm::accept() {
  switch (Options().Accept(settings_.config, corpusFileCount_)) {
    case TNormalTagsOk::kRebuildRefused:
      return;
    case TNormalTagsOk::kChanged:
      changed_ = true;
      break;
    case TNormalTagsOk::kUnchanged:
      break;
  }
  QDialog::accept();
}

bool RunNormalTags(TProgramSettings& settings, int corpusFileCount, QWidget* parent) {
  TTagCgfForm form(settings, corpusFileCount, parent);
  return form.exec() == QDialog::Accepted && form.Changed();
}

}  // namespace quenterra
