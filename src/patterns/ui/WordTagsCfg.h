// TWordTagsCfgDialog, the "Part of Speech Tags Settings" dialog: how word tags stand in the corpus
// (embedded in the word behind a delimiter, or outside it between a start string and a stop
// character) and the meta-tag table, bound to the rules of dialogs/WordTagsOptions.h.
#pragma once

#include <QDialog>
#include <vector>

#include "config/ProgramSettings.h"
#include "dialogs/WordTagsOptions.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace quenterra {

class TWordTagsCfgDialog : public QDialog {
  Q_OBJECT

 public:
  // Edits settings.config; corpusFileCount decides whether a change asks before the rebuild.
  TWordTagsCfgDialog(TProgramSettings& settings, int corpusFileCount, QWidget* parent = nullptr);

  // OK: the rebuild question when needed (No keeps the dialog open), then the start strings'
  // check; an accepted dialog stores its values.
  void accept() override;
  // Whether the accepted dialog changed how the corpus splits into tokens.
  bool Rebuild() const { return rebuild_; }
  // The dialog's values as they stand.
  TWordTagsOptions Options() const;

  QCheckBox* EmbeddedCB() const { return embedded_; }
  QCheckBox* OutsideCB() const { return outside_; }
  QLineEdit* DelimiterEdit() const { return delimiter_; }
  QTableWidget* TagStartGrid() const { return tagStarts_; }
  QLineEdit* TagStopEdit() const { return tagStop_; }
  QCheckBox* BeforeCB() const { return before_; }
  QTableWidget* MetaGrid() const { return metaGrid_; }
  QPushButton* MetaButton(const char* caption) const;

 private:
  QWidget* BuildGeneral(const TWordTagsOptions& options);
  QWidget* BuildEmbeddedPanel(const TWordTagsOptions& options, QWidget* box);
  QWidget* BuildOutsidePanel(const TWordTagsOptions& options, QWidget* box);
  QWidget* BuildMetaTags();
  // The check boxes and their panels from the rules (ticking one clears the other).
  void ShowMode(const TWordTagsOptions& options);
  void ShowMetaRows();
  void AddMetaTag();
  void EditMetaTag();
  void RemoveMetaTag();
  int CurrentMetaRow() const;

  TProgramSettings& settings_;
  int corpusFileCount_;
  std::vector<TMetaTagRow> metaRows_;  // the meta-tag table
  QCheckBox* embedded_ = nullptr;
  QWidget* embeddedPanel_ = nullptr;
  QLineEdit* delimiter_ = nullptr;
  QCheckBox* outside_ = nullptr;
  QWidget* outsidePanel_ = nullptr;
  QTableWidget* tagStarts_ = nullptr;
  QLineEdit* tagStop_ = nullptr;
  QCheckBox* before_ = nullptr;
  QTableWidget* metaGrid_ = nullptr;
  bool rebuild_ = false;
};

// Shows the dialog; true when the accepted change needs the index rebuilt.
bool RunWordTags(TProgramSettings& settings, int corpusFileCount, QWidget* parent);

}  // namespace quenterra
