// TResultTableForm: the child window of a concordance, a collocate list or a word list, beside the
// collocation list windows. A bar above the grid holds the sort order, a concordance's context
// size and word-tag switch, and Save. The grid paints from a snapshot of the shown cells taken
// when the window opens and after each change, so that painting never reads the index (an
// extraction may be using it on a worker meanwhile; the bar is disabled while one runs).
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/ProgramSettings.h"
#include "engine/ResultTable.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;
class QTableView;

namespace quenterra {

class TResultTableModel;

class TResultTableForm : public QWidget {
  Q_OBJECT

 public:
  // Takes the table over. settings (NormalFont, WordTag) must outlive the window.
  TResultTableForm(std::unique_ptr<TResultTable> table, const TProgramSettings& settings,
                   QWidget* parent = nullptr);
  ~TResultTableForm() override;

  TResultTable& Table() const { return *table_; }
  QTableView* Grid() const { return grid_; }
  QComboBox* SortBox() const { return sortBox_; }
  QSpinBox* ContextBox() const { return contextBox_; }  // null unless a concordance
  QCheckBox* TagsBox() const { return tagsBox_; }       // null unless a concordance

  // A double click on a row (a concordance line opens the corpus text there).
  std::function<void(int row)> rowActivated;

  // Disables the bar while long work runs.
  void SetBusy(bool busy);
  // Sorts in one of Table().SortNames().
  void SortBy(int order);
  // The concordance's context size (words) and word tags; nothing for other tables.
  void SetContext(int words, bool showTags);
  // The save dialog, then the table as text. A file that cannot be written shows its error.
  void SaveToFile();
  // Takes NormalFont again.
  void ApplyFonts();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Columns as wide as their cells; a concordance's two contexts share the rest equally.
  void LayoutColumns();
  QWidget* MakeBar();
  // Takes the snapshot of the shown cells anew.
  void Refresh();

  std::unique_ptr<TResultTable> table_;
  const TProgramSettings& settings_;
  QTableView* grid_;
  TResultTableModel* model_;
  QComboBox* sortBox_ = nullptr;
  QSpinBox* contextBox_ = nullptr;
  QCheckBox* tagsBox_ = nullptr;
  QPushButton* saveButton_ = nullptr;
  QWidget* bar_ = nullptr;
};

}  // namespace quenterra
