#include "patterns/ui/EditMetaTags.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/WordTagsOptions.h"
#include "engine/ui/DialogButtons.h"
#include "engine/ui/EditMasks.h"

namespace quenterra {

TEditMetaTagsDlg::TEditMetaTagsDlg(const std::vector<TMetaTagRow>& rows, int editedRow,
                                   const TMetaTagRow& row, const TLangTables& tables,
                                   QWidget* parent)
    : QDialog(parent),
      rows_(rows),
      editedRow_(editedRow),
      tables_(tables),
      row_(row),
      name_(new QLineEdit(this)),
      contents_(new QLineEdit(this)) {
  setObjectName("TEditMetaTagsDlg");
  setWindowTitle(editedRow < 0 ? "Add new meta-tag" : "Edit meta-tag");
  BindCorpusText(name_, tables, false, row.name);
  BindCorpusText(contents_, tables, false, row.contents);
  contents_->setMinimumWidth(contents_->fontMetrics().horizontalAdvance('x') * 40);
  QDialogButtonBox* buttons = OkCancelButtons(this);
  auto* layout = new QFormLayout(this);
  layout->addRow("Meta-tag Name:", name_);
  layout->addRow("Contents:", contents_);
  layout->addRow(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TEditMetaTagsDlg::accept() {
  std::string name = Typed(name_->text(), tables_);
  std::string contents = Typed(contents_->text(), tables_);
  switch (CheckMetaTagEdit(rows_, editedRow_, name, contents, tables_)) {
    case TMetaTagEditCheck::kEmptyName:
      name_->setFocus();
      QApplication::beep();
      return;
    case TMetaTagEditCheck::kEmptyContents:
      contents_->setFocus();
      QApplication::beep();
      return;
    case TMetaTagEditCheck::kDuplicate:
      return;
    case TMetaTagEditCheck::kOk:
      row_ = TMetaTagRow{name, contents};
      QDialog::accept();
      return;
  }
}

bool EditMetaTag(const std::vector<TMetaTagRow>& rows, int editedRow, TMetaTagRow& row,
                 const TLangTables& tables, QWidget* parent) {
  TEditMetaTagsDlg editor(rows, editedRow, row, tables, parent);
  if (editor.exec() != QDialog::Accepted) return false;
  row = editor.Row();
  return true;
}

}  // namespace quenterra
