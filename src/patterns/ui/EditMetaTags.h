// TEditMetaTagsDlg, the meta-tag editor of the part-of-speech tag dialog: a name and its tag
// patterns, checked by the rules of dialogs/WordTagsOptions.h against the dialog's table.
#pragma once

#include <QDialog>
#include <vector>

#include "corpus/LangTables.h"
#include "settings/MetaTags.h"

class QLineEdit;

namespace quenterra {

class TEditMetaTagsDlg : public QDialog {
  Q_OBJECT

 public:
  // Edits `row` of the table (add mode: editedRow -1, "Add new meta-tag"); rows and tables must
  // outlive the dialog.
  TEditMetaTagsDlg(const std::vector<TMetaTagRow>& rows, int editedRow, const TMetaTagRow& row,
                   const TLangTables& tables, QWidget* parent = nullptr);

  // OK: an empty name or empty contents takes the focus and beeps; a name that another row has
  // already (letter case ignored) says so; otherwise the trimmed row is kept and the editor closes.
  void accept() override;
  const TMetaTagRow& Row() const { return row_; }

  QLineEdit* NameEdit() const { return name_; }
  QLineEdit* ContentsEdit() const { return contents_; }

 private:
  const std::vector<TMetaTagRow>& rows_;
  int editedRow_;
  const TLangTables& tables_;
  TMetaTagRow row_;
  QLineEdit* name_;
  QLineEdit* contents_;
};

// Runs the editor on `row`; true on OK, with the trimmed name and contents in row.
bool EditMetaTag(const std::vector<TMetaTagRow>& rows, int editedRow, TMetaTagRow& row,
                 const TLangTables& tables, QWidget* parent);

}  // namespace quenterra
