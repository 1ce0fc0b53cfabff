// TExtractDialog, the "Extract" dialog: one pattern (with the history of its search kind) or a
// batch of patterns, the search kind and the span, bound to the rules of dialogs/ExtractOptions.h.
// The pattern is parsed on OK; a faulty one is reported and the dialog stays open.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "config/ProgramSettings.h"
#include "dialogs/ExtractOptions.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace quenterra {

class TCorpusTextEdit;

class TExtractDialog : public QDialog {
  Q_OBJECT

 public:
  // Opens in normal mode on `kind`, or in batch mode on the kind last used for a batch.
  // runOptions runs the constrain options ("&Options..."), which may rebuild the index.
  TExtractDialog(TProgramSettings& settings, bool batch, TSearchKind kind,
                 std::function<void()> runOptions, QWidget* parent = nullptr);

  // OK: the pattern is parsed once as a test; on an error (shown) the focus goes back to the
  // pattern field and the dialog stays open.
  void accept() override;
  // The dialog's values as they stand.
  TExtractOptions Options() const;

  QComboBox* SearchString() const { return searchString_; }
  TCorpusTextEdit* BatchStrings() const { return batchStrings_; }
  QLabel* Examples() const { return examples_; }
  QButtonGroup* Kinds() const { return kinds_; }
  QSpinBox* SpanEdit() const { return span_; }
  QPushButton* OptionsBtn() const { return optionsBtn_; }

 private:
  QWidget* BuildPatternPanel(bool batch);
  QWidget* BuildOptionsPanel();
  // The selected kind's history in the pattern field (normal mode), and its examples.
  void ShowKind();
  void ShowExamples();

  TProgramSettings& settings_;
  TExtractOptions options_;
  std::function<void()> runOptions_;
  QComboBox* searchString_ = nullptr;
  TCorpusTextEdit* batchStrings_ = nullptr;
  QLabel* examples_ = nullptr;
  QButtonGroup* kinds_ = nullptr;
  QSpinBox* span_ = nullptr;
  QPushButton* optionsBtn_ = nullptr;
};

// Runs the dialog. On OK updates the histories and SpanRange and returns the parsed request,
// which the caller owns; nothing on Cancel.
std::unique_ptr<TExtractRecords> ExecuteExtractDialog(TProgramSettings& settings, bool batch,
                                                      TSearchKind kind,
                                                      const std::function<void()>& runOptions,
                                                      QWidget* parent);

}  // namespace quenterra
