// TcollocListForm: the child window that shows one collocation list in a grid with an optional
// frequency column, an optional score column and the collocation text. It owns its list; the
// main window's Sort and Display commands act on the active one through the calls below, and its
// Save and Print commands write the list to a text file or the printer.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "config/ProgramSettings.h"
#include "engine/ListWindow.h"
#include "engine/collocList.h"

class QTableView;

namespace quenterra {

class TCollocListModel;

class TcollocListForm : public QWidget {
  Q_OBJECT

 public:
  // Takes the list over, sorted as it comes. settings (NormalFont, SystemFont) must outlive the
  // window; corpusWords gives the corpus word count when scores are recomputed.
  TcollocListForm(std::unique_ptr<TCollocationList> list, const TListWindowSetup& desc,
                  TProgramSettings& settings, std::function<int64_t()> corpusWords,
                  QWidget* parent = nullptr);
  ~TcollocListForm() override;

  const TCollocationList& List() const { return *list_; }
  TListWindowFacts Facts() const;
  const TListWindowSetup& Setup() const { return desc_; }
  QTableView* Grid() const { return grid_; }

  // Sorts by key1 (not none), then key2; repaints.
  void SetSort(TCollocSortKey key1, TCollocSortKey key2);
  // The Display commands: show or hide the frequency column; show a score method, or hide the
  // score column when it is the one shown.
  void SetShowFrequency(bool show);
  void ToggleScoreMethod(TScoreMethod method);
  // The font dialog from NormalFont; on OK the font becomes NormalFont and this window applies
  // it. Returns whether the user confirmed (the shell then has every list window apply it).
  bool ChooseFont();
  // Takes NormalFont again: the grid's font, row height and column widths.
  void ApplyFonts();
  // The save dialog, then the list as text. A file that cannot be written shows its error.
  void SaveToFile();
  // Prints the list in its current order.
  void Print();

  // The widths of the shown columns, left to right.
  std::vector<int> ColumnWidths() const;

 signals:
  // The user double-clicked the item in this row.
  void ItemActivated(int row);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LayoutColumns();

  std::unique_ptr<TCollocationList> list_;
  TListWindowSetup desc_;
  TProgramSettings& settings_;
  std::function<int64_t()> corpusWords_;
  TListView view_;
  QTableView* grid_;
  TCollocListModel* model_;
};

}  // namespace quenterra
